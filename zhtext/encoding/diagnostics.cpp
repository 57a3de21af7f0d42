#include "zhtext/encoding/diagnostics.h"

#include <cstdio>
#include <cstring>

#include "zhtext/util/text_mode.h"

namespace zhtext {

void PrintHex(const char* data, unsigned len) {
  for (unsigned i = 0; i < len; ++i) {
    std::printf("%02X", static_cast<unsigned char>(data[i]));
  }
  std::printf("\n");
}

void PrintHexString(const char* text) { PrintHex(text, static_cast<unsigned>(std::strlen(text))); }

bool WriteGB2312Table(const char* path) {
  std::FILE* file = OpenTextFile(path, "w");
  if (file == nullptr) return false;
  bool ok = true;
  for (int lead = 0xB0; lead <= 0xFE; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      ok = PrintText(file, "%c%c,%d,%d\n", lead, trail, lead, trail) >= 0 && ok;
    }
  }
  return std::fclose(file) == 0 && ok;
}

}  // namespace zhtext
