#include "tests/support/gbk_text.h"

#include <cstdio>
#include <vector>

#include "zhtext/encoding/cp936.h"
#include "zhtext/encoding/gbk_table.h"

namespace zhtext {
namespace testing {

std::string G(const std::string& utf8) {
  std::vector<char> out(utf8.size() + 2);
  Utf8ToGbkByTable(utf8.c_str(), out.data());
  return std::string(out.data());
}

std::string U(const std::string& gbk) {
  std::string out;
  if (GbkToUtf8(gbk.c_str(), out) < 0) return "<invalid GBK>";
  return out;
}

std::string Hex(const std::string& bytes) {
  std::string out;
  char buf[4];
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    std::snprintf(buf, sizeof(buf), "%02X", c);
    out += buf;
  }
  return out;
}

std::uint64_t Fnv1a(const std::string& bytes) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  return h;
}

}  // namespace testing
}  // namespace zhtext
