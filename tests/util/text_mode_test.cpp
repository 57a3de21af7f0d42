#include "zhtext/util/text_mode.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace zhtext {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

TEST(TextModeTest, WriteTextTurnsEachLineFeedIntoCrLf) {
  struct Row {
    const char* name;
    std::string data;
    std::string expected;
  } rows[] = {
      {"lines", "a\nb\n", "a\r\nb\r\n"},
      {"leading_and_doubled", "\n\nx", "\r\n\r\nx"},
      {"no_line_feed", "plain", "plain"},
      {"cr_lf_already", "a\r\nb", "a\r\r\nb"},  // as a Windows text stream does
      {"zero_bytes_pass", std::string("a\0\nb", 4), std::string("a\0\r\nb", 5)},
      {"empty", "", ""},
  };
  TempDir dir;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = dir.File(row.name);
    std::FILE* stream = OpenTextFile(path.c_str(), "w");
    ASSERT_NE(stream, nullptr);
    EXPECT_TRUE(WriteText(stream, row.data.data(), row.data.size()));
    std::fclose(stream);
    EXPECT_EQ(ReadFile(path), row.expected);
  }
}

TEST(TextModeTest, PrintTextExpandsTheFormattedText) {
  TempDir dir;
  const std::string path = dir.File("out.txt");
  std::FILE* stream = OpenTextFile(path.c_str());
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(PrintText(stream, "%s=%d\n", "n", 42), 5);
  // Longer than any small formatting buffer, with line feeds throughout.
  std::string lines;
  for (int i = 0; i < 200; ++i) lines += "line " + std::to_string(i) + "\n";
  ASSERT_GT(lines.size(), 512u);
  EXPECT_EQ(PrintText(stream, "[%s]%c", lines.c_str(), '\n'), static_cast<int>(lines.size() + 3));
  EXPECT_TRUE(WriteText(stream, "tail\n"));
  std::fclose(stream);

  std::string expanded;
  for (int i = 0; i < 200; ++i) expanded += "line " + std::to_string(i) + "\r\n";
  EXPECT_EQ(ReadFile(path), "n=42\r\n[" + expanded + "]\r\ntail\r\n");
}

TEST(TextModeTest, OpenModes) {
  TempDir dir;
  const std::string path = dir.File("log.txt");
  WriteFile(path, "kept\r\n");

  // Appending keeps what is there.
  std::FILE* stream = OpenTextFile(path.c_str(), "a");
  ASSERT_NE(stream, nullptr);
  WriteText(stream, "more\n");
  std::fclose(stream);
  EXPECT_EQ(ReadFile(path), "kept\r\nmore\r\n");

  // A reading mode is refused rather than truncating the file.
  EXPECT_EQ(OpenTextFile(path.c_str(), "r"), nullptr);
  EXPECT_EQ(OpenTextFile(path.c_str(), "rt"), nullptr);
  EXPECT_EQ(ReadFile(path), "kept\r\nmore\r\n");

  // "wt" truncates, as writing does.
  stream = OpenTextFile(path.c_str(), "wt");
  ASSERT_NE(stream, nullptr);
  WriteText(stream, "new\n");
  std::fclose(stream);
  EXPECT_EQ(ReadFile(path), "new\r\n");

  EXPECT_EQ(OpenTextFile(dir.File("no/such/dir").c_str(), "w"), nullptr);
  EXPECT_EQ(OpenTextFile(nullptr, "w"), nullptr);
  EXPECT_FALSE(WriteText(nullptr, "x"));
}

}  // namespace
}  // namespace zhtext
