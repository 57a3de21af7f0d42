#include "zhtext/platform/large_block.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace zhtext {
namespace platform {

namespace {

#if defined(__linux__) && defined(MADV_HUGEPAGE)
constexpr std::size_t kHugePage = std::size_t{2} << 20;
#endif

}  // namespace

void* AllocateLargeBlock(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (bytes >= kHugePage) {
    void* block = nullptr;
    if (posix_memalign(&block, kHugePage, bytes) != 0) return nullptr;
    // Only a hint: where huge pages are off or used up the block works as
    // it is, so the result is not checked.
    const std::size_t whole = bytes / kHugePage * kHugePage;
    madvise(block, whole, MADV_HUGEPAGE);
    return block;
  }
#endif
  return std::malloc(bytes);
}

}  // namespace platform
}  // namespace zhtext
