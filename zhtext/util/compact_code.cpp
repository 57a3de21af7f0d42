#include "zhtext/util/compact_code.h"

namespace zhtext {

int EncodeCompactInt(std::int32_t value, char* out) {
  if (value < 0 || value > kCompactIntMax) return 0;
  const std::uint32_t v = static_cast<std::uint32_t>(value);
  int length;
  if (v <= 0x3F) {
    length = 1;
  } else if (v <= 0x3FFF) {
    length = 2;
  } else if (v <= 0x3FFFFF) {
    length = 3;
  } else {
    length = 4;
  }
  // The length code goes into the top two bits of the first byte, above
  // the value's highest bits; the rest follow high byte first.
  const std::uint32_t tagged = v | static_cast<std::uint32_t>(length - 1) << (8 * length - 2);
  for (int i = 0; i < length; ++i) {
    out[i] = static_cast<char>(tagged >> (8 * (length - 1 - i)));
  }
  return length;
}

int DecodeCompactInt(const char* in, std::int32_t* value) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(in);
  const int length = (bytes[0] >> 6) + 1;
  std::uint32_t v = bytes[0] & 0x3Fu;
  for (int i = 1; i < length; ++i) v = v << 8 | bytes[i];
  *value = static_cast<std::int32_t>(v);
  return length;
}

}  // namespace zhtext
