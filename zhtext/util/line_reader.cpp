#include "zhtext/util/line_reader.h"

#include <cstring>

namespace zhtext {

bool ReadLine(std::FILE* stream, std::string* line) {
  line->clear();
  // fgets reports no length, and a line may hold zero bytes. The chunk is
  // filled with LF first: fgets stores its bytes and one terminating zero
  // and leaves the rest, so the last zero byte of the chunk is the
  // terminator and everything before it was read.
  char chunk[4096];
  for (;;) {
    std::memset(chunk, '\n', sizeof(chunk));
    if (std::fgets(chunk, sizeof(chunk), stream) == nullptr) return !line->empty();
    std::size_t got = sizeof(chunk) - 1;
    while (chunk[got] != '\0') --got;
    line->append(chunk, got);
    if (got > 0 && chunk[got - 1] == '\n') return true;
    if (got < sizeof(chunk) - 1) return true;  // the stream ended without a LF
  }
}

}  // namespace zhtext
