#include "zhtext/encoding/path_ops.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/temp_dir.h"

namespace zhtext {
namespace {

TEST(JoinPath, JoinsWithASlashOnlyWhenThereIsADirectory) {
  struct Row {
    const char* dir;
    const char* name;
    const char* expected;
  };
  const Row rows[] = {
      {"", "name", "name"},
      {nullptr, "name", "name"},
      {"data", "name", "data/name"},
      {"data/", "name", "data//name"},
      {"c:\\x", "y.txt", "c:\\x/y.txt"},
      {"d", "", "d/"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    char dst[64];
    JoinPath(dst, row.dir, row.name);
    EXPECT_STREQ(dst, row.expected);
  }
}

TEST(GetFileTitle, TakesTheNameAfterTheLastSeparatorUpToItsFirstDot) {
  struct Row {
    const char* path;
    const char* title;
  };
  const Row rows[] = {
      {"a/b.tar.gz", "b"},  {"b.txt", "b"},        {"c:\\x\\y", "y"},
      {"a\\b/c.d", "c"},    {"a/b\\c.d", "c"},     {"dir.d/file", "file"},
      {"a/b/", ""},         {".hidden", ""},       {"", ""},
      {"noext", "noext"},
      // 乗 (81 5C) ends in the byte of '\\' but is no separator.
      {"a\\b\x81\x5C", "b\x81\x5C"}, {"c:\\x\\\x81\x5C.txt", "\x81\x5C"},
      {"\x81\x5Cname.d", "\x81\x5Cname"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    char title[64] = "stale";
    EXPECT_EQ(GetFileTitle(row.path, title), title);
    EXPECT_STREQ(title, row.title);
  }
}

TEST(SplitPath, SeparatesDirectoryNameAndExtension) {
  struct Row {
    const char* path;
    const char* dir;
    const char* name;
    const char* ext;
  };
  const Row rows[] = {
      {"/x/y.txt", "/x", "y", "txt"},
      {"y.txt", ".", "y", "txt"},
      {"a//b", "a", "b", ""},
      {"a.d/b", ".", "a", "d/b"},
      {"/x", "", "x", ""},
      {"c:\\dir\\file.tar.gz", "c:\\dir", "file.tar", "gz"},
      {"a/\\/b.c", "a", "b", "c"},
      {"x/", "x", "", ""},
      {"name", ".", "name", ""},
      {"", ".", "", ""},
      {"d\x81\x5C" "f.txt", ".", "d\x81\x5C" "f", "txt"},
      {"a\\\x81\x5C", "a", "\x81\x5C", ""},
      {"\x81\x5C/b", "\x81\x5C", "b", ""},
      {"x\x81\x5C\\\\y", "x\x81\x5C", "y", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    std::string dir = "stale", name = "stale", ext = "stale";
    SplitPath(row.path, dir, name, ext);
    EXPECT_EQ(dir, row.dir);
    EXPECT_EQ(name, row.name);
    EXPECT_EQ(ext, row.ext);
  }
}

TEST(SplitDirFile, SplitsAtTheLastSeparator) {
  struct Row {
    const char* path;
    const char* dir;
    const char* file;
  };
  const Row rows[] = {
      {"dir/sub/file.txt", "dir/sub", "file.txt"},
      {"c:\\x\\y", "c:\\x", "y"},
      {"/f", "", "f"},
      {"d/", "d", ""},
      {"d\x81\x5C/f", "d\x81\x5C", "f"},
      {"d\\\x81\x5C", "d", "\x81\x5C"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    std::vector<char> dir(kSplitDirSize, 'x');
    char file[64];
    EXPECT_EQ(SplitDirFile(row.path, dir.data(), file), file);
    EXPECT_STREQ(dir.data(), row.dir);
    EXPECT_STREQ(file, row.file);
  }
}

TEST(SplitDirFile, WithoutASeparatorTheDirectoryIsTheWorkingDirectory) {
  std::vector<char> dir(kSplitDirSize, 'x');
  char file[64];
  SplitDirFile("plain.txt", dir.data(), file);
  EXPECT_EQ(std::string(dir.data()), std::filesystem::current_path().string());
  EXPECT_STREQ(file, "plain.txt");
}

// Directories that do not fit the 1000-byte buffer give an empty directory
// instead of running past it (each buffer is exactly 1000 bytes on the heap,
// so ASan sees any overflow).
class SplitDirFileLong : public ::testing::Test {
 protected:
  void TearDown() override { std::filesystem::current_path(saved_); }
  std::filesystem::path saved_ = std::filesystem::current_path();
  testing::TempDir tmp_;
};

TEST_F(SplitDirFileLong, LongWorkingDirectoryGivesAnEmptyDirectory) {
  std::filesystem::path deep = tmp_.path();
  while (deep.string().size() < 1100) deep /= std::string(200, 'd');
  std::filesystem::create_directories(deep);
  std::filesystem::current_path(deep);

  std::vector<char> dir(kSplitDirSize, 'x');
  std::vector<char> file(64);
  SplitDirFile("f.txt", dir.data(), file.data());
  EXPECT_STREQ(dir.data(), "");
  EXPECT_STREQ(file.data(), "f.txt");
}

TEST_F(SplitDirFileLong, LongDirectoryPartGivesAnEmptyDirectory) {
  struct Row {
    std::size_t dirLength;
    bool fits;
  };
  for (Row row : {Row{998, true}, Row{999, true}, Row{1000, false}, Row{5000, false}}) {
    SCOPED_TRACE(row.dirLength);
    const std::string dirPart(row.dirLength, 'p');
    const std::string path = dirPart + "/name";
    std::vector<char> dir(kSplitDirSize, 'x');
    std::vector<char> file(path.size() + 1);
    SplitDirFile(path.c_str(), dir.data(), file.data());
    EXPECT_EQ(std::string(dir.data()), row.fits ? dirPart : "");
    EXPECT_STREQ(file.data(), "name");
  }
}

}  // namespace
}  // namespace zhtext
