// ID maps: packing 1,000,000 random (key, value) pairs and looking keys up,
// the packed CIDMaps side by side with a hash map of sorted vectors built
// from the same pairs. Every engine's answers are checked against the
// other's once, outside the timed loops; a wrong answer aborts.
//
// BuildMap prints one "Build map success!" line per packing; run with
// --benchmark_out=FILE (or filter the lines) to keep the table readable.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <unordered_map>
#include <vector>

#include "bench/bench_data.h"
#include "zhtext/idmaps/idmaps.h"

namespace zhtext {
namespace {

using bench::Abort;

constexpr int kPairs = 1000000;
constexpr int kHandles = 349046;  // the size of the jieba dictionary
constexpr int kLookups = 1 << 20;

struct Inputs {
  std::vector<IDMAP_PAIR> pairs;
  std::vector<int> keys;  // look-up keys, some without values
};

const Inputs& GetInputs() {
  static const Inputs inputs = [] {
    Inputs in;
    std::mt19937 rng(20240601);
    std::uniform_int_distribution<int> handle(0, kHandles - 1);
    in.pairs.resize(kPairs);
    for (IDMAP_PAIR& p : in.pairs) {
      p.key = handle(rng);
      p.value = handle(rng);
    }
    in.keys.resize(kLookups);
    for (int& k : in.keys) k = handle(rng);
    return in;
  }();
  return inputs;
}

void Fill(CIDMaps& map) {
  map.Clear();
  for (const IDMAP_PAIR& p : GetInputs().pairs) map.AddPair(p.key, p.value);
}

using HashMap = std::unordered_map<int, std::vector<int>>;

HashMap BuildHashMap() {
  HashMap map;
  for (const IDMAP_PAIR& p : GetInputs().pairs) map[p.key].push_back(p.value);
  for (auto& entry : map) {
    std::vector<int>& v = entry.second;
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
  }
  return map;
}

const CIDMaps& PackedMap() {
  static CIDMaps* map = [] {
    auto* m = new CIDMaps;
    Fill(*m);
    m->BuildMap();
    return m;
  }();
  return *map;
}

const HashMap& PackedHashMap() {
  static const HashMap map = BuildHashMap();
  return map;
}

// Both engines give the same lists for every handle.
void CheckOnce() {
  static const bool checked = [] {
    const CIDMaps& packed = PackedMap();
    const HashMap& hashed = PackedHashMap();
    for (int k = -1; k <= kHandles; ++k) {
      int count = 0;
      const int* list = packed.GetIDList(k, &count);
      auto it = hashed.find(k);
      if (it == hashed.end()) {
        if (list != nullptr || count != 0) Abort("CIDMaps has a key the hash map lacks");
        continue;
      }
      if (!std::equal(list, list + count, it->second.begin(), it->second.end())) {
        Abort("CIDMaps and the hash map differ");
      }
    }
    return true;
  }();
  (void)checked;
}

// ---- Packing -------------------------------------------------------------

void BM_BuildMap_IDMaps(benchmark::State& state) {
  CheckOnce();
  CIDMaps map;
  for (auto _ : state) {
    state.PauseTiming();
    Fill(map);
    state.ResumeTiming();
    map.BuildMap();
  }
  state.SetItemsProcessed(state.iterations() * kPairs);
}
BENCHMARK(BM_BuildMap_IDMaps)->Unit(benchmark::kMillisecond);

void BM_FillAndBuild_IDMaps(benchmark::State& state) {
  CIDMaps map;
  for (auto _ : state) {
    Fill(map);
    map.BuildMap();
  }
  state.SetItemsProcessed(state.iterations() * kPairs);
}
BENCHMARK(BM_FillAndBuild_IDMaps)->Unit(benchmark::kMillisecond);

void BM_FillAndBuild_UnorderedMap(benchmark::State& state) {
  for (auto _ : state) {
    HashMap map = BuildHashMap();
    benchmark::DoNotOptimize(map.size());
  }
  state.SetItemsProcessed(state.iterations() * kPairs);
}
BENCHMARK(BM_FillAndBuild_UnorderedMap)->Unit(benchmark::kMillisecond);

// The class's own quicksort against std::sort over the same unsorted pairs.
void BM_SortPairs_IDMaps(benchmark::State& state) {
  CIDMaps map;
  std::vector<IDMAP_PAIR> pairs;
  for (auto _ : state) {
    state.PauseTiming();
    pairs = GetInputs().pairs;
    state.ResumeTiming();
    map.SortPairs(pairs.data(), 0, kPairs - 1);
  }
  for (int i = 1; i < kPairs; ++i) {
    const IDMAP_PAIR& a = pairs[i - 1];
    const IDMAP_PAIR& b = pairs[i];
    if (a.key > b.key || (a.key == b.key && a.value > b.value)) Abort("SortPairs order");
  }
  state.SetItemsProcessed(state.iterations() * kPairs);
}
BENCHMARK(BM_SortPairs_IDMaps)->Unit(benchmark::kMillisecond);

void BM_SortPairs_StdSort(benchmark::State& state) {
  std::vector<IDMAP_PAIR> pairs;
  for (auto _ : state) {
    state.PauseTiming();
    pairs = GetInputs().pairs;
    state.ResumeTiming();
    std::sort(pairs.begin(), pairs.end(), [](const IDMAP_PAIR& a, const IDMAP_PAIR& b) {
      return a.key != b.key ? a.key < b.key : a.value < b.value;
    });
  }
  state.SetItemsProcessed(state.iterations() * kPairs);
}
BENCHMARK(BM_SortPairs_StdSort)->Unit(benchmark::kMillisecond);

// ---- Look-ups --------------------------------------------------------------

void BM_GetIDList_IDMaps(benchmark::State& state) {
  CheckOnce();
  const CIDMaps& map = PackedMap();
  const std::vector<int>& keys = GetInputs().keys;
  for (auto _ : state) {
    long long sum = 0;
    for (int k : keys) {
      int count = 0;
      const int* list = map.GetIDList(k, &count);
      if (count > 0) sum += list[0];
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kLookups);
}
BENCHMARK(BM_GetIDList_IDMaps);

void BM_GetIDList_UnorderedMap(benchmark::State& state) {
  CheckOnce();
  const HashMap& map = PackedHashMap();
  const std::vector<int>& keys = GetInputs().keys;
  for (auto _ : state) {
    long long sum = 0;
    for (int k : keys) {
      auto it = map.find(k);
      if (it != map.end() && !it->second.empty()) sum += it->second[0];
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kLookups);
}
BENCHMARK(BM_GetIDList_UnorderedMap);

void BM_GetRelated_IDMaps(benchmark::State& state) {
  const CIDMaps& map = PackedMap();
  const std::vector<int>& keys = GetInputs().keys;
  std::vector<int> related;
  for (auto _ : state) {
    long long sum = 0;
    for (int k : keys) sum += map.GetRelated(k, related);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kLookups);
}
BENCHMARK(BM_GetRelated_IDMaps);

}  // namespace
}  // namespace zhtext

BENCHMARK_MAIN();
