#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/wordlist/word_list.h"

namespace zhtext {
namespace {

using testing::ExpectFailures;
using testing::G;
using testing::ReadFile;
using testing::RunTool;
using testing::TempDir;
using testing::ToolResult;
using testing::WriteFile;

class WordlistCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list_ = dir_.File("words.txt");
    dict_ = dir_.File("words.dic");
    WriteFile(list_, G("中国") + " 12\n[New_York]\n" + G("北京") + "\n");
    ToolResult r = RunTool({"dict", "build", list_, dict_});
    ASSERT_EQ(r.exit_code, 0) << r.err;
  }
  TempDir dir_;
  std::string list_;
  std::string dict_;
};

TEST_F(WordlistCommandTest, BuildAndGetEncipheredAndPlain) {
  struct Row {
    const char* name;
    std::vector<std::string> buildFlags;
    std::vector<std::string> getFlags;
    bool encrypt;
  } rows[] = {
      {"enciphered", {}, {}, true},
      {"plain", {"--plain"}, {"--plain"}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string out = dir_.File(std::string(row.name) + ".wl");
    std::vector<std::string> build = {"wordlist", "build", list_, dict_, out};
    build.insert(build.end(), row.buildFlags.begin(), row.buildFlags.end());
    ToolResult r = RunTool(build);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "words: 3\nhandles: 3\n");
    EXPECT_EQ(ReadFile(list_ + "_wordlist_export.txt"),
              G("中国") + "\n[New York]\n" + G("北京") + "\n");

    // The same file as the library writes.
    CPDAT dict(0);
    ASSERT_TRUE(dict.Load(dict_.c_str()));
    CWordList list(row.encrypt, &dict);
    ASSERT_EQ(list.Import(list_.c_str(), nullptr, nullptr), 3);
    const std::string expected = dir_.File("expected.wl");
    ASSERT_TRUE(list.Save(expected.c_str()));
    EXPECT_EQ(ReadFile(out), ReadFile(expected));

    std::vector<std::string> get = {"wordlist", "get"};
    get.insert(get.end(), row.getFlags.begin(), row.getFlags.end());
    std::vector<std::string> getUtf8 = get;
    getUtf8.push_back("--utf8");
    for (const char* arg : {"0", "1", "2", "3"}) {
      get.push_back(arg);
      getUtf8.push_back(arg);
    }
    get.push_back("--");  // a negative handle after the end of the options
    get.push_back("-1");
    get.insert(get.begin() + 2, out);
    getUtf8.insert(getUtf8.begin() + 2, out);
    r = RunTool(get);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "0\t" + G("中国") + "\n1\tNew York\n2\t" + G("北京") + "\n3\t\n-1\t\n");
    r = RunTool(getUtf8);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "0\t中国\n1\tNew York\n2\t北京\n3\t\n");
  }
}

TEST_F(WordlistCommandTest, ListReadWithTheOtherSettingIsRefused) {
  const std::string plain = dir_.File("plain.wl");
  ASSERT_EQ(RunTool({"wordlist", "build", "--plain", list_, dict_, plain}).exit_code, 0);
  ToolResult r = RunTool({"wordlist", "get", plain, "0"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("--plain"), std::string::npos) << r.err;
}

TEST_F(WordlistCommandTest, UsageAndFileErrors) {
  const std::string wl = dir_.File("ok.wl");
  ASSERT_EQ(RunTool({"wordlist", "build", list_, dict_, wl}).exit_code, 0);
  WriteFile(dir_.File("bad.wl"), ReadFile(wl).substr(0, 20));
  ExpectFailures({
      {"no_subcommand", {"wordlist"}, 2},
      {"unknown_subcommand", {"wordlist", "frob"}, 2},
      {"build_too_few", {"wordlist", "build", list_, dict_}, 2},
      {"build_unknown_option", {"wordlist", "build", "--fast", list_, dict_, wl}, 2},
      {"get_without_handle", {"wordlist", "get", wl}, 2},
      {"get_not_a_handle", {"wordlist", "get", wl, "12x"}, 2},
      {"get_handle_out_of_range", {"wordlist", "get", wl, "99999999999"}, 2},
      {"get_handle_after_a_blank", {"wordlist", "get", wl, " 1"}, 2},
      {"build_missing_dict", {"wordlist", "build", list_, dir_.File("none.dic"), wl}, 1},
      {"build_dict_is_not_a_dict", {"wordlist", "build", list_, list_, wl}, 1},
      {"build_missing_list", {"wordlist", "build", dir_.File("none.txt"), dict_, wl}, 1},
      {"build_unwritable_out", {"wordlist", "build", list_, dict_, "/nonexistent/x.wl"}, 1},
      {"get_missing_list", {"wordlist", "get", dir_.File("none.wl"), "0"}, 1},
      {"get_truncated_list", {"wordlist", "get", dir_.File("bad.wl"), "0"}, 1},
  });
}

TEST_F(WordlistCommandTest, HelpGoesToStandardOutput) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"wordlist", "--help"},
                                               std::vector<std::string>{"wordlist", "build", "--help"},
                                               std::vector<std::string>{"wordlist", "get", "--help"}}) {
    ToolResult r = RunTool(args);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out.find("usage: zhtext wordlist"), 0u) << r.out;
    EXPECT_EQ(r.err, "");
  }
}

}  // namespace
}  // namespace zhtext
