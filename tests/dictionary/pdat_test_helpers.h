// Helpers shared by the dictionary tests: a CPDAT that shows its tables,
// dictionaries built from word lists, and the comparison of the fast
// packing with the plain packing rules.
#ifndef ZHTEXT_TESTS_DICTIONARY_PDAT_TEST_HELPERS_H_
#define ZHTEXT_TESTS_DICTIONARY_PDAT_TEST_HELPERS_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/naive_pdat.h"
#include "tests/support/temp_dir.h"
#include "zhtext/dictionary/pdat.h"

namespace zhtext {
namespace testing {

// Read access to the protected members, for checks of the layout.
class PeekPdat : public CPDAT {
 public:
  using CPDAT::CPDAT;
  int Code(int value) const { return m_nCharCode[value]; }
  int CodeCount() const { return m_nCodeCount; }
  int CharFreq(int value) const { return m_nCharFreq[value]; }
  int Capacity() const { return m_nCapacity; }
  bool HasTree() const { return m_pRoot != nullptr; }
  std::vector<WORD_FREQ>& Frequencies() { return m_vecWordFreq; }
};

// A dictionary of `words` (added in order without tracking), built.
inline std::unique_ptr<PeekPdat> BuildDict(int mode, const std::vector<std::string>& words) {
  auto dict = std::make_unique<PeekPdat>(mode);
  for (const std::string& word : words) dict->AddWord(word.c_str(), false);
  dict->Build();
  return dict;
}

// Builds `words` in `mode` and expects the saved file, byte for byte, and
// the highest cell of the plain packing rules.
inline void ExpectPlainRulesLayout(const std::vector<std::string>& words, int mode) {
  const NaivePdat expected = BuildNaivePdat(words, mode);
  auto dict = BuildDict(mode, words);
  TempDir dir;
  const std::string path = dir.File("layout.dic");
  ASSERT_TRUE(dict->Save(path.c_str()));
  const std::string actual = ReadFile(path);
  EXPECT_EQ(expected.maxCell, dict->GetMaxCell());
  EXPECT_EQ(expected.wordCount, dict->GetWordCount());
  ASSERT_EQ(expected.file.size(), actual.size());
  if (expected.file != actual) {
    std::size_t i = 0;
    while (expected.file[i] == actual[i]) ++i;
    ADD_FAILURE() << "first difference at byte " << i << " (cell "
                  << (static_cast<long long>(i) - 262152) / 12 << ")";
  }
}

}  // namespace testing
}  // namespace zhtext

#endif  // ZHTEXT_TESTS_DICTIONARY_PDAT_TEST_HELPERS_H_
