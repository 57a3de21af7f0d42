// Internal: the ASCII fast path shared by the converters that write UTF-16
// units out as bytes (to GBK or to UTF-8, where ASCII stays one byte).
// Not part of the public interface.
#ifndef ZHTEXT_ENCODING_INTERNAL_ASCII_RUN_H_
#define ZHTEXT_ENCODING_INTERNAL_ASCII_RUN_H_

#include <cstddef>

namespace zhtext {
namespace internal {

// Copies units from `units[i]` on as single bytes to `*out`, four at a time,
// while each group of four is ASCII; advances `*out` past the bytes written
// and returns the index of the first unit not copied (at most `count`).
inline std::size_t CopyAsciiUnits(const char16_t* units, std::size_t i, std::size_t count,
                                  char** out) {
  char* p = *out;
  while (i + 4 <= count && ((units[i] | units[i + 1] | units[i + 2] | units[i + 3]) & 0xFF80) == 0) {
    p[0] = static_cast<char>(units[i]);
    p[1] = static_cast<char>(units[i + 1]);
    p[2] = static_cast<char>(units[i + 2]);
    p[3] = static_cast<char>(units[i + 3]);
    p += 4;
    i += 4;
  }
  *out = p;
  return i;
}

}  // namespace internal
}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_INTERNAL_ASCII_RUN_H_
