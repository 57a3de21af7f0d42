#include "zhtext/platform/stream_seek.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "tests/support/temp_dir.h"

namespace zhtext {
namespace platform {
namespace {

using testing::TempDir;

constexpr std::int64_t k3GiB = std::int64_t{3} << 30;

TEST(StreamSeekTest, SeekTellAndEnd) {
  TempDir dir;
  const std::string path = dir.File("ten");
  testing::WriteFile(path, "0123456789");
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(TellStream(f), 0);
  ASSERT_TRUE(SeekStream(f, 4));
  EXPECT_EQ(TellStream(f), 4);
  EXPECT_EQ(std::fgetc(f), '4');
  ASSERT_TRUE(SeekStreamToEnd(f));
  EXPECT_EQ(TellStream(f), 10);
  EXPECT_FALSE(SeekStream(f, -1));
  std::fclose(f);
  EXPECT_FALSE(SeekStream(nullptr, 0));
  EXPECT_FALSE(SeekStreamToEnd(nullptr));
  EXPECT_EQ(TellStream(nullptr), -1);
}

// Positions beyond 2 GiB, in a sparse file that takes no space on disk.
TEST(StreamSeekTest, PositionsBeyond2GiB) {
  TempDir dir;
  const std::string path = dir.File("sparse");
  std::FILE* f = std::fopen(path.c_str(), "wb+");
  ASSERT_NE(f, nullptr);
  ASSERT_TRUE(SeekStream(f, k3GiB));
  ASSERT_EQ(std::fputc('z', f), 'z');
  EXPECT_EQ(TellStream(f), k3GiB + 1);
  ASSERT_TRUE(SeekStreamToEnd(f));
  EXPECT_EQ(TellStream(f), k3GiB + 1);
  ASSERT_TRUE(SeekStream(f, k3GiB));
  EXPECT_EQ(std::fgetc(f), 'z');
  std::fclose(f);
}

}  // namespace
}  // namespace platform
}  // namespace zhtext
