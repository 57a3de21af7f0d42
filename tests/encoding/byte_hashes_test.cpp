#include "zhtext/encoding/byte_hashes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

using testing::G;

// The classic ELF hash over unsigned bytes, for comparison.
std::uint32_t UnsignedElf(const std::string& text) {
  std::uint32_t h = 0;
  for (unsigned char c : text) {
    h = (h << 4) + c;
    std::uint32_t g = h & 0xF0000000u;
    if (g != 0) h ^= g >> 24;
    h &= ~g;
  }
  return h;
}

TEST(ElfHashTest, FixedValues) {
  struct Row {
    const char* name;
    std::string text;
    std::uint32_t expected;
  } rows[] = {
      {"empty", "", 0},
      {"abc", "abc", 0x6783},
      // Long enough for the top nibble to fold back.
      {"alphabet", "abcdefghijklmnopqrstuvwxyz", 0x08D1E00A},
      // 0x80 adds -128: 0xFFFFFF80, folded to 0x0FFFFF70.
      {"byte 0x80", "\x80", 0x0FFFFF70},
      {"bytes 0xFF", std::string(9, '\xFF'), 0x0111EFFF},
      {"GBK", G("中华人民共和国"), 0x08D4DD0A},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ElfHash(row.text.c_str()), row.expected);
  }
  EXPECT_EQ(ElfHash(nullptr), 0u);
}

TEST(ElfHashTest, SignedBytesDifferFromTheUnsignedHash) {
  EXPECT_EQ(ElfHash("abc"), UnsignedElf("abc"));
  EXPECT_NE(ElfHash("\x80"), UnsignedElf("\x80"));
  EXPECT_EQ(UnsignedElf("\x80"), 0x80u);
  EXPECT_NE(ElfHash(G("中华人民共和国").c_str()), UnsignedElf(G("中华人民共和国")));
}

TEST(XorHashTest, FixedValues) {
  struct Row {
    const char* name;
    std::string text;
    std::uint32_t expected;
  } rows[] = {
      {"empty", "", 0},
      {"one word", "abcd", 0x64636261},
      // 'a' ^ 'e', 'b', 'c', 'd', little-endian.
      {"padded last word", "abcde", 0x64636204},
      {"one byte", "a", 0x61},
      {"equal words cancel", "abcdabcd", 0},
      {"high bytes", "\xFF\x80", 0x80FF},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(XorHash(row.text.c_str()), row.expected);
  }
  EXPECT_EQ(XorHash(nullptr), 0u);
}

}  // namespace
}  // namespace zhtext
