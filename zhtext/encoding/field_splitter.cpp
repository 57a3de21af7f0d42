#include "zhtext/encoding/field_splitter.h"

#include <cstring>

#include "zhtext/encoding/gbk_chars.h"

namespace zhtext {

int SplitFields(const char* text, const char* delimiters, std::vector<std::string>& list) {
  list.clear();
  if (text == nullptr) return 0;
  if (delimiters == nullptr) delimiters = "";
  bool isDelimiter[256] = {};
  for (const char* d = delimiters; *d != '\0'; ++d) isDelimiter[static_cast<unsigned char>(*d)] = true;

  // Only one-byte characters are blanks or delimiters: a two-byte character
  // is stepped over whole, so its second byte (83 7C holds '|') cuts nothing.
  auto delimiterAt = [&](const char* q) {
    return GbkStep(q) == 1 && isDelimiter[static_cast<unsigned char>(*q)];
  };
  const char* p = text;
  for (;;) {
    while (*p != '\0' && (*p == ' ' || *p == '\t' || *p == '\r' || delimiterAt(p))) ++p;
    if (*p == '\0') break;
    const char* begin = p;
    while (*p != '\0' && !delimiterAt(p)) p += GbkStep(p);
    const char* end = p;
    while (end > begin && (end[-1] == '\r' || end[-1] == '\n')) --end;
    if (end > begin) list.emplace_back(begin, end);
    if (*p == '\0') break;
    ++p;
  }
  return static_cast<int>(list.size());
}

}  // namespace zhtext
