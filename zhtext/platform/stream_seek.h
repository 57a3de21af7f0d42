// Positioning a C stream, and telling its position, with 64-bit offsets, so
// that files larger than 2 GiB can be read and measured anywhere whatever
// the width of `long`. Safe on any thread for different streams.
#ifndef ZHTEXT_PLATFORM_STREAM_SEEK_H_
#define ZHTEXT_PLATFORM_STREAM_SEEK_H_

#include <cstdint>
#include <cstdio>

namespace zhtext {
namespace platform {

// Moves `stream` to `offset` bytes from the start of its file. False for a
// null stream, a negative offset, or when the stream cannot seek.
bool SeekStream(std::FILE* stream, std::int64_t offset);

// Moves `stream` to the end of its file. False for a null stream, or when
// the stream cannot seek.
bool SeekStreamToEnd(std::FILE* stream);

// The position of `stream` in bytes from the start of its file, or -1 for a
// null stream or one whose position cannot be told.
std::int64_t TellStream(std::FILE* stream);

}  // namespace platform
}  // namespace zhtext

#endif  // ZHTEXT_PLATFORM_STREAM_SEEK_H_
