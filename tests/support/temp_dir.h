// Temporary directories and small file helpers for tests. Every test that
// writes files does so under a TempDir, never in the source tree.
#ifndef ZHTEXT_TESTS_SUPPORT_TEMP_DIR_H_
#define ZHTEXT_TESTS_SUPPORT_TEMP_DIR_H_

#include <string>

namespace zhtext {
namespace testing {

// A fresh, empty directory under the system's temporary directory, removed
// with its contents when the object is destroyed.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name.
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

// Whole-file helpers; ReadFile returns an empty string for a missing file.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// The directory all tests run in: a TempDir made by the test main before any
// test starts, so that library logs written without a directory land there.
const std::string& TestWorkDir();

}  // namespace testing
}  // namespace zhtext

#endif  // ZHTEXT_TESTS_SUPPORT_TEMP_DIR_H_
