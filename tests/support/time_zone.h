// Pinning the process's time zone in a test: a ScopedTimeZone sets TZ (and
// calls tzset) for its lifetime and restores the previous setting after, so
// date tests give the same results on any machine. Zones are POSIX TZ
// rules, which the C library reads without a zone database:
//   kZoneUtc       UTC
//   kZoneShanghai  UTC+8, no daylight saving time
//   kZoneBerlin    UTC+1, summer time UTC+2 from the last Sunday of March
//                  02:00 to the last Sunday of October 03:00
//   kZoneNewYork   UTC-5, summer time UTC-4 from the second Sunday of March
//                  to the first Sunday of November, both at 02:00
// Tests that use it must not run date functions on other threads meanwhile.
#ifndef ZHTEXT_TESTS_SUPPORT_TIME_ZONE_H_
#define ZHTEXT_TESTS_SUPPORT_TIME_ZONE_H_

#include <string>

namespace zhtext {
namespace testing {

inline constexpr const char* kZoneUtc = "UTC0";
inline constexpr const char* kZoneShanghai = "CST-8";
inline constexpr const char* kZoneBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";
inline constexpr const char* kZoneNewYork = "EST5EDT,M3.2.0,M11.1.0";

class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone);
  ~ScopedTimeZone();
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  bool had_;
  std::string previous_;
};

}  // namespace testing
}  // namespace zhtext

#endif  // ZHTEXT_TESTS_SUPPORT_TIME_ZONE_H_
