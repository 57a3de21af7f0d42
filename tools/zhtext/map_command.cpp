// zhtext map: build ID map files from text files of words, report them as
// text, and find the related words of a word.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "tools/zhtext/commands.h"
#include "tools/zhtext/tool_common.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/idmaps/idmaps.h"
#include "zhtext/wordlist/word_list.h"

namespace zhtext {
namespace tool {
namespace {

const char kMapUsage[] =
    "usage: zhtext map <subcommand> [options] [arguments]\n"
    "\n"
    "Subcommands:\n"
    "  import   build a map file from text files of words and their dictionaries\n"
    "  report   write a map file as text, with the words of its handles\n"
    "  related  print the related words of words\n"
    "\n"
    "Run 'zhtext map <subcommand> --help' for its options.\n";

const char kImportUsage[] =
    "usage: zhtext map import --format FORMAT INPUT... --key-dict DICT\n"
    "                         [--value-dict DICT] OUT\n"
    "\n"
    "Reads GBK text files of words, turns every key word into its handle in\n"
    "the key dictionary and every value word into its handle in the value\n"
    "dictionary (the key dictionary when --value-dict is not given), and saves\n"
    "the map to OUT. A value word that is not in its dictionary is stored as\n"
    "the handle -1. Rejected pairs (a key word not in its dictionary, a word\n"
    "paired with itself within one dictionary) are listed in the day's error\n"
    "log (YYYYMMDD.err in the working directory).\n"
    "\n"
    "Formats (lines of any length):\n"
    "  pairs      INPUT: one pair per line, key word then value word; an\n"
    "             entry in [brackets] may hold blanks, '_' becomes a blank in\n"
    "             entries that start with an ASCII character. Also writes the\n"
    "             normalised copy INPUT_map_export.txt.\n"
    "  parallel   KEYS VALUES: line i of KEYS pairs with line i of VALUES (the\n"
    "             first word of each line)\n"
    "  tabbed     INPUT: tab-separated words, the last one the key, the others\n"
    "             its values; one dictionary (no --value-dict)\n"
    "  lists      INPUT: words separated by commas, blanks or tabs, the first\n"
    "             one the key, the others its values\n"
    "  symmetric  INPUT: as lists, one dictionary (no --value-dict), every\n"
    "             pair stored both ways\n"
    "\n"
    "Progress goes to stderr. Once the map is saved, \"Build map success!\" and\n"
    "the counts (pairs accepted, duplicates included; keys covered) go to stdout.\n";

const char kReportUsage[] =
    "usage: zhtext map report MAP --key-words LIST --value-words LIST\n"
    "                         [--multi-only] [--plain] [--utf8] [OUT]\n"
    "\n"
    "Writes the map file MAP as text to OUT (standard output when OUT is\n"
    "missing or '-'), CR LF line ends: a line with the data and index sizes,\n"
    "then for every key with values a line with the key's handle, word and\n"
    "range, and a line with each value's handle and word. The words come from\n"
    "the word list files built with 'zhtext wordlist build' for the key and\n"
    "the value dictionaries.\n"
    "\n"
    "  --multi-only  only keys with more than one value\n"
    "  --plain       the word lists were built with --plain\n"
    "  --utf8        write the report in UTF-8 (default GBK)\n";

const char kRelatedUsage[] =
    "usage: zhtext map related MAP DICT WORDLIST WORD... [--values] [--plain] [--utf8]\n"
    "\n"
    "Prints one line per WORD: the word, a tab, its handle in the key\n"
    "dictionary DICT (-1 when absent), then a tab before each related word\n"
    "found in the map file MAP, spelled from the word list file WORDLIST of\n"
    "the value dictionary; values whose words are in no dictionary (-1) are\n"
    "left out.\n"
    "\n"
    "The related words are the map's own notion of them, made for a map within\n"
    "one dictionary (synonyms, variants): a word with a single value is\n"
    "followed one step, to that value's own values (as a key of the same map);\n"
    "and a value whose handle equals the word's handle is left out, as the\n"
    "word itself. With two dictionaries that handle belongs to an unrelated\n"
    "word of the other one: use --values there.\n"
    "\n"
    "  --values  print every value the map holds for the word, as it holds them\n"
    "  --plain   WORDLIST was built with --plain\n"
    "  --utf8    WORDs are given and printed in UTF-8 (default GBK)\n";

std::unique_ptr<CWordList> LoadWordList(const char* command, const std::string& path, bool plain,
                                        int* exitCode) {
  auto list = std::make_unique<CWordList>(!plain, nullptr);
  if (!list->Load(path.c_str())) {
    *exitCode = Failure(command, "cannot load word list '" + path +
                                     "' (missing, corrupt, or written with the other --plain setting)");
    return nullptr;
  }
  return list;
}

bool LoadMap(const char* command, const std::string& path, CIDMaps* map, int* exitCode) {
  if (!map->Load(path.c_str())) {
    *exitCode = Failure(command, "cannot load map '" + path + "' (missing or corrupt)");
    return false;
  }
  return true;
}

// Whether `path` can be written, tried before the work starts; a file the
// probe creates is removed again.
bool Writable(const std::string& path) {
  std::error_code ec;
  const bool existed = std::filesystem::exists(path, ec);
  std::FILE* fp = std::fopen(path.c_str(), "ab");
  if (fp == nullptr) return false;
  std::fclose(fp);
  if (!existed) std::remove(path.c_str());
  return true;
}

int RunImport(int argc, char** argv) {
  const char* command = "map import";
  std::string format;
  std::string keyDictPath;
  std::string valueDictPath;
  ArgParser args(command, argc, argv);
  args.Option("--format", &format);
  args.Option("--key-dict", &keyDictPath);
  args.Option("--value-dict", &valueDictPath);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kImportUsage, stdout);
    return kExitOk;
  }
  std::size_t inputs = 1;
  bool oneDict = false;
  if (format == "parallel") {
    inputs = 2;
  } else if (format == "tabbed" || format == "symmetric") {
    oneDict = true;
  } else if (format != "pairs" && format != "lists") {
    return UsageError(command, format.empty()
                                   ? "needs --format pairs|parallel|tabbed|lists|symmetric"
                                   : "unknown format '" + format + "' (see --help)");
  }
  if (keyDictPath.empty()) return UsageError(command, "needs --key-dict DICT");
  if (oneDict && !valueDictPath.empty()) {
    return UsageError(command, "format '" + format + "' uses one dictionary: no --value-dict");
  }
  const std::vector<std::string>& positional = args.positional();
  if (positional.size() != inputs + 1) {
    return UsageError(command, inputs == 2 ? "needs KEYS, VALUES and OUT (see --help)"
                                           : "needs INPUT and OUT (see --help)");
  }
  const std::string& outPath = positional.back();
  const std::string secondInput = inputs == 2 ? positional[1] : std::string();
  if (int refused = RefuseInputAsOutput(command, outPath,
                                        {positional[0], secondInput, keyDictPath, valueDictPath})) {
    return refused;
  }
  for (std::size_t i = 0; i < inputs; ++i) {
    if (!CanRead(positional[i])) return Failure(command, "cannot open '" + positional[i] + "'");
  }
  if (!Writable(outPath)) return Failure(command, "cannot write '" + outPath + "'");
  int exitCode = kExitFailed;
  std::unique_ptr<CPDAT> keyDict = LoadDict(command, keyDictPath, &exitCode);
  if (keyDict == nullptr) return exitCode;
  std::unique_ptr<CPDAT> valueDict;
  std::error_code ec;
  const bool sameFile = !valueDictPath.empty() &&
                        std::filesystem::equivalent(keyDictPath, valueDictPath, ec) && !ec;
  if (!valueDictPath.empty() && !sameFile) {
    valueDict = LoadDict(command, valueDictPath, &exitCode);
    if (valueDict == nullptr) return exitCode;
  }
  CPDAT* keys = keyDict.get();
  // One file given as both dictionaries is one dictionary: a word may not
  // be paired with itself.
  CPDAT* values = valueDict != nullptr ? valueDict.get() : keys;

  const char* in = positional[0].c_str();
  CIDMaps map;
  // Success is reported once the map is saved, not when it is packed.
  map.SetBuildReport(nullptr);
  if (format == "pairs") {
    const std::string copyPath = positional[0] + "_map_export.txt";
    std::FILE* copy = std::fopen(copyPath.c_str(), "ab");
    if (copy == nullptr) return Failure(command, "cannot create '" + copyPath + "'");
    std::fclose(copy);
    map.ImportPairs(in, keys, values, stderr);
  } else if (format == "parallel") {
    map.ImportParallel(in, positional[1].c_str(), keys, values);
  } else if (format == "tabbed") {
    map.ImportTabbed(in, keys, stderr);
  } else if (format == "lists") {
    map.ImportLists(in, keys, values, stderr);
  } else {
    map.ImportSymmetric(in, keys, stderr);
  }
  if (!map.IsPacked()) {
    return Failure(command, format == "pairs"
                                ? "cannot write the copy '" + positional[0] + "_map_export.txt'"
                                : std::string("cannot build the map"));
  }
  if (!map.Save(outPath.c_str())) return Failure(command, "cannot write '" + outPath + "'");
  return PrintReport(command, "Build map success!\npairs: " + std::to_string(map.GetDataSize()) +
                                  "\nkeys: " + std::to_string(map.GetIndexSize()) + "\n");
}

// A path for a temporary report that no file uses yet.
std::string TemporaryPath() {
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
  if (ec) dir = ".";
  std::random_device seed;
  std::mt19937_64 rng(seed());
  for (;;) {
    std::filesystem::path path = dir / ("zhtext-map-report-" + std::to_string(rng()) + ".txt");
    if (!std::filesystem::exists(path, ec)) return path.string();
  }
}

int RunReport(int argc, char** argv) {
  const char* command = "map report";
  std::string keyWordsPath;
  std::string valueWordsPath;
  bool multiOnly = false;
  bool plain = false;
  bool utf8 = false;
  ArgParser args(command, argc, argv);
  args.Option("--key-words", &keyWordsPath);
  args.Option("--value-words", &valueWordsPath);
  args.Flag("--multi-only", &multiOnly);
  args.Flag("--plain", &plain);
  args.Flag("--utf8", &utf8);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kReportUsage, stdout);
    return kExitOk;
  }
  const std::vector<std::string>& positional = args.positional();
  if (positional.empty() || positional.size() > 2) {
    return UsageError(command, "needs MAP and at most one OUT (see --help)");
  }
  if (keyWordsPath.empty() || valueWordsPath.empty()) {
    return UsageError(command, "needs --key-words LIST and --value-words LIST");
  }
  if (positional.size() == 2) {
    if (int refused = RefuseInputAsOutput(command, positional[1],
                                          {positional[0], keyWordsPath, valueWordsPath})) {
      return refused;
    }
  }
  int exitCode = kExitFailed;
  CIDMaps map;
  if (!LoadMap(command, positional[0], &map, &exitCode)) return exitCode;
  std::unique_ptr<CWordList> keyWords = LoadWordList(command, keyWordsPath, plain, &exitCode);
  if (keyWords == nullptr) return exitCode;
  std::unique_ptr<CWordList> valueWords = LoadWordList(command, valueWordsPath, plain, &exitCode);
  if (valueWords == nullptr) return exitCode;

  const std::string out = positional.size() == 2 ? positional[1] : "";
  const bool direct = !utf8 && !out.empty() && out != "-";
  const std::string reportPath = direct ? out : TemporaryPath();
  if (!map.ExportText(reportPath.c_str(), keyWords.get(), valueWords.get(), multiOnly)) {
    if (!direct) std::remove(reportPath.c_str());
    return Failure(command, "cannot write '" + reportPath + "'");
  }
  if (direct) return kExitOk;
  std::string report;
  std::string error;
  const bool read = ReadInput(reportPath, &report, &error);
  std::remove(reportPath.c_str());
  if (!read) return Failure(command, error);
  if (utf8) report = GbkToUtf8Text(report);
  if (!WriteOutput(out, report, &error)) return Failure(command, error);
  return kExitOk;
}

int RunRelated(int argc, char** argv) {
  const char* command = "map related";
  bool values = false;
  bool plain = false;
  bool utf8 = false;
  ArgParser args(command, argc, argv);
  args.Flag("--values", &values);
  args.Flag("--plain", &plain);
  args.Flag("--utf8", &utf8);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kRelatedUsage, stdout);
    return kExitOk;
  }
  const std::vector<std::string>& positional = args.positional();
  if (positional.size() < 4) {
    return UsageError(command, "needs MAP, DICT, WORDLIST and at least one WORD (see --help)");
  }
  int exitCode = kExitFailed;
  CIDMaps map;
  if (!LoadMap(command, positional[0], &map, &exitCode)) return exitCode;
  std::unique_ptr<CPDAT> dict = LoadDict(command, positional[1], &exitCode);
  if (dict == nullptr) return exitCode;
  std::unique_ptr<CWordList> words = LoadWordList(command, positional[2], plain, &exitCode);
  if (words == nullptr) return exitCode;

  auto shown = [utf8](const std::string& gbk) { return utf8 ? GbkToUtf8Text(gbk) : gbk; };
  std::string out;
  std::vector<int> related;
  for (std::size_t i = 3; i < positional.size(); ++i) {
    const std::string word = utf8 ? Utf8ToGbkText(positional[i]) : positional[i];
    const int handle = dict->Search(word.c_str());
    out += shown(word);
    out += '\t';
    out += std::to_string(handle);
    if (values) {
      int count = 0;
      const int* ids = map.GetIDList(handle, &count);
      related.assign(ids, ids + count);
    } else {
      map.GetRelated(handle, related);
    }
    for (int h : related) {
      if (h < 0) continue;
      out += '\t';
      out += shown(words->GetWord(h));
    }
    out += '\n';
  }
  std::string error;
  if (!WriteOutput("", out, &error)) return Failure(command, error);
  return kExitOk;
}

}  // namespace

int RunMap(int argc, char** argv) {
  static const Subcommand kSubcommands[] = {
      {"import", RunImport},
      {"report", RunReport},
      {"related", RunRelated},
  };
  return RunSubcommand("map", kMapUsage, kSubcommands, argc, argv);
}

}  // namespace tool
}  // namespace zhtext
