#include "zhtext/classify/char_class.h"

#include <cstring>

#include "zhtext/util/file_reader.h"
#include "zhtext/util/string_utils.h"

namespace zhtext {

namespace {

inline unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

inline bool IsHanziLead(unsigned char c) { return c >= 0xB0 && c <= 0xF7; }

// Tests of one two-byte character (lead and trail byte) for pair stepping.
bool IsHanziPair(unsigned char lead, unsigned char) { return IsHanziLead(lead); }
bool IsSymbolPair(unsigned char lead, unsigned char) { return lead == 0xA1 || lead == 0xA3; }
bool IsOrdinalPair(unsigned char lead, unsigned char) { return lead == 0xA2; }
bool IsFullWidthLetterPair(unsigned char lead, unsigned char trail) {
  return lead == 0xA3 && ((trail >= 0xC1 && trail <= 0xDA) || (trail >= 0xE1 && trail <= 0xFA));
}

// Steps two bytes at a time from offset 0 while the byte at the offset (with
// the one after it) passes `test`; returns the offset where the scan stopped.
std::size_t PairStep(const char* text, std::size_t len,
                     bool (*test)(unsigned char, unsigned char)) {
  std::size_t i = 0;
  while (i + 1 < len && test(Byte(text[i]), Byte(text[i + 1]))) i += 2;
  return i;
}

// The sampled bytes of IsEnglishText: a byte of 0x80 or above other than
// A1 and B1 rules English out.
inline bool RulesOutEnglish(unsigned char c) { return c >= 0x80 && c != 0xA1 && c != 0xB1; }

bool EndsWith(const char* text, std::size_t len, const char* tail) {
  std::size_t n = std::strlen(tail);
  return len >= n && std::memcmp(text + len - n, tail, n) == 0;
}

}  // namespace

bool IsAllChinese(const char* text) {
  std::size_t len = std::strlen(text);
  return PairStep(text, len, IsHanziPair) >= len;
}

bool IsAllSymbols(const char* text) {
  std::size_t len = std::strlen(text);
  return PairStep(text, len, IsSymbolPair) >= len;
}

bool IsAllFullWidthLetters(const char* text) {
  std::size_t len = std::strlen(text);
  return PairStep(text, len, IsFullWidthLetterPair) >= len;
}

bool IsOrdinalThenLetters(const char* text) {
  std::size_t len = std::strlen(text);
  for (std::size_t i = PairStep(text, len, IsOrdinalPair); i < len; ++i) {
    if (!IsAsciiLetter(text[i])) return false;
  }
  return true;
}

bool HasNoChinese(const char* text) {
  std::size_t i = 0;
  while (text[i] != '\0') {
    unsigned char c = Byte(text[i]);
    if (IsHanziLead(c)) return false;
    // A lead byte alone at the end is a step of one: never past the terminator.
    i += (c > 0x80 && text[i + 1] != '\0') ? 2 : 1;
  }
  return true;
}

bool IsAllAscii(const char* text, std::size_t len) {
  if (len == 0) len = std::strlen(text);
  for (std::size_t i = 0; i < len && text[i] != '\0'; ++i) {
    if (Byte(text[i]) >= 0x80) return false;
  }
  return true;
}

bool IsPunctuation(const char* token) {
  std::size_t len = std::strlen(token);
  if (len == 1) {
    static const char kPunctuation[] = "\t\r \n.,(){}[]:;\"'<>?/~@#$%^&*_-+=";
    return std::strchr(kPunctuation, token[0]) != nullptr;
  }
  if (len == 2) return Byte(token[0]) == 0xA1 || Byte(token[0]) == 0xA3;
  return false;
}

bool IsEnglishText(const char* text) {
  if (text == nullptr || text[0] == '\0') return false;
  std::size_t len = std::strlen(text);
  int letters = 0;
  for (std::size_t k = 0; k < 10; ++k) {
    const char sample = text[k * len / 10];
    if (RulesOutEnglish(Byte(sample))) return false;
    if (IsAsciiLetter(sample)) ++letters;
  }
  if (len > 3 && (RulesOutEnglish(Byte(text[1])) || RulesOutEnglish(Byte(text[len - 2])))) {
    return false;
  }
  return letters >= 5;
}

bool IsEnglishFile(const char* path) {
  char* buffer = nullptr;
  std::size_t n = ReadFileBlock(path, &buffer, 0, 0, true);
  bool english = n > 0 && IsEnglishText(buffer);
  delete[] buffer;
  return english;
}

bool EndsWithPunctuationUtf8(const char* text) {
  std::size_t len = std::strlen(text);
  if (len == 0) return false;
  unsigned char last = Byte(text[len - 1]);
  if (last < 0x80) return std::strchr(";.:)", last) != nullptr;
  if (len <= 3) return false;
  static const char* const kClosingMarks[] = {
      "\xE3\x80\x82",  // 。
      "\xEF\xBC\x9A",  // ：
      "\xEF\xBC\x81",  // ！
      "\xEF\xBC\x9B",  // ；
      "\xEF\xBC\x89",  // ）
  };
  for (const char* mark : kClosingMarks) {
    if (EndsWith(text, len, mark)) return true;
  }
  return false;
}

bool LacksSentenceEndUtf8(const char* text) {
  std::size_t len = std::strlen(text);
  if (len == 0) return true;
  unsigned char last = Byte(text[len - 1]);
  if (last < 0x80) return last != ';';
  if (len <= 3) return true;
  return !EndsWith(text, len, "\xE3\x80\x82") &&  // 。
         !EndsWith(text, len, "\xEF\xBC\x81");    // ！
}

}  // namespace zhtext
