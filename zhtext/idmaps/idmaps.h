// CIDMaps: relations from integer keys to lists of integer values; in the
// library both are dictionary handles (a key is the handle of a word in one
// CPDAT, each value the handle of a word in the same or another one), so a
// map tells which words are related to a given word.
//
// A map is filled with (key, value) pairs (Clear, AddPair...) and then packed
// once (BuildMap) into two flat arrays: a data array in which each key's
// values lie side by side, ascending in signed order and free of duplicates,
// and an index giving for every key the inclusive range of its values. A
// packed map is saved to and loaded from a small binary file (little-endian,
// no header):
//
//   offset   size  content
//   0        4     data size N, 32-bit signed
//   4        4     index size M, 32-bit signed
//   8        4*N   the data array (the -1 room left by duplicates included)
//   8+4*N    8*M   the index: M (start, end) pairs, 32-bit signed each
//
// Ownership: the object owns its data array, index and pair buffer (C heap)
// and releases them when destroyed. Pointers returned by GetIDList point into
// the data array and stay valid until the next BuildMap, Load or destruction.
//
// Concurrency: no locks. A packed map only read (GetIDList, GetMinID,
// GetRelated, Save) may be used by several threads at once; Clear, AddPair,
// BuildMap, SortPairs and Load need the object to themselves.
#ifndef ZHTEXT_IDMAPS_IDMAPS_H_
#define ZHTEXT_IDMAPS_IDMAPS_H_

#include <vector>

namespace zhtext {

// One (key, value) pair of the pair buffer; the value comes first.
struct IDMAP_PAIR {
  int value;
  int key;
};

// The inclusive range of a key's values in the data array; (-1, -1) for a
// key without values.
struct IDMAP_RANGE {
  int start;
  int end;
};

class CIDMaps {
 public:
  CIDMaps();
  virtual ~CIDMaps();

  CIDMaps(const CIDMaps&) = delete;
  CIDMaps& operator=(const CIDMaps&) = delete;

  // ---- Filling and packing ----------------------------------------------

  // Starts a new filling: the pair buffer is allocated (10240 pairs, zeroed)
  // if there is none, else kept with its capacity; the data and index sizes
  // become 0, which hides the arrays of an earlier packing from the look-ups
  // until BuildMap or Load replaces them. Returns true.
  bool Clear();

  // Appends the pair (key, value); the buffer grows by 10000 pairs when full.
  // A pair with key < 0 or value < -1 is ignored (a value of -1 is an
  // ordinary value), and so is one with the key INT_MAX (its index size could
  // not be stored). Returns true, also when the pair is ignored; false only
  // when the buffer cannot grow (the pair is then not stored, nothing lost).
  bool AddPair(int key, int value);

  // Packs the pairs added since the last Clear into the data array and the
  // index, replacing the old ones, and prints "Build map success!\n" on
  // standard output. The data size still counts every pair added,
  // duplicates included; the positions after the last key's range hold -1.
  // Returns true; false (old arrays kept) when the arrays cannot be
  // allocated.
  bool BuildMap();

  // Sorts `pairs[lo..hi]` (inclusive) ascending by (key, value), signed: a
  // quicksort that falls back to an exchange sort for ranges of at most 10
  // pairs and after ten consecutive degenerate partitions. Its recursion
  // depth stays logarithmic in the range length.
  void SortPairs(IDMAP_PAIR* pairs, int lo, int hi);

  // ---- The binary file ----------------------------------------------------

  // Writes the packed map (layout above); a map with no pairs (new, or just
  // cleared) is written as the 8-byte empty map. False when the file cannot
  // be opened or a write fails (the file may then be incomplete), and when
  // pairs have been added that BuildMap has not packed yet (nothing is
  // written then).
  bool Save(const char* path) const;

  // Replaces the map by the one in the file. The file is checked first: both
  // sizes not negative, the file exactly as long as they announce, and every
  // index entry either (-1, -1) or a range start <= end inside the data
  // array. False, with the map as it was, when the file cannot be opened or
  // read, fails a check, or the arrays cannot be allocated. The pair buffer
  // is not touched: call Clear before filling the map again.
  bool Load(const char* path);

  // ---- Look-ups -------------------------------------------------------------

  // The values of `key`: `*count` of them starting at the result. Null with
  // `*count` 0 when the key is out of range or has no values.
  int* GetIDList(int key, int* count) const;

  // The smallest value of `key` in signed order, or -1 when the key is out of
  // range or has no values (-1 may also be a genuine smallest value).
  int GetMinID(int key) const;

  // Empties `result`, then follows `key` one step when it has exactly one
  // value `v`: `v` is appended and the list of `v` (as a key) is taken
  // instead. When the list taken last has two or more values, each of them
  // that differs from `key` is appended in order. Returns the length of the
  // list taken last (0 when it is absent), not the size of `result`; 0 for a
  // key out of range.
  int GetRelated(int key, std::vector<int>& result) const;

  // ---- Sizes and arrays (reports, tests) --------------------------------

  // Pairs added since the last Clear (duplicates included), or the data
  // size of the loaded file.
  int GetDataSize() const { return m_nDataSize; }
  // One more than the largest key added, or the index size of the loaded
  // file.
  int GetIndexSize() const { return m_nIndexSize; }
  // Pairs the pair buffer can hold.
  int GetCapacity() const { return m_nCapacity; }
  // The packed arrays, GetDataSize() and GetIndexSize() entries; null when
  // the map is empty or a filling is under way.
  const int* GetData() const { return m_bPacked ? m_pData : nullptr; }
  const IDMAP_RANGE* GetIndex() const { return m_bPacked ? m_pIndex : nullptr; }

 private:
  // The key's range, or null when the key is out of range or has no values.
  const IDMAP_RANGE* FindRange(int key) const;

  int m_nCapacity;       // pairs the pair buffer can hold
  int m_nDataSize;       // pairs added since Clear; length of the data array
  int* m_pData;          // data array (C heap)
  int m_nIndexSize;      // one more than the largest key
  IDMAP_RANGE* m_pIndex; // index (C heap)
  IDMAP_PAIR* m_pPairs;  // pair buffer (C heap, zeroed)
  int m_nBadSplits;      // consecutive degenerate partitions of SortPairs

  // Whether m_pData and m_pIndex hold exactly m_nDataSize and m_nIndexSize
  // entries (after BuildMap or Load). Cleared by Clear and AddPair: while a
  // filling is under way the sizes no longer describe the arrays, and the
  // look-ups see an empty map.
  bool m_bPacked;
};

}  // namespace zhtext

#endif  // ZHTEXT_IDMAPS_IDMAPS_H_
