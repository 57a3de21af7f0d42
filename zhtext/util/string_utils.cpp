#include "zhtext/util/string_utils.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

#include "zhtext/encoding/gbk_chars.h"

namespace zhtext {

namespace {

inline bool IsBlank(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

// A1 A1 (ideographic space) or A3 A0.
inline bool IsFullWidthBlank(char first, char second) {
  const unsigned char a = static_cast<unsigned char>(first);
  const unsigned char b = static_cast<unsigned char>(second);
  return (a == 0xA1 && b == 0xA1) || (a == 0xA3 && b == 0xA0);
}

// The first occurrence of `find` (`findLen` > 0 bytes) in text[from, len)
// that starts where a character starts, or npos. `from` starts a character.
// A match may not begin at the second byte of a two-byte character.
std::size_t FindAtCharStart(const char* text, std::size_t len, std::size_t from, const char* find,
                            std::size_t findLen) {
  for (std::size_t i = from; i + findLen <= len; i += GbkStep(text, i, len)) {
    if (text[i] == find[0] && std::memcmp(text + i, find, findLen) == 0) return i;
  }
  return std::string::npos;
}

// A 256-entry membership table for a delimiter set (null = no delimiters).
// The terminator is never a member.
class ByteSet {
 public:
  explicit ByteSet(const char* bytes) {
    std::memset(member_, 0, sizeof(member_));
    if (bytes == nullptr) return;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes); *p; ++p) {
      member_[*p] = true;
    }
  }
  bool Has(char c) const { return member_[static_cast<unsigned char>(c)]; }
  // Whether the character at `p` (not the terminator) is a one-byte member:
  // a two-byte character is never a delimiter, whatever its bytes.
  bool HasChar(const char* p) const { return GbkStep(p) == 1 && Has(*p); }

 private:
  bool member_[256];
};

// atoi over a byte range: optional white space, an optional sign, then
// digits; 0 when there are none. Saturates instead of overflowing.
long long ParseLeadingInt(const char* p, const char* end) {
  while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = (*p == '-');
    ++p;
  }
  long long value = 0;
  for (; p < end && *p >= '0' && *p <= '9'; ++p) {
    const int digit = *p - '0';
    if (value > (LLONG_MAX - digit) / 10) {
      value = LLONG_MAX;
      while (p < end && *p >= '0' && *p <= '9') ++p;
      break;
    }
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

}  // namespace

// ---- Trimming and whitespace ---------------------------------------------

bool TrimSpaces(std::string& text) {
  if (text.empty()) return false;
  std::size_t begin = 0;
  std::size_t end = text.size();
  for (;;) {
    if (begin < end && IsBlank(text[begin])) {
      ++begin;
    } else if (end - begin >= 2 && IsFullWidthBlank(text[begin], text[begin + 1])) {
      begin += 2;
    } else {
      break;
    }
  }
  for (;;) {
    if (end > begin && IsBlank(text[end - 1])) {
      --end;
    } else if (end - begin >= 2 && IsFullWidthBlank(text[end - 2], text[end - 1])) {
      end -= 2;
    } else {
      break;
    }
  }
  text = text.substr(begin, end - begin);
  return true;
}

void TrimChar(std::string& text, char ch) {
  // By characters: only one-byte characters equal to `ch` are trimmed, so a
  // two-byte character ending in the byte `ch` stays whole.
  const std::size_t n = text.size();
  std::size_t begin = n;  // the first character that is not `ch`
  std::size_t end = 0;    // the end of the last one
  for (std::size_t i = 0; i < n;) {
    const std::size_t step = GbkStep(text.data(), i, n);
    if (step != 1 || text[i] != ch) {
      if (begin == n) begin = i;
      end = i + step;
    }
    i += step;
  }
  if (begin == n) {
    text.clear();
    return;
  }
  text = text.substr(begin, end - begin);
}

char* CollapseSpaces(char* text) {
  if (text == nullptr) return nullptr;
  std::size_t write = 0;
  for (const char* read = text; *read; ++read) {
    if (!IsBlank(*read)) {
      text[write++] = *read;
    } else if (write > 0 && text[write - 1] != ' ') {
      // Only SPACE is ever written for a blank, so the last written byte is
      // blank exactly when it is a SPACE.
      text[write++] = ' ';
    }
  }
  if (write > 0 && text[write - 1] == ' ') --write;
  text[write] = '\0';
  return text;
}

void NormalizeSpaces(const char* text, std::string& out) {
  out.clear();
  if (text == nullptr || *text == '\0') return;
  std::size_t length = std::strlen(text);
  while (length > 1 && (text[length - 1] == '\r' || text[length - 1] == '\n')) --length;
  // By characters: a letter is a one-byte character, never the second byte
  // of a two-byte one.
  bool letter_before = false;  // the last character appended is a letter
  for (std::size_t i = 0; i < length;) {
    const std::size_t step = GbkStep(text, i, length);
    const char c = text[i];
    if (step == 1 && IsBlank(c)) {
      const bool letter_after = i + 1 < length && IsAsciiLetter(text[i + 1]);
      if (!letter_before && !letter_after) {
        ++i;
        continue;
      }
    }
    out.append(text + i, step);
    letter_before = step == 1 && IsAsciiLetter(c);
    i += step;
  }
  // A text of blanks only (a lone LF, say) keeps its first byte.
  if (out.empty()) out += text[0];
}

unsigned CountNonSpace(const char* text) {
  if (text == nullptr) return 0;
  unsigned count = 0;
  for (; *text; ++text) {
    if (!IsBlank(*text)) ++count;
  }
  return count;
}

void AppendNewLine(std::string& text, unsigned count, char fill) {
  text += "\r\n";
  text.append(count, fill);
}

// ---- Splitting and tokenising --------------------------------------------

bool SplitOnce(const std::string& source, std::string& left, std::string& right,
               std::string separator) {
  if (source.empty()) {
    left.clear();
    right.clear();
    return false;
  }
  const std::size_t p = separator.empty() ? std::string::npos
                                          : FindAtCharStart(source.data(), source.size(), 0,
                                                            separator.data(), separator.size());
  if (p == std::string::npos) {
    left = source;  // a no-op when `left` is `source`
    right.clear();
    return true;
  }
  // Copies first: `left` or `right` may be `source` itself.
  std::string before = source.substr(0, p);
  std::string after = source.substr(p + separator.size());
  left = std::move(before);
  right = std::move(after);
  TrimSpaces(left);
  TrimSpaces(right);
  return !left.empty();
}

bool SplitByString(const char* text, std::vector<std::string>& list, const char* separator) {
  list.clear();
  if (text == nullptr || *text == '\0') return false;
  const std::size_t separator_length = separator == nullptr ? 0 : std::strlen(separator);
  const std::size_t length = std::strlen(text);
  if (separator_length == 0 ||
      FindAtCharStart(text, length, 0, separator, separator_length) == std::string::npos) {
    list.emplace_back(text);
    return true;
  }
  std::size_t piece = 0;
  for (;;) {
    const std::size_t found = FindAtCharStart(text, length, piece, separator, separator_length);
    if (found == std::string::npos) {
      if (piece < length) list.emplace_back(text + piece, length - piece);
      break;
    }
    if (found > piece) list.emplace_back(text + piece, found - piece);
    piece = found + separator_length;
  }
  return true;
}

bool SplitByChars(const char* text, std::vector<std::string>& list, const char* delimiters) {
  list.clear();
  if (text == nullptr || *text == '\0') return false;
  const ByteSet delimiter(delimiters);
  const char* p = text;
  for (;;) {
    while (*p && delimiter.HasChar(p)) ++p;
    if (*p == '\0') break;
    const char* start = p;
    while (*p && !delimiter.HasChar(p)) p += GbkStep(p);
    list.emplace_back(start, p - start);
  }
  return true;
}

char* NextToken(char* text, const char* delimiters, char** cursor) {
  if (text == nullptr) {
    if (cursor != nullptr) *cursor = nullptr;
    return nullptr;
  }
  const ByteSet delimiter(delimiters);
  char* start = text;
  while (*start && delimiter.HasChar(start)) ++start;
  char* p = start;
  while (*p && !delimiter.HasChar(p)) p += GbkStep(p);
  char* next = nullptr;
  if (*p) {
    *p = '\0';
    next = p + 1;
  }
  if (cursor != nullptr) *cursor = next;
  return start;
}

// Quoting: the first '^' of the text, q, opens a quote when
//   - q is followed by a second '^' and the byte after that pair lies before
//     the line end, or the text has no line end at all; and
//   - the first '^' from q + 2 on is followed by another '^' (the closing
//     pair).
// A quote at the start of the text is returned as the line (without its
// "^^" pairs, possibly spanning physical lines, `*quoted` = 1), the line end
// being the byte after the closing pair. A quote further on ends the line
// before its opening '^', so the unquoted part comes first.
char* NextLine(char* text, char** lineEnd, char* savedChar, int* quoted, bool allowQuotes) {
  if (quoted != nullptr) *quoted = 0;
  *savedChar = 0;
  *lineEnd = nullptr;
  if (text == nullptr || *text == '\0') return nullptr;

  char* start = text;
  while (IsBlank(*start)) ++start;
  if (*start == '\0') return nullptr;

  char* end = std::strpbrk(start, "\r\n");
  if (allowQuotes) {
    // Quote marks are one-byte characters: the second byte of a two-byte
    // character (81 5E) is none.
    char* q = const_cast<char*>(FindAsciiChar(start, '^'));
    // q[1] != 0 keeps the search for the closing pair inside the text.
    if (q != nullptr && q[1] != '\0') {
      const bool opens = end == nullptr || (q[1] == '^' && q + 2 < end);
      char* close = nullptr;
      if (opens) {
        // The first '^' character from two bytes after q on: q + 2, or
        // past the character at q + 1 when that one has two bytes.
        char* from = q + 1 + GbkStep(q + 1);
        close = const_cast<char*>(FindAsciiChar(from, '^'));
      }
      if (close != nullptr && close[1] == '^') {
        if (q == start) {
          *close = '\0';
          start = q + 2;
          if (quoted != nullptr) *quoted = 1;
          // A closing pair at the very end leaves no line end to step over.
          end = close[2] != '\0' ? close + 2 : nullptr;
        } else {
          end = q;
        }
      }
    }
  }
  if (end != nullptr) {
    *savedChar = *end;
    *end = '\0';
    *lineEnd = end;
  }
  return start;
}

const char* ReadLine(const char* src, char* dst) {
  if (src == nullptr) {
    if (dst != nullptr) *dst = '\0';
    return nullptr;
  }
  while (*src && *src != '\r' && *src != '\n') *dst++ = *src++;
  *dst = '\0';
  while (*src == '\r' || *src == '\n') ++src;
  return *src ? src : nullptr;
}

int SplitChars(const char* text, std::vector<std::string>& list, bool utf8) {
  list.clear();
  if (text == nullptr) return 0;
  char buf[8];
  for (;;) {
    const int n = utf8 ? ReadUtf8Char(text, buf) : ReadGbkChar(text, buf);
    if (n <= 0) break;
    list.emplace_back(text, static_cast<std::size_t>(n));
    text += n;
  }
  return static_cast<int>(list.size());
}

// ---- Joining, replacing, case --------------------------------------------

const char* JoinStrings(const std::vector<std::string>& list, const char* separator,
                        std::string& out) {
  out.clear();
  if (separator == nullptr) separator = "";
  for (std::size_t i = 0; i < list.size(); ++i) {
    out += list[i];
    if (!list[i].empty() && i + 1 < list.size()) out += separator;
  }
  return out.c_str();
}

int ReplaceAll(std::string& text, const char* find, const char* with) {
  if (text.empty() || find == nullptr || *find == '\0') return 0;
  if (with == nullptr) with = "";
  const std::size_t find_length = std::strlen(find);
  const std::size_t with_length = std::strlen(with);
  // One pass into a new string: replacing in place would move the rest of
  // the text at every occurrence.
  // Occurrences start where characters start: a find string never matches
  // from the second byte of a two-byte character (81 5F holds '_').
  const char* data = text.data();
  const std::size_t size = text.size();
  std::size_t p = FindAtCharStart(data, size, 0, find, find_length);
  if (p == std::string::npos) return 0;
  std::string out;
  out.reserve(text.size());
  int count = 0;
  std::size_t done = 0;
  for (; p != std::string::npos; p = FindAtCharStart(data, size, done, find, find_length)) {
    out.append(text, done, p - done);
    out.append(with, with_length);
    done = p + find_length;
    ++count;
  }
  out.append(text, done, std::string::npos);
  text.swap(out);
  return count;
}

std::string ReplaceChar(const std::string& source, char ch, const char* with) {
  if (with == nullptr) with = "";
  std::string out;
  out.reserve(source.size());
  const std::size_t n = source.size();
  for (std::size_t i = 0; i < n;) {
    const std::size_t step = GbkStep(source.data(), i, n);
    if (step == 1 && source[i] == ch) {
      out += with;
    } else {
      out.append(source, i, step);
    }
    i += step;
  }
  return out;
}

unsigned RemoveByte(char* buffer, unsigned length, char ch) {
  if (buffer == nullptr || length == 0) return 0;
  unsigned kept = 0;
  for (unsigned i = 0; i < length; ++i) {
    if (buffer[i] != ch) buffer[kept++] = buffer[i];
  }
  std::memset(buffer + kept, 0, length - kept);
  return kept;
}

namespace {

// By characters: the second byte of a two-byte character (81 41 holds 'A')
// is not a letter.
void LowerAscii(char* buffer, std::size_t length) {
  for (std::size_t i = 0; i < length;) {
    const std::size_t step = GbkStep(buffer, i, length);
    if (step == 1 && buffer[i] >= 'A' && buffer[i] <= 'Z') {
      buffer[i] = static_cast<char>(buffer[i] + ('a' - 'A'));
    }
    i += step;
  }
}

}  // namespace

void ToLowerAscii(std::string& text) {
  if (!text.empty()) LowerAscii(&text[0], text.size());
}

void ToLowerAsciiBuffer(char* buffer, unsigned length) {
  if (buffer != nullptr) LowerAscii(buffer, length);
}

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

bool IsAsciiLetter(char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }

void SortByNumberAfterPrefix(std::vector<std::string>& list, const char* prefix) {
  if (list.empty()) return;
  const std::size_t offset = prefix == nullptr ? 0 : std::strlen(prefix);
  std::vector<std::pair<long long, std::size_t>> keys;
  keys.reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::string& s = list[i];
    // An element shorter than the prefix has the key 0.
    const long long key = s.size() > offset ? ParseLeadingInt(s.data() + offset, s.data() + s.size()) : 0;
    keys.emplace_back(key, i);
  }
  std::stable_sort(keys.begin(), keys.end(),
                   [](const std::pair<long long, std::size_t>& a,
                      const std::pair<long long, std::size_t>& b) { return a.first < b.first; });
  std::vector<std::string> sorted;
  sorted.reserve(list.size());
  for (const auto& key : keys) sorted.push_back(std::move(list[key.second]));
  list = std::move(sorted);
}

}  // namespace zhtext
