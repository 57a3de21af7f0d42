// CIDMaps: the text report and the map as word pairs.
#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "zhtext/idmaps/idmaps.h"
#include "zhtext/util/text_mode.h"
#include "zhtext/wordlist/word_list.h"

namespace zhtext {

namespace {

const char* WordOf(const CWordList* list, int handle) {
  return list != nullptr ? list->GetWord(handle) : "(null)";
}

// Collects the report and hands it to the text-mode writer in large pieces.
class ReportWriter {
 public:
  explicit ReportWriter(std::FILE* out) : out_(out) {}

  // `format` is one of the report's short pieces with a single %d.
  void Append(const char* format, int a) {
    char piece[64];
    const int n = std::snprintf(piece, sizeof(piece), format, a);
    if (n > 0) buffer_.append(piece, std::min(static_cast<std::size_t>(n), sizeof(piece) - 1));
    FlushIfLarge();
  }
  void Append(const char* text) {
    buffer_ += text;
    FlushIfLarge();
  }
  bool Finish() {
    Flush();
    return ok_;
  }

 private:
  void FlushIfLarge() {
    if (buffer_.size() >= 65536) Flush();
  }
  void Flush() {
    if (ok_ && !buffer_.empty()) ok_ = WriteText(out_, buffer_.data(), buffer_.size());
    buffer_.clear();
  }

  std::FILE* out_;
  std::string buffer_;
  bool ok_ = true;
};

}  // namespace

bool CIDMaps::ExportText(const char* path, const CWordList* keyWords,
                         const CWordList* valueWords, bool multiOnly) const {
  if (path == nullptr) return false;
  std::FILE* out = OpenTextFile(path, "w");
  if (out == nullptr) return false;
  ReportWriter report(out);
  report.Append("Data Size=%d", m_nDataSize);
  report.Append(",Index Size=%d\n", m_nIndexSize);
  // Null while pairs are being added: the arrays then do not match the
  // sizes, and no key is reported.
  const IDMAP_RANGE* index = GetIndex();
  for (int k = 0; index != nullptr && k < m_nIndexSize; ++k) {
    int count = 0;
    const int* values = GetIDList(k, &count);
    if (values == nullptr || (multiOnly && count <= 1)) continue;
    report.Append("Handle=%d(", k);
    report.Append(WordOf(keyWords, k));
    report.Append("),Start=%d", index[k].start);
    report.Append("\tEnd=%d", index[k].end);
    report.Append(" count=%d\n data=", count);
    for (int i = 0; i < count; ++i) {
      report.Append("%d(", values[i]);
      report.Append(WordOf(valueWords, values[i]));
      report.Append(") ");
    }
    report.Append("\n");
  }
  bool ok = report.Finish();
  ok = std::fclose(out) == 0 && ok;
  return ok;
}

int CIDMaps::GetWordPairs(std::vector<std::pair<std::string, std::string>>& pairs,
                          const CWordList* keyWords, const CWordList* valueWords) const {
  if (keyWords == nullptr || valueWords == nullptr) return static_cast<int>(pairs.size());
  for (int k = 0; k < m_nIndexSize; ++k) {
    int count = 0;
    const int* values = GetIDList(k, &count);
    for (int i = 0; i < count; ++i) {
      pairs.emplace_back(keyWords->GetWord(k), valueWords->GetWord(values[i]));
    }
  }
  return static_cast<int>(pairs.size());
}

}  // namespace zhtext
