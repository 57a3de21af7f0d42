// CPDAT: the construction tree (adding and finding words), coding the
// alphabet and packing the tree into cells.
//
// Packing rules (they decide every cell, hence every byte of a saved file):
//   - characters get codes by descending count, ties to the lower value;
//   - the root's children sit at the cells equal to their codes;
//   - then, repeatedly, the pending node with the most children (ties: the
//     earliest in the pending list) is placed at the first offset from 1
//     where all its children's cells are free, skipping an offset equal to
//     the node's own cell when the node ends a word; in the pending list the
//     node is replaced by its first child and its other children are
//     appended at the end.
// Done literally this is quadratic or worse. The same layout comes fast:
//   - the pending-list order is a key order in which a first child inherits
//     its parent's key and appended children take new, larger keys, so a
//     heap on (child count, key) picks the same node;
//   - an offset can only succeed where the cell of the child with the
//     smallest code is free, so the search leaps to that child's next free
//     cell ("next free cell at or after x"; cells only ever go from free to
//     taken), and tests 64 (256 for a node with many children) consecutive
//     offsets at once on a bit per cell, one word operation per child.
// The highest cell index is the highest cell placed: every position tested
// for an offset that fails lies below the cell of the same child at the
// offset finally taken, so widening on each tested position ends there too.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <queue>
#include <utility>
#include <vector>

#include "zhtext/dictionary/internal/pdat_char_reader.h"
#include "zhtext/dictionary/pdat.h"

namespace zhtext {

namespace {

// Nodes with at least this many children are found through the child index;
// smaller ones by a scan of their few children.
constexpr int kIndexedChildCount = 8;

void* CheckedRealloc(void* block, std::size_t bytes) {
  void* grown = std::realloc(block, bytes);
  if (grown == nullptr) throw std::bad_alloc();
  return grown;
}

}  // namespace

// The storage of the construction tree.
//   Child arrays come from large chunks; an array holds the next power of
//   two of its count, and the block it leaves when it grows is kept for the
//   next array of that size. Releasing the tree releases the chunks.
//   The child index: an open-addressing hash from (node serial, label) to the
//   child's position in its parent's array, for the nodes with many
//   children. Positions never change (children are only appended), so the
//   entries stay valid while the arrays move.
struct CPDAT::TreeStore {
  std::vector<std::uint64_t> slots;
  std::size_t used = 0;
  int nextSerial = 1;  // the root is serial 0

  std::vector<void*> chunks;
  char* free = nullptr;  // unused bytes of the current chunk
  std::size_t freeBytes = 0;
  PDAT_NODE* spare[32] = {};  // released arrays by log2 of their size

  TreeStore() = default;
  TreeStore(const TreeStore&) = delete;
  TreeStore& operator=(const TreeStore&) = delete;
  ~TreeStore() { Clear(); }

  // An array of 2^sizeClass nodes.
  PDAT_NODE* Allocate(int sizeClass) {
    if (PDAT_NODE* block = spare[sizeClass]) {
      std::memcpy(&spare[sizeClass], static_cast<void*>(block), sizeof(PDAT_NODE*));
      return block;
    }
    const std::size_t bytes = sizeof(PDAT_NODE) << sizeClass;
    if (bytes > freeBytes) {
      const std::size_t chunk = std::max<std::size_t>(bytes, std::size_t{1} << 20);
      void* block = std::malloc(chunk);
      if (block == nullptr) throw std::bad_alloc();
      chunks.push_back(block);
      free = static_cast<char*>(block);
      freeBytes = chunk;
    }
    PDAT_NODE* block = reinterpret_cast<PDAT_NODE*>(free);
    free += bytes;
    freeBytes -= bytes;
    return block;
  }

  void Release(PDAT_NODE* block, int sizeClass) {
    std::memcpy(static_cast<void*>(block), &spare[sizeClass], sizeof(PDAT_NODE*));
    spare[sizeClass] = block;
  }

  // A slot holds (serial, label) + 1 in its high 48 bits and the position
  // (below 65536: labels are 16-bit and distinct) in its low 16; 0 is empty.
  static std::uint64_t Key(int serial, int label) {
    return (static_cast<std::uint64_t>(static_cast<unsigned>(serial)) << 16 |
            static_cast<unsigned>(label)) + 1;
  }
  std::size_t Slot(std::uint64_t key) const {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & (slots.size() - 1);
  }
  int Find(int serial, int label) const {
    if (slots.empty()) return -1;
    const std::uint64_t key = Key(serial, label);
    for (std::size_t i = Slot(key);; i = (i + 1) & (slots.size() - 1)) {
      const std::uint64_t slot = slots[i];
      if (slot >> 16 == key) return static_cast<int>(slot & 0xFFFF);
      if (slot == 0) return -1;
    }
  }
  void Insert(int serial, int label, int position) {
    if ((used + 1) * 2 > slots.size()) Grow();
    Place(Key(serial, label) << 16 | static_cast<unsigned>(position));
    ++used;
  }
  void Place(std::uint64_t entry) {
    std::size_t i = Slot(entry >> 16);
    while (slots[i] != 0) i = (i + 1) & (slots.size() - 1);
    slots[i] = entry;
  }
  void Grow() {
    std::vector<std::uint64_t> old;
    old.swap(slots);
    slots.assign(old.empty() ? 4096 : old.size() * 2, 0);
    for (std::uint64_t entry : old) {
      if (entry != 0) Place(entry);
    }
  }

  // Releases every child array and empties the index.
  void Clear() {
    for (void* chunk : chunks) std::free(chunk);
    chunks.clear();
    free = nullptr;
    freeBytes = 0;
    for (PDAT_NODE*& list : spare) list = nullptr;
    std::vector<std::uint64_t>().swap(slots);
    used = 0;
    nextSerial = 1;
  }
};

CPDAT::~CPDAT() {
  std::free(m_pCells);
  std::free(m_pBuffer);
  delete m_pTreeStore;
  std::free(m_pRoot);
}

// ---- The construction tree -------------------------------------------------

void CPDAT::ReleaseTree() {
  if (m_pTreeStore != nullptr) m_pTreeStore->Clear();
  if (m_pRoot != nullptr) {
    m_pRoot->children = nullptr;
    m_pRoot->childCount = 0;
  }
}

bool CPDAT::Reset() {
  if (m_pRoot == nullptr) {
    m_pRoot = static_cast<PDAT_NODE*>(std::calloc(1, sizeof(PDAT_NODE)));
    if (m_pRoot == nullptr) throw std::bad_alloc();
  } else {
    ReleaseTree();
  }
  m_pRoot->label = 0;
  m_pRoot->childCount = 0;
  m_pRoot->children = nullptr;
  m_pRoot->cell = 0;
  m_pRoot->parent = 0;
  m_pRoot->handle = -1;
  std::memset(m_nCharCount, 0, sizeof(m_nCharCount));
  m_nWordCount = 0;
  m_bBuilt = false;
  // Handles start again at 0, so the entries of the old words would belong
  // to the new ones.
  m_vecWordFreq.clear();
  return true;
}

PDAT_NODE* CPDAT::FindChild(PDAT_NODE* node, int label) const {
  const int n = node->childCount;
  if (n >= kIndexedChildCount) {
    const int position = m_pTreeStore->Find(node->cell, label);
    return position < 0 ? nullptr : &node->children[position];
  }
  PDAT_NODE* children = node->children;
  for (int i = 0; i < n; ++i) {
    if (children[i].label == label) return &children[i];
  }
  return nullptr;
}

PDAT_NODE* CPDAT::AppendChild(PDAT_NODE* node, int label) {
  if (m_pTreeStore == nullptr) m_pTreeStore = new TreeStore;
  TreeStore& store = *m_pTreeStore;
  const int n = node->childCount;
  // The array holds the next power of two of its count: it grows when the
  // count is one.
  if (n == 0) {
    node->children = store.Allocate(0);
  } else if ((n & (n - 1)) == 0) {
    int sizeClass = 0;
    while ((1 << sizeClass) < n) ++sizeClass;
    PDAT_NODE* grown = store.Allocate(sizeClass + 1);
    std::memcpy(static_cast<void*>(grown), node->children, sizeof(PDAT_NODE) * static_cast<std::size_t>(n));
    store.Release(node->children, sizeClass);
    node->children = grown;
  }
  PDAT_NODE* child = &node->children[n];
  child->label = label;
  child->childCount = 0;
  child->children = nullptr;
  child->cell = store.nextSerial++;
  child->parent = -1;
  child->handle = -1;
  node->childCount = n + 1;
  if (n + 1 == kIndexedChildCount) {
    for (int i = 0; i <= n; ++i) store.Insert(node->cell, node->children[i].label, i);
  } else if (n + 1 > kIndexedChildCount) {
    store.Insert(node->cell, label, n);
  }
  return child;
}

void CPDAT::TrackNewWord(const char* word, int /*handle*/) {
  m_vecWordFreq.push_back(WORD_FREQ{word, 1});
}

WORD_FREQ* CPDAT::TrackedEntry(int handle) {
  if (handle < 0 || static_cast<std::size_t>(handle) >= m_vecWordFreq.size()) return nullptr;
  return &m_vecWordFreq[static_cast<std::size_t>(handle)];
}

int CPDAT::AddWord(const char* word, int handle, bool track) {
  return AddOrFind(word, handle, track, false);
}

int CPDAT::AddWord(const char* word, bool track) {
  if (m_pRoot == nullptr) Reset();  // built: the new tree's handles start at 0
  return AddOrFind(word, m_nWordCount, track, false);
}

int CPDAT::FindWord(const char* word) { return AddOrFind(word, m_nWordCount, false, true); }

// One walk serves adding and finding. The word's last character is the last
// one that is not a separator run (value 9, skipped), so a word with
// trailing separators is the same word as without them, and no node is
// left behind that neither ends a word nor has children.
int CPDAT::AddOrFind(const char* word, int handle, bool track, bool findOnly) {
  if (word == nullptr || handle < 0) return -1;
  if (m_pRoot == nullptr) {  // built: the tree is gone
    if (findOnly) return -1;
    Reset();
  }
  const unsigned char* s = reinterpret_cast<const unsigned char*>(word);
  if (s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF) s += 3;
  const int len = static_cast<int>(std::strlen(reinterpret_cast<const char*>(s)));

  PDAT_NODE* node = m_pRoot;
  PDAT_NODE* reached = nullptr;  // the node of the latest character read
  int pos = 0;
  while (pos < len) {
    int charLen;
    int v;
    switch (m_nEncoding) {
      case 1: v = ReadChar<1, true>(s, pos, len, &charLen); break;
      case 2: v = ReadChar<2, true>(s, pos, len, &charLen); break;
      default: v = ReadChar<0, true>(s, pos, len, &charLen); break;
    }
    pos += charLen;
    if (v == 9) continue;
    if (reached != nullptr) {
      // `reached` is not the last character: a tracked word may not begin
      // with an excluded word.
      if (track && reached->handle >= 0) {
        const WORD_FREQ* entry = TrackedEntry(reached->handle);
        if (entry != nullptr && entry->count < 0) return -1;
      }
      node = reached;
    }
    if (!findOnly) {
      ++m_nCharCount[v];
      if (v < m_nMinChar) m_nMinChar = v;
      if (v > m_nMaxChar) m_nMaxChar = v;
    }
    PDAT_NODE* child = FindChild(node, v);
    if (child == nullptr) {
      if (findOnly) return -1;
      child = AppendChild(node, v);
    }
    reached = child;
  }
  if (reached == nullptr) return -1;  // empty, or separators only

  if (reached->handle < 0) {
    if (findOnly) return -1;
    reached->handle = handle;
    ++m_nWordCount;
    if (track) TrackNewWord(reinterpret_cast<const char*>(s), handle);
    return handle;
  }
  if (findOnly) return reached->handle;
  if (!track) return -1;  // the first handle given to a word stays
  WORD_FREQ* entry = TrackedEntry(reached->handle);
  if (entry == nullptr) return reached->handle;
  if (entry->count < 0) return -1;  // excluded
  ++entry->count;
  return reached->handle;
}

bool CPDAT::ClearSize() {
  m_nMaxCell = 0;
  m_nWordCount = 0;
  return true;
}

// ---- Coding the alphabet -----------------------------------------------------

void CPDAT::CodeAlphabet() {
  std::memset(m_nCharCode, 0xFF, sizeof(m_nCharCode));
  std::memset(m_nCharFreq, 0, sizeof(m_nCharFreq));
  std::vector<std::pair<int, int>> counted;  // (count, value)
  for (int v = m_nMinChar; v <= m_nMaxChar && v < 65536; ++v) {
    if (m_nCharCount[v] >= 1) counted.emplace_back(m_nCharCount[v], v);
  }
  std::sort(counted.begin(), counted.end(), [](const std::pair<int, int>& a, const std::pair<int, int>& b) {
    return a.first != b.first ? a.first > b.first : a.second < b.second;
  });
  for (std::size_t code = 0; code < counted.size(); ++code) {
    const int v = counted[code].second;
    m_nCharCode[v] = static_cast<int>(code);
    m_nCharFreq[v] = counted[code].first;
    m_nCharCount[v] = -1;
  }
  m_nCodeCount = static_cast<int>(counted.size());
}

// ---- Packing -------------------------------------------------------------------

namespace {

// The cell array while packing, with a bit per cell (1 = free) to test 64
// consecutive offsets of a child at once, and a bit per word of those bits
// (1 = the word has a free cell) to find the next free cell at or after a
// position quickly. Cells only ever go from free to taken. Cells at or past
// the capacity are free; the bits run `reach` cells past the capacity so
// that every cell a child of an offset up to the capacity can land on has a
// bit.
class CellPacker {
 public:
  // From this many children on, offsets are tested 256 at a time.
  static constexpr std::size_t kWide = 8;

  CellPacker(PDAT_CELL** cells, int* capacity, int reach)
      : cells_(cells), capacity_(capacity), padWords_(static_cast<std::size_t>(reach) / 64 + 16) {
    Resize(static_cast<std::size_t>(*capacity));
  }

  void Reserve(int index) {
    if (index < *capacity_) return;
    const int oldCapacity = *capacity_;
    const int grown = std::max(index + 100, oldCapacity + oldCapacity / 2);
    *cells_ = static_cast<PDAT_CELL*>(
        CheckedRealloc(*cells_, sizeof(PDAT_CELL) * static_cast<std::size_t>(grown)));
    std::memset(*cells_ + oldCapacity, 0xFF,
                sizeof(PDAT_CELL) * static_cast<std::size_t>(grown - oldCapacity));
    Resize(static_cast<std::size_t>(grown));
    *capacity_ = grown;
  }

  // REQUIRES: Reserve(index) done.
  void Take(int index, int check) {
    (*cells_)[index].check = check;
    const std::size_t w = static_cast<std::size_t>(index) >> 6;
    free_[w] &= ~(1ull << (static_cast<unsigned>(index) & 63u));
    if (free_[w] == 0) words_[w >> 6] &= ~(1ull << (w & 63u));
  }

  PDAT_CELL& At(int index) { return (*cells_)[index]; }

  // The first free cell at or after `x`.
  int NextFree(int x) const {
    std::size_t w = static_cast<std::size_t>(x) >> 6;
    if (w >= free_.size()) return x;
    const std::uint64_t here = free_[w] & (~0ull << (static_cast<unsigned>(x) & 63u));
    if (here != 0) return static_cast<int>(w * 64 + Ctz(here));
    // The next word with a free cell, through the word bits.
    ++w;
    std::size_t g = w >> 6;
    std::uint64_t group = g < words_.size() ? words_[g] & (~0ull << (w & 63u)) : ~0ull;
    while (group == 0) {
      ++g;
      group = g < words_.size() ? words_[g] : ~0ull;
    }
    w = g * 64 + Ctz(group);
    if (w >= free_.size()) return static_cast<int>(w * 64);
    return static_cast<int>(w * 64 + Ctz(free_[w]));
  }

  // The first offset from 1 at which every code of `codes` (ascending, all
  // below `reach`) lands on a free cell, skipping `skip`.
  int FirstFit(const std::vector<int>& codes, int skip) const {
    const int* c = codes.data();
    const std::size_t k = codes.size();
    const int first = c[0];
    if (k == 1) {
      int offset = NextFree(first + 1) - first;
      if (offset == skip) offset = NextFree(first + offset + 1) - first;
      return offset;
    }
    const std::uint64_t* bits = free_.data();
    // Bit b of the result is set when cell `position` + b is free.
    auto free64 = [bits](int position) {
      const std::size_t w = static_cast<std::size_t>(position) >> 6;
      const unsigned shift = static_cast<unsigned>(position) & 63u;
      return bits[w] >> shift | (bits[w + 1] << 1) << (63u - shift);
    };
    for (int base = 1;;) {
      // Offsets at which the first child's cell is taken are leapt over,
      // and for a crowded node those at which the second child's is.
      base = NextFree(first + base) - first;
      if (k >= kWide) {
        for (;;) {
          const int second = NextFree(c[1] + base) - c[1];
          if (second == base) break;
          base = NextFree(first + second) - first;
          if (base == second) break;
        }
        // Four blocks of 64 offsets at once: fewer rounds for the many
        // children of a crowded node.
        std::uint64_t acc[4] = {~0ull, ~0ull, ~0ull, ~0ull};
        for (std::size_t j = 0; j < k; ++j) {
          const int position = c[j] + base;
          const std::uint64_t* w = bits + (static_cast<std::size_t>(position) >> 6);
          const unsigned shift = static_cast<unsigned>(position) & 63u;
          for (int q = 0; q < 4; ++q) acc[q] &= w[q] >> shift | (w[q + 1] << 1) << (63u - shift);
          if ((j & 3) == 3 && (acc[0] | acc[1] | acc[2] | acc[3]) == 0) break;
        }
        for (int q = 0; q < 4; ++q) {
          const int from = base + 64 * q;
          if (skip >= from && skip - from < 64) acc[q] &= ~(1ull << (skip - from));
          if (acc[q] != 0) return from + Ctz(acc[q]);
        }
        base += 256;
        continue;
      }
      std::uint64_t fits = free64(first + base) & free64(c[1] + base);
      std::size_t j = 2;
      for (; j + 4 <= k && fits != 0; j += 4) {
        fits &= free64(c[j] + base) & free64(c[j + 1] + base) & free64(c[j + 2] + base) &
                free64(c[j + 3] + base);
      }
      for (; j < k && fits != 0; ++j) fits &= free64(c[j] + base);
      if (skip >= base && skip - base < 64) fits &= ~(1ull << (skip - base));
      if (fits != 0) return base + Ctz(fits);
      base += 64;
    }
  }

 private:
  static int Ctz(std::uint64_t v) {
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_ctzll(v);
#else
    int n = 0;
    while ((v & 1) == 0) {
      v >>= 1;
      ++n;
    }
    return n;
#endif
  }

  // New cells are free: their bits (and those of the padding) are ones.
  void Resize(std::size_t cells) {
    free_.resize(cells / 64 + 1 + padWords_, ~0ull);
    words_.resize(free_.size() / 64 + 1, ~0ull);
  }

  PDAT_CELL** cells_;
  int* capacity_;
  std::size_t padWords_;
  std::vector<std::uint64_t> free_;
  std::vector<std::uint64_t> words_;
};

struct PendingNode {
  int childCount;
  int key;  // position in the pending list, as an order
  PDAT_NODE* node;
};

struct PendingOrder {
  bool operator()(const PendingNode& a, const PendingNode& b) const {
    // priority_queue puts the "largest" on top: most children, then the
    // earliest list position.
    return a.childCount != b.childCount ? a.childCount < b.childCount : a.key > b.key;
  }
};

}  // namespace

void CPDAT::PackTree() {
  CellPacker packer(&m_pCells, &m_nCapacity, m_nCodeCount);
  int maxCell = 0;
  std::priority_queue<PendingNode, std::vector<PendingNode>, PendingOrder> pending;
  int nextKey = 0;

  PDAT_NODE* root = m_pRoot;
  for (int j = 0; j < root->childCount; ++j) {
    PDAT_NODE* child = &root->children[j];
    const int index = m_nCharCode[child->label];
    child->cell = index;
    packer.Reserve(index);
    packer.Take(index, -2);
    if (child->childCount == 0) {
      packer.At(index).base = -index;
      packer.At(index).handle = child->handle;
    } else {
      pending.push(PendingNode{child->childCount, nextKey, child});
    }
    ++nextKey;
    maxCell = std::max(maxCell, index);
  }

  std::vector<int> codes;
  while (!pending.empty()) {
    const PendingNode top = pending.top();
    pending.pop();
    PDAT_NODE* node = top.node;
    const int k = node->childCount;
    codes.resize(static_cast<std::size_t>(k));
    for (int j = 0; j < k; ++j) codes[static_cast<std::size_t>(j)] = m_nCharCode[node->children[j].label];
    // Which offset fits does not depend on the order the children are
    // tested in; ascending codes test the most crowded cells first.
    std::sort(codes.begin(), codes.end());
    const int offset = packer.FirstFit(codes, node->handle >= 0 ? node->cell : -1);

    PDAT_CELL& own = packer.At(node->cell);
    if (node->handle >= 0) {
      own.base = -offset;
      own.handle = node->handle;
    } else {
      own.base = offset;
    }
    for (int j = 0; j < k; ++j) {
      PDAT_NODE* child = &node->children[j];
      const int index = m_nCharCode[child->label] + offset;
      child->cell = index;
      child->parent = node->cell;
      packer.Reserve(index);
      packer.Take(index, node->cell);
      if (child->childCount == 0) {
        packer.At(index).base = -index;
        packer.At(index).handle = child->handle;
      } else {
        // The first child takes its parent's place in the list; the others
        // go to its end.
        pending.push(PendingNode{child->childCount, j == 0 ? top.key : nextKey, child});
      }
      if (j > 0) ++nextKey;
      maxCell = std::max(maxCell, index);
    }
  }
  m_nMaxCell = maxCell;
}

bool CPDAT::Build() {
  if (m_bBuilt) return true;
  if (m_pRoot == nullptr) Reset();
  std::free(m_pCells);
  m_pCells = nullptr;
  m_nMaxCell = 0;
  // 1.5 cells per word to start with; a dictionary without words still has
  // one (free) cell, so that its file holds the cell 0 it describes.
  const long long initial = static_cast<long long>(m_nWordCount) * 3 / 2;
  m_nCapacity = static_cast<int>(std::max(1LL, std::min(initial, 0x7FFFFFFFLL)));
  m_pCells = static_cast<PDAT_CELL*>(std::malloc(sizeof(PDAT_CELL) * static_cast<std::size_t>(m_nCapacity)));
  if (m_pCells == nullptr) throw std::bad_alloc();
  std::memset(m_pCells, 0xFF, sizeof(PDAT_CELL) * static_cast<std::size_t>(m_nCapacity));

  CodeAlphabet();
  PackTree();

  ReleaseTree();
  std::free(m_pRoot);
  m_pRoot = nullptr;
  m_bBuilt = true;
  return true;
}

}  // namespace zhtext
