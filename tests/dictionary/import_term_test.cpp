// The term rule of the text imports.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/gbk_text.h"
#include "zhtext/dictionary/import_term.h"

namespace zhtext {
namespace testing {
namespace {

struct TermCase {
  const char* name;
  std::string token;
  std::string rest;  // "-" for none
  const char* separator;
  std::string term;
  std::string output;
  bool bracketed;
};

TEST(ImportTermTest, TakesTheEntryAndItsOutputForm) {
  const TermCase cases[] = {
      {"plain_word", "word", "word 12 n\n", "\n", "word", "word\n", false},
      {"bracketed_phrase", "[New", "[New York] 5 ns\n", "\n", "New York", "[New York]\n", true},
      {"underscore_becomes_blank", "New_York", "New_York 3\n", "\n", "New York", "[New York]\n", true},
      {"bom_and_bracket", "\xEF\xBB\xBF[New_York]", "\xEF\xBB\xBF[New_York]\r\n", "\t", "New York",
       "[New York]\t", true},
      {"bom_only_word", "\xEF\xBB\xBF" "abc", "\xEF\xBB\xBF" "abc\n", "\n", "abc", "abc\n", false},
      {"gbk_keeps_underscore", G("中_国"), G("中_国") + " 5\n", "\n", G("中_国"), G("中_国") + "\n", false},
      {"gbk_with_blank_bracketed", "[" + G("中"), "[" + G("中 国") + "]\n", "\n", G("中 国"),
       "[" + G("中 国") + "]\n", true},
      {"tab_inside_brackets", "[a", "[a\tb]\n", "\n", "a\tb", "[a\tb]\n", true},
      {"no_closing_bracket_takes_line", "[abc", "[abc\n", "\n", "abc\n", "[abc\n", true},
      {"no_closing_bracket_other_separator", "[abc", "[abc\r\n", "\t", "abc\r\n", "[abc\r\n\t",
       true},
      {"no_closing_bracket_at_the_end", "[a", "[a b", "\n", "a b", "[a b]\n", true},
      {"term_opening_a_bracket", "[[x]", "[[x] 1\n", "\n", "[x", "[[x]\n", true},
      {"blank_and_closing_bracket", "a_]b", "a_]b 7\n", "\n", "a ]b", "a_]b\n", false},
      {"carriage_return_inside", "[a", "[a\rb]\n", "\n", "a\rb", "[a\rb]\n", true},
      {"only_bom", "\xEF\xBB\xBF", "\xEF\xBB\xBF\n", "\n", "", "\n", false},
      {"empty_brackets", "[]", "[] 1\n", "\n", "", "\n", false},
      {"bracket_from_token_without_rest", "[x_y]", "-", "\n", "x y", "[x y]\n", true},
      {"no_separator", "ab", "ab\n", nullptr, "ab", "ab", false},
      {"second_token_from_its_own_bracket", "[b", "[b c]\n", "\n", "b c", "[b c]\n", true},
      // 乢 (81 5F) and 乣 (81 5D) end in the bytes of '_' and ']' but are
      // neither: the character stays whole.
      {"second_byte_underscore_kept", "ab\x81\x5F" "c_d", "ab\x81\x5F" "c_d\n", "\n",
       "ab\x81\x5F" "c d", "[ab\x81\x5F" "c d]\n", true},
      {"second_byte_bracket_does_not_close", "[x\x81\x5Dy]", "[x\x81\x5Dy] 1\n", "\n",
       "x\x81\x5Dy", "x\x81\x5Dy\n", false},
      {"second_byte_bracket_then_blank", "[x\x81\x5D", "[x\x81\x5D y]\n", "\n", "x\x81\x5D y",
       "[x\x81\x5D y]\n", true},
  };
  for (const TermCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string term = "stale";
    std::string output = "stale";
    const bool bracketed = NormalizeImportTerm(c.token.c_str(), c.rest == "-" ? nullptr : c.rest.c_str(),
                                               c.separator, &term, &output);
    EXPECT_EQ(c.term, term);
    EXPECT_EQ(c.output, output);
    EXPECT_EQ(c.bracketed, bracketed);
  }
}

TEST(ImportTermTest, NullTokenIsEmpty) {
  std::string term, output;
  EXPECT_FALSE(NormalizeImportTerm(nullptr, nullptr, "\n", &term, &output));
  EXPECT_EQ("", term);
  EXPECT_EQ("\n", output);
}

}  // namespace
}  // namespace testing
}  // namespace zhtext
