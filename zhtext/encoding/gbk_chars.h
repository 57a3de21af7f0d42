// GBK characters: stepping through GBK and UTF-8 byte strings one character
// at a time, counting characters, and looking characters up in character
// tables.
//
// A GBK byte string is zero-terminated. A byte below 0x80 is a one-byte
// character; a byte of 0x80 or above is the lead byte of a two-byte character
// made of it and the next byte, whatever that byte is, unless the next byte
// is the terminating zero (the lead byte then stands alone). No range check of
// lead or trail bytes is made. Lengths and positions count bytes.
//
// All functions are pure and may run on any thread.
#ifndef ZHTEXT_ENCODING_GBK_CHARS_H_
#define ZHTEXT_ENCODING_GBK_CHARS_H_

#include <cstddef>

namespace zhtext {

// ---- Stepping for the rules that test ASCII bytes ------------------------
//
// A rule that looks for an ASCII byte in GBK text (a separator, a delimiter,
// a bracket, '_', a letter to fold) must not take the second byte of a
// two-byte character for one: second bytes run from 0x40, so '\\', '|', ']',
// '_' and the letters all occur as second bytes (81 5C, 83 7C, 81 5D, 81 5F,
// 81 41). Such rules step over a lead byte 0x81-0xFE and the byte after it,
// so that only single-byte characters meet them.

// Whether `byte` leads a two-byte GBK character (0x81-0xFE).
inline bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Length of the character at `text[pos]` of a text of `len` bytes (zero
// bytes included) for those rules: 2 for a lead byte with a byte after it,
// else 1. REQUIRES: pos < len.
inline std::size_t GbkStep(const char* text, std::size_t pos, std::size_t len) {
  return IsGbkLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < len ? 2 : 1;
}

// The same for a zero-terminated text: 2 for a lead byte followed by a byte
// other than the terminator, else 1. REQUIRES: *text != 0.
inline std::size_t GbkStep(const char* text) {
  return IsGbkLeadByte(static_cast<unsigned char>(text[0])) && text[1] != '\0' ? 2 : 1;
}

// The first one-byte character `c` of the zero-terminated `text`, stepping
// over two-byte characters (so a second byte equal to `c` is passed by);
// null when there is none. `text` must start at a character.
inline const char* FindAsciiChar(const char* text, char c) {
  for (const char* p = text; *p != '\0';) {
    const std::size_t step = GbkStep(p);
    if (step == 1 && *p == c) return p;
    p += step;
  }
  return nullptr;
}

// ---- Characters ------------------------------------------------------------

// Copies the first character of `text` into `buf` (zero-terminated) and
// returns its length: 1 or 2, or 0 for an empty text (`buf` then empty).
// REQUIRES: `buf` holds at least 3 bytes.
int ReadGbkChar(const char* text, char* buf);

// Length of the first character (0, 1 or 2). `*code` receives lead * 256 +
// trail for a two-byte character, the byte value for a one-byte character
// below 0x80, the byte as a signed value for a lone lead byte at the end
// (0xB0 gives -80), and -1 (result 0) for an empty text.
int GetGbkCharCode(const char* text, int* code);

// Copies the first UTF-8 character into `buf` (zero-terminated) and returns
// its length as its first byte announces it (0 for the terminator, 1 below
// 0xC0, 2 below 0xE0, 3 below 0xF0, 4 below 0xF8, 5 below 0xFC, else 6),
// never more than the bytes left before the terminator.
// REQUIRES: `buf` holds at least 7 bytes.
int ReadUtf8Char(const char* text, char* buf);

// Steps through `text` by UTF-8 (`utf8`) or GBK characters. Every character
// longer than one byte adds 1 to `*multi`; every one-byte character other
// than SPACE, TAB, CR and LF adds 1 to `*single`. Both start at 0. Returns
// `*single + *multi`.
unsigned CountChars(const char* text, unsigned* single, unsigned* multi, bool utf8);

// Finds `ch` (normally one character) in the character table `table`: the
// first occurrence of the byte string `ch` as a substring, accepted only when
// it lies at an even byte offset. Null when `ch` is empty, when it does not
// occur, or when its first occurrence is at an odd offset (even if a later
// one is aligned). Otherwise the pointer into `table`.
const char* FindTableChar(const char* table, const char* ch);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_GBK_CHARS_H_
