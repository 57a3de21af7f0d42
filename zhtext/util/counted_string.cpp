#include "zhtext/util/counted_string.h"

#include <cstdint>
#include <cstring>

namespace zhtext {

namespace {

// Bytes read at a time: memory follows what the stream really holds.
constexpr std::size_t kReadPiece = 64 * 1024;

}  // namespace

bool WriteCountedString(const std::string& text, std::FILE* stream) {
  const std::uint32_t n = static_cast<std::uint32_t>(text.size());
  const unsigned char length[4] = {
      static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
      static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)};
  if (std::fwrite(length, 1, sizeof length, stream) != sizeof length) return false;
  return text.empty() || std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

void ReadCountedString(std::FILE* stream, std::string& text) {
  text.clear();
  unsigned char length[4];
  if (std::fread(length, 1, sizeof length, stream) != sizeof length) return;
  std::size_t left =
      static_cast<std::size_t>(length[0]) | static_cast<std::size_t>(length[1]) << 8 |
      static_cast<std::size_t>(length[2]) << 16 | static_cast<std::size_t>(length[3]) << 24;
  while (left > 0) {
    const std::size_t want = left < kReadPiece ? left : kReadPiece;
    const std::size_t old = text.size();
    text.resize(old + want);
    const std::size_t got = std::fread(&text[old], 1, want, stream);
    text.resize(old + got);
    if (got < want) break;
    left -= got;
  }
  const std::size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
}

}  // namespace zhtext
