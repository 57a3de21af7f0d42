#include "zhtext/encoding/gbk_chars.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

using testing::G;
using testing::Hex;

struct CharRow {
  const char* name;
  std::string text;
  int length;
  std::string copied;
};

TEST(ReadGbkCharTest, LengthAndCopy) {
  const CharRow rows[] = {
      {"empty", "", 0, ""},
      {"ascii", "ab", 1, "a"},
      {"two_byte", "\xB0\xA1\x41", 2, "\xB0\xA1"},
      {"lead_before_terminator", "\xB0", 1, "\xB0"},
      {"no_trail_range_check", "\x80\x41", 2, "\x80\x41"},
      {"lead_then_ascii", "\xFF\x20", 2, "\xFF\x20"},
  };
  for (const CharRow& row : rows) {
    SCOPED_TRACE(row.name);
    char buf[3] = {'x', 'x', 'x'};
    EXPECT_EQ(ReadGbkChar(row.text.c_str(), buf), row.length);
    EXPECT_EQ(std::string(buf), row.copied);
  }
}

TEST(GetGbkCharCodeTest, CodeAndLength) {
  struct Row {
    const char* name;
    std::string text;
    int length;
    int code;
  } rows[] = {
      {"empty", "", 0, -1},
      {"ascii", "A", 1, 'A'},
      {"two_byte", "\xB0\xA1", 2, 0xB0A1},
      {"highest", "\xFE\xFE", 2, 0xFEFE},
      {"lone_lead_is_signed", "\xB0", 1, -80},
      {"lone_0x80", "\x80", 1, -128},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    int code = 12345;
    EXPECT_EQ(GetGbkCharCode(row.text.c_str(), &code), row.length);
    EXPECT_EQ(code, row.code);
  }
}

TEST(ReadUtf8CharTest, LengthFromFirstByteCutAtTerminator) {
  const CharRow rows[] = {
      {"terminator", "", 0, ""},
      {"ascii", "a", 1, "a"},
      {"continuation_alone", "\x80\x80", 1, "\x80"},
      {"two_byte", "\xC3\xA9", 2, "\xC3\xA9"},
      {"three_byte", "\xE4\xB8\xAD!", 3, "\xE4\xB8\xAD"},
      {"cut_three_byte", "\xE4\xB8", 2, "\xE4\xB8"},
      {"four_byte", "\xF0\x9F\x98\x80", 4, "\xF0\x9F\x98\x80"},
      {"five_byte", "\xF8\x88\x80\x80\x80", 5, "\xF8\x88\x80\x80\x80"},
      {"six_byte", "\xFC\x84\x80\x80\x80\x80z", 6, "\xFC\x84\x80\x80\x80\x80"},
      {"ff_is_six", "\xFF\x41", 2, "\xFF\x41"},
  };
  for (const CharRow& row : rows) {
    SCOPED_TRACE(row.name);
    char buf[7];
    EXPECT_EQ(ReadUtf8Char(row.text.c_str(), buf), row.length);
    EXPECT_EQ(std::string(buf), row.copied);
  }
}

TEST(CountCharsTest, CountsSingleAndMultiByteCharacters) {
  struct Row {
    const char* name;
    std::string text;
    bool utf8;
    unsigned single, multi;
  } rows[] = {
      {"empty", "", false, 0, 0},
      {"blanks_not_counted", " \t\r\n", false, 0, 0},
      {"gbk_mixed", G("中文 ab，"), false, 2, 3},
      {"gbk_lone_lead", "a\xB0", false, 2, 0},
      {"utf8_mixed", "\xE4\xB8\xAD a\xC3\xA9", true, 1, 2},
      {"gbk_bytes_read_as_utf8", G("中文"), true, 0, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    unsigned single = 99, multi = 99;
    EXPECT_EQ(CountChars(row.text.c_str(), &single, &multi, row.utf8), row.single + row.multi);
    EXPECT_EQ(single, row.single);
    EXPECT_EQ(multi, row.multi);
  }
}

TEST(FindTableCharTest, OnlyAlignedFirstOccurrenceCounts) {
  const std::string table = "\xA3\xC1\xA3\xC2";  // full-width A and B
  struct Row {
    const char* name;
    std::string ch;
    int offset;  // -1: not found
  } rows[] = {
      {"first_char", "\xA3\xC1", 0},
      {"second_char", "\xA3\xC2", 2},
      {"straddling_match_at_odd_offset", "\xC1\xA3", -1},
      {"absent", "\xA3\xC3", -1},
      {"empty", "", -1},
      {"single_byte_at_even_offset", "\xA3", 0},
      {"single_byte_at_odd_offset", "\xC2", -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const char* found = FindTableChar(table.c_str(), row.ch.c_str());
    if (row.offset < 0) {
      EXPECT_EQ(found, nullptr) << Hex(row.ch);
    } else {
      ASSERT_NE(found, nullptr);
      EXPECT_EQ(found - table.c_str(), row.offset);
    }
  }
}

TEST(FindTableCharTest, StraddlingMatchHidesALaterAlignedOne) {
  // Characters B0A1, B0A1, A1B0: searching A1 B0 finds it first at offset 1
  // (straddling two characters), so the aligned copy at offset 4 is never
  // reported.
  const std::string table = "\xB0\xA1\xB0\xA1\xA1\xB0";
  EXPECT_EQ(FindTableChar(table.c_str(), "\xA1\xB0"), nullptr);
  EXPECT_EQ(FindTableChar(table.c_str(), "\xB0\xA1"), table.c_str());
}

}  // namespace
}  // namespace zhtext
