#include "zhtext/platform/byte_order.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace zhtext {
namespace platform {
namespace {

TEST(ByteOrderTest, NetworkOrderIsHighByteFirstInMemory) {
  std::uint32_t wide = HostToNet32(0x01020304u);
  EXPECT_EQ(std::memcmp(&wide, "\x01\x02\x03\x04", 4), 0);
  std::uint16_t narrow = HostToNet16(0xA1B2u);
  EXPECT_EQ(std::memcmp(&narrow, "\xA1\xB2", 2), 0);

  std::uint32_t stored;
  std::memcpy(&stored, "\xFF\xFF\xFF\xFB", 4);  // -5 as a signed length
  EXPECT_EQ(static_cast<std::int32_t>(NetToHost32(stored)), -5);
}

TEST(ByteOrderTest, AgreesWithTheSocketLibrary) {
  for (std::uint32_t value : {0u, 1u, 0x7F000001u, 0x80000000u, 0xDEADBEEFu, 0xFFFFFFFFu}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(HostToNet32(value), htonl(value));
    EXPECT_EQ(NetToHost32(value), ntohl(value));
    EXPECT_EQ(NetToHost32(HostToNet32(value)), value);
    std::uint16_t half = static_cast<std::uint16_t>(value);
    EXPECT_EQ(HostToNet16(half), htons(half));
    EXPECT_EQ(NetToHost16(half), ntohs(half));
  }
}

}  // namespace
}  // namespace platform
}  // namespace zhtext
