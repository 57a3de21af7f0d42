#include "zhtext/encoding/merge_run.h"

#include <algorithm>
#include <limits>

namespace zhtext {

namespace {

constexpr std::uint64_t kMergeLimit = std::uint64_t{1} << 30;  // 1 GiB
constexpr std::uint64_t kLargeItem = std::uint64_t{20} << 20;  // 20 MiB

}  // namespace

bool IsWithinFactorTen(std::uint64_t a, std::uint64_t b) {
  if (a < b / 10) return false;
  // a <= 10 * b, for any b.
  return b > std::numeric_limits<std::uint64_t>::max() / 10 || a <= 10 * b;
}

int FindLongestMergeRun(const std::vector<std::uint64_t>& sizes, int* best, bool balanced) {
  int bestRun = 0;
  int result = 0;
  if (sizes.size() >= 2) {
    result = -1;
    const std::size_t n = sizes.size();
    for (std::size_t i = 0; static_cast<std::size_t>(bestRun) + i < n; ++i) {
      int run = 1;
      std::uint64_t sum = sizes[i];
      std::uint64_t smallest = sizes[i];
      for (std::size_t j = i + 1; j < n; ++j) {
        const std::uint64_t v = sizes[j];
        // sum + v >= 2^30, written so that it cannot wrap.
        if (v >= kMergeLimit || sum >= kMergeLimit - v) break;
        if (balanced && v >= kLargeItem && !IsWithinFactorTen(v, smallest) &&
            !IsWithinFactorTen(v, sum)) {
          break;
        }
        ++run;
        sum += v;
        smallest = std::min(smallest, v);
      }
      if (result == -1 || run > bestRun) {
        bestRun = run;
        result = static_cast<int>(i);
      }
    }
  }
  if (best != nullptr) *best = bestRun;
  return result;
}

}  // namespace zhtext
