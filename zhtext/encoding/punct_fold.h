// Punctuation folding for matching and display: the matching form of GBK
// text (lower case, ASCII digits and letters, three bracket and quote forms,
// separators as TAB), and the full-width GBK form of ASCII punctuation.
// The opposite fold, full-width forms to ASCII with letter case kept, is
// FoldFullWidth (zhtext/util/gbk_text.h).
//
// The tables are in punct_tables.h. Nothing here allocates; every function
// is re-entrant and may run concurrently on different buffers.
#ifndef ZHTEXT_ENCODING_PUNCT_FOLD_H_
#define ZHTEXT_ENCODING_PUNCT_FOLD_H_

#include <cstddef>

namespace zhtext {

// Rewrites the `len` bytes of `buf` in place into their matching form and
// returns the new length; `buf[result]` is set to zero. The text is stepped
// by characters: a byte of 0x80 or above with a byte after it within `len`
// is a two-byte character (whatever the second byte), any other byte a
// character of its own, so the second byte of a character is never folded.
//   - a character of MATCH_FOLDS becomes its one byte ('(' ')' '"' or TAB);
//   - a full-width digit (A3 B0-B9) becomes the ASCII digit, a full-width
//     letter (A3 C1-DA, A3 E1-FA) the small ASCII letter;
//   - other two-byte characters are kept;
//   - a single byte ',', '/' or '_' becomes TAB unless `keepAsciiSeparators`;
//     'A'-'Z' become small; other single bytes are kept.
// Zero bytes within `len` are ordinary single bytes.
// REQUIRES: `buf` holds at least `len` + 1 bytes.
std::size_t NormalizeForMatch(char* buf, std::size_t len, bool keepAsciiSeparators);

// When `ch` is one of the 16 bytes of FULLWIDTH_PUNCT_KEYS, writes its
// two-byte GBK full-width form and a zero into `out` and returns true ('+'
// gives "＋" A3 AB). Otherwise writes `ch` and a zero and returns false.
// REQUIRES: `out` holds at least 3 bytes.
bool ToFullWidthPunct(char ch, char* out);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_PUNCT_FOLD_H_
