#include "bench/bench_data.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

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

}  // namespace bench
}  // namespace zhtext
