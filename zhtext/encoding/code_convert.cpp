#include "zhtext/encoding/code_convert.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "zhtext/encoding/code_detect.h"
#include "zhtext/encoding/code_numbers.h"
#include "zhtext/encoding/code_tables.h"
#include "zhtext/encoding/cp936.h"
#include "zhtext/encoding/gbk_table.h"
#include "zhtext/encoding/utf8_coder.h"

namespace zhtext {

namespace {

constexpr char16_t kNoUnit = 0xFEFF;

bool TablesLoaded() { return g_pGbkTable != nullptr && g_pDbcs2Table != nullptr; }

const std::uint16_t* TableOf(int code) {
  if (code == CODE_GBK) return g_pGbkTable;
  if (code == CODE_DBCS2) return g_pDbcs2Table;
  return nullptr;
}

inline void PutUnit(char16_t unit, char* out) {
  out[0] = static_cast<char>(unit & 0xFF);
  out[1] = static_cast<char>(unit >> 8);
}

// Decodes double-byte text through `table` (null: no character has a unit)
// into units, until `len` bytes are consumed or `maxUnits` units written.
// Sets `*consumed` and returns the units written; `*bad` counts the U+FEFF
// written in place of undecodable characters.
std::size_t DecodeDbcs(const std::uint16_t* table, const unsigned char* src, std::size_t len,
                       char16_t* out, std::size_t maxUnits, std::size_t* consumed, unsigned* bad) {
  std::size_t r = 0, w = 0;
  while (r < len && w < maxUnits) {
    const unsigned char b = src[r];
    char16_t unit;
    if (b < 0x80) {
      unit = b;
      r += 1;
    } else if (r + 1 < len) {
      unit = table != nullptr ? table[CodeTableIndex(b, src[r + 1])] : 0;
      if (unit == 0) unit = kNoUnit;
      r += 2;
    } else {
      unit = kNoUnit;
      r += 1;
    }
    if (unit == kNoUnit) ++*bad;
    out[w++] = unit;
  }
  *consumed = r;
  return w;
}

// The whole of a double-byte text as units, g_nBadChars counting the
// undecodable characters.
std::vector<char16_t> DbcsUnits(int code, const char* src, std::size_t len) {
  std::vector<char16_t> units(len);
  std::size_t consumed = 0;
  g_nBadChars = 0;
  units.resize(DecodeDbcs(TableOf(code), reinterpret_cast<const unsigned char*>(src), len,
                          units.data(), len, &consumed, &g_nBadChars));
  return units;
}

// `len` bytes of little-endian UTF-16 as units (an odd last byte dropped).
std::vector<char16_t> Utf16Units(const char* src, std::size_t len) {
  std::vector<char16_t> units(len / 2);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(src);
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8);
  }
  return units;
}

// The zero-terminated text of a buffer that may lack its terminator: up to
// the first zero byte or `len` bytes.
std::string TextOf(const char* src, unsigned len) {
  const void* zero = std::memchr(src, 0, len);
  return std::string(src, zero != nullptr ? static_cast<const char*>(zero) - src : len);
}

// Resolves CODE_AUTO; false (with the outputs emptied by the caller) for a
// code no conversion takes.
bool ResolveCode(int* code, const char* src, unsigned srcLen) {
  if (*code == CODE_AUTO) *code = DetectCode(src, srcLen);
  return *code == CODE_UTF8 || *code == CODE_GBK || *code == CODE_DBCS2 || *code == CODE_UTF16;
}

// Copies `len` bytes, cut to `limit` when it is not 0, and a terminator.
unsigned CopyLimited(const char* text, std::size_t len, unsigned limit, char* dst,
                     unsigned* dstLen) {
  if (limit != 0 && len > limit) len = limit;
  std::memcpy(dst, text, len);
  dst[len] = '\0';
  *dstLen = static_cast<unsigned>(len);
  return *dstLen;
}

}  // namespace

unsigned DbcsToUTF16(int code, const char* src, unsigned srcLen, char* dst, unsigned* dstLen) {
  g_nBadChars = 0;
  const unsigned capacity = *dstLen;
  *dstLen = 0;
  if (srcLen == 0 || !TablesLoaded() || capacity < 2) return 0;
  // Units go out while the write position is below capacity - 1.
  const std::size_t maxUnits = capacity / 2;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(src);
  const std::uint16_t* table = TableOf(code);
  std::size_t consumed = 0, written = 0;
  char16_t units[1024];
  while (consumed < srcLen && written < maxUnits) {
    std::size_t used = 0;
    const std::size_t want = maxUnits - written < 1024 ? maxUnits - written : 1024;
    const std::size_t n =
        DecodeDbcs(table, bytes + consumed, srcLen - consumed, units, want, &used, &g_nBadChars);
    for (std::size_t i = 0; i < n; ++i) PutUnit(units[i], dst + 2 * (written + i));
    written += n;
    consumed += used;
  }
  *dstLen = static_cast<unsigned>(2 * written);
  return static_cast<unsigned>(consumed);
}

unsigned ConvertToGBK(int code, const char* src, unsigned srcLen, char* dst, unsigned* dstLen) {
  *dstLen = 0;
  dst[0] = '\0';
  if (code != CODE_GBK && !TablesLoaded() && (code == CODE_AUTO || code == CODE_DBCS2)) return 0;
  if (!ResolveCode(&code, src, srcLen)) return 0;
  switch (code) {
    case CODE_UTF8: {
      std::string gbk;
      Utf8ToGbk(TextOf(src, srcLen).c_str(), gbk);
      return CopyLimited(gbk.data(), gbk.size(), 0, dst, dstLen);
    }
    case CODE_GBK:
      return CopyLimited(src, srcLen, 0, dst, dstLen);
    case CODE_DBCS2: {
      const std::vector<char16_t> units = DbcsUnits(code, src, srcLen);
      std::size_t replaced = 0;
      const std::size_t n = UnitsToGbk(units.data(), units.size(), dst, &replaced);
      dst[n] = '\0';
      g_nBadChars = static_cast<unsigned>(replaced);
      *dstLen = static_cast<unsigned>(n);
      return *dstLen;
    }
    default: {  // CODE_UTF16
      const std::vector<char16_t> units = Utf16Units(src, srcLen);
      const std::size_t n = UnitsToGbk(units.data(), units.size(), dst);
      dst[n] = '\0';
      dst[n + 1] = '\0';
      *dstLen = static_cast<unsigned>(n);
      return *dstLen;
    }
  }
}

unsigned ConvertToUTF16(int code, const char* src, unsigned srcLen, char* dst, unsigned* dstLen) {
  const unsigned capacity = *dstLen;
  *dstLen = 0;
  if (!TablesLoaded() && code != CODE_UTF8 && code != CODE_UTF16) return 0;
  if (!ResolveCode(&code, src, srcLen)) return 0;
  switch (code) {
    case CODE_UTF8:
      *dstLen = capacity;
      return Utf8ToUTF16(src, srcLen, dst, dstLen);
    case CODE_GBK:
    case CODE_DBCS2:
      *dstLen = capacity;
      return DbcsToUTF16(code, src, srcLen, dst, dstLen);
    default: {  // CODE_UTF16
      const unsigned n = capacity != 0 && capacity < srcLen ? capacity : srcLen;
      std::memcpy(dst, src, n);
      if (capacity == 0 || n < capacity) dst[n] = '\0';
      *dstLen = n;
      return n;
    }
  }
}

unsigned ConvertToUTF8(int code, const char* src, unsigned srcLen, char* dst, unsigned* dstLen) {
  const unsigned limit = *dstLen;
  *dstLen = 0;
  dst[0] = '\0';
  if (!TablesLoaded() && (code == CODE_AUTO || code == CODE_DBCS2)) return 0;
  if (!ResolveCode(&code, src, srcLen)) return 0;
  switch (code) {
    case CODE_UTF8:
      return CopyLimited(src, srcLen, limit, dst, dstLen);
    case CODE_GBK: {
      std::string utf8;
      GbkToUtf8(TextOf(src, srcLen).c_str(), utf8);
      return CopyLimited(utf8.data(), utf8.size(), limit, dst, dstLen);
    }
    case CODE_DBCS2: {
      const std::vector<char16_t> units = DbcsUnits(code, src, srcLen);
      std::string utf8(3 * units.size(), '\0');
      utf8.resize(UnitsToUtf8(units.data(), units.size(), &utf8[0]));
      return CopyLimited(utf8.data(), utf8.size(), limit, dst, dstLen);
    }
    default: {  // CODE_UTF16
      const unsigned n = limit != 0 && limit < srcLen ? limit : srcLen;
      const std::vector<char16_t> units = Utf16Units(src, n);
      std::string utf8(3 * units.size(), '\0');
      utf8.resize(UnitsToUtf8(units.data(), units.size(), &utf8[0]));
      return CopyLimited(utf8.data(), utf8.size(), limit, dst, dstLen);
    }
  }
}

}  // namespace zhtext
