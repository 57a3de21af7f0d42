#include "zhtext/platform/case_compare.h"

#include <gtest/gtest.h>
#include <strings.h>

#include <cstddef>
#include <string>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace platform {
namespace {

using testing::G;

int Sign(int value) { return (value > 0) - (value < 0); }

constexpr std::size_t kWhole = static_cast<std::size_t>(-1);

struct CompareRow {
  const char* name;
  std::string a;
  std::string b;
  std::size_t n;  // kWhole: CompareNoCase, else CompareNoCaseN with n
  int sign;
};

TEST(CaseCompareTest, Table) {
  const CompareRow rows[] = {
      {"equal", "abc", "abc", kWhole, 0},
      {"letters fold", "HeLLo World", "hEllO wORLD", kWhole, 0},
      {"both empty", "", "", kWhole, 0},
      {"empty first", "", "a", kWhole, -1},
      {"prefix sorts first", "ab", "ABC", kWhole, -1},
      {"longer sorts after", "abc", "AB", kWhole, 1},
      {"last byte decides", "abC", "abd", kWhole, -1},
      {"digits are not letters", "1", "A", kWhole, -1},
      // Letters fold to lower case, so the bytes between 'Z' and 'a' sort
      // before every letter.
      {"underscore before letter", "_", "A", kWhole, -1},
      {"bracket before letter", "[", "a", kWhole, -1},
      {"at sign before letter", "@", "a", kWhole, -1},
      // Bytes above 0x7F compare as unsigned values and are never folded.
      {"high byte after ascii", "\xC4", "z", kWhole, 1},
      {"latin-1 letters not folded", "\xC4", "\xE4", kWhole, -1},
      {"gbk equal", G("中文"), G("中文"), kWhole, 0},
      {"gbk lead bytes", G("中"), G("文"), kWhole, 1},  // D6 D0 vs CE C4
      {"gbk after ascii", G("中"), "Z", kWhole, 1},
      {"gbk then ascii folds", G("中") + "ABC", G("中") + "abc", kWhole, 0},
      {"gbk trail in letter range folds", "\x81\x41", "\x81\x61", kWhole, 0},
      {"gbk trail bytes differ", "\x81\x80", "\x81\xFE", kWhole, -1},
      {"n zero", "a", "b", 0, 0},
      {"n stops before difference", "abcX", "ABCy", 3, 0},
      {"n reaches difference", "abcX", "ABCy", 4, -1},
      {"n past both ends", "ab", "AB", 10, 0},
      {"n past shorter end", "ab", "abc", 10, -1},
      {"n inside gbk character", G("中文"), G("中国"), 2, 0},
      {"n covers gbk character", G("中文"), G("中国"), 3, 1},  // CE vs B9
  };
  for (const CompareRow& row : rows) {
    SCOPED_TRACE(row.name);
    int result = row.n == kWhole ? CompareNoCase(row.a.c_str(), row.b.c_str())
                                 : CompareNoCaseN(row.a.c_str(), row.b.c_str(), row.n);
    EXPECT_EQ(Sign(result), row.sign) << testing::Hex(row.a) << " / " << testing::Hex(row.b);
  }
}

// The C library's strcasecmp in the "C" locale folds the same way, so every
// pair of byte values must order alike.
TEST(CaseCompareTest, AgreesWithCLocaleForAllBytePairs) {
  for (int x = 1; x < 256; ++x) {
    for (int y = 1; y < 256; ++y) {
      const char a[] = {static_cast<char>(x), 'q', '\0'};
      const char b[] = {static_cast<char>(y), 'Q', '\0'};
      ASSERT_EQ(Sign(CompareNoCase(a, b)), Sign(strcasecmp(a, b))) << x << " " << y;
      ASSERT_EQ(Sign(CompareNoCaseN(a, b, 1)), Sign(strncasecmp(a, b, 1))) << x << " " << y;
      ASSERT_EQ(Sign(CompareNoCase(a, b)), -Sign(CompareNoCase(b, a))) << x << " " << y;
    }
  }
}

}  // namespace
}  // namespace platform
}  // namespace zhtext
