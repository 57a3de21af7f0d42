#include "zhtext/util/text_mode.h"

#include <cstdarg>
#include <cstring>
#include <string>

namespace zhtext {

std::FILE* OpenTextFile(const char* path, const char* mode) {
  if (path == nullptr || mode == nullptr) return nullptr;
  // Only writing and appending are text-mode conversions; any other mode
  // (a reading "r" above all) must not fall through to "wb" and truncate.
  if (mode[0] != 'w' && mode[0] != 'a') return nullptr;
  const bool update = std::strchr(mode, '+') != nullptr;
  const char* binary = mode[0] == 'a' ? (update ? "ab+" : "ab") : (update ? "wb+" : "wb");
  return std::fopen(path, binary);
}

bool WriteText(std::FILE* stream, const char* data, std::size_t len) {
  if (stream == nullptr) return false;
  std::size_t start = 0;
  while (start < len) {
    const void* lf = std::memchr(data + start, '\n', len - start);
    std::size_t end = lf ? static_cast<const char*>(lf) - data : len;
    if (end > start && std::fwrite(data + start, 1, end - start, stream) != end - start) {
      return false;
    }
    if (lf == nullptr) break;
    if (std::fwrite("\r\n", 1, 2, stream) != 2) return false;
    start = end + 1;
  }
  return true;
}

bool WriteText(std::FILE* stream, const char* text) {
  return text != nullptr && WriteText(stream, text, std::strlen(text));
}

int PrintText(std::FILE* stream, const char* format, ...) {
  char small[512];
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(small, sizeof(small), format, args);
  va_end(args);
  if (n < 0) {
    va_end(copy);
    return -1;
  }
  bool ok;
  if (static_cast<std::size_t>(n) < sizeof(small)) {
    ok = WriteText(stream, small, static_cast<std::size_t>(n));
  } else {
    std::string big(static_cast<std::size_t>(n) + 1, '\0');
    std::vsnprintf(&big[0], big.size(), format, copy);
    ok = WriteText(stream, big.data(), static_cast<std::size_t>(n));
  }
  va_end(copy);
  return ok ? n : -1;
}

}  // namespace zhtext
