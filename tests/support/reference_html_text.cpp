#include "tests/support/reference_html_text.h"

#include <cctype>
#include <cstdlib>

namespace zhtext {
namespace testing {

namespace {

// Position of `pat` lying wholly in page[from, size), or npos.
std::size_t Find(const std::string& page, std::size_t from, const std::string& pat) {
  return from > page.size() ? std::string::npos : page.find(pat, from);
}

bool IsUpperHex(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

int Hex(unsigned char c) {
  int v = static_cast<signed char>(c);
  return v < 'A' ? v - '0' : (v & ~0x20) - 55;
}

// UTF-8 in the classic form of up to 6 bytes.
std::string Utf8(unsigned v) {
  std::string s;
  if (v < 0x80) return std::string(1, static_cast<char>(v));
  int n = v < 0x800 ? 2 : v < 0x10000 ? 3 : v < 0x200000 ? 4 : v < 0x4000000 ? 5 : 6;
  static const unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC};
  s.resize(static_cast<std::size_t>(n));
  for (int i = n - 1; i > 0; --i) {
    s[static_cast<std::size_t>(i)] = static_cast<char>(0x80 | (v & 0x3F));
    v >>= 6;
  }
  s[0] = static_cast<char>(kLead[n] | v);
  return s;
}

}  // namespace

std::string ReferenceHtmlToText(const std::string& page, std::size_t cap) {
  const std::size_t end = page.size();
  auto at = [&](std::size_t i) { return static_cast<unsigned char>(page[i]); };
  std::size_t p = 0;
  if (page.compare(0, 3, "\xEF\xBB\xBF") == 0) p = 3;
  const std::size_t begin = p;

  // First pass: every byte the rules write.
  std::string first;
  auto prevIsSpace = [&] { return !first.empty() && first.back() == ' '; };
  while (p < end && (cap == 0 || first.size() < cap)) {
    unsigned char c = at(p);
    if (c == '<' && p + 1 < end &&
        ((at(p + 1) < 0x80 && std::isalpha(at(p + 1))) || at(p + 1) == '!' || at(p + 1) == '/' ||
         at(p + 1) == '?')) {
      if (p + 4 < end && page.compare(p + 1, 3, "!--") == 0) {
        std::size_t q = Find(page, p, "-->");
        if (q != std::string::npos) {
          first += ' ';
          p = q + 3;
          continue;
        }
        first += '<';
        ++p;
        continue;
      }
      std::string seven = page.substr(p + 1, 7);
      for (char& ch : seven) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      if (p + 15 < end && seven == "script>") {
        std::size_t q = Find(page, p + 7, "</s");
        if (q == std::string::npos) q = Find(page, p + 7, "</S");
        std::size_t g = q == std::string::npos ? q : page.find('>', q);
        if (g != std::string::npos) {
          first += ' ';
          p = g + 1;
          continue;
        }
        first += '<';
        ++p;
        continue;
      }
      std::size_t g = page.find('>', p);
      if (g != std::string::npos && g - p < 500) {
        first += ' ';
        p = g + 1;
        continue;
      }
      first += '<';
      ++p;
      continue;
    }
    if (c == '&' && p + 1 < end) {
      std::size_t s = page.find(';', p);
      if (s != std::string::npos) {
        if (at(p + 1) == '#' && s - p <= 10 && p + 2 < end) {
          std::string digits = page.substr(p + 2, s - (p + 2));
          int v = std::atoi(digits.c_str());
          if (v >= 127 && v <= 254) {
            first += ' ';
          } else if (v > 0) {
            first += Utf8(static_cast<unsigned>(v));
          }
          p = s + 1;
          continue;
        }
        if (page.compare(p + 1, 3, "lt;") == 0 && s - p < 5) {
          first += '<';
          p = s + 1;
          continue;
        }
        if (page.compare(p + 1, 3, "gt;") == 0 && s - p < 5) {
          first += '>';
          p = s + 1;
          continue;
        }
        if (at(p + 1) < 0x80 && std::isalpha(at(p + 1)) && s - p < 10) {
          first += ' ';
          p = s + 1;
          continue;
        }
      }
      first += '&';
      ++p;
      continue;
    }
    if (c == '%' && p + 2 < end && IsUpperHex(at(p + 1)) && IsUpperHex(at(p + 2))) {
      int b = (Hex(at(p + 1)) * 16 + Hex(at(p + 2))) & 0xFF;
      if (b != 0) first += static_cast<char>(b);
      p += 3;
      continue;
    }
    if (c == 0 && p + 1 < end && at(p + 1) == 0) {
      ++p;
      continue;
    }
    if (c == 'n' && p + 5 < end && (p == begin || at(p - 1) < 0x80) &&
        page.compare(p, 5, "nbsp;") == 0) {
      if (prevIsSpace()) first += ' ';
      p += 5;
      continue;
    }
    if (c != ' ' || !prevIsSpace()) first += static_cast<char>(c);
    ++p;
  }

  // Final pass: up to the first zero byte, no SPACE first or after a SPACE.
  std::string text;
  for (char ch : first) {
    if (ch == '\0') break;
    if (ch == ' ' && (text.empty() || text.back() == ' ')) continue;
    text += ch;
  }
  return text;
}

}  // namespace testing
}  // namespace zhtext
