// The trie dictionary on the 349,046-word jieba list (GBK) and the
// manpages-zh text (GBK): building (Import + Build of the list; marisa-trie
// and std::unordered_map built from the same keys), exact search of every
// word in shuffled order, the longest dictionary word at every character
// position of the text, and loading the saved file. Every engine's answers
// are checked once, outside the timed loops; a wrong answer aborts.
//
// Peak memory of a whole build is measured outside this program (see
// docs/benchmarks.md): a benchmark process holds all engines at once.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#ifdef ZHTEXT_HAVE_MARISA
#include <marisa.h>
#endif

#include "bench/bench_data.h"
#include "zhtext/dictionary/pdat.h"

namespace zhtext {
namespace {

using bench::Abort;

struct Data {
  std::string listPath;                 // a copy of the word list (Import writes beside it)
  std::string dictPath;                 // the saved dictionary
  std::vector<std::string> words;       // the list, in file order
  std::vector<int> handles;             // the handle the import gives each word
  std::vector<std::string> shuffled;    // the words in a fixed random order
  std::vector<int> shuffledHandles;     // their handles
  std::unordered_map<std::string, int> folded;  // folded key -> handle
  std::size_t maxWordBytes = 0;
  std::string text;
  std::vector<int> positions;  // character starts in the text
  bool ok = false;
};

const Data& GetData() {
  static const Data data = [] {
    Data d;
    d.words = bench::BenchWords();
    d.text = bench::BenchText();
    if (d.words.empty() || d.text.empty()) return d;
    d.listPath = bench::ScratchFile("words.txt");
    std::filesystem::copy_file(bench::BenchWordsPath(), d.listPath);
    for (const std::string& w : d.words) {
      auto inserted = d.folded.emplace(bench::FoldMode0(w), static_cast<int>(d.folded.size()));
      d.handles.push_back(inserted.first->second);
      d.maxWordBytes = std::max(d.maxWordBytes, w.size());
    }
    std::vector<std::size_t> order(d.words.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(20240601));
    // A copy in that order, so that every engine reads its keys one after
    // the other and the look-ups alone are random.
    for (std::size_t i : order) {
      d.shuffled.push_back(d.words[i]);
      d.shuffledHandles.push_back(d.handles[i]);
    }
    for (std::size_t i = 0; i < d.text.size();) {
      d.positions.push_back(static_cast<int>(i));
      i += static_cast<unsigned char>(d.text[i]) >= 0x80 && i + 1 < d.text.size() ? 2 : 1;
    }
    auto dict = std::make_unique<CPDAT>(0);
    if (dict->ImportWithProgress(d.listPath.c_str(), nullptr, nullptr) !=
        static_cast<int>(d.folded.size())) {
      Abort("Import word count");
    }
    d.dictPath = bench::ScratchFile("words.dic");
    if (!dict->Save(d.dictPath.c_str())) Abort("Save");
    d.ok = true;
    return d;
  }();
  return data;
}

bool Ready(benchmark::State& state) {
  if (!GetData().ok) {
    state.SkipWithError("benchmark data missing: run bash bench/prepare_data.sh");
    return false;
  }
  return true;
}

// Time per item (word or text position) as a counter.
void PerItem(benchmark::State& state, std::size_t items, const char* name) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * items));
  state.counters[name] = benchmark::Counter(static_cast<double>(items),
                                            benchmark::Counter::kIsIterationInvariantRate |
                                                benchmark::Counter::kInvert);
}

const CPDAT& LoadedDict() {
  static const std::unique_ptr<CPDAT> dict = [] {
    auto d = std::make_unique<CPDAT>(0);
    if (!d->Load(GetData().dictPath.c_str())) Abort("Load");
    return d;
  }();
  return *dict;
}

// ---- Build -------------------------------------------------------------------

void BM_Build_Pdat(benchmark::State& state) {
  if (!Ready(state)) return;
  const Data& d = GetData();
  for (auto _ : state) {
    auto dict = std::make_unique<CPDAT>(0);
    const int count = dict->ImportWithProgress(d.listPath.c_str(), nullptr, nullptr);
    if (count != static_cast<int>(d.folded.size())) Abort("Build_Pdat word count");
    benchmark::DoNotOptimize(dict->GetMaxCell());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * d.words.size()));
}
BENCHMARK(BM_Build_Pdat)->Unit(benchmark::kMillisecond);

// The same without the file: AddWord of every word, then Build.
void BM_AddAndBuild_Pdat(benchmark::State& state) {
  if (!Ready(state)) return;
  const Data& d = GetData();
  for (auto _ : state) {
    auto dict = std::make_unique<CPDAT>(0);
    for (const std::string& w : d.words) dict->AddWord(w.c_str(), false);
    dict->Build();
    benchmark::DoNotOptimize(dict->GetMaxCell());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * d.words.size()));
}
BENCHMARK(BM_AddAndBuild_Pdat)->Unit(benchmark::kMillisecond);

void BM_Save_Pdat(benchmark::State& state) {
  if (!Ready(state)) return;
  const std::string path = bench::ScratchFile("saved.dic");
  for (auto _ : state) {
    if (!LoadedDict().Save(path.c_str())) Abort("Save");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_Save_Pdat)->Unit(benchmark::kMillisecond);

#ifdef ZHTEXT_HAVE_MARISA
void BM_Build_Marisa(benchmark::State& state) {
  if (!Ready(state)) return;
  const Data& d = GetData();
  for (auto _ : state) {
    marisa::Keyset keyset;
    for (const std::string& w : d.words) keyset.push_back(w.data(), w.size());
    marisa::Trie trie;
    trie.build(keyset);
    if (trie.num_keys() == 0) Abort("Build_Marisa");
    benchmark::DoNotOptimize(trie.num_keys());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * d.words.size()));
}
BENCHMARK(BM_Build_Marisa)->Unit(benchmark::kMillisecond);
#endif

void BM_Build_UnorderedMap(benchmark::State& state) {
  if (!Ready(state)) return;
  const Data& d = GetData();
  for (auto _ : state) {
    std::unordered_map<std::string, int> map;
    for (std::size_t i = 0; i < d.words.size(); ++i) map.emplace(d.words[i], static_cast<int>(i));
    benchmark::DoNotOptimize(map.size());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * d.words.size()));
}
BENCHMARK(BM_Build_UnorderedMap)->Unit(benchmark::kMillisecond);

// ---- Exact search ------------------------------------------------------------

void BM_Search_Pdat(benchmark::State& state) {
  if (!Ready(state)) return;
  const Data& d = GetData();
  const CPDAT& dict = LoadedDict();
  for (std::size_t i = 0; i < d.words.size(); ++i) {
    if (dict.Search(d.words[i].c_str()) != d.handles[i]) Abort("Search_Pdat");
  }
  for (auto _ : state) {
    long sum = 0;
    for (const std::string& w : d.shuffled) sum += dict.Search(w.c_str());
    benchmark::DoNotOptimize(sum);
  }
  PerItem(state, d.words.size(), "per_lookup");
}
BENCHMARK(BM_Search_Pdat)->Unit(benchmark::kMillisecond);

#ifdef ZHTEXT_HAVE_MARISA
const marisa::Trie& MarisaTrie() {
  static const std::unique_ptr<marisa::Trie> trie = [] {
    marisa::Keyset keyset;
    for (const std::string& w : GetData().words) keyset.push_back(w.data(), w.size());
    auto t = std::make_unique<marisa::Trie>();
    t->build(keyset);
    return t;
  }();
  return *trie;
}

void BM_Search_Marisa(benchmark::State& state) {
  if (!Ready(state)) return;
  const Data& d = GetData();
  const marisa::Trie& trie = MarisaTrie();
  marisa::Agent agent;
  for (const std::string& w : d.words) {
    agent.set_query(w.data(), w.size());
    if (!trie.lookup(agent)) Abort("Search_Marisa");
  }
  for (auto _ : state) {
    std::size_t sum = 0;
    for (const std::string& w : d.shuffled) {
      agent.set_query(w.data(), w.size());
      if (trie.lookup(agent)) sum += agent.key().id();
    }
    benchmark::DoNotOptimize(sum);
  }
  PerItem(state, d.words.size(), "per_lookup");
}
BENCHMARK(BM_Search_Marisa)->Unit(benchmark::kMillisecond);
#endif

void BM_Search_UnorderedMap(benchmark::State& state) {
  if (!Ready(state)) return;
  const Data& d = GetData();
  std::unordered_map<std::string, int> map;
  for (std::size_t i = 0; i < d.words.size(); ++i) map.emplace(d.words[i], static_cast<int>(i));
  for (const std::string& w : d.words) {
    if (map.find(w) == map.end()) Abort("Search_UnorderedMap");
  }
  for (auto _ : state) {
    long sum = 0;
    for (const std::string& w : d.shuffled) {
      auto it = map.find(w);
      if (it != map.end()) sum += it->second;
    }
    benchmark::DoNotOptimize(sum);
  }
  PerItem(state, d.words.size(), "per_lookup");
}
BENCHMARK(BM_Search_UnorderedMap)->Unit(benchmark::kMillisecond);

// ---- Longest word at every position of the text ----------------------------

// The reference: the longest prefix at `pos` that, folded, is a word.
int LongestPrefix(const Data& d, int pos) {
  int best = 0;
  std::string key;
  std::size_t i = static_cast<std::size_t>(pos);
  while (i < d.text.size() && key.size() < d.maxWordBytes) {
    const unsigned char b = static_cast<unsigned char>(d.text[i]);
    const std::size_t len = b >= 0x80 && i + 1 < d.text.size() ? 2 : 1;
    key += bench::FoldMode0(d.text.substr(i, len));
    i += len;
    if (d.folded.count(key) != 0) best = static_cast<int>(i) - pos;
  }
  return best;
}

void BM_MatchLongest_Pdat(benchmark::State& state) {
  if (!Ready(state)) return;
  const Data& d = GetData();
  const CPDAT& dict = LoadedDict();
  const char* text = d.text.c_str();
  for (std::size_t p = 0; p < d.positions.size(); p += 101) {
    const int pos = d.positions[p];
    int handle = -1;
    const int length = dict.MatchLongest(text + pos, &handle, nullptr);
    if (length != LongestPrefix(d, pos)) Abort("MatchLongest_Pdat length");
    if (length > 0 && handle != d.folded.at(bench::FoldMode0(d.text.substr(static_cast<std::size_t>(pos),
                                                               static_cast<std::size_t>(length))))) {
      Abort("MatchLongest_Pdat handle");
    }
  }
  for (auto _ : state) {
    long sum = 0;
    for (int pos : d.positions) {
      int handle;
      sum += dict.MatchLongest(text + pos, &handle, nullptr);
    }
    benchmark::DoNotOptimize(sum);
  }
  PerItem(state, d.positions.size(), "per_position");
}
BENCHMARK(BM_MatchLongest_Pdat)->Unit(benchmark::kMillisecond);

#ifdef ZHTEXT_HAVE_MARISA
// The longest key that the text at a position begins with, through
// marisa's common-prefix search (raw keys: no folding).
void BM_MatchLongest_Marisa(benchmark::State& state) {
  if (!Ready(state)) return;
  const Data& d = GetData();
  const marisa::Trie& trie = MarisaTrie();
  marisa::Agent agent;
  auto longest = [&](int pos) {
    const std::size_t len = std::min(d.maxWordBytes, d.text.size() - static_cast<std::size_t>(pos));
    agent.set_query(d.text.data() + pos, len);
    std::size_t best = 0;
    while (trie.common_prefix_search(agent)) best = agent.key().length();
    return static_cast<int>(best);
  };
  for (std::size_t p = 0; p < d.positions.size(); p += 1009) {
    const int pos = d.positions[p];
    const int length = longest(pos);
    if (length > 0 && d.folded.count(bench::FoldMode0(d.text.substr(static_cast<std::size_t>(pos),
                                                        static_cast<std::size_t>(length)))) == 0) {
      Abort("MatchLongest_Marisa");
    }
  }
  for (auto _ : state) {
    long sum = 0;
    for (int pos : d.positions) sum += longest(pos);
    benchmark::DoNotOptimize(sum);
  }
  PerItem(state, d.positions.size(), "per_position");
}
BENCHMARK(BM_MatchLongest_Marisa)->Unit(benchmark::kMillisecond);
#endif

// ---- Load --------------------------------------------------------------------

void BM_Load_Pdat(benchmark::State& state) {
  if (!Ready(state)) return;
  const Data& d = GetData();
  auto dict = std::make_unique<CPDAT>(0);
  for (auto _ : state) {
    if (!dict->Load(d.dictPath.c_str())) Abort("Load_Pdat");
  }
  if (dict->GetWordCount() != static_cast<int>(d.folded.size()) ||
      dict->Search(d.words[0].c_str()) != d.handles[0]) {
    Abort("Load_Pdat answers");
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(d.dictPath));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(std::filesystem::file_size(d.dictPath)));
}
BENCHMARK(BM_Load_Pdat)->Unit(benchmark::kMillisecond);

#ifdef ZHTEXT_HAVE_MARISA
void BM_Load_Marisa(benchmark::State& state) {
  if (!Ready(state)) return;
  const std::string path = bench::ScratchFile("words.marisa");
  MarisaTrie().save(path.c_str());
  for (auto _ : state) {
    marisa::Trie trie;
    trie.load(path.c_str());
    if (trie.num_keys() != MarisaTrie().num_keys()) Abort("Load_Marisa");
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_Load_Marisa)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace zhtext

BENCHMARK_MAIN();
