#include "zhtext/encoding/code_tables.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace zhtext {

std::uint16_t* g_pGbkTable = nullptr;
std::uint16_t* g_pDbcs2Table = nullptr;
CODE_CELL* g_pCodeCells = nullptr;
std::int32_t g_nCodeCells = 0;

namespace {

constexpr int kLoadOk = 0;
constexpr int kCannotOpenOrFirstTable = -1;
constexpr int kSecondTable = -2;
constexpr int kCellCount = -3;
constexpr int kShortCells = -4;
constexpr int kDamagedAutomaton = -5;
constexpr int kNoMemory = -127;

// Cells read (and grown) at a time.
constexpr std::size_t kCellChunk = 4096;

inline std::int32_t ReadInt32(const unsigned char* p) {
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
      static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

// The tables of one load, released unless handed over.
struct Tables {
  std::uint16_t* gbk = nullptr;
  std::uint16_t* dbcs2 = nullptr;
  CODE_CELL* cells = nullptr;
  std::int32_t count = 0;
  ~Tables() {
    std::free(gbk);
    std::free(dbcs2);
    std::free(cells);
  }
};

struct FileCloser {
  std::FILE* file;
  ~FileCloser() { std::fclose(file); }
};

// Reads one conversion table; false when the file ends first.
bool ReadTable(std::FILE* file, std::uint16_t* table) {
  unsigned char bytes[2 * kCodeTableUnits];
  if (std::fread(bytes, 1, sizeof(bytes), file) != sizeof(bytes)) return false;
  for (unsigned i = 0; i < kCodeTableUnits; ++i) {
    table[i] = static_cast<std::uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  }
  return true;
}

// Reads `count` cells into a block grown as they arrive. kShortCells when
// the file ends first, kNoMemory when the block cannot grow.
int ReadCells(std::FILE* file, std::int32_t count, Tables* tables) {
  const std::size_t total = static_cast<std::size_t>(count);
  std::size_t capacity = 0, done = 0;
  unsigned char bytes[kCellChunk * sizeof(CODE_CELL)];
  while (done < total) {
    const std::size_t want = total - done < kCellChunk ? total - done : kCellChunk;
    const std::size_t got = std::fread(bytes, sizeof(CODE_CELL), want, file);
    if (done + got > capacity) {
      std::size_t grown = capacity == 0 ? kCellChunk : capacity * 2;
      if (grown > total) grown = total;
      void* block = std::realloc(tables->cells, grown * sizeof(CODE_CELL));
      if (block == nullptr) return kNoMemory;
      tables->cells = static_cast<CODE_CELL*>(block);
      capacity = grown;
    }
    for (std::size_t i = 0; i < got; ++i) {
      const unsigned char* p = bytes + i * sizeof(CODE_CELL);
      CODE_CELL& cell = tables->cells[done + i];
      cell.base = ReadInt32(p);
      cell.check = ReadInt32(p + 4);
      cell.fail = ReadInt32(p + 8);
      cell.value = ReadInt32(p + 12);
    }
    done += got;
    if (got < want) return kShortCells;
  }
  if (total == 0) {
    // Keep a non-null block so that a loaded automaton is never null.
    tables->cells = static_cast<CODE_CELL*>(std::malloc(sizeof(CODE_CELL)));
    if (tables->cells == nullptr) return kNoMemory;
  }
  tables->count = count;
  return kLoadOk;
}

// Whether every fail link of a state the walk can reach leads to a state
// nearer the root. The states are the root (cell 0) and every cell t whose
// check names a state p with 0 <= t - base[p] <= 255 (a transition of p);
// their depth is that of the parent plus one.
bool FailLinksSound(const CODE_CELL* cells, std::int32_t count) {
  if (count == 0) return true;
  constexpr std::int32_t kUnknown = -1, kNoState = -2, kVisiting = -3;
  std::vector<std::int32_t> depth(static_cast<std::size_t>(count), kUnknown);
  depth[0] = 0;
  std::vector<std::int32_t> chain;
  for (std::int32_t t = 1; t < count; ++t) {
    if (depth[t] != kUnknown) continue;
    // Climb the parent links until a cell of known kind, then go back down.
    std::int32_t c = t;
    std::int32_t found = kNoState;
    for (;;) {
      if (depth[c] >= 0) {
        found = depth[c];
        break;
      }
      if (depth[c] == kNoState || depth[c] == kVisiting) break;  // visiting: a cycle
      const std::int32_t parent = cells[c].check;
      if (parent < 0 || parent >= count) {
        depth[c] = kNoState;
        break;
      }
      const std::int64_t label =
          static_cast<std::int64_t>(c) - static_cast<std::int64_t>(cells[parent].base);
      if (label < 0 || label > 255) {
        depth[c] = kNoState;
        break;
      }
      depth[c] = kVisiting;
      chain.push_back(c);
      c = parent;
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      if (found >= 0) ++found;
      depth[*it] = found;
    }
    chain.clear();
  }
  for (std::int32_t s = 1; s < count; ++s) {
    if (depth[s] <= 0) continue;
    const std::int32_t f = cells[s].fail;
    if (f < 0 || f >= count || depth[f] < 0 || depth[f] >= depth[s]) return false;
  }
  return true;
}

int ReadTables(std::FILE* file, Tables* tables) {
  tables->gbk = static_cast<std::uint16_t*>(std::malloc(2 * kCodeTableUnits));
  tables->dbcs2 = static_cast<std::uint16_t*>(std::malloc(2 * kCodeTableUnits));
  if (tables->gbk == nullptr || tables->dbcs2 == nullptr) return kNoMemory;
  if (!ReadTable(file, tables->gbk)) return kCannotOpenOrFirstTable;
  if (!ReadTable(file, tables->dbcs2)) return kSecondTable;
  unsigned char countBytes[4];
  if (std::fread(countBytes, 1, sizeof(countBytes), file) != sizeof(countBytes)) return kCellCount;
  const std::int32_t count = ReadInt32(countBytes);
  if (count < 0 || count > kMaxCodeCells) return kCellCount;
  const int result = ReadCells(file, count, tables);
  if (result != kLoadOk) return result;
  try {
    if (!FailLinksSound(tables->cells, tables->count)) return kDamagedAutomaton;
  } catch (const std::bad_alloc&) {
    return kNoMemory;
  }
  return kLoadOk;
}

}  // namespace

int LoadCodeTables(const char* path) {
  std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
  if (file == nullptr) return kCannotOpenOrFirstTable;
  FileCloser closer{file};
  Tables tables;
  const int result = ReadTables(file, &tables);
  if (result != kLoadOk) return result;
  FreeCodeTables();
  g_pGbkTable = tables.gbk;
  g_pDbcs2Table = tables.dbcs2;
  g_pCodeCells = tables.cells;
  g_nCodeCells = tables.count;
  tables.gbk = tables.dbcs2 = nullptr;
  tables.cells = nullptr;
  return kLoadOk;
}

void FreeCodeTables() {
  std::free(g_pGbkTable);
  std::free(g_pDbcs2Table);
  std::free(g_pCodeCells);
  g_pGbkTable = nullptr;
  g_pDbcs2Table = nullptr;
  g_pCodeCells = nullptr;
  g_nCodeCells = 0;
}

}  // namespace zhtext
