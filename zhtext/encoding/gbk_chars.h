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

namespace zhtext {

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
