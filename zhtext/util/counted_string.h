// Counted strings in binary streams: a 32-bit unsigned length in
// little-endian order (the low 32 bits of the string's length), then that
// many bytes, no terminator.
//
// The streams are the caller's, open in binary mode; nothing is flushed or
// closed. Re-entrant; a stream is used by one thread at a time.
#ifndef ZHTEXT_UTIL_COUNTED_STRING_H_
#define ZHTEXT_UTIL_COUNTED_STRING_H_

#include <cstdio>
#include <string>

namespace zhtext {

// Writes the length and the bytes of `text` (zero bytes included). True when
// everything was written. A string of 4 GiB or more has only the low 32 bits
// of its length written, and then all its bytes, as the layout has it.
bool WriteCountedString(const std::string& text, std::FILE* stream);

// Reads one counted string into `text`: the length n (0 when the four bytes
// cannot be read), then up to n bytes. Of the bytes read, `text` keeps those
// before the first zero byte: a string that holds zero bytes comes back cut,
// as stored readers expect. A stream that ends early yields only the bytes it
// held; memory grows with the bytes really read, so a false length causes no
// large allocation. The stream is left after the bytes read.
void ReadCountedString(std::FILE* stream, std::string& text);

}  // namespace zhtext

#endif  // ZHTEXT_UTIL_COUNTED_STRING_H_
