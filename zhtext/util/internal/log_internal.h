// Test seams of the daily log: replace the clock that stamps and names the
// entries, and the source of the first working directory, and forget the
// captured directory. Not part of the library's interface; only tests call
// these, and never while other threads are logging.
#ifndef ZHTEXT_UTIL_INTERNAL_LOG_INTERNAL_H_
#define ZHTEXT_UTIL_INTERNAL_LOG_INTERNAL_H_

#include <cstdint>
#include <string>

namespace zhtext {
namespace internal {

// Returns the current time value (seconds since 1970-01-01 00:00:00 UTC).
using LogClock = std::int64_t (*)();

// Fills `dir` with the working directory; false when it cannot be read.
using LogDirSource = bool (*)(std::string* dir);

// Entries are stamped with `clock()` from now on; null restores the system
// clock.
void SetLogClockForTesting(LogClock clock);

// The first working directory is fetched with `source` from now on; null
// restores the system's working directory.
void SetLogDirSourceForTesting(LogDirSource source);

// Forgets the captured first working directory, so that the next entry
// without a directory captures it again.
void ResetLogDirectoryForTesting();

}  // namespace internal
}  // namespace zhtext

#endif  // ZHTEXT_UTIL_INTERNAL_LOG_INTERNAL_H_
