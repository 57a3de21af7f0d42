// zhtext dict: build, query, export and describe CPDAT dictionary files.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "tools/zhtext/commands.h"
#include "tools/zhtext/tool_common.h"
#include "zhtext/dictionary/pdat.h"

namespace zhtext {
namespace tool {
namespace {

const char kDictUsage[] =
    "usage: zhtext dict <subcommand> [options] [arguments]\n"
    "\n"
    "Subcommands:\n"
    "  build WORDLIST OUT   build a dictionary file from a word list\n"
    "  lookup DICT WORD...  look words up in a dictionary\n"
    "  export DICT OUT      write every word of a dictionary as text\n"
    "  info DICT            show a dictionary's mode, words, cells and size\n"
    "\n"
    "Run 'zhtext dict <subcommand> --help' for its options.\n";

const char kBuildUsage[] =
    "usage: zhtext dict build WORDLIST OUT [--mode 0|1|2] [--filter DICT]\n"
    "\n"
    "Builds a dictionary from WORDLIST (GBK, one entry per line: the first\n"
    "word of a line, or the text of a line that starts with '[' up to ']';\n"
    "further columns are ignored) and saves it to OUT. Also writes the\n"
    "normalised copy WORDLIST_export.txt beside the word list.\n"
    "\n"
    "  --mode N       0: GBK characters, ASCII letters folded to lower case\n"
    "                 (default); 1: single bytes; 2: GBK with full-width\n"
    "                 forms folded and separators ignored\n"
    "  --filter DICT  leave out the words of the dictionary file DICT\n"
    "\n"
    "Progress goes to stderr; the word and cell counts to stdout.\n";

const char kLookupUsage[] =
    "usage: zhtext dict lookup DICT WORD... [--longest | --all] [--utf8]\n"
    "\n"
    "Prints one line per WORD: the word, a tab and its handle (-1 when absent).\n"
    "  --longest  the longest dictionary word that WORD begins with:\n"
    "             WORD, handle, matched prefix (tab separated)\n"
    "  --all      every dictionary word that WORD begins with, shortest first:\n"
    "             WORD, then handle:prefix items separated by blanks (-1: none)\n"
    "  --utf8     words are given and printed in UTF-8 (default GBK)\n";

const char kExportUsage[] =
    "usage: zhtext dict export DICT OUT\n"
    "\n"
    "Writes every word of DICT to OUT, one per line (GBK, CR LF line ends),\n"
    "as the dictionary holds it (after its folding).\n";

const char kInfoUsage[] =
    "usage: zhtext dict info DICT\n"
    "\n"
    "Prints the character mode, the word count, the cell count and the file\n"
    "size of the dictionary file DICT.\n";

int RunBuild(int argc, char** argv) {
  const char* command = "dict build";
  std::string mode = "0";
  std::string filterPath;
  ArgParser args(command, argc, argv);
  args.Option("--mode", &mode);
  args.Option("--filter", &filterPath);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kBuildUsage, stdout);
    return kExitOk;
  }
  if (args.positional().size() != 2) return UsageError(command, "needs WORDLIST and OUT (see --help)");
  if (mode != "0" && mode != "1" && mode != "2") {
    return UsageError(command, "--mode must be 0, 1 or 2");
  }
  const std::string& listPath = args.positional()[0];
  const std::string& outPath = args.positional()[1];
  if (int refused = RefuseInputAsOutput(command, outPath, {listPath, filterPath})) return refused;

  std::unique_ptr<CPDAT> filter;
  if (!filterPath.empty()) {
    int exitCode = kExitFailed;
    filter = LoadDict(command, filterPath, &exitCode);
    if (filter == nullptr) return exitCode;
  }
  if (!CanRead(listPath)) return Failure(command, "cannot open word list '" + listPath + "'");

  auto dict = std::make_unique<CPDAT>(mode[0] - '0');
  // The import's own progress lines go to stderr, so that stdout carries
  // only the result. One line per 100 words is written in batches of a few
  // kilobytes rather than line by line (nothing has been written to stderr
  // yet, so its buffering may still change).
  static char progressBuffer[4096];
  std::setvbuf(stderr, progressBuffer, _IOFBF, sizeof(progressBuffer));
  const int words = dict->ImportWithProgress(listPath.c_str(), filter.get(), stderr);
  if (words >= 100) std::fputc('\n', stderr);
  if (!dict->IsBuilt()) {
    return Failure(command, "cannot write the copy '" + listPath + "_export.txt'");
  }
  if (!dict->Save(outPath.c_str())) return Failure(command, "cannot write '" + outPath + "'");
  return PrintReport(command, "words: " + std::to_string(dict->GetWordCount()) +
                                  "\ncells: " + std::to_string(dict->GetMaxCell() + 1) + "\n");
}

int RunLookup(int argc, char** argv) {
  const char* command = "dict lookup";
  bool longest = false;
  bool all = false;
  bool utf8 = false;
  ArgParser args(command, argc, argv);
  args.Flag("--longest", &longest);
  args.Flag("--all", &all);
  args.Flag("--utf8", &utf8);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kLookupUsage, stdout);
    return kExitOk;
  }
  if (args.positional().size() < 2) return UsageError(command, "needs DICT and at least one WORD");
  if (longest && all) return UsageError(command, "--longest and --all exclude each other");
  int exitCode = kExitFailed;
  std::unique_ptr<CPDAT> dict = LoadDict(command, args.positional()[0], &exitCode);
  if (dict == nullptr) return exitCode;

  auto shown = [utf8](const std::string& gbk) { return utf8 ? GbkToUtf8Text(gbk) : gbk; };
  std::string out;
  int* handles = nullptr;
  int* ends = nullptr;
  unsigned capacity = 0;
  for (std::size_t i = 1; i < args.positional().size(); ++i) {
    const std::string& given = args.positional()[i];
    const std::string word = utf8 ? Utf8ToGbkText(given) : given;
    out += shown(word);
    out += '\t';
    if (longest) {
      int handle = -1;
      const int length = dict->MatchLongest(word.c_str(), &handle, nullptr);
      out += std::to_string(handle);
      out += '\t';
      out += shown(word.substr(0, static_cast<std::size_t>(length)));
    } else if (all) {
      unsigned count = 0;
      dict->MatchAll(word.c_str(), &handles, &ends, &capacity, &count, 0);
      if (count == 0) out += "-1";
      for (unsigned k = 0; k < count; ++k) {
        if (k > 0) out += ' ';
        out += std::to_string(handles[k]);
        out += ':';
        out += shown(word.substr(0, static_cast<std::size_t>(ends[k])));
      }
    } else {
      out += std::to_string(dict->Search(word.c_str()));
    }
    out += '\n';
  }
  std::free(handles);
  std::free(ends);
  std::string error;
  if (!WriteOutput("", out, &error)) return Failure(command, error);
  return kExitOk;
}

int RunExport(int argc, char** argv) {
  const char* command = "dict export";
  ArgParser args(command, argc, argv);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kExportUsage, stdout);
    return kExitOk;
  }
  if (args.positional().size() != 2) return UsageError(command, "needs DICT and OUT (see --help)");
  const std::string& outPath = args.positional()[1];
  if (int refused = RefuseInputAsOutput(command, outPath, {args.positional()[0]})) return refused;
  int exitCode = kExitFailed;
  std::unique_ptr<CPDAT> dict = LoadDict(command, args.positional()[0], &exitCode);
  if (dict == nullptr) return exitCode;
  if (!dict->Export(outPath.c_str())) return Failure(command, "cannot write '" + outPath + "'");
  return kExitOk;
}

int RunInfo(int argc, char** argv) {
  const char* command = "dict info";
  ArgParser args(command, argc, argv);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kInfoUsage, stdout);
    return kExitOk;
  }
  if (args.positional().size() != 1) return UsageError(command, "needs DICT (see --help)");
  const std::string& path = args.positional()[0];
  int exitCode = kExitFailed;
  std::unique_ptr<CPDAT> dict = LoadDict(command, path, &exitCode);
  if (dict == nullptr) return exitCode;
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  return PrintReport(command, "mode: " + std::to_string(dict->GetEncoding()) +
                                  "\nwords: " + std::to_string(dict->GetWordCount()) +
                                  "\ncells: " + std::to_string(dict->GetMaxCell() + 1) +
                                  "\nfile size: " + std::to_string(ec ? 0 : size) + "\n");
}

}  // namespace

int RunDict(int argc, char** argv) {
  static const Subcommand kSubcommands[] = {
      {"build", RunBuild},
      {"lookup", RunLookup},
      {"export", RunExport},
      {"info", RunInfo},
  };
  return RunSubcommand("dict", kDictUsage, kSubcommands, argc, argv);
}

}  // namespace tool
}  // namespace zhtext
