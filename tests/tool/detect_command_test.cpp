// zhtext detect, and convert --from auto / --from big5, on the sample text
// in all four codes.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"

namespace zhtext {
namespace {

using testing::ExpectFailures;
using testing::Hex;
using testing::ReadFile;
using testing::RunTool;
using testing::ToolResult;

const std::string kSample = std::string(ZHTEXT_SAMPLE_DIR) + "/text.txt";
const std::string kTables = std::string(ZHTEXT_CODE_TABLES_FILE);

// Big5 bytes of the text pieces used below, from code page 950.
const std::string kBig5Zhongwen = "\xA4\xA4\xA4\xE5";  // 中文
const std::string kBig5Traditional =
    "\xA4\xA4\xA4\xE5\xB8\xEA\xB0\x54\xB3\x42\xB2\x7A";  // 中文資訊處理

// The sample in GBK, UTF-16LE and Big5. The sample is simplified Chinese:
// its characters without a Big5 code are left out of `big5`, and
// `big5AsUtf8` is the UTF-8 of what `big5` holds.
struct SampleFiles {
  testing::TempDir dir;
  std::string gbk = dir.File("text.gbk");
  std::string utf16 = dir.File("text.utf16");
  std::string big5 = dir.File("text.big5");
  std::string big5AsUtf8;
};

// `utf8` as Big5, leaving out the characters without a Big5 code; `kept`
// receives the UTF-8 of what is left. The Big5 code of each character is
// found by having the tool read every two-byte Big5 code once.
std::string Big5Of(const std::string& utf8, std::string* kept) {
  // All two-byte Big5 codes, converted once by the tool.
  std::string all;
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail > 0x7E && trail < 0xA1) continue;
      all.push_back(static_cast<char>(lead));
      all.push_back(static_cast<char>(trail));
    }
  }
  ToolResult r = RunTool({"convert", "--from", "big5", "--to", "utf16", "--quiet"}, all);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  std::map<std::string, std::string> codes;  // UTF-16LE unit -> Big5 bytes
  for (std::size_t i = 0; i + 1 < r.out.size() && i < all.size(); i += 2) {
    const std::string unit = r.out.substr(i, 2);
    if (unit != "\xFF\xFE") codes.emplace(unit, all.substr(i, 2));
  }
  ToolResult units = RunTool({"convert", "--from", "utf8", "--to", "utf16"}, utf8);
  std::string big5, keptUnits;
  for (std::size_t i = 0; i + 1 < units.out.size(); i += 2) {
    const std::string unit = units.out.substr(i, 2);
    if (unit[1] == '\0' && static_cast<unsigned char>(unit[0]) < 0x80) {
      big5 += unit[0];
      keptUnits += unit;
    } else if (codes.count(unit) != 0) {
      big5 += codes[unit];
      keptUnits += unit;
    }
  }
  *kept = RunTool({"convert", "--from", "utf16", "--to", "utf8"}, keptUnits).out;
  return big5;
}

TEST(DetectCommandTest, SampleInEveryCode) {
  SampleFiles files;
  ASSERT_EQ(RunTool({"convert", "--from", "utf8", "--to", "gbk", kSample, files.gbk}).exit_code, 0);
  ASSERT_EQ(RunTool({"convert", "--from", "utf8", "--to", "utf16", kSample, files.utf16}).exit_code,
            0);
  testing::WriteFile(files.big5, Big5Of(ReadFile(kSample), &files.big5AsUtf8));
  ASSERT_GT(files.big5AsUtf8.size(), 600u);

  ToolResult r = RunTool({"detect", kSample, files.gbk, files.utf16, files.big5});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, kSample + ": utf8\n" + files.gbk + ": gbk\n" + files.utf16 + ": utf16le\n" +
                       files.big5 + ": big5\n");
  EXPECT_EQ(r.err, "");

  // convert --from auto gives the sample back from each, and Big5 is read
  // through its own table.
  struct Row {
    const char* name;
    std::string path;
    std::string utf8;
  } rows[] = {
      {"utf8", kSample, ReadFile(kSample)},
      {"gbk", files.gbk, ReadFile(kSample)},
      {"utf16le", files.utf16, ReadFile(kSample)},
      {"big5", files.big5, files.big5AsUtf8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ToolResult back = RunTool({"convert", "--from", "auto", "--to", "utf8", row.path});
    EXPECT_EQ(back.exit_code, 0) << back.err;
    EXPECT_EQ(back.out, row.utf8);
    EXPECT_EQ(back.err, "");
  }
  ToolResult gbk = RunTool({"convert", "--from", "auto", "--to", "gbk", files.big5});
  EXPECT_EQ(gbk.out, testing::G(files.big5AsUtf8));
}

TEST(DetectCommandTest, StandardInputShortTextsAndByteOrderMarks) {
  struct Row {
    const char* name;
    std::string input;
    const char* code;
  } rows[] = {
      {"empty", "", "gbk"},
      {"ascii", "plain ASCII text\n", "gbk"},
      {"gbk_short", testing::G("中文信息处理"), "gbk"},
      {"utf8_short", "中文信息处理", "utf8"},
      {"big5_short", kBig5Traditional, "big5"},
      {"utf16le_ascii", std::string("a\0b\0c\0", 6), "utf16le"},
      {"utf8_bom", "\xEF\xBB\xBF" + testing::G("中文"), "utf8"},
      {"utf16le_bom", "\xFF\xFE" + testing::G("中文"), "utf16le"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ToolResult r = RunTool({"detect"}, row.input);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, std::string("-: ") + row.code + "\n");
  }
}

TEST(DetectCommandTest, CodeTablesOption) {
  ToolResult r = RunTool({"detect", "--code-tables", kTables, "-"}, kBig5Zhongwen + "x");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "-: big5\n");
  ToolResult big5 = RunTool({"convert", "--from", "big5", "--to", "utf8", "--code-tables", kTables},
                            kBig5Traditional + "\xA4");
  EXPECT_EQ(big5.exit_code, 0);
  EXPECT_EQ(big5.out, "中文資訊處理\xEF\xBB\xBF");
  EXPECT_NE(big5.err.find("1 character"), std::string::npos) << big5.err;
}

TEST(DetectCommandTest, Failures) {
  testing::TempDir dir;
  const std::string damaged = dir.File("damaged.bin");
  testing::WriteFile(damaged, ReadFile(kTables).substr(0, 60000));
  ExpectFailures({
      {"missing_file", {"detect", "/nonexistent/in"}, 1},
      {"missing_tables", {"detect", "--code-tables", "/nonexistent/t.bin", kSample}, 1},
      {"damaged_tables", {"detect", "--code-tables", damaged, kSample}, 1},
      {"unknown_option", {"detect", "--fast"}, 2},
      {"convert_missing_tables",
       {"convert", "--from", "auto", "--to", "utf8", "--code-tables", "/nonexistent/t.bin",
        kSample},
       1},
      {"convert_to_big5", {"convert", "--from", "utf8", "--to", "big5"}, 2},
      {"convert_to_auto", {"convert", "--from", "utf8", "--to", "auto"}, 2},
  });
  // An input whose code cannot be told: a lone high byte with nothing
  // scored.
  ToolResult r = RunTool({"convert", "--from", "auto", "--to", "utf8"}, "\x80");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("cannot tell the code"), std::string::npos) << r.err;
  ToolResult undecided = RunTool({"detect"}, "\x80");
  EXPECT_EQ(undecided.out, "-: undecided\n");
}

TEST(DetectCommandTest, Help) {
  ToolResult r = RunTool({"detect", "--help"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_NE(r.out.find("usage: zhtext detect"), std::string::npos);
  EXPECT_NE(r.out.find("--code-tables"), std::string::npos);
}

}  // namespace
}  // namespace zhtext
