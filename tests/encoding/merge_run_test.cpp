#include "zhtext/encoding/merge_run.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace zhtext {
namespace {

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;
constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

TEST(FindLongestMergeRunTest, Table) {
  struct Row {
    const char* name;
    std::vector<std::uint64_t> sizes;
    bool balanced;
    int start;
    int best;
  } rows[] = {
      {"an item of 1 GiB splits the runs", {10, kGiB, 10, 10}, false, 2, 2},
      {"single size", {5}, false, 0, 0},
      {"no sizes", {}, false, 0, 0},
      {"all merge", {1, 2, 3}, false, 0, 3},
      // 300 MiB is more than ten times the smallest item (1 MiB) but within a
      // factor of ten of the running total (101 MiB).
      {"balanced by the total", {100 * kMiB, 1 * kMiB, 300 * kMiB}, true, 0, 3},
      {"balanced refuses a large item", {1 * kMiB, 300 * kMiB}, true, 0, 1},
      {"unbalanced takes it", {1 * kMiB, 300 * kMiB}, false, 0, 2},
      {"below 20 MiB needs no balance", {1 * kMiB, 20 * kMiB - 1}, true, 0, 2},
      {"20 MiB needs balance", {1 * kMiB, 20 * kMiB}, true, 0, 1},
      {"the sum stays below 1 GiB", {600 * kMiB, 500 * kMiB, 10}, false, 1, 2},
      {"a sum of exactly 1 GiB is refused", {kGiB / 2, kGiB / 2}, false, 0, 1},
      {"just below 1 GiB", {kGiB / 2, kGiB / 2 - 1}, false, 0, 2},
      {"a large first item is taken alone", {2 * kGiB, 1, 1}, false, 1, 2},
      {"ties keep the earliest start", {5, 5, kGiB, 5, 5}, false, 0, 2},
      // The sum must not wrap round to a small number.
      {"no overflow of the sum", {kMax, 10, 10}, false, 1, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    int best = -7;
    EXPECT_EQ(FindLongestMergeRun(row.sizes, &best, row.balanced), row.start);
    EXPECT_EQ(best, row.best);
  }
  EXPECT_EQ(FindLongestMergeRun({1, 2}, nullptr, false), 0);
}

TEST(IsWithinFactorTenTest, Table) {
  struct Row {
    const char* name;
    std::uint64_t a;
    std::uint64_t b;
    bool expected;
  } rows[] = {
      {"lower bound", 5, 50, true},
      {"below", 4, 50, false},
      {"upper bound", 500, 50, true},
      {"above", 501, 50, false},
      // b / 10 is integer division: 9 / 10 = 0.
      {"integer division", 0, 9, true},
      {"zeros", 0, 0, true},
      {"zero b", 1, 0, false},
      {"no overflow of 10 b", kMax, kMax / 5, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(IsWithinFactorTen(row.a, row.b), row.expected);
  }
}

}  // namespace
}  // namespace zhtext
