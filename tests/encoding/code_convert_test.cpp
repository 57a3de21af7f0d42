#include "zhtext/encoding/code_convert.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/code_table_file.h"
#include "tests/support/gbk_text.h"
#include "zhtext/encoding/code_numbers.h"
#include "zhtext/encoding/code_tables.h"
#include "zhtext/encoding/utf8_coder.h"

namespace zhtext {
namespace {

using testing::CellValue;
using testing::G;
using testing::Hex;
using testing::LoadPatterns;
using testing::TableEntries;

// Hand-made tables: a few GBK and Big5 characters, and B0 40 (GBK) and
// A4 40 (Big5) in the row that trail bytes up to 0x40 share.
const TableEntries kGbk = {
    {0xB0A1, 0x554A},  // 啊
    {0xD2BB, 0x4E00},  // 一
    {0xB6FE, 0x4E8C},  // 二
    {0xD6D0, 0x4E2D},  // 中
    {0xB040, 0x7678},  // 癸
};
const TableEntries kBig5 = {
    {0xA440, 0x4E00},  // 一
    {0xA4A4, 0x4E2D},  // 中
    {0xA4E5, 0x6587},  // 文
    {0xC87E, 0xAC00},  // a character without a GBK code (Hangul)
};

// The detection automaton: A4 A4 scores for Big5, E4 B8 for UTF-8,
// B0 A1 for GBK, 2D 4E 00 for UTF-16.
const std::vector<testing::CodePattern> kPatterns = {
    {"\xA4\xA4", CellValue(-2, 5, -2, -2)},
    {"\xE4\xB8", CellValue(-2, -2, -2, 5)},
    {"\xB0\xA1", CellValue(5, -2, -2, -2)},
    {std::string("\x2D\x4E\x00", 3), CellValue(-2, -2, 9, -2)},
};

class CodeConvertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FreeCodeTables();
    ASSERT_EQ(LoadPatterns(kPatterns, kGbk, kBig5), 0);
  }
  void TearDown() override { FreeCodeTables(); }
};

std::string Utf16(const std::u16string& units) {
  std::string out;
  for (char16_t u : units) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  }
  return out;
}

struct Output {
  std::string bytes;
  unsigned result;
  unsigned length;
};

Output ToUtf16(int code, const std::string& src, unsigned capacity) {
  std::string dst(capacity + 16, '\x55');
  unsigned length = capacity;
  unsigned result =
      ConvertToUTF16(code, src.data(), static_cast<unsigned>(src.size()), &dst[0], &length);
  return {dst, result, length};
}

Output Dbcs(int code, const std::string& src, unsigned capacity) {
  std::string dst(capacity + 16, '\x55');
  unsigned length = capacity;
  unsigned result =
      DbcsToUTF16(code, src.data(), static_cast<unsigned>(src.size()), &dst[0], &length);
  dst.resize(length);
  return {dst, result, length};
}

Output ToGbk(int code, const std::string& src) {
  std::string dst(src.size() + 2, '\x55');
  unsigned length = 0;
  unsigned result =
      ConvertToGBK(code, src.data(), static_cast<unsigned>(src.size()), &dst[0], &length);
  return {dst, result, length};
}

Output ToUtf8(int code, const std::string& src, unsigned limit) {
  std::string dst(3 * src.size() + 1, '\x55');
  unsigned length = limit;
  unsigned result =
      ConvertToUTF8(code, src.data(), static_cast<unsigned>(src.size()), &dst[0], &length);
  return {dst, result, length};
}

TEST_F(CodeConvertTest, DbcsToUtf16) {
  struct Row {
    const char* name;
    int code;
    std::string src;
    unsigned capacity;
    std::u16string units;
    unsigned consumed;
    unsigned bad;
  } rows[] = {
      {"gbk", CODE_GBK, "a\xB0\xA1\xD2\xBB", 64, u"a\u554A\u4E00", 5, 0},
      {"big5", CODE_DBCS2, "\xA4\xA4\xA4\xE5z", 64, u"\u4E2D\u6587z", 5, 0},
      // Trail bytes 0x3F and 0x40 look up the same row; 0x30 too, taking
      // the ASCII byte along.
      {"trail_3f", CODE_GBK, "\xB0\x3F", 64, u"\u7678", 2, 0},
      {"trail_40", CODE_GBK, "\xB0\x40", 64, u"\u7678", 2, 0},
      {"trail_30", CODE_DBCS2, "\xA4\x30", 64, u"\u4E00", 2, 0},
      {"lone_lead_at_end", CODE_GBK, "a\xB0", 64, u"a\uFEFF", 2, 1},
      // A character the table has no unit for gives U+FEFF, counted, and
      // not the table's 0.
      {"unmapped_pair", CODE_DBCS2, "\xB0\xA1x", 64, u"\uFEFFx", 3, 1},
      {"other_code", 5, "a\xB0\xA1", 64, u"a\uFEFF", 3, 1},
      {"capacity_0", CODE_GBK, "abc", 0, u"", 0, 0},
      {"capacity_1", CODE_GBK, "abc", 1, u"", 0, 0},
      {"capacity_3", CODE_GBK, "abc", 3, u"a", 1, 0},
      {"capacity_4", CODE_GBK,
       "\xB0\xA1"
       "bc",
       4, u"\u554Ab", 3, 0},
      {"empty", CODE_GBK, "", 64, u"", 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_nBadChars = 99;
    Output out = Dbcs(row.code, row.src, row.capacity);
    EXPECT_EQ(Hex(out.bytes), Hex(Utf16(row.units)));
    EXPECT_EQ(out.result, row.consumed);
    EXPECT_EQ(g_nBadChars, row.bad);
  }
}

TEST_F(CodeConvertTest, ToGbk) {
  struct Row {
    const char* name;
    int code;
    std::string src;
    std::string gbk;
    unsigned bad;  // g_nBadChars after a code-3 conversion
  } rows[] = {
      {"utf8", CODE_UTF8,
       "\xE4\xB8\x80"
       "A",
       "\xD2\xBB"
       "A",
       0},
      {"gbk_copied", CODE_GBK, "\xB0\xA1\xFF\x01", "\xB0\xA1\xFF\x01", 0},
      {"utf16", CODE_UTF16, std::string("\x00\x4E\x41\x00", 4),
       "\xD2\xBB"
       "A",
       0},
      {"utf16_odd_byte_dropped", CODE_UTF16, std::string("\x41\x00\x42", 3), "A", 0},
      // Big5 goes through its own table: 中文 becomes the GBK 中文, not
      // the Big5 bytes read as GBK.
      {"big5", CODE_DBCS2, "\xA4\xA4\xA4\xE5", G("中文"), 0},
      {"big5_without_gbk_code", CODE_DBCS2,
       "\xC8\x7E"
       "a",
       "\xA1\xA1"
       "a",
       1},
      {"big5_unmapped_and_lone_lead", CODE_DBCS2,
       "\xA5\x40"
       "a\xA4",
       "\xA1\xA1"
       "a\xA1\xA1",
       2},
      {"auto_big5", CODE_AUTO, "\xA4\xA4\xA4\x40", G("中一"), 0},
      {"auto_gbk", CODE_AUTO, "\xB0\xA1", "\xB0\xA1", 0},
      {"unknown_code", 4, "abc", "", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_nBadChars = 0;
    Output out = ToGbk(row.code, row.src);
    EXPECT_EQ(out.result, row.gbk.size());
    EXPECT_EQ(out.length, row.gbk.size());
    EXPECT_EQ(Hex(out.bytes.substr(0, out.length + 1)), Hex(row.gbk + '\0'));
    EXPECT_EQ(g_nBadChars, row.bad);
  }
}

// The worst growth a code-3 text can have still fits srcLen + 2 bytes.
TEST_F(CodeConvertTest, ToGbkFitsItsBuffer) {
  const std::string src = "\xC8\x7E\xC8\x7E\xA4";
  std::string dst(src.size() + 2, '\x55');
  unsigned length = 0;
  EXPECT_EQ(ConvertToGBK(CODE_DBCS2, src.data(), 5, &dst[0], &length), 6u);
  EXPECT_EQ(Hex(dst), Hex(std::string("\xA1\xA1\xA1\xA1\xA1\xA1\0", 7)));
}

TEST_F(CodeConvertTest, ToUtf16) {
  const std::string ten = "0123456789";
  struct Row {
    const char* name;
    int code;
    std::string src;
    unsigned capacity;
    std::string out;  // bytes written, then what follows them
    unsigned result;
  } rows[] = {
      {"utf16_capped", CODE_UTF16, ten, 4, "0123\x55", 4},
      // The terminator is written only where the capacity leaves room.
      {"utf16_capacity_above", CODE_UTF16, ten, 11, ten + '\0', 10},
      {"utf16_exact_capacity", CODE_UTF16, ten, 10, ten + '\x55', 10},
      {"utf16_no_limit", CODE_UTF16, ten, 0, ten + '\0', 10},
      {"utf8", CODE_UTF8, "\xE4\xB8\x80", 64, Utf16(u"\u4E00") + '\x55', 3},
      {"gbk", CODE_GBK, "\xD6\xD0", 64, Utf16(u"\u4E2D") + '\x55', 2},
      {"big5", CODE_DBCS2, "\xA4\xA4", 64, Utf16(u"\u4E2D") + '\x55', 2},
      {"auto_utf16", CODE_AUTO, std::string("\x2D\x4E\x00\x4E", 4), 0,
       std::string("\x2D\x4E\x00\x4E\0", 5), 4},
      {"auto_utf8", CODE_AUTO, "\xE4\xB8\xAD", 64, Utf16(u"\u4E2D") + '\x55', 3},
      {"unknown_code", 7, ten, 64, "\x55", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Output out = ToUtf16(row.code, row.src, row.capacity);
    EXPECT_EQ(out.result, row.result);
    EXPECT_EQ(Hex(out.bytes.substr(0, row.out.size())), Hex(row.out));
    EXPECT_EQ(out.length, row.out.size() - 1);
  }
}

TEST_F(CodeConvertTest, ToUtf8) {
  const std::string yiEr = "\xE4\xB8\x80\xE4\xBA\x8C";  // 一二
  struct Row {
    const char* name;
    int code;
    std::string src;
    unsigned limit;
    std::string utf8;
  } rows[] = {
      {"gbk", CODE_GBK, G("一二"), 0, yiEr},
      // The limit may cut a character.
      {"gbk_cut", CODE_GBK, G("一二"), 4, yiEr.substr(0, 4)},
      {"gbk_invalid_given_back", CODE_GBK, "a\xFF", 0, "a\xFF"},
      {"gbk_ends_at_zero", CODE_GBK, std::string("a\0b", 3), 0, "a"},
      {"utf8_copied", CODE_UTF8, yiEr, 0, yiEr},
      {"utf8_cut", CODE_UTF8, yiEr, 2, yiEr.substr(0, 2)},
      {"big5", CODE_DBCS2, "\xA4\x40\xA4\xA4", 0, "\xE4\xB8\x80\xE4\xB8\xAD"},
      {"big5_lone_lead", CODE_DBCS2, "x\xA4", 0, "x\xEF\xBB\xBF"},
      {"utf16", CODE_UTF16, std::string("\x00\x4E\x8C\x4E", 4), 0, yiEr},
      // The input is limited first: 3 bytes hold one unit.
      {"utf16_limited", CODE_UTF16, std::string("\x00\x4E\x8C\x4E", 4), 3, yiEr.substr(0, 3)},
      {"auto_gbk", CODE_AUTO, "\xB0\xA1", 0, "\xE5\x95\x8A"},
      {"unknown_code", 9, yiEr, 0, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Output out = ToUtf8(row.code, row.src, row.limit);
    EXPECT_EQ(out.result, row.utf8.size());
    EXPECT_EQ(out.length, row.utf8.size());
    EXPECT_EQ(Hex(out.bytes.substr(0, out.length + 1)), Hex(row.utf8 + '\0'));
  }
}

// Zero-terminated conversions never read past srcLen.
TEST_F(CodeConvertTest, TextEndsAtSourceLength) {
  const std::string text = "ab\xE4\xB8\x80";
  char dst[16];
  unsigned length = 0;
  EXPECT_EQ(ConvertToGBK(CODE_UTF8, text.data(), 2, dst, &length), 2u);
  EXPECT_EQ(std::string(dst), "ab");
  length = 0;
  EXPECT_EQ(ConvertToUTF8(CODE_GBK, "xy\xB0\xA1", 2, dst, &length), 2u);
  EXPECT_EQ(std::string(dst), "xy");
}

TEST(CodeConvertWithoutTablesTest, NeedingTablesGivesNoOutput) {
  FreeCodeTables();
  struct Row {
    const char* name;
    int code;
    int target;  // 0 GBK, 1 UTF-16, 2 UTF-8
    unsigned length;
  } rows[] = {
      {"auto_to_gbk", CODE_AUTO, 0, 0},
      {"big5_to_gbk", CODE_DBCS2, 0, 0},
      {"auto_to_utf16", CODE_AUTO, 1, 0},
      {"gbk_to_utf16", CODE_GBK, 1, 0},
      {"big5_to_utf16", CODE_DBCS2, 1, 0},
      {"auto_to_utf8", CODE_AUTO, 2, 0},
      {"big5_to_utf8", CODE_DBCS2, 2, 0},
      // Conversions that need no table still work.
      {"gbk_to_gbk", CODE_GBK, 0, 2},
      {"gbk_to_utf8", CODE_GBK, 2, 3},
      {"utf8_to_utf16", CODE_UTF8, 1, 4},
  };
  const std::string src = "\xB0\xA1";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char dst[32];
    std::memset(dst, 0x55, sizeof(dst));
    unsigned length = row.target == 2 ? 0 : sizeof(dst);
    unsigned result = 0;
    switch (row.target) {
      case 0:
        result = ConvertToGBK(row.code, src.data(), 2, dst, &length);
        break;
      case 1:
        result = ConvertToUTF16(row.code, src.data(), 2, dst, &length);
        break;
      default:
        result = ConvertToUTF8(row.code, src.data(), 2, dst, &length);
        break;
    }
    EXPECT_EQ(length, row.length);
    if (row.length == 0) {
      EXPECT_EQ(result, 0u);
    }
  }
  unsigned length = 32;
  char dst[32];
  EXPECT_EQ(DbcsToUTF16(CODE_GBK, src.data(), 2, dst, &length), 0u);
  EXPECT_EQ(length, 0u);
}

}  // namespace
}  // namespace zhtext
