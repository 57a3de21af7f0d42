// The code tables: two conversion tables for the double-byte codes and the
// detection automaton, read from a code table file and kept process-wide
// for DetectCode (code_detect.h) and the conversions by code number
// (code_convert.h).
//
// The file (binary, little-endian, no header; bytes after the last cell are
// ignored):
//   offset 0       24,576 unsigned 16-bit units: g_pGbkTable (code 2)
//   offset 49,152  24,576 unsigned 16-bit units: g_pDbcs2Table (code 3)
//   offset 98,304  cell count N, signed 32-bit
//   offset 98,308  N cells of four signed 32-bit integers: base, check,
//                  fail, value
// The library ships one, made by tools/gen_code_tables.py and installed as
// share/zhtext/codetables.bin.
//
// A conversion table holds the UTF-16 unit of each double-byte character,
// at CodeTableIndex(lead, trail); 0 means no character.
//
// The automaton is an Aho-Corasick machine laid out as a double array: from
// state s on byte b the transition leads to t = base[s] + b when t is a cell
// and check[t] == s; otherwise the walk follows fail[s] towards the root
// (cell 0). A cell's value is kNoCellValue or a definite code
// (CellDefiniteCode) with four scores (CellScores).
//
// Ownership: the tables belong to this module; LoadCodeTables allocates
// them (malloc) and FreeCodeTables releases them. Callers only read them.
//
// Concurrency: none. Loading or freeing while another thread detects or
// converts is not allowed; once loaded, the tables may be read from any
// number of threads.
#ifndef ZHTEXT_ENCODING_CODE_TABLES_H_
#define ZHTEXT_ENCODING_CODE_TABLES_H_

#include <cstdint>

namespace zhtext {

// One cell of the detection automaton; also its record in the file.
struct CODE_CELL {
  std::int32_t base;   // transitions lead to base + byte
  std::int32_t check;  // the state a transition into this cell comes from;
                       // -1 in the generated file's unused cells
  std::int32_t fail;   // the state of the longest proper suffix
  std::int32_t value;  // kNoCellValue, or a definite code and four scores
};
static_assert(sizeof(CODE_CELL) == 16, "CODE_CELL is four 32-bit integers");

// Entries in each conversion table.
inline constexpr unsigned kCodeTableUnits = 0x6000;

// The cell value that carries nothing (four scores of 0, no definite code).
inline constexpr std::int32_t kNoCellValue = 75789;

// The largest cell count a file may give (64 MiB of cells).
inline constexpr std::int32_t kMaxCodeCells = 1 << 22;

// The loaded tables, null (and g_nCodeCells 0) until LoadCodeTables
// succeeds and after FreeCodeTables.
extern std::uint16_t* g_pGbkTable;
extern std::uint16_t* g_pDbcs2Table;
extern CODE_CELL* g_pCodeCells;
extern std::int32_t g_nCodeCells;

// Index of the double-byte character `lead` `trail` (lead >= 0x80) in either
// conversion table: row = trail - 0x40 when trail > 0x40, else 0 (so every
// trail byte up to 0x40 shares the row of 0x40); index = row * 128 +
// (lead & 0x7F). Always below kCodeTableUnits.
inline unsigned CodeTableIndex(unsigned char lead, unsigned char trail) {
  unsigned row = trail > 0x40 ? trail - 0x40u : 0u;
  return row * 128 + (lead & 0x7Fu);
}

// The definite code of a cell value: value >> 20, shifted arithmetically
// (a negative value gives a negative code). 0 means none.
inline int CellDefiniteCode(std::int32_t value) {
  return value < 0 ? ~(~value >> 20) : value >> 20;
}

// The four scores of a cell value, from the base-20 digits of
// value & 0x3FFFF, each minus 9: scores[0] for GBK (code 2), [1] for the
// second double-byte code (3), [2] for UTF-16 (8), [3] for UTF-8 (1).
// They run from -9 to +10, the UTF-8 score up to +23.
inline void CellScores(std::int32_t value, int scores[4]) {
  const int g = static_cast<int>(value & 0x3FFFF);
  scores[0] = g % 20 - 9;
  scores[1] = (g / 20) % 20 - 9;
  scores[2] = (g / 400) % 20 - 9;
  scores[3] = g / 8000 - 9;
}

// Reads the code table file at `path` and makes its tables the loaded ones.
// The whole file is read and checked first; only then are the tables loaded
// before released and replaced, so a failed load leaves them as they were.
// Returns 0 on success, else:
//   -1    the file cannot be opened, or it ends within the first table
//   -2    it ends within the second table
//   -3    the cell count cannot be read, or is negative or above
//         kMaxCodeCells
//   -4    the file holds fewer than N cells
//   -5    the automaton is damaged: a state's fail link leads outside the
//         cells, to a cell that is no state, or to a state no nearer the
//         root (a walk could loop)
//   -127  memory for the tables cannot be obtained
// Memory grows only with the bytes actually read, so a file that claims
// many cells and holds few costs little. Transitions that lead outside the
// cells are not an error: the walk treats them as no transition.
int LoadCodeTables(const char* path);

// Releases the loaded tables and sets them to null; harmless when none are
// loaded.
void FreeCodeTables();

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_CODE_TABLES_H_
