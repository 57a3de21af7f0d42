// Four string hashes with different properties, fixed by the stored data
// and tables that use them: every value below must stay as it is.
//
// Each reads a zero-terminated byte string up to its terminator (a null
// text hashes as an empty one); all arithmetic wraps around. Pure
// functions, safe on any thread.
#ifndef ZHTEXT_UTIL_STRING_HASH_H_
#define ZHTEXT_UTIL_STRING_HASH_H_

#include <cstdint>

namespace zhtext {

// h = h * 31 + byte (unsigned) over the bytes, in 64 bits: "abc" 96354.
std::uint64_t HashMul31(const char* text);

// Case-insensitive, over at most the last 96 bytes: h starts at
// (length - 1) << 24 (0xFF000000 for texts over 256 bytes); the i-th of the
// last min(length, 96) bytes (i from 1, 'A'-'Z' folded to 'a'-'z') adds
// (c * 11 + (c * (3c + 5) + 7) * i) & 0xFFFFFF. 0 for an empty text; "abc"
// and "ABC" 0x0202C03E. Bytes are folded one by one, as the stored values
// were made.
std::uint32_t HashTail96(const char* text);

// The ELF symbol-table hash with each byte taken as a signed value, the
// same function as ElfHash (zhtext/encoding/byte_hashes.h): "abc" 0x6783.
std::uint32_t HashElf(const char* text);

// The low 32 bits of |sum of b * i * 3|, b each byte as a signed value and
// i its position from 1, each product in 32 bits and the sum in 64:
// "abc" 1770.
std::uint32_t HashWeightedSum(const char* text);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_STRING_HASH_H_
