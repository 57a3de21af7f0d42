#include "zhtext/util/file_routines.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/temp_dir.h"
#include "zhtext/platform/stream_seek.h"
#include "zhtext/util/line_reader.h"

namespace zhtext {
namespace {

using testing::G;
using testing::Hex;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
using List = std::vector<std::string>;

class FileRoutinesTest : public ::testing::Test {
 protected:
  std::string Make(const std::string& name, const std::string& bytes) {
    const std::string path = dir_.File(name);
    WriteFile(path, bytes);
    return path;
  }
  TempDir dir_;
};

TEST_F(FileRoutinesTest, GetFileSize) {
  EXPECT_EQ(GetFileSize(Make("five", "12345").c_str()), 5);
  EXPECT_EQ(GetFileSize(Make("empty", "").c_str()), 0);
  EXPECT_EQ(GetFileSize(dir_.File("missing").c_str()), -1);
  EXPECT_EQ(GetFileSize(nullptr), -1);

  // Beyond 2 GiB, in a sparse file.
  const std::string big = dir_.File("sparse");
  std::FILE* f = std::fopen(big.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  const std::int64_t size = (std::int64_t{5} << 30) + 3;
  ASSERT_TRUE(platform::SeekStream(f, size - 1));
  std::fputc('z', f);
  std::fclose(f);
  EXPECT_EQ(GetFileSize(big.c_str()), size);
}

TEST_F(FileRoutinesTest, CountLines) {
  struct Row {
    const char* name;
    std::string bytes;
    std::int64_t lines;
  } rows[] = {
      {"empty", "", 0},
      {"one line without a line feed", "a", 1},
      {"one line", "a\n", 1},
      {"last line without a line feed", "a\nb", 2},
      {"CR LF", "a\r\nb\r\n", 2},
      {"empty lines", "\n\n\n", 3},
      // Lines of any length count once.
      {"line of 999 bytes", std::string(999, 'x') + "\n", 1},
      {"line of 1000 bytes", std::string(1000, 'x') + "\ny\n", 2},
      {"long line", std::string(50000, 'x') + "\nshort\n" + std::string(5000, 'y'), 3},
      {"zero bytes", std::string("a\0b\n\0\n", 6), 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::FILE* f = std::fopen(Make("lines", row.bytes).c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::fgetc(f);  // counted from the start wherever the stream is
    EXPECT_EQ(CountLines(f), row.lines);
    EXPECT_EQ(std::ftell(f), 0);  // and left there
    std::fclose(f);
  }
  EXPECT_EQ(CountLines(nullptr), 0);
}

TEST_F(FileRoutinesTest, AppendTextToFile) {
  const std::string path = dir_.File("append.txt");
  EXPECT_TRUE(AppendTextToFile(path.c_str(), "a\nb"));  // created
  EXPECT_TRUE(AppendTextToFile(path.c_str(), "\n" + G("中文") + "\n"));
  EXPECT_TRUE(AppendTextToFile(path.c_str(), std::string("cut\0here\n", 9)));
  EXPECT_TRUE(AppendTextToFile(path.c_str(), ""));
  // CR LF on every platform; the text ends at its first zero byte.
  EXPECT_EQ(Hex(ReadFile(path)), Hex("a\r\nb\r\n" + G("中文") + "\r\ncut"));
}

TEST_F(FileRoutinesTest, WriteTextToFile) {
  const std::string path = Make("write.txt", "old content that is longer");
  EXPECT_TRUE(WriteTextToFile(path.c_str(), "a\nb\r\n"));
  EXPECT_EQ(ReadFile(path), "a\nb\r\n");  // bytes unchanged, file truncated
  EXPECT_TRUE(WriteTextToFile(path.c_str(), std::string("x\0y", 3)));
  EXPECT_EQ(ReadFile(path), "x");
  EXPECT_TRUE(WriteTextToFile(path.c_str(), ""));
  EXPECT_EQ(ReadFile(path), "");
}

TEST_F(FileRoutinesTest, WritingFailures) {
  struct Row {
    const char* name;
    const char* path;
  } rows[] = {
      {"null path", nullptr},
      {"empty path", ""},
      {"missing directory", "/nonexistent-zhtext-dir/file.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_FALSE(AppendTextToFile(row.path, "text"));
    EXPECT_FALSE(WriteTextToFile(row.path, "text"));
  }
  // A write that cannot be completed is a failure, not a success.
  if (testing::FileExists("/dev/full")) {
    const std::string big(100000, 'x');
    EXPECT_FALSE(AppendTextToFile("/dev/full", big));
    EXPECT_FALSE(WriteTextToFile("/dev/full", big));
  }
}

TEST_F(FileRoutinesTest, ReadFields) {
  const std::string longField(15000, 'x');
  struct Row {
    const char* name;
    std::string bytes;
    int count;
    List before;
    List expected;
    std::string rest;  // what the stream still holds
  } rows[] = {
      // Once the count is reached one more line is read and not used.
      {"count reached", "a b\nc d\ne\nf\n", 3, {}, {"a", "b", "c"}, "f\n"},
      {"list is kept", "a b\n", 1, {"z"}, {"z", "a"}, ""},
      {"count beyond the stream", "a\tb\r\n\n c \n", 10, {}, {"a", "b", "c"}, ""},
      {"count zero reads one line", "a\nb\n", 0, {}, {}, "b\n"},
      {"empty stream", "", 3, {"z"}, {"z"}, ""},
      {"GBK fields", G("中文 词") + "\n", 2, {}, {G("中文"), G("词")}, ""},
      // A line far longer than any fixed buffer is read whole: the long
      // field is one field and the next one follows it.
      {"long line", longField + " tail\nnext\n", 2, {}, {longField, "tail"}, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::FILE* f = std::fopen(Make("fields", row.bytes).c_str(), "rb");
    ASSERT_NE(f, nullptr);
    List list = row.before;
    EXPECT_EQ(ReadFields(f, row.count, list), static_cast<int>(row.expected.size()));
    EXPECT_EQ(list, row.expected);
    std::string rest;
    std::string line;
    while (ReadLine(f, &line)) rest += line;
    EXPECT_EQ(rest, row.rest);
    std::fclose(f);
  }
  List list;
  EXPECT_EQ(ReadFields(nullptr, 3, list), 0);
}

}  // namespace
}  // namespace zhtext
