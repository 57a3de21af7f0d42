#include "zhtext/encoding/sorted_search.h"

#include <cmath>
#include <cstring>

#include "zhtext/encoding/internal/gbk_search.h"

namespace zhtext {

namespace {

// Signed midpoint of a non-empty range, without overflow.
inline int Mid(int lo, int hi) { return lo + (hi - lo) / 2; }

// Binary search of an ascending array: `compare(mid)` gives <0 when the key
// sorts before element mid, >0 after it, 0 on a hit.
template <typename Compare>
int BinarySearch(int count, Compare compare) {
  int lo = 0;
  int hi = count - 1;
  while (lo <= hi) {
    int mid = Mid(lo, hi);
    int c = compare(mid);
    if (c == 0) return mid;
    if (c < 0) {
      hi = mid - 1;
    } else {
      lo = mid + 1;
    }
  }
  return -1;
}

}  // namespace

int FindShortestWithPrefix(const char* key, int prefixLen, const char* const* entries, int lo,
                           int hi) {
  if (entries == nullptr || key == nullptr) return -1;
  const std::size_t n = prefixLen > 0 ? static_cast<std::size_t>(prefixLen) : 0;
  int low = lo;
  int high = hi;
  int found = -1;
  while (low <= high) {
    int mid = Mid(low, high);
    int c = std::strncmp(key, entries[mid], n);
    if (c == 0) {
      found = mid;
      break;
    }
    if (c < 0) {
      high = mid - 1;
    } else {
      low = mid + 1;
    }
  }
  if (found < 0) return -1;

  int best = found;
  std::size_t bestLen = std::strlen(entries[found]);
  auto consider = [&](int i) {
    if (std::strncmp(key, entries[i], n) != 0) return false;
    std::size_t len = std::strlen(entries[i]);
    if (len < bestLen) {
      best = i;
      bestLen = len;
    }
    return true;
  };
  for (int i = found - 1; i >= lo && consider(i); --i) {
  }
  for (int i = found + 1; i <= hi && consider(i); ++i) {
  }
  return best;
}

int MatchLongestEntry(const char* text, const char* const* entries, int count, int* index) {
  if (index != nullptr) *index = -1;
  if (text == nullptr) return 0;
  const std::size_t length = std::strlen(text);
  int result = 0;
  std::size_t b = 1;
  while (b <= length) {
    int i = FindShortestWithPrefix(text, static_cast<int>(b), entries, 0, count - 1);
    if (i < 0) break;
    // The entry shares the first b bytes of the text, so it is at least b
    // bytes long; no entry is shorter than it among those that do.
    std::size_t n = std::strlen(entries[i]);
    if (n == b) {
      if (index != nullptr) *index = i;
      result = static_cast<int>(b);
    }
    b = b < n ? n : b + 1;
  }
  return result;
}

int BinarySearchInt(int value, const int* values, int count) {
  if (values == nullptr) return -1;
  return BinarySearch(
      count, [&](int mid) { return value < values[mid] ? -1 : (values[mid] < value ? 1 : 0); });
}

int BinarySearchDouble(double value, const std::vector<double>& list) {
  if (std::isnan(value)) return -1;
  return BinarySearch(static_cast<int>(list.size()), [&](int mid) {
    const double v = list[static_cast<std::size_t>(mid)];
    if (value < v) return -1;
    if (value > v) return 1;
    return value == v ? 0 : 1;  // a NaN in the list is passed over
  });
}

int BinarySearchTextI(const char* key, const std::vector<std::string>& list) {
  if (key == nullptr) return -1;
  return BinarySearch(static_cast<int>(list.size()), [&](int mid) {
    return internal::CompareGbkNoCase(key, list[static_cast<std::size_t>(mid)].c_str());
  });
}

int BinarySearchCTextI(const char* key, const char* const* entries, int count) {
  if (key == nullptr || entries == nullptr) return -1;
  return BinarySearch(count,
                      [&](int mid) { return internal::CompareGbkNoCase(key, entries[mid]); });
}

int CommonPrefixLength(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return 0;
  int n = 0;
  while (a[n] != '\0' && a[n] == b[n]) ++n;
  return n;
}

}  // namespace zhtext
