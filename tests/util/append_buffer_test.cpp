#include "zhtext/util/append_buffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

using testing::Hex;

// A malloc buffer released with free, as the contract says.
struct Buffer {
  ~Buffer() { std::free(data); }
  char* data = nullptr;
  int length = 0;
  int capacity = 0;
  std::string Bytes() const { return std::string(data, static_cast<std::size_t>(length)); }
};

TEST(AppendInt32Test, EmptyBufferGrowsTo1024) {
  Buffer b;
  EXPECT_EQ(AppendInt32(&b.data, &b.length, &b.capacity, 0x12345678, true), 4);
  ASSERT_NE(b.data, nullptr);
  EXPECT_EQ(b.length, 4);
  EXPECT_EQ(b.capacity, 1024);
  EXPECT_EQ(Hex(b.Bytes()), "12 34 56 78");
}

TEST(AppendInt32Test, ByteOrders) {
  struct Row {
    const char* name;
    std::int32_t value;
    bool network;
    std::string bytes;
  } rows[] = {
      {"network order", 0x12345678, true, "12 34 56 78"},
      {"network order negative", -2, true, "FF FF FF FE"},
      {"host order", 0x12345678, false, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Buffer b;
    AppendInt32(&b.data, &b.length, &b.capacity, row.value, row.network);
    std::string expected = row.bytes;
    if (expected.empty()) {
      char host[4];
      std::memcpy(host, &row.value, 4);
      expected = Hex(std::string(host, 4));
    }
    EXPECT_EQ(Hex(b.Bytes()), expected);
  }
}

TEST(AppendInt32Test, GrowsOnlyBelowTenBytesOfRoomAndKeepsTheContent) {
  Buffer b;
  std::string expected;
  // The first append makes 1024 bytes; the next growth comes at length 1016,
  // the first with less than 10 bytes of room (1016 + 10 > 1024).
  for (int i = 0; i < 256; ++i) {
    const int before = b.capacity;
    const int length = b.length;
    ASSERT_EQ(AppendInt32(&b.data, &b.length, &b.capacity, i, true), length + 4);
    if (before < length + 10) {
      EXPECT_EQ(b.capacity, length + 1024) << i;
    } else {
      EXPECT_EQ(b.capacity, before) << i;
    }
    const char bytes[4] = {0, 0, static_cast<char>(i >> 8), static_cast<char>(i)};
    expected.append(bytes, 4);
  }
  EXPECT_EQ(b.capacity, 1016 + 1024);
  EXPECT_EQ(b.Bytes(), expected);
}

TEST(AppendInt32Test, RefusesWhatCannotGrow) {
  struct Row {
    const char* name;
    int length;
    int capacity;
  } rows[] = {
      {"negative length", -1, 0},
      {"negative capacity", 0, -5},
      {"size beyond the int range", INT_MAX - 100, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Buffer b;
    b.length = row.length;
    b.capacity = row.capacity;
    EXPECT_EQ(AppendInt32(&b.data, &b.length, &b.capacity, 7, false), -1);
    EXPECT_EQ(b.data, nullptr);
    EXPECT_EQ(b.length, row.length);
    EXPECT_EQ(b.capacity, row.capacity);
    b.length = 0;
  }
}

}  // namespace
}  // namespace zhtext
