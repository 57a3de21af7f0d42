#include "zhtext/encoding/field_readers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

using testing::G;

// A row's expected result as an offset into the text, or -1 for null.
long Offset(const char* text, const char* result) {
  return result == nullptr ? -1 : static_cast<long>(result - text);
}

struct FieldRow {
  const char* name;
  std::string text;
  std::string field;
  std::string value;
  long result;  // offset of the returned pointer in `text`, -1 for null
};

TEST(GetJsonField, ReadsTheValueBetweenTheNextTwoQuotes) {
  const std::string k252(252, 'k');
  const std::string k253(253, 'k');
  const FieldRow rows[] = {
      {"string value", R"({"code":"0","msg":"ok"})", "code", "0", 10},
      {"second key", R"({"code":"0","msg":"ok"})", "msg", "ok", 21},
      {"bare number gives the next quoted string", R"({"n":5,"msg":"ok"})", "n", "msg", 11},
      {"blanks before the quote", "{\"a\":  \"x y\"}", "a", "x y", 11},
      {"empty value", R"({"a":""})", "a", "", 6},
      {"missing key", R"({"code":"0"})", "msg", "", -1},
      {"key without the colon", R"({"code" : "0"})", "code", "", -1},
      {"no opening quote", R"({"a":5})", "a", "", -1},
      {"no closing quote: the rest of the text", R"({"a":"abc)", "a", "abc", -1},
      {"first occurrence wins", R"({"a":"1","a":"2"})", "a", "1", 7},
      {"GBK value", "{\"w\":\"" + G("中文") + "\"}", "w", G("中文"), 10},
      {"name of 252 bytes", "{\"" + k252 + "\":\"v\"}", k252, "v", 258},
      {"name of 253 bytes reads as missing", "{\"" + k253 + "\":\"v\"}", k253, "", -1},
  };
  for (const FieldRow& row : rows) {
    SCOPED_TRACE(row.name);
    std::string value = "stale";
    const char* result = GetJsonField(row.text.c_str(), row.field.c_str(), value);
    EXPECT_EQ(value, row.value);
    EXPECT_EQ(Offset(row.text.c_str(), result), row.result);
    if (result != nullptr) {
      EXPECT_EQ(*result, '"');
    }
  }
}

TEST(GetJsonField, NullTextLeavesTheValueAlone) {
  std::string value = "kept";
  EXPECT_EQ(GetJsonField(nullptr, "a", value), nullptr);
  EXPECT_EQ(value, "kept");
}

TEST(GetJsonInt, ConvertsTheValueOrGivesZero) {
  const char* text = R"({"n":"42","m":"-7x","s":"abc"})";
  EXPECT_EQ(GetJsonInt(text, "n"), 42);
  EXPECT_EQ(GetJsonInt(text, "m"), -7);
  EXPECT_EQ(GetJsonInt(text, "s"), 0);
  EXPECT_EQ(GetJsonInt(text, "missing"), 0);
  EXPECT_EQ(GetJsonInt(nullptr, "n"), 0);
}

TEST(GetXmlField, ReadsUpToTheFirstClosingTag) {
  const std::string t252(252, 't');
  const std::string t253(253, 't');
  const FieldRow rows[] = {
      {"simple element", "<r><a>1</a></r>", "a", "1", 7},
      {"empty element", "<a></a>", "a", "", 3},
      {"no closing tag: the rest of the text", "<a>rest of it", "a", "rest of it", -1},
      {"closing tag only before the opening one", "</a><a>v", "a", "v", -1},
      {"attribute inside the brackets is not the tag", "<a x=\"1\">v</a>", "a", "", -1},
      {"blank inside the brackets is not the tag", "<a >v</a>", "a", "", -1},
      {"nested element of the same name", "<a><a>x</a></a>", "a", "<a>x", 7},
      {"missing element", "<b>1</b>", "a", "", -1},
      {"GBK value", "<w>" + G("词语") + "</w>", "w", G("词语"), 7},
      {"name of 252 bytes", "<" + t252 + ">v</" + t252 + ">", t252, "v", 255},
      {"name of 253 bytes reads as missing", "<" + t253 + ">v</" + t253 + ">", t253, "", -1},
  };
  for (const FieldRow& row : rows) {
    SCOPED_TRACE(row.name);
    std::string value = "stale";
    const char* result = GetXmlField(row.text.c_str(), row.field.c_str(), value);
    EXPECT_EQ(value, row.value);
    EXPECT_EQ(Offset(row.text.c_str(), result), row.result);
    if (result != nullptr) {
      EXPECT_EQ(std::strncmp(result, "</", 2), 0);
    }

    // The buffer form finds the same value; its result is whether the
    // opening tag exists.
    char buf[300];
    std::memset(buf, 'x', sizeof buf);
    bool found = GetXmlFieldBuf(row.text.c_str(), row.field.c_str(), buf);
    EXPECT_EQ(std::string(buf), row.value);
    EXPECT_EQ(found, row.value.size() > 0 || row.result >= 0);
  }
  std::string value = "stale";
  EXPECT_EQ(GetXmlField(nullptr, "a", value), nullptr);
  EXPECT_EQ(value, "");
}

TEST(GetXmlInt, ConvertsTheValueOrGivesZero) {
  EXPECT_EQ(GetXmlInt("<n>12</n>", "n"), 12);
  EXPECT_EQ(GetXmlInt("<n> -3</n>", "n"), -3);
  EXPECT_EQ(GetXmlInt("<n>12</n>", "m"), 0);
}

// The sized form never writes past the buffer (run under ASan: each buffer
// is a heap block of exactly its size) and never splits a GBK character.
TEST(GetXmlFieldBuf, SizedFormCutsTheValueToFit) {
  struct Row {
    const char* name;
    std::string text;
    std::size_t size;
    bool found;
    std::string value;
  };
  const std::string text = "<v>ab" + G("中文") + "</v>";  // value: a b D6 D0 CE C4
  const Row rows[] = {
      {"room to spare", text, 64, true, "ab" + G("中文")},
      {"exactly enough", text, 7, true, "ab" + G("中文")},
      {"one byte short: the last character goes whole", text, 6, true, "ab" + G("中")},
      {"cut inside the first character", text, 4, true, "ab"},
      {"room for one ASCII byte", text, 2, true, "a"},
      {"room for the terminator only", text, 1, true, ""},
      {"missing element", "<w>1</w>", 8, false, ""},
      {"no closing tag, cut", "<v>abcdef", 4, true, "abc"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::unique_ptr<char[]> buf(new char[row.size]);
    std::memset(buf.get(), 'x', row.size);
    EXPECT_EQ(GetXmlFieldBuf(row.text.c_str(), "v", buf.get(), row.size), row.found);
    EXPECT_EQ(testing::Hex(buf.get()), testing::Hex(row.value));
  }
  char untouched = 'x';
  EXPECT_TRUE(GetXmlFieldBuf(text.c_str(), "v", &untouched, 0));
  EXPECT_EQ(untouched, 'x') << "a buffer of 0 bytes is not written";
  EXPECT_FALSE(GetXmlFieldBuf(text.c_str(), "w", &untouched, 0));
}

TEST(GetXmlAttr, ReadsTheQuotedValueAfterTheName) {
  const std::string text = R"(<x id="5" name="n" uid="7">)";
  const char* p = text.c_str();
  struct Row {
    const char* name;
    std::string attr;
    const char* limit;
    std::string value;
    long result;
  };
  const Row rows[] = {
      {"first attribute", "id", nullptr, "5", 8},
      {"later attribute", "name", nullptr, "n", 17},
      {"limit after the attribute", "name", p + 20, "n", 17},
      {"limit at the attribute's start", "name", p + 10, "n", 17},
      {"limit before the attribute", "name", p + 9, "", -1},
      {"missing attribute", "size", nullptr, "", -1},
      {"a name's tail matches too", "d", nullptr, "5", 8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string value = "stale";
    const char* result = GetXmlAttr(p, row.attr.c_str(), value, row.limit);
    EXPECT_EQ(value, row.value);
    EXPECT_EQ(Offset(p, result), row.result);
  }
  std::string value;
  const char* uid = R"(<x uid="7">)";
  EXPECT_EQ(Offset(uid, GetXmlAttr(uid, "id", value)), 9);
  EXPECT_EQ(value, "7") << "id also matches the end of uid";
  EXPECT_EQ(GetXmlAttr(R"(<x a="open)", "a", value), nullptr);
  EXPECT_EQ(value, "open");
  EXPECT_EQ(GetXmlAttr(nullptr, "a", value), nullptr);
  EXPECT_EQ(value, "");
  const std::string long_name(254, 'n');
  EXPECT_EQ(GetXmlAttr((long_name + "=\"v\"").c_str(), long_name.c_str(), value), nullptr);
  EXPECT_EQ(value, "");
}

}  // namespace
}  // namespace zhtext
