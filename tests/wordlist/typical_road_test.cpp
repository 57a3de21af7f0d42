// The typical road through the library: word lists become dictionaries and
// word lists, a file of word pairs becomes an ID map between the two
// dictionaries, all files are saved and loaded again, and a word's related
// words are found through handles.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/log_watch.h"
#include "tests/support/temp_dir.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/idmaps/idmaps.h"
#include "zhtext/wordlist/word_list.h"

namespace zhtext {
namespace {

using testing::G;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// The related words of `word`: its handle in `dict`, the map's GetRelated,
// the texts from `words`, joined by "|". "-" for a word not in `dict`.
std::string Related(const std::string& word, const CPDAT& dict, const CIDMaps& map,
                    const CWordList& words) {
  const int handle = dict.Search(word.c_str());
  if (handle < 0) return "-";
  std::vector<int> related;
  map.GetRelated(handle, related);
  std::string out;
  for (int h : related) {
    if (!out.empty()) out += '|';
    out += words.GetWord(h);
  }
  return out;
}

// Saves through `save` to a new file and returns its bytes.
template <typename Object>
std::string SavedBytes(const Object& object, const std::string& path) {
  EXPECT_TRUE(object.Save(path.c_str())) << path;
  return ReadFile(path);
}

TEST(TypicalRoadTest, WordListsPairsFilesAndRelatedWords) {
  testing::FixedLogClock clock;
  TempDir dir;
  // Key words (Chinese) and value words (English), one per line.
  const std::string keyList = dir.File("keys.txt");
  const std::string valueList = dir.File("values.txt");
  const std::string pairList = dir.File("pairs.txt");
  WriteFile(keyList, G("中国") + "\r\n" + G("美国") + "\r\n" + G("北京") + " 100 ns\r\n[New_York]\r\n");
  WriteFile(valueList, "America\nChina\nPRC\nUSA\nBeijing\n[Big_Apple]\nNYC\n");
  WriteFile(pairList, G("中国") + " China\n" + G("中国") + " PRC\n" + G("美国") + " America\n" +
                          G("美国") + " USA\n" + G("北京") + " Beijing\n" +
                          "[New York] [Big Apple]\nNew_York NYC\n" + G("火星") + " Mars\n");

  // Build: two dictionaries, their word lists, the map.
  auto keyDict = std::make_unique<CPDAT>(0);
  auto valueDict = std::make_unique<CPDAT>(0);
  ::testing::internal::CaptureStdout();
  ASSERT_EQ(keyDict->Import(keyList.c_str(), nullptr), 4);
  ASSERT_EQ(valueDict->Import(valueList.c_str(), nullptr), 7);
  CWordList keyWords(true, nullptr);
  CWordList valueWords(true, nullptr);
  ASSERT_EQ(keyWords.Import(keyList.c_str(), keyDict.get()), 4);
  ASSERT_EQ(valueWords.Import(valueList.c_str(), valueDict.get()), 7);
  CIDMaps map;
  testing::LogWatch log;
  ASSERT_EQ(map.ImportPairs(pairList.c_str(), keyDict.get(), valueDict.get()), 7);
  ::testing::internal::GetCapturedStdout();
  // The pair whose key is in no dictionary went to the error log.
  EXPECT_NE(log.ErrText().find("\t" + G("火星") + " Mars invalid argument!\n"),
            std::string::npos);

  // Save all files, load them into fresh objects, save those again: the
  // bytes are the same.
  const std::string keyDictFile = dir.File("keys.dic");
  const std::string valueDictFile = dir.File("values.dic");
  const std::string keyWordsFile = dir.File("keys.wl");
  const std::string valueWordsFile = dir.File("values.wl");
  const std::string mapFile = dir.File("pairs.map");
  const std::string keyDictBytes = SavedBytes(*keyDict, keyDictFile);
  const std::string valueDictBytes = SavedBytes(*valueDict, valueDictFile);
  const std::string keyWordsBytes = SavedBytes(keyWords, keyWordsFile);
  const std::string valueWordsBytes = SavedBytes(valueWords, valueWordsFile);
  const std::string mapBytes = SavedBytes(map, mapFile);
  // The word list's text block is enciphered on disk.
  EXPECT_EQ(valueWordsBytes.find("America"), std::string::npos);

  auto loadedKeyDict = std::make_unique<CPDAT>(2);  // the file's mode wins
  auto loadedValueDict = std::make_unique<CPDAT>(1);
  CWordList loadedKeyWords(true, nullptr);
  CWordList loadedValueWords(true, nullptr);
  CIDMaps loadedMap;
  ASSERT_TRUE(loadedKeyDict->Load(keyDictFile.c_str()));
  ASSERT_TRUE(loadedValueDict->Load(valueDictFile.c_str()));
  ASSERT_TRUE(loadedKeyWords.Load(keyWordsFile.c_str()));
  ASSERT_TRUE(loadedValueWords.Load(valueWordsFile.c_str()));
  ASSERT_TRUE(loadedMap.Load(mapFile.c_str()));
  EXPECT_EQ(SavedBytes(*loadedKeyDict, dir.File("keys2.dic")), keyDictBytes);
  EXPECT_EQ(SavedBytes(*loadedValueDict, dir.File("values2.dic")), valueDictBytes);
  EXPECT_EQ(SavedBytes(loadedKeyWords, dir.File("keys2.wl")), keyWordsBytes);
  EXPECT_EQ(SavedBytes(loadedValueWords, dir.File("values2.wl")), valueWordsBytes);
  EXPECT_EQ(SavedBytes(loadedMap, dir.File("pairs2.map")), mapBytes);

  // Run time: word -> handle -> related handles -> texts.
  struct Row {
    std::string word;
    std::string related;
  } rows[] = {
      {G("中国"), "China|PRC"},
      {G("美国"), "America|USA"},
      {G("北京"), "Beijing"},  // a single value: followed one step, to nothing
      {"new york", "Big Apple|NYC"},
      {G("火星"), "-"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::U(row.word));
    EXPECT_EQ(Related(row.word, *loadedKeyDict, loadedMap, loadedValueWords), row.related);
    EXPECT_EQ(Related(row.word, *keyDict, map, valueWords), row.related);
  }
  // The key list gives the words back for the handles of the key dictionary.
  EXPECT_EQ(loadedKeyWords.GetWord(loadedKeyDict->Search(G("北京").c_str())), G("北京"));
  EXPECT_STREQ(loadedKeyWords.GetWord(loadedKeyDict->Search("New York")), "New York");

  // The report names the words on both sides.
  const std::string report = dir.File("report.txt");
  ASSERT_TRUE(loadedMap.ExportText(report.c_str(), &loadedKeyWords, &loadedValueWords, true));
  EXPECT_NE(ReadFile(report).find("Handle=0(" + G("中国") + "),Start=0\tEnd=1 count=2\r\n"
                                  " data=1(China) 2(PRC) \r\n"),
            std::string::npos)
      << ReadFile(report);
}

}  // namespace
}  // namespace zhtext
