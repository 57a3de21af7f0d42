// Word frequency lists: counting, excluded words, the top-word report and
// the comparison of two objects, also after reports have ranked the lists.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/dictionary/pdat_test_helpers.h"
#include "tests/support/gbk_text.h"
#include "zhtext/dictionary/pdat.h"

namespace zhtext {
namespace testing {
namespace {

std::vector<std::string> Gbk(const std::vector<std::string>& utf8) {
  std::vector<std::string> out;
  for (const std::string& word : utf8) out.push_back(G(word));
  return out;
}

// `word` repeated `times` times, appended to `list`.
void Repeat(std::vector<std::string>& list, const std::string& word, int times) {
  for (int i = 0; i < times; ++i) list.push_back(word);
}

TEST(PdatFreqTest, CountsWordsAndRanksThem) {
  auto counter = std::make_unique<PeekPdat>(0);
  EXPECT_EQ(2, counter->CountWords({"b", "a", "a", "a"}));
  ASSERT_EQ(2u, counter->Frequencies().size());
  EXPECT_EQ(1, counter->Frequencies()[0].count);
  EXPECT_EQ(3, counter->Frequencies()[1].count);
  EXPECT_STREQ("a/3#b/1#", counter->GetTopWords(-1));
  EXPECT_STREQ("a/3#", counter->GetTopWords(1));
  EXPECT_STREQ("", counter->GetTopWords(0));
  EXPECT_STREQ("a/3#b/1#", counter->GetTopWords(5));
  // Only -1 means all: a limit below it reports nothing.
  EXPECT_STREQ("", counter->GetTopWords(-2));
  EXPECT_STREQ("", counter->GetTopWords(-1000));
  // A report does not reorder the list: entry i still belongs to handle i.
  EXPECT_EQ("b", counter->Frequencies()[0].word);
  EXPECT_EQ(0, counter->FindWord("b"));
}

TEST(PdatFreqTest, EqualCountsKeepTheOrderOfFirstAdding) {
  auto counter = std::make_unique<PeekPdat>(0);
  counter->CountWords({"x", "y", "z", "z"});
  EXPECT_STREQ("z/2#x/1#y/1#", counter->GetTopWords(-1));
}

TEST(PdatFreqTest, CountingAfterAReportFindsTheRightEntries) {
  auto counter = std::make_unique<PeekPdat>(0);
  counter->CountWords({"b", "a", "a", "a"});
  EXPECT_STREQ("a/3#b/1#", counter->GetTopWords(-1));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(0, counter->AddWord("b", true));
  EXPECT_STREQ("b/4#a/3#", counter->GetTopWords(-1));
  EXPECT_EQ(2, counter->AddWord("c", true));
  EXPECT_STREQ("b/4#a/3#c/1#", counter->GetTopWords(-1));
}

TEST(PdatFreqTest, TopWordsLeaveOutLongerWordsThatContainHigherOnes) {
  struct Row {
    const char* name;
    std::vector<std::string> words;  // UTF-8, counted in this order
    int n;
    const char* expected;            // UTF-8
  } rows[] = {
      {"three_characters_containing_two", {"中国", "中国", "中国", "中国人", "中国人"}, 2,
       "中国/3#"},
      {"left_out_entries_are_not_replaced", {"中国", "中国", "中国人", "人民"}, 2, "中国/2#"},
      {"all_ranks", {"中国", "中国", "中国人", "人民"}, -1, "中国/2#人民/1#"},
      {"lower_ranked_words_hide_nothing", {"中国人", "中国人", "中国"}, -1, "中国人/2#中国/1#"},
      {"short_words_hide_nothing", {"ab", "ab", "abcde"}, -1, "ab/2#abcde/1#"},
      {"four_bytes_are_not_left_out", {"abc", "abc", "abcd"}, -1, "abc/2#abcd/1#"},
      {"four_bytes_hide_five", {"abcd", "abcd", "xabcd"}, -1, "abcd/2#"},
      {"byte_substring", {"bcde", "bcde", "abcdef"}, -1, "bcde/2#"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto counter = std::make_unique<PeekPdat>(0);
    counter->CountWords(Gbk(row.words));
    EXPECT_EQ(row.expected, U(counter->GetTopWords(row.n)));
  }
}

TEST(PdatFreqTest, ManyWordsAgainstTheirSubstrings) {
  // More ranked words than substrings: the report then looks substrings up.
  auto counter = std::make_unique<PeekPdat>(1);
  std::vector<std::string> words;
  for (int i = 0; i < 200; ++i) Repeat(words, "w" + std::to_string(1000 + i), 300 - i);
  words.push_back("xw1005y");   // contains a higher word: left out
  words.push_back("xw99y");     // contains none
  counter->CountWords(words);
  const std::string report = counter->GetTopWords(-1);
  EXPECT_EQ(std::string::npos, report.find("xw1005y"));
  EXPECT_NE(std::string::npos, report.find("xw99y/1#"));
  EXPECT_EQ(0u, report.find("w1000/300#w1001/299#"));
}

TEST(PdatFreqTest, ExcludedWords) {
  auto counter = std::make_unique<PeekPdat>(0);
  counter->CountWords(Gbk({"中国", "中国", "人民", "北京", "北京", "北京"}));
  EXPECT_EQ(1, counter->AddExcludedWord(G("人民").c_str()));
  EXPECT_EQ(-1, counter->Frequencies()[1].count);
  EXPECT_EQ("北京/3#中国/2#人民/-1#", U(counter->GetTopWords(-1)));
  // An excluded word is not counted, nor a word that begins with it.
  EXPECT_EQ(-1, counter->AddWord(G("人民").c_str(), true));
  EXPECT_EQ(-1, counter->AddWord(G("人民日报").c_str(), true));
  EXPECT_EQ(-1, counter->FindWord(G("人民日报").c_str()));
  // A new word excluded at once.
  EXPECT_EQ(3, counter->AddExcludedWord(G("上海").c_str()));
  EXPECT_EQ(-1, counter->Frequencies()[3].count);
  // Counting again clears the marks.
  EXPECT_EQ(4, counter->CountWords(Gbk({"人民", "上海", "上海"})));
  EXPECT_EQ("上海/2#人民/1#中国/0#北京/0#", U(counter->GetTopWords(-1)));
}

TEST(PdatFreqTest, ResetCountsKeepsTheEntries) {
  auto counter = std::make_unique<PeekPdat>(0);
  counter->CountWords({"a", "b"});
  counter->AddExcludedWord("b");
  counter->ResetCounts();
  ASSERT_EQ(2u, counter->Frequencies().size());
  EXPECT_EQ(0, counter->Frequencies()[0].count);
  EXPECT_EQ(0, counter->Frequencies()[1].count);
  EXPECT_EQ(1, counter->AddWord("b", true));
  EXPECT_EQ(1, counter->Frequencies()[1].count);
}

TEST(PdatFreqTest, EmptyListReportsNothing) {
  auto counter = std::make_unique<PeekPdat>(0);
  EXPECT_STREQ("", counter->GetTopWords(-1));
  std::string common = "x", onlyThis = "x", onlyOther = "x";
  auto other = std::make_unique<PeekPdat>(0);
  counter->Compare(other.get(), common, onlyThis, onlyOther);
  EXPECT_EQ("", common);
  EXPECT_EQ("", onlyThis);
  EXPECT_EQ("", onlyOther);
}

// ---- Compare -------------------------------------------------------------------

TEST(PdatCompareTest, SharedWordsAreCommonAndThenExcluded) {
  auto mine = std::make_unique<PeekPdat>(0);
  auto theirs = std::make_unique<PeekPdat>(0);
  mine->CountWords(Gbk({"中国", "中国", "中国", "人民", "北京", "北京"}));
  theirs->CountWords(Gbk({"上海", "人民", "人民", "人民", "人民", "中国", "广州", "广州"}));
  std::string common, onlyThis, onlyOther;
  mine->Compare(theirs.get(), common, onlyThis, onlyOther);
  // By sum: 人民 1 + 4, 中国 3 + 1.
  EXPECT_EQ("人民/1/4#中国/3/1#", U(common));
  EXPECT_EQ("北京/2#", U(onlyThis));
  EXPECT_EQ("广州/2#上海/1#", U(onlyOther));
  EXPECT_EQ(-1, mine->Frequencies()[0].count);
  EXPECT_EQ(-1, theirs->Frequencies()[1].count);
  // Compared again, the common words take no part.
  mine->Compare(theirs.get(), common, onlyThis, onlyOther);
  EXPECT_EQ("", common);
  EXPECT_EQ("北京/2#", U(onlyThis));
  EXPECT_EQ("广州/2#上海/1#", U(onlyOther));
}

TEST(PdatCompareTest, CompareAfterReportsUsesTheRightCounts) {
  auto mine = std::make_unique<PeekPdat>(0);
  auto theirs = std::make_unique<PeekPdat>(0);
  mine->CountWords({"a", "b", "b", "c", "c", "c"});
  theirs->CountWords({"c", "a", "a", "a", "a", "d"});
  mine->GetTopWords(-1);
  theirs->GetTopWords(-1);
  std::string common, onlyThis, onlyOther;
  mine->Compare(theirs.get(), common, onlyThis, onlyOther);
  EXPECT_EQ("a/1/4#c/3/1#", common);
  EXPECT_EQ("b/2#", onlyThis);
  EXPECT_EQ("d/1#", onlyOther);
  // Counting after the comparison still reaches each word's own entry.
  EXPECT_EQ(1, mine->AddWord("b", true));
  EXPECT_STREQ("b/3#a/-1#c/-1#", mine->GetTopWords(-1));
}

// Every word found in both is paired, also with a count of 0 on either side;
// excluded words take no part.
TEST(PdatCompareTest, UncountedWordsArePairedExcludedOnesAreNot) {
  auto mine = std::make_unique<PeekPdat>(0);
  auto theirs = std::make_unique<PeekPdat>(0);
  mine->CountWords({"a", "b", "c", "d"});
  mine->AddExcludedWord("a");
  mine->CountWords({"a", "b", "c"});  // d is still an entry, with count 0
  mine->AddExcludedWord("a");
  theirs->CountWords({"a", "b", "c", "d", "e"});
  theirs->CountWords({"a", "c", "d", "e"});  // b has the count 0
  theirs->AddExcludedWord("e");
  mine->AddWord("e", true);
  std::string common, onlyThis, onlyOther;
  mine->Compare(theirs.get(), common, onlyThis, onlyOther);
  // By sum: c 1 + 1, then (in ranked order of this list) b 1 + 0, d 0 + 1.
  EXPECT_EQ("c/1/1#b/1/0#d/0/1#", common);
  EXPECT_EQ("e/1#", onlyThis);
  EXPECT_EQ("a/1#", onlyOther);
  // The paired words are excluded in both.
  for (int handle : {1, 2, 3}) {
    EXPECT_EQ(-1, mine->Frequencies()[static_cast<std::size_t>(handle)].count);
    EXPECT_EQ(-1, theirs->Frequencies()[static_cast<std::size_t>(handle)].count);
  }
  EXPECT_EQ(-1, mine->Frequencies()[0].count);
  EXPECT_EQ(1, theirs->Frequencies()[0].count);
}

TEST(PdatCompareTest, EachReportHoldsAtMostTenWords) {
  auto mine = std::make_unique<PeekPdat>(1);
  auto theirs = std::make_unique<PeekPdat>(1);
  std::vector<std::string> a, b;
  for (int i = 0; i < 15; ++i) {
    Repeat(a, "shared" + std::to_string(i), 20 + i);
    Repeat(b, "shared" + std::to_string(i), 1);
    Repeat(a, "mine" + std::to_string(i), 1 + i);
    Repeat(b, "theirs" + std::to_string(i), 1 + i);
  }
  mine->CountWords(a);
  theirs->CountWords(b);
  std::string common, onlyThis, onlyOther;
  mine->Compare(theirs.get(), common, onlyThis, onlyOther);
  auto items = [](const std::string& s) {
    int n = 0;
    for (char c : s) n += c == '#';
    return n;
  };
  EXPECT_EQ(10, items(common));
  EXPECT_EQ(10, items(onlyThis));
  EXPECT_EQ(10, items(onlyOther));
  EXPECT_EQ(0u, common.find("shared14/34/1#shared13/33/1#"));
  EXPECT_EQ(0u, onlyThis.find("mine14/15#"));
  EXPECT_EQ(0u, onlyOther.find("theirs14/15#"));
  // The remaining shared words were excluded in both objects too.
  EXPECT_EQ(std::string::npos, onlyThis.find("shared"));
  EXPECT_EQ(std::string::npos, onlyOther.find("shared"));
}

TEST(PdatCompareTest, NullOtherListsOnlyThisObject) {
  auto mine = std::make_unique<PeekPdat>(0);
  mine->CountWords({"a", "a", "b"});
  std::string common, onlyThis, onlyOther;
  mine->Compare(nullptr, common, onlyThis, onlyOther);
  EXPECT_EQ("", common);
  EXPECT_EQ("a/2#b/1#", onlyThis);
  EXPECT_EQ("", onlyOther);
}

}  // namespace
}  // namespace testing
}  // namespace zhtext
