#include "zhtext/util/gbk_text.h"

#include <cstring>

#include "zhtext/encoding/gbk_chars.h"
#include "zhtext/encoding/internal/code_list.h"
#include "zhtext/encoding/internal/gbk_step.h"
#include "zhtext/util/gbk_text_tables.h"
#include "zhtext/util/string_utils.h"

namespace zhtext {

namespace {

inline unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

using internal::GbkCharLength;

inline bool IsUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
inline bool IsLower(unsigned char c) { return c >= 'a' && c <= 'z'; }

// Whether the two bytes at `pair` are one of the two-byte characters of
// `table`, compared character by character (never across two characters).
bool IsTableCharAligned(const GbkLiteral& table, const char* pair) {
  const char* t = table.c_str();
  std::size_t n = table.size();
  for (std::size_t i = 0; i + 1 < n; i += 2) {
    if (t[i] == pair[0] && t[i + 1] == pair[1]) return true;
  }
  return false;
}

// The ASCII byte a full-width digit or letter, or a character of the
// punctuation folding table, folds to; 0 when it does not fold.
char FoldedByte(unsigned char lead, unsigned char trail) {
  if (lead == 0xA3 && ((trail >= 0xB0 && trail <= 0xB9) || (trail >= 0xC1 && trail <= 0xDA) ||
                       (trail >= 0xE1 && trail <= 0xFA))) {
    return static_cast<char>(trail - 0x80);
  }
  unsigned code = lead * 256u + trail;
  for (const FULLWIDTH_FOLD& fold : FULLWIDTH_FOLDS) {
    if (fold.code == code) return fold.ascii;
  }
  return '\0';
}

bool IsSingleByteEndMark(unsigned char c) {
  return c != 0 && std::strchr(".!;?\r\n\t", c) != nullptr;
}

// "。" A1 A3, "！" A3 A1, "？" A3 BF, "；" A3 BB.
bool IsTwoByteEndMark(unsigned char lead, unsigned char trail) {
  unsigned code = lead * 256u + trail;
  return code == 0xA1A3 || code == 0xA3A1 || code == 0xA3BF || code == 0xA3BB;
}

}  // namespace

bool SplitPlaceSuffix(const char* word, char* stem, char* suffix) {
  std::size_t len = std::strlen(word);
  std::size_t suffixLen = 0;
  for (const GbkLiteral& candidate : PLACE_SUFFIXES) {
    std::size_t n = candidate.size();
    if (n <= len && std::memcmp(word + len - n, candidate.c_str(), n) == 0) {
      suffixLen = n;
      break;
    }
  }
  if (suffixLen == 0 && len >= 2 && IsTableCharAligned(PLACE_SUFFIX_CHARS, word + len - 2)) {
    suffixLen = 2;
  }
  std::size_t stemLen = len - suffixLen;
  std::memcpy(suffix, word + stemLen, suffixLen);
  suffix[suffixLen] = '\0';
  std::memcpy(stem, word, stemLen);
  stem[stemLen] = '\0';
  return true;
}

bool FoldFullWidth(char* text) {
  bool folded = false;
  std::size_t r = 0, w = 0;
  while (text[r] != '\0') {
    if (GbkCharLength(text + r) == 1) {
      text[w++] = text[r++];
      continue;
    }
    char ascii = FoldedByte(Byte(text[r]), Byte(text[r + 1]));
    if (ascii != '\0') {
      text[w++] = ascii;
      folded = true;
    } else {
      text[w++] = text[r];
      text[w++] = text[r + 1];
    }
    r += 2;
  }
  text[w] = '\0';
  return folded;
}

char* NormalizeForSearch(char* text) {
  std::size_t r = 0, w = 0;
  while (text[r] != '\0') {
    unsigned char c = Byte(text[r]);
    if (GbkCharLength(text + r) == 2) {
      unsigned char trail = Byte(text[r + 1]);
      if (c == 0xA3 && trail >= 0xB0 && trail <= 0xB9) {
        text[w++] = static_cast<char>(trail - 0x80);
      } else if (c == 0xA3 && trail >= 0xC1 && trail <= 0xDA) {
        text[w++] = static_cast<char>(trail - 0x80 + ('a' - 'A'));
      } else if (c == 0xA3 && trail >= 0xE1 && trail <= 0xFA) {
        text[w++] = static_cast<char>(trail - 0x80);
      } else if (c == 0xA3 && trail >= 0xBB) {
        text[w++] = ';';
      } else if (c == 0xA3 && trail == 0xAB) {
        text[w++] = '+';
      } else {
        text[w++] = text[r];
        text[w++] = text[r + 1];
      }
      r += 2;
      continue;
    }
    const char ch = text[r++];
    if (IsUpper(c)) {
      text[w++] = static_cast<char>(c + ('a' - 'A'));
    } else if (IsDigit(ch) || IsLower(c) || std::strchr("+-;{}\r\n", c) != nullptr) {
      text[w++] = ch;
    } else if (c == ' ') {
      // text[r] is still the original next byte: writing never overtakes reading.
      if (IsAsciiLetter(text[r]) || IsDigit(text[r])) text[w++] = ' ';
    }
  }
  text[w] = '\0';
  return text;
}

std::size_t FindSentenceEnd(const char* text, std::size_t pos, std::size_t limit) {
  std::size_t len = std::strlen(text);
  std::size_t stepped = 0;
  while (pos < len && stepped < limit) {
    std::size_t n = static_cast<std::size_t>(GbkCharLength(text + pos));
    if (n == 1 ? IsSingleByteEndMark(Byte(text[pos]))
               : IsTwoByteEndMark(Byte(text[pos]), Byte(text[pos + 1]))) {
      return pos + n;
    }
    pos += n;
    stepped += n;
  }
  return len;
}

std::size_t FindSentenceStart(const char* text, std::size_t pos, std::size_t limit) {
  std::size_t len = std::strlen(text);
  if (pos > len) pos = len;
  if (pos == 0) return 0;
  std::size_t i = pos - 1;
  std::size_t looked = 0;
  while (i > 0 && looked < limit) {
    unsigned char c = Byte(text[i]);
    if (c >= 0x80 && i > 1) {
      if (IsTwoByteEndMark(Byte(text[i - 1]), c)) return i + 1;
      i -= 2;
      looked += 2;
    } else {
      if (IsSingleByteEndMark(c)) return i + 1;
      i -= 1;
      looked += 1;
    }
  }
  return 0;
}

std::size_t LeadingHanziLength(const char* text) {
  std::size_t i = 0;
  while (Byte(text[i]) >= 0xB0 && Byte(text[i]) <= 0xF7) {
    // A lead byte alone at the end counts once: the run never passes the end.
    if (text[i + 1] == '\0') return i + 1;
    i += 2;
  }
  return i;
}

int ReadCharCode(const char* text, std::size_t* pos, std::size_t limit) {
  std::size_t p = *pos;
  unsigned char c = Byte(text[p]);
  if (c >= 0x80 && p + 1 != limit) {
    *pos = p + 2;
    return c * 256 + Byte(text[p + 1]);
  }
  *pos = p + 1;
  return IsUpper(c) ? c + ('a' - 'A') : c;
}

unsigned CountTableChars(const char* table, const char* text, std::size_t length) {
  if (table == nullptr || text == nullptr) return 0;
  if (length == 0) length = std::strlen(text);
  unsigned count = 0;
  std::size_t i = 0;
  while (i < length && text[i] != '\0') {
    if (Byte(text[i]) < 0x80) {
      if (std::strchr(table, text[i]) != nullptr) ++count;
      ++i;
      continue;
    }
    char ch[3];
    int n = ReadGbkChar(text + i, ch);
    if (FindTableChar(table, ch) != nullptr) ++count;
    i += static_cast<std::size_t>(n);
  }
  return count;
}

unsigned CountCharCode(const char* data, std::size_t length, int code) {
  unsigned count = 0;
  std::size_t i = 0;
  while (i < length) {
    int value;
    if (Byte(data[i]) >= 0x80 && i + 1 < length) {
      value = static_cast<signed char>(data[i]) * 256 + static_cast<signed char>(data[i + 1]);
      i += 2;
    } else {
      value = static_cast<signed char>(data[i]);
      i += 1;
    }
    if (value == code) ++count;
  }
  return count;
}

bool WriteCodeTable(const char* path) { return internal::WriteCodeList(path, 0xA1); }

}  // namespace zhtext
