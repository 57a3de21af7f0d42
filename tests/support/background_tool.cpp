#include "tests/support/background_tool.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace zhtext {
namespace testing {

namespace {

constexpr std::chrono::milliseconds kStep(10);

// Polls `done` every few milliseconds for at most `timeoutMs`.
template <typename Done>
bool PollFor(long long timeoutMs, Done done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(kStep);
  }
}

}  // namespace

BackgroundTool::BackgroundTool(const std::vector<std::string>& args) {
#ifdef ZHTEXT_TOOL_PATH
  std::vector<std::string> argv_strings;
  argv_strings.push_back(ZHTEXT_TOOL_PATH);
  argv_strings.insert(argv_strings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argv_strings) argv.push_back(&arg[0]);
  argv.push_back(nullptr);

  const std::string out = io_.File("stdout"), err = io_.File("stderr");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
#else
  (void)args;
#endif
}

BackgroundTool::~BackgroundTool() {
  if (pid_ <= 0 || reaped_) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, &status_, 0);
}

std::string BackgroundTool::WaitForLine(long long timeoutMs) {
  std::string line;
  PollFor(timeoutMs, [&] {
    const std::string out = Out();
    const std::size_t end = out.find('\n');
    if (end != std::string::npos) {
      line = out.substr(0, end);
      return true;
    }
    return Wait(0) != -2;  // ended without a line
  });
  return line;
}

bool BackgroundTool::WaitForErr(const std::string& text, long long timeoutMs) {
  return PollFor(timeoutMs, [&] { return Err().find(text) != std::string::npos; });
}

bool BackgroundTool::Signal(int signal) {
  if (pid_ <= 0 || reaped_) return false;
  return kill(pid_, signal) == 0;
}

int BackgroundTool::Wait(long long timeoutMs) {
  if (pid_ <= 0) return -1;
  PollFor(timeoutMs, [&] {
    if (!reaped_ && waitpid(pid_, &status_, WNOHANG) == pid_) reaped_ = true;
    return reaped_;
  });
  if (!reaped_) return -2;
  return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

std::string BackgroundTool::Out() const { return ReadFile(io_.File("stdout")); }

std::string BackgroundTool::Err() const { return ReadFile(io_.File("stderr")); }

}  // namespace testing
}  // namespace zhtext
