// Token classifiers: whether a short GBK token is a number written in
// Chinese numerals, a numeric quantity written with digits, a small numeral,
// a year-like number, or (part of) a transliterated foreign or Japanese
// personal name. Each is a fixed rule over the tables of token_tables.h.
//
// Where a function takes `len`, it is the token's length in bytes, 0 meaning
// up to the terminator; a token ends at its terminator even when `len` is
// larger, and reads never go past it. Table membership
// is FindTableChar's (a character whose bytes first occur misaligned in a
// table is not a member), counts are CountTableChars'.
//
// No function modifies its input or keeps state; all may run concurrently.
#ifndef ZHTEXT_CLASSIFY_TOKEN_CLASSIFY_H_
#define ZHTEXT_CLASSIFY_TOKEN_CLASSIFY_H_

#include <cstddef>

namespace zhtext {

// Which name table holds the most characters of a token
// (GetForeignNameKind).
enum ForeignNameKind {
  kTranslitName = 0,       // TRANSLIT_CHARS
  kTranslitNameShort = 1,  // TRANSLIT_CHARS_SHORT
  kJapaneseName = 2,       // JAPANESE_NAME_CHARS
};

// Two bytes at a time: every character is in NUMBER_CHARS, or is 数 or 第
// as the first character, or is the word 分之 (anywhere). An ASCII byte
// fails the test; an empty token passes. 三分之一, 第三, 数十 pass; 三第
// does not.
bool IsChineseNumber(const char* text, std::size_t len);

// [sign] [full-width digits [point full-width digits]] [ASCII digits
// [point ASCII digits]] [percent sign | units]: a sign from SIGN_CHARS or
// + -; points from POINT_CHARS or . / (never first); a percent sign from
// PERCENT_CHARS or %; a run of UNIT_CHARS only when no percent sign came.
// True when the whole token is used up (so +12.5%, 第3, 3.5万, １２．５, 万,
// % and + pass; .5, 12%万 and 1.x do not).
bool IsNumericQuantity(const char* text, std::size_t len);

// True when CountTableChars(SMALL_NUMBER_CHARS) is len / 2 and len <= 6, or
// every byte is an ASCII digit and len <= 2.
bool IsSmallNumber(const char* text, std::size_t len);

// Rules tried in order: (1) len >= 3 and len / 2 characters of YEAR_CHARS;
// (2) ASCII only, with len 4, or len 2 and a first byte above '4';
// (3) a numeric quantity: true for len >= 6; for len 4 true exactly when its
// first character is in YEAR_TENS (no later rule); (4) len 8 with exactly two
// characters of THOUSAND_ZERO_CHARS, or len 2 with one of THOUSAND_CHARS.
bool IsYearNumber(const char* text, std::size_t len);

// The largest of the counts of the token's characters in TRANSLIT_CHARS,
// JAPANESE_NAME_CHARS and TRANSLIT_CHARS_SHORT.
unsigned CountForeignNameChars(const char* text);

// The kind whose table holds the most characters of `text`; ties keep the
// earlier kind in the order kTranslitName, kTranslitNameShort,
// kJapaneseName (so a token in no table gives kTranslitName).
int GetForeignNameKind(const char* text);

// True when 2 * CountForeignNameChars(text) equals the length of `text`
// (for a token of two-byte characters: all of them are in one and the same
// table; true for "").
bool IsForeignName(const char* text);

// True when `text` is longer than two bytes, or when
// CountForeignNameChars(text) >= length / 2.
bool MayBeForeignName(const char* text);

}  // namespace zhtext

#endif  // ZHTEXT_CLASSIFY_TOKEN_CLASSIFY_H_
