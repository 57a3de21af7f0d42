// Percent-escapes: decoding "%XX" in a byte string, and the hexadecimal pair
// reader that HtmlToText shares.
//
// Both work on bytes: the byte they react to, '%', lies below 0x40, which no
// GBK character has as its second byte, and UTF-8 text decodes alike. Pure
// functions; they may run on any thread.
#ifndef ZHTEXT_ENCODING_URL_DECODE_H_
#define ZHTEXT_ENCODING_URL_DECODE_H_

namespace zhtext {

// Decodes `len` bytes of `data` into `out`: each '%' with at least two more
// bytes after it within `len` becomes the one byte HexPairToByte gives for
// those two (no check that they are hexadecimal digits); a '%' with fewer
// than two bytes after it, and every other byte, is copied. `*outLen`
// receives the bytes written; the output is not zero-terminated. A `len` of
// 0 or below writes nothing. Returns 0.
// REQUIRES: `out` holds at least `len` bytes.
int UrlDecode(const char* data, int len, char* out, int* outLen);

// The byte that the two characters at `p` denote as hexadecimal digits.
// Each character c counts as c - '0' when it is below 'A' (bytes of 0x80 or
// above count as negative, as signed chars), otherwise as (c with bit 0x20
// cleared) - 55, so capital and small letters both work; the byte is
// (first * 16 + second) modulo 256. Any two bytes give some byte.
// REQUIRES: `p` holds two bytes.
unsigned char HexPairToByte(const char* p);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_URL_DECODE_H_
