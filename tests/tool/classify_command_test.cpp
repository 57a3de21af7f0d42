#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"

namespace zhtext {
namespace {

using testing::G;
using testing::Hex;
using testing::RunTool;
using testing::ToolResult;

TEST(ClassifyCommandTest, PrintsTheTestsThatHoldForEachToken) {
  struct Row {
    const char* token;  // UTF-8
    const char* tests;
  } rows[] = {
      {"三分之一", "chinese number"},
      {"第三", "chinese number"},
      {"三第", "chinese"},
      {"１２．５", "symbols quantity year"},
      {"3.5万", "quantity"},
      {"12%万", "-"},
      {"1.x", "ascii"},
      {"一二三四", "chinese number year"},
      {"123", "ascii quantity"},
      {"一九九八", "chinese number year"},
      {"二〇〇八", "year"},
      {"98", "ascii quantity small-number year"},
      {"１２", "symbols quantity small-number"},
      {"二千零八", "chinese number year"},
      {"田中", "chinese foreign-name=japanese"},
      {"伊万诺夫", "chinese foreign-name=translit-short"},
      {"约翰", "chinese foreign-name=translit"},
      {"我", "chinese"},
      {"Hello world", "ascii english"},
      {"—", "symbols punct quantity foreign-name=translit"},
      {"#", "ascii punct small-number"},
  };
  std::vector<std::string> args = {"classify", "--utf8"};
  std::string expected;
  for (const Row& row : rows) {
    args.push_back(row.token);
    expected += std::string(row.token) + "\t" + row.tests + "\n";
  }
  ToolResult r = RunTool(args);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(r.err, "");
}

TEST(ClassifyCommandTest, TokensAreGbkByDefault) {
  ToolResult r = RunTool({"classify", G("三分之一"), "\xB0\x41"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(Hex(r.out), Hex(G("三分之一") + "\tchinese number\n\xB0\x41\tchinese\n"));
}

TEST(FoldCommandTest, FoldsStandardInputAndFiles) {
  ToolResult r = RunTool({"fold"}, G("ＯＫ，１２３！") + std::string("\0", 1) + G("﹗"));
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(Hex(r.out), Hex("OK,123" + G("！") + std::string("\0", 1) + "!"));

  r = RunTool({"fold", "--utf8"}, "ＡＢ“引号”\n");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "AB\"引号\"\n");

  testing::TempDir dir;
  testing::WriteFile(dir.File("in.txt"), G("（１）"));
  r = RunTool({"fold", dir.File("in.txt"), dir.File("out.txt")});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(testing::ReadFile(dir.File("out.txt")), "(1)");
}

TEST(PlaceSuffixCommandTest, PrintsWordStemAndSuffix) {
  ToolResult r = RunTool({"place-suffix", "--utf8", "京沪高速公路", "北京市", "自治州", "北京"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out,
            "京沪高速公路\t京沪\t高速公路\n"
            "北京市\t北京\t市\n"
            "自治州\t\t自治州\n"
            "北京\t北京\t\n");
  r = RunTool({"place-suffix", G("北京市")});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(Hex(r.out), Hex(G("北京市") + "\t" + G("北京") + "\t" + G("市") + "\n"));
}

TEST(ClassifyCommandTest, UsageAndFailures) {
  struct Row {
    const char* name;
    std::vector<std::string> args;
    int exit_code;
  } rows[] = {
      {"classify without tokens", {"classify"}, 2},
      {"classify unknown option", {"classify", "--bogus", "x"}, 2},
      {"classify help", {"classify", "--help"}, 0},
      {"fold too many arguments", {"fold", "a", "b", "c"}, 2},
      {"fold missing input", {"fold", "no-such-file.txt"}, 1},
      {"fold help", {"fold", "--help"}, 0},
      {"place-suffix without words", {"place-suffix"}, 2},
      {"place-suffix help", {"place-suffix", "--help"}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ToolResult r = RunTool(row.args);
    EXPECT_EQ(r.exit_code, row.exit_code);
    if (row.exit_code == 0) {
      EXPECT_EQ(r.out.compare(0, 7, "usage: "), 0) << r.out;
    } else {
      EXPECT_NE(r.err, "");
      EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    }
  }
}

}  // namespace
}  // namespace zhtext
