#include "zhtext/encoding/code_tables.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/code_table_file.h"
#include "tests/support/temp_dir.h"
#include "zhtext/encoding/code_detect.h"
#include "zhtext/encoding/code_numbers.h"

namespace zhtext {
namespace {

using testing::BuildCells;
using testing::CellValue;
using testing::CodePattern;
using testing::CodeTableFile;
using testing::DetectBytes;
using testing::LoadFileBytes;
using testing::WithCellCount;

using CodeTablesTest = testing::NoCodeTablesTest;

// A small automaton: 81 82 scores for GBK, 83 84 85 for UTF-8.
std::vector<CODE_CELL> SmallCells() {
  return BuildCells(
      {{"\x81\x82", CellValue(5, -1, -1, -1)}, {"\x83\x84\x85", CellValue(-1, -1, -1, 5)}});
}

// The cell reached from the root by `bytes` (every byte must have its
// transition).
std::size_t CellOf(const std::vector<CODE_CELL>& cells, const std::string& bytes) {
  std::size_t s = 0;
  for (char c : bytes) s = static_cast<std::size_t>(cells[s].base) + static_cast<unsigned char>(c);
  return s;
}

TEST_F(CodeTablesTest, IndexRuleAndCellValues) {
  EXPECT_EQ(CodeTableIndex(0x80, 0x40), 0u);
  EXPECT_EQ(CodeTableIndex(0xB0, 0xA1), (0xA1u - 0x40) * 128 + 0x30);
  EXPECT_EQ(CodeTableIndex(0xFF, 0xFF), kCodeTableUnits - 1);
  // Trail bytes up to 0x40 share the row of 0x40.
  EXPECT_EQ(CodeTableIndex(0xB0, 0x3F), CodeTableIndex(0xB0, 0x40));
  EXPECT_EQ(CodeTableIndex(0xB0, 0x00), CodeTableIndex(0xB0, 0x40));
  EXPECT_NE(CodeTableIndex(0xB0, 0x41), CodeTableIndex(0xB0, 0x40));

  struct Row {
    const char* name;
    std::int32_t value;
    int definite;
    int scores[4];
  } rows[] = {
      {"no_value", kNoCellValue, 0, {0, 0, 0, 0}},
      {"lowest", 0, 0, {-9, -9, -9, -9}},
      {"highest_three", 19 + 20 * 19 + 400 * 19 + 8000 * 31, 0, {10, 10, 10, 22}},
      // UTF-8's digit reaches 32 only with the 18 bits all set.
      {"highest_utf8", 0x3FFFF, 0, {-6, -2, 6, 23}},
      {"mixed", CellValue(3, -2, 7, 12, 8), 8, {3, -2, 7, 12}},
      {"negative_definite", CellValue(1, 1, 1, 1, -1), -1, {1, 1, 1, 1}},
      {"bits_18_19_ignored", (3 << 18) | CellValue(2, 0, 0, 0), 0, {2, 0, 0, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CellDefiniteCode(row.value), row.definite);
    int scores[4];
    CellScores(row.value, scores);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(scores[i], row.scores[i]) << i;
  }
}

TEST_F(CodeTablesTest, LoadsTablesAndCells) {
  const std::vector<CODE_CELL> cells = SmallCells();
  // Bytes after the last cell are ignored.
  ASSERT_EQ(LoadFileBytes(CodeTableFile(cells, {{0xB0A1, 0x554A}}, {{0xA440, 0x4E00}}) + "junk"),
            0);
  ASSERT_NE(g_pGbkTable, nullptr);
  ASSERT_NE(g_pDbcs2Table, nullptr);
  ASSERT_NE(g_pCodeCells, nullptr);
  EXPECT_EQ(g_pGbkTable[CodeTableIndex(0xB0, 0xA1)], 0x554A);
  EXPECT_EQ(g_pDbcs2Table[CodeTableIndex(0xA4, 0x40)], 0x4E00);
  EXPECT_EQ(g_pGbkTable[CodeTableIndex(0xA4, 0x40)], 0);
  ASSERT_EQ(g_nCodeCells, static_cast<std::int32_t>(cells.size()));
  for (std::size_t i = 0; i < cells.size(); ++i) {
    EXPECT_EQ(g_pCodeCells[i].base, cells[i].base);
    EXPECT_EQ(g_pCodeCells[i].check, cells[i].check);
    EXPECT_EQ(g_pCodeCells[i].fail, cells[i].fail);
    EXPECT_EQ(g_pCodeCells[i].value, cells[i].value);
  }
  EXPECT_EQ(DetectBytes("\x81\x82"), CODE_GBK);
  EXPECT_EQ(DetectBytes("\x83\x84\x85"), CODE_UTF8);
}

// Every damaged file fails with its code and leaves the tables loaded
// before as they were.
TEST_F(CodeTablesTest, DamagedFilesAreRefusedAndChangeNothing) {
  const std::string good = CodeTableFile(SmallCells());
  const std::size_t tables = 2 * 2 * kCodeTableUnits;
  std::vector<CODE_CELL> cells = SmallCells();
  const std::size_t s8182 = CellOf(cells, "\x81\x82");
  const std::size_t s8384 = CellOf(cells, "\x83\x84");
  const std::size_t s838485 = CellOf(cells, "\x83\x84\x85");
  auto withFail = [&](std::size_t cell, std::int32_t fail) {
    std::vector<CODE_CELL> damaged = cells;
    damaged[cell].fail = fail;
    return CodeTableFile(damaged);
  };
  struct Row {
    const char* name;
    std::string bytes;
    int expected;
  } rows[] = {
      {"empty", "", -1},
      {"half_first_table", good.substr(0, tables / 4), -1},
      {"first_table_only", good.substr(0, tables / 2), -2},
      {"half_second_table", good.substr(0, tables / 2 + 1000), -2},
      {"no_cell_count", good.substr(0, tables), -3},
      {"cut_cell_count", good.substr(0, tables + 3), -3},
      {"negative_cell_count", WithCellCount(good, 0xFFFFFFFFu), -3},
      {"most_negative_cell_count", WithCellCount(good, 0x80000000u), -3},
      {"cell_count_above_limit", WithCellCount(good, kMaxCodeCells + 1u), -3},
      // Claims far more cells than it holds: refused without allocating
      // for the claim.
      {"cell_count_at_limit", WithCellCount(good, kMaxCodeCells), -4},
      {"one_cell_missing", WithCellCount(good, static_cast<std::uint32_t>(cells.size() + 1)), -4},
      {"cut_inside_a_cell", good.substr(0, good.size() - 5), -4},
      {"fail_out_of_range", withFail(s8182, static_cast<std::int32_t>(cells.size())), -5},
      {"fail_negative", withFail(s8182, -7), -5},
      {"fail_to_itself", withFail(s8384, static_cast<std::int32_t>(s8384)), -5},
      {"fail_to_deeper_state", withFail(CellOf(cells, "\x83"), static_cast<std::int32_t>(s838485)),
       -5},
      {"fail_to_equally_deep_state", withFail(s8384, static_cast<std::int32_t>(s8182)), -5},
  };
  ASSERT_EQ(LoadFileBytes(good), 0);
  const CODE_CELL* loaded = g_pCodeCells;
  const std::uint16_t* gbk = g_pGbkTable;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(LoadFileBytes(row.bytes), row.expected);
    EXPECT_EQ(g_pCodeCells, loaded);
    EXPECT_EQ(g_pGbkTable, gbk);
    EXPECT_EQ(g_nCodeCells, static_cast<std::int32_t>(cells.size()));
    EXPECT_EQ(DetectBytes("\x83\x84\x85"), CODE_UTF8);
  }
  EXPECT_EQ(LoadCodeTables("/nonexistent/codes.bin"), -1);
  EXPECT_EQ(LoadCodeTables(nullptr), -1);
  EXPECT_EQ(g_pCodeCells, loaded);
}

// Transitions that lead outside the cells, and cells that are no state,
// load and are walked as no transition.
TEST_F(CodeTablesTest, StrayIndexesActAsNoTransition) {
  const std::vector<CODE_CELL> cells = SmallCells();
  const std::size_t s81 = CellOf(cells, "\x81");
  struct Row {
    const char* name;
    std::size_t cell;
    CODE_CELL replacement;
    std::string input;
    int expected;
  } rows[] = {
      // 81 82 is no longer reached: h = 2 with no positive hit.
      {"base_past_the_end",
       s81,
       {std::numeric_limits<std::int32_t>::max(), 0, 0, kNoCellValue},
       "\x81\x82",
       CODE_AUTO},
      {"base_negative",
       s81,
       {std::numeric_limits<std::int32_t>::min(), 0, 0, kNoCellValue},
       "\x81\x82",
       CODE_AUTO},
      {"base_near_negative", s81, {-0x81, 0, 0, kNoCellValue}, "\x81\x82", CODE_AUTO},
      // 83 84 85 still works with its own base.
      {"other_state_untouched",
       s81,
       {std::numeric_limits<std::int32_t>::max(), 0, 0, kNoCellValue},
       "\x83\x84\x85",
       CODE_UTF8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<CODE_CELL> damaged = cells;
    damaged[row.cell] = row.replacement;
    ASSERT_EQ(LoadFileBytes(CodeTableFile(damaged)), 0);
    EXPECT_EQ(DetectBytes(row.input), row.expected);
  }

  // Cells that are no state are never reached, whatever their fail links
  // say: one whose check names no cell, and two that name each other as
  // parent without reaching the root.
  std::vector<CODE_CELL> cycle = cells;
  const std::int32_t a = static_cast<std::int32_t>(cycle.size());
  cycle.push_back({0, -1, 123456, CellValue(-9, -9, 10, -9)});
  cycle.push_back({a + 2 - 5, a + 2, 99, CellValue(-9, -9, 10, -9)});
  cycle.push_back({a + 1 - 5, a + 1, 99, CellValue(-9, -9, 10, -9)});
  EXPECT_EQ(LoadFileBytes(CodeTableFile(cycle)), 0);
  EXPECT_EQ(DetectBytes("\x81\x82"), CODE_GBK);
  EXPECT_EQ(DetectBytes("\x83\x84\x85"), CODE_UTF8);
}

TEST_F(CodeTablesTest, EmptyAutomaton) {
  ASSERT_EQ(LoadFileBytes(CodeTableFile({})), 0);
  EXPECT_NE(g_pCodeCells, nullptr);
  EXPECT_EQ(g_nCodeCells, 0);
  EXPECT_EQ(DetectBytes(""), CODE_GBK);
  EXPECT_EQ(DetectBytes("ascii"), CODE_GBK);
  EXPECT_EQ(DetectBytes("\x81\x82"), CODE_AUTO);
}

TEST_F(CodeTablesTest, SecondLoadReplacesAndFreeIsHarmless) {
  FreeCodeTables();
  FreeCodeTables();
  EXPECT_EQ(g_pGbkTable, nullptr);
  EXPECT_EQ(g_pDbcs2Table, nullptr);
  EXPECT_EQ(g_pCodeCells, nullptr);
  EXPECT_EQ(g_nCodeCells, 0);

  ASSERT_EQ(LoadFileBytes(CodeTableFile(SmallCells(), {{0xB0A1, 0x554A}})), 0);
  EXPECT_EQ(DetectBytes("\x81\x82"), CODE_GBK);
  // The second load's tables replace the first's (whose memory is
  // released: the leak checker of the sanitizer build would see it).
  ASSERT_EQ(LoadFileBytes(CodeTableFile(BuildCells({{"\x81\x82", CellValue(-1, 5, -1, -1)}}),
                                        {{0xB0A1, 0x4E00}})),
            0);
  EXPECT_EQ(DetectBytes("\x81\x82"), CODE_DBCS2);
  EXPECT_EQ(g_pGbkTable[CodeTableIndex(0xB0, 0xA1)], 0x4E00);
  FreeCodeTables();
  EXPECT_EQ(DetectBytes("\x81\x82"), CODE_AUTO);
}

}  // namespace
}  // namespace zhtext
