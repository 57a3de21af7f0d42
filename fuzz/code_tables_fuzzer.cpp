// Feeds arbitrary bytes to LoadCodeTables and DetectCode. An input whose
// first byte is odd is the whole file; otherwise the rest of it follows two
// empty conversion tables (cell count, cells, then anything), so that the
// fuzzer works on the automaton. Whatever the loader accepts must be walked
// in linear time without reading outside the cells: DetectCode is compared
// with a plain walk that counts its fail steps, and the conversions by code
// number must stay within their buffers. A refused file must leave the
// tables loaded before untouched.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "zhtext/encoding/code_convert.h"
#include "zhtext/encoding/code_detect.h"
#include "zhtext/encoding/code_numbers.h"
#include "zhtext/encoding/code_tables.h"

namespace {

using namespace zhtext;

// The file each input is written to, one per process.
const std::string& ScratchPath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() /
       ("zhtext-code-tables-fuzz-" + std::to_string(std::random_device{}()) + ".bin"))
          .string();
  return path;
}

// The walk and the decision written out plainly, bounds-checked at every
// cell read; aborts when the fail steps outnumber the bytes (a validated
// automaton never needs more).
int ReferenceDetect(const std::string& text) {
  const std::int64_t n = g_nCodeCells;
  auto cell = [n](std::int64_t i) -> const CODE_CELL& {
    if (i < 0 || i >= n) std::abort();
    return g_pCodeCells[i];
  };
  std::int64_t s = 0, h = 0, failSteps = 0;
  std::int64_t sum[4] = {0, 0, 0, 0}, positive[4] = {0, 0, 0, 0}, zC = 0;
  int definite = 0;
  for (unsigned char b : text) {
    if (definite != 0) return definite;
    if (b >= 0x80) ++h;
    while (n > 0) {
      const std::int64_t t = static_cast<std::int64_t>(cell(s).base) + b;
      if (t >= 0 && t < n && cell(t).check == s) {
        s = t;
        if (cell(t).value != kNoCellValue) {
          definite = CellDefiniteCode(cell(t).value);
          int score[4];
          CellScores(cell(t).value, score);
          for (int i = 0; i < 4; ++i) {
            sum[i] += score[i];
            positive[i] += score[i] > 0;
          }
          zC += score[2] <= 0;
        }
        break;
      }
      if (s == 0) break;
      s = cell(s).fail;
      if (++failSteps > static_cast<std::int64_t>(text.size())) std::abort();
    }
  }
  if (definite != 0) return definite;
  int code = (h == 0 || positive[0] > h / 4) ? CODE_GBK : CODE_AUTO;
  std::int64_t best = sum[0];
  if (sum[1] > best) {
    best = sum[1];
    code = positive[1] > h / 4 ? CODE_DBCS2 : CODE_AUTO;
  }
  if (sum[3] > best) {
    best = sum[3];
    code = positive[3] > h / 6 ? CODE_UTF8 : CODE_AUTO;
  }
  if (sum[2] > best && (positive[2] + 9) / (zC + 1) > 9) code = CODE_UTF16;
  return code;
}

void CheckConversions(const std::string& text) {
  const unsigned len = static_cast<unsigned>(text.size());
  std::vector<char> out(3 * text.size() + 16);
  for (int code : {CODE_AUTO, CODE_UTF8, CODE_GBK, CODE_DBCS2, CODE_UTF16, 5}) {
    unsigned length = 0;
    if (ConvertToGBK(code, text.data(), len, out.data(), &length) > len + 1) std::abort();
    length = static_cast<unsigned>(2 * text.size() + 2);
    ConvertToUTF16(code, text.data(), len, out.data(), &length);
    if (length > 2 * text.size() + 2) std::abort();
    length = 0;
    if (ConvertToUTF8(code, text.data(), len, out.data(), &length) > 3 * text.size()) std::abort();
    length = 7;
    if (ConvertToUTF8(code, text.data(), len, out.data(), &length) > 7) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string file;
  if (data[0] & 1) {
    file = input;
  } else {
    file.assign(4 * kCodeTableUnits, '\0');
    // A few table entries, so that conversions have characters to find.
    for (std::size_t i = 1; i + 1 < size && i < 64; i += 2) {
      file[(2 * static_cast<std::size_t>(data[i]) * 97) % file.size()] = static_cast<char>(data[i + 1]);
    }
    file.append(input, 1, std::string::npos);
  }
  const std::string& path = ScratchPath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(file.data(), 1, file.size(), f);
  std::fclose(f);

  // A refused file leaves what was loaded before; start from nothing
  // loaded, then from a tiny loaded automaton, in turn.
  static unsigned round = 0;
  FreeCodeTables();
  if (++round % 2 == 0) {
    std::string tiny(4 * kCodeTableUnits, '\0');
    tiny.append("\x01\x00\x00\x00", 4);  // one cell: the root
    tiny.append("\x00\x00\x00\x00\xFF\xFF\xFF\xFF\x00\x00\x00\x00\x0D\x28\x01\x00", 16);
    std::FILE* t = std::fopen(path.c_str(), "wb");
    if (t == nullptr) return 0;
    std::fwrite(tiny.data(), 1, tiny.size(), t);
    std::fclose(t);
    if (LoadCodeTables(path.c_str()) != 0) std::abort();
    t = std::fopen(path.c_str(), "wb");
    if (t == nullptr) return 0;
    std::fwrite(file.data(), 1, file.size(), t);
    std::fclose(t);
  }
  const CODE_CELL* before = g_pCodeCells;
  const std::int32_t countBefore = g_nCodeCells;
  const int result = LoadCodeTables(path.c_str());
  if (result != 0 && (g_pCodeCells != before || g_nCodeCells != countBefore)) std::abort();

  const std::string probes[] = {input, input.substr(input.size() / 2), "",
                                "\xD6\xD0\xCE\xC4", "\xE4\xB8\xAD\xE6\x96\x87",
                                std::string("\x2D\x4E\x87\x65", 4), "ascii text"};
  for (const std::string& text : probes) {
    const int code = DetectCode(text.data(), static_cast<unsigned>(text.size()));
    if (g_pCodeCells == nullptr) {
      if (code != CODE_AUTO) std::abort();
    } else if (code != ReferenceDetect(text)) {
      std::abort();
    }
    CheckConversions(text);
  }
  FreeCodeTables();
  return 0;
}
