// The tables of the GBK text routines: exact bytes, counts and order.
#include "zhtext/util/gbk_text_tables.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "tests/support/gbk_text.h"
#include "zhtext/encoding/gbk_chars.h"

namespace zhtext {
namespace {

using testing::Fnv1a;
using testing::G;

TEST(PlaceSuffixTables, MultiCharacterSuffixesInOrder) {
  ASSERT_EQ(kPlaceSuffixCount, 50u);
  std::string joined;
  for (std::size_t i = 0; i < kPlaceSuffixCount; ++i) {
    if (i > 0) joined += '|';
    joined += PLACE_SUFFIXES[i].c_str();
    unsigned single = 0, multi = 0;
    CountChars(PLACE_SUFFIXES[i], &single, &multi, false);
    EXPECT_EQ(single, 0u) << PLACE_SUFFIXES[i].utf8();
    EXPECT_GE(multi, 2u) << PLACE_SUFFIXES[i].utf8();
  }
  EXPECT_EQ(Fnv1a(joined), 0x841FCB1FD02458E8ull) << "a suffix or the order changed";
  EXPECT_EQ(std::string(PLACE_SUFFIXES[0].c_str()), G("半岛"));
  EXPECT_EQ(std::string(PLACE_SUFFIXES[10].c_str()), G("高速公路"));
  EXPECT_EQ(std::string(PLACE_SUFFIXES[12].c_str()), G("公路"));
  EXPECT_EQ(std::string(PLACE_SUFFIXES[49].c_str()), G("自治州"));
}

TEST(PlaceSuffixTables, SingleCharacterSuffixes) {
  std::string bytes = PLACE_SUFFIX_CHARS.c_str();
  ASSERT_EQ(bytes.size(), 198u);
  unsigned single = 0, multi = 0;
  EXPECT_EQ(CountChars(PLACE_SUFFIX_CHARS, &single, &multi, false), 99u);
  EXPECT_EQ(multi, 99u);
  EXPECT_EQ(Fnv1a(bytes), 0xB77B2DBA35643691ull) << "a character or the order changed";
  EXPECT_EQ(bytes.substr(0, 2), G("坝"));
  EXPECT_EQ(bytes.substr(196), G("町"));
  std::set<std::string> distinct;
  for (std::size_t i = 0; i < bytes.size(); i += 2) distinct.insert(bytes.substr(i, 2));
  EXPECT_EQ(distinct.size(), 99u);
}

TEST(FullWidthFoldTable, SixtyThreeEntriesInOrder) {
  ASSERT_EQ(kFullWidthFoldCount, 63u);
  std::string packed;
  std::set<unsigned> codes;
  for (const FULLWIDTH_FOLD& fold : FULLWIDTH_FOLDS) {
    packed += static_cast<char>(fold.code >> 8);
    packed += static_cast<char>(fold.code & 0xFF);
    packed += fold.ascii;
    codes.insert(fold.code);
    EXPECT_GE(fold.code >> 8, 0xA1u);
    EXPECT_GT(fold.ascii, 0x20);
    EXPECT_LT(fold.ascii, 0x7F);
  }
  EXPECT_EQ(codes.size(), 63u);
  EXPECT_EQ(Fnv1a(packed), 0x05B38BAFD6B87802ull) << "an entry or the order changed";
  EXPECT_EQ(FULLWIDTH_FOLDS[0].code, 0xA1A2);  // 、
  EXPECT_EQ(FULLWIDTH_FOLDS[0].ascii, ',');
  EXPECT_EQ(FULLWIDTH_FOLDS[62].code, 0xA988);  // ﹫
  EXPECT_EQ(FULLWIDTH_FOLDS[62].ascii, '@');
}

}  // namespace
}  // namespace zhtext
