#include "zhtext/classify/token_classify.h"

#include <cstring>

#include "zhtext/classify/char_class.h"
#include "zhtext/classify/token_tables.h"
#include "zhtext/encoding/gbk_chars.h"
#include "zhtext/util/gbk_text.h"
#include "zhtext/util/string_utils.h"

namespace zhtext {

namespace {

inline unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// The token's length: `len` (0: up to the terminator), never past the
// terminator.
inline std::size_t TokenLength(const char* text, std::size_t len) {
  if (len == 0) return std::strlen(text);
  std::size_t n = 0;
  while (n < len && text[n] != '\0') ++n;
  return n;
}

// The character at `p` as the classifiers read it: one byte below 0x80,
// else two bytes (one when the second is the terminator); empty at the
// terminator.
struct TokenChar {
  char bytes[3];
  std::size_t size;

  explicit TokenChar(const char* p) {
    size = 0;
    if (p[0] != '\0') {
      bytes[size++] = p[0];
      if (Byte(p[0]) >= 0x80 && p[1] != '\0') bytes[size++] = p[1];
    }
    bytes[size] = '\0';
  }

  bool IsByte(char c) const { return size == 1 && bytes[0] == c; }
  // A two-byte character of `table` (FindTableChar).
  bool In(const char* table) const {
    return size == 2 && FindTableChar(table, bytes) != nullptr;
  }
};

inline bool IsSign(const TokenChar& c) {
  return c.In(SIGN_CHARS) || c.IsByte('+') || c.IsByte('-');
}
inline bool IsPoint(const TokenChar& c) {
  return c.In(POINT_CHARS) || c.IsByte('.') || c.IsByte('/');
}
inline bool IsPercent(const TokenChar& c) { return c.In(PERCENT_CHARS) || c.IsByte('%'); }

// Full-width digits ０-９ (A3 B0 to A3 B9) from `pos`.
std::size_t SkipFullWidthDigits(const char* text, std::size_t pos, std::size_t len) {
  while (pos + 1 < len && Byte(text[pos]) == 0xA3 && Byte(text[pos + 1]) >= 0xB0 &&
         Byte(text[pos + 1]) <= 0xB9) {
    pos += 2;
  }
  return pos;
}

// ASCII digits from `pos`.
std::size_t SkipAsciiDigits(const char* text, std::size_t pos, std::size_t len) {
  while (pos < len && IsDigit(text[pos])) ++pos;
  return pos;
}

}  // namespace

bool IsChineseNumber(const char* text, std::size_t len) {
  len = TokenLength(text, len);
  const char* fraction = FRACTION_WORD.c_str();
  std::size_t i = 0;
  while (i < len) {
    // strncmp stops at the token's terminator.
    if (std::strncmp(text + i, fraction, 4) == 0) {
      i += 4;
      continue;
    }
    TokenChar p(text + i);
    if (p.size == 0) return false;
    if (FindTableChar(NUMBER_CHARS, p.bytes) != nullptr ||
        (i == 0 && FindTableChar(NUMBER_PREFIX, p.bytes) != nullptr)) {
      i += 2;
      continue;
    }
    return false;
  }
  return true;
}

bool IsNumericQuantity(const char* text, std::size_t len) {
  len = TokenLength(text, len);
  std::size_t pos = 0;
  // Sign.
  TokenChar c(text);
  if (IsSign(c)) pos += c.size;
  if (pos >= len) return true;
  // Full-width digits, then a point and the full-width fraction.
  pos = SkipFullWidthDigits(text, pos, len);
  if (pos >= len) return true;
  c = TokenChar(text + pos);
  if (pos > 0 && IsPoint(c)) {
    pos = SkipFullWidthDigits(text, pos + c.size, len);
  }
  if (pos >= len) return true;
  // ASCII digits, then a point and the ASCII fraction.
  pos = SkipAsciiDigits(text, pos, len);
  if (pos >= len) return true;
  c = TokenChar(text + pos);
  if (pos > 0 && IsPoint(c)) {
    pos = SkipAsciiDigits(text, pos + c.size, len);
    if (pos >= len) return true;
    c = TokenChar(text + pos);
  }
  // A percent sign, or else a run of units.
  if (IsPercent(c)) {
    pos += c.size;
  } else {
    while (pos < len) {
      TokenChar unit(text + pos);
      if (!unit.In(UNIT_CHARS)) break;
      pos += unit.size;
    }
  }
  return pos >= len;
}

bool IsSmallNumber(const char* text, std::size_t len) {
  len = TokenLength(text, len);
  if (len <= 6 && CountTableChars(SMALL_NUMBER_CHARS, text, len) == len / 2) return true;
  return len <= 2 && CountTableChars(DIGIT_CHARS, text, len) == len;
}

bool IsYearNumber(const char* text, std::size_t len) {
  len = TokenLength(text, len);
  if (len >= 3 && CountTableChars(YEAR_CHARS, text, len) == len / 2) return true;
  if (IsAllAscii(text, len) && (len == 4 || (len == 2 && Byte(text[0]) > '4'))) return true;
  if (IsNumericQuantity(text, len)) {
    if (len >= 6) return true;
    if (len == 4) return TokenChar(text).In(YEAR_TENS);
  }
  if (len == 8) return CountTableChars(THOUSAND_ZERO_CHARS, text, len) == 2;
  if (len == 2) return CountTableChars(THOUSAND_CHARS, text, len) == 1;
  return false;
}

unsigned CountForeignNameChars(const char* text) {
  unsigned a = CountTableChars(TRANSLIT_CHARS, text, 0);
  unsigned b = CountTableChars(JAPANESE_NAME_CHARS, text, 0);
  unsigned c = CountTableChars(TRANSLIT_CHARS_SHORT, text, 0);
  unsigned best = a;
  if (b > best) best = b;
  if (c > best) best = c;
  return best;
}

int GetForeignNameKind(const char* text) {
  unsigned a = CountTableChars(TRANSLIT_CHARS, text, 0);
  unsigned b = CountTableChars(TRANSLIT_CHARS_SHORT, text, 0);
  unsigned c = CountTableChars(JAPANESE_NAME_CHARS, text, 0);
  int kind = kTranslitName;
  unsigned best = a;
  if (b > best) {
    best = b;
    kind = kTranslitNameShort;
  }
  if (c > best) kind = kJapaneseName;
  return kind;
}

bool IsForeignName(const char* text) {
  return 2 * static_cast<std::size_t>(CountForeignNameChars(text)) == std::strlen(text);
}

bool MayBeForeignName(const char* text) {
  std::size_t len = std::strlen(text);
  return len > 2 || CountForeignNameChars(text) >= len / 2;
}

}  // namespace zhtext
