// CPDAT: the binary dictionary file (Load, Save), the word list import and
// the text export.
//
// File layout (32-bit signed little-endian integers, no header):
//   65536 character codes, the highest cell index M, the word count,
//   M + 1 cells (base, check, handle), the character mode;
// 262156 + 12 * (M + 1) bytes in all.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "zhtext/dictionary/import_term.h"
#include "zhtext/dictionary/internal/pdat_char_reader.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/platform/large_block.h"
#include "zhtext/util/binary_io.h"
#include "zhtext/util/line_reader.h"
#include "zhtext/util/log.h"
#include "zhtext/util/text_mode.h"

namespace zhtext {

namespace {

constexpr long long kCodesBytes = 65536LL * 4;
constexpr long long kFixedBytes = kCodesBytes + 4 + 4 + 4;  // 262156

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};

}  // namespace

// ---- Binary file -------------------------------------------------------------

bool CPDAT::Save(const char* path) const {
  if (path == nullptr) return false;
  std::FILE* out = std::fopen(path, "wb");
  if (out == nullptr) return false;
  bool ok = WriteInt32s(out, m_nCharCode, 65536);
  const int header[2] = {m_nMaxCell, m_nWordCount};
  ok = ok && WriteInt32s(out, header, 2);
  // Cells 0..m_nMaxCell; any the array does not hold are written free.
  const long long wanted = static_cast<long long>(m_nMaxCell) + 1;
  const long long held = m_pCells == nullptr ? 0 : std::min<long long>(wanted, m_nCapacity);
  if (ok && held > 0) {
    ok = WriteInt32s(out, &m_pCells[0].base, static_cast<std::size_t>(held) * 3);
  }
  PDAT_CELL freeCells[256];
  std::memset(freeCells, 0xFF, sizeof(freeCells));
  for (long long left = wanted - held; ok && left > 0; left -= 256) {
    const std::size_t n = static_cast<std::size_t>(left < 256 ? left : 256);
    ok = WriteInt32s(out, &freeCells[0].base, n * 3);
  }
  ok = ok && WriteInt32s(out, &m_nEncoding, 1);
  ok = std::fclose(out) == 0 && ok;
  return ok;
}

bool CPDAT::Load(const char* path) {
  if (path == nullptr) return false;
  UniqueFile in(std::fopen(path, "rb"));
  if (in == nullptr) return false;
  // Everything is read and checked before the object changes.
  if (std::fseek(in.get(), 0, SEEK_END) != 0) return false;
  const long long size = std::ftell(in.get());
  if (size < kFixedBytes || std::fseek(in.get(), 0, SEEK_SET) != 0) return false;

  std::unique_ptr<int[]> head(new int[65536 + 2]);
  if (!ReadInt32s(in.get(), head.get(), 65536 + 2)) return false;
  const int maxCell = head[65536];
  const int wordCount = head[65537];
  if (maxCell < 0 || wordCount < 0) return false;
  const long long cellCount = static_cast<long long>(maxCell) + 1;
  if (size != kFixedBytes + 12 * cellCount) return false;
  // Every word has a cell of its own.
  if (wordCount > cellCount) return false;
  // A code may lie beyond the cells (the walks bound code + offset by them).
  for (int i = 0; i < 65536; ++i) {
    if (head[i] < -1) return false;
  }

  std::unique_ptr<PDAT_CELL, FreeDeleter> cells(
      static_cast<PDAT_CELL*>(platform::AllocateLargeBlock(sizeof(PDAT_CELL) *
                                                           static_cast<std::size_t>(cellCount))));
  if (cells == nullptr) throw std::bad_alloc();
  if (!ReadInt32s(in.get(), &cells.get()->base, static_cast<std::size_t>(cellCount) * 3)) return false;
  // Handles are given in order, so a dictionary's handles lie below its word
  // count, and word lists and ID maps size their tables by them. The one
  // exception the library writes is a cleared dictionary (ClearSize: no
  // word, one cell), whose cell keeps the handle it had.
  const bool cleared = wordCount == 0 && maxCell == 0;
  for (long long i = 0; i < cellCount; ++i) {
    const int handle = cells.get()[i].handle;
    if (handle < -1 || (handle >= wordCount && !cleared)) return false;
  }
  int encoding;
  if (!ReadInt32s(in.get(), &encoding, 1)) return false;
  if (encoding < 0 || encoding > 2) return false;
  if (std::fgetc(in.get()) != EOF) return false;  // grew while being read

  std::memcpy(m_nCharCode, head.get(), sizeof(m_nCharCode));
  std::free(m_pCells);
  m_pCells = cells.release();
  m_nCapacity = maxCell + 1;
  m_nMaxCell = maxCell;
  m_nWordCount = wordCount;
  m_nEncoding = encoding;
  return true;
}

// ---- Word list import --------------------------------------------------------

int CPDAT::Import(const char* path, CPDAT* filter) {
  return ImportWithProgress(path, filter, stdout);
}

int CPDAT::ImportWithProgress(const char* path, CPDAT* filter, std::FILE* progress) {
  if (path == nullptr) return 0;
  UniqueFile in(std::fopen(path, "rb"));
  if (in == nullptr) return 0;
  ImportCopy copy;
  if (!copy.Open(std::string(path) + "_export.txt")) return 0;

  Reset();
  std::string line;
  std::string token;
  std::string term;
  std::string form;
  while (ReadLine(in.get(), &line)) {
    std::size_t len = 0;
    const char* start = ScanImportToken(line.c_str(), &len);
    if (start == nullptr) continue;  // no token
    token.assign(start, len);
    NormalizeImportTerm(token.c_str(), start, "\n", &term, &form);
    if (!copy.Write(form)) break;
    if (filter != nullptr && filter->Search(term.c_str()) >= 0) continue;
    AddWord(term.c_str(), false);
    if (progress != nullptr && m_nWordCount % 100 == 0) {
      std::fprintf(progress, "%d\t%s Completed!\r", m_nWordCount, term.c_str());
    }
  }
  in.reset();
  if (!copy.Finish()) {
    Reset();  // the words read are dropped
    return 0;
  }
  Build();
  return m_nWordCount;
}

// ---- Text export ---------------------------------------------------------------

bool CPDAT::Export(const char* path) const {
  if (path == nullptr) return false;
  std::FILE* out = OpenTextFile(path, "w");
  if (out == nullptr) return false;
  bool ok = true;
  if (m_pCells != nullptr) {
    const int maxCell = std::min(m_nMaxCell, m_nCapacity - 1);
    // Code to character value; -1 where no character has the code.
    std::vector<int> charOf(static_cast<std::size_t>(maxCell) + 1, -1);
    for (int v = 0; v < 65536; ++v) {
      const int code = m_nCharCode[v];
      if (code >= 0 && code <= maxCell) charOf[static_cast<std::size_t>(code)] = v;
    }
    std::vector<int> values;  // the word's characters, last first
    std::string word;
    for (int j = 0; j <= maxCell; ++j) {
      const PDAT_CELL& cell = m_pCells[j];
      if (cell.handle < 0 || !internal::IsWordEnd(cell)) continue;
      values.clear();
      long long c = j;
      // A sound dictionary reaches the root in fewer steps than it has
      // cells; the bound and the index checks keep a damaged one from
      // looping or reading outside the array.
      for (int steps = 0; steps <= maxCell; ++steps) {
        const int parent = m_pCells[c].check;
        if (parent >= 0 && parent <= maxCell) {
          const long long code = c - static_cast<long long>(internal::CellOffset(m_pCells[parent]));
          values.push_back(code >= 0 && code <= maxCell ? charOf[static_cast<std::size_t>(code)] : -1);
          c = parent;
        } else {
          values.push_back(charOf[static_cast<std::size_t>(c)]);
          break;
        }
      }
      word.clear();
      for (auto it = values.rbegin(); it != values.rend(); ++it) {
        const int v = *it;
        if (v < 0) continue;
        if (v >= 256) word.push_back(static_cast<char>(v / 256));
        word.push_back(static_cast<char>(v % 256));
      }
      if (Search(word.c_str()) != cell.handle) {
        WriteLog(word);
        WriteLog(" handle error");
      }
      ok = WriteText(out, word.data(), word.size()) && WriteText(out, "\n", 1) && ok;
    }
  }
  ok = std::fclose(out) == 0 && ok;
  return ok;
}

}  // namespace zhtext
