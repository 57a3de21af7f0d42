// A similarity score between a short GBK text (`part`) and a longer one:
// how much of `part` is found in `text`, and how nearly in order.
// Pure function, safe on any thread.
#ifndef ZHTEXT_ENCODING_SIMILARITY_H_
#define ZHTEXT_ENCODING_SIMILARITY_H_

namespace zhtext {

// A score from 0 to 1:
//  - null and empty texts: both null 1.0; `part` null and `text` not 0.5;
//    `text` null 0.5 when `part` is empty, else 0.0; both empty 1.0; `part`
//    empty 0.5; `text` empty 0.0;
//  - `part` equal to `text` with ASCII letters folded (in one-byte
//    characters only): 1.0;
//  - `part` found in `text`: n / L, n and L their lengths in bytes;
//  - else each character of `part` (k bytes) is searched in `text` from the
//    offset where the previous one was found (at first 0): found exactly k
//    bytes after that offset it scores k, found elsewhere 0.9 k (both move
//    the offset there), not found 0.6 k; the result is score^2 / (L * n),
//    and at most 1 (a `part` longer than `text` could score more).
// Matches start only at character starts of `text`, never on the second
// byte of a two-byte character. Reads stop at each text's terminator.
double Similarity(const char* part, const char* text);

}  // namespace zhtext

#endif  // ZHTEXT_ENCODING_SIMILARITY_H_
