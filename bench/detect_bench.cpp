// Code detection on text the code table generator did not see: the held-out
// manual pages written by bench/prepare_data.sh (tools/gen_code_tables.py
// --held-out-dir) in GBK, Big5, UTF-8 and UTF-16LE without a byte-order
// mark. First the accuracy table: for every code and every sample length,
// the share of samples that DetectCode and uchardet (libuchardet-dev, where
// found) put in the right code, on the same samples. Then the throughput of
// both on the 1 KB samples (Google Benchmark), each checked against its
// count of right answers from the table before it is timed.
//
// A sample starts at a random character of the text (std::mt19937_64, fixed
// seeds) and takes whole characters while they fit in the length; samples
// made only of ASCII (for UTF-16, only of units below 0x80) are drawn again,
// since no detector can tell their code. UTF-8 and UTF-16LE samples come
// from the simplified and the traditional pages in turn.
//
// uchardet's answers count as right when they name the code or a superset:
// GB18030 for GBK, BIG5 for Big5, UTF-8, UTF-16 or UTF-16LE.
//
// Options (before the benchmark's own): --detect_samples=N samples per code
// and length (default 5000), --code_tables=FILE (default the shipped file),
// --detect_data=NAME the folder of the data directory to read (default
// detect; detect-words holds text made of the jieba word list, written by
// bench/make_word_texts.py).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#ifdef ZHTEXT_HAVE_UCHARDET
#include <uchardet/uchardet.h>
#endif

#include "bench/bench_data.h"
#include "zhtext/encoding/code_detect.h"
#include "zhtext/encoding/code_numbers.h"
#include "zhtext/encoding/code_tables.h"

namespace zhtext {
namespace {

enum Code { kGbk, kBig5, kUtf8, kUtf16, kCodes };
const char* const kCodeNames[kCodes] = {"GBK", "Big5", "UTF-8", "UTF-16LE"};
const int kCodeNumbers[kCodes] = {CODE_GBK, CODE_DBCS2, CODE_UTF8, CODE_UTF16};
const char* const kFiles[kCodes][2] = {
    {"zh_CN.gbk", nullptr},
    {"zh_TW.big5", nullptr},
    {"zh_CN.utf8", "zh_TW.utf8"},
    {"zh_CN.utf16le", "zh_TW.utf16le"},
};
const std::size_t kLengths[] = {16, 64, 256, 1024};
constexpr int kLengthCount = sizeof(kLengths) / sizeof(kLengths[0]);

std::size_t g_samplesPerCell = 5000;
std::string g_dataName = "detect";
std::string g_tablesPath =
    std::string(ZHTEXT_BENCH_SOURCE_DIR) + "/../data/codetables/codetables.bin";

// A text with the offsets at which its characters start (and its end).
struct Text {
  std::string bytes;
  std::vector<std::uint32_t> starts;
};

Text ReadText(Code code, const std::string& path) {
  Text text;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return text;
  char buffer[1 << 16];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) text.bytes.append(buffer, n);
  std::fclose(file);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.bytes.data());
  const std::size_t size = text.bytes.size();
  std::size_t i = 0;
  while (i < size) {
    const unsigned char b = p[i];
    std::size_t step = 1;
    switch (code) {
      case kGbk:
      case kBig5:
        step = b >= 0x81 ? 2 : 1;
        break;
      case kUtf8:
        step = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        break;
      default: {  // kUtf16: a high surrogate takes its pair along
        const unsigned unit = b | (i + 1 < size ? p[i + 1] : 0) << 8;
        step = unit >= 0xD800 && unit < 0xDC00 ? 4 : 2;
        break;
      }
    }
    if (i + step > size) break;  // a cut last character
    text.starts.push_back(static_cast<std::uint32_t>(i));
    i += step;
  }
  text.starts.push_back(static_cast<std::uint32_t>(i));
  return text;
}

bool AllAscii(Code code, const std::string& s) {
  if (code == kUtf16) {
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
      if (static_cast<unsigned char>(s[i]) >= 0x80 || s[i + 1] != 0) return false;
    }
    return true;
  }
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// `count` samples of at most `length` bytes; `ascii` receives the pure-ASCII
// windows drawn (and put back) on the way.
std::vector<std::string> Cut(Code code, const std::vector<Text>& texts, std::size_t length,
                             std::size_t count, std::uint64_t seed,
                             std::vector<std::string>* ascii) {
  std::mt19937_64 rng(seed);
  std::vector<std::string> samples;
  std::size_t turn = 0;
  while (samples.size() < count) {
    const Text& text = texts[turn % texts.size()];
    const std::size_t chars = text.starts.size() - 1;
    const std::size_t k = static_cast<std::size_t>(rng() % chars);
    std::size_t j = k;
    while (j < chars && text.starts[j + 1] - text.starts[k] <= length) ++j;
    if (j == k) continue;
    std::string sample = text.bytes.substr(text.starts[k], text.starts[j] - text.starts[k]);
    if (AllAscii(code, sample)) {
      if (ascii != nullptr && code != kUtf16) ascii->push_back(sample);
      continue;
    }
    samples.push_back(std::move(sample));
    ++turn;
  }
  return samples;
}

struct Data {
  bool ok = false;
  std::string error;
  std::vector<std::string> samples[kCodes][kLengthCount];
  std::vector<std::string> ascii;
};

Data& GetData() {
  static Data data;
  return data;
}

void Prepare() {
  Data& data = GetData();
  const int loaded = LoadCodeTables(g_tablesPath.c_str());
  if (loaded != 0) {
    data.error = "cannot load " + g_tablesPath + " (" + std::to_string(loaded) + ")";
    return;
  }
  for (int c = 0; c < kCodes; ++c) {
    std::vector<Text> texts;
    for (const char* name : kFiles[c]) {
      if (name == nullptr) continue;
      const std::string path = bench::DataDir() + "/" + g_dataName + "/" + name;
      texts.push_back(ReadText(static_cast<Code>(c), path));
      if (texts.back().bytes.empty()) {
        data.error = "missing " + path + ": run bash bench/prepare_data.sh";
        return;
      }
    }
    for (int l = 0; l < kLengthCount; ++l) {
      data.samples[c][l] = Cut(static_cast<Code>(c), texts, kLengths[l], g_samplesPerCell,
                               20240601u + 97u * c + kLengths[l], &data.ascii);
    }
  }
  data.ok = true;
}

// ---- The two detectors -----------------------------------------------------

// The detector's answer as a Code, or kCodes for anything else.
int ZhtextAnswer(const std::string& sample) {
  const int code = DetectCode(sample.data(), static_cast<unsigned>(sample.size()));
  for (int c = 0; c < kCodes; ++c) {
    if (kCodeNumbers[c] == code) return c;
  }
  return kCodes;
}

#ifdef ZHTEXT_HAVE_UCHARDET
struct Uchardet {
  uchardet_t handle = uchardet_new();
  ~Uchardet() { uchardet_delete(handle); }
  int Answer(const std::string& sample) {
    uchardet_reset(handle);
    uchardet_handle_data(handle, sample.data(), sample.size());
    uchardet_data_end(handle);
    const char* name = uchardet_get_charset(handle);
    if (std::strcmp(name, "GB18030") == 0) return kGbk;
    if (std::strcmp(name, "BIG5") == 0) return kBig5;
    if (std::strcmp(name, "UTF-8") == 0) return kUtf8;
    if (std::strcmp(name, "UTF-16") == 0 || std::strcmp(name, "UTF-16LE") == 0) return kUtf16;
    return kCodes;
  }
};
#endif

std::size_t RightAnswers(int c, int l, bool zhtext) {
  std::size_t right = 0;
  const std::vector<std::string>& samples = GetData().samples[c][l];
  if (zhtext) {
    for (const std::string& s : samples) right += ZhtextAnswer(s) == c;
  }
#ifdef ZHTEXT_HAVE_UCHARDET
  else {
    Uchardet detector;
    for (const std::string& s : samples) right += detector.Answer(s) == c;
  }
#endif
  return right;
}

void PrintAccuracy() {
  const Data& data = GetData();
  std::printf("Accuracy on %s, %zu samples per cell\n\n", g_dataName.c_str(), g_samplesPerCell);
  std::printf("| code | length | zhtext | uchardet |\n|---|---|---|---|\n");
  for (int c = 0; c < kCodes; ++c) {
    for (int l = 0; l < kLengthCount; ++l) {
      const double n = static_cast<double>(data.samples[c][l].size());
      const double zh = 100.0 * RightAnswers(c, l, true) / n;
#ifdef ZHTEXT_HAVE_UCHARDET
      const double uc = 100.0 * RightAnswers(c, l, false) / n;
      std::printf("| %s | %zu | %.2f%% | %.2f%% |\n", kCodeNames[c], kLengths[l], zh, uc);
#else
      std::printf("| %s | %zu | %.2f%% | (not built) |\n", kCodeNames[c], kLengths[l], zh);
#endif
    }
  }
  std::size_t gbk = 0;
  for (const std::string& s : data.ascii) {
    gbk += DetectCode(s.data(), static_cast<unsigned>(s.size())) == CODE_GBK;
  }
  std::printf("\nPure ASCII windows drawn on the way: %zu, detected as GBK (2): %zu\n\n",
              data.ascii.size(), gbk);
  std::fflush(stdout);
}

// ---- Throughput on the 1 KB samples ------------------------------------------

constexpr int kKilobyte = 3;  // index of 1024 in kLengths

bool Ready(benchmark::State& state) {
  if (!GetData().ok) {
    state.SkipWithError(GetData().error.c_str());
    return false;
  }
  return true;
}

template <typename Answer>
void RunDetect(benchmark::State& state, Answer answer, bool zhtext) {
  const Data& data = GetData();
  std::size_t expected = 0, bytes = 0, samples = 0;
  for (int c = 0; c < kCodes; ++c) {
    expected += RightAnswers(c, kKilobyte, zhtext);
    for (const std::string& s : data.samples[c][kKilobyte]) bytes += s.size();
    samples += data.samples[c][kKilobyte].size();
  }
  for (auto _ : state) {
    std::size_t right = 0;
    for (int c = 0; c < kCodes; ++c) {
      for (const std::string& s : data.samples[c][kKilobyte]) right += answer(s) == c;
    }
    if (right != expected) bench::Abort("detection differs from the accuracy run");
    benchmark::DoNotOptimize(right);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * samples));
}

void BM_DetectCode_Zhtext(benchmark::State& state) {
  if (!Ready(state)) return;
  RunDetect(state, ZhtextAnswer, true);
}
BENCHMARK(BM_DetectCode_Zhtext)->Unit(benchmark::kMillisecond);

#ifdef ZHTEXT_HAVE_UCHARDET
void BM_DetectCode_Uchardet(benchmark::State& state) {
  if (!Ready(state)) return;
  Uchardet detector;
  RunDetect(
      state, [&detector](const std::string& s) { return detector.Answer(s); }, false);
}
BENCHMARK(BM_DetectCode_Uchardet)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace zhtext

int main(int argc, char** argv) {
  // Our own options first; the rest go to Google Benchmark.
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--detect_samples=", 17) == 0) {
      zhtext::g_samplesPerCell = std::strtoul(argv[i] + 17, nullptr, 10);
      if (zhtext::g_samplesPerCell == 0) zhtext::g_samplesPerCell = 1;
    } else if (std::strncmp(argv[i], "--detect_data=", 14) == 0) {
      zhtext::g_dataName = argv[i] + 14;
    } else if (std::strncmp(argv[i], "--code_tables=", 14) == 0) {
      zhtext::g_tablesPath = argv[i] + 14;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  zhtext::Prepare();
  if (zhtext::GetData().ok) {
    zhtext::PrintAccuracy();
  } else {
    std::fprintf(stderr, "%s\n", zhtext::GetData().error.c_str());
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  zhtext::FreeCodeTables();
  return 0;
}
