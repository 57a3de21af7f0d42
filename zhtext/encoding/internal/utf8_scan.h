// Internal: the table-conversion rules for reading UTF-8, shared by the
// converters that produce UTF-16 units and those that go straight to GBK.
// Not part of the public interface.
#ifndef ZHTEXT_ENCODING_INTERNAL_UTF8_SCAN_H_
#define ZHTEXT_ENCODING_INTERNAL_UTF8_SCAN_H_

#include <cstddef>

namespace zhtext {
namespace internal {

inline bool IsUtf8Continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Walks `len` bytes of UTF-8: each well-formed 1-3 byte form is passed to
// `emit(unit)`; a well-formed 4-byte form is consumed whole and a stray or
// malformed byte alone, each counted as dropped. Returns the dropped count.
template <typename Emit>
std::size_t ScanUtf8Units(const char* text, std::size_t len, Emit emit) {
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  std::size_t dropped = 0;
  std::size_t i = 0;
  while (i < len) {
    unsigned char b0 = s[i];
    if (b0 < 0x80) {
      emit(static_cast<char16_t>(b0));
      i += 1;
    } else if (b0 >= 0xC0 && b0 <= 0xDF && i + 1 < len && IsUtf8Continuation(s[i + 1])) {
      emit(static_cast<char16_t>(((b0 & 0x1F) << 6) + (s[i + 1] & 0x3F)));
      i += 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF && i + 2 < len && IsUtf8Continuation(s[i + 1]) &&
               IsUtf8Continuation(s[i + 2])) {
      emit(static_cast<char16_t>(((b0 & 0x0F) << 12) + ((s[i + 1] & 0x3F) << 6) +
                                 (s[i + 2] & 0x3F)));
      i += 3;
    } else if (b0 >= 0xF0 && b0 <= 0xF7 && i + 3 < len && IsUtf8Continuation(s[i + 1]) &&
               IsUtf8Continuation(s[i + 2]) && IsUtf8Continuation(s[i + 3])) {
      ++dropped;
      i += 4;
    } else {
      ++dropped;
      i += 1;
    }
  }
  return dropped;
}

}  // namespace internal
}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_INTERNAL_UTF8_SCAN_H_
