#include "zhtext/encoding/field_readers.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace zhtext {

namespace {

// The name in its markup, or an empty pattern (never searched for) when the
// name is missing or longer than kMaxFieldNameLength.
std::string Pattern(const char* before, const char* name, const char* after) {
  if (name == nullptr) return std::string();
  std::size_t len = std::strlen(name);
  if (len > kMaxFieldNameLength) return std::string();
  std::string pattern(before);
  pattern.append(name, len);
  pattern.append(after);
  return pattern;
}

// First occurrence of `pattern` in `text`; null for an empty pattern.
const char* Find(const char* text, const std::string& pattern) {
  if (pattern.empty()) return nullptr;
  return std::strstr(text, pattern.c_str());
}

// The value of element `tag` as [*begin, *end); `*end` is the closing tag or
// the terminator. Null when the opening tag is missing.
const char* FindXmlValue(const char* text, const char* tag, const char** end) {
  if (text == nullptr) return nullptr;
  const char* open = Find(text, Pattern("<", tag, ">"));
  if (open == nullptr) return nullptr;
  const char* begin = open + std::strlen(tag) + 2;
  const char* close = Find(begin, Pattern("</", tag, ">"));
  *end = close != nullptr ? close : begin + std::strlen(begin);
  return begin;
}

// The text from `begin` up to the next double quote into `value`; returns
// that quote, or null (the rest of the text taken as the value) when there
// is none.
const char* TakeQuoted(const char* begin, std::string& value) {
  const char* close = std::strchr(begin, '"');
  if (close == nullptr) {
    value.assign(begin);
    return nullptr;
  }
  value.assign(begin, close);
  return close;
}

}  // namespace

const char* GetJsonField(const char* text, const char* key, std::string& value) {
  if (text == nullptr) return nullptr;
  value.clear();
  const char* found = Find(text, Pattern("\"", key, "\":"));
  if (found == nullptr) return nullptr;
  const char* open = std::strchr(found + std::strlen(key) + 3, '"');
  if (open == nullptr) return nullptr;
  return TakeQuoted(open + 1, value);
}

int GetJsonInt(const char* text, const char* key) {
  std::string value;
  GetJsonField(text, key, value);
  return std::atoi(value.c_str());
}

const char* GetXmlField(const char* text, const char* tag, std::string& value) {
  value.clear();
  const char* end = nullptr;
  const char* begin = FindXmlValue(text, tag, &end);
  if (begin == nullptr) return nullptr;
  value.assign(begin, end);
  return *end != '\0' ? end : nullptr;
}

int GetXmlInt(const char* text, const char* tag) {
  std::string value;
  GetXmlField(text, tag, value);
  return std::atoi(value.c_str());
}

bool GetXmlFieldBuf(const char* text, const char* tag, char* dst) {
  // The caller sized `dst` for the value: no cut.
  return GetXmlFieldBuf(text, tag, dst, std::numeric_limits<std::size_t>::max());
}

bool GetXmlFieldBuf(const char* text, const char* tag, char* dst, std::size_t dstSize) {
  const char* end = nullptr;
  const char* begin = FindXmlValue(text, tag, &end);
  if (dstSize == 0) return begin != nullptr;
  if (begin == nullptr) {
    dst[0] = '\0';
    return false;
  }
  std::size_t len = static_cast<std::size_t>(end - begin);
  if (len > dstSize - 1) {
    // Step by characters so a two-byte character is never split.
    std::size_t cut = 0;
    while (cut < len) {
      std::size_t step = static_cast<unsigned char>(begin[cut]) >= 0x80 && cut + 1 < len ? 2 : 1;
      if (cut + step > dstSize - 1) break;
      cut += step;
    }
    len = cut;
  }
  std::memcpy(dst, begin, len);
  dst[len] = '\0';
  return true;
}

const char* GetXmlAttr(const char* text, const char* name, std::string& value, const char* limit) {
  value.clear();
  if (text == nullptr) return nullptr;
  const char* found = Find(text, Pattern("", name, "=\""));
  if (found == nullptr) return nullptr;
  if (limit != nullptr && found > limit) return nullptr;
  return TakeQuoted(found + std::strlen(name) + 2, value);
}

}  // namespace zhtext
