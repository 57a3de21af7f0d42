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
//
// Text imports and reports: five importers fill a map from GBK text files of
// words, turning words into handles with CPDAT::Search of the dictionaries
// passed in; ExportText and GetWordPairs turn a packed map back into words
// with CWordList::GetWord. Each import is a complete filling (Clear, one
// AddPair per accepted pair, BuildMap) and needs the map, the dictionaries
// and the word lists to itself. The dictionaries and word lists stay the
// caller's.
#ifndef ZHTEXT_IDMAPS_IDMAPS_H_
#define ZHTEXT_IDMAPS_IDMAPS_H_

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace zhtext {

class CPDAT;
class CWordList;

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

  // Where BuildMap prints "Build map success!\n": standard output unless
  // set otherwise; null prints nothing. A caller that reports success only
  // once the map is saved, say, prints the line itself.
  void SetBuildReport(std::FILE* stream) { m_fpReport = stream; }

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

  // ---- Text imports ---------------------------------------------------------
  //
  // Common rules. Input files are read in binary mode, line by line, each
  // line whole whatever its length. A token is a run of bytes other than
  // space, \t, \n, \v, \f and \r. A key word is looked up in the key
  // dictionary (handle k), a value word in the value
  // dictionary (handle v); a handle at or above its dictionary's word count
  // (given by the host with AddWord, or kept by a cleared dictionary) counts
  // as no handle, so the index never grows beyond the key dictionary's word
  // count. The pair is rejected when k < 0, v < -1, or the
  // two dictionaries are one object and k == v; a value word that is not in
  // its dictionary is stored as the value -1. A rejected pair writes one
  // line to the day's error log: the key word if k < 0, then a blank and the
  // value word if v < 0, then " invalid argument!". A null value dictionary
  // stands for the key dictionary.
  //
  // Each import returns the data size after BuildMap: the pairs accepted,
  // duplicates included (both directions in ImportSymmetric). It returns 0,
  // with the map as it was, when an input file (or the normalised copy)
  // cannot be opened or the key dictionary is null; 0 also when the packing
  // fails for lack of memory. ImportPairs returns 0 as well when its copy
  // cannot be written whole (a full disk, say): reading stops, the partial
  // copy is removed and the map is left cleared (Clear: no pairs, nothing
  // packed, and no "Build map success!"). Progress lines go to `progress`
  // (null: none); BuildMap prints "Build map success!\n" on standard output.

  // Line i of the key file pairs with line i of the value file; a leading
  // UTF-8 byte-order mark of either line is skipped and the first token of
  // each is the word. Reading stops at the end of either file. A line pair
  // in which either line holds no token adds nothing and writes no message:
  // each step consumes exactly one line of each file, so the files stay in
  // step.
  int ImportParallel(const char* keyPath, const char* valuePath, CPDAT* keyDict,
                     CPDAT* valueDict);

  // One pair per line: the key term, then the value term, each taken from
  // its token by the term rule of dictionary/import_term.h (a leading
  // byte-order mark skipped; a token starting with '[' takes the line's text
  // up to the next ']'; '_' becomes a blank in terms starting with an ASCII
  // byte). When the key term's brackets hold blanks, the value token is the
  // first token after the token that holds the closing ']' (so
  // "[New York] NY" pairs New York with NY). Writes the normalised copy
  // `path` + "_map_export.txt": per line with a token, the key term's form,
  // a tab, the value term's form and a LF, each form as
  // dictionary/import_term.h writes it ("[term]" for a term with blanks). A
  // line with no value token (a single token, or a key bracket left open to
  // the end of the line) pairs nothing and writes no message; its copy line
  // is the key term's form and a LF (the term's own LF for an open
  // bracket), and it is not counted. Every 100th counted line prints
  // "Line %d: %s->%s\n" with the count and the two tokens.
  int ImportPairs(const char* path, CPDAT* keyDict, CPDAT* valueDict,
                  std::FILE* progress = stdout);

  // Tab-separated lines (fields as SplitFields cuts them at "\t"): the last
  // field is the key word, every other field a value word, all in `dict`.
  // A line of fewer than 2 fields is skipped and not counted; a line whose
  // key word is not in `dict` adds nothing and writes no message. Before
  // each counted line, "%d\r" with the count so far is printed when that
  // count is a multiple of 100 (0 at the first counted line).
  int ImportTabbed(const char* path, CPDAT* dict, std::FILE* progress = stdout);

  // Lines of fields separated by commas, blanks, tabs, CR and LF: the first
  // field is the key word, each further field a value word. A line without
  // fields is skipped and not counted; every 100th counted line prints
  // "Line %d: %s\n" with the count and the line as read. A key word that is
  // not in its dictionary writes one message per value field.
  int ImportLists(const char* path, CPDAT* keyDict, CPDAT* valueDict,
                  std::FILE* progress = stdout);

  // As ImportLists with `dict` as both dictionaries; each accepted pair is
  // added both ways, (k, v) and (v, k) (the second is dropped when v is -1).
  int ImportSymmetric(const char* path, CPDAT* dict, std::FILE* progress = stdout);

  // ---- Text reports -----------------------------------------------------------

  // Writes the report to `path` in text mode (CR LF line ends): the line
  // "Data Size=%d,Index Size=%d", then for each key with values (with
  // `multiOnly`, only keys with more than one value), in key order,
  // "Handle=%d(%s),Start=%d\tEnd=%d count=%d" with the key, its word, its
  // range and its value count, and the line " data=" followed by "%d(%s) "
  // for each value and its word. Words come from `keyWords` and
  // `valueWords` (GetWord; the empty text for a handle outside the list,
  // -1 included); a null list prints "(null)" for each of its words. A map
  // being filled (pairs added since the last packing) reports its sizes and
  // no key. False when the file cannot be opened or a write fails.
  bool ExportText(const char* path, const CWordList* keyWords, const CWordList* valueWords,
                  bool multiOnly) const;

  // Appends (key word, value word) for every value of every key, keys
  // ascending, values in their packed order; `pairs` is not emptied first.
  // Returns the size of `pairs` afterwards; with a null word list nothing
  // is appended.
  int GetWordPairs(std::vector<std::pair<std::string, std::string>>& pairs,
                   const CWordList* keyWords, const CWordList* valueWords) const;

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
  // Whether the map is packed (BuildMap or Load since the last Clear or
  // AddPair); an import that failed leaves it unpacked or as it was.
  bool IsPacked() const { return m_bPacked; }
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

  std::FILE* m_fpReport;  // where BuildMap reports; null: nowhere
};

}  // namespace zhtext

#endif  // ZHTEXT_IDMAPS_IDMAPS_H_
