#include "zhtext/platform/sleep.h"

#include <sched.h>
#include <time.h>

#include <cerrno>

namespace zhtext {
namespace platform {

void SleepMilliseconds(unsigned milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  timespec request;
  request.tv_sec = milliseconds / 1000;
  request.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
  while (nanosleep(&request, &request) != 0 && errno == EINTR) {
  }
}

}  // namespace platform
}  // namespace zhtext
