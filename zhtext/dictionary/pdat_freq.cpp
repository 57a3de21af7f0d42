// CPDAT: word frequency lists (counting, excluding, top-word and comparison
// reports).
//
// The frequency list stays in handle order (entry i belongs to handle i, as
// tracked adding appends it); a report ranks a list of entry indices, so
// counting and comparing after a report still reach the right entries.
#include <algorithm>
#include <cstddef>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "zhtext/dictionary/pdat.h"

namespace zhtext {

namespace {

// Every report item lists at most this many words.
constexpr std::size_t kCompareItems = 10;

// Words of this many bytes or more hide the longer words that contain them.
constexpr std::size_t kHidingLength = 4;

void AppendItem(std::string& out, const std::string& word, int count) {
  out += word;
  out += '/';
  out += std::to_string(count);
  out += '#';
}

}  // namespace

std::vector<int> CPDAT::RankEntries() const {
  std::vector<int> order(m_vecWordFreq.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
    return m_vecWordFreq[static_cast<std::size_t>(a)].count >
           m_vecWordFreq[static_cast<std::size_t>(b)].count;
  });
  return order;
}

void CPDAT::ResetCounts() {
  for (WORD_FREQ& entry : m_vecWordFreq) entry.count = 0;
}

int CPDAT::CountWords(const std::vector<std::string>& words) {
  ResetCounts();
  for (const std::string& word : words) AddWord(word.c_str(), true);
  return static_cast<int>(m_vecWordFreq.size());
}

int CPDAT::AddExcludedWord(const char* word) {
  const int handle = AddWord(word, true);
  if (handle >= 0) {
    if (WORD_FREQ* entry = TrackedEntry(handle)) entry->count = -1;
  }
  return handle;
}

const char* CPDAT::GetTopWords(int n) {
  const std::vector<int> order = RankEntries();
  // -1 reports everything; any other limit below 0 reports nothing.
  const std::size_t limit = n == -1 ? order.size()
                            : n < 0 ? 0
                                    : std::min(order.size(), static_cast<std::size_t>(n));
  m_sResult.clear();
  // The words of kHidingLength bytes or more ranked above the current one,
  // reported or not. A word is tested against whichever is fewer: these
  // words, or its own substrings of that length or more.
  std::unordered_set<std::string_view> hiding;
  std::vector<std::string_view> hidingList;
  for (std::size_t i = 0; i < limit; ++i) {
    const WORD_FREQ& entry = m_vecWordFreq[static_cast<std::size_t>(order[i])];
    const std::string_view word(entry.word);
    bool hidden = false;
    if (word.size() > kHidingLength && !hidingList.empty()) {
      const std::size_t l = word.size();
      const std::size_t substrings = (l - kHidingLength + 1) * (l - kHidingLength + 2) / 2;
      if (substrings < hidingList.size()) {
        for (std::size_t start = 0; !hidden && start + kHidingLength <= l; ++start) {
          for (std::size_t len = kHidingLength; start + len <= l; ++len) {
            if (hiding.count(word.substr(start, len)) != 0) {
              hidden = true;
              break;
            }
          }
        }
      } else {
        for (const std::string_view& above : hidingList) {
          if (word.find(above) != std::string_view::npos) {
            hidden = true;
            break;
          }
        }
      }
    }
    if (!hidden) AppendItem(m_sResult, entry.word, entry.count);
    if (word.size() >= kHidingLength && hiding.insert(word).second) hidingList.push_back(word);
  }
  return m_sResult.c_str();
}

void CPDAT::Compare(CPDAT* other, std::string& common, std::string& onlyThis,
                    std::string& onlyOther) {
  common.clear();
  onlyThis.clear();
  onlyOther.clear();
  const std::vector<int> order = RankEntries();
  std::vector<WORD_FREQ_PAIR> pairs;
  if (other != nullptr) {
    for (int index : order) {
      // Every word found in both is paired, counted 0 or not; an excluded
      // word (count -1) on either side takes no part.
      WORD_FREQ& entry = m_vecWordFreq[static_cast<std::size_t>(index)];
      if (entry.count < 0) continue;
      const int handle = other->FindWord(entry.word.c_str());
      if (handle < 0) continue;
      WORD_FREQ* theirs = other->TrackedEntry(handle);
      if (theirs == nullptr || theirs->count < 0) continue;
      pairs.push_back(WORD_FREQ_PAIR{entry.word, entry.count, theirs->count,
                                     entry.count + theirs->count});
      entry.count = -1;
      theirs->count = -1;
    }
  }
  std::stable_sort(pairs.begin(), pairs.end(),
                   [](const WORD_FREQ_PAIR& a, const WORD_FREQ_PAIR& b) { return a.total > b.total; });
  for (std::size_t i = 0; i < pairs.size() && i < kCompareItems; ++i) {
    common += pairs[i].word;
    common += '/';
    common += std::to_string(pairs[i].countThis);
    common += '/';
    common += std::to_string(pairs[i].countOther);
    common += '#';
  }
  auto listOnly = [](const CPDAT& object, const std::vector<int>& ranked, std::string& out) {
    std::size_t listed = 0;
    for (int index : ranked) {
      if (listed == kCompareItems) break;
      const WORD_FREQ& entry = object.m_vecWordFreq[static_cast<std::size_t>(index)];
      if (entry.count <= 0) continue;
      AppendItem(out, entry.word, entry.count);
      ++listed;
    }
  };
  listOnly(*this, order, onlyThis);
  if (other != nullptr) listOnly(*other, other->RankEntries(), onlyOther);
}

}  // namespace zhtext
