#include "zhtext/encoding/cp936.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "zhtext/encoding/gbk_table.h"
#include "zhtext/encoding/utf8_coder.h"

namespace zhtext {

namespace {

constexpr char16_t kEuro = 0x20AC;
constexpr char16_t kReplacement = 0xFFFD;

// The reverse of kGbkTable for two-byte codes, indexed by
// (lead - 0x80) * 256 + trail; 0 where the code has no unit.
struct ReverseTable {
  char16_t units[128 * 256];
  ReverseTable() {
    std::memset(units, 0, sizeof(units));
    for (unsigned u = 0x80; u < 0x10000; ++u) {
      std::uint16_t code = kGbkTable[u];
      if (code >= 0x8100) units[code - 0x8000] = static_cast<char16_t>(u);
    }
  }
};

const char16_t* Reverse() {
  static const ReverseTable table;
  return table.units;
}

inline bool AllAscii8(const unsigned char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof(word));
  return (word & 0x8080808080808080ull) == 0;
}

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
    char16_t u = src[i];
    if (u < 0x80) {
      *out++ = static_cast<char>(u);
      continue;
    }
    std::uint16_t code = kGbkTable[u];
    if (code == 0) break;
    if (code < 0x100) {
      *out++ = static_cast<char>(code);
    } else {
      *out++ = static_cast<char>(code >> 8);
      *out++ = static_cast<char>(code & 0xFF);
    }
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
  std::size_t len = std::strlen(text);
  // Every GBK byte gives at most 3 UTF-8 bytes (the euro sign, 0x80).
  std::string utf8(len * 3, '\0');
  char* p = &utf8[0];
  long units = 0;
  std::size_t end = DecodeStrict(reinterpret_cast<const unsigned char*>(text), len,
                                 [&](char16_t u) {
                                   p = PutUtf8(u, p);
                                   ++units;
                                 });
  if (end != len) {
    out.assign(text, len);
    return -1;
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
  char16_t* units = nullptr;
  int count = 0;
  Utf8ToUnicode(text, &units, &count);
  out.resize(static_cast<std::size_t>(count) * 2);
  // A unit without a code, or a zero unit, ends the text.
  char* end = &out[0];
  EncodeStrict(units, std::char_traits<char16_t>::length(units), &out[0], &end);
  out.resize(static_cast<std::size_t>(end - out.data()));
  std::free(units);
  return 1;
}

}  // namespace zhtext
