// Operations on lists: merge walks over ascending int lists (positions that
// follow one another at a distance, removing common elements), linear
// membership tests, a case-folded prefix test against a list of texts, a
// test against typed value slots, and the index of the largest float.
//
// Lists are std::vectors owned by the caller; only the lists an operation
// says it changes are changed. No state is kept; safe on any thread for
// lists not shared with a writer.
#ifndef ZHTEXT_ENCODING_LIST_OPS_H_
#define ZHTEXT_ENCODING_LIST_OPS_H_

#include <string>
#include <vector>

namespace zhtext {

// Appends to `out` (not emptied first), in order, every element x of `a` for
// which x + `offset` occurs in `b`, walking both lists together: with lists
// of word positions, where a second word follows a first one at distance
// `offset`. An element of `b` answers at most one element of `a`. Returns
// the size of `out`. The sum is taken without overflow.
// REQUIRES: `a` and `b` ascending.
int IntersectWithOffset(const std::vector<int>& a, const std::vector<int>& b, int offset,
                        std::vector<int>& out);

// Removes from `a` the elements that also occur in `b`, each element of `b`
// removing at most one equal element of `a` (a = 1 1 2, b = 1 leaves 1 2).
// True when at least one element was removed.
// REQUIRES: `a` and `b` ascending.
bool RemoveCommon(std::vector<int>& a, const std::vector<int>& b);

// The index of the first element >= `value` in list order (a linear scan;
// the list need not be sorted), or -1.
int FindFirstNotLess(int value, const std::vector<int>& list);

// True when some element equals `value`.
bool ContainsInt(int value, const std::vector<int>& list);

// True when one of the `count` entries equals `text` byte for byte. False
// for a null text or table; null entries are passed over.
bool ContainsText(const char* text, const char* const* entries, int count);

// True when `text` begins with some entry of `list`, ASCII letters folded in
// one-byte characters only (the second byte of a two-byte GBK character
// compares as it is). An empty entry matches every text; a null text is
// taken as empty.
bool StartsWithAnyI(const char* text, const std::vector<std::string>& list);

// True when CompareValues(value, item, type) is 0 for one of the `count`
// 8-byte slots of `items` (zhtext/encoding/value_slots.h).
// REQUIRES: `items` holds count * 8 readable bytes.
bool ContainsValue(const void* value, const void* items, int count, int type);

// The index of the first largest element, or -1 for an empty list; then the
// list's storage is released and the list left empty. NaN elements are never
// larger than another, so a list that starts with a NaN gives 0.
int ArgMaxAndClear(std::vector<float>& list);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_LIST_OPS_H_
