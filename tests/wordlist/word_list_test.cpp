#include "zhtext/wordlist/word_list.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/gbk_text.h"
#include "tests/support/log_watch.h"
#include "tests/support/temp_dir.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/util/log.h"
#include "zhtext/wordlist/cipher_keys.h"
#include "zhtext/wordlist/vesk_encript.h"

namespace zhtext {
namespace {

using testing::G;
using testing::Hex;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// 32-bit little-endian words.
std::string Words(std::initializer_list<std::int64_t> words) {
  std::string out;
  for (std::int64_t w : words) {
    const auto u = static_cast<std::uint32_t>(w);
    for (int i = 0; i < 4; ++i) out += static_cast<char>((u >> (8 * i)) & 0xFF);
  }
  return out;
}

std::string Enciphered(std::string block) {
  CVeskEncript cipher(WordListKey());
  cipher.EncriptString(block);
  return block;
}

std::unique_ptr<CPDAT> MakeDict(const std::vector<std::string>& words) {
  auto dict = std::make_unique<CPDAT>(0);
  for (const std::string& w : words) dict->AddWord(w.c_str(), false);
  dict->Build();
  return dict;
}

// Every handle's text, 0 to the index size.
std::vector<std::string> Texts(const CWordList& list) {
  std::vector<std::string> out;
  for (int h = 0; h < list.GetIndexSize(); ++h) out.emplace_back(list.GetWord(h));
  return out;
}

class WordListTest : public ::testing::Test {
 protected:
  testing::FixedLogClock clock_;
  TempDir dir_;
};

// ---- Filling and look-ups -------------------------------------------------

TEST_F(WordListTest, LookupsAtTheEdgesOfTheTable) {
  CWordList list(true, nullptr);
  ASSERT_TRUE(list.AddWord("first", 2));
  ASSERT_TRUE(list.AddWord("old", 4));
  ASSERT_TRUE(list.AddWord("new", 4));  // same handle: the later text wins
  ASSERT_TRUE(list.BuildIndex());
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.GetIndexSize(), 5);
  EXPECT_EQ(list.GetTextLength(), 14);  // all three texts with their zeros
  struct Row {
    int handle;
    const char* text;
  } rows[] = {
      {2, "first"}, {4, "new"},
      {0, "first"}, {1, "first"}, {3, "first"},  // no text: the block's first
      {-1, ""},     {5, ""},      {INT_MAX, ""}, {INT_MIN, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.handle);
    EXPECT_STREQ(list.GetWord(row.handle), row.text);
  }
}

TEST_F(WordListTest, InitKeepsTheIndexSizeOfAnEarlierFilling) {
  CWordList list(false, nullptr);
  for (int h = 0; h <= 500; ++h) list.AddWord(("w" + std::to_string(h)).c_str(), h);
  ASSERT_TRUE(list.BuildIndex());
  ASSERT_TRUE(list.Init());
  EXPECT_FALSE(list.IsIndexed());
  EXPECT_EQ(list.GetCount(), 0);
  for (int h = 0; h <= 10; ++h) list.AddWord(("n" + std::to_string(h)).c_str(), h);
  ASSERT_TRUE(list.BuildIndex());
  EXPECT_EQ(list.GetIndexSize(), 501);
  EXPECT_EQ(list.GetCount(), 11);
  EXPECT_STREQ(list.GetWord(10), "n10");
  for (int h = 11; h <= 500; ++h) ASSERT_STREQ(list.GetWord(h), "n0") << h;
  EXPECT_STREQ(list.GetWord(501), "");
}

TEST_F(WordListTest, BuffersGrowPastTheirFirstBlocks) {
  CWordList list(false, nullptr);
  // 25,000 texts of 60 bytes: past 10,000 pairs and past 1,024,000 bytes.
  const int n = 25000;
  for (int h = 0; h < n; ++h) {
    std::string w = std::to_string(h);
    w.resize(59, 'x');
    ASSERT_TRUE(list.AddWord(w.c_str(), h));
  }
  // One text longer than a growth step.
  const std::string huge(3000000, 'h');
  ASSERT_TRUE(list.AddWord(huge.c_str(), n));
  ASSERT_TRUE(list.BuildIndex());
  EXPECT_EQ(list.GetCount(), n + 1);
  EXPECT_EQ(list.GetTextLength(), 60 * n + 3000001);
  for (int h = 0; h < n; h += 997) {
    std::string w = std::to_string(h);
    w.resize(59, 'x');
    ASSERT_EQ(list.GetWord(h), w);
  }
  EXPECT_EQ(list.GetWord(n), huge);
}

TEST_F(WordListTest, WordsOutsideTheDictionaryAreLoggedNotStored) {
  auto dict = MakeDict({G("中国"), "abc"});
  CWordList list(true, dict.get());
  testing::LogWatch log;
  EXPECT_TRUE(list.AddWord((std::string("\xEF\xBB\xBF") + G("中国")).c_str()));  // mark skipped
  EXPECT_TRUE(list.AddWord("abc"));
  EXPECT_TRUE(list.AddWord(G("日本").c_str()));
  EXPECT_TRUE(list.AddWord("stray", -1));
  ASSERT_TRUE(list.BuildIndex());
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.GetWord(0), G("中国"));
  EXPECT_STREQ(list.GetWord(1), "abc");
  EXPECT_EQ(log.Log(), (std::vector<std::string>{G("日本"), "stray"}));

  CWordList orphan(true, nullptr);  // no dictionary: nothing has a handle
  EXPECT_TRUE(orphan.AddWord("abc"));
  EXPECT_EQ(orphan.GetCount(), 0);
  EXPECT_FALSE(orphan.AddWord("max", INT_MAX));
  EXPECT_EQ(orphan.GetCount(), 0);
}

// The offset table can lag behind the texts: words added after indexing, or
// a filling under way. Reads stay inside the table and the text block.
TEST_F(WordListTest, LookupsWhileTheTableLagsStayInside) {
  CWordList list(false, nullptr);
  list.AddWord("a", 0);
  list.AddWord("b", 1);
  ASSERT_TRUE(list.BuildIndex());
  // Added after indexing without Init: not in the table, and BuildIndex
  // does not take it in until a new filling.
  ASSERT_TRUE(list.AddWord("late", 1000));
  EXPECT_EQ(list.GetIndexSize(), 1001);
  EXPECT_STREQ(list.GetWord(1000), "");
  EXPECT_TRUE(list.BuildIndex());
  EXPECT_STREQ(list.GetWord(1000), "");
  EXPECT_STREQ(list.GetWord(1), "b");

  // A new filling with a larger handle, read before BuildIndex.
  list.Init();
  list.AddWord("c", 5000);
  EXPECT_STREQ(list.GetWord(5000), "");
  ASSERT_TRUE(list.BuildIndex());
  EXPECT_STREQ(list.GetWord(5000), "c");
  EXPECT_STREQ(list.GetWord(1000), "c");
}

// ---- BuildFromRecords ---------------------------------------------------------

TEST_F(WordListTest, BuildFromRecords) {
  auto dict = MakeDict({"zero", "one", "two", "three", "four"});
  const std::vector<WORD_RECORD> records = {
      {"one", "ONE"}, {"absent", "X"}, {"three", "THREE"}, {"one", "UNO"}};
  struct Row {
    const char* name;
    bool useText;
    std::vector<std::string> texts;  // handles 0..4
  } rows[] = {
      {"texts", true, {"ONE", "UNO", "ONE", "THREE", "ONE"}},
      {"words", false, {"one", "one", "one", "three", "one"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CWordList list(false, nullptr);
    EXPECT_EQ(list.BuildFromRecords(records, dict.get(), row.useText), 3);
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetIndexSize(), 5);  // the dictionary's word count
    EXPECT_EQ(Texts(list), row.texts);
    // The table came from the records: BuildIndex keeps it.
    EXPECT_TRUE(list.BuildIndex());
    EXPECT_EQ(Texts(list), row.texts);
  }

  CWordList list(false, nullptr);
  list.AddWord("kept", 0);
  list.BuildIndex();
  EXPECT_EQ(list.BuildFromRecords(records, nullptr, true), 0);
  EXPECT_STREQ(list.GetWord(0), "kept");
}

TEST_F(WordListTest, BuildFromRecordsKeepsHandlesAboveTheWordCount) {
  auto dict = std::make_unique<CPDAT>(0);
  dict->AddWord("far", 1000, false);
  dict->AddWord("near", 1, false);
  dict->Build();
  ASSERT_EQ(dict->Search("far"), 1000);
  ASSERT_LT(dict->GetWordCount(), 1000);
  CWordList list(false, nullptr);
  EXPECT_EQ(list.BuildFromRecords({{"far", "FAR"}, {"near", "NEAR"}}, dict.get(), true), 2);
  EXPECT_EQ(list.GetIndexSize(), 1001);
  EXPECT_STREQ(list.GetWord(1000), "FAR");
  EXPECT_STREQ(list.GetWord(1), "NEAR");
}

// ---- Import -------------------------------------------------------------------

TEST_F(WordListTest, ImportTakesEntriesByTheTermRule) {
  auto dict = MakeDict({G("中国"), "new york city", G("北_京")});
  const std::string path = dir_.File("words.txt");
  WriteFile(path, "\xEF\xBB\xBF" + G("中国") + " 12 n\r\n" +  // mark, further columns
                      "[New_York city] 7\n" +              // bracketed, '_' to blank
                      "\n   \t\r\n" +                        // no token
                      G("北_京") + "\n" +                    // GBK: '_' stays
                      "unknown\n");
  CWordList list(true, nullptr);
  testing::LogWatch log;
  EXPECT_EQ(list.Import(path.c_str(), dict.get(), nullptr), 3);
  EXPECT_TRUE(list.IsIndexed());
  EXPECT_EQ(list.GetWord(0), G("中国"));
  EXPECT_STREQ(list.GetWord(1), "New York city");
  EXPECT_EQ(list.GetWord(2), G("北_京"));
  EXPECT_EQ(log.Log(), std::vector<std::string>{"unknown"});
  const std::string copy = ReadFile(path + "_wordlist_export.txt");
  EXPECT_EQ(copy, G("中国") + "\n[New York city]\n" + G("北_京") + "\nunknown\n") << Hex(copy);

  // The copy imports to the same list and copies itself byte for byte.
  const std::string again = dir_.File("again.txt");
  WriteFile(again, copy);
  CWordList second(true, dict.get());
  EXPECT_EQ(second.Import(again.c_str(), nullptr, nullptr), 3);
  EXPECT_EQ(Texts(second), Texts(list));
  EXPECT_EQ(ReadFile(again + "_wordlist_export.txt"), copy);
}

TEST_F(WordListTest, ImportReadsLongLinesWholeAndPrintsProgress) {
  std::vector<std::string> words;
  std::string text;
  for (int i = 0; i < 250; ++i) {
    words.push_back("w" + std::to_string(i));
    text += words.back() + "\n";
  }
  // Lines longer than any buffer: an ASCII word, and a GBK word whose
  // character 中 lies across byte 1023.
  text += std::string(1500, 'a') + " 12\n";
  text += std::string(1022, 'b') + G("中") + "\n";
  words.push_back(std::string(1500, 'a'));
  words.push_back(std::string(1022, 'b') + G("中"));
  words.push_back(std::string(1023, 'a'));  // what a cut line would store
  words.push_back(std::string(477, 'a'));
  auto dict = MakeDict(words);
  const std::string path = dir_.File("words.txt");
  WriteFile(path, text);

  std::FILE* progress = std::tmpfile();
  ASSERT_NE(progress, nullptr);
  CWordList list(false, dict.get());
  EXPECT_EQ(list.Import(path.c_str(), nullptr, progress), 252);
  std::rewind(progress);
  char buffer[256] = {};
  const std::size_t got = std::fread(buffer, 1, sizeof(buffer) - 1, progress);
  std::fclose(progress);
  // The counter starts at 1, so it reaches 100 at the 99th entry.
  EXPECT_EQ(std::string(buffer, got), "Line 100\rLine 200\r");
  EXPECT_EQ(list.GetWord(250), std::string(1500, 'a'));
  EXPECT_EQ(list.GetWord(251), std::string(1022, 'b') + G("中"));
  EXPECT_STREQ(list.GetWord(252), "");
  EXPECT_EQ(ReadFile(path + "_wordlist_export.txt"), text.substr(0, text.find(" 12")) + "\n" +
                                                        std::string(1022, 'b') + G("中") + "\n");
}

// A word list built from a file sizes its table by the dictionary's word
// count: a handle at or above it (a dictionary given handles of its own, a
// cleared one) counts as no handle, so a file of words cannot make the table
// grow beyond what the dictionary holds.
TEST_F(WordListTest, ImportBoundsItsTableByTheWordCount) {
  auto dict = std::make_unique<CPDAT>(0);
  dict->AddWord("near", 0, false);
  dict->AddWord("far", 100000000, false);
  dict->AddWord("next", 1, false);
  dict->Build();
  ASSERT_EQ(dict->GetWordCount(), 3);
  const std::string path = dir_.File("bounded.txt");
  WriteFile(path, "near\nfar\nnext\n");
  CWordList list(false, nullptr);
  testing::LogWatch log;
  EXPECT_EQ(list.Import(path.c_str(), dict.get(), nullptr), 2);
  EXPECT_LE(list.GetIndexSize(), dict->GetWordCount());
  EXPECT_STREQ(list.GetWord(0), "near");
  EXPECT_STREQ(list.GetWord(1), "next");
  EXPECT_EQ(log.Log(), std::vector<std::string>{"far"});
}

TEST_F(WordListTest, ImportThatCannotStartLeavesTheListAsItWas) {
  auto dict = MakeDict({"abc"});
  const std::string path = dir_.File("words.txt");
  WriteFile(path, "abc\n");
  std::filesystem::create_directory(dir_.File("blocked.txt_wordlist_export.txt"));
  WriteFile(dir_.File("blocked.txt"), "abc\n");
  struct Row {
    const char* name;
    std::string path;
    CPDAT* dict;
  } rows[] = {
      {"missing_input", dir_.File("missing.txt"), dict.get()},
      {"copy_not_creatable", dir_.File("blocked.txt"), dict.get()},
      {"no_dictionary", path, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CWordList list(false, nullptr);
    list.AddWord("kept", 0);
    list.BuildIndex();
    EXPECT_EQ(list.Import(row.path.c_str(), row.dict, nullptr), 0);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_STREQ(list.GetWord(0), "kept");
  }
}

// A copy that cannot be written whole (here the device is full) fails the
// import: 0, the words read dropped and the list not indexed, the partial
// copy removed.
TEST_F(WordListTest, ImportWhoseCopyCannotBeWrittenFails) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  auto dict = MakeDict({"abc", "def"});
  std::string lines;
  for (int i = 0; i < 3000; ++i) lines += i % 2 == 0 ? "abc\n" : "def\n";
  for (const std::string& input : {std::string("abc\n"), lines}) {
    SCOPED_TRACE(input.size());
    const std::string path = dir_.File("full.txt");
    WriteFile(path, input);
    std::filesystem::remove(path + "_wordlist_export.txt");
    std::filesystem::create_symlink("/dev/full", path + "_wordlist_export.txt");
    CWordList list(false, nullptr);
    EXPECT_EQ(list.Import(path.c_str(), dict.get(), nullptr), 0);
    EXPECT_FALSE(list.IsIndexed());
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(path + "_wordlist_export.txt"));
  }
}

// ---- ExportFiltered -------------------------------------------------------------

TEST_F(WordListTest, ExportFilteredLeavesOutLongGbkFilterWords) {
  auto dict = MakeDict({G("中国"), G("人"), "abc", G("北京")});
  CWordList list(false, nullptr);
  list.BuildFromRecords({{G("中国"), "A"}, {G("人"), "B"}, {"abc", "C"}, {G("北京"), "D"}},
                        dict.get(), true);
  const std::string filter = dir_.File("filter.txt");
  WriteFile(filter, G("中国") + " x\n" + G("人") + "\nabc\n\nnot-there\n");
  struct Row {
    const char* name;
    const char* filter;
    std::string output;
  } rows[] = {
      {"two_gbk_chars_filtered", filter.c_str(), "B\r\nC\r\nD\r\n"},
      {"missing_filter", "/nonexistent/filter", "A\r\nB\r\nC\r\nD\r\n"},
      {"no_filter", nullptr, "A\r\nB\r\nC\r\nD\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string out = dir_.File(std::string(row.name) + ".txt");
    EXPECT_EQ(list.ExportFiltered(out.c_str(), dict.get(), row.filter), 0);
    EXPECT_EQ(ReadFile(out), row.output);
  }

  ::testing::internal::CaptureStdout();
  EXPECT_EQ(list.ExportFiltered("/nonexistent/out.txt", dict.get(), nullptr), 1);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error open file /nonexistent/out.txt.\n");
  EXPECT_EQ(list.ExportFiltered(dir_.File("x.txt").c_str(), nullptr, nullptr), 1);
}

// ---- The binary file ----------------------------------------------------------

TEST_F(WordListTest, EmptyImportSavesSixteenZeroBytes) {
  auto dict = MakeDict({"abc"});
  const std::string path = dir_.File("empty.txt");
  WriteFile(path, "");
  for (bool encrypt : {true, false}) {
    SCOPED_TRACE(encrypt);
    CWordList list(encrypt, dict.get());
    EXPECT_EQ(list.Import(path.c_str(), nullptr, nullptr), 0);
    const std::string file = dir_.File("empty.wl");
    ASSERT_TRUE(list.Save(file.c_str()));
    EXPECT_EQ(ReadFile(file), std::string(16, '\0'));
    CWordList loaded(encrypt, nullptr);
    EXPECT_TRUE(loaded.Load(file.c_str()));
    EXPECT_EQ(loaded.GetCount(), 0);
    EXPECT_EQ(loaded.GetIndexSize(), 0);
    EXPECT_STREQ(loaded.GetWord(0), "");
  }
  // A list never filled saves the same; one being filled does not save.
  CWordList fresh(true, nullptr);
  ASSERT_TRUE(fresh.Save(dir_.File("fresh.wl").c_str()));
  EXPECT_EQ(ReadFile(dir_.File("fresh.wl")), std::string(16, '\0'));
  fresh.AddWord("pending", 0);
  EXPECT_FALSE(fresh.Save(dir_.File("pending.wl").c_str()));
  EXPECT_FALSE(testing::FileExists(dir_.File("pending.wl")));
  fresh.BuildIndex();
  EXPECT_TRUE(fresh.Save(dir_.File("pending.wl").c_str()));
  EXPECT_FALSE(fresh.Save("/nonexistent/dir/x.wl"));
}

TEST_F(WordListTest, FileLayoutAndByteExactRoundTrip) {
  const std::string block = std::string("ab\0", 3) + G("中文") + std::string("\0z\0", 3);
  for (bool encrypt : {true, false}) {
    SCOPED_TRACE(encrypt);
    CWordList list(encrypt, nullptr);
    list.AddWord("ab", 0);
    list.AddWord(G("中文").c_str(), 3);
    list.AddWord("z", 1);
    ASSERT_TRUE(list.BuildIndex());
    const std::string path = dir_.File("list.wl");
    ASSERT_TRUE(list.Save(path.c_str()));
    const std::string file = ReadFile(path);
    // count 3, index size 4, offsets 0 8 0 3 (and the spare 0), length 10.
    EXPECT_EQ(Hex(file), Hex(Words({3, 4, 0, 8, 0, 3, 0, 10}) +
                             (encrypt ? Enciphered(block) : block)));
    // Memory still holds the plain texts.
    EXPECT_EQ(list.GetWord(3), G("中文"));

    CWordList loaded(encrypt, nullptr);
    ASSERT_TRUE(loaded.Load(path.c_str()));
    EXPECT_TRUE(loaded.IsIndexed());
    EXPECT_EQ(loaded.GetCount(), 3);
    EXPECT_EQ(Texts(loaded), Texts(list));
    EXPECT_TRUE(loaded.BuildIndex());  // keeps the loaded table
    EXPECT_EQ(Texts(loaded), Texts(list));
    const std::string again = dir_.File("again.wl");
    ASSERT_TRUE(loaded.Save(again.c_str()));
    EXPECT_EQ(ReadFile(again), file);
  }
}

TEST_F(WordListTest, FileOfTheOtherCipherSettingIsRefused) {
  for (bool encrypt : {true, false}) {
    SCOPED_TRACE(encrypt);
    CWordList writer(encrypt, nullptr);
    writer.AddWord("hello", 0);
    writer.BuildIndex();
    const std::string path = dir_.File("list.wl");
    ASSERT_TRUE(writer.Save(path.c_str()));
    CWordList reader(!encrypt, nullptr);
    reader.AddWord("kept", 0);
    reader.BuildIndex();
    EXPECT_FALSE(reader.Load(path.c_str()));
    EXPECT_STREQ(reader.GetWord(0), "kept");
  }
}

TEST_F(WordListTest, IndexWithoutTextsLoadsAsEmptyTexts) {
  auto dict = MakeDict({"a", "b", "c"});
  CWordList list(true, nullptr);
  EXPECT_EQ(list.BuildFromRecords({{"absent", "x"}}, dict.get(), false), 0);
  const std::string path = dir_.File("list.wl");
  ASSERT_TRUE(list.Save(path.c_str()));
  EXPECT_EQ(ReadFile(path), Words({0, 3, 0, 0, 0, 0, 0}));
  CWordList loaded(true, nullptr);
  ASSERT_TRUE(loaded.Load(path.c_str()));
  EXPECT_EQ(loaded.GetIndexSize(), 3);
  EXPECT_STREQ(loaded.GetWord(2), "");
  EXPECT_STREQ(loaded.GetWord(3), "");
}

// Truncated and altered files: Load refuses them and the list keeps what it
// held.
TEST_F(WordListTest, DamagedFilesAreRefusedWithoutHarm) {
  for (bool encrypt : {true, false}) {
    SCOPED_TRACE(encrypt);
    // count 3, index size 3, offsets 0 3 0 6, text "ab\0cd\0f\0" (8 bytes).
    const std::string plain = std::string("ab\0cd\0f\0", 8);
    const std::string text = encrypt ? Enciphered(plain) : plain;
    const std::string good = Words({3, 3, 0, 3, 0, 6, 8}) + text;
    std::string lastByte = good;
    lastByte.back() = static_cast<char>(lastByte.back() ^ 'x');
    struct Row {
      std::string name;
      std::string file;
    };
    std::vector<Row> rows = {
        {"negative_count", Words({-1, 3, 0, 3, 0, 6, 8}) + text},
        {"negative_index_size", Words({3, -1, 0, 3, 0, 6, 8}) + text},
        {"huge_index_size", Words({3, 0x7FFFFFFF, 0, 3, 0, 6, 8}) + text},
        {"index_size_past_file", Words({3, 1000, 0, 3, 0, 6, 8}) + text},
        {"negative_offset", Words({3, 3, 0, -1, 0, 6, 8}) + text},
        {"offset_at_text_end", Words({3, 3, 0, 8, 0, 6, 8}) + text},
        {"offset_far_away", Words({3, 3, 0, 3, 0x40000000, 6, 8}) + text},
        {"negative_text_length", Words({3, 3, 0, 3, 0, 6, -1}) + text},
        {"text_length_past_file", Words({3, 3, 0, 3, 0, 6, 9}) + text},
        {"text_length_max", Words({3, 3, 0, 3, 0, 6, 0x7FFFFFFF}) + text},
        {"block_without_final_zero", lastByte},
        {"offsets_into_an_empty_block", Words({3, 3, 0, 3, 0, 6, 0})},
    };
    for (std::size_t n = 0; n < good.size(); ++n) {
      rows.push_back({"truncated_to_" + std::to_string(n), good.substr(0, n)});
    }
    const std::string path = dir_.File("damaged.wl");
    WriteFile(path, good);
    {
      CWordList check(encrypt, nullptr);
      ASSERT_TRUE(check.Load(path.c_str()));
      ASSERT_EQ(Texts(check), (std::vector<std::string>{"ab", "cd", "ab"}));
    }
    for (const Row& row : rows) {
      SCOPED_TRACE(row.name);
      WriteFile(path, row.file);
      CWordList list(encrypt, nullptr);
      list.AddWord("kept", 0);
      list.AddWord("also", 1);
      list.BuildIndex();
      EXPECT_FALSE(list.Load(path.c_str()));
      EXPECT_EQ(list.GetCount(), 2);
      EXPECT_EQ(list.GetIndexSize(), 2);
      EXPECT_EQ(Texts(list), (std::vector<std::string>{"kept", "also"}));
    }
  }
  CWordList list(true, nullptr);
  EXPECT_FALSE(list.Load(dir_.File("missing.wl").c_str()));
}

TEST_F(WordListTest, TrailingBytesAfterTheBlockAreIgnored) {
  const std::string path = dir_.File("list.wl");
  WriteFile(path, Words({1, 1, 0, 0, 3}) + std::string("ab\0", 3) + "tail");
  CWordList list(false, nullptr);
  ASSERT_TRUE(list.Load(path.c_str()));
  EXPECT_STREQ(list.GetWord(0), "ab");
  EXPECT_EQ(list.GetTextLength(), 3);
}

}  // namespace
}  // namespace zhtext
