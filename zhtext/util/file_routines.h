// File routines: the size of a file, counting the lines of a stream,
// writing a text to a file, and reading whitespace-separated fields from a
// text stream.
//
// Lines are whole lines of any length (zhtext/util/line_reader.h). Sizes and
// counts are 64-bit. Files are opened and closed inside each call; streams
// are the caller's. Re-entrant; a stream is used by one thread at a time.
// Failures are reported by the results only; nothing is logged.
#ifndef ZHTEXT_UTIL_FILE_ROUTINES_H_
#define ZHTEXT_UTIL_FILE_ROUTINES_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zhtext {

// The size in bytes of the file at `path` from the file system, or -1 when
// it cannot be examined (no such file).
std::int64_t GetFileSize(const char* path);

// The number of lines of `stream` from its start (a last line without a
// line feed counts), each line counted once whatever its length. The stream
// is left at its start.
std::int64_t CountLines(std::FILE* stream);

// Appends `text` (up to its first zero byte) to the file at `path`, created
// when missing, as a text-mode file: each LF is written as CR LF, on every
// platform (zhtext/util/text_mode.h). False for a null or empty path, or
// when the file cannot be opened, written or closed.
bool AppendTextToFile(const char* path, const std::string& text);

// Writes `text` (up to its first zero byte) to the file at `path`, created
// or truncated, bytes unchanged. False as AppendTextToFile.
bool WriteTextToFile(const char* path, const std::string& text);

// Appends to `list` (not emptied first) the next `count` fields of `stream`:
// lines are read whole and split at TAB and SPACE (SplitFields of
// zhtext/encoding/field_splitter.h: CR and LF dropped at field ends, empty
// fields dropped), fields taken in order until `count` are appended or the
// stream ends. Once `count` is reached, one more line is read and not used
// (the stream is left after it). Returns the size of `list`.
int ReadFields(std::FILE* stream, int count, std::vector<std::string>& list);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_FILE_ROUTINES_H_
