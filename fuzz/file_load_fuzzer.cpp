// Feeds arbitrary bytes, as a file, to the loaders of the three binary
// formats (dictionary, ID map, word list). Whatever a loader accepts must
// answer look-ups without reading outside its arrays; whatever it refuses
// must leave the object as it was. The scratch file an input is written to
// is removed again after every input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "zhtext/dictionary/pdat.h"
#include "zhtext/idmaps/idmaps.h"
#include "zhtext/wordlist/word_list.h"

namespace {

// The file each input is written to, one per process.
const std::string& ScratchPath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() /
       ("zhtext-fuzz-" + std::to_string(std::random_device{}()) + ".bin"))
          .string();
  return path;
}

// Reading every value of an accepted map makes the sanitizers check that
// the look-ups stay inside the arrays; any value is legal, so the values go
// into a sink instead of being judged.
volatile unsigned g_sink = 0;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zhtext;
  const std::string& path = ScratchPath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  const bool written = std::fwrite(data, 1, size, f) == size;
  if (std::fclose(f) != 0 || !written) {
    std::remove(path.c_str());
    return 0;
  }

  static CPDAT* dict = new CPDAT(0);
  if (dict->Load(path.c_str())) {
    const char* probes[] = {"a", "ab", "\xD6\xD0", "\xD6\xD0\xCE\xC4", " x y ", ""};
    for (const char* p : probes) {
      dict->Search(p);
      dict->MatchLongest(p, nullptr, nullptr);
    }
    for (int ch = 0; ch < 65536; ch += 97) dict->SearchChar(ch);
  }

  CIDMaps map;
  if (map.Load(path.c_str())) {
    for (int key = -1; key <= map.GetIndexSize(); ++key) {
      int count = 0;
      const int* ids = map.GetIDList(key, &count);
      for (int i = 0; i < count; ++i) {
        g_sink = g_sink + static_cast<unsigned>(ids[i]);
      }
      std::vector<int> related;
      map.GetRelated(key, related);
    }
  }

  for (bool encrypt : {true, false}) {
    CWordList list(encrypt, nullptr);
    if (list.Load(path.c_str())) {
      for (int h = -1; h <= list.GetIndexSize(); ++h) {
        const char* word = list.GetWord(h);
        while (*word != '\0') ++word;
      }
    }
  }
  std::remove(path.c_str());
  return 0;
}
