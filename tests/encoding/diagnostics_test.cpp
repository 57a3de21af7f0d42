#include "zhtext/encoding/diagnostics.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace zhtext {
namespace {

TEST(PrintHexTest, UpperCaseHexThenLineFeed) {
  ::testing::internal::CaptureStdout();
  PrintHex("\x0A\xFF\x00z", 4);
  PrintHexString("\xD2\xBB");
  PrintHexString("");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "0AFF007A\nD2BB\n\n");
}

TEST(WriteGB2312TableTest, OneCrLfLinePerCode) {
  testing::TempDir dir;
  const std::string path = dir.File("gb2312.txt");
  ASSERT_TRUE(WriteGB2312Table(path.c_str()));
  const std::string data = testing::ReadFile(path);
  // 79 lead bytes x 94 trail bytes, each line "<lead><trail>,ddd,ddd\r\n".
  ASSERT_EQ(data.size(), 79u * 94u * 12u);
  EXPECT_EQ(data.substr(0, 12), "\xB0\xA1,176,161\r\n");
  EXPECT_EQ(data.substr(12, 12), "\xB0\xA2,176,162\r\n");
  EXPECT_EQ(data.substr(94 * 12, 12), "\xB1\xA1,177,161\r\n");
  EXPECT_EQ(data.substr(data.size() - 12), "\xFE\xFE,254,254\r\n");
}

TEST(WriteGB2312TableTest, FalseWhenTheFileCannotBeCreated) {
  testing::TempDir dir;
  EXPECT_FALSE(WriteGB2312Table(dir.File("missing/dir/table.txt").c_str()));
}

}  // namespace
}  // namespace zhtext
