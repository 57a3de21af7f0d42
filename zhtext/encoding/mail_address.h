// Mail addresses in GBK text: every address of a text such as one header
// field of a mail ("收件人：张三<zhang@example.com>, ..."), with the
// display name written before it and the role of the field.
//
// The scan works around each at sign with fixed character classes; it does
// not parse address lists by the mail standards. The text is stepped by
// characters from the start of each segment (a byte of 0x80 or above and the
// byte after it are one character), so the second byte of a GBK character is
// never taken for an at sign, an address byte or a separator: "\x81@" is one
// character, not an at sign.
//
// Pure function; it may run concurrently on different texts and lists.
#ifndef ZHTEXT_ENCODING_MAIL_ADDRESS_H_
#define ZHTEXT_ENCODING_MAIL_ADDRESS_H_

#include <string>
#include <vector>

namespace zhtext {

struct MAIL_ADDRESS {
  std::string user;       // the local part, ASCII letters made small
  std::string domain;     // the part after the at sign, ASCII letters made small
  std::string name;       // the display name before the address (GBK), in text order
  std::string asciiName;  // the ASCII part of the display name next to the address
  std::string role;       // "recv", "copy_to", "secret_to" or "send"
};

// Empties `list` and appends one record per at sign of `text`, in text
// order. The role, one for the whole call, comes from the characters before
// the first at sign: "recv" when 收 is among them, else "copy_to" for 抄,
// else "secret_to" for 密, else "send". Then, for each at sign, within the
// current segment (from the start of the text, later from the end of the
// previous address):
//   - `domain`: the address bytes (ASCII letters, digits, "-._") after it;
//     when a double quote ends them the scan goes on to the next '>' (when
//     there is none, this is the last record); then bytes of ">;,\r\n \t"
//     are passed over, and the next segment starts there;
//   - `user`: the address bytes before it;
//   - then, going backward, bytes of "<\" \t" are passed over, the bytes
//     that are letters, digits or of "\", -._\t" form `asciiName` (bytes of
//     ", -\t" removed from its end), bytes of "\" \t" are passed over, and
//     the characters back to a name stop (one of ":;," or "：。，") or the
//     segment start form `name`.
// An at sign inside a double-quoted address that runs on to a '>' gives no
// record of its own. A null `text` gives an empty list.
void ExtractMailAddresses(const char* text, std::vector<MAIL_ADDRESS>& list);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_MAIL_ADDRESS_H_
