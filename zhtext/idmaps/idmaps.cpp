#include "zhtext/idmaps/idmaps.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "zhtext/platform/filesystem.h"
#include "zhtext/util/binary_io.h"

namespace zhtext {

namespace {

constexpr int kFirstCapacity = 10240;
constexpr int kCapacityStep = 10000;
// Ranges of at most this many pairs (hi - lo < kShortRange) go to the
// exchange sort, and so does the rest of a range after this many
// consecutive degenerate partitions.
constexpr int kShortRange = 10;
constexpr int kMaxBadSplits = 10;

inline bool PairLess(const IDMAP_PAIR& a, const IDMAP_PAIR& b) {
  return a.key < b.key || (a.key == b.key && a.value < b.value);
}

inline bool PairLessEqual(const IDMAP_PAIR& a, const IDMAP_PAIR& b) { return !PairLess(b, a); }

void ExchangeSort(IDMAP_PAIR* pairs, int lo, int hi) {
  for (int i = lo; i <= hi; ++i) {
    for (int j = i + 1; j <= hi; ++j) {
      if (PairLess(pairs[j], pairs[i])) std::swap(pairs[i], pairs[j]);
    }
  }
}

int Partition(IDMAP_PAIR* pairs, int lo, int hi) {
  const IDMAP_PAIR pivot = pairs[lo];
  int i = lo;
  int j = hi;
  while (i < j) {
    while (i < j && PairLessEqual(pivot, pairs[j])) --j;
    pairs[i] = pairs[j];
    while (i < j && PairLessEqual(pairs[i], pivot)) ++i;
    pairs[j] = pairs[i];
  }
  pairs[i] = pivot;
  return i;
}

// The index is read and written as a flat array of integers.
static_assert(sizeof(IDMAP_RANGE) == 2 * sizeof(int), "IDMAP_RANGE must be two packed ints");

// New C-heap arrays of `count` entries (null for 0, or on failure: `ok`
// tells them apart).
template <typename T>
T* AllocArray(int count, bool* ok) {
  *ok = true;
  if (count <= 0) return nullptr;
  T* p = static_cast<T*>(std::malloc(sizeof(T) * static_cast<std::size_t>(count)));
  if (p == nullptr) *ok = false;
  return p;
}

}  // namespace

CIDMaps::CIDMaps()
    : m_nCapacity(0),
      m_nDataSize(0),
      m_pData(nullptr),
      m_nIndexSize(0),
      m_pIndex(nullptr),
      m_pPairs(nullptr),
      m_nBadSplits(0),
      m_bPacked(false),
      m_fpReport(stdout) {}

CIDMaps::~CIDMaps() {
  std::free(m_pData);
  std::free(m_pIndex);
  std::free(m_pPairs);
}

bool CIDMaps::Clear() {
  if (m_pPairs == nullptr) {
    m_pPairs = static_cast<IDMAP_PAIR*>(std::calloc(kFirstCapacity, sizeof(IDMAP_PAIR)));
    m_nCapacity = m_pPairs != nullptr ? kFirstCapacity : 0;
  }
  m_nDataSize = 0;
  m_nIndexSize = 0;
  m_bPacked = false;
  return true;
}

bool CIDMaps::AddPair(int key, int value) {
  if (key < 0 || value < -1 || key == INT_MAX) return true;
  if (m_nDataSize >= m_nCapacity) {
    if (m_nDataSize == INT_MAX) return false;
    // One step normally; more only when the data size comes from a loaded
    // file and exceeds the buffer.
    std::int64_t capacity = static_cast<std::int64_t>(m_nCapacity) + kCapacityStep;
    while (capacity <= m_nDataSize) capacity += kCapacityStep;
    capacity = std::min<std::int64_t>(capacity, INT_MAX);
    void* grown = std::realloc(m_pPairs, sizeof(IDMAP_PAIR) * static_cast<std::size_t>(capacity));
    if (grown == nullptr) return false;
    m_pPairs = static_cast<IDMAP_PAIR*>(grown);
    std::memset(m_pPairs + m_nCapacity, 0,
                sizeof(IDMAP_PAIR) * static_cast<std::size_t>(capacity - m_nCapacity));
    m_nCapacity = static_cast<int>(capacity);
  }
  m_pPairs[m_nDataSize].value = value;
  m_pPairs[m_nDataSize].key = key;
  ++m_nDataSize;
  if (m_nIndexSize < key + 1) m_nIndexSize = key + 1;
  m_bPacked = false;
  return true;
}

bool CIDMaps::BuildMap() {
  // Normally every pair added since Clear. After a Load without Clear the
  // data size is the file's and the buffer may hold fewer (or stale) pairs:
  // only the buffer's pairs with keys inside the index are packed then.
  int pairCount = m_pPairs != nullptr ? std::min(m_nDataSize, m_nCapacity) : 0;
  if (pairCount < 0) pairCount = 0;
  // Equal pairs are identical, so any sort by (key, value) packs the same.
  std::sort(m_pPairs, m_pPairs + pairCount, PairLess);

  bool dataOk = false;
  bool indexOk = false;
  int* data = AllocArray<int>(m_nDataSize, &dataOk);
  IDMAP_RANGE* index = AllocArray<IDMAP_RANGE>(m_nIndexSize, &indexOk);
  if (!dataOk || !indexOk) {
    std::free(data);
    std::free(index);
    return false;
  }
  for (int i = 0; i < m_nDataSize; ++i) data[i] = -1;
  for (int i = 0; i < m_nIndexSize; ++i) index[i] = IDMAP_RANGE{-1, -1};

  int n = 0;
  int previousKey = -1;
  for (int i = 0; i < pairCount; ++i) {
    const IDMAP_PAIR& pair = m_pPairs[i];
    if (pair.key < 0 || pair.key >= m_nIndexSize) continue;
    if (pair.key != previousKey) {
      index[pair.key] = IDMAP_RANGE{n, n};
      data[n++] = pair.value;
      previousKey = pair.key;
    } else if (pair.value != data[n - 1]) {
      data[n++] = pair.value;
      ++index[pair.key].end;
    }
  }

  std::free(m_pData);
  std::free(m_pIndex);
  m_pData = data;
  m_pIndex = index;
  m_bPacked = true;
  if (m_fpReport != nullptr) std::fputs("Build map success!\n", m_fpReport);
  return true;
}

void CIDMaps::SortPairs(IDMAP_PAIR* pairs, int lo, int hi) {
  if (pairs == nullptr) return;
  while (lo < hi && hi - lo >= kShortRange && m_nBadSplits < kMaxBadSplits) {
    int p = Partition(pairs, lo, hi);
    if (p == lo || p == hi) {
      ++m_nBadSplits;
    } else {
      m_nBadSplits = 0;
    }
    // The smaller side is sorted by recursion and the larger one by the
    // loop, so the depth stays logarithmic whatever the input.
    if (p - lo <= hi - p) {
      SortPairs(pairs, lo, p - 1);
      lo = p + 1;
    } else {
      SortPairs(pairs, p + 1, hi);
      hi = p - 1;
    }
  }
  if (lo < hi) {
    ExchangeSort(pairs, lo, hi);
    m_nBadSplits = 0;
  }
}

bool CIDMaps::Save(const char* path) const {
  if (!m_bPacked && (m_nDataSize != 0 || m_nIndexSize != 0)) return false;
  std::FILE* fp = path != nullptr ? std::fopen(path, "wb") : nullptr;
  if (fp == nullptr) return false;
  const int header[2] = {m_bPacked ? m_nDataSize : 0, m_bPacked ? m_nIndexSize : 0};
  bool ok = WriteInt32s(fp, header, 2);
  if (ok && header[0] > 0) ok = WriteInt32s(fp, m_pData, static_cast<std::size_t>(header[0]));
  if (ok && header[1] > 0) {
    ok = WriteInt32s(fp, &m_pIndex[0].start, 2 * static_cast<std::size_t>(header[1]));
  }
  if (std::fclose(fp) != 0) ok = false;
  return ok;
}

bool CIDMaps::Load(const char* path) {
  std::FILE* fp = path != nullptr ? std::fopen(path, "rb") : nullptr;
  if (fp == nullptr) return false;

  int sizes[2] = {0, 0};
  platform::FileStatus status;
  bool ok = platform::GetStreamStatus(fp, &status) && ReadInt32s(fp, sizes, 2);
  const int dataSize = sizes[0];
  const int indexSize = sizes[1];
  ok = ok && dataSize >= 0 && indexSize >= 0 &&
       status.size == 8 + 4 * static_cast<std::int64_t>(dataSize) +
                          8 * static_cast<std::int64_t>(indexSize);

  int* data = nullptr;
  IDMAP_RANGE* index = nullptr;
  if (ok) {
    bool dataOk = false;
    bool indexOk = false;
    data = AllocArray<int>(dataSize, &dataOk);
    index = AllocArray<IDMAP_RANGE>(indexSize, &indexOk);
    ok = dataOk && indexOk;
  }
  ok = ok && ReadInt32s(fp, data, static_cast<std::size_t>(dataSize));
  ok = ok && ReadInt32s(fp, index != nullptr ? &index->start : nullptr,
                       2 * static_cast<std::size_t>(indexSize));
  std::fclose(fp);

  // The ranges are handed out as pointers into the data array: each must be
  // (-1, -1) or lie inside it.
  for (int k = 0; ok && k < indexSize; ++k) {
    const IDMAP_RANGE& r = index[k];
    bool empty = r.start == -1 && r.end == -1;
    bool inside = r.start >= 0 && r.start <= r.end && r.end < dataSize;
    ok = empty || inside;
  }
  if (!ok) {
    std::free(data);
    std::free(index);
    return false;
  }

  std::free(m_pData);
  std::free(m_pIndex);
  m_pData = data;
  m_pIndex = index;
  m_nDataSize = dataSize;
  m_nIndexSize = indexSize;
  m_bPacked = true;
  return true;
}

const IDMAP_RANGE* CIDMaps::FindRange(int key) const {
  if (!m_bPacked || key < 0 || key >= m_nIndexSize) return nullptr;
  const IDMAP_RANGE* range = &m_pIndex[key];
  if (range->start == -1) return nullptr;
  return range;
}

int* CIDMaps::GetIDList(int key, int* count) const {
  if (count != nullptr) *count = 0;
  const IDMAP_RANGE* range = FindRange(key);
  if (range == nullptr) return nullptr;
  int n = range->end - range->start + 1;
  if (n <= 0) return nullptr;
  if (count != nullptr) *count = n;
  return m_pData + range->start;
}

int CIDMaps::GetMinID(int key) const {
  int count = 0;
  const int* values = GetIDList(key, &count);
  if (values == nullptr) return -1;
  return *std::min_element(values, values + count);
}

int CIDMaps::GetRelated(int key, std::vector<int>& result) const {
  result.clear();
  int n = 0;
  const int* list = GetIDList(key, &n);
  if (n == 1) {
    int v = list[0];
    result.push_back(v);
    list = GetIDList(v, &n);
  }
  if (n >= 2) {
    for (int i = 0; i < n; ++i) {
      if (list[i] != key) result.push_back(list[i]);
    }
  }
  return n;
}

}  // namespace zhtext
