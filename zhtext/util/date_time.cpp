#include "zhtext/util/date_time.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>

#include "zhtext/platform/local_time.h"
#include "zhtext/util/internal/date_clock.h"
#include "zhtext/util/internal/gbk_find.h"
#include "zhtext/util/log.h"

namespace zhtext {

namespace {

// The Chinese markers, in UTF-8.
constexpr const char* kYear = "\xE5\xB9\xB4";    // 年
constexpr const char* kMonth = "\xE6\x9C\x88";   // 月
constexpr const char* kDay = "\xE6\x97\xA5";     // 日
constexpr const char* kHour = "\xE6\x97\xB6";    // 时
constexpr const char* kMinute = "\xE5\x88\x86";  // 分
constexpr const char* kSecond = "\xE7\xA7\x92";  // 秒

std::int64_t SystemClock() { return static_cast<std::int64_t>(std::time(nullptr)); }

std::atomic<internal::DateClock> g_clock{&SystemClock};

std::int64_t Now() { return g_clock.load()(); }

// Local time of `t`; false (with a zeroed tm) when it has none.
bool Local(std::int64_t t, std::tm* tm) { return platform::LocalTime(t, tm); }

// In long long: a year near the int range's end stays exact.
inline long long Year(const std::tm& tm) { return static_cast<long long>(tm.tm_year) + 1900; }
inline int Month(const std::tm& tm) { return tm.tm_mon + 1; }

int Saturate(std::int64_t v) {
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

bool IsAtoiBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The number at `p` as atoi reads it, saturated to the int range instead of
// undefined beyond it.
int ReadNumber(const char* p) {
  while (IsAtoiBlank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  std::int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (value <= std::int64_t{1} << 40) value = value * 10 + (*p - '0');
  }
  return Saturate(negative ? -value : value);
}

// mktime of the fields as written (month from 1, year in full), daylight
// saving time left to the C library.
std::int64_t MakeTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm = {};
  tm.tm_year = Saturate(static_cast<std::int64_t>(year) - 1900);
  tm.tm_mon = Saturate(static_cast<std::int64_t>(month) - 1);
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&tm));
}

// Formatted text of any fields, before it is cut to a caller's buffer.
struct Text {
  char bytes[112];
};

// Copies `text` into `out` of `size` bytes, cut to fit.
void CopyCut(const Text& text, char* out, std::size_t size) {
  std::size_t n = std::strlen(text.bytes);
  if (n >= size) n = size - 1;
  std::memcpy(out, text.bytes, n);
  out[n] = '\0';
}

}  // namespace

namespace internal {

void SetDateClockForTesting(DateClock clock) { g_clock.store(clock ? clock : &SystemClock); }

}  // namespace internal

void NowStamp(char* out) {
  std::tm tm;
  Local(Now(), &tm);
  Text text;
  std::snprintf(text.bytes, sizeof text.bytes, "%04lld%02d%02d%02d%02d%02d", Year(tm), Month(tm),
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  CopyCut(text, out, kStampSize);
}

int TodayNumber() {
  std::tm tm;
  Local(Now(), &tm);
  return static_cast<int>(Year(tm) * 10000 + Month(tm) * 100 + tm.tm_mday);
}

std::string TodayText() {
  std::tm tm;
  Local(Now(), &tm);
  Text text;
  std::snprintf(text.bytes, sizeof text.bytes, "%04lld%02d%02d", Year(tm), Month(tm), tm.tm_mday);
  return text.bytes;
}

std::string FormatDateTime(std::int64_t time, bool isoMinutes) {
  std::tm tm;
  if (!Local(time, &tm)) return "NULL";
  Text text;
  if (isoMinutes) {
    std::snprintf(text.bytes, sizeof text.bytes, "%04lld-%02d-%02dT%02d:%02d", Year(tm), Month(tm),
                  tm.tm_mday, tm.tm_hour, tm.tm_min);
  } else {
    std::snprintf(text.bytes, sizeof text.bytes, "%04lld-%02d-%02d %02d:%02d:%02d", Year(tm),
                  Month(tm), tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  }
  return text.bytes;
}

std::string FormatNow(bool isoMinutes) { return FormatDateTime(Now(), isoMinutes); }

char* FormatTime(const std::int64_t* time, char* out, bool chinese) {
  out[0] = '\0';
  if (time == nullptr || *time == 0) return out;
  std::tm tm;
  Text text;
  if (!Local(*time, &tm)) {
    std::snprintf(text.bytes, sizeof text.bytes, "NULL");
  } else if (!chinese) {
    std::snprintf(text.bytes, sizeof text.bytes, "%04lld%s%02d%s%02d %02d:%02d:%02d", Year(tm), "/",
                  Month(tm), "/", tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  } else if (tm.tm_hour == 0 && tm.tm_min == 0 && tm.tm_sec == 0) {
    std::snprintf(text.bytes, sizeof text.bytes, "%04lld%s%d%s%d%s", Year(tm), kYear, Month(tm),
                  kMonth, tm.tm_mday, kDay);
  } else {
    std::snprintf(text.bytes, sizeof text.bytes, "%04lld%s%d%s%d%s %02d:%02d:%02d", Year(tm), kYear,
                  Month(tm), kMonth, tm.tm_mday, kDay, tm.tm_hour, tm.tm_min, tm.tm_sec);
  }
  CopyCut(text, out, kTimeTextSize);
  return out;
}

std::int64_t ParseDateTime(const char* text) {
  if (text == nullptr || text[0] == '\0') return 0;
  // '-', '/', ' ' and ':' lie below 0x40, where no second byte of a GBK
  // character lies; '_' does not, and is looked for by characters.
  const char separator =
      std::strchr(text, '-') != nullptr ? '-' : (std::strchr(text, '/') != nullptr ? '/' : '\0');
  if (separator == '\0') {
    std::int64_t t = ParseChineseDateTime(text);
    if (t > 0) return t;
  } else {
    const char* first = std::strchr(text, separator);
    const char* second = std::strchr(first + 1, separator);
    if (second != nullptr) {
      const int year = ReadNumber(text);
      const int month = ReadNumber(first + 1);
      const int day = ReadNumber(second + 1);
      int hour = 0;
      int minute = 0;
      int sec = 0;
      const char* clock = std::strchr(second + 1, ' ');
      if (clock == nullptr)
        clock = internal::FindGbkByte(second + 1, [](char c) { return c == '_'; });
      if (clock != nullptr) {
        hour = ReadNumber(clock + 1);
        if (const char* colon = std::strchr(clock + 1, ':')) {
          minute = ReadNumber(colon + 1);
          if (const char* next = std::strchr(colon + 1, ':')) sec = ReadNumber(next + 1);
        }
      }
      return MakeTime(year, month, day, hour, minute, sec);
    }
  }
  std::string message = "strDateStr[";
  message += text;
  message += "] err \n";
  WriteErrorLog(std::move(message));
  return -1;
}

std::int64_t ParseChineseDateTime(const char* text) {
  if (text == nullptr) text = "";
  const char* const markers[6] = {kYear, kMonth, kDay, kHour, kMinute, kSecond};
  int fields[6] = {};
  const char* cursor = text;
  for (int i = 0; i < 6; ++i) {
    if (const char* at = std::strstr(cursor, markers[i])) {
      fields[i] = ReadNumber(cursor);
      cursor = at + std::strlen(markers[i]);
    }
  }
  return MakeTime(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]);
}

}  // namespace zhtext
