// The compact integer code: a non-negative value below 2^30 in one to four
// bytes, big-endian, the two top bits of the first byte giving the length.
//
//   top bits  length  values                 layout
//   00        1       0 .. 0x3F              value
//   01        2       0x40 .. 0x3FFF         0x40 | value >> 8, value & 0xFF
//   10        3       0x4000 .. 0x3FFFFF     0x80 | value >> 16, then 2 bytes
//   11        4       0x400000 .. 0x3FFFFFFF 0xC0 | value >> 24, then 3 bytes
//
// Each value has exactly one (the shortest) encoding; negative values and
// values from 0x40000000 up have none. Pure functions, safe on any thread.
#ifndef ZHTEXT_UTIL_COMPACT_CODE_H_
#define ZHTEXT_UTIL_COMPACT_CODE_H_

#include <cstdint>

namespace zhtext {

// The largest value the code holds, and the longest encoding.
inline constexpr std::int32_t kCompactIntMax = 0x3FFFFFFF;
inline constexpr int kCompactIntMaxBytes = 4;

// Writes the encoding of `value` into `out` and returns its length (1 to 4),
// or 0, writing nothing, when `value` cannot be encoded.
// REQUIRES: `out` holds kCompactIntMaxBytes bytes.
int EncodeCompactInt(std::int32_t value, char* out);

// Reads one encoding from `in` into `*value` and returns the bytes consumed
// (1 to 4, as the first byte announces). Any bytes decode: a longer form of
// a small value gives that value.
// REQUIRES: `in` holds the announced number of bytes.
int DecodeCompactInt(const char* in, std::int32_t* value);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_COMPACT_CODE_H_
