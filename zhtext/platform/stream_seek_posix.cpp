#include "zhtext/platform/stream_seek.h"

#include <stdio.h>
#include <sys/types.h>

#include <limits>

namespace zhtext {
namespace platform {

bool SeekStream(std::FILE* stream, std::int64_t offset) {
  if (stream == nullptr || offset < 0) return false;
  if (offset > static_cast<std::int64_t>(std::numeric_limits<off_t>::max())) return false;
  return fseeko(stream, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool SeekStreamToEnd(std::FILE* stream) {
  return stream != nullptr && fseeko(stream, 0, SEEK_END) == 0;
}

std::int64_t TellStream(std::FILE* stream) {
  if (stream == nullptr) return -1;
  off_t position = ftello(stream);
  return position < 0 ? -1 : static_cast<std::int64_t>(position);
}

}  // namespace platform
}  // namespace zhtext
