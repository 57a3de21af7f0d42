// Helpers shared by the dictionary tests: a CPDAT that shows its tables, and
// dictionaries built from word lists.
#ifndef ZHTEXT_TESTS_DICTIONARY_PDAT_TEST_HELPERS_H_
#define ZHTEXT_TESTS_DICTIONARY_PDAT_TEST_HELPERS_H_

#include <memory>
#include <string>
#include <vector>

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

}  // namespace testing
}  // namespace zhtext

#endif  // ZHTEXT_TESTS_DICTIONARY_PDAT_TEST_HELPERS_H_
