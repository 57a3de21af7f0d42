#include "zhtext/platform/sleep.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>

#include <chrono>
#include <cstring>

namespace zhtext {
namespace platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Only lower bounds are checked: a loaded machine may always sleep longer.
TEST(SleepTest, SleepsAtLeastTheTimeAsked) {
  for (unsigned ms : {1u, 2u, 25u}) {
    SCOPED_TRACE(ms);
    Clock::time_point start = Clock::now();
    SleepMilliseconds(ms);
    EXPECT_GE(Clock::now() - start, milliseconds(ms));
  }
}

TEST(SleepTest, ZeroReturns) { SleepMilliseconds(0); }

volatile sig_atomic_t g_alarms = 0;
void CountAlarm(int) { g_alarms = g_alarms + 1; }

TEST(SleepTest, SignalDoesNotCutTheSleepShort) {
  struct sigaction handler;
  std::memset(&handler, 0, sizeof handler);
  handler.sa_handler = CountAlarm;  // no SA_RESTART: the sleep sees EINTR
  struct sigaction previous;
  ASSERT_EQ(sigaction(SIGALRM, &handler, &previous), 0);
  itimerval timer;
  std::memset(&timer, 0, sizeof timer);
  timer.it_value.tv_usec = 10 * 1000;
  g_alarms = 0;
  ASSERT_EQ(setitimer(ITIMER_REAL, &timer, nullptr), 0);

  Clock::time_point start = Clock::now();
  SleepMilliseconds(80);
  Clock::duration slept = Clock::now() - start;

  std::memset(&timer, 0, sizeof timer);
  setitimer(ITIMER_REAL, &timer, nullptr);
  sigaction(SIGALRM, &previous, nullptr);
  EXPECT_EQ(g_alarms, 1);
  EXPECT_GE(slept, milliseconds(80));
}

}  // namespace
}  // namespace platform
}  // namespace zhtext
