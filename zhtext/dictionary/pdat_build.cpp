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
//   - the pending-list order is an order of list positions in which a first
//     child inherits its parent's position and appended children take new,
//     larger ones. So the nodes of each child count that were appended wait
//     in a queue in position order, first children in a small heap per
//     count, and the next node is the earliest of the largest count: the
//     node the list would give. The order does not depend on where nodes
//     go, so the next node is known before the current one is placed.
//   - the first fit is sought on a bit per cell (1 = free), testing many
//     consecutive offsets at once: for each child, one load and one AND per
//     256 offsets (the bits are kept in eight copies shifted by 0-7 cells,
//     so that a child's bits start on a byte), until no offset of the block
//     is left; the first offset left after all children, other than the own
//     cell of a word end, is the one the rules take. Nodes with one or two
//     children, placed when the array is nearly full, leap from one free
//     cell of a child to the next ("next free cell at or after x", through
//     a bit per 64 and per 4096 cells; cells only ever go from free to
//     taken).
//   - cells are written once all nodes are placed, from the tree.
// The highest cell index is the highest cell placed: every position tested
// for an offset that fails lies below the cell of the same child at the
// offset finally taken, so widening on each tested position ends there too.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <utility>
#include <vector>

#include "zhtext/dictionary/internal/pdat_char_reader.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/platform/large_block.h"

namespace zhtext {

namespace {

// Child arrays come in size classes of 1, 2, 3, 4, 6, 8, 12, 16, 24, ...
// children (steps of 1.5 and 4/3 from 4 on). Arrays from kIndexedCapacity
// children on carry an index of their children; smaller ones are scanned.
constexpr int kIndexedCapacity = 12;

inline int FloorLog2(unsigned v) {
#if defined(__GNUC__) || defined(__clang__)
  return 31 - __builtin_clz(v);
#else
  int b = 0;
  while (v >>= 1) ++b;
  return b;
#endif
}

// The size class of an array that holds `count` (>= 1) children.
inline int SizeClass(int count) {
  if (count <= 4) return count - 1;
  const int b = FloorLog2(static_cast<unsigned>(count - 1));  // 2^b < count <= 2^(b+1)
  return count <= 3 << (b - 1) ? 2 * b : 2 * b + 1;
}

// How many children an array of size class `sizeClass` holds.
inline int ClassCapacity(int sizeClass) {
  if (sizeClass <= 3) return sizeClass + 1;
  return sizeClass % 2 == 0 ? 3 << (sizeClass / 2 - 1) : 1 << ((sizeClass + 1) / 2);
}

// The number of slots of the index of an array of `capacity` children: a
// power of two, at least twice the capacity.
inline std::size_t IndexSlots(int capacity) {
  return std::size_t{4} << FloorLog2(static_cast<unsigned>(capacity - 1));
}

// The slot of `label` in an index of `mask` + 1 slots.
inline std::size_t IndexSlot(int label, std::size_t mask) {
  return static_cast<std::size_t>(
             (static_cast<std::uint64_t>(static_cast<unsigned>(label)) * 0x9E3779B97F4A7C15ull) >>
             40) &
         mask;
}

}  // namespace

// The storage of the construction tree.
//   Child arrays come from large chunks; an array holds the capacity of its
//   size class, and the block it leaves when it grows is kept for the next
//   array of that class. Releasing the tree releases the chunks.
//   An array of kIndexedCapacity or more children is followed, in the same
//   block, by its index: IndexSlots(capacity) slots of 16 bits, an
//   open-addressing hash from a child's label to its position + 1 (0:
//   empty). Labels of siblings differ, so a slot whose position holds the
//   label is the child sought.
//   The path of the latest word added: the nodes reached after 0, 1, 2, ...
//   of its values. Adding only appends children, so these nodes stay where
//   they are until the next word changes the tree, which happens along its
//   own path: a word that shares its first values with the latest one
//   starts from there without looking them up (word lists are mostly
//   sorted, so neighbours share prefixes).
struct CPDAT::TreeStore {
  std::vector<void*> chunks;
  char* free = nullptr;  // unused bytes of the current chunk
  std::size_t freeBytes = 0;
  PDAT_NODE* spare[32] = {};  // released arrays by size class

  std::vector<int> childCounts;  // [c]: how many nodes have c >= 1 children
  std::vector<int> values;       // the word being added
  std::vector<int> pathValues;   // the latest word's values
  std::vector<PDAT_NODE*> path;
  bool pathValid = false;

  TreeStore() = default;
  TreeStore(const TreeStore&) = delete;
  TreeStore& operator=(const TreeStore&) = delete;
  ~TreeStore() { Clear(); }

  static std::size_t BlockBytes(int sizeClass) {
    const int capacity = ClassCapacity(sizeClass);
    std::size_t bytes = sizeof(PDAT_NODE) * static_cast<std::size_t>(capacity);
    if (capacity >= kIndexedCapacity) bytes += sizeof(std::uint16_t) * IndexSlots(capacity);
    return bytes;
  }

  // The index of an array of `capacity` (>= kIndexedCapacity) children.
  static std::uint16_t* IndexOf(PDAT_NODE* children, int capacity) {
    return reinterpret_cast<std::uint16_t*>(children + capacity);
  }

  // An array of size class `sizeClass`.
  PDAT_NODE* Allocate(int sizeClass) {
    if (PDAT_NODE* block = spare[sizeClass]) {
      std::memcpy(&spare[sizeClass], static_cast<void*>(block), sizeof(PDAT_NODE*));
      return block;
    }
    const std::size_t bytes = BlockBytes(sizeClass);
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

  // Enters position `position` of `children` (an array of `capacity`) in
  // its index.
  static void Index(PDAT_NODE* children, int capacity, int position) {
    std::uint16_t* index = IndexOf(children, capacity);
    const std::size_t mask = IndexSlots(capacity) - 1;
    std::size_t i = IndexSlot(children[position].label, mask);
    while (index[i] != 0) i = (i + 1) & mask;
    index[i] = static_cast<std::uint16_t>(position + 1);
  }

  // Releases every child array and forgets the path.
  void Clear() {
    for (void* chunk : chunks) std::free(chunk);
    chunks.clear();
    free = nullptr;
    freeBytes = 0;
    for (PDAT_NODE*& list : spare) list = nullptr;
    childCounts.clear();
    pathValid = false;
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
  PDAT_NODE* children = node->children;
  const int capacity = n == 0 ? 0 : ClassCapacity(SizeClass(n));
  if (capacity >= kIndexedCapacity) {
    const std::uint16_t* index = TreeStore::IndexOf(children, capacity);
    const std::size_t mask = IndexSlots(capacity) - 1;
    for (std::size_t i = IndexSlot(label, mask); index[i] != 0; i = (i + 1) & mask) {
      PDAT_NODE* child = &children[index[i] - 1];
      if (child->label == label) return child;
    }
    return nullptr;
  }
  for (int i = 0; i < n; ++i) {
    if (children[i].label == label) return &children[i];
  }
  return nullptr;
}

PDAT_NODE* CPDAT::AppendChild(PDAT_NODE* node, int label) {
  if (m_pTreeStore == nullptr) m_pTreeStore = new TreeStore;
  TreeStore& store = *m_pTreeStore;
  const int n = node->childCount;
  // The array grows when it is full.
  if (n == 0) {
    node->children = store.Allocate(0);
  } else {
    const int sizeClass = SizeClass(n);
    if (n == ClassCapacity(sizeClass)) {
      PDAT_NODE* grown = store.Allocate(sizeClass + 1);
      std::memcpy(static_cast<void*>(grown), node->children,
                  sizeof(PDAT_NODE) * static_cast<std::size_t>(n));
      const int capacity = ClassCapacity(sizeClass + 1);
      if (capacity >= kIndexedCapacity) {
        std::memset(TreeStore::IndexOf(grown, capacity), 0,
                    sizeof(std::uint16_t) * IndexSlots(capacity));
        for (int i = 0; i < n; ++i) TreeStore::Index(grown, capacity, i);
      }
      store.Release(node->children, sizeClass);
      node->children = grown;
    }
  }
  PDAT_NODE* child = &node->children[n];
  child->label = label;
  child->childCount = 0;
  child->children = nullptr;
  child->cell = 0;
  child->parent = -1;
  child->handle = -1;
  node->childCount = n + 1;
  std::vector<int>& counts = store.childCounts;
  if (counts.size() < static_cast<std::size_t>(n) + 2)
    counts.resize(static_cast<std::size_t>(n) + 2, 0);
  if (n > 0) --counts[static_cast<std::size_t>(n)];
  ++counts[static_cast<std::size_t>(n) + 1];
  const int capacity = ClassCapacity(SizeClass(n + 1));
  if (capacity >= kIndexedCapacity) TreeStore::Index(node->children, capacity, n);
  return child;
}

void CPDAT::TrackNewWord(const char* word) { m_vecWordFreq.push_back(WORD_FREQ{word, 1}); }

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

// One walk serves adding and finding. The word's values are read first;
// separator runs (value 9) are skipped, so the word's last character is the
// last one that is not a separator run, a word with trailing separators is
// the same word as without them, and no node is left behind that neither
// ends a word nor has children.
int CPDAT::AddOrFind(const char* word, int handle, bool track, bool findOnly) {
  if (word == nullptr || handle < 0) return -1;
  if (m_pRoot == nullptr) {  // built: the tree is gone
    if (findOnly) return -1;
    Reset();
  }
  if (m_pTreeStore == nullptr) m_pTreeStore = new TreeStore;
  TreeStore& store = *m_pTreeStore;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(word);
  if (s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF) s += 3;
  const int len = static_cast<int>(std::strlen(reinterpret_cast<const char*>(s)));

  std::vector<int>& values = store.values;
  values.clear();
  for (int pos = 0; pos < len;) {
    int charLen;
    int v;
    v = internal::WithMode(m_nEncoding, [&](auto m) {
      return ReadChar<decltype(m)::value, true>(s, pos, len, &charLen);
    });
    pos += charLen;
    if (v != 9) values.push_back(v);
  }
  const std::size_t count = values.size();
  if (count == 0) return -1;  // empty, or separators only

  // The values shared with the latest word need no look-up.
  std::size_t shared = 0;
  if (store.pathValid) {
    const std::size_t limit = std::min(count, store.pathValues.size());
    while (shared < limit && values[shared] == store.pathValues[shared]) ++shared;
  }
  std::vector<PDAT_NODE*>& path = store.path;
  if (!findOnly && path.size() < count + 1) path.resize(count + 1);

  PDAT_NODE* node = m_pRoot;
  for (std::size_t i = 0; i < count; ++i) {
    // `node` is not the last character: a tracked word may not begin with
    // an excluded word.
    if (i > 0 && track && node->handle >= 0) {
      const WORD_FREQ* entry = TrackedEntry(node->handle);
      if (entry != nullptr && entry->count < 0) {
        store.pathValid = false;  // the path may hold nodes of this word
        return -1;
      }
    }
    const int v = values[i];
    if (!findOnly) {
      ++m_nCharCount[v];
      if (v < m_nMinChar) m_nMinChar = v;
      if (v > m_nMaxChar) m_nMaxChar = v;
    }
    PDAT_NODE* child = i < shared ? store.path[i + 1] : FindChild(node, v);
    if (child == nullptr) {
      if (findOnly) return -1;
      child = AppendChild(node, v);
    }
    if (!findOnly) path[i + 1] = child;
    node = child;
  }
  if (!findOnly) {
    path[0] = m_pRoot;
    store.pathValues.swap(values);
    store.pathValid = true;
  }

  PDAT_NODE* reached = node;
  if (reached->handle < 0) {
    if (findOnly) return -1;
    reached->handle = handle;
    ++m_nWordCount;
    if (track) TrackNewWord(reinterpret_cast<const char*>(s));
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
  std::sort(counted.begin(), counted.end(),
            [](const std::pair<int, int>& a, const std::pair<int, int>& b) {
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

// Offsets are tested in blocks of this many at a time (a multiple of 256).
constexpr int kBlockOffsets = 2048;

inline int Ctz(std::uint64_t v) {
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

// 64 bits from `p`: bit b is bit b % 8 of byte p[b / 8].
inline std::uint64_t LoadBits(const unsigned char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof(v));
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  v = __builtin_bswap64(v);
#endif
  return v;
}

// The free cells while packing, a bit per cell (1 = free; bit b % 8 of byte
// b / 8 for cell b), kept eight times: copy r is shifted by r cells, so that
// the bits of the cells from any position p on start at a byte boundary
// (copy p % 8, byte p / 8) and a block of offsets costs one load and one AND
// per child. For "next free cell at or after x", a bit per 64 cells of copy
// 0 (1 = one of them is free) and a bit per 4096 cells (1 = one of those
// bits is set). Cells only ever go from free to taken. The map reaches far
// enough past the highest taken cell that every block a search can test is
// inside it: a search never goes past the highest taken cell + 2 (from
// there on every child lands on a free cell).
class CellMap {
 public:
  // `reach`: the alphabet size; `expected`: about how many cells there
  // will be.
  CellMap(int reach, std::size_t expected)
      : pad_(static_cast<std::size_t>(reach) + kBlockOffsets + 1024) {
    Grow(expected);
  }

  void Take(int index) {
    const std::size_t i = static_cast<std::size_t>(index);
    if (i + pad_ >= cells_) Grow(i);
    for (std::size_t r = 0; r < 8 && r <= i; ++r) {
      const std::size_t j = i - r;
      copies_[r][j >> 3] &= static_cast<unsigned char>(~(1u << (j & 7)));
    }
    const std::size_t w = i >> 6;
    if (Word(w) != 0) return;
    const std::size_t g = w >> 6;
    summary_[g] &= ~(std::uint64_t{1} << (w & 63));
    if (summary_[g] == 0) top_[g >> 6] &= ~(std::uint64_t{1} << (g & 63));
  }

  // The first free cell at or after `x` (>= 0).
  int NextFree(int x) const {
    std::size_t w = static_cast<std::size_t>(x) >> 6;
    const std::uint64_t here = Word(w) & (~0ull << (static_cast<unsigned>(x) & 63u));
    if (here != 0) return static_cast<int>(w * 64 + static_cast<std::size_t>(Ctz(here)));
    // The next word with a free cell, through the summaries; there is one
    // within the padding.
    ++w;
    std::size_t g = w >> 6;
    std::uint64_t group = summary_[g] & (~0ull << (w & 63u));
    if (group == 0) {
      ++g;
      std::size_t t = g >> 6;
      std::uint64_t groups = top_[t] & (~0ull << (g & 63u));
      while (groups == 0) groups = top_[++t];
      g = t * 64 + static_cast<std::size_t>(Ctz(groups));
      group = summary_[g];
    }
    w = g * 64 + static_cast<std::size_t>(Ctz(group));
    return static_cast<int>(w * 64 + static_cast<std::size_t>(Ctz(Word(w))));
  }

  // Bit b set when cell `position` + b is free.
  std::uint64_t Free64(int position) const {
    const std::size_t p = static_cast<std::size_t>(position);
    return LoadBits(&copies_[p & 7][p >> 3]);
  }

  const unsigned char* Copy(int r) const { return copies_[r].data(); }

 private:
  std::uint64_t Word(std::size_t w) const { return LoadBits(&copies_[0][w * 8]); }

  // New cells are free: their bits are ones.
  void Grow(std::size_t index) {
    std::size_t cells = std::max(cells_ + cells_ / 2, index + 2 * pad_);
    cells = (cells + 4095) & ~std::size_t{4095};
    for (std::vector<unsigned char>& copy : copies_) copy.resize(cells / 8 + 64, 0xFF);
    summary_.resize(cells / 4096 + 2, ~0ull);
    top_.resize(summary_.size() / 64 + 2, ~0ull);
    cells_ = cells;
  }

  std::size_t pad_;
  std::size_t cells_ = 0;
  std::vector<unsigned char> copies_[8];
  std::vector<std::uint64_t> summary_;
  std::vector<std::uint64_t> top_;
};

// Blocks of offsets as groups of 64-bit words: 4 words to a group, as one
// vector register where the compiler has them.
#if (defined(__GNUC__) || defined(__clang__)) && \
    !(defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__)
typedef std::uint64_t WordGroup __attribute__((vector_size(32)));
#define ZHTEXT_WORD_GROUP_VECTOR 1
#else
struct WordGroup {
  std::uint64_t w[4];
  WordGroup operator~() const { return WordGroup{{~w[0], ~w[1], ~w[2], ~w[3]}}; }
  WordGroup& operator&=(const WordGroup& o) {
    for (int i = 0; i < 4; ++i) w[i] &= o.w[i];
    return *this;
  }
  WordGroup operator|(const WordGroup& o) const {
    return WordGroup{{w[0] | o.w[0], w[1] | o.w[1], w[2] | o.w[2], w[3] | o.w[3]}};
  }
};
#endif

// The bits of the 256 cells from `p` on (see LoadBits).
inline void LoadGroup(WordGroup* group, const unsigned char* p) {
#if defined(ZHTEXT_WORD_GROUP_VECTOR)
  std::memcpy(static_cast<void*>(group), p, sizeof(*group));
#else
  for (int i = 0; i < 4; ++i) group->w[i] = LoadBits(p + 8 * i);
#endif
}

// The vector kernel is also built for AVX2 and chosen when the processor has
// it (GCC and Clang on x86-64 ELF). Sanitizer builds check the plain one.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer) || \
    __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define ZHTEXT_PACK_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZHTEXT_PACK_SANITIZED 1
#endif
#if defined(ZHTEXT_WORD_GROUP_VECTOR) && defined(__x86_64__) && defined(__ELF__) && \
    !defined(ZHTEXT_PACK_SANITIZED)
#define ZHTEXT_PACK_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define ZHTEXT_PACK_CLONES
#endif

// The first offset from `base` on at which every code of `codes` lands on
// a free cell, skipping `skip`. Tests kBlockOffsets consecutive offsets at
// a time: one AND per child and group of 256, until no offset of the block
// is left.
ZHTEXT_PACK_CLONES
int ScanBlocks(const unsigned char* const* copies, const int* codes, std::size_t k, int base,
               int skip) {
  constexpr int kGroups = kBlockOffsets / 256;
  const WordGroup none = {};
  const std::size_t sparse = k < 8 ? 0 : 3;
  for (;; base += kBlockOffsets) {
    WordGroup acc[kGroups];
    for (WordGroup& group : acc) group = ~none;
    // The block is given up when no offset is left, looked at after each
    // child for a node with few children (most of its blocks end after one
    // or two), else after the first two and then every fourth.
    std::size_t j = 0;
    for (; j < k; ++j) {
      const int position = codes[j] + base;
      const unsigned char* bits = copies[position & 7] + (position >> 3);
      for (int g = 0; g < kGroups; ++g) {
        WordGroup group;
        LoadGroup(&group, bits + 32 * g);
        acc[g] &= group;
      }
      if (j >= 2 && (j & sparse) != sparse) continue;
      WordGroup left = none;
      for (int g = 0; g < kGroups; ++g) left = left | acc[g];
      std::uint64_t any[4];
      std::memcpy(any, static_cast<const void*>(&left), sizeof(any));
      if ((any[0] | any[1] | any[2] | any[3]) == 0) break;
    }
    if (j < k) continue;  // no offset of the block is left
    std::uint64_t words[4 * kGroups];
    std::memcpy(words, static_cast<const void*>(acc), sizeof(words));
    for (int q = 0; q < 4 * kGroups; ++q) {
      const int from = base + 64 * q;
      std::uint64_t fits = words[q];
      if (skip >= from && skip - from < 64) fits &= ~(std::uint64_t{1} << (skip - from));
      if (fits != 0) return from + Ctz(fits);
    }
  }
}

// The first offset from 1 at which every code of `codes` (descending)
// lands on a free cell, skipping `skip`.
int FirstFit(const CellMap& map, const std::vector<int>& codes, int skip) {
  const int* c = codes.data();
  const int low = codes.back();  // the lowest code (codes are descending)
  if (codes.size() == 1) {
    int offset = map.NextFree(low + 1) - low;
    if (offset == skip) offset = map.NextFree(low + offset + 1) - low;
    return offset;
  }
  if (codes.size() == 2) {
    // Pairs are placed when the array is nearly full: leap from one free
    // cell of the lower child to the next, testing 64 offsets at each.
    for (int base = 1;; base += 64) {
      base = map.NextFree(low + base) - low;
      std::uint64_t fits = map.Free64(low + base) & map.Free64(c[0] + base);
      if (skip >= base && skip - base < 64) fits &= ~(std::uint64_t{1} << (skip - base));
      if (fits != 0) return base + Ctz(fits);
    }
  }
  const unsigned char* copies[8];
  for (int r = 0; r < 8; ++r) copies[r] = map.Copy(r);
  return ScanBlocks(copies, c, codes.size(), 1, skip);
}

inline void Prefetch(const void* p) {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(p);
#else
  (void)p;
#endif
}

// The pending list: nodes with children that have a cell but whose
// children have none yet, taken most children first, then earliest list
// position. A waiting node keeps its position in its `parent` field.
// Children appended to the list take new positions, larger than any before,
// so the nodes of each child count that came that way wait in a queue in
// position order; first children, which take their parent's position, wait
// in a small heap of their count.
class PendingNodes {
 public:
  // `childCounts`: how many nodes have each number of children.
  explicit PendingNodes(const std::vector<int>& childCounts) : counts_(childCounts.size()) {
    std::size_t begin = 0;
    for (std::size_t c = 1; c < childCounts.size(); ++c) {
      counts_[c].head = counts_[c].tail = begin;
      begin += static_cast<std::size_t>(childCounts[c]);
    }
    queued_.resize(begin);
  }

  void Push(PDAT_NODE* node, std::uint32_t position, bool appended) {
    node->parent = static_cast<int>(position);
    ChildCount& c = counts_[static_cast<std::size_t>(node->childCount)];
    if (appended) {
      queued_[c.tail++] = node;
    } else {
      c.heap.push_back(node);
      std::push_heap(c.heap.begin(), c.heap.end(), Later);
    }
    top_ = std::max(top_, node->childCount);
  }

  // The next node (it stays in the list), or null when none waits.
  PDAT_NODE* Next() {
    for (; top_ > 0; --top_) {
      const ChildCount& c = counts_[static_cast<std::size_t>(top_)];
      if (c.head < c.tail && (c.heap.empty() || queued_[c.head]->parent < c.heap.front()->parent)) {
        return queued_[c.head];
      }
      if (!c.heap.empty()) return c.heap.front();
    }
    return nullptr;
  }

  // Takes the node Next() returned out of the list.
  void Remove(PDAT_NODE* node) {
    ChildCount& c = counts_[static_cast<std::size_t>(top_)];
    if (c.head < c.tail && queued_[c.head] == node) {
      ++c.head;
      // The nodes queued next are likely to follow: fetch their memory
      // ahead, the node itself first, then its children.
      if (c.head + 8 < c.tail) Prefetch(queued_[c.head + 8]);
      if (c.head + 4 < c.tail) Prefetch(queued_[c.head + 4]->children);
    } else {
      std::pop_heap(c.heap.begin(), c.heap.end(), Later);
      c.heap.pop_back();
    }
  }

 private:
  static bool Later(const PDAT_NODE* a, const PDAT_NODE* b) { return a->parent > b->parent; }

  // The queue of a child count is queued_[head, tail), within room for
  // every node of that count.
  struct ChildCount {
    std::size_t head = 0;
    std::size_t tail = 0;
    std::vector<PDAT_NODE*> heap;
  };
  std::vector<PDAT_NODE*> queued_;
  std::vector<ChildCount> counts_;
  int top_ = 0;  // no node waits with more children
};

}  // namespace

// Places every node, then writes the cells. While placing, a node's `cell`
// is its cell index; its `parent` holds its list position while it waits,
// then its offset once its children are placed, and its parent's cell once
// its own cell is written.
void CPDAT::PackTree() {
  // Dictionaries take about two cells per word.
  CellMap map(m_nCodeCount, static_cast<std::size_t>(m_nWordCount) * 2);
  int maxCell = 0;
  PDAT_NODE* root = m_pRoot;
  PendingNodes pending(m_pTreeStore->childCounts);
  std::uint32_t nextPosition = 0;

  for (int j = 0; j < root->childCount; ++j) {
    PDAT_NODE* child = &root->children[j];
    child->cell = m_nCharCode[child->label];
    map.Take(child->cell);
    maxCell = std::max(maxCell, child->cell);
    if (child->childCount > 0) pending.Push(child, nextPosition, true);
    ++nextPosition;
  }

  std::vector<int> codes;
  PDAT_NODE* node = pending.Next();
  while (node != nullptr) {
    pending.Remove(node);
    const std::uint32_t position = static_cast<std::uint32_t>(node->parent);
    const int k = node->childCount;
    PDAT_NODE* children = node->children;
    codes.resize(static_cast<std::size_t>(k));
    for (int j = 0; j < k; ++j) codes[static_cast<std::size_t>(j)] = m_nCharCode[children[j].label];
    // The first child takes its parent's place in the list; the others go
    // to its end. The order does not depend on where the children go, so
    // the next node is known now, and its memory can be fetched while this
    // one's offset is sought.
    for (int j = 0; j < k; ++j) {
      if (children[j].childCount > 0)
        pending.Push(&children[j], j == 0 ? position : nextPosition, j > 0);
      if (j > 0) ++nextPosition;
    }
    PDAT_NODE* next = pending.Next();
    if (next != nullptr) Prefetch(next);
    // Which offset fits does not depend on the order the children are
    // tested in. Taken cells lie denser towards the start of the array, so
    // the highest codes first rule out a block of offsets soonest.
    std::sort(codes.begin(), codes.end(), std::greater<int>());
    const int offset = FirstFit(map, codes, node->handle >= 0 ? node->cell : -1);
    node->parent = offset;
    if (next != nullptr) Prefetch(next->children);
    for (int j = 0; j < k; ++j) {
      PDAT_NODE* child = &children[j];
      child->cell = m_nCharCode[child->label] + offset;
      map.Take(child->cell);
      maxCell = std::max(maxCell, child->cell);
    }
    node = next;
  }

  // The cells, all free, then every node's.
  m_nMaxCell = maxCell;
  m_nCapacity = maxCell + 1;
  m_pCells = static_cast<PDAT_CELL*>(
      platform::AllocateLargeBlock(sizeof(PDAT_CELL) * static_cast<std::size_t>(m_nCapacity)));
  if (m_pCells == nullptr) throw std::bad_alloc();
  std::memset(m_pCells, 0xFF, sizeof(PDAT_CELL) * static_cast<std::size_t>(m_nCapacity));
  std::vector<PDAT_NODE*> stack{root};
  root->cell = -2;  // the check of the root's children
  while (!stack.empty()) {
    PDAT_NODE* parent = stack.back();
    stack.pop_back();
    for (int j = 0; j < parent->childCount; ++j) {
      PDAT_NODE* child = &parent->children[j];
      PDAT_CELL& cell = m_pCells[child->cell];
      cell.check = parent->cell;
      if (child->childCount == 0) {  // a leaf
        cell.base = -child->cell;
        cell.handle = child->handle;
      } else if (child->handle >= 0) {
        cell.base = -child->parent;
        cell.handle = child->handle;
      } else {
        cell.base = child->parent;
      }
      if (child->childCount > 0) stack.push_back(child);
      child->parent = parent->cell;
    }
  }
  root->cell = 0;
}

bool CPDAT::Build() {
  if (m_bBuilt) return true;
  if (m_pRoot == nullptr) Reset();
  std::free(m_pCells);
  m_pCells = nullptr;
  m_nCapacity = 0;
  m_nMaxCell = 0;

  CodeAlphabet();
  if (m_pRoot->childCount > 0) {
    PackTree();
  } else {
    // A dictionary without words still has one (free) cell, so that its
    // file holds the cell 0 it describes.
    m_pCells = static_cast<PDAT_CELL*>(std::malloc(sizeof(PDAT_CELL)));
    if (m_pCells == nullptr) throw std::bad_alloc();
    std::memset(m_pCells, 0xFF, sizeof(PDAT_CELL));
    m_nCapacity = 1;
  }

  ReleaseTree();
  std::free(m_pRoot);
  m_pRoot = nullptr;
  m_bBuilt = true;
  return true;
}

}  // namespace zhtext
