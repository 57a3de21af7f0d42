#include "zhtext/util/path_routines.h"

#include <cstring>

#include "zhtext/platform/filesystem.h"
#include "zhtext/util/internal/gbk_find.h"

namespace zhtext {

namespace {

const char* LastSeparator(const char* path) {
  return internal::FindLastGbkByte(path, platform::IsPathSeparator);
}

}  // namespace

char* JoinPathBackslash(const char* dir, const char* name, char* out) {
  if (dir == nullptr) dir = "";
  if (name == nullptr) name = "";
  const std::size_t dirLen = std::strlen(dir);
  const std::size_t nameLen = std::strlen(name);
  // memmove: `out` may be one of the inputs.
  std::memmove(out + dirLen + 1, name, nameLen + 1);
  std::memmove(out, dir, dirLen);
  out[dirLen] = platform::kPathSeparator;
  return out;
}

std::string GetDirectoryPart(const char* path) {
  if (path == nullptr) return std::string();
  const char* last = LastSeparator(path);
  return last == nullptr ? std::string() : std::string(path, last + 1);
}

const char* MakeDirectories(const char* baseDir, const char* relPath, std::string& fullPath) {
  if (relPath == nullptr) relPath = "";
  fullPath = baseDir != nullptr ? baseDir : "";
  fullPath += relPath;
  if (baseDir != nullptr && baseDir[0] != '\0' && !platform::ChangeDir(baseDir)) {
    return fullPath.c_str();
  }
  const char* last = LastSeparator(relPath);
  if (last == nullptr) return fullPath.c_str();

  const std::string dirs(relPath, last);
  std::size_t start = 0;
  while (start < dirs.size()) {
    const char* sep = internal::FindGbkByte(dirs.c_str() + start, platform::IsPathSeparator);
    const std::size_t end =
        sep == nullptr ? dirs.size() : static_cast<std::size_t>(sep - dirs.c_str());
    if (end > start) {
      const std::string part = dirs.substr(start, end - start);
      platform::MakeDir(part.c_str());  // an existing directory is fine
      if (!platform::ChangeDir(part.c_str())) break;
    }
    start = end + 1;
  }
  return fullPath.c_str();
}

}  // namespace zhtext
