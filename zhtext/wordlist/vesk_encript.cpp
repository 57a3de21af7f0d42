#include "zhtext/wordlist/vesk_encript.h"

#include <cstring>
#include <vector>

namespace zhtext {

namespace {

// Bytes read and written at a time by the file operations. Each piece is
// enciphered at its own position in the data, so the size need not be a
// multiple of the key length.
constexpr std::size_t kChunkSize = 1 << 20;

}  // namespace

CVeskEncript::CVeskEncript(const char* key) {
  std::size_t len = key != nullptr ? std::strlen(key) : 0;
  m_pKey = new char[len + 1];
  if (len > 0) std::memcpy(m_pKey, key, len);
  m_pKey[len] = '\0';
  m_nKeyLen = static_cast<int>(len);
}

CVeskEncript::~CVeskEncript() { delete[] m_pKey; }

bool CVeskEncript::EncriptBuffer(unsigned char* buf, std::size_t len) const {
  return EncriptBuffer(buf, len, 0);
}

bool CVeskEncript::EncriptBuffer(unsigned char* buf, std::size_t len,
                                 std::uint64_t position) const {
  if (m_nKeyLen <= 0) return false;
  if (len == 0) return true;
  if (buf == nullptr) return false;
  const unsigned char* key = reinterpret_cast<const unsigned char*>(m_pKey);
  const std::size_t keyLen = static_cast<std::size_t>(m_nKeyLen);
  std::size_t k = static_cast<std::size_t>(position % keyLen);
  std::size_t i = 0;
  // Up to the next key boundary, then whole key periods, then the rest.
  while (i < len && k != 0) {
    buf[i++] ^= key[k];
    if (++k == keyLen) k = 0;
  }
  while (len - i >= keyLen) {
    for (std::size_t j = 0; j < keyLen; ++j) buf[i + j] ^= key[j];
    i += keyLen;
  }
  for (std::size_t j = 0; i < len; ++i, ++j) buf[i] ^= key[j];
  return true;
}

bool CVeskEncript::EncriptString(std::string& text) const {
  return EncriptBuffer(reinterpret_cast<unsigned char*>(text.data()), text.size());
}

bool CVeskEncript::CopyEnciphered(std::FILE* in, std::FILE* out) const {
  std::vector<unsigned char> chunk(kChunkSize);
  std::uint64_t position = 0;
  for (;;) {
    std::size_t got = std::fread(chunk.data(), 1, chunk.size(), in);
    if (got > 0) {
      EncriptBuffer(chunk.data(), got, position);
      if (std::fwrite(chunk.data(), 1, got, out) != got) return false;
      position += got;
    }
    if (got < chunk.size()) break;
  }
  return std::ferror(in) == 0;
}

bool CVeskEncript::EncriptStream(std::FILE* in, const char* outPath) const {
  if (in == nullptr || outPath == nullptr) return false;
  std::FILE* out = std::fopen(outPath, "wb");
  if (out == nullptr) return false;
  std::rewind(in);
  bool ok = CopyEnciphered(in, out);
  if (std::fclose(out) != 0) ok = false;
  return ok;
}

bool CVeskEncript::EncriptFile(const char* srcPath, const char* dstPath) const {
  if (srcPath == nullptr || dstPath == nullptr) return false;
  std::FILE* in = std::fopen(srcPath, "rb");
  if (in == nullptr) return false;
  std::FILE* out = std::fopen(dstPath, "wb");
  if (out == nullptr) {
    std::fclose(in);
    return false;
  }
  bool ok = CopyEnciphered(in, out);
  std::fclose(in);
  if (std::fclose(out) != 0) ok = false;
  return ok;
}

}  // namespace zhtext
