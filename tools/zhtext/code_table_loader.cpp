#include "tools/zhtext/code_table_loader.h"

#include <cstdio>
#include <vector>

#include "tools/zhtext/tool_common.h"
#include "zhtext/encoding/code_numbers.h"
#include "zhtext/encoding/code_tables.h"
#include "zhtext/platform/process.h"

namespace zhtext {
namespace tool {

namespace {

const char kFileName[] = "codetables.bin";

// Where the default file may be: beside the tool, then the installed data
// directory relative to the tool's.
std::vector<std::string> DefaultPaths() {
  std::vector<std::string> paths;
  std::string exe;
  if (!platform::GetExecutablePath(&exe)) return paths;
  const std::size_t slash = exe.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "." : exe.substr(0, slash);
  paths.push_back(dir + "/" + kFileName);
  paths.push_back(dir + "/" + ZHTEXT_DATA_FROM_BIN + "/" + kFileName);
  return paths;
}

std::string Reason(int result) {
  switch (result) {
    case -1:
      return "cannot open it, or it is too short";
    case -2:
    case -3:
    case -4:
      return "it is cut short or its cell count is wrong";
    case -5:
      return "its automaton is damaged";
    case -127:
      return "out of memory";
    default:
      return "error " + std::to_string(result);
  }
}

}  // namespace

void PrintCodeTablesUsage(const char* head, const char* tail) {
  std::fputs(head, stdout);
  std::fputs(
      "  --code-tables FILE  the code table file (default: codetables.bin beside\n"
      "                      the tool, or the one installed in share/zhtext/)\n",
      stdout);
  std::fputs(tail, stdout);
}

bool LoadToolCodeTables(const char* command, const std::string& path) {
  if (!path.empty()) {
    const int result = LoadCodeTables(path.c_str());
    if (result == 0) return true;
    Failure(command, "cannot load code tables '" + path + "': " + Reason(result));
    return false;
  }
  const std::vector<std::string> paths = DefaultPaths();
  for (const std::string& candidate : paths) {
    if (!CanRead(candidate)) continue;
    const int result = LoadCodeTables(candidate.c_str());
    if (result == 0) return true;
    Failure(command, "cannot load code tables '" + candidate + "': " + Reason(result));
    return false;
  }
  std::string looked;
  for (const std::string& candidate : paths) looked += (looked.empty() ? "" : ", ") + candidate;
  Failure(command,
          "no code table file found (looked for " + looked + "); give one with --code-tables FILE");
  return false;
}

std::string CodeName(int code) {
  switch (code) {
    case CODE_AUTO:
      return "undecided";
    case CODE_UTF8:
      return "utf8";
    case CODE_GBK:
      return "gbk";
    case CODE_DBCS2:
      return "big5";
    case CODE_UTF16:
      return "utf16le";
    default:
      return "code " + std::to_string(code);
  }
}

}  // namespace tool
}  // namespace zhtext
