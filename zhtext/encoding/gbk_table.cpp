#include "zhtext/encoding/gbk_table.h"

#include <cstring>

#include "zhtext/encoding/internal/ascii_run.h"
#include "zhtext/encoding/internal/utf8_scan.h"

namespace zhtext {

namespace {

// Appends the GBK form of `u` at `out` and returns the end; counts units
// without a code in `*replaced`.
inline char* PutGbk(char16_t u, char* out, std::size_t* replaced) {
  std::uint16_t e = kGbkTable[u];
  if (u < 0x80) {
    *out++ = static_cast<char>(e);
  } else if (e == 0) {
    ++*replaced;
    *out++ = '\xA1';
    *out++ = '\xA1';
  } else if (e < 0x100) {
    *out++ = static_cast<char>(e);
  } else {
    *out++ = static_cast<char>(e >> 8);
    *out++ = static_cast<char>(e & 0xFF);
  }
  return out;
}

}  // namespace

std::size_t UnitsToGbk(const char16_t* units, std::size_t count, char* out,
                       std::size_t* replaced) {
  std::size_t unmapped = 0;
  char* p = out;
  std::size_t i = 0;
  while (i < count) {
    i = internal::CopyAsciiUnits(units, i, count, &p);
    if (i == count) break;
    p = PutGbk(units[i++], p, &unmapped);
  }
  if (replaced != nullptr) *replaced = unmapped;
  return static_cast<std::size_t>(p - out);
}

void UnicodeToGbk(const char16_t* units, char* out, unsigned count, unsigned* replaced) {
  std::size_t unmapped = 0;
  std::size_t n = UnitsToGbk(units, count, out, &unmapped);
  out[n] = '\0';
  out[n + 1] = '\0';
  if (replaced != nullptr) *replaced = static_cast<unsigned>(unmapped);
}

void Utf8ToGbkByTable(const char* text, char* out, unsigned* replaced, unsigned* dropped) {
  std::size_t unmapped = 0;
  char* p = out;
  std::size_t skipped = internal::ScanUtf8Units(text, std::strlen(text), [&](char16_t u) {
    p = PutGbk(u, p, &unmapped);
  });
  p[0] = '\0';
  p[1] = '\0';
  if (replaced != nullptr) *replaced = static_cast<unsigned>(unmapped);
  if (dropped != nullptr) *dropped = static_cast<unsigned>(skipped);
}

}  // namespace zhtext
