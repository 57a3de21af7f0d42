#include "zhtext/encoding/punct_tables.h"

namespace zhtext {

// The codes as the matching form defines them. AA A4 lies in the first
// user-defined area and has no Unicode character, so the table holds codes
// rather than text.
const MATCH_FOLD MATCH_FOLDS[kMatchFoldCount] = {
    {0xA3A8, '('}, {0xA1BE, '('},                                  // （ 【
    {0xA3A9, ')'}, {0xA1BF, ')'},                                  // ） 】
    {0xA1B0, '"'}, {0xA1B1, '"'}, {0xA1AE, '"'}, {0xA3A7, '"'},    // “ ” ‘ ＇
    {0xA3DC, '\t'}, {0xA3FC, '\t'}, {0xA3AC, '\t'}, {0xA3AE, '\t'},  // ＼ ｜ ， ．
    {0xA1A3, '\t'}, {0xA1A2, '\t'}, {0xA3AD, '\t'}, {0xA1AA, '\t'},  // 。 、 － —
    {0xAAA4, '\t'}, {0xA1A1, '\t'},  // (user-defined AA A4) and the ideographic space
};

// "。" is U+3002 (A1 A3) and "．" would be U+FF0E (A3 AE): the key '.'
// takes the ideographic full stop.
const char16_t FULLWIDTH_PUNCT_CHARS[kFullWidthPunctCount + 1] = u"。，；：？！％（）｛＋｝［］／＝";

}  // namespace zhtext
