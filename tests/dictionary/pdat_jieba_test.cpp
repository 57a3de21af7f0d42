// The word list of python3-jieba (349,046 words, UTF-8) converted to GBK with
// the library's table: imported, and every word searched back to its handle.
// Skipped where the package is not installed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/temp_dir.h"
#include "zhtext/dictionary/import_term.h"
#include "zhtext/dictionary/pdat.h"

namespace zhtext {
namespace testing {
namespace {

constexpr char kJiebaDict[] = "/usr/lib/python3/dist-packages/jieba/dict.txt";

// The key as a mode-0 dictionary holds it: single-byte capitals folded.
std::string FoldMode0(const std::string& word) {
  std::string out;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(word[i]);
    if (b >= 0x80 && i + 1 < word.size()) {
      out += word.substr(i, 2);
      ++i;
    } else {
      out += static_cast<char>(b >= 'A' && b <= 'Z' ? b + 0x20 : b);
    }
  }
  return out;
}

TEST(PdatJiebaTest, EveryWordIsFoundUnderItsHandle) {
  const std::string utf8 = ReadFile(kJiebaDict);
  if (utf8.empty()) GTEST_SKIP() << kJiebaDict << " is not installed (python3-jieba)";
  const std::string gbk = G(utf8);
  TempDir dir;
  const std::string list = dir.File("jieba.txt");
  WriteFile(list, gbk);

  auto dict = std::make_unique<CPDAT>(0);
  const int count = dict->ImportWithProgress(list.c_str(), nullptr, nullptr);

  // The handles the import gives: insertion order of the distinct keys.
  std::unordered_map<std::string, int> handles;
  std::vector<std::pair<std::string, int>> terms;
  std::size_t start = 0;
  std::string term, form;
  while (start < gbk.size()) {
    std::size_t end = gbk.find('\n', start);
    if (end == std::string::npos) end = gbk.size();
    const std::string line = gbk.substr(start, end - start);
    start = end + 1;
    const std::size_t space = line.find(' ');
    const std::string token = line.substr(0, space);
    if (token.empty()) continue;
    NormalizeImportTerm(token.c_str(), line.c_str(), nullptr, &term, &form);
    auto inserted = handles.emplace(FoldMode0(term), static_cast<int>(handles.size()));
    terms.emplace_back(term, inserted.first->second);
  }
  ASSERT_GT(terms.size(), 349000u);
  EXPECT_EQ(static_cast<int>(handles.size()), count);
  int wrong = 0;
  for (const auto& entry : terms) {
    if (dict->Search(entry.first.c_str()) != entry.second && ++wrong <= 5) {
      ADD_FAILURE() << "word " << Hex(entry.first) << " expected handle " << entry.second;
    }
  }
  EXPECT_EQ(0, wrong);

  // And the same after a round trip through the file.
  ASSERT_TRUE(dict->Save(dir.File("jieba.dic").c_str()));
  auto loaded = std::make_unique<CPDAT>(0);
  ASSERT_TRUE(loaded->Load(dir.File("jieba.dic").c_str()));
  for (std::size_t i = 0; i < terms.size(); i += 97) {
    EXPECT_EQ(terms[i].second, loaded->Search(terms[i].first.c_str()));
  }
}

}  // namespace
}  // namespace testing
}  // namespace zhtext
