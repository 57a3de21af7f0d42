// Suspends the calling thread. Safe on any thread; other threads run on.
#ifndef ZHTEXT_PLATFORM_SLEEP_H_
#define ZHTEXT_PLATFORM_SLEEP_H_

namespace zhtext {
namespace platform {

// Sleeps for at least `milliseconds` ms (0 yields the processor).
void SleepMilliseconds(unsigned milliseconds);

}  // namespace platform
}  // namespace zhtext

#endif  // ZHTEXT_PLATFORM_SLEEP_H_
