// zhtext convert: text between GBK, UTF-8 and UTF-16 (little-endian).
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/zhtext/code_table_loader.h"
#include "tools/zhtext/commands.h"
#include "tools/zhtext/tool_common.h"
#include "zhtext/encoding/code_convert.h"
#include "zhtext/encoding/code_detect.h"
#include "zhtext/encoding/code_numbers.h"
#include "zhtext/encoding/code_tables.h"
#include "zhtext/encoding/cp936.h"
#include "zhtext/encoding/gbk_table.h"
#include "zhtext/encoding/utf8_coder.h"

namespace zhtext {
namespace tool {

namespace {

const char kUsageHead[] =
    "usage: zhtext convert --from auto|gbk|big5|utf8|utf16 --to gbk|utf8|utf16 [IN] [OUT]\n"
    "\n"
    "Converts text between GBK (code page 936), Big5 (code page 950, input\n"
    "only), UTF-8 and UTF-16 little-endian. With --from auto the code of the\n"
    "input is detected first (as 'zhtext detect' does, from its first MiB).\n"
    "IN and OUT default to standard input and output ('-' names them too).\n"
    "A UTF-8 or UTF-16 byte-order mark at the start of the input is skipped;\n"
    "no byte-order mark is written.\n"
    "\n"
    "What cannot be converted is replaced, and counted on standard error:\n"
    "  GBK input     an invalid byte sequence becomes U+FFFD\n"
    "  Big5 input    a byte pair without a character, or a lead byte at the\n"
    "                end, becomes U+FEFF\n"
    "  UTF-8 input   an undecodable sequence is dropped (to GBK) or becomes\n"
    "                U+FEFF (to UTF-16)\n"
    "  GBK output    a character without a GBK code becomes A1 A1 (the\n"
    "                ideographic space)\n"
    "\n"
    "Options:\n"
    "  --from CODE         code of the input: auto, gbk, big5, utf8 or utf16\n"
    "  --to CODE           code of the output: gbk, utf8 or utf16\n";
const char kUsageTail[] =
    "                      (read for --from auto and --from big5)\n"
    "  --quiet             do not report the count of unconverted characters\n"
    "  --help              show this help\n";

// Detection looks at the start of the input only.
constexpr std::size_t kDetectBytes = 1 << 20;

enum class Code { kAuto, kGbk, kBig5, kUtf8, kUtf16 };

bool ParseCode(const std::string& name, Code* code) {
  if (name == "auto") {
    *code = Code::kAuto;
  } else if (name == "gbk" || name == "GBK" || name == "cp936") {
    *code = Code::kGbk;
  } else if (name == "big5" || name == "BIG5" || name == "Big5" || name == "cp950") {
    *code = Code::kBig5;
  } else if (name == "utf8" || name == "utf-8" || name == "UTF-8") {
    *code = Code::kUtf8;
  } else if (name == "utf16" || name == "utf-16" || name == "utf16le" || name == "UTF-16") {
    *code = Code::kUtf16;
  } else {
    return false;
  }
  return true;
}

// Decodes the input into UTF-16 units; `bad` counts what was replaced or
// dropped.
std::vector<char16_t> Decode(Code from, Code to, const std::string& in, std::size_t* bad) {
  std::vector<char16_t> units;
  *bad = 0;
  switch (from) {
    case Code::kGbk: {
      units.resize(in.size());
      units.resize(DecodeCp936Lenient(in.data(), in.size(), units.data(), bad));
      break;
    }
    case Code::kUtf8: {
      std::size_t skip = in.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
      std::size_t len = in.size() - skip;
      if (to != Code::kUtf16) {
        // The table conversion's reading: undecodable sequences are dropped.
        units.resize(len);
        units.resize(Utf8ToUnits(in.data() + skip, len, units.data(), bad));
        break;
      }
      // Decoded in pieces so that lengths stay within the coder's 32-bit
      // counts; a piece never ends inside a sequence.
      const std::size_t kPiece = 1u << 24;
      std::size_t pos = skip;
      std::size_t end = skip + len;
      while (pos < end) {
        std::size_t stop = std::min(end, pos + kPiece);
        while (stop < end && stop > pos &&
               (static_cast<unsigned char>(in[stop]) & 0xC0) == 0x80) {
          --stop;
        }
        if (stop == pos) stop = std::min(end, pos + kPiece);
        unsigned piece = static_cast<unsigned>(stop - pos);
        std::size_t old = units.size();
        units.resize(old + piece + 1);
        unsigned capacity = (piece + 1) * 2;
        unsigned written = capacity;
        unsigned used = Utf8ToUTF16(in.data() + pos, piece,
                                    reinterpret_cast<char*>(units.data() + old), &written);
        units.resize(old + written / 2);
        *bad += g_nBadChars;
        pos += used;
      }
      break;
    }
    case Code::kBig5: {
      // Through the code table file's table, in pieces that end between
      // characters and stay within the converter's 32-bit lengths.
      const std::size_t kPiece = 1u << 24;
      const unsigned char* bytes = reinterpret_cast<const unsigned char*>(in.data());
      std::size_t pos = 0;
      while (pos < in.size()) {
        std::size_t stop = pos;
        while (stop < in.size() && stop - pos < kPiece) {
          stop += bytes[stop] >= 0x80 && stop + 1 < in.size() ? 2 : 1;
        }
        const unsigned piece = static_cast<unsigned>(stop - pos);
        const std::size_t old = units.size();
        units.resize(old + piece + 1);
        unsigned written = (piece + 1) * 2;
        pos += DbcsToUTF16(CODE_DBCS2, in.data() + pos, piece,
                           reinterpret_cast<char*>(units.data() + old), &written);
        units.resize(old + written / 2);
        *bad += g_nBadChars;
      }
      break;
    }
    case Code::kAuto:
      break;
    case Code::kUtf16: {
      std::size_t skip = in.compare(0, 2, "\xFF\xFE") == 0 ? 2 : 0;
      std::size_t count = (in.size() - skip) / 2;
      units.resize(count);
      for (std::size_t i = 0; i < count; ++i) {
        unsigned char lo = static_cast<unsigned char>(in[skip + 2 * i]);
        unsigned char hi = static_cast<unsigned char>(in[skip + 2 * i + 1]);
        units[i] = static_cast<char16_t>(lo | (hi << 8));
      }
      if ((in.size() - skip) % 2 != 0) ++*bad;
      break;
    }
  }
  return units;
}

std::string Encode(Code to, const std::vector<char16_t>& units, std::size_t* bad) {
  std::string out;
  *bad = 0;
  switch (to) {
    case Code::kGbk:
      out.resize(units.size() * 2);
      out.resize(UnitsToGbk(units.data(), units.size(), &out[0], bad));
      break;
    case Code::kUtf8:
      out.resize(units.size() * 3);
      out.resize(UnitsToUtf8(units.data(), units.size(), &out[0]));
      break;
    case Code::kUtf16:
      out.resize(units.size() * 2);
      for (std::size_t i = 0; i < units.size(); ++i) {
        out[2 * i] = static_cast<char>(units[i] & 0xFF);
        out[2 * i + 1] = static_cast<char>(units[i] >> 8);
      }
      break;
    case Code::kAuto:
    case Code::kBig5:
      break;
  }
  return out;
}

// The detected code of `input`; false for an undecided input or a code the
// command does not read.
bool DetectInput(const std::string& input, Code* code, std::string* name) {
  const unsigned len = static_cast<unsigned>(std::min(input.size(), kDetectBytes));
  const int detected = DetectCode(input.data(), len);
  *name = CodeName(detected);
  switch (detected) {
    case CODE_UTF8:
      *code = Code::kUtf8;
      return true;
    case CODE_GBK:
      *code = Code::kGbk;
      return true;
    case CODE_DBCS2:
      *code = Code::kBig5;
      return true;
    case CODE_UTF16:
      *code = Code::kUtf16;
      return true;
    default:
      return false;
  }
}

}  // namespace

int RunConvert(int argc, char** argv) {
  const char* kName = "convert";
  std::string from_name, to_name, tables;
  bool quiet = false;
  ArgParser args(kName, argc, argv);
  args.Option("--from", &from_name);
  args.Option("--to", &to_name);
  args.Option("--code-tables", &tables);
  args.Flag("--quiet", &quiet);
  if (!args.Parse()) return kExitUsage;
  if (args.help()) {
    PrintCodeTablesUsage(kUsageHead, kUsageTail);
    return kExitOk;
  }
  Code from, to;
  if (from_name.empty() || to_name.empty()) return UsageError(kName, "--from and --to are required");
  if (!ParseCode(from_name, &from)) return UsageError(kName, "unknown code '" + from_name + "'");
  if (!ParseCode(to_name, &to)) return UsageError(kName, "unknown code '" + to_name + "'");
  if (to == Code::kAuto || to == Code::kBig5) {
    return UsageError(kName, "cannot write " + to_name + " (--to takes gbk, utf8 or utf16)");
  }
  if (args.positional().size() > 2) return UsageError(kName, "too many arguments");
  std::string in_path = args.positional().size() > 0 ? args.positional()[0] : "";
  std::string out_path = args.positional().size() > 1 ? args.positional()[1] : "";
  if (int refused = RefuseInputAsOutput(kName, out_path, {in_path})) return refused;

  std::string input, error;
  if (!ReadInput(in_path, &input, &error)) return Failure(kName, error);
  const bool need_tables = from == Code::kAuto || from == Code::kBig5;
  if (need_tables && !LoadToolCodeTables(kName, tables)) return kExitFailed;
  if (from == Code::kAuto) {
    std::string detected;
    if (!DetectInput(input, &from, &detected)) {
      FreeCodeTables();
      return Failure(kName, "cannot tell the code of the input (" + detected +
                                "); give it with --from");
    }
  }
  std::size_t bad_in = 0, bad_out = 0;
  std::vector<char16_t> units = Decode(from, to, input, &bad_in);
  if (need_tables) FreeCodeTables();
  std::string output = Encode(to, units, &bad_out);
  if (!WriteOutput(out_path, output, &error)) return Failure(kName, error);
  if (!quiet && bad_in + bad_out > 0) {
    std::fprintf(stderr, "zhtext convert: %zu character(s) had no mapping (replaced or dropped)\n",
                 bad_in + bad_out);
  }
  return kExitOk;
}

}  // namespace tool
}  // namespace zhtext
