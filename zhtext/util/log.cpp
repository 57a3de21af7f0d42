#include "zhtext/util/log.h"

#include <atomic>
#include <cstring>
#include <ctime>
#include <mutex>
#include <utility>

#include "zhtext/encoding/gbk_chars.h"
#include "zhtext/platform/filesystem.h"
#include "zhtext/platform/local_time.h"
#include "zhtext/util/internal/log_internal.h"

namespace zhtext {

std::string g_strLastMessage;

namespace {

std::mutex g_message_mutex;

std::atomic<bool> g_logging_enabled{true};

std::int64_t SystemClock() { return static_cast<std::int64_t>(std::time(nullptr)); }

bool SystemDirSource(std::string* dir) { return platform::GetCurrentDir(dir); }

std::atomic<internal::LogClock> g_clock{&SystemClock};
std::atomic<internal::LogDirSource> g_dir_source{&SystemDirSource};

// The first working directory. It is stored once, by the first entry without
// a directory whose fetch succeeds, and never changes afterwards; the mutex
// makes concurrent first entries agree on it. While a fetch fails it stays
// empty and the next entry tries again.
std::mutex g_dir_mutex;
std::string g_first_dir;

std::string FirstWorkingDir() {
  std::lock_guard<std::mutex> lock(g_dir_mutex);
  if (g_first_dir.empty()) {
    std::string dir;
    if (g_dir_source.load()(&dir)) g_first_dir = dir;
  }
  return g_first_dir;
}

struct LogTime {
  char stamp[32];  // "%Y-%m-%d %H:%M:%S"
  char date[16];   // "%Y%m%d"
};

LogTime Now() {
  std::tm tm;
  platform::LocalTime(g_clock.load()(), &tm);  // a zeroed tm on failure
  LogTime t;
  if (std::strftime(t.stamp, sizeof(t.stamp), "%Y-%m-%d %H:%M:%S", &tm) == 0) t.stamp[0] = '\0';
  if (std::strftime(t.date, sizeof(t.date), "%Y%m%d", &tm) == 0) t.date[0] = '\0';
  return t;
}

// "[stamp]" + between + message (cut at its first zero byte) + "\n".
std::string Entry(const char* stamp, char between, const std::string& message) {
  const char* text = message.c_str();
  std::size_t length = std::strlen(text);
  std::string entry;
  entry.reserve(length + 40);
  entry += '[';
  entry += stamp;
  entry += ']';
  entry += between;
  entry.append(text, length);
  entry += '\n';
  return entry;
}

// Whether the last character of `path` (read as GBK, so that the second
// byte of a two-byte character is never taken for one) is a separator, '/'
// or '\\'; also where it starts.
bool EndsInSeparator(const std::string& path, std::size_t* last) {
  std::size_t pos = 0;
  std::size_t start = std::string::npos;
  while (pos < path.size()) {
    start = pos;
    pos += GbkStep(path.data(), pos, path.size());
  }
  if (start == std::string::npos || pos - start != 1) return false;
  *last = start;
  return path[start] == '/' || path[start] == '\\';
}

// Appends the native separator to a non-empty directory unless it already
// ends in a separator character; a final '\\' character stands for the
// native separator (so "logs", "logs/" and "logs\\" are one directory).
void EndWithSeparator(std::string* path) {
  if (path->empty()) return;
  std::size_t last = 0;
  if (!EndsInSeparator(*path, &last)) {
    *path += platform::kPathSeparator;
  } else if ((*path)[last] == '\\') {
    (*path)[last] = platform::kPathSeparator;
  }
}

void WriteAll(std::FILE* stream, const std::string& bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

}  // namespace

namespace internal {

void SetLogClockForTesting(LogClock clock) { g_clock.store(clock ? clock : &SystemClock); }

void SetLogDirSourceForTesting(LogDirSource source) {
  g_dir_source.store(source ? source : &SystemDirSource);
}

void ResetLogDirectoryForTesting() {
  std::lock_guard<std::mutex> lock(g_dir_mutex);
  g_first_dir.clear();
}

}  // namespace internal

void WriteLog(std::string message, const char* directory, bool isError) {
  if (!g_logging_enabled.load()) return;
  const LogTime now = Now();

  // An empty directory (given, or a first working directory that could not
  // be read) leaves the bare file name, relative to the current directory.
  std::string path = directory != nullptr ? std::string(directory) : FirstWorkingDir();
  EndWithSeparator(&path);
  path += now.date;
  path += isError ? ".err" : ".log";

  // One unbuffered write per entry, so that concurrent appenders never
  // interleave within a line, however long it is.
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (file != nullptr) {
    std::setvbuf(file, nullptr, _IONBF, 0);
    WriteAll(file, Entry(now.stamp, '\t', message));
    std::fclose(file);
    return;
  }
  std::string shown = Entry(now.stamp, ' ', message);
  shown += "Cannot write log file ";
  shown += path;
  shown += "!\r\n";
  WriteAll(stdout, shown);
}

void WriteErrorLog(std::string message, const char* directory) {
  WriteLog(std::move(message), directory, true);
}

void WriteLogLine(std::FILE* stream, std::string message) {
  const LogTime now = Now();
  std::string entry = Entry(now.stamp, ' ', message);
  if (stream != nullptr) {
    WriteAll(stream, entry);
    return;
  }
  entry += "Cannot write log file!\r\n";
  WriteAll(stdout, entry);
}

void SetLastMessage(std::string message) {
  std::lock_guard<std::mutex> lock(g_message_mutex);
  g_strLastMessage = std::move(message);
}

const char* GetLastMessage() {
  thread_local std::string copy;
  std::lock_guard<std::mutex> lock(g_message_mutex);
  copy = g_strLastMessage;
  return copy.c_str();
}

void SetLoggingEnabled(bool enabled) { g_logging_enabled.store(enabled); }

bool IsLoggingEnabled() { return g_logging_enabled.load(); }

std::string GetLogDirectory() {
  std::lock_guard<std::mutex> lock(g_dir_mutex);
  return g_first_dir;
}

}  // namespace zhtext
