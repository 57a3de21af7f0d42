// The token classifiers' tables: exact bytes, character counts, and the
// membership that follows from their stored order.
#include "zhtext/classify/token_tables.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "tests/support/gbk_text.h"
#include "zhtext/encoding/gbk_chars.h"

namespace zhtext {
namespace {

using testing::Fnv1a;
using testing::G;
using testing::Hex;

struct SmallTableRow {
  const char* name;
  const GbkLiteral& table;
  unsigned chars;
  const char* hex;
};

TEST(TokenTables, SmallTablesHaveTheirExactBytes) {
  const SmallTableRow rows[] = {
      {"NUMBER_CHARS", NUMBER_CHARS, 39,
       "C1 E3 A1 F0 D2 BB B6 FE C1 BD C8 FD CB C4 CE E5 C1 F9 C6 DF B0 CB BE C5 CA AE D8 A5 B0 D9 "
       "C7 A7 CD F2 D2 DA D2 BC B7 A1 C8 FE CB C1 CE E9 C2 BD C6 E2 B0 C6 BE C1 CA B0 B0 DB C7 AA "
       "D5 D7 A1 C3 A1 A4 A3 AE A3 AF B5 E3 BC B8 C9 CF B3 C9"},
      {"NUMBER_PREFIX", NUMBER_PREFIX, 2, "CA FD B5 DA"},
      {"FRACTION_WORD", FRACTION_WORD, 2, "B7 D6 D6 AE"},
      {"SIGN_CHARS", SIGN_CHARS, 4, "A1 C0 B5 DA A1 AA A3 AB"},
      {"POINT_CHARS", POINT_CHARS, 4, "A1 C3 A1 A4 A3 AE A3 AF"},
      {"PERCENT_CHARS", PERCENT_CHARS, 2, "A3 A5 A1 EB"},
      {"UNIT_CHARS", UNIT_CHARS, 7, "B0 D9 C7 A7 CD F2 D2 DA B0 DB C7 AA D5 D7"},
      {"SMALL_NUMBER_CHARS", SMALL_NUMBER_CHARS, 30,
       "C1 E3 D2 BB B6 FE C8 FD CB C4 CE E5 C1 F9 C6 DF B0 CB BE C5 CA AE D2 BC B7 A1 C8 FE CB C1 "
       "CE E9 C2 BD C6 E2 B0 C6 BE C1 A3 B0 A3 B1 A3 B2 A3 B3 A3 B4 A3 B5 A3 B6 A3 B7 A3 B8 A3 B9"},
      {"YEAR_CHARS", YEAR_CHARS, 23,
       "A1 AF C1 E3 A1 F0 A9 96 A3 B0 D2 BB B6 FE C8 FD CB C4 CE E5 C1 F9 C6 DF B0 CB BE C5 D2 BC "
       "B7 A1 C8 FE CB C1 CE E9 C2 BD C6 E2 B0 C6 BE C1"},
      {"YEAR_TENS", YEAR_TENS, 5, "A3 B5 A3 B6 A3 B7 A3 B8 A3 B9"},
      {"THOUSAND_ZERO_CHARS", THOUSAND_ZERO_CHARS, 5, "C7 A7 C7 AA C1 E3 A9 96 A1 F0"},
      {"THOUSAND_CHARS", THOUSAND_CHARS, 2, "C7 A7 C7 AA"},
  };
  for (const SmallTableRow& row : rows) {
    SCOPED_TRACE(row.name);
    std::string bytes = row.table.c_str();
    EXPECT_EQ(Hex(bytes), row.hex);
    EXPECT_EQ(row.table.size(), 2u * row.chars);
    unsigned single = 0, multi = 0;
    CountChars(row.table, &single, &multi, false);
    EXPECT_EQ(multi, row.chars);
    EXPECT_EQ(single, 0u);
  }
  EXPECT_STREQ(DIGIT_CHARS, "0123456789");
}

// The characters whose GBK form is easily confused with a neighbour.
TEST(TokenTables, LookAlikeCharactersHaveTheirOwnCodes) {
  struct Row {
    const char* name;
    const GbkLiteral& table;
    std::size_t offset;
    const char* hex;
  } rows[] = {
      {"○ in NUMBER_CHARS", NUMBER_CHARS, 2, "A1 F0"},
      {"∶ in NUMBER_CHARS", NUMBER_CHARS, 62, "A1 C3"},
      {"· in NUMBER_CHARS", NUMBER_CHARS, 64, "A1 A4"},
      {"’ in YEAR_CHARS", YEAR_CHARS, 0, "A1 AF"},
      {"○ in YEAR_CHARS", YEAR_CHARS, 4, "A1 F0"},
      {"〇 in YEAR_CHARS", YEAR_CHARS, 6, "A9 96"},
      {"〇 in THOUSAND_ZERO_CHARS", THOUSAND_ZERO_CHARS, 6, "A9 96"},
      {"○ in THOUSAND_ZERO_CHARS", THOUSAND_ZERO_CHARS, 8, "A1 F0"},
      {"— in SIGN_CHARS", SIGN_CHARS, 4, "A1 AA"},
      {"＋ in SIGN_CHARS", SIGN_CHARS, 6, "A3 AB"},
      {"· in TRANSLIT_CHARS", TRANSLIT_CHARS, 0, "A1 A4"},
      {"— in TRANSLIT_CHARS", TRANSLIT_CHARS, 2, "A1 AA"},
      {"· in TRANSLIT_CHARS_SHORT", TRANSLIT_CHARS_SHORT, 0, "A1 A4"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_LE(row.offset + 2, row.table.size());
    EXPECT_EQ(Hex(std::string(row.table.c_str() + row.offset, 2)), row.hex);
  }
}

struct NameTableRow {
  const char* name;
  const GbkLiteral& table;
  unsigned chars;
  std::uint64_t fnv1a;
  const char* first;  // UTF-8
  const char* last;
  // Characters of the table that FindTableChar does not find, because their
  // bytes first occur across two neighbours (UTF-8).
  const char* hidden;
};

TEST(TokenTables, NameTablesHaveTheirExactBytesAndOrder) {
  const NameTableRow rows[] = {
      {"TRANSLIT_CHARS", TRANSLIT_CHARS, 382, 0x555999B89CE420ECull, "·", "黛",
       "丝文夏辛伊雍治赖逊芙迦"},
      {"JAPANESE_NAME_CHARS", JAPANESE_NAME_CHARS, 252, 0x019153B5BA610428ull, "安", "筱",
       "敬未夏植"},
      {"TRANSLIT_CHARS_SHORT", TRANSLIT_CHARS_SHORT, 125, 0x563ACE7002B9F4AFull, "·", "兹", ""},
  };
  for (const NameTableRow& row : rows) {
    SCOPED_TRACE(row.name);
    std::string bytes = row.table.c_str();
    ASSERT_EQ(bytes.size(), 2u * row.chars);
    unsigned single = 0, multi = 0;
    EXPECT_EQ(CountChars(row.table, &single, &multi, false), row.chars);
    EXPECT_EQ(multi, row.chars);
    EXPECT_EQ(Fnv1a(bytes), row.fnv1a) << "bytes or order changed";
    EXPECT_EQ(bytes.substr(0, 2), G(row.first));
    EXPECT_EQ(bytes.substr(bytes.size() - 2), G(row.last));

    // Every character is found at its own place, except the hidden ones.
    std::string hidden = G(row.hidden);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
      std::string ch = bytes.substr(i, 2);
      bool isHidden = false;
      for (std::size_t j = 0; j < hidden.size(); j += 2) {
        if (hidden.compare(j, 2, ch) == 0) isHidden = true;
      }
      SCOPED_TRACE(testing::U(ch));
      const char* found = FindTableChar(row.table, ch.c_str());
      if (isHidden) {
        EXPECT_EQ(found, nullptr);
      } else {
        EXPECT_EQ(found, row.table.c_str() + i);
      }
    }
  }
}

TEST(TokenTables, NoTableRepeatsACharacter) {
  const GbkLiteral* tables[] = {&NUMBER_CHARS,   &SMALL_NUMBER_CHARS,  &YEAR_CHARS,
                                &TRANSLIT_CHARS, &JAPANESE_NAME_CHARS, &TRANSLIT_CHARS_SHORT};
  for (const GbkLiteral* table : tables) {
    std::string bytes = table->c_str();
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
      for (std::size_t j = i + 2; j < bytes.size(); j += 2) {
        EXPECT_NE(bytes.compare(i, 2, bytes, j, 2), 0)
            << testing::U(bytes.substr(i, 2)) << " twice in " << table->utf8();
      }
    }
  }
}

}  // namespace
}  // namespace zhtext
