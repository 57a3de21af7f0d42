#include "zhtext/util/log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"
#include "zhtext/util/internal/log_internal.h"

namespace zhtext {
namespace {

using testing::FileExists;
using testing::ReadFile;
using testing::TempDir;

namespace fs = std::filesystem;

// The time value of a local date and time.
std::int64_t LocalTimeValue(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm = {};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&tm));
}

std::atomic<std::int64_t> g_now{0};
std::int64_t FixedClock() { return g_now.load(); }

// Every test runs at 2024-01-05 12:34:56 local time unless it moves g_now.
class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_now = LocalTimeValue(2024, 1, 5, 12, 34, 56);
    internal::SetLogClockForTesting(&FixedClock);
  }
  void TearDown() override {
    internal::SetLogClockForTesting(nullptr);
    SetLoggingEnabled(true);
  }

  static constexpr const char* kStamp = "[2024-01-05 12:34:56]";
  TempDir dir_;
};

TEST_F(LogTest, EntryLayoutInLogAndErrorFiles) {
  WriteLog("progress", dir_.path().c_str(), false);
  WriteErrorLog("failure", dir_.path().c_str());
  WriteLog("second", dir_.path().c_str());
  EXPECT_EQ(ReadFile(dir_.File("20240105.log")),
            std::string(kStamp) + "\tprogress\n" + kStamp + "\tsecond\n");
  EXPECT_EQ(ReadFile(dir_.File("20240105.err")), std::string(kStamp) + "\tfailure\n");
}

TEST_F(LogTest, MessageIsCutAtItsFirstZeroByte) {
  WriteLog(std::string("ab\0cd", 5), dir_.path().c_str());
  EXPECT_EQ(ReadFile(dir_.File("20240105.log")), std::string(kStamp) + "\tab\n");
}

TEST_F(LogTest, MessageEndingInLineFeedLeavesAnEmptyLine) {
  WriteErrorLog("strDateStr[x] err \n", dir_.path().c_str());
  WriteErrorLog("next", dir_.path().c_str());
  EXPECT_EQ(ReadFile(dir_.File("20240105.err")),
            std::string(kStamp) + "\tstrDateStr[x] err \n\n" + kStamp + "\tnext\n");
}

TEST_F(LogTest, DirectoryWithOrWithoutTrailingSeparatorIsOneDirectory) {
  fs::create_directory(dir_.File("logs"));
  const std::string logs = dir_.File("logs");
  struct Row {
    const char* name;
    std::string directory;
  } rows[] = {
      {"bare", logs},
      {"slash", logs + "/"},
      {"backslash", logs + "\\"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteLog(row.name, row.directory.c_str());
  }
  EXPECT_EQ(ReadFile(logs + "/20240105.log"), std::string(kStamp) + "\tbare\n" + kStamp +
                                                  "\tslash\n" + kStamp + "\tbackslash\n");
  // Nothing went beside the directory, under a name with a '\' in it.
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir_.path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

// The last character of the directory decides, not its last byte: 乗 (81 5C)
// and 乣 (81 5D) end in bytes of ASCII value but are no separators.
TEST_F(LogTest, DirectoryEndingInATwoByteCharacterGetsItsSeparator) {
  struct Row {
    const char* name;
    std::string leaf;       // the directory created under the test's own
    std::string suffix;     // what the caller appends to it
  } rows[] = {
      {"second_byte_backslash", "a\x81\x5C", ""},
      {"second_byte_backslash_then_slash", "b\x81\x5C", "/"},
      {"second_byte_backslash_then_backslash", "c\x81\x5C", "\\"},
      {"two_byte_characters_only", "\xD6\xD0\x81\x5C", ""},
      {"lead_byte_then_backslash_pair", "d\x81\x5C\x81\x5C", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string directory = dir_.File(row.leaf);
    fs::create_directory(directory);
    ::testing::internal::CaptureStdout();
    WriteLog(row.name, (directory + row.suffix).c_str());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(ReadFile(directory + "/20240105.log"), std::string(kStamp) + "\t" + row.name + "\n");
  }
}

// An empty directory names the current working directory: the bare file
// name, not the root directory and not the first working directory.
TEST_F(LogTest, EmptyDirectoryIsTheCurrentWorkingDirectory) {
  const fs::path saved = fs::current_path();
  fs::current_path(dir_.path());
  WriteLog("here", "");
  fs::current_path(saved);
  EXPECT_EQ(ReadFile(dir_.File("20240105.log")), std::string(kStamp) + "\there\n");
}

TEST_F(LogTest, EntriesAcrossMidnightGoToTheFilesOfTheirOwnDates) {
  g_now = LocalTimeValue(2024, 1, 5, 23, 59, 59);
  WriteLog("before", dir_.path().c_str());
  g_now = LocalTimeValue(2024, 1, 6, 0, 0, 0);
  WriteLog("after", dir_.path().c_str());
  EXPECT_EQ(ReadFile(dir_.File("20240105.log")), "[2024-01-05 23:59:59]\tbefore\n");
  EXPECT_EQ(ReadFile(dir_.File("20240106.log")), "[2024-01-06 00:00:00]\tafter\n");
}

TEST_F(LogTest, MissingDirectoryPrintsTheEntryOnStandardOutput) {
  const std::string missing = dir_.File("missing");
  ::testing::internal::CaptureStdout();
  WriteErrorLog("lost", missing.c_str());
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, std::string(kStamp) + " lost\nCannot write log file " + missing +
                     "/20240105.err!\r\n");
  EXPECT_FALSE(FileExists(missing));
}

TEST_F(LogTest, SwitchedOffWritesNothing) {
  EXPECT_TRUE(IsLoggingEnabled());
  SetLoggingEnabled(false);
  EXPECT_FALSE(IsLoggingEnabled());
  WriteLog("quiet", dir_.path().c_str());
  WriteErrorLog("quiet", dir_.path().c_str());
  ::testing::internal::CaptureStdout();
  WriteLog("quiet", dir_.File("missing").c_str());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_FALSE(FileExists(dir_.File("20240105.log")));
  EXPECT_FALSE(FileExists(dir_.File("20240105.err")));
  SetLoggingEnabled(true);
  WriteLog("loud", dir_.path().c_str());
  EXPECT_EQ(ReadFile(dir_.File("20240105.log")), std::string(kStamp) + "\tloud\n");
}

TEST_F(LogTest, WithoutDirectoryStaysInTheFirstWorkingDirectory) {
  WriteLog("first");
  const std::string first = GetLogDirectory();
  ASSERT_FALSE(first.empty());
  // Nothing before this test changed the directory the test main chose.
  EXPECT_TRUE(fs::equivalent(first, testing::TestWorkDir()));

  const fs::path previous = fs::current_path();
  fs::current_path(dir_.path());
  WriteLog("moved");
  WriteErrorLog("moved error");
  fs::current_path(previous);

  EXPECT_EQ(GetLogDirectory(), first);
  EXPECT_FALSE(FileExists(dir_.File("20240105.log")));
  EXPECT_FALSE(FileExists(dir_.File("20240105.err")));
  const std::string log = ReadFile(first + "/20240105.log");
  EXPECT_NE(log.find(std::string(kStamp) + "\tfirst\n" + kStamp + "\tmoved\n"), std::string::npos);
  EXPECT_NE(ReadFile(first + "/20240105.err").find(std::string(kStamp) + "\tmoved error\n"),
            std::string::npos);
}

TEST_F(LogTest, ConcurrentAppendersNeverInterleaveWithinAnEntry) {
  constexpr int kThreads = 6;
  constexpr int kEntries = 50;
  const std::string body(6000, 'x');  // longer than a stream buffer
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEntries; ++i) {
        WriteLog(std::string(1, static_cast<char>('A' + t)) + body, dir_.path().c_str());
      }
    });
  }
  for (auto& thread : threads) thread.join();

  const std::string log = ReadFile(dir_.File("20240105.log"));
  int counts[kThreads] = {};
  std::size_t start = 0;
  int lines = 0;
  while (start < log.size()) {
    const std::size_t end = log.find('\n', start);
    ASSERT_NE(end, std::string::npos);
    const std::string line = log.substr(start, end - start);
    ASSERT_EQ(line.size(), std::string(kStamp).size() + 2 + body.size()) << "line " << lines;
    const int t = line[std::string(kStamp).size() + 1] - 'A';
    ASSERT_TRUE(t >= 0 && t < kThreads);
    ASSERT_EQ(line, std::string(kStamp) + "\t" + static_cast<char>('A' + t) + body);
    ++counts[t];
    ++lines;
    start = end + 1;
  }
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(counts[t], kEntries) << "thread " << t;
}

// Tests that capture the first working directory anew: each forgets the
// captured one, feeds directories from a counting source, and restores the
// real source afterwards (the next entry then captures the test directory).
class FirstDirectoryTest : public LogTest {
 protected:
  void SetUp() override {
    LogTest::SetUp();
    fetches_ = 0;
    fail_first_ = false;
    base_ = dir_.path();
    for (int i = 0; i < 4; ++i) fs::create_directory(dir_.File("d" + std::to_string(i)));
    internal::ResetLogDirectoryForTesting();
    internal::SetLogDirSourceForTesting(&CountingSource);
  }
  void TearDown() override {
    internal::SetLogDirSourceForTesting(nullptr);
    internal::ResetLogDirectoryForTesting();
    LogTest::TearDown();
  }

  // Hands out base/d0, base/d1, ... one per fetch; with fail_first_ the first
  // fetch fails.
  static bool CountingSource(std::string* dir) {
    const int n = fetches_.fetch_add(1);
    if (fail_first_ && n == 0) {
      dir->clear();
      return false;
    }
    *dir = base_ + "/d" + std::to_string(fail_first_ ? n - 1 : n);
    return true;
  }

  static std::atomic<int> fetches_;
  static std::atomic<bool> fail_first_;
  static std::string base_;
};

std::atomic<int> FirstDirectoryTest::fetches_{0};
std::atomic<bool> FirstDirectoryTest::fail_first_{false};
std::string FirstDirectoryTest::base_;

TEST_F(FirstDirectoryTest, ConcurrentFirstEntriesCaptureOneDirectory) {
  constexpr int kThreads = 8;
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      while (!go.load()) std::this_thread::yield();
      WriteLog("first entry");
    });
  }
  go = true;
  for (auto& thread : threads) thread.join();

  EXPECT_EQ(fetches_.load(), 1);
  EXPECT_EQ(GetLogDirectory(), dir_.File("d0"));
  std::string expected;
  for (int t = 0; t < kThreads; ++t) expected += std::string(kStamp) + "\tfirst entry\n";
  EXPECT_EQ(ReadFile(dir_.File("d0/20240105.log")), expected);
  EXPECT_FALSE(FileExists(dir_.File("d1/20240105.log")));
}

TEST_F(FirstDirectoryTest, FailedFetchIsRetriedByTheNextEntry) {
  fail_first_ = true;
  const fs::path previous = fs::current_path();
  fs::current_path(dir_.path());
  WriteLog("no directory yet");  // lands in the current directory
  fs::current_path(previous);
  EXPECT_EQ(GetLogDirectory(), "");
  EXPECT_EQ(ReadFile(dir_.File("20240105.log")), std::string(kStamp) + "\tno directory yet\n");

  WriteLog("captured");
  WriteLog("kept");
  EXPECT_EQ(fetches_.load(), 2);
  EXPECT_EQ(GetLogDirectory(), dir_.File("d0"));
  EXPECT_EQ(ReadFile(dir_.File("d0/20240105.log")),
            std::string(kStamp) + "\tcaptured\n" + kStamp + "\tkept\n");
}

TEST_F(LogTest, WriteLogLineWritesTheConsoleLayout) {
  const std::string path = dir_.File("console.txt");
  std::FILE* stream = std::fopen(path.c_str(), "wb");
  ASSERT_NE(stream, nullptr);
  WriteLogLine(stream, "to stream");
  WriteLogLine(stream, std::string("cut\0here", 8));
  std::fclose(stream);
  EXPECT_EQ(ReadFile(path), std::string(kStamp) + " to stream\n" + kStamp + " cut\n");

  ::testing::internal::CaptureStdout();
  WriteLogLine(nullptr, "no stream");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            std::string(kStamp) + " no stream\nCannot write log file!\r\n");
}

TEST(LastMessageTest, GetLastMessageShowsTheCurrentText) {
  const std::string saved = g_strLastMessage;
  g_strLastMessage = "Error read file x";
  EXPECT_STREQ(GetLastMessage(), "Error read file x");
  g_strLastMessage.clear();
  EXPECT_STREQ(GetLastMessage(), "");
  g_strLastMessage = saved;
}

// Library calls on several threads set and read the message at once; under
// ThreadSanitizer an unguarded access is reported as a race. Every text read
// back must be one of the texts written, whole.
TEST(LastMessageTest, ConcurrentSettersAndReadersSeeWholeTexts) {
  const std::string saved = GetLastMessage();
  const std::string texts[] = {"Error read file a", std::string(300, 'b')};
  std::atomic<int> torn{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) {
        SetLastMessage(texts[(t + i) % 2]);
        const std::string seen = GetLastMessage();
        if (seen != texts[0] && seen != texts[1]) ++torn;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(torn.load(), 0);
  SetLastMessage(saved);
}

TEST(LastMessageTest, ReturnedTextStaysValidWhileAnotherThreadSetsIt) {
  SetLastMessage("first");
  const char* mine = GetLastMessage();
  std::thread other([] { SetLastMessage("second, longer than the first text"); });
  other.join();
  EXPECT_STREQ(mine, "first");
  EXPECT_STREQ(GetLastMessage(), "second, longer than the first text");
  SetLastMessage("");
}

}  // namespace
}  // namespace zhtext
