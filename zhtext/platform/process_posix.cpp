#include "zhtext/platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

extern char** environ;

namespace zhtext {
namespace platform {

namespace {

// The program is started by a short-lived intermediate child that forks the
// program and exits at once; the caller reaps the intermediate, and the
// program, orphaned, is reaped by the system when it ends. Failures of the
// children travel back through a close-on-exec pipe: end of file without a
// report means the program's exec succeeded.
//
// Between fork and exec the children only make async-signal-safe calls, so
// everything they need (argument vector, candidate paths, signal masks) is
// prepared beforehand.

enum LaunchStage : int { kStageFork = 1, kStageExec = 2 };

struct LaunchReport {
  int stage;
  int error;
};

#ifdef NSIG
constexpr int kSignalCount = NSIG;
#else
constexpr int kSignalCount = 65;
#endif

// Everything the program's child needs, built before forking.
struct LaunchPlan {
  std::vector<std::string> args;
  std::vector<char*> argv;
  std::vector<std::string> candidates;
  std::vector<const char*> candidatePtrs;
  int maxFd = 0;
  sigset_t emptyMask;
  sigset_t fullMask;
};

std::vector<std::string> CandidatePaths(const std::string& program) {
  if (program.find('/') != std::string::npos) return {program};
  std::string search;
  if (const char* path = std::getenv("PATH")) {
    search = path;
  } else {
    std::size_t n = confstr(_CS_PATH, nullptr, 0);
    if (n > 0) {
      search.resize(n);
      confstr(_CS_PATH, &search[0], n);
      search.resize(n - 1);
    } else {
      search = "/bin:/usr/bin";
    }
  }
  std::vector<std::string> candidates;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = search.find(':', start);
    std::string dir = search.substr(start, end == std::string::npos ? std::string::npos : end - start);
    // An empty element of PATH stands for the working directory.
    candidates.push_back(dir.empty() ? "./" + program : dir + "/" + program);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return candidates;
}

int HighestFdBound() {
  constexpr rlim_t kCap = 1 << 20;
  struct rlimit limit;
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
      limit.rlim_cur > kCap) {
    return static_cast<int>(kCap);
  }
  return static_cast<int>(limit.rlim_cur);
}

pid_t ForkFromChild() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  // Skips the fork handlers, which need not be safe in a forked child.
  return _Fork();
#else
  return fork();
#endif
}

void Report(int fd, int stage, int error) {
  LaunchReport report{stage, error};
  ssize_t written;
  do {
    written = write(fd, &report, sizeof report);
  } while (written < 0 && errno == EINTR);
}

// Marks every descriptor above standard error close-on-exec, so the program
// inherits none of the caller's files or sockets.
void CloseInheritedOnExec(int maxFd) {
#if defined(__linux__) && defined(CLOSE_RANGE_CLOEXEC)
  if (close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0) return;
#endif
  for (int fd = 3; fd < maxFd; ++fd) fcntl(fd, F_SETFD, FD_CLOEXEC);
}

[[noreturn]] void RunProgramChild(const LaunchPlan& plan, int reportFd) {
  // No handler of the caller may run here. Signals the caller ignores stay
  // ignored, as across any exec, except the two that hosts commonly ignore
  // for their own sake: a program expects SIGPIPE and SIGCHLD at their
  // defaults (or it could not wait for its own children).
  struct sigaction defaults;
  std::memset(&defaults, 0, sizeof defaults);
  defaults.sa_handler = SIG_DFL;
  for (int sig = 1; sig < kSignalCount; ++sig) {
    struct sigaction current;
    if (sigaction(sig, nullptr, &current) != 0) continue;
    bool reset = sig == SIGPIPE || sig == SIGCHLD || current.sa_handler != SIG_IGN;
    if (reset && current.sa_handler != SIG_DFL) sigaction(sig, &defaults, nullptr);
  }
  sigprocmask(SIG_SETMASK, &plan.emptyMask, nullptr);
  CloseInheritedOnExec(plan.maxFd);

  char* const* argv = plan.argv.data();
  bool deniedSomewhere = false;
  int error = ENOENT;
  for (const char* candidate : plan.candidatePtrs) {
    execve(candidate, argv, environ);
    error = errno;
    if (error == EACCES) {
      deniedSomewhere = true;
      continue;
    }
    // Look further along PATH only when this directory simply lacks it.
    if (error == ENOENT || error == ENOTDIR || error == ESTALE || error == ENODEV ||
        error == ETIMEDOUT) {
      continue;
    }
    break;
  }
  if (deniedSomewhere && (error == ENOENT || error == ENOTDIR)) error = EACCES;
  Report(reportFd, kStageExec, error);
  _exit(127);
}

bool MakeReportPipe(int fds[2]) {
#if defined(__linux__) || defined(__FreeBSD__) || defined(__NetBSD__) || defined(__OpenBSD__)
  return pipe2(fds, O_CLOEXEC) == 0;
#else
  if (pipe(fds) != 0) return false;
  fcntl(fds[0], F_SETFD, FD_CLOEXEC);
  fcntl(fds[1], F_SETFD, FD_CLOEXEC);
  return true;
#endif
}

void SetError(std::string* error, std::string text) {
  if (error != nullptr) *error = std::move(text);
}

std::string Reason(const std::string& program, const char* what, int err) {
  std::string text = "cannot start " + program + ": ";
  if (what != nullptr) {
    text += what;
    text += ": ";
  }
  text += std::strerror(err);
  return text;
}

}  // namespace

bool StartProgram(const char* commandLine, std::string* error) {
  LaunchPlan plan;
  plan.args = SplitCommandLine(commandLine);
  if (plan.args.empty()) {
    SetError(error, "empty command line");
    return false;
  }
  const std::string& program = plan.args[0];
  if (program.empty()) {
    SetError(error, "empty program name");
    return false;
  }
  for (std::string& arg : plan.args) plan.argv.push_back(&arg[0]);
  plan.argv.push_back(nullptr);
  plan.candidates = CandidatePaths(program);
  for (const std::string& candidate : plan.candidates) {
    plan.candidatePtrs.push_back(candidate.c_str());
  }
  plan.maxFd = HighestFdBound();
  sigemptyset(&plan.emptyMask);
  sigfillset(&plan.fullMask);

  int fds[2];
  if (!MakeReportPipe(fds)) {
    SetError(error, Reason(program, "pipe", errno));
    return false;
  }

  // No signal handler of the caller may run in the children before the
  // program replaces them.
  sigset_t callerMask;
  pthread_sigmask(SIG_SETMASK, &plan.fullMask, &callerMask);
  pid_t intermediate = fork();
  if (intermediate == 0) {
    close(fds[0]);
    pid_t child = ForkFromChild();
    if (child == 0) RunProgramChild(plan, fds[1]);
    if (child < 0) {
      Report(fds[1], kStageFork, errno);
      _exit(1);
    }
    _exit(0);
  }
  int forkError = errno;
  pthread_sigmask(SIG_SETMASK, &callerMask, nullptr);
  close(fds[1]);
  if (intermediate < 0) {
    close(fds[0]);
    SetError(error, Reason(program, "fork", forkError));
    return false;
  }

  LaunchReport report{0, 0};
  std::size_t got = 0;
  char* into = reinterpret_cast<char*>(&report);
  while (got < sizeof report) {
    ssize_t n = read(fds[0], into + got, sizeof report - got);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  close(fds[0]);

  // The intermediate exits right after forking; a caller that ignores
  // SIGCHLD has it reaped by the system (ECHILD here).
  int status;
  while (waitpid(intermediate, &status, 0) < 0 && errno == EINTR) {
  }

  if (got == 0) return true;
  if (got < sizeof report) {
    SetError(error, "cannot start " + program + ": lost the start-up report");
    return false;
  }
  SetError(error, Reason(program, report.stage == kStageFork ? "fork" : nullptr, report.error));
  return false;
}

bool GetExecutablePath(std::string* path) {
  path->clear();
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return false;
    if (static_cast<std::size_t>(n) < buffer.size()) {
      path->assign(buffer.data(), static_cast<std::size_t>(n));
      return true;
    }
    if (buffer.size() >= (1u << 16)) return false;
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace platform
}  // namespace zhtext
