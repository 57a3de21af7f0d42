// Feeds arbitrary bytes to every conversion and checks the invariants that
// hold for any input: valid GBK round-trips through UTF-8 and UTF-16 byte
// for byte, and every output fits the buffer its function documents.
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
  std::u16string wide;
  if (GbkToWide(bytes, wide) >= 0) {
    std::string back;
    if (WideToGbk(wide, back) < 0 || back != text) std::abort();
  }

  // The lenient decoder never writes more units than bytes.
  std::vector<char16_t> units(size + 1);
  std::size_t n = DecodeCp936Lenient(bytes.data(), size, units.data());
  if (n > size) std::abort();

  // The UTF-8 coder, with the buffer sizes its functions document.
  std::vector<char> dst(2 * size + 2);
  unsigned dst_len = static_cast<unsigned>(dst.size());
  Utf8ToUTF16(bytes.data(), static_cast<unsigned>(size), dst.data(), &dst_len);
  char16_t* u = nullptr;
  int count = 0;
  Utf8ToUnicode(text, &u, &count);
  char* back = nullptr;
  UnicodeToUtf8(u, static_cast<unsigned>(count * 2), &back);
  std::free(back);
  std::free(u);
  std::vector<char> ucs2(2 * std::strlen(text) + 1);
  Utf8ToUcs2(text, ucs2.data());
  std::vector<char> gbk(std::strlen(text) + 2);
  Utf8ToGbkByTable(text, gbk.data());

  // Character stepping stays inside the text.
  char buf[8];
  for (const char* p = text; *p != '\0';) p += ReadGbkChar(p, buf);
  for (const char* p = text; *p != '\0';) p += ReadUtf8Char(p, buf);
  return 0;
}
