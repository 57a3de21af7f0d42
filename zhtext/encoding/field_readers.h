// Field readers: the value of a named field in JSON-like or XML-like GBK
// text, read without a parser. Each reader takes the first occurrence of the
// field and does no unescaping and no nesting; they serve short, flat
// messages whose form the library itself produces or expects.
//
// The search patterns are the name in its markup: "\"key\":" (JSON key),
// "<tag>" and "</tag>" (XML elements, exactly so: no attributes or spaces
// inside the brackets) and "name=\"" (attributes). A name longer than 252
// bytes (kMaxFieldNameLength) is never found: such a field reads as missing.
//
// Values go to an owned string, emptied before the search, so a missing
// field gives an empty value. Results that point into `text` stay valid as
// long as `text` does. All functions are re-entrant.
#ifndef ZHTEXT_ENCODING_FIELD_READERS_H_
#define ZHTEXT_ENCODING_FIELD_READERS_H_

#include <cstddef>
#include <string>

namespace zhtext {

// The longest key, tag or attribute name the readers look for.
inline constexpr std::size_t kMaxFieldNameLength = 252;

// Reads the JSON-like field `key`: after the first "\"key\":" the value is
// the text between the next two double quotes (whatever lies before the
// first of them, so a number, true, false or null value yields the next
// quoted string, possibly another key's). Returns a pointer to the value's
// closing quote in `text`. Null when `text` is null (`value` then left as it
// was), when the key or the opening quote is missing, or when there is no
// closing quote (`value` then holds the rest of `text`).
const char* GetJsonField(const char* text, const char* key, std::string& value);

// atoi of the value GetJsonField reads; 0 when the field is missing.
int GetJsonInt(const char* text, const char* key);

// Reads the XML-like element `tag`: the value runs from after the first
// "<tag>" to the first "</tag>" after it (nested elements of the same name
// are not recognised). Returns a pointer to that closing tag in `text`. Null
// when `text` is null or the opening tag is missing (`value` empty), or when
// no closing tag follows (`value` then holds the rest of `text`).
const char* GetXmlField(const char* text, const char* tag, std::string& value);

// atoi of the value GetXmlField reads; 0 when the element is missing.
int GetXmlInt(const char* text, const char* tag);

// As GetXmlField, copying the value into `dst`, zero-terminated. True when
// the opening tag exists; false with `dst` empty otherwise.
// REQUIRES: `dst` holds the value and its terminator; when the text is not
// the caller's own, use the sized form below.
bool GetXmlFieldBuf(const char* text, const char* tag, char* dst);

// As above into `dst` of `dstSize` bytes: a value that does not fit is cut
// to the longest run of whole GBK characters that leaves room for the
// terminator. Writes nothing when `dstSize` is 0. The result still tells
// only whether the opening tag exists.
bool GetXmlFieldBuf(const char* text, const char* tag, char* dst, std::size_t dstSize);

// Reads the attribute `name`: the value runs from after the first
// "name=\"" to the next double quote. The match need not be a whole
// attribute name (a search for id also matches the end of uid). Returns a
// pointer to the closing quote in `text`. Null when `text` is null or the
// attribute is missing, when it starts after `limit` (when `limit` is given;
// `value` then empty), or when no closing quote exists (`value` then holds
// the rest of `text`).
const char* GetXmlAttr(const char* text, const char* name, std::string& value,
                       const char* limit = nullptr);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_FIELD_READERS_H_
