#include "zhtext/util/gbk_text_tables.h"

namespace zhtext {

const GbkLiteral PLACE_SUFFIXES[kPlaceSuffixCount] = {
    GbkLiteral("半岛"),   GbkLiteral("草原"),     GbkLiteral("城市"),   GbkLiteral("大堤"),
    GbkLiteral("大公国"), GbkLiteral("大桥"),     GbkLiteral("地区"),   GbkLiteral("帝国"),
    GbkLiteral("渡槽"),   GbkLiteral("港口"),     GbkLiteral("高速公路"), GbkLiteral("高原"),
    GbkLiteral("公路"),   GbkLiteral("公园"),     GbkLiteral("共和国"), GbkLiteral("谷地"),
    GbkLiteral("广场"),   GbkLiteral("国道"),     GbkLiteral("海峡"),   GbkLiteral("胡同"),
    GbkLiteral("机场"),   GbkLiteral("集镇"),     GbkLiteral("教区"),   GbkLiteral("街道"),
    GbkLiteral("口岸"),   GbkLiteral("码头"),     GbkLiteral("煤矿"),   GbkLiteral("牧场"),
    GbkLiteral("农场"),   GbkLiteral("盆地"),     GbkLiteral("平原"),   GbkLiteral("丘陵"),
    GbkLiteral("群岛"),   GbkLiteral("沙漠"),     GbkLiteral("沙洲"),   GbkLiteral("山脉"),
    GbkLiteral("山丘"),   GbkLiteral("水库"),     GbkLiteral("隧道"),   GbkLiteral("特区"),
    GbkLiteral("铁路"),   GbkLiteral("新村"),     GbkLiteral("雪峰"),   GbkLiteral("盐场"),
    GbkLiteral("盐湖"),   GbkLiteral("渔场"),     GbkLiteral("直辖市"), GbkLiteral("自治区"),
    GbkLiteral("自治县"), GbkLiteral("自治州"),
};

const GbkLiteral PLACE_SUFFIX_CHARS(
    "坝邦堡杯城池村单岛道堤店洞渡队法峰府冈港阁宫沟国海号河湖环集江奖礁角街井郡坑口矿"
    "里岭楼路门盟庙弄牌派坡铺旗桥区渠泉人山省市水寺塔台滩坛堂厅亭屯湾文屋溪峡县线乡巷"
    "型洋窑营屿语园苑院闸寨站镇州庄族陂庵町");

const FULLWIDTH_FOLD FULLWIDTH_FOLDS[kFullWidthFoldCount] = {
    {0xA1A2, ','}, {0xA3AC, ','}, {0xA96F, ','}, {0xA970, ','},  // 、 ， ﹐ ﹑
    {0xA1A3, '.'}, {0xA3AE, '.'}, {0xA842, '.'}, {0xA971, '.'},  // 。 ． ˙ ﹒
    {0xA1AA, '-'}, {0xA3AD, '-'}, {0xA843, '-'},  // — － –
    {0xA844, '-'}, {0xA981, '-'},  // ― ﹣
    {0xA1AB, '~'},  // ～
    {0xA1AE, '\''}, {0xA1AF, '\''}, {0xA3E0, '\''},  // ‘ ’ ｀
    {0xA1B0, '"'}, {0xA1B1, '"'},  // “ ”
    {0xA1B2, '('}, {0xA3A8, '('}, {0xA976, '('}, {0xA97A, '('},  // 〔 （ ﹙ ﹝
    {0xA1B3, ')'}, {0xA3A9, ')'}, {0xA977, ')'}, {0xA97B, ')'},  // 〕 ） ﹚ ﹞
    {0xA1B4, '<'}, {0xA3BC, '<'}, {0xA982, '<'},  // 〈 ＜ ﹤
    {0xA1B5, '>'}, {0xA3BE, '>'}, {0xA983, '>'},  // 〉 ＞ ﹥
    {0xA1BC, '['}, {0xA3DB, '['},  // 〖 ［
    {0xA1BD, ']'}, {0xA3DD, ']'},  // 〗 ］
    {0xA3AA, '*'}, {0xA97E, '*'},  // ＊ ﹡
    {0xA3AB, '+'}, {0xA980, '+'},  // ＋ ﹢
    {0xA3AF, '/'},  // ／
    {0xA3BA, ':'}, {0xA973, ':'},  // ： ﹕
    {0xA3BB, ';'}, {0xA972, ';'},  // ； ﹔
    {0xA3BD, '='}, {0xA984, '='},  // ＝ ﹦
    {0xA3BF, '?'}, {0xA974, '?'},  // ？ ﹖
    {0xA3DF, '_'},  // ＿
    {0xA3FB, '{'}, {0xA978, '{'},  // ｛ ﹛
    {0xA3FC, '|'},  // ｜
    {0xA3FD, '}'}, {0xA979, '}'},  // ｝ ﹜
    {0xA975, '!'},  // ﹗
    {0xA97C, '#'},  // ﹟
    {0xA97D, '&'},  // ﹠
    {0xA985, '\\'},  // ﹨
    {0xA986, '$'},  // ﹩
    {0xA987, '%'},  // ﹪
    {0xA988, '@'},  // ﹫
};

}  // namespace zhtext
