// Writing files "in text mode" the same way on every platform: each LF
// written becomes CR LF, as a Windows C stream opened with "wt" does, so a
// text file written by zhtext has the same bytes whoever wrote it.
//
// The stream itself is opened in binary mode; use only these functions (not
// fputs/fprintf) to write to it. Safe on any thread for different streams.
#ifndef ZHTEXT_UTIL_TEXT_MODE_H_
#define ZHTEXT_UTIL_TEXT_MODE_H_

#include <cstddef>
#include <cstdio>

namespace zhtext {

// Opens `path` for writing ("w") or appending ("a") as a text-mode stream.
// Null when the file cannot be opened.
std::FILE* OpenTextFile(const char* path, const char* mode = "w");

// Writes `len` bytes, each LF as CR LF. True when everything was written.
bool WriteText(std::FILE* stream, const char* data, std::size_t len);

// Writes a zero-terminated text, each LF as CR LF.
bool WriteText(std::FILE* stream, const char* text);

// fprintf with each LF of the formatted output written as CR LF. Returns the
// bytes of the formatted text (before expansion), or -1 on failure.
int PrintText(std::FILE* stream, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_TEXT_MODE_H_
