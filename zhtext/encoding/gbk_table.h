// The built-in GBK table and the conversion to GBK through it.
//
// kGbkTable has one entry per UTF-16 code unit: the unit's GBK code with the
// lead byte in the high half (U+4E00 gives 0xD2BB), the unit itself for
// 0x01-0x7F, 0x80 for the euro sign U+20AC, and 0 for every unit without a
// code (surrogates and private-use units included). 21,792 units above 0x7F
// have an entry. It equals code page 936 without its user-defined areas.
//
// Constant data; every function here is pure and may run on any thread.
#ifndef ZHTEXT_ENCODING_GBK_TABLE_H_
#define ZHTEXT_ENCODING_GBK_TABLE_H_

#include <cstddef>
#include <cstdint>

namespace zhtext {

extern const std::uint16_t kGbkTable[65536];

// Converts `count` UTF-16 units to GBK in `out`, followed by two zero bytes.
// A unit without a code becomes A1 A1 (the ideographic space); the euro sign
// becomes the single byte 0x80. When `replaced` is given it receives the
// number of units that had no code.
// REQUIRES: `out` holds at least 2 * count + 2 bytes.
void UnicodeToGbk(const char16_t* units, char* out, unsigned count,
                  unsigned* replaced = nullptr);

// Converts zero-terminated UTF-8 to GBK through the table: well-formed 1-3
// byte forms are converted (A1 A1 for units without a code), 4-byte forms and
// stray bytes are dropped. The output ends with two zero bytes. When given,
// `replaced` receives the units without a code and `dropped` the sequences
// that gave no unit.
// REQUIRES: `out` holds at least strlen(text) + 2 bytes.
void Utf8ToGbkByTable(const char* text, char* out, unsigned* replaced = nullptr,
                      unsigned* dropped = nullptr);

// Counted form of UnicodeToGbk for texts that may hold zero units: writes the
// GBK bytes of `count` units into `out` without the two closing zero bytes
// and returns the bytes written.
// REQUIRES: `out` holds at least 2 * count bytes.
std::size_t UnitsToGbk(const char16_t* units, std::size_t count, char* out,
                       std::size_t* replaced = nullptr);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_GBK_TABLE_H_
