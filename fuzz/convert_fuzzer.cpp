// Feeds arbitrary bytes to every conversion and checks the invariants that
// hold for any input: valid GBK round-trips through UTF-8 and UTF-16 byte
// for byte, the fast paths agree with the unit-by-unit converters, and every
// output fits the buffer its function documents.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "zhtext/encoding/cp936.h"
#include "zhtext/encoding/gbk_chars.h"
#include "zhtext/encoding/gbk_table.h"
#include "zhtext/encoding/utf8_coder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zhtext;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const char* text = bytes.c_str();  // up to the first zero byte

  // GBK -> UTF-8 -> GBK and GBK -> UTF-16 -> GBK give the input back.
  std::string utf8;
  if (GbkToUtf8(text, utf8) >= 0) {
    std::string back;
    Utf8ToGbk(utf8.c_str(), back);
    if (back != text) std::abort();
  } else if (utf8 != text) {
    std::abort();
  }
  const std::size_t len = std::strlen(text);
  std::u16string wide;
  const int wide_units = GbkToWide(bytes, wide);
  if (wide_units >= 0) {
    std::string back;
    if (WideToGbk(wide, back) < 0 || back != text) std::abort();
    // The UTF-8 fast path gives what the unit encoder gives.
    std::string expected(wide.size() * 3, '\0');
    expected.resize(UnitsToUtf8(wide.data(), wide.size(), &expected[0]));
    if (utf8 != expected) std::abort();
  }

  // The counted decoders agree with GbkToWide; the lenient one never writes
  // more units than bytes and replaces nothing in valid text.
  std::vector<char16_t> units(size + 1);
  const long strict = DecodeCp936(text, len, units.data());
  if ((strict < 0) != (wide_units < 0)) std::abort();
  if (strict >= 0 && std::u16string(units.data(), static_cast<std::size_t>(strict)) != wide) {
    std::abort();
  }
  std::size_t replaced = 0;
  std::size_t n = DecodeCp936Lenient(bytes.data(), size, units.data(), &replaced);
  if (n > size || replaced > n) std::abort();

  // The UTF-8 coder, with the buffer sizes its functions document.
  std::vector<char> dst(2 * size + 2);
  unsigned dst_len = static_cast<unsigned>(dst.size());
  Utf8ToUTF16(bytes.data(), static_cast<unsigned>(size), dst.data(), &dst_len);
  if (dst_len % 2 != 0 || dst_len + 1 > dst.size()) std::abort();
  char16_t* u = nullptr;
  int count = 0;
  Utf8ToUnicode(text, &u, &count);
  char* back = nullptr;
  UnicodeToUtf8(u, static_cast<unsigned>(count * 2), &back);
  std::free(back);
  std::free(u);

  // The table conversions: the zero-terminated forms agree with the counted
  // ones they are built on.
  std::vector<char> ucs2(2 * len + 1);
  const int ucs2_units = Utf8ToUcs2(text, ucs2.data());
  std::vector<char16_t> scanned(len + 1);
  const std::size_t scanned_units = Utf8ToUnits(text, len, scanned.data());
  if (static_cast<std::size_t>(ucs2_units) != scanned_units) std::abort();
  std::vector<char> gbk(len + 2);
  Utf8ToGbkByTable(text, gbk.data());
  std::vector<char> counted(2 * scanned_units + 1);
  const std::size_t gbk_len = UnitsToGbk(scanned.data(), scanned_units, counted.data());
  if (std::memcmp(gbk.data(), counted.data(), gbk_len) != 0 || gbk[gbk_len] != '\0') std::abort();

  // Character stepping stays inside the text.
  char buf[8];
  for (const char* p = text; *p != '\0';) p += ReadGbkChar(p, buf);
  for (const char* p = text; *p != '\0';) p += ReadUtf8Char(p, buf);
  return 0;
}
