#include "zhtext/platform/filesystem.h"

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zhtext {
namespace platform {

namespace {

void FillStatus(const struct stat& st, FileStatus* status) {
  status->size = static_cast<std::int64_t>(st.st_size);
  status->is_directory = S_ISDIR(st.st_mode);
  status->is_regular = S_ISREG(st.st_mode);
  status->modified = static_cast<std::int64_t>(st.st_mtime);
}

}  // namespace

bool FileNamesAreCaseSensitive() { return true; }

bool GetCurrentDir(std::string* dir) {
  std::string buffer(256, '\0');
  for (;;) {
    if (getcwd(&buffer[0], buffer.size()) != nullptr) {
      buffer.resize(std::strlen(buffer.c_str()));
      *dir = std::move(buffer);
      return true;
    }
    if (errno != ERANGE || buffer.size() > (1u << 20)) {
      dir->clear();
      return false;
    }
    buffer.resize(buffer.size() * 2);
  }
}

bool GetCurrentDir(char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return false;
  if (getcwd(buffer, size) == nullptr) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

bool ChangeDir(const char* dir) { return dir != nullptr && chdir(dir) == 0; }

bool MakeDir(const char* dir) { return dir != nullptr && mkdir(dir, 0777) == 0; }

bool GetFileStatus(const char* path, FileStatus* status) {
  struct stat st;
  if (path == nullptr || stat(path, &st) != 0) return false;
  FillStatus(st, status);
  return true;
}

bool GetStreamStatus(std::FILE* stream, FileStatus* status) {
  if (stream == nullptr) return false;
  int fd = fileno(stream);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) return false;
  FillStatus(st, status);
  return true;
}

}  // namespace platform
}  // namespace zhtext
