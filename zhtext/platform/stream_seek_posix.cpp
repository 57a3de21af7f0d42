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

}  // namespace platform
}  // namespace zhtext
