#include "tests/support/run_tool.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/support/temp_dir.h"

namespace zhtext {
namespace testing {

#ifdef ZHTEXT_TOOL_PATH

namespace {

// Single-quotes an argument for /bin/sh.
std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace

ToolResult RunTool(const ToolRun& run) {
  TempDir io;
  const std::string in = io.File("stdin"), err = io.File("stderr");
  const std::string out = run.stdout_path.empty() ? io.File("stdout") : run.stdout_path;
  WriteFile(in, run.input);
  std::string command;
  if (run.memory_limit_kb > 0) command = "ulimit -v " + std::to_string(run.memory_limit_kb) + "; ";
  command += Quote(ZHTEXT_TOOL_PATH);
  for (const std::string& arg : run.args) command += " " + Quote(arg);
  command += " <" + Quote(in) + " >" + Quote(out) + " 2>" + Quote(err);
  int status = std::system(command.c_str());
  ToolResult result;
  if (status != -1 && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  if (run.stdout_path.empty()) result.out = ReadFile(out);
  result.err = ReadFile(err);
  return result;
}

ToolResult RunTool(const std::vector<std::string>& args, const std::string& input) {
  ToolRun run;
  run.args = args;
  run.input = input;
  return RunTool(run);
}

#else

ToolResult RunTool(const ToolRun&) { return ToolResult{}; }

ToolResult RunTool(const std::vector<std::string>&, const std::string&) { return ToolResult{}; }

#endif

void ExpectFailures(const std::vector<ToolFailure>& cases, const std::string& input) {
  for (const ToolFailure& c : cases) {
    SCOPED_TRACE(c.name);
    const ToolResult r = RunTool(c.args, input);
    EXPECT_EQ(c.exit_code, r.exit_code);
    EXPECT_EQ("", r.out);
    if (r.err.empty()) {
      ADD_FAILURE() << "nothing on standard error";
      continue;
    }
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
  }
}

}  // namespace testing
}  // namespace zhtext
