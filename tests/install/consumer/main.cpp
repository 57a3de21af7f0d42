// Converts a GBK text to UTF-8 through the installed library.
#include <cstdio>
#include <string>

#include "zhtext/zhtext.h"

int main() {
  std::string utf8;
  // "中文" in GBK.
  if (zhtext::GbkToUtf8("\xD6\xD0\xCE\xC4", utf8) != 2) return 1;
  if (utf8 != "\xE4\xB8\xAD\xE6\x96\x87") return 1;
  std::printf("%s\n", utf8.c_str());
  return 0;
}
