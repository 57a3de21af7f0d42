// Scanning text with the dictionary: Segment (rule by rule, and token for
// token against the plain reference segmenter on generated sentences),
// SegmentFile, MatchWords, FindWords and SpotWords.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/dictionary/pdat_test_helpers.h"
#include "tests/support/gbk_text.h"
#include "tests/support/reference_segmenter.h"
#include "tests/support/temp_dir.h"
#include "zhtext/dictionary/pdat.h"

namespace zhtext {
namespace testing {
namespace {

// A dictionary of UTF-8 words (converted to GBK), built.
std::unique_ptr<PeekPdat> Dict(int mode, const std::vector<std::string>& utf8Words) {
  std::vector<std::string> words;
  for (const std::string& word : utf8Words) words.push_back(G(word));
  return BuildDict(mode, words);
}

struct Segmented {
  std::string out;
  std::vector<int> handles;
  int count = 0;
};

// Segment with caller buffers (handles only when `withHandles`).
Segmented RunSegment(const CPDAT& dict, const std::string& text, bool withHandles, bool allHandles,
                     int maxLen, char sep) {
  char* out = nullptr;
  int outSize = 0;
  int* handles = nullptr;
  int handlesSize = 0;
  Segmented result;
  result.count = dict.Segment(text.c_str(), withHandles ? &handles : nullptr,
                              withHandles ? &handlesSize : nullptr, &out, &outSize, allHandles,
                              maxLen, sep);
  result.out = out;
  if (withHandles) result.handles.assign(handles, handles + result.count);
  std::free(out);
  std::free(handles);
  return result;
}

// The handles of UTF-8 words in `dict` ("-" stands for -1).
std::vector<int> HandlesOf(const CPDAT& dict, const std::vector<std::string>& words) {
  std::vector<int> handles;
  for (const std::string& word : words) {
    handles.push_back(word == "-" ? -1 : dict.Search(G(word).c_str()));
  }
  return handles;
}

const std::vector<std::string> kWords = {
    "中华", "中华人民共和国", "人民", "共和国", "成立", "了", "abc", "3.14",
    "北京", "北京大学", "大学", "生"};

// ---- Segment, rule by rule -----------------------------------------------------

struct SegmentCase {
  const char* name;
  int mode;
  std::string text;      // GBK
  int maxLen;
  std::string expected;  // GBK, tokens followed by '/'
  std::vector<std::string> handles;  // UTF-8 words of the handles, all tokens ("-": -1)
};

TEST(PdatSegmentTest, FollowsForwardMaximumMatching) {
  const SegmentCase cases[] = {
      {"only_words", 0, G("中华人民共和国成立了"), -1, G("中华人民共和国/成立/了/"),
       {"中华人民共和国", "成立", "了"}},
      {"pending_word_after_longer_prefix", 0, G("中华人民"), -1, G("中华/人民/"),
       {"中华", "人民"}},
      {"no_code_rescans_the_rest", 0, G("中华人民万岁"), -1, G("中华/人民/万/岁/"),
       {"中华", "人民", "-", "-"}},
      {"failed_step_falls_back", 0, G("北京大人"), -1, G("北京/大/人/"), {"北京", "-", "-"}},
      {"leaf_emitted_at_once", 0, G("北京大学生"), -1, G("北京大学/生/"), {"北京大学", "生"}},
      {"unknown_ascii_run_is_one_token", 0, "hello2024", -1, "hello2024/", {"-"}},
      {"ascii_after_a_word", 0, "abcd", -1, "abc/d/", {"abc", "-"}},
      {"ascii_prefix_that_is_no_word", 0, "abxy", -1, "abxy/", {"-"}},
      {"ascii_run_cut_at_delimiters", 0, "foo-bar baz", -1, "foo/-/bar/ /baz/",
       {"-", "-", "-", "-", "-"}},
      {"word_with_a_delimiter", 0, "3.145", -1, "3.14/5/", {"3.14", "-"}},
      {"number_cut_at_dot", 0, "2.5", -1, "2/./5/", {"-", "-", "-"}},
      {"ascii_run_stops_at_chinese", 0, G("ok中华"), -1, G("ok/中华/"), {"-", "中华"}},
      // Control bytes end an ASCII run and are tokens of their own.
      {"line_feeds_are_tokens_of_their_own", 0, G("中华\n\nab人民"), -1, G("中华/\n/\n/ab/人民/"),
       {"中华", "-", "-", "-", "人民"}},
      {"line_feed_ends_an_ascii_run", 0, "use tcp\nport 80", -1, "use/ /tcp/\n/port/ /80/",
       {"-", "-", "-", "-", "-", "-", "-"}},
      {"cr_lf", 0, "a\r\nb\r\n", -1, "a/\r/\n/b/\r/\n/", {"-", "-", "-", "-", "-", "-"}},
      {"other_control_bytes", 0, "x\x01y\x1B[1m\x7F", -1, "x/\x01/y/\x1B/[1m\x7F/",
       {"-", "-", "-", "-", "-"}},
      {"pending_start_character_then_line_feed", 0, "ab\nc", -1, "ab/\n/c/", {"-", "-", "-"}},
      {"word_then_line_feed", 0, "abc\nabc", -1, "abc/\n/abc/", {"abc", "-", "abc"}},
      {"capitals_folded", 0, "ABC", -1, "ABC/", {"abc"}},
      {"lone_lead_byte_at_end", 0, G("中华") + "\xD6", -1, G("中华/") + "\xD6/", {"中华", "-"}},
      {"max_len_4", 0, G("中华人民共和国"), 4, G("中华/人民/共和国/"),
       {"中华", "人民", "共和国"}},
      {"max_len_0_is_no_limit", 0, G("中华人民共和国"), 0, G("中华人民共和国/"),
       {"中华人民共和国"}},
      {"max_len_2_single_characters", 0, G("北京大学"), 2, G("北京/大学/"), {"北京", "大学"}},
      {"mode2_separator_token", 2, G("中华，、人民"), -1, G("中华/，、/人民/"),
       {"中华", "-", "人民"}},
      {"mode2_full_width_letters", 2, G("ＡＢＣ"), -1, G("ＡＢＣ/"), {"abc"}},
      {"mode1_single_bytes", 1, "abcx", -1, "abc/x/", {"abc", "-"}},
      {"empty_text", 0, "", -1, "", {}},
  };
  for (const SegmentCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto dict = Dict(c.mode, kWords);
    const std::vector<int> all = HandlesOf(*dict, c.handles);
    std::vector<int> words;
    for (int h : all) {
      if (h != -1) words.push_back(h);
    }
    Segmented withAll = RunSegment(*dict, c.text, true, true, c.maxLen, '/');
    EXPECT_EQ(Hex(c.expected), Hex(withAll.out));
    EXPECT_EQ(all, withAll.handles);
    Segmented wordsOnly = RunSegment(*dict, c.text, true, false, c.maxLen, '/');
    EXPECT_EQ(Hex(c.expected), Hex(wordsOnly.out));
    EXPECT_EQ(words, wordsOnly.handles);
    Segmented noHandles = RunSegment(*dict, c.text, false, true, c.maxLen, '/');
    EXPECT_EQ(Hex(c.expected), Hex(noHandles.out));
    EXPECT_EQ(0, noHandles.count);
    EXPECT_EQ(U(c.expected), U(dict->Segment(c.text.c_str(), c.maxLen, '/')));
  }
}

TEST(PdatSegmentTest, MaxLenMayBePassedByTheLastCharacter) {
  // With a limit of 3 bytes the walk stops after reading more than 3: the
  // 4-byte word found then is emitted whole.
  auto dict = Dict(0, {"中华", "中华人民"});
  EXPECT_EQ(U(G("中华/人/民/")), U(RunSegment(*dict, G("中华人民"), false, false, 3, '/').out));
  EXPECT_EQ(U(G("中华人民/")), U(RunSegment(*dict, G("中华人民"), false, false, 8, '/').out));
}

TEST(PdatSegmentTest, DictionaryWithoutCellsEmitsCharacters) {
  auto dict = std::make_unique<PeekPdat>(0);
  EXPECT_EQ(U(G("中/a/-/b/")), U(RunSegment(*dict, G("中a-b"), true, true, -1, '/').out));
  dict->AddWord("ab", false);  // collecting, never built
  Segmented r = RunSegment(*dict, "ab cd", true, true, -1, '|');
  EXPECT_EQ("ab| |cd|", r.out);
  EXPECT_EQ((std::vector<int>{-1, -1, -1}), r.handles);
}

TEST(PdatSegmentTest, SizesCallerBuffers) {
  auto dict = Dict(0, kWords);
  const std::string text = G("中华人民共和国");  // 14 bytes
  char* out = nullptr;
  int outSize = 0;
  int* handles = nullptr;
  int handlesSize = 0;
  EXPECT_EQ(1, dict->Segment(text.c_str(), &handles, &handlesSize, &out, &outSize, true, -1, ' '));
  EXPECT_EQ(6 * 14 + 1, outSize);
  EXPECT_EQ(14 + 2, handlesSize);
  // Big enough buffers are kept as they are.
  char* before = out;
  EXPECT_EQ(2, dict->Segment(G("中华人民").c_str(), &handles, &handlesSize, &out, &outSize, true,
                             -1, ' '));
  EXPECT_EQ(before, out);
  EXPECT_EQ(6 * 14 + 1, outSize);
  EXPECT_EQ(16, handlesSize);
  EXPECT_EQ(U(G("中华 人民 ")), U(out));
  // A null or empty text gives an empty output.
  EXPECT_EQ(0, dict->Segment(nullptr, &handles, &handlesSize, &out, &outSize, true, -1, ' '));
  EXPECT_STREQ("", out);
  // No output buffer: nothing to do.
  EXPECT_EQ(0, dict->Segment(text.c_str(), &handles, &handlesSize, nullptr, &outSize, true, -1, ' '));
  std::free(out);
  std::free(handles);
}

TEST(PdatSegmentTest, WorkBufferHoldsTheLastResult) {
  auto dict = Dict(0, kWords);
  const char* first = dict->Segment(G("北京大学").c_str(), -1, '\t');
  EXPECT_EQ(U(G("北京大学\t")), U(first));
  const char* second = dict->Segment(G("成立了").c_str(), -1, '\t');
  EXPECT_EQ(U(G("成立\t了\t")), U(second));
}

// ---- Segment against the reference --------------------------------------------

// Two-byte characters: a small alphabet of hanzi (so that words share
// prefixes), and hanzi that no word holds.
std::string Hanzi(int lead, int trail) {
  return std::string{static_cast<char>(lead), static_cast<char>(trail)};
}

struct Generated {
  std::vector<std::string> words;
  std::vector<std::string> sentences;
};

Generated Generate(unsigned seed, int sentences) {
  std::mt19937 rng(seed);
  auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  std::vector<std::string> alphabet;
  for (int i = 0; i < 16; ++i) alphabet.push_back(Hanzi(0xB0 + i / 4, 0xA1 + i % 4));
  Generated g;
  for (int i = 0; i < 120; ++i) {
    std::string word;
    const int n = 1 + pick(4);
    for (int k = 0; k < n; ++k) word += alphabet[static_cast<std::size_t>(pick(8 + 8 * (k == 0)))];
    g.words.push_back(word);
  }
  const std::vector<std::string> ascii = {"ab", "abc", "abcd", "x", "c++", "2008", "3.14",
                                          "T" + alphabet[0], "ok", "ab-cd"};
  g.words.insert(g.words.end(), ascii.begin(), ascii.end());
  g.words.push_back(G("，") + alphabet[1]);  // a word with a full-width comma

  const std::string delimiters = " \t-_,.:/~#%^*()";
  const std::vector<std::string> others = {G("，"), G("。"), G("、"), G("Ａ"), G("１"), "\n",
                                           "\r\n", "A", "B", "C", G("（"), "\"", "!"};
  for (int i = 0; i < sentences; ++i) {
    std::string text;
    const int pieces = 1 + pick(24);
    for (int k = 0; k < pieces; ++k) {
      const int kind = pick(100);
      if (kind < 35) {
        text += g.words[static_cast<std::size_t>(pick(static_cast<int>(g.words.size())))];
      } else if (kind < 50) {
        text += alphabet[static_cast<std::size_t>(pick(16))];
      } else if (kind < 58) {
        text += Hanzi(0xC0 + pick(4), 0xA1 + pick(90));  // hanzi without a code
      } else if (kind < 68) {
        const int n = 1 + pick(6);
        for (int j = 0; j < n; ++j) text += static_cast<char>('a' + pick(5));
      } else if (kind < 76) {
        const int n = 1 + pick(5);
        for (int j = 0; j < n; ++j) text += static_cast<char>('0' + pick(10));
      } else if (kind < 86) {
        text += delimiters[static_cast<std::size_t>(pick(static_cast<int>(delimiters.size())))];
      } else {
        text += others[static_cast<std::size_t>(pick(static_cast<int>(others.size())))];
      }
    }
    if (pick(20) == 0) text += '\xB1';  // a lone lead byte at the end
    g.sentences.push_back(text);
  }
  return g;
}

TEST(PdatSegmentTest, MatchesTheReferenceOnGeneratedSentences) {
  const int maxLens[] = {-1, 0, 1, 2, 3, 4, 5, 8};
  for (int mode : {0, 1, 2}) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    const Generated g = Generate(20240611u + static_cast<unsigned>(mode), 400);
    auto dict = BuildDict(mode, g.words);
    const ReferenceSegmenter reference(g.words, mode);
    ASSERT_EQ(dict->GetWordCount(), reference.word_count());
    int compared = 0;
    for (std::size_t i = 0; i < g.sentences.size(); ++i) {
      const std::string& text = g.sentences[i];
      SCOPED_TRACE("sentence " + std::to_string(i) + ": " + Hex(text));
      const int maxLen = maxLens[i % 8];
      const bool allHandles = i % 3 != 0;
      const bool withHandles = i % 5 != 0;
      const ReferenceSegmenter::Result expected =
          reference.Segment(text, withHandles, allHandles, maxLen, '|');
      const Segmented got = RunSegment(*dict, text, withHandles, allHandles, maxLen, '|');
      ASSERT_EQ(Hex(expected.out), Hex(got.out)) << "maxLen " << maxLen;
      ASSERT_EQ(expected.handles, got.handles) << "maxLen " << maxLen;
      ++compared;
      // Every byte once, in order; with all handles, one handle per token.
      std::string joined;
      int tokens = 0;
      for (char c : got.out) {
        if (c == '|') {
          ++tokens;
        } else {
          joined += c;
        }
      }
      ASSERT_EQ(text, joined);
      if (withHandles && allHandles) {
        ASSERT_EQ(tokens, got.count);
      }
    }
    EXPECT_EQ(400, compared);
  }
}

TEST(PdatSegmentTest, CutsLeaveTheSegmentationUnchanged) {
  for (int mode : {0, 1, 2}) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    const Generated g = Generate(99u + static_cast<unsigned>(mode), 300);
    auto dict = BuildDict(mode, g.words);
    // Long texts: ten sentences each.
    int cuts = 0;
    for (std::size_t i = 0; i + 10 <= g.sentences.size(); i += 10) {
      std::string text;
      for (std::size_t k = i; k < i + 10; ++k) text += g.sentences[k];
      const int len = static_cast<int>(text.size());
      for (int maxLen : {-1, 3}) {
        const Segmented whole = RunSegment(*dict, text, true, true, maxLen, '|');
        for (int from = 0; from <= len; from += 7) {
          const int cut = dict->FindSegmentCut(text.c_str(), len, from);
          ASSERT_GE(cut, std::min(from, len));
          ASSERT_LE(cut, len);
          if (cut == len) continue;
          ++cuts;
          const Segmented head = RunSegment(*dict, text.substr(0, static_cast<std::size_t>(cut)),
                                            true, true, maxLen, '|');
          const Segmented tail = RunSegment(*dict, text.substr(static_cast<std::size_t>(cut)),
                                            true, true, maxLen, '|');
          ASSERT_EQ(Hex(whole.out), Hex(head.out + tail.out)) << "cut at " << cut;
          std::vector<int> handles = head.handles;
          handles.insert(handles.end(), tail.handles.begin(), tail.handles.end());
          ASSERT_EQ(whole.handles, handles) << "cut at " << cut;
        }
      }
    }
    EXPECT_GT(cuts, 100);
  }
  // No such character: the end of the text.
  auto dict = Dict(0, {"ab"});
  EXPECT_EQ(4, dict->FindSegmentCut("abab", 4, 0));
  // A two-byte character without a code, a delimiter, but not a letter.
  const std::string text = G("ab我") + "ab-abx";
  EXPECT_EQ(4, dict->FindSegmentCut(text.c_str(), static_cast<int>(text.size()), 1));
  EXPECT_EQ(7, dict->FindSegmentCut(text.c_str(), static_cast<int>(text.size()), 5));
  EXPECT_EQ(10, dict->FindSegmentCut(text.c_str(), static_cast<int>(text.size()), 8));
}

TEST(PdatSegmentTest, HandlesLineUpWithTokens) {
  const Generated g = Generate(7u, 200);
  auto dict = BuildDict(0, g.words);
  for (const std::string& text : g.sentences) {
    SCOPED_TRACE(Hex(text));
    const Segmented r = RunSegment(*dict, text, true, true, -1, '|');
    std::vector<std::string> tokens;
    std::string token;
    for (char c : r.out) {
      if (c == '|') {
        tokens.push_back(token);
        token.clear();
      } else {
        token += c;
      }
    }
    ASSERT_EQ(tokens.size(), r.handles.size());
    for (std::size_t k = 0; k < tokens.size(); ++k) {
      // A dictionary word carries its own handle; any other token -1.
      const int handle = dict->Search(tokens[k].c_str());
      if (r.handles[k] >= 0) {
        EXPECT_EQ(handle, r.handles[k]) << Hex(tokens[k]);
      } else {
        EXPECT_LT(handle, 0) << Hex(tokens[k]);
      }
    }
  }
}

// ---- SegmentFile ---------------------------------------------------------------

TEST(PdatSegmentFileTest, WritesTheSegmentationInTextMode) {
  TempDir dir;
  auto dict = Dict(0, kWords);
  const std::string text = G("中华人民共和国成立了\n北京大学生\n");
  WriteFile(dir.File("in.txt"), text);
  const float speed = dict->SegmentFile(dir.File("in.txt").c_str(), dir.File("out.txt").c_str());
  EXPECT_GT(speed, 0.0f);
  // Under 1 ms counts as 1 ms: a speed of at most the bytes per millisecond.
  EXPECT_LE(speed, static_cast<float>(text.size()));
  EXPECT_EQ(Hex(G("中华人民共和国\t成立\t了\t\r\n\t北京大学\t生\t\r\n\t\r\n")),
            Hex(ReadFile(dir.File("out.txt"))));
}

TEST(PdatSegmentFileTest, FailuresReturnZero) {
  TempDir dir;
  auto dict = Dict(0, kWords);
  WriteFile(dir.File("empty.txt"), "");
  WriteFile(dir.File("in.txt"), G("中华"));
  EXPECT_EQ(0.0f, dict->SegmentFile(dir.File("empty.txt").c_str(), dir.File("out1.txt").c_str()));
  EXPECT_FALSE(FileExists(dir.File("out1.txt")));
  EXPECT_EQ(0.0f, dict->SegmentFile(dir.File("missing.txt").c_str(), dir.File("out2.txt").c_str()));
  EXPECT_FALSE(FileExists(dir.File("out2.txt")));
  EXPECT_EQ(0.0f, dict->SegmentFile(dir.File("in.txt").c_str(),
                                    dir.File("no/such/dir/out.txt").c_str()));
  EXPECT_EQ(0.0f, dict->SegmentFile(nullptr, dir.File("out3.txt").c_str()));
  // A write that fails is no success.
  if (FileExists("/dev/full")) {
    EXPECT_EQ(0.0f, dict->SegmentFile(dir.File("in.txt").c_str(), "/dev/full"));
  }
}

// ---- The boundary test ---------------------------------------------------------

TEST(PdatBoundaryTest, KeepsAsciiWordsAndNumbersWhole) {
  struct Row {
    const char* name;
    const char* text;
    int start, end;
    bool accepted;
  } rows[] = {
      {"whole_word", "abc def", 0, 3, true},
      {"starts_inside_a_word", "abc", 1, 3, false},
      {"ends_inside_a_word", "abcd", 0, 3, false},
      {"ends_inside_a_number", "2012x", 0, 2, false},
      {"starts_inside_a_number", "2012", 2, 4, false},
      {"letter_then_digit", "a1", 1, 2, true},
      {"digit_then_letter", "1a", 0, 1, true},
      {"capitals_are_letters", "ABc", 1, 3, false},
      {"after_punctuation", "x-abc", 2, 5, true},
      {"end_of_text", "abc", 0, 3, true},
      {"two_byte_neighbours", "\xD6\xD0" "ab\xD6\xD0", 2, 4, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.accepted, CPDAT::IsWordBoundary(row.text, row.start, row.end,
                                                  static_cast<int>(std::strlen(row.text))));
  }
}

// ---- MatchWords ----------------------------------------------------------------

struct Found {
  std::string word;  // UTF-8
  int start;
};

std::vector<Found> Matches(const CPDAT& dict, const std::string& text, int type) {
  std::vector<PDAT_MATCH> matches;
  EXPECT_EQ(0, dict.MatchWords(text.c_str(), matches, type));
  std::vector<Found> found;
  for (const PDAT_MATCH& m : matches) {
    const std::string word = text.substr(static_cast<std::size_t>(m.start),
                                         static_cast<std::size_t>(m.length));
    EXPECT_EQ(dict.Search(word.c_str()), m.handle) << U(word);
    EXPECT_EQ(nullptr, m.extra);
    found.push_back(Found{U(word), m.start});
  }
  return found;
}

std::string Describe(const std::vector<Found>& found) {
  std::string out;
  for (const Found& f : found) out += f.word + "@" + std::to_string(f.start) + " ";
  return out;
}

struct MatchCase {
  const char* name;
  std::vector<std::string> words;  // UTF-8
  std::string text;                // GBK
  int type;
  const char* expected;            // "word@start " items
};

TEST(PdatMatchWordsTest, FindsWordsByType) {
  const std::vector<std::string> chinese = {"中华", "中华人民共和国", "人民", "共和国", "民"};
  const MatchCase cases[] = {
      {"type0_longest_non_overlapping", chinese, G("中华人民共和国"), 0, "中华人民共和国@0 "},
      {"type2_same_as_type0_for_chinese", chinese, G("中华人民共和国"), 2, "中华人民共和国@0 "},
      {"type1_overlapping", chinese, G("中华人民共和国"), 1,
       "中华人民共和国@0 人民@4 民@6 共和国@8 "},
      {"type1_word_and_its_second_character", chinese, G("人民"), 1, "人民@0 民@2 "},
      {"type0_word_only", chinese, G("人民"), 0, "人民@0 "},
      {"type0_shorter_word_when_longer_breaks_off", chinese, G("中华人民万岁"), 0,
       "中华@0 人民@4 "},
      {"type0_word_ending_inside_ascii_word", {"abc"}, "abcd", 0, ""},
      {"type2_word_ending_inside_ascii_word", {"abc"}, "abcd", 2, "abc@0 "},
      {"type0_word_starting_inside_ascii_word", {"bc"}, "abc", 0, ""},
      {"type2_word_starting_inside_ascii_word", {"bc"}, "abc", 2, "bc@1 "},
      {"type0_number_inside_number", {"12"}, "2012", 0, ""},
      {"type2_number_inside_number", {"12"}, "2012", 2, "12@2 "},
      {"type0_ascii_word_between_chinese", {"abc", "中华"}, G("中华abc中华"), 0,
       "中华@0 abc@4 中华@7 "},
      {"type0_ascii_word_after_letter", {"abc"}, "xabc abc", 0, "abc@5 "},
      // A word right before a character that ends a type-1 candidate is
      // stored without the boundary test.
      {"type1_word_before_ending_character", {"abc"}, "xabc,", 1, "abc@1 "},
      {"type1_word_inside_ascii_without_ending_character", {"abc"}, "xabcd", 1, ""},
      {"type1_full_width_comma_ends_candidate", {"中", "中，国"}, G("中，国"), 1, "中@0 "},
      {"type0_full_width_comma_inside_word", {"中", "中，国"}, G("中，国"), 0, "中，国@0 "},
      // 丂 (81 40): a first byte below B0 ends a type-1 candidate.
      {"type1_rare_hanzi_ends_candidate", {"中", "中丂"}, G("中丂"), 1, "中@0 "},
      {"type0_rare_hanzi_inside_word", {"中", "中丂"}, G("中丂"), 0, "中丂@0 "},
      // The characters before one without a code are still scanned.
      {"no_code_does_not_hide_words_before_it", {"中华人民", "华人"}, G("中华人我民"), 0,
       "华人@2 "},
      {"end_of_text_does_not_hide_words", {"中华人民", "华人"}, G("中华人"), 0, "华人@2 "},
      {"type1_end_of_text_does_not_hide_words", {"中华人民", "华人"}, G("中华人"), 1, "华人@2 "},
      // After a word the boundary test rejects (a1b ends inside the run
      // "bc"), type 1 goes on one character after the start, as after a
      // stored word, so the overlapping 1bc is found; types 0 and 2 go on at
      // the end of the rejected word.
      {"type1_resumes_after_the_first_character_of_a_rejected_word", {"a1b", "1bc"}, "a1bc", 1,
       "1bc@1 "},
      {"type0_resumes_at_the_end_of_a_rejected_word", {"a1b", "1bc"}, "a1bc", 0, ""},
      {"unknown_type_finds_nothing", chinese, G("人民"), 3, ""},
      {"empty_text", chinese, "", 0, ""},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto dict = Dict(0, c.words);
    EXPECT_EQ(c.expected, Describe(Matches(*dict, c.text, c.type)));
  }
}

TEST(PdatMatchWordsTest, AppendsToTheCallersList) {
  auto dict = Dict(0, {"中华", "人民"});
  std::vector<PDAT_MATCH> matches;
  dict->MatchWords(G("中华").c_str(), matches, 0);
  dict->MatchWords(G("人民").c_str(), matches, 0);
  ASSERT_EQ(2u, matches.size());
  EXPECT_EQ(dict->Search(G("中华").c_str()), matches[0].handle);
  EXPECT_EQ(dict->Search(G("人民").c_str()), matches[1].handle);
  EXPECT_EQ(0, matches[1].start);
  EXPECT_EQ(4, matches[1].length);
}

// ---- FindWords -----------------------------------------------------------------

struct FindCase {
  const char* name;
  std::vector<std::string> words;  // UTF-8
  std::string text;                // GBK
  std::string expected;            // UTF-8
};

TEST(PdatFindWordsTest, ListsNonOverlappingWords) {
  const std::vector<std::string> chinese = {"中华", "中华人民共和国", "人民", "成立", "了"};
  const FindCase cases[] = {
      {"words_each_followed_by_a_blank", chinese, G("中华人民共和国成立了"),
       "中华人民共和国 成立 了 "},
      {"longest_recorded_word_on_failed_step", chinese, G("中华人民万岁"), "中华 人民 "},
      {"word_reached_at_the_end_has_no_blank", {"中华", "中华人民"}, G("中华人"), "中华"},
      {"later_word_still_separated", {"中华", "中华人民共", "人民"}, G("中华人民"),
       "中华 人民 "},
      {"ascii_word_whole", {"abc"}, "x abc", "abc "},
      {"word_ending_inside_ascii_word", {"abc"}, "abcd", ""},
      {"word_inside_ascii_word", {"abc"}, "xabcx", ""},
      // A letter that begins no word skips the rest of its letters only.
      {"ascii_word_after_blank", {"world"}, "hello world", "world "},
      {"letters_run_skipped", {"world"}, "lworld", ""},
      {"digits_after_letters", {"world", "123"}, "l123", "123 "},
      {"no_code_does_not_hide_words_before_it", {"中华人民", "华人"}, G("中华人我民"), "华人 "},
      {"nothing_found", chinese, G("我们"), ""},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto dict = Dict(0, c.words);
    char* buffer = nullptr;
    int size = 0;
    const char* result = dict->FindWords(c.text.c_str(), &buffer, &size, nullptr);
    EXPECT_EQ(buffer, result);
    EXPECT_EQ(c.expected, U(result));
    EXPECT_GE(size, 2 * static_cast<int>(c.text.size()) + 1);
    std::free(buffer);
    EXPECT_EQ(c.expected, U(dict->FindWords(c.text.c_str(), nullptr)));
  }
}

TEST(PdatFindWordsTest, FoundStopsAtTheFirstWord) {
  auto dict = Dict(0, {"中华", "中华人民共和国", "人民"});
  const std::string text = G("我爱中华人民");
  bool found = false;
  char* buffer = nullptr;
  int size = 0;
  EXPECT_EQ(buffer, dict->FindWords(text.c_str(), &buffer, &size, &found));
  EXPECT_TRUE(found);
  EXPECT_EQ("中华", U(buffer));
  EXPECT_EQ(3 * static_cast<int>(text.size()) + 1, size);
  // Without a buffer only `found` is set.
  found = false;
  EXPECT_EQ(nullptr, dict->FindWords(text.c_str(), nullptr, nullptr, &found));
  EXPECT_TRUE(found);
  // No word: false and an empty text.
  EXPECT_STREQ("", dict->FindWords(G("我们").c_str(), &buffer, &size, &found));
  EXPECT_FALSE(found);
  // Without `found`, no buffer: nothing.
  EXPECT_EQ(nullptr, dict->FindWords(text.c_str(), nullptr, nullptr, nullptr));
  // The work buffer.
  found = false;
  EXPECT_EQ("人民", U(dict->FindWords(G("人民中华").c_str(), &found)));
  EXPECT_TRUE(found);
  std::free(buffer);
}

TEST(PdatFindWordsTest, KeepsABigEnoughBuffer) {
  auto dict = Dict(0, {"中华"});
  int size = 100;
  char* buffer = static_cast<char*>(std::malloc(static_cast<std::size_t>(size)));
  char* before = buffer;
  dict->FindWords(G("中华").c_str(), &buffer, &size, nullptr);
  EXPECT_EQ(before, buffer);
  EXPECT_EQ(100, size);
  EXPECT_EQ("中华 ", U(buffer));
  std::free(buffer);
}

// ---- SpotWords -----------------------------------------------------------------

class BufferPdat : public PeekPdat {
 public:
  using PeekPdat::PeekPdat;
  int BufferSize() const { return m_nBufferSize; }
};

struct SpotCase {
  const char* name;
  std::vector<std::string> words;  // UTF-8
  std::string text;                // GBK
  std::string expected;            // UTF-8
};

TEST(PdatSpotWordsTest, ShortestAndLongestAtEveryStart) {
  const std::vector<std::string> chinese = {"中华", "中华人民", "中华人民共和国", "人民",
                                            "共和国"};
  const SpotCase cases[] = {
      {"leaf_after_longer_words", chinese, G("中华人民共和国"),
       "中华 中华人民共和国 人民 共和国 "},
      {"longest_word_before_a_failed_walk", chinese, G("中华人民万岁"), "中华 中华人民 人民 "},
      {"longest_word_at_the_end", chinese, G("中华人民共"), "中华 中华人民 人民 "},
      {"shortest_only_once", chinese, G("中华万"), "中华 "},
      {"boundary_test", {"abc", "ab"}, "xabc abc", "abc "},
      // After a one-byte character that begins no word a blank is skipped.
      {"blank_skipped_after_one_byte", {" x", "q"}, "a x", ""},
      {"blank_kept_after_two_bytes", {" x", "q"}, G("我 x"), " x "},
  };
  for (const SpotCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto dict = std::make_unique<BufferPdat>(0);
    for (const std::string& word : c.words) dict->AddWord(G(word).c_str(), false);
    dict->Build();
    EXPECT_EQ(c.expected, U(dict->SpotWords(c.text.c_str())));
    EXPECT_EQ(5 * static_cast<int>(c.text.size()) + 1, dict->BufferSize());
  }
}

TEST(PdatSpotWordsTest, StopsWhenTheBufferIsFull) {
  auto dict = std::make_unique<BufferPdat>(0);
  std::string word;
  for (int i = 0; i < 30; ++i) {
    word += G("中");
    dict->AddWord(word.c_str(), false);
  }
  dict->Build();
  const std::string text = word;  // 60 bytes: room for 300
  const std::string spotted = dict->SpotWords(text.c_str());
  EXPECT_LE(spotted.size(), 300u);
  // Starts write "中 " and the rest of the text: 3 + 61, 3 + 59, ... while
  // they fit.
  std::string expected;
  for (int start = 0; start < 30; ++start) {
    const std::string rest = text.substr(static_cast<std::size_t>(start) * 2);
    std::string items = G("中") + " ";
    if (rest.size() > 2) items += rest + " ";
    if (expected.size() + items.size() > 300) {
      if (expected.size() + 3 <= 300) expected += G("中") + " ";
      break;
    }
    expected += items;
  }
  EXPECT_EQ(Hex(expected), Hex(spotted));
  EXPECT_EQ(301, dict->BufferSize());
}

}  // namespace
}  // namespace testing
}  // namespace zhtext
