#include "zhtext/util/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace zhtext {
namespace {

using testing::TempDir;
using testing::WriteFile;

std::vector<std::string> ReadAllLines(const std::string& path) {
  std::vector<std::string> lines;
  std::FILE* stream = std::fopen(path.c_str(), "rb");
  EXPECT_NE(stream, nullptr);
  if (stream == nullptr) return lines;
  std::string line;
  while (ReadLine(stream, &line)) lines.push_back(line);
  EXPECT_TRUE(line.empty());
  std::fclose(stream);
  return lines;
}

TEST(LineReaderTest, SplitsAtEachLineFeedAndKeepsEveryByte) {
  const std::string longLine(10000, 'x');
  // A two-byte character across the 4095-byte chunk boundary of the reader.
  const std::string straddle = std::string(4094, 'a') + "\xD6\xD0" + "b";
  struct Row {
    const char* name;
    std::string data;
    std::vector<std::string> lines;
  } rows[] = {
      {"empty_file", "", {}},
      {"one_line_without_end", "abc", {"abc"}},
      {"lines_with_ends", "a\nb\r\n", {"a\n", "b\r\n"}},
      {"empty_lines", "\n\n", {"\n", "\n"}},
      {"zero_bytes_inside", std::string("a\0b\nc\0", 6),
       {std::string("a\0b\n", 4), std::string("c\0", 2)}},
      {"only_a_zero_byte", std::string("\0", 1), {std::string("\0", 1)}},
      {"long_line", longLine + "\nnext", {longLine + "\n", "next"}},
      {"line_of_exactly_one_chunk", std::string(4095, 'y') + "\n",
       {std::string(4095, 'y') + "\n"}},
      {"chunk_ends_before_line_feed", std::string(4095, 'z') + "\nq",
       {std::string(4095, 'z') + "\n", "q"}},
      {"character_across_chunks", straddle + "\n", {straddle + "\n"}},
  };
  TempDir dir;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = dir.File(row.name);
    WriteFile(path, row.data);
    EXPECT_EQ(ReadAllLines(path), row.lines);
  }
}

}  // namespace
}  // namespace zhtext
