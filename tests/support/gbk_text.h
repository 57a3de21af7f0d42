// Writing GBK in tests readably: G("中文") converts UTF-8 source text to GBK
// with the library's own table, so no raw GBK bytes appear in source files.
#ifndef ZHTEXT_TESTS_SUPPORT_GBK_TEXT_H_
#define ZHTEXT_TESTS_SUPPORT_GBK_TEXT_H_

#include <cstdint>
#include <string>

namespace zhtext {
namespace testing {

// GBK bytes of a UTF-8 text. Characters without a GBK code become A1 A1.
std::string G(const std::string& utf8);

// UTF-8 of a GBK text (strict; an invalid sequence gives "<invalid GBK>").
std::string U(const std::string& gbk);

// "D2 BB 41" style hex of a byte string, for readable failure messages.
std::string Hex(const std::string& bytes);

// 64-bit FNV-1a of a byte string: pins the bytes of a long table in one
// number.
std::uint64_t Fnv1a(const std::string& bytes);

}  // namespace testing
}  // namespace zhtext

#endif  // ZHTEXT_TESTS_SUPPORT_GBK_TEXT_H_
