// zhtext wordlist: build word list files (handle -> text) from a word list
// and its dictionary, and read texts back by handle.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/zhtext/commands.h"
#include "tools/zhtext/tool_common.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/wordlist/word_list.h"

namespace zhtext {
namespace tool {
namespace {

const char kWordlistUsage[] =
    "usage: zhtext wordlist <subcommand> [options] [arguments]\n"
    "\n"
    "Subcommands:\n"
    "  build WORDLIST DICT OUT  build a word list file: each word under its\n"
    "                           handle in the dictionary file DICT\n"
    "  get LIST HANDLE...       print the texts of handles\n"
    "\n"
    "Run 'zhtext wordlist <subcommand> --help' for its options.\n";

const char kBuildUsage[] =
    "usage: zhtext wordlist build WORDLIST DICT OUT [--plain]\n"
    "\n"
    "Reads WORDLIST (GBK, one entry per line: the first word of a line, or the\n"
    "text of a line that starts with '[' up to ']'; '_' becomes a blank in\n"
    "entries that start with an ASCII character), looks every entry up in the\n"
    "dictionary file DICT and stores it under its handle; saves the list to\n"
    "OUT. Also writes the normalised copy WORDLIST_wordlist_export.txt beside\n"
    "the word list. Entries that are not in DICT are left out and listed in\n"
    "the day's log file (YYYYMMDD.log in the working directory).\n"
    "\n"
    "  --plain  write the text block of OUT as plain GBK instead of\n"
    "           enciphering it with the word list key; such a file must be\n"
    "           read with --plain as well\n"
    "\n"
    "Progress goes to stderr; the counts to stdout (words stored, handles\n"
    "covered).\n";

const char kGetUsage[] =
    "usage: zhtext wordlist get LIST HANDLE... [--plain] [--utf8]\n"
    "\n"
    "Prints one line per HANDLE: the handle, a tab and its text in the word\n"
    "list file LIST (empty for a handle the list does not cover).\n"
    "\n"
    "  --plain  LIST was built with --plain (its text block is not enciphered)\n"
    "  --utf8   print the texts in UTF-8 (default GBK)\n";

int RunBuild(int argc, char** argv) {
  const char* command = "wordlist build";
  bool plain = false;
  ArgParser args(command, argc, argv);
  args.Flag("--plain", &plain);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kBuildUsage, stdout);
    return kExitOk;
  }
  if (args.positional().size() != 3) {
    return UsageError(command, "needs WORDLIST, DICT and OUT (see --help)");
  }
  const std::string& listPath = args.positional()[0];
  const std::string& dictPath = args.positional()[1];
  const std::string& outPath = args.positional()[2];
  if (int refused = RefuseInputAsOutput(command, outPath, {listPath, dictPath})) return refused;

  int exitCode = kExitFailed;
  std::unique_ptr<CPDAT> dict = LoadDict(command, dictPath, &exitCode);
  if (dict == nullptr) return exitCode;
  if (!CanRead(listPath)) return Failure(command, "cannot open word list '" + listPath + "'");

  CWordList list(!plain, dict.get());
  const int words = list.Import(listPath.c_str(), dict.get(), stderr);
  if (!list.IsIndexed()) {
    return Failure(command, "cannot write the copy '" + listPath + "_wordlist_export.txt'");
  }
  if (words >= 99) std::fputc('\n', stderr);
  if (!list.Save(outPath.c_str())) return Failure(command, "cannot write '" + outPath + "'");
  return PrintReport(command, "words: " + std::to_string(list.GetCount()) +
                                  "\nhandles: " + std::to_string(list.GetIndexSize()) + "\n");
}

int RunGet(int argc, char** argv) {
  const char* command = "wordlist get";
  bool plain = false;
  bool utf8 = false;
  ArgParser args(command, argc, argv);
  args.Flag("--plain", &plain);
  args.Flag("--utf8", &utf8);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kGetUsage, stdout);
    return kExitOk;
  }
  if (args.positional().size() < 2) {
    return UsageError(command, "needs LIST and at least one HANDLE (see --help)");
  }
  std::vector<int> handles;
  for (std::size_t i = 1; i < args.positional().size(); ++i) {
    int handle = 0;
    if (!ParseInt(args.positional()[i], &handle)) {
      return UsageError(command, "'" + args.positional()[i] + "' is not a handle");
    }
    handles.push_back(handle);
  }
  const std::string& listPath = args.positional()[0];
  CWordList list(!plain, nullptr);
  if (!list.Load(listPath.c_str())) {
    return Failure(command, "cannot load word list '" + listPath +
                                "' (missing, corrupt, or written with the other --plain setting)");
  }
  std::string out;
  for (int handle : handles) {
    const std::string text = list.GetWord(handle);
    out += std::to_string(handle);
    out += '\t';
    out += utf8 ? GbkToUtf8Text(text) : text;
    out += '\n';
  }
  std::string error;
  if (!WriteOutput("", out, &error)) return Failure(command, error);
  return kExitOk;
}

}  // namespace

int RunWordlist(int argc, char** argv) {
  static const Subcommand kSubcommands[] = {
      {"build", RunBuild},
      {"get", RunGet},
  };
  return RunSubcommand("wordlist", kWordlistUsage, kSubcommands, argc, argv);
}

}  // namespace tool
}  // namespace zhtext
