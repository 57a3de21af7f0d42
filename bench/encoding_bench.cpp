// Code conversion throughput on real text (manpages-zh in GBK): the
// library's conversions side by side with glibc iconv (CP936), each checked
// against the other once before timing. Bytes processed = input bytes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef ZHTEXT_HAVE_ICONV
#include <iconv.h>
#endif

#include "bench/bench_data.h"
#include "zhtext/encoding/cp936.h"
#include "zhtext/encoding/gbk_table.h"
#include "zhtext/encoding/utf8_coder.h"

namespace zhtext {
namespace {

using bench::Abort;

struct Inputs {
  std::string gbk;
  std::string utf8;
  std::u16string utf16;
  bool ok = false;
};

const Inputs& GetInputs() {
  static const Inputs inputs = [] {
    Inputs in;
    in.gbk = bench::BenchText();
    if (in.gbk.empty()) return in;
    in.ok = GbkToUtf8(in.gbk.c_str(), in.utf8) > 0 && GbkToWide(in.gbk, in.utf16) > 0;
    return in;
  }();
  return inputs;
}

bool Ready(benchmark::State& state) {
  if (!GetInputs().ok) {
    state.SkipWithError("benchmark text missing or not GBK: run bash bench/prepare_data.sh");
    return false;
  }
  return true;
}

// ---- GBK -> UTF-8 ----------------------------------------------------------

void BM_GbkToUtf8_Zhtext(benchmark::State& state) {
  if (!Ready(state)) return;
  const Inputs& in = GetInputs();
  std::string out;
  for (auto _ : state) {
    GbkToUtf8(in.gbk.c_str(), out);
    benchmark::DoNotOptimize(out.data());
  }
  if (out != in.utf8) Abort("GbkToUtf8");
  state.SetBytesProcessed(state.iterations() * in.gbk.size());
}
BENCHMARK(BM_GbkToUtf8_Zhtext)->Unit(benchmark::kMillisecond);

// ---- GBK -> UTF-16 ---------------------------------------------------------

void BM_GbkToUtf16_Zhtext(benchmark::State& state) {
  if (!Ready(state)) return;
  const Inputs& in = GetInputs();
  std::u16string out;
  for (auto _ : state) {
    GbkToWide(in.gbk, out);
    benchmark::DoNotOptimize(out.data());
  }
  if (out != in.utf16) Abort("GbkToWide");
  state.SetBytesProcessed(state.iterations() * in.gbk.size());
}
BENCHMARK(BM_GbkToUtf16_Zhtext)->Unit(benchmark::kMillisecond);

// ---- UTF-8 -> GBK ----------------------------------------------------------

void BM_Utf8ToGbk_Zhtext(benchmark::State& state) {
  if (!Ready(state)) return;
  const Inputs& in = GetInputs();
  std::string out;
  for (auto _ : state) {
    Utf8ToGbk(in.utf8.c_str(), out);
    benchmark::DoNotOptimize(out.data());
  }
  if (out != in.gbk) Abort("Utf8ToGbk");
  state.SetBytesProcessed(state.iterations() * in.utf8.size());
}
BENCHMARK(BM_Utf8ToGbk_Zhtext)->Unit(benchmark::kMillisecond);

void BM_Utf8ToGbk_ZhtextTable(benchmark::State& state) {
  if (!Ready(state)) return;
  const Inputs& in = GetInputs();
  std::vector<char> out(in.utf8.size() + 2);
  for (auto _ : state) {
    Utf8ToGbkByTable(in.utf8.c_str(), out.data());
    benchmark::DoNotOptimize(out.data());
  }
  if (in.gbk != out.data()) Abort("Utf8ToGbkByTable");
  state.SetBytesProcessed(state.iterations() * in.utf8.size());
}
BENCHMARK(BM_Utf8ToGbk_ZhtextTable)->Unit(benchmark::kMillisecond);

// ---- UTF-16 -> GBK ---------------------------------------------------------

void BM_Utf16ToGbk_Zhtext(benchmark::State& state) {
  if (!Ready(state)) return;
  const Inputs& in = GetInputs();
  std::string out;
  for (auto _ : state) {
    WideToGbk(in.utf16, out);
    benchmark::DoNotOptimize(out.data());
  }
  if (out != in.gbk) Abort("WideToGbk");
  state.SetBytesProcessed(state.iterations() * in.utf16.size() * 2);
}
BENCHMARK(BM_Utf16ToGbk_Zhtext)->Unit(benchmark::kMillisecond);

void BM_Utf16ToGbk_ZhtextTable(benchmark::State& state) {
  if (!Ready(state)) return;
  const Inputs& in = GetInputs();
  std::vector<char> out(in.utf16.size() * 2 + 2);
  for (auto _ : state) {
    UnicodeToGbk(in.utf16.data(), out.data(), static_cast<unsigned>(in.utf16.size()));
    benchmark::DoNotOptimize(out.data());
  }
  if (in.gbk != out.data()) Abort("UnicodeToGbk");
  state.SetBytesProcessed(state.iterations() * in.utf16.size() * 2);
}
BENCHMARK(BM_Utf16ToGbk_ZhtextTable)->Unit(benchmark::kMillisecond);

// ---- iconv -----------------------------------------------------------------

#ifdef ZHTEXT_HAVE_ICONV

// Converts `in` completely with a converter opened once per benchmark.
std::size_t IconvRun(iconv_t cd, const char* in, std::size_t in_len, char* out, std::size_t cap) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in);
  char* dst = out;
  std::size_t dst_left = cap;
  if (iconv(cd, &src, &in_len, &dst, &dst_left) == static_cast<std::size_t>(-1)) Abort("iconv");
  return cap - dst_left;
}

void IconvBench(benchmark::State& state, const char* to, const char* from, const std::string& in,
                const std::string& expected) {
  if (!Ready(state)) return;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    state.SkipWithError("iconv has no CP936 converter");
    return;
  }
  std::vector<char> out(in.size() * 3 + 16);
  std::size_t n = 0;
  for (auto _ : state) {
    n = IconvRun(cd, in.data(), in.size(), out.data(), out.size());
    benchmark::DoNotOptimize(out.data());
  }
  if (std::string(out.data(), n) != expected) Abort("iconv result differs");
  iconv_close(cd);
  state.SetBytesProcessed(state.iterations() * in.size());
}

std::string Utf16Bytes(const std::u16string& units) {
  return std::string(reinterpret_cast<const char*>(units.data()), units.size() * 2);
}

void BM_GbkToUtf8_Iconv(benchmark::State& state) {
  const Inputs& in = GetInputs();
  IconvBench(state, "UTF-8", "CP936", in.gbk, in.utf8);
}
BENCHMARK(BM_GbkToUtf8_Iconv)->Unit(benchmark::kMillisecond);

void BM_GbkToUtf16_Iconv(benchmark::State& state) {
  const Inputs& in = GetInputs();
  IconvBench(state, "UTF-16LE", "CP936", in.gbk, Utf16Bytes(in.utf16));
}
BENCHMARK(BM_GbkToUtf16_Iconv)->Unit(benchmark::kMillisecond);

void BM_Utf8ToGbk_Iconv(benchmark::State& state) {
  const Inputs& in = GetInputs();
  IconvBench(state, "CP936", "UTF-8", in.utf8, in.gbk);
}
BENCHMARK(BM_Utf8ToGbk_Iconv)->Unit(benchmark::kMillisecond);

void BM_Utf16ToGbk_Iconv(benchmark::State& state) {
  const Inputs& in = GetInputs();
  IconvBench(state, "CP936", "UTF-16LE", Utf16Bytes(in.utf16), in.gbk);
}
BENCHMARK(BM_Utf16ToGbk_Iconv)->Unit(benchmark::kMillisecond);

#endif  // ZHTEXT_HAVE_ICONV

}  // namespace
}  // namespace zhtext

BENCHMARK_MAIN();
