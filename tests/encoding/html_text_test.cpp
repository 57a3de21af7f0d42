#include "zhtext/encoding/html_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "tests/support/gbk_text.h"
#include "tests/support/reference_html_text.h"

namespace zhtext {
namespace {

using testing::G;
using testing::Hex;
using testing::ReferenceHtmlToText;

// Runs HtmlToText on an exact-size copy of `page` into an output of exactly
// the size the contract asks, so that AddressSanitizer sees any read past
// the page or write past the buffer.
std::string Text(const std::string& page, std::size_t cap = 0) {
  std::unique_ptr<char[]> data(new char[page.size() == 0 ? 1 : page.size()]);
  std::memcpy(data.get(), page.data(), page.size());
  std::size_t need = page.size() + 1;
  if (cap != 0) need = std::min(need, cap + 6);
  std::unique_ptr<char[]> out(new char[need]);
  std::size_t len = cap;
  EXPECT_EQ(HtmlToText(data.get(), page.size(), out.get(), &len), 0);
  EXPECT_LT(len, need);
  EXPECT_EQ(out[len], '\0');
  return std::string(out.get(), len);
}

struct Row {
  const char* name;
  std::string page;
  std::string text;
};

void Check(const Row* rows, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Hex(Text(row.page)), Hex(row.text));
    EXPECT_EQ(Hex(ReferenceHtmlToText(row.page, 0)), Hex(row.text)) << "reference";
  }
}

TEST(HtmlToText, TagsCommentsAndScriptsBecomeOneSpace) {
  const std::string far(498, 'x');
  const Row rows[] = {
      {"bold letters", "a<b>b</b>c", "a b c"},
      {"tag at the start leaves no space", "<p>text", "text"},
      {"one trailing space may stay", "text<br>", "text "},
      {"tags and spaces collapse", "a <i> <b> b", "a b"},
      {"declaration and processing instruction", "<!DOCTYPE html><?xml x?>a", "a"},
      {"tag spanning lines", "a<a\nhref=x>b", "a b"},
      {"'<' before a digit is text", "1<2 and 3>2", "1<2 and 3>2"},
      {"'<' before a space is text", "a < b", "a < b"},
      {"'>' 499 bytes on ends the tag", "<" + far + ">z", "z"},
      {"'>' 500 bytes on leaves the '<'", "<" + far + "x>z", "<" + far + "x>z"},
      {"comment", "a<!-- <b>x</b> -->b", "a b"},
      {"shortest comment", "a<!-->b", "a b"},
      {"unclosed comment leaves the '<'", "a<!-- b", "a<!-- b"},
      {"unclosed comment, '>' later", "a<!-- b > c", "a<!-- b > c"},
      {"script with its contents", "a<script>if (x<y) q();</script>b", "a b"},
      {"script tag in capitals", "a<SCRIPT>var s='<b>';</SCRIPT>b", "a b"},
      {"script tag in mixed case", "a<ScRiPt>x=1;y=2</sCrIpT>b", "a b"},
      {"script with attributes is an ordinary tag",
       "a<script type=\"t\">var x;</script>b", "a var x; b"},
      {"script ends at the first '</s'", "<script>x</span>y</script>z", "y z"},
      {"script without '</s' ends at '</S'", "<script>x=1;y=2;</SCRIPT>z", "z"},
      {"unclosed script leaves the '<'", "a<script>0123456789", "a<script>0123456789"},
      {"script too near the end is an ordinary tag", "a<script>b</s>", "a b "},
  };
  Check(rows, sizeof rows / sizeof rows[0]);
}

TEST(HtmlToText, EntitiesAndEscapes) {
  const Row rows[] = {
      {"amp and nbsp are spaces", "a&amp;b&nbsp;c", "a b c"},
      {"lt and gt", "&lt;b&gt;", "<b>"},
      {"numeric A", "&#65;", "A"},
      {"numeric 160 is a space", "a&#160;b", "a b"},
      {"numeric 127 and 254 are spaces, 126 and 255 are not", "&#126;&#127;&#254;&#255;",
       "~ \xC3\xBF"},
      {"numeric 20013 is UTF-8", "&#20013;", "\xE4\xB8\xAD"},
      {"numeric with blanks and sign, as atoi reads", "&# +66;&#-5;x", "Bx"},
      {"eight digits give six bytes", "&#99999999;", "\xFC\x85\xBD\x9E\x83\xBF"},
      {"value 0 writes nothing", "a&#0;b", "ab"},
      {"hexadecimal entity reads as 0", "a&#x4E2D;b", "ab"},
      {"empty numeric entity", "a&#;b", "ab"},
      {"';' 10 bytes on ends a numeric entity", "&#00000065;", "A"},
      {"';' 11 bytes on does not", "&#000000065;", "&#000000065;"},
      {"named entity of 9 bytes", "a&abcdefgh;b", "a b"},
      {"named entity of 10 bytes is text", "a&abcdefghi;b", "a&abcdefghi;b"},
      {"'&' without ';' is text", "Tom & Jerry", "Tom & Jerry"},
      {"'&' before a digit is text", "a&1;b", "a&1;b"},
      {"percent escape", "%41%4A%20b", "AJ b"},
      {"small hexadecimal letters are not decoded", "%4a", "%4a"},
      {"%00 writes nothing", "a%00b", "ab"},
      {"bare nbsp dropped", "anbsp;b", "ab"},
      {"bare nbsp after a space", "a nbsp;b", "a b"},
      {"bare nbsp after &amp;", "a&amp;nbsp;b", "a b"},
      {"bare nbsp after a byte of 0x80 or above stays",
       "\x81nbsp;x", "\x81nbsp;x"},
      {"byte-order mark skipped", "\xEF\xBB\xBFnbsp;x", "x"},
      {"GBK text passes through", G("中文<b>") + "\xB0\x3C" + G("字"),
       G("中文") + " \xB0<" + G("字")},
      {"UTF-8 text passes through", "<p>中文&#x;</p>", "中文 "},
  };
  Check(rows, sizeof rows / sizeof rows[0]);
}

TEST(HtmlToText, SpacesAndZeroBytes) {
  const Row rows[] = {
      {"runs of spaces collapse", "a    b", "a b"},
      {"leading spaces go", "   a", "a"},
      {"other blanks are kept", "a\t\t\r\n\r\nb", "a\t\t\r\n\r\nb"},
      {"a zero byte ends the text", std::string("ab\0cd", 5), "ab"},
      {"zero pairs too", std::string("ab\0\0\0cd", 7), "ab"},
      {"only spaces", "    ", ""},
      {"empty", "", ""},
      {"byte-order mark alone", "\xEF\xBB\xBF", ""},
      {"two bytes of a byte-order mark", "\xEF\xBB", "\xEF\xBB"},
  };
  Check(rows, sizeof rows / sizeof rows[0]);
}

// Every rule where the page ends at the byte it reacts to, or just after.
TEST(HtmlToText, MarkupCutAtTheEndOfThePageIsText) {
  const Row rows[] = {
      {"'<' last", "a<", "a<"},
      {"'<' and a letter last", "a<b", "a<b"},
      {"'<!-' last", "a<!-", "a<!-"},
      {"'<!--' last", "a<!--", "a<!--"},
      {"'<!-->' whole", "<!-->", ""},
      {"'&' last", "a&", "a&"},
      {"'&#' last", "a&#", "a&#"},
      {"'&l' last", "a&l", "a&l"},
      {"'&lt' last", "a&lt", "a&lt"},
      {"'&lt;' last", "a&lt;", "a<"},
      {"'%' last", "a%", "a%"},
      {"'%4' last", "a%4", "a%4"},
      {"'%41' last", "a%41", "aA"},
      {"'nbsp;' last", "anbsp;", "anbsp;"},
      {"one byte", "x", "x"},
      {"one '<'", "<", "<"},
      {"one zero byte", std::string("\0", 1), ""},
      {"two bytes", "<a", "<a"},
      {"two zero bytes", std::string("\0\0", 2), ""},
  };
  Check(rows, sizeof rows / sizeof rows[0]);
}

TEST(HtmlToText, CapacityCutsAfterThatManyBytesWritten) {
  struct CapRow {
    const char* name;
    std::string page;
    std::size_t cap;
    std::string text;
  } rows[] = {
      {"cut at 10", "0123456789abcdef", 10, "0123456789"},
      {"capacity 1", "abc", 1, "a"},
      {"capacity 1, tag first", "<b>abc", 1, ""},
      {"spaces count before they collapse", "<b> <i>abcdef", 3, "a"},
      {"a numeric entity in progress adds up to 5 bytes", "012345678&#99999999;xyz", 10,
       "012345678\xFC\x85\xBD\x9E\x83\xBF"},
      {"capacity above the text", "abc", 100, "abc"},
  };
  for (const CapRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Hex(Text(row.page, row.cap)), Hex(row.text));
    EXPECT_EQ(Hex(ReferenceHtmlToText(row.page, row.cap)), Hex(row.text)) << "reference";
  }
}

// Random pages from the bytes and words the rules react to, compared with
// the plain reference, with and without a capacity.
TEST(HtmlToText, MatchesThePlainReferenceOnRandomPages) {
  static const char* const kPieces[] = {
      "<", ">", "&", ";", "#", "%", "4", "1", "A", "a", "x", "n", "nbsp;", " ", "  ", "\t", "\n",
      "<b>", "</b>", "<!--", "-->", "<script>", "<SCRIPT>", "</s", "</S", "&lt;", "&gt;", "&amp;",
      "&#65;", "&#160;", "&#20013;", "&#0;", "&#x41;", "&#-3;", "%41", "%00", "%4a", "<!", "</",
      "<?", "\xD6\xD0", "\xB0", "\xE4\xB8\xAD", "\xEF\xBB\xBF", nullptr};  // null: a zero byte
  std::mt19937 rng(20240613);
  std::uniform_int_distribution<int> piece(0, sizeof kPieces / sizeof kPieces[0] - 1);
  std::uniform_int_distribution<int> count(0, 40);
  std::uniform_int_distribution<int> capacity(0, 12);
  for (int round = 0; round < 20000; ++round) {
    std::string page;
    for (int i = count(rng); i > 0; --i) {
      const char* p = kPieces[piece(rng)];
      if (p == nullptr) {
        page += '\0';
      } else {
        page += p;
      }
    }
    std::size_t cap = static_cast<std::size_t>(capacity(rng));
    ASSERT_EQ(Hex(Text(page, cap)), Hex(ReferenceHtmlToText(page, cap)))
        << "page " << Hex(page) << " capacity " << cap;
  }
}

}  // namespace
}  // namespace zhtext
