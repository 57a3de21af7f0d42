// Reading what the library logged, for tests: a LogWatch returns the
// messages appended to the day's ".log" and ".err" files of the log
// directory (entries written without a directory) since it was made, with
// their time stamps removed. FixedLogClock pins the log's clock to one day,
// so that all entries land in the same files.
#ifndef ZHTEXT_TESTS_SUPPORT_LOG_WATCH_H_
#define ZHTEXT_TESTS_SUPPORT_LOG_WATCH_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zhtext {
namespace testing {

class LogWatch {
 public:
  LogWatch();

  // Messages of the entries added since construction (the text after each
  // entry's TAB; a message with line feeds gives several elements).
  std::vector<std::string> Log() const;
  std::vector<std::string> Err() const;

  // The raw text added since construction (stamps included).
  std::string LogText() const;
  std::string ErrText() const;

 private:
  std::size_t log_start_;
  std::size_t err_start_;
};

// While alive, the log's clock reads kFixedLogTime (2024-01-05 12:34:56
// UTC), so that all entries of a test go to one day's files.
class FixedLogClock {
 public:
  FixedLogClock();
  ~FixedLogClock();
  FixedLogClock(const FixedLogClock&) = delete;
  FixedLogClock& operator=(const FixedLogClock&) = delete;
};

inline constexpr std::int64_t kFixedLogTime = 1704458096;

}  // namespace testing
}  // namespace zhtext

#endif  // ZHTEXT_TESTS_SUPPORT_LOG_WATCH_H_
