// What every command does when things go wrong around it: a report that
// cannot be written, an output that is one of the inputs, a dictionary file
// made to size huge tables, and memory running out.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"
#include "zhtext/dictionary/pdat.h"

namespace zhtext {
namespace {

using testing::ExpectFailures;
using testing::G;
using testing::ReadFile;
using testing::RunTool;
using testing::TempDir;
using testing::ToolFailure;
using testing::ToolResult;
using testing::ToolRun;
using testing::WriteFile;

namespace fs = std::filesystem;

void SetInt(std::string* bytes, std::size_t at, int value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<char>(v >> (8 * i));
}

// A word list, its dictionary, its word list file and a map file, all built
// with the tool.
class ToolFailuresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list_ = dir_.File("words.txt");
    dict_ = dir_.File("words.dic");
    wordList_ = dir_.File("words.wl");
    pairs_ = dir_.File("pairs.txt");
    map_ = dir_.File("words.map");
    WriteFile(list_, G("中国") + "\nab\ncd\n");
    WriteFile(pairs_, G("中国") + " ab\nab cd\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"dict", "build", list_, dict_},
          std::vector<std::string>{"wordlist", "build", list_, dict_, wordList_},
          std::vector<std::string>{"map", "import", "--format", "pairs", pairs_, "--key-dict",
                                   dict_, map_}}) {
      ToolResult r = RunTool(args);
      ASSERT_EQ(r.exit_code, 0) << r.err;
    }
  }

  TempDir dir_;
  std::string list_, dict_, wordList_, pairs_, map_;
};

// A report on a full standard output is a failure (exit 1, one line on
// standard error), and nothing claims success before the work is saved.
TEST_F(ToolFailuresTest, ReportsThatCannotBeWrittenFail) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const struct Row {
    const char* name;
    std::vector<std::string> args;
  } rows[] = {
      {"dict_info", {"dict", "info", dict_}},
      {"dict_build", {"dict", "build", list_, dir_.File("again.dic")}},
      {"dict_lookup", {"dict", "lookup", dict_, "ab"}},
      {"wordlist_build", {"wordlist", "build", list_, dict_, dir_.File("again.wl")}},
      {"wordlist_get", {"wordlist", "get", wordList_, "0"}},
      {"map_import", {"map", "import", "--format", "pairs", pairs_, "--key-dict", dict_,
                      dir_.File("again.map")}},
      {"map_report", {"map", "report", map_, "--key-words", wordList_, "--value-words", wordList_}},
      {"segment", {"segment", dict_, list_}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ToolRun run;
    run.args = row.args;
    run.stdout_path = "/dev/full";
    const ToolResult r = RunTool(run);
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("standard output"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
}

TEST_F(ToolFailuresTest, MapImportReportsSuccessOnlyAfterTheSave) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  // The map cannot be saved to a full device: no "Build map success!".
  const ToolResult failed =
      RunTool({"map", "import", "--format", "pairs", pairs_, "--key-dict", dict_, "/dev/full"});
  EXPECT_EQ(failed.exit_code, 1);
  EXPECT_EQ(failed.out, "");
  EXPECT_EQ(failed.err.find('\n'), failed.err.size() - 1) << failed.err;
  const ToolResult saved = RunTool(
      {"map", "import", "--format", "pairs", pairs_, "--key-dict", dict_, dir_.File("ok.map")});
  EXPECT_EQ(saved.exit_code, 0) << saved.err;
  EXPECT_EQ(saved.out, "Build map success!\npairs: 2\nkeys: 2\n");
}

// An output that is one of the inputs, by the same name, another path to
// it, a symbolic or a hard link, is refused before anything is written.
TEST_F(ToolFailuresTest, OutputsThatAreInputsAreRefused) {
  const std::string text = dir_.File("text.txt");
  WriteFile(text, G("中国") + "ab\n");
  fs::create_directory(dir_.File("sub"));
  const std::string viaDots = dir_.File("sub/../words.txt");
  const std::string symlink = dir_.File("link.dic");
  fs::create_symlink(dict_, symlink);
  const std::string hardLink = dir_.File("hard.txt");
  fs::create_hard_link(list_, hardLink);
  const std::string filter = dir_.File("filter.dic");
  fs::copy_file(dict_, filter);
  const std::vector<std::string> files = {list_, dict_, wordList_, pairs_, map_, text, filter};
  std::vector<std::string> before;
  for (const std::string& f : files) before.push_back(ReadFile(f));

  ExpectFailures({
      {"dict_build_list_as_out", {"dict", "build", list_, list_}, 2},
      {"dict_build_through_another_path", {"dict", "build", list_, viaDots}, 2},
      {"dict_build_hard_link", {"dict", "build", list_, hardLink}, 2},
      {"dict_build_filter_as_out", {"dict", "build", list_, filter, "--filter", filter}, 2},
      {"dict_export_dict_as_out", {"dict", "export", dict_, symlink}, 2},
      {"wordlist_build_dict_as_out", {"wordlist", "build", list_, dict_, dict_}, 2},
      {"wordlist_build_list_as_out", {"wordlist", "build", list_, dict_, hardLink}, 2},
      {"map_import_input_as_out",
       {"map", "import", "--format", "pairs", pairs_, "--key-dict", dict_, pairs_}, 2},
      {"map_import_dict_as_out",
       {"map", "import", "--format", "pairs", pairs_, "--key-dict", dict_, symlink}, 2},
      {"map_import_value_dict_as_out",
       {"map", "import", "--format", "lists", pairs_, "--key-dict", dict_, "--value-dict", filter,
        filter},
       2},
      {"map_report_map_as_out",
       {"map", "report", map_, "--key-words", wordList_, "--value-words", wordList_, map_}, 2},
      {"map_report_list_as_out",
       {"map", "report", map_, "--key-words", wordList_, "--value-words", wordList_, wordList_}, 2},
      {"convert_in_as_out", {"convert", "--from", "gbk", "--to", "utf8", text, text}, 2},
      {"fold_in_as_out", {"fold", text, text}, 2},
      {"segment_in_as_out", {"segment", dict_, text, text}, 2},
      {"segment_dict_as_out", {"segment", dict_, text, symlink}, 2},
  });
  for (std::size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(files[i]);
    EXPECT_TRUE(ReadFile(files[i]) == before[i]);
  }
}

// A dictionary file whose handles or word count would size huge tables is
// refused; a cleared dictionary's one cell (whatever handle it kept) makes
// no table grow: the builds size theirs by the word count.
TEST_F(ToolFailuresTest, DictionariesMadeToSizeHugeTables) {
  const std::string good = ReadFile(dict_);
  const std::size_t cellsAt = 262152;
  const int maxCell = static_cast<int>((good.size() - 262156) / 12) - 1;
  auto damaged = [&](const char* name, std::size_t at, int value) {
    std::string bytes = good;
    SetInt(&bytes, at, value);
    const std::string path = dir_.File(name);
    WriteFile(path, bytes);
    return path;
  };
  std::vector<ToolFailure> failures;
  for (const std::string& bad :
       {damaged("handle_huge.dic", cellsAt + 12 * static_cast<std::size_t>(maxCell) + 8, 100000000),
        damaged("handle_int_max.dic", cellsAt + 12 * static_cast<std::size_t>(maxCell) + 8,
                0x7FFFFFFE),
        damaged("word_count_int_max.dic", 262148, 0x7FFFFFFF)}) {
    failures.push_back({"dict_info", {"dict", "info", bad}, 1});
    failures.push_back({"wordlist_build", {"wordlist", "build", list_, bad, dir_.File("x.wl")}, 1});
    failures.push_back({"map_import",
                        {"map", "import", "--format", "lists", list_, "--key-dict", bad,
                         dir_.File("x.map")},
                        1});
  }
  ExpectFailures(failures);
  EXPECT_FALSE(testing::FileExists(dir_.File("x.wl")));

  // The cleared dictionary of the word "a", its cell 0 holding a handle
  // near INT_MAX.
  auto cleared = std::make_unique<CPDAT>(0);
  cleared->AddWord("a", false);
  cleared->Build();
  cleared->ClearSize();
  const std::string clearedPath = dir_.File("cleared.dic");
  ASSERT_TRUE(cleared->Save(clearedPath.c_str()));
  std::string bytes = ReadFile(clearedPath);
  SetInt(&bytes, cellsAt + 8, 0x7FFFFFFE);
  WriteFile(clearedPath, bytes);
  const std::string aList = dir_.File("a.txt");
  WriteFile(aList, "a\na,a\n");
  ToolResult r = RunTool({"dict", "info", clearedPath});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  r = RunTool({"wordlist", "build", aList, clearedPath, dir_.File("a.wl")});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "words: 0\nhandles: 0\n");
  EXPECT_EQ(ReadFile(dir_.File("a.wl")).size(), 16u);
  r = RunTool({"map", "import", "--format", "lists", aList, "--key-dict", clearedPath,
               dir_.File("a.map")});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(ReadFile(dir_.File("a.map")).size(), 8u);
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZHTEXT_TOOL_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ZHTEXT_TOOL_SANITIZED 1
#endif
#endif

// Memory running out (here under a limit of the address space) ends the
// command with exit code 1 and one line, not with an abort.
TEST_F(ToolFailuresTest, OutOfMemoryIsAFailureOfItsOwn) {
#ifdef ZHTEXT_TOOL_SANITIZED
  GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#else
  const std::string big = dir_.File("big.txt");
  std::string text;
  for (int i = 0; i < 1000000; ++i) text += "abc def\n";
  WriteFile(big, text);
  ToolRun run;
  run.memory_limit_kb = 30000;
  // The limit leaves room for a small job...
  run.args = {"convert", "--from", "gbk", "--to", "utf16", list_, dir_.File("small.out")};
  ToolResult r = RunTool(run);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  // ...and none for a large one.
  run.args = {"convert", "--from", "gbk", "--to", "utf16", big, dir_.File("big.out")};
  r = RunTool(run);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "zhtext: out of memory\n");
#endif
}

}  // namespace
}  // namespace zhtext
