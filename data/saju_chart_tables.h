// Fixed tables of the sexagenary system that a four-pillars chart reads: the
// ten stems and twelve branches with their Chinese characters, Hangul
// readings, five elements (오행) and yin/yang, the hidden stems (지장간) of
// each branch, the names of the ten gods (십신) and the colours of the five
// elements. The conventions are written down in data/saju_chart_tables.md.
#pragma once

namespace orv {

// The five elements in the generating order: 木 → 火 → 土 → 金 → 水 → 木.
enum class Element { Wood = 0, Fire, Earth, Metal, Water };
constexpr int kElementCount = 5;

struct ElementInfo {
  const char* hanja;    // "木"
  const char* hangul;   // "목"
  const char* colour;   // background of the element's cells, "#RRGGBB"
  const char* ink;      // text colour readable on that background
};
extern const ElementInfo kElements[kElementCount];

struct StemInfo {
  const char* hanja;   // "甲"
  const char* hangul;  // "갑"
  Element element;
  bool yang;
};
extern const StemInfo kStems[10];

// One hidden stem of a branch with its share of the month in days (월률분야).
struct HiddenStem {
  int stem;  // 0..9 (甲..癸)
  int days;
};

struct BranchInfo {
  const char* hanja;   // "子"
  const char* hangul;  // "자"
  Element element;
  bool yang;
  // 여기 (residual), 중기 (middle, absent in 子卯酉), 정기 (main), in that
  // order; the last entry is the main hidden stem.
  HiddenStem hidden[3];
  int hiddenCount;
};
extern const BranchInfo kBranches[12];

// The ten gods (십신) of a stem seen from the day stem.
enum class TenGod {
  Companion = 0,   // 比肩 비견: same element, same polarity
  RobWealth,       // 劫財 겁재: same element, other polarity
  EatingGod,       // 食神 식신: the day stem generates it, same polarity
  HurtingOfficer,  // 傷官 상관: generates, other polarity
  IndirectWealth,  // 偏財 편재: the day stem controls it, same polarity
  DirectWealth,    // 正財 정재: controls, other polarity
  SevenKillings,   // 偏官 편관: it controls the day stem, same polarity
  DirectOfficer,   // 正官 정관: controls the day stem, other polarity
  IndirectResource,  // 偏印 편인: it generates the day stem, same polarity
  DirectResource,    // 正印 정인: generates the day stem, other polarity
};
struct TenGodInfo {
  const char* hanja;
  const char* hangul;
};
extern const TenGodInfo kTenGods[10];

// The main hidden stem (정기) of a branch.
inline int MainHiddenStem(int branch) {
  const BranchInfo& b = kBranches[branch];
  return b.hidden[b.hiddenCount - 1].stem;
}

}  // namespace orv
