#include "zhtext/platform/mutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "zhtext/platform/sleep.h"

namespace zhtext {
namespace platform {
namespace {

using std::chrono::seconds;

// True when a thread that owns a mutex can wait on it again and then give it
// up; a stuck thread is detached and its mutex leaked, so that the remaining
// tests still run.
bool OwnerCanWaitAgain() {
  struct Shared {
    Mutex mutex;
    std::promise<void> done;
  };
  auto* shared = new Shared;
  std::future<void> finished = shared->done.get_future();
  std::thread owner([shared] {
    shared->mutex.Wait();
    shared->mutex.Wait();
    {
      MutexLock third(&shared->mutex);
    }
    shared->mutex.Release();
    shared->mutex.Release();
    shared->done.set_value();
  });
  if (finished.wait_for(seconds(30)) != std::future_status::ready) {
    owner.detach();
    return false;
  }
  owner.join();
  delete shared;
  return true;
}

TEST(MutexTest, OwnerMayWaitAgainWithoutDeadlock) {
  EXPECT_TRUE(OwnerCanWaitAgain()) << "a second Wait by the owner blocked";
}

TEST(MutexTest, NestedWaitsNeedAsManyReleases) {
  if (!OwnerCanWaitAgain()) FAIL() << "a second Wait by the owner blocked";
  Mutex mutex;
  mutex.Wait();
  mutex.Wait();
  mutex.Release();  // still owned once

  std::atomic<bool> acquired{false};
  std::thread other([&] {
    mutex.Wait();
    acquired = true;
    mutex.Release();
  });
  // The other thread has had ample time to take a mutex that was wrongly
  // freed by the first release.
  SleepMilliseconds(100);
  EXPECT_FALSE(acquired.load());
  mutex.Release();
  other.join();
  EXPECT_TRUE(acquired.load());
}

TEST(MutexTest, ExcludesOtherThreads) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 20000;
  Mutex mutex;
  long counter = 0;
  std::atomic<int> inside{0};
  std::atomic<int> overlaps{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kRounds; ++i) {
        MutexLock lock(&mutex);
        if (inside.fetch_add(1) != 0) overlaps.fetch_add(1);
        long seen = counter;
        // Widen the gap between read and write so a lost update shows.
        if (i % 64 == 0) std::this_thread::yield();
        counter = seen + 1;
        inside.fetch_sub(1);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(counter, static_cast<long>(kThreads) * kRounds);
  EXPECT_EQ(overlaps.load(), 0);
}

}  // namespace
}  // namespace platform
}  // namespace zhtext
