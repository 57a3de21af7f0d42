#include "tests/support/code_table_file.h"

#include <deque>

#include "tests/support/temp_dir.h"
#include "zhtext/encoding/code_detect.h"

namespace zhtext {
namespace testing {

namespace {

struct Node {
  std::map<unsigned char, int> children;
  int fail = 0;
  std::int32_t value = kNoCellValue;
};

void PutInt32(std::string* out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutTable(std::string* out, const TableEntries& entries) {
  std::vector<std::uint16_t> table(kCodeTableUnits, 0);
  for (const auto& [code, unit] : entries) {
    table[CodeTableIndex(static_cast<unsigned char>(code >> 8),
                         static_cast<unsigned char>(code & 0xFF))] = unit;
  }
  for (std::uint16_t unit : table) {
    out->push_back(static_cast<char>(unit & 0xFF));
    out->push_back(static_cast<char>(unit >> 8));
  }
}

}  // namespace

std::int32_t CellValue(int gbk, int dbcs2, int utf16, int utf8, int definite) {
  return definite * (1 << 20) + (gbk + 9) + 20 * (dbcs2 + 9) + 400 * (utf16 + 9) +
         8000 * (utf8 + 9);
}

std::vector<CODE_CELL> BuildCells(const std::vector<CodePattern>& patterns) {
  std::vector<Node> nodes(1);
  for (const CodePattern& pattern : patterns) {
    int s = 0;
    for (char c : pattern.bytes) {
      const unsigned char b = static_cast<unsigned char>(c);
      auto it = nodes[s].children.find(b);
      if (it == nodes[s].children.end()) {
        nodes.emplace_back();
        it = nodes[s].children.emplace(b, static_cast<int>(nodes.size()) - 1).first;
      }
      s = it->second;
    }
    nodes[s].value = pattern.value;
  }
  // Fail links, breadth first.
  std::deque<int> queue;
  std::vector<int> order;
  queue.push_back(0);
  while (!queue.empty()) {
    const int s = queue.front();
    queue.pop_front();
    order.push_back(s);
    for (const auto& [b, t] : nodes[s].children) {
      if (s != 0) {
        int f = nodes[s].fail;
        while (f != 0 && nodes[f].children.count(b) == 0) f = nodes[f].fail;
        auto it = nodes[f].children.find(b);
        nodes[t].fail = it != nodes[f].children.end() ? it->second : 0;
      }
      queue.push_back(t);
    }
  }
  // Double array, first fit.
  std::vector<CODE_CELL> cells(1, CODE_CELL{0, -1, 0, kNoCellValue});
  std::vector<int> cellOf(nodes.size(), 0);
  for (int s : order) {
    if (nodes[s].children.empty()) continue;
    int base = 1;
    for (;; ++base) {
      bool fits = true;
      for (const auto& child : nodes[s].children) {
        const std::size_t t = static_cast<std::size_t>(base) + child.first;
        if (t < cells.size() && cells[t].check != -1) fits = false;
      }
      if (fits) break;
    }
    cells[cellOf[s]].base = base;
    for (const auto& [b, t] : nodes[s].children) {
      const std::size_t cell = static_cast<std::size_t>(base) + b;
      if (cells.size() <= cell) cells.resize(cell + 1, CODE_CELL{0, -1, 0, kNoCellValue});
      cells[cell].check = cellOf[s];
      cellOf[t] = static_cast<int>(cell);
    }
  }
  for (std::size_t s = 1; s < nodes.size(); ++s) {
    cells[cellOf[s]].fail = cellOf[nodes[s].fail];
    cells[cellOf[s]].value = nodes[s].value;
  }
  return cells;
}

std::string CodeTableFile(const std::vector<CODE_CELL>& cells, const TableEntries& gbk,
                          const TableEntries& dbcs2) {
  std::string out;
  PutTable(&out, gbk);
  PutTable(&out, dbcs2);
  PutInt32(&out, static_cast<std::uint32_t>(cells.size()));
  for (const CODE_CELL& cell : cells) {
    PutInt32(&out, static_cast<std::uint32_t>(cell.base));
    PutInt32(&out, static_cast<std::uint32_t>(cell.check));
    PutInt32(&out, static_cast<std::uint32_t>(cell.fail));
    PutInt32(&out, static_cast<std::uint32_t>(cell.value));
  }
  return out;
}

std::string WithCellCount(std::string file, std::uint32_t count) {
  std::string bytes;
  PutInt32(&bytes, count);
  file.replace(4 * kCodeTableUnits, 4, bytes);
  return file;
}

int LoadFileBytes(const std::string& bytes) {
  TempDir dir;
  const std::string path = dir.File("codes.bin");
  WriteFile(path, bytes);
  return LoadCodeTables(path.c_str());
}

int DetectBytes(const std::string& bytes) {
  return DetectCode(bytes.data(), static_cast<unsigned>(bytes.size()));
}

int LoadPatterns(const std::vector<CodePattern>& patterns, const TableEntries& gbk,
                 const TableEntries& dbcs2) {
  return LoadFileBytes(CodeTableFile(BuildCells(patterns), gbk, dbcs2));
}

}  // namespace testing
}  // namespace zhtext
