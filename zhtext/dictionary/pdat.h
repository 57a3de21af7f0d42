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
// caller's own arrays of MatchAll, Segment and FindWords, which stay the
// caller's (grown with realloc, released with free); the texts returned
// from the work buffer and by GetTopWords belong to the object. The object
// embeds three tables of 65536 integers (about 770 KB): allocate it on the
// heap.
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
  int cell;             // cell index once packed; 0 before
  int parent;           // parent's cell index once packed; -1 before
  int handle;           // handle of the word ending here, else -1
};

// A tracked word and its count; -1 marks an excluded word.
struct WORD_FREQ {
  std::string word;
  int count;
};

// A word counted in two objects, as Compare pairs it.
struct WORD_FREQ_PAIR {
  std::string word;
  int countThis;   // count in the object Compare runs on
  int countOther;  // count in the other object
  int total;       // their sum
};

// One dictionary word found in a text by MatchWords.
struct PDAT_MATCH {
  int handle;
  int start;     // byte offset of the word in the text
  int length;    // bytes
  void* extra;   // always null
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
  // a well-formed dictionary; the object is then unchanged. Refused: a wrong
  // length, negative counts, a mode other than 0-2, a character code below
  // -1 (a code beyond the highest cell is accepted: that character finds
  // nothing), a word count above the number of cells, and a handle below -1
  // or at or above the word count. Files the library writes always pass:
  // handles are given in order, below the word count. Two exceptions: a
  // dictionary given handles of its own (AddWord with a handle) at or above
  // its word count saves a file that is refused, and a cleared one
  // (ClearSize: no word, one cell) loads with the handle its one cell kept.
  // On success the file's mode replaces the constructor's.
  virtual bool Load(const char* path);

  // Writes the dictionary file (a dictionary without cells writes one free
  // cell, so that every saved file loads). False when the file cannot be
  // created or written.
  virtual bool Save(const char* path) const;

  // Builds the dictionary from a word list (one entry per line, each line
  // read whole whatever its length; see import_term.h) leaving out the words
  // of `filter` when given. Writes the
  // normalised copy `path` + "_export.txt" and prints "%d\t%s Completed!\r"
  // progress lines to standard output. Returns the word count after packing,
  // or 0 (object unchanged) when either file cannot be opened. 0 also when
  // the copy cannot be written whole (a full disk, say): reading stops, the
  // partial copy is removed and the words read are dropped, leaving the
  // object as Reset leaves it (no words, not built; IsBuilt tells this
  // failure from an empty word list).
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
  // only of tabs or mode-2 separators. Characters that read as the value 9
  // (a tab, and in mode 2 every separator run) are not stored: the word is
  // the one without them, so a trailing tab in modes 0 and 1 is dropped like
  // a trailing separator in mode 2. Trailing separators are found by reading
  // the word's characters from its start: in mode 2 a last character of two
  // bytes whose second byte is '_' (81 5F) is kept whole, where stripping
  // that byte would leave a lone lead byte that no search finds. With
  // `track`, a known word's count grows and its handle is returned (see the
  // word frequency operations).
  int AddWord(const char* word, int handle, bool track);

  // AddWord(word, GetWordCount(), track).
  int AddWord(const char* word, bool track);

  // The handle of `word` in the construction tree, or -1 (also after Build,
  // when there is no tree). Looking up changes nothing: the character counts
  // that decide the packing count only the words added.
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

  // ---- Text scanning ---------------------------------------------------------
  //
  // These run a built or loaded dictionary over running text (a GBK byte
  // string ending at its zero byte; a null text is empty). They read
  // characters and take trie steps as the searches do, in the dictionary's
  // mode, but without whitespace folding. Positions and lengths count bytes.
  // A text longer than kMaxScanText bytes is not scanned: the operations
  // then write an empty result.
  //
  // The variants that write into the object's work buffer (Segment without
  // handles, SegmentFile, FindWords without a buffer, SpotWords) return it;
  // the text stays valid until the next of these calls on the same object,
  // and these calls must not run concurrently on one object. The variants
  // with caller buffers, and MatchWords, only read the object.
  //
  // The boundary test keeps ASCII words and numbers whole: a span is
  // rejected when the byte before it and its first byte are both ASCII
  // letters or both ASCII digits, or its last byte and the byte after it
  // are. The test looks at bytes, not characters.

  // The longest text the scanning operations accept (about 1 GiB).
  static constexpr int kMaxScanText = 0x3FFFFFFF;

  // The boundary test of the span [start, end) of `text` (length `len`):
  // true when the span is accepted.
  static bool IsWordBoundary(const char* text, int start, int end, int len);

  // Cuts `text` into dictionary words by forward maximum matching and writes
  // every token followed by `sep` to the caller's heap buffer *out (grown
  // with realloc to 6 x length + 1 bytes when *outSize is smaller; 2 x
  // length + 1 for texts over 357,913,941 bytes; *outSize updated); the
  // output is zero-terminated. Every byte of the text appears once, in
  // order, in the tokens.
  //   From the segment start the walk goes as far as the trie allows and
  //   emits the longest word found (a leaf at once). A character that begins
  //   no word is a token of its own; an ASCII character (one byte from 0x20
  //   to 0x7F that is not a delimiter: one of " \t-_,.:/~#%^*()") takes the
  //   following such bytes with it, up to a delimiter, a control byte (below
  //   0x20: CR, LF...) or a byte of 0x80 or more, so an unknown ASCII word or
  //   number stays one token. A control byte is never taken into such a
  //   token and never starts one: "tcp\nport" is "tcp", "\n", "port". With `maxLen` > 0 a
  //   walk that has read more than `maxLen` bytes stops and emits the
  //   longest word found so far, which may pass `maxLen` by its last
  //   character; `maxLen` <= 0: no limit.
  // With `handles` and `handlesSize` given, the handle array (*handlesSize
  // entries; grown with realloc to length + 2 when smaller) receives the
  // handle of every dictionary word emitted, and with `allHandles` also -1
  // for every other token, so that handle i belongs to token i. Returns the
  // number of handles written (0 when `out` or `outSize` is null).
  int Segment(const char* text, int** handles, int* handlesSize, char** out, int* outSize,
              bool allHandles, int maxLen, char sep) const;

  // Segment into the work buffer, without handles. Returns the work buffer.
  const char* Segment(const char* text, int maxLen, char sep);

  // Where a long text may be cut for Segment without changing its result:
  // the end of the first character that ends at or after byte `from` (the
  // text, `len` bytes, is read as characters from byte 0), has no code, and
  // is two bytes long or a one-byte delimiter. Segment emits such a
  // character on its own whatever came before it and with whatever
  // `maxLen`, no walk reads past it, and the scan after it starts afresh; so
  // the segmentation of the bytes before the cut followed by that of the
  // bytes after it equals the segmentation of the whole, token for token and
  // handle for handle. Returns `len` when there is no such character.
  int FindSegmentCut(const char* text, int len, int from) const;

  // Segments the whole file `inPath` (read with ReadFileBlock; the text ends
  // at its first zero byte) with a tab after every token and writes the
  // result and a line end to `outPath` in text mode (CR LF line ends).
  // Returns the speed in thousands of bytes of input per second, an elapsed
  // time under 1 ms counting as 1 ms; 0 when the input is empty or cannot be
  // read, or the output cannot be created or written (nothing written for an
  // empty or unreadable input).
  float SegmentFile(const char* inPath, const char* outPath);

  // Appends a record (handle, start, length, null) to `matches` for every
  // dictionary word found in `text`. From each candidate start the walk
  // keeps the latest word end; a record is stored when it holds a word and,
  // for types 0 and 1, passes the boundary test. A leaf that passes is
  // stored at once.
  //   type 0  non-overlapping: after a stored word the scan goes on at its
  //           end; a character without a code ends a candidate.
  //   type 1  overlapping: every candidate start is scanned, one character
  //           after another, also after a word that the boundary test
  //           rejected (in "a1bc" with the words a1b and 1bc, a1b ends
  //           inside "bc" and 1bc is found at 1; going on at the end of
  //           a1b would land inside that run, where every word fails the
  //           test, and lose 1bc); besides the characters without a
  //           code, every character other than 0-9, a-z (after folding),
  //           the byte 0xFF and the two-byte characters with a first byte
  //           of 0xB0 or more and a second of 0xA1 or more ends a
  //           candidate, and a word right before such a character is stored
  //           without the boundary test.
  //   type 2  as type 0 without the boundary test.
  // When a candidate of type 0 or 2 ends (a failed step, a character
  // without a code, the end of the text) without a stored word, the scan
  // goes on at the end of the kept span: the latest word end, else the
  // first character. The
  // characters before a character without a code are scanned as starts as
  // well, and so is the rest of the text after a walk that ran into its
  // end, so no word is missed because a longer candidate broke off. Any
  // other type finds nothing. Returns 0.
  int MatchWords(const char* text, std::vector<PDAT_MATCH>& matches, int type) const;

  // Writes the dictionary words found in `text` to the caller's heap buffer
  // *buffer (grown with realloc to 3 x length + 1 bytes when *bufferSize is
  // below 2 x length + 1; *bufferSize updated), each followed by a blank,
  // and returns it (zero-terminated). Words do not overlap: from each start
  // the latest word end is kept, emitted when it passes the boundary test,
  // and the scan goes on at its end (at the end of the first character when
  // there is none). A word that the walk reached at the end of the text,
  // with longer words still possible, is written without its blank (a
  // later word is still separated by one). After an ASCII letter or digit
  // that begins no word, the rest of its run of letters (or digits) is
  // skipped, since no word may start inside it; as in MatchWords, a
  // character without a code does not hide the words before it.
  // With `found` given, *found tells whether the text holds a word: the
  // search stops at the first one, which becomes the buffer's text (without
  // a blank). `buffer` (or `bufferSize`) null: nothing is written and the
  // result is null.
  const char* FindWords(const char* text, char** buffer, int* bufferSize, bool* found) const;

  // FindWords into the work buffer. Returns the work buffer.
  const char* FindWords(const char* text, bool* found);

  // Candidate words at every character position of `text`, each followed
  // by a blank, into the work buffer (replaced by one of 5 x length + 1
  // bytes); writing stops at the first word that would not fit in 5 x
  // length bytes. At each start the shortest word is written, and, when
  // longer words begin with it, also the longest word the walk reaches
  // before it fails or the text ends (a leaf, or the last word end passed);
  // each only when it passes the boundary test. A character without a code
  // ends the start; every start walks from the root afresh. After a
  // one-byte character that begins no word, one following blank (TAB, LF,
  // CR or SPACE) is skipped. Returns the work buffer.
  const char* SpotWords(const char* text);

  // ---- Word frequencies -----------------------------------------------------
  //
  // An object that is never built can count words: every word added with
  // tracking (AddWord(word, true), always with the default handle) has an
  // entry with its count in the frequency list, entry i belonging to handle
  // i. Reports rank the entries by count, highest first, ties in the order
  // the words were first added, without reordering the list itself, so
  // counting and comparing after a report still find each word's entry. An
  // excluded word has the count -1: it ranks last, is not counted again
  // until ResetCounts, and a word that begins with it is not added.

  // Sets every count to 0, excluded words included.
  void ResetCounts();

  // ResetCounts, then AddWord(word, true) for every word in order. Returns
  // the number of entries.
  int CountWords(const std::vector<std::string>& words);

  // AddWord(word, true); when that gives a handle, the word is excluded.
  // Returns the result of AddWord.
  int AddExcludedWord(const char* word);

  // The first `n` ranks (-1: all; any other negative `n`: none) as
  // "word/count#" items. A word longer than
  // 4 bytes that contains a higher-ranked word of 4 bytes or more is left
  // out, without being replaced by a later one. The text is valid until the
  // next report on this object; empty for an empty list.
  const char* GetTopWords(int n);

  // Compares the counts of this object with those of `other` (which must
  // still have its construction tree). A word that has an entry in both
  // (counted 0 or more; not excluded in either) becomes a common word:
  // `common` lists the 10 with the highest sum as
  // "word/countThis/countOther#", and both objects then exclude it.
  // `onlyThis` and `onlyOther` list the 10 highest-ranked remaining words
  // with a count above 0 of each object as "word/count#". Excluded words
  // take no part. A null `other` leaves `common` and `onlyOther` empty.
  void Compare(CPDAT* other, std::string& common, std::string& onlyThis, std::string& onlyOther);

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
  // Storage of the construction tree: pooled child arrays, the index of the
  // children of a node with many children, and the path of the latest word
  // added (see pdat_build.cpp).
  struct TreeStore;
  TreeStore* m_pTreeStore;

  int AddOrFind(const char* word, int handle, bool track, bool findOnly);
  PDAT_NODE* FindChild(PDAT_NODE* node, int label) const;
  PDAT_NODE* AppendChild(PDAT_NODE* node, int label);
  void ReleaseTree();
  void CodeAlphabet();
  void PackTree();

  // Frequency-list hooks of tracked adding.
  void TrackNewWord(const char* word);
  WORD_FREQ* TrackedEntry(int handle);

  // The entries in ranked order (indices into m_vecWordFreq).
  std::vector<int> RankEntries() const;

  template <int kMode>
  int SegmentIn(const unsigned char* text, int len, int* handles, char* out, bool allHandles,
                int maxLen, char sep) const;
  template <int kMode>
  int FindSegmentCutIn(const unsigned char* text, int len, int from) const;
  template <int kMode>
  void MatchWordsIn(const unsigned char* text, int len, std::vector<PDAT_MATCH>& matches,
                    int type) const;
  template <int kMode>
  void FindWordsIn(const unsigned char* text, int len, char* out, bool* found) const;
  template <int kMode>
  void SpotWordsIn(const unsigned char* text, int len, char* out, int limit) const;

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
