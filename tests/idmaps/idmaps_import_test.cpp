#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/log_watch.h"
#include "tests/support/temp_dir.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/idmaps/idmaps.h"

namespace zhtext {
namespace {

using testing::G;
using testing::Hex;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

using Pairs = std::vector<std::pair<int, int>>;  // (key, value), packed order
using Messages = std::vector<std::string>;

std::unique_ptr<CPDAT> MakeDict(const std::vector<std::string>& words) {
  auto dict = std::make_unique<CPDAT>(0);
  for (const std::string& w : words) dict->AddWord(w.c_str(), false);
  dict->Build();
  return dict;
}

Pairs PairsOf(const CIDMaps& map) {
  Pairs out;
  for (int k = 0; k < map.GetIndexSize(); ++k) {
    int count = 0;
    const int* values = map.GetIDList(k, &count);
    for (int i = 0; i < count; ++i) out.emplace_back(k, values[i]);
  }
  return out;
}

// Everything a test prints to a stream: read back from a temporary file.
class Capture {
 public:
  Capture() : fp_(std::tmpfile()) {}
  ~Capture() {
    if (fp_ != nullptr) std::fclose(fp_);
  }
  std::FILE* get() const { return fp_; }
  std::string Text() {
    std::string out;
    std::rewind(fp_);
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), fp_)) > 0) out.append(buffer, n);
    return out;
  }

 private:
  std::FILE* fp_;
};

// Key words: a 0, b 1, c 2, "new york" 3, 北_京 4.
// Value words: x 0, y 1, ny 2, "x y" 3.
class IDMapsImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    keys_ = MakeDict({"a", "b", "c", "new york", G("北_京")});
    values_ = MakeDict({"x", "y", "ny", "x y"});
  }

  std::string Write(const std::string& name, const std::string& content) {
    const std::string path = dir_.File(name);
    WriteFile(path, content);
    return path;
  }

  // Runs an import with standard output captured; checks the packing line.
  template <typename Import>
  int Run(Import import) {
    ::testing::internal::CaptureStdout();
    const int n = import();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Build map success!\n"), std::string::npos) << out;
    return n;
  }

  // A map holding (0, 0), to show that a failed import leaves it alone.
  static void Prefill(CIDMaps& map) {
    map.Clear();
    map.AddPair(0, 0);
    ::testing::internal::CaptureStdout();
    map.BuildMap();
    ::testing::internal::GetCapturedStdout();
  }

  testing::FixedLogClock clock_;
  TempDir dir_;
  std::unique_ptr<CPDAT> keys_;
  std::unique_ptr<CPDAT> values_;
};

// ---- ImportPairs ----------------------------------------------------------------

TEST_F(IDMapsImportTest, PairsLineByLine) {
  struct Row {
    const char* name;
    std::string input;
    Pairs pairs;
    std::string copy;
    Messages messages;
  } rows[] = {
      {"plain", "a x\n", {{0, 0}}, "a\tx\n", {}},
      {"further_columns", "a\tx 12 tag\r\n", {{0, 0}}, "a\tx\n", {}},
      {"underscore_becomes_blank", "New_York ny\n", {{3, 2}}, "[New York]\tny\n", {}},
      {"mark_and_brackets_removed", "\xEF\xBB\xBF[New_York] y\r\n", {{3, 1}},
       "[New York]\ty\n", {}},
      {"bracket_holding_a_blank", "[new york] ny\n", {{3, 2}}, "[new york]\tny\n", {}},
      {"text_after_the_bracket_in_its_token", "[new york]zz ny\n", {{3, 2}},
       "[new york]\tny\n", {}},
      {"gbk_term_keeps_underscore", G("北_京") + " x\n", {{4, 0}}, G("北_京") + "\tx\n", {}},
      {"bracketed_value", "a [x_y] 3\n", {{0, 3}}, "a\t[x y]\n", {}},
      {"value_not_in_dictionary", "a nothing\n", {{0, -1}}, "a\tnothing\n", {}},
      {"key_not_in_dictionary", "zz x\n", {}, "zz\tx\n", {"zz invalid argument!"}},
      {"neither_in_dictionary", "zz qq\n", {}, "zz\tqq\n", {"zz qq invalid argument!"}},
      {"single_token", "a\nb y\n", {{1, 1}}, "a\nb\ty\n", {}},
      {"bracket_open_to_the_end", "[a b\nc x\n", {{2, 0}}, "[a b\nc\tx\n", {}},
      {"lines_without_tokens", "\n \t \r\n", {}, "", {}},
      {"duplicates_kept_in_the_count", "a x\na x\n", {{0, 0}}, "a\tx\na\tx\n", {}},
      // 乣 (81 5D) ends in the byte of ']' but closes no bracket.
      {"second_byte_bracket", "[q\x81\x5D r] ny\n", {}, "[q\x81\x5D r]\tny\n",
       {"q\x81\x5D r invalid argument!"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = Write("pairs.txt", row.input);
    CIDMaps map;
    testing::LogWatch log;
    const int n = Run([&] { return map.ImportPairs(path.c_str(), keys_.get(), values_.get(), nullptr); });
    EXPECT_EQ(n, map.GetDataSize());
    EXPECT_EQ(PairsOf(map), row.pairs);
    EXPECT_EQ(Hex(ReadFile(path + "_map_export.txt")), Hex(row.copy));
    EXPECT_EQ(log.Err(), row.messages);
  }
}

TEST_F(IDMapsImportTest, PairsWithOneDictionaryRejectSelfPairs) {
  const std::string path = Write("pairs.txt", "a a\na b\nb a\nzz a\n");
  CIDMaps map;
  testing::LogWatch log;
  EXPECT_EQ(Run([&] { return map.ImportPairs(path.c_str(), keys_.get(), keys_.get(), nullptr); }), 2);
  EXPECT_EQ(PairsOf(map), (Pairs{{0, 1}, {1, 0}}));
  EXPECT_EQ(log.Err(), (Messages{" invalid argument!", "zz invalid argument!"}));
  // A null value dictionary stands for the key dictionary.
  EXPECT_EQ(Run([&] { return map.ImportPairs(path.c_str(), keys_.get(), nullptr, nullptr); }), 2);
}

TEST_F(IDMapsImportTest, PairsCopyImportsToTheSameMapAndCopy) {
  const std::string path = Write("pairs.txt",
                                 "\xEF\xBB\xBF" "New_York ny\n[new york] [x y]\nb\ty 5\n"
                                 "c\n" + G("北_京") + " zz\n\n");
  CIDMaps first;
  Run([&] { return first.ImportPairs(path.c_str(), keys_.get(), values_.get(), nullptr); });
  const std::string copy = ReadFile(path + "_map_export.txt");
  const std::string again = Write("again.txt", copy);
  CIDMaps second;
  Run([&] { return second.ImportPairs(again.c_str(), keys_.get(), values_.get(), nullptr); });
  EXPECT_EQ(PairsOf(second), PairsOf(first));
  EXPECT_EQ(ReadFile(again + "_map_export.txt"), copy);
}

TEST_F(IDMapsImportTest, PairsProgressEveryHundredCountedLines) {
  std::string input;
  for (int i = 0; i < 250; ++i) input += i == 50 ? "lonely\n" : "a [x y]\n";
  const std::string path = Write("pairs.txt", input);
  CIDMaps map;
  Capture progress;
  EXPECT_EQ(Run([&] { return map.ImportPairs(path.c_str(), keys_.get(), values_.get(), progress.get()); }),
            249);
  // The tokens as scanned; the single-token line is not counted.
  EXPECT_EQ(progress.Text(), "Line 100: a->[x\nLine 200: a->[x\n");
}

// ---- ImportParallel -------------------------------------------------------------

TEST_F(IDMapsImportTest, ParallelLinesPairInStep) {
  struct Row {
    const char* name;
    std::string keys;
    std::string values;
    Pairs pairs;
    Messages messages;
  } rows[] = {
      {"more_keys_than_values", "a\nb\nc\na\nb\n", "x\ny\nny\n", {{0, 0}, {1, 1}, {2, 2}}, {}},
      {"more_values_than_keys", "a\nb\n", "x\ny\nny\n", {{0, 0}, {1, 1}}, {}},
      {"first_token_only_and_marks", "\xEF\xBB\xBF" "a 1\r\n", "\xEF\xBB\xBF  x y\r\n", {{0, 0}}, {}},
      {"empty_lines_keep_step", "a\n\nb\nc\n", "x\ny\n \n ny\n", {{0, 0}, {2, 2}}, {}},
      {"no_term_rule", "[a]\nb\n", "x\nnothing\n", {{1, -1}}, {"[a] invalid argument!"}},
      {"empty_key_file", "", "x\n", {}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string keys = Write("keys.txt", row.keys);
    const std::string values = Write("values.txt", row.values);
    CIDMaps map;
    testing::LogWatch log;
    const int n = Run([&] {
      return map.ImportParallel(keys.c_str(), values.c_str(), keys_.get(), values_.get());
    });
    EXPECT_EQ(n, static_cast<int>(row.pairs.size()));
    EXPECT_EQ(PairsOf(map), row.pairs);
    EXPECT_EQ(log.Err(), row.messages);
  }
}

TEST_F(IDMapsImportTest, ParallelWithOneDictionaryRejectsSelfPairs) {
  const std::string keys = Write("keys.txt", "a\nb\n");
  const std::string values = Write("values.txt", "a\nc\n");
  CIDMaps map;
  testing::LogWatch log;
  EXPECT_EQ(Run([&] { return map.ImportParallel(keys.c_str(), values.c_str(), keys_.get(), keys_.get()); }),
            1);
  EXPECT_EQ(PairsOf(map), (Pairs{{1, 2}}));
  EXPECT_EQ(log.Err(), Messages{" invalid argument!"});
}

// ---- ImportTabbed ---------------------------------------------------------------

TEST_F(IDMapsImportTest, TabbedLinesEndWithTheKey) {
  struct Row {
    const char* name;
    std::string input;
    Pairs pairs;
    Messages messages;
  } rows[] = {
      {"key_last", "a\tb\tc\r\n", {{2, 0}, {2, 1}}, {}},
      {"blanks_before_fields_skipped", "  a\t\t b\tc\n", {{2, 0}, {2, 1}}, {}},
      {"one_field_skipped", "a\n\t\t\n", {}, {}},
      {"key_not_in_dictionary_is_silent", "a\tb\tzz\n", {}, {}},
      {"value_not_in_dictionary", "zz\tc\n", {{2, -1}}, {}},
      {"value_equal_to_key", "a\tc\tc\n", {{2, 0}}, {" invalid argument!"}},
      {"blanks_inside_a_field_kept", "new york\tb\n", {{1, 3}}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = Write("tabbed.txt", row.input);
    CIDMaps map;
    testing::LogWatch log;
    Run([&] { return map.ImportTabbed(path.c_str(), keys_.get(), nullptr); });
    EXPECT_EQ(PairsOf(map), row.pairs);
    EXPECT_EQ(log.Err(), row.messages);
  }
}

TEST_F(IDMapsImportTest, TabbedProgressCountsBeforeEachLine) {
  std::string input;
  for (int i = 0; i < 101; ++i) input += i == 7 ? "zz\tzz\none\n" : "a\tb\n";
  const std::string path = Write("tabbed.txt", input);
  CIDMaps map;
  Capture progress;
  EXPECT_EQ(Run([&] { return map.ImportTabbed(path.c_str(), keys_.get(), progress.get()); }), 100);
  // A line whose key is unknown still counts; a line of one field does not.
  EXPECT_EQ(progress.Text(), "0\r100\r");
}

// ---- ImportLists and ImportSymmetric ---------------------------------------------

TEST_F(IDMapsImportTest, ListsKeyFirst) {
  struct Row {
    const char* name;
    std::string input;
    Pairs pairs;
    Messages messages;
  } rows[] = {
      {"delimiters", "a,x y\tny\r\n", {{0, 0}, {0, 1}, {0, 2}}, {}},
      {"repeated_delimiters", ",, a ,,x,\n", {{0, 0}}, {}},
      {"key_alone", "b\n", {}, {}},
      {"key_not_in_dictionary", "zz,x,qq\n", {}, {"zz invalid argument!", "zz qq invalid argument!"}},
      {"value_not_in_dictionary", "a,qq\n", {{0, -1}}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = Write("lists.txt", row.input);
    CIDMaps map;
    testing::LogWatch log;
    Run([&] { return map.ImportLists(path.c_str(), keys_.get(), values_.get(), nullptr); });
    EXPECT_EQ(PairsOf(map), row.pairs);
    EXPECT_EQ(log.Err(), row.messages);
  }
}

TEST_F(IDMapsImportTest, ListsProgressPrintsTheLineAsRead) {
  std::string input;
  for (int i = 0; i < 120; ++i) input += i == 99 ? "b,y\r\n" : " , \n a,x\n";
  const std::string path = Write("lists.txt", input);
  CIDMaps map;
  Capture progress;
  EXPECT_EQ(Run([&] { return map.ImportLists(path.c_str(), keys_.get(), values_.get(), progress.get()); }),
            120);
  EXPECT_EQ(progress.Text(), "Line 100: b,y\r\n\n");
}

TEST_F(IDMapsImportTest, SymmetricStoresBothDirections) {
  struct Row {
    const char* name;
    std::string input;
    int count;
    Pairs pairs;
    Messages messages;
  } rows[] = {
      {"comma_and_blank", "a,b c\n", 4, {{0, 1}, {0, 2}, {1, 0}, {2, 0}}, {}},
      {"value_not_in_dictionary", "a,qq\n", 1, {{0, -1}}, {}},
      {"word_with_itself", "a,a b\n", 2, {{0, 1}, {1, 0}}, {" invalid argument!"}},
      {"key_not_in_dictionary", "zz,a\n", 0, {}, {"zz invalid argument!"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = Write("sym.txt", row.input);
    CIDMaps map;
    testing::LogWatch log;
    EXPECT_EQ(Run([&] { return map.ImportSymmetric(path.c_str(), keys_.get(), nullptr); }), row.count);
    EXPECT_EQ(PairsOf(map), row.pairs);
    EXPECT_EQ(log.Err(), row.messages);
  }
}

// ---- Failures -----------------------------------------------------------------

// The maps built from files size their index by the dictionaries' word
// counts: a handle at or above its dictionary's word count counts as no
// handle (a key is rejected, a value stored as -1).
TEST_F(IDMapsImportTest, HandlesBeyondTheWordCountAreNoHandles) {
  auto dict = std::make_unique<CPDAT>(0);
  dict->AddWord("a", 0, false);
  dict->AddWord("far", 100000000, false);
  dict->AddWord("b", 1, false);
  dict->Build();
  ASSERT_EQ(dict->GetWordCount(), 3);
  struct Row {
    const char* name;
    std::function<int(CIDMaps&)> import;
    Pairs pairs;
    Messages messages;
  };
  const std::string pairs = Write("far_pairs.txt", "far a\na far\na b\n");
  const std::string keys = Write("far_keys.txt", "far\na\na\n");
  const std::string values = Write("far_values.txt", "a\nfar\nb\n");
  const std::string tabbed = Write("far_tabbed.txt", "a\tfar\nfar\tb\na\tb\n");
  const std::string lists = Write("far_lists.txt", "far a\na far b\n");
  CPDAT* d = dict.get();
  const Row rows[] = {
      {"pairs", [&](CIDMaps& m) { return m.ImportPairs(pairs.c_str(), d, nullptr, nullptr); },
       {{0, -1}, {0, 1}}, {"far invalid argument!"}},
      {"parallel", [&](CIDMaps& m) { return m.ImportParallel(keys.c_str(), values.c_str(), d, d); },
       {{0, -1}, {0, 1}}, {"far invalid argument!"}},
      {"tabbed", [&](CIDMaps& m) { return m.ImportTabbed(tabbed.c_str(), d, nullptr); },
       {{1, -1}, {1, 0}}, {}},
      {"lists", [&](CIDMaps& m) { return m.ImportLists(lists.c_str(), d, nullptr, nullptr); },
       {{0, -1}, {0, 1}}, {"far invalid argument!"}},
      {"symmetric", [&](CIDMaps& m) { return m.ImportSymmetric(lists.c_str(), d, nullptr); },
       {{0, -1}, {0, 1}, {1, 0}}, {"far invalid argument!"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CIDMaps map;
    testing::LogWatch log;
    Run([&] { return row.import(map); });
    EXPECT_LE(map.GetIndexSize(), dict->GetWordCount());
    EXPECT_EQ(PairsOf(map), row.pairs);
    EXPECT_EQ(log.Err(), row.messages);
  }
}

TEST_F(IDMapsImportTest, ImportsThatCannotStartLeaveTheMapAsItWas) {
  const std::string good = Write("good.txt", "a x\n");
  const std::string blocked = Write("blocked.txt", "a x\n");
  std::filesystem::create_directory(blocked + "_map_export.txt");
  const std::string missing = dir_.File("missing.txt");
  CPDAT* k = keys_.get();
  CPDAT* v = values_.get();
  struct Row {
    const char* name;
    std::function<int(CIDMaps&)> import;
  } rows[] = {
      {"pairs_missing", [&](CIDMaps& m) { return m.ImportPairs(missing.c_str(), k, v, nullptr); }},
      {"pairs_copy_blocked", [&](CIDMaps& m) { return m.ImportPairs(blocked.c_str(), k, v, nullptr); }},
      {"pairs_no_dictionary", [&](CIDMaps& m) { return m.ImportPairs(good.c_str(), nullptr, v, nullptr); }},
      {"parallel_keys_missing", [&](CIDMaps& m) { return m.ImportParallel(missing.c_str(), good.c_str(), k, v); }},
      {"parallel_values_missing", [&](CIDMaps& m) { return m.ImportParallel(good.c_str(), missing.c_str(), k, v); }},
      {"tabbed_missing", [&](CIDMaps& m) { return m.ImportTabbed(missing.c_str(), k, nullptr); }},
      {"tabbed_no_dictionary", [&](CIDMaps& m) { return m.ImportTabbed(good.c_str(), nullptr, nullptr); }},
      {"lists_missing", [&](CIDMaps& m) { return m.ImportLists(missing.c_str(), k, v, nullptr); }},
      {"symmetric_missing", [&](CIDMaps& m) { return m.ImportSymmetric(missing.c_str(), k, nullptr); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CIDMaps map;
    Prefill(map);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(row.import(map), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(PairsOf(map), (Pairs{{0, 0}}));
  }
}

// A copy that cannot be written whole (here the device is full) fails the
// import: 0, the map cleared and not packed (no "Build map success!"), the
// partial copy removed.
TEST_F(IDMapsImportTest, PairsCopyThatCannotBeWrittenFailsTheImport) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  std::string lines;
  for (int i = 0; i < 2000; ++i) lines += "a x\n";
  for (const std::string& input : {std::string("a x\n"), lines}) {
    SCOPED_TRACE(input.size());
    const std::string path = Write("full.txt", input);
    std::filesystem::remove(path + "_map_export.txt");
    std::filesystem::create_symlink("/dev/full", path + "_map_export.txt");
    CIDMaps map;
    Prefill(map);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(map.ImportPairs(path.c_str(), keys_.get(), values_.get(), nullptr), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(map.GetDataSize(), 0);
    EXPECT_FALSE(map.IsPacked());
    EXPECT_EQ(PairsOf(map), Pairs{});
    EXPECT_FALSE(std::filesystem::is_symlink(path + "_map_export.txt"));
  }
}

// Lines of any length are read whole: a long line is one line, its fields
// all belong to its key, the parallel files stay in step, and a character
// is never cut.
TEST_F(IDMapsImportTest, LongLinesAreReadWhole) {
  const std::string longGbk = std::string(1022, 'k') + G("中");  // 中 across byte 1023
  auto keys = MakeDict({"a", "b", longGbk});
  std::string manyValues = "a";
  for (int i = 0; i < 700; ++i) manyValues += ",y";
  const std::string blanks(1500, ' ');
  struct Row {
    const char* name;
    std::function<int(CIDMaps&)> import;
    int count;
    Pairs pairs;
  };
  const std::string lists = Write("long_lists.txt", "a," + std::string(1021, ' ') + "b,y\n");
  const std::string many = Write("long_many.txt", manyValues + "\n");
  const std::string pairs = Write("long_pairs.txt", "a " + blanks + "x\n" + longGbk + " y\n");
  const std::string keyFile = Write("long_keys.txt", "a" + blanks + "\nb\n");
  const std::string valueFile = Write("long_values.txt", "x\ny\n");
  const std::string tabbed = Write("long_tabbed.txt", "b\t" + blanks + "\ta\n");
  CPDAT* k = keys.get();
  CPDAT* v = values_.get();
  const Row rows[] = {
      {"lists_blanks_inside",
       [&](CIDMaps& m) { return m.ImportLists(lists.c_str(), k, v, nullptr); }, 2,
       {{0, -1}, {0, 1}}},
      {"lists_700_values", [&](CIDMaps& m) { return m.ImportLists(many.c_str(), k, v, nullptr); },
       700, {{0, 1}}},
      {"pairs_blanks_inside_and_a_long_key",
       [&](CIDMaps& m) { return m.ImportPairs(pairs.c_str(), k, v, nullptr); }, 2,
       {{0, 0}, {2, 1}}},
      {"parallel_in_step",
       [&](CIDMaps& m) { return m.ImportParallel(keyFile.c_str(), valueFile.c_str(), k, v); }, 2,
       {{0, 0}, {1, 1}}},
      {"tabbed", [&](CIDMaps& m) { return m.ImportTabbed(tabbed.c_str(), k, nullptr); }, 1,
       {{0, 1}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CIDMaps map;
    testing::LogWatch log;
    EXPECT_EQ(Run([&] { return row.import(map); }), row.count);
    EXPECT_EQ(PairsOf(map), row.pairs);
    EXPECT_EQ(log.Err(), Messages{});
  }
  EXPECT_EQ(ReadFile(pairs + "_map_export.txt"), "a\tx\n" + longGbk + "\ty\n");
}

}  // namespace
}  // namespace zhtext
