// A deliberately plain forward-maximum-matching segmenter, the reference
// that CPDAT::Segment is compared with token for token and handle for
// handle. It keeps the dictionary as ordered sets of character-value
// sequences (no trie, no cells), reads characters with its own reader, and
// follows the segmentation rules step by step. Meant for small dictionaries
// and texts.
#ifndef ZHTEXT_TESTS_SUPPORT_REFERENCE_SEGMENTER_H_
#define ZHTEXT_TESTS_SUPPORT_REFERENCE_SEGMENTER_H_

#include <map>
#include <set>
#include <string>
#include <vector>

namespace zhtext {
namespace testing {

// Reads the character at byte `pos` of `text` (length `len`) in character
// mode `mode` (0, 1 or 2) as a CPDAT does: its value, and its length in
// `charLen`.
int ReferenceCharValue(const std::string& text, int pos, int len, int mode, int* charLen);

class ReferenceSegmenter {
 public:
  // The dictionary of `words`, each added in order as CPDAT::AddWord(word,
  // false) adds it: a new key gets the next handle, a repeated key keeps the
  // first.
  ReferenceSegmenter(const std::vector<std::string>& words, int mode);

  struct Result {
    std::string out;           // every token followed by the separator
    std::vector<int> handles;  // as CPDAT::Segment writes them
  };

  // The segmentation of `text` (up to its first zero byte). `withHandles`
  // plays the part of a handle array being given.
  Result Segment(const std::string& text, bool withHandles, bool allHandles, int maxLen,
                 char sep) const;

  int word_count() const { return static_cast<int>(words_.size()); }

 private:
  using Key = std::vector<int>;

  int mode_;
  std::map<Key, int> words_;  // key -> handle
  std::set<Key> prefixes_;    // every non-empty prefix of a key
  std::set<Key> extended_;    // keys that a longer key begins with
  std::set<int> alphabet_;    // the values that occur in keys
};

}  // namespace testing
}  // namespace zhtext

#endif  // ZHTEXT_TESTS_SUPPORT_REFERENCE_SEGMENTER_H_
