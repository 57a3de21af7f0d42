#include "zhtext/wordlist/cipher_keys.h"

#include <cstring>
#include <string>
#include <vector>

#include "zhtext/encoding/gbk_table.h"

namespace zhtext {

namespace {

// The key texts, written in UTF-8 and used as their GBK bytes. Every
// character has a GBK code. Changing a single character makes every existing
// word list file and every server reply unreadable.
constexpr char kWordListKeyUtf8[] =
    "zhtext word list key："
    "这是词表文件文本块的密钥，每个字节与密钥中同一位置的字节做异或运算，"
    "再做一次即可还原。请勿改动，否则旧文件读不出。";

constexpr char kRequestClientKeyUtf8[] = "请求通信数据密钥";

std::string ToGbk(const char* utf8) {
  std::vector<char> out(std::strlen(utf8) + 2);
  Utf8ToGbkByTable(utf8, out.data());
  return std::string(out.data());
}

}  // namespace

const char* WordListKey() {
  static const std::string key = ToGbk(kWordListKeyUtf8);
  return key.c_str();
}

const char* RequestClientKey() {
  static const std::string key = ToGbk(kRequestClientKeyUtf8);
  return key.c_str();
}

}  // namespace zhtext
