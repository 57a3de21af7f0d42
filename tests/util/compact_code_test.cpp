#include "zhtext/util/compact_code.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

using testing::Hex;

std::string Encode(std::int32_t value, int* length) {
  char out[kCompactIntMaxBytes + 1] = {'\x5A', '\x5A', '\x5A', '\x5A', '\x5A'};
  *length = EncodeCompactInt(value, out);
  // Nothing is written beyond the encoding.
  for (int i = *length; i <= kCompactIntMaxBytes; ++i) EXPECT_EQ(out[i], '\x5A') << i;
  return std::string(out, static_cast<std::size_t>(*length));
}

TEST(CompactCodeTest, BoundaryValues) {
  using namespace std::string_literals;
  struct Row {
    std::int32_t value;
    std::string bytes;  // empty: cannot be encoded
  } rows[] = {
      {0, "\x00"s},
      {1, "\x01"s},
      {0x3F, "\x3F"s},
      {0x40, "\x40\x40"s},
      {300, "\x41\x2C"s},
      {0x3FFF, "\x7F\xFF"s},
      {0x4000, "\x80\x40\x00"s},
      {0x3FFFFF, "\xBF\xFF\xFF"s},
      {0x400000, "\xC0\x40\x00\x00"s},
      {0x12345678, "\xD2\x34\x56\x78"s},
      {0x3FFFFFFF, "\xFF\xFF\xFF\xFF"s},
      {0x40000000, ""s},
      {INT_MAX, ""s},
      {-1, ""s},
      {INT_MIN, ""s},
  };
  for (const Row& row : rows) {
    const std::string& expected = row.bytes;
    SCOPED_TRACE(std::to_string(row.value));
    int length;
    EXPECT_EQ(Hex(Encode(row.value, &length)), Hex(expected));
    EXPECT_EQ(length, static_cast<int>(expected.size()));
    if (expected.empty()) continue;
    // Decoding reads exactly the encoding, from a block of its size.
    std::vector<char> in(expected.begin(), expected.end());
    std::int32_t value = -99;
    EXPECT_EQ(DecodeCompactInt(in.data(), &value), length);
    EXPECT_EQ(value, row.value);
  }
}

// Every value around each length boundary, and values spread over the whole
// range (fixed seed), round-trip in the shortest form.
TEST(CompactCodeTest, RoundTrips) {
  std::vector<std::int32_t> values;
  for (std::int32_t edge : {0, 0x40, 0x4000, 0x400000, 0x3FFFFFFF}) {
    for (std::int32_t d = -3; d <= 3; ++d) {
      if (edge + d >= 0 && edge + d <= kCompactIntMax) values.push_back(edge + d);
    }
  }
  std::mt19937 rng(1468);
  for (int i = 0; i < 10000; ++i) values.push_back(static_cast<std::int32_t>(rng() & 0x3FFFFFFF));
  for (std::int32_t v : values) {
    SCOPED_TRACE(std::to_string(v));
    int length;
    const std::string bytes = Encode(v, &length);
    const int shortest = v <= 0x3F ? 1 : v <= 0x3FFF ? 2 : v <= 0x3FFFFF ? 3 : 4;
    ASSERT_EQ(length, shortest);
    std::int32_t back = -1;
    ASSERT_EQ(DecodeCompactInt(bytes.data(), &back), length);
    ASSERT_EQ(back, v);
  }
}

TEST(CompactCodeTest, LongerFormsDecodeToTheirValue) {
  struct Row {
    const char* name;
    std::string bytes;
    int length;
    std::int32_t value;
  } rows[] = {
      {"two bytes for 1", std::string("\x40\x01", 2), 2, 1},
      {"three bytes for 0", std::string("\x80\x00\x00", 3), 3, 0},
      {"four bytes for 0x3F", std::string("\xC0\x00\x00\x3F", 4), 4, 0x3F},
      {"bytes after the encoding are not read", std::string("\x05\xFF", 2), 1, 5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::int32_t value = -1;
    EXPECT_EQ(DecodeCompactInt(row.bytes.data(), &value), row.length);
    EXPECT_EQ(value, row.value);
  }
}

}  // namespace
}  // namespace zhtext
