#include "zhtext/dictionary/import_term.h"

#include <cstring>

#include "zhtext/util/string_utils.h"

namespace zhtext {

bool NormalizeImportTerm(const char* token, const char* rest, const char* separator,
                         std::string* term, std::string* output) {
  const char* t = token != nullptr ? token : "";
  if (std::strncmp(t, "\xEF\xBB\xBF", 3) == 0) t += 3;
  if (t[0] == '[') {
    const char* open = rest != nullptr ? std::strchr(rest, '[') : nullptr;
    if (open == nullptr) open = t;
    const char* start = open + 1;
    const char* close = std::strchr(start, ']');
    if (close != nullptr) {
      term->assign(start, static_cast<std::size_t>(close - start));
    } else {
      term->assign(start);
    }
  } else {
    term->assign(t);
  }

  bool bracketed = false;
  const unsigned char first = term->empty() ? 0 : static_cast<unsigned char>((*term)[0]);
  if (first >= 0x01 && first <= 0x7F) {
    ReplaceAll(*term, "_", " ");
    bracketed = term->find_first_of(" \t") != std::string::npos;
  }
  if (bracketed) {
    output->assign("[");
    output->append(*term);
    output->append("]");
  } else {
    output->assign(*term);
  }
  if (separator != nullptr) output->append(separator);
  return bracketed;
}

}  // namespace zhtext
