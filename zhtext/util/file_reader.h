// Guarded file reader: loads a block or the whole of a file, keeping one
// file open between reads.
//
// A CFileReader holds at most one open file. Asking for the same path again
// reuses the open stream; asking for another path closes it and opens the
// new one. Paths are compared exactly where file names are case-sensitive
// (POSIX) and with ASCII letters folded elsewhere (Windows).
//
// Ownership: a buffer returned through ReadBlock or ReadFileBlock was
// allocated with new char[length + 1] and belongs to the caller, who releases
// it with delete[]. It is always zero-terminated at index `length`. The
// out-pointer is set to null first, so `delete[] buffer` is always safe.
//
// Concurrency: one CFileReader may be shared by any number of threads. Block
// reads run one at a time under the reader's mutex; switching to another
// file waits until no read is in progress and makes every other caller wait
// until the new file is installed. The free functions use a private reader
// per call and share nothing.
//
// Failures are written to the daily log (zhtext/util/log.h) and reach the
// caller only as a count of 0.
#ifndef ZHTEXT_UTIL_FILE_READER_H_
#define ZHTEXT_UTIL_FILE_READER_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "zhtext/platform/mutex.h"

namespace zhtext {

class CFileReader {
 public:
  CFileReader();
  ~CFileReader();
  CFileReader(const CFileReader&) = delete;
  CFileReader& operator=(const CFileReader&) = delete;

  // Reads `length` bytes of `path` from byte `offset` into a new buffer
  // stored in `*buffer`. With `length` 0 and `wholeFile` true, `length`
  // becomes the file's size (whatever `offset` is). Bytes beyond the end of
  // the file read as 0 and still count. Returns `length`, or 0 when nothing
  // was read:
  //   - the file cannot be opened ("Failed open file  " + path goes to the
  //     log) or the buffer cannot be allocated: `*buffer` stays null;
  //   - `length` is 0, no file is open, the offset is negative or beyond
  //     what the stream can seek to, or the read fails: `*buffer` holds a
  //     zero-terminated empty buffer that the caller still releases.
  std::size_t ReadBlock(const char* path, char** buffer, std::int64_t offset, std::size_t length,
                        bool wholeFile);

  // ReadBlock into `text`, zero bytes among the bytes read removed. Returns
  // the number of bytes stored. On 0 bytes `text` is emptied, and
  // "Error read file " + path becomes the last message (SetLastMessage, so
  // failures on several threads do not race on it) and goes to the error
  // log.
  std::size_t ReadText(const char* path, std::string& text, std::int64_t offset,
                       std::size_t length, bool wholeFile);

 private:
  // Opens `path` and installs it in place of the open file. Requires the
  // mutex. False (the old file kept) when it cannot be opened.
  bool InstallFile(const char* path);

  std::string m_strFileName;        // path of the open file; empty when none
  std::FILE* m_fpFileRead;          // the open file, or null
  platform::Mutex m_hMutex;         // guards the members above and below
  std::atomic<int> m_nReading;      // block reads in progress
  std::atomic<bool> m_bOpening;     // true while a new file is installed
  std::int64_t m_nFileSize;         // size of the open file in bytes
};

// One ReadBlock through a reader of its own; nothing stays open afterwards.
std::size_t ReadFileBlock(const char* path, char** buffer, std::int64_t offset,
                          std::size_t length, bool wholeFile);

// One ReadText through a reader of its own; nothing stays open afterwards.
std::size_t ReadFileText(const char* path, std::string& text, std::int64_t offset,
                         std::size_t length, bool wholeFile);

// Reads the document `id` stored under `baseDir` in a tree that splits the
// ID into directories of three bytes: every full group of three bytes but
// the one holding the last byte is a directory, the rest the file name
// ('1234' is baseDir/123/4, '123456' is baseDir/123/456). Tries ".txt", then
// ".html". Returns the bytes of `text`, or null when neither can be read or
// `id` is null or empty ("Read file by ID fail!" and the last path tried go
// to the error log).
const char* ReadFileByID(const char* id, const char* baseDir, std::string& text);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_FILE_READER_H_
