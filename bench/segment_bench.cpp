// Scanning running text with the trie dictionary: Segment (forward maximum
// matching) on the manpages-zh text (GBK) with the 349,046-word jieba list
// (GBK, mode 0), side by side with the same forward maximum matching over
// marisa-trie's common-prefix search; MatchWords (type 0) and FindWords on
// the same text.
//
// Every engine's answers are checked once, outside the timed loops, and a
// wrong answer aborts: the marisa segmenter follows Segment's token rules
// (the longest word at the segment start; else one character, an ASCII
// character with the ASCII bytes after it up to a delimiter), so both must
// write the same tokens with the same handles.
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
  std::string text;        // the GBK text
  std::string foldedText;  // the same with single-byte capitals folded
  std::vector<std::string> keys;  // the folded words, each once, in handle order
  std::size_t maxKeyBytes = 0;
  std::unique_ptr<CPDAT> dict;
  bool ok = false;
};

const Data& GetData() {
  static const Data data = [] {
    Data d;
    const std::vector<std::string>& words = bench::BenchWords();
    d.text = bench::BenchText();
    d.text.resize(std::strlen(d.text.c_str()));
    if (words.empty() || d.text.empty()) return d;
    d.foldedText = bench::FoldMode0(d.text);
    std::unordered_map<std::string, int> seen;
    for (const std::string& w : words) {
      const std::string key = bench::FoldMode0(w);
      if (seen.emplace(key, static_cast<int>(d.keys.size())).second) d.keys.push_back(key);
      d.maxKeyBytes = std::max(d.maxKeyBytes, key.size());
    }
    const std::string listPath = bench::ScratchFile("words.txt");
    std::filesystem::copy_file(bench::BenchWordsPath(), listPath);
    d.dict = std::make_unique<CPDAT>(0);
    if (d.dict->ImportWithProgress(listPath.c_str(), nullptr, nullptr) !=
        static_cast<int>(d.keys.size())) {
      Abort("Import word count");
    }
    for (std::size_t i = 0; i < d.keys.size(); i += 997) {
      if (d.dict->Search(d.keys[i].c_str()) != static_cast<int>(i)) Abort("Import handles");
    }
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

void Throughput(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(GetData().text.size()));
}

// Segment's tokens and handles, with caller buffers kept across calls.
struct SegmentRun {
  char* out = nullptr;
  int outSize = 0;
  int* handles = nullptr;
  int handlesSize = 0;
  int count = 0;
  ~SegmentRun() {
    std::free(out);
    std::free(handles);
  }
};

// The checks of a segmentation: every byte once, in order, a separator
// after each token, and each handle that of its token.
void CheckSegmentation(const char* what, const std::string& out, const std::vector<int>& handles) {
  const Data& d = GetData();
  std::size_t t = 0, tokenStart = 0, k = 0;
  for (char c : out) {
    if (c == '\x01') {
      if (k >= handles.size()) Abort(what);
      const std::string token = d.text.substr(tokenStart, t - tokenStart);
      const int handle = handles[k++];
      if (handle >= 0 && d.keys[static_cast<std::size_t>(handle)] != bench::FoldMode0(token)) Abort(what);
      tokenStart = t;
      continue;
    }
    if (t >= d.text.size() || d.text[t] != c) Abort(what);
    ++t;
  }
  if (t != d.text.size() || k != handles.size()) Abort(what);
}

void BM_Segment_Pdat(benchmark::State& state) {
  if (!Ready(state)) return;
  const Data& d = GetData();
  SegmentRun run;
  run.count = d.dict->Segment(d.text.c_str(), &run.handles, &run.handlesSize, &run.out,
                              &run.outSize, true, -1, '\x01');
  CheckSegmentation("Segment_Pdat", run.out, std::vector<int>(run.handles, run.handles + run.count));
  for (auto _ : state) {
    d.dict->Segment(d.text.c_str(), nullptr, nullptr, &run.out, &run.outSize, false, -1, '\x01');
    benchmark::DoNotOptimize(run.out[0]);
  }
  Throughput(state);
}
BENCHMARK(BM_Segment_Pdat)->Unit(benchmark::kMillisecond);

// With a handle for every token.
void BM_SegmentHandles_Pdat(benchmark::State& state) {
  if (!Ready(state)) return;
  const Data& d = GetData();
  SegmentRun run;
  for (auto _ : state) {
    run.count = d.dict->Segment(d.text.c_str(), &run.handles, &run.handlesSize, &run.out,
                                &run.outSize, true, -1, '\x01');
    benchmark::DoNotOptimize(run.handles[0]);
  }
  CheckSegmentation("SegmentHandles_Pdat", run.out,
                    std::vector<int>(run.handles, run.handles + run.count));
  Throughput(state);
  state.counters["tokens"] = run.count;
}
BENCHMARK(BM_SegmentHandles_Pdat)->Unit(benchmark::kMillisecond);

#ifdef ZHTEXT_HAVE_MARISA

bool Delimiter(unsigned char c) { return c != 0 && std::strchr(" \t-_,.:/~#%^*()", c) != nullptr; }

struct MarisaDict {
  marisa::Trie trie;
  std::vector<int> handleOfId;  // marisa key id -> dictionary handle
};

const MarisaDict& GetMarisa() {
  static const std::unique_ptr<MarisaDict> dict = [] {
    const Data& d = GetData();
    auto m = std::make_unique<MarisaDict>();
    marisa::Keyset keyset;
    for (const std::string& key : d.keys) keyset.push_back(key.data(), key.size());
    m->trie.build(keyset);
    m->handleOfId.assign(m->trie.num_keys(), -1);
    marisa::Agent agent;
    for (std::size_t i = 0; i < d.keys.size(); ++i) {
      agent.set_query(d.keys[i].data(), d.keys[i].size());
      if (!m->trie.lookup(agent)) Abort("Marisa build");
      m->handleOfId[agent.key().id()] = static_cast<int>(i);
    }
    return m;
  }();
  return *dict;
}

// Forward maximum matching over marisa: at each segment start the longest
// key (common-prefix search of the folded text), else one character with
// Segment's ASCII rule. Writes tokens and separators like Segment; handles
// when `handles` is given. Returns the token count.
int SegmentMarisa(const MarisaDict& m, marisa::Agent& agent, char* out, int* handles) {
  const Data& d = GetData();
  const char* text = d.text.data();
  const char* folded = d.foldedText.data();
  const std::size_t n = d.text.size();
  char* o = out;
  int count = 0;
  std::size_t pos = 0;
  while (pos < n) {
    agent.set_query(folded + pos, std::min(d.maxKeyBytes, n - pos));
    std::size_t best = 0;
    int handle = -1;
    while (m.trie.common_prefix_search(agent)) {
      best = agent.key().length();
      handle = m.handleOfId[agent.key().id()];
    }
    std::size_t end;
    if (best > 0) {
      end = pos + best;
    } else {
      const unsigned char b = static_cast<unsigned char>(text[pos]);
      end = pos + (b >= 0x80 && pos + 1 < n ? 2 : 1);
      if (b < 0x80 && !Delimiter(b)) {
        while (end < n && static_cast<unsigned char>(text[end]) < 0x80 &&
               !Delimiter(static_cast<unsigned char>(text[end]))) {
          ++end;
        }
      }
      handle = -1;
    }
    std::memcpy(o, text + pos, end - pos);
    o += end - pos;
    *o++ = '\x01';
    if (handles != nullptr) handles[count] = handle;
    ++count;
    pos = end;
  }
  *o = '\0';
  return count;
}

void BM_Segment_Marisa(benchmark::State& state) {
  if (!Ready(state)) return;
  const Data& d = GetData();
  const MarisaDict& m = GetMarisa();
  marisa::Agent agent;
  std::vector<char> out(2 * d.text.size() + 1);
  std::vector<int> handles(d.text.size() + 2);
  const int count = SegmentMarisa(m, agent, out.data(), handles.data());
  // The same tokens and handles as Segment.
  SegmentRun run;
  run.count = d.dict->Segment(d.text.c_str(), &run.handles, &run.handlesSize, &run.out,
                              &run.outSize, true, -1, '\x01');
  if (count != run.count || std::strcmp(out.data(), run.out) != 0 ||
      !std::equal(handles.begin(), handles.begin() + count, run.handles)) {
    Abort("Segment_Marisa differs from Segment");
  }
  for (auto _ : state) {
    SegmentMarisa(m, agent, out.data(), nullptr);
    benchmark::DoNotOptimize(out[0]);
  }
  Throughput(state);
}
BENCHMARK(BM_Segment_Marisa)->Unit(benchmark::kMillisecond);

#endif  // ZHTEXT_HAVE_MARISA

// ---- MatchWords and FindWords ------------------------------------------------

void BM_MatchWords_Pdat(benchmark::State& state) {
  if (!Ready(state)) return;
  const Data& d = GetData();
  std::vector<PDAT_MATCH> matches;
  d.dict->MatchWords(d.text.c_str(), matches, 0);
  // In order, not overlapping, each a dictionary word under its handle and
  // accepted by the boundary test.
  int end = 0;
  const int len = static_cast<int>(d.text.size());
  for (const PDAT_MATCH& m : matches) {
    if (m.start < end || m.length <= 0 || m.start + m.length > len) Abort("MatchWords order");
    const std::string word = d.text.substr(static_cast<std::size_t>(m.start),
                                           static_cast<std::size_t>(m.length));
    if (m.handle < 0 || d.keys[static_cast<std::size_t>(m.handle)] != bench::FoldMode0(word)) {
      Abort("MatchWords handle");
    }
    if (!CPDAT::IsWordBoundary(d.text.c_str(), m.start, m.start + m.length, len)) {
      Abort("MatchWords boundary");
    }
    end = m.start + m.length;
  }
  const std::size_t found = matches.size();
  for (auto _ : state) {
    matches.clear();
    d.dict->MatchWords(d.text.c_str(), matches, 0);
    benchmark::DoNotOptimize(matches.data());
  }
  if (matches.size() != found) Abort("MatchWords count");
  Throughput(state);
  state.counters["words"] = static_cast<double>(found);
}
BENCHMARK(BM_MatchWords_Pdat)->Unit(benchmark::kMillisecond);

void BM_FindWords_Pdat(benchmark::State& state) {
  if (!Ready(state)) return;
  const Data& d = GetData();
  char* buffer = nullptr;
  int size = 0;
  d.dict->FindWords(d.text.c_str(), &buffer, &size, nullptr);
  // Every word found is a dictionary word, and on this text they are
  // exactly MatchWords' words of type 0 (the two differ only after a letter
  // that begins no word, whose run FindWords skips).
  std::vector<std::string> listed;
  for (const char* p = buffer; *p != '\0';) {
    const char* blank = std::strchr(p, ' ');
    const std::size_t n = blank != nullptr ? static_cast<std::size_t>(blank - p) : std::strlen(p);
    listed.emplace_back(p, n);
    p += n + (blank != nullptr ? 1 : 0);
  }
  for (const std::string& word : listed) {
    if (d.dict->Search(word.c_str()) < 0 && word.find_first_of("\"") == std::string::npos) {
      Abort("FindWords word");
    }
  }
  std::vector<PDAT_MATCH> matches;
  d.dict->MatchWords(d.text.c_str(), matches, 0);
  if (listed.size() != matches.size()) Abort("FindWords count");
  for (std::size_t i = 0; i < matches.size(); ++i) {
    if (d.text.compare(static_cast<std::size_t>(matches[i].start),
                       static_cast<std::size_t>(matches[i].length), listed[i]) != 0) {
      Abort("FindWords words");
    }
  }
  bool found = false;
  d.dict->FindWords(d.text.c_str(), nullptr, nullptr, &found);
  if (!found) Abort("FindWords found");
  for (auto _ : state) {
    d.dict->FindWords(d.text.c_str(), &buffer, &size, nullptr);
    benchmark::DoNotOptimize(buffer[0]);
  }
  std::free(buffer);
  Throughput(state);
  state.counters["words"] = static_cast<double>(listed.size());
}
BENCHMARK(BM_FindWords_Pdat)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zhtext

BENCHMARK_MAIN();
