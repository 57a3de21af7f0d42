#include "zhtext/encoding/punct_fold.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "tests/support/gbk_text.h"
#include "zhtext/encoding/punct_tables.h"

namespace zhtext {
namespace {

using testing::G;
using testing::Hex;

std::string CodeBytes(unsigned code) {
  return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

TEST(PunctTables, MatchFoldsHaveTheirExactCodesAndResults) {
  // The characters as written, in table order; AA A4 has none.
  const char* const kChars[kMatchFoldCount] = {"（", "【", "）", "】", "“", "”", "‘", "＇", "＼",
                                               "｜", "，", "．", "。", "、", "－", "—", nullptr,
                                               "　"};
  std::string codes, results;
  for (std::size_t i = 0; i < kMatchFoldCount; ++i) {
    SCOPED_TRACE(i);
    codes += CodeBytes(MATCH_FOLDS[i].code);
    results += MATCH_FOLDS[i].result;
    if (kChars[i] != nullptr) {
      EXPECT_EQ(Hex(CodeBytes(MATCH_FOLDS[i].code)), Hex(G(kChars[i])));
    }
  }
  EXPECT_EQ(Hex(codes),
            "A3 A8 A1 BE A3 A9 A1 BF A1 B0 A1 B1 A1 AE A3 A7 A3 DC A3 FC A3 AC A3 AE A1 A3 A1 A2 "
            "A3 AD A1 AA AA A4 A1 A1");
  EXPECT_EQ(results, "(())\"\"\"\"\t\t\t\t\t\t\t\t\t\t");
}

TEST(PunctTables, FullWidthPunctHasSixteenKeysAndTheirForms) {
  EXPECT_STREQ(FULLWIDTH_PUNCT_KEYS, ".,;:?!%(){+}[]/=");
  EXPECT_EQ(std::strlen(FULLWIDTH_PUNCT_KEYS), kFullWidthPunctCount);
  EXPECT_EQ(std::char_traits<char16_t>::length(FULLWIDTH_PUNCT_CHARS), kFullWidthPunctCount);
  std::string forms;
  for (char key : std::string(FULLWIDTH_PUNCT_KEYS)) {
    char out[3] = {'x', 'x', 'x'};
    EXPECT_TRUE(ToFullWidthPunct(key, out)) << key;
    EXPECT_EQ(out[2], '\0');
    forms += std::string(out, 2);
  }
  EXPECT_EQ(Hex(forms),
            "A1 A3 A3 AC A3 BB A3 BA A3 BF A3 A1 A3 A5 A3 A8 A3 A9 A3 FB A3 AB A3 FD A3 DB A3 DD "
            "A3 AF A3 BD");
  EXPECT_EQ(forms, G("。，；：？！％（）｛＋｝［］／＝"));
}

TEST(ToFullWidthPunct, OtherBytesAreCopiedAlone) {
  std::set<char> keys(FULLWIDTH_PUNCT_KEYS, FULLWIDTH_PUNCT_KEYS + kFullWidthPunctCount);
  for (int c = 0; c < 256; ++c) {
    char ch = static_cast<char>(c);
    if (keys.count(ch) != 0) continue;
    char out[3] = {'x', 'x', 'x'};
    EXPECT_FALSE(ToFullWidthPunct(ch, out)) << c;
    EXPECT_EQ(out[0], ch);
    EXPECT_EQ(out[1], '\0');
    EXPECT_EQ(out[2], 'x') << "wrote past the terminator";
  }
  char out[3];
  EXPECT_TRUE(ToFullWidthPunct('+', out));
  EXPECT_EQ(std::string(out), G("＋"));
}

// Normalizes an exact-size copy of `in` (one byte for the terminator).
std::string Normalize(const std::string& in, bool keep) {
  std::unique_ptr<char[]> buf(new char[in.size() + 1]);
  std::memcpy(buf.get(), in.data(), in.size());
  std::size_t len = NormalizeForMatch(buf.get(), in.size(), keep);
  EXPECT_LE(len, in.size());
  EXPECT_EQ(buf[len], '\0');
  return std::string(buf.get(), len);
}

TEST(NormalizeForMatch, FoldsToTheMatchingForm) {
  struct Row {
    const char* name;
    std::string in;
    bool keep;
    std::string out;
  } rows[] = {
      {"full-width letters, comma and brackets", G("ＡＢ，（Ｃ）"), false, "ab\t(c)"},
      {"ASCII comma becomes TAB", "A,b", false, "a\tb"},
      {"ASCII comma kept", "A,b", true, "a,b"},
      {"ASCII separators", "a/b_c,d", false, "a\tb\tc\td"},
      {"ASCII separators kept", "a/b_c,d", true, "a/b_c,d"},
      {"full-width comma is TAB even when ASCII ones are kept", G("a，b"), true, "a\tb"},
      {"brackets", G("【x】（y）"), false, "(x)(y)"},
      {"quotes", G("“a”‘b＇"), false, "\"a\"\"b\""},
      {"separators", G("＼｜，．。、－—") + "\xAA\xA4" + G("　"), false,
       std::string(10, '\t')},
      {"full-width digits", G("０１２３４５６７８９"), false, "0123456789"},
      {"full-width capitals and small letters", G("ＡＺａｚ"), false, "azaz"},
      {"other full-width forms are kept", G("！＠ｘ"), false, G("！＠") + "x"},
      {"Chinese characters kept", G("中文"), false, G("中文")},
      {"second byte of a character is not a letter", "\x81\x41\xB0\x2C", false,
       "\x81\x41\xB0\x2C"},
      {"'’' is not a quote of the table", G("’"), false, G("’")},
      {"lead byte last stays alone", "A\xA3", false, "a\xA3"},
      {"zero bytes are ordinary", std::string("A\0B", 3), false, std::string("a\0b", 3)},
      {"empty", "", false, ""},
      {"one byte", "Q", false, "q"},
      {"two bytes", G("Ａ"), false, "a"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Hex(Normalize(row.in, row.keep)), Hex(row.out));
  }
}

}  // namespace
}  // namespace zhtext
