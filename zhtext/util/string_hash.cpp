#include "zhtext/util/string_hash.h"

#include <cstring>

#include "zhtext/encoding/byte_hashes.h"

namespace zhtext {

namespace {

inline const unsigned char* Bytes(const char* text) {
  return reinterpret_cast<const unsigned char*>(text != nullptr ? text : "");
}

}  // namespace

std::uint64_t HashMul31(const char* text) {
  std::uint64_t h = 0;
  for (const unsigned char* p = Bytes(text); *p != 0; ++p) h = h * 31 + *p;
  return h;
}

std::uint32_t HashTail96(const char* text) {
  const unsigned char* bytes = Bytes(text);
  const std::size_t length = std::strlen(reinterpret_cast<const char*>(bytes));
  if (length == 0) return 0;
  std::uint32_t h = length <= 256 ? static_cast<std::uint32_t>(length - 1) << 24 : 0xFF000000u;
  const std::size_t n = length < 96 ? length : 96;
  const unsigned char* tail = bytes + length - n;
  for (std::uint32_t i = 1; i <= n; ++i) {
    std::uint32_t c = tail[i - 1];
    if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
    h += (c * 11 + (c * (3 * c + 5) + 7) * i) & 0xFFFFFFu;
  }
  return h;
}

std::uint32_t HashElf(const char* text) { return ElfHash(text); }

std::uint32_t HashWeightedSum(const char* text) {
  std::int64_t sum = 0;
  std::uint32_t i = 1;
  for (const char* p = text != nullptr ? text : ""; *p != '\0'; ++p, ++i) {
    // The product in 32 bits, wrapping as the stored values were made.
    const std::uint32_t b =
        static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(*p)));
    const std::int32_t product = static_cast<std::int32_t>(b * i * 3u);
    sum += product;
  }
  const std::uint64_t magnitude =
      sum < 0 ? 0 - static_cast<std::uint64_t>(sum) : static_cast<std::uint64_t>(sum);
  return static_cast<std::uint32_t>(magnitude);
}

}  // namespace zhtext
