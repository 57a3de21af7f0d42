#include "zhtext/encoding/mark_pairs.h"

#include <string_view>

#include "zhtext/encoding/internal/gbk_search.h"

namespace zhtext {

bool IsInsidePair(const std::string& text, std::string open, std::string close, std::size_t pos) {
  constexpr std::size_t npos = std::string_view::npos;
  const std::string_view whole(text);
  if (pos > whole.size()) return false;
  const std::size_t s = internal::FindLastAtCharStart(whole, open, pos);
  if (s == npos) return false;
  const std::size_t e =
      internal::FindAtCharStart(whole, close, internal::NextCharStart(whole, 0, pos));
  if (e == npos) return false;
  // The first close after the opening mark, and the last open before the
  // closing one.
  const std::size_t firstClose = internal::FindAtCharStart(whole, close, s);
  const std::size_t lastOpen = internal::FindLastAtCharStart(whole, open, e);
  return firstClose >= pos && lastOpen <= pos;
}

}  // namespace zhtext
