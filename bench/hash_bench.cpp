// The string hashes and the compact integer code on the jieba word list
// (349,046 words in GBK): the library's four hashes beside
// std::hash<std::string_view> and xxHash's XXH3 (libxxhash-dev, compiled in
// only where found), and the compact code beside a plain LEB128 varint
// written here, in one run.
//
// Each hash is checked once before timing against its fixed values; the
// number of distinct values it gives over the word list is reported as the
// "distinct" counter. The codes encode, for every word, its handle (its
// place in the list) and its byte length, and decode them back; the round
// trip is checked before timing. Items processed = words.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#ifdef ZHTEXT_HAVE_XXHASH
#include <xxhash.h>
#endif

#include "bench/bench_data.h"
#include "zhtext/util/compact_code.h"
#include "zhtext/util/string_hash.h"

namespace zhtext {
namespace {

using bench::Abort;

bool Ready(benchmark::State& state) {
  if (bench::BenchWords().empty()) {
    state.SkipWithError("word list missing: run bash bench/prepare_data.sh");
    return false;
  }
  return true;
}

// Hashes every word per iteration; `hash` takes the word as a std::string.
template <typename Hash>
void RunHash(benchmark::State& state, Hash hash) {
  if (!Ready(state)) return;
  const std::vector<std::string>& words = bench::BenchWords();
  std::unordered_set<std::uint64_t> distinct;
  for (const std::string& w : words) distinct.insert(static_cast<std::uint64_t>(hash(w)));
  std::uint64_t sum = 0;
  for (auto _ : state) {
    for (const std::string& w : words) sum += static_cast<std::uint64_t>(hash(w));
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(words.size()));
  state.counters["distinct"] = static_cast<double>(distinct.size());
}

void BM_Hash_Mul31(benchmark::State& state) {
  if (HashMul31("abc") != 96354) Abort("HashMul31");
  RunHash(state, [](const std::string& w) { return HashMul31(w.c_str()); });
}
BENCHMARK(BM_Hash_Mul31)->Unit(benchmark::kMillisecond);

void BM_Hash_Tail96(benchmark::State& state) {
  if (HashTail96("abc") != 0x0202C03E || HashTail96("ABC") != 0x0202C03E) Abort("HashTail96");
  RunHash(state, [](const std::string& w) { return HashTail96(w.c_str()); });
}
BENCHMARK(BM_Hash_Tail96)->Unit(benchmark::kMillisecond);

void BM_Hash_Elf(benchmark::State& state) {
  if (HashElf("abc") != 0x6783 || HashElf("\x80") != 0x0FFFFF70) Abort("HashElf");
  RunHash(state, [](const std::string& w) { return HashElf(w.c_str()); });
}
BENCHMARK(BM_Hash_Elf)->Unit(benchmark::kMillisecond);

void BM_Hash_WeightedSum(benchmark::State& state) {
  if (HashWeightedSum("abc") != 1770) Abort("HashWeightedSum");
  RunHash(state, [](const std::string& w) { return HashWeightedSum(w.c_str()); });
}
BENCHMARK(BM_Hash_WeightedSum)->Unit(benchmark::kMillisecond);

void BM_Hash_StdHash(benchmark::State& state) {
  const std::hash<std::string_view> hasher;
  if (hasher(std::string_view("abc")) != hasher(std::string("abc"))) Abort("std::hash");
  RunHash(state, [&](const std::string& w) { return hasher(std::string_view(w)); });
}
BENCHMARK(BM_Hash_StdHash)->Unit(benchmark::kMillisecond);

#ifdef ZHTEXT_HAVE_XXHASH
void BM_Hash_XXH3(benchmark::State& state) {
  // The published test value of the empty input.
  if (XXH3_64bits("", 0) != 0x2D06800538D394C2ULL) Abort("XXH3");
  RunHash(state, [](const std::string& w) { return XXH3_64bits(w.data(), w.size()); });
}
BENCHMARK(BM_Hash_XXH3)->Unit(benchmark::kMillisecond);
#endif

// ---- Compact integer code ---------------------------------------------------

// Handle and byte length of every word, in list order.
const std::vector<std::int32_t>& Values() {
  static const std::vector<std::int32_t> values = [] {
    std::vector<std::int32_t> v;
    const std::vector<std::string>& words = bench::BenchWords();
    for (std::size_t i = 0; i < words.size(); ++i) {
      v.push_back(static_cast<std::int32_t>(i));
      v.push_back(static_cast<std::int32_t>(words[i].size()));
    }
    return v;
  }();
  return values;
}

std::size_t EncodeAllCompact(const std::vector<std::int32_t>& values, char* out) {
  char* p = out;
  for (std::int32_t v : values) p += EncodeCompactInt(v, p);
  return static_cast<std::size_t>(p - out);
}

void DecodeAllCompact(const char* in, std::size_t count, std::int32_t* out) {
  for (std::size_t i = 0; i < count; ++i) in += DecodeCompactInt(in, &out[i]);
}

// Little-endian base-128 groups, the high bit marking that more follow.
std::size_t EncodeAllLeb128(const std::vector<std::int32_t>& values, char* out) {
  char* p = out;
  for (std::int32_t value : values) {
    std::uint32_t v = static_cast<std::uint32_t>(value);
    while (v >= 0x80) {
      *p++ = static_cast<char>(v | 0x80);
      v >>= 7;
    }
    *p++ = static_cast<char>(v);
  }
  return static_cast<std::size_t>(p - out);
}

void DecodeAllLeb128(const char* in, std::size_t count, std::int32_t* out) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(in);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t v = 0;
    unsigned shift = 0;
    for (;;) {
      const unsigned char b = *p++;
      v |= static_cast<std::uint32_t>(b & 0x7F) << shift;
      if (b < 0x80) break;
      shift += 7;
    }
    out[i] = static_cast<std::int32_t>(v);
  }
}

template <typename Encode, typename Decode>
void CheckRoundTrip(const char* what, Encode encode, Decode decode) {
  const std::vector<std::int32_t>& values = Values();
  std::vector<char> bytes(values.size() * 5);
  const std::size_t n = encode(values, bytes.data());
  std::vector<std::int32_t> back(values.size());
  decode(bytes.data(), values.size(), back.data());
  if (back != values || n == 0) Abort(what);
}

template <typename Encode, typename Decode>
void RunEncode(benchmark::State& state, const char* what, Encode encode, Decode decode) {
  if (!Ready(state)) return;
  CheckRoundTrip(what, encode, decode);
  const std::vector<std::int32_t>& values = Values();
  std::vector<char> bytes(values.size() * 5);
  std::size_t n = 0;
  for (auto _ : state) {
    n = encode(values, bytes.data());
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
  state.counters["bytes"] = static_cast<double>(n);
}

template <typename Encode, typename Decode>
void RunDecode(benchmark::State& state, const char* what, Encode encode, Decode decode) {
  if (!Ready(state)) return;
  CheckRoundTrip(what, encode, decode);
  const std::vector<std::int32_t>& values = Values();
  std::vector<char> bytes(values.size() * 5);
  encode(values, bytes.data());
  std::vector<std::int32_t> back(values.size());
  for (auto _ : state) {
    decode(bytes.data(), values.size(), back.data());
    benchmark::DoNotOptimize(back.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}

void BM_CompactEncode_Zhtext(benchmark::State& state) {
  RunEncode(state, "compact code", EncodeAllCompact, DecodeAllCompact);
}
BENCHMARK(BM_CompactEncode_Zhtext)->Unit(benchmark::kMicrosecond);

void BM_CompactEncode_Leb128(benchmark::State& state) {
  RunEncode(state, "LEB128", EncodeAllLeb128, DecodeAllLeb128);
}
BENCHMARK(BM_CompactEncode_Leb128)->Unit(benchmark::kMicrosecond);

void BM_CompactDecode_Zhtext(benchmark::State& state) {
  RunDecode(state, "compact code", EncodeAllCompact, DecodeAllCompact);
}
BENCHMARK(BM_CompactDecode_Zhtext)->Unit(benchmark::kMicrosecond);

void BM_CompactDecode_Leb128(benchmark::State& state) {
  RunDecode(state, "LEB128", EncodeAllLeb128, DecodeAllLeb128);
}
BENCHMARK(BM_CompactDecode_Leb128)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zhtext

BENCHMARK_MAIN();
