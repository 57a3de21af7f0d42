#include "zhtext/encoding/similarity.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

using testing::G;

// A zero-terminated copy in a block of its exact size, so that a read past
// the terminator shows under AddressSanitizer.
std::vector<char> Exact(const std::string& text) {
  std::vector<char> bytes(text.begin(), text.end());
  bytes.push_back('\0');
  return bytes;
}

TEST(SimilarityTest, NullAndEmptyTexts) {
  struct Row {
    const char* name;
    const char* part;
    const char* text;
    double expected;
  } rows[] = {
      {"both null", nullptr, nullptr, 1.0},
      {"part null", nullptr, "abc", 0.5},
      {"part null, text empty", nullptr, "", 0.5},
      {"text null, part empty", "", nullptr, 0.5},
      {"text null", "abc", nullptr, 0.0},
      {"both empty", "", "", 1.0},
      {"part empty", "", "abc", 0.5},
      {"text empty", "abc", "", 0.0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_DOUBLE_EQ(Similarity(row.part, row.text), row.expected);
  }
}

TEST(SimilarityTest, Scores) {
  struct Row {
    const char* name;
    std::string part;
    std::string text;
    double expected;
  } rows[] = {
      {"equal ignoring case", "ABC", "abc", 1.0},
      {"equal GBK", G("中文"), G("中文"), 1.0},
      // Found whole: the ratio of the lengths.
      {"found whole", "bc", "abcd", 2.0 / 4},
      {"found whole GBK", G("中"), G("中华"), 2.0 / 4},
      // No character found: 0.6 n each, 0.36 n / L.
      {"nothing found", "xyz", "abcd", 0.36 * 3 / 4},
      {"nothing found GBK", G("人民"), G("中华"), 0.36 * 4 / 4},
      // 'a' found at 0 (not k bytes in): 0.9; 'c' found elsewhere: 0.9.
      {"found out of step", "ac", "abc", 1.8 * 1.8 / (3 * 2)},
      // 'b' found one byte in: in full; 'd' elsewhere: 0.9.
      {"first character in step", "bd", "abcd", 1.9 * 1.9 / (4 * 2)},
      // 'b' in full; 'a' is not found after it: 0.6.
      {"search goes on from the last find", "ba", "abc", 1.6 * 1.6 / (3 * 2)},
      {"GBK characters", G("中国"), G("中华民国"), 3.6 * 3.6 / (8 * 4)},
      // A part longer than the text scores more than 1 by the formula
      // (3.6^2 / 4 = 3.24); the score stays within 0..1.
      {"capped at one", "aaaa", "a", 1.0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<char> part = Exact(row.part);
    const std::vector<char> text = Exact(row.text);
    EXPECT_DOUBLE_EQ(Similarity(part.data(), text.data()), row.expected);
  }
}

// An ASCII character of the part is never found on the second byte of a
// two-byte character of the text, and case folding leaves second bytes
// alone (81 41 and 81 61 are different characters).
TEST(SimilarityTest, MatchesStartAtCharacters) {
  struct Row {
    const char* name;
    std::string part;
    std::string text;
    double expected;
  } rows[] = {
      {"not found whole inside a character", "A", "\x81\x41", 0.36 * 1 / 2},
      // 'A' is not found (0.6); 'y' is found at 3, not 1 byte in (0.9).
      {"character search skips second bytes", "Ay", "\x81\x41xy", 1.5 * 1.5 / (4 * 2)},
      {"no fold of second bytes", "\x81\x61", "\x81\x41", 0.36 * 2 / 2},
      // A lone lead byte at the end is a character of its own.
      {"lone lead byte at the end", "\xB0", "ab\xB0", 1.0 / 3},
      {"lone lead byte in the part", "a\xB0", "xa", 1.6 * 1.6 / (2 * 2)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<char> part = Exact(row.part);
    const std::vector<char> text = Exact(row.text);
    EXPECT_DOUBLE_EQ(Similarity(part.data(), text.data()), row.expected);
  }
}

}  // namespace
}  // namespace zhtext
