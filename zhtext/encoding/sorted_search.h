// Searches in sorted tables: the shortest entry with a given prefix and the
// longest entry a text begins with, in a table of byte strings sorted as
// strncmp orders them; binary searches in ascending tables of ints, doubles
// and case-folded texts; and the common prefix of two byte strings.
//
// A sorted string table is an array of pointers to zero-terminated byte
// strings, addressed by an inclusive index range [lo, hi]. Index arithmetic
// is signed: an empty range (hi < lo, hi = -1 included) gives -1. The
// searches read each string only up to its terminator. Tables are the
// caller's and are never changed. Pure functions, safe on any thread.
#ifndef ZHTEXT_ENCODING_SORTED_SEARCH_H_
#define ZHTEXT_ENCODING_SORTED_SEARCH_H_

#include <string>
#include <vector>

namespace zhtext {

// The index of the shortest entry of entries[lo..hi] whose first
// `prefixLen` bytes equal those of `key` (strncmp), or -1 (also for a null
// table). A binary search finds one such entry; from there the walk goes
// down to `lo` and then up to `hi`, each stopping at the first entry that
// does not share the prefix, and a strictly shorter entry replaces the best.
// Among equally short entries the first met in the order mid, mid - 1, ...,
// lo, mid + 1, ..., hi wins. A negative `prefixLen` counts as 0.
// REQUIRES: entries[lo..hi] are non-null and ascending under strncmp.
int FindShortestWithPrefix(const char* key, int prefixLen, const char* const* entries, int lo,
                           int hi);

// The length of the longest entry of the `count` entries that `text` begins
// with, 0 when none; `*index` (when not null) receives its index or -1.
// REQUIRES: as FindShortestWithPrefix over entries[0..count-1].
int MatchLongestEntry(const char* text, const char* const* entries, int count, int* index);

// An index of `values[0..count-1]` (ascending) holding `value`, or -1.
int BinarySearchInt(int value, const int* values, int count);

// An index of the ascending `list` holding exactly `value`, or -1 (always
// for a NaN).
int BinarySearchDouble(double value, const std::vector<double>& list);

// An index of an entry equal to `key` with ASCII letters folded, or -1. The
// fold applies to one-byte characters only: the second byte of a two-byte
// GBK character is compared as it is, so 81 41 never equals 81 61. Bytes
// are compared unsigned.
// REQUIRES: the entries are ascending under that same comparison (the order
// _stricmp gives to texts whose two-byte characters hold no trail byte in
// 'A'-'Z'). A null key gives -1.
int BinarySearchTextI(const char* key, const std::vector<std::string>& list);

// The same over an array of `count` non-null byte strings.
int BinarySearchCTextI(const char* key, const char* const* entries, int count);

// The number of leading bytes in which `a` and `b` agree (at most the
// shorter length; 0 when either is null). Bytes, not characters: the result
// may end inside a two-byte character.
int CommonPrefixLength(const char* a, const char* b);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_SORTED_SEARCH_H_
