// Adding words, coding the alphabet and packing: the rules of the
// construction tree, and the fast packing compared byte for byte with a
// plain implementation of the packing rules.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "tests/dictionary/pdat_test_helpers.h"
#include "tests/support/gbk_text.h"
#include "tests/support/naive_pdat.h"
#include "tests/support/temp_dir.h"
#include "zhtext/dictionary/pdat.h"

namespace zhtext {
namespace testing {
namespace {

// ---- Adding ------------------------------------------------------------------

TEST(PdatAddTest, SameWordTwiceKeepsItsFirstHandle) {
  auto dict = std::make_unique<PeekPdat>(0);
  EXPECT_EQ(0, dict->AddWord("ab", false));
  EXPECT_EQ(1, dict->AddWord(G("中国").c_str(), false));
  EXPECT_EQ(-1, dict->AddWord("ab", false));
  EXPECT_EQ(-1, dict->AddWord("AB", false));  // folded: the same word
  EXPECT_EQ(2, dict->GetWordCount());
  EXPECT_EQ(0, dict->FindWord("ab"));
  EXPECT_EQ(1, dict->FindWord(G("中国").c_str()));
  EXPECT_EQ(-1, dict->FindWord("a"));
  EXPECT_EQ(-1, dict->FindWord("abc"));
}

TEST(PdatAddTest, EmptyAndInvalidWordsAddNothing) {
  auto dict = std::make_unique<PeekPdat>(0);
  EXPECT_EQ(-1, dict->AddWord("", false));
  EXPECT_EQ(-1, dict->AddWord("\xEF\xBB\xBF", false));
  EXPECT_EQ(-1, dict->AddWord(nullptr, false));
  EXPECT_EQ(-1, dict->AddWord("ab", -3, false));  // handles are never negative
  EXPECT_EQ(0, dict->GetWordCount());
  EXPECT_EQ(-1, dict->FindWord("ab"));
}

TEST(PdatAddTest, ExplicitHandlesAndTheByteOrderMark) {
  auto dict = std::make_unique<PeekPdat>(0);
  EXPECT_EQ(42, dict->AddWord("\xEF\xBB\xBF" "ab", 42, false));
  EXPECT_EQ(42, dict->FindWord("ab"));
  dict->Build();
  EXPECT_EQ(42, dict->Search("ab"));
}

TEST(PdatAddTest, ModeTwoSeparatorsAreNotStored) {
  auto dict = std::make_unique<PeekPdat>(2);
  EXPECT_EQ(0, dict->AddWord("ab", false));
  EXPECT_EQ(-1, dict->AddWord("ab,\xA3\xAC", false));  // trailing , and ，
  EXPECT_EQ(-1, dict->AddWord("a\xA1\xA2" "b", false));  // a、b
  EXPECT_EQ(-1, dict->AddWord("a _/b", false));
  EXPECT_EQ(-1, dict->AddWord(",", false));
  EXPECT_EQ(-1, dict->AddWord("\xA1\xA2", false));
  EXPECT_EQ(-1, dict->AddWord(",,\xA1\xA3", false));
  EXPECT_EQ(1, dict->GetWordCount());
  dict->Build();
  EXPECT_EQ(0, dict->Search("ab"));
  EXPECT_EQ(-1, dict->Search(","));
}

TEST(PdatAddTest, TrailingTabEndsTheWordBeforeIt) {
  // A tab reads as the value 9, which is never stored; the word ends at
  // the character before it instead of leaving a half-added word behind.
  for (int mode : {0, 1}) {
    SCOPED_TRACE(mode);
    auto dict = std::make_unique<PeekPdat>(mode);
    EXPECT_EQ(0, dict->AddWord("ab\t", false));
    EXPECT_EQ(-1, dict->AddWord("ab", false));
    EXPECT_EQ(-1, dict->AddWord("a\tb", false));
    dict->AddWord("x", false);
    dict->Build();
    EXPECT_EQ(0, dict->Search("ab"));
    int handle = -5;
    EXPECT_EQ(2, dict->MatchLongest("abc", &handle, nullptr));
    EXPECT_EQ(0, handle);
    EXPECT_EQ(0, dict->MatchLongest("a", &handle, nullptr));
  }
}

TEST(PdatAddTest, ModeTwoTrailByteThatLooksLikeASeparatorIsKept) {
  // 81 5F is one GBK character whose trail byte is '_'.
  auto dict = std::make_unique<PeekPdat>(2);
  EXPECT_EQ(0, dict->AddWord("\x81\x5F", false));
  EXPECT_EQ(-1, dict->AddWord("\x81\x5F_", false));  // the trailing '_' is a separator
  EXPECT_EQ(-1, dict->AddWord("\x81\x5F,", false));
  dict->Build();
  EXPECT_EQ(0, dict->Search("\x81\x5F"));
  EXPECT_EQ(-1, dict->Search("\x81"));
}

TEST(PdatAddTest, FindWordLeavesTheAlphabetAlone) {
  TempDir dir;
  auto plain = std::make_unique<PeekPdat>(0);
  plain->AddWord("ab", false);
  plain->Build();
  ASSERT_TRUE(plain->Save(dir.File("plain.dic").c_str()));

  auto probed = std::make_unique<PeekPdat>(0);
  EXPECT_EQ(-1, probed->FindWord("xyz"));
  probed->AddWord("ab", false);
  EXPECT_EQ(-1, probed->FindWord("abzz"));
  EXPECT_EQ(0, probed->FindWord("ab"));
  probed->Build();
  ASSERT_TRUE(probed->Save(dir.File("probed.dic").c_str()));
  EXPECT_EQ(ReadFile(dir.File("plain.dic")), ReadFile(dir.File("probed.dic")));
  auto loaded = std::make_unique<CPDAT>(0);
  EXPECT_TRUE(loaded->Load(dir.File("probed.dic").c_str()));
}

TEST(PdatAddTest, TrackingCountsKnownWordsAndStopsAtExcludedOnes) {
  auto dict = std::make_unique<PeekPdat>(0);
  EXPECT_EQ(0, dict->AddWord("ab", true));
  EXPECT_EQ(0, dict->AddWord("ab", true));
  EXPECT_EQ(1, dict->AddWord("\xEF\xBB\xBF" "cd", true));
  ASSERT_EQ(2u, dict->Frequencies().size());
  EXPECT_EQ("ab", dict->Frequencies()[0].word);
  EXPECT_EQ(2, dict->Frequencies()[0].count);
  EXPECT_EQ("cd", dict->Frequencies()[1].word);
  EXPECT_EQ(1, dict->Frequencies()[1].count);

  dict->Frequencies()[0].count = -1;  // excluded
  EXPECT_EQ(-1, dict->AddWord("ab", true));
  EXPECT_EQ(-1, dict->Frequencies()[0].count);
  EXPECT_EQ(-1, dict->AddWord("abc", true));  // begins with an excluded word
  EXPECT_EQ(-1, dict->FindWord("abc"));
  EXPECT_EQ(2, dict->AddWord("abc", false));  // without tracking it is added
}

TEST(PdatAddTest, ResetStartsAnEmptyTreeAndFrequencyList) {
  auto dict = std::make_unique<PeekPdat>(0);
  dict->AddWord("ab", true);
  dict->AddWord("cd", true);
  EXPECT_TRUE(dict->Reset());
  EXPECT_EQ(0, dict->GetWordCount());
  EXPECT_EQ(-1, dict->FindWord("ab"));
  EXPECT_TRUE(dict->Frequencies().empty());
  EXPECT_EQ(0, dict->AddWord("cd", true));
  ASSERT_EQ(1u, dict->Frequencies().size());
  EXPECT_EQ("cd", dict->Frequencies()[0].word);
}

TEST(PdatAddTest, ManyChildrenAreFoundThroughTheChildIndex) {
  auto dict = std::make_unique<PeekPdat>(0);
  std::vector<std::string> words;
  for (int a = 0; a < 40; ++a) {
    for (int b = 0; b < 40; ++b) {
      words.push_back(std::string(1, static_cast<char>('0' + a)) + static_cast<char>('0' + b));
    }
  }
  for (std::size_t i = 0; i < words.size(); ++i) {
    ASSERT_EQ(static_cast<int>(i), dict->AddWord(words[i].c_str(), false));
  }
  for (std::size_t i = 0; i < words.size(); ++i) {
    ASSERT_EQ(static_cast<int>(i), dict->FindWord(words[i].c_str()));
    ASSERT_EQ(-1, dict->AddWord(words[i].c_str(), false));
  }
}

// ---- Coding and building -------------------------------------------------

TEST(PdatBuildTest, CodesByDescendingCountThenValue) {
  auto dict = BuildDict(0, {"ba", "cab", "ca"});
  // Counts: a 3, b 2, c 2.
  EXPECT_EQ(0, dict->Code('a'));
  EXPECT_EQ(1, dict->Code('b'));
  EXPECT_EQ(2, dict->Code('c'));
  EXPECT_EQ(-1, dict->Code('d'));
  EXPECT_EQ(3, dict->CodeCount());
  EXPECT_EQ(3, dict->CharFreq('a'));
  EXPECT_EQ(2, dict->CharFreq('c'));
}

TEST(PdatBuildTest, BuildTwiceDoesNothingTheSecondTime) {
  auto dict = BuildDict(0, {"ab", "ac"});
  const PDAT_CELL* cells = dict->GetCells();
  const int maxCell = dict->GetMaxCell();
  EXPECT_TRUE(dict->IsBuilt());
  EXPECT_TRUE(dict->Build());
  EXPECT_EQ(cells, dict->GetCells());
  EXPECT_EQ(maxCell, dict->GetMaxCell());
  EXPECT_EQ(1, dict->Search("ac"));
}

TEST(PdatBuildTest, NoWordsGiveAnEmptyDictionaryWithOneFreeCell) {
  auto dict = BuildDict(0, {});
  EXPECT_TRUE(dict->IsEmpty());
  EXPECT_EQ(0, dict->GetMaxCell());
  ASSERT_NE(nullptr, dict->GetCells());
  EXPECT_EQ(-1, dict->GetCells()[0].base);
  EXPECT_EQ(-1, dict->GetCells()[0].check);
  EXPECT_EQ(-1, dict->Search("a"));
  EXPECT_EQ(0, dict->MatchLongest("a", nullptr, nullptr));
}

TEST(PdatBuildTest, TheTreeIsGoneAfterBuild) {
  auto dict = BuildDict(0, {"ab"});
  EXPECT_FALSE(dict->HasTree());
  EXPECT_EQ(-1, dict->FindWord("ab"));
  EXPECT_EQ(0, dict->Search("ab"));
}

TEST(PdatBuildTest, AddingAfterBuildStartsANewDictionary) {
  auto dict = BuildDict(0, {"ab", "cd"});
  // The new tree gives handles from 0; the packed cells answer until the
  // next Build.
  EXPECT_EQ(0, dict->AddWord("xy", false));
  EXPECT_FALSE(dict->IsBuilt());
  EXPECT_EQ(1, dict->GetWordCount());
  EXPECT_EQ(0, dict->FindWord("xy"));
  EXPECT_EQ(1, dict->Search("cd"));
  dict->Build();
  EXPECT_EQ(0, dict->Search("xy"));
  EXPECT_EQ(-1, dict->Search("ab"));
  EXPECT_EQ(-1, dict->Search("cd"));
  EXPECT_EQ(1, dict->GetWordCount());
}

TEST(PdatBuildTest, ResetAfterBuildGivesAFreshTree) {
  auto dict = BuildDict(0, {"ab"});
  EXPECT_TRUE(dict->Reset());
  EXPECT_TRUE(dict->HasTree());
  EXPECT_EQ(-1, dict->FindWord("ab"));
  EXPECT_EQ(0, dict->AddWord("cd", false));
  dict->Build();
  EXPECT_EQ(0, dict->Search("cd"));
  EXPECT_EQ(-1, dict->Search("ab"));
}

TEST(PdatBuildTest, ClearSizeKeepsTheCells) {
  auto dict = BuildDict(0, {"a", "b", "c"});
  const PDAT_CELL* cells = dict->GetCells();
  EXPECT_TRUE(dict->ClearSize());
  EXPECT_EQ(0, dict->GetMaxCell());
  EXPECT_EQ(0, dict->GetWordCount());
  EXPECT_EQ(cells, dict->GetCells());
  EXPECT_EQ(0, dict->Search("a"));  // cell 0 is still valid
  EXPECT_EQ(-1, dict->Search("b"));
}

TEST(PdatBuildTest, VirtualSlotsThatDoNothing) {
  auto dict = std::make_unique<CPDAT>(0);
  EXPECT_TRUE(dict->ReturnTrue());
  dict->NoOperation();
  EXPECT_EQ(0, dict->GetMaxCell());
}

// ---- Layout: fast packing against the plain rules ------------------------

// A vocabulary over GBK Chinese characters, ASCII letters and digits, the
// mode-2 separators, full-width forms, brackets and quotes, with skewed
// character frequencies so that prefixes are shared and fan-outs vary.
std::vector<std::string> MakeVocabulary(unsigned seed, int size) {
  std::vector<std::string> alphabet;
  for (int lead = 0xB0; lead <= 0xB3; ++lead) {
    for (int trail = 0xA1; trail <= 0xAE; ++trail) {
      alphabet.push_back({static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  for (const char* s : {"a", "b", "c", "x", "Y", "Z", "0", "7", "\"", "(", ")"}) alphabet.push_back(s);
  for (const char* s : {" ", "\t", ",", "/", "_", "\r"}) alphabet.push_back(s);
  // Two-byte separators, then full-width digits, letters, brackets, quotes.
  for (const char* s : {"\xA3\xDC", "\xA3\xFC", "\xA3\xAC", "\xA3\xAE", "\xA1\xA3", "\xA1\xA2",
                        "\xA3\xAD", "\xA1\xAA", "\xAA\xA4", "\xA3\xB0", "\xA3\xB7", "\xA3\xC1",
                        "\xA3\xD9", "\xA3\xE1", "\xA3\xF8", "\xA3\xA8", "\xA1\xBE", "\xA3\xA9",
                        "\xA1\xBF", "\xA1\xB0", "\xA1\xB1", "\xA1\xAE", "\xA3\xA7"}) {
    alphabet.push_back(s);
  }
  std::mt19937 rng(seed);
  auto pick = [&](unsigned n) {  // skewed towards small indexes
    double u = static_cast<double>(rng()) / 4294967296.0;
    return static_cast<unsigned>(static_cast<double>(n) * u * u * u);
  };
  std::vector<std::string> vocabulary;
  while (static_cast<int>(vocabulary.size()) < size) {
    std::string word;
    if (!vocabulary.empty() && rng() % 3 == 0) {
      word = vocabulary[rng() % vocabulary.size()];  // extend a known word
      if (word.size() > 12) word.resize(0);
    }
    const unsigned length = 1 + rng() % 4;
    for (unsigned k = 0; k < length; ++k) word += alphabet[pick(static_cast<unsigned>(alphabet.size()))];
    if (rng() % 50 == 0) word = "\xEF\xBB\xBF" + word;
    vocabulary.push_back(word);
  }
  return vocabulary;
}

std::vector<std::string> DrawWords(unsigned seed, int count) {
  const std::vector<std::string> vocabulary = MakeVocabulary(seed, count * 2);
  std::mt19937 rng(seed ^ 0x5bd1e995u);
  std::vector<std::string> words;
  for (int i = 0; i < count; ++i) words.push_back(vocabulary[rng() % vocabulary.size()]);
  return words;
}

struct LayoutCase {
  std::string name;
  int mode;
  std::vector<std::string> words;
};

std::vector<LayoutCase> LayoutCases() {
  std::vector<LayoutCase> cases;
  for (int mode = 0; mode <= 2; ++mode) {
    const std::string m = "Mode" + std::to_string(mode);
    cases.push_back({m + "NoWords", mode, {}});
    cases.push_back({m + "OneWord", mode, {"\xD6\xD0\xB9\xFA"}});  // 中国
    cases.push_back({m + "OneCharacter", mode, {"a"}});
    cases.push_back({m + "LeafAtCellZero", mode, {"x", "ax", "bx", "cx", "abx"}});
    cases.push_back({m + "Duplicates", mode, {"ab", "ab", "AB", "ab,", "b", "ab", "b"}});
    cases.push_back({m + "SeparatorsOnly", mode, {",", "\xA1\xA2", " _", "a"}});
    cases.push_back({m + "LongChain", mode, {std::string(300, 'q'), std::string(150, 'q') + "r"}});
    cases.push_back({m + "WordEndWithChildren", mode, {"a", "ab", "abc", "b", "ba", "bab", "c"}});
    cases.push_back({m + "Random1", mode, DrawWords(1, 3000)});
    cases.push_back({m + "Random2", mode, DrawWords(20240601, 2500)});
  }
  return cases;
}

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class PdatLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(PdatLayoutTest, FastBuildEqualsThePlainRules) {
  ExpectPlainRulesLayout(GetParam().words, GetParam().mode);
}

TEST_P(PdatLayoutTest, EveryWordIsFoundAndTheLeafTestIsExact) {
  const LayoutCase& c = GetParam();
  auto dict = std::make_unique<PeekPdat>(c.mode);
  std::map<std::string, int> handles;  // word -> handle it was given
  for (const std::string& word : c.words) {
    const int handle = dict->AddWord(word.c_str(), false);
    if (handle >= 0) handles[word] = handle;
  }
  dict->Build();
  for (const auto& entry : handles) {
    std::string key = entry.first;
    if (key.compare(0, 3, "\xEF\xBB\xBF") == 0) key.erase(0, 3);
    // Keys that Search reads differently from AddWord: whitespace (folded),
    // separators in mode 2 (never stored), enclosing quotes (stripped).
    if (key.find_first_of(" \t\r") != std::string::npos) continue;
    if (c.mode == 2 && key.find_first_of(",/_") != std::string::npos) continue;
    if (key.size() >= 2 && key.front() == '"' && key.back() == '"') continue;
    bool twoByteSeparator = false;
    for (std::size_t i = 0; i + 1 < key.size(); ++i) {
      const unsigned char b = static_cast<unsigned char>(key[i]);
      if (b < 0x80) continue;
      const unsigned v = b << 8 | static_cast<unsigned char>(key[i + 1]);
      for (unsigned s : {0xA3DCu, 0xA3FCu, 0xA3ACu, 0xA3AEu, 0xA1A3u, 0xA1A2u, 0xA3ADu, 0xA1AAu, 0xAAA4u}) {
        if (v == s) twoByteSeparator = true;
      }
      ++i;
    }
    if (c.mode == 2 && twoByteSeparator) continue;
    EXPECT_EQ(entry.second, dict->Search(key.c_str())) << Hex(key);
  }
  // A word end with children never has an offset equal to its own index,
  // so it is not taken for a leaf.
  const PDAT_CELL* cells = dict->GetCells();
  std::vector<bool> hasChildren(static_cast<std::size_t>(dict->GetMaxCell()) + 1, false);
  for (int u = 0; u <= dict->GetMaxCell(); ++u) {
    if (cells[u].check >= 0) hasChildren[static_cast<std::size_t>(cells[u].check)] = true;
  }
  for (int t = 0; t <= dict->GetMaxCell(); ++t) {
    if (hasChildren[static_cast<std::size_t>(t)] && cells[t].base <= 0 && cells[t].handle >= 0) {
      EXPECT_NE(t, std::abs(cells[t].base)) << "cell " << t;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PdatLayoutTest, ::testing::ValuesIn(LayoutCases()),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

}  // namespace
}  // namespace testing
}  // namespace zhtext
