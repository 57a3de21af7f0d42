// CPDAT: the dictionary of zhtext, a double-array trie that maps words (GBK
// byte strings, or single bytes in mode 1) to 32-bit handles.
//
// Life of a dictionary:
//   collecting  words go into a construction tree (AddWord), characters are
//               counted; the tree alone also serves as a word counter.
//   built       Build (or Import) packs the tree into cells and releases it.
//   loaded      Load reads a saved file; cells present, tree untouched.
// Searches (Search, MatchLongest, MatchAll, SearchChar) need a built or
// loaded dictionary; before that they find nothing and read no cell.
//
// After Build the construction tree is gone. AddWord, Reset and Import then
// start a fresh tree: a new dictionary whose handles begin again at 0. The
// packed cells stay searchable until the next Build (or Import) replaces
// them; FindWord looks only at the tree and returns -1 until words are added
// again.
//
// Ownership: the object owns its cells, its construction tree, its work
// buffer and its frequency list. The only buffers handed to callers are the
// arrays of MatchAll, which stay the caller's (grown with realloc, released
// with free). The object embeds three tables of 65536 integers (about
// 770 KB): allocate it on the heap.
//
// Concurrency: the searches and Save/Export only read the object, so several
// threads may search one built or loaded dictionary at once. Adding,
// building, loading, importing and clearing need the object to themselves.
//
// Allocation failures throw std::bad_alloc, as the standard containers do.
#ifndef ZHTEXT_DICTIONARY_PDAT_H_
#define ZHTEXT_DICTIONARY_PDAT_H_

#include <cstdio>
#include <string>
#include <vector>

namespace zhtext {

// One cell of the packed trie; also the record layout of the binary file.
// A free cell has all three fields -1.
struct PDAT_CELL {
  int base;    // child offset; negated when the cell ends a word; a leaf
               // holds its own index negated; -1 when free
  int check;   // index of the parent cell; -2 under the root; -1 when free
  int handle;  // the word's handle at a word end, else -1
};
static_assert(sizeof(PDAT_CELL) == 12, "PDAT_CELL is three 32-bit integers");

// One node of the construction tree. Children are kept by value, in the
// order they were first added; a node's address changes when its parent's
// child array grows.
struct PDAT_NODE {
  int label;            // character value of the edge into this node
  int childCount;
  PDAT_NODE* children;  // owned by the object's tree storage; null when none
  int cell;             // cell index once packed; before packing, the node's
                        // serial number (used by the child index)
  int parent;           // parent's cell index once packed; -1 before
  int handle;           // handle of the word ending here, else -1
};

// A tracked word and its count; -1 marks an excluded word.
struct WORD_FREQ {
  std::string word;
  int count;
};

class CPDAT {
 public:
  // `encoding`: 0 double-byte with ASCII letters folded to lower case,
  // 1 single-byte, 2 double-byte with the normalisation of GetCharCode.
  explicit CPDAT(int encoding);
  CPDAT(const CPDAT&) = delete;
  CPDAT& operator=(const CPDAT&) = delete;

  // ---- Virtual operations, in their fixed slot order ----------------------

  // The highest valid cell index (0 for an empty dictionary).
  virtual int GetMaxCell() const;

  // Length in bytes of the longest dictionary word that `text` begins with,
  // 0 if none. `handle` receives its handle (-1 if none); `hasSpace` whether
  // the word contains a whitespace run. Both may be null. Whitespace runs in
  // `text` match one stored space.
  virtual int MatchLongest(const char* text, int* handle, bool* hasSpace) const;

  // The handle of the counted key, or -1. A leading UTF-8 byte-order mark
  // and one pair of enclosing double quotes are ignored; whitespace runs
  // match one stored space.
  virtual int Search(const char* key, unsigned len) const;

  // Search(key, strlen(key)) through the virtual table; -1 for null.
  virtual int Search(const char* key) const;

  // Reads a dictionary file. False when the file cannot be opened or is not
  // a well-formed dictionary (wrong length, negative counts, a mode other
  // than 0-2, a character code outside -1..highest cell); the object is then
  // unchanged. On success the file's mode replaces the constructor's.
  virtual bool Load(const char* path);

  // Writes the dictionary file (a dictionary without cells writes one free
  // cell, so that every saved file loads). False when the file cannot be
  // created or written.
  virtual bool Save(const char* path) const;

  // Builds the dictionary from a word list (one entry per line; see
  // import_term.h) leaving out the words of `filter` when given. Writes the
  // normalised copy `path` + "_export.txt" and prints "%d\t%s Completed!\r"
  // progress lines to standard output. Returns the word count after packing,
  // or 0 (object unchanged) when either file cannot be opened.
  virtual int Import(const char* path, CPDAT* filter);

  virtual ~CPDAT();

  // Does nothing; returns true.
  virtual bool ReturnTrue();

  // Does nothing.
  virtual void NoOperation();

  // ---- Model and searches --------------------------------------------------

  // True when the highest cell index is 0.
  bool IsEmpty() const { return m_nMaxCell == 0; }

  // The number of distinct words added (and the next default handle).
  int GetWordCount() const { return m_nWordCount; }

  // The character mode (0, 1 or 2).
  int GetEncoding() const { return m_nEncoding; }

  // True once the construction tree has been packed (Build, Import).
  bool IsBuilt() const { return m_bBuilt; }

  // The cells 0..GetMaxCell(), or null before any Build or Load.
  const PDAT_CELL* GetCells() const { return m_pCells; }

  // Reads the character at byte `pos` of `text` (length `len`) in this
  // dictionary's mode; returns its value (0-65535, or 9 for a run of mode-2
  // separators) and stores the bytes consumed in `charLen`. Never reads at
  // or past `len`. REQUIRES: 0 <= pos < len.
  int GetCharCode(const char* text, int pos, int len, int* charLen) const;

  // Every word that `text` begins with, shortest first, without whitespace
  // folding. Words longer than `minLen` bytes are appended to the caller's
  // arrays *handles and *ends (both grown together with realloc by 5
  // entries; *capacity counts the entries of each); *count receives their
  // number. Returns the length of the longest word found (appended or not),
  // 0 if none.
  int MatchAll(const char* text, int** handles, int** ends, unsigned* capacity,
               unsigned* count, int minLen) const;

  // The handle of the one-character word with character value `ch` (raw, no
  // folding), or -1.
  int SearchChar(int ch) const;

  // ---- Building --------------------------------------------------------------

  // Starts a new construction tree: the old tree and the frequency list are
  // released, character counts and the word count become 0. The cells are
  // kept until the next Build. Returns true.
  bool Reset();

  // Adds `word` with `handle` (must not be negative). Returns the handle for
  // a new word; -1 for a word already present, an empty word or one made
  // only of mode-2 separators. With `track`, a known word's count grows and
  // its handle is returned (see the word frequency operations).
  int AddWord(const char* word, int handle, bool track);

  // AddWord(word, GetWordCount(), track).
  int AddWord(const char* word, bool track);

  // The handle of `word` in the construction tree, or -1 (also after Build,
  // when there is no tree).
  int FindWord(const char* word);

  // Packs the construction tree into cells and releases the tree; does
  // nothing when already built. Returns true.
  bool Build();

  // Sets the highest cell index and the word count to 0; releases nothing.
  bool ClearSize();

  // ---- Files -----------------------------------------------------------------

  // Import with the progress lines written to `progress` (null: none).
  int ImportWithProgress(const char* path, CPDAT* filter, std::FILE* progress);

  // Writes every word, one per line with CR LF line ends, in the order of
  // the cell of its last character, spelled as the trie holds it (after
  // folding). A word that Search does not find under its own handle is
  // logged ("handle error") and written all the same. False when the file
  // cannot be created or written.
  bool Export(const char* path) const;

  // ---- Text scanning and word frequencies ----------------------------------

 protected:
  PDAT_NODE* m_pRoot;
  PDAT_CELL* m_pCells;
  int m_nCapacity;
  int m_nMaxCell;
  int m_nWordCount;
  char* m_pBuffer;
  int m_nBufferSize;
  int m_nCharCode[65536];
  int m_nCodeCount;
  int m_nCharFreq[65536];
  int m_nCharCount[65536];
  int m_nMinChar;
  int m_nMaxChar;
  std::vector<WORD_FREQ> m_vecWordFreq;
  int m_nEncoding;
  std::string m_sResult;
  bool m_bBuilt;

 private:
  // Storage of the construction tree: pooled child arrays and an index of
  // the children of the nodes with many children (see pdat_build.cpp).
  struct TreeStore;
  TreeStore* m_pTreeStore;

  int AddOrFind(const char* word, int handle, bool track, bool findOnly);
  PDAT_NODE* FindChild(PDAT_NODE* node, int label) const;
  PDAT_NODE* AppendChild(PDAT_NODE* node, int label);
  void ReleaseTree();
  void CodeAlphabet();
  void PackTree();

  // Frequency-list hooks of tracked adding.
  void TrackNewWord(const char* word, int handle);
  WORD_FREQ* TrackedEntry(int handle);

  template <int kMode, bool kCounted>
  int ReadChar(const unsigned char* text, int pos, int len, int* charLen) const;
  template <int kMode>
  int SearchIn(const unsigned char* key, int len) const;
  template <int kMode>
  int MatchLongestIn(const unsigned char* text, int* handle, bool* hasSpace) const;
  template <int kMode>
  int MatchAllIn(const unsigned char* text, int** handles, int** ends, unsigned* capacity,
                 unsigned* count, int minLen) const;
};

}  // namespace zhtext

#endif  // ZHTEXT_DICTIONARY_PDAT_H_
