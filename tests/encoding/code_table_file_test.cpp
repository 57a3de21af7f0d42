// The code table file the library ships (data/codetables/codetables.bin,
// made by tools/gen_code_tables.py): pinned bytes, its two conversion
// tables checked against the library's GBK table and glibc's CP950, and
// what its automaton makes of the sample text in every code.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/support/code_table_file.h"
#include "tests/support/gbk_text.h"
#include "tests/support/iconv_reference.h"
#include "tests/support/temp_dir.h"
#include "zhtext/encoding/code_convert.h"
#include "zhtext/encoding/code_detect.h"
#include "zhtext/encoding/code_numbers.h"
#include "zhtext/encoding/code_tables.h"
#include "zhtext/encoding/cp936.h"

namespace zhtext {
namespace {

using testing::DetectBytes;
using testing::G;
using testing::Hex;
using testing::IconvReference;

const char kFile[] = ZHTEXT_CODE_TABLES_FILE;

// The shipped file's size and 64-bit FNV-1a. Regenerating the file (bash
// tools/gen_code_tables.sh) changes them; update them with the file.
constexpr std::size_t kFileSize = 687460;
constexpr std::uint64_t kFileFnv1a = 0x1C87D6A9FDAA541Eull;

class CodeTableFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FreeCodeTables();
    ASSERT_EQ(LoadCodeTables(kFile), 0) << kFile;
  }
  void TearDown() override { FreeCodeTables(); }
};

// UTF-8 text as UTF-16LE bytes.
std::string Utf16(const std::string& utf8) {
  std::u16string units;
  std::string gbk = G(utf8);
  // Through GBK, which holds every character of the texts used here.
  GbkToWide(gbk, units);
  std::string out;
  for (char16_t u : units) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  }
  return out;
}

// UTF-8 text as Big5 through the loaded table, dropping characters that
// have no Big5 code; `kept` receives the UTF-8 of what was kept.
std::string Big5(const std::string& utf8, std::string* kept) {
  std::map<char16_t, unsigned> codes;
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      char16_t unit = g_pDbcs2Table[CodeTableIndex(static_cast<unsigned char>(lead),
                                                   static_cast<unsigned char>(trail))];
      if (unit != 0) codes.emplace(unit, lead << 8 | trail);
    }
  }
  std::u16string units;
  GbkToWide(G(utf8), units);
  std::string big5, keptGbk;
  for (char16_t u : units) {
    if (u < 0x80) {
      big5.push_back(static_cast<char>(u));
      keptGbk += static_cast<char>(u);
      continue;
    }
    auto it = codes.find(u);
    if (it == codes.end()) continue;
    big5.push_back(static_cast<char>(it->second >> 8));
    big5.push_back(static_cast<char>(it->second & 0xFF));
    std::string gbk;
    WideToGbk(std::u16string(1, u), gbk);
    keptGbk += gbk;
  }
  GbkToUtf8(keptGbk.c_str(), *kept);
  return big5;
}

TEST(CodeTableFilePinTest, BytesArePinned) {
  const std::string bytes = testing::ReadFile(kFile);
  EXPECT_EQ(bytes.size(), kFileSize);
  EXPECT_EQ(testing::Fnv1a(bytes), kFileFnv1a) << std::hex << testing::Fnv1a(bytes);
}

TEST_F(CodeTableFileTest, GbkTableIsTheLibrarysTable) {
  for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFF; ++trail) {
      const unsigned index =
          CodeTableIndex(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
      ASSERT_EQ(g_pGbkTable[index], Cp936ToUnicode(lead << 8 | trail))
          << std::hex << lead << " " << trail;
    }
  }
}

TEST_F(CodeTableFileTest, Big5TableIsCodePage950) {
  if (!IconvReference::Cp950Available()) GTEST_SKIP() << "no iconv with CP950 here";
  unsigned mapped = 0;
  for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFF; ++trail) {
      const char16_t unit = g_pDbcs2Table[CodeTableIndex(static_cast<unsigned char>(lead),
                                                         static_cast<unsigned char>(trail))];
      mapped += unit != 0;
      const unsigned code = lead << 8 | trail;
      // Here the file follows Python's cp950, which reads C6A1-C7FC as the
      // ETEN kana and symbols; glibc reads C6A1-C8FE as private use.
      if (code >= 0xC6A1 && code <= 0xC8FE) continue;
      char16_t expected = 0;
      const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      if (!IconvReference::DecodeCp950Char(bytes, &expected)) expected = 0;
      ASSERT_EQ(unit, expected) << std::hex << code;
    }
  }
  EXPECT_EQ(mapped, 13752u);
  struct Row {
    unsigned code;
    char16_t unit;
  } pinned[] = {
      {0xA440, 0x4E00}, {0xA4A4, 0x4E2D}, {0xAABA, 0x7684}, {0xA145, 0x2027},
      {0xA3E1, 0x20AC}, {0xC6A1, 0x30FE}, {0xC7FC, 0x247D}, {0xF9D6, 0x7881},
      {0xF9FE, 0x2593}, {0xC7FD, 0},      {0xC8FE, 0},      {0xA47F, 0},
  };
  for (const Row& row : pinned) {
    EXPECT_EQ(g_pDbcs2Table[CodeTableIndex(static_cast<unsigned char>(row.code >> 8),
                                           static_cast<unsigned char>(row.code & 0xFF))],
              row.unit)
        << std::hex << row.code;
  }
}

TEST_F(CodeTableFileTest, DetectsTheSampleInEveryCode) {
  const std::string sample = testing::ReadFile(std::string(ZHTEXT_SAMPLE_DIR) + "/text.txt");
  ASSERT_FALSE(sample.empty());
  std::string kept;
  const std::string big5 = Big5(sample, &kept);
  const std::string line = "中文信息处理的第一步往往是分词。";
  const std::string traditional = "中文資訊處理的第一步往往是斷詞。";
  struct Row {
    const char* name;
    std::string bytes;
    int expected;
  } rows[] = {
      {"utf8", sample, CODE_UTF8},
      {"gbk", G(sample), CODE_GBK},
      {"utf16le", Utf16(sample), CODE_UTF16},
      {"big5", big5, CODE_DBCS2},
      {"utf8_line", line, CODE_UTF8},
      {"gbk_line", G(line), CODE_GBK},
      {"utf16le_line", Utf16(line), CODE_UTF16},
      {"big5_line", Big5(traditional, &kept), CODE_DBCS2},
      {"gbk_four_chars", G("中文信息"), CODE_GBK},
      {"utf8_two_chars", "中文", CODE_UTF8},
      {"empty", "", CODE_GBK},
      {"ascii", "The quick brown fox jumps over the lazy dog 0123456789 !?", CODE_GBK},
      {"utf16le_ascii", Utf16("plain ASCII text"), CODE_UTF16},
      // Byte-order marks are definite, whatever follows.
      {"utf8_bom", "\xEF\xBB\xBF" + G(sample), CODE_UTF8},
      {"utf16le_bom", "\xFF\xFE" + G(sample), CODE_UTF16},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DetectBytes(row.bytes), row.expected);
  }
}

TEST_F(CodeTableFileTest, ConvertsBig5ThroughItsTable) {
  std::string utf8;
  const std::string big5 = Big5("中文資訊處理", &utf8);
  ASSERT_EQ(utf8, "中文資訊處理");
  std::string dst(3 * big5.size() + 1, '\0');
  unsigned length = 0;
  ASSERT_EQ(
      ConvertToGBK(CODE_DBCS2, big5.data(), static_cast<unsigned>(big5.size()), &dst[0], &length),
      G(utf8).size());
  EXPECT_EQ(Hex(dst.substr(0, length)), Hex(G(utf8)));
  length = 0;
  ConvertToUTF8(CODE_AUTO, big5.data(), static_cast<unsigned>(big5.size()), &dst[0], &length);
  EXPECT_EQ(dst.substr(0, length), utf8);
}

}  // namespace
}  // namespace zhtext
