// The fixed key texts of the data cipher (CVeskEncript): one for the text
// block of word list files, one for the bodies of request-client messages.
// Files and replies enciphered with any other key cannot be deciphered, so
// these texts never change.
//
// Both return a zero-terminated GBK text owned by the library and valid for
// the life of the process; safe to call from any thread (each is converted
// once, on first use).
#ifndef ZHTEXT_WORDLIST_CIPHER_KEYS_H_
#define ZHTEXT_WORDLIST_CIPHER_KEYS_H_

namespace zhtext {

// The word list key: a GBK sentence of 136 bytes, 58 two-byte characters
// with 20 ASCII bytes among them.
const char* WordListKey();

// The request client key: 8 two-byte GBK characters, 16 bytes.
const char* RequestClientKey();

}  // namespace zhtext

#endif  // ZHTEXT_WORDLIST_CIPHER_KEYS_H_
