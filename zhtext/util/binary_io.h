// Binary file helpers shared by the dictionary, ID map and word list files:
// an owner that closes a C stream, and arrays of 32-bit signed integers in
// the files' byte order (little-endian, whatever the host's).
//
// All functions are re-entrant; a stream is used by one thread at a time.
#ifndef ZHTEXT_UTIL_BINARY_IO_H_
#define ZHTEXT_UTIL_BINARY_IO_H_

#include <cstddef>
#include <cstdio>
#include <memory>

namespace zhtext {

struct FileCloser {
  void operator()(std::FILE* stream) const {
    if (stream != nullptr) std::fclose(stream);
  }
};

// Closes its stream when destroyed. To learn whether the close succeeded
// (a write error may show only then), close it yourself:
// std::fclose(file.release()).
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Writes `count` integers little-endian. False on a short write.
bool WriteInt32s(std::FILE* out, const int* values, std::size_t count);

// Reads `count` little-endian integers. False on a short read (the values
// read so far are stored).
bool ReadInt32s(std::FILE* in, int* values, std::size_t count);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_BINARY_IO_H_
