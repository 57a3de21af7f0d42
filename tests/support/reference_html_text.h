// A deliberately plain HtmlToText, the reference the fast one is compared
// with byte for byte: it follows the rules step by step in two passes (the
// rules write every byte into a string, then the spaces are collapsed), and
// searches afresh from the current byte each time, without remembered
// answers, run copies or the collapsing done on the fly.
#ifndef ZHTEXT_TESTS_SUPPORT_REFERENCE_HTML_TEXT_H_
#define ZHTEXT_TESTS_SUPPORT_REFERENCE_HTML_TEXT_H_

#include <cstddef>
#include <string>

namespace zhtext {
namespace testing {

// The text of `page` with capacity `cap` (0 = no limit), as HtmlToText
// gives it.
std::string ReferenceHtmlToText(const std::string& page, std::size_t cap);

}  // namespace testing
}  // namespace zhtext

#endif  // ZHTEXT_TESTS_SUPPORT_REFERENCE_HTML_TEXT_H_
