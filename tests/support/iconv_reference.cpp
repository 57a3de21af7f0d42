#include "tests/support/iconv_reference.h"

#if defined(__has_include)
#if __has_include(<iconv.h>)
#define ZHTEXT_TEST_HAVE_ICONV 1
#include <iconv.h>
#endif
#endif

#include <cerrno>

namespace zhtext {
namespace testing {

#ifdef ZHTEXT_TEST_HAVE_ICONV

namespace {

struct Converter {
  iconv_t cd;
  Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~Converter() {
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }
  bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }
  // Converts all of `in`; false on any invalid or incomplete input.
  bool Run(const std::string& in, std::string* out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char buffer[64];
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    char* dst = buffer;
    size_t dst_left = sizeof(buffer);
    if (iconv(cd, &src, &src_left, &dst, &dst_left) == static_cast<size_t>(-1)) return false;
    out->assign(buffer, dst - buffer);
    return src_left == 0;
  }
};

Converter& Encoder() {
  static Converter c("CP936", "UTF-16LE");
  return c;
}
Converter& Decoder() {
  static Converter c("UTF-16LE", "CP936");
  return c;
}

Converter& Cp950Decoder() {
  static Converter c("UTF-16LE", "CP950");
  return c;
}

// The single unit of `bytes` decoded by `converter`.
bool DecodeOne(Converter& converter, const std::string& bytes, char16_t* unit) {
  std::string out;
  if (!converter.Run(bytes, &out) || out.size() != 2) return false;
  *unit = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                (static_cast<unsigned char>(out[1]) << 8));
  return true;
}

}  // namespace

bool IconvReference::Available() { return Encoder().ok() && Decoder().ok(); }

bool IconvReference::EncodeUnit(char16_t unit, std::string* gbk) {
  std::string in{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return Encoder().Run(in, gbk) && !gbk->empty();
}

bool IconvReference::DecodeChar(const std::string& gbk, char16_t* unit) {
  return DecodeOne(Decoder(), gbk, unit);
}

bool IconvReference::Cp950Available() { return Cp950Decoder().ok(); }

bool IconvReference::DecodeCp950Char(const std::string& big5, char16_t* unit) {
  return DecodeOne(Cp950Decoder(), big5, unit);
}

#else

bool IconvReference::Available() { return false; }
bool IconvReference::EncodeUnit(char16_t, std::string*) { return false; }
bool IconvReference::DecodeChar(const std::string&, char16_t*) { return false; }
bool IconvReference::Cp950Available() { return false; }
bool IconvReference::DecodeCp950Char(const std::string&, char16_t*) { return false; }

#endif

}  // namespace testing
}  // namespace zhtext
