// Code detection: which of UTF-8, GBK, the second double-byte code (Big5)
// or UTF-16LE a byte buffer is written in, told by walking the loaded
// detection automaton (code_tables.h) over its bytes and adding up the
// scores of the states it reaches.
//
// Concurrency: DetectCode only reads the loaded tables and may run on any
// number of threads at once, but not while they are loaded or freed.
#ifndef ZHTEXT_ENCODING_CODE_DETECT_H_
#define ZHTEXT_ENCODING_CODE_DETECT_H_

namespace zhtext {

// The code of `len` bytes at `data` (code_numbers.h): CODE_UTF8, CODE_GBK,
// CODE_DBCS2, CODE_UTF16, CODE_AUTO when undecided, or a definite code the
// table file names.
//
// The walk starts at the root. For each byte: when a definite code was
// reached at the byte before, it is the result. Otherwise the byte is
// counted in h when it is 0x80 or above, and the walk takes the byte's
// transition from the current state, following fail links (the byte tried
// again, counted once) until a transition exists or the root is reached,
// where a byte without a transition is passed over. A state with a value
// sets the definite code and adds its four scores to the sums sA (GBK), sB
// (second double-byte code), sC (UTF-16) and sD (UTF-8), counting positive
// scores in nA, nB, nD and pC, and UTF-16 scores of 0 or below in zC.
//
// After the last byte a definite code is the result; otherwise, with
// q4 = h / 4 and q6 = h / 6:
//   code = GBK when h is 0 or nA > q4, else undecided; best = sA
//   if sB > best: best = sB; code = second double-byte when nB > q4, else
//                 undecided
//   if sD > best: best = sD; code = UTF-8 when nD > q6, else undecided
//   if sC > best and (pC + 9) / (zC + 1) > 9: code = UTF-16
// Ties keep the earlier code in the order GBK, second double-byte, UTF-8,
// UTF-16. An empty buffer, and ASCII text that reaches no scored state, give
// GBK. The shipped table file scores no state made of ASCII bytes alone
// other than the zero byte, so ASCII text without zero bytes gives GBK.
//
// Before LoadCodeTables has succeeded, every buffer gives CODE_AUTO.
int DetectCode(const char* data, unsigned len);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_CODE_DETECT_H_
