// Hand-made code table files for the tests: the two conversion tables and
// an Aho-Corasick automaton over a few byte patterns, packed as a double
// array the way LoadCodeTables reads it, or given cell by cell to make a
// damaged file. Written independently of tools/gen_code_tables.py.
#ifndef ZHTEXT_TESTS_SUPPORT_CODE_TABLE_FILE_H_
#define ZHTEXT_TESTS_SUPPORT_CODE_TABLE_FILE_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "zhtext/encoding/code_tables.h"

namespace zhtext {
namespace testing {

// The cell value of four scores (GBK, second double-byte code, UTF-16,
// UTF-8; -9..+10, UTF-8 up to +23) and a definite code.
std::int32_t CellValue(int gbk, int dbcs2, int utf16, int utf8, int definite = 0);

// A pattern of the automaton and the value of its last state (the states
// on the way have none unless another pattern ends there).
struct CodePattern {
  std::string bytes;
  std::int32_t value;
};

// Conversion table entries by double-byte code (lead * 256 + trail); every
// other entry is 0.
using TableEntries = std::map<unsigned, std::uint16_t>;

// The cells of the automaton of `patterns`: root at cell 0, fail links to
// the longest proper suffix, unused cells with check -1.
std::vector<CODE_CELL> BuildCells(const std::vector<CodePattern>& patterns);

// The bytes of a code table file.
std::string CodeTableFile(const std::vector<CODE_CELL>& cells, const TableEntries& gbk = {},
                          const TableEntries& dbcs2 = {});

// `file` with its cell count replaced by `count` (the 32 bits as written).
std::string WithCellCount(std::string file, std::uint32_t count);

// Writes a file with the automaton of `patterns` to a new temporary file,
// loads it, and returns LoadCodeTables' result.
int LoadPatterns(const std::vector<CodePattern>& patterns, const TableEntries& gbk = {},
                 const TableEntries& dbcs2 = {});

// Writes `bytes` to a temporary file and returns LoadCodeTables' result.
int LoadFileBytes(const std::string& bytes);

// DetectCode of `bytes` with the loaded tables.
int DetectBytes(const std::string& bytes);

// A fixture that starts and ends with no code tables loaded.
class NoCodeTablesTest : public ::testing::Test {
 protected:
  void SetUp() override { FreeCodeTables(); }
  void TearDown() override { FreeCodeTables(); }
};

}  // namespace testing
}  // namespace zhtext

#endif  // ZHTEXT_TESTS_SUPPORT_CODE_TABLE_FILE_H_
