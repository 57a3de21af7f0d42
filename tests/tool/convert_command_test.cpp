#include <gtest/gtest.h>

#include <string>

#include "tests/support/gbk_text.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"

namespace zhtext {
namespace {

using testing::ExpectFailures;
using testing::G;
using testing::Hex;
using testing::RunTool;
using testing::ToolResult;

TEST(ConvertCommandTest, SampleRoundTripsThroughGbkAndUtf16) {
  testing::TempDir dir;
  const std::string sample = std::string(ZHTEXT_SAMPLE_DIR) + "/text.txt";
  const std::string gbk = dir.File("text.gbk"), utf16 = dir.File("text.utf16"),
                    back = dir.File("back.txt");
  ASSERT_EQ(RunTool({"convert", "--from", "utf8", "--to", "gbk", sample, gbk}).exit_code, 0);
  ASSERT_EQ(RunTool({"convert", "--from", "gbk", "--to", "utf16", gbk, utf16}).exit_code, 0);
  ToolResult r = RunTool({"convert", "--from", "utf16", "--to", "utf8", utf16, back});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(testing::ReadFile(back), testing::ReadFile(sample));
  EXPECT_EQ(testing::ReadFile(gbk), G(testing::ReadFile(sample)));
}

TEST(ConvertCommandTest, StandardStreamsAndUnmappedCounts) {
  struct Row {
    const char* name;
    const char* from;
    const char* to;
    std::string input;
    std::string output;
    const char* count;  // count reported on stderr, or null for none
  } rows[] = {
      {"gbk_to_utf8", "gbk", "utf8", G("中文"), "\xE4\xB8\xAD\xE6\x96\x87", nullptr},
      {"invalid_gbk_replaced", "gbk", "utf8", "a\xA2\xA0" "b", "a\xEF\xBF\xBD" "b", "1 character"},
      {"utf8_bom_skipped", "utf8", "gbk", "\xEF\xBB\xBF" "x", "x", nullptr},
      {"unmapped_to_gbk", "utf8", "gbk", "\xEE\x80\x80\xF0\x9F\x98\x80", "\xA1\xA1", "2 character"},
      {"utf16_bom_skipped", "utf16", "gbk", std::string("\xFF\xFE\x2D\x4E", 4), "\xD6\xD0", nullptr},
      {"zero_bytes_kept", "gbk", "utf16", std::string("a\0", 2), std::string("a\0\0\0", 4), nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ToolResult r = RunTool({"convert", "--from", row.from, "--to", row.to}, row.input);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(Hex(r.out), Hex(row.output));
    if (row.count == nullptr) {
      EXPECT_EQ(r.err, "");
    } else {
      EXPECT_NE(r.err.find(row.count), std::string::npos) << r.err;
    }
  }
}

TEST(ConvertCommandTest, UsageAndFileErrors) {
  ExpectFailures({
      {"no_codes", {"convert"}, 2},
      {"unknown_code", {"convert", "--from", "latin1", "--to", "gbk"}, 2},
      {"unknown_option", {"convert", "--from", "gbk", "--to", "utf8", "--fast"}, 2},
      {"missing_value", {"convert", "--from"}, 2},
      {"too_many_files", {"convert", "--from", "gbk", "--to", "utf8", "a", "b", "c"}, 2},
      {"unreadable_input", {"convert", "--from", "gbk", "--to", "utf8", "/nonexistent/in"}, 1},
      {"unwritable_output", {"convert", "--from", "gbk", "--to", "utf8", "-", "/nonexistent/out"}, 1},
      {"unknown_command", {"frobnicate"}, 2},
  });
}

TEST(ConvertCommandTest, HelpGoesToStandardOutput) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, std::vector<std::string>{"convert", "--help"}}) {
    ToolResult r = RunTool(args);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_NE(r.out.find("usage: zhtext"), std::string::npos);
    EXPECT_EQ(r.err, "");
  }
}

}  // namespace
}  // namespace zhtext
