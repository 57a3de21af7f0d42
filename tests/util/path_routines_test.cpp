#include "zhtext/util/path_routines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/log_watch.h"
#include "tests/support/temp_dir.h"
#include "zhtext/platform/filesystem.h"
#include "zhtext/util/log.h"

namespace zhtext {
namespace {

namespace fs = std::filesystem;
using testing::Hex;
using testing::TempDir;

const std::string kSep(1, platform::kPathSeparator);

TEST(JoinPathBackslashTest, Table) {
  struct Row {
    const char* name;
    const char* dir;
    const char* part;
    std::string expected;
  } rows[] = {
      {"dir and name", "data", "a.txt", "data" + kSep + "a.txt"},
      {"empty dir keeps the separator", "", "a.txt", kSep + "a.txt"},
      {"null dir", nullptr, "a.txt", kSep + "a.txt"},
      {"empty name", "data", "", "data" + kSep},
      {"null name", "data", nullptr, "data" + kSep},
      {"no separator removed", "data/", "x", "data/" + kSep + "x"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char out[64] = "stale";
    EXPECT_EQ(JoinPathBackslash(row.dir, row.part, out), out);
    EXPECT_EQ(std::string(out), row.expected);
  }
  // The buffer may hold one of the parts.
  char inPlace[64] = "dir";
  EXPECT_EQ(std::string(JoinPathBackslash(inPlace, "name", inPlace)), "dir" + kSep + "name");
  char namePlace[64] = "name";
  EXPECT_EQ(std::string(JoinPathBackslash("dir", namePlace, namePlace)), "dir" + kSep + "name");
}

TEST(GetDirectoryPartTest, Table) {
  struct Row {
    const char* name;
    std::string path;
    std::string expected;
  } rows[] = {
      {"mixed separators", "a/b\\c.txt", "a/b\\"},
      {"drive", "c:\\x", "c:\\"},
      {"slashes", "/usr/share/file", "/usr/share/"},
      {"trailing separator", "a/b/", "a/b/"},
      {"root only", "/x", "/"},
      {"empty", "", ""},
      {"no separator", "abc", ""},
      {"one byte", "a", ""},
      // 81 5C is one character whose second byte is '\\': no separator.
      {"second byte is no separator",
       "\x81\x5C"
       "x",
       ""},
      {"separator before such a character", "d/\x81\x5C", "d/"},
      {"GBK directory", testing::G("数据") + "\\" + testing::G("文件"), testing::G("数据") + "\\"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Hex(GetDirectoryPart(row.path.c_str())), Hex(row.expected));
  }
  EXPECT_EQ(GetDirectoryPart(nullptr), "");
}

// Runs each case from a known working directory and restores it after.
class MakeDirectoriesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(platform::GetCurrentDir(&start_)); }
  void TearDown() override { platform::ChangeDir(start_.c_str()); }

  static std::string Cwd() {
    std::string dir;
    platform::GetCurrentDir(&dir);
    return fs::canonical(dir).string();
  }
  static std::string Canonical(const std::string& path) { return fs::canonical(path).string(); }

  std::string start_;
};

TEST_F(MakeDirectoriesTest, Table) {
  struct Row {
    const char* name;
    std::string rel;
    std::vector<std::string> made;  // directories below the base, in order
    std::string cwd;                // below the base
  } rows[] = {
      {"slashes", "x/y/z.txt", {"x", "x/y"}, "x/y"},
      {"backslashes", "x\\y\\z.txt", {"x", "x/y"}, "x/y"},
      {"no separator creates nothing", "file.txt", {}, ""},
      {"empty parts skipped", "x//y/", {"x", "x/y"}, "x/y"},
      {"leading separator stays below the base", "/x/f", {"x"}, "x"},
      // 81 5C is one character: a directory of that name, not two.
      {"second byte is no separator",
       "\x81\x5C"
       "d/f",
       {"\x81\x5C"
        "d"},
       "\x81\x5C"
       "d"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir base;
    platform::ChangeDir(start_.c_str());
    std::string full = "stale";
    const char* result = MakeDirectories(base.path().c_str(), row.rel.c_str(), full);
    EXPECT_EQ(full, base.path() + row.rel);  // no separator added
    EXPECT_EQ(result, full.c_str());
    for (const std::string& dir : row.made)
      EXPECT_TRUE(fs::is_directory(base.path() + "/" + dir)) << dir;
    std::size_t entries = 0;
    for (auto it = fs::recursive_directory_iterator(base.path());
         it != fs::recursive_directory_iterator(); ++it) {
      ++entries;
    }
    EXPECT_EQ(entries, row.made.size());  // and nothing else, no file
    EXPECT_EQ(Cwd(), Canonical(base.path() + (row.cwd.empty() ? "" : "/" + row.cwd)));
  }
}

TEST_F(MakeDirectoriesTest, ExistingDirectoriesAreEntered) {
  TempDir base;
  fs::create_directories(base.path() + "/x/y");
  std::string full;
  MakeDirectories(base.path().c_str(), "x/y/z/f", full);
  EXPECT_TRUE(fs::is_directory(base.path() + "/x/y/z"));
  EXPECT_EQ(Cwd(), Canonical(base.path() + "/x/y/z"));
}

TEST_F(MakeDirectoriesTest, StopsWhereAPartCannotBeEntered) {
  TempDir base;
  testing::WriteFile(base.path() + "/x", "a file, not a directory");
  std::string full;
  MakeDirectories(base.path().c_str(), "x/y/f", full);
  EXPECT_FALSE(fs::exists(base.path() + "/y"));  // not made one level up
  EXPECT_EQ(Cwd(), Canonical(base.path()));

  // A base that does not exist: nothing is made, the directory stays.
  const std::string before = Cwd();
  MakeDirectories((base.path() + "/missing").c_str(), "a/f", full);
  EXPECT_FALSE(fs::exists(base.path() + "/missing"));
  EXPECT_FALSE(fs::exists(before + "/a"));
  EXPECT_EQ(Cwd(), before);
}

TEST_F(MakeDirectoriesTest, NoBaseStartsHere) {
  TempDir base;
  platform::ChangeDir(base.path().c_str());
  std::string full;
  MakeDirectories(nullptr, "p/q/f", full);
  EXPECT_EQ(full, "p/q/f");
  EXPECT_TRUE(fs::is_directory(base.path() + "/p/q"));
  EXPECT_EQ(Cwd(), Canonical(base.path() + "/p/q"));
}

// The daily log keeps the first working directory.
TEST_F(MakeDirectoriesTest, TheLogStaysWhereItWas) {
  testing::FixedLogClock clock;
  WriteLog("before");  // captures the first working directory
  const std::string logDir = GetLogDirectory();
  TempDir base;
  std::string full;
  MakeDirectories(base.path().c_str(), "x/f", full);
  testing::LogWatch watch;
  WriteLog("after");
  EXPECT_EQ(GetLogDirectory(), logDir);
  EXPECT_EQ(watch.Log(), std::vector<std::string>{"after"});
  EXPECT_TRUE(fs::is_empty(base.path() + "/x"));
}

}  // namespace
}  // namespace zhtext
