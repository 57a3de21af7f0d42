#include "zhtext/encoding/path_ops.h"

#include <cstring>

#include "zhtext/encoding/gbk_chars.h"
#include "zhtext/platform/filesystem.h"

namespace zhtext {

namespace {

// Position of the last separator character ('/' or '\\') in text[0..len),
// or npos; `runStart` (when given) receives where the run of separator
// characters that ends with it starts. The text is read by characters, so
// the second byte of a two-byte character (81 5C holds '\\') is no
// separator.
std::size_t LastSeparator(const char* text, std::size_t len, std::size_t* runStart = nullptr) {
  std::size_t last = std::string::npos;
  std::size_t run = std::string::npos;
  bool inRun = false;
  for (std::size_t i = 0; i < len;) {
    const std::size_t step = GbkStep(text, i, len);
    if (step == 1 && platform::IsPathSeparator(text[i])) {
      if (!inRun) run = i;
      inRun = true;
      last = i;
    } else {
      inRun = false;
    }
    i += step;
  }
  if (runStart != nullptr) *runStart = run;
  return last;
}

}  // namespace

void JoinPath(char* dst, const char* dir, const char* name) {
  std::size_t nameLen = std::strlen(name);
  if (dir != nullptr && dir[0] != '\0') {
    std::size_t dirLen = std::strlen(dir);
    std::memmove(dst + dirLen + 1, name, nameLen + 1);
    std::memmove(dst, dir, dirLen);
    dst[dirLen] = '/';
  } else {
    std::memmove(dst, name, nameLen + 1);
  }
}

char* GetFileTitle(const char* path, char* title) {
  std::size_t len = std::strlen(path);
  std::size_t sep = LastSeparator(path, len);
  const char* base = sep == std::string::npos ? path : path + sep + 1;
  std::size_t titleLen = std::strcspn(base, ".");
  std::memmove(title, base, titleLen);
  title[titleLen] = '\0';
  return title;
}

void SplitPath(const char* path, std::string& dir, std::string& name, std::string& ext) {
  dir.clear();
  name.clear();
  ext.clear();
  std::string copy(path != nullptr ? path : "");
  std::size_t dot = copy.rfind('.');
  if (dot != std::string::npos) {
    ext = copy.substr(dot + 1);
    copy.resize(dot);
  }
  std::size_t runStart = 0;
  std::size_t sep = LastSeparator(copy.data(), copy.size(), &runStart);
  if (sep == std::string::npos) {
    name = copy;
    dir = ".";
    return;
  }
  name = copy.substr(sep + 1);
  dir = copy.substr(0, runStart);
}

char* SplitDirFile(const char* path, char* dir, char* file) {
  std::size_t len = std::strlen(path);
  std::size_t sep = LastSeparator(path, len);
  if (sep == std::string::npos) {
    if (!platform::GetCurrentDir(dir, kSplitDirSize)) dir[0] = '\0';
    std::memmove(file, path, len + 1);
    return file;
  }
  std::memmove(file, path + sep + 1, len - sep);
  if (sep < kSplitDirSize) {
    std::memmove(dir, path, sep);
    dir[sep] = '\0';
  } else {
    dir[0] = '\0';
  }
  return file;
}

}  // namespace zhtext
