// Path routines that build on the file system: joining a directory and a
// name with the native separator, the directory part of a path, and
// creating a chain of directories below a base directory.
//
// Paths are GBK byte strings; where a path is split, both '/' and '\\' are
// separators, found character by character (the 5C of a two-byte character
// such as 81 5C is no separator).
//
// Concurrency: JoinPathBackslash and GetDirectoryPart are pure.
// MakeDirectories changes the working directory of the whole process: it
// must not run while other threads use relative paths. The daily log is not
// moved by it (zhtext/util/log.h keeps the first working directory).
#ifndef ZHTEXT_UTIL_PATH_ROUTINES_H_
#define ZHTEXT_UTIL_PATH_ROUTINES_H_

#include <string>

namespace zhtext {

// `out` = `dir` + the native separator ('\\' on Windows, '/' on POSIX) +
// `name`, and returns `out`. Null parts count as empty; the separator is
// always written (JoinPath of zhtext/encoding/path_ops.h leaves it out after
// an empty directory).
// REQUIRES: `out` holds both parts, the separator and the terminator.
char* JoinPathBackslash(const char* dir, const char* name, char* out);

// The bytes of `path` up to and including its last separator ("a/b\\c.txt"
// gives "a/b\\", "c:\\x" gives "c:\\"); empty for an empty or null path and
// for a path without a separator.
std::string GetDirectoryPart(const char* path);

// Creates the directories of `relPath` below `baseDir` and leaves the
// working directory in the deepest of them:
//  1. `fullPath` = `baseDir` followed directly by `relPath` (no separator
//     is added: "D:\\data" and "x/y/z.txt" give "D:\\datax/y/z.txt");
//  2. the working directory becomes `baseDir` (a null or empty `baseDir`
//     leaves it where it is);
//  3. the part of `relPath` after its last separator is a file name and is
//     not created (a `relPath` without a separator creates nothing);
//  4. the rest is split at the separators, empty parts skipped, and each
//     part is created (an existing one is no error) and entered in turn.
// When `baseDir` or a part cannot be entered, nothing more is created, and
// the working directory stays in the last directory entered. Returns the
// bytes of `fullPath`.
const char* MakeDirectories(const char* baseDir, const char* relPath, std::string& fullPath);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_PATH_ROUTINES_H_
