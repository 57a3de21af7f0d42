// The append buffer: a heap byte buffer that grows as 32-bit integers are
// appended to it, optionally in network byte order, for building binary
// messages and records.
//
// Ownership: the buffer pointer, its used length and its capacity are the
// caller's, passed by address. The buffer is a malloc block (or null with a
// capacity of 0) that AppendInt32 grows with realloc, so the pointer may
// change; the caller releases it with free. One buffer is used by one
// thread at a time.
#ifndef ZHTEXT_UTIL_APPEND_BUFFER_H_
#define ZHTEXT_UTIL_APPEND_BUFFER_H_

#include <cstdint>

namespace zhtext {

// Stores the four bytes of `value` at offset *length of *buffer, in the
// host's byte order or, with `networkOrder`, high byte first (as htonl), and
// returns the new length (*length + 4). When *capacity is below
// *length + 10, the buffer is first resized to *length + 1024 bytes
// (content kept) and *capacity set to that. -1, with nothing changed, when
// the buffer cannot grow (no memory, or a size beyond the int range) or
// the length or capacity is negative.
int AppendInt32(char** buffer, int* length, int* capacity, std::int32_t value, bool networkOrder);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_APPEND_BUFFER_H_
