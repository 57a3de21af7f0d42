#include "zhtext/encoding/html_text.h"

#include <cstring>

#include "zhtext/encoding/url_decode.h"
#include "zhtext/encoding/utf8_coder.h"

// One pass writes the text already compacted: the rules decide what they
// write as if the whole text were written first and the spaces collapsed
// afterwards (the capacity and the "previous byte" of the rules count the
// bytes of that first writing), while the output keeps only what the
// collapsing would keep. A zero byte ends the text, so the pass stops there.
//
// Searches for the end of a comment, script or tag remember their last
// answer: the first occurrence at or after a position is also the first one
// at or after any later position up to it, and a failed search fails for
// every later position. So a page full of unclosed markup is still read in
// linear time.

namespace zhtext {

namespace {

inline unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

inline bool IsAsciiLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

inline bool IsUpperHexDigit(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// The bytes at which a rule other than the plain copy may apply.
struct SpecialBytes {
  bool is[256] = {};
  constexpr SpecialBytes() {
    is[static_cast<unsigned char>('<')] = true;
    is[static_cast<unsigned char>('&')] = true;
    is[static_cast<unsigned char>('%')] = true;
    is[static_cast<unsigned char>('n')] = true;
    is[static_cast<unsigned char>(' ')] = true;
    is[0] = true;
  }
};
constexpr SpecialBytes kSpecial;

// The first occurrence of the `n`-byte pattern `pat` lying wholly in
// [from, end), or null.
const char* FindBytes(const char* from, const char* end, const char* pat, std::size_t n) {
  while (static_cast<std::size_t>(end - from) >= n) {
    const void* hit = std::memchr(from, pat[0], static_cast<std::size_t>(end - from) - n + 1);
    if (hit == nullptr) return nullptr;
    const char* q = static_cast<const char*>(hit);
    if (std::memcmp(q, pat, n) == 0) return q;
    from = q + 1;
  }
  return nullptr;
}

// A search for one pattern that remembers its last answer.
class Finder {
 public:
  Finder(const char* pat, std::size_t n, const char* end) : m_pPat(pat), m_nLen(n), m_pEnd(end) {}

  const char* From(const char* p) {
    if (!m_bValid || p < m_pFrom || (m_pFound != nullptr && p > m_pFound)) {
      m_pFrom = p;
      m_pFound = FindBytes(p, m_pEnd, m_pPat, m_nLen);
      m_bValid = true;
    }
    return m_pFound;
  }

 private:
  const char* m_pPat;
  std::size_t m_nLen;
  const char* m_pEnd;
  const char* m_pFrom = nullptr;
  const char* m_pFound = nullptr;
  bool m_bValid = false;
};

// atoi of the bytes [p, stop): leading white space, a sign, digits.
int ReadDecimal(const char* p, const char* stop) {
  while (p < stop && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) ++p;
  bool negative = false;
  if (p < stop && (*p == '+' || *p == '-')) negative = *p++ == '-';
  int v = 0;
  while (p < stop && *p >= '0' && *p <= '9') v = v * 10 + (*p++ - '0');
  return negative ? -v : v;
}

bool IsScriptOpen(const char* p) {
  static const char kScript[] = "script>";
  for (int i = 0; i < 7; ++i) {
    unsigned char c = Byte(p[i]);
    if ((IsAsciiLetter(c) ? (c | 0x20) : c) != Byte(kScript[i])) return false;
  }
  return true;
}

class TextWriter {
 public:
  explicit TextWriter(char* out) : m_pOut(out) {}

  // Writes one byte of the text (not a zero byte).
  void Put(unsigned char b) {
    ++m_nWritten;
    m_nPrev = b;
    if (b == ' ') {
      if (m_bDropSpace) return;
      m_bDropSpace = true;
    } else {
      m_bDropSpace = false;
    }
    *m_pOut++ = static_cast<char>(b);
  }

  // Copies `n` bytes holding no SPACE and no zero byte.
  void PutRun(const char* p, std::size_t n) {
    std::memcpy(m_pOut, p, n);
    m_pOut += n;
    m_nWritten += n;
    m_nPrev = Byte(p[n - 1]);
    m_bDropSpace = false;
  }

  bool PrevIsSpace() const { return m_nPrev == ' '; }
  std::size_t written() const { return m_nWritten; }
  char* end() const { return m_pOut; }

 private:
  char* m_pOut;
  std::size_t m_nWritten = 0;  // bytes the rules wrote, spaces not yet collapsed
  int m_nPrev = -1;            // the last of those bytes, -1 before the first
  bool m_bDropSpace = true;    // a SPACE now would come first or follow a kept one
};

}  // namespace

int HtmlToText(const char* data, std::size_t dataLen, char* out, std::size_t* outLen) {
  const std::size_t cap = *outLen;
  const char* p = data;
  const char* const end = data + dataLen;
  if (dataLen >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) p += 3;
  const char* const begin = p;

  TextWriter w(out);
  Finder tagEnd(">", 1, end);
  Finder commentEnd("-->", 3, end);
  Finder scriptEndSmall("</s", 3, end);
  Finder scriptEndCapital("</S", 3, end);
  Finder entityEnd(";", 1, end);

  while (p < end && (cap == 0 || w.written() < cap)) {
    unsigned char c = Byte(*p);
    if (!kSpecial.is[c]) {
      const char* q = p + 1;
      while (q < end && !kSpecial.is[Byte(*q)]) ++q;
      std::size_t n = static_cast<std::size_t>(q - p);
      if (cap != 0 && n > cap - w.written()) n = cap - w.written();
      w.PutRun(p, n);
      p += n;
      continue;
    }
    switch (c) {
      case '<':
        if (p + 1 < end && (IsAsciiLetter(Byte(p[1])) || p[1] == '!' || p[1] == '/' || p[1] == '?')) {
          if (p + 4 < end && p[1] == '!' && p[2] == '-' && p[3] == '-') {
            if (const char* q = commentEnd.From(p)) {
              w.Put(' ');
              p = q + 3;
              continue;
            }
          } else if (p + 15 < end && IsScriptOpen(p + 1)) {
            const char* q = scriptEndSmall.From(p + 7);
            if (q == nullptr) q = scriptEndCapital.From(p + 7);
            if (q != nullptr) {
              if (const char* g = tagEnd.From(q)) {
                w.Put(' ');
                p = g + 1;
                continue;
              }
            }
          } else {
            const char* g = tagEnd.From(p);
            if (g != nullptr && g - p < 500) {
              w.Put(' ');
              p = g + 1;
              continue;
            }
          }
        }
        break;
      case '&':
        if (p + 1 < end) {
          const char* s = entityEnd.From(p);
          if (s == nullptr) break;
          if (p[1] == '#' && s - p <= 10) {
            int v = ReadDecimal(p + 2, s);
            if (v >= 127 && v <= 254) {
              w.Put(' ');
            } else if (v > 0) {
              char utf8[6];
              int n = EncodeUtf8(static_cast<unsigned>(v), utf8, sizeof utf8);
              for (int i = 0; i < n; ++i) w.Put(Byte(utf8[i]));
            }
            p = s + 1;
            continue;
          }
          if ((p[1] == 'l' || p[1] == 'g') && s == p + 3 && p[2] == 't') {
            w.Put(p[1] == 'l' ? '<' : '>');
            p += 4;
            continue;
          }
          if (IsAsciiLetter(Byte(p[1])) && s - p < 10) {
            w.Put(' ');
            p = s + 1;
            continue;
          }
        }
        break;
      case '%':
        if (p + 2 < end && IsUpperHexDigit(Byte(p[1])) && IsUpperHexDigit(Byte(p[2]))) {
          unsigned char b = HexPairToByte(p + 1);
          if (b != 0) w.Put(b);
          p += 3;
          continue;
        }
        break;
      case '\0':
        if (p + 1 < end && p[1] == '\0') {
          ++p;
          continue;
        }
        // Any other zero byte ends the text.
        *w.end() = '\0';
        *outLen = static_cast<std::size_t>(w.end() - out);
        return 0;
      case 'n':
        if (p + 5 < end && (p == begin || Byte(p[-1]) < 0x80) && std::memcmp(p, "nbsp;", 5) == 0) {
          if (w.PrevIsSpace()) w.Put(' ');
          p += 5;
          continue;
        }
        break;
      case ' ':
        if (!w.PrevIsSpace()) w.Put(' ');
        ++p;
        continue;
    }
    w.Put(c);
    ++p;
  }
  *w.end() = '\0';
  *outLen = static_cast<std::size_t>(w.end() - out);
  return 0;
}

}  // namespace zhtext
