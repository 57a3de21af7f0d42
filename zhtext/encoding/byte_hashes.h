// Two hashes of byte strings: the ELF hash with signed bytes, which the
// hash tables built with it rely on, and the XOR of the text's 4-byte
// little-endian words. Both read up to the terminator (a null text hashes
// as an empty one). Pure functions, safe on any thread.
#ifndef ZHTEXT_ENCODING_BYTE_HASHES_H_
#define ZHTEXT_ENCODING_BYTE_HASHES_H_

#include <cstdint>

namespace zhtext {

// h = 0; for each byte, taken as a signed value (-128 to 127): h = (h << 4)
// + byte; g = h & 0xF0000000; if g != 0, h ^= g >> 24; h &= ~g. In 32-bit
// unsigned arithmetic. For ASCII text it is the classic ELF hash; bytes of
// 0x80 and above add a negative amount.
std::uint32_t ElfHash(const char* text);

// The text cut into 4-byte words read little-endian (the last one padded
// with zero bytes), XORed together; 0 for an empty text. The same on any
// host.
std::uint32_t XorHash(const char* text);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_BYTE_HASHES_H_
