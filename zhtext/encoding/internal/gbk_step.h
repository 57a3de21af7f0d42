// Internal: the GBK stepping rule, for the routines that walk GBK text
// character by character. Not part of the public interface.
#ifndef ZHTEXT_ENCODING_INTERNAL_GBK_STEP_H_
#define ZHTEXT_ENCODING_INTERNAL_GBK_STEP_H_

namespace zhtext {
namespace internal {

// Length of the GBK character at `text`: 0 at the terminator, 2 for a byte of
// 0x80 or above followed by a non-zero byte, else 1.
inline int GbkCharLength(const char* text) {
  if (text[0] == '\0') return 0;
  return (static_cast<unsigned char>(text[0]) >= 0x80 && text[1] != '\0') ? 2 : 1;
}

}  // namespace internal
}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_INTERNAL_GBK_STEP_H_
