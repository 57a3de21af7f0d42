// Loose text matching: comparing and finding texts while ignoring layout
// (line breaks and spaces) and, in MatchLoose, short markup tags and
// bracketed notes. They serve to recognise that a text taken from a
// marked-up page ("<b>Title</b>") is a reference text that carries notes
// ("Title[1]"), or to find such a text inside a larger one.
//
// The routines work on bytes, not characters (a multi-byte character is
// matched byte by byte, which is exact for equal texts in one encoding).
// Texts are zero-terminated byte strings; positions are byte offsets from
// the start of the text concerned.
//   soft blanks: LF, CR, SPACE (not TAB);
//   blanks: TAB, LF, CR, SPACE.
//
// Pure functions; they may run on any thread. REQUIRES for all: the texts
// are not null.
#ifndef ZHTEXT_UTIL_LOOSE_MATCH_H_
#define ZHTEXT_UTIL_LOOSE_MATCH_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace zhtext {

// Finds `needle` in `hay` from byte `*offset` on (a negative offset counts
// as 0), soft blanks ignored on both sides. The search starts at each
// occurrence of the needle's first byte that is not a soft blank (the anchor)
// and compares from there; at the first difference it moves to the next
// occurrence of the anchor after the current start.
//   0: the whole needle was found; `*start` and `*end` delimit the match in
//      `hay` (`*end` just past its last byte).
//   -1: not found; also when the needle holds nothing but soft blanks, or
//      when `*offset` lies beyond the end of `hay`.
//   any other value: `hay` ended in the middle of a possible match beginning
//      at `*start`; the result is the position in `needle` reached (soft
//      blanks passed over included), `*end` is the length of `hay`, and
//      `*offset` is lowered by it, so a caller that feeds the next piece of
//      a longer text may go on from there.
// `*start` and `*end` are 0 unless set as said.
int FindLoose(const char* hay, const char* needle, int* start, int* end, std::int32_t* offset);

// Whether `a` and `b` agree once layout is ignored. The two are walked
// together, blanks passed over in both; in `a` a short tag (a '<' whose next
// '>' lies less than 15 bytes on) and in `b` a short bracket group (a '['
// whose next ']' lies less than 15 bytes on) are passed over too. The walk
// ends when `a` or `b` is used up (blanks aside), or when `limit` is not -1
// and `limit` bytes have matched: the result is then whether at least one
// byte matched. At the first difference:
//   - when `a` is shorter than 3 bytes, the result is whether 4 or more
//     ASCII bytes (0x01-0x7F) matched before it (so false);
//   - otherwise `a` is searched in `b` with FindLoose from offset 0: a
//     complete find, or a partial one reaching at least `limit` bytes into
//     `a` (when `limit` is above 0), gives true; anything else gives whether
//     4 or more ASCII bytes matched before the difference.
// `*start` receives the match start FindLoose gave, else 0. So a text with
// a prefix or suffix the other lacks still agrees, and a text that differs
// after a run of at least four ASCII bytes still agrees: a tolerant test,
// not an equality.
bool MatchLoose(const char* a, const char* b, int* start, std::int32_t limit);

// `out` = the longest common prefix of `a` and `b` with soft blanks ignored
// in both (the blanks themselves are not copied). Returns its length.
std::size_t CommonPrefixLoose(const char* a, const char* b, std::string& out);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_LOOSE_MATCH_H_
