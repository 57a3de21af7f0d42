// Test entry point: runs every test inside a fresh temporary working
// directory, so that whatever the library writes relative to the working
// directory (the daily log, normalised copies) never lands in the source tree.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace zhtext {
namespace testing {

namespace {
TempDir* g_work_dir = nullptr;
}

const std::string& TestWorkDir() { return g_work_dir->path(); }

}  // namespace testing
}  // namespace zhtext

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  zhtext::testing::TempDir work_dir;
  zhtext::testing::g_work_dir = &work_dir;
  std::filesystem::current_path(work_dir.path());
  int result = RUN_ALL_TESTS();
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  return result;
}
