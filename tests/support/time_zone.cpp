#include "tests/support/time_zone.h"

#include <cstdlib>
#include <ctime>

namespace zhtext {
namespace testing {

namespace {

void SetZone(const char* zone) {
#ifdef _WIN32
  _putenv_s("TZ", zone != nullptr ? zone : "");
  _tzset();
#else
  if (zone != nullptr) {
    setenv("TZ", zone, 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
#endif
}

}  // namespace

ScopedTimeZone::ScopedTimeZone(const char* zone) {
  const char* current = std::getenv("TZ");
  had_ = current != nullptr;
  if (had_) previous_ = current;
  SetZone(zone);
}

ScopedTimeZone::~ScopedTimeZone() { SetZone(had_ ? previous_.c_str() : nullptr); }

}  // namespace testing
}  // namespace zhtext
