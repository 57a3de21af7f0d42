// A deliberately plain implementation of the dictionary's adding and packing
// rules, for small inputs: the reference that the fast CPDAT build is
// compared with byte for byte. Every step is done as the rules read, with
// linear scans (quadratic or worse): keep inputs to a few thousand words.
#ifndef ZHTEXT_TESTS_SUPPORT_NAIVE_PDAT_H_
#define ZHTEXT_TESTS_SUPPORT_NAIVE_PDAT_H_

#include <string>
#include <vector>

namespace zhtext {
namespace testing {

struct NaivePdat {
  std::string file;   // the bytes of the dictionary file
  int maxCell = 0;    // highest cell index, widened at every tested position
  int wordCount = 0;
  // The child counts of the nodes placed past an offset that fitted but
  // equalled the node's own cell (a word end): where the skip decided.
  std::vector<int> skippedFits;
};

// Adds `words` in order (each with the next handle, without tracking) in
// character mode `mode`, packs them and lays out the file.
NaivePdat BuildNaivePdat(const std::vector<std::string>& words, int mode);

}  // namespace testing
}  // namespace zhtext

#endif  // ZHTEXT_TESTS_SUPPORT_NAIVE_PDAT_H_
