#include "tests/support/log_watch.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "tests/support/temp_dir.h"
#include "zhtext/util/log.h"
#include "zhtext/util/internal/log_internal.h"

namespace zhtext {
namespace testing {

namespace {

// All files with `extension` in the log directory, in name order, joined.
std::string ReadAll(const char* extension) {
  std::string dir = GetLogDirectory();
  if (dir.empty()) dir = TestWorkDir();
  std::vector<std::string> paths;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    if (entry.path().extension() == extension) paths.push_back(entry.path().string());
  }
  std::sort(paths.begin(), paths.end());
  std::string text;
  for (const std::string& path : paths) text += ReadFile(path);
  return text;
}

std::vector<std::string> Messages(const std::string& text) {
  std::vector<std::string> messages;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    const std::size_t tab = line.find('\t');
    messages.push_back(tab == std::string::npos ? line : line.substr(tab + 1));
    start = end + 1;
  }
  return messages;
}

std::int64_t FixedTime() { return kFixedLogTime; }

}  // namespace

LogWatch::LogWatch() : log_start_(ReadAll(".log").size()), err_start_(ReadAll(".err").size()) {}

std::string LogWatch::LogText() const { return ReadAll(".log").substr(log_start_); }
std::string LogWatch::ErrText() const { return ReadAll(".err").substr(err_start_); }
std::vector<std::string> LogWatch::Log() const { return Messages(LogText()); }
std::vector<std::string> LogWatch::Err() const { return Messages(ErrText()); }

FixedLogClock::FixedLogClock() { internal::SetLogClockForTesting(&FixedTime); }
FixedLogClock::~FixedLogClock() { internal::SetLogClockForTesting(nullptr); }

}  // namespace testing
}  // namespace zhtext
