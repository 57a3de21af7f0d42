#include "zhtext/encoding/list_ops.h"

#include <cstdint>
#include <cstring>

#include "zhtext/encoding/internal/gbk_search.h"
#include "zhtext/encoding/value_slots.h"

namespace zhtext {

int IntersectWithOffset(const std::vector<int>& a, const std::vector<int>& b, int offset,
                        std::vector<int>& out) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const std::int64_t x = static_cast<std::int64_t>(a[i]) + offset;
    if (x < b[j]) {
      ++i;
    } else if (x > b[j]) {
      ++j;
    } else {
      out.push_back(a[i]);
      ++i;
      ++j;
    }
  }
  return static_cast<int>(out.size());
}

bool RemoveCommon(std::vector<int>& a, const std::vector<int>& b) {
  // One pass: kept elements move down over the removed ones.
  std::size_t i = 0;
  std::size_t j = 0;
  std::size_t kept = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i] < b[j]) {
      a[kept++] = a[i++];
    } else if (a[i] > b[j]) {
      ++j;
    } else {
      ++i;
      ++j;
    }
  }
  if (i == kept) return false;
  while (i < a.size()) a[kept++] = a[i++];
  a.resize(kept);
  return true;
}

int FindFirstNotLess(int value, const std::vector<int>& list) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] >= value) return static_cast<int>(i);
  }
  return -1;
}

bool ContainsInt(int value, const std::vector<int>& list) {
  for (int element : list) {
    if (element == value) return true;
  }
  return false;
}

bool ContainsText(const char* text, const char* const* entries, int count) {
  if (text == nullptr || entries == nullptr) return false;
  for (int i = 0; i < count; ++i) {
    if (entries[i] != nullptr && std::strcmp(entries[i], text) == 0) return true;
  }
  return false;
}

bool StartsWithAnyI(const char* text, const std::vector<std::string>& list) {
  if (text == nullptr) text = "";
  for (const std::string& entry : list) {
    if (internal::CompareGbkNoCaseN(text, entry.c_str(), entry.size()) == 0) return true;
  }
  return false;
}

bool ContainsValue(const void* value, const void* items, int count, int type) {
  if (value == nullptr || items == nullptr) return false;
  const unsigned char* slot = static_cast<const unsigned char*>(items);
  for (int i = 0; i < count; ++i, slot += kValueSlotSize) {
    if (CompareValues(value, slot, type) == 0) return true;
  }
  return false;
}

int ArgMaxAndClear(std::vector<float>& list) {
  int best = list.empty() ? -1 : 0;
  for (std::size_t i = 1; i < list.size(); ++i) {
    if (list[i] > list[static_cast<std::size_t>(best)]) best = static_cast<int>(i);
  }
  std::vector<float>().swap(list);
  return best;
}

}  // namespace zhtext
