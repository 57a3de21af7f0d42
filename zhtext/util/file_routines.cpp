#include "zhtext/util/file_routines.h"

#include <cstring>

#include "zhtext/encoding/field_splitter.h"
#include "zhtext/platform/filesystem.h"
#include "zhtext/platform/stream_seek.h"
#include "zhtext/util/line_reader.h"
#include "zhtext/util/text_mode.h"

namespace zhtext {

namespace {

// Writes `text` up to its first zero byte to a new stream of `path` opened
// by `open`, then closes it. False when any step fails.
template <typename Open, typename Write>
bool WriteWhole(const char* path, const std::string& text, Open open, Write write) {
  if (path == nullptr || path[0] == '\0') return false;
  std::FILE* file = open(path);
  if (file == nullptr) return false;
  const char* bytes = text.c_str();
  const bool written = write(file, bytes, std::strlen(bytes));
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

}  // namespace

std::int64_t GetFileSize(const char* path) {
  platform::FileStatus status;
  if (!platform::GetFileStatus(path, &status)) return -1;
  return status.size;
}

std::int64_t CountLines(std::FILE* stream) {
  if (stream == nullptr) return 0;
  platform::SeekStream(stream, 0);
  std::int64_t count = 0;
  std::string line;
  while (ReadLine(stream, &line)) ++count;
  std::clearerr(stream);
  platform::SeekStream(stream, 0);
  return count;
}

bool AppendTextToFile(const char* path, const std::string& text) {
  return WriteWhole(
      path, text, [](const char* p) { return OpenTextFile(p, "a"); },
      [](std::FILE* f, const char* bytes, std::size_t n) { return WriteText(f, bytes, n); });
}

bool WriteTextToFile(const char* path, const std::string& text) {
  return WriteWhole(
      path, text, [](const char* p) { return std::fopen(p, "wb"); },
      [](std::FILE* f, const char* bytes, std::size_t n) {
        return n == 0 || std::fwrite(bytes, 1, n, f) == n;
      });
}

int ReadFields(std::FILE* stream, int count, std::vector<std::string>& list) {
  std::string line;
  if (stream == nullptr || !ReadLine(stream, &line)) return static_cast<int>(list.size());
  std::vector<std::string> fields;
  int added = 0;
  while (added < count) {
    SplitFields(line.c_str(), "\t ", fields);
    for (std::string& field : fields) {
      if (added == count) break;
      list.push_back(std::move(field));
      ++added;
    }
    if (!ReadLine(stream, &line)) break;
  }
  return static_cast<int>(list.size());
}

}  // namespace zhtext
