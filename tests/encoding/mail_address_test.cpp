#include "zhtext/encoding/mail_address.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

using testing::G;
using testing::Hex;

struct Expected {
  std::string user, domain, name, asciiName, role;
};

// Extracts from an exact-size copy of `text`, so that AddressSanitizer sees
// any read past its terminator.
std::vector<MAIL_ADDRESS> Extract(const std::string& text) {
  std::unique_ptr<char[]> copy(new char[text.size() + 1]);
  std::memcpy(copy.get(), text.c_str(), text.size() + 1);
  std::vector<MAIL_ADDRESS> list(1);  // stale entry: the call empties the list
  ExtractMailAddresses(copy.get(), list);
  return list;
}

struct Row {
  const char* name;
  std::string text;
  std::vector<Expected> records;
};

void Check(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<MAIL_ADDRESS> got = Extract(row.text);
    ASSERT_EQ(got.size(), row.records.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(got[i].user, row.records[i].user);
      EXPECT_EQ(got[i].domain, row.records[i].domain);
      EXPECT_EQ(Hex(got[i].name), Hex(row.records[i].name));
      EXPECT_EQ(got[i].asciiName, row.records[i].asciiName);
      EXPECT_EQ(got[i].role, row.records[i].role);
    }
  }
}

TEST(ExtractMailAddresses, HeaderFields) {
  Check({
      {"no at sign", "To: nobody", {}},
      {"Chinese label, name and capital domain", G("收件人：张三<zhang@EXAMPLE.com>"),
       {{"zhang", "example.com", G("张三"), "", "recv"}}},
      {"ASCII header with a quoted name", "To: \"John Smith\" <john@x.com>",
       {{"john", "x.com", "", " \"John Smith", "send"}}},
      {"two addresses, the second name after the first address",
       G("抄送：") + "a@x.com, " + G("李四") + "<b@y.com>",
       {{"a", "x.com", "", "", "copy_to"}, {"b", "y.com", G("李四"), "", "copy_to"}}},
      {"one role for the call, from before the first address",
       G("抄送：") + "a@x.com;" + G("收") + "b@y.com",
       {{"a", "x.com", "", "", "copy_to"}, {"b", "y.com", G("收"), "", "copy_to"}}},
      {"secret copy", G("密送：") + "s@x.com", {{"s", "x.com", "", "", "secret_to"}}},
      {"recv wins over copy", G("抄送 收件：") + "r@x.com", {{"r", "x.com", "", "", "recv"}}},
      {"user and domain in small letters", "Mail: Jo.Ann_1-X@Mail.Example.ORG",
       {{"jo.ann_1-x", "mail.example.org", "", "", "send"}}},
      {"mixed name: ASCII part next to the address, the rest before it",
       G("收件人：王") + "Bob <bob@x.com>",
       {{"bob", "x.com", G("王"), "Bob", "recv"}}},
      {"ASCII name trimmed at its end", "Bob, - <b@x.com>", {{"b", "x.com", "", "Bob", "send"}}},
      {"name stops", "a;" + G("名字") + " <n@x.com>, " + G("甲。乙") + "<m@x.com>",
       {{"n", "x.com", G("名字"), "", "send"}, {"m", "x.com", G("乙"), "", "send"}}},
      {"full-width comma stops the name", G("甲，乙丙") + "<k@x.com>",
       {{"k", "x.com", G("乙丙"), "", "send"}}},
      {"quoted address runs on to its '>'", "\"john@x.com\" <john@x.com>, b@y.com",
       {{"john", "x.com", "", "", "send"}, {"b", "y.com", "", "", "send"}}},
      {"quoted address without '>' is the last", "\"a@x.com\" b@y.com",
       {{"a", "x.com", "", "", "send"}}},
  });
}

// The at sign and the address and name bytes from 0x40 up are also second
// bytes of GBK characters; the scan steps by characters.
TEST(ExtractMailAddresses, SecondBytesOfCharactersAreNotAddressBytes) {
  Check({
      {"at sign after a Chinese character: empty user", G("中") + "@x.com",
       {{"", "x.com", G("中"), "", "send"}}},
      {"0x40 as a second byte is no at sign", "\x81\x40x.com", {}},
      {"0x40 as a second byte, then a real at sign", "\x81\x40" "a@x.com",
       {{"a", "x.com", "\x81\x40", "", "send"}}},
      {"letter as a second byte is not part of the user", "\x81\x61" "b@x.com",
       {{"b", "x.com", "\x81\x61", "", "send"}}},
      {"letter as a second byte is not part of the ASCII name", "\x81\x61 <b@x.com>",
       {{"b", "x.com", "\x81\x61", "", "send"}}},
      {"'>' as a second byte does not end a quoted address", "\"a@x.com\" \x81> <c@y.com>",
       {{"a", "x.com", "", "", "send"}}},
      {"bytes of a label across two characters are no label", G("笆这") + "a@x.com",
       {{"a", "x.com", G("笆这"), "", "send"}}},
  });
}

TEST(ExtractMailAddresses, ShortTextsAndTheEndOfTheText) {
  Check({
      {"empty", "", {}},
      {"one byte", "x", {}},
      {"at sign alone", "@", {{"", "", "", "", "send"}}},
      {"two bytes, at sign last", "x@", {{"x", "", "", "", "send"}}},
      {"two bytes, at sign first", "@x", {{"", "x", "", "", "send"}}},
      {"lead byte last", "a@b \x81", {{"a", "b", "", "", "send"}}},
      {"lead byte before the at sign at the text start", "\xB0@x",
       {}},  // B0 and the at sign are one character
      {"UTF-8 text ends, character pairs notwithstanding", "张<z@x.com>",
       {{"z", "x.com", "张<", "", "send"}}},
  });
}

TEST(ExtractMailAddresses, NullTextGivesAnEmptyList) {
  std::vector<MAIL_ADDRESS> list(2);
  ExtractMailAddresses(nullptr, list);
  EXPECT_TRUE(list.empty());
}

}  // namespace
}  // namespace zhtext
