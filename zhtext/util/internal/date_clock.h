// Test seam of the date functions: replace the clock that gives "now" to
// NowStamp, TodayNumber, TodayText and FormatNow. Not part of the library's
// interface; only tests call it, and never while other threads read dates.
#ifndef ZHTEXT_UTIL_INTERNAL_DATE_CLOCK_H_
#define ZHTEXT_UTIL_INTERNAL_DATE_CLOCK_H_

#include <cstdint>

namespace zhtext {
namespace internal {

// Returns the current time value (seconds since 1970-01-01 00:00:00 UTC).
using DateClock = std::int64_t (*)();

// "Now" is `clock()` from now on; null restores the system clock.
void SetDateClockForTesting(DateClock clock);

}  // namespace internal
}  // namespace zhtext

#endif  // ZHTEXT_UTIL_INTERNAL_DATE_CLOCK_H_
