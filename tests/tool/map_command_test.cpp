#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/idmaps/idmaps.h"

namespace zhtext {
namespace {

using testing::ExpectFailures;
using testing::G;
using testing::Hex;
using testing::ReadFile;
using testing::RunTool;
using testing::TempDir;
using testing::ToolResult;
using testing::WriteFile;

// Key words 中国 0, 美国 1, 北京 2; value words America 0, China 1, PRC 2,
// USA 3, Beijing 4. Both dictionaries and their word lists are built with
// the tool.
class MapCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_.File("keys.txt"), G("中国") + "\n" + G("美国") + "\n" + G("北京") + "\n");
    WriteFile(dir_.File("values.txt"), "America\nChina\nPRC\nUSA\nBeijing\n");
    for (const char* name : {"keys", "values"}) {
      const std::string list = dir_.File(std::string(name) + ".txt");
      ToolResult r = RunTool({"dict", "build", list, Dict(name)});
      ASSERT_EQ(r.exit_code, 0) << r.err;
      r = RunTool({"wordlist", "build", list, Dict(name), Words(name)});
      ASSERT_EQ(r.exit_code, 0) << r.err;
    }
  }
  std::string Dict(const std::string& name) const { return dir_.File(name + ".dic"); }
  std::string Words(const std::string& name) const { return dir_.File(name + ".wl"); }
  std::string Write(const std::string& name, const std::string& content) const {
    WriteFile(dir_.File(name), content);
    return dir_.File(name);
  }

  TempDir dir_;
};

TEST_F(MapCommandTest, TypicalRoadThroughTheTool) {
  const std::string pairs =
      Write("pairs.txt", G("中国") + " China\n" + G("中国") + " PRC\n" + G("美国") + " America\n" +
                             G("美国") + " USA\n" + G("北京") + " Beijing\n" + G("火星") + " Mars\n");
  const std::string map = dir_.File("pairs.map");
  ToolResult r = RunTool({"map", "import", "--format", "pairs", pairs, "--key-dict", Dict("keys"),
                          "--value-dict", Dict("values"), map});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "Build map success!\npairs: 5\nkeys: 3\n");
  EXPECT_EQ(ReadFile(pairs + "_map_export.txt"),
            G("中国") + "\tChina\n" + G("中国") + "\tPRC\n" + G("美国") + "\tAmerica\n" + G("美国") +
                "\tUSA\n" + G("北京") + "\tBeijing\n" + G("火星") + "\tMars\n");

  // The same map file as the library writes.
  {
    CPDAT keys(0);
    CPDAT values(0);
    ASSERT_TRUE(keys.Load(Dict("keys").c_str()));
    ASSERT_TRUE(values.Load(Dict("values").c_str()));
    CIDMaps expected;
    ::testing::internal::CaptureStdout();
    expected.ImportPairs(pairs.c_str(), &keys, &values, nullptr);
    ::testing::internal::GetCapturedStdout();
    ASSERT_TRUE(expected.Save(dir_.File("expected.map").c_str()));
    EXPECT_EQ(Hex(ReadFile(map)), Hex(ReadFile(dir_.File("expected.map"))));
  }

  r = RunTool({"map", "related", map, Dict("keys"), Words("values"), G("中国"), G("北京"), G("火星")});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, G("中国") + "\t0\tChina\tPRC\n" + G("北京") + "\t2\tBeijing\n" + G("火星") + "\t-1\n");
  r = RunTool({"map", "related", "--utf8", map, Dict("keys"), Words("values"), "美国"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "美国\t1\tAmerica\tUSA\n");

  const std::string header = "Data Size=5,Index Size=3\r\n";
  const std::string china = "Handle=0(" + G("中国") + "),Start=0\tEnd=1 count=2\r\n data=1(China) 2(PRC) \r\n";
  const std::string usa = "Handle=1(" + G("美国") + "),Start=2\tEnd=3 count=2\r\n data=0(America) 3(USA) \r\n";
  const std::string beijing = "Handle=2(" + G("北京") + "),Start=4\tEnd=4 count=1\r\n data=4(Beijing) \r\n";
  const std::vector<std::string> words = {"--key-words", Words("keys"), "--value-words", Words("values")};
  auto report = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = {"map", "report", map};
    args.insert(args.end(), words.begin(), words.end());
    args.insert(args.end(), extra.begin(), extra.end());
    return RunTool(args);
  };
  r = report({});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(Hex(r.out), Hex(header + china + usa + beijing));
  r = report({"--multi-only"});
  EXPECT_EQ(r.out, header + china + usa);
  r = report({"--utf8", "--multi-only"});
  EXPECT_EQ(r.out, testing::U(header + china + usa));
  const std::string out = dir_.File("report.txt");
  r = report({out});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(ReadFile(out), header + china + usa + beijing);
}

// With two dictionaries a value's handle may equal the key's own handle:
// the map's related words leave such a value out, --values keeps it.
TEST_F(MapCommandTest, ValuesListsWhatRelatedLeavesOut) {
  const std::string pairs =
      Write("cross.txt", G("美国") + " China\n" + G("美国") + " USA\n");  // 美国 1, China 1
  const std::string map = dir_.File("cross.map");
  ToolResult r = RunTool({"map", "import", "--format", "pairs", pairs, "--key-dict", Dict("keys"),
                          "--value-dict", Dict("values"), map});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  r = RunTool({"map", "related", "--utf8", map, Dict("keys"), Words("values"), "美国"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "美国\t1\tUSA\n");
  r = RunTool({"map", "related", "--values", "--utf8", map, Dict("keys"), Words("values"), "美国", "火星"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "美国\t1\tChina\tUSA\n火星\t-1\n");
}

TEST_F(MapCommandTest, EveryFormat) {
  struct Row {
    const char* format;
    std::vector<std::string> inputs;  // file contents
    bool valueDict;
    std::string counts;
    std::string word;     // a key word to query, UTF-8
    std::string related;  // its line from 'map related --utf8'
  } rows[] = {
      {"pairs", {"北京 Beijing\n"}, true, "pairs: 1\nkeys: 3\n", "北京", "北京\t2\tBeijing\n"},
      {"parallel", {"中国\n\n美国\n", "China\nPRC\nUSA\n"}, true, "pairs: 2\nkeys: 2\n", "美国",
       "美国\t1\tUSA\n"},
      {"tabbed", {"美国\t北京\t中国\r\n"}, false, "pairs: 2\nkeys: 1\n", "中国", "中国\t0\t美国\t北京\n"},
      {"lists", {"中国,China PRC\n"}, true, "pairs: 2\nkeys: 1\n", "中国", "中国\t0\tChina\tPRC\n"},
      // 美国 has the single value 中国 and is followed to 中国's values.
      {"symmetric", {"中国,美国 北京\n"}, false, "pairs: 4\nkeys: 3\n", "美国", "美国\t1\t中国\t北京\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.format);
    std::vector<std::string> args = {"map", "import", "--format", row.format};
    for (std::size_t i = 0; i < row.inputs.size(); ++i) {
      args.push_back(Write("in" + std::to_string(i) + ".txt", G(row.inputs[i])));
    }
    args.insert(args.end(), {"--key-dict", Dict("keys")});
    if (row.valueDict) args.insert(args.end(), {"--value-dict", Dict("values")});
    const std::string map = dir_.File(std::string(row.format) + ".map");
    args.push_back(map);
    ToolResult r = RunTool(args);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "Build map success!\n" + row.counts);
    r = RunTool({"map", "related", "--utf8", map, Dict("keys"),
                 Words(row.valueDict ? "values" : "keys"), row.word});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, row.related);
  }
}

TEST_F(MapCommandTest, OneDictionaryFileGivenTwiceRejectsSelfPairs) {
  const std::string pairs = Write("pairs.txt", G("中国") + " " + G("中国") + "\n" + G("中国") + " " + G("美国") + "\n");
  const std::string map = dir_.File("self.map");
  ToolResult r = RunTool({"map", "import", "--format", "pairs", pairs, "--key-dict", Dict("keys"),
                          "--value-dict", Dict("keys"), map});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "Build map success!\npairs: 1\nkeys: 1\n");
}

TEST_F(MapCommandTest, UsageAndFileErrors) {
  const std::string pairs = Write("pairs.txt", G("中国") + " China\n");
  const std::string map = dir_.File("ok.map");
  ASSERT_EQ(RunTool({"map", "import", "--format", "pairs", pairs, "--key-dict", Dict("keys"),
                     "--value-dict", Dict("values"), map})
                .exit_code,
            0);
  WriteFile(dir_.File("bad.map"), ReadFile(map).substr(0, 12));
  const std::string k = Dict("keys");
  const std::string kw = Words("keys");
  const std::string vw = Words("values");
  ExpectFailures({
      {"no_subcommand", {"map"}, 2},
      {"unknown_subcommand", {"map", "frob"}, 2},
      {"import_no_format", {"map", "import", pairs, "--key-dict", k, map}, 2},
      {"import_unknown_format", {"map", "import", "--format", "csv", pairs, "--key-dict", k, map}, 2},
      {"import_no_key_dict", {"map", "import", "--format", "pairs", pairs, map}, 2},
      {"import_one_dict_format", {"map", "import", "--format", "tabbed", pairs, "--key-dict", k, "--value-dict", k, map}, 2},
      {"import_parallel_one_input", {"map", "import", "--format", "parallel", pairs, "--key-dict", k, map}, 2},
      {"import_pairs_two_inputs", {"map", "import", "--format", "pairs", pairs, pairs, "--key-dict", k, map}, 2},
      {"import_missing_input", {"map", "import", "--format", "lists", dir_.File("none.txt"), "--key-dict", k, map}, 1},
      {"import_missing_dict", {"map", "import", "--format", "lists", pairs, "--key-dict", dir_.File("none.dic"), map}, 1},
      {"import_unwritable_out", {"map", "import", "--format", "lists", pairs, "--key-dict", k, "/nonexistent/x.map"}, 1},
      {"report_no_words", {"map", "report", map, "--key-words", kw}, 2},
      {"report_too_many", {"map", "report", map, "a", "b", "--key-words", kw, "--value-words", vw}, 2},
      {"report_truncated_map", {"map", "report", dir_.File("bad.map"), "--key-words", kw, "--value-words", vw}, 1},
      {"report_plain_mismatch", {"map", "report", map, "--plain", "--key-words", kw, "--value-words", vw}, 1},
      {"report_unwritable_out", {"map", "report", map, "--key-words", kw, "--value-words", vw, "/nonexistent/r.txt"}, 1},
      {"related_too_few", {"map", "related", map, k, vw}, 2},
      {"related_missing_map", {"map", "related", dir_.File("none.map"), k, vw, "x"}, 1},
      {"related_missing_list", {"map", "related", map, k, dir_.File("none.wl"), "x"}, 1},
  });
}

TEST_F(MapCommandTest, HelpGoesToStandardOutput) {
  for (const char* sub : {"", "import", "report", "related"}) {
    SCOPED_TRACE(sub);
    std::vector<std::string> args = {"map"};
    if (*sub != '\0') args.push_back(sub);
    args.push_back("--help");
    ToolResult r = RunTool(args);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out.find("usage: zhtext map"), 0u) << r.out;
    EXPECT_EQ(r.err, "");
  }
}

}  // namespace
}  // namespace zhtext
