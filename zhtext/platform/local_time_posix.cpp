#include "zhtext/platform/local_time.h"

#include <time.h>

#include <cstring>
#include <limits>

namespace zhtext {
namespace platform {

bool LocalTime(std::int64_t t, std::tm* out) {
  std::memset(out, 0, sizeof(*out));
  if (t < static_cast<std::int64_t>(std::numeric_limits<time_t>::min()) ||
      t > static_cast<std::int64_t>(std::numeric_limits<time_t>::max())) {
    return false;
  }
  time_t value = static_cast<time_t>(t);
  if (localtime_r(&value, out) == nullptr) {
    std::memset(out, 0, sizeof(*out));
    return false;
  }
  return true;
}

}  // namespace platform
}  // namespace zhtext
