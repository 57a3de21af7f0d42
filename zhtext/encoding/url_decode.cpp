#include "zhtext/encoding/url_decode.h"

namespace zhtext {

namespace {

int HexValue(char c) {
  int v = static_cast<signed char>(c);
  return v < 'A' ? v - '0' : (v & ~0x20) - 55;
}

}  // namespace

unsigned char HexPairToByte(const char* p) {
  return static_cast<unsigned char>(static_cast<unsigned>(HexValue(p[0]) * 16 + HexValue(p[1])));
}

int UrlDecode(const char* data, int len, char* out, int* outLen) {
  int w = 0;
  for (int r = 0; r < len;) {
    if (data[r] == '%' && r + 2 < len) {
      out[w++] = static_cast<char>(HexPairToByte(data + r + 1));
      r += 3;
    } else {
      out[w++] = data[r++];
    }
  }
  *outLen = w;
  return 0;
}

}  // namespace zhtext
