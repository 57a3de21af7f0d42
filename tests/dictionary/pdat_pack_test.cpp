// The fast packing against the plain packing rules on inputs that reach the
// corners of the fast search: large alphabets, wide fan-outs, long chains
// that outgrow the first estimate of the cell count, nearly full arrays, and
// the offsets skipped because they equal a word end's own cell. Also the
// construction tree's shortcuts: the path of the latest word and the child
// index of nodes with many children.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/dictionary/pdat_test_helpers.h"
#include "tests/support/naive_pdat.h"
#include "zhtext/dictionary/pdat.h"

namespace zhtext {
namespace testing {
namespace {

// The `n`-th two-byte GBK character of the level-1 block (B0A1, B0A2, ...).
std::string HanCharacter(int n) {
  const int lead = 0xB0 + n / 94;
  const int trail = 0xA1 + n % 94;
  return {static_cast<char>(lead), static_cast<char>(trail)};
}

// Words over `alphabetSize` characters drawn with a strong skew (a few
// characters are very frequent, as in real text), many of them extending
// an earlier word so that prefixes are shared.
std::vector<std::string> SkewedWords(unsigned seed, int count, int alphabetSize) {
  std::mt19937 rng(seed);
  auto pick = [&]() {
    const double u = static_cast<double>(rng()) / 4294967296.0;
    return HanCharacter(static_cast<int>(alphabetSize * u * u * u));
  };
  std::vector<std::string> words;
  while (static_cast<int>(words.size()) < count) {
    std::string word;
    if (!words.empty() && rng() % 2 == 0) word = words[rng() % words.size()];
    if (word.size() > 10) word.clear();
    const unsigned length = 1 + rng() % 3;
    for (unsigned i = 0; i < length; ++i) word += pick();
    words.push_back(word);
  }
  return words;
}

std::vector<std::string> Sorted(std::vector<std::string> words) {
  std::sort(words.begin(), words.end());
  return words;
}

// A node with `fanOut` children (the prefix followed by each character),
// a second one with fewer, and the single characters.
std::vector<std::string> WideFanOut(int fanOut) {
  std::vector<std::string> words;
  for (int i = 0; i < fanOut; ++i) words.push_back(HanCharacter(0) + HanCharacter(i));
  for (int i = 0; i < fanOut / 8; ++i) words.push_back(HanCharacter(1) + HanCharacter(3 * i));
  for (int i = 0; i < fanOut; i += 3) words.push_back(HanCharacter(i));
  return words;
}

// A word far longer than the whole list suggests cells for, with side
// branches, so that the cells outgrow their first estimate.
std::vector<std::string> LongChain(int length) {
  std::string chain;
  for (int i = 0; i < length; ++i) chain += static_cast<char>('a' + i % 7);
  return {chain, chain.substr(0, length / 2) + "z", chain.substr(0, 100) + "y", "b", "ba"};
}

// Many short words over a small alphabet: the array fills up and pairs and
// single children end up in the few free cells left.
std::vector<std::string> DenseShortWords(unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::string> words;
  for (int a = 0; a < 60; ++a) {
    for (int b = 0; b < 60; ++b) {
      if (rng() % 3 == 0) continue;
      std::string word = HanCharacter(a) + HanCharacter(b);
      words.push_back(word);
      if (rng() % 4 == 0) words.push_back(word + HanCharacter(static_cast<int>(rng() % 60)));
      if (rng() % 9 == 0) words.push_back(word + HanCharacter(static_cast<int>(rng() % 60)) + "x");
    }
  }
  std::shuffle(words.begin(), words.end(), rng);
  return words;
}

// Every two-byte character value with a lead byte from `firstLead` to
// `lastLead` (no zero trail byte) as a one-character word.
std::vector<std::string> TwoByteValues(int firstLead, int lastLead) {
  std::vector<std::string> words;
  for (int lead = firstLead; lead <= lastLead; ++lead) {
    for (int trail = 0x01; trail <= 0xFF; ++trail) words.push_back({static_cast<char>(lead), static_cast<char>(trail)});
  }
  return words;
}

// Many one-character words and a few longer ones: a root with a large
// child index.
std::vector<std::string> ManyRootChildren() {
  std::vector<std::string> words = TwoByteValues(0x80, 0x9F);
  for (std::size_t i = 0; i < 500; ++i) words.push_back(words[i * 13] + words[i * 7]);
  return words;
}

struct PackCase {
  std::string name;
  std::vector<std::string> words;
};

std::vector<PackCase> PackCases() {
  return {
      {"SkewedRandomOrder", SkewedWords(7, 5000, 1500)},
      {"SkewedSorted", Sorted(SkewedWords(7, 5000, 1500))},
      {"SkewedSmallAlphabet", SkewedWords(11, 6000, 200)},
      {"WideFanOut", WideFanOut(2600)},
      {"LongChain", LongChain(6000)},
      {"DenseShortWords", DenseShortWords(3)},
      {"ManyRootChildren", ManyRootChildren()},
  };
}

struct ModeCase {
  PackCase pack;
  int mode;
};

std::vector<ModeCase> ModeCases() {
  std::vector<ModeCase> cases;
  for (const PackCase& pack : PackCases()) {
    for (int mode = 0; mode <= 2; ++mode) cases.push_back({pack, mode});
  }
  return cases;
}

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.pack.name << "Mode" << c.mode; }

class PdatPackTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(PdatPackTest, FastBuildEqualsThePlainRules) {
  ExpectPlainRulesLayout(GetParam().pack.words, GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Cases, PdatPackTest, ::testing::ValuesIn(ModeCases()),
                         [](const ::testing::TestParamInfo<ModeCase>& info) {
                           return info.param.pack.name + "Mode" + std::to_string(info.param.mode);
                         });

// The comparison above only shows the own-cell skip right if its inputs
// reach it: nodes with one child, two children and more, placed past an
// offset that would have fitted but was their own cell.
TEST(PdatPackCoverageTest, TheInputsReachTheOwnCellSkip) {
  std::set<int> reached;  // 1, 2 or 3 for three children or more
  for (const PackCase& pack : PackCases()) {
    for (int k : BuildNaivePdat(pack.words, 0).skippedFits) reached.insert(std::min(k, 3));
  }
  EXPECT_EQ((std::set<int>{1, 2, 3}), reached);
}

// ---- The construction tree's shortcuts ----------------------------------------

// Adding and finding in any order, with duplicates, prefixes and words that
// extend others, answer as a map of the words does: the path of the latest
// word and the child index never find the wrong node or miss one.
TEST(PdatTreeTest, AddingAndFindingAgreeWithAMap) {
  std::mt19937 rng(20240607);
  std::vector<std::string> pool = SkewedWords(5, 4000, 400);
  // Runs in sorted order (long shared paths), and single random words.
  std::vector<std::string> sorted = Sorted(pool);
  auto dict = std::make_unique<PeekPdat>(0);
  std::map<std::string, int> handles;
  for (int step = 0; step < 20000; ++step) {
    const unsigned what = rng() % 10;
    const std::string& word = what < 4 ? sorted[static_cast<std::size_t>(step) % sorted.size()]
                                       : pool[rng() % pool.size()];
    if (what < 7) {
      const auto known = handles.find(word);
      const int expected = known == handles.end() ? static_cast<int>(handles.size()) : -1;
      ASSERT_EQ(expected, dict->AddWord(word.c_str(), false)) << step;
      if (known == handles.end()) handles.emplace(word, expected);
    } else {
      const auto known = handles.find(word);
      ASSERT_EQ(known == handles.end() ? -1 : known->second, dict->FindWord(word.c_str())) << step;
      // A prefix of a known word that is not a word itself.
      const std::string prefix = word.substr(0, word.size() - 2);
      if (!prefix.empty() && handles.count(prefix) == 0) {
        ASSERT_EQ(-1, dict->FindWord(prefix.c_str()));
      }
    }
  }
  ASSERT_EQ(static_cast<int>(handles.size()), dict->GetWordCount());
  for (const auto& entry : handles) ASSERT_EQ(entry.second, dict->FindWord(entry.first.c_str()));
  dict->Build();
  for (const auto& entry : handles) ASSERT_EQ(entry.second, dict->Search(entry.first.c_str()));
}

TEST(PdatTreeTest, NodesWithManyChildrenFindEachChild) {
  // Child counts across the sizes at which a child array grows and its
  // index is rebuilt, in one node and at the root.
  auto dict = std::make_unique<PeekPdat>(0);
  const std::string prefix = HanCharacter(5);
  std::vector<std::string> words;
  for (int i = 0; i < 1100; ++i) words.push_back(prefix + HanCharacter(i));
  for (int i = 0; i < 1100; ++i) words.push_back(HanCharacter(i));
  for (std::size_t i = 0; i < words.size(); ++i) {
    ASSERT_EQ(static_cast<int>(i), dict->AddWord(words[i].c_str(), false));
    // Everything added so far is still found, the next one is not yet.
    if (i == 7 || i == 8 || i == 15 || i == 16 || i == 1023 || i == 1024 || i == words.size() - 1) {
      for (std::size_t j = 0; j <= i; ++j) ASSERT_EQ(static_cast<int>(j), dict->FindWord(words[j].c_str()));
      if (i + 1 < words.size()) {
        ASSERT_EQ(-1, dict->FindWord(words[i + 1].c_str()));
      }
    }
  }
}

TEST(PdatTreeTest, TheRootHoldsEveryTwoByteValue) {
  auto dict = std::make_unique<PeekPdat>(0);
  const std::vector<std::string> words = TwoByteValues(0x80, 0xFF);
  for (std::size_t i = 0; i < words.size(); ++i) ASSERT_EQ(static_cast<int>(i), dict->AddWord(words[i].c_str(), false));
  for (std::size_t i = 0; i < words.size(); ++i) ASSERT_EQ(static_cast<int>(i), dict->FindWord(words[i].c_str()));
  EXPECT_EQ(-1, dict->FindWord("a"));
  dict->Build();
  for (std::size_t i = 0; i < words.size(); i += 97) ASSERT_EQ(static_cast<int>(i), dict->Search(words[i].c_str()));
}

TEST(PdatTreeTest, ATrackedWordStoppedByAnExcludedOneLeavesTheTreeSound) {
  auto dict = std::make_unique<PeekPdat>(0);
  EXPECT_EQ(0, dict->AddWord("ab", true));
  EXPECT_EQ(1, dict->AddWord("xy", true));
  dict->Frequencies()[0].count = -1;  // "ab" is excluded
  EXPECT_EQ(-1, dict->AddWord("abcd", true));
  // The next words share the path of the word before the refused one, and
  // of the refused one.
  EXPECT_EQ(2, dict->AddWord("xz", false));
  EXPECT_EQ(3, dict->AddWord("abce", false));
  EXPECT_EQ(4, dict->AddWord("abc", false));
  EXPECT_EQ(-1, dict->AddWord("abcd", true));
  EXPECT_EQ(1, dict->AddWord("xy", true));
  EXPECT_EQ(2, dict->FindWord("xz"));
  EXPECT_EQ(-1, dict->FindWord("az"));
  EXPECT_EQ(-1, dict->FindWord("abcd"));
  EXPECT_EQ(3, dict->FindWord("abce"));
  EXPECT_EQ(4, dict->FindWord("abc"));
  EXPECT_EQ(2, dict->Frequencies()[1].count);
  dict->Build();
  EXPECT_EQ(2, dict->Search("xz"));
  EXPECT_EQ(3, dict->Search("abce"));
  EXPECT_EQ(-1, dict->Search("abcd"));
}

TEST(PdatTreeTest, ResetForgetsTheLatestPath) {
  auto dict = std::make_unique<PeekPdat>(0);
  EXPECT_EQ(0, dict->AddWord("abcd", false));
  dict->Reset();
  EXPECT_EQ(-1, dict->FindWord("abcd"));
  EXPECT_EQ(0, dict->AddWord("abce", false));
  EXPECT_EQ(-1, dict->FindWord("abcd"));
  dict->Build();
  EXPECT_EQ(1, dict->AddWord("abcf", 1, false));  // a fresh tree after Build
  EXPECT_EQ(-1, dict->FindWord("abce"));
  EXPECT_EQ(1, dict->FindWord("abcf"));
}

}  // namespace
}  // namespace testing
}  // namespace zhtext
