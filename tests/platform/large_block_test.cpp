#include "zhtext/platform/large_block.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace zhtext {
namespace platform {
namespace {

// Every size, small or spanning several huge pages and a part of one, gives
// a block writable to its last byte and released with free (the sanitizer
// build reports an overrun or a mismatched release).
TEST(LargeBlockTest, BlocksOfEverySizeHoldTheirBytes) {
  const std::size_t sizes[] = {0,
                               1,
                               12,
                               4096,
                               (std::size_t{2} << 20) - 1,
                               std::size_t{2} << 20,
                               (std::size_t{17} << 19) + 12};
  for (std::size_t size : sizes) {
    SCOPED_TRACE(size);
    unsigned char* block = static_cast<unsigned char*>(AllocateLargeBlock(size));
    ASSERT_NE(nullptr, block);
    if (size > 0) {
      std::memset(block, 0xA5, size);
      EXPECT_EQ(0xA5, block[0]);
      EXPECT_EQ(0xA5, block[size - 1]);
    }
    std::free(block);
  }
}

#if defined(__linux__)
// A block of a huge page or more starts on a huge page, so that all of it
// but its tail can be backed by huge pages.
TEST(LargeBlockTest, LargeBlocksStartOnAHugePage) {
  const std::size_t size = std::size_t{5} << 20;
  void* block = AllocateLargeBlock(size);
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(block) % (std::size_t{2} << 20));
  std::free(block);
}
#endif

}  // namespace
}  // namespace platform
}  // namespace zhtext
