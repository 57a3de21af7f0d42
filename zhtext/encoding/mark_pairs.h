// Whether a position of a GBK text lies inside a pair of marks, such as a
// quotation or a bracketed aside. Pure function, safe on any thread.
#ifndef ZHTEXT_ENCODING_MARK_PAIRS_H_
#define ZHTEXT_ENCODING_MARK_PAIRS_H_

#include <cstddef>
#include <string>

namespace zhtext {

// True when byte position `pos` of `text` lies between an `open` mark and
// the `close` mark that answers it: with s the last `open` starting at or
// before `pos` and e the first `close` starting at or after `pos` (false when
// either is missing), no `close` starts in [s, pos) and no `open` starts in
// (pos, e]. A mark at `pos` itself counts as inside. Marks are found only at
// character starts, never on the second byte of a two-byte character
// (so '[' never matches the 5B of 81 5B). The text may hold zero bytes.
bool IsInsidePair(const std::string& text, std::string open, std::string close, std::size_t pos);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_MARK_PAIRS_H_
