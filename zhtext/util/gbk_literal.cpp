#include "zhtext/util/gbk_literal.h"

#include <cstring>

#include "zhtext/encoding/gbk_table.h"

namespace zhtext {

void GbkLiteral::Convert() const {
  // GBK never needs more bytes than UTF-8 for the same characters; the
  // converter adds two terminating zeros. The block is kept for the life of
  // the process, like the literal itself.
  std::size_t len = std::strlen(m_pUtf8);
  char* gbk = new char[len + 2];
  Utf8ToGbkByTable(m_pUtf8, gbk);
  m_nSize = std::strlen(gbk);
  m_pGbk = gbk;
}

const char* GbkLiteral::c_str() const {
  std::call_once(m_once, [this] { Convert(); });
  return m_pGbk;
}

std::size_t GbkLiteral::size() const {
  std::call_once(m_once, [this] { Convert(); });
  return m_nSize;
}

}  // namespace zhtext
