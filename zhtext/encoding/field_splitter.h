// The field splitter: cuts one line of GBK text into fields at delimiter
// bytes, the way the delimited ID map imports and the stream field reader
// read their lines. The text is read as GBK characters: only one-byte
// characters are blanks or delimiters (delimiters are meant to be ASCII), so
// a two-byte character whose second byte is a delimiter byte (83 7C holds
// '|') is never cut. Re-entrant; the input text is never changed.
#ifndef ZHTEXT_ENCODING_FIELD_SPLITTER_H_
#define ZHTEXT_ENCODING_FIELD_SPLITTER_H_

#include <string>
#include <vector>

namespace zhtext {

// Empties `list`, then appends the fields of `text`. Each field starts after
// any run of SPACE, TAB, CR and delimiter bytes and runs up to the next byte
// of `delimiters` (or the end); SPACE, TAB and CR inside a field and at its
// end stay, but CR and LF bytes at its end are removed. Empty fields never
// appear: consecutive delimiters count as one, and a line of delimiters and
// blanks gives no field. Returns the number of fields (0 for a null text).
int SplitFields(const char* text, const char* delimiters, std::vector<std::string>& list);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_FIELD_SPLITTER_H_
