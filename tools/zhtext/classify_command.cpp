// zhtext classify, fold and place-suffix: the character and token
// classifiers, full-width folding and place-name suffixes on the command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/zhtext/commands.h"
#include "tools/zhtext/tool_common.h"
#include "zhtext/classify/char_class.h"
#include "zhtext/classify/token_classify.h"
#include "zhtext/util/gbk_text.h"

namespace zhtext {
namespace tool {

namespace {

const char kClassifyUsage[] =
    "usage: zhtext classify [--utf8] TOKEN...\n"
    "\n"
    "Prints one line per token: the token, a TAB, and the tests that hold for it\n"
    "(or '-' when none does):\n"
    "  chinese        only Chinese characters (lead bytes B0-F7, two bytes each)\n"
    "  symbols        only full-width symbols (lead bytes A1 or A3)\n"
    "  ascii          no byte of 0x80 or above\n"
    "  punct          one punctuation mark (ASCII, or two bytes from A1 or A3)\n"
    "  english        English text, judged from sampled bytes\n"
    "  number         a number in Chinese numerals (三分之一, 第三)\n"
    "  quantity       a number written with digits (+12.5%, 3.5万)\n"
    "  small-number   at most three numerals or two ASCII digits\n"
    "  year           a number of the forms that years take (一九九八, 98)\n"
    "  foreign-name=KIND\n"
    "                 every character is of one name table; KIND is the table\n"
    "                 holding most of them: translit, translit-short, japanese\n"
    "\n"
    "Options:\n"
    "  --utf8         tokens are UTF-8 (converted to GBK for the tests)\n"
    "  --help         show this help\n";

const char kFoldUsage[] =
    "usage: zhtext fold [--utf8] [IN] [OUT]\n"
    "\n"
    "Folds full-width digits and letters, and full-width and small-form\n"
    "punctuation, to ASCII; every other character is copied unchanged.\n"
    "IN and OUT default to standard input and output ('-' names them too).\n"
    "\n"
    "Options:\n"
    "  --utf8         the text is UTF-8 (default GBK)\n"
    "  --help         show this help\n";

const char kPlaceSuffixUsage[] =
    "usage: zhtext place-suffix [--utf8] WORD...\n"
    "\n"
    "Splits each place name into its stem and its place-type suffix (北京市:\n"
    "北京 + 市; 京沪高速公路: 京沪 + 高速公路) and prints one line per word:\n"
    "the word, the stem and the suffix, separated by TABs (the suffix is empty\n"
    "when the word has none).\n"
    "\n"
    "Options:\n"
    "  --utf8         words are UTF-8 and so is the output (default GBK)\n"
    "  --help         show this help\n";

const char* ForeignNameKindName(int kind) {
  switch (kind) {
    case kTranslitNameShort:
      return "translit-short";
    case kJapaneseName:
      return "japanese";
    default:
      return "translit";
  }
}

// The names of the tests that hold for the GBK token `gbk`.
std::string Classify(const std::string& gbk) {
  const char* t = gbk.c_str();
  std::vector<std::string> held;
  if (IsAllChinese(t)) held.push_back("chinese");
  if (IsAllSymbols(t)) held.push_back("symbols");
  if (IsAllAscii(t, 0)) held.push_back("ascii");
  if (IsPunctuation(t)) held.push_back("punct");
  if (IsEnglishText(t)) held.push_back("english");
  if (IsChineseNumber(t, 0)) held.push_back("number");
  if (IsNumericQuantity(t, 0)) held.push_back("quantity");
  if (IsSmallNumber(t, 0)) held.push_back("small-number");
  if (IsYearNumber(t, 0)) held.push_back("year");
  if (IsForeignName(t)) {
    held.push_back(std::string("foreign-name=") + ForeignNameKindName(GetForeignNameKind(t)));
  }
  if (held.empty()) return "-";
  std::string out;
  for (const std::string& name : held) {
    if (!out.empty()) out += ' ';
    out += name;
  }
  return out;
}

}  // namespace

int RunClassify(int argc, char** argv) {
  const char* kName = "classify";
  bool utf8 = false;
  ArgParser args(kName, argc, argv);
  args.Flag("--utf8", &utf8);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kClassifyUsage, stdout);
    return kExitOk;
  }
  if (args.positional().empty()) return UsageError(kName, "no token given (see --help)");
  std::string out;
  for (const std::string& token : args.positional()) {
    std::string gbk = utf8 ? Utf8ToGbkText(token) : token;
    out += token + "\t" + Classify(gbk) + "\n";
  }
  std::string error;
  if (!WriteOutput("", out, &error)) return Failure(kName, error);
  return kExitOk;
}

int RunFold(int argc, char** argv) {
  const char* kName = "fold";
  bool utf8 = false;
  ArgParser args(kName, argc, argv);
  args.Flag("--utf8", &utf8);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kFoldUsage, stdout);
    return kExitOk;
  }
  if (args.positional().size() > 2) return UsageError(kName, "too many arguments");
  std::string in_path = args.positional().size() > 0 ? args.positional()[0] : "";
  std::string out_path = args.positional().size() > 1 ? args.positional()[1] : "";
  if (int refused = RefuseInputAsOutput(kName, out_path, {in_path})) return refused;

  std::string input, error;
  if (!ReadInput(in_path, &input, &error)) return Failure(kName, error);
  // The text is folded (and converted) piece by piece between zero bytes,
  // which are kept, so that none of the input is lost.
  std::string folded;
  folded.reserve(input.size());
  std::size_t unmapped = 0;
  std::size_t start = 0;
  for (;;) {
    std::size_t zero = input.find('\0', start);
    std::size_t end = zero == std::string::npos ? input.size() : zero;
    std::string piece = input.substr(start, end - start);
    if (utf8) {
      std::size_t replaced = 0;
      piece = Utf8ToGbkText(piece, &replaced);
      unmapped += replaced;
    }
    FoldFullWidth(&piece[0]);
    piece.resize(std::strlen(piece.c_str()));
    folded += utf8 ? GbkToUtf8Text(piece) : piece;
    if (zero == std::string::npos) break;
    folded += '\0';
    start = zero + 1;
  }
  if (!WriteOutput(out_path, folded, &error)) return Failure(kName, error);
  if (unmapped > 0) {
    std::fprintf(stderr, "zhtext fold: %zu character(s) had no GBK code (replaced or dropped)\n",
                 unmapped);
  }
  return kExitOk;
}

int RunPlaceSuffix(int argc, char** argv) {
  const char* kName = "place-suffix";
  bool utf8 = false;
  ArgParser args(kName, argc, argv);
  args.Flag("--utf8", &utf8);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kPlaceSuffixUsage, stdout);
    return kExitOk;
  }
  if (args.positional().empty()) return UsageError(kName, "no word given (see --help)");
  std::string out;
  for (const std::string& word : args.positional()) {
    std::string gbk = utf8 ? Utf8ToGbkText(word) : word;
    std::vector<char> stem(gbk.size() + 1), suffix(gbk.size() + 1);
    SplitPlaceSuffix(gbk.c_str(), stem.data(), suffix.data());
    std::string s = stem.data(), x = suffix.data();
    if (utf8) {
      s = GbkToUtf8Text(s);
      x = GbkToUtf8Text(x);
    }
    out += word + "\t" + s + "\t" + x + "\n";
  }
  std::string error;
  if (!WriteOutput("", out, &error)) return Failure(kName, error);
  return kExitOk;
}

}  // namespace tool
}  // namespace zhtext
