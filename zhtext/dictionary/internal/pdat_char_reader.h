// Internal: the character reader of CPDAT, inline for the walks that run
// once per character (searches, adding, text scanning). Not part of the
// public interface; include it only from zhtext/dictionary sources.
//
// ReadChar<kMode, kCounted> reads the character at `pos`:
//   kMode     0 double-byte with A-Z folded, 1 single-byte, 2 double-byte
//             with full-width forms, brackets and quotes normalised and every
//             run of separators read as the one value 9;
//   kCounted  true: the text ends at `len` (no byte at or past it is read);
//             false: the text ends at its zero byte (`len` is ignored), which
//             gives the same result as passing strlen(text) without
//             measuring it.
// REQUIRES: pos is inside the text (pos < len, or text[pos] != 0).
#ifndef ZHTEXT_DICTIONARY_INTERNAL_PDAT_CHAR_READER_H_
#define ZHTEXT_DICTIONARY_INTERNAL_PDAT_CHAR_READER_H_

#include <type_traits>

#include "zhtext/dictionary/pdat.h"

namespace zhtext {
namespace internal {

// Calls f(std::integral_constant<int, m>{}) for the character mode `mode`
// (1 or 2; anything else is 0), so that every walk has one instance per mode
// with the mode known at compile time: WithMode(m_nEncoding, [&](auto m) {
// return WalkIn<decltype(m)::value>(...); }).
template <typename F>
inline decltype(auto) WithMode(int mode, F&& f) {
  switch (mode) {
    case 1:
      return f(std::integral_constant<int, 1>{});
    case 2:
      return f(std::integral_constant<int, 2>{});
    default:
      return f(std::integral_constant<int, 0>{});
  }
}

// The separators of mode 2: " \t\r\n,/_" and nine two-byte characters
// (full-width backslash, vertical bar, comma, full stop and hyphen, the
// ideographic full stop, the enumeration comma, the em dash and AA A4).
inline bool IsOneByteSeparator(unsigned c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == '/' || c == '_';
}

inline bool IsTwoByteSeparator(unsigned c) {
  switch (c) {
    case 0xA3DC:
    case 0xA3FC:
    case 0xA3AC:
    case 0xA3AE:
    case 0xA1A3:
    case 0xA1A2:
    case 0xA3AD:
    case 0xA1AA:
    case 0xAAA4:
      return true;
    default:
      return false;
  }
}

// Whether a byte follows `pos` inside the text.
template <bool kCounted>
inline bool HasNextByte(const unsigned char* s, int pos, int len) {
  return kCounted ? pos + 1 < len : s[pos + 1] != 0;
}

// Length of the run of separators starting at `pos` (0 if none); a zero byte
// or the end of the text ends it.
template <bool kCounted>
inline int SeparatorRunLength(const unsigned char* s, int pos, int len) {
  int p = pos;
  while (!kCounted || p < len) {
    unsigned a = s[p];
    if (a == 0) break;
    if (a >= 0x80) {
      if (!HasNextByte<kCounted>(s, p, len) || s[p + 1] == 0) break;
      if (!IsTwoByteSeparator(a << 8 | s[p + 1])) break;
      p += 2;
    } else {
      if (!IsOneByteSeparator(a)) break;
      p += 1;
    }
  }
  return p - pos;
}

// Whitespace values that the searches fold into one space.
inline bool IsFoldedSpace(int v) { return v == 32 || v == 9 || v == 10 || v == 13; }

// A reached cell ends a word when its base is negative, or 0 with a handle.
inline bool IsWordEnd(const PDAT_CELL& cell) {
  return cell.base < 0 || (cell.base == 0 && cell.handle >= 0);
}

// The child offset of a cell: |base|, computed without overflow.
inline unsigned CellOffset(const PDAT_CELL& cell) {
  return cell.base < 0 ? 0u - static_cast<unsigned>(cell.base) : static_cast<unsigned>(cell.base);
}

// A walk down the cells from the root, one character code at a time: the
// node reached (`parent`; -2 for the root, whose children sit at their
// codes) and where its children start (`offset`).
struct CellWalk {
  const PDAT_CELL* cells;
  unsigned maxCell;
  int parent = -2;
  unsigned offset = 0;

  // Moves to the child for the character code `code` (>= 0) and returns its
  // cell; null, with the walk unchanged, when the node has no such child.
  const PDAT_CELL* Step(int code) {
    const unsigned next = static_cast<unsigned>(code) + offset;
    if (next > maxCell || cells[next].check != parent) return nullptr;
    parent = static_cast<int>(next);
    offset = CellOffset(cells[next]);
    return &cells[next];
  }

  // Whether the node reached is a leaf: no longer word goes through it.
  bool AtLeaf() const { return offset == static_cast<unsigned>(parent); }

  // Back to the root.
  void Restart() {
    parent = -2;
    offset = 0;
  }
};

}  // namespace internal

template <int kMode, bool kCounted>
inline int CPDAT::ReadChar(const unsigned char* s, int pos, int len, int* charLen) const {
  const unsigned b0 = s[pos];
  if (kMode == 1) {
    *charLen = 1;
    return static_cast<int>(b0);
  }
  const bool hasNext = internal::HasNextByte<kCounted>(s, pos, len);
  if (kMode == 0) {
    if (b0 >= 0x80 && hasNext) {
      *charLen = 2;
      return static_cast<int>(b0 << 8 | s[pos + 1]);
    }
    *charLen = 1;
    return static_cast<int>(b0 - 'A' < 26u ? b0 + 0x20 : b0);
  }
  // Mode 2.
  const unsigned b1 = hasNext ? s[pos + 1] : 0u;
  if (b0 >= 0x80 && b1 != 0) {
    const unsigned c = b0 << 8 | b1;
    *charLen = 2;
    switch (c) {
      case 0xA3A8:
      case 0xA1BE:  // full-width "(" and the lenticular bracket
        return 0x28;
      case 0xA3A9:
      case 0xA1BF:
        return 0x29;
      case 0xA1B0:
      case 0xA1B1:
      case 0xA1AE:
      case 0xA3A7:  // curly and full-width quotes
        return 0x22;
      default:
        break;
    }
    if (b0 == 0xA3) {
      if (b1 >= 0xB0 && b1 <= 0xB9) return static_cast<int>(b1 - 0x80);  // digits
      if (b1 >= 0xC1 && b1 <= 0xDA) return static_cast<int>(b1 - 0x60);  // capitals
      if (b1 >= 0xE1 && b1 <= 0xFA) return static_cast<int>(b1 - 0x80);  // small letters
    }
    if (internal::IsTwoByteSeparator(c)) {
      *charLen = internal::SeparatorRunLength<kCounted>(s, pos, len);
      return 9;
    }
    return static_cast<int>(c);
  }
  if (internal::IsOneByteSeparator(b0)) {
    *charLen = internal::SeparatorRunLength<kCounted>(s, pos, len);
    return 9;
  }
  if (b0 - 'A' < 26u) {
    *charLen = 1;
    return static_cast<int>(b0 + 0x20);
  }
  if (b0 >= 0x80 && hasNext) {  // a lead byte before a zero inside a counted key
    *charLen = 2;
    return static_cast<int>(b0 << 8);
  }
  *charLen = 1;
  return static_cast<int>(b0);
}

}  // namespace zhtext

#endif  // ZHTEXT_DICTIONARY_INTERNAL_PDAT_CHAR_READER_H_
