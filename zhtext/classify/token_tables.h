// The character tables of the token classifiers (token_classify.h).
//
// Each table is a GBK byte string of two-byte characters (DIGIT_CHARS: ASCII
// digits). Membership goes through FindTableChar, which accepts only a first
// occurrence at an even offset, so the stored order is part of each table's
// meaning: a character whose bytes first appear straddling two neighbours is
// not a member. Counts below are in characters.
//
// The tables are constant data owned by the library (GbkLiteral: converted
// once on first use); any thread may read them at any time.
#ifndef ZHTEXT_CLASSIFY_TOKEN_TABLES_H_
#define ZHTEXT_CLASSIFY_TOKEN_TABLES_H_

#include "zhtext/util/gbk_literal.h"

namespace zhtext {

// Chinese numerals, formal numerals, units, points and approximations (39).
extern const GbkLiteral NUMBER_CHARS;
// Characters accepted only at the start of a Chinese number: 数 第 (2).
extern const GbkLiteral NUMBER_PREFIX;
// The fraction word 分之, compared as four bytes.
extern const GbkLiteral FRACTION_WORD;
// Signs of a numeric quantity: ± 第 — ＋ (4), besides ASCII '+' and '-'.
extern const GbkLiteral SIGN_CHARS;
// Decimal points and fraction slashes: ∶ · ． ／ (4), besides '.' and '/'.
extern const GbkLiteral POINT_CHARS;
// Percent and per-mille signs: ％ ‰ (2), besides '%'.
extern const GbkLiteral PERCENT_CHARS;
// Units that may follow a numeric quantity: 百千万亿佰仟兆 (7).
extern const GbkLiteral UNIT_CHARS;
// Numerals of a small number: 零-十, 壹-玖 and the full-width digits (30).
extern const GbkLiteral SMALL_NUMBER_CHARS;
// The ASCII digits "0123456789" (10 one-byte characters).
extern const GbkLiteral DIGIT_CHARS;
// Characters of a year written in numerals (23): ’ (A1 AF), 零, ○ (A1 F0),
// 〇 (A9 96), ０, 一-九, 壹-玖.
extern const GbkLiteral YEAR_CHARS;
// First digits of a two-digit full-width year: ５６７８９ (5).
extern const GbkLiteral YEAR_TENS;
// Thousands and zeros of a year such as 二千零八: 千仟零〇○ (5).
extern const GbkLiteral THOUSAND_ZERO_CHARS;
// 千仟 (2).
extern const GbkLiteral THOUSAND_CHARS;

// Characters used to transliterate foreign personal names (382).
extern const GbkLiteral TRANSLIT_CHARS;
// Characters of Japanese personal names (252).
extern const GbkLiteral JAPANESE_NAME_CHARS;
// The most common transliteration characters (125).
extern const GbkLiteral TRANSLIT_CHARS_SHORT;

}  // namespace zhtext

#endif  // ZHTEXT_CLASSIFY_TOKEN_TABLES_H_
