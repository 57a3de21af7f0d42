// Dictionary files: the binary file (Save, Load and damaged files), the word
// list import with its normalised copy, and the text export.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/dictionary/pdat_test_helpers.h"
#include "tests/support/gbk_text.h"
#include "tests/support/log_watch.h"
#include "tests/support/temp_dir.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/util/log.h"

namespace zhtext {
namespace testing {
namespace {

constexpr std::size_t kFixedBytes = 262156;

int GetInt(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return static_cast<int>(v);
}

void SetInt(std::string* bytes, std::size_t at, int value) {
  const std::uint32_t v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) (*bytes)[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}

// What a dictionary answers for a set of keys: compared before and after an
// operation that must not change it.
std::vector<int> Answers(const CPDAT& dict, const std::vector<std::string>& keys) {
  std::vector<int> out{dict.GetMaxCell(), dict.GetWordCount(), dict.GetEncoding()};
  for (const std::string& key : keys) {
    out.push_back(dict.Search(key.c_str()));
    int handle = -2;
    out.push_back(dict.MatchLongest(key.c_str(), &handle, nullptr));
    out.push_back(handle);
  }
  return out;
}

const std::vector<std::string>& SampleWords() {
  static const std::vector<std::string> words = {
      G("中国"), G("中国人"), G("人民"), "abc", "ab", "x y", G("银行"), G("Ａ股"), "c++", G("中")};
  return words;
}

std::vector<std::string> Probes() {
  std::vector<std::string> keys = SampleWords();
  for (const char* k : {"", "zz", "ABC", "x  y", "\"ab\"", "a"}) keys.push_back(k);
  keys.push_back(G("中国人民银行"));
  keys.push_back(G("ＡＢＣ"));
  return keys;
}

class PdatFileTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.File(name); }
  TempDir dir_;
};

// ---- Save and Load -----------------------------------------------------------

TEST_F(PdatFileTest, SaveAndLoadAnswerAsBeforeInTheSavedMode) {
  for (int mode = 0; mode <= 2; ++mode) {
    SCOPED_TRACE(mode);
    auto built = BuildDict(mode, SampleWords());
    const std::string path = Path("round" + std::to_string(mode) + ".dic");
    ASSERT_TRUE(built->Save(path.c_str()));
    EXPECT_EQ(kFixedBytes + 12u * static_cast<unsigned>(built->GetMaxCell() + 1), ReadFile(path).size());
    auto loaded = std::make_unique<CPDAT>((mode + 1) % 3);
    ASSERT_TRUE(loaded->Load(path.c_str()));
    EXPECT_EQ(mode, loaded->GetEncoding());
    EXPECT_FALSE(loaded->IsBuilt());
    EXPECT_EQ(Answers(*built, Probes()), Answers(*loaded, Probes()));
    for (int ch : {int{'a'}, int{'x'}, 0xD6D0}) EXPECT_EQ(built->SearchChar(ch), loaded->SearchChar(ch));
    const std::string again = Path("again" + std::to_string(mode) + ".dic");
    ASSERT_TRUE(loaded->Save(again.c_str()));
    EXPECT_EQ(ReadFile(path), ReadFile(again));
  }
}

TEST_F(PdatFileTest, SmallestFilesHoldOneCell) {
  auto one = BuildDict(0, {"a"});
  ASSERT_EQ(0, one->GetMaxCell());
  ASSERT_TRUE(one->Save(Path("one.dic").c_str()));
  EXPECT_EQ(262168u, ReadFile(Path("one.dic")).size());

  auto empty = BuildDict(0, {});
  ASSERT_TRUE(empty->Save(Path("empty.dic").c_str()));
  EXPECT_EQ(262168u, ReadFile(Path("empty.dic")).size());

  // Never built: no cell array at all; one free cell is written.
  auto fresh = std::make_unique<CPDAT>(1);
  ASSERT_TRUE(fresh->Save(Path("fresh.dic").c_str()));
  const std::string bytes = ReadFile(Path("fresh.dic"));
  ASSERT_EQ(262168u, bytes.size());
  EXPECT_EQ(-1, GetInt(bytes, kFixedBytes - 4));      // base of cell 0
  EXPECT_EQ(1, GetInt(bytes, bytes.size() - 4));      // mode
  for (const char* name : {"one.dic", "empty.dic", "fresh.dic"}) {
    SCOPED_TRACE(name);
    auto loaded = std::make_unique<CPDAT>(0);
    EXPECT_TRUE(loaded->Load(Path(name).c_str()));
  }
  auto loaded = std::make_unique<CPDAT>(0);
  ASSERT_TRUE(loaded->Load(Path("fresh.dic").c_str()));
  EXPECT_EQ(-1, loaded->Search("a"));
  EXPECT_EQ(-1, loaded->SearchChar('a'));
}

TEST_F(PdatFileTest, FilesThatCannotBeOpened) {
  auto dict = BuildDict(0, {"a"});
  EXPECT_FALSE(dict->Load(Path("missing.dic").c_str()));
  EXPECT_FALSE(dict->Save(Path("no/such/dir/x.dic").c_str()));
  EXPECT_FALSE(dict->Load(dir_.path().c_str()));  // a directory
  EXPECT_FALSE(dict->Load(nullptr));
  EXPECT_EQ(0, dict->Search("a"));
}

struct Damage {
  const char* name;
  std::function<void(std::string*)> apply;
};

TEST_F(PdatFileTest, LoadRefusesDamagedFilesWithoutChangingTheObject) {
  auto source = BuildDict(0, {"ab", "ac", G("中国"), "b"});
  ASSERT_TRUE(source->Save(Path("good.dic").c_str()));
  const std::string good = ReadFile(Path("good.dic"));
  const int maxCell = GetInt(good, 262144);
  ASSERT_GT(maxCell, 2);
  const std::size_t cellsAt = 262152;
  const std::size_t modeAt = good.size() - 4;
  const int codeOfA = GetInt(good, 4 * 'a');
  ASSERT_GE(codeOfA, 0);

  const Damage damages[] = {
      {"empty", [](std::string* b) { b->clear(); }},
      {"inside_codes", [](std::string* b) { b->resize(1000); }},
      {"after_codes", [](std::string* b) { b->resize(262144); }},
      {"inside_header", [](std::string* b) { b->resize(262150); }},
      {"no_cells", [](std::string* b) { b->resize(262152); }},
      {"inside_cells", [&](std::string* b) { b->resize(cellsAt + 12 * 2 + 5); }},
      {"no_mode", [](std::string* b) { b->resize(b->size() - 4); }},
      {"one_byte_short", [](std::string* b) { b->resize(b->size() - 1); }},
      {"extra_byte", [](std::string* b) { b->push_back('\0'); }},
      {"extra_cell", [](std::string* b) { b->append(12, '\xFF'); }},
      {"max_cell_negative", [](std::string* b) { SetInt(b, 262144, -1); }},
      {"max_cell_too_large", [&](std::string* b) { SetInt(b, 262144, maxCell + 1); }},
      {"max_cell_smaller", [&](std::string* b) { SetInt(b, 262144, maxCell - 1); }},
      {"max_cell_huge", [](std::string* b) { SetInt(b, 262144, 0x7FFFFFFF); }},
      {"word_count_negative", [](std::string* b) { SetInt(b, 262148, -5); }},
      {"mode_3", [&](std::string* b) { SetInt(b, modeAt, 3); }},
      {"mode_negative", [&](std::string* b) { SetInt(b, modeAt, -1); }},
      {"code_below_minus_one", [&](std::string* b) { SetInt(b, 4 * 'a', -2); }},
      {"code_most_negative", [&](std::string* b) { SetInt(b, 4 * 0xFFFF, INT32_MIN); }},
      // Handles and the word count size the tables of word lists and ID
      // maps built from the dictionary.
      {"handle_below_minus_one", [&](std::string* b) { SetInt(b, cellsAt + 8, -2); }},
      {"handle_at_word_count", [&](std::string* b) { SetInt(b, cellsAt + 12 * 1 + 8, 4); }},
      {"handle_huge", [&](std::string* b) { SetInt(b, cellsAt + 8, 100000000); }},
      {"handle_near_int_max", [&](std::string* b) { SetInt(b, cellsAt + 12 * 2 + 8, 0x7FFFFFFE); }},
      {"handle_in_the_last_cell", [&](std::string* b) { SetInt(b, modeAt - 4, 99); }},
      {"word_count_above_cells", [&](std::string* b) { SetInt(b, 262148, maxCell + 2); }},
      {"word_count_int_max", [](std::string* b) { SetInt(b, 262148, 0x7FFFFFFF); }},
  };
  const std::vector<std::string> probes = Probes();
  auto target = BuildDict(2, SampleWords());  // a different dictionary, mode 2
  const std::vector<int> before = Answers(*target, probes);
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.name);
    std::string bytes = good;
    damage.apply(&bytes);
    const std::string path = Path(std::string(damage.name) + ".dic");
    WriteFile(path, bytes);
    EXPECT_FALSE(target->Load(path.c_str()));
    EXPECT_EQ(before, Answers(*target, probes));
  }
  // The undamaged file still loads into the same object.
  ASSERT_TRUE(target->Load(Path("good.dic").c_str()));
  EXPECT_EQ(Answers(*source, probes), Answers(*target, probes));
}

// Every file that building, importing and clearing write loads again and
// answers as the dictionary that wrote it: handles are given in order, so
// they stay below the word count, and every word has a cell of its own.
TEST_F(PdatFileTest, FilesTheLibraryWritesAlwaysLoad) {
  std::vector<std::string> many;
  for (int i = 0; i < 500; ++i) many.push_back(G("中") + std::to_string(i * 37 % 1000) + G("文"));
  struct Row {
    const char* name;
    int mode;
    std::function<std::unique_ptr<PeekPdat>()> make;
  } rows[] = {
      {"sample_mode_0", 0, [] { return BuildDict(0, SampleWords()); }},
      {"sample_mode_1", 1, [] { return BuildDict(1, SampleWords()); }},
      {"sample_mode_2", 2, [] { return BuildDict(2, SampleWords()); }},
      {"duplicates_and_separators", 2,
       [] { return BuildDict(2, {"a b", "ab", "a_b", ",", G("中、国"), G("中国"), "ab"}); }},
      {"many_words", 0, [&] { return BuildDict(0, many); }},
      {"nothing", 0, [] { return BuildDict(0, {}); }},
      {"tracked_then_built", 0,
       [] {
         auto d = std::make_unique<PeekPdat>(0);
         d->CountWords({"x", "y", "x", "z"});
         d->Build();
         return d;
       }},
      {"reset_and_rebuilt", 0,
       [] {
         auto d = BuildDict(0, {"old", "older", "oldest"});
         d->AddWord("new", false);
         d->Build();
         return d;
       }},
      // After ClearSize the file holds the code table, no word and one cell,
      // which keeps what it held (here the word "a" with handle 0, or a
      // longer word's first character); the codes of the other characters
      // lie beyond that cell.
      {"cleared_cell_0_a_word", 0,
       [] {
         auto d = BuildDict(0, {"a", "b", "c", "a"});
         d->ClearSize();
         return d;
       }},
      {"cleared_cell_0_a_word_with_a_late_handle", 0,
       [] {
         auto d = BuildDict(0, {"x", "y", "zz", "q", "q", "q"});
         d->ClearSize();
         return d;
       }},
      {"cleared_cell_0_inside_a_word", 1,
       [] {
         auto d = BuildDict(1, {"ab", "ac", "ad"});
         d->ClearSize();
         return d;
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto written = row.make();
    const std::string path = Path(std::string(row.name) + ".dic");
    ASSERT_TRUE(written->Save(path.c_str()));
    auto loaded = std::make_unique<CPDAT>(row.mode);
    ASSERT_TRUE(loaded->Load(path.c_str()));
    EXPECT_EQ(Answers(*written, Probes()), Answers(*loaded, Probes()));
    for (const char* key : {"a", "b", "q", "x", "zz", "ab"}) {
      EXPECT_EQ(written->Search(key), loaded->Search(key)) << key;
    }
    for (int ch : {int{'a'}, int{'q'}, int{'x'}}) {
      EXPECT_EQ(written->SearchChar(ch), loaded->SearchChar(ch));
    }
    const std::string again = path + ".again";
    ASSERT_TRUE(loaded->Save(again.c_str()));
    EXPECT_EQ(ReadFile(path), ReadFile(again));
  }
}

// A code may lie beyond the highest cell (a saved file after ClearSize has
// such codes): the walks bound code + offset by the cells, so the character
// finds nothing.
TEST_F(PdatFileTest, CodesBeyondTheHighestCellLoadAndFindNothing) {
  auto source = BuildDict(0, {"ab", "ac", "b"});
  ASSERT_TRUE(source->Save(Path("source.dic").c_str()));
  const std::string good = ReadFile(Path("source.dic"));
  const int maxCell = GetInt(good, 262144);
  for (int code : {maxCell + 1, maxCell + 1000, 0x7FFFFFFF}) {
    SCOPED_TRACE(code);
    std::string bytes = good;
    SetInt(&bytes, 4 * 'z', code);
    SetInt(&bytes, 4 * 0xD6D0, code);
    WriteFile(Path("far.dic"), bytes);
    auto dict = std::make_unique<CPDAT>(0);
    ASSERT_TRUE(dict->Load(Path("far.dic").c_str()));
    EXPECT_EQ(-1, dict->Search("z"));
    EXPECT_EQ(-1, dict->Search("az"));
    EXPECT_EQ(-1, dict->SearchChar('z'));
    EXPECT_EQ(-1, dict->SearchChar(0xD6D0));
    EXPECT_EQ(0, dict->MatchLongest("zab", nullptr, nullptr));
    EXPECT_EQ(source->Search("ab"), dict->Search("ab"));
    EXPECT_TRUE(dict->Export(Path("far.txt").c_str()));
  }
}

TEST_F(PdatFileTest, DamagedCellsDoNotCrashTheSearchesOrTheExport) {
  // Codes are in range, so Load accepts the file; the cells are nonsense:
  // a parent cycle, offsets at the extremes, parents past the last cell.
  std::string bytes(kFixedBytes + 12 * 4, '\xFF');
  SetInt(&bytes, 4 * 'a', 0);
  SetInt(&bytes, 4 * 'b', 1);
  SetInt(&bytes, 4 * 'c', 3);
  SetInt(&bytes, 262144, 3);  // highest cell
  SetInt(&bytes, 262148, 4);
  const int cells[4][3] = {{-1, 1, 0}, {INT32_MIN, 0, 1}, {0x7FFFFFFF, 2, 2}, {-3, 99, 3}};
  for (int i = 0; i < 4; ++i) {
    for (int f = 0; f < 3; ++f) SetInt(&bytes, 262152 + 12 * static_cast<std::size_t>(i) + 4 * static_cast<std::size_t>(f), cells[i][f]);
  }
  SetInt(&bytes, bytes.size() - 4, 0);
  WriteFile(Path("odd.dic"), bytes);
  auto dict = std::make_unique<CPDAT>(0);
  ASSERT_TRUE(dict->Load(Path("odd.dic").c_str()));
  for (const char* key : {"a", "b", "c", "ab", "ba", "abc", "cba", "aaaa"}) {
    dict->Search(key);
    dict->MatchLongest(key, nullptr, nullptr);
    int* handles = nullptr;
    int* ends = nullptr;
    unsigned capacity = 0, count = 0;
    dict->MatchAll(key, &handles, &ends, &capacity, &count, 0);
    std::free(handles);
    std::free(ends);
  }
  EXPECT_TRUE(dict->Export(Path("odd.txt").c_str()));
}

// ---- Import ----------------------------------------------------------------

TEST_F(PdatFileTest, ImportTakesOneEntryPerLineAndWritesTheCopy) {
  const std::string list = Path("list.txt");
  WriteFile(list, "\xEF\xBB\xBF" "word 12 n\n"
                  "[New York] 5 ns\r\n"
                  "New_York 3\n"
                  "\n"
                  "   \t \n" +
                      G("中国") + " 9 ns\n"
                  "ab\n"
                  "  word\n"
                  "[x_y z]\n");
  auto filter = BuildDict(0, {"ab"});
  auto dict = std::make_unique<PeekPdat>(0);
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(4, dict->Import(list.c_str(), filter.get()));
  ::testing::internal::GetCapturedStdout();
  EXPECT_TRUE(dict->IsBuilt());
  EXPECT_EQ(0, dict->Search("word"));
  EXPECT_EQ(1, dict->Search("New York"));
  EXPECT_EQ(1, dict->Search("new  york"));
  EXPECT_EQ(2, dict->Search(G("中国").c_str()));
  EXPECT_EQ(3, dict->Search("x y z"));
  EXPECT_EQ(-1, dict->Search("ab"));
  EXPECT_EQ(-1, dict->Search("12"));
  EXPECT_EQ("word\n[New York]\n[New York]\n" + G("中国") + "\nab\nword\n[x y z]\n",
            ReadFile(list + "_export.txt"));
}

TEST_F(PdatFileTest, TheCopyImportsToTheSameWords) {
  const std::string list = Path("words.txt");
  WriteFile(list, "New_York 1\n[a b] 2\n" + G("中国") + "\nsolo\n");
  auto first = std::make_unique<CPDAT>(0);
  EXPECT_EQ(4, first->ImportWithProgress(list.c_str(), nullptr, nullptr));
  auto second = std::make_unique<CPDAT>(0);
  EXPECT_EQ(4, second->ImportWithProgress((list + "_export.txt").c_str(), nullptr, nullptr));
  EXPECT_EQ(Answers(*first, Probes()), Answers(*second, Probes()));
  EXPECT_EQ(ReadFile(list + "_export.txt"), ReadFile(list + "_export.txt_export.txt"));
}

// The copy of a list with every form of entry imports again to the same
// words, in the same order: the two dictionaries are the same file. And the
// copy of the copy is the copy.
TEST_F(PdatFileTest, TheCopyOfEveryEntryFormImportsToTheSameWords) {
  const std::string list = "plain 1 n\n" +
                           G("中国") + " 2\n"
                           "New_York 3\n" +
                           G("北_京") + "\n"
                           "[a b] 4\n"
                           "[" + G("中 国") + "] 5\n"
                           "[tab\there]\n"
                           "[cr\rinside]\n"
                           "[[nested] 6\n"
                           "a_]b 7\n"
                           "ab\x81\x5F" "c_d\n"
                           "[x\x81\x5D y]\n"
                           "\xEF\xBB\xBF" "marked\n"
                           "\xEF\xBB\xBF\n"
                           "[]\n"
                           "plain\n"
                           "[open to the end\n"
                           "[open crlf\r\n"
                           "  \t\n"
                           "[open at eof";
  for (int mode = 0; mode <= 2; ++mode) {
    SCOPED_TRACE(mode);
    const std::string first = Path("forms" + std::to_string(mode) + ".txt");
    WriteFile(first, list);
    auto one = std::make_unique<CPDAT>(mode);
    const int words = one->ImportWithProgress(first.c_str(), nullptr, nullptr);
    EXPECT_GE(words, 15);
    const std::string copy = first + "_export.txt";
    auto two = std::make_unique<CPDAT>(mode);
    EXPECT_EQ(words, two->ImportWithProgress(copy.c_str(), nullptr, nullptr));
    ASSERT_TRUE(one->Save(Path("one.dic").c_str()));
    ASSERT_TRUE(two->Save(Path("two.dic").c_str()));
    EXPECT_TRUE(ReadFile(Path("one.dic")) == ReadFile(Path("two.dic")));
    // The copy of the copy drops only the empty lines of the empty entries
    // (a token of only a byte-order mark, "[]").
    std::string withoutEmpty = ReadFile(copy);
    for (std::size_t at; (at = withoutEmpty.find("\n\n")) != std::string::npos;) {
      withoutEmpty.erase(at, 1);
    }
    EXPECT_EQ(Hex(withoutEmpty), Hex(ReadFile(copy + "_export.txt")));
    for (const std::string& word : {std::string("a b"), G("中 国"), std::string("tab\there"),
                                    std::string("[nested"), std::string("a ]b"),
                                    std::string("open to the end\n")}) {
      EXPECT_EQ(one->Search(word.c_str()), two->Search(word.c_str())) << Hex(word);
    }
  }
}

TEST_F(PdatFileTest, ImportPrintsProgressAfterEveryHundredthWord) {
  std::string text = "\xEF\xBB\xBF\n";  // a token that is only the mark: an empty entry
  for (int i = 0; i < 100; ++i) text += "w" + std::to_string(i) + "\n";
  text += "w99\n";  // a duplicate while the count is 100
  text += "w100\n";
  const std::string list = Path("progress.txt");
  WriteFile(list, text);
  const std::string progressPath = Path("progress.out");
  std::FILE* progress = std::fopen(progressPath.c_str(), "wb");
  ASSERT_NE(nullptr, progress);
  auto dict = std::make_unique<CPDAT>(0);
  EXPECT_EQ(101, dict->ImportWithProgress(list.c_str(), nullptr, progress));
  std::fclose(progress);
  EXPECT_EQ("0\t Completed!\r100\tw99 Completed!\r100\tw99 Completed!\r", ReadFile(progressPath));
  EXPECT_EQ(100, dict->Search("w100"));

  // The slot-6 Import prints the same lines to standard output.
  auto again = std::make_unique<CPDAT>(0);
  ::testing::internal::CaptureStdout();
  again->Import(list.c_str(), nullptr);
  EXPECT_EQ("0\t Completed!\r100\tw99 Completed!\r100\tw99 Completed!\r",
            ::testing::internal::GetCapturedStdout());
}

TEST_F(PdatFileTest, EntriesLeftOutByTheFilterPrintNoProgress) {
  // Both entries arrive while the word count is 0, a multiple of 100: only
  // the one that reaches AddWord reports.
  const std::string list = Path("filtered.txt");
  WriteFile(list, "ab\n\xEF\xBB\xBF\n");
  auto filter = BuildDict(0, {"ab"});
  const std::string progressPath = Path("filtered.out");
  std::FILE* progress = std::fopen(progressPath.c_str(), "wb");
  ASSERT_NE(nullptr, progress);
  auto dict = std::make_unique<CPDAT>(0);
  EXPECT_EQ(0, dict->ImportWithProgress(list.c_str(), filter.get(), progress));
  std::fclose(progress);
  EXPECT_EQ("0\t Completed!\r", ReadFile(progressPath));
  EXPECT_EQ("ab\n\n", ReadFile(list + "_export.txt"));
}

TEST_F(PdatFileTest, ImportFailureLeavesTheDictionaryAlone) {
  auto dict = BuildDict(0, SampleWords());
  const std::vector<int> before = Answers(*dict, Probes());
  EXPECT_EQ(0, dict->ImportWithProgress(Path("missing.txt").c_str(), nullptr, nullptr));
  EXPECT_EQ(before, Answers(*dict, Probes()));

  const std::string list = Path("blocked.txt");
  WriteFile(list, "abc\n");
  std::filesystem::create_directory(list + "_export.txt");  // the copy cannot be created
  EXPECT_EQ(0, dict->ImportWithProgress(list.c_str(), nullptr, nullptr));
  EXPECT_EQ(before, Answers(*dict, Probes()));
  EXPECT_TRUE(dict->IsBuilt());
}

// A copy that cannot be written whole (here the device is full) fails the
// import: 0, the words read dropped (the object as Reset leaves it: no
// words, not built), the partial copy removed.
TEST_F(PdatFileTest, ImportWhoseCopyCannotBeWrittenFails) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  std::string lines;
  for (int i = 0; i < 3000; ++i) lines += "w" + std::to_string(i) + "\n";
  for (const std::string& input : {std::string("abc\n"), lines}) {
    SCOPED_TRACE(input.size());
    const std::string list = Path("full.txt");
    WriteFile(list, input);
    std::filesystem::remove(list + "_export.txt");
    std::filesystem::create_symlink("/dev/full", list + "_export.txt");
    auto dict = std::make_unique<CPDAT>(0);
    EXPECT_EQ(0, dict->ImportWithProgress(list.c_str(), nullptr, nullptr));
    EXPECT_FALSE(dict->IsBuilt());
    EXPECT_EQ(0, dict->GetWordCount());
    EXPECT_EQ(-1, dict->Search("abc"));
    EXPECT_FALSE(std::filesystem::is_symlink(list + "_export.txt"));
  }
}

TEST_F(PdatFileTest, ImportAfterBuildMakesANewDictionary) {
  auto dict = BuildDict(0, {"old1", "old2"});
  const std::string list = Path("new.txt");
  WriteFile(list, "fresh\nnew\n");
  EXPECT_EQ(2, dict->ImportWithProgress(list.c_str(), nullptr, nullptr));
  EXPECT_EQ(0, dict->Search("fresh"));
  EXPECT_EQ(1, dict->Search("new"));
  EXPECT_EQ(-1, dict->Search("old1"));
}

TEST_F(PdatFileTest, ImportReadsLongLinesWhole) {
  const std::string list = Path("long.txt");
  const std::string gbk = std::string(3070, 'g') + G("中");  // 中 across byte 3071
  const std::string bracketed = "[" + std::string(3000, 'x') + " " + std::string(500, 'y') + "]";
  WriteFile(list, std::string(3071, 'q') + " tail\n" + gbk + " 3\n" + bracketed + " 5\nend\n");
  auto dict = std::make_unique<CPDAT>(0);
  EXPECT_EQ(4, dict->ImportWithProgress(list.c_str(), nullptr, nullptr));
  EXPECT_EQ(0, dict->Search(std::string(3071, 'q').c_str()));
  EXPECT_EQ(-1, dict->Search("tail"));
  EXPECT_EQ(1, dict->Search(gbk.c_str()));
  EXPECT_EQ(2, dict->Search(bracketed.substr(1, bracketed.size() - 2).c_str()));
  EXPECT_EQ(3, dict->Search("end"));
  EXPECT_EQ(std::string(3071, 'q') + "\n" + gbk + "\n" + bracketed + "\nend\n",
            ReadFile(list + "_export.txt"));
}

// ---- Export ----------------------------------------------------------------

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start) + "<no CR LF>");
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

TEST_F(PdatFileTest, ExportWritesWordsInCellOrderWithCrLf) {
  auto dict = BuildDict(0, {"c", "a", "b"});
  ASSERT_TRUE(dict->Export(Path("abc.txt").c_str()));
  EXPECT_EQ("a\r\nb\r\nc\r\n", ReadFile(Path("abc.txt")));
}

TEST_F(PdatFileTest, ExportOfALoadedDictionaryWritesEveryWordOnce) {
  std::vector<std::string> words;
  for (int i = 0; i < 300; ++i) {
    words.push_back(G("中") + std::to_string(i));
    words.push_back("w" + std::to_string(i * 7) + G("国"));
  }
  auto built = BuildDict(0, words);
  ASSERT_TRUE(built->Save(Path("many.dic").c_str()));
  auto loaded = std::make_unique<CPDAT>(0);
  ASSERT_TRUE(loaded->Load(Path("many.dic").c_str()));
  ASSERT_TRUE(loaded->Export(Path("many.txt").c_str()));
  const std::vector<std::string> lines = Lines(ReadFile(Path("many.txt")));
  EXPECT_EQ(static_cast<std::size_t>(loaded->GetWordCount()), lines.size());
  EXPECT_EQ(std::set<std::string>(words.begin(), words.end()),
            std::set<std::string>(lines.begin(), lines.end()));
}

TEST_F(PdatFileTest, ExportSpellsWordsAsTheTrieHoldsThem) {
  auto mode0 = BuildDict(0, {"New York"});
  ASSERT_TRUE(mode0->Export(Path("m0.txt").c_str()));
  EXPECT_EQ("new york\r\n", ReadFile(Path("m0.txt")));
  auto mode2 = BuildDict(2, {G("ＡＢＣ"), G("（１）"), G("a、b")});
  ASSERT_TRUE(mode2->Export(Path("m2.txt").c_str()));
  const std::vector<std::string> lines = Lines(ReadFile(Path("m2.txt")));
  EXPECT_EQ((std::set<std::string>{"abc", "(1)", "ab"}), std::set<std::string>(lines.begin(), lines.end()));
}

TEST_F(PdatFileTest, ExportLogsAWordThatSearchCannotFind) {
  auto dict = BuildDict(0, {"\"q7\"", "plain"});
  testing::LogWatch log;
  ASSERT_TRUE(dict->Export(Path("quoted.txt").c_str()));
  const std::vector<std::string> lines = Lines(ReadFile(Path("quoted.txt")));
  EXPECT_EQ((std::set<std::string>{"\"q7\"", "plain"}), std::set<std::string>(lines.begin(), lines.end()));
  EXPECT_EQ(log.Log(), (std::vector<std::string>{"\"q7\"", " handle error"}));
}

TEST_F(PdatFileTest, ExportFailuresAndEmptyDictionaries) {
  auto dict = BuildDict(0, {"a"});
  EXPECT_FALSE(dict->Export(Path("no/such/dir/out.txt").c_str()));
  auto fresh = std::make_unique<CPDAT>(0);
  ASSERT_TRUE(fresh->Export(Path("fresh.txt").c_str()));
  EXPECT_EQ("", ReadFile(Path("fresh.txt")));
  EXPECT_TRUE(FileExists(Path("fresh.txt")));
}

}  // namespace
}  // namespace testing
}  // namespace zhtext
