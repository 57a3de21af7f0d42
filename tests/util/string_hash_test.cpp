#include "zhtext/util/string_hash.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/gbk_text.h"
#include "zhtext/encoding/byte_hashes.h"

namespace zhtext {
namespace {

using testing::G;

// Every value here is fixed by data stored with these hashes; the values
// were computed independently from the rules in the header.
struct Row {
  const char* name;
  std::string text;
  std::uint64_t mul31;
  std::uint32_t tail96;
  std::uint32_t weightedSum;
};

TEST(StringHashTest, FixedValues) {
  const Row rows[] = {
      {"empty", "", 0, 0, 0},
      {"abc", "abc", 96354, 0x0202C03E, 1770},
      // HashTail96 folds letters; the others do not.
      {"ABC", "ABC", 64578, 0x0202C03E, 1194},
      {"one high byte", "\xFF", 255, 0x000309FA, 3},
      {"GBK", G("中华人民共和国"), 7635685792110229735u, 0x0DC9B688, 16926},
      // Only the last 96 bytes count; the length still does.
      {"97 bytes", std::string(97, 'a'), 11020129664275692129u, 0x67F9E6F0, 1383123},
      {"255 bytes", std::string(255, 'x'), 5568472118298308472u, 0x0A2A32D0, 11750400},
      // From 256 bytes on the length part is 0xFF000000.
      {"256 bytes", std::string(256, 'x'), 6601939003861598208u, 0x0B2A32D0, 11842560},
      {"257 bytes", std::string(257, 'x'), 1745924308904476792u, 0x0B2A32D0, 11935080},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(HashMul31(row.text.c_str()), row.mul31);
    EXPECT_EQ(HashTail96(row.text.c_str()), row.tail96);
    EXPECT_EQ(HashWeightedSum(row.text.c_str()), row.weightedSum);
  }
}

TEST(StringHashTest, Tail96FoldsBytesOneByOne) {
  // The stored values were made byte by byte: the second byte of 81 41
  // folds like an ASCII 'A'.
  EXPECT_EQ(HashTail96("\x81\x41"), HashTail96("\x81\x61"));
  EXPECT_EQ(HashTail96("\x81\x41"), 0x0101AFA3u);
}

TEST(StringHashTest, ElfIsTheSignedElfHash) {
  EXPECT_EQ(HashElf("abc"), 0x6783u);
  EXPECT_EQ(HashElf("\x80"), 0x0FFFFF70u);
  for (const std::string& text : {std::string(), std::string("abcdefghijklmnopqrstuvwxyz"),
                                  G("中华人民共和国"), std::string(300, '\xC8')}) {
    EXPECT_EQ(HashElf(text.c_str()), ElfHash(text.c_str()));
  }
}

// Each product b * i * 3 wraps in 32 bits before it is added: at byte
// 5,600,000, -128 * i * 3 leaves the int range and turns positive, so the
// sum of this text is 2152967296, where 64-bit products would give
// 2142000000.
TEST(StringHashTest, WeightedSumProductsWrapIn32Bits) {
  const std::size_t n = 5600000;
  std::string text(n, '\x01');
  for (std::size_t i = 2; i < n; i += 2) text[i - 1] = '\xFF';  // i counts from 1
  text[n - 1] = '\x80';
  EXPECT_EQ(HashWeightedSum(text.c_str()), 2152967296u);
}

TEST(StringHashTest, NullHashesAsEmpty) {
  EXPECT_EQ(HashMul31(nullptr), 0u);
  EXPECT_EQ(HashTail96(nullptr), 0u);
  EXPECT_EQ(HashElf(nullptr), 0u);
  EXPECT_EQ(HashWeightedSum(nullptr), 0u);
}

}  // namespace
}  // namespace zhtext
