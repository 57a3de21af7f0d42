// Internal: searching and comparing GBK text by characters, so that a match
// never starts on, and a case fold never touches, the second byte of a
// two-byte character. Not part of the public interface.
#ifndef ZHTEXT_ENCODING_INTERNAL_GBK_SEARCH_H_
#define ZHTEXT_ENCODING_INTERNAL_GBK_SEARCH_H_

#include <cstddef>
#include <string_view>

namespace zhtext {
namespace internal {

// Length of the character at text[i] of a text of text.size() bytes (which
// may hold zero bytes): 2 for a byte of 0x80 or above followed by a non-zero
// byte, else 1. REQUIRES: i < text.size().
inline std::size_t GbkCharLengthAt(std::string_view text, std::size_t i) {
  return (static_cast<unsigned char>(text[i]) >= 0x80 && i + 1 < text.size() && text[i + 1] != '\0')
             ? 2
             : 1;
}

// The first character start at or after `pos`, stepping from the character
// start `from` (text.size() when none is left).
inline std::size_t NextCharStart(std::string_view text, std::size_t from, std::size_t pos) {
  std::size_t i = from;
  while (i < pos && i < text.size()) i += GbkCharLengthAt(text, i);
  return i < text.size() ? i : text.size();
}

// The first occurrence of `needle` in `text` that starts at a character start
// at or after `from`, or npos. An empty needle is found at `from`.
// REQUIRES: `from` is a character start (or text.size()).
inline std::size_t FindAtCharStart(std::string_view text, std::string_view needle,
                                   std::size_t from) {
  std::size_t boundary = from;
  std::size_t at = text.find(needle, from);
  while (at != std::string_view::npos) {
    while (boundary < at) boundary += GbkCharLengthAt(text, boundary);
    if (boundary == at) return at;
    at = text.find(needle, boundary);  // `boundary` is the next start after `at`
  }
  return std::string_view::npos;
}

// The last occurrence of `needle` that starts at a character start at or
// before `pos`, or npos.
inline std::size_t FindLastAtCharStart(std::string_view text, std::string_view needle,
                                       std::size_t pos) {
  std::size_t last = std::string_view::npos;
  std::size_t at = FindAtCharStart(text, needle, 0);
  while (at != std::string_view::npos && at <= pos) {
    last = at;
    if (at >= text.size()) break;
    at = FindAtCharStart(text, needle, at + GbkCharLengthAt(text, at));
  }
  return last;
}

inline int FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Compares at most `n` bytes of two zero-terminated GBK texts, ASCII letters
// folded to small letters in one-byte characters only; the two bytes of a
// two-byte character compare unchanged and unsigned. <0, 0 or >0.
inline int CompareGbkNoCaseN(const char* a, const char* b, std::size_t n) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] >= 0x80 || q[i] >= 0x80) {
      if (p[i] != q[i]) return p[i] - q[i];
      // The same lead byte in both: its trail byte is never folded.
      if (++i == n) return 0;
      if (p[i] != q[i] || p[i] == 0) return p[i] - q[i];
      continue;
    }
    int d = FoldAscii(p[i]) - FoldAscii(q[i]);
    if (d != 0 || p[i] == 0) return d;
  }
  return 0;
}

inline int CompareGbkNoCase(const char* a, const char* b) {
  return CompareGbkNoCaseN(a, b, static_cast<std::size_t>(-1));
}

}  // namespace internal
}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_INTERNAL_GBK_SEARCH_H_
