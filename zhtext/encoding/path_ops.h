// Path operations on GBK byte strings: joining a directory and a name, and
// taking paths apart into directory, name, title and extension.
//
// A directory separator is either '/' or '\\' (paths written for Windows use
// the latter); the last separator of a path is whichever of its last '/' and
// its last '\\' lies further right. Paths are read as GBK characters, so a
// separator is a one-byte character: the second byte of a two-byte
// character (81 5C holds '\\') is none. The operations never touch the file
// system, except SplitDirFile, which reads the working directory. Outputs
// are caller buffers or owned strings, as each says. All are re-entrant
// (the working directory is process-wide).
#ifndef ZHTEXT_ENCODING_PATH_OPS_H_
#define ZHTEXT_ENCODING_PATH_OPS_H_

#include <cstddef>
#include <string>

namespace zhtext {

// The directory buffer size SplitDirFile may rely on.
inline constexpr std::size_t kSplitDirSize = 1000;

// `dst` = dir + "/" + name when `dir` is non-null and non-empty, else a copy
// of `name`. No separator is added or removed otherwise ("data/" and "x"
// give "data//x").
// REQUIRES: `dst` holds both parts, the '/' and the terminator.
void JoinPath(char* dst, const char* dir, const char* name);

// `title` = the part of `path` after its last separator (all of it when it
// has none), cut at its first '.'. Returns `title`.
// REQUIRES: `title` holds strlen(path) + 1 bytes.
char* GetFileTitle(const char* path, char* title);

// Takes `path` apart: `ext` = the bytes after the last '.' (which may lie in
// a directory name when the file name has none: "a.d/b" gives the directory
// ".", name "a" and extension "d/b"); of the rest, `name` = the bytes after
// the last separator and `dir` = the bytes before it, without the
// separators directly before it (empty for a path whose only separator is
// its first byte). Without a separator `name` is the rest and `dir` is ".".
// Each output is empty when it has nothing to hold.
void SplitPath(const char* path, std::string& dir, std::string& name, std::string& ext);

// With a separator in `path`: `dir` = the bytes before the last one and
// `file` = the bytes after it. Without one: `dir` = the current working
// directory and `file` = all of `path`. `dir` receives at most
// kSplitDirSize - 1 bytes and its terminator: a directory that does not fit
// (or a working directory that cannot be read) gives an empty `dir`.
// Returns `file`.
// REQUIRES: `dir` holds kSplitDirSize bytes; `file` strlen(path) + 1.
char* SplitDirFile(const char* path, char* dir, char* file);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_PATH_OPS_H_
