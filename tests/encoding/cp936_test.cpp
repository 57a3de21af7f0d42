#include "zhtext/encoding/cp936.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/iconv_reference.h"
#include "zhtext/encoding/gbk_table.h"
#include "zhtext/encoding/utf8_coder.h"

namespace zhtext {
namespace {

using testing::G;
using testing::Hex;
using testing::IconvReference;

TEST(Cp936DecodeTest, EveryTwoByteSequenceAgreesWithIconv) {
  if (!IconvReference::Available()) GTEST_SKIP() << "no iconv with CP936 here";
  int valid = 0;
  for (unsigned lead = 0x81; lead <= 0xFF; ++lead) {
    for (unsigned trail = 0x00; trail <= 0xFF; ++trail) {
      std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      char16_t expected = 0;
      bool ok = IconvReference::DecodeChar(bytes, &expected);
      char16_t unit = 0;
      long n = DecodeCp936(bytes.data(), 2, &unit);
      if (trail < 0x40) {
        // ASCII trail bytes never complete a character.
        ASSERT_EQ(n, -1) << Hex(bytes);
        continue;
      }
      ASSERT_EQ(n == 1, ok) << Hex(bytes);
      if (ok) {
        ASSERT_EQ(unit, expected) << Hex(bytes);
        ASSERT_EQ(Cp936ToUnicode(lead * 256 + trail), expected);
        ++valid;
      }
    }
  }
  EXPECT_EQ(valid, 21791);  // all mapped units but the one-byte euro sign
}

TEST(Cp936DecodeTest, SingleBytesAndInvalidSequences) {
  struct Row {
    const char* name;
    std::string gbk;
    long units;          // -1: invalid
    std::size_t valid;   // bytes converted before the invalid sequence
  } rows[] = {
      {"empty", "", 0, 0},
      {"ascii", "abc", 3, 3},
      {"euro_byte", "\x80", 1, 1},
      {"chinese", "\xD6\xD0\xCE\xC4", 2, 4},
      {"lone_lead_at_end", "ab\xD6", -1, 2},
      {"lead_ff", "a\xFF\xA1", -1, 1},
      {"unassigned_pair", "\xA2\xA0", -1, 0},
      {"lead_then_zero", std::string("\xD6\0", 2), -1, 0},
      {"zero_byte_is_ascii", std::string("a\0b", 3), 3, 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<char16_t> out(row.gbk.size() + 1);
    std::size_t valid = 99;
    EXPECT_EQ(DecodeCp936(row.gbk.data(), row.gbk.size(), out.data(), &valid), row.units);
    EXPECT_EQ(valid, row.valid);
  }
}

TEST(Cp936DecodeTest, LenientReplacesEachInvalidSequenceOnce) {
  const std::string gbk = "\x81\x20" "a\xA2\xA0\xD6\xD0\xD6";  // bad+space, a, bad pair, 中, lone lead
  std::vector<char16_t> out(gbk.size());
  std::size_t replaced = 0;
  std::size_t n = DecodeCp936Lenient(gbk.data(), gbk.size(), out.data(), &replaced);
  EXPECT_EQ(std::u16string(out.data(), n), u"\uFFFD a\uFFFD\u4E2D\uFFFD");
  EXPECT_EQ(replaced, 3u);
}

TEST(Cp936EncodeTest, RoundTripsEveryMappedUnit) {
  for (unsigned u = 1; u < 0x10000; ++u) {
    char16_t unit = static_cast<char16_t>(u);
    char bytes[2];
    long n = EncodeCp936(&unit, 1, bytes);
    if (kGbkTable[u] == 0) {
      ASSERT_EQ(n, -1) << std::hex << u;
      continue;
    }
    ASSERT_GT(n, 0);
    char16_t back = 0;
    ASSERT_EQ(DecodeCp936(bytes, static_cast<std::size_t>(n), &back), 1);
    ASSERT_EQ(back, unit) << std::hex << u;
  }
}

TEST(GbkToUtf8Test, ConvertsOrFallsBackToTheInput) {
  struct Row {
    const char* name;
    std::string gbk;
    int result;
    std::string out;
  } rows[] = {
      {"empty", "", 0, ""},
      {"mixed", G("中文abc"), 5, "\xE4\xB8\xAD\xE6\x96\x87" "abc"},
      {"euro", "\x80", 1, "\xE2\x82\xAC"},
      {"invalid_copies_input", "ab\xA2\xA0" "cd", -1, "ab\xA2\xA0" "cd"},
      {"lone_lead_copies_input", "x\xD6", -1, "x\xD6"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string out = "stale";
    EXPECT_EQ(GbkToUtf8(row.gbk.c_str(), out), row.result);
    EXPECT_EQ(Hex(out), Hex(row.out));
  }
}

TEST(GbkToWideTest, KeepsUnitsBeforeAFailure) {
  std::u16string out;
  EXPECT_EQ(GbkToWide(G("中a"), out), 2);
  EXPECT_EQ(out, u"\u4E2Da");
  EXPECT_EQ(GbkToWide(G("中a") + "\xA2\xA0" + G("文"), out), -1);
  EXPECT_EQ(out, u"\u4E2Da");
  // The text ends at its first zero byte.
  EXPECT_EQ(GbkToWide(std::string("ab\0cd", 5), out), 2);
  EXPECT_EQ(out, u"ab");
}

TEST(WideToGbkTest, FailsOnAnUnrepresentableUnit) {
  std::string out;
  EXPECT_EQ(WideToGbk(u"\u4E2D\u20ACz", out), 4);
  EXPECT_EQ(Hex(out), Hex("\xD6\xD0\x80z"));
  EXPECT_EQ(WideToGbk(u"a\u4E2D\uE000b", out), -1);
  EXPECT_EQ(Hex(out), Hex("a\xD6\xD0"));
  EXPECT_EQ(WideToGbk(std::u16string(u"x\0y", 3), out), 1);
  EXPECT_EQ(out, "x");
}

TEST(Utf8ToGbkTest, AnUnrepresentableUnitEndsTheText) {
  struct Row {
    const char* name;
    std::string utf8;
    std::string gbk;
  } rows[] = {
      {"empty", "", ""},
      {"chinese", "\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},
      {"private_use_ends", "a\xEE\x80\x80" "b", "a"},
      {"overlong_zero_ends", "a\xC0\x80" "b", "a"},
      {"stray_bytes_skipped", "\x80" "a\xF0\x9F\x98\x80" "b", "ab"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string out = "stale";
    EXPECT_EQ(Utf8ToGbk(row.utf8.c_str(), out), 1);
    EXPECT_EQ(Hex(out), Hex(row.gbk));
  }
}

// Appends the GBK bytes of a table entry: one byte below 0x100, else lead
// then trail.
void AppendCode(std::string* gbk, std::uint16_t code) {
  if (code >= 0x100) *gbk += static_cast<char>(code >> 8);
  *gbk += static_cast<char>(code & 0xFF);
}

// Each conversion has a fast path of its own (the GBK to UTF-8 table, the
// direct UTF-8 to GBK loop); all must agree with the unit-by-unit
// converters on every character, the ones with 2-byte UTF-8 forms included.
TEST(Cp936Test, EveryMappedCharacterAgreesWithTheUnitConverters) {
  std::u16string units;
  std::string gbk;
  for (unsigned u = 1; u < 0x10000; ++u) {
    std::uint16_t code = kGbkTable[u];
    if (code == 0) continue;
    units.push_back(static_cast<char16_t>(u));
    AppendCode(&gbk, code);
  }
  ASSERT_EQ(units.size(), 0x7Fu + 21792u);
  std::string utf8(units.size() * 3, '\0');
  utf8.resize(UnitsToUtf8(units.data(), units.size(), &utf8[0]));

  std::u16string wide;
  EXPECT_EQ(GbkToWide(gbk, wide), static_cast<int>(units.size()));
  EXPECT_TRUE(wide == units);
  std::string out;
  EXPECT_EQ(GbkToUtf8(gbk.c_str(), out), static_cast<int>(units.size()));
  EXPECT_TRUE(out == utf8);
  EXPECT_EQ(Utf8ToGbk(utf8.c_str(), out), 1);
  EXPECT_TRUE(out == gbk);
  EXPECT_EQ(WideToGbk(units, out), static_cast<int>(gbk.size()));
  EXPECT_TRUE(out == gbk);
  std::vector<char> table(utf8.size() + 2);
  Utf8ToGbkByTable(utf8.c_str(), table.data());
  EXPECT_TRUE(std::string(table.data()) == gbk);
}

// Random byte mixtures (fixed seed): bytes from every range the decoders
// tell apart, and whole characters, so that valid and invalid runs meet.
std::string RandomBytes(std::mt19937& rng, const std::vector<std::string>& pieces) {
  std::string text;
  const std::size_t n = rng() % 24;
  for (std::size_t i = 0; i < n; ++i) text += pieces[rng() % pieces.size()];
  return text;
}

TEST(GbkToUtf8Test, AgreesWithGbkToWideOnRandomText) {
  const std::vector<std::string> pieces = {
      "a", " ", "\x80", "\x81", "\xFF", "\x40", "\xA1", "\xA2\xA0",
      G("中"), G("§"), G("€"), G("。"), "\xA1\xA4", "\xFE\xFE", "\xD6"};
  std::mt19937 rng(936);
  for (int round = 0; round < 3000; ++round) {
    const std::string gbk = RandomBytes(rng, pieces);
    SCOPED_TRACE(Hex(gbk));
    std::u16string wide;
    const int units = GbkToWide(gbk, wide);
    std::string out;
    ASSERT_EQ(GbkToUtf8(gbk.c_str(), out), units);
    if (units < 0) {
      ASSERT_EQ(out, gbk);
      continue;
    }
    std::string expected(wide.size() * 3, '\0');
    expected.resize(UnitsToUtf8(wide.data(), wide.size(), &expected[0]));
    ASSERT_EQ(Hex(out), Hex(expected));
  }
}

// Utf8ToGbk converts in one pass what Utf8ToUnicode decodes, stopping at a
// zero unit or a unit without a code.
TEST(Utf8ToGbkTest, AgreesWithUtf8ToUnicodeOnRandomText) {
  const std::vector<std::string> pieces = {
      "a", "\x7F", "\x80", "\xBF", "\xC2", "\xC0\x80", "\xC3\x41", "\xDF",
      "\xE4", "\xE4\xB8", "\xE4\xB8\xAD", "\xEE\x80\x80", "\xEF", "\xF0\x9F\x98\x80",
      "\xF8", "\xFF", "\xC2\xA7", "\xE2\x82\xAC", "\xE3\x80\x82"};
  std::mt19937 rng(20240105);
  for (int round = 0; round < 3000; ++round) {
    const std::string utf8 = RandomBytes(rng, pieces);
    SCOPED_TRACE(Hex(utf8));
    char16_t* units = nullptr;
    int count = 0;
    Utf8ToUnicode(utf8.c_str(), &units, &count);
    std::string expected;
    for (int i = 0; i < count && units[i] != 0; ++i) {
      const std::uint16_t code = kGbkTable[units[i]];
      if (code == 0) break;
      AppendCode(&expected, code);
    }
    std::free(units);
    std::string out;
    Utf8ToGbk(utf8.c_str(), out);
    ASSERT_EQ(Hex(out), Hex(expected));
  }
}

TEST(Cp936Test, SampleTextRoundTrips) {
  const std::string utf8 =
      "\xE4\xB8\xAD\xE6\x96\x87\xE4\xBF\xA1\xE6\x81\xAF\xE5\xA4\x84\xE7\x90\x86, GBK "
      "\xE2\x82\xAC 100\xE3\x80\x82";  // 中文信息处理, GBK € 100。
  std::string gbk;
  Utf8ToGbk(utf8.c_str(), gbk);
  std::string back;
  EXPECT_GT(GbkToUtf8(gbk.c_str(), back), 0);
  EXPECT_EQ(back, utf8);
}

}  // namespace
}  // namespace zhtext
