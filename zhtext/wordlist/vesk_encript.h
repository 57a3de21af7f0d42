// CVeskEncript: the library's repeating-key data cipher. Every byte of the
// data is combined by exclusive-or with the key byte at the same position
// modulo the key length, so applying the cipher twice with the same key
// restores the data: one operation both enciphers and deciphers. It guards
// the text block of word list files and the bodies of request-client
// messages (their key texts are in cipher_keys.h).
//
// The key is a byte string used as it is; its first zero byte ends it. The
// object owns a copy of the key. Data buffers and streams stay the caller's.
//
// Concurrency: the object does not change after construction, so one object
// may serve several threads at once (each call keeps its own key position);
// the data itself must not be shared during a call.
#ifndef ZHTEXT_WORDLIST_VESK_ENCRIPT_H_
#define ZHTEXT_WORDLIST_VESK_ENCRIPT_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zhtext {

class CVeskEncript {
 public:
  // Copies `key` up to its zero byte (a null key is taken as empty).
  explicit CVeskEncript(const char* key);
  virtual ~CVeskEncript();

  CVeskEncript(const CVeskEncript&) = delete;
  CVeskEncript& operator=(const CVeskEncript&) = delete;

  // Applies the cipher to `buf[0..len-1]` in place, the key position starting
  // at 0: a buffer enciphered in two calls matches the one-call result only
  // when the first part's length is a multiple of the key length. False
  // (data unchanged) when the key is empty, or when `buf` is null and `len`
  // is not 0; a length of 0 returns true and changes nothing.
  bool EncriptBuffer(unsigned char* buf, std::size_t len) const;

  // As above, with `buf` taken to start at byte `position` of a longer data,
  // so that a large data may be enciphered piece by piece: the key position
  // of `buf[0]` is `position` modulo the key length.
  bool EncriptBuffer(unsigned char* buf, std::size_t len, std::uint64_t position) const;

  // Applies the cipher to all bytes of `text` in place. False (text
  // unchanged) when the key is empty.
  bool EncriptString(std::string& text) const;

  // Reads the whole content of `in` from its start (it is rewound first),
  // applies the cipher and writes the result to a new file `outPath`
  // (created or truncated). `in` stays open, positioned at its end. Works on
  // data of any length (it is processed piece by piece, never held whole).
  // False when `in` is null, when `outPath` cannot be opened, or when a read
  // from `in` or a write to `outPath` fails; the output file may then be
  // incomplete. With an empty key the data is copied unchanged.
  bool EncriptStream(std::FILE* in, const char* outPath) const;

  // As EncriptStream, from the file `srcPath` (opened and closed here) to
  // `dstPath`. False when `srcPath` cannot be opened for reading (`dstPath`
  // is then not touched), when `dstPath` cannot be opened, or when a read or
  // a write fails. `srcPath` and `dstPath` must name different files.
  bool EncriptFile(const char* srcPath, const char* dstPath) const;

  // The key length in bytes.
  int GetKeyLength() const { return m_nKeyLen; }

 private:
  // Copies `in` from its current position to its end into `out`,
  // enciphered. False on a read or write error.
  bool CopyEnciphered(std::FILE* in, std::FILE* out) const;

  char* m_pKey;    // owned copy of the key, zero-terminated
  int m_nKeyLen;   // bytes of the key before its zero byte
};

}  // namespace zhtext

#endif  // ZHTEXT_WORDLIST_VESK_ENCRIPT_H_
