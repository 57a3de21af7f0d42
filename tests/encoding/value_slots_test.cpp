#include "zhtext/encoding/value_slots.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zhtext {
namespace {

// Two slots side by side at an odd address (slots need no alignment), the
// bytes the type does not use filled with junk.
class SlotPair {
 public:
  template <typename T>
  SlotPair(T a, T b) : bytes_(1 + 2 * kValueSlotSize, 0xA5) {
    std::memcpy(&bytes_[1], &a, sizeof a);
    std::memcpy(&bytes_[1 + kValueSlotSize], &b, sizeof b);
  }
  const void* a() const { return &bytes_[1]; }
  const void* b() const { return &bytes_[1 + kValueSlotSize]; }

 private:
  std::vector<unsigned char> bytes_;
};

TEST(CompareValuesTest, Table) {
  const double nan = std::nan("");
  struct Row {
    const char* name;
    SlotPair slots;
    int type;
    int expected;
  } rows[] = {
      {"int64 above 2^32", SlotPair(std::int64_t{4294967296}, std::int64_t{1}), kValueInt64, 1},
      {"int64 negative", SlotPair(std::int64_t{-1}, std::int64_t{1}), kValueInt64, -1},
      {"int64 equal", SlotPair(std::int64_t{7}, std::int64_t{7}), kValueInt64, 0},
      {"date-time as int64", SlotPair(std::int64_t{4294967296}, std::int64_t{1}), kValueDateTime,
       1},
      {"float", SlotPair(1.5f, 2.5f), kValueFloat, -1},
      {"float equal", SlotPair(2.5f, 2.5f), kValueFloat, 0},
      {"float NaN first", SlotPair(std::nanf(""), 1.0f), kValueFloat, 1},
      {"float NaN second", SlotPair(1.0f, std::nanf("")), kValueFloat, 1},
      {"double", SlotPair(3.0, 2.0), kValueDouble, 1},
      {"double signed zeros", SlotPair(-0.0, 0.0), kValueDouble, 0},
      {"double NaN", SlotPair(nan, nan), kValueDouble, 1},
      {"int32 signed", SlotPair(std::int32_t{-1}, std::int32_t{1}), 0, -1},
      {"int32 type 2", SlotPair(std::int32_t{10}, std::int32_t{9}), 2, 1},
      {"int32 other code", SlotPair(std::int32_t{5}, std::int32_t{5}), 99, 0},
      // Only the first 4 bytes count for int32: 2^32 + 1 and 1 are equal.
      {"int32 reads four bytes", SlotPair(std::int64_t{4294967297}, std::int64_t{1}), 1, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CompareValues(row.slots.a(), row.slots.b(), row.type), row.expected);
  }
}

}  // namespace
}  // namespace zhtext
