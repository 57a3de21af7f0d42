#include "zhtext/encoding/similarity.h"

#include <cstring>
#include <string_view>

#include "zhtext/encoding/internal/gbk_search.h"

namespace zhtext {

double Similarity(const char* part, const char* text) {
  if (part == nullptr) return text == nullptr ? 1.0 : 0.5;
  if (text == nullptr) return part[0] == '\0' ? 0.5 : 0.0;
  if (part[0] == '\0') return text[0] == '\0' ? 1.0 : 0.5;
  if (text[0] == '\0') return 0.0;
  if (internal::CompareGbkNoCase(part, text) == 0) return 1.0;

  const std::string_view whole(text);
  const std::string_view needle(part);
  const double n = static_cast<double>(needle.size());
  const double length = static_cast<double>(whole.size());
  if (internal::FindAtCharStart(whole, needle, 0) != std::string_view::npos) return n / length;

  double score = 0;
  std::size_t pos = 0;
  for (std::size_t i = 0; i < needle.size();) {
    const std::size_t k = internal::GbkCharLengthAt(needle, i);
    const std::size_t q = internal::FindAtCharStart(whole, needle.substr(i, k), pos);
    if (q == std::string_view::npos) {
      score += 0.6 * static_cast<double>(k);
    } else {
      score += q == pos + k ? static_cast<double>(k) : 0.9 * static_cast<double>(k);
      pos = q;
    }
    i += k;
  }
  const double result = score * score / (length * n);
  return result < 1.0 ? result : 1.0;
}

}  // namespace zhtext
