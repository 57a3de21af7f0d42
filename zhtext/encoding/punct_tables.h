// The fixed tables of the punctuation routines (punct_fold.h): the
// two-byte characters NormalizeForMatch folds to one ASCII byte, and the
// full-width forms ToFullWidthPunct gives for ASCII punctuation.
//
// Constant data owned by the library; any thread may read it at any time.
#ifndef ZHTEXT_ENCODING_PUNCT_TABLES_H_
#define ZHTEXT_ENCODING_PUNCT_TABLES_H_

#include <cstddef>

namespace zhtext {

// One entry of the matching-form table: a two-byte GBK character (lead byte
// in the high half of `code`) and the byte it becomes.
struct MATCH_FOLD {
  unsigned short code;
  char result;
};

// The 18 entries, by class: opening brackets to '(', closing brackets to
// ')', quotes to '"', separators (the ideographic space among them) to TAB.
inline constexpr std::size_t kMatchFoldCount = 18;
extern const MATCH_FOLD MATCH_FOLDS[kMatchFoldCount];

// The 16 ASCII punctuation bytes that have a full-width form, and their
// forms at the same index, as UTF-16 units converted through the built-in
// GBK table (kGbkTable) when used: '.' gives "。" (A1 A3), ',' "，" (A3 AC).
inline constexpr std::size_t kFullWidthPunctCount = 16;
inline constexpr char FULLWIDTH_PUNCT_KEYS[kFullWidthPunctCount + 1] = ".,;:?!%(){+}[]/=";
extern const char16_t FULLWIDTH_PUNCT_CHARS[kFullWidthPunctCount + 1];

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_PUNCT_TABLES_H_
