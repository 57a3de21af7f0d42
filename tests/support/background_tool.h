// Runs the built zhtext tool in the background, for the tests of commands
// that keep running (zhtext serve): its standard output and error go to
// files that the test reads while it runs. Every wait is bounded; a process
// still running when the object goes is killed.
#ifndef ZHTEXT_TESTS_SUPPORT_BACKGROUND_TOOL_H_
#define ZHTEXT_TESTS_SUPPORT_BACKGROUND_TOOL_H_

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace zhtext {
namespace testing {

class BackgroundTool {
 public:
  // Starts the tool (path from ZHTEXT_TOOL_PATH) with `args`, standard input
  // empty, in the current working directory.
  explicit BackgroundTool(const std::vector<std::string>& args);
  // Kills the process (SIGKILL) if it is still running, and reaps it.
  ~BackgroundTool();
  BackgroundTool(const BackgroundTool&) = delete;
  BackgroundTool& operator=(const BackgroundTool&) = delete;

  bool started() const { return pid_ > 0; }

  // The first line of standard output (without its line feed), once it is
  // complete; empty when none comes within `timeoutMs` or the process ends
  // without one.
  std::string WaitForLine(long long timeoutMs);

  // Waits until standard error holds `text`; false after `timeoutMs`.
  bool WaitForErr(const std::string& text, long long timeoutMs);

  // Sends `signal` to the process; false when it has ended.
  bool Signal(int signal);

  // Waits for the process to end: its exit code, -1 when a signal ended
  // it, -2 when it still runs after `timeoutMs`.
  int Wait(long long timeoutMs);

  std::string Out() const;
  std::string Err() const;

 private:
  TempDir io_;
  int pid_ = -1;
  bool reaped_ = false;
  int status_ = 0;
};

}  // namespace testing
}  // namespace zhtext

#endif  // ZHTEXT_TESTS_SUPPORT_BACKGROUND_TOOL_H_
