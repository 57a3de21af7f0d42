#include "zhtext/classify/token_tables.h"

// The texts are UTF-8; GbkLiteral converts them with the built-in GBK table.
// Characters whose GBK form is easy to mistake: "·" is U+00B7 (A1 A4), "—"
// U+2014 (A1 AA), "∶" U+2236 (A1 C3), "．" U+FF0E (A3 AE), "／" U+FF0F
// (A3 AF), "±" U+00B1 (A1 C0), "＋" U+FF0B (A3 AB), "％" U+FF05 (A3 A5),
// "‰" U+2030 (A1 EB), "’" U+2019 (A1 AF), "○" U+25CB (A1 F0) and "〇"
// U+3007 (A9 96).

namespace zhtext {

const GbkLiteral NUMBER_CHARS(
    "零○一二两三四五六七八九十廿百千万亿壹贰叁肆伍陆柒捌玖拾佰仟兆∶·．／点几上成");
const GbkLiteral NUMBER_PREFIX("数第");
const GbkLiteral FRACTION_WORD("分之");
const GbkLiteral SIGN_CHARS("±第—＋");
const GbkLiteral POINT_CHARS("∶·．／");
const GbkLiteral PERCENT_CHARS("％‰");
const GbkLiteral UNIT_CHARS("百千万亿佰仟兆");
const GbkLiteral SMALL_NUMBER_CHARS("零一二三四五六七八九十壹贰叁肆伍陆柒捌玖０１２３４５６７８９");
const GbkLiteral DIGIT_CHARS("0123456789");
const GbkLiteral YEAR_CHARS("’零○〇０一二三四五六七八九壹贰叁肆伍陆柒捌玖");
const GbkLiteral YEAR_TENS("５６７８９");
const GbkLiteral THOUSAND_ZERO_CHARS("千仟零〇○");
const GbkLiteral THOUSAND_CHARS("千仟");

// The order of the name tables is significant: 伊 (D2 C1) is not a member of
// TRANSLIT_CHARS because its bytes first occur across 烈林 (C1 D2 C1 D6), and
// 文 (CE C4) across 奈南 (C4 CE C4 CF); likewise 夏 and 未 in
// JAPANESE_NAME_CHARS (across 南男 and 次村).
const GbkLiteral TRANSLIT_CHARS(
    "·—阿埃艾爱安昂敖奥澳笆芭巴白拜班邦保堡鲍北贝本比毕彼别波玻博勃伯泊卜布才采仓查"
    "差柴彻川茨慈次达大戴代丹旦但当道德得的登迪狄蒂帝丁东杜敦多额俄厄鄂恩尔伐法范菲芬"
    "费佛夫福弗甫噶盖干冈哥戈革葛格各根古瓜哈海罕翰汗汉豪合河赫亨侯呼胡华霍基吉及加贾"
    "坚简杰金京久居君喀卡凯坎康考柯科可克肯库奎拉喇莱来兰郎朗劳勒雷累楞黎理李里莉丽历"
    "利立力连廉良列烈林隆卢虏鲁路伦仑罗洛玛马买麦迈曼茅茂梅门蒙盟米蜜密敏明摩莫墨默姆"
    "木穆那娜纳乃奈南内尼年涅宁纽努诺欧帕潘畔庞培佩彭皮平泼普其契恰强乔切钦沁泉让热荣"
    "肉儒瑞若萨塞赛桑瑟森莎沙山善绍舍圣施诗石什史士守斯司丝苏素索塔泰坦汤唐陶特提汀图"
    "土吐托陀瓦万王旺威韦维魏温文翁沃乌吾武伍西锡希喜夏相香歇谢辛新牙雅亚彦尧叶依伊衣"
    "宜义因音英雍尤于约宰泽增詹珍治中仲朱诸卓孜祖佐伽娅尕腓滕济嘉津赖莲琳律略慕妮聂裴"
    "浦奇齐琴茹珊卫欣逊札哲智兹芙汶迦珀琪梵斐胥黛");

const GbkLiteral JAPANESE_NAME_CHARS(
    "安奥八白百邦保北倍本比滨博步部彩菜仓昌长朝池赤川船淳次村大代岛稻道德地典渡尔繁饭"
    "风福冈高工宫古谷关广桂贵好浩和合河黑横恒宏后户荒绘吉纪佳加见健江介金今进井静敬靖"
    "久酒菊俊康可克口梨理里礼栗丽利立凉良林玲铃柳隆鹿麻玛美萌弥敏木纳南男内鸟宁朋片平"
    "崎齐千前浅桥琴青清庆秋丘曲泉仁忍日荣若三森纱杉山善上伸神圣石实矢世市室水顺司松泰"
    "桃藤天田土万望尾未文武五舞西细夏宪相小孝新星行雄秀雅亚岩杨洋阳遥野也叶一伊衣逸义"
    "益樱永由有佑宇羽郁渊元垣原远月悦早造则泽增扎宅章昭沼真政枝知之植智治中忠仲竹助椎"
    "子佐阪坂堀荻菅薰浜濑鸠筱");

const GbkLiteral TRANSLIT_CHARS_SHORT(
    "·阿安奥巴比彼波布察茨大德得丁杜尔法夫伏甫盖格哈基加坚捷金卡科可克库拉莱兰勒雷里"
    "历利连列卢鲁罗洛马梅蒙米姆娜涅宁诺帕泼普奇齐乔切日萨色山申什斯索塔坦特托娃维文乌"
    "西希谢亚耶叶依伊以扎佐柴达登蒂戈果海赫华霍吉季津柯理琳玛曼穆纳尼契钦丘桑沙舍泰图"
    "瓦万雅卓兹");

}  // namespace zhtext
