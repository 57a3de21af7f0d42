// Conversions between GBK and UTF-16/UTF-8 by code page 936, done by the
// library's own converter built from the GBK table (the process locale is
// never switched).
//
// Decoding: bytes below 0x80 are ASCII, the single byte 0x80 is the euro
// sign U+20AC, a byte of 0x81 or above starts a two-byte character that must
// have an entry in the table. A two-byte sequence without an entry, a byte
// 0xFF, or a lead byte alone at the end is an invalid multibyte sequence.
// Encoding: a unit without an entry cannot be represented.
//
// All functions are re-entrant and may run on any thread.
#ifndef ZHTEXT_ENCODING_CP936_H_
#define ZHTEXT_ENCODING_CP936_H_

#include <cstddef>
#include <string>

namespace zhtext {

// ---- The converter -------------------------------------------------------

// The UTF-16 unit of the two-byte GBK character lead * 256 + trail, the euro
// sign for the single byte 0x80, the byte itself below 0x80, 0 for none.
char16_t Cp936ToUnicode(unsigned code);

// Decodes `len` GBK bytes into `dst`. Returns the number of units written,
// or -1 at the first invalid sequence (the units before it are written, and
// `*validLen`, when given, receives the bytes converted before it).
// REQUIRES: `dst` holds at least `len` units.
long DecodeCp936(const char* src, std::size_t len, char16_t* dst,
                 std::size_t* validLen = nullptr);

// As DecodeCp936 but never fails: an invalid sequence becomes one U+FFFD. A
// lone lead byte at the end is one such sequence; so is a two-byte sequence
// without an entry, except that a second byte below 0x80 is not swallowed:
// it is decoded as the next character. `*replaced` (when given) receives the
// number of U+FFFD written in place of invalid sequences.
std::size_t DecodeCp936Lenient(const char* src, std::size_t len, char16_t* dst,
                               std::size_t* replaced = nullptr);

// Encodes `count` units as GBK into `dst`. Returns the bytes written, or -1
// at the first unit without a code (the bytes before it are written, and
// `*validCount`, when given, receives the units converted before it).
// REQUIRES: `dst` holds at least 2 * count bytes.
long EncodeCp936(const char16_t* src, std::size_t count, char* dst,
                 std::size_t* validCount = nullptr);

// ---- The conversions the library calls "through the locale" --------------

// GBK to UTF-8. Returns the number of UTF-16 units the text decodes to, with
// `out` = the UTF-8 text; or -1 on an invalid sequence, with `out` = `text`
// unchanged.
int GbkToUtf8(const char* text, std::string& out);

// GBK to UTF-16. Returns the number of units, or -1 on an invalid sequence
// (the units decoded before it stay in `out`). The text ends at its first
// zero byte.
int GbkToWide(const std::string& in, std::u16string& out);

// UTF-16 to GBK. Returns the number of bytes, or -1 when a unit cannot be
// represented (the bytes converted before it stay in `out`). The text ends
// at its first zero unit.
int WideToGbk(const std::u16string& in, std::string& out);

// UTF-8 to GBK through UTF-16 (Utf8ToUnicode); a unit that cannot be
// represented ends the text there. Returns 1.
int Utf8ToGbk(const char* text, std::string& out);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_CP936_H_
