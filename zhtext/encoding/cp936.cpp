#include "zhtext/encoding/cp936.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "zhtext/encoding/gbk_table.h"
#include "zhtext/encoding/internal/ascii_run.h"

namespace zhtext {

namespace {

constexpr char16_t kEuro = 0x20AC;
constexpr char16_t kReplacement = 0xFFFD;

// The reverse of kGbkTable for two-byte codes, indexed by
// (lead - 0x80) * 256 + trail: the unit (0 where the code has none), and
// its UTF-8 form packed as byte0 | byte1 << 8 | byte2 << 16 | length << 24.
struct ReverseTable {
  char16_t units[128 * 256];
  std::uint32_t utf8[128 * 256];
  ReverseTable() {
    std::memset(units, 0, sizeof(units));
    std::memset(utf8, 0, sizeof(utf8));
    for (unsigned u = 0x80; u < 0x10000; ++u) {
      std::uint16_t code = kGbkTable[u];
      if (code < 0x8100) continue;
      units[code - 0x8000] = static_cast<char16_t>(u);
      if (u <= 0x7FF) {
        utf8[code - 0x8000] = (0xC0 | (u >> 6)) | (0x80 | (u & 0x3F)) << 8 | 2u << 24;
      } else {
        utf8[code - 0x8000] = (0xE0 | (u >> 12)) | (0x80 | ((u >> 6) & 0x3F)) << 8 |
                              (0x80 | (u & 0x3F)) << 16 | 3u << 24;
      }
    }
  }
};

const ReverseTable& Tables() {
  static const ReverseTable table;
  return table;
}

const char16_t* Reverse() { return Tables().units; }

// Writes the GBK bytes of a table entry (one byte for the euro sign, else
// lead then trail) at `out`; returns the end.
inline char* PutCode(std::uint16_t code, char* out) {
  if (code < 0x100) {
    *out++ = static_cast<char>(code);
  } else {
    *out++ = static_cast<char>(code >> 8);
    *out++ = static_cast<char>(code & 0xFF);
  }
  return out;
}

inline bool AllAscii8(const unsigned char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof(word));
  return (word & 0x8080808080808080ull) == 0;
}

// Number of bytes equal to `b` among the first `len` of `s`.
std::size_t CountByte(const unsigned char* s, std::size_t len, unsigned char b) {
  std::size_t n = 0;
  const unsigned char* end = s + len;
  while (const void* hit = std::memchr(s, b, static_cast<std::size_t>(end - s))) {
    ++n;
    s = static_cast<const unsigned char*>(hit) + 1;
  }
  return n;
}

// Decodes GBK at `s`, calling put(unit) per character. Stops at the first
// invalid sequence and returns its byte offset, or `len` when all is valid.
template <typename Put>
inline std::size_t DecodeStrict(const unsigned char* s, std::size_t len, Put put) {
  const char16_t* reverse = Reverse();
  std::size_t i = 0;
  while (i < len) {
    while (i + 8 <= len && AllAscii8(s + i)) {
      for (int k = 0; k < 8; ++k) put(static_cast<char16_t>(s[i + k]));
      i += 8;
    }
    if (i >= len) break;
    unsigned char c = s[i];
    if (c < 0x80) {
      put(static_cast<char16_t>(c));
      i += 1;
    } else if (c == 0x80) {
      put(kEuro);
      i += 1;
    } else {
      if (i + 1 >= len) return i;
      char16_t u = reverse[(c - 0x80) * 256 + s[i + 1]];
      if (u == 0) return i;
      put(u);
      i += 2;
    }
  }
  return len;
}

// Encodes units as GBK at `out` until the end or the first unit without a
// code; returns the number of units encoded and sets `*end` past the bytes.
inline std::size_t EncodeStrict(const char16_t* src, std::size_t count, char* out, char** end) {
  std::size_t i = 0;
  for (; i < count; ++i) {
    i = internal::CopyAsciiUnits(src, i, count, &out);
    if (i == count) break;
    char16_t u = src[i];
    if (u < 0x80) {
      *out++ = static_cast<char>(u);
      continue;
    }
    std::uint16_t code = kGbkTable[u];
    if (code == 0) break;
    out = PutCode(code, out);
  }
  *end = out;
  return i;
}

}  // namespace

char16_t Cp936ToUnicode(unsigned code) {
  if (code < 0x80) return static_cast<char16_t>(code);
  if (code == 0x80) return kEuro;
  if (code < 0x8000 || code > 0xFFFF) return 0;
  return Reverse()[code - 0x8000];
}

long DecodeCp936(const char* src, std::size_t len, char16_t* dst, std::size_t* validLen) {
  char16_t* out = dst;
  std::size_t end = DecodeStrict(reinterpret_cast<const unsigned char*>(src), len,
                                 [&](char16_t u) { *out++ = u; });
  if (validLen != nullptr) *validLen = end;
  return end == len ? static_cast<long>(out - dst) : -1;
}

std::size_t DecodeCp936Lenient(const char* src, std::size_t len, char16_t* dst,
                               std::size_t* replaced) {
  const unsigned char* s = reinterpret_cast<const unsigned char*>(src);
  std::size_t bad = 0;
  char16_t* out = dst;
  std::size_t i = 0;
  while (i < len) {
    std::size_t end = DecodeStrict(s + i, len - i, [&](char16_t u) { *out++ = u; });
    i += end;
    if (i >= len) break;
    // An invalid sequence at i: a lone lead byte at the end, or a two-byte
    // sequence without a unit (taken as one character, unless its second
    // byte is ASCII, which then starts the next character).
    ++bad;
    *out++ = kReplacement;
    i += (i + 1 < len && s[i + 1] >= 0x80) ? 2 : 1;
  }
  if (replaced != nullptr) *replaced = bad;
  return static_cast<std::size_t>(out - dst);
}

long EncodeCp936(const char16_t* src, std::size_t count, char* dst, std::size_t* validCount) {
  char* end = dst;
  std::size_t done = EncodeStrict(src, count, dst, &end);
  if (validCount != nullptr) *validCount = done;
  return done == count ? static_cast<long>(end - dst) : -1;
}

int GbkToUtf8(const char* text, std::string& out) {
  const std::size_t len = std::strlen(text);
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  const std::uint32_t* table = Tables().utf8;
  // A two-byte character gives at most 3 UTF-8 bytes, the euro byte 0x80
  // gives 3, ASCII 1; stores of a whole character may run 1 byte ahead.
  std::string utf8(len + len / 2 + 2 * CountByte(s, len, 0x80) + 4, '\0');
  char* p = &utf8[0];
  long units = 0;
  std::size_t i = 0;
  while (i < len) {
    if (i + 8 <= len && AllAscii8(s + i)) {
      std::memcpy(p, s + i, 8);
      p += 8;
      i += 8;
      units += 8;
      continue;
    }
    unsigned char c = s[i];
    if (c < 0x80) {
      *p++ = static_cast<char>(c);
      i += 1;
    } else if (c == 0x80) {
      std::memcpy(p, "\xE2\x82\xAC", 3);
      p += 3;
      i += 1;
    } else {
      std::uint32_t e = i + 1 < len ? table[(c - 0x80) * 256 + s[i + 1]] : 0;
      if (e == 0) {
        out.assign(text, len);
        return -1;
      }
      p[0] = static_cast<char>(e);
      p[1] = static_cast<char>(e >> 8);
      p[2] = static_cast<char>(e >> 16);
      p += e >> 24;
      i += 2;
    }
    ++units;
  }
  utf8.resize(static_cast<std::size_t>(p - utf8.data()));
  out.swap(utf8);
  return static_cast<int>(units);
}

int GbkToWide(const std::string& in, std::u16string& out) {
  std::size_t len = std::strlen(in.c_str());
  out.resize(len);
  char16_t* p = &out[0];
  std::size_t end = DecodeStrict(reinterpret_cast<const unsigned char*>(in.data()), len,
                                 [&](char16_t u) { *p++ = u; });
  // On an invalid sequence the units decoded before it stay.
  out.resize(static_cast<std::size_t>(p - out.data()));
  return end == len ? static_cast<int>(out.size()) : -1;
}

int WideToGbk(const std::u16string& in, std::string& out) {
  std::size_t count = std::char_traits<char16_t>::length(in.c_str());
  out.resize(count * 2);
  char* end = &out[0];
  std::size_t done = EncodeStrict(in.data(), count, &out[0], &end);
  // On a unit without a code the bytes converted before it stay.
  out.resize(static_cast<std::size_t>(end - out.data()));
  return done == count ? static_cast<int>(out.size()) : -1;
}

int Utf8ToGbk(const char* text, std::string& out) {
  // Decodes as Utf8ToUnicode does (continuation bytes taken as they come,
  // other bytes that start no 1-3 byte form skipped, a form cut short by the
  // terminator ends the text) and encodes each unit at once; a zero unit or
  // a unit without a code ends the text there.
  const std::size_t len = std::strlen(text);
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  out.resize(len);  // no unit takes more GBK bytes than its UTF-8 form
  char* p = &out[0];
  std::size_t i = 0;
  while (i < len) {
    if (i + 8 <= len && AllAscii8(s + i)) {
      std::memcpy(p, s + i, 8);
      p += 8;
      i += 8;
      continue;
    }
    unsigned char b0 = s[i];
    char16_t u;
    if (b0 < 0x80) {
      u = b0;
      i += 1;
    } else if (b0 >= 0xC0 && b0 <= 0xDF) {
      if (s[i + 1] == 0) break;
      u = static_cast<char16_t>(((b0 & 0x1F) << 6) + (s[i + 1] & 0x3F));
      i += 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      if (s[i + 1] == 0 || s[i + 2] == 0) break;
      u = static_cast<char16_t>(((b0 & 0x0F) << 12) + ((s[i + 1] & 0x3F) << 6) + (s[i + 2] & 0x3F));
      i += 3;
    } else {
      i += 1;
      continue;
    }
    std::uint16_t code = kGbkTable[u];
    if (code == 0) break;
    p = PutCode(code, p);
  }
  out.resize(static_cast<std::size_t>(p - out.data()));
  return 1;
}

}  // namespace zhtext
