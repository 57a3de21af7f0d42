#include "zhtext/wordlist/cipher_keys.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

struct MakeUp {
  int ascii = 0;
  int twoByte = 0;
};

// Steps through a GBK text: a byte of 0x80 or above starts a two-byte
// character.
MakeUp Count(const std::string& gbk) {
  MakeUp m;
  for (std::size_t i = 0; i < gbk.size(); ++i) {
    if (static_cast<unsigned char>(gbk[i]) >= 0x80) {
      ++m.twoByte;
      ++i;
    } else {
      ++m.ascii;
    }
  }
  return m;
}

// The keys are part of the file format and the wire format: every byte is
// pinned. The expected bytes were produced by an independent GBK encoder
// (Python's "gbk" codec) from the texts below.
TEST(CipherKeys, AreTheFixedTexts) {
  struct Row {
    const char* name;
    std::string key;
    std::string utf8;
    std::string hex;
    std::size_t bytes;
    int ascii;
    int twoByte;
  };
  const Row rows[] = {
      {"word list key", WordListKey(),
       "zhtext word list key：这是词表文件文本块的密钥，每个字节与密钥中同一位置的字节做异或"
       "运算，再做一次即可还原。请勿改动，否则旧文件读不出。",
       "7A 68 74 65 78 74 20 77 6F 72 64 20 6C 69 73 74 20 6B 65 79 A3 BA D5 E2 CA C7 B4 CA "
       "B1 ED CE C4 BC FE CE C4 B1 BE BF E9 B5 C4 C3 DC D4 BF A3 AC C3 BF B8 F6 D7 D6 BD DA "
       "D3 EB C3 DC D4 BF D6 D0 CD AC D2 BB CE BB D6 C3 B5 C4 D7 D6 BD DA D7 F6 D2 EC BB F2 "
       "D4 CB CB E3 A3 AC D4 D9 D7 F6 D2 BB B4 CE BC B4 BF C9 BB B9 D4 AD A1 A3 C7 EB CE F0 "
       "B8 C4 B6 AF A3 AC B7 F1 D4 F2 BE C9 CE C4 BC FE B6 C1 B2 BB B3 F6 A1 A3",
       136, 20, 58},
      {"request client key", RequestClientKey(), "请求通信数据密钥",
       "C7 EB C7 F3 CD A8 D0 C5 CA FD BE DD C3 DC D4 BF", 16, 0, 8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.key.size(), row.bytes);
    MakeUp m = Count(row.key);
    EXPECT_EQ(m.ascii, row.ascii);
    EXPECT_EQ(m.twoByte, row.twoByte);
    EXPECT_EQ(testing::Hex(row.key), row.hex);
    EXPECT_EQ(testing::U(row.key), row.utf8);
  }
}

TEST(CipherKeys, StayAtOneAddress) {
  EXPECT_EQ(WordListKey(), WordListKey());
  EXPECT_EQ(RequestClientKey(), RequestClientKey());
  EXPECT_EQ(std::strlen(WordListKey()), 136u);
}

}  // namespace
}  // namespace zhtext
