#include "zhtext/util/gbk_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/temp_dir.h"
#include "zhtext/classify/token_tables.h"
#include "zhtext/util/gbk_text_tables.h"

namespace zhtext {
namespace {

using testing::G;
using testing::Hex;

// A heap copy of exactly text.size() + 1 bytes, so that a read past the
// terminator is caught by the address sanitizer.
std::unique_ptr<char[]> ExactCopy(const std::string& text) {
  std::unique_ptr<char[]> copy(new char[text.size() + 1]);
  std::memcpy(copy.get(), text.c_str(), text.size() + 1);
  return copy;
}

// ---- SplitPlaceSuffix ------------------------------------------------------

struct SplitResult {
  std::string stem, suffix;
};

SplitResult Split(const std::string& word) {
  auto copy = ExactCopy(word);
  std::vector<char> stem(word.size() + 1, 'x'), suffix(word.size() + 1, 'x');
  EXPECT_TRUE(SplitPlaceSuffix(copy.get(), stem.data(), suffix.data()));
  return {stem.data(), suffix.data()};
}

TEST(SplitPlaceSuffix, SplitsOffTheFirstMatchingSuffix) {
  struct Row {
    const char* word;  // UTF-8
    const char* stem;
    const char* suffix;
  } rows[] = {
      {"自治州", "", "自治州"},
      {"北京市", "北京", "市"},
      {"京沪高速公路", "京沪", "高速公路"},
      {"长安公路", "长安", "公路"},
      {"中华人民共和国", "中华人民", "共和国"},
      {"卢森堡大公国", "卢森堡", "大公国"},
      {"罗马帝国", "罗马", "帝国"},
      {"107国道", "107", "国道"},
      {"张家新村", "张家", "新村"},
      {"草原", "", "草原"},
      {"岛", "", "岛"},
      {"北京", "北京", ""},
      {"原", "原", ""},
      {"a", "a", ""},
      {"", "", ""},
      {"Main Road", "Main Road", ""},
      {"凤凰町", "凤凰", "町"},
      // 影 (D3 B0) occurs in the single-character list only across 坝邦
      // (B0 D3 B0 EE): it is not a suffix.
      {"电影", "电影", ""},
      // 浅 (C7 B3) only across 城池 (B3 C7 B3 D8): not a suffix.
      {"深浅", "深浅", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.word);
    SplitResult r = Split(G(row.word));
    EXPECT_EQ(r.stem, G(row.stem));
    EXPECT_EQ(r.suffix, G(row.suffix));
  }
}

TEST(SplitPlaceSuffix, EveryTableEntryIsASuffix) {
  const std::string stem = G("某");
  for (const GbkLiteral& suffix : PLACE_SUFFIXES) {
    SCOPED_TRACE(suffix.utf8());
    SplitResult r = Split(stem + suffix.c_str());
    EXPECT_EQ(r.stem, stem);
    EXPECT_EQ(r.suffix, suffix.c_str());
  }
  std::string chars = PLACE_SUFFIX_CHARS.c_str();
  for (std::size_t i = 0; i < chars.size(); i += 2) {
    SCOPED_TRACE(testing::U(chars.substr(i, 2)));
    SplitResult r = Split(stem + chars.substr(i, 2));
    EXPECT_EQ(r.stem, stem);
    EXPECT_EQ(r.suffix, chars.substr(i, 2));
  }
}

// ---- FoldFullWidth ---------------------------------------------------------

struct FoldRow {
  const char* name;
  std::string text;
  std::string expected;
  bool folded;
};

TEST(FoldFullWidth, FoldsDigitsLettersAndTablePunctuation) {
  const FoldRow rows[] = {
      {"no full-width characters", G("abc 中文"), G("abc 中文"), false},
      {"empty", "", "", false},
      {"digits and letters keep their case", G("０９ＡＺａｚ"), "09AZaz", true},
      // The 63 entries of the folding table, in table order.
      {"the punctuation table",
       G("、，﹐﹑。．˙﹒—－–―﹣～‘’｀“”〔（﹙﹝〕）﹚﹞〈＜﹤〉＞﹥〖［〗］＊﹡＋﹢／：﹕；﹔＝﹦？﹖＿｛"
         "﹛｜｝﹜﹗﹟﹠﹨﹩﹪﹫"),
       ",,,,....-----~'''\"\"(((())))<<<>>>[[]]**++/::;;==??_{{|}}!#&\\$%@", true},
      {"full-width signs missing from the table stay", G("！＂＃＄％＆＇＠＼＾"),
       G("！＂＃＄％＆＇＠＼＾"), false},
      {"mixed text", G("第１２３号，ＯＫ！"), G("第123号,OK！"), true},
      {"A3 next to the letter ranges", "\xA3\xC0\xA3\xDB\xA3\xE0\xA3\xFB", "\xA3\xC0['{", true},
      {"lone lead byte at the end stays", G("Ａ") + "\xA3", "A\xA3", true},
      // 。 then 啊: the A3 B0 (０) that straddles them is not folded.
      {"characters are whole pairs", "\xA1\xA3\xB0\xA1", ".\xB0\xA1", true},
  };
  for (const FoldRow& row : rows) {
    SCOPED_TRACE(row.name);
    auto copy = ExactCopy(row.text);
    EXPECT_EQ(FoldFullWidth(copy.get()), row.folded);
    EXPECT_EQ(Hex(copy.get()), Hex(row.expected));
  }
}

// ---- NormalizeForSearch ----------------------------------------------------

TEST(NormalizeForSearch, LowerCaseSearchForm) {
  struct Row {
    const char* name;
    std::string text;
    std::string expected;
  } rows[] = {
      {"A-B, c", "A-B, c", "a-b c"},
      {"full-width digits and letters", G("１Ａｂ"), "1ab"},
      {"full-width signs from A3 BB", "\xA3\xBB\xA3\xC0\xA3\xDB\xA3\xE0\xA3\xFB\xA3\xFE",
       ";;;;;;"},
      {"full-width plus", G("＋"), "+"},
      {"other full-width characters stay", G("，！"), G("，！")},
      {"Chinese stays", G("中文ABC"), G("中文") + "abc"},
      {"kept single bytes", "09az+-;{}\r\n", "09az+-;{}\r\n"},
      {"dropped single bytes", "a!\"#$%&'()*,./:<=>?@[\\]^_`|~\tb", "ab"},
      {"SPACE before a letter or digit", "a b 1 Z", "a b 1 z"},
      {"SPACE before SPACE or punctuation", "a  b ,", "a b"},
      {"SPACE before a full-width letter", "a " + G("Ａ"), "aa"},
      {"SPACE at the end", "a ", "a"},
      {"lone lead byte at the end", "a\xB0", "a"},
      {"control bytes", "a\x01\x7F" "b", "ab"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto copy = ExactCopy(row.text);
    EXPECT_EQ(NormalizeForSearch(copy.get()), copy.get());
    EXPECT_EQ(Hex(copy.get()), Hex(row.expected));
  }
}

// ---- FindSentenceEnd / FindSentenceStart -----------------------------------

TEST(FindSentenceEnd, StopsAfterTheFirstMark) {
  struct Row {
    const char* name;
    std::string text;
    std::size_t pos, limit, expected;
  } rows[] = {
      {"ASCII full stop", "abc. def", 0, 100, 4},
      {"no mark after pos", "abc. def", 5, 100, 8},
      {"each single-byte mark", "a!b", 0, 100, 2},
      {"question mark", "a?b", 0, 100, 2},
      {"semicolon", "a;b", 0, 100, 2},
      {"CR", "a\rb", 0, 100, 2},
      {"LF", "a\nb", 0, 100, 2},
      {"TAB", "a\tb", 0, 100, 2},
      {"。", G("你好。世界"), 0, 100, 6},
      {"！", G("好！"), 0, 100, 4},
      {"？", G("好？"), 0, 100, 4},
      {"；", G("好；"), 0, 100, 4},
      {"mark at pos", "a.b", 1, 100, 2},
      {"limit reaches the mark", "ab.", 0, 3, 3},
      {"limit stops short: text length", "ab.cd", 0, 2, 5},
      {"no mark at all", "abcdef", 0, 3, 6},
      {"pos at the end", "abc", 3, 10, 3},
      {"pos beyond the end", "abc", 7, 10, 3},
      // A1 A1 then A3 A1 (！): stepping by characters never sees the A1 A3
      // (。) that straddles them.
      {"marks are whole characters", "\xA1\xA1\xA3\xA1", 0, 100, 4},
      {"a lead byte swallows the next byte", "\xB0.", 0, 100, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto copy = ExactCopy(row.text);
    EXPECT_EQ(FindSentenceEnd(copy.get(), row.pos, row.limit), row.expected);
  }
}

TEST(FindSentenceStart, LooksBackForTheLastMark) {
  struct Row {
    const char* name;
    std::string text;
    std::size_t pos, limit, expected;
  } rows[] = {
      {"after 。", G("你好。世界"), 10, 100, 6},
      {"pos just after 。", G("你好。世界"), 6, 100, 6},
      {"before 。", G("你好。世界"), 4, 100, 0},
      {"。 at the very start is not found", G("。") + "abc", 5, 100, 0},
      {"。 after one byte", "a" + G("。") + "bc", 5, 100, 3},
      {"ASCII mark", "ab.cd", 5, 100, 3},
      {"pos 0", "ab.cd", 0, 100, 0},
      {"pos 1 never examines position 0", ".b", 1, 100, 0},
      {"mark at position 0 is not examined", "\nab", 3, 100, 0},
      {"LF", "a\nb", 3, 100, 2},
      {"limit too short", "ab.cdef", 7, 4, 0},
      {"limit just long enough", "ab.cdef", 7, 5, 3},
      {"pos beyond the end", "ab.c", 100, 100, 3},
      {"two-byte step from the right", G("你好！世界"), 10, 100, 6},
      {"semicolon", G("甲；乙"), 6, 100, 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto copy = ExactCopy(row.text);
    EXPECT_EQ(FindSentenceStart(copy.get(), row.pos, row.limit), row.expected);
  }
}

// ---- LeadingHanziLength, ReadCharCode --------------------------------------

TEST(LeadingHanziLength, CountsTheLeadingRun) {
  struct Row {
    const char* name;
    std::string text;
    std::size_t expected;
  } rows[] = {
      {"Chinese then ASCII", G("中文abc"), 4},
      {"ASCII", "abc", 0},
      {"empty", "", 0},
      {"symbol first", G("、中"), 0},
      {"last lead byte", "\xF7\xFE", 2},
      {"beyond the area", "\xF8\xA1", 0},
      {"trail bytes not looked at", "\xB0\x41\xB0\x41", 4},
      {"lone lead byte at the end", G("中") + "\xB0", 3},
      {"lone lead byte alone", "\xB0", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto copy = ExactCopy(row.text);
    EXPECT_EQ(LeadingHanziLength(copy.get()), row.expected);
  }
}

TEST(ReadCharCode, CodesAndSteps) {
  std::string text = "A" + G("啊") + "b\xB0";
  std::size_t pos = 0;
  EXPECT_EQ(ReadCharCode(text.c_str(), &pos, text.size()), 'a');
  EXPECT_EQ(pos, 1u);
  EXPECT_EQ(ReadCharCode(text.c_str(), &pos, text.size()), 0xB0A1);
  EXPECT_EQ(pos, 3u);
  EXPECT_EQ(ReadCharCode(text.c_str(), &pos, text.size()), 'b');
  EXPECT_EQ(pos, 4u);
  // The lead byte is the last byte within the limit: a one-byte character.
  EXPECT_EQ(ReadCharCode(text.c_str(), &pos, text.size()), 0xB0);
  EXPECT_EQ(pos, 5u);

  std::string pair = G("啊");
  pos = 0;
  EXPECT_EQ(ReadCharCode(pair.c_str(), &pos, 1), 0xB0);
  EXPECT_EQ(pos, 1u);
  pos = 0;
  EXPECT_EQ(ReadCharCode("Z", &pos, 1), 'z');
}

// ---- CountTableChars, CountCharCode ----------------------------------------

TEST(CountTableChars, AsciiAnywhereTwoByteAligned) {
  struct Row {
    const char* name;
    std::string table;
    std::string text;
    std::size_t length;
    unsigned expected;
  } rows[] = {
      {"ASCII bytes anywhere in the table", "abc", "cab a!", 0, 4},
      {"numerals", NUMBER_CHARS.c_str(), G("三分之一"), 0, 2},
      {"length counts bytes", NUMBER_CHARS.c_str(), G("三三三"), 4, 2},
      {"misaligned occurrence is not found", "\xA3\xC1\xA3\xC2", "\xC1\xA3", 0, 0},
      {"aligned occurrence is found", "\xA3\xC1\xA3\xC2", "\xA3\xC2", 0, 1},
      {"stops at the terminator", "a", "a", 100, 1},
      {"lone lead byte looked up alone", G("啊"), "\xB0", 0, 1},
      {"empty text", G("啊"), "", 0, 0},
      {"ASCII never in a two-byte table", NUMBER_CHARS.c_str(), "123", 0, 0},
      {"digits table", DIGIT_CHARS.c_str(), "1a2", 0, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto copy = ExactCopy(row.text);
    EXPECT_EQ(CountTableChars(row.table.c_str(), copy.get(), row.length), row.expected);
  }
}

TEST(CountCharCode, SignedCodes) {
  const std::string a = G("啊");  // B0 A1
  EXPECT_EQ(CountCharCode(a.data(), a.size(), -20575), 1u);
  EXPECT_EQ(CountCharCode(a.data(), a.size(), 0xB0A1), 0u);
  const std::string text = G("啊a啊");
  EXPECT_EQ(CountCharCode(text.data(), text.size(), -20575), 2u);
  EXPECT_EQ(CountCharCode(text.data(), text.size(), 'a'), 1u);
  // Zero bytes are characters too.
  const char zeros[] = {'a', '\0', 'a'};
  EXPECT_EQ(CountCharCode(zeros, 3, 'a'), 2u);
  EXPECT_EQ(CountCharCode(zeros, 3, 0), 1u);
  // A lead byte without a byte after it within the length: its signed value.
  EXPECT_EQ(CountCharCode("\xB0", 1, -80), 1u);
  EXPECT_EQ(CountCharCode(a.data(), 1, -80), 1u);
  // A byte of 0x80 or above takes any next byte: FF 41 is -1 * 256 + 65.
  EXPECT_EQ(CountCharCode("\xFF\x41", 2, -191), 1u);
  EXPECT_EQ(CountCharCode("\xFF\x41", 2, 'A'), 0u);
  EXPECT_EQ(CountCharCode("", 0, 0), 0u);
}

// ---- WriteCodeTable ---------------------------------------------------------

TEST(WriteCodeTable, WritesEveryA1ToFECodeWithCrLf) {
  testing::TempDir dir;
  std::string path = dir.File("codes.txt");
  ASSERT_TRUE(WriteCodeTable(path.c_str()));
  std::string data = testing::ReadFile(path);
  // Every line is two code bytes, ",", three digits, ",", three digits, CR LF.
  ASSERT_EQ(data.size(), 8836u * 12u);
  EXPECT_EQ(data.substr(0, 12), "\xA1\xA1,161,161\r\n");
  EXPECT_EQ(data.substr(12, 12), "\xA1\xA2,161,162\r\n");
  EXPECT_EQ(data.substr(94 * 12, 12), "\xA2\xA1,162,161\r\n");
  EXPECT_EQ(data.substr(data.size() - 12), "\xFE\xFE,254,254\r\n");
  std::size_t lines = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (data[i] == '\n') {
      ++lines;
      EXPECT_EQ(data[i - 1], '\r') << "bare LF at " << i;
    }
  }
  EXPECT_EQ(lines, 8836u);
}

TEST(WriteCodeTable, FailsWhenTheFileCannotBeCreated) {
  testing::TempDir dir;
  EXPECT_FALSE(WriteCodeTable(dir.File("missing/codes.txt").c_str()));
}

}  // namespace
}  // namespace zhtext
