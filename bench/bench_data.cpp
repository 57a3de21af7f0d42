#include "bench/bench_data.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

namespace zhtext {
namespace bench {

std::string DataDir() {
  const char* env = std::getenv("ZHTEXT_BENCH_DATA");
  if (env != nullptr && *env != '\0') return env;
  return ZHTEXT_BENCH_SOURCE_DIR "/data";
}

namespace {
std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}
}  // namespace

const std::string& BenchText() {
  static const std::string text = ReadWhole(DataDir() + "/text.txt");
  return text;
}

std::string BenchWordsPath() { return DataDir() + "/words.txt"; }

const std::vector<std::string>& BenchWords() {
  static const std::vector<std::string> words = [] {
    std::vector<std::string> list;
    std::istringstream in(ReadWhole(BenchWordsPath()));
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) list.push_back(line);
    }
    return list;
  }();
  return words;
}

std::string FoldMode0(const std::string& gbk) {
  std::string out = gbk;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(out[i]);
    if (b >= 0x80 && i + 1 < out.size()) {
      ++i;
    } else if (b >= 'A' && b <= 'Z') {
      out[i] = static_cast<char>(b + 0x20);
    }
  }
  return out;
}

void Abort(const char* what) {
  std::fprintf(stderr, "wrong answer: %s\n", what);
  std::abort();
}

namespace {
struct ScratchDir {
  std::filesystem::path dir;
  ScratchDir() {
    std::mt19937_64 rng(std::random_device{}());
    dir = std::filesystem::temp_directory_path() / ("zhtext-bench-" + std::to_string(rng()));
    std::filesystem::create_directories(dir);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};
}  // namespace

std::string ScratchFile(const char* name) {
  static const ScratchDir scratch;
  return (scratch.dir / name).string();
}

}  // namespace bench
}  // namespace zhtext
