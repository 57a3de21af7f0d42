#include "zhtext/encoding/code_detect.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/code_table_file.h"
#include "zhtext/encoding/code_numbers.h"
#include "zhtext/encoding/code_tables.h"

namespace zhtext {
namespace {

using testing::CellValue;
using testing::CodePattern;
using testing::DetectBytes;
using testing::LoadPatterns;

using CodeDetectTest = testing::NoCodeTablesTest;

TEST_F(CodeDetectTest, UndecidedBeforeTablesAreLoaded) {
  for (const std::string& text : {std::string(), std::string("plain ascii"),
                                  std::string("\xFF\xFE"
                                              "a\0",
                                              4)}) {
    EXPECT_EQ(DetectBytes(text), CODE_AUTO) << text;
  }
}

// The decision rule, each row on a small automaton made for it.
TEST_F(CodeDetectTest, DecisionRule) {
  // Scores of a few two-byte patterns (lead byte 0x81-0x8F, so that they
  // count in h).
  const std::int32_t gbk5 = CellValue(5, -1, -1, -1);
  const std::int32_t big5x5 = CellValue(-1, 5, -1, -1);
  const std::int32_t utf8x5 = CellValue(-1, -1, -1, 5);
  const std::int32_t utf16x5 = CellValue(-1, -1, 5, -1);
  const std::int32_t even = CellValue(1, 1, 1, 1);
  const std::int32_t utf8Max = CellValue(-9, -9, -9, 23);
  struct Row {
    const char* name;
    std::vector<CodePattern> patterns;
    std::string input;
    int expected;
  } rows[] = {
      {"empty", {{"\x81\x81", gbk5}}, "", CODE_GBK},
      {"ascii_without_scored_states",
       {{"\x81\x81", gbk5}, {"ab", kNoCellValue}},
       "abcab",
       CODE_GBK},
      {"scored_ascii_state", {{"ok", utf8x5}}, "ok", CODE_UTF8},
      {"gbk_hits", {{"\x81\x82", gbk5}}, "\x81\x82", CODE_GBK},
      // h = 8, q4 = 2: one positive GBK hit is too few, three enough.
      {"gbk_too_few_hits", {{"\x81\x82", gbk5}}, "\x81\x82\x90\x90\x90\x90\x90\x90", CODE_AUTO},
      {"gbk_three_hits_of_eight",
       {{"\x81\x82", gbk5}},
       "\x81\x82\x81\x82\x90\x90\x81\x82",
       CODE_GBK},
      {"dbcs2_wins", {{"\x81\x82", gbk5}, {"\x82\x83", big5x5}}, "\x82\x83", CODE_DBCS2},
      {"dbcs2_too_few_hits", {{"\x82\x83", big5x5}}, "\x82\x83\x90\x90\x90\x90\x90\x90", CODE_AUTO},
      {"utf8_wins", {{"\x83\x84", utf8x5}}, "\x83\x84", CODE_UTF8},
      // h = 12, q6 = 2: two positive UTF-8 hits are too few, three enough.
      {"utf8_too_few_hits",
       {{"\x83\x84", utf8x5}},
       "\x83\x84\x83\x84\x90\x90\x90\x90\x90\x90\x90\x90",
       CODE_AUTO},
      {"utf8_enough_hits",
       {{"\x83\x84", utf8x5}},
       "\x83\x84\x83\x84\x83\x84\x90\x90\x90\x90\x90\x90",
       CODE_UTF8},
      {"utf8_score_above_ten", {{"\x83\x84", utf8Max}}, "\x83\x84", CODE_UTF8},
      {"utf16_wins", {{"\x84\x84", utf16x5}}, "\x84\x84", CODE_UTF16},
      // One hit scored 0 or below for UTF-16 needs eleven positive ones;
      // eleven bytes 84 make ten hits of 84 84, twelve make eleven.
      {"utf16_ratio_too_low",
       {{"\x84\x84", utf16x5}, {"\x85\x85", CellValue(2, -1, 0, -1)}},
       "\x85\x85" + std::string(11, '\x84'),
       CODE_AUTO},
      {"utf16_ratio_met",
       {{"\x84\x84", utf16x5}, {"\x85\x85", CellValue(2, -1, 0, -1)}},
       "\x85\x85" + std::string(12, '\x84'),
       CODE_UTF16},
      // Ties keep the earlier code: GBK, then the second double-byte code,
      // UTF-8 and UTF-16.
      {"all_even", {{"\x86\x86", even}}, "\x86\x86", CODE_GBK},
      {"all_even_too_few_gbk_hits",
       {{"\x86\x86", even}},
       "\x86\x86\x90\x90\x90\x90\x90\x90",
       CODE_AUTO},
      {"dbcs2_ties_utf8", {{"\x87\x87", CellValue(-1, 4, -1, 4)}}, "\x87\x87", CODE_DBCS2},
      {"utf8_ties_utf16", {{"\x87\x87", CellValue(-1, -1, 4, 4)}}, "\x87\x87", CODE_UTF8},
      // A definite code ends the walk before the next byte is read.
      {"definite_first",
       {{"\xFF\xFE", CellValue(0, 0, 0, 0, CODE_UTF16)}, {"\x81\x81", gbk5}},
       "\xFF\xFE\x81\x81\x81\x81",
       CODE_UTF16},
      {"definite_at_last_byte",
       {{"\xEF\xBB\xBF", CellValue(0, 0, 0, 0, CODE_UTF8)}, {"\x81\x81", gbk5}},
       "\x81\x81\x81\x81\xEF\xBB\xBF",
       CODE_UTF8},
      {"definite_of_the_file", {{"\x88\x88", CellValue(0, 0, 0, 0, 5)}}, "a\x88\x88", 5},
      {"negative_definite", {{"\x88\x88", CellValue(0, 0, 0, 0, -3)}}, "\x88\x88", -3},
      // After 81 82 the walk has no transition on 84 and falls back to the
      // state of 82, where 84 completes 82 84. Every byte counts in h once
      // (h = 3, q4 = 0); counting 84 twice would leave the one GBK hit too few.
      {"fail_link_retries_byte_once",
       {{"\x81\x82\x83", kNoCellValue}, {"\x82\x84", CellValue(1, -1, -1, -1)}},
       "\x81\x82\x84",
       CODE_GBK},
      {"fail_link_reaches_shorter_pattern",
       {{"\x81\x82\x83", CellValue(-1, 5, -1, -1)}, {"\x82\x84", CellValue(-1, -1, -1, 5)}},
       "\x81\x82\x84",
       CODE_UTF8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(LoadPatterns(row.patterns), 0);
    EXPECT_EQ(DetectBytes(row.input), row.expected);
  }
}

}  // namespace
}  // namespace zhtext
