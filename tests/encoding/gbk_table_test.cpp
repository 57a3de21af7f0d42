#include "zhtext/encoding/gbk_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/iconv_reference.h"

namespace zhtext {
namespace {

using testing::Hex;
using testing::IconvReference;

TEST(GbkTableTest, CountAndPinnedEntries) {
  int mapped = 0;
  for (unsigned u = 0x80; u < 0x10000; ++u) mapped += kGbkTable[u] != 0;
  EXPECT_EQ(mapped, 21792);

  EXPECT_EQ(kGbkTable[0x4E00], 0xD2BB);  // 一
  EXPECT_EQ(kGbkTable[0x20AC], 0x80);    // euro sign, the one single-byte entry
  EXPECT_EQ(kGbkTable[0xE000], 0);       // private use
  EXPECT_EQ(kGbkTable[0x00B7], 0xA1A4);  // middle dot
  EXPECT_EQ(kGbkTable[0x554A], 0xB0A1);  // 啊
  EXPECT_EQ(kGbkTable[0x3000], 0xA1A1);  // ideographic space
  EXPECT_EQ(kGbkTable[0x2014], 0xA1AA);  // em dash
  EXPECT_EQ(kGbkTable[0xFFE5], 0xA3A4);  // full-width yen
  EXPECT_EQ(kGbkTable[0], 0);
  for (unsigned u = 1; u < 0x80; ++u) {
    EXPECT_EQ(kGbkTable[u], u);
  }
  for (unsigned u = 0xD800; u < 0xE000; ++u) ASSERT_EQ(kGbkTable[u], 0) << std::hex << u;
  for (unsigned u = 0xE000; u < 0xF900; ++u) ASSERT_EQ(kGbkTable[u], 0) << std::hex << u;
  for (unsigned u = 0x80; u < 0x10000; ++u) {
    if (u != 0x20AC && kGbkTable[u] != 0) {
      ASSERT_GE(kGbkTable[u], 0x8140) << std::hex << u;
    }
  }
}

TEST(GbkTableTest, AgreesWithIconvForEveryUnit) {
  if (!IconvReference::Available()) GTEST_SKIP() << "no iconv with CP936 here";
  for (unsigned u = 0x80; u < 0x10000; ++u) {
    if (u >= 0xD800 && u < 0xE000) continue;
    std::string expected;
    bool has = IconvReference::EncodeUnit(static_cast<char16_t>(u), &expected);
    std::uint16_t e = kGbkTable[u];
    std::string mine;
    if (e >= 0x100) {
      mine = {static_cast<char>(e >> 8), static_cast<char>(e & 0xFF)};
    } else if (e != 0) {
      mine = {static_cast<char>(e)};
    }
    ASSERT_EQ(Hex(mine), has ? Hex(expected) : "") << "U+" << std::hex << u;
  }
}

TEST(UnicodeToGbkTest, ConvertsReplacesAndTerminates) {
  struct Row {
    const char* name;
    std::u16string units;
    std::string gbk;
    unsigned replaced;
  } rows[] = {
      {"empty", u"", "", 0},
      {"yi", u"\u4E00", "\xD2\xBB", 0},
      {"private_use_becomes_ideographic_space", u"\uE000", "\xA1\xA1", 1},
      {"surrogate_unmapped", u"\xD800", "\xA1\xA1", 1},
      {"euro_single_byte", u"\u20AC", "\x80", 0},
      {"ascii_and_chinese", u"a\u554Ab", "a\xB0\xA1" "b", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<char> out(2 * row.units.size() + 4, '\x5A');
    unsigned replaced = 99;
    UnicodeToGbk(row.units.data(), out.data(), static_cast<unsigned>(row.units.size()), &replaced);
    EXPECT_EQ(Hex(std::string(out.data())), Hex(row.gbk));
    EXPECT_EQ(out[row.gbk.size()], '\0');
    EXPECT_EQ(out[row.gbk.size() + 1], '\0');
    EXPECT_EQ(replaced, row.replaced);
  }
}

TEST(UnitsToGbkTest, KeepsZeroUnits) {
  const std::u16string units(u"a\0\u4E00", 3);
  std::string out(units.size() * 2, '\0');
  out.resize(UnitsToGbk(units.data(), units.size(), &out[0]));
  EXPECT_EQ(Hex(out), Hex(std::string("a\0\xD2\xBB", 4)));
}

TEST(Utf8ToGbkByTableTest, ConvertsDropsAndCounts) {
  struct Row {
    const char* name;
    std::string utf8;
    std::string gbk;
    unsigned replaced, dropped;
  } rows[] = {
      {"empty", "", "", 0, 0},
      {"chinese_and_ascii", "\xE4\xB8\x80" "a\xE5\x95\x8A", "\xD2\xBB" "a\xB0\xA1", 0, 0},
      {"euro", "\xE2\x82\xAC", "\x80", 0, 0},
      {"four_byte_dropped", "x\xF0\x9F\x98\x80y", "xy", 0, 1},
      {"stray_dropped", "\x80z", "z", 0, 1},
      {"unmapped_replaced", "\xEE\x80\x80", "\xA1\xA1", 1, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<char> out(row.utf8.size() + 2, '\x5A');
    unsigned replaced = 99, dropped = 99;
    Utf8ToGbkByTable(row.utf8.c_str(), out.data(), &replaced, &dropped);
    EXPECT_EQ(Hex(std::string(out.data())), Hex(row.gbk));
    EXPECT_EQ(replaced, row.replaced);
    EXPECT_EQ(dropped, row.dropped);
  }
}

TEST(Utf8ToGbkByTableTest, OutputFitsTheDocumentedBuffer) {
  // Two-byte UTF-8 forms become two GBK bytes: the tightest case for a
  // buffer of strlen + 2.
  std::string utf8;
  for (int i = 0; i < 100; ++i) utf8 += "\xC2\xA7";  // section sign, A1 EC
  std::vector<char> out(utf8.size() + 2);
  Utf8ToGbkByTable(utf8.c_str(), out.data());
  EXPECT_EQ(std::string(out.data()).size(), 200u);
}

}  // namespace
}  // namespace zhtext
