// Directories and file status: the working directory, creating one
// directory, and the size and kind of a path or of an open stream.
// All functions report failure by their result and leave errno set; none
// throws. Safe on any thread, except that the working directory is shared by
// the whole process.
#ifndef ZHTEXT_PLATFORM_FILESYSTEM_H_
#define ZHTEXT_PLATFORM_FILESYSTEM_H_

#include <cstdint>
#include <cstdio>
#include <string>

namespace zhtext {
namespace platform {

// The native directory separator: '/' on POSIX, '\\' on Windows.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// True for either separator a path may use ('/' or '\\'). On POSIX a '\\'
// is an ordinary file-name byte to the file system, but paths written for the
// original platform still use it, and path-splitting routines honour both.
inline bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

// True when file names differ by letter case on this platform's usual file
// systems (POSIX), false where they do not (Windows).
bool FileNamesAreCaseSensitive();

// Stores the current working directory in `dir`. False (and `dir` emptied)
// when it cannot be read.
bool GetCurrentDir(std::string* dir);

// Writes the current working directory into `buffer` of `size` bytes,
// zero-terminated. False when it does not fit or cannot be read; `buffer`
// then holds an empty string (when `size` > 0).
bool GetCurrentDir(char* buffer, std::size_t size);

// Changes the process's working directory. False on failure.
bool ChangeDir(const char* dir);

// Creates one directory (not its parents). False when it cannot be created,
// including when it already exists (errno EEXIST).
bool MakeDir(const char* dir);

struct FileStatus {
  std::int64_t size = 0;      // bytes
  bool is_directory = false;
  bool is_regular = false;
  std::int64_t modified = 0;  // seconds since 1970-01-01 UTC
};

// Status of the file or directory at `path`. False when it does not exist or
// cannot be queried.
bool GetFileStatus(const char* path, FileStatus* status);

// Status of the file behind an open stream. False when it cannot be queried.
bool GetStreamStatus(std::FILE* stream, FileStatus* status);

}  // namespace platform
}  // namespace zhtext

#endif  // ZHTEXT_PLATFORM_FILESYSTEM_H_
