#include "zhtext/platform/case_compare.h"

namespace zhtext {
namespace platform {

namespace {
inline int Fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }
}  // namespace

int CompareNoCase(const char* a, const char* b) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
  for (;; ++p, ++q) {
    int d = Fold(*p) - Fold(*q);
    if (d != 0 || *p == 0) return d;
  }
}

int CompareNoCaseN(const char* a, const char* b, std::size_t n) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
  for (; n > 0; --n, ++p, ++q) {
    int d = Fold(*p) - Fold(*q);
    if (d != 0 || *p == 0) return d;
  }
  return 0;
}

}  // namespace platform
}  // namespace zhtext
