#include "zhtext/encoding/byte_hashes.h"

namespace zhtext {

std::uint32_t ElfHash(const char* text) {
  std::uint32_t h = 0;
  if (text == nullptr) return h;
  for (const char* p = text; *p != '\0'; ++p) {
    // The signed byte converts to the unsigned sum modulo 2^32.
    h = (h << 4) +
        static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(*p)));
    std::uint32_t g = h & 0xF0000000u;
    if (g != 0) h ^= g >> 24;
    h &= ~g;
  }
  return h;
}

std::uint32_t XorHash(const char* text) {
  std::uint32_t h = 0;
  if (text == nullptr) return h;
  unsigned shift = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
    h ^= static_cast<std::uint32_t>(*p) << shift;
    shift = (shift + 8) & 31;
  }
  return h;
}

}  // namespace zhtext
