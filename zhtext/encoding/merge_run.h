// Choosing a run of adjacent items to merge by their sizes, such as index
// segments or files to be joined: the longest run whose total stays below
// 1 GiB, optionally refusing to add a large item to a much smaller run.
// Pure functions, safe on any thread.
#ifndef ZHTEXT_ENCODING_MERGE_RUN_H_
#define ZHTEXT_ENCODING_MERGE_RUN_H_

#include <cstdint>
#include <vector>

namespace zhtext {

// The start index of the longest run of adjacent items that may be merged;
// `*best` (when not null) receives its length. A run starts with any item
// and takes the following ones while each item v is below 2^30 bytes and
// the run's sum plus v stays below 2^30; with `balanced`, an item of 20 MiB
// or more is taken only when it is within a factor of ten of the run's
// smallest item or of its sum. Ties keep the earliest start. Fewer than two
// sizes: 0, with `*best` = 0.
int FindLongestMergeRun(const std::vector<std::uint64_t>& sizes, int* best, bool balanced);

// True when b / 10 <= a <= 10 * b (integer division; no overflow).
bool IsWithinFactorTen(std::uint64_t a, std::uint64_t b);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_MERGE_RUN_H_
