#include "zhtext/util/typed_values.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/log_watch.h"
#include "tests/support/time_zone.h"

namespace zhtext {
namespace {

using testing::kZoneUtc;
using testing::ScopedTimeZone;

constexpr std::int64_t k20240105_080309Utc = 1704441789;

// An 8-byte slot filled with junk, then with `value` in its first bytes.
template <typename T>
std::vector<unsigned char> Slot(T value) {
  std::vector<unsigned char> slot(kValueSlotSize, 0xA5);
  std::memcpy(slot.data(), &value, sizeof value);
  return slot;
}

template <typename T>
T Read(const unsigned char* slot) {
  T value;
  std::memcpy(&value, slot, sizeof value);
  return value;
}

TEST(FormatValueTest, Table) {
  ScopedTimeZone zone(kZoneUtc);
  struct Row {
    const char* name;
    std::vector<unsigned char> slot;
    int type;
    std::string expected;
  } rows[] = {
      {"int64 smallest", Slot(INT64_MIN), kValueInt64, "-9223372036854775808"},
      {"int64 above 2^32", Slot(std::int64_t{4294967296}), kValueInt64, "4294967296"},
      {"date-time", Slot(k20240105_080309Utc), kValueDateTime, "2024/01/05 08:03:09"},
      {"date-time zero is empty", Slot(std::int64_t{0}), kValueDateTime, ""},
      {"date-time without local time", Slot(INT64_MAX), kValueDateTime, "NULL"},
      {"float", Slot(1.5f), kValueFloat, "1.500000"},
      {"double", Slot(-2.25), kValueDouble, "-2.250000"},
      {"int32", Slot(std::int32_t{-7}), 0, "-7"},
      // Types other than 3, 4, 5 and 7 read only the first 4 bytes.
      {"int32 of a wider slot", Slot(std::int64_t{4294967297}), 2, "1"},
      {"int32 other code", Slot(std::int32_t{123}), 6, "123"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char out[kValueTextSize];
    EXPECT_EQ(FormatValue(row.slot.data(), out, row.type), out);
    EXPECT_EQ(std::string(out), row.expected);
  }
}

// The longest text of any value fits the documented buffer, which is all
// the function writes.
TEST(FormatValueTest, LongestDoubleFits) {
  std::vector<char> out(kValueTextSize + 16, 'x');
  const auto slot = Slot(-DBL_MAX);
  FormatValue(slot.data(), out.data(), kValueDouble);
  const std::string text(out.data());
  EXPECT_EQ(text.size(), 317u);
  EXPECT_EQ(text.substr(0, 4), "-179");
  EXPECT_EQ(text.substr(text.size() - 7), ".000000");
  for (std::size_t i = kValueTextSize; i < out.size(); ++i) EXPECT_EQ(out[i], 'x');
}

class ParseValueTest : public ::testing::Test {
 protected:
  testing::FixedLogClock clock_;
};

TEST_F(ParseValueTest, Table) {
  ScopedTimeZone zone(kZoneUtc);
  struct Row {
    const char* name;
    const char* text;
    int type;
    std::vector<unsigned char> expected;  // all 8 bytes
  } rows[] = {
      {"quoted int", "\"42", 0, Slot<std::int64_t>(42)},
      {"int", "-17", 1, Slot<std::int64_t>(0xFFFFFFEF)},  // the upper 4 bytes stay 0
      {"int with trailing text", "12abc", 2, Slot<std::int64_t>(12)},
      {"not a number", "abc", 0, Slot<std::int64_t>(0)},
      {"empty", "", 0, Slot<std::int64_t>(0)},
      {"only a quote", "\"", kValueInt64, Slot<std::int64_t>(0)},
      {"int64", "4294967296", kValueInt64, Slot<std::int64_t>(4294967296)},
      {"int64 negative", "-9223372036854775808", kValueInt64, Slot(INT64_MIN)},
      {"float", "2.5", kValueFloat, Slot<std::int64_t>(0x40200000)},  // 2.5f, then zeros
      {"double", "-1e300", kValueDouble, Slot(-1e300)},
      {"date-time", "2024-01-05 08:03:09", kValueDateTime, Slot(k20240105_080309Utc)},
      {"quoted date-time", "\"2024/01/05 08:03:09", kValueDateTime, Slot(k20240105_080309Utc)},
      {"empty date-time", "", kValueDateTime, Slot<std::int64_t>(0)},
      {"null", nullptr, kValueDouble, Slot<std::int64_t>(0)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<unsigned char> slot(kValueSlotSize, 0xFF);
    EXPECT_EQ(ParseValue(row.text, slot.data(), row.type), slot.data());
    EXPECT_EQ(slot, row.expected);
  }
}

TEST_F(ParseValueTest, UnreadableDateIsMinusOneAndLogged) {
  testing::LogWatch watch;
  unsigned char slot[kValueSlotSize];
  ParseValue("\"2024", slot, kValueDateTime);
  EXPECT_EQ(Read<std::int64_t>(slot), -1);
  EXPECT_EQ(watch.Err(), (std::vector<std::string>{"strDateStr[2024] err ", ""}));
}

// Integers and dates come back from their text unchanged.
TEST_F(ParseValueTest, FormattedValuesReadBack) {
  ScopedTimeZone zone(testing::kZoneBerlin);
  struct Row {
    const char* name;
    std::vector<unsigned char> slot;
    int type;
  } rows[] = {
      {"int64 max", Slot(INT64_MAX), kValueInt64},
      {"int64 min", Slot(INT64_MIN), kValueInt64},
      {"int32 min", Slot<std::int64_t>(0x80000000), 0},
      {"summer date", Slot<std::int64_t>(1719828000), kValueDateTime},
      {"winter date", Slot<std::int64_t>(1704411000), kValueDateTime},
      {"double", Slot(0.5), kValueDouble},
      {"float", Slot<std::int64_t>(0x40200000), kValueFloat},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char text[kValueTextSize];
    FormatValue(row.slot.data(), text, row.type);
    std::vector<unsigned char> back(kValueSlotSize, 0xFF);
    ParseValue(text, back.data(), row.type);
    EXPECT_EQ(CompareValues(back.data(), row.slot.data(), row.type), 0) << text;
  }
}

TEST(CompareTextsTest, Table) {
  struct Row {
    const char* name;
    const char* a;
    const char* b;
    int type;
    int expected;
  } rows[] = {
      {"numeric with type 2", "10", "9", 2, 1},
      {"text with type 1", "10", "9", 1, -1},
      {"text with type 0", "10", "9", 0, -1},
      {"int64", "4294967296", "4294967297", kValueInt64, -1},
      {"int64 against its text order", "-5", "-10", kValueInt64, 1},
      {"float equal texts", "1.5", "1.50", kValueFloat, 0},
      {"double", "1e-3", "0.01", kValueDouble, -1},
      {"double NaN", "nan", "1", kValueDouble, 1},
      {"quoted numbers", "\"7", "7", 2, 0},
      // Dates compare as text: 1 sorts after 0.
      {"dates as text", "2024/1/5", "2024/01/05", kValueDateTime, 1},
      {"equal texts", "abc", "abc", 1, 0},
      {"prefix first", "ab", "abc", 1, -1},
      // Unsigned bytes: B0 is above 'a'.
      {"unsigned bytes", "\xB0", "a", 1, 1},
      {"null as empty", nullptr, "", 1, 0},
      {"null against text", nullptr, "a", 6, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CompareTexts(row.a, row.b, row.type), row.expected);
  }
}

}  // namespace
}  // namespace zhtext
