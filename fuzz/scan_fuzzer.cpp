// Runs the text scans of a small dictionary, in each character mode, over
// arbitrary bytes. Besides the sanitizers' checks it asserts what callers
// rely on: Segment loses and adds no byte of the text, gives one handle per
// token, and cutting at FindSegmentCut changes nothing; the records of
// MatchWords lie inside the text and name the word they cover.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "zhtext/dictionary/pdat.h"

namespace {

using zhtext::CPDAT;
using zhtext::PDAT_MATCH;

// Words with GBK characters (written as escapes), ASCII words and numbers,
// full-width letters and the mode-2 separators, sharing prefixes.
const char* const kWords[] = {
    "\xD6\xD0",                  // one character
    "\xD6\xD0\xB9\xFA",          // two
    "\xD6\xD0\xB9\xFA\xC8\xCB",  // three, through the two
    "\xC8\xCB\xC3\xF1",
    "\xA3\xC1\xA3\xC2",  // full-width letters
    "abc",
    "ab",
    "x1",
    "123",
    "a b",
    "\xB9\xFA,\xBC\xD2",
    "\x80",
    "\xFE\xFE",
};

CPDAT* BuildDict(int mode) {
  CPDAT* dict = new CPDAT(mode);
  for (const char* word : kWords) dict->AddWord(word, false);
  dict->Build();
  return dict;
}

// A separator byte the text does not hold, or 0 when it holds them all.
char AbsentByte(const std::string& text) {
  bool seen[256] = {};
  for (unsigned char c : text) seen[c] = true;
  for (int c = 1; c < 256; ++c) {
    if (!seen[c]) return static_cast<char>(c);
  }
  return 0;
}

struct SegmentResult {
  std::string out;
  std::vector<int> handles;
};

SegmentResult RunSegment(const CPDAT& dict, const char* text, int maxLen, char sep) {
  int* handles = nullptr;
  int handlesSize = 0;
  char* out = nullptr;
  int outSize = 0;
  const int count = dict.Segment(text, &handles, &handlesSize, &out, &outSize, true, maxLen, sep);
  SegmentResult result{out, std::vector<int>(handles, handles + count)};
  std::free(handles);
  std::free(out);
  return result;
}

void CheckSegment(const CPDAT& dict, const std::string& text, int maxLen) {
  const char sep = AbsentByte(text);
  if (sep == 0) return;
  const SegmentResult whole = RunSegment(dict, text.c_str(), maxLen, sep);
  std::string joined;
  std::size_t tokens = 0;
  for (char c : whole.out) {
    if (c == sep) {
      ++tokens;
    } else {
      joined += c;
    }
  }
  if (joined != text) std::abort();  // a byte lost, added or moved
  if (tokens != whole.handles.size()) std::abort();

  const int len = static_cast<int>(text.size());
  const int cut = dict.FindSegmentCut(text.c_str(), len, len / 2);
  if (cut < 0 || cut > len) std::abort();
  if (cut == len) return;
  const std::string head = text.substr(0, static_cast<std::size_t>(cut));
  const std::string tail = text.substr(static_cast<std::size_t>(cut));
  SegmentResult parts = RunSegment(dict, head.c_str(), maxLen, sep);
  const SegmentResult rest = RunSegment(dict, tail.c_str(), maxLen, sep);
  parts.out += rest.out;
  parts.handles.insert(parts.handles.end(), rest.handles.begin(), rest.handles.end());
  if (parts.out != whole.out || parts.handles != whole.handles) std::abort();
}

void CheckMatchWords(const CPDAT& dict, const std::string& text) {
  for (int type = 0; type <= 2; ++type) {
    std::vector<PDAT_MATCH> matches;
    dict.MatchWords(text.c_str(), matches, type);
    for (const PDAT_MATCH& m : matches) {
      if (m.start < 0 || m.length <= 0 || m.start + m.length > static_cast<int>(text.size())) {
        std::abort();
      }
      if (m.handle < 0 || m.handle >= dict.GetWordCount()) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CPDAT* const dicts[3] = {BuildDict(0), BuildDict(1), BuildDict(2)};
  if (size == 0) return 0;
  // The first byte chooses the mode and the walk limit; the rest, up to its
  // first zero byte, is the text.
  const int mode = data[0] % 3;
  const int maxLen = (data[0] / 3) % 8;
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  text.resize(std::strlen(text.c_str()));
  CPDAT& dict = *dicts[mode];

  CheckSegment(dict, text, maxLen);
  CheckMatchWords(dict, text);

  char* buffer = nullptr;
  int bufferSize = 0;
  bool found = false;
  dict.FindWords(text.c_str(), &buffer, &bufferSize, nullptr);
  dict.FindWords(text.c_str(), &buffer, &bufferSize, &found);
  std::free(buffer);
  dict.SpotWords(text.c_str());

  int handle = -1;
  bool hasSpace = false;
  const int longest = dict.MatchLongest(text.c_str(), &handle, &hasSpace);
  if (longest < 0 || longest > static_cast<int>(text.size())) std::abort();
  dict.Search(text.c_str(), static_cast<unsigned>(text.size()));

  int* handles = nullptr;
  int* ends = nullptr;
  unsigned capacity = 0, count = 0;
  dict.MatchAll(text.c_str(), &handles, &ends, &capacity, &count, 0);
  for (unsigned i = 0; i < count; ++i) {
    if (ends[i] <= 0 || ends[i] > static_cast<int>(text.size())) std::abort();
  }
  std::free(handles);
  std::free(ends);
  return 0;
}
