#include "zhtext/util/stream_copy.h"

#include <vector>

#include "zhtext/platform/filesystem.h"
#include "zhtext/platform/stream_seek.h"
#include "zhtext/util/binary_io.h"
#include "zhtext/util/log.h"

namespace zhtext {

namespace {

// Holds an optional mutex for its lifetime.
class OptionalLock {
 public:
  explicit OptionalLock(platform::Mutex* mutex) : mutex_(mutex) {
    if (mutex_ != nullptr) mutex_->Wait();
  }
  ~OptionalLock() {
    if (mutex_ != nullptr) mutex_->Release();
  }
  OptionalLock(const OptionalLock&) = delete;
  OptionalLock& operator=(const OptionalLock&) = delete;

 private:
  platform::Mutex* mutex_;
};

// The size of the file behind `stream` by seeking to its end (which also
// writes out what is buffered); -1 when it cannot seek.
std::int64_t SizeBySeek(std::FILE* stream) {
  if (!platform::SeekStreamToEnd(stream)) return -1;
  return platform::TellStream(stream);
}

}  // namespace

std::int64_t CopyStreamRange(std::FILE* src, std::FILE* dst, std::int64_t begin, std::int64_t end,
                             char* buffer, std::size_t bufferSize, platform::Mutex* mutex) {
  OptionalLock lock(mutex);
  if (src == nullptr || dst == nullptr || buffer == nullptr) return 0;
  if (!platform::SeekStream(src, begin)) return 0;
  std::int64_t copied = 0;
  const std::int64_t total = end - begin;
  while (copied < total && !std::feof(src)) {
    const std::int64_t left = total - copied;
    const std::size_t piece =
        static_cast<std::uint64_t>(left) < bufferSize ? static_cast<std::size_t>(left) : bufferSize;
    const std::size_t got = std::fread(buffer, 1, piece, src);
    if (got == 0) break;
    const std::size_t put = std::fwrite(buffer, 1, got, dst);
    copied += static_cast<std::int64_t>(put);
    if (put < got) break;
  }
  return copied;
}

namespace {

// AppendStream; `*shortWrite` tells whether a write to `dst` fell short.
std::int64_t Append(std::FILE* src, std::FILE* dst, std::size_t chunkSize, platform::Mutex* mutex,
                    std::int64_t maxBytes, bool* shortWrite) {
  *shortWrite = false;
  if (src == nullptr || dst == nullptr) return -2;
  OptionalLock lock(mutex);
  const std::int64_t oldSize = SizeBySeek(dst);
  platform::SeekStream(src, 0);

  std::vector<char> buffer(chunkSize > 0 ? chunkSize : 1);
  std::int64_t copied = 0;
  while (chunkSize > 0 && (maxBytes <= 0 || copied < maxBytes)) {
    std::size_t piece = chunkSize;
    if (maxBytes > 0 && static_cast<std::uint64_t>(maxBytes - copied) < piece) {
      piece = static_cast<std::size_t>(maxBytes - copied);
    }
    const std::size_t got = std::fread(buffer.data(), 1, piece, src);
    if (got == 0) break;
    if (std::fwrite(buffer.data(), 1, got, dst) != got) {
      *shortWrite = true;
      break;
    }
    copied += static_cast<std::int64_t>(got);
  }
  const std::int64_t newSize = SizeBySeek(dst);

  platform::FileStatus status;
  if (!platform::GetStreamStatus(src, &status)) return -1;
  if (*shortWrite || oldSize < 0 || newSize < 0) return -2;
  const std::int64_t expected = oldSize + (maxBytes > 0 ? maxBytes : status.size);
  return newSize == expected ? newSize : -2;
}

}  // namespace

std::int64_t AppendStream(std::FILE* src, std::FILE* dst, std::size_t chunkSize,
                          platform::Mutex* mutex, std::int64_t maxBytes) {
  bool shortWrite;
  return Append(src, dst, chunkSize, mutex, maxBytes, &shortWrite);
}

bool CopyFileBytes(const char* srcPath, const char* dstPath, std::size_t chunkSize) {
  UniqueFile src(srcPath != nullptr ? std::fopen(srcPath, "rb") : nullptr);
  if (src == nullptr) {
    WriteErrorLog("Error read file");
    WriteErrorLog(srcPath != nullptr ? srcPath : "");
    return false;
  }
  UniqueFile dst(dstPath != nullptr ? std::fopen(dstPath, "wb") : nullptr);
  if (dst == nullptr) {
    WriteErrorLog("Error write file");
    WriteErrorLog(dstPath != nullptr ? dstPath : "");
    return false;
  }
  // A size mismatch alone (a source that changed while it was copied) is
  // no failure; a destination that could not take the bytes is.
  bool shortWrite;
  Append(src.get(), dst.get(), chunkSize, nullptr, 0, &shortWrite);
  const bool failed = shortWrite || std::ferror(dst.get()) != 0;
  const bool closed = std::fclose(dst.release()) == 0;
  if (failed || !closed) {
    WriteErrorLog("Error write file");
    WriteErrorLog(dstPath);
    return false;
  }
  return true;
}

}  // namespace zhtext
