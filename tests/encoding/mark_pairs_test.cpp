#include "zhtext/encoding/mark_pairs.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

using testing::G;

TEST(IsInsidePairTest, Table) {
  using namespace std::string_literals;
  struct Row {
    const char* name;
    std::string text;
    std::string open;
    std::string close;
    std::size_t pos;
    bool expected;
  } rows[] = {
      {"inside", "say (hello) now", "(", ")", 5, true},
      {"before the pair", "say (hello) now", "(", ")", 1, false},
      {"after the pair", "say (hello) now", "(", ")", 13, false},
      {"on the opening mark", "(a)", "(", ")", 0, true},
      {"on the closing mark", "(a)", "(", ")", 2, true},
      // A close between the opening mark and pos: the pair was closed.
      {"between two pairs", "(a) b (c)", "(", ")", 4, false},
      // An open between pos and the closing mark answers that close.
      {"outer of a nested pair", "(a (b) c)", "(", ")", 1, false},
      {"inner of a nested pair", "(a (b) c)", "(", ")", 4, true},
      {"no closing mark", "(abc", "(", ")", 2, false},
      {"no opening mark", "abc)", "(", ")", 1, false},
      {"marks of several bytes", "<b>bold</b>", "<b>", "</b>", 4, true},
      {"GBK marks", G("【书名】"), G("【"), G("】"), 2, true},
      {"pos past the end", "(a)", "(", ")", 9, false},
      {"empty text", "", "(", ")", 0, false},
      {"zero bytes in the text", "(\0a)"s, "(", ")", 2, true},
      // 81 5B is one character whose second byte is '[': no opening mark.
      {"open on a second byte",
       "\x81\x5B"
       "ab]",
       "[", "]", 3, false},
      // 81 5D is one character whose second byte is ']': it closes nothing.
      {"close on a second byte",
       "[a\x81\x5D"
       "b]",
       "[", "]", 4, true},
      // B0 A1 BE B0 holds A1 BE (the bytes of an opening bracket) across two
      // characters.
      {"mark across two characters", "\xB0\xA1\xBE\xB0x" + G("】"), G("【"), G("】"), 4, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(IsInsidePair(row.text, row.open, row.close, row.pos), row.expected);
  }
}

}  // namespace
}  // namespace zhtext
