#include "zhtext/idmaps/idmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/temp_dir.h"

namespace zhtext {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

using Pairs = std::vector<std::pair<int, int>>;  // (key, value)

void Fill(CIDMaps& map, const Pairs& pairs) {
  map.Clear();
  for (const auto& p : pairs) ASSERT_TRUE(map.AddPair(p.first, p.second));
}

void Build(CIDMaps& map, const Pairs& pairs) {
  Fill(map, pairs);
  ::testing::internal::CaptureStdout();
  ASSERT_TRUE(map.BuildMap());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Build map success!\n");
}

std::vector<int> Values(const CIDMaps& map, int key) {
  int count = -5;
  const int* list = map.GetIDList(key, &count);
  if (list == nullptr) {
    EXPECT_EQ(count, 0) << "key " << key;
    return {};
  }
  return std::vector<int>(list, list + count);
}

std::vector<int> DataArray(const CIDMaps& map) {
  const int* d = map.GetData();
  return d == nullptr ? std::vector<int>() : std::vector<int>(d, d + map.GetDataSize());
}

std::vector<std::pair<int, int>> IndexArray(const CIDMaps& map) {
  std::vector<std::pair<int, int>> out;
  for (int k = 0; k < map.GetIndexSize(); ++k) {
    out.emplace_back(map.GetIndex()[k].start, map.GetIndex()[k].end);
  }
  return out;
}

std::string Words(std::initializer_list<std::int64_t> words) {
  std::string out;
  for (std::int64_t w : words) {
    auto u = static_cast<std::uint32_t>(w);
    for (int i = 0; i < 4; ++i) out += static_cast<char>((u >> (8 * i)) & 0xFF);
  }
  return out;
}

// (3,7), (3,5), (3,7), (1,2): one duplicate, two keys, two keys without values.
const Pairs kExample = {{3, 7}, {3, 5}, {3, 7}, {1, 2}};

// Its binary file: sizes 4 and 4, data 2 5 7 -1, index (-1,-1) (0,0)
// (-1,-1) (1,2).
const std::string kExampleFile =
    Words({4, 4, 2, 5, 7, -1, -1, -1, 0, 0, -1, -1, 1, 2});

TEST(IDMapsBuild, PacksValuesAscendingWithoutDuplicates) {
  CIDMaps map;
  Build(map, kExample);
  EXPECT_EQ(map.GetDataSize(), 4) << "duplicates still counted";
  EXPECT_EQ(map.GetIndexSize(), 4);
  EXPECT_EQ(DataArray(map), (std::vector<int>{2, 5, 7, -1}));
  EXPECT_EQ(IndexArray(map), (std::vector<std::pair<int, int>>{{-1, -1}, {0, 0}, {-1, -1}, {1, 2}}));
  EXPECT_EQ(Values(map, 3), (std::vector<int>{5, 7}));
  EXPECT_EQ(Values(map, 1), (std::vector<int>{2}));
  EXPECT_EQ(map.GetMinID(3), 5);
  EXPECT_EQ(map.GetMinID(1), 2);
}

TEST(IDMapsBuild, LookUpsOutsideTheMapGiveNothing) {
  CIDMaps map;
  Build(map, kExample);
  for (int key : {-1, 0, 2, 4, 5, INT_MAX, INT_MIN}) {
    SCOPED_TRACE(key);
    EXPECT_TRUE(Values(map, key).empty());
    EXPECT_EQ(map.GetMinID(key), -1);
    std::vector<int> related = {99};
    EXPECT_EQ(map.GetRelated(key, related), 0);
    EXPECT_TRUE(related.empty());
  }
  int count = 3;
  EXPECT_EQ(map.GetIDList(4, &count), nullptr);
  EXPECT_EQ(count, 0);
  EXPECT_NE(map.GetIDList(3, nullptr), nullptr) << "the count is optional";
}

TEST(IDMapsBuild, AddPairIgnoresInvalidPairs) {
  struct Row {
    const char* name;
    int key;
    int value;
    bool stored;
  };
  const Row rows[] = {
      {"negative key", -1, 5, false},
      {"value below -1", 2, -2, false},
      {"value -1 is an ordinary value", 2, -1, true},
      {"largest key whose index size fits", INT_MAX - 1, 0, true},
      {"key INT_MAX: index size would overflow", INT_MAX, 0, false},
      {"key 0", 0, 0, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CIDMaps map;
    map.Clear();
    EXPECT_TRUE(map.AddPair(row.key, row.value));
    EXPECT_EQ(map.GetDataSize(), row.stored ? 1 : 0);
    EXPECT_EQ(map.GetIndexSize(), row.stored ? row.key + 1 : 0);
  }
}

TEST(IDMapsBuild, MinusOneSortsFirstAndIsAGenuineMinimum) {
  CIDMaps map;
  Build(map, {{2, 4}, {2, -1}, {2, -1}, {2, 0}});
  EXPECT_EQ(Values(map, 2), (std::vector<int>{-1, 0, 4}));
  EXPECT_EQ(map.GetMinID(2), -1);
  EXPECT_EQ(DataArray(map), (std::vector<int>{-1, 0, 4, -1}));
}

TEST(IDMapsBuild, EmptyBuildStillReportsSuccess) {
  CIDMaps map;
  Build(map, {});
  EXPECT_EQ(map.GetDataSize(), 0);
  EXPECT_EQ(map.GetIndexSize(), 0);
  EXPECT_EQ(map.GetData(), nullptr);
  EXPECT_EQ(map.GetIndex(), nullptr);
  EXPECT_TRUE(Values(map, 0).empty());

  CIDMaps never_cleared;  // BuildMap on a new object: no pair buffer at all
  ::testing::internal::CaptureStdout();
  EXPECT_TRUE(never_cleared.BuildMap());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Build map success!\n");
}

TEST(IDMapsBuild, TheSuccessLineGoesWhereTheCallerSays) {
  CIDMaps map;
  EXPECT_FALSE(map.IsPacked());
  map.Clear();
  map.AddPair(0, 1);
  std::FILE* report = std::tmpfile();
  ASSERT_NE(report, nullptr);
  map.SetBuildReport(report);
  ::testing::internal::CaptureStdout();
  EXPECT_TRUE(map.BuildMap());
  map.SetBuildReport(nullptr);
  EXPECT_TRUE(map.BuildMap());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_TRUE(map.IsPacked());
  std::rewind(report);
  char line[64] = {};
  EXPECT_NE(std::fgets(line, sizeof(line), report), nullptr);
  EXPECT_STREQ(line, "Build map success!\n");
  EXPECT_EQ(std::fgetc(report), EOF);
  std::fclose(report);
  map.AddPair(1, 1);
  EXPECT_FALSE(map.IsPacked());
}

TEST(IDMapsBuild, PairBufferGrowsInStepsOfTenThousand) {
  CIDMaps map;
  EXPECT_EQ(map.GetCapacity(), 0);
  map.Clear();
  EXPECT_EQ(map.GetCapacity(), 10240);
  for (int i = 0; i < 10240; ++i) map.AddPair(i % 7, i);
  EXPECT_EQ(map.GetCapacity(), 10240);
  map.AddPair(1, 1);  // the 10241st pair
  EXPECT_EQ(map.GetCapacity(), 20240);
  map.Clear();
  EXPECT_EQ(map.GetCapacity(), 20240) << "Clear keeps the buffer";

  CIDMaps unclear;  // AddPair without Clear allocates one step
  unclear.AddPair(0, 0);
  EXPECT_EQ(unclear.GetCapacity(), 10000);
}

// The packed arrays of random pairs against a plain map of sets, with the
// invariants: ranges in key order without gaps from position 0, and -1 in
// the room the duplicates leave.
TEST(IDMapsBuild, MatchesAPlainReferenceOnRandomPairs) {
  std::mt19937 rng(20240517);
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    const int keys = 1 + round * 40;
    std::map<int, std::set<int>> expected;
    Pairs pairs;
    const int n = 200 + round * 3000;
    for (int i = 0; i < n; ++i) {
      int key = static_cast<int>(rng() % keys);
      int value = static_cast<int>(rng() % 50) - 1;  // -1 .. 48, many duplicates
      pairs.emplace_back(key, value);
      expected[key].insert(value);
    }
    CIDMaps map;
    Build(map, pairs);
    ASSERT_EQ(map.GetDataSize(), n);
    ASSERT_EQ(map.GetIndexSize(), expected.rbegin()->first + 1);
    int position = 0;
    for (int k = 0; k < map.GetIndexSize(); ++k) {
      auto it = expected.find(k);
      const IDMAP_RANGE& r = map.GetIndex()[k];
      if (it == expected.end()) {
        EXPECT_EQ(r.start, -1);
        EXPECT_EQ(r.end, -1);
        continue;
      }
      EXPECT_EQ(r.start, position);
      EXPECT_EQ(Values(map, k), std::vector<int>(it->second.begin(), it->second.end()));
      EXPECT_EQ(map.GetMinID(k), *it->second.begin());
      position = r.end + 1;
    }
    for (int i = position; i < n; ++i) EXPECT_EQ(map.GetData()[i], -1) << i;
  }
}

TEST(IDMapsRelated, FollowsASingleValueOneStep) {
  struct Row {
    const char* name;
    Pairs pairs;
    int key;
    std::vector<int> related;
    int result;
  };
  const Row rows[] = {
      {"one value, leading to a group", {{1, 4}, {4, 1}, {4, 6}, {4, 9}}, 1, {4, 6, 9}, 3},
      {"one value, leading back alone", {{1, 4}, {4, 1}}, 1, {4}, 1},
      {"one value, leading nowhere", {{1, 4}}, 1, {4}, 0},
      {"one value beyond the index", {{1, 40}}, 1, {40}, 0},
      {"one value -1", {{1, -1}}, 1, {-1}, 0},
      {"several values, the key itself left out", {{2, 2}, {2, 3}, {2, 5}}, 2, {3, 5}, 3},
      {"key without values", {{3, 1}}, 0, {}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CIDMaps map;
    Build(map, row.pairs);
    std::vector<int> related = {123, 456};  // emptied first
    EXPECT_EQ(map.GetRelated(row.key, related), row.result);
    EXPECT_EQ(related, row.related);
  }
}

// SortPairs against std::sort on inputs that hit its fall-backs: short
// ranges, degenerate partitions (sorted, reversed, all equal) and sub-ranges.
TEST(IDMapsSortPairs, SortsByKeyThenValue) {
  std::mt19937 rng(7);
  auto random = [&](int n, int keys, int values) {
    std::vector<IDMAP_PAIR> v(n);
    for (auto& p : v) {
      p.key = static_cast<int>(rng() % keys);
      p.value = static_cast<int>(rng() % values) - 1;
    }
    return v;
  };
  struct Row {
    const char* name;
    std::vector<IDMAP_PAIR> pairs;
  };
  std::vector<Row> rows = {
      {"two pairs", {{5, 1}, {3, 1}}},
      {"eleven pairs", random(11, 3, 5)},
      {"random, many duplicates", random(3000, 20, 10)},
      {"random, few duplicates", random(3000, 100000, 100000)},
      {"negative values", {{-1, 2}, {7, 2}, {-1, 1}, {0, 2}, {INT_MIN, 2}, {INT_MAX, 1}}},
  };
  std::vector<IDMAP_PAIR> sorted = random(2000, 50, 50);
  std::sort(sorted.begin(), sorted.end(), [](const IDMAP_PAIR& a, const IDMAP_PAIR& b) {
    return a.key != b.key ? a.key < b.key : a.value < b.value;
  });
  rows.push_back({"already sorted", sorted});
  rows.push_back({"reversed", std::vector<IDMAP_PAIR>(sorted.rbegin(), sorted.rend())});
  rows.push_back({"all equal", std::vector<IDMAP_PAIR>(2000, IDMAP_PAIR{4, 4})});

  auto less = [](const IDMAP_PAIR& a, const IDMAP_PAIR& b) {
    return a.key != b.key ? a.key < b.key : a.value < b.value;
  };
  auto same = [](const std::vector<IDMAP_PAIR>& a, const std::vector<IDMAP_PAIR>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const IDMAP_PAIR& x, const IDMAP_PAIR& y) {
                        return x.key == y.key && x.value == y.value;
                      });
  };
  CIDMaps map;  // one object: its bad-split counter carries over between calls
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<IDMAP_PAIR> expected = row.pairs;
    std::sort(expected.begin(), expected.end(), less);
    std::vector<IDMAP_PAIR> got = row.pairs;
    map.SortPairs(got.data(), 0, static_cast<int>(got.size()) - 1);
    EXPECT_TRUE(same(got, expected));

    if (row.pairs.size() > 20) {  // a sub-range: only [5, size - 6] moves
      std::vector<IDMAP_PAIR> part = row.pairs;
      std::vector<IDMAP_PAIR> want = row.pairs;
      std::sort(want.begin() + 5, want.end() - 5, less);
      map.SortPairs(part.data(), 5, static_cast<int>(part.size()) - 6);
      EXPECT_TRUE(same(part, want));
    }
  }
}

class IDMapsFile : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return dir_.File(name); }
  TempDir dir_;
};

TEST_F(IDMapsFile, SavesTheDocumentedLayout) {
  CIDMaps map;
  Build(map, kExample);
  const std::string path = Path("example.map");
  ASSERT_TRUE(map.Save(path.c_str()));
  EXPECT_EQ(testing::Hex(ReadFile(path)), testing::Hex(kExampleFile));
}

TEST_F(IDMapsFile, RoundTripsByteForByte) {
  std::mt19937 rng(99);
  Pairs pairs;
  for (int i = 0; i < 20000; ++i) {
    pairs.emplace_back(static_cast<int>(rng() % 3000), static_cast<int>(rng() % 500) - 1);
  }
  CIDMaps built;
  Build(built, pairs);
  const std::string first = Path("first.map"), second = Path("second.map");
  ASSERT_TRUE(built.Save(first.c_str()));

  CIDMaps loaded;
  ASSERT_TRUE(loaded.Load(first.c_str()));
  EXPECT_EQ(loaded.GetDataSize(), built.GetDataSize());
  EXPECT_EQ(loaded.GetIndexSize(), built.GetIndexSize());
  EXPECT_EQ(DataArray(loaded), DataArray(built)) << "trailing -1 entries included";
  EXPECT_EQ(IndexArray(loaded), IndexArray(built));
  for (int k = 0; k < built.GetIndexSize(); ++k) ASSERT_EQ(Values(loaded, k), Values(built, k));

  ASSERT_TRUE(loaded.Save(second.c_str()));
  EXPECT_TRUE(ReadFile(first) == ReadFile(second));
  EXPECT_EQ(ReadFile(first).size(),
            8u + 4u * built.GetDataSize() + 8u * built.GetIndexSize());
}

TEST_F(IDMapsFile, EmptyMapsAreEightZeroBytes) {
  const std::string path = Path("empty.map");
  for (int variant = 0; variant < 3; ++variant) {
    SCOPED_TRACE(variant);
    CIDMaps map;
    if (variant == 1) map.Clear();
    if (variant == 2) Build(map, {});
    ASSERT_TRUE(map.Save(path.c_str()));
    EXPECT_EQ(ReadFile(path), Words({0, 0}));
  }
  CIDMaps loaded;
  Build(loaded, kExample);
  ASSERT_TRUE(loaded.Load(path.c_str()));
  EXPECT_EQ(loaded.GetDataSize(), 0);
  EXPECT_EQ(loaded.GetIndexSize(), 0);
  EXPECT_TRUE(Values(loaded, 3).empty());
}

// A file that is not a sound map is refused, and the map keeps what it had:
// the ranges of a loaded index are handed out as pointers into the data.
TEST_F(IDMapsFile, RefusesDamagedFilesAndKeepsTheMap) {
  struct Row {
    const char* name;
    std::string bytes;
  };
  const std::string good = kExampleFile;
  const Row rows[] = {
      {"empty file", ""},
      {"only the data size", good.substr(0, 4)},
      {"sizes only", good.substr(0, 8)},
      {"cut inside the data", good.substr(0, 20)},
      {"last byte missing", good.substr(0, good.size() - 1)},
      {"one byte too many", good + "x"},
      {"a whole entry too many", good + Words({0, 0})},
      {"negative data size", Words({-1, 0})},
      {"negative index size", Words({0, -1})},
      {"huge data size", Words({INT_MAX, 0})},
      {"huge index size", Words({0, INT_MAX})},
      {"data size larger than the file", Words({5, 4, 2, 5, 7, -1, -1, -1, 0, 0, -1, -1, 1, 2})},
      {"index size larger than the file", Words({4, 5, 2, 5, 7, -1, -1, -1, 0, 0, -1, -1, 1, 2})},
      {"range end past the data", Words({4, 4, 2, 5, 7, -1, -1, -1, 0, 0, -1, -1, 1, 4})},
      {"range start past the data", Words({4, 4, 2, 5, 7, -1, -1, -1, 0, 0, -1, -1, 9, 9})},
      {"start after end", Words({4, 4, 2, 5, 7, -1, -1, -1, 0, 0, -1, -1, 2, 1})},
      {"start -1 with an end", Words({4, 4, 2, 5, 7, -1, -1, -1, 0, 0, -1, -1, -1, 2})},
      {"end -1 with a start", Words({4, 4, 2, 5, 7, -1, -1, -1, 0, 0, -1, -1, 1, -1})},
      {"negative start", Words({4, 4, 2, 5, 7, -1, -1, -1, 0, 0, -1, -1, -5, 2})},
      {"range in an empty data array", Words({0, 1, 0, 0})},
  };
  const std::string path = Path("damaged.map");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CIDMaps map;
    Build(map, {{0, 10}, {0, 11}, {2, 12}});
    const std::vector<int> data = DataArray(map);
    const auto index = IndexArray(map);
    WriteFile(path, row.bytes);
    EXPECT_FALSE(map.Load(path.c_str()));
    EXPECT_EQ(map.GetDataSize(), 3);
    EXPECT_EQ(map.GetIndexSize(), 3);
    EXPECT_EQ(DataArray(map), data);
    EXPECT_EQ(IndexArray(map), index);
    EXPECT_EQ(Values(map, 0), (std::vector<int>{10, 11}));
  }
  CIDMaps map;
  EXPECT_FALSE(map.Load(Path("missing.map").c_str()));
  EXPECT_FALSE(map.Load(nullptr));
}

TEST_F(IDMapsFile, SaveFailsForAnUnwritablePath) {
  CIDMaps map;
  Build(map, kExample);
  EXPECT_FALSE(map.Save(dir_.path().c_str()));
  EXPECT_FALSE(map.Save(Path("no/such/dir/x.map").c_str()));
}

// Between Clear and BuildMap the sizes describe the new filling, not the
// old arrays: the look-ups see an empty map and Save refuses, while the
// pointers handed out before stay valid until BuildMap.
TEST_F(IDMapsFile, RefillingHidesTheOldArraysUntilBuilt) {
  CIDMaps map;
  Build(map, kExample);
  int count = 0;
  const int* old = map.GetIDList(3, &count);
  ASSERT_EQ(count, 2);

  map.Clear();
  EXPECT_TRUE(Values(map, 3).empty());
  for (int k = 0; k < 50; ++k) map.AddPair(k, k + 1);  // index larger than the old one
  EXPECT_TRUE(Values(map, 3).empty());
  EXPECT_TRUE(Values(map, 40).empty());
  EXPECT_EQ(map.GetMinID(40), -1);
  std::vector<int> related;
  EXPECT_EQ(map.GetRelated(40, related), 0);
  EXPECT_EQ(map.GetData(), nullptr);
  EXPECT_FALSE(map.Save(Path("unpacked.map").c_str()));
  EXPECT_FALSE(testing::FileExists(Path("unpacked.map")));
  EXPECT_EQ(old[0], 5);
  EXPECT_EQ(old[1], 7);

  ::testing::internal::CaptureStdout();
  ASSERT_TRUE(map.BuildMap());
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(Values(map, 40), (std::vector<int>{41}));
}

// After a Load the data size is the file's, not the pair buffer's: adding
// or packing without Clear must stay inside the buffer.
TEST_F(IDMapsFile, FillingAfterLoadWithoutClearStaysInBounds) {
  std::mt19937 rng(5);
  Pairs pairs;
  for (int i = 0; i < 30000; ++i) pairs.emplace_back(static_cast<int>(rng() % 100), i);
  CIDMaps big;
  Build(big, pairs);
  const std::string path = Path("big.map");
  ASSERT_TRUE(big.Save(path.c_str()));

  CIDMaps map;
  Build(map, {{500, 1}});  // a small buffer with a key beyond the file's index
  ASSERT_TRUE(map.Load(path.c_str()));
  EXPECT_TRUE(map.AddPair(3, 4));
  EXPECT_GT(map.GetCapacity(), map.GetDataSize() - 1);
  ::testing::internal::CaptureStdout();
  EXPECT_TRUE(map.BuildMap());
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(map.GetDataSize(), 30001);

  CIDMaps fresh;  // no pair buffer at all
  ASSERT_TRUE(fresh.Load(path.c_str()));
  ::testing::internal::CaptureStdout();
  EXPECT_TRUE(fresh.BuildMap());
  ::testing::internal::GetCapturedStdout();
  fresh.Clear();
  EXPECT_EQ(fresh.GetCapacity(), 10240);
}

}  // namespace
}  // namespace zhtext
