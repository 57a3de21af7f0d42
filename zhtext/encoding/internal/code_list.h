// Internal: the two-byte code list files (the GB2312 character rows and the
// whole A1 A1 to FE FE area), which differ only in their first lead byte.
// Not part of the public interface.
#ifndef ZHTEXT_ENCODING_INTERNAL_CODE_LIST_H_
#define ZHTEXT_ENCODING_INTERNAL_CODE_LIST_H_

namespace zhtext {
namespace internal {

// Writes `path` in text mode (CR LF line ends): one line "%c%c,%d,%d" (the
// two bytes, then both as decimal numbers) for each lead byte from
// `firstLead` to 0xFE and, within it, each trail byte 0xA1-0xFE. False when
// the file cannot be created or written.
bool WriteCodeList(const char* path, int firstLead);

}  // namespace internal
}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_INTERNAL_CODE_LIST_H_
