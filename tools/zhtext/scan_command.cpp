// zhtext segment, words and freq: running text through a dictionary file.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tools/zhtext/commands.h"
#include "tools/zhtext/tool_common.h"
#include "zhtext/dictionary/pdat.h"

namespace zhtext {
namespace tool {
namespace {

const char kSegmentUsage[] =
    "usage: zhtext segment DICT [IN] [OUT] [--sep C] [--max-len N] [--handles] [--utf8]\n"
    "\n"
    "Cuts the text IN into the words of the dictionary file DICT by forward\n"
    "maximum matching and writes every token followed by the separator to OUT.\n"
    "IN and OUT default to standard input and output ('-' names them too).\n"
    "Characters that begin no word are tokens of their own; an unknown run of\n"
    "ASCII letters and digits stays one token, cut at \" \\t-_,.:/~#%^*()\".\n"
    "\n"
    "Options:\n"
    "  --sep C       the byte written after every token: one ASCII character,\n"
    "                or \\t, \\n, \\r, \\\\ (default: \\t)\n"
    "  --max-len N   a walk stops once it has read more than N bytes and takes\n"
    "                the longest word found so far (0: no limit, the default)\n"
    "  --handles     one token per line instead: the word's handle (-1 for a\n"
    "                token that is no dictionary word), a tab and the token,\n"
    "                with tab, CR, LF and backslash written \\t, \\r, \\n, \\\\\n"
    "                (a zero byte is the line \"-1<tab>\\0\")\n"
    "  --utf8        IN and OUT are UTF-8 (default GBK); characters without a\n"
    "                GBK code become the ideographic space U+3000 (those past\n"
    "                U+FFFF, and undecodable bytes, are dropped), counted on\n"
    "                standard error\n"
    "  --help        show this help\n"
    "\n"
    "A zero byte ends a text for the library: zero bytes are copied through and\n"
    "the text after each is segmented on its own. Inputs over 4 MB show their\n"
    "progress on standard error.\n";

const char kWordsUsage[] =
    "usage: zhtext words DICT [IN] [--type 0|1|2] [--utf8]\n"
    "\n"
    "Lists the dictionary words found in the text IN (standard input when\n"
    "absent or '-'), one per line: start, length, handle and the word, separated\n"
    "by tabs. Start and length count the bytes of the GBK text.\n"
    "\n"
    "Options:\n"
    "  --type N   0: words that do not overlap, each the longest at its start,\n"
    "             none inside an ASCII word or number (default);\n"
    "             1: overlapping words, one at every start;\n"
    "             2: as 0, also inside ASCII words and numbers\n"
    "  --utf8     IN is UTF-8 and the words are printed in UTF-8 (default GBK)\n"
    "  --help     show this help\n";

const char kFreqUsage[] =
    "usage: zhtext freq DICT [IN] [--top N] [--max-len N] [--utf8]\n"
    "\n"
    "Segments the text IN (standard input when absent or '-') with the\n"
    "dictionary file DICT, counts how often each dictionary word occurs and\n"
    "prints the most frequent ones, one per line: the word, a tab and its\n"
    "count. A word longer than two characters that contains a more frequent\n"
    "word of two characters or more is left out.\n"
    "\n"
    "Options:\n"
    "  --top N       print the N most frequent ranks (default 20; -1: all)\n"
    "  --max-len N   as for 'zhtext segment'\n"
    "  --utf8        IN is UTF-8 and the words are printed in UTF-8 (default GBK)\n"
    "  --help        show this help\n";

// Texts are segmented in pieces of about this size, cut where the result
// cannot change (CPDAT::FindSegmentCut).
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

// Inputs larger than this report their progress.
constexpr std::size_t kProgressBytes = std::size_t{4} << 20;

bool ParseSeparator(const std::string& text, char* sep) {
  if (text.size() == 1 && static_cast<unsigned char>(text[0]) < 0x80 && text[0] != '\0') {
    *sep = text[0];
    return true;
  }
  if (text.size() == 2 && text[0] == '\\') {
    switch (text[1]) {
      case 't': *sep = '\t'; return true;
      case 'n': *sep = '\n'; return true;
      case 'r': *sep = '\r'; return true;
      case '\\': *sep = '\\'; return true;
      default: break;
    }
  }
  return false;
}

// UTF-8 input as GBK, each run between zero bytes converted on its own so
// that zero bytes survive.
std::string Utf8InputToGbk(const std::string& input, std::size_t* replaced) {
  *replaced = 0;
  std::string gbk;
  std::size_t start = 0;
  for (;;) {
    const std::size_t zero = input.find('\0', start);
    const std::string run = input.substr(start, zero == std::string::npos ? std::string::npos : zero - start);
    std::size_t bad = 0;
    gbk += Utf8ToGbkText(run, &bad);
    *replaced += bad;
    if (zero == std::string::npos) break;
    gbk += '\0';
    start = zero + 1;
  }
  return gbk;
}

void ReportReplaced(const char* command, std::size_t replaced) {
  if (replaced == 0) return;
  std::fprintf(stderr,
               "zhtext %s: %zu character%s without a GBK code (read as U+3000, or dropped)\n",
               command, replaced, replaced == 1 ? "" : "s");
}

// Reads the text to scan from `path` (standard input when empty) into
// `text` as GBK: with `utf8` converted, the characters without a GBK code
// reported. False, with the error written, when it cannot be read.
bool ReadScanInput(const char* command, const std::string& path, bool utf8, std::string* text) {
  std::string input, error;
  if (!ReadInput(path, &input, &error)) {
    Failure(command, error);
    return false;
  }
  if (!utf8) {
    text->swap(input);
    return true;
  }
  std::size_t replaced = 0;
  *text = Utf8InputToGbk(input, &replaced);
  ReportReplaced(command, replaced);
  return true;
}

// The runs of `text` between zero bytes (each without zero bytes), with
// their offsets.
struct Run {
  std::size_t offset;
  std::size_t length;
};

std::vector<Run> ZeroFreeRuns(const std::string& text) {
  std::vector<Run> runs;
  std::size_t start = 0;
  for (;;) {
    const std::size_t zero = text.find('\0', start);
    const std::size_t end = zero == std::string::npos ? text.size() : zero;
    runs.push_back(Run{start, end - start});
    if (zero == std::string::npos) break;
    start = zero + 1;
  }
  return runs;
}

// A byte value (1-255) that `text` does not hold, or 0 when it holds all.
char AbsentByte(const std::string& text) {
  bool seen[256] = {};
  for (unsigned char c : text) seen[c] = true;
  for (int b = 1; b < 256; ++b) {
    if (!seen[b]) return static_cast<char>(b);
  }
  return 0;
}

// Segments a whole text in pieces cut where the result cannot change, with
// zero bytes passed through, and reports progress for a large text.
class PieceSegmenter {
 public:
  PieceSegmenter(const CPDAT& dict, int maxLen) : dict_(dict), maxLen_(maxLen) {}
  ~PieceSegmenter() {
    std::free(out_);
    std::free(other_);
    std::free(handles_);
  }
  PieceSegmenter(const PieceSegmenter&) = delete;
  PieceSegmenter& operator=(const PieceSegmenter&) = delete;

  // Segment's output for each piece with separator `sep`:
  // sink(output, length), and sink(nullptr, 0) for a zero byte.
  template <typename Sink>
  bool Output(const std::string& text, char sep, Sink&& sink) {
    return ForEachPiece(text, [&](const std::string* piece) {
      if (piece == nullptr) {
        sink(nullptr, 0);
        return;
      }
      dict_.Segment(piece->c_str(), nullptr, nullptr, &out_, &outSize_, false, maxLen_, sep);
      sink(out_, std::strlen(out_));
    });
  }

  // The tokens of each piece with their handles: sink(piece, ends, handles)
  // where token k is [ends[k-1], ends[k]) of `piece` (from 0) with handle
  // handles[k]; sink(nullptr, ...) for a zero byte.
  template <typename Sink>
  bool Tokens(const std::string& text, Sink&& sink) {
    std::vector<std::size_t> ends;
    return ForEachPiece(text, [&](const std::string* piece) {
      if (piece == nullptr) {
        sink(nullptr, ends, handles_);
        return;
      }
      ends.clear();
      // The token ends are where the output holds a separator. With a byte
      // that the piece lacks as separator they are plain to see; otherwise
      // the output with two separators differs exactly at them. With all
      // handles, token k has handle k.
      const char sep = AbsentByte(*piece);
      dict_.Segment(piece->c_str(), &handles_, &handlesSize_, &out_, &outSize_, true, maxLen_,
                    sep != 0 ? sep : 'a');
      const std::size_t length = std::strlen(out_);
      if (sep != 0) {
        for (std::size_t i = 0; i < length; ++i) {
          if (out_[i] == sep) ends.push_back(i - ends.size());
        }
      } else {
        dict_.Segment(piece->c_str(), nullptr, nullptr, &other_, &otherSize_, true, maxLen_, 'b');
        for (std::size_t i = 0; i < length; ++i) {
          if (out_[i] != other_[i]) ends.push_back(i - ends.size());
        }
      }
      sink(piece, ends, handles_);
    });
  }

 private:
  // piece(&text) for each piece, piece(nullptr) for each zero byte.
  template <typename Piece>
  bool ForEachPiece(const std::string& text, Piece&& piece) {
    const bool progress = text.size() > kProgressBytes;
    const std::vector<zhtext::tool::Run> runs = ZeroFreeRuns(text);
    for (std::size_t r = 0; r < runs.size(); ++r) {
      if (r > 0) piece(nullptr);
      const char* base = text.data() + runs[r].offset;
      std::size_t left = runs[r].length;
      while (left > 0) {
        std::size_t length = left;
        if (left > kPieceBytes + kPieceBytes / 2) {
          const bool bounded = left > static_cast<std::size_t>(CPDAT::kMaxScanText);
          const int limit = bounded ? CPDAT::kMaxScanText : static_cast<int>(left);
          const int cut = dict_.FindSegmentCut(base, limit, static_cast<int>(kPieceBytes));
          if (cut == limit && bounded) return false;  // no safe cut within reach
          length = static_cast<std::size_t>(cut);
        }
        piece_.assign(base, length);
        piece(&piece_);
        base += length;
        left -= length;
        const std::size_t done = static_cast<std::size_t>(base - text.data());
        if (progress && done < text.size()) Progress("segment", done, text.size());
      }
    }
    if (progress) Progress("segment", text.size(), text.size());
    return true;
  }

  const CPDAT& dict_;
  int maxLen_;
  std::string piece_;
  char* out_ = nullptr;
  int outSize_ = 0;
  char* other_ = nullptr;
  int otherSize_ = 0;
  int* handles_ = nullptr;
  int handlesSize_ = 0;
};

// One line per token: handle, tab, the token with control bytes escaped.
void AppendHandleLines(std::string& out, const std::string& piece,
                       const std::vector<std::size_t>& ends, const int* handles) {
  std::size_t start = 0;
  for (std::size_t k = 0; k < ends.size(); ++k) {
    out += std::to_string(handles[k]);
    out += '\t';
    for (std::size_t i = start; i < ends[k]; ++i) {
      switch (piece[i]) {
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\\': out += "\\\\"; break;
        default: out += piece[i]; break;
      }
    }
    out += '\n';
    start = ends[k];
  }
}

}  // namespace

int RunSegment(int argc, char** argv) {
  const char* command = "segment";
  std::string sepText = "\\t";
  std::string maxLenText = "0";
  bool handles = false;
  bool utf8 = false;
  ArgParser args(command, argc, argv);
  args.Option("--sep", &sepText);
  args.Option("--max-len", &maxLenText);
  args.Flag("--handles", &handles);
  args.Flag("--utf8", &utf8);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kSegmentUsage, stdout);
    return kExitOk;
  }
  const std::vector<std::string>& pos = args.positional();
  if (pos.empty() || pos.size() > 3) return UsageError(command, "needs DICT, then optionally IN and OUT (see --help)");
  char sep = '\t';
  if (!ParseSeparator(sepText, &sep)) {
    return UsageError(command, "--sep must be one ASCII character or \\t, \\n, \\r, \\\\");
  }
  int maxLen = 0;
  if (!ParseInt(maxLenText, &maxLen) || maxLen < 0) {
    return UsageError(command, "--max-len must be a number of bytes, 0 or more");
  }
  if (pos.size() > 2) {
    if (int refused = RefuseInputAsOutput(command, pos[2], {pos[0], pos[1]})) return refused;
  }
  int exitCode = kExitFailed;
  std::unique_ptr<CPDAT> dict = LoadDict(command, pos[0], &exitCode);
  if (dict == nullptr) return exitCode;
  std::string text;
  if (!ReadScanInput(command, pos.size() > 1 ? pos[1] : "", utf8, &text)) return kExitFailed;

  std::string out;
  PieceSegmenter segmenter(*dict, maxLen);
  bool ok;
  if (handles) {
    ok = segmenter.Tokens(text, [&](const std::string* piece, const std::vector<std::size_t>& ends,
                                    const int* h) {
      if (piece == nullptr) {
        out += "-1\t\\0\n";
        return;
      }
      std::string lines;
      AppendHandleLines(lines, *piece, ends, h);
      out += utf8 ? GbkToUtf8Text(lines) : lines;
    });
  } else {
    ok = segmenter.Output(text, sep, [&](const char* tokens, std::size_t length) {
      if (tokens == nullptr) {
        out += '\0';
        return;
      }
      const std::string piece(tokens, length);
      out += utf8 ? GbkToUtf8Text(piece) : piece;
    });
  }
  if (!ok) return Failure(command, "a stretch of the input is too long to segment");
  std::string error;
  if (!WriteOutput(pos.size() > 2 ? pos[2] : "", out, &error)) return Failure(command, error);
  return kExitOk;
}

int RunWords(int argc, char** argv) {
  const char* command = "words";
  std::string typeText = "0";
  bool utf8 = false;
  ArgParser args(command, argc, argv);
  args.Option("--type", &typeText);
  args.Flag("--utf8", &utf8);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kWordsUsage, stdout);
    return kExitOk;
  }
  const std::vector<std::string>& pos = args.positional();
  if (pos.empty() || pos.size() > 2) return UsageError(command, "needs DICT, then optionally IN (see --help)");
  if (typeText != "0" && typeText != "1" && typeText != "2") {
    return UsageError(command, "--type must be 0, 1 or 2");
  }
  const int type = typeText[0] - '0';
  int exitCode = kExitFailed;
  std::unique_ptr<CPDAT> dict = LoadDict(command, pos[0], &exitCode);
  if (dict == nullptr) return exitCode;
  std::string text;
  if (!ReadScanInput(command, pos.size() > 1 ? pos[1] : "", utf8, &text)) return kExitFailed;

  std::string out;
  std::vector<PDAT_MATCH> matches;
  for (const Run& run : ZeroFreeRuns(text)) {
    if (run.length > static_cast<std::size_t>(CPDAT::kMaxScanText)) {
      return Failure(command, "a stretch of the input is too long to scan");
    }
    const std::string piece = text.substr(run.offset, run.length);
    matches.clear();
    dict->MatchWords(piece.c_str(), matches, type);
    for (const PDAT_MATCH& m : matches) {
      const std::string word = piece.substr(static_cast<std::size_t>(m.start),
                                            static_cast<std::size_t>(m.length));
      out += std::to_string(run.offset + static_cast<std::size_t>(m.start));
      out += '\t';
      out += std::to_string(m.length);
      out += '\t';
      out += std::to_string(m.handle);
      out += '\t';
      out += utf8 ? GbkToUtf8Text(word) : word;
      out += '\n';
    }
  }
  std::string error;
  if (!WriteOutput("", out, &error)) return Failure(command, error);
  return kExitOk;
}

int RunFreq(int argc, char** argv) {
  const char* command = "freq";
  std::string topText = "20";
  std::string maxLenText = "0";
  bool utf8 = false;
  ArgParser args(command, argc, argv);
  args.Option("--top", &topText);
  args.Option("--max-len", &maxLenText);
  args.Flag("--utf8", &utf8);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    std::fputs(kFreqUsage, stdout);
    return kExitOk;
  }
  const std::vector<std::string>& pos = args.positional();
  if (pos.empty() || pos.size() > 2) return UsageError(command, "needs DICT, then optionally IN (see --help)");
  int top = 0;
  if (!ParseInt(topText, &top) || top < -1) return UsageError(command, "--top must be -1 or more");
  int maxLen = 0;
  if (!ParseInt(maxLenText, &maxLen) || maxLen < 0) {
    return UsageError(command, "--max-len must be a number of bytes, 0 or more");
  }
  int exitCode = kExitFailed;
  std::unique_ptr<CPDAT> dict = LoadDict(command, pos[0], &exitCode);
  if (dict == nullptr) return exitCode;
  std::string text;
  if (!ReadScanInput(command, pos.size() > 1 ? pos[1] : "", utf8, &text)) return kExitFailed;

  // The counter reads words in the dictionary's mode.
  auto counter = std::make_unique<CPDAT>(dict->GetEncoding());
  PieceSegmenter segmenter(*dict, maxLen);
  std::string token;
  const bool ok = segmenter.Tokens(
      text, [&](const std::string* piece, const std::vector<std::size_t>& ends, const int* h) {
        if (piece == nullptr) return;
        std::size_t start = 0;
        for (std::size_t k = 0; k < ends.size(); ++k) {
          if (h[k] >= 0) {
            token.assign(*piece, start, ends[k] - start);
            counter->AddWord(token.c_str(), true);
          }
          start = ends[k];
        }
      });
  if (!ok) return Failure(command, "a stretch of the input is too long to segment");

  // The report is "word/count#" items; a word may hold '/' or '#', so an
  // item ends at the first '#' after a '/' and a count.
  const std::string report = counter->GetTopWords(top);
  std::string out;
  std::size_t start = 0;
  while (start < report.size()) {
    std::size_t hash = report.find('#', start);
    std::size_t slash = std::string::npos;
    while (hash != std::string::npos) {
      slash = report.rfind('/', hash);
      if (slash != std::string::npos && slash >= start && slash + 1 < hash) {
        const std::string count = report.substr(slash + 1, hash - slash - 1);
        int value = 0;
        if (ParseInt(count, &value)) break;
      }
      hash = report.find('#', hash + 1);
    }
    if (hash == std::string::npos) break;
    const std::string word = report.substr(start, slash - start);
    out += utf8 ? GbkToUtf8Text(word) : word;
    out += '\t';
    out += report.substr(slash + 1, hash - slash - 1);
    out += '\n';
    start = hash + 1;
  }
  std::string error;
  if (!WriteOutput("", out, &error)) return Failure(command, error);
  return kExitOk;
}

}  // namespace tool
}  // namespace zhtext
