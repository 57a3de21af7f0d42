#include <gtest/gtest.h>

#include <string>

#include "tests/support/gbk_text.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"

namespace zhtext {
namespace {

using testing::ExpectFailures;
using testing::G;
using testing::Hex;
using testing::RunTool;
using testing::ToolResult;

TEST(Html2TextCommandTest, PrintsTheTextOfPagesAsTheyAreEncoded) {
  struct Row {
    const char* name;
    std::string page;
    std::string text;
  } rows[] = {
      {"markup and entities", "<html><p>a&amp;b &lt;c&gt;</p><!-- x --></html>", "a b <c> "},
      {"GBK page stays GBK", "<b>" + G("中文") + "</b>\n", G("中文") + " \n"},
      {"UTF-8 page stays UTF-8", "\xEF\xBB\xBF<p>中文&#20013;</p>", "中文中 "},
      {"script contents go", "x<script>var a = '<b>';</script>y", "x y"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ToolResult r = RunTool({"html2text"}, row.page);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(Hex(r.out), Hex(row.text));
    EXPECT_EQ(r.err, "");
  }

  testing::TempDir dir;
  testing::WriteFile(dir.File("page.html"), "<h1>Title</h1>body");
  ToolResult r = RunTool({"html2text", dir.File("page.html")});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "Title body");
}

TEST(Html2TextCommandTest, SaysWhereAZeroByteEndsTheText) {
  ToolResult r = RunTool({"html2text"}, std::string("ab\0cd", 5));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "ab");
  EXPECT_EQ(r.err, "zhtext html2text: the page holds a zero byte at offset 2; its text ends there\n");
}

TEST(MailCommandTest, ListsTheAddressesOfEachHeaderField) {
  const std::string header = G("收件人：张三<zhang@EXAMPLE.com>, 李四 <li@x.cn>") + "\r\n" +
                             G("抄送：王五<wang@y.com>") + "\r\n" +
                             "From: \"John Smith\"\r\n <john@x.com>\r\n" + "Subject: none\r\n";
  const std::string expected = "recv\tzhang@example.com\t" + G("张三") + "\t\n" +
                               "recv\tli@x.cn\t" + G("李四") + "\t\n" +
                               "copy_to\twang@y.com\t" + G("王五") + "\t\n" +
                               "send\tjohn@x.com\t\t \"John Smith\n";
  ToolResult r = RunTool({"mail"}, header);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(Hex(r.out), Hex(expected));
  EXPECT_EQ(r.err, "");

  testing::TempDir dir;
  testing::WriteFile(dir.File("header.txt"), testing::U(header));
  r = RunTool({"mail", "--utf8", dir.File("header.txt")});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, testing::U(expected));
}

TEST(MailCommandTest, TabsInNamesAreShownAsSpaces) {
  ToolResult r = RunTool({"mail"}, "To: Ann\tLee <a@x.com>\n");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "send\ta@x.com\t\t Ann Lee\n");
}

TEST(MarkupCommandsTest, BadCommandLinesFail) {
  testing::TempDir dir;
  ExpectFailures({
      {"html2text_too_many", {"html2text", "a", "b"}, 2},
      {"html2text_unknown_option", {"html2text", "--utf8"}, 2},
      {"html2text_missing_file", {"html2text", dir.File("none.html")}, 1},
      {"mail_too_many", {"mail", "a", "b"}, 2},
      {"mail_unknown_option", {"mail", "--fast"}, 2},
      {"mail_missing_file", {"mail", dir.File("none.txt")}, 1},
  });
}

TEST(MarkupCommandsTest, HelpDescribesEachCommand) {
  for (const char* command : {"html2text", "mail"}) {
    SCOPED_TRACE(command);
    ToolResult r = RunTool({command, "--help"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out.rfind(std::string("usage: zhtext ") + command, 0), 0u);
  }
}

}  // namespace
}  // namespace zhtext
