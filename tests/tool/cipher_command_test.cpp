#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"
#include "zhtext/wordlist/cipher_keys.h"
#include "zhtext/wordlist/vesk_encript.h"

namespace zhtext {
namespace {

using testing::ExpectFailures;
using testing::Hex;
using testing::ReadFile;
using testing::RunTool;
using testing::TempDir;
using testing::ToolResult;
using testing::WriteFile;

std::string Enciphered(std::string data, const char* key) {
  CVeskEncript cipher(key);
  cipher.EncriptString(data);
  return data;
}

class CipherCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteFile(in_, data_); }

  TempDir dir_;
  // Longer than the word list key, with zero bytes and GBK text.
  const std::string data_ = std::string(300, 'a') + std::string("\0\x01", 2) + testing::G("中文");
  const std::string in_ = dir_.File("in.bin");
};

TEST_F(CipherCommandTest, EnciphersWithTheWordListKeyAndDeciphersAgain) {
  const std::string out = dir_.File("out.bin");
  const std::string back = dir_.File("back.bin");
  ToolResult r = RunTool({"cipher", in_, out});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Hex(ReadFile(out)), Hex(Enciphered(data_, WordListKey())));
  r = RunTool({"cipher", out, back});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(Hex(ReadFile(back)), Hex(data_));

  // Standard input as IN.
  const std::string piped = dir_.File("piped.bin");
  r = RunTool({"cipher", "-", piped}, data_);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(ReadFile(piped), ReadFile(out));
}

TEST_F(CipherCommandTest, KeyFileGivesTheKeyWithoutItsLineBreak) {
  struct Row {
    const char* name;
    std::string file;
    const char* key;
  } rows[] = {
      {"plain", "k3y", "k3y"},
      {"LF dropped", "k3y\n", "k3y"},
      {"CR LF dropped", "k3y\r\n", "k3y"},
      {"only one line break dropped", "k3y\n\n", "k3y\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string keyFile = dir_.File("key.txt");
    const std::string out = dir_.File("keyed.bin");
    WriteFile(keyFile, row.file);
    ToolResult r = RunTool({"cipher", "--key-file", keyFile, in_, out});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(Hex(ReadFile(out)), Hex(Enciphered(data_, row.key)));
  }
}

TEST_F(CipherCommandTest, UsageAndFileErrors) {
  const std::string out = dir_.File("out.bin");
  const std::string emptyKey = dir_.File("empty.key");
  const std::string zeroKey = dir_.File("zero.key");
  WriteFile(emptyKey, "\r\n");
  WriteFile(zeroKey, std::string("a\0b", 3));
  ExpectFailures({
      {"no_files", {"cipher"}, 2},
      {"one_file", {"cipher", in_}, 2},
      {"three_files", {"cipher", in_, out, out}, 2},
      {"unknown_option", {"cipher", "--key", "x", in_, out}, 2},
      {"key_file_without_value", {"cipher", in_, out, "--key-file"}, 2},
      {"out_is_standard_output", {"cipher", in_, "-"}, 2},
      {"out_is_in", {"cipher", in_, in_}, 2},
      {"missing_in", {"cipher", dir_.File("none.bin"), out}, 1},
      {"unwritable_out", {"cipher", in_, "/nonexistent/out.bin"}, 1},
      {"missing_key_file", {"cipher", "--key-file", dir_.File("none.key"), in_, out}, 1},
      {"empty_key_file", {"cipher", "--key-file", emptyKey, in_, out}, 1},
      {"key_file_with_zero_byte", {"cipher", "--key-file", zeroKey, in_, out}, 1},
  });
  EXPECT_EQ(ReadFile(in_), data_) << "IN is never overwritten";
  EXPECT_FALSE(testing::FileExists(out)) << "no failed run leaves OUT behind";
}

TEST_F(CipherCommandTest, HelpGoesToStandardOutput) {
  ToolResult r = RunTool({"cipher", "--help"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out.find("usage: zhtext cipher"), 0u) << r.out;
  EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace zhtext
