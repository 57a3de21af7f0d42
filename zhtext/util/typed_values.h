// Single values of the library's tabular data as text: formatting a typed
// value slot, parsing text into one, and comparing two texts as values of a
// type. The slots and type codes (3 int64, 4 date-time, 5 float, 7 double,
// any other code int32) and CompareValues are in
// zhtext/encoding/value_slots.h, which this header includes.
//
// Text forms: type 3 "%lld"; type 4 the slashed layout of FormatTime
// (zhtext/util/date_time.h) written, ParseDateTime read; type 5 "%f";
// type 7 "%lf"; other types "%d".
//
// Nothing is allocated for the caller. Every function may run on any
// thread; type 4 uses the local time zone (see date_time.h).
#ifndef ZHTEXT_UTIL_TYPED_VALUES_H_
#define ZHTEXT_UTIL_TYPED_VALUES_H_

#include <cstddef>

#include "zhtext/encoding/value_slots.h"

namespace zhtext {

// The buffer size FormatValue relies on: the longest text of any type
// ("%lf" of -DBL_MAX is 317 bytes).
inline constexpr std::size_t kValueTextSize = 320;

// Writes the value in `value` as text of its type into `out` and returns
// `out`. A date-time of 0 gives an empty text.
// REQUIRES: `value` points at 8 readable bytes; `out` holds kValueTextSize
// bytes.
char* FormatValue(const void* value, char* out, int type);

// Reads `text` into the slot `value` and returns `value`: the slot is first
// set to 0 (all 8 bytes); one leading '"' is skipped; an empty text leaves
// 0; type 4 stores ParseDateTime of the text (-1 and an error-log entry when
// it cannot be read); other types are read with sscanf and the type's
// format (text that does not start with a number leaves 0). A null text
// reads as empty.
// REQUIRES: `value` points at 8 writable bytes.
void* ParseValue(const char* text, void* value, int type);

// Compares two texts as values: for types 2, 3, 5 and 7 both are read with
// ParseValue and compared with CompareValues (so "10" > "9" with type 2);
// for every other type, dates included, byte by byte as unsigned bytes.
// Returns -1, 0 or 1. Null texts compare as empty.
int CompareTexts(const char* a, const char* b, int type);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_TYPED_VALUES_H_
