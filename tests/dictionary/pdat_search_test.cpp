// The character reader and the four searches of CPDAT.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/dictionary/pdat_test_helpers.h"
#include "tests/support/gbk_text.h"
#include "zhtext/dictionary/pdat.h"

namespace zhtext {
namespace testing {
namespace {

// ---- GetCharCode ---------------------------------------------------------

struct CharCase {
  const char* name;
  int mode;
  std::string text;
  int len;  // -1: the whole text
  int value;
  int charLen;
};

TEST(PdatCharCodeTest, ReadsOneCharacterPerMode) {
  const CharCase cases[] = {
      {"mode0_capital_folded", 0, "A", -1, 'a', 1},
      {"mode0_small", 0, "z", -1, 'z', 1},
      {"mode0_two_bytes", 0, "\xD6\xD0", -1, 0xD6D0, 2},  // 中
      {"mode0_lone_lead_at_end", 0, "\xD6", -1, 0xD6, 1},
      {"mode0_trail_below_80", 0, "\x81\x40", -1, 0x8140, 2},
      {"mode0_bound_by_len", 0, "\xD6\xD0", 1, 0xD6, 1},
      {"mode1_single_bytes", 1, "\xD6\xD0", -1, 0xD6, 1},
      {"mode1_no_folding", 1, "A", -1, 'A', 1},
      {"mode2_fullwidth_open_paren", 2, "\xA3\xA8", -1, '(', 2},
      {"mode2_lenticular_open", 2, "\xA1\xBE", -1, '(', 2},
      {"mode2_fullwidth_close_paren", 2, "\xA3\xA9", -1, ')', 2},
      {"mode2_lenticular_close", 2, "\xA1\xBF", -1, ')', 2},
      {"mode2_left_double_quote", 2, "\xA1\xB0", -1, '"', 2},
      {"mode2_right_double_quote", 2, "\xA1\xB1", -1, '"', 2},
      {"mode2_left_single_quote", 2, "\xA1\xAE", -1, '"', 2},
      {"mode2_fullwidth_apostrophe", 2, "\xA3\xA7", -1, '"', 2},
      {"mode2_fullwidth_digit0", 2, "\xA3\xB0", -1, '0', 2},
      {"mode2_fullwidth_digit9", 2, "\xA3\xB9", -1, '9', 2},
      {"mode2_fullwidth_capital_A", 2, "\xA3\xC1", -1, 'a', 2},
      {"mode2_fullwidth_capital_Z", 2, "\xA3\xDA", -1, 'z', 2},
      {"mode2_fullwidth_small_a", 2, "\xA3\xE1", -1, 'a', 2},
      {"mode2_fullwidth_small_z", 2, "\xA3\xFA", -1, 'z', 2},
      {"mode2_ascii_capital", 2, "Q", -1, 'q', 1},
      {"mode2_chinese", 2, "\xD6\xD0", -1, 0xD6D0, 2},
      {"mode2_other_fullwidth", 2, "\xA3\xA1", -1, 0xA3A1, 2},  // ！
      // , 、 and a blank are one run of 4 bytes.
      {"mode2_separator_run", 2, ",\xA1\xA2 x", -1, 9, 4},
      {"mode2_two_byte_separator", 2, "\xA1\xA3", -1, 9, 2},  // 。
      {"mode2_user_defined_separator", 2, "\xAA\xA4", -1, 9, 2},
      {"mode2_underscore", 2, "_", -1, 9, 1},
      {"mode2_run_stops_at_len", 2, ",,,", 2, 9, 2},
      // The re-read as a GBK character stays inside the counted text.
      {"mode2_lead_at_len_not_joined", 2, "\xA3\xA8", 1, 0xA3, 1},
      // A counted key may hold a zero byte: a lead byte before it still
      // forms a two-byte character, as any second byte does.
      {"mode0_lead_before_zero", 0, std::string("\xD6\0", 2), -1, 0xD600, 2},
      {"mode2_lead_before_zero", 2, std::string("\xD6\0", 2), -1, 0xD600, 2},
  };
  for (const CharCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto dict = std::make_unique<CPDAT>(c.mode);
    const int len = c.len < 0 ? static_cast<int>(c.text.size()) : c.len;
    int charLen = 0;
    EXPECT_EQ(c.value, dict->GetCharCode(c.text.c_str(), 0, len, &charLen));
    EXPECT_EQ(c.charLen, charLen);
  }
}

TEST(PdatCharCodeTest, ReadsFromTheGivenPosition) {
  auto dict = std::make_unique<CPDAT>(0);
  const std::string text = "a" + G("中");
  int charLen = 0;
  EXPECT_EQ(0xD6D0, dict->GetCharCode(text.c_str(), 1, 3, &charLen));
  EXPECT_EQ(2, charLen);
}

TEST(PdatCharCodeTest, ModeOutsideTheRangeIsModeZero) {
  auto dict = std::make_unique<CPDAT>(7);
  EXPECT_EQ(0, dict->GetEncoding());
}

// ---- Exact search --------------------------------------------------------

TEST(PdatSearchTest, BeforeBuildNothingIsFound) {
  auto dict = std::make_unique<CPDAT>(0);
  dict->AddWord("ab", false);
  EXPECT_EQ(-1, dict->Search("ab"));
  int handle = 5;
  EXPECT_EQ(0, dict->MatchLongest("ab", &handle, nullptr));
  EXPECT_EQ(-1, handle);
  EXPECT_EQ(-1, dict->SearchChar('a'));
  unsigned capacity = 0, count = 9;
  int* handles = nullptr;
  int* ends = nullptr;
  EXPECT_EQ(0, dict->MatchAll("ab", &handles, &ends, &capacity, &count, 0));
  EXPECT_EQ(0u, count);
}

TEST(PdatSearchTest, KeyEdgeCases) {
  auto dict = BuildDict(0, {G("中国"), "\"", "ab"});
  struct Row {
    const char* name;
    std::string key;
    int handle;
  } rows[] = {
      {"word", G("中国"), 0},
      {"empty", "", -1},
      {"only_bom", "\xEF\xBB\xBF", -1},
      {"only_two_quotes", "\"\"", -1},
      {"quoted_word", "\"" + G("中国") + "\"", 0},
      {"bom_then_word", "\xEF\xBB\xBF" + G("中国"), 0},
      {"one_quote_not_stripped", "\"", 1},
      {"prefix_only", G("中"), -1},
      {"longer_than_word", G("中国人"), -1},
      {"unknown_character", "x", -1},
      {"capitals_fold_in_mode0", "AB", 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.handle, dict->Search(row.key.c_str()));
    EXPECT_EQ(row.handle, dict->Search(row.key.data(), static_cast<unsigned>(row.key.size())));
  }
  EXPECT_EQ(-1, dict->Search(nullptr));
}

TEST(PdatSearchTest, ZeroTerminatedKeyGoesThroughTheCountedSearch) {
  // Search(key) calls Search(key, len) through the virtual table, so a
  // dictionary that overrides the counted search serves both.
  class Shifted : public CPDAT {
   public:
    using CPDAT::CPDAT;
    using CPDAT::Search;
    int Search(const char* key, unsigned len) const override { return CPDAT::Search(key, len) + 100; }
  };
  auto dict = std::make_unique<Shifted>(0);
  dict->AddWord("ab", false);
  dict->Build();
  const CPDAT& base = *dict;
  EXPECT_EQ(100, base.Search("ab"));
  EXPECT_EQ(99, base.Search("zz"));
}

TEST(PdatSearchTest, CountedKeyStopsAtItsLength) {
  auto dict = BuildDict(0, {"ab", "abc"});
  EXPECT_EQ(0, dict->Search("abc", 2));
  EXPECT_EQ(1, dict->Search("abcd", 3));
}

TEST(PdatSearchTest, WhitespaceRunsMatchOneStoredSpace) {
  for (int mode : {0, 1}) {
    SCOPED_TRACE(mode);
    auto dict = BuildDict(mode, {"a b", "c  d"});
    EXPECT_EQ(0, dict->Search("a b"));
    EXPECT_EQ(0, dict->Search("a  b"));
    EXPECT_EQ(0, dict->Search("a\t\r\nb"));
    // A stored word with two spaces in a row cannot be found.
    EXPECT_EQ(-1, dict->Search("c  d"));
    EXPECT_EQ(-1, dict->Search("c d"));
  }
}

TEST(PdatSearchTest, CapitalsFoldInModeZeroOnly) {
  auto mode0 = BuildDict(0, {"abc"});
  EXPECT_EQ(0, mode0->Search("ABC"));
  EXPECT_EQ(0, mode0->Search("aBc"));
  auto mode1 = BuildDict(1, {"abc"});
  EXPECT_EQ(-1, mode1->Search("ABC"));
  EXPECT_EQ(0, mode1->Search("abc"));
}

TEST(PdatSearchTest, ModeTwoNormalisesKeys) {
  auto dict = BuildDict(2, {"abc", "(x)", "\"q\"x", "a1", G("中国")});
  struct Row {
    const char* name;
    std::string key;
    int handle;
  } rows[] = {
      {"fullwidth_capitals", G("ＡＢＣ"), 0},
      {"fullwidth_small", G("ａｂｃ"), 0},
      {"fullwidth_parens", G("（ｘ）"), 1},
      {"lenticular_brackets", G("【x】"), 1},
      {"curly_quotes", G("“q”x"), 2},
      {"fullwidth_digit", "a" + G("１"), 3},
      {"separator_in_key_not_found", "a,bc", -1},
      {"separator_in_chinese_key", G("中、国"), -1},
      {"plain_chinese", G("中国"), 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.handle, dict->Search(row.key.c_str()));
  }
}

// ---- Longest prefix --------------------------------------------------------

TEST(PdatMatchLongestTest, ReturnsTheLongestStoredPrefix) {
  auto dict = BuildDict(0, {"a", "abc"});
  int handle = -5;
  EXPECT_EQ(3, dict->MatchLongest("abcd", &handle, nullptr));
  EXPECT_EQ(1, handle);
  EXPECT_EQ(1, dict->MatchLongest("ax", &handle, nullptr));
  EXPECT_EQ(0, handle);
  EXPECT_EQ(0, dict->MatchLongest("xa", &handle, nullptr));
  EXPECT_EQ(-1, handle);
  EXPECT_EQ(0, dict->MatchLongest("", &handle, nullptr));
  EXPECT_EQ(0, dict->MatchLongest(nullptr, &handle, nullptr));
  EXPECT_EQ(3, dict->MatchLongest("abcd", nullptr, nullptr));
}

TEST(PdatMatchLongestTest, KeepsTheLastWordEndWhenTheWalkGoesOn) {
  auto dict = BuildDict(0, {"ab", "abce"});
  int handle = -5;
  EXPECT_EQ(2, dict->MatchLongest("abcd", &handle, nullptr));
  EXPECT_EQ(0, handle);
}

TEST(PdatMatchLongestTest, ReportsWhitespaceInTheWord) {
  auto dict = BuildDict(0, {"a", "a b"});
  int handle = -5;
  bool hasSpace = true;
  EXPECT_EQ(4, dict->MatchLongest("a \tbc", &handle, &hasSpace));
  EXPECT_EQ(1, handle);
  EXPECT_TRUE(hasSpace);
  EXPECT_EQ(1, dict->MatchLongest("a x", &handle, &hasSpace));
  EXPECT_EQ(0, handle);
  EXPECT_FALSE(hasSpace);
}

TEST(PdatMatchLongestTest, ChineseTextAndModes) {
  auto mode0 = BuildDict(0, {G("中国"), G("中国人民")});
  const std::string text = G("中国人民银行");
  int handle = -1;
  EXPECT_EQ(8, mode0->MatchLongest(text.c_str(), &handle, nullptr));
  EXPECT_EQ(1, handle);
  auto mode2 = BuildDict(2, {"ab"});
  EXPECT_EQ(4, mode2->MatchLongest(G("ＡＢ").c_str(), &handle, nullptr));
  EXPECT_EQ(0, handle);
}

// ---- All prefixes ------------------------------------------------------------

class PdatMatchAllTest : public ::testing::Test {
 protected:
  ~PdatMatchAllTest() override {
    std::free(handles_);
    std::free(ends_);
  }
  int* handles_ = nullptr;
  int* ends_ = nullptr;
  unsigned capacity_ = 0;
  unsigned count_ = 0;
};

TEST_F(PdatMatchAllTest, AppendsWordsLongerThanMinLen) {
  auto dict = BuildDict(0, {"ab", "abcd", "abcdef", "x"});
  EXPECT_EQ(6, dict->MatchAll("abcdefgh", &handles_, &ends_, &capacity_, &count_, 2));
  ASSERT_EQ(2u, count_);
  EXPECT_EQ(1, handles_[0]);
  EXPECT_EQ(4, ends_[0]);
  EXPECT_EQ(2, handles_[1]);
  EXPECT_EQ(6, ends_[1]);
  EXPECT_EQ(5u, capacity_);
}

TEST_F(PdatMatchAllTest, ChineseWords) {
  auto dict = BuildDict(0, {G("中国"), G("中国人民"), G("中国人民银")});
  const std::string text = G("中国人民银行");
  EXPECT_EQ(10, dict->MatchAll(text.c_str(), &handles_, &ends_, &capacity_, &count_, 4));
  ASSERT_EQ(2u, count_);
  EXPECT_EQ(8, ends_[0]);
  EXPECT_EQ(10, ends_[1]);
}

TEST_F(PdatMatchAllTest, ReturnsTheLongestEvenWhenNothingIsAppended) {
  auto dict = BuildDict(0, {"a", "ab"});
  EXPECT_EQ(2, dict->MatchAll("abc", &handles_, &ends_, &capacity_, &count_, 2));
  EXPECT_EQ(0u, count_);
  EXPECT_EQ(0, dict->MatchAll("xyz", &handles_, &ends_, &capacity_, &count_, 0));
}

TEST_F(PdatMatchAllTest, GrowsBothArraysByFive) {
  std::vector<std::string> words;
  for (int n = 1; n <= 7; ++n) words.push_back(std::string(static_cast<std::size_t>(n), 'a'));
  auto dict = BuildDict(0, words);
  EXPECT_EQ(7, dict->MatchAll("aaaaaaaaa", &handles_, &ends_, &capacity_, &count_, 0));
  ASSERT_EQ(7u, count_);
  EXPECT_EQ(10u, capacity_);
  for (unsigned i = 0; i < count_; ++i) {
    EXPECT_EQ(static_cast<int>(i), handles_[i]);
    EXPECT_EQ(static_cast<int>(i) + 1, ends_[i]);
  }
  // A second call starts the count again and reuses the arrays.
  EXPECT_EQ(2, dict->MatchAll("aa", &handles_, &ends_, &capacity_, &count_, 0));
  EXPECT_EQ(2u, count_);
  EXPECT_EQ(10u, capacity_);
}

TEST_F(PdatMatchAllTest, DoesNotFoldWhitespace) {
  auto dict = BuildDict(0, {"a b"});
  EXPECT_EQ(3, dict->MatchAll("a b", &handles_, &ends_, &capacity_, &count_, 0));
  EXPECT_EQ(0, dict->MatchAll("a  b", &handles_, &ends_, &capacity_, &count_, 0));
  EXPECT_EQ(0, dict->MatchAll("a\tb", &handles_, &ends_, &capacity_, &count_, 0));
}

// ---- One character and the leaf at cell 0 ---------------------------------

TEST(PdatSearchCharTest, FindsOneCharacterWords) {
  auto dict = BuildDict(0, {"a", "b", "c", G("中"), "de"});
  EXPECT_EQ(0, dict->SearchChar('a'));
  EXPECT_EQ(3, dict->SearchChar(0xD6D0));
  EXPECT_EQ(-1, dict->SearchChar('d'));  // not a word by itself
  EXPECT_EQ(-1, dict->SearchChar('e'));  // not under the root
  EXPECT_EQ(-1, dict->SearchChar('z'));
  EXPECT_EQ(-1, dict->SearchChar(-1));
  EXPECT_EQ(-1, dict->SearchChar(65536));
}

TEST(PdatSearchCharTest, NoFoldingAndTheLastCell) {
  // Equal counts: codes by value, so 'c' has the highest code and cell.
  auto dict = BuildDict(0, {"a", "b", "c"});
  ASSERT_EQ(2, dict->GetMaxCell());
  EXPECT_EQ(2, dict->SearchChar('c'));
  EXPECT_EQ(-1, dict->SearchChar('C'));
}

TEST(PdatSearchTest, MostFrequentCharacterAloneIsALeafAtCellZero) {
  auto dict = BuildDict(0, {"x", "ax", "bx", "cx"});
  ASSERT_EQ(0, dict->Code('x'));
  const PDAT_CELL& cell = dict->GetCells()[0];
  EXPECT_EQ(0, cell.base);
  EXPECT_EQ(-2, cell.check);
  EXPECT_EQ(0, cell.handle);
  EXPECT_EQ(0, dict->Search("x"));
  EXPECT_EQ(-1, dict->Search("xx"));
  EXPECT_EQ(1, dict->Search("ax"));
  int handle = -5;
  EXPECT_EQ(1, dict->MatchLongest("xx", &handle, nullptr));
  EXPECT_EQ(0, handle);
  EXPECT_EQ(0, dict->SearchChar('x'));
  int* handles = nullptr;
  int* ends = nullptr;
  unsigned capacity = 0, count = 0;
  EXPECT_EQ(1, dict->MatchAll("xx", &handles, &ends, &capacity, &count, 0));
  EXPECT_EQ(1u, count);
  std::free(handles);
  std::free(ends);
}

}  // namespace
}  // namespace testing
}  // namespace zhtext
