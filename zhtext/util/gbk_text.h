// GBK text routines: place-name suffixes, folding of full-width forms, a
// lower-case search form, sentence boundaries, character codes and counts
// of table characters, and the two-byte code table file.
//
// Texts are zero-terminated GBK byte strings stepped character by character:
// a byte of 0x80 or above starts a two-byte character when a non-zero byte
// follows it; any other byte is a character of its own. Positions, lengths
// and limits count bytes.
//
// The in-place routines write into the caller's text and never make it
// longer; nothing here allocates for the caller. Every function is
// re-entrant and may run concurrently on different texts.
#ifndef ZHTEXT_UTIL_GBK_TEXT_H_
#define ZHTEXT_UTIL_GBK_TEXT_H_

#include <cstddef>

namespace zhtext {

// Splits a place name into its stem and its place-type suffix. The
// multi-character suffixes are tried first, in table order ("高速公路" wins
// over "公路"); failing those, the word's last two bytes are the suffix when
// they are one of the single-character suffixes. `suffix` receives the
// suffix (empty when none) and `stem` the word without it. Always true.
// REQUIRES: `stem` and `suffix` each hold at least strlen(word) + 1 bytes.
bool SplitPlaceSuffix(const char* word, char* stem, char* suffix);

// Folds, in place, full-width digits and letters (A3 B0-B9, A3 C1-DA,
// A3 E1-FA) to ASCII and the punctuation of the folding table to its ASCII
// byte; every other character is kept (so "！" A3 A1 stays, only "﹗"
// folds to '!'). True when at least one character was folded.
bool FoldFullWidth(char* text);

// Rewrites `text` in place into its search form: ASCII and full-width
// letters in lower case, full-width digits as ASCII, "＋" as '+', the other
// full-width signs from A3 BB upwards (not letters) as ';'; two-byte
// characters otherwise kept; of the single bytes only digits, small letters,
// + - ; { } CR and LF are kept, and a SPACE only before an ASCII letter or
// digit. Returns `text`.
char* NormalizeForSearch(char* text);

// The position just after the first sentence end mark (one of the bytes
// ".!;?\r\n\t" or of "。！？；") found stepping from `pos` over at most `limit`
// bytes; the text length when there is none within reach.
std::size_t FindSentenceEnd(const char* text, std::size_t pos, std::size_t limit);

// The start of the sentence holding the byte before `pos`: the position just
// after the last end mark found looking back from `pos` - 1 over at most
// `limit` bytes (position 0 is never examined, so a mark at the very start
// is not found); 0 when there is none. A `pos` beyond the text is taken as
// the text length.
std::size_t FindSentenceStart(const char* text, std::size_t pos, std::size_t limit);

// Length in bytes of the leading run of two-byte characters whose first byte
// lies in B0-F7 (the GB2312 Chinese characters); never more than the text.
std::size_t LeadingHanziLength(const char* text);

// Code of the character at `*pos`, and `*pos` advanced past it: lead * 256 +
// trail (unsigned bytes) for a byte of 0x80 or above, unless `*pos` + 1
// equals `limit` (the text's length: the lead byte then stands alone);
// otherwise the byte, with 'A'-'Z' lowered.
// REQUIRES: `*pos` < `limit`, and `limit` bytes are readable.
int ReadCharCode(const char* text, std::size_t* pos, std::size_t limit);

// Number of characters among the first `length` bytes of `text` (0: the
// whole text) that belong to the character table `table`: a byte below 0x80
// when it occurs anywhere in the table, a two-byte character when
// FindTableChar finds it. Stops early at the terminator.
unsigned CountTableChars(const char* table, const char* text, std::size_t length);

// Number of characters among `length` bytes of `data` (zero bytes included)
// whose signed code equals `code`: a two-byte character (a byte of 0x80 or
// above with another byte after it within `length`) has the code
// (signed) lead * 256 + (signed) trail, any other byte its signed value. So
// B0 A1 has the code -20575 here, while ReadCharCode gives 0xB0A1.
unsigned CountCharCode(const char* data, std::size_t length, int code);

// Writes the two-byte code table to `path` in text mode (CR LF line ends):
// one line "%c%c,%d,%d" for each lead byte 161-254 and, within it, each
// trail byte 161-254 (8836 lines). False when the file cannot be created or
// written, else true.
bool WriteCodeTable(const char* path);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_GBK_TEXT_H_
