// CDeferredFreeList: keeps heap buffers that were handed to callers who do
// not release them (the request client's replies), and releases the oldest
// in large batches, so that a returned buffer needs no release call and
// memory stays bounded.
//
// Ownership: a registered buffer belongs to the list. It was allocated with
// new char[] and the list releases it with delete[] (or with the release
// function given at construction); the caller never releases it. A buffer
// stays valid until at least kTrimBatch (10000) buffers have been registered
// after it, or until a full trim or the list's destruction.
//
// Trimming: before each Add, a periodic trim runs once kTrimStart (20000) or
// more buffers are held, and releases the kTrimBatch oldest only when more
// than kTrimStart are held. So adding 20000 buffers releases none, the
// 20001st Add releases none either (the check runs before adding), the
// 20002nd releases the 10000 oldest, and the list never holds much more
// than 20001 entries. A full trim (Trim(true)) releases everything; its
// emptied entries stay in place as null until a later periodic trim removes
// them, and count as held until then.
//
// Concurrency: any thread may call Add and Trim at any time. Every access to
// the entries happens under the list's mutex; the quick checks before a
// periodic trim read atomic counters. Each buffer is released under its own
// short hold of the mutex, so other threads' Adds go on during a trim. Only
// one periodic trim runs at a time: one that finds another trim in progress
// returns at once. Destruction needs the list to itself.
#ifndef ZHTEXT_UTIL_DEFERRED_FREE_LIST_H_
#define ZHTEXT_UTIL_DEFERRED_FREE_LIST_H_

#include <atomic>
#include <cstddef>
#include <vector>

#include "zhtext/platform/mutex.h"

namespace zhtext {

class CDeferredFreeList {
 public:
  // Releases one registered buffer.
  using ReleaseFunction = void (*)(char* buffer);

  // A periodic trim starts when this many buffers or more are held...
  static constexpr std::size_t kTrimStart = 20000;
  // ...and, when more than kTrimStart are held, releases this many oldest.
  static constexpr std::size_t kTrimBatch = 10000;

  // An empty list whose buffers are released with delete[].
  CDeferredFreeList();
  // An empty list whose buffers are released with `release` (delete[] when
  // null).
  explicit CDeferredFreeList(ReleaseFunction release);
  // Trim(true), then releases the entry array.
  ~CDeferredFreeList();

  CDeferredFreeList(const CDeferredFreeList&) = delete;
  CDeferredFreeList& operator=(const CDeferredFreeList&) = delete;

  // Runs a periodic trim, then registers `buffer` (null is registered too,
  // as an entry with nothing to release). Returns `buffer` unchanged, so
  // that a caller can register a buffer and hand it out in one step.
  char* Add(char* buffer);

  // Periodic trim (`all` false): as described above. Full trim (`all`
  // true): releases every buffer held.
  void Trim(bool all);

  // The number of entries held, emptied ones included.
  std::size_t GetCount() const { return m_nHeld.load(std::memory_order_relaxed); }

 private:
  // Releases the buffer of entry `index`, if any, and empties the entry.
  // Requires the mutex.
  void ReleaseEntry(std::size_t index);

  // Keeps m_nHeld equal to the number of entries. Requires the mutex.
  void CountEntries() { m_nHeld.store(m_vecBuffers.size(), std::memory_order_relaxed); }

  mutable platform::Mutex m_hMutex;  // guards m_vecBuffers
  std::vector<char*> m_vecBuffers;   // registered buffers, oldest first
  std::atomic<int> m_nTrimming;      // trims in progress (changed under the mutex)
  std::atomic<std::size_t> m_nHeld;  // m_vecBuffers.size(), for the quick checks
  ReleaseFunction m_pRelease;        // null: delete[]
};

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_DEFERRED_FREE_LIST_H_
