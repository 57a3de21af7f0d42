#include "zhtext/encoding/list_ops.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "zhtext/encoding/value_slots.h"

namespace zhtext {
namespace {

using testing::G;
using Ints = std::vector<int>;

TEST(IntersectWithOffsetTest, Table) {
  struct Row {
    const char* name;
    Ints a;
    Ints b;
    int offset;
    Ints out;  // before the call
    Ints expected;
  } rows[] = {
      // Second word at distance 2 from the first.
      {"positions at a distance", {1, 5, 9, 20}, {3, 7, 8, 22}, 2, {}, {1, 5, 20}},
      {"zero offset is the intersection", {1, 2, 3}, {2, 3, 4}, 0, {}, {2, 3}},
      {"negative offset", {10, 20}, {7, 17}, -3, {}, {10, 20}},
      {"out is appended to", {1}, {2}, 1, {42}, {42, 1}},
      {"repeats pair one to one", {1, 1, 1}, {2, 2}, 1, {}, {1, 1}},
      {"none", {1, 2}, {10}, 0, {}, {}},
      {"empty a", {}, {1}, 0, {}, {}},
      {"empty b", {1}, {}, 0, {}, {}},
      // The sum leaves the int range without wrapping round to a match.
      {"no overflow", {2147483647}, {-2147483647 - 1}, 1, {}, {}},
      {"large sum", {2147483600}, {2147483647}, 47, {}, {2147483600}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Ints out = row.out;
    EXPECT_EQ(IntersectWithOffset(row.a, row.b, row.offset, out),
              static_cast<int>(row.expected.size()));
    EXPECT_EQ(out, row.expected);
  }
}

TEST(RemoveCommonTest, Table) {
  struct Row {
    const char* name;
    Ints a;
    Ints b;
    Ints expected;
    bool removed;
  } rows[] = {
      {"one element of b removes one of a", {1, 1, 2}, {1}, {1, 2}, true},
      {"pairs", {1, 1, 2}, {1, 1}, {2}, true},
      {"interleaved", {1, 3, 5, 7}, {2, 3, 4, 7, 9}, {1, 5}, true},
      {"nothing common", {1, 3}, {2, 4}, {1, 3}, false},
      {"all removed", {4, 5}, {4, 5}, {}, true},
      {"b longer", {5}, {1, 2, 3, 5, 8}, {}, true},
      {"empty a", {}, {1}, {}, false},
      {"empty b", {1, 2}, {}, {1, 2}, false},
      {"tail kept", {1, 2, 3, 4}, {2}, {1, 3, 4}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Ints a = row.a;
    EXPECT_EQ(RemoveCommon(a, row.b), row.removed);
    EXPECT_EQ(a, row.expected);
  }
}

TEST(IntListTest, FindFirstNotLessAndContainsInt) {
  struct Row {
    const char* name;
    Ints list;
    int value;
    int firstNotLess;
    bool contains;
  } rows[] = {
      {"exact", {1, 4, 9}, 4, 1, true},
      {"between", {1, 4, 9}, 5, 2, false},
      {"below all", {1, 4, 9}, -7, 0, false},
      {"above all", {1, 4, 9}, 10, -1, false},
      // List order, not sorted order: the first element >= 3 is 8.
      {"unsorted list", {8, 2, 3}, 3, 0, true},
      {"empty", {}, 0, -1, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FindFirstNotLess(row.value, row.list), row.firstNotLess);
    EXPECT_EQ(ContainsInt(row.value, row.list), row.contains);
  }
}

TEST(ContainsTextTest, Table) {
  const std::string chinese = G("中文");
  const char* entries[] = {"alpha", "", chinese.c_str(), nullptr, "Beta"};
  struct Row {
    const char* name;
    const char* text;
    int count;
    bool expected;
  } rows[] = {
      {"first", "alpha", 5, true},
      {"empty entry", "", 5, true},
      {"GBK", chinese.c_str(), 5, true},
      {"case matters", "beta", 5, false},
      {"exact", "Beta", 5, true},
      {"prefix is not equal", "alp", 5, false},
      {"beyond the count", "Beta", 4, false},
      {"zero count", "alpha", 0, false},
      {"null text", nullptr, 5, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ContainsText(row.text, entries, row.count), row.expected);
  }
  EXPECT_FALSE(ContainsText("alpha", nullptr, 5));
}

TEST(StartsWithAnyITest, Table) {
  using List = std::vector<std::string>;
  struct Row {
    const char* name;
    std::string text;
    List list;
    bool expected;
  } rows[] = {
      {"prefix ignoring case", "HTTP://x", {"ftp:", "http:"}, true},
      {"whole text", "abc", {"ABC"}, true},
      {"entry longer than the text", "ab", {"abc"}, false},
      {"no entry", "abc", {}, false},
      {"empty entry matches all", "xyz", {"q", ""}, true},
      {"empty entry matches an empty text", "", {""}, true},
      {"GBK prefix", G("中华人民"), {G("中华")}, true},
      // The second byte of 81 41 is not folded to match 81 61.
      {"second bytes not folded", "\x81\x41x", {"\x81\x61"}, false},
      {"second bytes equal", "\x81\x41x", {"\x81\x41"}, true},
      {"fold after a GBK character", G("中") + "ABC", {G("中") + "ab"}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(StartsWithAnyI(row.text.c_str(), row.list), row.expected);
  }
  EXPECT_TRUE(StartsWithAnyI(nullptr, {""}));
  EXPECT_FALSE(StartsWithAnyI(nullptr, {"a"}));
}

// Slots of every type, filled as the types store their values.
struct Slots {
  template <typename T>
  void Add(T value) {
    unsigned char slot[kValueSlotSize] = {};
    std::memcpy(slot, &value, sizeof value);
    bytes.insert(bytes.end(), slot, slot + kValueSlotSize);
  }
  template <typename T>
  static std::vector<unsigned char> One(T value) {
    Slots s;
    s.Add(value);
    return s.bytes;
  }
  int count() const { return static_cast<int>(bytes.size() / kValueSlotSize); }
  std::vector<unsigned char> bytes;
};

TEST(ContainsValueTest, EveryType) {
  Slots int64s;
  int64s.Add<std::int64_t>(1);
  int64s.Add<std::int64_t>(4294967296);
  Slots doubles;
  doubles.Add(0.5);
  doubles.Add(std::nan(""));
  Slots floats;
  floats.Add(1.25f);
  Slots ints;
  ints.Add<std::int32_t>(-7);
  ints.Add<std::int32_t>(42);

  struct Row {
    const char* name;
    std::vector<unsigned char> value;
    const Slots* items;
    int type;
    bool expected;
  } rows[] = {
      {"int64 found", Slots::One<std::int64_t>(4294967296), &int64s, kValueInt64, true},
      // Read as 32-bit integers, 4294967296 would be 0 and match.
      {"int64 missing", Slots::One<std::int64_t>(0), &int64s, kValueInt64, false},
      {"date-time as int64", Slots::One<std::int64_t>(4294967296), &int64s, kValueDateTime, true},
      {"double found", Slots::One(0.5), &doubles, kValueDouble, true},
      {"NaN equals nothing", Slots::One(std::nan("")), &doubles, kValueDouble, false},
      {"float found", Slots::One(1.25f), &floats, kValueFloat, true},
      {"int32 found", Slots::One<std::int32_t>(42), &ints, 0, true},
      {"int32 other type code", Slots::One<std::int32_t>(-7), &ints, 6, true},
      {"int32 missing", Slots::One<std::int32_t>(7), &ints, 2, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(
        ContainsValue(row.value.data(), row.items->bytes.data(), row.items->count(), row.type),
        row.expected);
  }
  const auto one = Slots::One<std::int32_t>(42);
  EXPECT_FALSE(ContainsValue(one.data(), ints.bytes.data(), 0, 0));
  EXPECT_FALSE(ContainsValue(one.data(), nullptr, 2, 0));
}

TEST(ArgMaxAndClearTest, Table) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Row {
    const char* name;
    std::vector<float> list;
    int expected;
  } rows[] = {
      {"largest", {1, 5, 3}, 1},
      {"first of equal largest", {2, 7, 7, 1}, 1},
      {"negative", {-3, -1, -2}, 1},
      {"single", {4}, 0},
      {"empty", {}, -1},
      {"NaN is never larger", {1, nan, 2}, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<float> list = row.list;
    EXPECT_EQ(ArgMaxAndClear(list), row.expected);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.capacity(), 0u);
  }
}

}  // namespace
}  // namespace zhtext
