// Independent mappings for differential tests: the C library's iconv with
// code page 936 (glibc's "CP936") and code page 950 ("CP950").
// Available() and Cp950Available() are false where the platform has no
// iconv or no such converter; tests then skip.
#ifndef ZHTEXT_TESTS_SUPPORT_ICONV_REFERENCE_H_
#define ZHTEXT_TESTS_SUPPORT_ICONV_REFERENCE_H_

#include <string>

namespace zhtext {
namespace testing {

class IconvReference {
 public:
  static bool Available();

  // The CP936 bytes of one UTF-16 unit; false when it has none.
  static bool EncodeUnit(char16_t unit, std::string* gbk);

  // The UTF-16 unit of a GBK character (one or two bytes); false when the
  // bytes are not a valid character.
  static bool DecodeChar(const std::string& gbk, char16_t* unit);

  // Whether glibc's "CP950" (Big5 as code page 950 maps it) is there too.
  static bool Cp950Available();

  // The UTF-16 unit of a two-byte CP950 character; false when the bytes are
  // not one character.
  static bool DecodeCp950Char(const std::string& big5, char16_t* unit);
};

}  // namespace testing
}  // namespace zhtext

#endif  // ZHTEXT_TESTS_SUPPORT_ICONV_REFERENCE_H_
