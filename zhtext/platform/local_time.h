// Converting a time value (seconds since 1970-01-01 00:00:00 UTC) to the
// broken-down local time of the process's time zone. Thread-safe: unlike
// std::localtime it shares no static result between callers.
#ifndef ZHTEXT_PLATFORM_LOCAL_TIME_H_
#define ZHTEXT_PLATFORM_LOCAL_TIME_H_

#include <cstdint>
#include <ctime>

namespace zhtext {
namespace platform {

// Fills `*out` with the local time of `t`. False (and `*out` zeroed) when `t`
// cannot be represented or converted.
bool LocalTime(std::int64_t t, std::tm* out);

}  // namespace platform
}  // namespace zhtext

#endif  // ZHTEXT_PLATFORM_LOCAL_TIME_H_
