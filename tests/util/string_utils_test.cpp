#include "zhtext/util/string_utils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

using testing::G;
using testing::Hex;
using List = std::vector<std::string>;

const std::string kIdeographicSpace = "\xA1\xA1";  // 　 (U+3000)
const std::string kFullWidthA3A0 = "\xA3\xA0";

// GBK characters whose second byte is an ASCII byte: no rule that looks for
// that ASCII byte may take them for it.
const std::string kTrailUnderscore = "\x81\x5F";  // 乢
const std::string kTrailBracket = "\x81\x5D";     // 乣
const std::string kTrailBackslash = "\x81\x5C";   // 乗
const std::string kTrailBar = "\x83\x7C";         // 億
const std::string kTrailCaret = "\x81\x5E";       // 乤
const std::string kTrailCapitalA = "\x81\x41";    // 丂

// ---- Trimming and whitespace ---------------------------------------------

TEST(TrimSpacesTest, Table) {
  struct Row {
    const char* name;
    std::string text;
    std::string expected;
    bool result;
  } rows[] = {
      {"full_width_and_blanks", kIdeographicSpace + " abc\t" + kIdeographicSpace, "abc", true},
      {"blanks_only", " \t\r\n ", "", true},
      {"empty", "", "", false},
      {"a3a0_pairs", kFullWidthA3A0 + "x" + kFullWidthA3A0, "x", true},
      {"mixed_at_back", "x \r\n" + kIdeographicSpace + "\t" + kFullWidthA3A0, "x", true},
      {"full_width_only", kIdeographicSpace + kIdeographicSpace + kFullWidthA3A0, "", true},
      {"chinese_kept", " " + G("中文") + " ", G("中文"), true},
      {"inner_kept", " a " + kIdeographicSpace + " b ", "a " + kIdeographicSpace + " b", true},
      {"lone_a1_is_not_blank", "\xA1" "x\xA1", "\xA1" "x\xA1", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string text = row.text;
    EXPECT_EQ(TrimSpaces(text), row.result);
    EXPECT_EQ(Hex(text), Hex(row.expected));
  }
}

TEST(TrimCharTest, Table) {
  struct Row {
    const char* name;
    std::string text;
    char ch;
    std::string expected;
  } rows[] = {
      {"both_ends", "--a-b--", '-', "a-b"},
      {"only_ch", "----", '-', ""},
      {"empty", "", '-', ""},
      {"none", "abc", '-', "abc"},
      {"gbk_kept", G("中") + "AA", 'A', G("中")},
      {"second_byte_at_the_end_kept", "\\a" + kTrailBackslash, '\\', "a" + kTrailBackslash},
      {"second_bytes_then_the_byte", "_" + kTrailUnderscore + kTrailUnderscore + "__", '_',
       kTrailUnderscore + kTrailUnderscore},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string text = row.text;
    TrimChar(text, row.ch);
    EXPECT_EQ(Hex(text), Hex(row.expected));
  }
}

TEST(CollapseSpacesTest, Table) {
  struct Row {
    const char* name;
    std::string text;
    std::string expected;
  } rows[] = {
      {"inner_run", "  a \t b  ", "a b"},
      {"empty", "", ""},
      {"blanks_only", " \t\r\n", ""},
      {"line_breaks_become_space", "a\r\nb\nc", "a b c"},
      {"gbk_bytes_never_blank", "\xA0\x85 \xA1\xA1", "\xA0\x85 \xA1\xA1"},
      {"single", "x", "x"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<char> buffer(row.text.begin(), row.text.end());
    buffer.push_back('\0');
    EXPECT_EQ(CollapseSpaces(buffer.data()), buffer.data());
    EXPECT_EQ(Hex(buffer.data()), Hex(row.expected));
  }
  EXPECT_EQ(CollapseSpaces(nullptr), nullptr);
}

TEST(NormalizeSpacesTest, Table) {
  struct Row {
    const char* name;
    std::string text;
    std::string expected;
  } rows[] = {
      {"between_chinese_dropped", G("中") + " " + G("文"), G("中文")},
      {"between_letters_kept", "ab cd", "ab cd"},
      {"trailing_crlf_ignored", "x\r\n", "x"},
      {"single_lf_kept", "\n", "\n"},
      {"blanks_only_keep_first", "\t \n", "\t"},
      {"last_appended_byte_decides", "a   b", "a  b"},
      {"tab_kept_as_tab", "a\tb", "a\tb"},
      {"letter_after_chinese", G("中") + " a", G("中") + " a"},
      {"leading_before_chinese", " " + G("中"), G("中")},
      {"after_letter_at_end", "a ", "a "},
      {"digits_are_not_letters", "1 2", "12"},
      {"second_byte_letter_is_no_letter", kTrailCapitalA + " " + G("中"), kTrailCapitalA + G("中")},
      {"empty", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string out = "stale";
    NormalizeSpaces(row.text.c_str(), out);
    EXPECT_EQ(Hex(out), Hex(row.expected));
  }
  std::string out = "stale";
  NormalizeSpaces(nullptr, out);
  EXPECT_EQ(out, "");
}

TEST(CountNonSpaceTest, BlankBytesOnlyAreSkipped) {
  EXPECT_EQ(CountNonSpace(" a\tb\r\n"), 2u);
  EXPECT_EQ(CountNonSpace(G("中文").c_str()), 4u);
  // 0xA0 and 0x85 are spaces in some single-byte locales, never in GBK text.
  EXPECT_EQ(CountNonSpace("\xA0\x85\xA1\xA1"), 4u);
  EXPECT_EQ(CountNonSpace("\v\f"), 2u);  // not in the blank set
  EXPECT_EQ(CountNonSpace(""), 0u);
  EXPECT_EQ(CountNonSpace(nullptr), 0u);
}

TEST(AppendNewLineTest, LineBreakAndIndentation) {
  std::string text = "x";
  AppendNewLine(text, 3, '\t');
  EXPECT_EQ(text, "x\r\n\t\t\t");
  AppendNewLine(text, 0, ' ');
  EXPECT_EQ(text, "x\r\n\t\t\t\r\n");
}

// ---- Splitting and tokenising --------------------------------------------

TEST(SplitOnceTest, Table) {
  struct Row {
    const char* name;
    std::string source;
    std::string separator;
    std::string left;
    std::string right;
    bool result;
  } rows[] = {
      {"trimmed_parts", " k = v ", "=", "k", "v", true},
      {"empty_left", "=v", "=", "", "v", false},
      {"blank_left", "  = v", "=", "", "v", false},
      {"absent_separator", " a b ", ":", " a b ", "", true},
      {"empty_separator", "a=b", "", "a=b", "", true},
      {"empty_source", "", "=", "", "", false},
      {"first_occurrence", "a=b=c", "=", "a", "b=c", true},
      {"long_separator", "key::value", "::", "key", "value", true},
      {"second_byte_is_no_separator", "k" + kTrailBar + "v|w", "|", "k" + kTrailBar + "v", "w",
       true},
      {"only_a_second_byte", "k" + kTrailBar + "v", "|", "k" + kTrailBar + "v", "", true},
      {"full_width_trimmed", "k" + kIdeographicSpace + "=" + kIdeographicSpace + "v", "=", "k",
       "v", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string left = "stale", right = "stale";
    EXPECT_EQ(SplitOnce(row.source, left, right, row.separator), row.result);
    EXPECT_EQ(left, row.left);
    EXPECT_EQ(right, row.right);
  }
}

TEST(SplitOnceTest, OutputMayBeTheSource) {
  std::string text = "a = b";
  std::string right;
  EXPECT_TRUE(SplitOnce(text, text, right, "="));
  EXPECT_EQ(text, "a");
  EXPECT_EQ(right, "b");
}

TEST(SplitByStringTest, Table) {
  struct Row {
    const char* name;
    const char* text;
    const char* separator;
    List expected;
    bool result;
  } rows[] = {
      {"empty_pieces_dropped", ",,a,,b,", ",", {"a", "b"}, true},
      {"empty_separator", "abc", "", {"abc"}, true},
      {"null_separator", "abc", nullptr, {"abc"}, true},
      {"absent_separator", "abc", ";", {"abc"}, true},
      {"multi_byte_separator", "a<>b<><>c", "<>", {"a", "b", "c"}, true},
      {"non_overlapping", "aaaa", "aa", {}, true},
      {"only_separator", ",", ",", {}, true},
      {"empty_text", "", ",", {}, false},
      {"null_text", nullptr, ",", {}, false},
      // A separator is found only where a character starts.
      {"second_byte_is_no_separator", "a|\x83\x7C|b", "|", {"a", "\x83\x7C", "b"}, true},
      {"only_second_bytes", "\x83\x7C\x83\x7C", "|", {"\x83\x7C\x83\x7C"}, true},
      {"separator_across_characters", "\x81\x5F\x81\x5F", "\x5F\x81", {"\x81\x5F\x81\x5F"}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    List list = {"stale"};
    EXPECT_EQ(SplitByString(row.text, list, row.separator), row.result);
    EXPECT_EQ(list, row.expected);
  }
}

// What the C library's strtok makes of the same text: the behaviour
// SplitByChars keeps, without strtok's shared position.
List StrtokReference(const std::string& text, const char* delimiters) {
  std::vector<char> copy(text.begin(), text.end());
  copy.push_back('\0');
  List out;
  for (char* token = std::strtok(copy.data(), delimiters); token != nullptr;
       token = std::strtok(nullptr, delimiters)) {
    out.emplace_back(token);
  }
  return out;
}

TEST(SplitByCharsTest, MatchesStrtok) {
  struct Row {
    const char* name;
    std::string text;
    const char* delimiters;
  } rows[] = {
      {"runs_of_delimiters", "  a,,b ", " ,"},
      {"leading_trailing", ",a,", ","},
      {"only_delimiters", ",,,", ","},
      {"no_delimiters", "abc", ""},
      {"tabs_and_newlines", "a\tb\r\nc", "\t\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    List list = {"stale"};
    EXPECT_TRUE(SplitByChars(row.text.c_str(), list, row.delimiters));
    EXPECT_EQ(list, StrtokReference(row.text, row.delimiters));
  }
}

// Only one-byte characters are delimiters: the bytes of a two-byte
// character never cut it, whether second bytes of ASCII value or lead bytes.
TEST(SplitByCharsTest, TwoByteCharactersAreNeverCut) {
  struct Row {
    const char* name;
    std::string text;
    const char* delimiters;
    List expected;
  } rows[] = {
      {"second_byte_bar", "a|" + kTrailBar + "|b" + kTrailBar, "|",
       {"a", kTrailBar, "b" + kTrailBar}},
      {"second_byte_backslash", kTrailBackslash + "\\x", "\\", {kTrailBackslash, "x"}},
      {"lead_byte_delimiter", G("中,文") + "\xA1\xA1" + "x", "\xA1", {G("中,文") + "\xA1\xA1" + "x"}},
      {"lone_lead_byte_at_the_end", "ab\xA1", "\xA1", {"ab"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    List list;
    EXPECT_TRUE(SplitByChars(row.text.c_str(), list, row.delimiters));
    EXPECT_EQ(list, row.expected);
  }
}

TEST(SplitByCharsTest, SplitsTheWholeOfALongText) {
  // 30,000 bytes: every token must come back, not only those within the
  // first 10,000 bytes.
  std::string text;
  List expected;
  for (int i = 0; text.size() < 30000; ++i) {
    expected.push_back("w" + std::to_string(i));
    text += expected.back() + (i % 3 == 0 ? ";;" : " ");
  }
  ASSERT_GT(text.size(), 10000u);
  List list;
  EXPECT_TRUE(SplitByChars(text.c_str(), list, "; "));
  EXPECT_EQ(list, expected);
  EXPECT_EQ(list, StrtokReference(text, "; "));

  // A single token longer than 10,000 bytes stays whole.
  const std::string big(12000, 'x');
  EXPECT_TRUE(SplitByChars((big + "," + "y").c_str(), list, ","));
  EXPECT_EQ(list, (List{big, "y"}));
}

TEST(SplitByCharsTest, NullOrEmptyText) {
  List list = {"stale"};
  EXPECT_FALSE(SplitByChars(nullptr, list, ","));
  EXPECT_TRUE(list.empty());
  list = {"stale"};
  EXPECT_FALSE(SplitByChars("", list, ","));
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(SplitByChars("a,b", list, nullptr));
  EXPECT_EQ(list, List{"a,b"});
}

TEST(NextTokenTest, WalksTheBufferWithTheCursor) {
  char text[] = "  a,,b ";
  char* cursor = nullptr;
  char* token = NextToken(text, " ,", &cursor);
  EXPECT_STREQ(token, "a");
  ASSERT_NE(cursor, nullptr);
  token = NextToken(cursor, " ,", &cursor);
  EXPECT_STREQ(token, "b");
  ASSERT_NE(cursor, nullptr);
  token = NextToken(cursor, " ,", &cursor);
  ASSERT_NE(token, nullptr);
  EXPECT_STREQ(token, "");
  EXPECT_EQ(cursor, nullptr);
}

TEST(NextTokenTest, SecondBytesAreNoDelimiters) {
  std::string text = "a|" + kTrailBar + "b|" + kTrailBar;
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  char* cursor = nullptr;
  List tokens;
  for (char* p = buffer.data(); p != nullptr; p = cursor) {
    tokens.emplace_back(NextToken(p, "|", &cursor));
  }
  EXPECT_EQ(tokens, (List{"a", kTrailBar + "b", kTrailBar}));
}

TEST(NextTokenTest, EdgeCases) {
  char* cursor = reinterpret_cast<char*>(1);
  EXPECT_EQ(NextToken(nullptr, ",", &cursor), nullptr);

  char last[] = "abc";
  EXPECT_STREQ(NextToken(last, ",", &cursor), "abc");
  EXPECT_EQ(cursor, nullptr);

  char only[] = ",,,";
  EXPECT_STREQ(NextToken(only, ",", &cursor), "");
  EXPECT_EQ(cursor, nullptr);

  // Two independent walks interleaved: the position lives in the cursor.
  char first[] = "a b";
  char second[] = "x y";
  char* c1 = nullptr;
  char* c2 = nullptr;
  EXPECT_STREQ(NextToken(first, " ", &c1), "a");
  EXPECT_STREQ(NextToken(second, " ", &c2), "x");
  EXPECT_STREQ(NextToken(c1, " ", &c1), "b");
  EXPECT_STREQ(NextToken(c2, " ", &c2), "y");
}

TEST(NextLineTest, Table) {
  struct Row {
    const char* name;
    std::string text;
    bool allow_quotes;
    const char* line;  // null: no line
    int line_end;      // offset of the line end in the text, -1 for none
    char saved;
    int quoted;
  } rows[] = {
      {"quoted_spans_lines", "^^x\ny^^rest", true, "x\ny", 7, 'r', 1},
      {"plain_crlf", "  abc\r\ndef", false, "abc", 5, '\r', 0},
      {"lf_before_cr", "ab\n\rc", false, "ab", 2, '\n', 0},
      {"no_line_end", "abc", false, "abc", -1, 0, 0},
      {"blanks_only", "  \r\n ", false, nullptr, -1, 0, 0},
      {"empty", "", false, nullptr, -1, 0, 0},
      {"quote_later_ends_line_first", "ab^^c^^d", true, "ab", 2, '^', 0},
      {"quotes_not_allowed", "^^x^^y", false, "^^x^^y", -1, 0, 0},
      {"quote_on_a_later_line_ignored", "a\n^^b^^", true, "a", 1, '\n', 0},
      {"unclosed_quote", "^^x^", true, "^^x^", -1, 0, 0},
      {"unclosed_quote_before_lf", "^^x\ny", true, "^^x", 3, '\n', 0},
      {"lone_caret_at_end", "ab^", true, "ab^", -1, 0, 0},
      {"lone_caret_only", "^", true, "^", -1, 0, 0},
      {"closing_pair_at_end", "^^x^^", true, "x", -1, 0, 1},
      {"quote_after_blanks", "  ^^a b^^\nz", true, "a b", 9, '\n', 1},
      {"pair_too_close_to_line_end", "x^^\ny^^", true, "x^^", 3, '\n', 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<char> buffer(row.text.begin(), row.text.end());
    buffer.push_back('\0');
    char* line_end = reinterpret_cast<char*>(1);
    char saved = 'Z';
    int quoted = 7;
    char* line = NextLine(buffer.data(), &line_end, &saved, &quoted, row.allow_quotes);
    if (row.line == nullptr) {
      EXPECT_EQ(line, nullptr);
    } else {
      ASSERT_NE(line, nullptr);
      EXPECT_STREQ(line, row.line);
    }
    if (row.line_end < 0) {
      EXPECT_EQ(line_end, nullptr);
    } else {
      EXPECT_EQ(line_end, buffer.data() + row.line_end);
      EXPECT_EQ(*line_end, '\0');
    }
    EXPECT_EQ(saved, row.saved);
    EXPECT_EQ(quoted, row.quoted);
  }
}

// 乤 (81 5E) ends in the byte of '^' but is no quote mark.
TEST(NextLineTest, SecondBytesAreNoQuoteMarks) {
  struct Row {
    const char* name;
    std::string text;
    std::string line;
    int line_end;  // offset, -1 for none
    char saved;
    int quoted;
  } rows[] = {
      {"opens_nothing", "a" + kTrailCaret + "^b^^c", "a" + kTrailCaret, 3, '^', 0},
      {"inside_a_quote", "^^" + kTrailCaret + "^^z", kTrailCaret, 6, 'z', 1},
      {"alone", "x" + kTrailCaret + "y", "x" + kTrailCaret + "y", -1, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<char> buffer(row.text.begin(), row.text.end());
    buffer.push_back('\0');
    char* line_end = nullptr;
    char saved = 'Z';
    int quoted = 7;
    const char* line = NextLine(buffer.data(), &line_end, &saved, &quoted, true);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(Hex(line), Hex(row.line));
    EXPECT_EQ(line_end, row.line_end < 0 ? nullptr : buffer.data() + row.line_end);
    EXPECT_EQ(saved, row.saved);
    EXPECT_EQ(quoted, row.quoted);
  }
}

TEST(NextLineTest, CallerLoopVisitsEveryLine) {
  std::string text = "l1\r\nl2\n\n  ^^q1\nq2^^\nl3 ^^q3^^ tail\n";
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  List lines;
  std::vector<int> quoted_flags;
  char* p = buffer.data();
  while (p != nullptr) {
    char* line_end = nullptr;
    char saved = 0;
    int quoted = 0;
    char* line = NextLine(p, &line_end, &saved, &quoted, true);
    if (line == nullptr) break;
    lines.emplace_back(line);
    quoted_flags.push_back(quoted);
    if (line_end == nullptr) break;
    if (saved == '^') {  // the unquoted part before a quote: resume at the quote
      *line_end = saved;
      p = line_end;
    } else {
      p = line_end + 1;
    }
  }
  EXPECT_EQ(lines, (List{"l1", "l2", "q1\nq2", "l3 ", "q3", "tail"}));
  EXPECT_EQ(quoted_flags, (std::vector<int>{0, 0, 1, 0, 1, 0}));
}

TEST(NextLineTest, QuotedFlagIsOptional) {
  char text[] = "^^a^^b";
  char* line_end = nullptr;
  char saved = 0;
  EXPECT_STREQ(NextLine(text, &line_end, &saved, nullptr, true), "a");
  EXPECT_EQ(saved, 'b');
}

TEST(ReadLineTest, StepsOverLineBreaks) {
  const char* src = "a\r\n\r\nbc\nd";
  char dst[16];
  const char* next = ReadLine(src, dst);
  EXPECT_STREQ(dst, "a");
  ASSERT_NE(next, nullptr);
  EXPECT_STREQ(next, "bc\nd");
  next = ReadLine(next, dst);
  EXPECT_STREQ(dst, "bc");
  next = ReadLine(next, dst);
  EXPECT_STREQ(dst, "d");
  EXPECT_EQ(next, nullptr);

  EXPECT_EQ(ReadLine("x\r\n", dst), nullptr);
  EXPECT_STREQ(dst, "x");
  next = ReadLine("\n\nx", dst);
  EXPECT_STREQ(dst, "");
  EXPECT_STREQ(next, "x");
  std::strcpy(dst, "stale");
  EXPECT_EQ(ReadLine(nullptr, dst), nullptr);
  EXPECT_STREQ(dst, "");
}

TEST(SplitCharsTest, Table) {
  struct Row {
    const char* name;
    std::string text;
    bool utf8;
    List expected;
  } rows[] = {
      {"gbk", G("中") + "a" + G("文"), false, {G("中"), "a", G("文")}},
      {"gbk_lone_lead_at_end", "a\xB0", false, {"a", "\xB0"}},
      {"gbk_any_trail_byte", "\x81\x20" "b", false, {"\x81\x20", "b"}},
      {"utf8", "\xE4\xB8\xAD" "a\xC3\xA9", true, {"\xE4\xB8\xAD", "a", "\xC3\xA9"}},
      {"utf8_truncated", "a\xE4\xB8", true, {"a", "\xE4\xB8"}},
      {"empty", "", false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    List list = {"stale"};
    EXPECT_EQ(SplitChars(row.text.c_str(), list, row.utf8), static_cast<int>(row.expected.size()));
    EXPECT_EQ(list, row.expected);
  }
  List list = {"stale"};
  EXPECT_EQ(SplitChars(nullptr, list, false), 0);
  EXPECT_TRUE(list.empty());
}

// ---- Joining, replacing, case --------------------------------------------

TEST(JoinStringsTest, Table) {
  struct Row {
    const char* name;
    List list;
    const char* separator;
    std::string expected;
  } rows[] = {
      {"empty_element_skips_separator", {"a", "", "b"}, ",", "a,b"},
      {"empty_last_element", {"a", "b", ""}, ",", "a,b,"},
      {"empty_list", {}, ",", ""},
      {"single", {"a"}, ",", "a"},
      {"all_empty", {"", ""}, ",", ""},
      {"long_separator", {"a", "b", "c"}, ", ", "a, b, c"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string out = "stale";
    EXPECT_STREQ(JoinStrings(row.list, row.separator, out), row.expected.c_str());
    EXPECT_EQ(out, row.expected);
  }
}

TEST(ReplaceAllTest, Table) {
  const std::string zhong = G("中");
  struct Row {
    const char* name;
    std::string text;
    const char* find;
    const char* with;
    int count;
    std::string expected;
  } rows[] = {
      {"with_contains_find", "aaa", "a", "aa", 3, "aaaaaa"},
      {"underscore_to_blank", "new_york_city", "_", " ", 2, "new york city"},
      {"non_overlapping", "aaaa", "aa", "b", 2, "bb"},
      {"removal", "a-b-c", "-", "", 2, "abc"},
      {"null_with_removes", "a-b", "-", nullptr, 1, "ab"},
      {"absent", "abc", "x", "y", 0, "abc"},
      {"empty_find", "abc", "", "y", 0, "abc"},
      {"null_find", "abc", nullptr, "y", 0, "abc"},
      {"empty_text", "", "a", "b", 0, ""},
      {"gbk", G("中文中"), zhong.c_str(), "Z", 2, "Z" + G("文") + "Z"},
      // Occurrences start where a character starts.
      {"second_byte_underscore_kept", "ab" + kTrailUnderscore + "c_d", "_", " ", 1,
       "ab" + kTrailUnderscore + "c d"},
      {"find_across_characters", kTrailUnderscore + kTrailUnderscore, "\x5F\x81", "!", 0,
       kTrailUnderscore + kTrailUnderscore},
      {"two_byte_find", kTrailUnderscore + "_" + kTrailUnderscore, "\x81\x5F", "-", 2, "-_-"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string text = row.text;
    EXPECT_EQ(ReplaceAll(text, row.find, row.with), row.count);
    EXPECT_EQ(Hex(text), Hex(row.expected));
  }
}

TEST(ReplaceCharTest, EveryByteReplaced) {
  EXPECT_EQ(ReplaceChar("a,b,,c", ',', "::"), "a::b::::c");
  EXPECT_EQ(ReplaceChar("a,b", ',', ""), "ab");
  EXPECT_EQ(ReplaceChar("abc", 'x', "y"), "abc");
  EXPECT_EQ(ReplaceChar("", ',', "y"), "");
  // Only one-byte characters are replaced.
  EXPECT_EQ(ReplaceChar("a" + kTrailUnderscore + "b_", '_', "-"), "a" + kTrailUnderscore + "b-");
}

TEST(RemoveByteTest, KeepsOrderAndZeroFills) {
  char buffer[] = {'a', 0, 'b', 0, 'c', 'X'};
  EXPECT_EQ(RemoveByte(buffer, 5, '\0'), 3u);
  EXPECT_EQ(std::string(buffer, 6), std::string("abc\0\0X", 6));  // bytes past `length` untouched

  char same[] = "xxx";
  EXPECT_EQ(RemoveByte(same, 3, 'x'), 0u);
  EXPECT_EQ(std::string(same, 3), std::string(3, '\0'));

  EXPECT_EQ(RemoveByte(nullptr, 5, 'a'), 0u);
  char untouched[] = "a";
  EXPECT_EQ(RemoveByte(untouched, 0, 'a'), 0u);
  EXPECT_STREQ(untouched, "a");
}

TEST(ToLowerAsciiTest, LowersOneByteCapitalsOnly) {
  // 0x81 0x41 is a GBK character whose second byte is 'A': it stays.
  std::string text = "ABC xyz @[`{ \x81\x41\xC0\xDA" + G("中") + "Q";
  ToLowerAscii(text);
  EXPECT_EQ(Hex(text), Hex("abc xyz @[`{ \x81\x41\xC0\xDA" + G("中") + "q"));
  std::string withZero("A\0\x81Z", 4);  // a zero byte inside is a character too
  ToLowerAscii(withZero);
  EXPECT_EQ(Hex(withZero), Hex(std::string("a\0\x81Z", 4)));

  char buffer[] = "ABCD";
  ToLowerAsciiBuffer(buffer, 2);
  EXPECT_STREQ(buffer, "abCD");
  char gbk[] = "\x81\x41" "B\x81";  // the last lead byte has no second byte in the length
  ToLowerAsciiBuffer(gbk, 3);
  EXPECT_EQ(Hex(std::string(gbk, 4)), Hex("\x81\x41" "b\x81"));
  char cut[] = "\x81" "AB";
  ToLowerAsciiBuffer(cut, 1);  // a lead byte at the end of the length
  EXPECT_EQ(Hex(std::string(cut, 3)), Hex("\x81" "AB"));
  ToLowerAsciiBuffer(nullptr, 4);
}

TEST(ByteClassTest, AgreeWithTheCLibraryForAllBytes) {
  for (int b = 0; b < 256; ++b) {
    SCOPED_TRACE(b);
    const char c = static_cast<char>(b);
    const bool ascii = b < 0x80;
    EXPECT_EQ(IsDigit(c), ascii && std::isdigit(b) != 0);
    EXPECT_EQ(IsAsciiLetter(c), ascii && std::isalpha(b) != 0);
  }
}

TEST(SortByNumberAfterPrefixTest, Table) {
  struct Row {
    const char* name;
    List list;
    const char* prefix;
    List expected;
  } rows[] = {
      {"numeric_not_lexical", {"id10", "id9", "id100"}, "id", {"id9", "id10", "id100"}},
      {"only_prefix_length_matters", {"xx3", "ab1", "zz2"}, "id", {"ab1", "zz2", "xx3"}},
      {"atoi_blanks_and_sign", {"id 7", "id-2", "id+5"}, "id", {"id-2", "id+5", "id 7"}},
      {"digits_stop_at_other_bytes", {"id3abc", "id12x4"}, "id", {"id3abc", "id12x4"}},
      {"null_prefix", {"30", "4", "x"}, nullptr, {"x", "4", "30"}},
      {"empty", {}, "id", {}},
      {"huge_numbers_saturate", {"id99999999999999999999999", "id1"}, "id",
       {"id1", "id99999999999999999999999"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    List list = row.list;
    SortByNumberAfterPrefix(list, row.prefix);
    EXPECT_EQ(list, row.expected);
  }
}

TEST(SortByNumberAfterPrefixTest, ElementsShorterThanThePrefixHaveKeyZero) {
  // "i" and "" are shorter than "id": key 0, read from nowhere beyond them.
  List list = {"id5", "i", "id-1", "", "id0"};
  SortByNumberAfterPrefix(list, "id");
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list.front(), "id-1");
  EXPECT_EQ(list.back(), "id5");
  List middle(list.begin() + 1, list.end() - 1);
  std::sort(middle.begin(), middle.end());
  EXPECT_EQ(middle, (List{"", "i", "id0"}));
}

}  // namespace
}  // namespace zhtext
