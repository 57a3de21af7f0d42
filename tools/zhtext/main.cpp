// zhtext: command-line access to the zhtext library.
#include <cstdio>
#include <cstring>
#include <new>

#include "tools/zhtext/commands.h"
#include "tools/zhtext/tool_common.h"

namespace zhtext {
namespace tool {
namespace {

const Command kCommands[] = {
    {"convert", "convert text between GBK, UTF-8 and UTF-16", RunConvert},
    {"detect", "tell the code of files: UTF-8, GBK, Big5 or UTF-16LE", RunDetect},
    {"dict", "build, query and export trie dictionary files", RunDict},
    {"segment", "cut text into dictionary words (forward maximum matching)", RunSegment},
    {"words", "list the dictionary words found in a text", RunWords},
    {"freq", "count the dictionary words of a text and list the most frequent", RunFreq},
    {"wordlist", "build word list files and read texts by handle", RunWordlist},
    {"map", "build, report and query ID maps between dictionaries", RunMap},
    {"cipher", "encipher or decipher a file with the data cipher", RunCipher},
    {"classify", "tell what kind of token each argument is", RunClassify},
    {"fold", "fold full-width digits, letters and punctuation to ASCII", RunFold},
    {"place-suffix", "split place names into stem and place-type suffix", RunPlaceSuffix},
    {"html2text", "print the readable text of an HTML page", RunHtml2Text},
    {"mail", "list the mail addresses of header fields, with names and roles", RunMail},
    {"query", "send one request to a text server and print its reply", RunQuery},
    {"serve", "answer requests: echo, or segment with a dictionary", RunServe},
};

void PrintUsage(std::FILE* out) {
  std::fprintf(out,
               "usage: zhtext <command> [options] [arguments]\n"
               "\n"
               "Commands:\n");
  for (const Command& command : kCommands) {
    std::fprintf(out, "  %-12s %s\n", command.name, command.summary);
  }
  std::fprintf(out,
               "\n"
               "Run 'zhtext <command> --help' for the options of a command.\n"
               "Text is GBK unless a command's --utf8 option says otherwise.\n");
}

}  // namespace
}  // namespace tool
}  // namespace zhtext

namespace {

int Run(int argc, char** argv) {
  using namespace zhtext::tool;
  if (argc < 2) {
    PrintUsage(stderr);
    return 2;
  }
  const char* name = argv[1];
  if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0 ||
      std::strcmp(name, "help") == 0) {
    PrintUsage(stdout);
    return 0;
  }
  for (const Command& command : kCommands) {
    if (std::strcmp(name, command.name) == 0) return command.run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "zhtext: unknown command '%s' (see 'zhtext --help')\n", name);
  return 2;
}

}  // namespace

// Running out of memory is a failed operation like any other: one line on
// standard error and exit code 1, not an abort.
int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("zhtext: out of memory\n", stderr);
    return zhtext::tool::kExitFailed;
  }
}
