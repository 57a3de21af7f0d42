#include "zhtext/util/counted_string.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "tests/support/gbk_text.h"
#include "tests/support/temp_dir.h"

// The largest block asked of operator new while the watch is on: shows
// whether a length read from a stream sized an allocation up front. Every
// plain form of new and delete is replaced, so that each pair matches.
namespace {
std::atomic<bool> g_watching{false};
std::atomic<std::size_t> g_largest{0};

void* Allocate(std::size_t size) noexcept {
  if (g_watching.load(std::memory_order_relaxed)) {
    std::size_t seen = g_largest.load(std::memory_order_relaxed);
    while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
    }
  }
  return std::malloc(size != 0 ? size : 1);
}

void* AllocateOrThrow(std::size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
// GCC takes the free of a replaced operator delete for a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace zhtext {
namespace {

using testing::G;
using testing::Hex;
using testing::TempDir;

class CountedStringTest : public ::testing::Test {
 protected:
  // A stream over `bytes`, at its start.
  std::FILE* Stream(const std::string& bytes) {
    const std::string path = dir_.File("stream" + std::to_string(files_++));
    testing::WriteFile(path, bytes);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    EXPECT_NE(f, nullptr);
    opened_.push_back(f);
    return f;
  }
  void TearDown() override {
    for (std::FILE* f : opened_) std::fclose(f);
  }

  TempDir dir_;
  int files_ = 0;
  std::vector<std::FILE*> opened_;
};

TEST_F(CountedStringTest, WritesLengthThenBytes) {
  struct Row {
    const char* name;
    std::string text;
    std::string header;
  } rows[] = {
      {"empty", "", "00 00 00 00"},
      {"abc", "abc", "03 00 00 00"},
      {"GBK", G("中文"), "04 00 00 00"},
      {"zero bytes kept", std::string("a\0b", 3), "03 00 00 00"},
      {"little-endian length", std::string(0x012345, 'x'), "45 23 01 00"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = dir_.File("out");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(WriteCountedString(row.text, f));
    std::fclose(f);
    const std::string bytes = testing::ReadFile(path);
    ASSERT_EQ(bytes.size(), 4 + row.text.size());
    EXPECT_EQ(Hex(bytes.substr(0, 4)), row.header);
    EXPECT_EQ(bytes.substr(4), row.text);
  }
}

TEST_F(CountedStringTest, ReadsWhatWasWritten) {
  const std::string path = dir_.File("round");
  std::FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  const std::string texts[] = {"", "abc", G("中华人民共和国"), std::string(200000, 'q'), "last"};
  for (const std::string& text : texts) ASSERT_TRUE(WriteCountedString(text, out));
  std::fclose(out);
  std::FILE* in = std::fopen(path.c_str(), "rb");
  ASSERT_NE(in, nullptr);
  for (const std::string& text : texts) {
    std::string read = "stale";
    ReadCountedString(in, read);
    EXPECT_EQ(read, text);
  }
  std::string read = "stale";
  ReadCountedString(in, read);  // the end of the stream
  EXPECT_EQ(read, "");
  std::fclose(in);
}

TEST_F(CountedStringTest, ShortAndDamagedStreams) {
  using namespace std::string_literals;
  struct Row {
    const char* name;
    std::string bytes;
    std::string expected;
    long left;  // the stream position afterwards
  } rows[] = {
      {"ends inside the text",
       "\x0A\x00\x00\x00"
       "abc"s,
       "abc", 7},
      {"ends inside the length", "\x03\x00"s, "", -1},
      {"empty stream", "", "", -1},
      {"zero byte cuts the text",
       "\x05\x00\x00\x00"
       "ab\0cd"s,
       "ab", 9},
      {"later strings untouched",
       "\x01\x00\x00\x00"
       "xyz"s,
       "x", 5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::FILE* f = Stream(row.bytes);
    std::string text = "stale";
    ReadCountedString(f, text);
    EXPECT_EQ(Hex(text), Hex(row.expected));
    if (row.left >= 0) {
      EXPECT_EQ(std::ftell(f), row.left);
    }
  }
}

// A length of 4 GiB - 1 over a stream of 5 bytes yields those 5 bytes, and
// no block anywhere near the length is asked for.
TEST_F(CountedStringTest, FalseLengthAllocatesOnlyWhatIsRead) {
  std::FILE* f =
      Stream(std::string("\xFF\xFF\xFF\xFF"
                         "hello",
                         9));
  std::string text;
  g_largest = 0;
  g_watching = true;
  ReadCountedString(f, text);
  g_watching = false;
  EXPECT_EQ(text, "hello");
  EXPECT_LT(g_largest.load(), std::size_t{1} << 20);
  EXPECT_LT(text.capacity(), std::size_t{1} << 20);
}

}  // namespace
}  // namespace zhtext
