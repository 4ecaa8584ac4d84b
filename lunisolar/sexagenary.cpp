#include "lunisolar/sexagenary.h"

#include "lunisolar/lunar_calendar.h"
#include "lunisolar/terms.h"

namespace orv {

const char* const SexagenaryNames[60] = {
    "甲子", "乙丑", "丙寅", "丁卯", "戊辰", "己巳", "庚午", "辛未", "壬申", "癸酉",
    "甲戌", "乙亥", "丙子", "丁丑", "戊寅", "己卯", "庚辰", "辛巳", "壬午", "癸未",
    "甲申", "乙酉", "丙戌", "丁亥", "戊子", "己丑", "庚寅", "辛卯", "壬辰", "癸巳",
    "甲午", "乙未", "丙申", "丁酉", "戊戌", "己亥", "庚子", "辛丑", "壬寅", "癸卯",
    "甲辰", "乙巳", "丙午", "丁未", "戊申", "己酉", "庚戌", "辛亥", "壬子", "癸丑",
    "甲寅", "乙卯", "丙辰", "丁巳", "戊午", "己未", "庚申", "辛酉", "壬戌", "癸亥"};

namespace {

// The reference start of spring: 2000-02-04 21:40, year 庚辰 (16), day 壬辰 (28).
constexpr int kRefYear = 2000, kRefMonth = 2, kRefDay = 4, kRefHour = 21, kRefMinute = 40;
constexpr int kRefYearIndex = 16;
constexpr int kRefDayIndex = 28;
constexpr long long kMeanYearMinutes = 525949;  // 365.2423611 days
constexpr int kTermStartOfSpring = 0;
constexpr int kTermSummerSolstice = 9;
constexpr int kTermStartOfAutumn = 12;
constexpr int kMinutesOfHalfHourBeforeMidnight = 1410;  // 23:30

int Mod60(long long x) {
  long long r = x % 60;
  if (r < 0) r += 60;
  return static_cast<int>(r);
}

// Month index from the month count since the start of spring (寅 month = 0);
// a 甲 or 己 year begins with 丙寅.

// The minute of a listed instant relative to the reference minute. Instants
// are given to the minute, and the minute that holds the term already counts
// as reached (21:40 reaches a term at 21:40:31; 21:39 does not).
long long RecordMinute(const SolarTermRecord& r) {
  int y, m, d, h, mi;
  UnpackDateTime(r.date, r.time(), y, m, d, h, mi);
  const long long seconds =
      MinutesBetween(kRefYear, kRefMonth, kRefDay, kRefHour, kRefMinute, y, m, d, h, mi) * 60 + r.seconds;
  return seconds >= 0 ? seconds / 60 : -((-seconds + 59) / 60);
}

int YearOf(PackedDate date) {
  int y, m, d;
  UnpackDate(date, y, m, d);
  return y;
}

}  // namespace

void BuildMonthPillarTable(YearTables& tables, int year) {
  for (auto& offset : tables.MonthPillarOffsets) offset = 0;
  tables.SpringStartRecord = -1;
  const SolarTermRecord* list = tables.SolarTermList;
  int spring = -1;
  for (int i = 0; i < YearTables::kListCapacity && list[i].date != 0; ++i) {
    if (list[i].termIndex == kTermStartOfSpring && YearOf(list[i].date) >= year) {
      spring = i;
      break;
    }
  }
  if (spring < 0) return;
  tables.SpringStartRecord = spring;
  int sy, sm, sd, sh, smi;
  UnpackDateTime(list[spring].date, list[spring].sectionalTime, sy, sm, sd, sh, smi);
  for (int j = spring; j < YearTables::kListCapacity && j - spring < YearTables::kPillarOffsets &&
                       list[j].date != 0; ++j) {
    int y, m, d, h, mi;
    UnpackDateTime(list[j].date, list[j].sectionalTime, y, m, d, h, mi);
    tables.MonthPillarOffsets[j - spring] =
        static_cast<std::int32_t>(MinutesBetween(sy, sm, sd, sh, smi, y, m, d, h, mi));
  }
}

SexagenaryIndices SexagenaryOfInstant(const YearTables& tables, int y, int m, int d, int h, int mi) {
  SexagenaryIndices out;
  const long long minutes = MinutesBetween(kRefYear, kRefMonth, kRefDay, kRefHour, kRefMinute, y, m, d, h, mi);

  // Within the term list: the listed sectional term at or before the instant
  // (and a listed term after it, so the list really covers the instant).
  const SolarTermRecord* list = tables.SolarTermList;
  int sectional = -1, firstSpring = -1;
  bool coveredAfter = false;
  for (int i = 0; i < YearTables::kListCapacity && list[i].date != 0; ++i) {
    const long long at = RecordMinute(list[i]);
    if (list[i].termIndex == kTermStartOfSpring && firstSpring < 0) firstSpring = i;
    if (at <= minutes) {
      if (list[i].termIndex % 2 == 0) sectional = i;
    } else {
      coveredAfter = true;
      break;
    }
  }
  if (sectional >= 0 && coveredAfter && firstSpring >= 0) {
    // The start of spring at or before the instant; before the list's first
    // one, the year is the one before it.
    int springYear = YearOf(list[firstSpring].date);
    if (RecordMinute(list[firstSpring]) > minutes) --springYear;
    for (int i = firstSpring; i <= sectional; ++i)
      if (list[i].termIndex == kTermStartOfSpring) springYear = YearOf(list[i].date);
    out.yearsSinceReference = springYear - kRefYear;
    out.year = Mod60(out.yearsSinceReference + kRefYearIndex);
    out.month = MonthPillarIndex(out.year, list[sectional].termIndex / 2);
  } else {
    long long years = minutes / kMeanYearMinutes;
    if (minutes < 0) years -= 1;
    out.yearsSinceReference = years;
    out.year = Mod60(years + kRefYearIndex);
    long long r = minutes % kMeanYearMinutes;
    if (r < 0) r += kMeanYearMinutes;
    int i = 0;
    // The (i + 1)-th sectional term after the start of spring is two records on per step.
    while (2 * (i + 1) < YearTables::kPillarOffsets && tables.SpringStartRecord >= 0 &&
           tables.MonthPillarOffsets[2 * (i + 1)] <= r && i < 11)
      ++i;
    out.month = MonthPillarIndex(out.year, i);
  }

  out.day = Mod60(static_cast<long long>(DaysBetween(kRefYear, kRefMonth, kRefDay, y, m, d)) + kRefDayIndex);
  static constexpr int kBranchLimits[12] = {90, 210, 330, 450, 570, 690, 810, 930, 1050, 1170, 1290, 1410};
  const int t = 60 * h + mi;
  int branch = 0;
  if (t >= kMinutesOfHalfHourBeforeMidnight) {
    out.day = (out.day + 1) % 60;
  } else {
    while (t >= kBranchLimits[branch]) ++branch;
  }
  out.hour = HourPillarIndex(out.day, branch);
  return out;
}

namespace {

// The first 庚 day on or after a date, as minutes offset from it (at 11:59).
int DaysToGengDay(const YearTables& tables, PackedDate date) {
  int y, m, d;
  UnpackDate(date, y, m, d);
  const int q = SexagenaryOfInstant(tables, y, m, d, 11, 59).day;
  int g = 6;
  while (g < q) g += 10;
  return g - q;
}

int MonthDayAfter(PackedDate date, int days) {
  int y, m, d, h, mi;
  UnpackDate(date, y, m, d);
  AddMinutes(static_cast<std::int64_t>(days) * 1440, y, m, d, 11, 59, y, m, d, h, mi);
  return m * 100 + d;
}

}  // namespace

void SambokDays(const YearTables& tables, int& first, int& middle, int& last) {
  first = middle = last = 0;
  const SolarTermRecord* list = tables.SolarTermList;
  PackedDate solstice = 0, autumn = 0;
  for (int i = 0; i < YearTables::kListCapacity && list[i].date != 0; ++i) {
    if (list[i].termIndex == kTermSummerSolstice && solstice == 0) solstice = list[i].date;
    if (list[i].termIndex == kTermStartOfAutumn && solstice != 0 && autumn == 0) autumn = list[i].date;
  }
  if (solstice == 0 || autumn == 0) return;
  const int offset = DaysToGengDay(tables, solstice) + 20;
  first = MonthDayAfter(solstice, offset);
  middle = MonthDayAfter(solstice, offset + 10);
  last = MonthDayAfter(autumn, DaysToGengDay(tables, autumn));
}

bool HansikDay(EngineContext& ctx, const YearTables& tables, int year, int& month, int& day) {
  const std::optional<RefinedMinute> solstice = SolarTermInstantOfYear(ctx, tables, year - 1, 270.0);
  if (!solstice) return false;
  const ListedMinute& e = solstice->minute;
  int y, h, mi;
  AddMinutes(151200, year - 1, e.m, e.d, e.h, e.mi, y, month, day, h, mi);
  return true;
}

bool DanoDay(const YearTables& tables, int year, int& month, int& day) {
  const int slot = SlotOfLunarDate(tables, year, 5, 5, false);
  if (slot < 0) return false;
  int y;
  UnpackDate(tables.DayTable[slot].solarDate, y, month, day);
  return true;
}

int MonthPillarIndex(int yearIndex, int monthsAfterTigerMonth) {
  int index = monthsAfterTigerMonth + (yearIndex % 5) * 12 + 2;
  while (index > 59) index -= 60;
  return index;
}

}  // namespace orv
