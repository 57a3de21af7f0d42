#include "zhtext/encoding/gbk_chars.h"

#include <cstring>

#include "zhtext/encoding/internal/gbk_step.h"

namespace zhtext {

namespace {

inline unsigned char Byte(const char* p) { return static_cast<unsigned char>(*p); }

using internal::GbkCharLength;

// Length of the UTF-8 character at `text`, as its first byte announces it,
// cut to the bytes left before the terminator.
inline int Utf8CharLength(const char* text) {
  unsigned char c = Byte(text);
  if (c == 0) return 0;
  int n = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF8 ? 4 : c < 0xFC ? 5 : 6;
  for (int i = 1; i < n; ++i) {
    if (text[i] == '\0') return i;
  }
  return n;
}

}  // namespace

int ReadGbkChar(const char* text, char* buf) {
  int n = GbkCharLength(text);
  std::memcpy(buf, text, static_cast<std::size_t>(n));
  buf[n] = '\0';
  return n;
}

int GetGbkCharCode(const char* text, int* code) {
  int n = GbkCharLength(text);
  if (n == 0) {
    *code = -1;
  } else if (n == 2) {
    *code = Byte(text) * 256 + Byte(text + 1);
  } else {
    // A byte below 0x80 gives its value; a lone lead byte its signed value.
    *code = static_cast<signed char>(text[0]);
  }
  return n;
}

int ReadUtf8Char(const char* text, char* buf) {
  int n = Utf8CharLength(text);
  std::memcpy(buf, text, static_cast<std::size_t>(n));
  buf[n] = '\0';
  return n;
}

unsigned CountChars(const char* text, unsigned* single, unsigned* multi, bool utf8) {
  *single = 0;
  *multi = 0;
  while (*text != '\0') {
    int n = utf8 ? Utf8CharLength(text) : GbkCharLength(text);
    if (n > 1) {
      ++*multi;
    } else {
      char c = *text;
      if (c != ' ' && c != '\t' && c != '\r' && c != '\n') ++*single;
    }
    text += n;
  }
  return *single + *multi;
}

const char* FindTableChar(const char* table, const char* ch) {
  if (table == nullptr || ch == nullptr || *ch == '\0') return nullptr;
  const char* found = std::strstr(table, ch);
  if (found == nullptr || (found - table) % 2 != 0) return nullptr;
  return found;
}

}  // namespace zhtext
