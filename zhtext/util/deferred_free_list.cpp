// The list's invariants, which every step below keeps, whatever trims run
// side by side:
//   - a buffer is released only under the mutex, and its entry is set to
//     null in the same hold, so no buffer is released twice;
//   - an entry leaves the array only under the mutex and only once it is
//     null (a trim releases what is still there before it removes the
//     entries), so no buffer is lost.
// Two more rules keep the batches as promised. A periodic trim decides under
// the mutex whether it may run (no other trim in progress), so two of them
// never release the same batch and then remove two batches. And a periodic
// trim removes its batch only when it is the only trim in progress: entries
// never move under another trim, so a full trim visits every entry it
// started with. Entries left in place this way are null and go with the
// next periodic trim.
#include "zhtext/util/deferred_free_list.h"

namespace zhtext {

CDeferredFreeList::CDeferredFreeList() : CDeferredFreeList(nullptr) {}

CDeferredFreeList::CDeferredFreeList(ReleaseFunction release)
    : m_nTrimming(0), m_nHeld(0), m_pRelease(release) {}

CDeferredFreeList::~CDeferredFreeList() { Trim(true); }

char* CDeferredFreeList::Add(char* buffer) {
  Trim(false);
  platform::MutexLock lock(&m_hMutex);
  m_vecBuffers.push_back(buffer);
  CountEntries();
  return buffer;
}

void CDeferredFreeList::ReleaseEntry(std::size_t index) {
  char* buffer = m_vecBuffers[index];
  if (buffer == nullptr) return;
  m_vecBuffers[index] = nullptr;
  if (m_pRelease != nullptr) {
    m_pRelease(buffer);
  } else {
    delete[] buffer;
  }
}

void CDeferredFreeList::Trim(bool all) {
  // The quick checks, without the mutex.
  if (!all && (m_nTrimming.load() > 0 || m_nHeld.load() < kTrimStart)) return;

  std::size_t batch = kTrimBatch;
  bool work = true;
  {
    platform::MutexLock lock(&m_hMutex);
    if (!all && m_nTrimming.load() > 0) return;  // another trim got here first
    m_nTrimming.fetch_add(1);
    if (all) {
      batch = m_vecBuffers.size();
      work = batch > 0;
    } else {
      work = m_vecBuffers.size() > kTrimStart;
    }
  }

  if (work) {
    for (std::size_t i = 0; i < batch; ++i) {
      platform::MutexLock lock(&m_hMutex);
      if (i >= m_vecBuffers.size()) break;
      ReleaseEntry(i);
    }
    platform::MutexLock lock(&m_hMutex);
    const bool alone = m_nTrimming.load() == 1;
    if (m_vecBuffers.size() > batch && alone) {
      for (std::size_t i = 0; i < batch; ++i) ReleaseEntry(i);
      m_vecBuffers.erase(m_vecBuffers.begin(),
                         m_vecBuffers.begin() + static_cast<std::ptrdiff_t>(batch));
      CountEntries();
    }
  }

  platform::MutexLock lock(&m_hMutex);
  m_nTrimming.fetch_sub(1);
}

}  // namespace zhtext
