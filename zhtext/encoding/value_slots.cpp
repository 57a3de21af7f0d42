#include "zhtext/encoding/value_slots.h"

#include <cstdint>

namespace zhtext {

namespace {

// -1, 0 or 1; 1 also when the values are unordered (a NaN).
template <typename T>
int Order(T a, T b) {
  if (a < b) return -1;
  if (a == b) return 0;
  return 1;
}

}  // namespace

int CompareValues(const void* a, const void* b, int type) {
  switch (type) {
    case kValueInt64:
    case kValueDateTime:
      return Order(LoadSlot<std::int64_t>(a), LoadSlot<std::int64_t>(b));
    case kValueFloat:
      return Order(LoadSlot<float>(a), LoadSlot<float>(b));
    case kValueDouble:
      return Order(LoadSlot<double>(a), LoadSlot<double>(b));
    default:
      return Order(LoadSlot<std::int32_t>(a), LoadSlot<std::int32_t>(b));
  }
}

}  // namespace zhtext
