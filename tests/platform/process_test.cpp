#include "zhtext/platform/process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/temp_dir.h"
#include "zhtext/platform/sleep.h"

namespace zhtext {
namespace platform {
namespace {

using testing::G;
using testing::TempDir;
using Args = std::vector<std::string>;

struct SplitRow {
  const char* name;
  const char* line;
  Args args;
};

TEST(SplitCommandLineTest, Table) {
  const SplitRow rows[] = {
      {"empty", "", {}},
      {"blanks only", " \t  \t", {}},
      {"program only", "prog", {"prog"}},
      {"plain arguments", "prog a bc", {"prog", "a", "bc"}},
      {"blank runs and tabs", "  prog \t a\t\tb  ", {"prog", "a", "b"}},
      {"other whitespace is not a blank", "prog a\nb\rc", {"prog", "a\nb\rc"}},
      {"quoted blanks", "prog \"a b\"\t\"c\td\"", {"prog", "a b", "c\td"}},
      {"empty quotes", "prog \"\"", {"prog", ""}},
      {"several empty quotes", "prog \"\" x \"\"", {"prog", "", "x", ""}},
      {"quotes inside an argument", "prog a\"b c\"d", {"prog", "ab cd"}},
      {"adjacent quoted stretches", "prog \"a\"\"b\"", {"prog", "ab"}},
      {"unclosed quote", "prog \"open arg  ", {"prog", "open arg  "}},
      {"quoted program", "\"/opt/my tool/run\" -x", {"/opt/my tool/run", "-x"}},
      {"single quotes are plain", "prog 'a b'", {"prog", "'a", "b'"}},
      {"backslashes kept", "prog a\\b\\\\c d\\", {"prog", "a\\b\\\\c", "d\\"}},
      {"escaped quote", "prog \\\"x\\\"", {"prog", "\"x\""}},
      {"escaped quote in quotes", "prog \"say \\\"hi\\\"\"", {"prog", "say \"hi\""}},
      {"even backslashes before quote", "prog \"a\\\\\" b", {"prog", "a\\", "b"}},
      {"odd backslashes before quote", "prog a\\\\\\\"b", {"prog", "a\\\"b"}},
      {"program keeps backslashes", "\"C:\\dir\\\" arg", {"C:\\dir\\", "arg"}},
  };
  for (const SplitRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SplitCommandLine(row.line), row.args);
  }
  const std::string gbk = "prog " + G("中文") + " \"" + G("文 件") + "\"";
  EXPECT_EQ(SplitCommandLine(gbk.c_str()), (Args{"prog", G("中文"), G("文 件")}));
  EXPECT_EQ(SplitCommandLine(nullptr), Args{});
}

// Polls for `path` to appear (programs write to a temporary name and then
// rename it), with a deadline generous enough for a loaded machine.
bool WaitForFile(const std::string& path, std::string* content) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    if (testing::FileExists(path)) {
      *content = testing::ReadFile(path);
      return true;
    }
    SleepMilliseconds(10);
  }
  return false;
}

// True when this process has no child at all, not even a zombie.
bool HasNoChildren() {
  errno = 0;
  return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

// The parent process id of `pid` from /proc, or -1.
long ParentOf(long pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  char state;
  long parent;
  if (std::sscanf(stat.c_str() + close + 1, " %c %ld", &state, &parent) != 2) return -1;
  return parent;
}

// A shell script, run by the shell as a program of its own, that writes its
// result to `out` atomically.
std::string ShellLine(const std::string& script, const std::string& out,
                      const std::string& extraArgs = "") {
  return "sh -c \"" + script + " > " + out + ".tmp && mv " + out + ".tmp " + out + "\" sh " +
         extraArgs;
}

class StartProgramTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return temp_.File(name); }
  TempDir temp_;
};

TEST_F(StartProgramTest, PassesArgumentsWithoutAShell) {
  const std::string out = Path("args");
  // The arguments reach the program as they are: no shell expands them.
  std::string line = ShellLine("printf '%s|' \\\"$@\\\"", out,
                               "\"a b\" \"\" c $HOME '*' ;x \\\"q\\\"");
  std::string error = "untouched";
  ASSERT_TRUE(StartProgram(line.c_str(), &error)) << error;
  std::string content;
  ASSERT_TRUE(WaitForFile(out, &content));
  EXPECT_EQ(content, "a b||c|$HOME|'*'|;x|\"q\"|");
}

TEST_F(StartProgramTest, ReturnsWithoutWaitingForTheProgram) {
  const std::string go = Path("go");
  const std::string out = Path("done");
  // The program waits (up to about 60 s) for a file that the test creates
  // only after StartProgram has returned.
  std::string script = "i=0; while [ ! -e " + go + " ] && [ $i -lt 1200 ]; do sleep 0.05; " +
                       "i=$((i+1)); done; if [ -e " + go + " ]; then echo ok; else echo late; fi";
  ASSERT_TRUE(StartProgram(ShellLine(script, out).c_str()));
  testing::WriteFile(go, "");
  std::string content;
  ASSERT_TRUE(WaitForFile(out, &content));
  EXPECT_EQ(content, "ok\n");
}

TEST_F(StartProgramTest, LeavesNoZombie) {
  ASSERT_TRUE(HasNoChildren());
  const std::string go = Path("go");
  const std::string pidFile = Path("pid");
  std::string script = "echo $$ > " + pidFile + ".tmp; mv " + pidFile + ".tmp " + pidFile +
                       "; i=0; while [ ! -e " + go + " ] && [ $i -lt 1200 ]; do sleep 0.05; " +
                       "i=$((i+1)); done; echo finished";
  const std::string out = Path("done");
  ASSERT_TRUE(StartProgram(ShellLine(script, out).c_str()));
  // The helper process in between has already been reaped...
  EXPECT_TRUE(HasNoChildren());
  std::string pid;
  ASSERT_TRUE(WaitForFile(pidFile, &pid));
  // ...and the running program is not a child of this process.
  long programPid = std::atol(pid.c_str());
  ASSERT_GT(programPid, 0);
  if (testing::FileExists("/proc/self/stat")) {
    EXPECT_NE(ParentOf(programPid), static_cast<long>(getpid()));
  }
  testing::WriteFile(go, "");
  std::string content;
  ASSERT_TRUE(WaitForFile(out, &content));
  EXPECT_EQ(content, "finished\n");
  EXPECT_TRUE(HasNoChildren());
}

TEST_F(StartProgramTest, FailuresGiveAReason) {
  const std::string plain = Path("plain.sh");
  testing::WriteFile(plain, "#!/bin/sh\nexit 0\n");
  ASSERT_EQ(chmod(plain.c_str(), 0644), 0);
  struct Row {
    const char* name;
    std::string line;
    std::string reasonHas;
  };
  const Row rows[] = {
      {"empty line", "", "empty"},
      {"blank line", " \t ", "empty"},
      {"empty program name", "\"\" arg", "empty"},
      {"not on PATH", "zhtext-no-such-program-4711 arg", std::strerror(ENOENT)},
      {"missing path", Path("missing/prog"), std::strerror(ENOENT)},
      {"not executable", plain, std::strerror(EACCES)},
      {"a directory", temp_.path(), std::strerror(EACCES)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string error;
    EXPECT_FALSE(StartProgram(row.line.c_str(), &error));
    EXPECT_NE(error.find(row.reasonHas), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_TRUE(HasNoChildren());
  }
  EXPECT_FALSE(StartProgram(nullptr));
  EXPECT_FALSE(StartProgram("zhtext-no-such-program-4711"));  // no error wanted
}

// Restores PATH when it goes out of scope.
class ScopedPath {
 public:
  explicit ScopedPath(const std::string& value) {
    const char* old = std::getenv("PATH");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("PATH", value.c_str(), 1);
  }
  ~ScopedPath() {
    if (had_) {
      setenv("PATH", old_.c_str(), 1);
    } else {
      unsetenv("PATH");
    }
  }

 private:
  bool had_ = false;
  std::string old_;
};

TEST_F(StartProgramTest, SearchesPathPastUnusableEntries) {
  // A PATH directory holding a non-executable "sh" comes first; the search
  // goes on to the real one, as a shell's would.
  const std::string shadow = Path("shadow");
  ASSERT_EQ(mkdir(shadow.c_str(), 0755), 0);
  testing::WriteFile(shadow + "/sh", "not a program");
  ASSERT_EQ(chmod((shadow + "/sh").c_str(), 0644), 0);
  const std::string out = Path("found");
  {
    ScopedPath path(Path("missing") + ":" + shadow + ":/usr/bin:/bin");
    std::string error;
    ASSERT_TRUE(StartProgram(ShellLine("echo found", out).c_str(), &error)) << error;
  }
  std::string content;
  ASSERT_TRUE(WaitForFile(out, &content));
  EXPECT_EQ(content, "found\n");

  // Only the unusable entry: permission is the reason given.
  ScopedPath path(shadow);
  std::string error;
  EXPECT_FALSE(StartProgram("sh -c true", &error));
  EXPECT_NE(error.find(std::strerror(EACCES)), std::string::npos) << error;
}

TEST_F(StartProgramTest, PassesOnNoOtherDescriptors) {
  if (!testing::FileExists("/proc/self/fd")) GTEST_SKIP() << "no /proc";
  // Opened without close-on-exec, as a careless host might.
  // A high number, clear of the low descriptors the shell uses for itself.
  int opened = open(Path("held").c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(opened, 3);
  int fd = fcntl(opened, F_DUPFD, 100);
  close(opened);
  ASSERT_GE(fd, 100);
  const std::string out = Path("fds");
  const std::string n = std::to_string(fd);
  std::string script = "for f in 1 2 " + n +
                       "; do if [ -e /proc/$$/fd/$f ]; then printf 'open '; " +
                       "else printf 'closed '; fi; done";
  ASSERT_TRUE(StartProgram(ShellLine(script, out).c_str()));
  close(fd);
  std::string content;
  ASSERT_TRUE(WaitForFile(out, &content));
  EXPECT_EQ(content, "open open closed ");
}

TEST_F(StartProgramTest, ProgramStartsWithDefaultSignals) {
  if (!testing::FileExists("/proc/self/status")) GTEST_SKIP() << "no /proc";
  sigset_t block, previous;
  sigemptyset(&block);
  sigaddset(&block, SIGTERM);
  sigaddset(&block, SIGUSR1);
  ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &block, &previous), 0);
  struct sigaction ignore, oldPipe, oldHup;
  std::memset(&ignore, 0, sizeof ignore);
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &oldPipe);
  sigaction(SIGHUP, &ignore, &oldHup);
  // cp reads its own status (a shell would reset its mask itself).
  const std::string out = Path("status");
  bool started = StartProgram(("cp /proc/self/status " + out).c_str());
  sigaction(SIGHUP, &oldHup, nullptr);
  sigaction(SIGPIPE, &oldPipe, nullptr);
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  ASSERT_TRUE(started);
  std::string content;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (content.find("nonvoluntary_ctxt_switches") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    SleepMilliseconds(10);
    content = testing::ReadFile(out);
  }
  // Nothing blocked; of the ignored signals only SIGHUP (bit 0) remains.
  EXPECT_NE(content.find("SigBlk:\t0000000000000000\n"), std::string::npos) << content;
  EXPECT_NE(content.find("SigIgn:\t0000000000000001\n"), std::string::npos) << content;
}

TEST_F(StartProgramTest, WorksWhenTheHostIgnoresChildren) {
  struct sigaction ignore, previous;
  std::memset(&ignore, 0, sizeof ignore);
  ignore.sa_handler = SIG_IGN;
  ASSERT_EQ(sigaction(SIGCHLD, &ignore, &previous), 0);
  const std::string out = Path("ignored");
  std::string error;
  bool started = StartProgram(ShellLine("echo yes", out).c_str(), &error);
  bool failed = StartProgram("zhtext-no-such-program-4711", &error);
  sigaction(SIGCHLD, &previous, nullptr);
  EXPECT_TRUE(started);
  EXPECT_FALSE(failed);
  std::string content;
  ASSERT_TRUE(WaitForFile(out, &content));
  EXPECT_EQ(content, "yes\n");
}

TEST(GetExecutablePathTest, NamesThisTestProgram) {
  std::string path;
  ASSERT_TRUE(GetExecutablePath(&path));
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path[0], '/');
  EXPECT_NE(path.find("zhtext_platform_test"), std::string::npos) << path;
  struct stat status;
  ASSERT_EQ(stat(path.c_str(), &status), 0);
  EXPECT_TRUE(S_ISREG(status.st_mode));
}

}  // namespace
}  // namespace platform
}  // namespace zhtext
