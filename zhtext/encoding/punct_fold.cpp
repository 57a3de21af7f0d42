#include "zhtext/encoding/punct_fold.h"

#include "zhtext/encoding/gbk_table.h"
#include "zhtext/encoding/punct_tables.h"

namespace zhtext {

namespace {

inline unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// The byte a two-byte character folds to in the matching form, or 0 when it
// is kept.
char MatchByte(unsigned char lead, unsigned char trail) {
  if (lead != 0xA1 && lead != 0xA3 && lead != 0xAA) return '\0';
  unsigned code = lead * 256u + trail;
  for (const MATCH_FOLD& fold : MATCH_FOLDS) {
    if (fold.code == code) return fold.result;
  }
  if (lead == 0xA3) {
    if (trail >= 0xB0 && trail <= 0xB9) return static_cast<char>(trail - 0x80);
    if (trail >= 0xC1 && trail <= 0xDA) return static_cast<char>(trail - 0x60);
    if (trail >= 0xE1 && trail <= 0xFA) return static_cast<char>(trail - 0x80);
  }
  return '\0';
}

}  // namespace

std::size_t NormalizeForMatch(char* buf, std::size_t len, bool keepAsciiSeparators) {
  std::size_t w = 0;
  for (std::size_t r = 0; r < len;) {
    unsigned char b = Byte(buf[r]);
    if (b >= 0x80 && r + 1 < len) {
      unsigned char trail = Byte(buf[r + 1]);
      r += 2;
      char folded = MatchByte(b, trail);
      if (folded != '\0') {
        buf[w++] = folded;
      } else {
        buf[w++] = static_cast<char>(b);
        buf[w++] = static_cast<char>(trail);
      }
      continue;
    }
    ++r;
    if (!keepAsciiSeparators && (b == ',' || b == '/' || b == '_')) {
      buf[w++] = '\t';
    } else {
      buf[w++] = static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
    }
  }
  buf[w] = '\0';
  return w;
}

bool ToFullWidthPunct(char ch, char* out) {
  for (std::size_t i = 0; i < kFullWidthPunctCount; ++i) {
    if (FULLWIDTH_PUNCT_KEYS[i] == ch) {
      unsigned code = kGbkTable[FULLWIDTH_PUNCT_CHARS[i]];
      out[0] = static_cast<char>(code >> 8);
      out[1] = static_cast<char>(code & 0xFF);
      out[2] = '\0';
      return true;
    }
  }
  out[0] = ch;
  out[1] = '\0';
  return false;
}

}  // namespace zhtext
