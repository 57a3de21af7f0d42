// Case-insensitive byte-string comparison with the C run-time's _stricmp and
// _strnicmp semantics: only ASCII 'A'-'Z' are folded (to 'a'-'z'); bytes are
// compared as unsigned values; every other byte, GBK lead and trail bytes
// included, compares as itself. Pure functions, safe on any thread.
#ifndef ZHTEXT_PLATFORM_CASE_COMPARE_H_
#define ZHTEXT_PLATFORM_CASE_COMPARE_H_

#include <cstddef>

namespace zhtext {
namespace platform {

// <0, 0 or >0 as `a` sorts before, equal to or after `b`, ASCII letters folded.
// REQUIRES: a and b are non-null and zero-terminated.
int CompareNoCase(const char* a, const char* b);

// The same over at most the first `n` bytes of each string.
int CompareNoCaseN(const char* a, const char* b, std::size_t n);

}  // namespace platform
}  // namespace zhtext

#endif  // ZHTEXT_PLATFORM_CASE_COMPARE_H_
