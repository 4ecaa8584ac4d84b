// Fixed tables of the sexagenary system read by the four-pillars chart; the
// conventions and their sources are in data/saju_chart_tables.md.
#include "data/saju_chart_tables.h"

namespace orv {

// The colours of the five directions (木 blue-green, 火 red, 土 yellow,
// 金 white, 水 black), as Korean almanacs colour the elements; 金 is a light
// grey and 水 a dark navy so that both stand out from a white window.
const ElementInfo kElements[kElementCount] = {
    {"木", "목", "#2E9E4F", "#FFFFFF"},
    {"火", "화", "#D9443B", "#FFFFFF"},
    {"土", "토", "#E8B923", "#000000"},
    {"金", "금", "#D9D9D9", "#000000"},
    {"水", "수", "#1F2A44", "#FFFFFF"},
};

const StemInfo kStems[10] = {
    {"甲", "갑", Element::Wood, true},   {"乙", "을", Element::Wood, false},
    {"丙", "병", Element::Fire, true},   {"丁", "정", Element::Fire, false},
    {"戊", "무", Element::Earth, true},  {"己", "기", Element::Earth, false},
    {"庚", "경", Element::Metal, true},  {"辛", "신", Element::Metal, false},
    {"壬", "임", Element::Water, true},  {"癸", "계", Element::Water, false},
};

// Stems by index: 0 甲 1 乙 2 丙 3 丁 4 戊 5 己 6 庚 7 辛 8 壬 9 癸.
// Hidden stems: the 월률분야 table of Korean almanacs (여기, 중기, 정기 with
// their days of the 30-day month).
const BranchInfo kBranches[12] = {
    {"子", "자", Element::Water, true, {{8, 10}, {9, 20}}, 2},
    {"丑", "축", Element::Earth, false, {{9, 9}, {7, 3}, {5, 18}}, 3},
    {"寅", "인", Element::Wood, true, {{4, 7}, {2, 7}, {0, 16}}, 3},
    {"卯", "묘", Element::Wood, false, {{0, 10}, {1, 20}}, 2},
    {"辰", "진", Element::Earth, true, {{1, 9}, {9, 3}, {4, 18}}, 3},
    {"巳", "사", Element::Fire, false, {{4, 7}, {6, 7}, {2, 16}}, 3},
    {"午", "오", Element::Fire, true, {{2, 10}, {5, 9}, {3, 11}}, 3},
    {"未", "미", Element::Earth, false, {{3, 9}, {1, 3}, {5, 18}}, 3},
    {"申", "신", Element::Metal, true, {{4, 7}, {8, 7}, {6, 16}}, 3},
    {"酉", "유", Element::Metal, false, {{6, 10}, {7, 20}}, 2},
    {"戌", "술", Element::Earth, true, {{7, 9}, {3, 3}, {4, 18}}, 3},
    {"亥", "해", Element::Water, false, {{4, 7}, {0, 7}, {8, 16}}, 3},
};

const TenGodInfo kTenGods[10] = {
    {"比肩", "비견"}, {"劫財", "겁재"}, {"食神", "식신"}, {"傷官", "상관"}, {"偏財", "편재"},
    {"正財", "정재"}, {"偏官", "편관"}, {"正官", "정관"}, {"偏印", "편인"}, {"正印", "정인"},
};

}  // namespace orv
