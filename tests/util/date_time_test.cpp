#include "zhtext/util/date_time.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/log_watch.h"
#include "tests/support/time_zone.h"
#include "zhtext/util/internal/date_clock.h"

namespace zhtext {
namespace {

using testing::kZoneBerlin;
using testing::kZoneNewYork;
using testing::kZoneShanghai;
using testing::kZoneUtc;
using testing::ScopedTimeZone;

// The markers as their UTF-8 bytes, so the expected texts are byte for byte.
const std::string kNian = "\xE5\xB9\xB4";  // 年
const std::string kYue = "\xE6\x9C\x88";   // 月
const std::string kRi = "\xE6\x97\xA5";    // 日
const std::string kShi = "\xE6\x97\xB6";   // 时
const std::string kFen = "\xE5\x88\x86";   // 分
const std::string kMiao = "\xE7\xA7\x92";  // 秒

constexpr std::int64_t k20240105_080309Utc = 1704441789;

std::atomic<std::int64_t> g_now{0};
std::int64_t FixedClock() { return g_now.load(); }

class DateClockTest : public ::testing::Test {
 protected:
  void SetUp() override { internal::SetDateClockForTesting(&FixedClock); }
  void TearDown() override { internal::SetDateClockForTesting(nullptr); }
};

TEST_F(DateClockTest, CurrentTimeInEveryLayout) {
  struct Row {
    const char* name;
    const char* zone;
    std::int64_t now;
    const char* stamp;
    int today;
    const char* full;
    const char* iso;
  } rows[] = {
      {"UTC", kZoneUtc, k20240105_080309Utc, "20240105080309", 20240105, "2024-01-05 08:03:09",
       "2024-01-05T08:03"},
      {"Shanghai", kZoneShanghai, k20240105_080309Utc - 8 * 3600, "20240105080309", 20240105,
       "2024-01-05 08:03:09", "2024-01-05T08:03"},
      // 23:30 UTC on the 4th is already the 5th in Berlin.
      {"local date, not UTC", kZoneBerlin, 1704411000, "20240105003000", 20240105,
       "2024-01-05 00:30:00", "2024-01-05T00:30"},
      {"summer time", kZoneBerlin, 1719828000, "20240701120000", 20240701, "2024-07-01 12:00:00",
       "2024-07-01T12:00"},
      {"before 1970", kZoneUtc, -1, "19691231235959", 19691231, "1969-12-31 23:59:59",
       "1969-12-31T23:59"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScopedTimeZone zone(row.zone);
    g_now = row.now;
    char stamp[kStampSize];
    NowStamp(stamp);
    EXPECT_STREQ(stamp, row.stamp);
    EXPECT_EQ(TodayNumber(), row.today);
    EXPECT_EQ(TodayText(), std::string(row.stamp, 8));
    EXPECT_EQ(FormatNow(false), row.full);
    EXPECT_EQ(FormatNow(true), row.iso);
    EXPECT_EQ(FormatDateTime(row.now, false), row.full);
    EXPECT_EQ(FormatDateTime(row.now, true), row.iso);
  }
}

TEST(FormatDateTimeTest, TimeWithoutLocalTime) {
  ScopedTimeZone zone(kZoneUtc);
  EXPECT_EQ(FormatDateTime(INT64_MAX, false), "NULL");
  EXPECT_EQ(FormatDateTime(0, false), "1970-01-01 00:00:00");
}

TEST(FormatTimeTest, Table) {
  struct Row {
    const char* name;
    const char* zone;
    std::int64_t time;
    bool chinese;
    std::string expected;
  } rows[] = {
      {"zero is empty", kZoneUtc, 0, false, ""},
      {"zero is empty in Chinese", kZoneUtc, 0, true, ""},
      {"slashed", kZoneUtc, k20240105_080309Utc, false, "2024/01/05 08:03:09"},
      {"Chinese date-time", kZoneUtc, k20240105_080309Utc, true,
       "2024" + kNian + "1" + kYue + "5" + kRi + " 08:03:09"},
      // Exactly midnight: the date alone; one second later, the time too.
      {"Chinese midnight", kZoneShanghai, 1704384000, true,
       "2024" + kNian + "1" + kYue + "5" + kRi},
      {"Chinese one second later", kZoneShanghai, 1704384001, true,
       "2024" + kNian + "1" + kYue + "5" + kRi + " 00:00:01"},
      {"Chinese two-digit month and day", kZoneUtc, 1734998400, true,
       "2024" + kNian + "12" + kYue + "24" + kRi},
      {"no local time", kZoneUtc, INT64_MAX, false, "NULL"},
      {"no local time in Chinese", kZoneUtc, INT64_MAX, true, "NULL"},
      {"before 1970", kZoneUtc, -86400, false, "1969/12/31 00:00:00"},
      // Berlin moves from 02:00 CET to 03:00 CEST on 31 March 2024 and back
      // from 03:00 CEST to 02:00 CET on 27 October.
      {"last second of winter time", kZoneBerlin, 1711846799, false, "2024/03/31 01:59:59"},
      {"first second of summer time", kZoneBerlin, 1711846800, false, "2024/03/31 03:00:00"},
      {"last second of summer time", kZoneBerlin, 1729990799, false, "2024/10/27 02:59:59"},
      {"winter time again", kZoneBerlin, 1729990800, false, "2024/10/27 02:00:00"},
      {"New York back to standard time", kZoneNewYork, 1730613600, false, "2024/11/03 01:00:00"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScopedTimeZone zone(row.zone);
    char out[kTimeTextSize];
    std::fill(out, out + kTimeTextSize, 'x');
    EXPECT_EQ(FormatTime(&row.time, out, row.chinese), out);
    EXPECT_EQ(std::string(out), row.expected);
  }
  char out[kTimeTextSize] = "stale";
  EXPECT_STREQ(FormatTime(nullptr, out, false), "");
}

class ParseDateTimeTest : public ::testing::Test {
 protected:
  testing::FixedLogClock clock_;
};

TEST_F(ParseDateTimeTest, Table) {
  const std::int64_t kMidnight = 1704384000;  // 2024-01-05 00:00:00 in Shanghai
  const std::int64_t k080309 = kMidnight + 8 * 3600 + 3 * 60 + 9;
  struct Row {
    const char* name;
    const char* zone;
    std::string text;
    std::int64_t expected;
  } rows[] = {
      {"unpadded with '-'", kZoneShanghai, "2024-1-5 8:3:9", k080309},
      {"padded with '/' and '_'", kZoneShanghai, "2024/01/05_08:03:09", k080309},
      {"date only", kZoneShanghai, "2024-01-05", kMidnight},
      {"full layout", kZoneShanghai, "2024-01-05 08:03:09", k080309},
      {"slashed layout", kZoneShanghai, "2024/01/05 08:03:09", k080309},
      {"hour only", kZoneShanghai, "2024-01-05 08", kMidnight + 8 * 3600},
      {"hour and minute", kZoneShanghai, "2024-01-05 08:03", kMidnight + 8 * 3600 + 180},
      {"leading blanks as atoi skips them", kZoneShanghai, " 2024- 1-\t5", kMidnight},
      {"'-' wins over '/'", kZoneShanghai, "2024-01-05 08/09", kMidnight + 8 * 3600},
      {"month 13 is normalised", kZoneShanghai, "2024-13-01", 1735660800},
      {"30 February is 1 March", kZoneShanghai, "2024-02-30", 1709222400},
      {"Chinese date without separators", kZoneShanghai, "2024" + kNian + "1" + kYue + "5" + kRi,
       kMidnight},
      // The '_' of 81 5F is the second byte of a character, not the start
      // of a time.
      {"no time on a second byte", kZoneShanghai,
       "2024-01-05\x81\x5F"
       "08",
       kMidnight},
      {"empty", kZoneShanghai, "", 0},
      // mktime is told nothing of daylight saving time: a summer date is
      // read as summer time.
      {"summer time", kZoneBerlin, "2024-07-01 12:00:00", 1719828000},
      {"winter time", kZoneBerlin, "2024-01-05 00:30:00", 1704411000},
      {"just before the change", kZoneBerlin, "2024-03-31 01:59:59", 1711846799},
      {"just after the change", kZoneBerlin, "2024-03-31 03:00:00", 1711846800},
      {"New York summer", kZoneNewYork, "2024-07-04 12:00:00", 1720108800},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScopedTimeZone zone(row.zone);
    testing::LogWatch watch;
    EXPECT_EQ(ParseDateTime(row.text.c_str()), row.expected);
    EXPECT_TRUE(watch.ErrText().empty());
  }
  EXPECT_EQ(ParseDateTime(nullptr), 0);
}

TEST_F(ParseDateTimeTest, UnreadableTextsAreLogged) {
  ScopedTimeZone zone(kZoneShanghai);
  const std::string longText(3000, '7');
  struct Row {
    const char* name;
    std::string text;
  } rows[] = {
      {"no separator, no markers", "2024"},
      {"one separator", "2024-01"},
      {"one slash", "2024/01"},
      {"words", "abc"},
      // Longer than any fixed message buffer: logged whole.
      {"long text", longText},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::LogWatch watch;
    EXPECT_EQ(ParseDateTime(row.text.c_str()), -1);
    // The message ends in a SPACE and a line feed, so the entry is followed
    // by an empty line.
    EXPECT_EQ(watch.Err(), (std::vector<std::string>{"strDateStr[" + row.text + "] err ", ""}));
    EXPECT_TRUE(watch.LogText().empty());
  }
}

TEST_F(ParseDateTimeTest, NumbersBeyondTheIntRangeSaturate) {
  ScopedTimeZone zone(kZoneUtc);
  EXPECT_EQ(ParseDateTime("2024-01-99999999999999999999"), ParseDateTime("2024-01-2147483647"));
  EXPECT_EQ(ParseDateTime("99999999999999999999-01-01"), ParseDateTime("2147483647-01-01"));
}

// Every time formatted and read back is the same time, in zones with and
// without daylight saving time, across each change of 2024; in the hour
// that a change back repeats, the wall clock read back is the same.
TEST_F(ParseDateTimeTest, FormattedTimesReadBack) {
  struct Change {
    const char* zone;
    std::int64_t at;
  } changes[] = {{kZoneBerlin, 1711846800},   {kZoneBerlin, 1729990800},
                 {kZoneNewYork, 1710054000},  {kZoneNewYork, 1730613600},
                 {kZoneShanghai, 1704384000}, {kZoneUtc, 0}};
  for (const Change& change : changes) {
    ScopedTimeZone zone(change.zone);
    for (std::int64_t t = change.at - 3 * 3600 + 1; t < change.at + 3 * 3600; t += 599) {
      SCOPED_TRACE(std::string(change.zone) + " at " + std::to_string(t));
      char text[kTimeTextSize];
      char before[kTimeTextSize];
      char after[kTimeTextSize];
      const std::int64_t earlier = t - 3600;
      const std::int64_t later = t + 3600;
      FormatTime(&t, text, false);
      FormatTime(&earlier, before, false);
      FormatTime(&later, after, false);
      const std::int64_t back = ParseDateTime(text);
      char again[kTimeTextSize];
      FormatTime(&back, again, false);
      EXPECT_STREQ(again, text);
      const bool repeated = std::string(before) == text || std::string(after) == text;
      if (!repeated && t != 0) {
        EXPECT_EQ(back, t);
      }
    }
  }
}

TEST(ParseChineseDateTimeTest, Table) {
  ScopedTimeZone zone(kZoneShanghai);
  const std::int64_t kMidnight = 1704384000;  // 2024-01-05 00:00:00
  struct Row {
    const char* name;
    std::string text;
    std::int64_t expected;
  } rows[] = {
      {"date", "2024" + kNian + "1" + kYue + "5" + kRi, kMidnight},
      {"padded date", "2024" + kNian + "01" + kYue + "05" + kRi, kMidnight},
      {"date and time",
       "2024" + kNian + "1" + kYue + "5" + kRi + "8" + kShi + "3" + kFen + "9" + kMiao,
       kMidnight + 8 * 3600 + 3 * 60 + 9},
      // Month 0 is December of the year before.
      {"missing month", "2024" + kNian + "5" + kRi, 1701705600},
      // The clock of the written Chinese date-time has no markers.
      {"written date-time reads as its date", "2024" + kNian + "1" + kYue + "5" + kRi + " 08:03:09",
       kMidnight},
      {"minutes without hours", "2024" + kNian + "1" + kYue + "5" + kRi + "30" + kFen,
       kMidnight + 30 * 60},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ParseChineseDateTime(row.text.c_str()), row.expected);
  }
  // No marker at all: every field 0, year 0 of the calendar, long before
  // 1970.
  EXPECT_LT(ParseChineseDateTime("2024"), 0);
  EXPECT_EQ(ParseChineseDateTime(nullptr), ParseChineseDateTime(""));
}

}  // namespace
}  // namespace zhtext
