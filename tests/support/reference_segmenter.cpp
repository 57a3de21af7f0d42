#include "tests/support/reference_segmenter.h"

#include <cstring>

namespace zhtext {
namespace testing {

namespace {

unsigned char At(const std::string& text, int pos) { return static_cast<unsigned char>(text[pos]); }

bool OneByteSeparator(unsigned char c) { return std::strchr(" \t\r\n,/_", c) != nullptr && c != 0; }

bool TwoByteSeparator(int c) {
  static const int kTable[] = {0xA3DC, 0xA3FC, 0xA3AC, 0xA3AE, 0xA1A3,
                               0xA1A2, 0xA3AD, 0xA1AA, 0xAAA4};
  for (int entry : kTable) {
    if (entry == c) return true;
  }
  return false;
}

// Bytes of the run of separators at `pos` (mode 2).
int SeparatorRun(const std::string& text, int pos, int len) {
  int p = pos;
  while (p < len && At(text, p) != 0) {
    const unsigned char b = At(text, p);
    if (b >= 0x80) {
      if (p + 1 >= len || At(text, p + 1) == 0) break;
      if (!TwoByteSeparator(b * 256 + At(text, p + 1))) break;
      p += 2;
    } else {
      if (!OneByteSeparator(b)) break;
      p += 1;
    }
  }
  return p - pos;
}

bool Delimiter(unsigned char c) { return c != 0 && std::strchr(" \t-_,.:/~#%^*()", c) != nullptr; }

// The bytes an unknown ASCII token extends over: ASCII, no delimiter, no
// control byte.
bool Extends(unsigned char c) { return c >= 0x20 && c < 0x80 && !Delimiter(c); }

}  // namespace

int ReferenceCharValue(const std::string& text, int pos, int len, int mode, int* charLen) {
  const unsigned char b0 = At(text, pos);
  if (mode == 1) {
    *charLen = 1;
    return b0;
  }
  int value;
  if (b0 >= 0x80 && pos + 1 != len) {
    value = b0 * 256 + At(text, pos + 1);
    *charLen = 2;
  } else {
    value = b0;
    *charLen = 1;
  }
  if (mode == 0) {
    if (*charLen == 1 && b0 >= 'A' && b0 <= 'Z') value += 0x20;
    return value;
  }
  // Mode 2: the character once more as GBK, then the normalisation tests.
  const unsigned char b1 = pos + 1 < len ? At(text, pos + 1) : 0;
  if (b0 >= 0x80 && b1 != 0) {
    const int c = b0 * 256 + b1;
    *charLen = 2;
    if (c == 0xA3A8 || c == 0xA1BE) return '(';
    if (c == 0xA3A9 || c == 0xA1BF) return ')';
    if (c == 0xA1B0 || c == 0xA1B1 || c == 0xA1AE || c == 0xA3A7) return '"';
    if (b0 == 0xA3 && b1 >= 0xB0 && b1 <= 0xB9) return b1 - 0x80;
    if (b0 == 0xA3 && b1 >= 0xC1 && b1 <= 0xDA) return b1 - 0x60;
    if (b0 == 0xA3 && b1 >= 0xE1 && b1 <= 0xFA) return b1 - 0x80;
    if (TwoByteSeparator(c)) {
      *charLen = SeparatorRun(text, pos, len);
      return 9;
    }
    return value;
  }
  if (OneByteSeparator(b0)) {
    *charLen = SeparatorRun(text, pos, len);
    return 9;
  }
  *charLen = 1;
  if (b0 >= 'A' && b0 <= 'Z') return b0 + 0x20;
  return value;
}

ReferenceSegmenter::ReferenceSegmenter(const std::vector<std::string>& words, int mode)
    : mode_(mode) {
  for (std::string word : words) {
    if (word.compare(0, 3, "\xEF\xBB\xBF") == 0) word.erase(0, 3);
    word = word.substr(0, std::strlen(word.c_str()));
    const int len = static_cast<int>(word.size());
    Key key;
    for (int pos = 0; pos < len;) {
      int charLen;
      const int value = ReferenceCharValue(word, pos, len, mode, &charLen);
      pos += charLen;
      if (mode == 2 && value == 9) continue;  // separators are not stored
      key.push_back(value);
    }
    if (key.empty() || words_.count(key) != 0) continue;
    const int handle = static_cast<int>(words_.size());
    words_[key] = handle;
  }
  for (const auto& [key, handle] : words_) {
    for (std::size_t n = 1; n <= key.size(); ++n) {
      const Key prefix(key.begin(), key.begin() + static_cast<long>(n));
      prefixes_.insert(prefix);
      if (n < key.size()) extended_.insert(prefix);
    }
    alphabet_.insert(key.begin(), key.end());
  }
}

ReferenceSegmenter::Result ReferenceSegmenter::Segment(const std::string& input, bool withHandles,
                                                       bool allHandles, int maxLen,
                                                       char sep) const {
  const std::string text = input.substr(0, std::strlen(input.c_str()));
  const int len = static_cast<int>(text.size());
  Result result;

  int s = 0;       // segment start
  int p = 0;       // read position
  int m = 0;       // pending length, 0 when nothing is pending
  int h = -1;      // pending handle
  Key walked;      // the values read from s: the trie state
  auto reset = [&] {
    m = 0;
    walked.clear();
  };

  // A character emitted on its own; an ASCII character that is neither a
  // delimiter nor a control byte takes the ASCII bytes after it up to a
  // delimiter or a control byte. Returns the end of the token.
  auto emitCharacter = [&](int start, int charLen) {
    int end = start + charLen;
    if (charLen == 1 && Extends(At(text, start))) {
      while (end < len && Extends(At(text, end))) ++end;
    }
    result.out += text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
    result.out += sep;
    if (withHandles && allHandles) result.handles.push_back(-1);
    return end;
  };
  // The pending match: a dictionary word, or (handle -1) the start
  // character, which begins no word and is emitted on its own.
  auto emitPending = [&] {
    if (h == -1) return emitCharacter(s, m);
    result.out += text.substr(static_cast<std::size_t>(s), static_cast<std::size_t>(m));
    result.out += sep;
    if (withHandles) result.handles.push_back(h);
    h = -1;
    return s + m;
  };

  for (;;) {
    // 1. The end of the text.
    if (p >= len) {
      if (s >= len || m < 1) break;
      s = p = emitPending();
      reset();
      if (s >= len) break;
      continue;
    }
    // 2. The length limit.
    if (maxLen > 0 && p - s > maxLen) {
      s = p = emitPending();
      reset();
      continue;
    }
    // 3. The next character.
    int charLen;
    const int value = ReferenceCharValue(text, p, len, mode_, &charLen);
    const int charStart = p;
    p += charLen;
    // 4. A character without a code.
    if (alphabet_.count(value) == 0) {
      if (m > 0) {
        s = emitPending();
        if (s < charStart) {  // the rest is scanned again
          p = s;
          reset();
          continue;
        }
        if (s > charStart) {  // an ASCII token took this character along
          p = s;
          reset();
          continue;
        }
      }
      s = p = emitCharacter(charStart, charLen);
      reset();
      continue;
    }
    // 5. A failed step.
    Key next = walked;
    next.push_back(value);
    if (prefixes_.count(next) == 0) {
      if (m < 1) {
        s = p = emitCharacter(charStart, charLen);
      } else {
        s = p = emitPending();
      }
      reset();
      continue;
    }
    walked = next;
    auto word = words_.find(walked);
    if (word != words_.end()) {
      // 6. A word end; a leaf is emitted at once.
      h = word->second;
      m = p - s;
      if (extended_.count(walked) == 0) {
        s = p = emitPending();
        reset();
      }
    } else if (m == 0) {
      // 7. A start character that does not end a word.
      m = charLen;
    }
  }
  return result;
}

}  // namespace testing
}  // namespace zhtext
