// The numbers by which code detection and the conversions by code number
// name a character code. As an argument, CODE_AUTO asks for detection; as a
// detection result it means undecided. A code table file may name further
// definite codes of its own; the conversions take only the five below.
#ifndef ZHTEXT_ENCODING_CODE_NUMBERS_H_
#define ZHTEXT_ENCODING_CODE_NUMBERS_H_

namespace zhtext {

inline constexpr int CODE_AUTO = 0;   // detect (argument) / undecided (result)
inline constexpr int CODE_UTF8 = 1;   // UTF-8
inline constexpr int CODE_GBK = 2;    // GBK, the library's own code
inline constexpr int CODE_DBCS2 = 3;  // the second double-byte code: Big5 as
                                      // code page 950 maps it
inline constexpr int CODE_UTF16 = 8;  // UTF-16, little-endian code units

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_CODE_NUMBERS_H_
