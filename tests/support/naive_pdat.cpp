#include "tests/support/naive_pdat.h"

#include <cstring>
#include <memory>

#include "zhtext/dictionary/pdat.h"

namespace zhtext {
namespace testing {

namespace {

struct Node {
  int label = 0;
  std::vector<int> children;  // node ids, in the order first added
  int cell = 0;
  int handle = -1;
};

struct Cell {
  int base = -1;
  int check = -1;
  int handle = -1;
};

void PutInt(std::string* out, int v) {
  unsigned u = static_cast<unsigned>(v);
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

class Builder {
 public:
  explicit Builder(int mode) : mode_(mode), reader_(new CPDAT(mode)) {
    nodes_.emplace_back();  // the root
  }

  void Add(const std::string& input) {
    std::string word = input;
    if (word.compare(0, 3, "\xEF\xBB\xBF") == 0) word.erase(0, 3);
    const int len = static_cast<int>(word.size());
    // Read every character; separator runs (value 9) are skipped, and the
    // word ends at its last other character.
    std::vector<int> values;
    for (int pos = 0; pos < len;) {
      int charLen = 0;
      int v = reader_->GetCharCode(word.c_str(), pos, len, &charLen);
      pos += charLen;
      if (v != 9) values.push_back(v);
    }
    if (values.empty()) return;
    int node = 0;
    for (std::size_t k = 0; k < values.size(); ++k) {
      const int v = values[k];
      ++charCount_[v];
      if (v < minChar_) minChar_ = v;
      if (v > maxChar_) maxChar_ = v;
      int found = -1;
      for (int child : nodes_[node].children) {
        if (nodes_[child].label == v) found = child;
      }
      if (found < 0) {
        found = static_cast<int>(nodes_.size());
        nodes_.emplace_back();
        nodes_[found].label = v;
        nodes_[node].children.push_back(found);
      }
      node = found;
    }
    if (nodes_[node].handle < 0) nodes_[node].handle = wordCount_++;
  }

  NaivePdat Pack() {
    // Capacity 1.5 cells per word (at least one cell).
    int capacity = wordCount_ * 3 / 2;
    if (capacity < 1) capacity = 1;
    std::vector<Cell> cells(static_cast<std::size_t>(capacity));
    int maxCell = 0;

    // Codes: repeatedly the character with the largest count, lowest value
    // first among equals.
    std::vector<int> code(65536, -1);
    for (;;) {
      int best = -1;
      for (int v = minChar_; v <= maxChar_; ++v) {
        if (best < 0 || charCount_[v] > charCount_[best]) best = v;
      }
      if (best < 0 || charCount_[best] < 1) break;
      code[best] = codeCount_++;
      charCount_[best] = -1;
    }

    auto grow = [&](int index) {
      if (index >= capacity) {
        capacity = index + 100;
        cells.resize(static_cast<std::size_t>(capacity));
      }
    };

    // The root's children at their codes.
    std::vector<int> pending;
    for (int child : nodes_[0].children) {
      const int index = code[nodes_[child].label];
      nodes_[child].cell = index;
      grow(index);
      cells[index].check = -2;
      if (nodes_[child].children.empty()) {
        cells[index].base = -index;
        cells[index].handle = nodes_[child].handle;
      }
      if (index > maxCell) maxCell = index;
      pending.push_back(child);
    }

    for (;;) {
      std::vector<int> withChildren;
      for (int n : pending) {
        if (!nodes_[n].children.empty()) withChildren.push_back(n);
      }
      if (withChildren.empty()) break;
      pending = withChildren;
      std::size_t chosen = 0;
      for (std::size_t i = 1; i < pending.size(); ++i) {
        if (nodes_[pending[i]].children.size() > nodes_[pending[chosen]].children.size()) chosen = i;
      }
      Node& n = nodes_[pending[chosen]];
      if (n.cell > maxCell) maxCell = n.cell;
      int offset = 1;
      for (;; ++offset) {
        if (n.handle >= 0 && offset == n.cell) {
          // Not tested (no widening); only noted when it would have fitted.
          bool wouldFit = true;
          for (int child : n.children) {
            const int position = code[nodes_[child].label] + offset;
            if (position < capacity && (cells[position].base != -1 || cells[position].check != -1)) {
              wouldFit = false;
            }
          }
          if (wouldFit) skippedFits_.push_back(static_cast<int>(n.children.size()));
          continue;
        }
        bool fits = true;
        for (int child : n.children) {
          const int position = code[nodes_[child].label] + offset;
          if (position > maxCell) maxCell = position;
          grow(position);
          if (cells[position].base != -1 || cells[position].check != -1) {
            fits = false;
            break;
          }
        }
        if (fits) break;
      }
      if (n.handle >= 0) {
        cells[n.cell].base = -offset;
        cells[n.cell].handle = n.handle;
      } else {
        cells[n.cell].base = offset;
      }
      for (int child : n.children) {
        const int index = code[nodes_[child].label] + offset;
        nodes_[child].cell = index;
        cells[index].check = n.cell;
        if (nodes_[child].children.empty()) {
          cells[index].base = -index;
          cells[index].handle = nodes_[child].handle;
        }
        if (index > maxCell) maxCell = index;
      }
      std::vector<int> children = n.children;
      pending[chosen] = children[0];
      for (std::size_t i = 1; i < children.size(); ++i) pending.push_back(children[i]);
    }

    NaivePdat result;
    result.maxCell = maxCell;
    result.wordCount = wordCount_;
    result.skippedFits = skippedFits_;
    for (int v = 0; v < 65536; ++v) PutInt(&result.file, code[v]);
    PutInt(&result.file, maxCell);
    PutInt(&result.file, wordCount_);
    for (int i = 0; i <= maxCell; ++i) {
      PutInt(&result.file, cells[i].base);
      PutInt(&result.file, cells[i].check);
      PutInt(&result.file, cells[i].handle);
    }
    PutInt(&result.file, mode_);
    return result;
  }

 private:
  int mode_;
  std::unique_ptr<CPDAT> reader_;  // only its character reader is used
  std::vector<Node> nodes_;
  std::vector<int> charCount_ = std::vector<int>(65536, 0);
  int minChar_ = 65536;
  int maxChar_ = 0;
  int wordCount_ = 0;
  int codeCount_ = 0;
  std::vector<int> skippedFits_;
};

}  // namespace

NaivePdat BuildNaivePdat(const std::vector<std::string>& words, int mode) {
  Builder builder(mode);
  for (const std::string& word : words) builder.Add(word);
  return builder.Pack();
}

}  // namespace testing
}  // namespace zhtext
