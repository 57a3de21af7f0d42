#include "zhtext/encoding/sorted_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

using testing::G;

// A table of owned strings and the pointer array the searches take.
class Table {
 public:
  explicit Table(std::vector<std::string> entries) : entries_(std::move(entries)) {
    for (const std::string& e : entries_) pointers_.push_back(e.c_str());
  }
  const char* const* data() const { return pointers_.empty() ? nullptr : pointers_.data(); }
  int size() const { return static_cast<int>(pointers_.size()); }
  const std::string& operator[](int i) const { return entries_[static_cast<std::size_t>(i)]; }

 private:
  std::vector<std::string> entries_;
  std::vector<const char*> pointers_;
};

TEST(FindShortestWithPrefixTest, Table) {
  const Table six({"aa", "aab", "aac", "abc", "abd", "abde"});
  const Table two({"abcd", "abx"});
  // GBK order: 人 (C8 CB) before 中 (D6 D0).
  const Table words({G("人"), G("人民"), G("中"), G("中华"), G("中华人民")});
  struct Row {
    const char* name;
    const Table* table;
    std::string key;
    int prefixLen;
    int lo;
    int hi;
    int expected;
  } rows[] = {
      // The search lands on abd (index 4); abc is as short and does not
      // replace it.
      {"equal lengths keep the first met", &six, "ab", 2, 0, 5, 4},
      // The search lands on abcd; the upward walk reaches the range's upper
      // end and finds the shorter abx there.
      {"upward walk includes hi", &two, "ab", 2, 0, 1, 1},
      {"key before every entry", &six, "a0", 2, 0, 5, -1},
      {"key after every entry", &six, "zz", 2, 0, 5, -1},
      {"empty range", &six, "ab", 2, 0, -1, -1},
      {"range ends before the match", &six, "ab", 2, 0, 2, -1},
      {"walk stays inside the range", &six, "ab", 2, 4, 5, 4},
      {"prefix of one byte", &six, "a", 1, 0, 5, 0},
      {"whole key", &six, "aab", 3, 0, 5, 1},
      {"zero prefix matches all", &six, "q", 0, 0, 5, 0},
      {"negative prefix as zero", &six, "q", -3, 0, 5, 0},
      {"key shorter than the prefix", &six, "a", 3, 0, 5, -1},
      {"GBK prefix", &words, G("中华人"), 4, 0, 4, 3},
      {"GBK first byte", &words, G("人"), 1, 0, 4, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(
        FindShortestWithPrefix(row.key.c_str(), row.prefixLen, row.table->data(), row.lo, row.hi),
        row.expected);
  }
  EXPECT_EQ(FindShortestWithPrefix("ab", 2, nullptr, 0, 5), -1);
}

// Random words over a four-byte alphabet and sorted tables of them, with a
// fixed seed.
class RandomWords {
 public:
  RandomWords(unsigned seed, const char (&alphabet)[4]) : rng_(seed) {
    for (int i = 0; i < 4; ++i) alphabet_[i] = alphabet[i];
  }
  unsigned Next(unsigned bound) { return rng_() % bound; }
  // A word of 1 to maxLen bytes.
  std::string Word(unsigned maxLen) {
    std::string w(1 + Next(maxLen), 'a');
    for (char& c : w) c = alphabet_[Next(4)];
    return w;
  }
  // `n` words in strcmp order (unsigned bytes).
  std::vector<std::string> SortedWords(int n, unsigned maxLen) {
    std::vector<std::string> words;
    for (int i = 0; i < n; ++i) words.push_back(Word(maxLen));
    std::sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
      return std::strcmp(a.c_str(), b.c_str()) < 0;
    });
    return words;
  }

 private:
  std::mt19937 rng_;
  char alphabet_[4];
};

// Random sorted tables over a small alphabet (with bytes above 0x7F, which
// strncmp orders unsigned): every answer is an entry of the range with the
// prefix and no shorter one exists; -1 exactly when none has the prefix.
TEST(FindShortestWithPrefixTest, AgreesWithAScanOfTheRange) {
  RandomWords random(14, {'a', 'b', '\xB0', '\xD6'});
  for (int round = 0; round < 300; ++round) {
    const int n = 1 + static_cast<int>(random.Next(30));
    const Table table(random.SortedWords(n, 5));
    const int lo = static_cast<int>(random.Next(static_cast<unsigned>(n)));
    const int hi = lo + static_cast<int>(random.Next(static_cast<unsigned>(n - lo + 1))) - 1;
    const std::string key = random.Word(4);
    const int prefixLen = static_cast<int>(random.Next(5));
    SCOPED_TRACE("round " + std::to_string(round));

    std::size_t shortest = std::string::npos;
    for (int i = lo; i <= hi; ++i) {
      if (std::strncmp(key.c_str(), table[i].c_str(), static_cast<std::size_t>(prefixLen)) == 0) {
        shortest = std::min(shortest, table[i].size());
      }
    }
    const int got = FindShortestWithPrefix(key.c_str(), prefixLen, table.data(), lo, hi);
    if (shortest == std::string::npos) {
      EXPECT_EQ(got, -1);
    } else {
      ASSERT_GE(got, lo);
      ASSERT_LE(got, hi);
      EXPECT_EQ(std::strncmp(key.c_str(), table[got].c_str(), static_cast<std::size_t>(prefixLen)),
                0);
      EXPECT_EQ(table[got].size(), shortest);
    }
  }
}

TEST(MatchLongestEntryTest, Table) {
  const Table china({G("中华"), G("中华人民")});
  const Table latin({"a", "ab", "abc", "abd", "b"});
  const Table other({G("人"), G("人民")});
  struct Row {
    const char* name;
    const Table* table;
    std::string text;
    int length;
    int index;
  } rows[] = {
      {"four-character entry", &china, G("中华人民共和国"), 8, 1},
      {"two-character entry", &china, G("中华儿女"), 4, 0},
      {"no entry shares the first byte", &other, G("中华人民共和国"), 0, -1},
      {"whole text is an entry", &latin, "abc", 3, 2},
      {"longest of a chain", &latin, "abcx", 3, 2},
      {"jump past a longer entry", &latin, "abx", 2, 1},
      {"one byte", &latin, "b", 1, 4},
      {"empty text", &latin, "", 0, -1},
      // The text ends inside the longer entry: no read past its end.
      {"text shorter than an entry", &china, G("中华人"), 4, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    // The text sits in a block of its exact size, so a read past its
    // terminator shows under AddressSanitizer.
    std::vector<char> text(row.text.begin(), row.text.end());
    text.push_back('\0');
    int index = 99;
    EXPECT_EQ(MatchLongestEntry(text.data(), row.table->data(), row.table->size(), &index),
              row.length);
    EXPECT_EQ(index, row.index);
  }
  int index = 99;
  EXPECT_EQ(MatchLongestEntry("abc", nullptr, 0, &index), 0);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(MatchLongestEntry(nullptr, latin.data(), latin.size(), &index), 0);
  EXPECT_EQ(MatchLongestEntry("abc", latin.data(), latin.size(), nullptr), 3);
}

// The longest entry the text begins with, by a plain scan of every entry.
TEST(MatchLongestEntryTest, AgreesWithAScanOfEveryEntry) {
  RandomWords random(1406, {'a', 'b', 'c', '\xC4'});
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> entries = random.SortedWords(static_cast<int>(random.Next(40)), 6);
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    const Table table(entries);
    const std::string text = random.Word(10);
    SCOPED_TRACE("round " + std::to_string(round) + " text " + text);

    int expected = 0;
    for (const std::string& e : entries) {
      if (text.compare(0, e.size(), e) == 0)
        expected = std::max(expected, static_cast<int>(e.size()));
    }
    int index = 99;
    EXPECT_EQ(MatchLongestEntry(text.c_str(), table.data(), table.size(), &index), expected);
    if (expected == 0) {
      EXPECT_EQ(index, -1);
    } else {
      ASSERT_GE(index, 0);
      EXPECT_EQ(table[index], text.substr(0, static_cast<std::size_t>(expected)));
    }
  }
}

TEST(BinarySearchIntTest, Table) {
  const int values[] = {-5, 0, 3, 3, 9, 2147483647};
  struct Row {
    const char* name;
    int value;
    int count;
    bool found;
  } rows[] = {
      {"first", -5, 6, true},      {"last", 2147483647, 6, true},
      {"repeated", 3, 6, true},    {"missing inside", 4, 6, false},
      {"below all", -6, 6, false}, {"above the count", 9, 4, false},
      {"empty", 3, 0, false},      {"negative count", 3, -1, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const int got = BinarySearchInt(row.value, values, row.count);
    if (row.found) {
      ASSERT_GE(got, 0);
      EXPECT_EQ(values[got], row.value);
    } else {
      EXPECT_EQ(got, -1);
    }
  }
  EXPECT_EQ(BinarySearchInt(3, nullptr, 0), -1);
}

TEST(BinarySearchDoubleTest, Table) {
  const std::vector<double> list = {-1.5, 0.0, 0.1, 2.0, 1e300};
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Row {
    const char* name;
    double value;
    int expected;
  } rows[] = {
      {"exact", 0.1, 2},
      {"negative", -1.5, 0},
      {"large", 1e300, 4},
      {"negative zero equals zero", -0.0, 1},
      {"next double is not equal", std::nextafter(0.1, 1.0), -1},
      {"missing", 1.0, -1},
      {"NaN never matches", nan, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(BinarySearchDouble(row.value, list), row.expected);
  }
  EXPECT_EQ(BinarySearchDouble(1.0, {}), -1);
}

TEST(BinarySearchTextITest, Table) {
  // Ascending with ASCII letters folded.
  const std::vector<std::string> list = {"Apple", "banana",   "CHERRY",
                                         "date",  "\x81\x41", G("中文")};
  const Table table(list);
  struct Row {
    const char* name;
    std::string key;
    int expected;
  } rows[] = {
      {"same case", "banana", 1},
      {"upper key", "BANANA", 1},
      {"mixed key", "cHeRrY", 2},
      {"first", "apple", 0},
      {"GBK", G("中文"), 5},
      {"missing", "fig", -1},
      {"prefix only", "app", -1},
      {"longer than an entry", "dates", -1},
      {"empty key", "", -1},
      // 81 41 and 81 61 are two characters: the trail byte is not folded.
      {"trail byte kept", "\x81\x61", -1},
      {"trail byte exact", "\x81\x41", 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(BinarySearchTextI(row.key.c_str(), list), row.expected);
    EXPECT_EQ(BinarySearchCTextI(row.key.c_str(), table.data(), table.size()), row.expected);
  }
  EXPECT_EQ(BinarySearchTextI("a", {}), -1);
  EXPECT_EQ(BinarySearchTextI(nullptr, list), -1);
  EXPECT_EQ(BinarySearchCTextI("a", nullptr, 0), -1);
}

TEST(CommonPrefixLengthTest, Table) {
  struct Row {
    const char* name;
    std::string a;
    std::string b;
    int expected;
  } rows[] = {
      {"partial", "abcd", "abxy", 2},
      {"one is a prefix", "ab", "abcd", 2},
      {"equal", "abc", "abc", 3},
      {"none", "x", "y", 0},
      {"empty", "", "abc", 0},
      {"bytes, not characters", G("中"), G("逐"), 1},  // D6 D0 and D6 F0
      {"case matters", "Ab", "ab", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CommonPrefixLength(row.a.c_str(), row.b.c_str()), row.expected);
    EXPECT_EQ(CommonPrefixLength(row.b.c_str(), row.a.c_str()), row.expected);
  }
  EXPECT_EQ(CommonPrefixLength(nullptr, "a"), 0);
}

}  // namespace
}  // namespace zhtext
