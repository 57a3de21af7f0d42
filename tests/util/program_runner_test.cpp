#include "zhtext/util/program_runner.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

#include "tests/support/log_watch.h"
#include "tests/support/temp_dir.h"
#include "zhtext/platform/sleep.h"
#include "zhtext/util/log.h"

namespace zhtext {
namespace {

using testing::TempDir;
using Lines = std::vector<std::string>;

// Polls for `path` (the programs write a temporary name and rename it),
// with a deadline generous enough for a loaded machine.
bool WaitForFile(const std::string& path, std::string* content) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    if (testing::FileExists(path)) {
      *content = testing::ReadFile(path);
      return true;
    }
    platform::SleepMilliseconds(10);
  }
  return false;
}

// True when this process has no child left, not even a zombie.
bool HasNoChildren() {
#ifdef _WIN32
  return true;
#else
  errno = 0;
  return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
#endif
}

class RunProgramTest : public ::testing::Test {
 protected:
  testing::FixedLogClock clock_;
  TempDir dir_;
};

TEST_F(RunProgramTest, StartsTheProgramWithTwoLogEntries) {
  const std::string out = dir_.File("out");
  // The arguments reach the program as they are: no shell reads $HOME, *
  // or ; in them.
  const std::string line = "sh -c \"printf '%s|' \\\"$@\\\" > " + out + ".tmp && mv " + out +
                           ".tmp " + out + "\" sh \"a b\" $HOME '*' ;x";
  testing::LogWatch watch;
  EXPECT_EQ(RunProgram(line.c_str()), 1);
  EXPECT_EQ(watch.Log(), (Lines{line + " start!", line + " start! End!"}));
  EXPECT_TRUE(watch.ErrText().empty());
  EXPECT_EQ(std::string(GetLastMessage()), line + " start! End!");
  std::string content;
  ASSERT_TRUE(WaitForFile(out, &content));
  EXPECT_EQ(content, "a b|$HOME|'*'|;x|");
  EXPECT_TRUE(HasNoChildren());
}

TEST_F(RunProgramTest, ReturnsBeforeTheProgramEnds) {
  const std::string go = dir_.File("go");
  const std::string out = dir_.File("done");
  // The program waits (up to about 60 s) for a file made only after
  // RunProgram has returned.
  const std::string line = "sh -c \"i=0; while [ ! -e " + go +
                           " ] && [ $i -lt 1200 ]; do sleep 0.05; i=$((i+1)); done; echo ok > " +
                           out + ".tmp; mv " + out + ".tmp " + out + "\"";
  EXPECT_EQ(RunProgram(line.c_str()), 1);
  // The intermediate launcher is reaped; the program is not our child.
  EXPECT_TRUE(HasNoChildren());
  testing::WriteFile(go, "");
  std::string content;
  ASSERT_TRUE(WaitForFile(out, &content));
  EXPECT_EQ(content, "ok\n");
  EXPECT_TRUE(HasNoChildren());
}

TEST_F(RunProgramTest, ProgramThatCannotStart) {
  struct Row {
    const char* name;
    const char* line;
    std::string logged;  // the command line as logged
    std::string reasonStart;
  } rows[] = {
      {"missing program", "no-such-program-zhtext x", "no-such-program-zhtext x",
       "cannot start no-such-program-zhtext: "},
      {"empty line", "", "", "empty command line"},
      {"null line", nullptr, "", "empty command line"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::LogWatch watch;
    EXPECT_EQ(RunProgram(row.line), 1);
    EXPECT_EQ(watch.Log(), (Lines{row.logged + " start!", row.logged + " start! End!"}));
    EXPECT_EQ(std::string(GetLastMessage()), row.logged + " start! End!");
    const Lines err = watch.Err();
    ASSERT_EQ(err.size(), 1u);
    EXPECT_EQ(err[0].substr(0, row.reasonStart.size()), row.reasonStart);
    EXPECT_TRUE(HasNoChildren());
  }
}

}  // namespace
}  // namespace zhtext
