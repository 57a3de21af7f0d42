// Runs the built zhtext tool in a child process, for the command-line tests.
#ifndef ZHTEXT_TESTS_SUPPORT_RUN_TOOL_H_
#define ZHTEXT_TESTS_SUPPORT_RUN_TOOL_H_

#include <string>
#include <vector>

namespace zhtext {
namespace testing {

struct ToolResult {
  int exit_code = -1;  // -1 when the tool did not exit normally
  std::string out;     // standard output
  std::string err;     // standard error
};

// Runs the zhtext tool (path from ZHTEXT_TOOL_PATH) with `args`, feeding
// `input` on standard input, inside the current working directory.
ToolResult RunTool(const std::vector<std::string>& args, const std::string& input = "");

// A run with more control over the tool's surroundings.
struct ToolRun {
  std::vector<std::string> args;
  std::string input;
  std::string stdout_path;   // where standard output goes (e.g. /dev/full);
                             // empty: captured in ToolResult::out
  long memory_limit_kb = 0;  // > 0: the tool runs under `ulimit -v` of this
};
ToolResult RunTool(const ToolRun& run);

// A command line that must fail with `exit_code`, writing nothing on
// standard output and one line on standard error.
struct ToolFailure {
  const char* name;
  std::vector<std::string> args;
  int exit_code;
};

// Runs every case, each fed `input`, and expects it to fail as it says.
void ExpectFailures(const std::vector<ToolFailure>& cases, const std::string& input = "");

}  // namespace testing
}  // namespace zhtext

#endif  // ZHTEXT_TESTS_SUPPORT_RUN_TOOL_H_
