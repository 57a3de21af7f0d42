#include "zhtext/wordlist/cipher_keys.h"

#include "zhtext/util/gbk_literal.h"

namespace zhtext {

namespace {

// The key texts, written in UTF-8 and used as their GBK bytes. Every
// character has a GBK code. Changing a single character makes every existing
// word list file and every server reply unreadable.
const GbkLiteral kWordListKey(
    "zhtext word list key："
    "这是词表文件文本块的密钥，每个字节与密钥中同一位置的字节做异或运算，"
    "再做一次即可还原。请勿改动，否则旧文件读不出。");

const GbkLiteral kRequestClientKey("请求通信数据密钥");

}  // namespace

const char* WordListKey() { return kWordListKey.c_str(); }

const char* RequestClientKey() { return kRequestClientKey.c_str(); }

}  // namespace zhtext
