#include "zhtext/encoding/value_slots.h"

#include <cstdint>
#include <cstring>

namespace zhtext {

namespace {

template <typename T>
T Load(const void* slot) {
  T value;
  std::memcpy(&value, slot, sizeof value);
  return value;
}

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
      return Order(Load<std::int64_t>(a), Load<std::int64_t>(b));
    case kValueFloat:
      return Order(Load<float>(a), Load<float>(b));
    case kValueDouble:
      return Order(Load<double>(a), Load<double>(b));
    default:
      return Order(Load<std::int32_t>(a), Load<std::int32_t>(b));
  }
}

}  // namespace zhtext
