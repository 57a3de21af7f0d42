#include "zhtext/classify/token_classify.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

using testing::G;

struct TokenRow {
  const char* name;
  std::string text;
  bool expected;
  std::size_t len = 0;  // 0: the whole token
};

std::unique_ptr<char[]> ExactCopy(const std::string& text) {
  std::unique_ptr<char[]> copy(new char[text.size() + 1]);
  std::memcpy(copy.get(), text.c_str(), text.size() + 1);
  return copy;
}

void CheckRows(bool (*test)(const char*, std::size_t), const TokenRow* rows, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    SCOPED_TRACE(rows[i].name);
    auto copy = ExactCopy(rows[i].text);
    EXPECT_EQ(test(copy.get(), rows[i].len), rows[i].expected) << testing::Hex(rows[i].text);
  }
}

#define ROWS(rows) rows, sizeof(rows) / sizeof(rows[0])

TEST(IsChineseNumber, NumeralsPrefixesAndFractions) {
  const TokenRow rows[] = {
      {"三分之一", G("三分之一"), true},
      {"第三", G("第三"), true},
      {"三第: 第 only first", G("三第"), false},
      {"数十", G("数十"), true},
      {"empty", "", true},
      {"ASCII digit", "3", false},
      {"一百二十", G("一百二十"), true},
      {"二点五", G("二点五"), true},
      {"十几", G("十几"), true},
      {"分之一: fraction word first", G("分之一"), true},
      {"分 alone", G("分"), false},
      {"第数: 数 is a prefix only at the start", G("第数"), false},
      {"numeral then ASCII", G("三") + "a", false},
      {"length stops before the ASCII byte", G("三") + "a", true, 2},
      {"二○○八 with ○ (A1 F0)", G("二○○八"), true},
      {"二〇〇八 with 〇 (A9 96), not a numeral here", G("二〇〇八"), false},
      {"·, ． and ／ are numerals", G("三·五．六／七"), true},
      {"formal numerals", G("壹贰叁肆伍陆柒捌玖拾佰仟兆"), true},
      {"other Chinese", G("三个"), false},
  };
  CheckRows(IsChineseNumber, ROWS(rows));
}

TEST(IsNumericQuantity, SignDigitsPointPercentUnits) {
  const TokenRow rows[] = {
      {"+12.5%", "+12.5%", true},
      {"第3", G("第3"), true},
      {"3.5万", G("3.5万"), true},
      {"full-width １２．５", G("１２．５"), true},
      {"万 alone", G("万"), true},
      {"percent alone", "%", true},
      {"plus alone", "+", true},
      {"minus alone", "-", true},
      {"empty", "", true},
      {".5: a point may not come first", ".5", false},
      {"12%万: no units after a percent sign", G("12%万"), false},
      {"1.x", "1.x", false},
      {"digits", "123", true},
      {"1/2", "1/2", true},
      {"full-width digits", G("１２"), true},
      {"full-width digits, ASCII point, full-width fraction", G("１２.５"), true},
      {"full-width then ASCII digits", G("１2"), true},
      {"ASCII then full-width digits", G("2１"), false},
      {"± sign", G("±5"), true},
      {"— sign (A1 AA)", G("—5"), true},
      {"＋ sign", G("＋5"), true},
      {"－ (A3 AD) is not a sign", G("－5"), false},
      {"per mille", G("5‰"), true},
      {"full-width percent", G("5％"), true},
      {"run of units", G("12万亿"), true},
      {"two percent signs", "5%%", false},
      {"second point", "3.5.", false},
      {"two points", "1.2.3", false},
      {"∶ point", G("3∶5"), true},
      {"· point (A1 A4)", G("3·5"), true},
      {"sign then point", "+.5", true},
      {"two signs", "++", false},
      {"Chinese numeral", G("三"), false},
      {"length cuts off a bad tail", "12x", true, 2},
  };
  CheckRows(IsNumericQuantity, ROWS(rows));
}

TEST(IsSmallNumber, NumeralsOrTwoDigits) {
  const TokenRow rows[] = {
      {"三", G("三"), true},
      {"十二", G("十二"), true},
      {"一二三", G("一二三"), true},
      {"一二三四 (8 bytes)", G("一二三四"), false},
      {"ASCII 12", "12", true},
      {"ASCII 123", "123", false},
      {"ASCII 1", "1", true},
      {"零", G("零"), true},
      {"full-width digit", G("９"), true},
      {"formal numeral", G("玖"), true},
      {"万 is not a small numeral", G("万"), false},
      {"numeral and one ASCII byte (3 bytes)", G("三") + "x", true},
      {"ASCII letters", "ab", false},
      {"digit and letter", "1a", false},
  };
  CheckRows(IsSmallNumber, ROWS(rows));
}

TEST(IsYearNumber, RulesInOrder) {
  const TokenRow rows[] = {
      {"一九九八 (rule 1)", G("一九九八"), true},
      {"二〇〇八 (rule 1, 〇 A9 96)", G("二〇〇八"), true},
      {"二○○八 (rule 1, ○ A1 F0)", G("二○○八"), true},
      {"’九八 (rule 1, ’ A1 AF)", G("’九八"), true},
      {"九八 (rule 1)", G("九八"), true},
      {"ASCII 1998 (rule 2)", "1998", true},
      {"ASCII 98 (rule 2)", "98", true},
      {"ASCII 50 (rule 2)", "50", true},
      {"ASCII 45: first byte not above '4'", "45", false},
      {"ASCII 12", "12", false},
      {"ASCII 199", "199", false},
      {"ASCII 199801 (rule 3, 6 bytes)", "199801", true},
      {"full-width ９８ (rule 3, 4 bytes)", G("９８"), true},
      {"full-width ５０ (rule 3, 4 bytes)", G("５０"), true},
      {"full-width １２ (rule 3 stops)", G("１２"), false},
      {"full-width ２００８ (rule 3, 8 bytes)", G("２００８"), true},
      {"千千 (rule 3 stops at 4 bytes)", G("千千"), false},
      {"二千零八 (rule 4)", G("二千零八"), true},
      {"一千零一 (rule 4)", G("一千零一"), true},
      {"二千〇八 (rule 4)", G("二千〇八"), true},
      {"二千二百 (rule 4: one thousand-or-zero)", G("二千二百"), false},
      {"千 alone (rule 4)", G("千"), true},
      {"仟 alone (rule 4)", G("仟"), true},
      {"万 alone", G("万"), false},
      {"empty", "", false},
      {"Chinese word", G("今年"), false},
  };
  CheckRows(IsYearNumber, ROWS(rows));
}

// A length that runs past the terminator: the token ends at its terminator,
// whatever lies behind it. `data` holds the token, its terminator and the
// bytes after it (copied exactly, so a read past them is caught by the
// address sanitizer); the result must be that of the token alone.
TEST(TokenLengths, ReadsStopAtTheTerminator) {
  struct Row {
    const char* name;
    bool (*test)(const char*, std::size_t);
    std::string data;
    std::size_t len;
  } rows[] = {
      {"IsYearNumber: short text, long length", IsYearNumber, "ab", 8},
      {"IsYearNumber: 98, then a lead byte", IsYearNumber, std::string("98\0\xB0", 4), 4},
      {"IsYearNumber: 1998 then digits", IsYearNumber, std::string("1998\0" "12", 7), 7},
      {"IsYearNumber: 千, then a numeral", IsYearNumber, G("千") + std::string(1, '\0') + G("零"), 5},
      {"IsChineseNumber: 三, then a letter", IsChineseNumber, G("三") + std::string("\0x", 2), 4},
      {"IsChineseNumber: a lone lead byte of 零", IsChineseNumber, G("零").substr(0, 1), 6},
      {"IsNumericQuantity: 12, then junk", IsNumericQuantity, std::string("12\0zz", 5), 5},
      {"IsNumericQuantity: empty, long length", IsNumericQuantity, "", 9},
      {"IsSmallNumber: 12, then a digit", IsSmallNumber, std::string("12\0" "3", 4), 4},
      {"IsSmallNumber: 三, then a numeral", IsSmallNumber, G("三") + std::string(1, '\0') + G("四"), 5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::unique_ptr<char[]> copy(new char[row.data.size() + 1]);
    std::memcpy(copy.get(), row.data.c_str(), row.data.size() + 1);
    const bool whole = row.test(copy.get(), 0);
    EXPECT_EQ(row.test(copy.get(), row.len), whole) << testing::Hex(row.data);
  }
}

TEST(ForeignNames, KindCountAndTests) {
  struct Row {
    const char* name;
    std::string text;
    int kind;
    unsigned count;
    bool isName;
    bool mayBe;
  } rows[] = {
      // 安 is in all three tables: ties keep kind 0.
      {"equal counts", G("安"), kTranslitName, 1, true, true},
      {"田中: only 中 in TRANSLIT_CHARS", G("田中"), kJapaneseName, 2, true, true},
      // 伊 is hidden in TRANSLIT_CHARS by the table's order.
      {"伊万诺夫", G("伊万诺夫"), kTranslitNameShort, 4, true, true},
      // 伊 in TRANSLIT_CHARS_SHORT and JAPANESE_NAME_CHARS: the tie keeps 1.
      {"伊: tie of kinds 1 and 2", G("伊"), kTranslitNameShort, 1, true, true},
      {"约翰", G("约翰"), kTranslitName, 2, true, true},
      {"约翰 and an ASCII letter", G("约翰") + "a", kTranslitName, 2, false, true},
      {"我: in no table", G("我"), kTranslitName, 0, false, false},
      {"约: one character", G("约"), kTranslitName, 1, true, true},
      {"any text above two bytes", G("我们"), kTranslitName, 0, false, true},
      {"empty", "", kTranslitName, 0, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const char* t = row.text.c_str();
    EXPECT_EQ(GetForeignNameKind(t), row.kind);
    EXPECT_EQ(CountForeignNameChars(t), row.count);
    EXPECT_EQ(IsForeignName(t), row.isName);
    EXPECT_EQ(MayBeForeignName(t), row.mayBe);
  }
}

}  // namespace
}  // namespace zhtext
