// CWordList: the reverse of a CPDAT dictionary. It maps a dictionary handle
// back to a text: the texts are kept as one block of zero-terminated strings
// plus a table of offsets indexed by handle. A list is filled from a text
// file of words (each word's handle taken from the dictionary), word by word,
// or from word records, and is saved to a binary file whose text block is
// enciphered with the data cipher (CVeskEncript, word list key):
//
//   offset        size      content (32-bit signed, little-endian)
//   0             4         word count
//   4             4         index size N
//   8             4*(N+1)   the offset table
//   8+4*(N+1)     4         text length L
//   12+4*(N+1)    L         the text block, enciphered unless the list is
//                           plain; every text ends in a zero byte
//
// Only the text block is ever enciphered, and the file does not say whether
// it is: a file written by an enciphering list must be read by one.
//
// Ownership: the list owns its offset table, text block and pair buffer (C
// heap). Texts returned by GetWord point into the text block and stay valid
// until the next Init, AddWord, Import, BuildFromRecords, Load or
// destruction. The dictionary passed in is the caller's and must outlive
// every call that uses it (AddWord(word), Import).
//
// Concurrency: GetWord, GetCount, Save and ExportFiltered only read the list,
// so a finished list may be read by several threads at once; every other
// operation needs the object to itself.
#ifndef ZHTEXT_WORDLIST_WORD_LIST_H_
#define ZHTEXT_WORDLIST_WORD_LIST_H_

#include <cstdio>
#include <string>
#include <vector>

namespace zhtext {

class CPDAT;

// A stored text: its handle and its position in the text block.
struct WORDLIST_PAIR {
  int handle;
  int offset;
};

// An input of BuildFromRecords: the word looked up in the dictionary and
// the text stored for it. Hosts may carry further data per record beside
// these two fields; the word list reads only them.
struct WORD_RECORD {
  std::string word;
  std::string text;
};

class CWordList {
 public:
  // `encrypt`: whether Save enciphers the text block and Load deciphers it.
  // `dict` gives the handles of AddWord(word) (may be null; Import and
  // BuildFromRecords take their own). Starts a filling (Init).
  CWordList(bool encrypt, CPDAT* dict);
  virtual ~CWordList();

  CWordList(const CWordList&) = delete;
  CWordList& operator=(const CWordList&) = delete;

  // ---- Filling ------------------------------------------------------------

  // Starts a new filling: the pair buffer (10000 entries) and the text block
  // (1024000 bytes) are allocated zeroed if missing, else kept; the word
  // count and the text length become 0 and the list is no longer indexed.
  // The index size and the offset table stay until BuildIndex replaces them,
  // so after BuildIndex handles of an earlier, larger filling that received
  // no text read the first text of the new block. Returns true (false only
  // when a first block cannot be allocated).
  bool Init();

  // Skips a leading UTF-8 byte-order mark of `word`, looks the rest up in
  // the list's dictionary and stores it under its handle. A word that is not
  // in the dictionary (or any word, without a dictionary) is not stored; the
  // word alone is written to the day's log (not the error log). Returns true;
  // false only when the word cannot be stored for lack of memory.
  bool AddWord(const char* word);

  // Stores `word` under `handle`; a negative handle logs the word and stores
  // nothing. The index size grows to handle + 1 when needed. A handle stored
  // twice keeps its later text in the index; both texts stay in the block
  // and both are counted. Returns true; false (nothing stored) for the
  // handle INT_MAX, or when the buffers cannot grow.
  bool AddWord(const char* word, int handle);

  // Builds the offset table from the texts stored since Init: index size + 1
  // entries, 0 for a handle without a text. Does nothing once the list is
  // indexed (after BuildIndex, Import, BuildFromRecords or Load): words added
  // after that without an Init stay out of the table. Returns true; false
  // (old table kept) when the table cannot be allocated.
  bool BuildIndex();

  // ---- Look-ups -------------------------------------------------------------

  // The text of `handle`: the empty text for a handle below 0, at or above
  // the index size, or beyond the offset table (a word added after the last
  // indexing); the first text of the block for a handle inside the range
  // that received none. Never null.
  const char* GetWord(int handle) const;

  // The number of texts stored (duplicates included) since the last Init,
  // or the word count of the loaded file.
  int GetCount() const { return m_nWordCount; }

  // The number of handles the offset table covers.
  int GetIndexSize() const { return m_nIndexSize; }

  // Bytes of the text block in use (every text with its zero byte).
  int GetTextLength() const { return m_nTextLen; }

  // Whether the file's text block is enciphered.
  bool IsEncrypted() const { return m_bEncrypt; }

  // Whether the offset table describes the texts stored (see BuildIndex).
  bool IsIndexed() const { return m_bIndexed; }

  // ---- Bulk filling and export ----------------------------------------------

  // Fills the list from `records`: each record whose word `dict` knows is
  // stored under the word's handle, with its text when `useText` is set,
  // else with its word; records of unknown words are skipped. The index
  // size becomes the dictionary's word count (or one more than the largest
  // handle stored, when that is larger) and the list is indexed; later
  // records of a handle win. The pair buffer is not used. Returns the number
  // of texts stored; 0, with the list unchanged, when `dict` is null.
  int BuildFromRecords(const std::vector<WORD_RECORD>& records, CPDAT* dict, bool useText);

  // Fills the list from the word file at `path`, one entry per line by the
  // term rule of the dictionary import (see dictionary/import_term.h; lines
  // are read whole, whatever their length; a line without a token is
  // skipped), each entry stored as AddWord(entry) stores it with the
  // handles of `dict` (or of the list's dictionary when `dict` is null; a
  // non-null `dict` becomes the list's dictionary), except that a handle at
  // or above the dictionary's word count counts as none (the entry is
  // logged and not stored): the table never grows beyond the word count.
  // Writes the normalised copy `path` + "_wordlist_export.txt" (one line per
  // entry in the form of dictionary/import_term.h, "[entry]" for an entry
  // with blanks; single LF line ends) and "Line %d\r" progress lines to
  // `progress` (null: none).
  // Returns the word count after indexing; 0, with the list unchanged, when
  // either file cannot be opened or there is no dictionary. 0 also when the
  // copy cannot be written whole (a full disk, say): reading stops, the
  // partial copy is removed and the words read are dropped (the list as Init
  // leaves it, not indexed: IsIndexed tells this failure from an empty list).
  int Import(const char* path, CPDAT* dict, std::FILE* progress = stdout);

  // Writes GetWord(h) for every handle h of `dict` (0 to its word count - 1)
  // to `path`, one per line, CR LF line ends, leaving out the handles of the
  // words listed in `filterPath` (first token of each line) that are longer
  // than one GBK character and start with a GBK character. A filter file
  // that cannot be opened (or a null one) filters nothing. Returns 0; 1 when
  // `path` cannot be created (after printing "Error open file <path>.\n" on
  // standard output), when `dict` is null, or when a write fails.
  int ExportFiltered(const char* path, CPDAT* dict, const char* filterPath) const;

  // ---- The binary file --------------------------------------------------------

  // Writes the list (layout above); the texts in memory stay plain. A list
  // that was never filled is written as the empty list (16 zero bytes).
  // False when the file cannot be opened or a write fails (the file may then
  // be incomplete), and, writing nothing, when the list is being filled
  // (after Init, before BuildIndex: call BuildIndex first).
  bool Save(const char* path) const;

  // Replaces the list by the one in the file, deciphering the text block
  // when the list enciphers. The file is checked first: counts not negative,
  // the file at least as long as the offsets and the text block it
  // announces, every offset inside the text block (all 0 when the block is
  // empty) and a non-empty block ending in a zero byte. A file written with
  // the other encryption setting fails this check. False, with the list as
  // it was, when the file cannot be opened or read, fails a check, or the
  // memory cannot be allocated. The pair buffer is not touched.
  bool Load(const char* path);

 private:
  // The number of handles GetWord answers from the offset table.
  int TableHandles() const;
  // Appends `len` bytes of `text` and a zero byte to the text block; its
  // offset goes to `*offset`. False when the block cannot grow.
  bool AppendText(const char* text, std::size_t len, int* offset);

  int m_nWordCount;              // texts stored since the last Init
  int m_nIndexSize;              // handles covered by the offset table
  int* m_pOffsets;               // offset table (C heap)
  char* m_pText;                 // text block (C heap)
  int m_nTextCapacity;           // bytes allocated for the text block
  int m_nTextLen;                // bytes of the text block in use
  WORDLIST_PAIR* m_pPairs;       // one entry per stored text (C heap)
  int m_nPairCapacity;           // entries allocated in m_pPairs
  CPDAT* m_pDict;                // gives handles; not owned
  bool m_bEncrypt;               // the file's text block is enciphered
  bool m_bIndexed;               // m_pOffsets built since the last Init

  int m_nTableSize;              // entries allocated in m_pOffsets
};

}  // namespace zhtext

#endif  // ZHTEXT_WORDLIST_WORD_LIST_H_
