#include "zhtext/encoding/utf8_coder.h"

#include <cstdlib>
#include <cstring>

#include "zhtext/encoding/internal/ascii_run.h"
#include "zhtext/encoding/internal/utf8_scan.h"

namespace zhtext {

unsigned g_nBadChars = 0;

namespace {

constexpr char16_t kNoUnit = 0xFEFF;

inline unsigned char Byte(const char* p) { return static_cast<unsigned char>(*p); }
inline bool IsContinuation(unsigned char c) { return internal::IsUtf8Continuation(c); }

// Writes `u` as 1 to 3 UTF-8 bytes at `out`; returns the end.
inline char* PutUtf8(char16_t u, char* out) {
  if (u <= 0x7F) {
    *out++ = static_cast<char>(u);
  } else if (u <= 0x7FF) {
    *out++ = static_cast<char>(0xC0 | (u >> 6));
    *out++ = static_cast<char>(0x80 | (u & 0x3F));
  } else {
    *out++ = static_cast<char>(0xE0 | (u >> 12));
    *out++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (u & 0x3F));
  }
  return out;
}

}  // namespace

int DecodeUtf8Char(const char* p, unsigned len, char16_t* unit) {
  *unit = kNoUnit;
  if (len == 0) return 1;
  unsigned char b0 = Byte(p);
  if (b0 < 0x80) {
    *unit = b0;
    return 1;
  }
  if ((b0 & 0xE0) == 0xC0) {
    if (len > 1 && IsContinuation(Byte(p + 1))) {
      *unit = static_cast<char16_t>(((b0 & 0x1F) << 6) + (Byte(p + 1) & 0x3F));
    }
    return 2;
  }
  if ((b0 & 0xF0) == 0xE0) {
    if (len > 2 && IsContinuation(Byte(p + 1)) && IsContinuation(Byte(p + 2))) {
      *unit = static_cast<char16_t>(((b0 & 0x0F) << 12) + ((Byte(p + 1) & 0x3F) << 6) +
                                    (Byte(p + 2) & 0x3F));
    }
    return 3;
  }
  if ((b0 & 0xF8) == 0xF0) return 4;
  if ((b0 & 0xFC) == 0xF8) return 5;
  if ((b0 & 0xFE) == 0xFC) return 6;
  return 1;
}

unsigned Utf8ToUTF16(const char* src, unsigned srcLen, char* dst, unsigned* dstLen) {
  g_nBadChars = 0;
  unsigned capacity = *dstLen;
  unsigned read = 0;
  unsigned written = 0;
  if (srcLen == 0) {
    *dstLen = 0;
    return 0;
  }
  while (written + 1 < capacity) {
    char16_t unit;
    read += static_cast<unsigned>(DecodeUtf8Char(src + read, srcLen - read, &unit));
    if (unit == kNoUnit) ++g_nBadChars;
    dst[written] = static_cast<char>(unit & 0xFF);
    dst[written + 1] = static_cast<char>(unit >> 8);
    written += 2;
    if (read >= srcLen) break;
  }
  *dstLen = written;
  return read;
}

int Utf8ToUnicode(const char* text, char16_t** units, int* count) {
  std::size_t len = std::strlen(text);
  char16_t* out = static_cast<char16_t*>(std::calloc(len + 1, sizeof(char16_t)));
  if (out == nullptr) std::abort();
  std::size_t n = 0;
  const char* p = text;
  while (*p != '\0') {
    unsigned char b0 = Byte(p);
    if (b0 < 0x80) {
      out[n++] = b0;
      p += 1;
    } else if (b0 >= 0xC0 && b0 <= 0xDF) {
      if (p[1] == '\0') break;
      out[n++] = static_cast<char16_t>(((b0 & 0x1F) << 6) + (Byte(p + 1) & 0x3F));
      p += 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      if (p[1] == '\0' || p[2] == '\0') break;
      out[n++] = static_cast<char16_t>(((b0 & 0x0F) << 12) + ((Byte(p + 1) & 0x3F) << 6) +
                                       (Byte(p + 2) & 0x3F));
      p += 3;
    } else {
      p += 1;
    }
  }
  *units = out;
  *count = static_cast<int>(n);
  return 0;
}

std::size_t UnitsToUtf8(const char16_t* units, std::size_t count, char* out) {
  char* start = out;
  std::size_t i = 0;
  while (i < count) {
    i = internal::CopyAsciiUnits(units, i, count, &out);
    if (i == count) break;
    out = PutUtf8(units[i++], out);
  }
  return static_cast<std::size_t>(out - start);
}

int UnicodeToUtf8(const char16_t* units, unsigned byteLen, char** out) {
  std::size_t n = byteLen / 2;
  char* buffer = static_cast<char*>(std::malloc(3 * n + 1));
  if (buffer == nullptr) std::abort();
  std::size_t used = UnitsToUtf8(units, n, buffer);
  std::memset(buffer + used, 0, 3 * n + 1 - used);
  *out = buffer;
  return 0;
}

int EncodeUtf8(unsigned codePoint, char* out, unsigned size) {
  if (out == nullptr || size < 6 || codePoint > 0x7FFFFFFFu) return 0;
  if (codePoint <= 0x7F) {
    out[0] = static_cast<char>(codePoint);
    return 1;
  }
  int n;
  unsigned char lead;
  if (codePoint <= 0x7FF) {
    n = 2;
    lead = 0xC0;
  } else if (codePoint <= 0xFFFF) {
    n = 3;
    lead = 0xE0;
  } else if (codePoint <= 0x1FFFFF) {
    n = 4;
    lead = 0xF0;
  } else if (codePoint <= 0x3FFFFFF) {
    n = 5;
    lead = 0xF8;
  } else {
    n = 6;
    lead = 0xFC;
  }
  for (int i = n - 1; i > 0; --i) {
    out[i] = static_cast<char>(0x80 | (codePoint & 0x3F));
    codePoint >>= 6;
  }
  out[0] = static_cast<char>(lead | codePoint);
  return n;
}

std::size_t Utf8ToUnits(const char* src, std::size_t len, char16_t* dst, std::size_t* dropped) {
  std::size_t n = 0;
  std::size_t skipped = internal::ScanUtf8Units(src, len, [&](char16_t u) { dst[n++] = u; });
  if (dropped != nullptr) *dropped = skipped;
  return n;
}

int Utf8ToUcs2(const char* text, char* units) {
  int n = 0;
  char* out = units;
  internal::ScanUtf8Units(text, std::strlen(text), [&](char16_t u) {
    *out++ = static_cast<char>(u & 0xFF);
    *out++ = static_cast<char>(u >> 8);
    ++n;
  });
  *out = '\0';
  return n;
}

}  // namespace zhtext
