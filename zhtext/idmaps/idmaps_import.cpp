// CIDMaps: the five text imports (word pairs, parallel files, tabbed lines,
// delimited lists, symmetric lists).
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "zhtext/dictionary/import_term.h"
#include "zhtext/dictionary/pdat.h"
#include "zhtext/encoding/field_splitter.h"
#include "zhtext/encoding/gbk_chars.h"
#include "zhtext/idmaps/idmaps.h"
#include "zhtext/util/binary_io.h"
#include "zhtext/util/line_reader.h"
#include "zhtext/util/log.h"

namespace zhtext {

namespace {

// Where the scan for the value token of an ImportPairs line starts, given
// the key token at `token` (length `len`): after the key token, or, when the
// key's brackets hold blanks, after the token that holds the closing ']'.
// Null when a key bracket stays open to the end of the line.
const char* ValueScanStart(const char* token, std::size_t len) {
  const char* end = token + len;
  const char* open = SkipUtf8Bom(token);
  if (*open != '[') return end;
  const char* close = FindAsciiChar(open + 1, ']');
  if (close == nullptr) return nullptr;
  if (close < end) return end;
  std::size_t rest = 0;  // the rest of the token that holds the ']'
  ScanImportToken(close, &rest);
  return close + rest;
}

// The handle of `word` in `dict`, or -1; a handle at or above the
// dictionary's word count (given by the host, or left in a cleared
// dictionary) counts as none, so that the index of a map built from a file
// stays within the dictionaries' word counts.
int HandleOf(const CPDAT* dict, const char* word) {
  const int handle = dict->Search(word);
  return handle < dict->GetWordCount() ? handle : -1;
}

// Accepts or rejects the pair (k, v) of `keyWord` and `valueWord` (see the
// common rules in idmaps.h). `sameDict`: both handles come from one
// dictionary, so a word may not be paired with itself. With `bothWays` an
// accepted pair is also added as (v, k).
void OfferPair(CIDMaps& map, int k, int v, bool sameDict, bool bothWays, const char* keyWord,
               const char* valueWord) {
  if (k < 0 || v < -1 || (sameDict && k == v)) {
    std::string message;
    if (k < 0) message += keyWord;
    if (v < 0) {
      message += ' ';
      message += valueWord;
    }
    message += " invalid argument!";
    WriteErrorLog(message);
    return;
  }
  map.AddPair(k, v);
  if (bothWays) map.AddPair(v, k);
}

}  // namespace

int CIDMaps::ImportParallel(const char* keyPath, const char* valuePath, CPDAT* keyDict,
                            CPDAT* valueDict) {
  if (keyDict == nullptr || keyPath == nullptr || valuePath == nullptr) return 0;
  if (valueDict == nullptr) valueDict = keyDict;
  UniqueFile keys(std::fopen(keyPath, "rb"));
  if (keys == nullptr) return 0;
  UniqueFile values(std::fopen(valuePath, "rb"));
  if (values == nullptr) return 0;

  Clear();
  const bool sameDict = keyDict == valueDict;
  std::string keyLine;
  std::string valueLine;
  std::string keyWord;
  std::string valueWord;
  bool haveKey = ReadLine(keys.get(), &keyLine);
  while (haveKey && ReadLine(values.get(), &valueLine)) {
    std::size_t keyLen = 0;
    std::size_t valueLen = 0;
    const char* keyToken = ScanImportToken(SkipUtf8Bom(keyLine.c_str()), &keyLen);
    const char* valueToken = ScanImportToken(SkipUtf8Bom(valueLine.c_str()), &valueLen);
    if (keyToken != nullptr && valueToken != nullptr) {
      keyWord.assign(keyToken, keyLen);
      valueWord.assign(valueToken, valueLen);
      OfferPair(*this, HandleOf(keyDict, keyWord.c_str()), HandleOf(valueDict, valueWord.c_str()),
                sameDict, false, keyWord.c_str(), valueWord.c_str());
    }
    haveKey = ReadLine(keys.get(), &keyLine);
  }
  keys.reset();
  values.reset();
  return BuildMap() ? m_nDataSize : 0;
}

int CIDMaps::ImportPairs(const char* path, CPDAT* keyDict, CPDAT* valueDict,
                         std::FILE* progress) {
  if (keyDict == nullptr || path == nullptr) return 0;
  if (valueDict == nullptr) valueDict = keyDict;
  UniqueFile in(std::fopen(path, "rb"));
  if (in == nullptr) return 0;
  ImportCopy copy;
  if (!copy.Open(std::string(path) + "_map_export.txt")) return 0;

  Clear();
  const bool sameDict = keyDict == valueDict;
  std::string line;
  std::string keyToken;
  std::string valueToken;
  std::string keyTerm;
  std::string valueTerm;
  std::string keyForm;
  std::string valueForm;
  int count = 0;
  while (ReadLine(in.get(), &line)) {
    std::size_t keyLen = 0;
    const char* keyStart = ScanImportToken(line.c_str(), &keyLen);
    if (keyStart == nullptr) continue;
    keyToken.assign(keyStart, keyLen);
    NormalizeImportTerm(keyToken.c_str(), keyStart, nullptr, &keyTerm, &keyForm);

    const char* valueFrom = ValueScanStart(keyStart, keyLen);
    std::size_t valueLen = 0;
    const char* valueStart = valueFrom != nullptr ? ScanImportToken(valueFrom, &valueLen) : nullptr;
    if (valueStart == nullptr) {
      // Nothing to pair the key with: the copy keeps the key alone.
      // A key whose bracket ran to the end of the line ends in its LF.
      if (keyForm.empty() || keyForm.back() != '\n') keyForm += '\n';
      if (!copy.Write(keyForm)) break;
      continue;
    }
    valueToken.assign(valueStart, valueLen);
    NormalizeImportTerm(valueToken.c_str(), valueStart, "\n", &valueTerm, &valueForm);
    keyForm += '\t';
    if (!copy.Write(keyForm) || !copy.Write(valueForm)) break;

    ++count;
    if (progress != nullptr && count % 100 == 0) {
      std::fprintf(progress, "Line %d: %s->%s\n", count, keyToken.c_str(), valueToken.c_str());
    }
    OfferPair(*this, HandleOf(keyDict, keyTerm.c_str()), HandleOf(valueDict, valueTerm.c_str()),
              sameDict, false, keyTerm.c_str(), valueTerm.c_str());
  }
  in.reset();
  if (!copy.Finish()) {
    Clear();  // the pairs read are dropped; nothing is packed
    return 0;
  }
  return BuildMap() ? m_nDataSize : 0;
}

int CIDMaps::ImportTabbed(const char* path, CPDAT* dict, std::FILE* progress) {
  if (dict == nullptr || path == nullptr) return 0;
  UniqueFile in(std::fopen(path, "rb"));
  if (in == nullptr) return 0;

  Clear();
  std::string line;
  std::vector<std::string> fields;
  int count = 0;
  while (ReadLine(in.get(), &line)) {
    const int n = SplitFields(line.c_str(), "\t", fields);
    if (n < 2) continue;
    if (progress != nullptr && count % 100 == 0) std::fprintf(progress, "%d\r", count);
    ++count;
    const std::string& keyWord = fields.back();
    const int k = HandleOf(dict, keyWord.c_str());
    if (k < 0) continue;
    for (int i = 0; i + 1 < n; ++i) {
      const std::string& valueWord = fields[static_cast<std::size_t>(i)];
      OfferPair(*this, k, HandleOf(dict, valueWord.c_str()), true, false, keyWord.c_str(),
                valueWord.c_str());
    }
  }
  in.reset();
  return BuildMap() ? m_nDataSize : 0;
}

namespace {

// The body of ImportLists and ImportSymmetric.
void ReadLists(CIDMaps& map, std::FILE* in, CPDAT* keyDict, CPDAT* valueDict, bool bothWays,
               std::FILE* progress) {
  const bool sameDict = keyDict == valueDict;
  std::string line;
  std::vector<std::string> fields;
  int count = 0;
  while (ReadLine(in, &line)) {
    const int n = SplitFields(line.c_str(), ", \t\r\n", fields);
    if (n == 0) continue;
    ++count;
    if (progress != nullptr && count % 100 == 0) {
      std::fprintf(progress, "Line %d: %s\n", count, line.c_str());
    }
    const std::string& keyWord = fields[0];
    const int k = HandleOf(keyDict, keyWord.c_str());
    for (int i = 1; i < n; ++i) {
      const std::string& valueWord = fields[static_cast<std::size_t>(i)];
      OfferPair(map, k, HandleOf(valueDict, valueWord.c_str()), sameDict, bothWays, keyWord.c_str(),
                valueWord.c_str());
    }
  }
}

}  // namespace

int CIDMaps::ImportLists(const char* path, CPDAT* keyDict, CPDAT* valueDict,
                         std::FILE* progress) {
  if (keyDict == nullptr || path == nullptr) return 0;
  if (valueDict == nullptr) valueDict = keyDict;
  UniqueFile in(std::fopen(path, "rb"));
  if (in == nullptr) return 0;
  Clear();
  ReadLists(*this, in.get(), keyDict, valueDict, false, progress);
  in.reset();
  return BuildMap() ? m_nDataSize : 0;
}

int CIDMaps::ImportSymmetric(const char* path, CPDAT* dict, std::FILE* progress) {
  if (dict == nullptr || path == nullptr) return 0;
  UniqueFile in(std::fopen(path, "rb"));
  if (in == nullptr) return 0;
  Clear();
  ReadLists(*this, in.get(), dict, dict, true, progress);
  in.reset();
  return BuildMap() ? m_nDataSize : 0;
}

}  // namespace zhtext
