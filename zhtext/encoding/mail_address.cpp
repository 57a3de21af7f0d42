#include "zhtext/encoding/mail_address.h"

#include <cstring>

#include "zhtext/encoding/gbk_table.h"
#include "zhtext/encoding/internal/gbk_step.h"

namespace zhtext {

namespace {

using internal::GbkCharLength;

inline unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

inline bool IsAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

inline bool InSet(const char* set, char c) { return c != '\0' && std::strchr(set, c) != nullptr; }

inline bool IsAddressByte(char c) { return IsAlnum(Byte(c)) || InSet("-._", c); }

inline char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// The GBK code of a character, through the built-in table.
inline unsigned GbkCode(char16_t unit) { return kGbkTable[unit]; }

// The characters of one segment before its at sign: `starts` holds where
// each begins, and the at sign ends the last.
class SegmentChars {
 public:
  // Steps from `from` to the first at sign that is a character of its own;
  // null when the text ends first.
  const char* ScanTo(const char* from) {
    m_vecStarts.clear();
    const char* p = from;
    while (*p != '\0' && *p != '@') {
      m_vecStarts.push_back(p);
      p += GbkCharLength(p);
    }
    m_pAt = p;
    return *p == '@' ? p : nullptr;
  }

  std::size_t count() const { return m_vecStarts.size(); }
  const char* Start(std::size_t k) const { return k < m_vecStarts.size() ? m_vecStarts[k] : m_pAt; }
  std::size_t Length(std::size_t k) const { return static_cast<std::size_t>(Start(k + 1) - Start(k)); }
  // The byte of character `k` when it is a one-byte character, else 0.
  char Single(std::size_t k) const { return Length(k) == 1 ? *Start(k) : '\0'; }
  unsigned Code(std::size_t k) const {
    return Length(k) == 2 ? Byte(Start(k)[0]) * 256u + Byte(Start(k)[1]) : Byte(Start(k)[0]);
  }

  // Moves `*k` back over the one-byte characters for which `test` holds.
  template <typename Test>
  void BackOver(std::size_t* k, Test test) const {
    while (*k > 0 && Single(*k - 1) != '\0' && test(Single(*k - 1))) --*k;
  }

  std::string Text(std::size_t from, std::size_t to) const {
    return std::string(Start(from), static_cast<std::size_t>(Start(to) - Start(from)));
  }

 private:
  std::vector<const char*> m_vecStarts;
  const char* m_pAt = nullptr;
};

const char* RoleBefore(const SegmentChars& chars) {
  bool recv = false, copy = false, secret = false;
  for (std::size_t k = 0; k < chars.count(); ++k) {
    unsigned code = chars.Code(k);
    recv |= code == GbkCode(u'收');
    copy |= code == GbkCode(u'抄');
    secret |= code == GbkCode(u'密');
  }
  return recv ? "recv" : copy ? "copy_to" : secret ? "secret_to" : "send";
}

bool IsNameStop(const SegmentChars& chars, std::size_t k) {
  if (chars.Length(k) == 1) return InSet(":;,", chars.Single(k));
  unsigned code = chars.Code(k);
  return code == GbkCode(u'：') || code == GbkCode(u'。') || code == GbkCode(u'，');
}

}  // namespace

void ExtractMailAddresses(const char* text, std::vector<MAIL_ADDRESS>& list) {
  list.clear();
  if (text == nullptr) return;
  SegmentChars chars;
  const char* at = chars.ScanTo(text);
  if (at == nullptr) return;
  const char* role = RoleBefore(chars);

  while (at != nullptr) {
    MAIL_ADDRESS rec;
    rec.role = role;

    const char* q = at + 1;
    for (; IsAddressByte(*q); ++q) rec.domain += Lower(*q);
    bool last = false;
    if (*q == '"') {
      while (*q != '\0' && *q != '>') q += GbkCharLength(q);
      last = *q == '\0';
    }
    while (InSet(">;,\r\n \t", *q)) ++q;
    const char* next = q;

    std::size_t k = chars.count();
    chars.BackOver(&k, IsAddressByte);
    for (std::size_t i = k; i < chars.count(); ++i) rec.user += Lower(chars.Single(i));

    chars.BackOver(&k, [](char c) { return InSet("<\" \t", c); });
    std::size_t asciiEnd = k;
    chars.BackOver(&k, [](char c) { return IsAlnum(Byte(c)) || InSet("\", -._\t", c); });
    rec.asciiName = chars.Text(k, asciiEnd);
    while (!rec.asciiName.empty() && InSet(", -\t", rec.asciiName.back())) rec.asciiName.pop_back();

    chars.BackOver(&k, [](char c) { return InSet("\" \t", c); });
    std::size_t nameEnd = k;
    while (k > 0 && !IsNameStop(chars, k - 1)) --k;
    rec.name = chars.Text(k, nameEnd);

    list.push_back(std::move(rec));
    if (last) break;
    at = chars.ScanTo(next);
  }
}

}  // namespace zhtext
