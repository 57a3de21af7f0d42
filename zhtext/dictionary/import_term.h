// The term rule shared by the text imports of zhtext (dictionary word lists,
// ID map pairs, word lists): how one entry is taken from a token of an input
// line, and the form in which it is written to the import's normalised copy;
// and the writer of that copy.
//
// The functions are pure and may run on any thread; an ImportCopy is used
// by one thread.
#ifndef ZHTEXT_DICTIONARY_IMPORT_TERM_H_
#define ZHTEXT_DICTIONARY_IMPORT_TERM_H_

#include <cstddef>
#include <cstdio>
#include <string>

namespace zhtext {

// The first token of `line` as the imports read it: the first run of bytes
// that are not blank (SPACE, TAB, LF, VT, FF, CR), as "%s" scanning takes
// it. Returns its first byte and stores its length in `*len`; null when the
// line holds no token.
const char* ScanImportToken(const char* line, std::size_t* len);

// `text` past a leading UTF-8 byte-order mark (EF BB BF), if it has one.
const char* SkipUtf8Bom(const char* text);

// Applies the term rule to `token`, a run of non-blank bytes read from an
// input line; `rest` is that line from the token's first byte on, as read
// (line break included), or null to take the token alone.
//   1. A leading UTF-8 byte-order mark (EF BB BF) of the token is skipped.
//   2. A token that then begins with '[' gives the text of `rest` after its
//      first '[' up to, not including, the next ']' (without a ']', to the
//      end of `rest`, line break included); blanks may occur in it. Any other
//      token is the term itself.
//   3. A term whose first byte is 0x01-0x7F has every '_' replaced by a
//      blank, and is bracketed when it then holds a blank or a tab.
// Brackets and '_' are one-byte characters: the text is read as GBK, so the
// second byte of a two-byte character (81 5D holds ']', 81 5F '_') neither
// closes a bracket nor becomes a blank. A term
//      that starts with a byte of 0x80 or more is never changed.
// `term` receives the term (what is looked up or added), `output` its form
// for the normalised copy, followed by `separator` (none when null). The
// form reads back as the same term, so the copy imports again to the same
// words:
//   - "[term]" when a token could not hold the term: it holds a blank (SPACE,
//     TAB, CR, VT, FF), whatever its first byte, or begins with '['. Within
//     the rule's own words: an ASCII term with a blank or a tab, and also a
//     GBK term with one;
//   - "[term" for a term that ran to the end of its line, LF included (a
//     bracket left open): the term's own LF ends the copy's line, and a
//     separator "\n" is not added again;
//   - the term with its blanks written as '_' when it holds a ']' besides
//     its blanks (only a token whose '_' became blanks gives such a term,
//     and brackets could not hold it);
//   - the term itself otherwise.
// Returns whether the form is in brackets. An empty term is possible (a
// token of only a byte-order mark, or "[]"); its form is empty.
bool NormalizeImportTerm(const char* token, const char* rest, const char* separator,
                         std::string* term, std::string* output);

// The normalised copy an import writes beside its input. Every write and
// the close are checked, so a full disk is an error, not a short copy; a
// copy that was not written whole is removed, so no partial copy remains.
class ImportCopy {
 public:
  ImportCopy() = default;
  ImportCopy(const ImportCopy&) = delete;
  ImportCopy& operator=(const ImportCopy&) = delete;
  // A copy still open (the import stopped without Finish) is closed and
  // removed.
  ~ImportCopy();

  // Creates (or truncates) `path` for binary writing. False when it cannot
  // be created.
  bool Open(const std::string& path);

  // Appends `bytes`. False once any write has failed.
  bool Write(const std::string& bytes);

  // Closes the copy. True when every write and the close succeeded; false
  // otherwise, and the copy is then removed.
  bool Finish();

 private:
  std::string m_strPath;
  std::FILE* m_fp = nullptr;
  bool m_bOk = true;
};

}  // namespace zhtext

#endif  // ZHTEXT_DICTIONARY_IMPORT_TERM_H_
