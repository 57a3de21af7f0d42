// HtmlToText: the readable text of an HTML page, for indexing and matching.
//
// The page is read once, left to right, without a parser: tags, comments and
// script elements become one SPACE each, character entities are decoded or
// become a SPACE, capital percent-escapes are decoded, and runs of spaces are
// collapsed. The markup the rules look for starts with a byte below 0x40
// ('<', '&', '%', the zero byte), which no GBK character has as its second
// byte, so the page is read byte by byte and the rules suit GBK and UTF-8
// pages alike; all other bytes pass through unchanged. The one rule that
// starts with a letter, the bare "nbsp;", applies only after a byte below
// 0x80, so it never takes the second byte of a GBK character for its 'n'.
//
// The rules, in the order they are tried at each byte p:
//   - "<" followed by an ASCII letter or one of "!/?" starts markup:
//       "<!--" (with a byte after it) runs to the first "-->";
//       "<script>" in any letter case (with at least 8 bytes after it) runs
//         to the first '>' after the first "</s" (or, when there is none,
//         "</S") after it; an opening script tag with attributes is an
//         ordinary tag, so that script's contents stay in the text;
//       any other tag runs to the first '>', which must lie less than 500
//         bytes after the '<';
//     each becomes one SPACE. A comment or script without its end, or a tag
//     without its '>' in reach, leaves the '<' as text.
//   - "&#N;" (the ';' at most 10 bytes after the '&') is the number N read
//     as the C library's atoi reads it: 127-254 give a SPACE, 0 and negative
//     numbers nothing, any other number its UTF-8 form (1 to 6 bytes). So a
//     hexadecimal entity "&#x41;" reads as 0 and gives nothing. "&lt;" and
//     "&gt;" give '<' and '>'; any other '&' and ASCII letter with its ';'
//     less than 10 bytes after the '&' gives a SPACE ("&amp;", "&nbsp;").
//     An '&' without such an ending stays as text.
//   - '%' and two of "0123456789ABCDEF" give the byte they denote ("%00"
//     gives nothing); small hexadecimal letters are not decoded.
//   - a zero byte followed by another is dropped; any other zero byte ends
//     the text.
//   - "nbsp;" with a byte after it, at the start of the page or after a
//     byte below 0x80, is dropped (a SPACE when the text written so far ends
//     in one, which then collapses).
//   - any other byte is copied; a SPACE only when the text so far does not
//     end in one.
// Three leading bytes EF BB BF (a UTF-8 byte-order mark) are skipped. The
// text has no leading SPACE and no two SPACEs in a row; it may end in one.
// Every search for an ending stays within the page's `dataLen` bytes.
//
// Pure function; it may run concurrently on different buffers.
#ifndef ZHTEXT_ENCODING_HTML_TEXT_H_
#define ZHTEXT_ENCODING_HTML_TEXT_H_

#include <cstddef>

namespace zhtext {

// Writes the text of the `dataLen` bytes of `data` into `out`,
// zero-terminated. On entry `*outLen` is the capacity: 0 for no limit;
// otherwise the page is read only while fewer than that many bytes have been
// written by the rules above (before spaces are collapsed), and a numeric
// entity in progress may add up to 5 bytes more. On return `*outLen` is the
// length of the text. Never fails; returns 0.
// REQUIRES: `out` holds `dataLen` + 1 bytes, or, with a capacity, the
// smaller of that and capacity + 6 bytes.
int HtmlToText(const char* data, std::size_t dataLen, char* out, std::size_t* outLen);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_HTML_TEXT_H_
