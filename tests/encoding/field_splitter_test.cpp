#include "zhtext/encoding/field_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

using testing::G;
using List = std::vector<std::string>;

TEST(SplitFields, CutsAtDelimitersAndDropsEmptyFields) {
  struct Row {
    const char* name;
    std::string text;
    std::string delimiters;
    List fields;
  };
  const Row rows[] = {
      {"consecutive delimiters count as one", "a,,b\r\n", ", \t\r\n", {"a", "b"}},
      {"list line", "a,b c\td", ", \t\r\n", {"a", "b", "c", "d"}},
      {"TAB: leading blanks go, trailing blanks stay", "  x  \t  y  ", "\t", {"x  ", "y  "}},
      {"CR inside a field stays", "a\rb\tc", "\t", {"a\rb", "c"}},
      {"CR and LF at a field's end go", "x\r\n\ty\r\n", "\t", {"x", "y"}},
      {"field of only a line break is dropped", "a\t\n", "\t", {"a"}},
      {"LF at a field's start stays unless a delimiter", "a\t\nb", "\t", {"a", "\nb"}},
      {"delimiters and blanks only", " ,\t, \r\n", ", \t\r\n", {}},
      {"empty text", "", ",", {}},
      {"no delimiters: one field, trailing CR LF gone", " one two\r\n", "", {"one two"}},
      {"GBK fields", G("中文") + "\t" + G("词"), "\t", {G("中文"), G("词")}},
      {"tabbed line with CR LF", "x\ty\tk\r\n", "\t", {"x", "y", "k"}},
      // 億 (83 7C) ends in the byte of '|' but is no delimiter.
      {"second byte is no delimiter", "a|\x83\x7C|b\x83\x7C", "|", {"a", "\x83\x7C", "b\x83\x7C"}},
      {"field starting with such a character", "|\x83\x7C" "x", "|", {"\x83\x7C" "x"}},
      {"lead byte delimiter cuts no character", G("中") + "," + G("文"), "\xD6",
       {G("中") + "," + G("文")}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    List list = {"stale"};
    const std::string copy = row.text;
    EXPECT_EQ(SplitFields(row.text.c_str(), row.delimiters.c_str(), list),
              static_cast<int>(row.fields.size()));
    EXPECT_EQ(list, row.fields);
    EXPECT_EQ(row.text, copy);
  }
}

TEST(SplitFields, NullTextGivesNoFields) {
  List list = {"stale"};
  EXPECT_EQ(SplitFields(nullptr, ",", list), 0);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(SplitFields("a,b", nullptr, list), 1);
  EXPECT_EQ(list, List{"a,b"});
}

}  // namespace
}  // namespace zhtext
