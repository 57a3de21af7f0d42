#include "zhtext/util/loose_match.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

using testing::G;

// Exact-size copies, so that AddressSanitizer sees reads past a terminator.
std::unique_ptr<char[]> Copy(const std::string& s) {
  std::unique_ptr<char[]> c(new char[s.size() + 1]);
  std::memcpy(c.get(), s.c_str(), s.size() + 1);
  return c;
}

TEST(FindLoose, FindsTheNeedleIgnoringSoftBlanks) {
  struct Row {
    const char* name;
    std::string hay, needle;
    std::int32_t offset;
    int result, start, end;
    std::int32_t offsetAfter;
  } rows[] = {
      {"blanks on both sides", "xa\nby", "a b", 0, 0, 1, 4, 0},
      {"haystack ends within the needle", "xxab", "abc", 0, 2, 2, 4, -4},
      {"anchor is the last byte", "xa", "ab", 0, 1, 1, 2, -2},
      {"restart at the next anchor", "aab", "ab", 0, 0, 1, 3, 0},
      {"restart after a partial run", "abxabc", "abc", 0, 0, 3, 6, 0},
      {"leading blanks of the needle are skipped", "xab", "  ab", 0, 0, 1, 3, 0},
      {"trailing blanks of the needle are ignored", "xab", "ab\n ", 0, 0, 1, 3, 0},
      {"offset skips an earlier match", "abab", "ab", 1, 0, 2, 4, 1},
      {"negative offset counts as 0", "ab", "ab", -5, 0, 0, 2, 0},
      {"TAB is not a soft blank", "a\tb", "ab", 0, -1, 0, 0, 0},
      {"no anchor", "xyz", "a", 0, -1, 0, 0, 0},
      {"anchor but no match", "ax", "ab", 0, -1, 0, 0, 0},
      {"needle of soft blanks only", "a b", " \n", 0, -1, 0, 0, 0},
      {"empty needle", "ab", "", 0, -1, 0, 0, 0},
      {"empty haystack", "", "a", 0, -1, 0, 0, 0},
      {"one byte each", "a", "a", 0, 0, 0, 1, 0},
      {"offset at the end", "ab", "b", 2, -1, 0, 0, 2},
      {"offset beyond the end", "ab", "b", 3, -1, 0, 0, 3},
      {"bytes, not characters", G("中文"), "\xD0\xCE", 0, 0, 1, 3, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto hay = Copy(row.hay);
    auto needle = Copy(row.needle);
    int start = -9, end = -9;
    std::int32_t offset = row.offset;
    EXPECT_EQ(FindLoose(hay.get(), needle.get(), &start, &end, &offset), row.result);
    EXPECT_EQ(start, row.start);
    EXPECT_EQ(end, row.end);
    EXPECT_EQ(offset, row.offsetAfter);
  }
}

TEST(MatchLoose, AgreesOnceLayoutIsIgnored) {
  struct Row {
    const char* name;
    std::string a, b;
    std::int32_t limit;
    bool result;
    int start;
  } rows[] = {
      {"tags in a, notes in b", "<b>Title</b>", "Title[1]", -1, true, 0},
      {"blanks ignored, TAB too", "a b\tc\r\n", "abc", -1, true, 0},
      {"no common first byte, a short", "ab", "cd", -1, false, 0},
      {"differs after two bytes", "abc", "abd", -1, false, 0},
      {"differs after four ASCII bytes", "Hello world", "Hello there", -1, true, 0},
      {"differs after four GBK bytes", G("中文字"), G("中文书"), -1, false, 0},
      {"a inside b", "abc", "xxabc", -1, true, 2},
      {"b holds the start of a, limit reached", "abcdef", "zzabc", 3, true, 2},
      {"b holds the start of a, no limit", "abcdef", "zzabc", -1, false, 2},
      {"limit reached before the difference", "abcdef", "abcxyz", 3, true, 0},
      {"difference before the limit", "abcdef", "abcxyz", 4, false, 0},
      {"limit 0 stops at once: nothing matched", "abc", "abc", 0, false, 0},
      {"b shorter: prefix agrees", "abcdef", "abc", -1, true, 0},
      {"a long tag is text", "<0123456789abcdef>x", "x", -1, false, 0},
      {"a tag of 14 bytes is short", "<0123456789abc>x", "x", -1, true, 0},
      {"a bracket group of 15 bytes is text", "x", "[0123456789abcd]x", -1, false, 0},
      {"unclosed tag at the end", "ab<", "ab", -1, true, 0},
      {"both empty", "", "", -1, false, 0},
      {"b empty", "a", "", -1, false, 0},
      {"a of blanks only", "  ", "a", -1, false, 0},
      {"one byte each", "a", "a", -1, true, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto a = Copy(row.a);
    auto b = Copy(row.b);
    int start = -9;
    EXPECT_EQ(MatchLoose(a.get(), b.get(), &start, row.limit), row.result);
    EXPECT_EQ(start, row.start);
  }
}

TEST(CommonPrefixLoose, CopiesTheCommonBytesWithoutSoftBlanks) {
  struct Row {
    const char* a;
    const char* b;
    const char* prefix;
  } rows[] = {
      {"ab c", "a bcd", "abc"}, {"ab ", "ab  ", "ab"}, {"a\tb", "a\tc", "a\t"},
      {"a\tb", "ab", "a"},      {"", "x", ""},          {"x", "y", ""},
      {"\n\n", " ", ""},        {"same", "same", "same"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.a) + "|" + row.b);
    auto a = Copy(row.a);
    auto b = Copy(row.b);
    std::string out = "stale";
    EXPECT_EQ(CommonPrefixLoose(a.get(), b.get(), out), std::strlen(row.prefix));
    EXPECT_EQ(out, row.prefix);
  }
}

}  // namespace
}  // namespace zhtext
