// The fixed tables of the GBK text routines (gbk_text.h): place-type
// suffixes and the folding of full-width and small-form punctuation.
//
// Constant data owned by the library (GbkLiteral texts are converted once,
// on first use); any thread may read them at any time.
#ifndef ZHTEXT_UTIL_GBK_TEXT_TABLES_H_
#define ZHTEXT_UTIL_GBK_TEXT_TABLES_H_

#include <cstddef>

#include "zhtext/util/gbk_literal.h"

namespace zhtext {

// Place-type suffixes of two or more characters, in the order SplitPlaceSuffix
// tries them: "半岛", "草原", ... "自治州". A longer suffix that ends in a
// shorter one comes first ("高速公路" before "公路").
inline constexpr std::size_t kPlaceSuffixCount = 50;
extern const GbkLiteral PLACE_SUFFIXES[kPlaceSuffixCount];

// Single-character place-type suffixes (99 two-byte characters).
extern const GbkLiteral PLACE_SUFFIX_CHARS;

// One entry of the punctuation folding table: a two-byte GBK character
// (lead byte in the high half of `code`) and the ASCII byte it folds to.
struct FULLWIDTH_FOLD {
  unsigned short code;
  char ascii;
};

// The 63 folding entries, grouped by their ASCII result.
inline constexpr std::size_t kFullWidthFoldCount = 63;
extern const FULLWIDTH_FOLD FULLWIDTH_FOLDS[kFullWidthFoldCount];

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_GBK_TEXT_TABLES_H_
