// Conversions by code number (code_numbers.h): double-byte text to UTF-16
// through the loaded conversion tables (code_tables.h), and three entry
// points that convert a buffer of a given or detected code to GBK, UTF-16
// or UTF-8 with the conversions of cp936.h, gbk_table.h and utf8_coder.h.
//
// For the three entry points, code CODE_AUTO is first replaced by
// DetectCode(src, srcLen); any code other than CODE_UTF8, CODE_GBK,
// CODE_DBCS2 and CODE_UTF16 (an undecided detection included) gives an
// output length of 0 and result 0. No entry point reads past `srcLen`
// bytes; where a conversion reads zero-terminated text, the text ends at
// the first zero byte or at `srcLen`, whichever comes first.
//
// Before LoadCodeTables has succeeded, DbcsToUTF16 and every conversion
// that needs a table (code CODE_AUTO, code CODE_DBCS2, and code CODE_GBK
// to UTF-16) produce no output: length 0, result 0.
//
// UTF-16 buffers are little-endian bytes and need no alignment. Nothing is
// allocated for the caller; work buffers are the functions' own.
//
// Concurrency: re-entrant while the tables stay loaded, except that
// DbcsToUTF16 and the conversions through it write the process-wide
// g_nBadChars (utf8_coder.h) without synchronisation.
#ifndef ZHTEXT_ENCODING_CODE_CONVERT_H_
#define ZHTEXT_ENCODING_CODE_CONVERT_H_

namespace zhtext {

// Decodes `srcLen` bytes of code CODE_GBK or CODE_DBCS2 into little-endian
// UTF-16 at `dst`. On entry `*dstLen` is the capacity of `dst` in bytes, on
// return the bytes written (not zero-terminated); units are written while
// the write position is below capacity - 1 (a capacity of 0 or 1 writes
// nothing). A byte below 0x80 is one unit; a byte of 0x80 or above and the
// byte after it are one character, looked up in the code's table at
// CodeTableIndex; a character the table has no unit for, a character of any
// other code, and a lead byte that is the last byte each give U+FEFF and
// add 1 to g_nBadChars (set to 0 first). Returns the source bytes consumed.
unsigned DbcsToUTF16(int code, const char* src, unsigned srcLen, char* dst, unsigned* dstLen);

// Converts to GBK, zero-terminated, and returns the output length (also in
// `*dstLen`):
//   CODE_UTF8   Utf8ToGbk (a character without a GBK code ends the text)
//   CODE_GBK    the bytes copied unchanged
//   CODE_DBCS2  through its own table to UTF-16 (DbcsToUTF16), then to GBK
//               by the built-in table: a character without a GBK code, and
//               each U+FEFF DbcsToUTF16 put in place of an undecodable one,
//               becomes A1 A1; g_nBadChars counts them
//   CODE_UTF16  UnicodeToGbk of srcLen / 2 units (two zero bytes follow)
// REQUIRES: `dst` holds at least srcLen + 2 bytes.
unsigned ConvertToGBK(int code, const char* src, unsigned srcLen, char* dst, unsigned* dstLen);

// Converts to little-endian UTF-16. `*dstLen` is the capacity of `dst` in
// bytes on entry and the bytes written on return.
//   CODE_UTF8   Utf8ToUTF16; returns the source bytes consumed
//   CODE_GBK, CODE_DBCS2  DbcsToUTF16; returns the source bytes consumed
//   CODE_UTF16  copies n = min(srcLen, capacity) bytes (all of them when
//               the capacity is 0, which means no limit) and returns n; a
//               zero byte follows them when it fits within the capacity
//               (always, with no limit: `dst` must then hold srcLen + 1)
unsigned ConvertToUTF16(int code, const char* src, unsigned srcLen, char* dst, unsigned* dstLen);

// Converts to UTF-8, zero-terminated. `*dstLen` is on entry the largest
// output length wanted (0 = no limit) and on return the output length,
// which is also the result. Output beyond the limit is cut, possibly inside
// a character.
//   CODE_UTF8   the bytes copied
//   CODE_GBK    GbkToUtf8 (an invalid sequence gives the input unchanged)
//   CODE_DBCS2  through its own table (DbcsToUTF16; g_nBadChars counts the
//               U+FEFF it puts in place of undecodable characters)
//   CODE_UTF16  the first `limit` bytes of the input (all without a limit),
//               as units, encoded as UTF-8
// REQUIRES: `dst` holds the limit + 1 bytes, or the whole output + 1 when
// there is no limit (3 * srcLen + 1 bytes always suffice).
unsigned ConvertToUTF8(int code, const char* src, unsigned srcLen, char* dst, unsigned* dstLen);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_CODE_CONVERT_H_
