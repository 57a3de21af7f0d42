// Character class tests: what kind of characters a token or a text is made
// of (Chinese characters, full-width symbols or letters, ASCII, punctuation,
// English text), and whether a UTF-8 sentence ends with closing punctuation.
//
// Texts are zero-terminated GBK byte strings unless a function says UTF-8;
// where a length is taken, 0 means up to the terminator. Classes follow the
// GB2312 rows: lead bytes B0-F7 Chinese characters, A1 and A3 symbols, A2
// ordinal numbers, A3 C1-DA and A3 E1-FA full-width letters.
//
// Pair stepping: IsAllChinese, IsAllSymbols, IsAllFullWidthLetters and the
// first part of IsOrdinalThenLetters assume a text of two-byte characters
// and look only at the bytes at even offsets (the lead bytes): the text
// passes when every lead byte passes and its length is even. An empty text
// passes; trail bytes are not looked at unless a test says so.
//
// No function modifies its input or keeps state; all may run concurrently.
#ifndef ZHTEXT_CLASSIFY_CHAR_CLASS_H_
#define ZHTEXT_CLASSIFY_CHAR_CLASS_H_

#include <cstddef>

namespace zhtext {

// Pair stepping with lead bytes B0-F7.
bool IsAllChinese(const char* text);

// Pair stepping with lead bytes A1 or A3.
bool IsAllSymbols(const char* text);

// Pair stepping with lead byte A3 and a trail byte C1-DA or E1-FA.
bool IsAllFullWidthLetters(const char* text);

// A run of characters with lead byte A2 (pair stepping, possibly empty)
// followed only by ASCII letters.
bool IsOrdinalThenLetters(const char* text);

// No character starts with a byte in B0-F7. A byte above 0x80 starts a
// two-byte step (one byte when it is the last), any other byte (0x80 too)
// a one-byte step.
bool HasNoChinese(const char* text);

// None of the first `len` bytes (0: all) is 0x80 or above; the text ends at
// its terminator even when `len` is larger. True for "".
bool IsAllAscii(const char* text, std::size_t len);

// One byte of the ASCII punctuation set (TAB CR LF SPACE and
// . , ( ) { } [ ] : ; " ' < > ? / ~ @ # $ % ^ & * _ - + =), or two bytes
// starting with A1 or A3.
bool IsPunctuation(const char* token);

// English by sampling: ten bytes at offsets k * L / 10 (k = 0..9, L the
// length) and, when L > 3, the bytes at 1 and L - 2 are looked at. False for
// a null or empty text or when a sampled byte is 0x80 or above other than A1
// and B1; else true when at least five of the ten samples are ASCII letters.
bool IsEnglishText(const char* text);

// IsEnglishText of the whole file; false when nothing can be read.
bool IsEnglishFile(const char* path);

// UTF-8: true when the last byte is one of ";.:)" or the text is longer than
// three bytes and ends in "。", "：", "！", "；" or "）". False for "".
bool EndsWithPunctuationUtf8(const char* text);

// UTF-8: false when the last byte is ';' or the text is longer than three
// bytes and ends in "。" or "！"; else true (also for "").
bool LacksSentenceEndUtf8(const char* text);

}  // namespace zhtext

#endif  // ZHTEXT_CLASSIFY_CHAR_CLASS_H_
