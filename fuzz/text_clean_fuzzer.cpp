// Runs the text-cleaning routines on arbitrary bytes: HtmlToText (with and
// without a capacity), NormalizeForMatch, ToFullWidthPunct, UrlDecode and
// HexPairToByte, ExtractMailAddresses, and the loose matching of two texts
// cut from the input. Every buffer is an exact-size heap copy, so the
// sanitizers see any read or write past the bounds the routines are given.
// Besides that it asserts what callers rely on:
//   - the page text is zero-terminated at its length, no longer than the
//     page, holds no zero byte, no leading SPACE and no two SPACEs in a row,
//     and with a capacity it is a prefix of the whole text, at most
//     capacity + 5 bytes long;
//   - the matching form is no longer than its input and folding it again
//     changes nothing;
//   - mail records hold only small address bytes in user and domain, one of
//     the four roles, and are no more than the at signs;
//   - the loose finds and prefixes lie within their texts.
// Run time-limited, e.g.
//   build/fuzz/fuzz/zhtext_text_clean_fuzzer -max_total_time=600 /tmp/corpus
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "zhtext/encoding/html_text.h"
#include "zhtext/encoding/mail_address.h"
#include "zhtext/encoding/punct_fold.h"
#include "zhtext/encoding/punct_tables.h"
#include "zhtext/encoding/url_decode.h"
#include "zhtext/util/loose_match.h"

namespace {

using zhtext::MAIL_ADDRESS;

std::unique_ptr<char[]> Copy(const char* data, std::size_t size, std::size_t room) {
  std::unique_ptr<char[]> c(new char[size + room == 0 ? 1 : size + room]);
  if (size != 0) std::memcpy(c.get(), data, size);
  return c;
}

std::string PageText(const char* data, std::size_t size, std::size_t cap) {
  auto page = Copy(data, size, 0);
  std::size_t need = size + 1;
  if (cap != 0 && cap + 6 < need) need = cap + 6;
  std::unique_ptr<char[]> out(new char[need]);
  std::size_t len = cap;
  zhtext::HtmlToText(page.get(), size, out.get(), &len);
  if (len >= need || out[len] != '\0') std::abort();
  std::string text(out.get(), len);
  if (text.find('\0') != std::string::npos) std::abort();
  if (!text.empty() && text[0] == ' ') std::abort();
  if (text.find("  ") != std::string::npos) std::abort();
  return text;
}

void CheckHtml(const char* data, std::size_t size, std::size_t cap) {
  std::string whole = PageText(data, size, 0);
  if (whole.size() > size) std::abort();
  std::string cut = PageText(data, size, cap);
  if (cut.size() > cap + 5 || whole.compare(0, cut.size(), cut) != 0) std::abort();
}

void CheckNormalize(const char* data, std::size_t size, bool keep) {
  auto buf = Copy(data, size, 1);
  std::size_t len = zhtext::NormalizeForMatch(buf.get(), size, keep);
  if (len > size || buf[len] != '\0') std::abort();
  std::string once(buf.get(), len);
  std::size_t again = zhtext::NormalizeForMatch(buf.get(), len, keep);
  if (std::string(buf.get(), again) != once) std::abort();
}

void CheckPunct(const char* data, std::size_t size) {
  for (std::size_t i = 0; i < size && i < 64; ++i) {
    char out[3];
    bool key = std::memchr(zhtext::FULLWIDTH_PUNCT_KEYS, data[i], zhtext::kFullWidthPunctCount) !=
               nullptr;
    if (zhtext::ToFullWidthPunct(data[i], out) != key) std::abort();
    if (key ? (out[2] != '\0' || (out[0] != '\xA1' && out[0] != '\xA3'))
            : (out[0] != data[i] || out[1] != '\0')) {
      std::abort();
    }
  }
}

void CheckUrlDecode(const char* data, std::size_t size) {
  int len = static_cast<int>(size);
  auto in = Copy(data, size, 0);
  auto out = Copy(nullptr, 0, size);
  int outLen = -1;
  zhtext::UrlDecode(in.get(), len, out.get(), &outLen);
  if (outLen < 0 || outLen > len) std::abort();
  if (size >= 2) zhtext::HexPairToByte(in.get() + size - 2);
}

bool IsSmallAddressByte(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '-' || c == '.' || c == '_';
}

void CheckMail(const char* data, std::size_t size) {
  auto text = Copy(data, size, 1);
  text[size] = '\0';
  std::vector<MAIL_ADDRESS> list;
  zhtext::ExtractMailAddresses(text.get(), list);
  std::size_t len = std::strlen(text.get());
  std::size_t ats = 0;
  for (std::size_t i = 0; i < len; ++i) ats += text[i] == '@';
  if (list.size() > ats) std::abort();
  for (const MAIL_ADDRESS& m : list) {
    for (char c : m.user + m.domain) {
      if (!IsSmallAddressByte(c)) std::abort();
    }
    if (m.role != "recv" && m.role != "copy_to" && m.role != "secret_to" && m.role != "send") {
      std::abort();
    }
    if (m.user.size() + m.domain.size() + m.name.size() + m.asciiName.size() > len) std::abort();
  }
}

bool HasSoftBlank(const std::string& s) { return s.find_first_of("\n\r ") != std::string::npos; }

void CheckLoose(const char* data, std::size_t size, std::int32_t limit) {
  // The texts: the bytes before the first 0x01 (or the first half) and the
  // rest, each up to its own first zero byte.
  const void* cut = std::memchr(data, 1, size);
  std::size_t n = cut ? static_cast<std::size_t>(static_cast<const char*>(cut) - data) : size / 2;
  std::size_t rest = size - n - (cut ? 1 : 0);
  auto a = Copy(data, n, 1);
  a[n] = '\0';
  auto b = Copy(data + size - rest, rest, 1);
  b[rest] = '\0';
  int la = static_cast<int>(std::strlen(a.get()));
  int lb = static_cast<int>(std::strlen(b.get()));

  int start = 0, end = 0;
  std::int32_t offset = limit;
  int found = zhtext::FindLoose(a.get(), b.get(), &start, &end, &offset);
  if (found == 0 && !(start >= 0 && start < end && end <= la)) std::abort();
  if (found > 0 && (found > lb || end != la || start >= la)) std::abort();
  if (found < -1) std::abort();

  zhtext::MatchLoose(a.get(), b.get(), &start, limit);
  if (start < 0 || start > lb) std::abort();

  std::string prefix;
  std::size_t len = zhtext::CommonPrefixLoose(a.get(), b.get(), prefix);
  if (len != prefix.size() || HasSoftBlank(prefix) || static_cast<int>(len) > la) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the capacity, the separator flag and the limit.
  const unsigned choice = bytes[0];
  const char* data = reinterpret_cast<const char*>(bytes + 1);
  --size;
  CheckHtml(data, size, (choice & 15) + 1);
  CheckNormalize(data, size, (choice & 16) != 0);
  CheckPunct(data, size);
  CheckUrlDecode(data, size);
  CheckMail(data, size);
  CheckLoose(data, size, static_cast<std::int32_t>(choice >> 5) - 1);
  return 0;
}
