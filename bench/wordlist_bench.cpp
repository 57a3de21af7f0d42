// Word lists: loading the word list file of the 349,046-word jieba list and
// turning handles back into texts, CWordList side by side with a
// std::vector<std::string> read from the same words as text (the plain way a
// host would keep them). Handles are the line numbers of the list. Every
// engine's texts are checked against the list once, outside the timed loops;
// a wrong answer aborts.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/wordlist/word_list.h"

namespace zhtext {
namespace {

using bench::Abort;


// The word list files (enciphered and plain) of the bench words, handle i
// holding line i, and the words as a text file, one per line.
struct Files {
  std::string enciphered;
  std::string plain;
  std::string text;
  bool ok = false;
};

const Files& GetFiles() {
  static const Files files = [] {
    Files f;
    const std::vector<std::string>& words = bench::BenchWords();
    if (words.empty()) return f;
    f.enciphered = bench::ScratchFile("words.wl");
    f.plain = bench::ScratchFile("words_plain.wl");
    f.text = bench::ScratchFile("words.txt");
    for (bool encrypt : {true, false}) {
      CWordList list(encrypt, nullptr);
      for (std::size_t h = 0; h < words.size(); ++h) list.AddWord(words[h].c_str(), static_cast<int>(h));
      list.BuildIndex();
      if (!list.Save((encrypt ? f.enciphered : f.plain).c_str())) Abort("Save");
    }
    std::ofstream out(f.text, std::ios::binary);
    for (const std::string& w : words) out << w << '\n';
    f.ok = static_cast<bool>(out);
    return f;
  }();
  return files;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// A fixed random order of all handles.
const std::vector<int>& Handles() {
  static const std::vector<int> handles = [] {
    std::vector<int> h(bench::BenchWords().size());
    std::iota(h.begin(), h.end(), 0);
    std::shuffle(h.begin(), h.end(), std::mt19937(20240601));
    return h;
  }();
  return handles;
}

// Both engines give every word back under its handle.
bool CheckOnce(benchmark::State& state) {
  const Files& files = GetFiles();
  if (!files.ok) {
    state.SkipWithError("bench data missing: run bench/prepare_data.sh");
    return false;
  }
  static const bool checked = [&] {
    const std::vector<std::string>& words = bench::BenchWords();
    for (bool encrypt : {true, false}) {
      CWordList list(encrypt, nullptr);
      if (!list.Load((encrypt ? files.enciphered : files.plain).c_str())) Abort("Load");
      if (list.GetIndexSize() != static_cast<int>(words.size())) Abort("index size");
      for (std::size_t h = 0; h < words.size(); ++h) {
        if (words[h] != list.GetWord(static_cast<int>(h))) Abort("CWordList text");
      }
    }
    if (ReadLines(files.text) != words) Abort("vector text");
    return true;
  }();
  return checked;
}

// ---- Loading ----------------------------------------------------------------

void LoadWordList(benchmark::State& state, bool encrypt) {
  if (!CheckOnce(state)) return;
  const std::string& path = encrypt ? GetFiles().enciphered : GetFiles().plain;
  for (auto _ : state) {
    CWordList list(encrypt, nullptr);
    if (!list.Load(path.c_str())) Abort("Load");
    benchmark::DoNotOptimize(list.GetWord(0));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long long>(bench::BenchWords().size()));
  state.SetBytesProcessed(state.iterations() *
                          static_cast<long long>(std::filesystem::file_size(path)));
}

void BM_Load_WordList(benchmark::State& state) { LoadWordList(state, true); }
BENCHMARK(BM_Load_WordList)->Unit(benchmark::kMillisecond);

void BM_Load_WordListPlain(benchmark::State& state) { LoadWordList(state, false); }
BENCHMARK(BM_Load_WordListPlain)->Unit(benchmark::kMillisecond);

void BM_Load_VectorOfStrings(benchmark::State& state) {
  if (!CheckOnce(state)) return;
  for (auto _ : state) {
    std::vector<std::string> lines = ReadLines(GetFiles().text);
    benchmark::DoNotOptimize(lines.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long long>(bench::BenchWords().size()));
}
BENCHMARK(BM_Load_VectorOfStrings)->Unit(benchmark::kMillisecond);

// ---- Handles to texts ---------------------------------------------------------

void BM_GetWord_WordList(benchmark::State& state) {
  if (!CheckOnce(state)) return;
  CWordList list(true, nullptr);
  list.Load(GetFiles().enciphered.c_str());
  const std::vector<int>& handles = Handles();
  for (auto _ : state) {
    unsigned sum = 0;
    for (int h : handles) sum += static_cast<unsigned char>(list.GetWord(h)[0]);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long long>(handles.size()));
}
BENCHMARK(BM_GetWord_WordList);

void BM_GetWord_VectorOfStrings(benchmark::State& state) {
  if (!CheckOnce(state)) return;
  const std::vector<std::string> lines = ReadLines(GetFiles().text);
  const std::vector<int>& handles = Handles();
  for (auto _ : state) {
    unsigned sum = 0;
    for (int h : handles) sum += static_cast<unsigned char>(lines[static_cast<std::size_t>(h)].c_str()[0]);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long long>(handles.size()));
}
BENCHMARK(BM_GetWord_VectorOfStrings);

// Load, then every text once in handle order (the whole list copied out).
void BM_LoadAndGetAll_WordList(benchmark::State& state) {
  if (!CheckOnce(state)) return;
  const int n = static_cast<int>(bench::BenchWords().size());
  for (auto _ : state) {
    CWordList list(true, nullptr);
    if (!list.Load(GetFiles().enciphered.c_str())) Abort("Load");
    std::size_t bytes = 0;
    for (int h = 0; h < n; ++h) bytes += std::strlen(list.GetWord(h));
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_LoadAndGetAll_WordList)->Unit(benchmark::kMillisecond);

// ---- Building -------------------------------------------------------------------

void BM_Save_WordList(benchmark::State& state) {
  if (!CheckOnce(state)) return;
  CWordList list(true, nullptr);
  list.Load(GetFiles().enciphered.c_str());
  const std::string out = bench::ScratchFile("saved.wl");
  for (auto _ : state) {
    if (!list.Save(out.c_str())) Abort("Save");
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long long>(bench::BenchWords().size()));
}
BENCHMARK(BM_Save_WordList)->Unit(benchmark::kMillisecond);

// Import of the text list with handles from a dictionary of the same words
// (one Search per line), which also writes the normalised copy.
void BM_Import_WordList(benchmark::State& state) {
  if (!CheckOnce(state)) return;
  static CPDAT* dict = [] {
    auto* d = new CPDAT(0);
    if (d->ImportWithProgress(GetFiles().text.c_str(), nullptr, nullptr) <= 0) Abort("dictionary");
    return d;
  }();
  for (auto _ : state) {
    CWordList list(true, nullptr);
    const int n = list.Import(GetFiles().text.c_str(), dict, nullptr);
    if (n != static_cast<int>(bench::BenchWords().size())) Abort("Import count");
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long long>(bench::BenchWords().size()));
}
BENCHMARK(BM_Import_WordList)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zhtext

BENCHMARK_MAIN();
