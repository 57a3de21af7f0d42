#include "zhtext/util/gbk_literal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/gbk_text.h"

namespace zhtext {
namespace {

// Constant-initialised: usable before main and from any static initialiser.
const GbkLiteral kSample("中文 abc ○〇");

TEST(GbkLiteral, ConvertsOnceToGbk) {
  EXPECT_EQ(testing::Hex(kSample.c_str()), "D6 D0 CE C4 20 61 62 63 20 A1 F0 A9 96");
  EXPECT_EQ(kSample.size(), 13u);
  EXPECT_EQ(kSample.c_str(), kSample.c_str());
  EXPECT_STREQ(kSample.utf8(), "中文 abc ○〇");
  const char* asPointer = kSample;
  EXPECT_EQ(asPointer, kSample.c_str());
}

TEST(GbkLiteral, EmptyText) {
  static const GbkLiteral empty("");
  EXPECT_STREQ(empty.c_str(), "");
  EXPECT_EQ(empty.size(), 0u);
}

TEST(GbkLiteral, FirstUseFromManyThreadsSeesOneConversion) {
  static const GbkLiteral shared("北京市海淀区");
  const std::string expected = testing::G("北京市海淀区");
  std::vector<const char*> seen(8, nullptr);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&, i] { seen[i] = shared.c_str(); });
  }
  for (std::thread& t : threads) t.join();
  for (const char* p : seen) {
    EXPECT_EQ(p, seen[0]);
    EXPECT_EQ(std::string(p), expected);
  }
  EXPECT_EQ(shared.size(), expected.size());
}

}  // namespace
}  // namespace zhtext
