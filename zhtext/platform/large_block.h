// Large heap blocks that are filled at once and then read at random, such
// as the cells of a dictionary: on systems with transparent huge pages the
// block is aligned to and marked for huge pages, so that filling it takes a
// few page faults instead of one per 4 KB page, and look-ups spread over
// megabytes need fewer address translations. Elsewhere, and for small
// blocks, it is a plain malloc block.
#ifndef ZHTEXT_PLATFORM_LARGE_BLOCK_H_
#define ZHTEXT_PLATFORM_LARGE_BLOCK_H_

#include <cstddef>

namespace zhtext {
namespace platform {

// A block of `bytes` bytes (contents undefined) to be released with
// std::free, or null when there is no memory. Never resized with realloc
// by its owner: a realloc would keep its contents but may lose the hint.
void* AllocateLargeBlock(std::size_t bytes);

}  // namespace platform
}  // namespace zhtext

#endif  // ZHTEXT_PLATFORM_LARGE_BLOCK_H_
