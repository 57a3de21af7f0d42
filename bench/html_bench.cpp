// HtmlToText throughput on real pages, beside libxml2's HTML parser (the
// page parsed into a tree, then the text of its text nodes collected, script
// and style contents left out) in the same run. Pages: the zh_CN manual
// pages turned into HTML by man2html and valgrind's HTML manual, written to
// bench/data/html/ by bench/prepare_data.sh; all are UTF-8 and given to
// libxml2 as such. Before timing, the characters from U+3000 up (the Chinese
// text and its punctuation: markup never holds them, and no named entity,
// which HtmlToText turns into a space, stands for one) of each page's text
// must be the same from both, or the run aborts (HtmlToText also decodes
// capital %XX escapes, as in the link texts of URLs; libxml2's text is
// compared with those decoded). Bytes processed = page bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef ZHTEXT_HAVE_LIBXML2
#include <libxml/HTMLparser.h>
#include <libxml/tree.h>
#endif

#include "bench/bench_data.h"
#include "zhtext/encoding/html_text.h"

namespace zhtext {
namespace {

using bench::Abort;

struct Pages {
  std::vector<std::string> names;
  std::vector<std::string> pages;
  std::size_t bytes = 0;
  std::size_t longest = 0;
};

const Pages& GetPages() {
  static const Pages pages = [] {
    Pages p;
    std::filesystem::path dir = std::filesystem::path(bench::DataDir()) / "html";
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
      std::ifstream in(file, std::ios::binary);
      std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      p.bytes += page.size();
      p.longest = std::max(p.longest, page.size());
      p.names.push_back(file.filename().string());
      p.pages.push_back(std::move(page));
    }
    return p;
  }();
  return pages;
}

bool Ready(benchmark::State& state) {
  if (GetPages().pages.empty()) {
    state.SkipWithError("HTML pages missing: run bash bench/prepare_data.sh");
    return false;
  }
  return true;
}

std::string ZhtextText(const std::string& page, std::vector<char>& out) {
  std::size_t len = 0;
  HtmlToText(page.data(), page.size(), out.data(), &len);
  return std::string(out.data(), len);
}

// The UTF-8 characters from U+3000 up of `text`, in order.
std::string WideChars(const std::string& text) {
  std::string wide;
  for (std::size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (n == 4 || (n == 3 && i + 1 < text.size() &&
                   ((c & 0x0F) << 6 | (static_cast<unsigned char>(text[i + 1]) & 0x3F)) >= 0xC0)) {
      wide.append(text, i, n);
    }
    i += n;
  }
  return wide;
}

void BM_HtmlToText_Zhtext(benchmark::State& state) {
  if (!Ready(state)) return;
  const Pages& p = GetPages();
  std::vector<char> out(p.longest + 1);
  for (auto _ : state) {
    for (const std::string& page : p.pages) {
      std::size_t len = 0;
      HtmlToText(page.data(), page.size(), out.data(), &len);
      benchmark::DoNotOptimize(len);
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * p.bytes));
  state.counters["pages"] = static_cast<double>(p.pages.size());
}
BENCHMARK(BM_HtmlToText_Zhtext)->Unit(benchmark::kMillisecond);

#ifdef ZHTEXT_HAVE_LIBXML2

void CollectText(xmlNode* node, std::string& text) {
  for (xmlNode* n = node; n != nullptr; n = n->next) {
    if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) {
      if (n->content != nullptr) {
        text += reinterpret_cast<const char*>(n->content);
        text += ' ';
      }
    } else if (n->type == XML_ELEMENT_NODE) {
      const char* name = reinterpret_cast<const char*>(n->name);
      if (std::strcmp(name, "script") != 0 && std::strcmp(name, "style") != 0) {
        CollectText(n->children, text);
      }
    }
  }
}

std::string Libxml2Text(const std::string& page) {
  std::string text;
  htmlDocPtr doc = htmlReadMemory(page.data(), static_cast<int>(page.size()), nullptr, "UTF-8",
                                  HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
  if (doc != nullptr) {
    CollectText(xmlDocGetRootElement(doc), text);
    xmlFreeDoc(doc);
  }
  return text;
}

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

std::string DecodeCapitalEscapes(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && IsUpperHex(text[i + 1]) &&
        IsUpperHex(text[i + 2])) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

void CheckAgainstLibxml2() {
  static const bool checked = [] {
    const Pages& p = GetPages();
    std::vector<char> out(p.longest + 1);
    for (std::size_t i = 0; i < p.pages.size(); ++i) {
      if (WideChars(ZhtextText(p.pages[i], out)) != WideChars(DecodeCapitalEscapes(Libxml2Text(p.pages[i])))) {
        std::fprintf(stderr, "page %s\n", p.names[i].c_str());
        Abort("HtmlToText and libxml2 disagree on the text of a page");
      }
    }
    return true;
  }();
  (void)checked;
}

void BM_HtmlToText_Libxml2(benchmark::State& state) {
  if (!Ready(state)) return;
  CheckAgainstLibxml2();
  const Pages& p = GetPages();
  for (auto _ : state) {
    for (const std::string& page : p.pages) {
      std::string text = Libxml2Text(page);
      benchmark::DoNotOptimize(text.data());
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * p.bytes));
  state.counters["pages"] = static_cast<double>(p.pages.size());
}
BENCHMARK(BM_HtmlToText_Libxml2)->Unit(benchmark::kMillisecond);

#endif  // ZHTEXT_HAVE_LIBXML2

}  // namespace
}  // namespace zhtext

BENCHMARK_MAIN();
