// zhtext detect: the character code of each input, told by the code table
// file's detection automaton.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/zhtext/code_table_loader.h"
#include "tools/zhtext/commands.h"
#include "tools/zhtext/tool_common.h"
#include "zhtext/encoding/code_detect.h"
#include "zhtext/encoding/code_tables.h"

namespace zhtext {
namespace tool {

namespace {

// Detection looks at the start of each input only.
constexpr std::size_t kDetectBytes = 1 << 20;

const char kUsageHead[] =
    "usage: zhtext detect [--code-tables FILE] [FILE...]\n"
    "\n"
    "Prints the character code of each FILE (standard input when none is\n"
    "given, or for '-'), one line each: the name, a colon and a blank, and one\n"
    "of utf8, gbk, big5, utf16le (little-endian) or undecided. Text made only\n"
    "of ASCII reads as gbk. A byte-order mark decides at once; otherwise the\n"
    "first MiB of the input is looked at.\n"
    "\n"
    "Options:\n";
const char kUsageTail[] = "  --help              show this help\n";

// Reads at most kDetectBytes of the input.
bool ReadStart(const std::string& path, std::string* data, std::string* error) {
  const bool use_stdin = path == "-";
  std::FILE* in = use_stdin ? stdin : std::fopen(path.c_str(), "rb");
  if (in == nullptr) {
    *error = "cannot open '" + path + "': " + std::strerror(errno);
    return false;
  }
  data->assign(kDetectBytes, '\0');
  const std::size_t n = std::fread(&(*data)[0], 1, kDetectBytes, in);
  data->resize(n);
  const bool ok = !std::ferror(in);
  if (!ok) *error = "cannot read '" + (use_stdin ? std::string("standard input") : path) + "'";
  if (!use_stdin) std::fclose(in);
  return ok;
}

}  // namespace

int RunDetect(int argc, char** argv) {
  const char* kName = "detect";
  std::string tables;
  ArgParser args(kName, argc, argv);
  args.Option("--code-tables", &tables);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    PrintCodeTablesUsage(kUsageHead, kUsageTail);
    return kExitOk;
  }
  std::vector<std::string> inputs = args.positional();
  if (inputs.empty()) inputs.push_back("-");
  for (const std::string& input : inputs) {
    if (input != "-" && !CanRead(input)) {
      return Failure(kName, "cannot open '" + input + "': " + std::strerror(errno));
    }
  }
  if (!LoadToolCodeTables(kName, tables)) return kExitFailed;
  int exit_code = kExitOk;
  for (const std::string& input : inputs) {
    std::string data, error;
    if (!ReadStart(input, &data, &error)) {
      exit_code = Failure(kName, error);
      continue;
    }
    const int code = DetectCode(data.data(), static_cast<unsigned>(data.size()));
    std::printf("%s: %s\n", input.c_str(), CodeName(code).c_str());
  }
  FreeCodeTables();
  return std::fflush(stdout) == 0 ? exit_code : Failure(kName, "cannot write standard output");
}

}  // namespace tool
}  // namespace zhtext
