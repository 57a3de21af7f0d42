#include "zhtext/util/deferred_free_list.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace zhtext {
namespace {

// Records every buffer the list releases. The buffers are deleted only when
// the log is cleared, so that no address is reused while a test runs and a
// count of 2 means a buffer really was released twice.
class ReleaseLog {
 public:
  static void Release(char* buffer) { Instance().Record(buffer); }

  static ReleaseLog& Instance() {
    static ReleaseLog log;
    return log;
  }

  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& entry : counts_) delete[] entry.first;
    counts_.clear();
    order_.clear();
  }

  // How often `buffer` was released.
  int Count(const char* buffer) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = counts_.find(const_cast<char*>(buffer));
    return found == counts_.end() ? 0 : found->second;
  }

  std::size_t Total() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return order_.size();
  }

  // The buffers in the order they were released.
  std::vector<const char*> Order() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return order_;
  }

 private:
  void Record(char* buffer) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++counts_[buffer];
    order_.push_back(buffer);
  }

  mutable std::mutex mutex_;
  std::unordered_map<char*, int> counts_;
  std::vector<const char*> order_;
};

class DeferredFreeListTest : public ::testing::Test {
 protected:
  void SetUp() override { ReleaseLog::Instance().Clear(); }
  void TearDown() override { ReleaseLog::Instance().Clear(); }
  ReleaseLog& released() { return ReleaseLog::Instance(); }
};

TEST_F(DeferredFreeListTest, PeriodicTrimReleasesTheOldestInBatches) {
  struct Row {
    const char* name;
    std::size_t adds;
    std::size_t released;  // the oldest this many are gone
    std::size_t held;
  };
  const Row rows[] = {
      {"below the start", 19999, 0, 19999},
      {"at the start", 20000, 0, 20000},
      {"one over: checked before adding", 20001, 0, 20001},
      {"two over: the oldest batch goes", 20002, 10000, 10002},
      {"one more after the trim", 20003, 10000, 10003},
      {"up to the start again", 30001, 10000, 20001},
      {"the second batch", 30002, 20000, 10002},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    released().Clear();
    std::vector<char*> buffers;
    {
      CDeferredFreeList list(&ReleaseLog::Release);
      for (std::size_t i = 0; i < row.adds; ++i) {
        char* buffer = new char[1];
        buffers.push_back(buffer);
        ASSERT_EQ(list.Add(buffer), buffer);
      }
      EXPECT_EQ(list.GetCount(), row.held);
      ASSERT_EQ(released().Total(), row.released);
      const std::vector<const char*> order = released().Order();
      for (std::size_t i = 0; i < row.released; ++i) {
        ASSERT_EQ(order[i], buffers[i]) << "release " << i;
      }
    }
    // Destruction releases the rest, each once.
    EXPECT_EQ(released().Total(), row.adds);
    for (char* buffer : buffers) ASSERT_EQ(released().Count(buffer), 1);
  }
}

TEST_F(DeferredFreeListTest, FullTrim) {
  {
    CDeferredFreeList list(&ReleaseLog::Release);
    list.Trim(true);  // empty: nothing happens
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_EQ(released().Total(), 0u);

    std::vector<char*> buffers;
    for (int i = 0; i < 5; ++i) buffers.push_back(list.Add(new char[4]));
    list.Trim(true);
    EXPECT_EQ(released().Total(), 5u);
    for (char* buffer : buffers) EXPECT_EQ(released().Count(buffer), 1);
    // The emptied entries stay until a periodic trim removes them.
    EXPECT_EQ(list.GetCount(), 5u);
    list.Trim(true);
    EXPECT_EQ(released().Total(), 5u);

    // They count towards the periodic trim and go with its first batch.
    for (std::size_t i = 0; i < CDeferredFreeList::kTrimStart - 4; ++i) list.Add(new char[1]);
    EXPECT_EQ(list.GetCount(), CDeferredFreeList::kTrimStart + 1);
    EXPECT_EQ(released().Total(), 5u);
    list.Add(new char[1]);
    EXPECT_EQ(list.GetCount(), CDeferredFreeList::kTrimStart + 2 - CDeferredFreeList::kTrimBatch);
    EXPECT_EQ(released().Total(), 5u + CDeferredFreeList::kTrimBatch - 5u);
  }
  EXPECT_EQ(released().Total(), CDeferredFreeList::kTrimStart + 2);
}

TEST_F(DeferredFreeListTest, AddReturnsItsArgument) {
  CDeferredFreeList list(&ReleaseLog::Release);
  char* buffer = new char[8]{'r', 'e', 'p', 'l', 'y'};
  EXPECT_EQ(list.Add(buffer), buffer);
  EXPECT_STREQ(buffer, "reply");  // untouched
  EXPECT_EQ(list.Add(nullptr), nullptr);
  EXPECT_EQ(list.GetCount(), 2u);
}

TEST_F(DeferredFreeListTest, DefaultReleaseIsArrayDelete) {
  // Under the sanitizers a mismatched or missing release shows here.
  CDeferredFreeList list;
  for (std::size_t i = 0; i < CDeferredFreeList::kTrimStart + 2; ++i) list.Add(new char[16]);
  EXPECT_EQ(list.GetCount(), CDeferredFreeList::kTrimStart + 2 - CDeferredFreeList::kTrimBatch);
  list.Trim(true);
}

// Several threads add while another one trims: every buffer is released
// exactly once by the end, none twice and none lost. Without full trims the
// list, once it has held more than kTrimBatch entries, never holds fewer:
// a periodic trim removes one batch and only from more than kTrimStart, so
// two trims that removed a batch each at once would show.
TEST_F(DeferredFreeListTest, ConcurrentAddsAndTrims) {
  struct Row {
    const char* name;
    int fullTrimEvery;  // rounds of the trimming thread between full trims; 0: none
  };
  const Row rows[] = {
      {"periodic trims only", 0},
      {"periodic and full trims", 64},
  };
  constexpr int kAdders = 4;
  constexpr int kPerAdder = 15000;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    released().Clear();
    std::vector<std::vector<char*>> added(kAdders);
    {
      CDeferredFreeList list(&ReleaseLog::Release);
      std::atomic<bool> adding{true};
      std::atomic<std::size_t> completed{0};
      std::atomic<std::size_t> fewest{~std::size_t{0}};
      std::thread trimmer([&] {
        for (int round = 1; adding.load(); ++round) {
          list.Trim(row.fullTrimEvery > 0 && round % row.fullTrimEvery == 0);
          std::this_thread::yield();
        }
      });
      std::vector<std::thread> adders;
      for (int t = 0; t < kAdders; ++t) {
        adders.emplace_back([&, t] {
          added[t].reserve(kPerAdder);
          for (int i = 0; i < kPerAdder; ++i) {
            char* buffer = new char[1];
            added[t].push_back(list.Add(buffer));
            if (completed.fetch_add(1) + 1 > CDeferredFreeList::kTrimBatch) {
              const std::size_t count = list.GetCount();
              std::size_t seen = fewest.load();
              while (count < seen && !fewest.compare_exchange_weak(seen, count)) {
              }
            }
          }
        });
      }
      for (std::thread& adder : adders) adder.join();
      adding.store(false);
      trimmer.join();
      // Periodic trims ran: kAdders * kPerAdder is well past the start.
      EXPECT_GT(released().Total(), 0u);
      if (row.fullTrimEvery == 0) {
        EXPECT_GT(fewest.load(), CDeferredFreeList::kTrimBatch);
      }
    }
    std::size_t total = 0;
    for (const std::vector<char*>& buffers : added) {
      ASSERT_EQ(buffers.size(), static_cast<std::size_t>(kPerAdder));
      for (char* buffer : buffers) {
        ASSERT_EQ(released().Count(buffer), 1);
        ++total;
      }
    }
    EXPECT_EQ(released().Total(), total);
  }
}

}  // namespace
}  // namespace zhtext
