#include "zhtext/dictionary/import_term.h"

#include <cstdio>
#include <cstring>

#include "zhtext/encoding/gbk_chars.h"
#include "zhtext/util/string_utils.h"

namespace zhtext {

namespace {

inline bool IsScanBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Whether `text` holds a byte that ends a token (a blank of "%s" scanning).
bool HasScanBlank(const std::string& text) {
  for (char c : text) {
    if (IsScanBlank(static_cast<unsigned char>(c))) return true;
  }
  return false;
}

}  // namespace

const char* ScanImportToken(const char* line, std::size_t* len) {
  const char* start = line;
  while (IsScanBlank(static_cast<unsigned char>(*start))) ++start;
  if (*start == '\0') return nullptr;
  const char* end = start;
  while (*end != '\0' && !IsScanBlank(static_cast<unsigned char>(*end))) ++end;
  *len = static_cast<std::size_t>(end - start);
  return start;
}

const char* SkipUtf8Bom(const char* text) {
  return std::strncmp(text, "\xEF\xBB\xBF", 3) == 0 ? text + 3 : text;
}

bool NormalizeImportTerm(const char* token, const char* rest, const char* separator,
                         std::string* term, std::string* output) {
  const char* t = SkipUtf8Bom(token != nullptr ? token : "");
  if (t[0] == '[') {
    // Brackets are one-byte characters: the second byte of a two-byte
    // character (81 5D) closes nothing.
    const char* open = rest != nullptr ? FindAsciiChar(rest, '[') : nullptr;
    if (open == nullptr) open = t;
    const char* start = open + 1;
    const char* close = FindAsciiChar(start, ']');
    if (close != nullptr) {
      term->assign(start, static_cast<std::size_t>(close - start));
    } else {
      term->assign(start);
    }
  } else {
    term->assign(t);
  }

  const unsigned char first = term->empty() ? 0 : static_cast<unsigned char>((*term)[0]);
  if (first >= 0x01 && first <= 0x7F) ReplaceAll(*term, "_", " ");

  // The output form reads back as the same term (the copy imports again to
  // the same words).
  //   - A term that ends in its line's LF (a bracket left open) is written
  //     as it was read: "[" and the term, whose LF ends the line.
  //   - A term that a token cannot hold (it has blanks, or it starts with
  //     '[', which would open a bracket) is written in brackets, whatever
  //     its first byte; the rule's own case is an ASCII term with a blank or
  //     a tab.
  //   - Brackets cannot hold a ']': such a term came from a token whose '_'
  //     became blanks, and goes back to '_' unbracketed.
  bool bracketed = false;
  bool lineEnded = false;
  if (!term->empty() && term->back() == '\n') {
    output->assign("[");
    output->append(*term);
    bracketed = true;
    lineEnded = true;
  } else if (!term->empty() && ((*term)[0] == '[' || HasScanBlank(*term))) {
    const bool underscores = FindAsciiChar(term->c_str(), ']') != nullptr && first <= 0x7F &&
                             first != '[' && term->find_first_of("\t\n\v\f\r") == std::string::npos;
    if (underscores) {
      output->assign(*term);
      ReplaceAll(*output, " ", "_");
    } else {
      output->assign("[");
      output->append(*term);
      output->append("]");
      bracketed = true;
    }
  } else {
    output->assign(*term);
  }
  if (separator != nullptr && !(lineEnded && std::strcmp(separator, "\n") == 0)) {
    output->append(separator);
  }
  return bracketed;
}

ImportCopy::~ImportCopy() {
  if (m_fp != nullptr) {
    std::fclose(m_fp);
    std::remove(m_strPath.c_str());
  }
}

bool ImportCopy::Open(const std::string& path) {
  m_strPath = path;
  m_bOk = true;
  m_fp = std::fopen(path.c_str(), "wb");
  return m_fp != nullptr;
}

bool ImportCopy::Write(const std::string& bytes) {
  if (m_fp == nullptr) return false;
  if (m_bOk && std::fwrite(bytes.data(), 1, bytes.size(), m_fp) != bytes.size()) m_bOk = false;
  return m_bOk;
}

bool ImportCopy::Finish() {
  if (m_fp == nullptr) return false;
  const bool closed = std::fclose(m_fp) == 0;
  m_fp = nullptr;
  m_bOk = m_bOk && closed;
  if (!m_bOk) std::remove(m_strPath.c_str());
  return m_bOk;
}

}  // namespace zhtext
