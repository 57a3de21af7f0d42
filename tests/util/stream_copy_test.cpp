#include "zhtext/util/stream_copy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/log_watch.h"
#include "tests/support/temp_dir.h"
#include "zhtext/platform/mutex.h"
#include "zhtext/platform/stream_seek.h"

namespace zhtext {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

constexpr std::int64_t k3GiB = std::int64_t{3} << 30;

class StreamCopyTest : public ::testing::Test {
 protected:
  std::string Make(const std::string& name, const std::string& bytes) {
    const std::string path = dir_.File(name);
    WriteFile(path, bytes);
    return path;
  }
  std::FILE* Open(const std::string& path, const char* mode) {
    std::FILE* f = std::fopen(path.c_str(), mode);
    EXPECT_NE(f, nullptr) << path;
    return f;
  }

  TempDir dir_;
  testing::FixedLogClock clock_;
};

TEST_F(StreamCopyTest, CopyStreamRange) {
  struct Row {
    const char* name;
    std::int64_t begin;
    std::int64_t end;
    std::size_t bufferSize;
    std::int64_t copied;
    std::string dst;  // after "ab" already in it
  } rows[] = {
      {"inner range in pieces", 2, 7, 3, 5, "ab23456"},
      {"one byte at a time", 0, 4, 1, 4, "ab0123"},
      {"past the end of the file", 6, 100, 4, 4, "ab6789"},
      {"whole file in one piece", 0, 10, 64, 10, "ab0123456789"},
      {"empty range", 5, 5, 4, 0, "ab"},
      {"reversed range", 8, 4, 4, 0, "ab"},
      {"beyond the file", 20, 30, 4, 0, "ab"},
      {"negative begin", -1, 3, 4, 0, "ab"},
      {"no buffer room", 0, 4, 0, 0, "ab"},
  };
  const std::string src = Make("src", "0123456789");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string dst = Make("dst", "ab");
    std::FILE* in = Open(src, "rb");
    std::FILE* out = Open(dst, "ab");
    std::vector<char> buffer(row.bufferSize + 1);
    EXPECT_EQ(CopyStreamRange(in, out, row.begin, row.end, buffer.data(), row.bufferSize, nullptr),
              row.copied);
    std::fclose(in);
    std::fclose(out);
    EXPECT_EQ(ReadFile(dst), row.dst);
  }
}

TEST_F(StreamCopyTest, CopyStreamRangeBeyond2GiB) {
  const std::string big = dir_.File("sparse");
  std::FILE* f = Open(big, "wb");
  ASSERT_TRUE(platform::SeekStream(f, k3GiB));
  std::fputs("tail", f);
  std::fclose(f);
  const std::string dst = Make("dst", "");
  std::FILE* in = Open(big, "rb");
  std::FILE* out = Open(dst, "wb");
  char buffer[2];
  EXPECT_EQ(CopyStreamRange(in, out, k3GiB + 1, k3GiB + 4, buffer, sizeof buffer, nullptr), 3);
  std::fclose(in);
  std::fclose(out);
  EXPECT_EQ(ReadFile(dst), "ail");
}

// Threads that copy into one stream through one mutex never interleave
// their pieces: each thread's range lands in one run.
TEST_F(StreamCopyTest, CopyStreamRangeTakesTurnsThroughTheMutex) {
  constexpr int kThreads = 4;
  constexpr std::size_t kBytes = 20000;
  std::vector<std::string> sources;
  for (int t = 0; t < kThreads; ++t) {
    sources.push_back(
        Make("src" + std::to_string(t), std::string(kBytes, static_cast<char>('A' + t))));
  }
  const std::string dst = Make("dst", "");
  std::FILE* out = Open(dst, "wb");
  platform::Mutex mutex;
  std::vector<std::thread> threads;
  std::vector<std::int64_t> copied(kThreads);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      std::FILE* in = std::fopen(sources[static_cast<std::size_t>(t)].c_str(), "rb");
      char buffer[7];
      copied[static_cast<std::size_t>(t)] =
          CopyStreamRange(in, out, 0, kBytes, buffer, sizeof buffer, &mutex);
      std::fclose(in);
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::fclose(out);
  for (std::int64_t n : copied) EXPECT_EQ(n, static_cast<std::int64_t>(kBytes));
  const std::string bytes = ReadFile(dst);
  ASSERT_EQ(bytes.size(), kThreads * kBytes);
  for (std::size_t run = 0; run < kThreads; ++run) {
    const std::string piece = bytes.substr(run * kBytes, kBytes);
    EXPECT_EQ(piece, std::string(kBytes, piece[0])) << "run " << run;
  }
}

TEST_F(StreamCopyTest, AppendStream) {
  struct Row {
    const char* name;
    std::string src;
    std::size_t chunk;
    std::int64_t maxBytes;
    std::int64_t result;
    std::string dst;  // after "abc" already in it
  } rows[] = {
      {"whole source in pieces", "hello world", 4, 0, 14, "abchello world"},
      {"one piece", "hello world", 100, 0, 14, "abchello world"},
      {"byte limit", "hello world", 4, 5, 8, "abchello"},
      {"byte limit of one piece", "hello world", 5, 5, 8, "abchello"},
      // More than the source holds: all of it is copied, and the size check
      // fails.
      {"limit beyond the source", "hello", 2, 100, -2, "abchello"},
      {"empty source", "", 4, 0, 3, "abc"},
      {"no chunk", "hello", 0, 0, -2, "abc"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string src = Make("src", row.src);
    const std::string dst = Make("dst", "abc");
    std::FILE* in = Open(src, "rb");
    std::fgetc(in);  // the copy starts at the source's start wherever it is
    std::FILE* out = Open(dst, "rb+");
    EXPECT_EQ(AppendStream(in, out, row.chunk, nullptr, row.maxBytes), row.result);
    std::fclose(in);
    std::fclose(out);
    EXPECT_EQ(ReadFile(dst), row.dst);
  }
}

TEST_F(StreamCopyTest, AppendStreamSizesBeyond2GiB) {
  const std::string big = dir_.File("sparse");
  std::FILE* f = Open(big, "wb");
  ASSERT_TRUE(platform::SeekStream(f, k3GiB - 1));
  std::fputc('z', f);
  std::fclose(f);
  const std::string src = Make("src", "0123456789");
  std::FILE* in = Open(src, "rb");
  std::FILE* out = Open(big, "rb+");
  EXPECT_EQ(AppendStream(in, out, 4, nullptr, 0), k3GiB + 10);
  std::fclose(in);
  std::fclose(out);
}

#ifndef _WIN32
// A memory stream has no file behind it, so its size cannot be read.
TEST_F(StreamCopyTest, AppendStreamWithoutSourceSize) {
  char bytes[] = "memory";
  std::FILE* in = fmemopen(bytes, 6, "rb");
  ASSERT_NE(in, nullptr);
  const std::string dst = Make("dst", "");
  std::FILE* out = Open(dst, "rb+");
  EXPECT_EQ(AppendStream(in, out, 4, nullptr, 0), -1);
  std::fclose(in);
  std::fclose(out);
  EXPECT_EQ(ReadFile(dst), "memory");
}
#endif

// Appenders sharing a destination through one mutex each see their own
// append whole in the size check: it is read before the mutex is let go.
TEST_F(StreamCopyTest, AppendStreamTakesTurnsThroughTheMutex) {
  constexpr int kThreads = 4;
  constexpr int kAppends = 50;
  constexpr std::int64_t kBytes = 1000;
  const std::string dst = Make("dst", "");
  std::FILE* out = Open(dst, "rb+");
  platform::Mutex mutex;
  std::vector<std::vector<std::int64_t>> results(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    const std::string src = Make("src" + std::to_string(t), std::string(kBytes, 'a'));
    threads.emplace_back([&, t, src] {
      std::FILE* in = std::fopen(src.c_str(), "rb");
      for (int i = 0; i < kAppends; ++i) {
        results[static_cast<std::size_t>(t)].push_back(AppendStream(in, out, 64, &mutex, 0));
      }
      std::fclose(in);
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::fclose(out);
  std::vector<bool> seen(kThreads * kAppends + 1, false);
  for (const auto& list : results) {
    for (std::int64_t size : list) {
      ASSERT_GT(size, 0);
      ASSERT_EQ(size % kBytes, 0);
      EXPECT_FALSE(seen[static_cast<std::size_t>(size / kBytes)]) << size;
      seen[static_cast<std::size_t>(size / kBytes)] = true;
    }
  }
  EXPECT_EQ(ReadFile(dst).size(), static_cast<std::size_t>(kThreads * kAppends * kBytes));
}

TEST_F(StreamCopyTest, CopyFileBytes) {
  struct Row {
    const char* name;
    std::string bytes;
    std::size_t chunk;
  } rows[] = {
      {"small", "hello", 2},
      {"empty file", "", 16},
      {"binary", std::string("\0\x01\xFF\r\n", 5), 1},
      {"larger than a chunk", std::string(100000, 'q'), 4096},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string src = Make("src", row.bytes);
    const std::string dst = Make("dst", "old content, longer");
    testing::LogWatch watch;
    EXPECT_TRUE(CopyFileBytes(src.c_str(), dst.c_str(), row.chunk));
    EXPECT_TRUE(testing::FileExists(dst));
    EXPECT_EQ(ReadFile(dst), row.bytes);
    EXPECT_TRUE(watch.ErrText().empty());
  }
}

TEST_F(StreamCopyTest, CopyFileBytesFailures) {
  const std::string src = Make("src", std::string(100000, 'q'));
  const std::string missing = dir_.File("missing");
  const std::string badDir = dir_.File("no/such/dir");
  struct Row {
    const char* name;
    std::string from;
    std::string to;
    std::vector<std::string> err;
  } rows[] = {
      {"source missing", missing, dir_.File("dst"), {"Error read file", missing}},
      {"destination cannot be made", src, badDir, {"Error write file", badDir}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::LogWatch watch;
    EXPECT_FALSE(CopyFileBytes(row.from.c_str(), row.to.c_str(), 512));
    EXPECT_EQ(watch.Err(), row.err);
  }
  EXPECT_FALSE(testing::FileExists(dir_.File("dst")));
}

// A destination that takes no bytes (a full disk) is a failure, not the
// success the size check alone would leave it.
TEST_F(StreamCopyTest, CopyFileBytesToAFullDisk) {
  if (!testing::FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  const std::string src = Make("src", std::string(100000, 'q'));
  testing::LogWatch watch;
  EXPECT_FALSE(CopyFileBytes(src.c_str(), "/dev/full", 4096));
  EXPECT_EQ(watch.Err(), (std::vector<std::string>{"Error write file", "/dev/full"}));
}

}  // namespace
}  // namespace zhtext
