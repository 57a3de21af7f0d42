// Dates and times as text: the current time or a stored time value in the
// library's fixed layouts, and date-time text read back into a time value.
//
// A time value is a count of seconds since 1970-01-01 00:00:00 UTC (64-bit).
// Every layout shows local time, in the time zone of the process (TZ on
// POSIX); text is read back with mktime, which is told nothing about
// daylight saving time (tm_isdst = -1), so the C library decides it from the
// date as a clock on the wall would.
//
// Layouts (fields zero-padded unless marked %d):
//   stamp              20240105080309         (%04d%02d%02d%02d%02d%02d)
//   day                20240105
//   ISO minutes        2024-01-05T08:03
//   full               2024-01-05 08:03:09
//   slashed            2024/01/05 08:03:09
//   Chinese date       2024年1月5日            (month and day %d)
//   Chinese date-time  2024年1月5日 08:03:09
// The Chinese markers 年 月 日 (and, when reading, 时 分 秒) are written and
// read as UTF-8 (E5 B9 B4, E6 9C 88, E6 97 A5; E6 97 B6, E5 88 86, E7 A7 92),
// not as GBK, although the rest of the library works in GBK.
//
// Failures: ParseDateTime writes "strDateStr[<text>] err \n" to the error
// log (zhtext/util/log.h) and returns -1; FormatTime writes "NULL" for a time
// that has no local time. Nothing else is reported.
//
// Concurrency: every function may run on any thread (local time is taken
// with the platform's re-entrant conversion). Changing TZ while another
// thread formats or parses is the host's race, as with the C library.
#ifndef ZHTEXT_UTIL_DATE_TIME_H_
#define ZHTEXT_UTIL_DATE_TIME_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace zhtext {

// The buffer sizes NowStamp and FormatTime rely on.
inline constexpr std::size_t kStampSize = 15;
inline constexpr std::size_t kTimeTextSize = 32;

// `out` = the stamp layout of the current time.
// REQUIRES: `out` holds kStampSize bytes.
void NowStamp(char* out);

// year * 10000 + month * 100 + day of the current local date (20240105).
int TodayNumber();

// The day layout of the current date ("20240105").
std::string TodayText();

// The ISO minutes layout of `time` when `isoMinutes` is set, else the full
// layout; "NULL" when `time` has no local time.
std::string FormatDateTime(std::int64_t time, bool isoMinutes);

// FormatDateTime of the current time.
std::string FormatNow(bool isoMinutes);

// Writes `*time` into `out` and returns `out`: an empty text for a time of 0
// (or a null pointer), "NULL" when it has no local time, the slashed layout
// without `chinese`; with `chinese`, the Chinese date when hour, minute and
// second are all 0, else the Chinese date-time. Years beyond the buffer
// (ten digits) are cut to fit.
// REQUIRES: `out` holds kTimeTextSize bytes.
char* FormatTime(const std::int64_t* time, char* out, bool chinese);

// Reads a numeric date with '-' or '/' ("2024-1-5 8:3:9", "2024/01/05_08:03:09",
// "2024-01-05"), or failing that a Chinese date, into a time value:
//  - null or empty text: 0;
//  - the separator is '-' when the text holds one, else '/'; with neither,
//    ParseChineseDateTime decides, and a result above 0 is returned;
//  - year, month and day are the numbers at the start and after each of the
//    two separators (a missing second separator is a failure); the time
//    starts at the first SPACE after the second separator or, failing that,
//    at the first '_' after it, and gives hour, then minute and second after
//    the next two ':' (missing parts are 0);
//  - numbers are read as atoi reads them (leading blanks, a sign, digits; 0
//    when none; beyond the int range they saturate), and out-of-range fields
//    are normalised by mktime.
// Failure: "strDateStr[<text>] err \n" goes to the error log; -1.
std::int64_t ParseDateTime(const char* text);

// Reads a UTF-8 Chinese date-time: the markers 年 月 日 时 分 秒 are looked
// for in this order from a cursor at the start; for a marker found at or
// after the cursor the field is the number (atoi) at the cursor, and the
// cursor moves past the marker; a missing marker leaves its field 0. The
// fields go to mktime as they are: "2024年1月5日" is midnight of that day,
// "2024年5日" is 5 December 2023 (month 0). A null text reads as empty.
std::int64_t ParseChineseDateTime(const char* text);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_DATE_TIME_H_
