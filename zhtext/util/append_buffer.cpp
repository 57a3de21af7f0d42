#include "zhtext/util/append_buffer.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "zhtext/platform/byte_order.h"

namespace zhtext {

int AppendInt32(char** buffer, int* length, int* capacity, std::int32_t value, bool networkOrder) {
  if (*length < 0 || *capacity < 0) return -1;
  constexpr int kIntMax = std::numeric_limits<int>::max();
  if (*length > kIntMax - 1024) return -1;
  std::uint32_t bits = static_cast<std::uint32_t>(value);
  if (networkOrder) bits = platform::HostToNet32(bits);
  if (*capacity < *length + 10) {
    const int grown = *length + 1024;
    void* block = std::realloc(*buffer, static_cast<std::size_t>(grown));
    if (block == nullptr) return -1;
    *buffer = static_cast<char*>(block);
    *capacity = grown;
  }
  std::memcpy(*buffer + *length, &bits, sizeof bits);
  *length += 4;
  return *length;
}

}  // namespace zhtext
