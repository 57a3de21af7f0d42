// Internal: finding one-byte characters in GBK text by stepping character by
// character, so that an ASCII byte is never matched on the second byte of a
// two-byte character ('\\' is the 5C of 81 5C, '_' the 5F of 81 5F). Not
// part of the public interface.
#ifndef ZHTEXT_UTIL_INTERNAL_GBK_FIND_H_
#define ZHTEXT_UTIL_INTERNAL_GBK_FIND_H_

#include "zhtext/encoding/gbk_chars.h"

namespace zhtext {
namespace internal {

// The first one-byte character of `text` for which `match(byte)` holds, or
// null. REQUIRES: `text` starts at a character start.
template <typename Match>
const char* FindGbkByte(const char* text, Match match) {
  const char* p = text;
  while (*p != '\0') {
    if (match(*p)) return p;
    int code;
    p += GetGbkCharCode(p, &code);
  }
  return nullptr;
}

// The last such character, or null.
template <typename Match>
const char* FindLastGbkByte(const char* text, Match match) {
  const char* last = nullptr;
  for (const char* p = FindGbkByte(text, match); p != nullptr; p = FindGbkByte(p + 1, match)) {
    last = p;
  }
  return last;
}

}  // namespace internal
}  // namespace zhtext

#endif  // ZHTEXT_UTIL_INTERNAL_GBK_FIND_H_
