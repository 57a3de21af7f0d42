#include "zhtext/util/binary_io.h"

#include <algorithm>
#include <cstdint>

namespace zhtext {

namespace {

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr bool kHostIsLittleEndian = false;
#else
constexpr bool kHostIsLittleEndian = true;
#endif

inline std::uint32_t Swap(std::uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

}  // namespace

bool WriteInt32s(std::FILE* out, const int* values, std::size_t count) {
  if (kHostIsLittleEndian) return std::fwrite(values, sizeof(int), count, out) == count;
  std::uint32_t block[4096];
  for (std::size_t done = 0; done < count;) {
    const std::size_t n = std::min(count - done, sizeof(block) / sizeof(block[0]));
    for (std::size_t i = 0; i < n; ++i) block[i] = Swap(static_cast<std::uint32_t>(values[done + i]));
    if (std::fwrite(block, sizeof(block[0]), n, out) != n) return false;
    done += n;
  }
  return true;
}

bool ReadInt32s(std::FILE* in, int* values, std::size_t count) {
  const std::size_t got = std::fread(values, sizeof(int), count, in);
  if (!kHostIsLittleEndian) {
    for (std::size_t i = 0; i < got; ++i) {
      values[i] = static_cast<int>(Swap(static_cast<std::uint32_t>(values[i])));
    }
  }
  return got == count;
}

}  // namespace zhtext
