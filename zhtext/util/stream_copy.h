// Copying between C streams in chunks, and whole files, with a size check.
//
// Streams are the caller's, open in binary mode, and are neither flushed
// (beyond what a seek does) nor closed, except the two files CopyFileBytes
// opens and closes itself. Sizes and positions are 64-bit, so files over
// 2 GiB are copied and measured whole.
//
// Concurrency: with a mutex, a copy holds it from its first seek to its
// last size reading, so callers that share a stream can take turns through
// it. Without one, a stream is used by one thread at a time.
#ifndef ZHTEXT_UTIL_STREAM_COPY_H_
#define ZHTEXT_UTIL_STREAM_COPY_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "zhtext/platform/mutex.h"

namespace zhtext {

// Copies the bytes [begin, end) of `src` to the current position of `dst`
// through the caller's `buffer` of `bufferSize` bytes, in pieces of at most
// `bufferSize`, never past `end`, until the range is copied, `src` ends, a
// read yields nothing or a write falls short. Returns the bytes written to
// `dst` (0 when `src` cannot seek to `begin`). `mutex`, when not null, is
// held for the whole copy.
std::int64_t CopyStreamRange(std::FILE* src, std::FILE* dst, std::int64_t begin, std::int64_t end,
                             char* buffer, std::size_t bufferSize, platform::Mutex* mutex);

// Appends the whole of `src` (from its start), or with `maxBytes` > 0 its
// first `maxBytes` bytes, to the end of `dst`, in pieces of `chunkSize`
// bytes, stopping early when a read yields nothing. Then checks the result
// against the file system: returns the new size of `dst` when it equals the
// old size plus `maxBytes` (when > 0) or plus the size of `src`; -1 when the
// size of `src` cannot be read; -2 when the sizes do not match (so a
// `maxBytes` beyond the end of `src` copies all of it and gives -2), a
// write falls short or the size of `dst` cannot be read. `mutex`, when not
// null, is held for the copy and the size readings.
std::int64_t AppendStream(std::FILE* src, std::FILE* dst, std::size_t chunkSize,
                          platform::Mutex* mutex, std::int64_t maxBytes);

// Copies the file `srcPath` to `dstPath` (created or truncated) with
// AppendStream. False when `srcPath` cannot be opened ("Error read file" and
// then the path go to the error log, two entries) or `dstPath` cannot be
// ("Error write file" and the path), and also, with the same two entries,
// when a write to `dstPath` falls short or its close fails (a full disk).
// Otherwise true, whatever the size check found (a source that grew while it
// was copied is still copied).
bool CopyFileBytes(const char* srcPath, const char* dstPath, std::size_t chunkSize);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_STREAM_COPY_H_
