// CPDAT: the object, the character reader and the searches.
#include "zhtext/dictionary/pdat.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "zhtext/dictionary/internal/pdat_char_reader.h"

namespace zhtext {

using internal::CellWalk;
using internal::IsFoldedSpace;
using internal::IsWordEnd;

CPDAT::CPDAT(int encoding)
    : m_pRoot(nullptr),
      m_pCells(nullptr),
      m_nCapacity(0),
      m_nMaxCell(0),
      m_nWordCount(0),
      m_pBuffer(nullptr),
      m_nBufferSize(0),
      m_nCodeCount(0),
      m_nMinChar(65536),
      m_nMaxChar(0),
      // A mode outside 0-2 would be saved into a file that Load refuses.
      m_nEncoding(encoding >= 0 && encoding <= 2 ? encoding : 0),
      m_bBuilt(false),
      m_pTreeStore(nullptr) {
  // Searches before the first Build or Load must find no character.
  std::memset(m_nCharCode, 0xFF, sizeof(m_nCharCode));
  std::memset(m_nCharFreq, 0, sizeof(m_nCharFreq));
  std::memset(m_nCharCount, 0, sizeof(m_nCharCount));
  Reset();  // allocates the root
}

int CPDAT::GetMaxCell() const { return m_nMaxCell; }

bool CPDAT::ReturnTrue() { return true; }

void CPDAT::NoOperation() {}

int CPDAT::GetCharCode(const char* text, int pos, int len, int* charLen) const {
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  int dummy;
  if (charLen == nullptr) charLen = &dummy;
  return internal::WithMode(m_nEncoding, [&](auto m) {
    return ReadChar<decltype(m)::value, true>(s, pos, len, charLen);
  });
}

// ---- Exact search ----------------------------------------------------------

template <int kMode>
int CPDAT::SearchIn(const unsigned char* key, int len) const {
  if (len >= 3 && key[0] == 0xEF && key[1] == 0xBB && key[2] == 0xBF) {
    key += 3;
    len -= 3;
  }
  if (len >= 2 && key[0] == '"' && key[len - 1] == '"') {
    key += 1;
    len -= 2;
  }
  if (m_pCells == nullptr) return -1;
  CellWalk walk{m_pCells, static_cast<unsigned>(m_nMaxCell)};
  const PDAT_CELL* last = nullptr;
  bool afterSpace = false;
  int pos = 0;
  while (pos < len) {
    int charLen;
    int v = ReadChar<kMode, true>(key, pos, len, &charLen);
    pos += charLen;
    if (IsFoldedSpace(v)) {
      if (afterSpace) continue;
      v = 32;
      afterSpace = true;
    } else {
      afterSpace = false;
    }
    const int code = m_nCharCode[v];
    if (code < 0) return -1;
    last = walk.Step(code);
    if (last == nullptr) return -1;
  }
  return last != nullptr && IsWordEnd(*last) ? last->handle : -1;
}

int CPDAT::Search(const char* key, unsigned len) const {
  if (key == nullptr) return -1;
  if (len > 0x7FFFFFFFu) return -1;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(key);
  return internal::WithMode(
      m_nEncoding, [&](auto m) { return SearchIn<decltype(m)::value>(s, static_cast<int>(len)); });
}

int CPDAT::Search(const char* key) const {
  if (key == nullptr) return -1;
  return Search(key, static_cast<unsigned>(std::strlen(key)));
}

// ---- Longest prefix ----------------------------------------------------------

// The text's end is its zero byte: reading up to it is the same as bounding
// every read by strlen(text), without measuring the rest of a long text.
template <int kMode>
int CPDAT::MatchLongestIn(const unsigned char* text, int* handle, bool* hasSpace) const {
  int resultLen = 0;
  int resultHandle = -1;
  if (m_pCells != nullptr) {
    CellWalk walk{m_pCells, static_cast<unsigned>(m_nMaxCell)};
    bool afterSpace = false;
    bool seenSpace = false;
    int pos = 0;
    while (text[pos] != 0) {
      int charLen;
      int v = ReadChar<kMode, false>(text, pos, 0, &charLen);
      pos += charLen;
      if (IsFoldedSpace(v)) {
        if (afterSpace) continue;
        v = 32;
        afterSpace = true;
        seenSpace = true;
      } else {
        afterSpace = false;
      }
      const int code = m_nCharCode[v];
      if (code < 0) break;
      const PDAT_CELL* cell = walk.Step(code);
      if (cell == nullptr) break;
      if (IsWordEnd(*cell)) {
        resultHandle = cell->handle;
        resultLen = pos;
        if (hasSpace != nullptr) *hasSpace = seenSpace;
        if (walk.AtLeaf()) break;
      }
    }
  }
  if (handle != nullptr) *handle = resultHandle;
  return resultLen;
}

int CPDAT::MatchLongest(const char* text, int* handle, bool* hasSpace) const {
  if (hasSpace != nullptr) *hasSpace = false;
  if (text == nullptr) {
    if (handle != nullptr) *handle = -1;
    return 0;
  }
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  return internal::WithMode(
      m_nEncoding, [&](auto m) { return MatchLongestIn<decltype(m)::value>(s, handle, hasSpace); });
}

// ---- All prefixes ----------------------------------------------------------

template <int kMode>
int CPDAT::MatchAllIn(const unsigned char* text, int** handles, int** ends, unsigned* capacity,
                      unsigned* count, int minLen) const {
  const bool collect = handles != nullptr && ends != nullptr && capacity != nullptr;
  int result = 0;
  if (m_pCells == nullptr) return 0;
  CellWalk walk{m_pCells, static_cast<unsigned>(m_nMaxCell)};
  int pos = 0;
  while (text[pos] != 0) {
    int charLen;
    const int v = ReadChar<kMode, false>(text, pos, 0, &charLen);
    pos += charLen;
    const int code = m_nCharCode[v];
    if (code < 0) return result;
    const PDAT_CELL* cell = walk.Step(code);
    if (cell == nullptr) return result;
    if (!IsWordEnd(*cell)) continue;
    result = pos;
    if (pos > minLen && collect) {
      if (*count >= *capacity) {
        const unsigned grown = *capacity + 5;
        int* h = static_cast<int*>(std::realloc(*handles, grown * sizeof(int)));
        if (h == nullptr) throw std::bad_alloc();
        *handles = h;
        int* e = static_cast<int*>(std::realloc(*ends, grown * sizeof(int)));
        if (e == nullptr) throw std::bad_alloc();
        *ends = e;
        *capacity = grown;
      }
      (*handles)[*count] = cell->handle;
      (*ends)[*count] = pos;
      ++*count;
    }
    if (walk.AtLeaf()) return pos;
  }
  return result;
}

int CPDAT::MatchAll(const char* text, int** handles, int** ends, unsigned* capacity,
                    unsigned* count, int minLen) const {
  unsigned ignored = 0;
  if (count == nullptr) count = &ignored;
  *count = 0;
  if (text == nullptr) return 0;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  return internal::WithMode(m_nEncoding, [&](auto m) {
    return MatchAllIn<decltype(m)::value>(s, handles, ends, capacity, count, minLen);
  });
}

// ---- One character ---------------------------------------------------------

int CPDAT::SearchChar(int ch) const {
  if (ch < 0 || ch > 65535 || m_pCells == nullptr) return -1;
  const int code = m_nCharCode[ch];
  if (code < 0 || code > m_nMaxCell) return -1;
  const PDAT_CELL& cell = m_pCells[code];
  if (cell.check != -2 || !IsWordEnd(cell)) return -1;
  return cell.handle;
}

}  // namespace zhtext
