#include "zhtext/util/loose_match.h"

#include <cstring>

namespace zhtext {

namespace {

inline bool IsSoftBlank(char c) { return c == '\n' || c == '\r' || c == ' '; }
inline bool IsBlank(char c) { return c == '\t' || IsSoftBlank(c); }

// When `p` opens a short group (`open` at p, `close` less than 15 bytes
// on, the text not ending before it), the position of its `close`; else
// null.
const char* ShortGroupEnd(const char* p, char close) {
  for (int d = 1; d < 15 && p[d] != '\0'; ++d) {
    if (p[d] == close) return p + d;
  }
  return nullptr;
}

}  // namespace

int FindLoose(const char* hay, const char* needle, int* start, int* end, std::int32_t* offset) {
  if (*offset < 0) *offset = 0;
  *start = 0;
  *end = 0;
  int k = 0;
  while (IsSoftBlank(needle[k])) ++k;
  const char anchor = needle[k];
  if (anchor == '\0') return -1;
  for (std::int32_t i = 0; i < *offset; ++i) {
    if (hay[i] == '\0') return -1;
  }

  const char* s = std::strchr(hay + *offset, anchor);
  if (s == nullptr) return -1;
  int first = static_cast<int>(s - hay);
  int j = k + 1;
  int h = first + 1;
  while (hay[h] != '\0' && needle[j] != '\0') {
    while (IsSoftBlank(needle[j])) ++j;
    if (needle[j] == '\0') break;
    while (IsSoftBlank(hay[h])) ++h;
    if (hay[h] == '\0') break;
    if (hay[h] == needle[j]) {
      ++j;
    } else {
      s = std::strchr(hay + first + 1, anchor);
      if (s == nullptr) return -1;
      first = static_cast<int>(s - hay);
      j = k + 1;
      h = first;
    }
    ++h;
  }
  *start = first;
  *end = h;
  // Soft blanks left at the needle's end are ignored like any others.
  while (IsSoftBlank(needle[j])) ++j;
  if (needle[j] == '\0') return 0;
  *offset -= h;
  return j;
}

bool MatchLoose(const char* a, const char* b, int* start, std::int32_t limit) {
  *start = 0;
  std::size_t i = 0, j = 0;
  std::int32_t matched = 0;
  int asciiMatched = 0;
  while (a[i] != '\0') {
    if (b[j] == '\0' || (limit != -1 && matched >= limit)) break;
    while (IsBlank(a[i])) ++i;
    if (a[i] == '<') {
      if (const char* close = ShortGroupEnd(a + i, '>')) {
        i = static_cast<std::size_t>(close - a) + 1;
        continue;
      }
    }
    while (IsBlank(b[j])) ++j;
    if (b[j] == '[') {
      if (const char* close = ShortGroupEnd(b + j, ']')) {
        j = static_cast<std::size_t>(close - b) + 1;
        continue;
      }
    }
    if (a[i] == '\0' || b[j] == '\0') break;
    if (a[i] == b[j]) {
      unsigned char c = static_cast<unsigned char>(a[i]);
      ++matched;
      if (c < 0x80) ++asciiMatched;
      ++i;
      ++j;
      continue;
    }
    // The first difference.
    if (std::strlen(a) < 3) return asciiMatched >= 4;
    int end = 0;
    std::int32_t offset = 0;
    int found = FindLoose(b, a, start, &end, &offset);
    if (found == 0) return true;
    if (found > 0 && limit > 0 && found >= limit) return true;
    return asciiMatched >= 4;
  }
  return matched >= 1;
}

std::size_t CommonPrefixLoose(const char* a, const char* b, std::string& out) {
  out.clear();
  for (;;) {
    while (IsSoftBlank(*a)) ++a;
    while (IsSoftBlank(*b)) ++b;
    if (*a == '\0' || *b == '\0' || *a != *b) break;
    out += *a;
    ++a;
    ++b;
  }
  return out.size();
}

}  // namespace zhtext
