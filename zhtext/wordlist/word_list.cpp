#include "zhtext/wordlist/word_list.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "zhtext/dictionary/import_term.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/platform/filesystem.h"
#include "zhtext/util/binary_io.h"
#include "zhtext/util/line_reader.h"
#include "zhtext/util/log.h"
#include "zhtext/util/text_mode.h"
#include "zhtext/wordlist/cipher_keys.h"
#include "zhtext/wordlist/vesk_encript.h"

namespace zhtext {

namespace {

constexpr int kPairStep = 10000;
constexpr int kTextStep = 1024000;
const char kEmptyText[] = "";

// The next capacity from `capacity` in steps of `step` that exceeds
// `needed`; -1 when it would pass INT_MAX.
std::int64_t GrownCapacity(std::int64_t capacity, std::int64_t needed, int step) {
  while (capacity <= needed) capacity += step;
  return capacity > INT_MAX ? -1 : capacity;
}

}  // namespace

CWordList::CWordList(bool encrypt, CPDAT* dict)
    : m_nWordCount(0),
      m_nIndexSize(0),
      m_pOffsets(nullptr),
      m_pText(nullptr),
      m_nTextCapacity(0),
      m_nTextLen(0),
      m_pPairs(nullptr),
      m_nPairCapacity(0),
      m_pDict(dict),
      m_bEncrypt(encrypt),
      m_bIndexed(false),
      m_nTableSize(0) {
  Init();
}

CWordList::~CWordList() {
  std::free(m_pOffsets);
  std::free(m_pText);
  std::free(m_pPairs);
}

bool CWordList::Init() {
  if (m_pPairs == nullptr) {
    m_pPairs = static_cast<WORDLIST_PAIR*>(std::calloc(kPairStep, sizeof(WORDLIST_PAIR)));
    m_nPairCapacity = m_pPairs != nullptr ? kPairStep : 0;
  }
  if (m_pText == nullptr) {
    m_pText = static_cast<char*>(std::calloc(kTextStep, 1));
    m_nTextCapacity = m_pText != nullptr ? kTextStep : 0;
  }
  m_nWordCount = 0;
  m_nTextLen = 0;
  m_bIndexed = false;
  return m_pPairs != nullptr && m_pText != nullptr;
}

bool CWordList::AddWord(const char* word) {
  if (word == nullptr) return true;
  word = SkipUtf8Bom(word);
  const int handle = m_pDict != nullptr ? m_pDict->Search(word) : -1;
  return AddWord(word, handle);
}

bool CWordList::AppendText(const char* text, std::size_t len, int* offset) {
  const std::int64_t needed = static_cast<std::int64_t>(m_nTextLen) + static_cast<std::int64_t>(len) + 1;
  if (needed >= m_nTextCapacity) {
    // One step normally; more for a text longer than a step.
    const std::int64_t capacity = GrownCapacity(m_nTextCapacity, needed, kTextStep);
    if (capacity < 0) return false;
    void* grown = std::realloc(m_pText, static_cast<std::size_t>(capacity));
    if (grown == nullptr) return false;
    m_pText = static_cast<char*>(grown);
    m_nTextCapacity = static_cast<int>(capacity);
  }
  *offset = m_nTextLen;
  std::memcpy(m_pText + m_nTextLen, text, len);
  m_pText[m_nTextLen + static_cast<int>(len)] = '\0';
  m_nTextLen = static_cast<int>(needed);
  return true;
}

bool CWordList::AddWord(const char* word, int handle) {
  if (word == nullptr) return true;
  if (handle < 0) {
    WriteLog(word, nullptr, false);
    return true;
  }
  if (handle == INT_MAX) return false;
  if (m_nWordCount + static_cast<std::int64_t>(1) >= m_nPairCapacity) {
    // After a Load the word count is the file's and may exceed the buffer:
    // the buffer then grows until the entry fits.
    const std::int64_t capacity =
        GrownCapacity(m_nPairCapacity, static_cast<std::int64_t>(m_nWordCount) + 1, kPairStep);
    if (capacity < 0) return false;
    void* grown = std::realloc(m_pPairs, sizeof(WORDLIST_PAIR) * static_cast<std::size_t>(capacity));
    if (grown == nullptr) return false;
    m_pPairs = static_cast<WORDLIST_PAIR*>(grown);
    std::memset(m_pPairs + m_nPairCapacity, 0,
                sizeof(WORDLIST_PAIR) * static_cast<std::size_t>(capacity - m_nPairCapacity));
    m_nPairCapacity = static_cast<int>(capacity);
  }
  int offset = 0;
  if (!AppendText(word, std::strlen(word), &offset)) return false;
  m_pPairs[m_nWordCount].handle = handle;
  m_pPairs[m_nWordCount].offset = offset;
  ++m_nWordCount;
  if (m_nIndexSize < handle + 1) m_nIndexSize = handle + 1;
  return true;
}

bool CWordList::BuildIndex() {
  if (m_bIndexed) return true;
  const std::size_t entries = static_cast<std::size_t>(m_nIndexSize) + 1;
  int* table = static_cast<int*>(std::calloc(entries, sizeof(int)));
  if (table == nullptr) return false;
  for (int i = 0; i < m_nWordCount && i < m_nPairCapacity; ++i) {
    const WORDLIST_PAIR& pair = m_pPairs[i];
    if (pair.handle >= 0 && pair.handle < m_nIndexSize && pair.offset >= 0 &&
        pair.offset < m_nTextLen) {
      table[pair.handle] = pair.offset;
    }
  }
  std::free(m_pOffsets);
  m_pOffsets = table;
  m_nTableSize = static_cast<int>(entries);
  m_bIndexed = true;
  return true;
}

int CWordList::TableHandles() const {
  if (m_pOffsets == nullptr || m_pText == nullptr) return 0;
  return std::min(m_nIndexSize, m_nTableSize - 1);
}

const char* CWordList::GetWord(int handle) const {
  if (handle < 0 || handle >= TableHandles()) return kEmptyText;
  return m_pText + m_pOffsets[handle];
}

int CWordList::BuildFromRecords(const std::vector<WORD_RECORD>& records, CPDAT* dict,
                                bool useText) {
  if (dict == nullptr) return 0;
  std::vector<WORDLIST_PAIR> pairs;
  pairs.reserve(kPairStep);
  if (m_pText == nullptr) {
    m_pText = static_cast<char*>(std::calloc(kTextStep, 1));
    if (m_pText == nullptr) return 0;
    m_nTextCapacity = kTextStep;
  }
  m_nWordCount = 0;
  m_nTextLen = 0;
  int largest = -1;
  for (const WORD_RECORD& record : records) {
    const int handle = dict->Search(record.word.c_str());
    if (handle < 0 || handle == INT_MAX) continue;
    const char* text = useText ? record.text.c_str() : record.word.c_str();
    int offset = 0;
    if (!AppendText(text, std::strlen(text), &offset)) break;
    pairs.push_back(WORDLIST_PAIR{handle, offset});
    largest = std::max(largest, handle);
    ++m_nWordCount;
  }
  // A dictionary given handles of its own may hold one above its word
  // count; the table then grows so that no stored text is lost.
  m_nIndexSize = std::max(dict->GetWordCount(), largest + 1);
  const std::size_t entries = static_cast<std::size_t>(m_nIndexSize) + 1;
  int* table = static_cast<int*>(std::calloc(entries, sizeof(int)));
  if (table == nullptr) {
    // Without a table nothing can be looked up: keep an empty list.
    m_nWordCount = 0;
    m_nTextLen = 0;
    m_nIndexSize = 0;
    std::free(m_pOffsets);
    m_pOffsets = nullptr;
    m_nTableSize = 0;
    return 0;
  }
  for (const WORDLIST_PAIR& pair : pairs) table[pair.handle] = pair.offset;
  std::free(m_pOffsets);
  m_pOffsets = table;
  m_nTableSize = static_cast<int>(entries);
  // The table describes these texts; the pair buffer does not, so a later
  // BuildIndex must not rebuild the table from it.
  m_bIndexed = true;
  return m_nWordCount;
}

int CWordList::Import(const char* path, CPDAT* dict, std::FILE* progress) {
  if (path == nullptr || (dict == nullptr && m_pDict == nullptr)) return 0;
  UniqueFile in(std::fopen(path, "rb"));
  if (in == nullptr) return 0;
  ImportCopy copy;
  if (!copy.Open(std::string(path) + "_wordlist_export.txt")) return 0;

  if (dict != nullptr) m_pDict = dict;
  Init();
  std::string line;
  std::string token;
  std::string term;
  std::string form;
  int counter = 1;
  while (ReadLine(in.get(), &line)) {
    std::size_t len = 0;
    const char* start = ScanImportToken(line.c_str(), &len);
    if (start == nullptr) continue;
    token.assign(start, len);
    NormalizeImportTerm(token.c_str(), start, "\n", &term, &form);
    if (!copy.Write(form)) break;
    ++counter;
    if (progress != nullptr && counter % 100 == 0) std::fprintf(progress, "Line %d\r", counter);
    // AddWord(term), with the table bounded by the dictionary's word count:
    // a handle at or above it counts as none.
    const char* word = SkipUtf8Bom(term.c_str());
    int handle = m_pDict->Search(word);
    if (handle >= m_pDict->GetWordCount()) handle = -1;
    AddWord(word, handle);
  }
  in.reset();
  if (!copy.Finish()) {
    Init();  // the words read are dropped; the list is not indexed
    return 0;
  }
  BuildIndex();
  return m_nWordCount;
}

int CWordList::ExportFiltered(const char* path, CPDAT* dict, const char* filterPath) const {
  if (dict == nullptr || path == nullptr) return 1;
  const int n = std::max(dict->GetWordCount(), 0);
  std::vector<unsigned char> marks(static_cast<std::size_t>(n), 0);
  if (filterPath != nullptr) {
    UniqueFile filter(std::fopen(filterPath, "rb"));
    if (filter != nullptr) {
      std::string line;
      std::string token;
      while (ReadLine(filter.get(), &line)) {
        std::size_t len = 0;
        const char* start = ScanImportToken(line.c_str(), &len);
        if (start == nullptr) continue;
        token.assign(start, len);
        const int h = dict->Search(token.c_str());
        if (h >= 0 && h < n && static_cast<unsigned char>(token[0]) >= 0x80 && token.size() > 2) {
          marks[static_cast<std::size_t>(h)] = 1;
        }
      }
    }
  }
  std::FILE* out = OpenTextFile(path, "w");
  if (out == nullptr) {
    std::printf("Error open file %s.\n", path);
    return 1;
  }
  bool ok = true;
  for (int h = 0; h < n && ok; ++h) {
    if (marks[static_cast<std::size_t>(h)] != 0) continue;
    ok = WriteText(out, GetWord(h)) && WriteText(out, "\n", 1);
  }
  ok = std::fclose(out) == 0 && ok;
  return ok ? 0 : 1;
}

bool CWordList::Save(const char* path) const {
  const bool neverFilled = !m_bIndexed && m_nWordCount == 0 && m_pOffsets == nullptr;
  if (!m_bIndexed && !neverFilled) return false;
  if (path == nullptr) return false;
  UniqueFile fp(std::fopen(path, "wb"));
  if (fp == nullptr) return false;

  const int indexSize = neverFilled ? 0 : TableHandles();
  const int textLen = neverFilled ? 0 : m_nTextLen;
  const int header[2] = {neverFilled ? 0 : m_nWordCount, indexSize};
  const int noOffsets[1] = {0};
  bool ok = WriteInt32s(fp.get(), header, 2);
  ok = ok && WriteInt32s(fp.get(), m_pOffsets != nullptr ? m_pOffsets : noOffsets,
                         static_cast<std::size_t>(indexSize) + 1);
  ok = ok && WriteInt32s(fp.get(), &textLen, 1);
  if (ok && textLen > 0) {
    if (m_bEncrypt) {
      // Enciphered piece by piece through a copy: the texts in memory stay
      // plain and the list is not changed.
      const CVeskEncript cipher(WordListKey());
      unsigned char chunk[65536];
      std::size_t done = 0;
      const std::size_t total = static_cast<std::size_t>(textLen);
      while (ok && done < total) {
        const std::size_t n = std::min(sizeof(chunk), total - done);
        std::memcpy(chunk, m_pText + done, n);
        cipher.EncriptBuffer(chunk, n, done);
        ok = std::fwrite(chunk, 1, n, fp.get()) == n;
        done += n;
      }
    } else {
      ok = std::fwrite(m_pText, 1, static_cast<std::size_t>(textLen), fp.get()) ==
           static_cast<std::size_t>(textLen);
    }
  }
  ok = std::fclose(fp.release()) == 0 && ok;
  return ok;
}

bool CWordList::Load(const char* path) {
  if (path == nullptr) return false;
  UniqueFile fp(std::fopen(path, "rb"));
  if (fp == nullptr) return false;

  platform::FileStatus status;
  int header[2] = {0, 0};
  if (!platform::GetStreamStatus(fp.get(), &status) || !ReadInt32s(fp.get(), header, 2)) {
    return false;
  }
  const int wordCount = header[0];
  const int indexSize = header[1];
  if (wordCount < 0 || indexSize < 0 || indexSize == INT_MAX) return false;
  const std::int64_t entries = static_cast<std::int64_t>(indexSize) + 1;
  // Both the table and the text length must lie inside the file before
  // anything is allocated for them.
  if (status.size < 12 + 4 * entries) return false;

  std::unique_ptr<int, decltype(&std::free)> table(
      static_cast<int*>(std::malloc(sizeof(int) * static_cast<std::size_t>(entries))), &std::free);
  if (table == nullptr) return false;
  int textLen = 0;
  if (!ReadInt32s(fp.get(), table.get(), static_cast<std::size_t>(entries)) ||
      !ReadInt32s(fp.get(), &textLen, 1)) {
    return false;
  }
  if (textLen < 0 || textLen == INT_MAX || status.size < 12 + 4 * entries + textLen) return false;
  for (std::int64_t i = 0; i < entries; ++i) {
    const int offset = table.get()[i];
    const bool inside = textLen > 0 ? offset >= 0 && offset < textLen : offset == 0;
    if (!inside) return false;
  }

  // One byte more than the block, always zero, so that an empty block still
  // reads as the empty text.
  std::unique_ptr<char, decltype(&std::free)> text(
      static_cast<char*>(std::malloc(static_cast<std::size_t>(textLen) + 1)), &std::free);
  if (text == nullptr) return false;
  if (std::fread(text.get(), 1, static_cast<std::size_t>(textLen), fp.get()) !=
      static_cast<std::size_t>(textLen)) {
    return false;
  }
  text.get()[textLen] = '\0';
  if (m_bEncrypt && textLen > 0) {
    const CVeskEncript cipher(WordListKey());
    cipher.EncriptBuffer(reinterpret_cast<unsigned char*>(text.get()),
                         static_cast<std::size_t>(textLen));
  }
  // Every text ends in a zero byte, the last one included; a block read
  // with the wrong cipher setting does not.
  if (textLen > 0 && text.get()[textLen - 1] != '\0') return false;

  std::free(m_pOffsets);
  std::free(m_pText);
  m_pOffsets = table.release();
  m_nTableSize = static_cast<int>(entries);
  m_pText = text.release();
  m_nTextCapacity = textLen + 1;
  m_nTextLen = textLen;
  m_nWordCount = wordCount;
  m_nIndexSize = indexSize;
  // The table comes from the file, not from the pair buffer: BuildIndex
  // keeps it.
  m_bIndexed = true;
  return true;
}

}  // namespace zhtext
