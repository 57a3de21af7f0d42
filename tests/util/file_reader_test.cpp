#include "zhtext/util/file_reader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/log_watch.h"
#include "tests/support/temp_dir.h"
#include "zhtext/platform/filesystem.h"
#include "zhtext/util/log.h"

namespace zhtext {
namespace {

using testing::TempDir;
using testing::WriteFile;
namespace fs = std::filesystem;

class FileReaderTest : public ::testing::Test {
 protected:
  testing::FixedLogClock clock_;

  // Writes `bytes` to `name` under the test directory; returns the path.
  std::string Make(const std::string& name, const std::string& bytes) {
    const std::string path = dir_.File(name);
    fs::create_directories(fs::path(path).parent_path());
    WriteFile(path, bytes);
    return path;
  }

  TempDir dir_;
};

// Reads through `reader` and returns the block as a string of `count` bytes
// plus the terminator check.
struct Block {
  std::size_t count;
  std::string bytes;
  bool terminated;
  bool has_buffer;
};

Block Read(CFileReader& reader, const std::string& path, std::int64_t offset, std::size_t length,
           bool wholeFile) {
  char* buffer = reinterpret_cast<char*>(1);  // must be replaced
  Block block;
  block.count = reader.ReadBlock(path.c_str(), &buffer, offset, length, wholeFile);
  block.has_buffer = buffer != nullptr;
  block.bytes = buffer ? std::string(buffer, block.count) : std::string();
  block.terminated = buffer ? buffer[block.count] == '\0' : false;
  delete[] buffer;
  return block;
}

TEST_F(FileReaderTest, ReadsBlocksAndWholeFiles) {
  const std::string path = Make("digits.txt", "0123456789");
  struct Row {
    const char* name;
    std::int64_t offset;
    std::size_t length;
    bool whole;
    std::string expected;
  } rows[] = {
      {"middle", 2, 3, false, "234"},
      {"whole_file", 0, 0, true, "0123456789"},
      {"length_wins_over_whole", 1, 2, true, "12"},
      {"past_the_end_reads_zero", 8, 5, false, std::string("89\0\0\0", 5)},
      {"beyond_the_end", 20, 4, false, std::string(4, '\0')},
      {"whole_from_offset_keeps_file_size", 4, 0, true, std::string("456789\0\0\0\0", 10)},
  };
  CFileReader reader;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Block block = Read(reader, path, row.offset, row.length, row.whole);
    EXPECT_EQ(block.count, row.expected.size());
    EXPECT_EQ(block.bytes, row.expected);
    EXPECT_TRUE(block.terminated);
  }
}

TEST_F(FileReaderTest, ZeroLengthGivesAnEmptyBuffer) {
  const std::string path = Make("a.txt", "abc");
  CFileReader reader;
  Block block = Read(reader, path, 0, 0, false);
  EXPECT_EQ(block.count, 0u);
  EXPECT_TRUE(block.has_buffer);
  EXPECT_TRUE(block.terminated);

  // An empty file read whole: the same.
  block = Read(reader, Make("empty.txt", ""), 0, 0, true);
  EXPECT_EQ(block.count, 0u);
  EXPECT_TRUE(block.has_buffer);
  EXPECT_TRUE(block.terminated);
}

TEST_F(FileReaderTest, NegativeOffsetReadsNothing) {
  const std::string path = Make("a.txt", "abc");
  CFileReader reader;
  Block block = Read(reader, path, -1, 2, false);
  EXPECT_EQ(block.count, 0u);
  EXPECT_TRUE(block.has_buffer);
  EXPECT_TRUE(block.terminated);
  EXPECT_EQ(Read(reader, path, 0, 2, false).bytes, "ab");  // the stream is still usable
}

TEST_F(FileReaderTest, SamePathReusesTheOpenFile) {
  const std::string path = Make("doc.txt", "old");
  CFileReader reader;
  EXPECT_EQ(Read(reader, path, 0, 0, true).bytes, "old");

  // Replace the file on disk: the reader keeps the stream it opened, so it
  // still sees the old file (and its size).
  fs::remove(path);
  WriteFile(path, "brand new");
  EXPECT_EQ(Read(reader, path, 0, 0, true).bytes, "old");
  EXPECT_EQ(Read(reader, path, 1, 2, false).bytes, "ld");

  // Another path makes it reopen; so does a new reader.
  Make("other.txt", "x");
  EXPECT_EQ(Read(reader, dir_.File("other.txt"), 0, 0, true).bytes, "x");
  EXPECT_EQ(Read(reader, path, 0, 0, true).bytes, "brand new");
  CFileReader fresh;
  EXPECT_EQ(Read(fresh, path, 0, 0, true).bytes, "brand new");
}

TEST_F(FileReaderTest, CaseDifferentPathIsAnotherFileWhereNamesAreCaseSensitive) {
  if (!platform::FileNamesAreCaseSensitive()) GTEST_SKIP() << "case-insensitive file names";
  const std::string lower = Make("name.txt", "lower");
  const std::string upper = Make("NAME.txt", "UPPER");
  CFileReader reader;
  EXPECT_EQ(Read(reader, lower, 0, 0, true).bytes, "lower");
  EXPECT_EQ(Read(reader, upper, 0, 0, true).bytes, "UPPER");
  EXPECT_EQ(Read(reader, lower, 0, 0, true).bytes, "lower");

  // A case variant that does not exist is not served from the open file.
  testing::LogWatch watch;
  const std::string absent = dir_.File("Name.TXT");
  Block block = Read(reader, absent, 0, 0, true);
  EXPECT_EQ(block.count, 0u);
  EXPECT_FALSE(block.has_buffer);
  EXPECT_EQ(watch.Log(), std::vector<std::string>{"Failed open file  " + absent});
}

TEST_F(FileReaderTest, FailedOpenLogsAndKeepsTheOpenFile) {
  const std::string path = Make("kept.txt", "kept");
  const std::string missing = dir_.File("missing.txt");
  CFileReader reader;
  EXPECT_EQ(Read(reader, path, 0, 0, true).bytes, "kept");

  testing::LogWatch watch;
  Block block = Read(reader, missing, 0, 0, true);
  EXPECT_EQ(block.count, 0u);
  EXPECT_FALSE(block.has_buffer);
  EXPECT_EQ(watch.Log(), std::vector<std::string>{"Failed open file  " + missing});
  EXPECT_TRUE(watch.Err().empty());

  // The earlier file is still installed and still reused.
  fs::remove(path);
  EXPECT_EQ(Read(reader, path, 0, 0, true).bytes, "kept");
}

TEST_F(FileReaderTest, ReadTextDropsZeroBytes) {
  const std::string path = Make("zeros.bin", std::string("a\0b", 3));
  CFileReader reader;
  std::string text = "stale";
  EXPECT_EQ(reader.ReadText(path.c_str(), text, 0, 0, true), 2u);
  EXPECT_EQ(text, "ab");

  // The zero bytes past the end of the file go the same way.
  EXPECT_EQ(reader.ReadText(path.c_str(), text, 2, 4, false), 1u);
  EXPECT_EQ(text, "b");

  const std::string plain = Make("plain.txt", "plain text");
  EXPECT_EQ(ReadFileText(plain.c_str(), text, 0, 0, true), 10u);
  EXPECT_EQ(text, "plain text");
}

TEST_F(FileReaderTest, ReadTextFailuresSetTheLastMessage) {
  const std::string empty = Make("empty.txt", "");
  const std::string missing = dir_.File("missing.txt");
  struct Row {
    const char* name;
    std::string path;
    std::vector<std::string> log;
  } rows[] = {
      {"empty_file", empty, {}},
      {"missing_file", missing, {"Failed open file  " + missing}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::LogWatch watch;
    std::string text = "stale";
    g_strLastMessage.clear();
    EXPECT_EQ(ReadFileText(row.path.c_str(), text, 0, 0, true), 0u);
    EXPECT_EQ(text, "");
    EXPECT_EQ(g_strLastMessage, "Error read file " + row.path);
    EXPECT_EQ(watch.Log(), row.log);
    EXPECT_EQ(watch.Err(), std::vector<std::string>{"Error read file " + row.path});
  }
  g_strLastMessage.clear();
}

TEST_F(FileReaderTest, FreeFunctionsOpenTheFileAnewEachCall) {
  const std::string path = Make("v.txt", "v1");
  char* buffer = nullptr;
  EXPECT_EQ(ReadFileBlock(path.c_str(), &buffer, 0, 0, true), 2u);
  EXPECT_STREQ(buffer, "v1");
  delete[] buffer;

  fs::remove(path);
  WriteFile(path, "v22");
  EXPECT_EQ(ReadFileBlock(path.c_str(), &buffer, 0, 0, true), 3u);
  EXPECT_STREQ(buffer, "v22");
  delete[] buffer;

  EXPECT_EQ(ReadFileBlock(dir_.File("nothing").c_str(), &buffer, 0, 0, true), 0u);
  EXPECT_EQ(buffer, nullptr);
}

TEST_F(FileReaderTest, ReadFileByIDSplitsTheIdIntoDirectories) {
  const char sep = platform::kPathSeparator;
  struct Row {
    const char* id;
    std::string file;  // relative to the base directory
  } rows[] = {
      {"12", "12.txt"},
      {"123", "123.txt"},
      {"1234", std::string("123") + sep + "4.txt"},
      {"123456", std::string("123") + sep + "456.txt"},
      {"2010123", std::string("201") + sep + "012" + sep + "3.txt"},
      {"9876", std::string("987") + sep + "6.html"},  // no .txt: the .html
  };
  const std::string base = dir_.File("docs");
  for (const Row& row : rows) Make(std::string("docs") + sep + row.file, std::string("doc ") + row.id);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.id);
    std::string text;
    const char* result = ReadFileByID(row.id, base.c_str(), text);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result, text.c_str());
    EXPECT_EQ(text, std::string("doc ") + row.id);
  }
}

TEST_F(FileReaderTest, ReadFileByIDTriesTxtThenHtml) {
  const std::string base = dir_.File("docs");
  const std::string stem = base + platform::kPathSeparator + "123" + platform::kPathSeparator + "4";
  testing::LogWatch watch;
  std::string text = "stale";
  EXPECT_EQ(ReadFileByID("1234", base.c_str(), text), nullptr);
  EXPECT_EQ(text, "");
  EXPECT_EQ(watch.Log(), (std::vector<std::string>{"Failed open file  " + stem + ".txt",
                                                   "Failed open file  " + stem + ".html"}));
  EXPECT_EQ(watch.Err(),
            (std::vector<std::string>{"Error read file " + stem + ".txt",
                                      "Error read file " + stem + ".html",
                                      "Read file by ID fail!", stem + ".html"}));
  g_strLastMessage.clear();
}

TEST_F(FileReaderTest, ReadFileByIDRejectsAnEmptyId) {
  std::string text = "stale";
  EXPECT_EQ(ReadFileByID("", dir_.path().c_str(), text), nullptr);
  EXPECT_EQ(ReadFileByID(nullptr, dir_.path().c_str(), text), nullptr);
  EXPECT_EQ(text, "");
}

TEST_F(FileReaderTest, ReadFileByIDTakesBaseDirectoriesOfAnyLength) {
  // A base directory of about 2,500 bytes.
  std::string relative = "deep";
  for (int i = 0; i < 10; ++i) relative += "/" + std::string(240, static_cast<char>('a' + i));
  const std::string base = dir_.File(relative);
  ASSERT_GT(base.size(), 2048u);
  Make(relative + platform::kPathSeparator + "123" + platform::kPathSeparator + "4.txt", "deep doc");
  std::string text;
  ASSERT_NE(ReadFileByID("1234", base.c_str(), text), nullptr);
  EXPECT_EQ(text, "deep doc");
}

// Failed reads set the last message from every thread that calls them. Two
// threads read missing documents by ID while a third reads the message;
// under ThreadSanitizer an unguarded write of the message is a race. Every
// message read back is one of the texts the failures write, whole.
TEST_F(FileReaderTest, ReadFileByIDFailingOnTwoThreadsSetsWholeMessages) {
  SetLastMessage("");
  const std::string base = dir_.File("none");
  const std::string sep(1, platform::kPathSeparator);
  const std::string expected[2] = {"Error read file " + base + sep + "123" + sep + "4.html",
                                   "Error read file " + base + sep + "98.html"};
  const char* ids[2] = {"1234", "98"};
  std::atomic<int> found{0};
  std::atomic<bool> done{false};
  std::vector<std::thread> readers;
  for (int t = 0; t < 2; ++t) {
    readers.emplace_back([&, t] {
      std::string text;
      for (int i = 0; i < 50; ++i) {
        if (ReadFileByID(ids[t], base.c_str(), text) != nullptr) ++found;
      }
    });
  }
  std::atomic<int> torn{0};
  std::thread watcher([&] {
    while (!done.load()) {
      const std::string seen = GetLastMessage();
      const bool whole = seen.empty() || seen.rfind("Error read file " + base, 0) == 0;
      if (!whole) ++torn;
    }
  });
  for (std::thread& reader : readers) reader.join();
  done = true;
  watcher.join();
  EXPECT_EQ(found.load(), 0);
  EXPECT_EQ(torn.load(), 0);
  const std::string last = GetLastMessage();
  EXPECT_TRUE(last == expected[0] || last == expected[1]) << last;
  SetLastMessage("");
}

// Several threads read blocks of one shared reader while others keep
// switching it between two files; every block must hold the bytes of the
// file its caller asked for.
TEST_F(FileReaderTest, SharedReaderServesEveryThreadItsOwnFile) {
  std::mt19937 rng(20240105);
  std::string contents[2];
  const std::size_t sizes[2] = {40000, 25013};
  for (int f = 0; f < 2; ++f) {
    contents[f].resize(sizes[f]);
    for (char& c : contents[f]) c = static_cast<char>('a' + f * 13 + rng() % 13);
  }
  const std::string paths[2] = {Make("first.bin", contents[0]), Make("second.bin", contents[1])};

  CFileReader reader;
  std::atomic<int> failures{0};
  auto check = [&](int f, std::int64_t offset, std::size_t length, bool whole) {
    char* buffer = nullptr;
    const std::size_t n = reader.ReadBlock(paths[f].c_str(), &buffer, offset, length, whole);
    const std::size_t want = (length == 0 && whole) ? sizes[f] : length;
    std::string expected = offset < static_cast<std::int64_t>(sizes[f])
                               ? contents[f].substr(static_cast<std::size_t>(offset), want)
                               : std::string();
    expected.resize(want, '\0');
    if (n != want || buffer == nullptr || std::memcmp(buffer, expected.data(), want) != 0 ||
        buffer[want] != '\0') {
      ++failures;
    }
    delete[] buffer;
  };

  constexpr int kReaders = 4;
  constexpr int kSwitchers = 2;
  constexpr int kRounds = 400;
  std::vector<std::thread> threads;
  for (int t = 0; t < kReaders; ++t) {
    threads.emplace_back([&, t] {
      std::mt19937 local(1000 + t);
      for (int i = 0; i < kRounds; ++i) {
        const int f = static_cast<int>(local() % 2);
        const std::int64_t offset = static_cast<std::int64_t>(local() % (sizes[f] + 100));
        const std::size_t length = 1 + local() % 3000;
        check(f, offset, length, i % 50 == 0 && offset == 0);
      }
    });
  }
  for (int t = 0; t < kSwitchers; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kRounds; ++i) check((i + t) % 2, 0, i % 7 == 0 ? 0 : 16, true);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
}

}  // namespace
}  // namespace zhtext
