#include "zhtext/platform/filesystem.h"

#include <gtest/gtest.h>
#include <sys/time.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"

namespace zhtext {
namespace platform {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::string Canonical(const std::string& path) { return fs::canonical(path).string(); }

// Restores the working directory the test started in.
class FilesystemTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(GetCurrentDir(&start_)); }
  void TearDown() override { EXPECT_TRUE(ChangeDir(start_.c_str())); }

  std::string start_;
  TempDir temp_;
};

TEST_F(FilesystemTest, CurrentDirFollowsChangeDir) {
  EXPECT_EQ(start_, fs::current_path().string());
  ASSERT_TRUE(ChangeDir(temp_.path().c_str()));
  std::string now;
  ASSERT_TRUE(GetCurrentDir(&now));
  EXPECT_EQ(now, Canonical(temp_.path()));

  // Relative changes are relative to the new directory.
  ASSERT_TRUE(MakeDir("sub"));
  ASSERT_TRUE(ChangeDir("sub"));
  ASSERT_TRUE(GetCurrentDir(&now));
  EXPECT_EQ(now, Canonical(temp_.path()) + "/sub");

  ASSERT_TRUE(ChangeDir(start_.c_str()));
  ASSERT_TRUE(GetCurrentDir(&now));
  EXPECT_EQ(now, start_);
}

TEST_F(FilesystemTest, ChangeDirFailsAndStaysPut) {
  EXPECT_FALSE(ChangeDir(temp_.File("missing").c_str()));
  EXPECT_EQ(errno, ENOENT);
  testing::WriteFile(temp_.File("plain"), "x");
  EXPECT_FALSE(ChangeDir(temp_.File("plain").c_str()));
  EXPECT_FALSE(ChangeDir(nullptr));
  std::string now;
  ASSERT_TRUE(GetCurrentDir(&now));
  EXPECT_EQ(now, start_);
}

TEST_F(FilesystemTest, CurrentDirLongerThanAFirstGuess) {
  // Deeper than any small fixed buffer the implementation may start with.
  std::string deep = temp_.path();
  for (int i = 0; i < 12; ++i) deep += "/" + std::string(60, static_cast<char>('a' + i));
  fs::create_directories(deep);
  ASSERT_TRUE(ChangeDir(deep.c_str()));
  std::string now;
  ASSERT_TRUE(GetCurrentDir(&now));
  EXPECT_EQ(now, Canonical(deep));
  EXPECT_GT(now.size(), 720u);
}

TEST_F(FilesystemTest, CurrentDirIntoCallerBuffer) {
  ASSERT_TRUE(ChangeDir(temp_.path().c_str()));
  const std::string expected = Canonical(temp_.path());
  std::string buffer(expected.size() + 8, 'x');

  // Exactly large enough: the text and its terminator.
  ASSERT_TRUE(GetCurrentDir(&buffer[0], expected.size() + 1));
  EXPECT_STREQ(buffer.c_str(), expected.c_str());

  // One byte short: failure and an empty string, nothing past the buffer.
  std::fill(buffer.begin(), buffer.end(), 'x');
  EXPECT_FALSE(GetCurrentDir(&buffer[0], expected.size()));
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[expected.size()], 'x');

  EXPECT_FALSE(GetCurrentDir(&buffer[0], 1));
  EXPECT_EQ(buffer[0], '\0');
  buffer[0] = 'x';
  EXPECT_FALSE(GetCurrentDir(&buffer[0], 0));
  EXPECT_EQ(buffer[0], 'x');
}

TEST_F(FilesystemTest, MakeDirOnceOnly) {
  const std::string dir = temp_.File("made");
  ASSERT_TRUE(MakeDir(dir.c_str()));
  EXPECT_TRUE(fs::is_directory(dir));
  EXPECT_FALSE(MakeDir(dir.c_str()));
  EXPECT_EQ(errno, EEXIST);

  // One level only: a missing parent is not created.
  EXPECT_FALSE(MakeDir(temp_.File("no/such/parent").c_str()));
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(fs::exists(temp_.File("no")));
  EXPECT_FALSE(MakeDir(nullptr));
}

TEST_F(FilesystemTest, StatusOfPaths) {
  const std::string file = temp_.File("five.txt");
  testing::WriteFile(file, "12345");
  timeval times[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimes(file.c_str(), times), 0);

  FileStatus status;
  ASSERT_TRUE(GetFileStatus(file.c_str(), &status));
  EXPECT_EQ(status.size, 5);
  EXPECT_TRUE(status.is_regular);
  EXPECT_FALSE(status.is_directory);
  EXPECT_EQ(status.modified, 1000000000);

  FileStatus dir;
  ASSERT_TRUE(GetFileStatus(temp_.path().c_str(), &dir));
  EXPECT_TRUE(dir.is_directory);
  EXPECT_FALSE(dir.is_regular);

  FileStatus missing;
  EXPECT_FALSE(GetFileStatus(temp_.File("missing").c_str(), &missing));
  EXPECT_FALSE(GetFileStatus(nullptr, &missing));
}

TEST_F(FilesystemTest, StatusOfStream) {
  const std::string file = temp_.File("block.bin");
  testing::WriteFile(file, std::string(70000, '\0'));
  std::FILE* stream = std::fopen(file.c_str(), "rb");
  ASSERT_NE(stream, nullptr);
  char byte;
  ASSERT_EQ(std::fread(&byte, 1, 1, stream), 1u);  // the position does not matter
  FileStatus status;
  EXPECT_TRUE(GetStreamStatus(stream, &status));
  EXPECT_EQ(status.size, 70000);
  EXPECT_TRUE(status.is_regular);
  std::fclose(stream);
  EXPECT_FALSE(GetStreamStatus(nullptr, &status));
}

TEST_F(FilesystemTest, CaseSensitivityMatchesTheFileSystem) {
  testing::WriteFile(temp_.File("name.txt"), "x");
  EXPECT_EQ(FileNamesAreCaseSensitive(), !fs::exists(temp_.File("NAME.TXT")));
}

TEST(PathSeparatorTest, BothSeparatorsRecognised) {
  EXPECT_TRUE(IsPathSeparator('/'));
  EXPECT_TRUE(IsPathSeparator('\\'));
  EXPECT_TRUE(IsPathSeparator(kPathSeparator));
  for (char c : {'a', ':', '.', '\0', '\xA1'}) EXPECT_FALSE(IsPathSeparator(c)) << int(c);
}

}  // namespace
}  // namespace platform
}  // namespace zhtext
