#include "zhtext/classify/char_class.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "tests/support/gbk_text.h"
#include "tests/support/temp_dir.h"

namespace zhtext {
namespace {

using testing::G;

struct TextRow {
  const char* name;
  std::string text;
  bool expected;
};

// A heap copy of exactly text.size() + 1 bytes, so that a read past the
// terminator is caught by the address sanitizer.
std::unique_ptr<char[]> ExactCopy(const std::string& text) {
  std::unique_ptr<char[]> copy(new char[text.size() + 1]);
  std::memcpy(copy.get(), text.c_str(), text.size() + 1);
  return copy;
}

void CheckRows(bool (*test)(const char*), const TextRow* rows, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    SCOPED_TRACE(rows[i].name);
    auto copy = ExactCopy(rows[i].text);
    EXPECT_EQ(test(copy.get()), rows[i].expected) << testing::Hex(rows[i].text);
  }
}

TEST(IsAllChinese, LooksOnlyAtLeadBytesOfPairs) {
  const TextRow rows[] = {
      {"empty", "", true},
      {"two characters", G("中文"), true},
      {"character then ASCII (odd length)", G("中") + "a", false},
      {"Chinese lead with ASCII trail", "\xB0\x41", true},
      {"trail bytes never looked at", "\xB0\x41\xF7\x41", true},
      {"first and last lead bytes", "\xB0\xA1\xF7\xFE", true},
      {"lead below the area", "\xAF\xA1", false},
      {"lead above the area", "\xF8\xA1", false},
      {"full-width comma", G("，"), false},
      {"ASCII first", "a" + G("中"), false},
      {"lone lead byte", "\xB0", false},
  };
  CheckRows(IsAllChinese, rows, sizeof(rows) / sizeof(rows[0]));
}

TEST(IsAllSymbols, AcceptsRowsA1AndA3) {
  const TextRow rows[] = {
      {"empty", "", true},
      {"full-width comma, ideographic full stop", "\xA3\xAC\xA1\xA3", true},
      {"odd length", "\xA3\xAC\x61", false},
      {"ordinal row A2", "\xA2\xF1", false},
      {"Chinese character", G("中"), false},
      {"ASCII", "ab", false},
      {"trail bytes never looked at", "\xA1\x41\xA3\x42", true},
  };
  CheckRows(IsAllSymbols, rows, sizeof(rows) / sizeof(rows[0]));
}

TEST(IsAllFullWidthLetters, ChecksLeadAndTrail) {
  const TextRow rows[] = {
      {"empty", "", true},
      {"Ａ Ｚ ａ ｚ", "\xA3\xC1\xA3\xDA\xA3\xE1\xA3\xFA", true},
      {"full-width digit zero", "\xA3\xB0", false},
      {"＠ just before Ａ", "\xA3\xC0", false},
      {"［ just after Ｚ", "\xA3\xDB", false},
      {"｀ just before ａ", "\xA3\xE0", false},
      {"｛ just after ｚ", "\xA3\xFB", false},
      {"letter trail under another lead", "\xA1\xC1", false},
      {"odd length", "\xA3\xC1" "A", false},
  };
  CheckRows(IsAllFullWidthLetters, rows, sizeof(rows) / sizeof(rows[0]));
}

TEST(IsOrdinalThenLetters, OrdinalsFirstThenAsciiLetters) {
  const TextRow rows[] = {
      {"Roman one then abc", "\xA2\xF1" "abc", true},
      {"plain letters", "abc", true},
      {"empty", "", true},
      {"ordinals only", "\xA2\xF1\xA2\xF2", true},
      {"ordinal then digit", "\xA2\xF1" "1", false},
      {"letters then ordinal", "ab\xA2\xF1", false},
      {"lone A2 byte", "\xA2", false},
      {"upper and lower case", "\xA2\xF1Zz", true},
      {"full-width letter", "\xA3\xC1", false},
  };
  CheckRows(IsOrdinalThenLetters, rows, sizeof(rows) / sizeof(rows[0]));
}

TEST(HasNoChinese, WalksCharacters) {
  const TextRow rows[] = {
      {"0x80 is a one-byte step", "\x80\xB0\xA1", false},
      {"0x81 starts a pair, hiding B0", "\x81\xB0", true},
      {"B0 as a trail byte", "\xA1\xB0", true},
      {"ASCII", "abc", true},
      {"empty", "", true},
      {"Chinese character", G("a中"), false},
      {"lone symbol lead at the end", "a\xA1", true},
      {"lone Chinese lead at the end", "a\xB0", false},
      {"after a symbol", G("，中"), false},
  };
  CheckRows(HasNoChinese, rows, sizeof(rows) / sizeof(rows[0]));
}

TEST(IsAllAscii, HonoursTheLength) {
  EXPECT_TRUE(IsAllAscii("abc", 0));
  EXPECT_TRUE(IsAllAscii("", 0));
  EXPECT_TRUE(IsAllAscii("\x7F", 0));
  EXPECT_FALSE(IsAllAscii("\x80", 0));
  EXPECT_FALSE(IsAllAscii("ab\xB0", 0));
  EXPECT_TRUE(IsAllAscii("ab\xB0", 2));
  EXPECT_FALSE(IsAllAscii("ab\xB0", 3));
  // A length past the terminator: the text ends there.
  const char tail[] = {'a', 'b', '\0', '\xB0'};
  EXPECT_TRUE(IsAllAscii(tail, sizeof(tail)));
  const std::unique_ptr<char[]> exact(new char[2]{'a', '\0'});
  EXPECT_TRUE(IsAllAscii(exact.get(), 8));
}

TEST(IsPunctuation, SingleBytesOfTheSetAndRowsA1A3) {
  const unsigned char kSet[] = {0x09, 0x0D, 0x20, 0x0A, 0x2E, 0x2C, 0x28, 0x29, 0x7B, 0x7D, 0x5B,
                                0x5D, 0x3A, 0x3B, 0x22, 0x27, 0x3C, 0x3E, 0x3F, 0x2F, 0x7E, 0x40,
                                0x23, 0x24, 0x25, 0x5E, 0x26, 0x2A, 0x5F, 0x2D, 0x2B, 0x3D};
  std::set<int> set(kSet, kSet + sizeof(kSet));
  ASSERT_EQ(set.size(), 32u);
  for (int b = 1; b < 256; ++b) {
    char token[2] = {static_cast<char>(b), '\0'};
    EXPECT_EQ(IsPunctuation(token), set.count(b) == 1) << "byte " << b;
  }
  const TextRow rows[] = {
      {"full-width comma", "\xA3\xAC", true},
      {"em dash", "\xA1\xAA", true},
      {"any A1 pair", "\xA1\x41", true},
      {"Chinese character", G("中"), false},
      {"ordinal", "\xA2\xF1", false},
      {"two full stops", "..", false},
      {"number sign", "#", true},
      {"empty", "", false},
      {"three bytes", "\xA3\xAC.", false},
      {"exclamation mark is not in the set", "!", false},
  };
  CheckRows(IsPunctuation, rows, sizeof(rows) / sizeof(rows[0]));
}

TEST(IsEnglishText, SamplesTenBytesAndTwoMore) {
  const TextRow rows[] = {
      {"Hello world", "Hello world", true},
      {"empty", "", false},
      {"Chinese", G("中文中文中文"), false},
      {"digits", "1234567890", false},
      {"exactly five letters sampled", "a1a1a1a1a1", true},
      {"four letters sampled", "a1a1a1a111", false},
      {"short text repeats samples", "ab", true},
      {"one letter, one digit: five samples each", "a1", true},
      {"A1 byte allowed in a sample", "Hello\xA1world", true},
      {"B1 byte allowed in a sample", "Hello\xB1world", true},
      {"other high byte in a sample", "Hello\xB2world", false},
      // 20 bytes: the samples are at even offsets; offset 1 is only looked at
      // by the extra test.
      {"Chinese lead at offset 1", "a\xB0" "aaaaaaaaaaaaaaaaaa", false},
      // 21 bytes: offset 19 (L - 2) is not one of the ten samples.
      {"Chinese lead at offset L - 2", "aaaaaaaaaaaaaaaaaaa\xB0" "a", false},
      {"high byte at an unsampled offset", "aaa\xB0" "aaaaaaaaaaaaaaaaa", true},
  };
  CheckRows(IsEnglishText, rows, sizeof(rows) / sizeof(rows[0]));
  EXPECT_FALSE(IsEnglishText(nullptr));
}

TEST(IsEnglishFile, ReadsTheWholeFile) {
  testing::TempDir dir;
  testing::WriteFile(dir.File("en.txt"), "The quick brown fox jumps over the lazy dog\n");
  testing::WriteFile(dir.File("zh.txt"), G("敏捷的棕色狐狸跳过了懒狗"));
  testing::WriteFile(dir.File("empty.txt"), "");
  EXPECT_TRUE(IsEnglishFile(dir.File("en.txt").c_str()));
  EXPECT_FALSE(IsEnglishFile(dir.File("zh.txt").c_str()));
  EXPECT_FALSE(IsEnglishFile(dir.File("empty.txt").c_str()));
  EXPECT_FALSE(IsEnglishFile(dir.File("missing.txt").c_str()));
}

TEST(EndsWithPunctuationUtf8, ClosingMarks) {
  const TextRow rows[] = {
      {"empty", "", false},
      {"full stop alone (3 bytes)", "\xE3\x80\x82", false},
      {"ab then full stop", "ab\xE3\x80\x82", true},
      {"ab then full-width colon", "ab\xEF\xBC\x9A", true},
      {"ab then full-width exclamation", "ab\xEF\xBC\x81", true},
      {"ab then full-width semicolon", "ab\xEF\xBC\x9B", true},
      {"ab then full-width right parenthesis", "ab\xEF\xBC\x89", true},
      {"ab then full-width comma", "ab\xEF\xBC\x8C", false},
      {"ab", "ab", false},
      {"ab)", "ab)", true},
      {"ab;", "ab;", true},
      {"ab.", "ab.", true},
      {"ab:", "ab:", true},
      {"ab!", "ab!", false},
      {"single ASCII mark", ".", true},
  };
  CheckRows(EndsWithPunctuationUtf8, rows, sizeof(rows) / sizeof(rows[0]));
}

TEST(LacksSentenceEndUtf8, OnlyFullStopExclamationAndSemicolonEnd) {
  const TextRow rows[] = {
      {"empty", "", true},
      {"ab then full-width semicolon", "ab\xEF\xBC\x9B", true},
      {"ab;", "ab;", false},
      {"ab.", "ab.", true},
      {"ab then full stop", "ab\xE3\x80\x82", false},
      {"ab then full-width exclamation", "ab\xEF\xBC\x81", false},
      {"full stop alone (3 bytes)", "\xE3\x80\x82", true},
      {"ab then full-width colon", "ab\xEF\xBC\x9A", true},
  };
  CheckRows(LacksSentenceEndUtf8, rows, sizeof(rows) / sizeof(rows[0]));
}

}  // namespace
}  // namespace zhtext
