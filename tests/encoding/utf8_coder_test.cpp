#include "zhtext/encoding/utf8_coder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

using testing::Hex;

constexpr char16_t kNoUnit = 0xFEFF;

TEST(DecodeUtf8CharTest, LengthAndUnit) {
  struct Row {
    const char* name;
    std::string bytes;
    unsigned len;  // bytes available
    int result;
    char16_t unit;
  } rows[] = {
      {"nothing_available", "A", 0, 1, kNoUnit},
      {"ascii", "A", 1, 1, u'A'},
      {"two_byte", "\xC3\xA9", 2, 2, 0xE9},
      {"two_byte_cut", "\xC3\xA9", 1, 2, kNoUnit},
      {"two_byte_bad_continuation", "\xC3\x41", 2, 2, kNoUnit},
      {"overlong_not_rejected", "\xC0\x80", 2, 2, 0},
      {"three_byte", "\xE4\xB8\xAD", 3, 3, 0x4E2D},
      {"three_byte_cut", "\xE4\xB8", 2, 3, kNoUnit},
      {"three_byte_bad_third", "\xE4\xB8\x41", 3, 3, kNoUnit},
      {"surrogate_not_rejected", "\xED\xA0\x80", 3, 3, 0xD800},
      {"four_byte", "\xF0\x9F\x98\x80", 4, 4, kNoUnit},
      {"five_byte", "\xF8\x88\x80\x80\x80", 5, 5, kNoUnit},
      {"six_byte", "\xFC\x84\x80\x80\x80\x80", 6, 6, kNoUnit},
      {"stray_continuation", "\x80", 1, 1, kNoUnit},
      {"fe", "\xFE", 1, 1, kNoUnit},
      {"ff", "\xFF", 1, 1, kNoUnit},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char16_t unit = 0x1234;
    EXPECT_EQ(DecodeUtf8Char(row.bytes.data(), row.len, &unit), row.result);
    EXPECT_EQ(unit, row.unit);
  }
}

// Runs Utf8ToUTF16 with the given capacity and returns the units written.
std::vector<char16_t> ToUtf16(const std::string& src, unsigned capacity, unsigned* consumed) {
  std::vector<char> dst(capacity + 8, '\x5A');
  unsigned dst_len = capacity;
  *consumed = Utf8ToUTF16(src.data(), static_cast<unsigned>(src.size()), dst.data(), &dst_len);
  EXPECT_EQ(dst_len % 2, 0u);
  EXPECT_LE(dst_len, capacity);
  // Nothing written past what was reported.
  EXPECT_EQ(dst[dst_len], '\x5A');
  std::vector<char16_t> units;
  for (unsigned i = 0; i < dst_len; i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<unsigned char>(dst[i]) |
                                          (static_cast<unsigned char>(dst[i + 1]) << 8)));
  }
  return units;
}

TEST(Utf8ToUTF16Test, ConvertsAndCountsBadCharacters) {
  struct Row {
    const char* name;
    std::string src;
    unsigned capacity;
    std::u16string units;
    unsigned consumed;
    unsigned bad;
  } rows[] = {
      {"empty", "", 16, u"", 0, 0},
      {"mixed", "a\xE4\xB8\xAD\xC3\xA9", 16, u"a\u4E2D\u00E9", 6, 0},
      {"cut_short_passes_length", "\xE4\xB8", 16, u"\uFEFF", 3, 1},
      {"four_byte_is_one_bad_unit", "\xF0\x9F\x98\x80", 16, u"\uFEFF", 4, 1},
      {"genuine_bom_counts", "\xEF\xBB\xBFx", 16, u"\uFEFFx", 4, 1},
      {"capacity_one_gives_nothing", "abc", 1, u"", 0, 0},
      {"capacity_zero_gives_nothing", "abc", 0, u"", 0, 0},
      {"capacity_limits_units", "abcdef", 5, u"ab", 2, 0},
      {"capacity_four_holds_two_units", "abc", 4, u"ab", 2, 0},
      {"not_stopped_by_zero_byte", std::string("a\0b", 3), 16, std::u16string(u"a\0b", 3), 3, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_nBadChars = 77;
    unsigned consumed = 0;
    std::vector<char16_t> units = ToUtf16(row.src, row.capacity, &consumed);
    EXPECT_EQ(std::u16string(units.begin(), units.end()), row.units);
    EXPECT_EQ(consumed, row.consumed);
    EXPECT_EQ(g_nBadChars, row.bad);
  }
}

TEST(Utf8ToUnicodeTest, SkipsWhatStartsNoShortForm) {
  struct Row {
    const char* name;
    std::string text;
    std::u16string units;
  } rows[] = {
      {"empty", "", u""},
      {"mixed", "a\xE4\xB8\xAD\xC3\xA9", u"a\u4E2D\u00E9"},
      {"continuation_taken_unchecked", "\xC3\x41z", u"\u00C1z"},
      {"stray_and_four_byte_skipped", "\x80x\xF0\x9F\x98\x80y", u"xy"},
      {"cut_by_terminator_ends", "ab\xE4\xB8", u"ab"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char16_t* units = nullptr;
    int count = -1;
    EXPECT_EQ(Utf8ToUnicode(row.text.c_str(), &units, &count), 0);
    ASSERT_NE(units, nullptr);
    EXPECT_EQ(std::u16string(units, count), row.units);
    EXPECT_EQ(units[count], 0);
    std::free(units);
  }
}

TEST(UnicodeToUtf8Test, EncodesOneToThreeBytes) {
  const char16_t units[] = {u'A', 0x00E9, 0x07FF, 0x0800, 0x4E2D, 0xD800, 0xFFFF};
  char* out = nullptr;
  EXPECT_EQ(UnicodeToUtf8(units, sizeof(units), &out), 0);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(Hex(out), Hex("A\xC3\xA9\xDF\xBF\xE0\xA0\x80\xE4\xB8\xAD\xED\xA0\x80\xEF\xBF\xBF"));
  std::free(out);

  // An odd byte length drops the half unit.
  EXPECT_EQ(UnicodeToUtf8(units, 3, &out), 0);
  EXPECT_STREQ(out, "A");
  std::free(out);
}

TEST(EncodeUtf8Test, ClassicFormsUpToSixBytes) {
  struct Row {
    const char* name;
    unsigned code_point;
    unsigned size;
    std::string bytes;  // empty: result 0
  } rows[] = {
      {"small_buffer_even_for_ascii", 'A', 5, ""},
      {"ascii", 'A', 6, "A"},
      {"two_max", 0x7FF, 6, "\xDF\xBF"},
      {"three_min", 0x800, 6, "\xE0\xA0\x80"},
      {"three_max", 0xFFFF, 6, "\xEF\xBF\xBF"},
      {"four_min", 0x10000, 6, "\xF0\x90\x80\x80"},
      {"four_max", 0x1FFFFF, 6, "\xF7\xBF\xBF\xBF"},
      {"five_min", 0x200000, 6, "\xF8\x88\x80\x80\x80"},
      {"six_max", 0x7FFFFFFF, 6, "\xFD\xBF\xBF\xBF\xBF\xBF"},
      {"too_large", 0x80000000u, 6, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char out[8] = {};
    int n = EncodeUtf8(row.code_point, out, row.size);
    EXPECT_EQ(n, static_cast<int>(row.bytes.size()));
    EXPECT_EQ(Hex(std::string(out, n)), Hex(row.bytes));
  }
  EXPECT_EQ(EncodeUtf8('A', nullptr, 6), 0);
}

TEST(Utf8ToUcs2Test, OnlyWellFormedShortFormsGiveUnits) {
  struct Row {
    const char* name;
    std::string text;
    std::u16string units;
  } rows[] = {
      {"empty", "", u""},
      {"mixed", "a\xE4\xB8\xAD\xC3\xA9", u"a\u4E2D\u00E9"},
      {"bad_continuation_skips_lead_only", "\xC3\x41", u"A"},
      {"cut_three_byte", "\xE4\xB8z", u"z"},
      {"four_byte_consumed", "\xF0\x9F\x98\x80x", u"x"},
      {"four_byte_malformed", "\xF0\x9F\x41", u"A"},
      {"f8_skipped", "\xF8q", u"q"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<char> buf(2 * row.text.size() + 1, '\x5A');
    int n = Utf8ToUcs2(row.text.c_str(), buf.data());
    ASSERT_EQ(n, static_cast<int>(row.units.size()));
    for (int i = 0; i < n; ++i) {
      char16_t u = static_cast<char16_t>(static_cast<unsigned char>(buf[2 * i]) |
                                         (static_cast<unsigned char>(buf[2 * i + 1]) << 8));
      EXPECT_EQ(u, row.units[i]) << i;
    }
    EXPECT_EQ(buf[2 * n], '\0');
  }
}

TEST(Utf8ToUnitsTest, CountedFormKeepsZeroBytesAndCountsDrops) {
  const std::string src("a\0\xE4\xB8\xAD\x80\xF0\x9F\x98\x80", 10);
  std::vector<char16_t> dst(src.size());
  std::size_t dropped = 0;
  std::size_t n = Utf8ToUnits(src.data(), src.size(), dst.data(), &dropped);
  EXPECT_EQ(std::u16string(dst.data(), n), std::u16string(u"a\0\u4E2D", 3));
  EXPECT_EQ(dropped, 2u);
}

TEST(UnitsToUtf8Test, MatchesUnicodeToUtf8) {
  std::u16string units;
  for (unsigned u = 0; u < 0x10000; u += 7) units.push_back(static_cast<char16_t>(u));
  std::string counted(units.size() * 3, '\0');
  counted.resize(UnitsToUtf8(units.data(), units.size(), &counted[0]));
  char* out = nullptr;
  UnicodeToUtf8(units.data(), static_cast<unsigned>(units.size() * 2), &out);
  // The zero unit at index 0 ends the zero-terminated form: compare from 1.
  std::size_t len = counted.size();
  EXPECT_EQ(std::memcmp(out + 1, counted.data() + 1, len - 1), 0);
  std::free(out);
}

}  // namespace
}  // namespace zhtext
