#include "zhtext/wordlist/vesk_encript.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/temp_dir.h"

namespace zhtext {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// Plain reference: byte i combined with key[(start + i) mod key length].
std::string Reference(const std::string& data, const std::string& key, std::uint64_t start = 0) {
  std::string out = data;
  for (std::size_t i = 0; i < out.size(); ++i) out[i] ^= key[(start + i) % key.size()];
  return out;
}

std::string RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

bool Apply(const CVeskEncript& cipher, std::string& data) {
  return cipher.EncriptBuffer(reinterpret_cast<unsigned char*>(data.data()), data.size());
}

TEST(VeskEncriptBuffer, CombinesEachByteWithTheKeyByteAtItsPosition) {
  struct Row {
    const char* name;
    std::string key;
    std::string data;
    std::string expected;
  };
  const Row rows[] = {
      {"two-byte key: even positions take the first byte, odd the second", "\x01\x02",
       std::string("\x10\x10\x10\x10\x10", 5), std::string("\x11\x12\x11\x12\x11", 5)},
      {"one-byte key: every byte", "\x7F", "abc",
       std::string{static_cast<char>('a' ^ 0x7F), static_cast<char>('b' ^ 0x7F),
                   static_cast<char>('c' ^ 0x7F)}},
      {"key longer than the data", "KEYKEY", "ab",
       std::string{static_cast<char>('a' ^ 'K'), static_cast<char>('b' ^ 'E')}},
      {"data equal to the key gives zero bytes", "xyz", "xyz", std::string(3, '\0')},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CVeskEncript cipher(row.key.c_str());
    EXPECT_EQ(cipher.GetKeyLength(), static_cast<int>(row.key.size()));
    std::string data = row.data;
    ASSERT_TRUE(Apply(cipher, data));
    EXPECT_EQ(testing::Hex(data), testing::Hex(row.expected));
    ASSERT_TRUE(Apply(cipher, data));
    EXPECT_EQ(data, row.data) << "a second application restores the data";
  }
}

TEST(VeskEncriptBuffer, EmptyKeyFailsAndLeavesTheDataAlone) {
  for (const char* key : {"", static_cast<const char*>(nullptr)}) {
    CVeskEncript cipher(key);
    EXPECT_EQ(cipher.GetKeyLength(), 0);
    std::string data = "unchanged";
    EXPECT_FALSE(Apply(cipher, data));
    EXPECT_FALSE(cipher.EncriptString(data));
    EXPECT_EQ(data, "unchanged");
  }
}

TEST(VeskEncriptBuffer, ZeroLengthSucceedsAndChangesNothing) {
  CVeskEncript cipher("k");
  unsigned char byte = 'z';
  EXPECT_TRUE(cipher.EncriptBuffer(&byte, 0));
  EXPECT_TRUE(cipher.EncriptBuffer(nullptr, 0));
  EXPECT_EQ(byte, 'z');
  EXPECT_FALSE(cipher.EncriptBuffer(nullptr, 4));
}

TEST(VeskEncriptBuffer, KeyStopsAtItsZeroByteAndIsCopied) {
  char key[] = "ab\0cd";
  CVeskEncript cipher(key);
  key[0] = 'X';  // the object keeps its own copy
  EXPECT_EQ(cipher.GetKeyLength(), 2);
  std::string data = "0000";
  ASSERT_TRUE(Apply(cipher, data));
  EXPECT_EQ(data, Reference("0000", "ab"));
}

TEST(VeskEncriptBuffer, EveryCallStartsAtKeyPositionZero) {
  const std::string key = "12345";
  CVeskEncript cipher(key.c_str());
  const std::string data = RandomBytes(23, 1);
  const std::string whole = Reference(data, key);
  for (std::size_t split : {std::size_t{5}, std::size_t{10}, std::size_t{3}, std::size_t{7}}) {
    SCOPED_TRACE(split);
    std::string head = data.substr(0, split);
    std::string tail = data.substr(split);
    ASSERT_TRUE(Apply(cipher, head));
    ASSERT_TRUE(Apply(cipher, tail));
    EXPECT_EQ(head + tail == whole, split % key.size() == 0);
  }
}

TEST(VeskEncriptBuffer, PositionedPiecesMatchTheWholeBuffer) {
  const std::string key = RandomBytes(136, 2);
  std::string safeKey = key;
  for (char& c : safeKey) {
    if (c == '\0') c = 'x';
  }
  CVeskEncript cipher(safeKey.c_str());
  const std::string data = RandomBytes(1000, 3);
  const std::string whole = Reference(data, safeKey);
  std::string pieces;
  std::size_t cuts[] = {0, 1, 136, 137, 500, 999, 1000};
  for (std::size_t i = 0; i + 1 < sizeof(cuts) / sizeof(cuts[0]); ++i) {
    std::string piece = data.substr(cuts[i], cuts[i + 1] - cuts[i]);
    ASSERT_TRUE(cipher.EncriptBuffer(reinterpret_cast<unsigned char*>(piece.data()), piece.size(),
                                     cuts[i]));
    pieces += piece;
  }
  EXPECT_EQ(pieces, whole);
}

TEST(VeskEncriptBuffer, PositionsBeyondFourGibibytesUseTheFullOffset) {
  // 136 does not divide 2^31 or 2^32, so a position cut to 32 bits (or to a
  // signed 32-bit length) would pick other key bytes.
  const std::string key = RandomBytes(136, 4);
  std::string safeKey = key;
  for (char& c : safeKey) {
    if (c == '\0') c = 'q';
  }
  CVeskEncript cipher(safeKey.c_str());
  const std::string data = RandomBytes(300, 5);
  for (std::uint64_t position : {std::uint64_t{1} << 31, (std::uint64_t{1} << 32) + 7,
                                 (std::uint64_t{1} << 40) + 135}) {
    SCOPED_TRACE(position);
    std::string piece = data;
    ASSERT_TRUE(cipher.EncriptBuffer(reinterpret_cast<unsigned char*>(piece.data()), piece.size(),
                                     position));
    EXPECT_EQ(piece, Reference(data, safeKey, position));
  }
}

TEST(VeskEncriptString, AppliesToEveryByteIncludingZeros) {
  CVeskEncript cipher("ab");
  std::string text("x\0y\0", 4);
  ASSERT_TRUE(cipher.EncriptString(text));
  EXPECT_EQ(text, Reference(std::string("x\0y\0", 4), "ab"));
  std::string empty;
  EXPECT_TRUE(cipher.EncriptString(empty));
  EXPECT_TRUE(empty.empty());
}

class VeskEncriptFiles : public ::testing::Test {
 protected:
  TempDir dir_;
  const std::string key_ = "k3y!";
  CVeskEncript cipher_{key_.c_str()};
};

TEST_F(VeskEncriptFiles, EmptySourceGivesAnEmptyDestination) {
  const std::string src = dir_.File("empty"), dst = dir_.File("empty.enc");
  WriteFile(src, "");
  ASSERT_TRUE(cipher_.EncriptFile(src.c_str(), dst.c_str()));
  ASSERT_TRUE(testing::FileExists(dst));
  EXPECT_EQ(ReadFile(dst), "");
}

TEST_F(VeskEncriptFiles, TwiceInARowRestoresTheSource) {
  // Longer than one read piece and not a multiple of the key length, so the
  // key position must carry over from piece to piece.
  const std::string data = RandomBytes((1 << 20) * 2 + 1001, 6);
  const std::string src = dir_.File("src"), copy = dir_.File("copy"), back = dir_.File("back");
  WriteFile(src, data);
  ASSERT_TRUE(cipher_.EncriptFile(src.c_str(), copy.c_str()));
  EXPECT_TRUE(ReadFile(copy) == Reference(data, key_));
  ASSERT_TRUE(cipher_.EncriptFile(copy.c_str(), back.c_str()));
  EXPECT_TRUE(ReadFile(back) == data);
}

TEST_F(VeskEncriptFiles, FileThatCannotBeOpenedFails) {
  const std::string missing = dir_.File("missing"), dst = dir_.File("dst");
  EXPECT_FALSE(cipher_.EncriptFile(missing.c_str(), dst.c_str()));
  EXPECT_FALSE(testing::FileExists(dst)) << "a missing source creates no destination";

  const std::string src = dir_.File("src");
  WriteFile(src, "data");
  EXPECT_FALSE(cipher_.EncriptFile(src.c_str(), dir_.path().c_str()));  // a directory
  EXPECT_FALSE(cipher_.EncriptFile(src.c_str(), dir_.File("no/such/dir").c_str()));
  EXPECT_FALSE(cipher_.EncriptFile(nullptr, dst.c_str()));
}

TEST_F(VeskEncriptFiles, StreamIsReadFromItsStartAndLeftAtItsEnd) {
  const std::string data = RandomBytes(5000, 7);
  const std::string src = dir_.File("src"), out = dir_.File("out");
  WriteFile(src, data);
  std::FILE* in = std::fopen(src.c_str(), "rb");
  ASSERT_NE(in, nullptr);
  std::fseek(in, 1234, SEEK_SET);
  ASSERT_TRUE(cipher_.EncriptStream(in, out.c_str()));
  EXPECT_EQ(std::fgetc(in), EOF);
  EXPECT_TRUE(std::feof(in));
  std::fclose(in);
  EXPECT_TRUE(ReadFile(out) == Reference(data, key_));
}

TEST_F(VeskEncriptFiles, NullStreamFailsWithoutCreatingTheOutput) {
  const std::string out = dir_.File("out");
  EXPECT_FALSE(cipher_.EncriptStream(nullptr, out.c_str()));
  EXPECT_FALSE(testing::FileExists(out));
}

TEST_F(VeskEncriptFiles, FailedReadIsReportedAsFailure) {
  // A stream open only for writing cannot be read: the result must not be
  // an empty "enciphered" file reported as success.
  const std::string path = dir_.File("write-only"), out = dir_.File("out");
  WriteFile(path, "some data");
  std::FILE* in = std::fopen(path.c_str(), "ab");
  ASSERT_NE(in, nullptr);
  EXPECT_FALSE(cipher_.EncriptStream(in, out.c_str()));
  std::fclose(in);
}

TEST_F(VeskEncriptFiles, FailedWriteIsReportedAsFailure) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const std::string src = dir_.File("src");
  WriteFile(src, RandomBytes(100000, 8));
  EXPECT_FALSE(cipher_.EncriptFile(src.c_str(), "/dev/full"));
  std::FILE* in = std::fopen(src.c_str(), "rb");
  ASSERT_NE(in, nullptr);
  EXPECT_FALSE(cipher_.EncriptStream(in, "/dev/full"));
  std::fclose(in);
}

// A sparse file: its holes take no disk space and read as zeros. The
// output goes to the null device, so nothing large is written; the key
// positions beyond 2^31 are checked byte by byte above. Reading 2 GiB still
// takes seconds, so the test runs only when ZHTEXT_LARGE_TESTS is set.
TEST_F(VeskEncriptFiles, StreamLongerThanTwoGibibytesIsReadToItsEnd) {
  if (std::getenv("ZHTEXT_LARGE_TESTS") == nullptr) {
    GTEST_SKIP() << "set ZHTEXT_LARGE_TESTS=1 to read a 2 GiB sparse file";
  }
  if (!std::filesystem::exists("/dev/null")) GTEST_SKIP() << "no /dev/null";
  const std::string path = dir_.File("sparse");
  const std::uint64_t size = (std::uint64_t{1} << 31) + 4099;
  WriteFile(path, "");
  std::error_code ec;
  std::filesystem::resize_file(path, size, ec);
  if (ec) GTEST_SKIP() << "cannot make a sparse file: " << ec.message();
  {
    std::fstream tail(path, std::ios::in | std::ios::out | std::ios::binary);
    tail.seekp(static_cast<std::streamoff>(size - 3));
    tail.write("end", 3);
  }
  std::FILE* in = std::fopen(path.c_str(), "rb");
  ASSERT_NE(in, nullptr);
  EXPECT_TRUE(cipher_.EncriptStream(in, "/dev/null"));
  EXPECT_EQ(std::fgetc(in), EOF) << "the whole stream was read";
  EXPECT_TRUE(std::feof(in));
  std::fclose(in);
}

}  // namespace
}  // namespace zhtext
