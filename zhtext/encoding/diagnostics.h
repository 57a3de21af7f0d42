// Diagnostics of the encoding layer: hexadecimal dumps on standard output and
// the GB2312 code list. Safe on any thread (stdout is shared).
#ifndef ZHTEXT_ENCODING_DIAGNOSTICS_H_
#define ZHTEXT_ENCODING_DIAGNOSTICS_H_

namespace zhtext {

// Writes each of the `len` bytes as "%02X", then one line feed.
void PrintHex(const char* data, unsigned len);

// The same for the bytes of `text` before its terminating zero.
void PrintHexString(const char* text);

// Writes the code list of the GB2312 character rows to `path` in text mode
// (CR LF line ends): one line "%c%c,%d,%d" per lead byte 0xB0-0xFE and trail
// byte 0xA1-0xFE. False when the file cannot be created.
bool WriteGB2312Table(const char* path);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_DIAGNOSTICS_H_
