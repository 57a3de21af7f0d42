#include "zhtext/encoding/url_decode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

using testing::G;
using testing::Hex;

TEST(HexPairToByte, ReadsBothLetterCasesAndAnyByte) {
  struct Row {
    const char* pair;
    unsigned byte;
  } rows[] = {
      {"41", 0x41}, {"4a", 0x4A}, {"4A", 0x4A}, {"ff", 0xFF}, {"FF", 0xFF}, {"00", 0x00},
      {"9z", 0xB3},    // 'z' counts as 'Z': 90 - 55 = 35; 9 * 16 + 35
      {"G0", 0x00},    // 'G' counts 16: 256 modulo 256
      {"\xC1" "1", 0x11},  // 0xC1 counts as -63, below 'A': (-111 * 16 + 1) modulo 256
      {" 1", 0x01},    // (-16 * 16 + 1) modulo 256
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Hex(row.pair));
    EXPECT_EQ(HexPairToByte(row.pair), row.byte);
  }
}

std::string Decode(const std::string& in) {
  std::unique_ptr<char[]> data(new char[in.size() + 1]);
  std::memcpy(data.get(), in.data(), in.size());
  std::unique_ptr<char[]> out(new char[in.size() + 1]);
  int len = -1;
  EXPECT_EQ(UrlDecode(data.get(), static_cast<int>(in.size()), out.get(), &len), 0);
  return std::string(out.get(), static_cast<std::size_t>(len));
}

TEST(UrlDecode, DecodesEveryPercentWithTwoBytesAfterIt) {
  struct Row {
    const char* name;
    std::string in;
    std::string out;
  } rows[] = {
      {"capital and small digits", "a%41%4a", "aAJ"},
      {"GBK bytes escaped", "%D6%D0%CE%C4", G("中文")},
      {"zero byte decoded and kept", "a%00b", std::string("a\0b", 3)},
      {"no check of the digits", "%zz", std::string(1, static_cast<char>(HexPairToByte("zz")))},
      {"'%' with one byte after it is copied", "a%4", "a%4"},
      {"'%' last", "ab%", "ab%"},
      {"'%' alone", "%", "%"},
      {"empty", "", ""},
      {"one byte", "x", "x"},
      {"escapes in a row", "%25%2525", "%%25"},
      {"plus is not a space", "a+b", "a+b"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Hex(Decode(row.in)), Hex(row.out));
  }
}

TEST(UrlDecode, NegativeLengthWritesNothing) {
  char out[4] = "xyz";
  int len = -1;
  EXPECT_EQ(UrlDecode("%41", -3, out, &len), 0);
  EXPECT_EQ(len, 0);
  EXPECT_STREQ(out, "xyz");
}

}  // namespace
}  // namespace zhtext
