#include "zhtext/encoding/diagnostics.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "zhtext/encoding/internal/code_list.h"
#include "zhtext/util/text_mode.h"

namespace zhtext {

void PrintHex(const char* data, unsigned len) {
  for (unsigned i = 0; i < len; ++i) {
    std::printf("%02X", static_cast<unsigned char>(data[i]));
  }
  std::printf("\n");
}

void PrintHexString(const char* text) { PrintHex(text, static_cast<unsigned>(std::strlen(text))); }

namespace internal {

bool WriteCodeList(const char* path, int firstLead) {
  std::FILE* file = OpenTextFile(path, "w");
  if (file == nullptr) return false;
  // The whole list goes out in one write.
  std::string lines;
  lines.reserve(static_cast<std::size_t>(0xFF - firstLead) * 94 * 12);
  char line[32];
  for (int lead = firstLead; lead <= 0xFE; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      int n = std::snprintf(line, sizeof(line), "%c%c,%d,%d\n", lead, trail, lead, trail);
      lines.append(line, static_cast<std::size_t>(n));
    }
  }
  bool ok = WriteText(file, lines.data(), lines.size());
  return std::fclose(file) == 0 && ok;
}

}  // namespace internal

bool WriteGB2312Table(const char* path) { return internal::WriteCodeList(path, 0xB0); }

}  // namespace zhtext
