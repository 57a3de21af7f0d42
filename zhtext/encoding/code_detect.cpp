#include "zhtext/encoding/code_detect.h"

#include <cstdint>

#include "zhtext/encoding/code_numbers.h"
#include "zhtext/encoding/code_tables.h"

namespace zhtext {

int DetectCode(const char* data, unsigned len) {
  const CODE_CELL* cells = g_pCodeCells;
  if (cells == nullptr) return CODE_AUTO;
  const std::uint32_t count = static_cast<std::uint32_t>(g_nCodeCells);
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(data);

  unsigned h = 0;
  long sA = 0, sB = 0, sC = 0, sD = 0;
  unsigned nA = 0, nB = 0, nD = 0, pC = 0, zC = 0;
  int definite = 0;
  std::uint32_t s = 0;
  for (unsigned i = 0; i < len; ++i) {
    if (definite != 0) return definite;
    const unsigned char b = bytes[i];
    if (b >= 0x80) ++h;
    if (count == 0) continue;
    for (;;) {
      // Unsigned arithmetic: a negative or huge base lands outside the cells.
      const std::uint32_t t = static_cast<std::uint32_t>(cells[s].base) + b;
      if (t < count && cells[t].check == static_cast<std::int32_t>(s)) {
        s = t;
        const std::int32_t value = cells[t].value;
        if (value != kNoCellValue) {
          definite = CellDefiniteCode(value);
          int score[4];
          CellScores(value, score);
          sA += score[0];
          sB += score[1];
          sC += score[2];
          sD += score[3];
          nA += score[0] > 0;
          nB += score[1] > 0;
          nD += score[3] > 0;
          if (score[2] > 0) {
            ++pC;
          } else {
            ++zC;
          }
        }
        break;
      }
      if (s == 0) break;
      // LoadCodeTables made sure every fail link leads nearer the root.
      s = static_cast<std::uint32_t>(cells[s].fail);
    }
  }
  if (definite != 0) return definite;

  const unsigned q4 = h / 4, q6 = h / 6;
  int code = (h == 0 || nA > q4) ? CODE_GBK : CODE_AUTO;
  long best = sA;
  if (sB > best) {
    best = sB;
    code = nB > q4 ? CODE_DBCS2 : CODE_AUTO;
  }
  if (sD > best) {
    best = sD;
    code = nD > q6 ? CODE_UTF8 : CODE_AUTO;
  }
  if (sC > best && (pC + 9) / (zC + 1) > 9) code = CODE_UTF16;
  return code;
}

}  // namespace zhtext
