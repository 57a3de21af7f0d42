// zhtext html2text and mail: the text of an HTML page, and the mail
// addresses of header fields, on the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/zhtext/commands.h"
#include "tools/zhtext/tool_common.h"
#include "zhtext/encoding/html_text.h"
#include "zhtext/encoding/mail_address.h"

namespace zhtext {
namespace tool {

namespace {

const char kHtml2TextUsage[] =
    "usage: zhtext html2text [FILE]\n"
    "\n"
    "Prints the readable text of an HTML page (FILE, or standard input when it\n"
    "is missing or '-'): tags, comments and script elements become one space,\n"
    "character entities are decoded (&lt; &gt;, numeric ones as UTF-8; other\n"
    "named ones and &#127;-&#254; become a space), capital %XX escapes are\n"
    "decoded, and runs of spaces collapse to one. All other bytes pass through\n"
    "unchanged, so a GBK page gives GBK text and a UTF-8 page UTF-8 text. A\n"
    "zero byte in the page ends its text (a note on stderr says where).\n"
    "\n"
    "Options:\n"
    "  --help         show this help\n";

const char kMailUsage[] =
    "usage: zhtext mail [--utf8] [FILE]\n"
    "\n"
    "Finds the mail addresses in the header fields of FILE (or standard input\n"
    "when it is missing or '-'). Each line, with the lines after it that start\n"
    "with a space or TAB (its continuation), is one field. Prints one line per\n"
    "address, with TABs between:\n"
    "  role           recv, copy_to or secret_to when the field's text before\n"
    "                 its first address holds 收, 抄 or 密; otherwise send\n"
    "  address        user@domain, in small letters\n"
    "  name           the display name before the address\n"
    "  ASCII name     the ASCII part of the name next to the address\n"
    "TABs, CRs and LFs within a name are shown as spaces.\n"
    "\n"
    "Options:\n"
    "  --utf8         the text is UTF-8 and so is the output (default GBK)\n"
    "  --help         show this help\n";

// The fields of a header: each line with its continuation lines, unfolded
// (the line break before a continuation removed). Zero bytes end a line.
std::vector<std::string> HeaderFields(const std::string& text) {
  std::vector<std::string> fields;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t eol = text.find_first_of(std::string("\n\0", 2), pos);
    std::size_t next = eol == std::string::npos ? text.size() : eol + 1;
    std::string line = text.substr(pos, (eol == std::string::npos ? text.size() : eol) - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    bool continuation = !line.empty() && (line[0] == ' ' || line[0] == '\t');
    if (continuation && !fields.empty()) {
      fields.back() += line;
    } else {
      fields.push_back(line);
    }
    pos = next;
  }
  return fields;
}

std::string Shown(std::string s, bool utf8) {
  for (char& c : s) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return utf8 ? GbkToUtf8Text(s) : s;
}

}  // namespace

int RunHtml2Text(int argc, char** argv) {
  const char* kName = "html2text";
  ArgParser args(kName, argc, argv);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kHtml2TextUsage, stdout);
    return kExitOk;
  }
  if (args.positional().size() > 1) return UsageError(kName, "too many arguments");
  std::string path = args.positional().empty() ? "" : args.positional()[0];
  std::string page, error;
  if (!ReadInput(path, &page, &error)) return Failure(kName, error);

  std::string text(page.size() + 1, '\0');
  std::size_t len = 0;
  HtmlToText(page.data(), page.size(), &text[0], &len);
  text.resize(len);
  if (!WriteOutput("", text, &error)) return Failure(kName, error);
  std::size_t zero = page.find('\0');
  if (zero != std::string::npos) {
    std::fprintf(stderr, "zhtext html2text: the page holds a zero byte at offset %zu; its text "
                 "ends there\n", zero);
  }
  return kExitOk;
}

int RunMail(int argc, char** argv) {
  const char* kName = "mail";
  bool utf8 = false;
  ArgParser args(kName, argc, argv);
  args.Flag("--utf8", &utf8);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kMailUsage, stdout);
    return kExitOk;
  }
  if (args.positional().size() > 1) return UsageError(kName, "too many arguments");
  std::string path = args.positional().empty() ? "" : args.positional()[0];
  std::string input, error;
  if (!ReadInput(path, &input, &error)) return Failure(kName, error);

  std::string out;
  std::vector<MAIL_ADDRESS> list;
  for (const std::string& field : HeaderFields(input)) {
    std::string gbk = utf8 ? Utf8ToGbkText(field) : field;
    ExtractMailAddresses(gbk.c_str(), list);
    for (const MAIL_ADDRESS& m : list) {
      out += m.role + "\t" + m.user + "@" + m.domain + "\t" + Shown(m.name, utf8) + "\t" +
             Shown(m.asciiName, utf8) + "\n";
    }
  }
  if (!WriteOutput("", out, &error)) return Failure(kName, error);
  return kExitOk;
}

}  // namespace tool
}  // namespace zhtext
