#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/temp_dir.h"
#include "zhtext/idmaps/idmaps.h"
#include "zhtext/wordlist/word_list.h"

namespace zhtext {
namespace {

using testing::G;
using testing::Hex;
using testing::ReadFile;
using testing::TempDir;

using WordPairs = std::vector<std::pair<std::string, std::string>>;

void Build(CIDMaps& map, const std::vector<std::pair<int, int>>& pairs) {
  map.Clear();
  for (const auto& p : pairs) map.AddPair(p.first, p.second);
  ::testing::internal::CaptureStdout();
  map.BuildMap();
  ::testing::internal::GetCapturedStdout();
}

void Fill(CWordList& list, const std::vector<std::string>& words) {
  list.Init();
  for (std::size_t h = 0; h < words.size(); ++h) list.AddWord(words[h].c_str(), static_cast<int>(h));
  list.BuildIndex();
}

// Key 1 -> {4}, key 3 -> {-1, 0, 2} with a duplicate; value 4 lies outside
// the value list.
class IDMapsReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Build(map_, {{3, 2}, {1, 4}, {3, -1}, {3, 0}, {3, 2}});
    Fill(keys_, {"k0", "k1", G("键二"), "k3"});
    Fill(values_, {G("值"), "v1", "new york"});
  }
  std::string Report(const CWordList* keys, const CWordList* values, bool multiOnly) {
    const std::string path = dir_.File("report.txt");
    EXPECT_TRUE(map_.ExportText(path.c_str(), keys, values, multiOnly));
    return ReadFile(path);
  }

  TempDir dir_;
  CIDMaps map_;
  CWordList keys_{false, nullptr};
  CWordList values_{false, nullptr};
};

TEST_F(IDMapsReportTest, ExportTextLayout) {
  struct Row {
    const char* name;
    bool withLists;
    bool multiOnly;
    std::string report;
  } rows[] = {
      {"all_keys", true, false,
       "Data Size=5,Index Size=4\r\n"
       "Handle=1(k1),Start=0\tEnd=0 count=1\r\n data=4() \r\n"
       "Handle=3(k3),Start=1\tEnd=3 count=3\r\n data=-1() 0(" + G("值") + ") 2(new york) \r\n"},
      {"multi_only", true, true,
       "Data Size=5,Index Size=4\r\n"
       "Handle=3(k3),Start=1\tEnd=3 count=3\r\n data=-1() 0(" + G("值") + ") 2(new york) \r\n"},
      {"null_word_lists", false, false,
       "Data Size=5,Index Size=4\r\n"
       "Handle=1((null)),Start=0\tEnd=0 count=1\r\n data=4((null)) \r\n"
       "Handle=3((null)),Start=1\tEnd=3 count=3\r\n data=-1((null)) 0((null)) 2((null)) \r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string report = row.withLists ? Report(&keys_, &values_, row.multiOnly)
                                             : Report(nullptr, nullptr, row.multiOnly);
    EXPECT_EQ(Hex(report), Hex(row.report)) << report;
  }
}

TEST_F(IDMapsReportTest, ExportTextOfEmptyFillingAndLoadedMaps) {
  const std::string before = Report(&keys_, &values_, false);
  // The same report after the map went through its file.
  const std::string file = dir_.File("map.bin");
  ASSERT_TRUE(map_.Save(file.c_str()));
  CIDMaps loaded;
  ASSERT_TRUE(loaded.Load(file.c_str()));
  const std::string path = dir_.File("loaded.txt");
  ASSERT_TRUE(loaded.ExportText(path.c_str(), &keys_, &values_, false));
  EXPECT_EQ(ReadFile(path), before);

  // A map being filled reports its sizes and no key.
  map_.AddPair(0, 1);
  EXPECT_EQ(Report(&keys_, &values_, false), "Data Size=6,Index Size=4\r\n");
  CIDMaps empty;
  EXPECT_EQ(empty.ExportText(path.c_str(), &keys_, &values_, false), true);
  EXPECT_EQ(ReadFile(path), "Data Size=0,Index Size=0\r\n");
  EXPECT_FALSE(empty.ExportText("/nonexistent/dir/report.txt", &keys_, &values_, false));
}

// Sizes, counts and values of several digits are written whole: 100,000
// pairs (duplicates counted), index size 151, 120 values of one key.
TEST_F(IDMapsReportTest, ExportTextWritesLongNumbersWhole) {
  CIDMaps big;
  big.Clear();
  for (int i = 0; i < 100000; ++i) big.AddPair(150, 1000000 + i % 120);
  ::testing::internal::CaptureStdout();
  ASSERT_TRUE(big.BuildMap());
  ::testing::internal::GetCapturedStdout();
  std::string expected =
      "Data Size=100000,Index Size=151\r\n"
      "Handle=150(),Start=0\tEnd=119 count=120\r\n data=";
  for (int v = 1000000; v < 1000120; ++v) expected += std::to_string(v) + "() ";
  expected += "\r\n";
  const std::string path = dir_.File("big.txt");
  ASSERT_TRUE(big.ExportText(path.c_str(), &keys_, &values_, false));
  EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(IDMapsReportTest, GetWordPairsAppends) {
  WordPairs pairs;
  EXPECT_EQ(map_.GetWordPairs(pairs, &keys_, &values_), 4);
  const WordPairs expected = {{"k1", ""}, {"k3", ""}, {"k3", G("值")}, {"k3", "new york"}};
  EXPECT_EQ(pairs, expected);
  EXPECT_EQ(map_.GetWordPairs(pairs, &keys_, &values_), 8);
  EXPECT_EQ(WordPairs(pairs.begin() + 4, pairs.end()), expected);
  EXPECT_EQ(map_.GetWordPairs(pairs, nullptr, &values_), 8);
  EXPECT_EQ(map_.GetWordPairs(pairs, &keys_, nullptr), 8);
}

}  // namespace
}  // namespace zhtext
