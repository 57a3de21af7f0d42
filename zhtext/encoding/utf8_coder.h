// The library's own UTF-8 coder: decoding UTF-8 into UTF-16 code units and
// encoding units and code points as UTF-8. Only the Basic Multilingual Plane
// is decoded (sequences of 4 to 6 bytes give no unit or U+FEFF, as each
// function says); surrogate units are encoded as three bytes like any other.
//
// Buffers returned through `units` and `out` pointers by Utf8ToUnicode and
// UnicodeToUtf8 are malloc blocks; the caller releases them with free().
//
// Concurrency: re-entrant, except that Utf8ToUTF16 writes the process-wide
// g_nBadChars without synchronisation.
#ifndef ZHTEXT_ENCODING_UTF8_CODER_H_
#define ZHTEXT_ENCODING_UTF8_CODER_H_

#include <cstddef>

namespace zhtext {

// Number of U+FEFF units the latest conversion to UTF-16 emitted in place of
// undecodable sequences (a genuine U+FEFF in the input counts too). Reset to
// 0 at the start of each such conversion. Not synchronised.
extern unsigned g_nBadChars;

// Decodes one UTF-8 sequence of at most `len` available bytes into `*unit`
// and returns the number of bytes the sequence occupies (taken from the first
// byte; 1 when `len` is 0). `*unit` is U+FEFF whenever nothing valid was
// decoded: a cut-short or malformed 2/3-byte form, a 4-6 byte form, a stray
// continuation byte, 0xFE or 0xFF.
int DecodeUtf8Char(const char* p, unsigned len, char16_t* unit);

// Decodes `srcLen` UTF-8 bytes into little-endian UTF-16 in `dst`. On entry
// `*dstLen` is the capacity of `dst` in bytes, on return the bytes written
// (not zero-terminated); at most capacity - 1 bytes are used. Sets
// g_nBadChars. Returns the number of source bytes consumed (it may pass
// `srcLen` when the last sequence is cut short).
unsigned Utf8ToUTF16(const char* src, unsigned srcLen, char* dst, unsigned* dstLen);

// Decodes the zero-terminated UTF-8 `text` into a new zero-terminated unit
// buffer (`*units`, malloc, 2 * strlen + 2 bytes) and sets `*count` to the
// number of units. Bytes that start no 1-3 byte form are skipped; a sequence
// cut short by the terminator ends the text. Returns 0.
int Utf8ToUnicode(const char* text, char16_t** units, int* count);

// Encodes byteLen / 2 units as UTF-8 into a new zero-terminated buffer
// (`*out`, malloc, 3 * units + 1 bytes). Returns 0.
int UnicodeToUtf8(const char16_t* units, unsigned byteLen, char** out);

// Writes the classic UTF-8 form (1 to 6 bytes) of a 31-bit code point into
// `out` and returns its length; not zero-terminated. Returns 0 when `out` is
// null, `size` is below 6, or the code point is above 0x7FFFFFFF.
int EncodeUtf8(unsigned codePoint, char* out, unsigned size);

// Decodes the zero-terminated UTF-8 `text` into little-endian UTF-16 bytes in
// `units`, followed by one zero byte. Only well-formed 1-3 byte forms give a
// unit; 4-byte forms are consumed and give none; any other byte is skipped.
// Returns the number of units.
// REQUIRES: `units` holds at least 2 * strlen(text) + 1 bytes.
int Utf8ToUcs2(const char* text, char* units);

// ---- Counted forms, for texts that may hold zero bytes -------------------

// Encodes `count` units as UTF-8 (1 to 3 bytes each, as UnicodeToUtf8) into
// `out` and returns the bytes written; nothing is zero-terminated.
// REQUIRES: `out` holds at least 3 * count bytes.
std::size_t UnitsToUtf8(const char16_t* units, std::size_t count, char* out);

// Decodes `len` UTF-8 bytes into units by the rules of Utf8ToUcs2 (a zero
// byte is an ordinary one-byte character here) and returns the number of
// units. `dropped` (when given) receives the number of sequences that gave
// no unit (4-byte forms and stray bytes).
// REQUIRES: `dst` holds at least `len` units.
std::size_t Utf8ToUnits(const char* src, std::size_t len, char16_t* dst,
                        std::size_t* dropped = nullptr);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_UTF8_CODER_H_
