// Typed value slots and their comparison: the small set of value types of
// the library's tabular data, each value held in an 8-byte slot.
//
// Type codes: 3 a signed 64-bit integer (8 bytes), 4 a date-time (a 64-bit
// time value, 8 bytes), 5 a float (the first 4 bytes), 7 a double (8 bytes);
// every other code (0, 1, 2, 6, ...) a signed 32-bit integer in the first 4
// bytes. The bytes are in the host's order; slots need no alignment.
// LoadSlot and StoreSlot read and write a value of a type in place.
// Formatting and parsing of values live in zhtext/util/typed_values.h.
// Pure functions, safe on any thread.
#ifndef ZHTEXT_ENCODING_VALUE_SLOTS_H_
#define ZHTEXT_ENCODING_VALUE_SLOTS_H_

#include <cstddef>
#include <cstring>

namespace zhtext {

inline constexpr std::size_t kValueSlotSize = 8;

inline constexpr int kValueInt64 = 3;
inline constexpr int kValueDateTime = 4;
inline constexpr int kValueFloat = 5;
inline constexpr int kValueDouble = 7;

// The value of type T in the first bytes of a slot, and storing one there.
template <typename T>
T LoadSlot(const void* slot) {
  static_assert(sizeof(T) <= kValueSlotSize, "a value fits its slot");
  T value;
  std::memcpy(&value, slot, sizeof value);
  return value;
}

template <typename T>
void StoreSlot(void* slot, T value) {
  static_assert(sizeof(T) <= kValueSlotSize, "a value fits its slot");
  std::memcpy(slot, &value, sizeof value);
}

// -1 when the value in slot `a` is less than the one in `b`, 0 when equal,
// else 1, compared as the type's values (types 3 and 4 as 64-bit signed
// integers). For floats and doubles the result is also 1 when either value
// is not a number.
// REQUIRES: `a` and `b` point at kValueSlotSize readable bytes.
int CompareValues(const void* a, const void* b, int type);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_VALUE_SLOTS_H_
