// zhtext segment, words and freq, checked against the library run in this
// process on the same dictionary file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"
#include "zhtext/dictionary/pdat.h"

namespace zhtext {
namespace {

using testing::ExpectFailures;
using testing::G;
using testing::Hex;
using testing::RunTool;
using testing::ToolResult;
using testing::U;

// A dictionary file built from UTF-8 words, and the same dictionary loaded.
class ScanCommandTest : public ::testing::Test {
 protected:
  void BuildDict(const std::vector<std::string>& utf8Words, int mode = 0) {
    std::string list;
    for (const std::string& word : utf8Words) list += G(word) + "\n";
    testing::WriteFile(dir_.File("words.txt"), list);
    auto built = std::make_unique<CPDAT>(mode);
    std::FILE* devnull = std::fopen("/dev/null", "w");
    built->ImportWithProgress(dir_.File("words.txt").c_str(), nullptr, devnull);
    if (devnull != nullptr) std::fclose(devnull);
    ASSERT_TRUE(built->Save(dictPath().c_str()));
    dict_ = std::make_unique<CPDAT>(0);
    ASSERT_TRUE(dict_->Load(dictPath().c_str()));
  }

  std::string dictPath() const { return dir_.File("words.dic"); }

  // What Segment gives for the whole text.
  std::string Expected(const std::string& text, int maxLen, char sep) const {
    char* out = nullptr;
    int size = 0;
    dict_->Segment(text.c_str(), nullptr, nullptr, &out, &size, false, maxLen, sep);
    std::string result(out);
    std::free(out);
    return result;
  }

  testing::TempDir dir_;
  std::unique_ptr<CPDAT> dict_;
};

std::string SampleText() { return G(testing::ReadFile(std::string(ZHTEXT_SAMPLE_DIR) + "/text.txt")); }

std::vector<std::string> SampleWords() {
  std::vector<std::string> words;
  const std::string list = testing::ReadFile(std::string(ZHTEXT_SAMPLE_DIR) + "/words.txt");
  std::string word;
  for (char c : list) {
    if (c == '\n') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else if (c != '\r') {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

TEST_F(ScanCommandTest, SegmentWritesWhatSegmentGives) {
  BuildDict(SampleWords());
  const std::string text = SampleText();
  ToolResult r = RunTool({"segment", dictPath()}, text);
  ASSERT_EQ(0, r.exit_code) << r.err;
  EXPECT_EQ("", r.err);
  EXPECT_EQ(Hex(Expected(text, -1, '\t')), Hex(r.out));

  r = RunTool({"segment", dictPath(), "-", "-", "--sep", "/", "--max-len", "4"}, text);
  ASSERT_EQ(0, r.exit_code) << r.err;
  EXPECT_EQ(Hex(Expected(text, 4, '/')), Hex(r.out));

  // Files, and UTF-8 at both ends.
  testing::WriteFile(dir_.File("in.txt"), text);
  r = RunTool({"segment", dictPath(), dir_.File("in.txt"), dir_.File("out.txt"), "--sep=\\n"});
  ASSERT_EQ(0, r.exit_code) << r.err;
  EXPECT_EQ("", r.out);
  EXPECT_EQ(Hex(Expected(text, -1, '\n')), Hex(testing::ReadFile(dir_.File("out.txt"))));
  r = RunTool({"segment", "--utf8", "--sep", " ", dictPath()}, U(text));
  ASSERT_EQ(0, r.exit_code) << r.err;
  EXPECT_EQ(U(Expected(text, -1, ' ')), r.out);
  EXPECT_EQ(0u, r.out.find("春天 的 早晨 ， 城市 "));
}

TEST_F(ScanCommandTest, SegmentReportsCharactersWithoutGbkCode) {
  BuildDict({"中华"});
  // U+E000 has no GBK code; an emoji cannot even be read.
  ToolResult r = RunTool({"segment", "--utf8", "--sep", "/", dictPath()},
                         "中华\xEE\x80\x80\xF0\x9F\x98\x80");
  ASSERT_EQ(0, r.exit_code);
  EXPECT_EQ("中华/\xE3\x80\x80/", r.out);
  EXPECT_NE(std::string::npos, r.err.find("2 characters without a GBK code")) << r.err;
  EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);
}

TEST_F(ScanCommandTest, LargeInputIsSegmentedAsAWhole) {
  BuildDict({"中华", "中华人民共和国", "人民", "共和国", "abc", "3.14", "成立", "了"});
  // About 6 MB: sentences with cut points (unknown characters, delimiters)
  // and a 2 MB stretch of dictionary characters without any.
  std::mt19937 rng(12345);
  const std::vector<std::string> parts = {G("中华"), G("人民"), G("共和国"), G("中华人民"),
                                          "abc", "ab", "3.14", "2.5", " ", "-", G("我"),
                                          G("成立了"), "\n", G("，")};
  std::string text;
  while (text.size() < (std::size_t{2} << 20)) text += parts[rng() % parts.size()];
  while (text.size() < (std::size_t{4} << 20)) text += G("中华人民");
  while (text.size() < (std::size_t{6} << 20)) text += parts[rng() % parts.size()];
  testing::WriteFile(dir_.File("big.txt"), text);
  ToolResult r = RunTool({"segment", dictPath(), dir_.File("big.txt"), dir_.File("big.out")});
  ASSERT_EQ(0, r.exit_code) << r.err;
  EXPECT_NE(std::string::npos, r.err.find("segment: 100%\n")) << r.err;
  const std::string expected = Expected(text, -1, '\t');
  const std::string got = testing::ReadFile(dir_.File("big.out"));
  ASSERT_EQ(expected.size(), got.size());
  EXPECT_TRUE(expected == got);
  // Small inputs show no progress.
  r = RunTool({"segment", dictPath()}, G("中华"));
  EXPECT_EQ("", r.err);
}

TEST_F(ScanCommandTest, SegmentWithHandles) {
  BuildDict({"中华", "人民", "ab"});
  const int zh = dict_->Search(G("中华").c_str()), rm = dict_->Search(G("人民").c_str());
  const std::string text = G("中华\n\tx人民") + "\\" + std::string("ab\x01", 3);
  ToolResult r = RunTool({"segment", "--handles", dictPath()}, text);
  ASSERT_EQ(0, r.exit_code) << r.err;
  EXPECT_EQ(Hex(std::to_string(zh) + "\t" + G("中华") + "\n" +  //
                "-1\t\\n\n" +                                       // the line break
                "-1\t\\t\n" +                                       // the tab (a delimiter)
                "-1\tx\n" +                                         //
                std::to_string(rm) + "\t" + G("人民") + "\n" +     //
                "-1\t\\\\ab\n" +                                    // an ASCII run
                "-1\t\x01\n"),                                      // a control byte
            Hex(r.out));
  r = RunTool({"segment", "--handles", "--utf8", dictPath()}, "人民中华");
  ASSERT_EQ(0, r.exit_code) << r.err;
  EXPECT_EQ(std::to_string(rm) + "\t人民\n" + std::to_string(zh) + "\t中华\n", r.out);
}

TEST_F(ScanCommandTest, HandlesWhenTheTextHoldsEveryByte) {
  // No byte is free to mark the token ends: they are still found.
  BuildDict({"中华", "人民"});
  std::string text = G("中华");
  for (int b = 1; b < 256; ++b) text += static_cast<char>(b);
  text += G("人民");
  char* out = nullptr;
  int outSize = 0;
  int* handles = nullptr;
  int handlesSize = 0;
  const int count =
      dict_->Segment(text.c_str(), &handles, &handlesSize, &out, &outSize, true, -1, '\t');
  std::free(out);
  ToolResult r = RunTool({"segment", "--handles", dictPath()}, text);
  ASSERT_EQ(0, r.exit_code) << r.err;
  std::string joined;
  int lines = 0;
  for (std::size_t pos = 0; pos < r.out.size(); ++lines) {
    const std::size_t end = r.out.find('\n', pos);
    ASSERT_NE(std::string::npos, end);
    const std::string line = r.out.substr(pos, end - pos);
    const std::size_t tab = line.find('\t');
    ASSERT_NE(std::string::npos, tab);
    ASSERT_LT(lines, count);
    EXPECT_EQ(std::to_string(handles[lines]), line.substr(0, tab));
    for (std::size_t i = tab + 1; i < line.size(); ++i) {
      if (line[i] != '\\') {
        joined += line[i];
        continue;
      }
      const char escaped = line[++i];
      joined += escaped == 't' ? '\t' : escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped;
    }
    pos = end + 1;
  }
  std::free(handles);
  EXPECT_EQ(count, lines);
  EXPECT_EQ(Hex(text), Hex(joined));
  EXPECT_EQ(0u, r.out.find("0\t" + G("中华") + "\n"));
}

TEST_F(ScanCommandTest, ZeroBytesArePassedThrough) {
  BuildDict({"中华", "人民"});
  const std::string text = G("中华") + std::string(1, '\0') + G("人民");
  ToolResult r = RunTool({"segment", "--sep", "/", dictPath()}, text);
  ASSERT_EQ(0, r.exit_code) << r.err;
  EXPECT_EQ(Hex(G("中华/") + std::string(1, '\0') + G("人民/")), Hex(r.out));
  r = RunTool({"segment", "--handles", dictPath()}, text);
  EXPECT_EQ("0\t" + G("中华") + "\n-1\t\\0\n1\t" + G("人民") + "\n", r.out);
  r = RunTool({"words", dictPath()}, text);
  EXPECT_EQ("0\t4\t0\t" + G("中华") + "\n5\t4\t1\t" + G("人民") + "\n", r.out);
}

TEST_F(ScanCommandTest, WordsListsMatchWordsRecords) {
  BuildDict({"中华", "中华人民共和国", "人民", "共和国", "民", "abc"});
  const std::string text = G("中华人民共和国") + "xabc abc";
  for (int type : {0, 1, 2}) {
    SCOPED_TRACE(type);
    std::vector<PDAT_MATCH> matches;
    dict_->MatchWords(text.c_str(), matches, type);
    std::string expected;
    for (const PDAT_MATCH& m : matches) {
      expected += std::to_string(m.start) + "\t" + std::to_string(m.length) + "\t" +
                  std::to_string(m.handle) + "\t" +
                  text.substr(static_cast<std::size_t>(m.start), static_cast<std::size_t>(m.length)) +
                  "\n";
    }
    ToolResult r = RunTool({"words", dictPath(), "--type", std::to_string(type)}, text);
    ASSERT_EQ(0, r.exit_code) << r.err;
    EXPECT_EQ(expected, r.out);
    if (type == 0) {
      EXPECT_EQ("0\t14\t1\t" + G("中华人民共和国") + "\n19\t3\t5\tabc\n", r.out);
    }
  }
  testing::WriteFile(dir_.File("in.txt"), text);
  ToolResult r = RunTool({"words", dictPath(), dir_.File("in.txt")});
  ASSERT_EQ(0, r.exit_code);
  EXPECT_EQ("0\t14\t1\t" + G("中华人民共和国") + "\n19\t3\t5\tabc\n", r.out);
  r = RunTool({"words", "--utf8", "--type", "1", dictPath()}, "人民");
  EXPECT_EQ("0\t4\t2\t人民\n2\t2\t4\t民\n", r.out);
}

TEST_F(ScanCommandTest, FreqCountsDictionaryWords) {
  BuildDict({"中国", "中国人", "人民", "c#", "a/b", "北京"});
  const std::string text = G("中国人民 中国中国人 中国。北京我") + " c# a/b c# c#";
  // The tokens: 中国人 民 中国 中国人 中国 。 北京 我 c# a/b c# c# (and the
  // blanks); ties rank in the order of first occurrence.
  ToolResult r = RunTool({"freq", dictPath()}, text);
  ASSERT_EQ(0, r.exit_code) << r.err;
  EXPECT_EQ("c#\t3\n" + G("中国人") + "\t2\n" + G("中国") + "\t2\n" + G("北京") + "\t1\na/b\t1\n",
            r.out);
  r = RunTool({"freq", "--utf8", dictPath()}, U(text));
  ASSERT_EQ(0, r.exit_code) << r.err;
  EXPECT_EQ("c#\t3\n中国人\t2\n中国\t2\n北京\t1\na/b\t1\n", r.out);
  r = RunTool({"freq", "--utf8", "--top", "2", dictPath()}, U(text));
  EXPECT_EQ("c#\t3\n中国人\t2\n", r.out);
  r = RunTool({"freq", "--utf8", "--top", "-1", dictPath()}, "中国中国中国人");
  EXPECT_EQ("中国\t2\n", r.out);
}

TEST_F(ScanCommandTest, UsageAndFailures) {
  BuildDict({"中华"});
  testing::WriteFile(dir_.File("bad.dic"), "not a dictionary");
  ExpectFailures({
      {"segment_no_dict", {"segment"}, 2},
      {"segment_too_many", {"segment", dictPath(), "a", "b", "c"}, 2},
      {"segment_bad_sep", {"segment", dictPath(), "--sep", "ab"}, 2},
      {"segment_non_ascii_sep", {"segment", dictPath(), "--sep", "\xD6"}, 2},
      {"segment_bad_max_len", {"segment", dictPath(), "--max-len", "x"}, 2},
      {"segment_negative_max_len", {"segment", dictPath(), "--max-len", "-3"}, 2},
      {"segment_unknown_option", {"segment", dictPath(), "--fast"}, 2},
      {"segment_missing_dict", {"segment", dir_.File("none.dic")}, 1},
      {"segment_corrupt_dict", {"segment", dir_.File("bad.dic")}, 1},
      {"segment_unreadable_input", {"segment", dictPath(), dir_.File("none.txt")}, 1},
      {"segment_unwritable_output", {"segment", dictPath(), "-", "/nonexistent/out"}, 1},
      {"words_bad_type", {"words", dictPath(), "--type", "3"}, 2},
      {"words_too_many", {"words", dictPath(), "a", "b"}, 2},
      {"words_missing_dict", {"words", dir_.File("none.dic")}, 1},
      {"freq_bad_top", {"freq", dictPath(), "--top", "-2"}, 2},
      {"freq_no_dict", {"freq"}, 2},
      {"freq_unreadable_input", {"freq", dictPath(), dir_.File("none.txt")}, 1},
  }, G("中华"));
}

TEST_F(ScanCommandTest, HelpGoesToStandardOutput) {
  for (const char* command : {"segment", "words", "freq"}) {
    SCOPED_TRACE(command);
    ToolResult r = RunTool({command, "--help"});
    EXPECT_EQ(0, r.exit_code);
    EXPECT_EQ(0u, r.out.find(std::string("usage: zhtext ") + command));
    EXPECT_EQ("", r.err);
  }
  ToolResult r = RunTool({"--help"});
  EXPECT_NE(std::string::npos, r.out.find("segment"));
}

}  // namespace
}  // namespace zhtext
