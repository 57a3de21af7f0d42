// CPDAT: scanning running text with the dictionary (Segment, SegmentFile,
// MatchWords, FindWords, SpotWords).
//
// Every scan reads one character (one look-up of its code) and one cell per
// trie step, as the searches do; none allocates inside its loop. Buffers
// are sized once per call from the text's length.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "zhtext/dictionary/internal/pdat_char_reader.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/util/file_reader.h"
#include "zhtext/util/text_mode.h"

namespace zhtext {

using internal::CellWalk;
using internal::IsWordEnd;

namespace {

// The cell array of a dictionary that was never built or loaded: one free
// cell, so that every step fails without a test for a missing array.
const PDAT_CELL kNoCells[1] = {{-1, -1, -1}};

// Inline here rather than the out-of-line IsAsciiLetter and IsDigit of
// string_utils.h: the boundary test runs for every word a scan finds.
inline bool IsLetterByte(char c) {
  return static_cast<unsigned>((static_cast<unsigned char>(c) | 0x20) - 'a') < 26u;
}
inline bool IsDigitByte(char c) { return static_cast<unsigned>(c - '0') < 10u; }

// Both ASCII letters or both ASCII digits: bytes of one ASCII word or
// number, which no word boundary may fall between.
inline bool SameAsciiRun(char a, char b) {
  return (IsLetterByte(a) && IsLetterByte(b)) || (IsDigitByte(a) && IsDigitByte(b));
}

// The delimiters of Segment, by byte.
struct DelimiterTable {
  bool is[256] = {};
  constexpr DelimiterTable() {
    for (const char* d = " \t-_,.:/~#%^*()"; *d != '\0'; ++d)
      is[static_cast<unsigned char>(*d)] = true;
  }
};
constexpr DelimiterTable kDelimiters;

inline bool Delimiter(unsigned char c) { return kDelimiters.is[c]; }

// The bytes an unknown ASCII token extends over (and may start from): below
// 0x80, not a delimiter, and not a control byte (below 0x20), so that a line
// feed or a carriage return ends an ASCII word and is a token of its own.
struct ExtensionTable {
  bool is[256] = {};
  constexpr ExtensionTable() {
    for (int c = 0x20; c < 0x80; ++c) is[c] = !DelimiterTable().is[c];
  }
};
constexpr ExtensionTable kExtends;

inline bool Extends(unsigned char c) { return kExtends.is[c]; }

// Copies a token: most are a few bytes, for which a call to memcpy costs
// more than the copy.
inline void CopyToken(char* out, const unsigned char* from, int n) {
  if (n <= 8) {
    for (int i = 0; i < n; ++i) out[i] = static_cast<char>(from[i]);
  } else {
    std::memcpy(out, from, static_cast<std::size_t>(n));
  }
}

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The characters that end a candidate in MatchWords type 1: all but 0-9,
// a-z, the byte 0xFF and the two-byte characters from B0 A1 on (both bytes).
bool EndsOverlapCandidate(int v) {
  if (v < 256) {
    return !(static_cast<unsigned>(v - '0') < 10u || static_cast<unsigned>(v - 'a') < 26u ||
             v == 0xFF);
  }
  return !((v >> 8) >= 0xB0 && (v & 0xFF) >= 0xA1);
}

// Grows a caller's heap block to `bytes`.
void* Grow(void* block, std::size_t bytes) {
  void* grown = std::realloc(block, bytes);
  if (grown == nullptr) throw std::bad_alloc();
  return grown;
}

// The length of a scanned text, or -1 when it is too long to scan.
int ScanLength(const char* text) {
  if (text == nullptr) return 0;
  const std::size_t n = std::strlen(text);
  return n > static_cast<std::size_t>(CPDAT::kMaxScanText) ? -1 : static_cast<int>(n);
}

// A walk from the root of the cells of one scan (never null).
CellWalk RootWalk(const PDAT_CELL* cells, int maxCell) {
  if (cells == nullptr) return CellWalk{kNoCells, 0};
  return CellWalk{cells, static_cast<unsigned>(maxCell)};
}

}  // namespace

bool CPDAT::IsWordBoundary(const char* text, int start, int end, int len) {
  if (text == nullptr) return true;
  if (start > 0 && start < len && SameAsciiRun(text[start - 1], text[start])) return false;
  return !(end >= 1 && end < len && SameAsciiRun(text[end - 1], text[end]));
}

// ---- Segment -------------------------------------------------------------------

// Forward maximum matching. State: segment start s, read position p,
// pending length m (0: nothing pending) with its handle h, and the walk
// down the trie. After every restart s == p, so the scan from there
// on depends only on the text from s: a token is never emitted twice.
template <int kMode>
int CPDAT::SegmentIn(const unsigned char* t, int len, int* handles, char* out, bool allHandles,
                     int maxLen, char sep) const {
  CellWalk walk = RootWalk(m_pCells, m_nMaxCell);
  const int* codes = m_nCharCode;
  char* o = out;
  int count = 0;
  int s = 0, p = 0, m = 0, h = -1;

  // Emits [s, s + n) as one token. A token that is no dictionary word and
  // is an ASCII character (not a delimiter or a control byte) takes the
  // following such bytes with it; the new segment start is returned.
  auto emit = [&](int start, int n, int handle) -> int {
    int end = start + n;
    if (handle < 0) {
      if (n == 1 && Extends(t[start])) {
        while (end < len && Extends(t[end])) ++end;
      }
      if (handles != nullptr && allHandles) handles[count++] = -1;
    } else if (handles != nullptr) {
      handles[count++] = handle;
    }
    CopyToken(o, t + start, end - start);
    o += end - start;
    *o++ = sep;
    return end;
  };

  // The next segment starts at `end`, with nothing pending, from the root.
  auto restartAt = [&](int end) {
    s = p = end;
    m = 0;
    h = -1;
    walk.Restart();
  };

  for (;;) {
    if (p >= len) {
      if (s >= len || m < 1) break;
      restartAt(emit(s, m, h));
      if (s >= len) break;
      continue;
    }
    if (maxLen > 0 && p - s > maxLen) {
      restartAt(emit(s, m, h));
      continue;
    }
    int charLen;
    const int v = ReadChar<kMode, true>(t, p, len, &charLen);
    const int charStart = p;
    p += charLen;
    const int code = codes[v];
    if (code < 0) {
      if (m > 0) {
        const int end = emit(s, m, h);
        // The characters in between are scanned again; an ASCII token may
        // also have taken this character already.
        if (end != charStart) {
          restartAt(end);
          continue;
        }
      }
      restartAt(emit(charStart, charLen, -1));
      continue;
    }
    const PDAT_CELL* cell = walk.Step(code);
    if (cell == nullptr) {
      restartAt(m < 1 ? emit(charStart, charLen, -1) : emit(s, m, h));
      continue;
    }
    if (IsWordEnd(*cell)) {
      h = cell->handle;
      m = p - s;
      if (walk.AtLeaf()) restartAt(emit(s, m, h));  // no longer word follows
    } else if (m == 0) {
      m = charLen;
    }
  }
  *o = '\0';
  return count;
}

int CPDAT::Segment(const char* text, int** handles, int* handlesSize, char** out, int* outSize,
                   bool allHandles, int maxLen, char sep) const {
  if (out == nullptr || outSize == nullptr) return 0;
  int len = ScanLength(text);
  const bool tooLong = len < 0;
  if (tooLong) len = 0;
  // The output needs at most 2 x length + 1 bytes (each byte once, a
  // separator per token); the buffer is sized 6 x length + 1 where that fits.
  const long long wanted = 6LL * len + 1;
  const int need = wanted <= 0x7FFFFFFF ? static_cast<int>(wanted) : 2 * len + 1;
  if (*out == nullptr || *outSize < need) {
    *out = static_cast<char*>(Grow(*out, static_cast<std::size_t>(need)));
    *outSize = need;
  }
  int* handleArray = nullptr;
  if (handles != nullptr && handlesSize != nullptr) {
    if (*handles == nullptr || *handlesSize < len + 2) {
      *handles =
          static_cast<int*>(Grow(*handles, sizeof(int) * (static_cast<std::size_t>(len) + 2)));
      *handlesSize = len + 2;
    }
    handleArray = *handles;
  }
  if (tooLong || len == 0) {
    **out = '\0';
    return 0;
  }
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  return internal::WithMode(m_nEncoding, [&](auto m) {
    return SegmentIn<decltype(m)::value>(s, len, handleArray, *out, allHandles, maxLen, sep);
  });
}

const char* CPDAT::Segment(const char* text, int maxLen, char sep) {
  Segment(text, nullptr, nullptr, &m_pBuffer, &m_nBufferSize, false, maxLen, sep);
  return m_pBuffer;
}

template <int kMode>
int CPDAT::FindSegmentCutIn(const unsigned char* t, int len, int from) const {
  int pos = 0;
  while (pos < len) {
    int charLen;
    const int v = ReadChar<kMode, true>(t, pos, len, &charLen);
    const int end = pos + charLen;
    // (A mode-2 separator run, value 9, may go on past any end.)
    if (end >= from && m_nCharCode[v] < 0 && (kMode != 2 || v != 9) &&
        (charLen == 2 || (charLen == 1 && Delimiter(t[pos])))) {
      return end;
    }
    pos = end;
  }
  return len;
}

int CPDAT::FindSegmentCut(const char* text, int len, int from) const {
  if (text == nullptr || len <= 0) return 0;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  return internal::WithMode(
      m_nEncoding, [&](auto m) { return FindSegmentCutIn<decltype(m)::value>(s, len, from); });
}

float CPDAT::SegmentFile(const char* inPath, const char* outPath) {
  if (inPath == nullptr || outPath == nullptr) return 0;
  char* input = nullptr;
  const std::size_t bytes = ReadFileBlock(inPath, &input, 0, 0, true);
  if (bytes == 0) {
    delete[] input;
    return 0;
  }
  std::FILE* output = OpenTextFile(outPath, "w");
  if (output == nullptr) {
    delete[] input;
    return 0;
  }
  const auto started = std::chrono::steady_clock::now();
  const char* result = Segment(input, -1, '\t');
  bool written = WriteText(output, result);
  written = WriteText(output, "\n") && written;
  const auto finished = std::chrono::steady_clock::now();
  delete[] input;
  written = std::fclose(output) == 0 && written;
  if (!written) return 0;
  long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(finished - started).count();
  if (ms < 1) ms = 1;
  return static_cast<float>(static_cast<double>(bytes) / (static_cast<double>(ms) / 1000.0) /
                            1000.0);
}

// ---- MatchWords ------------------------------------------------------------------

template <int kMode>
void CPDAT::MatchWordsIn(const unsigned char* t, int len, std::vector<PDAT_MATCH>& matches,
                         int type) const {
  const CellWalk root = RootWalk(m_pCells, m_nMaxCell);
  const int* codes = m_nCharCode;
  const char* text = reinterpret_cast<const char*>(t);
  const bool tested = type != 2;
  const bool overlapping = type == 1;

  int s = 0;
  while (s < len) {
    CellWalk walk = root;
    int keptHandle = -1;  // the kept span: the latest word end, else the
    int keptLen = 0;      // first character (handle -1); 0: nothing kept
    int firstLen = 0;
    bool stored = false;
    bool untested = false;  // type 1: a word before an ending character
    int p = s;
    for (;;) {
      if (p >= len) break;
      int charLen;
      const int v = ReadChar<kMode, true>(t, p, len, &charLen);
      if (p == s) firstLen = charLen;
      if (overlapping && EndsOverlapCandidate(v)) {
        untested = true;
        break;
      }
      const int code = codes[v];
      if (code < 0) break;
      const PDAT_CELL* cell = walk.Step(code);
      if (cell == nullptr) break;
      p += charLen;
      if (IsWordEnd(*cell)) {
        keptHandle = cell->handle;
        keptLen = p - s;
        if (walk.AtLeaf() && (!tested || IsWordBoundary(text, s, p, len))) {
          stored = true;
          break;
        }
      } else if (keptLen == 0) {
        keptLen = charLen;
      }
    }
    if (!stored && keptHandle >= 0 && keptLen > 0 &&
        (untested || !tested || IsWordBoundary(text, s, s + keptLen, len))) {
      stored = true;
    }
    if (stored) matches.push_back(PDAT_MATCH{keptHandle, s, keptLen, nullptr});
    if (overlapping) {
      s += firstLen;
    } else if (keptLen > 0) {
      s += keptLen;
    } else {
      s += firstLen;  // the first character ended the candidate
    }
  }
}

int CPDAT::MatchWords(const char* text, std::vector<PDAT_MATCH>& matches, int type) const {
  if (type < 0 || type > 2) return 0;
  const int len = ScanLength(text);
  if (len <= 0) return 0;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  internal::WithMode(m_nEncoding,
                     [&](auto m) { MatchWordsIn<decltype(m)::value>(s, len, matches, type); });
  return 0;
}

// ---- FindWords -------------------------------------------------------------------

// `out` may be null (only `found` is wanted); it holds at least 2 x len + 1
// bytes otherwise.
template <int kMode>
void CPDAT::FindWordsIn(const unsigned char* t, int len, char* out, bool* found) const {
  const CellWalk root = RootWalk(m_pCells, m_nMaxCell);
  const int* codes = m_nCharCode;
  const char* text = reinterpret_cast<const char*>(t);
  char* o = out;
  bool blankOwed = false;  // the last word was written without its blank

  // Writes a word; false when the search is over (found given).
  auto emit = [&](int start, int n, bool blank) -> bool {
    if (found != nullptr) {
      *found = true;
      if (o != nullptr) {
        std::memcpy(o, t + start, static_cast<std::size_t>(n));
        o += n;
      }
      return false;
    }
    if (o != nullptr) {
      if (blankOwed) *o++ = ' ';
      std::memcpy(o, t + start, static_cast<std::size_t>(n));
      o += n;
      if (blank) *o++ = ' ';
    }
    blankOwed = !blank;
    return true;
  };

  int s = 0;
  while (s < len) {
    CellWalk walk = root;
    int wordLen = 0;  // the latest word end; 0: none yet
    int firstLen = 0;
    int p = s;
    bool emitted = false;
    bool failedAtStart = false;
    bool atEnd = false;
    for (;;) {
      if (p >= len) {
        atEnd = true;
        break;
      }
      int charLen;
      const int v = ReadChar<kMode, true>(t, p, len, &charLen);
      if (p == s) firstLen = charLen;
      const int code = codes[v];
      if (code < 0) break;
      const PDAT_CELL* cell = walk.Step(code);
      if (cell == nullptr) {
        failedAtStart = p == s;
        break;
      }
      p += charLen;
      if (IsWordEnd(*cell)) {
        wordLen = p - s;
        if (walk.AtLeaf() && IsWordBoundary(text, s, p, len)) {
          if (!emit(s, wordLen, true)) goto done;
          emitted = true;
          break;
        }
      }
    }
    if (!emitted && wordLen > 0 && IsWordBoundary(text, s, s + wordLen, len)) {
      // A word whose walk ran into the end of the text has no blank.
      if (!emit(s, wordLen, !atEnd)) goto done;
    }
    if (wordLen > 0) {
      s += wordLen;
    } else {
      const char c = text[s];
      s += firstLen;
      // No word starts inside the run of letters (or digits) that a letter
      // (digit) beginning no word belongs to: the boundary test rejects it.
      if (failedAtStart && firstLen == 1) {
        while (s < len && SameAsciiRun(c, text[s])) ++s;
      }
    }
  }
done:
  if (o != nullptr) *o = '\0';
}

const char* CPDAT::FindWords(const char* text, char** buffer, int* bufferSize, bool* found) const {
  if (found != nullptr) *found = false;
  int len = ScanLength(text);
  const bool tooLong = len < 0;
  if (tooLong) len = 0;
  char* out = nullptr;
  if (buffer != nullptr && bufferSize != nullptr) {
    if (*buffer == nullptr || *bufferSize < 2 * len + 1) {
      const long long wanted = 3LL * len + 1;
      const int size = wanted <= 0x7FFFFFFF ? static_cast<int>(wanted) : 2 * len + 1;
      *buffer = static_cast<char*>(Grow(*buffer, static_cast<std::size_t>(size)));
      *bufferSize = size;
    }
    out = *buffer;
    *out = '\0';
  }
  if (len > 0) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    internal::WithMode(m_nEncoding,
                       [&](auto m) { FindWordsIn<decltype(m)::value>(s, len, out, found); });
  }
  return out;
}

const char* CPDAT::FindWords(const char* text, bool* found) {
  return FindWords(text, &m_pBuffer, &m_nBufferSize, found);
}

// ---- SpotWords -------------------------------------------------------------------

// `out` holds limit + 1 bytes.
template <int kMode>
void CPDAT::SpotWordsIn(const unsigned char* t, int len, char* out, int limit) const {
  const CellWalk root = RootWalk(m_pCells, m_nMaxCell);
  const int* codes = m_nCharCode;
  const char* text = reinterpret_cast<const char*>(t);
  int used = 0;

  // Writes a word and a blank; false once a word does not fit.
  auto write = [&](int start, int n) -> bool {
    if (n + 1 > limit - used) return false;
    std::memcpy(out + used, t + start, static_cast<std::size_t>(n));
    used += n;
    out[used++] = ' ';
    return true;
  };

  int s = 0;
  while (s < len) {
    CellWalk walk = root;
    int firstLen = 0;
    int shortest = 0;  // the first word end
    int longest = 0;   // the latest word end past the first
    bool stepped = false;
    bool full = false;
    int p = s;
    while (p < len) {
      int charLen;
      const int v = ReadChar<kMode, true>(t, p, len, &charLen);
      if (p == s) firstLen = charLen;
      const int code = codes[v];
      if (code < 0) break;
      const PDAT_CELL* cell = walk.Step(code);
      if (cell == nullptr) break;
      p += charLen;
      stepped = true;
      if (!IsWordEnd(*cell)) continue;
      if (shortest == 0) {
        shortest = p - s;
        if (IsWordBoundary(text, s, p, len) && !write(s, shortest)) {
          full = true;
          break;
        }
      } else {
        longest = p - s;
      }
      if (walk.AtLeaf()) break;
    }
    if (full) break;
    if (longest > 0 && IsWordBoundary(text, s, s + longest, len) && !write(s, longest)) break;
    s += firstLen;
    if (!stepped && firstLen == 1 && s < len && IsBlank(t[s])) ++s;
  }
  out[used] = '\0';
}

const char* CPDAT::SpotWords(const char* text) {
  int len = ScanLength(text);
  if (len < 0) len = 0;
  const long long wanted = 5LL * len + 1;
  const int size = wanted <= 0x7FFFFFFF ? static_cast<int>(wanted) : 2 * len + 1;
  std::free(m_pBuffer);
  m_pBuffer = nullptr;
  m_nBufferSize = 0;
  m_pBuffer = static_cast<char*>(std::malloc(static_cast<std::size_t>(size)));
  if (m_pBuffer == nullptr) throw std::bad_alloc();
  m_nBufferSize = size;
  m_pBuffer[0] = '\0';
  if (len == 0) return m_pBuffer;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  internal::WithMode(m_nEncoding,
                     [&](auto m) { SpotWordsIn<decltype(m)::value>(s, len, m_pBuffer, size - 1); });
  return m_pBuffer;
}

}  // namespace zhtext
