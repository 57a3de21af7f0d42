// String utilities over GBK byte strings and owned strings: trimming and
// whitespace normalisation, splitting and tokenising, joining, replacing,
// ASCII case folding and a sort by an embedded number.
//
// "Blank" bytes are TAB, LF, CR and SPACE; bytes of 0x80 and above are never
// blank. Only TrimSpaces also knows the full-width blanks A1 A1 and A3 A0.
//
// Texts are read as GBK characters wherever a rule looks for an ASCII byte
// (a delimiter, a separator, a quote mark, a letter, a byte to trim or
// replace): a lead byte 0x81-0xFE and the byte after it are one character
// and are stepped over whole, so the second byte of a two-byte character
// (81 5F holds '_', 83 7C '|', 81 41 'A') never matches such a rule and the
// character is never cut or changed. Strings to find (SplitOnce,
// SplitByString, ReplaceAll) match only where a character starts.
// No function keeps state between calls (NextToken keeps its position in the
// caller's cursor), so all may run concurrently on different data. Nothing
// here allocates buffers for the caller beyond the owned strings and lists it
// fills.
#ifndef ZHTEXT_UTIL_STRING_UTILS_H_
#define ZHTEXT_UTIL_STRING_UTILS_H_

#include <string>
#include <vector>

namespace zhtext {

// ---- Trimming and whitespace ---------------------------------------------

// Removes blank bytes and full-width blank pairs from both ends, in any mix.
// Returns false when `text` was empty on entry, else true.
bool TrimSpaces(std::string& text);

// Removes the leading and the trailing run of the one-byte character `ch`.
void TrimChar(std::string& text, char ch);

// In place: drops leading and trailing blanks and turns every inner run of
// blanks into one SPACE. Returns `text` (null for null).
char* CollapseSpaces(char* text);

// `out` = `text` without the blanks that touch no ASCII letter, trailing CR
// and LF ignored (at least one byte of a non-empty text is kept).
void NormalizeSpaces(const char* text, std::string& out);

// Number of bytes of `text` that are not blank.
unsigned CountNonSpace(const char* text);

// Appends "\r\n" and then `count` copies of `fill`.
void AppendNewLine(std::string& text, unsigned count, char fill);

// ---- Splitting and tokenising --------------------------------------------

// Splits `source` at the first `separator` into trimmed `left` and `right`.
// False when `source` is empty, or when `left` is empty after trimming; with
// an empty or absent separator `left` = `source`, `right` empty, true.
bool SplitOnce(const std::string& source, std::string& left, std::string& right,
               std::string separator);

// Cuts `text` at every occurrence of `separator`, keeping the non-empty
// pieces. False when `text` is null or empty.
bool SplitByString(const char* text, std::vector<std::string>& list, const char* separator);

// Cuts the whole of `text` at every one-byte character that is in
// `delimiters`, keeping the non-empty pieces. False when `text` is null or
// empty.
bool SplitByChars(const char* text, std::vector<std::string>& list, const char* delimiters);

// Re-entrant tokenizer over a writable buffer: returns the next token (the
// delimiter after it replaced by 0) and sets `*cursor` to the byte after that
// delimiter, or to null at the end of the text. Null when `text` is null.
char* NextToken(char* text, const char* delimiters, char** cursor);

// Cuts one line (or one "^^...^^" quoted stretch when `allowQuotes`) out of a
// writable buffer; see the implementation for the quoting rule. The byte at
// the line end is saved in `*savedChar` and replaced by 0, and `*lineEnd`
// points at it (null when the line runs to the end). `quoted` may be null.
// Returns the line start, or null when nothing but blanks is left.
char* NextLine(char* text, char** lineEnd, char* savedChar, int* quoted, bool allowQuotes);

// Copies the line at `src` into `dst` (without CR/LF), then skips the line
// break. Returns the next line's start, or null at the end of `src`.
// REQUIRES: `dst` holds the longest line plus one byte.
const char* ReadLine(const char* src, char* dst);

// One element per character (GBK, or UTF-8 when `utf8`). Returns the count.
int SplitChars(const char* text, std::vector<std::string>& list, bool utf8);

// ---- Joining, replacing, case --------------------------------------------

// `out` = the elements joined; the separator follows each element that is
// neither empty nor the last. Returns the bytes of `out`.
const char* JoinStrings(const std::vector<std::string>& list, const char* separator,
                        std::string& out);

// Replaces every occurrence of `find` by `with`, left to right, never
// rescanning inserted text. Returns the number of replacements (0 when
// `text` is empty or `find` is null or empty).
int ReplaceAll(std::string& text, const char* find, const char* with);

// A copy of `source` with every one-byte character `ch` replaced by `with`.
std::string ReplaceChar(const std::string& source, char ch, const char* with);

// Moves every byte other than `ch` to the front, zero-fills the rest of the
// `length` bytes, returns the number kept (0 for a null buffer or length 0).
unsigned RemoveByte(char* buffer, unsigned length, char ch);

// Lowers every one-byte character in 'A'-'Z'; two-byte characters stay as
// they are, also when their second byte lies in 'A'-'Z'. The buffer form
// reads `length` bytes (a lead byte at the end of them stands alone).
void ToLowerAscii(std::string& text);
void ToLowerAsciiBuffer(char* buffer, unsigned length);

bool IsDigit(char ch);
bool IsAsciiLetter(char ch);

// Sorts `list` by the decimal number (atoi) that starts at the byte offset
// equal to strlen(prefix) in each element; elements shorter than the prefix
// have the key 0. Order among equal keys is unspecified.
void SortByNumberAfterPrefix(std::vector<std::string>& list, const char* prefix);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_STRING_UTILS_H_
