// GbkLiteral: a constant GBK text written readably as UTF-8 in the source.
//
// The library's character tables and fixed words are GBK byte strings. They
// are written as UTF-8 text and converted with the built-in GBK table (the
// same bytes on every platform) the first time they are used; the GBK bytes
// then stay for the life of the process and belong to the literal.
//
// A GbkLiteral is constant-initialised, so it may be used from any static
// initialiser, and may be read from several threads at once (the conversion
// runs exactly once). Every character of the text must have a GBK code;
// tests pin the bytes of each table built this way.
#ifndef ZHTEXT_UTIL_GBK_LITERAL_H_
#define ZHTEXT_UTIL_GBK_LITERAL_H_

#include <cstddef>
#include <mutex>

namespace zhtext {

class GbkLiteral {
 public:
  // `utf8` must outlive the literal (normally a string literal).
  constexpr explicit GbkLiteral(const char* utf8) : m_pUtf8(utf8) {}
  GbkLiteral(const GbkLiteral&) = delete;
  GbkLiteral& operator=(const GbkLiteral&) = delete;

  // The zero-terminated GBK bytes.
  const char* c_str() const;
  operator const char*() const { return c_str(); }

  // Number of GBK bytes (before the terminator).
  std::size_t size() const;

  // The UTF-8 text the literal was written as.
  const char* utf8() const { return m_pUtf8; }

 private:
  void Convert() const;

  const char* m_pUtf8;
  mutable std::once_flag m_once;
  mutable const char* m_pGbk = nullptr;
  mutable std::size_t m_nSize = 0;
};

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_GBK_LITERAL_H_
