// Network byte order (big-endian) for 16- and 32-bit values, as the socket
// layer's htonl, ntohl, htons and ntohs convert, on any host. The result of a
// HostToNet call, stored in memory as it is, holds the value's bytes high
// byte first. Pure functions, safe on any thread.
#ifndef ZHTEXT_PLATFORM_BYTE_ORDER_H_
#define ZHTEXT_PLATFORM_BYTE_ORDER_H_

#include <cstdint>
#include <cstring>

namespace zhtext {
namespace platform {

inline std::uint32_t HostToNet32(std::uint32_t value) {
  const unsigned char bytes[4] = {
      static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
      static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
  std::uint32_t result;
  std::memcpy(&result, bytes, sizeof result);
  return result;
}

inline std::uint32_t NetToHost32(std::uint32_t value) {
  unsigned char bytes[4];
  std::memcpy(bytes, &value, sizeof bytes);
  return (static_cast<std::uint32_t>(bytes[0]) << 24) |
         (static_cast<std::uint32_t>(bytes[1]) << 16) |
         (static_cast<std::uint32_t>(bytes[2]) << 8) | static_cast<std::uint32_t>(bytes[3]);
}

inline std::uint16_t HostToNet16(std::uint16_t value) {
  const unsigned char bytes[2] = {static_cast<unsigned char>(value >> 8),
                                  static_cast<unsigned char>(value)};
  std::uint16_t result;
  std::memcpy(&result, bytes, sizeof result);
  return result;
}

inline std::uint16_t NetToHost16(std::uint16_t value) {
  unsigned char bytes[2];
  std::memcpy(bytes, &value, sizeof bytes);
  return static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
}

}  // namespace platform
}  // namespace zhtext

#endif  // ZHTEXT_PLATFORM_BYTE_ORDER_H_
