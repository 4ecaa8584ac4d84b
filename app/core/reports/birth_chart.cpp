#include "app/core/reports/birth_chart.h"

#include <algorithm>
#include <cmath>

#include "app/core/reports/report_format.h"
#include "lunisolar/lunar_calendar.h"
#include "lunisolar/terms.h"
#include "time/civil_clock.h"
#include "time/dates.h"

namespace orv {
namespace {

using report::Format;

constexpr int kSexagenary = 60;
constexpr int kLuckPillarCount = 10;
constexpr int kYearsPerLuckPillar = 10;
constexpr int kMinutesPerDay = 1440;
// The luck scale: 3 days of the interval are one year of age, so one second
// is 1/720 of a day of age (a year of 360 days: 1 day = 4 months = 120 days,
// 2 hours = 10 days).
constexpr double kIntervalSecondsPerAgeDay = 720.0;
constexpr int kAgeDaysPerYear = 360;
constexpr int kAgeDaysPerMonth = 30;
// 대운수: a remainder of two days of the interval (8 months of age) or more
// rounds the whole years up, one day is dropped.
constexpr int kBookRoundUpMonths = 8;
// The year 1984 (astronomical) is 甲子, index 0.
constexpr int kJiaziYear = 1984;
// An unknown birth hour: the year and month pillars and the luck are read at
// noon of the day, half a day from either end.
constexpr int kUnknownHourReading = 12;
constexpr int kSectionalTermCount = 12;

int Mod(long long value, int modulus) {
  const long long r = value % modulus;
  return static_cast<int>(r < 0 ? r + modulus : r);
}

int ElementIndex(Element e) { return static_cast<int>(e); }

std::string StemText(int stem) { return std::string(kStems[stem].hanja) + "(" + kStems[stem].hangul + ")"; }
std::string BranchText(int branch) {
  return std::string(kBranches[branch].hanja) + "(" + kBranches[branch].hangul + ")";
}
std::string ElementText(Element e) {
  const ElementInfo& info = kElements[ElementIndex(e)];
  return std::string(info.hanja) + "(" + info.hangul + ")";
}
std::string GodText(TenGod god) {
  const TenGodInfo& info = kTenGods[static_cast<int>(god)];
  return std::string(info.hanja) + "(" + info.hangul + ")";
}
std::string PillarText(int pillar) {
  return std::string(SexagenaryNames[pillar]) + "(" + kStems[pillar % 10].hangul + kBranches[pillar % 12].hangul + ")";
}

// Columns a text takes in a fixed-width font: Hangul and CJK characters two.
int DisplayWidth(const std::string& text) {
  int width = 0;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    int length = 1;
    unsigned codePoint = c;
    if (c >= 0xF0) {
      length = 4;
      codePoint = c & 0x07u;
    } else if (c >= 0xE0) {
      length = 3;
      codePoint = c & 0x0Fu;
    } else if (c >= 0xC0) {
      length = 2;
      codePoint = c & 0x1Fu;
    }
    for (int k = 1; k < length && i + static_cast<std::size_t>(k) < text.size(); ++k)
      codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3Fu);
    // Hangul Jamo, CJK symbols and ideographs, Hangul syllables, full-width forms.
    const bool wide = (codePoint >= 0x1100 && codePoint <= 0x115F) || (codePoint >= 0x2E80 && codePoint <= 0xA4CF) ||
                      (codePoint >= 0xAC00 && codePoint <= 0xD7A3) || (codePoint >= 0xF900 && codePoint <= 0xFAFF) ||
                      (codePoint >= 0xFF00 && codePoint <= 0xFF60);
    width += wide ? 2 : 1;
    i += static_cast<std::size_t>(length);
  }
  return width;
}

std::string Pad(const std::string& text, int width) {
  const int w = DisplayWidth(text);
  return w >= width ? text + " " : text + std::string(static_cast<std::size_t>(width - w), ' ');
}

// Adds calendar years, months and days to a civil date; a day past the end
// of the month becomes its last day (29 February in a common year: the 28th).
void AddAge(int& y, int& m, int& d, const LuckAge& age) {
  y += age.years;
  m += age.months;
  while (m > 12) {
    m -= 12;
    ++y;
  }
  if (d > DaysInMonth(y, m)) d = DaysInMonth(y, m);
  int h = 0, mi = 0;
  AddMinutes(static_cast<std::int64_t>(age.days) * kMinutesPerDay, y, m, d, h, mi, y, m, d, h, mi);
}

}  // namespace

LuckAge LuckAgeOfInterval(double intervalSeconds) {
  const long long ageDays = static_cast<long long>(std::floor(intervalSeconds / kIntervalSecondsPerAgeDay));
  LuckAge age;
  age.years = static_cast<int>(ageDays / kAgeDaysPerYear);
  age.months = static_cast<int>((ageDays % kAgeDaysPerYear) / kAgeDaysPerMonth);
  age.days = static_cast<int>(ageDays % kAgeDaysPerMonth);
  return age;
}

int LuckBookNumber(const LuckAge& age) {
  // Almanacs print no 대운수 below 1: a birth within two days of the term
  // begins its first luck pillar at 1.
  return std::max(1, age.years + (age.months >= kBookRoundUpMonths ? 1 : 0));
}

namespace {

// A listed sectional term: its instant in the calendar's time system (Julian
// Day with seconds) and the minute that holds it (as a whole minute count).
struct SectionalTermInstant {
  int record = -1;
  double jd = 0.0;
  long long minute = 0;
};

SectionalTermInstant ListedTermAt(const YearTables& tables, int record) {
  const SolarTermRecord& r = tables.SolarTermList[record];
  int h = 0, mi = 0;
  UnpackTime(r.sectionalTime, h, mi);
  const double dayJd = PackedDateToJulianDay(r.date);
  SectionalTermInstant t;
  t.record = record;
  t.minute = std::llround(dayJd * kMinutesPerDay) + h * 60 + mi;
  t.jd = dayJd + (h * 60 + mi) / static_cast<double>(kMinutesPerDay) + r.seconds / kSecondsPerDay;
  return t;
}

// The sectional term that began the month of the birth (the last whose
// minute is not after the birth's minute, as the month pillar steps) and
// the next one; false when the list does not hold both.
bool SectionalTermsAround(const YearTables& tables, double birthJd, SectionalTermInstant& current, SectionalTermInstant& next) {
  const long long birthMinute = static_cast<long long>(std::floor(birthJd * kMinutesPerDay + 1e-6));
  current = SectionalTermInstant{};
  next = SectionalTermInstant{};
  for (int i = 0; i < YearTables::kListCapacity; ++i) {
    const SolarTermRecord& r = tables.SolarTermList[i];
    if (r.date == 0) break;
    if (r.sectionalTime < 0) continue;
    const SectionalTermInstant t = ListedTermAt(tables, i);
    if (t.minute <= birthMinute) {
      current = t;
    } else {
      next = t;
      break;
    }
  }
  return current.record >= 0 && next.record >= 0;
}

// A sectional term listed on the civil date of the calendar reading (for an
// unknown hour); -1 when none.
int SectionalTermOnDate(const YearTables& tables, int y, int m, int d) {
  const PackedDate date = PackDate(y, m, d);
  for (int i = 0; i < YearTables::kListCapacity; ++i) {
    const SolarTermRecord& r = tables.SolarTermList[i];
    if (r.date == 0) break;
    if (r.sectionalTime >= 0 && r.date == date) return i;
  }
  return -1;
}

}  // namespace

const char* const kChartColumnNames[4] = {"시주", "일주", "월주", "년주"};

// --- Lunar birth dates -------------------------------------------------------

bool SolarDateOfLunarBirth(ReportInputs& in, const LunarBirthDate& lunar, int& year, int& month, int& day,
                           std::string& error) {
  // The lunar date through the same day table the `solar` command reads.
  const char* const leapText = lunar.leap ? "윤" : "";
  if (lunar.month < 1 || lunar.month > 12 || lunar.day < 1 || lunar.day > 30) {
    error = Format("음력 %d년 %s%d월 %d일은 없는 날짜입니다.", lunar.year, leapText, lunar.month, lunar.day);
    return false;
  }
  EnsureYearLoaded(in, lunar.year);
  const int slot = SlotOfLunarDate(in.tables, lunar.year, lunar.month, lunar.day, lunar.leap);
  if (slot >= 0 && in.tables.DayTable[slot].solarDate != 0) {
    UnpackDate(in.tables.DayTable[slot].solarDate, year, month, day);
    return true;
  }
  const int first = SlotOfLunarDate(in.tables, lunar.year, lunar.month, 1, lunar.leap);
  if (first < 0) {
    error = lunar.leap ? Format("음력 %d년에는 윤%d월이 없습니다.", lunar.year, lunar.month)
                       : Format("음력 %d년 %d월을 달력에서 찾을 수 없습니다.", lunar.year, lunar.month);
    return false;
  }
  error = Format("음력 %d년 %s%d월은 %d일까지 있습니다(%d일은 없는 날짜입니다).", lunar.year, leapText, lunar.month,
                 static_cast<int>(in.tables.DayTable[first].monthLength), lunar.day);
  return false;
}

BirthClock DefaultBirthClock(const PlaceRecord& place, int year, std::string* why) {
  std::string reason;
  if (place.timeZone.empty())
    reason = "이 지역에는 시간대 정보가 없어 표준시로 읽었습니다.";
  else if (year < kFirstCivilClockYear)
    reason = Format("현지 시계는 %d년부터 알 수 있어 표준시로 읽었습니다.", kFirstCivilClockYear);
  else if (!CivilClock(place.timeZone).valid())
    reason = "시간대 " + place.timeZone + "을(를) 시스템의 tzdata에서 찾을 수 없어 표준시로 읽었습니다.";
  if (why) *why = reason;
  return reason.empty() ? BirthClock::Civil : BirthClock::Standard;
}

// --- The chart ---------------------------------------------------------------

TenGod TenGodOf(int dayStem, int stem) {
  const int self = ElementIndex(kStems[dayStem].element);
  const int other = ElementIndex(kStems[stem].element);
  // Steps from the day stem's element along the generating cycle: 0 same,
  // 1 it generates, 2 it controls, 3 controls it, 4 generates it.
  const int steps = Mod(other - self, kElementCount);
  const bool samePolarity = kStems[dayStem].yang == kStems[stem].yang;
  return static_cast<TenGod>(steps * 2 + (samePolarity ? 0 : 1));
}

BirthChart MakeBirthChart(const SexagenaryIndices& p, bool hourKnown) {
  BirthChart chart;
  const int pillars[4] = {p.hour, p.day, p.month, p.year};
  const int dayStem = p.day % 10;
  for (int c = 0; c < 4; ++c) {
    ChartColumn& col = chart.columns[c];
    col.known = c != kHourColumn || hourKnown;
    col.pillar = pillars[c];
    col.stem = col.pillar % 10;
    col.branch = col.pillar % 12;
    col.isDayStem = c == kDayColumn;
    col.stemGod = TenGodOf(dayStem, col.stem);
    col.branchGod = TenGodOf(dayStem, MainHiddenStem(col.branch));
    if (!col.known) continue;
    ++chart.elementCounts[ElementIndex(kStems[col.stem].element)];
    ++chart.elementCounts[ElementIndex(kBranches[col.branch].element)];
  }
  return chart;
}

// --- Luck pillars ------------------------------------------------------------

LuckCycles ComputeLuckCycles(ReportInputs& in, const BirthPillars& birth, BirthSex sex, int birthYear, int birthMonth,
                             int birthDay, int firstAnnualYear) {
  LuckCycles luck;
  if (!birth.ok) {
    luck.error = birth.error;
    return luck;
  }
  if (sex == BirthSex::Unknown) {
    luck.error = "대운에는 성별이 필요합니다.";
    return luck;
  }
  // Forward for a yang year stem with a male birth or a yin one with a
  // female birth (the year of the pillars, which begins at 立春).
  const bool yangYear = kStems[birth.pillars.year % 10].yang;
  luck.forward = yangYear == (sex == BirthSex::Male);

  EnsureYearLoaded(in, birth.sysYear);
  SectionalTermInstant current, next;
  if (!SectionalTermsAround(in.tables, birth.systemJd, current, next)) {
    luck.error = "태어난 때 앞뒤의 절입 시각을 찾지 못했습니다.";
    return luck;
  }
  const SectionalTermInstant& term = luck.forward ? next : current;
  const double intervalDays = luck.forward ? term.jd - birth.systemJd : birth.systemJd - term.jd;
  // A birth in the minute of the term but before its second counts as after
  // it (the month pillar steps from that minute): no interval then.
  luck.intervalSeconds = std::max(0.0, std::round(intervalDays * kSecondsPerDay));
  const SolarTermRecord& record = in.tables.SolarTermList[term.record];
  luck.termIndex = record.termIndex;
  UnpackDate(record.date, luck.termYear, luck.termMonth, luck.termDay);
  UnpackTime(record.sectionalTime, luck.termHour, luck.termMinute);
  luck.termSecond = record.seconds;

  luck.start = LuckAgeOfInterval(luck.intervalSeconds);
  luck.startYear = birthYear;
  luck.startMonth = birthMonth;
  luck.startDay = birthDay;
  AddAge(luck.startYear, luck.startMonth, luck.startDay, luck.start);
  luck.bookNumber = LuckBookNumber(luck.start);

  for (int k = 1; k <= kLuckPillarCount; ++k) {
    LuckPillar& p = luck.pillars[k - 1];
    p.index = k;
    p.pillar = Mod(birth.pillars.month + (luck.forward ? k : -k), kSexagenary);
    p.start = luck.start;
    p.start.years += kYearsPerLuckPillar * (k - 1);
    p.startYear = luck.startYear + kYearsPerLuckPillar * (k - 1);
    p.bookAge = luck.bookNumber + kYearsPerLuckPillar * (k - 1);
  }
  luck.firstAnnualYear = firstAnnualYear;
  for (int i = 0; i < kLuckPillarCount; ++i)
    luck.annualPillars[i] = Mod(static_cast<long long>(firstAnnualYear) + i - kJiaziYear, kSexagenary);
  luck.ok = true;
  return luck;
}

// --- A whole birth -----------------------------------------------------------

BirthReport ComputeBirthReport(ReportInputs& in, const PlaceRecord& place, const BirthRequest& request) {
  BirthReport report;
  report.reading = request.reading;
  report.hourKnown = request.hourKnown;
  if (request.lunar) {
    int y = 0, m = 0, d = 0;
    if (!SolarDateOfLunarBirth(in, request.lunarDate, y, m, d, report.error)) return report;
    report.reading.year = y;
    report.reading.month = m;
    report.reading.day = d;
    report.notes.push_back(Format("음력 %d년 %s%d월 %d일 → 양력 %04d-%02d-%02d", request.lunarDate.year,
                                  request.lunarDate.leap ? "윤" : "", request.lunarDate.month, request.lunarDate.day,
                                  y, m, d));
  }
  std::string clockNote;
  report.reading.clock = request.clock ? *request.clock : DefaultBirthClock(place, report.reading.year, &clockNote);
  if (!request.hourKnown) {
    report.reading.hour = kUnknownHourReading;
    report.reading.minute = 0;
    report.reading.hourRule = HourRule::Standard;
  }
  report.pillars = ComputeBirthPillars(in, place, report.reading);
  if (!report.pillars.ok) {
    report.error = report.pillars.error;
    return report;
  }
  std::vector<std::string> notes = BirthPillarsNotes(report.pillars, place, report.reading);
  if (!clockNote.empty()) notes.insert(notes.begin() + 1, clockNote);
  if (!request.hourKnown) {
    // The hour-rule line says nothing without an hour: say what is unknown.
    if (!notes.empty() && notes.back().rfind("시주:", 0) == 0) notes.pop_back();
    notes.push_back("시주: 태어난 시각을 몰라 알 수 없습니다 (년주·월주와 대운은 그날 12:00으로 계산).");
    EnsureYearLoaded(in, report.pillars.sysYear);
    const int record =
        SectionalTermOnDate(in.tables, report.pillars.sysYear, report.pillars.sysMonth, report.pillars.sysDay);
    if (record >= 0) {
      const SolarTermRecord& r = in.tables.SolarTermList[record];
      int h = 0, mi = 0;
      UnpackTime(r.sectionalTime, h, mi);
      // The pillars on the other side of the term.
      const bool afterNoon = h * 60 + mi > kUnknownHourReading * 60;
      const int step = afterNoon ? 1 : -1;
      const int otherMonth = Mod(report.pillars.pillars.month + step, kSexagenary);
      const bool springStart = r.termIndex == 0;
      const int otherYear = springStart ? Mod(report.pillars.pillars.year + step, kSexagenary)
                                        : report.pillars.pillars.year;
      const int beforeYear = afterNoon ? report.pillars.pillars.year : otherYear;
      const int beforeMonth = afterNoon ? report.pillars.pillars.month : otherMonth;
      const int afterYear = afterNoon ? otherYear : report.pillars.pillars.year;
      const int afterMonth = afterNoon ? otherMonth : report.pillars.pillars.month;
      notes.push_back(Format("이 날 %02d:%02d에 %s 절입, 그 전이면 년주 %s·월주 %s, 그 뒤면 년주 %s·월주 %s입니다.",
                             h, mi, SolarTermNames[r.termIndex], SexagenaryNames[beforeYear],
                             SexagenaryNames[beforeMonth], SexagenaryNames[afterYear], SexagenaryNames[afterMonth]));
    }
  }
  report.notes.insert(report.notes.end(), notes.begin(), notes.end());
  report.chart = MakeBirthChart(report.pillars.pillars, request.hourKnown);
  if (request.luck) {
    const int firstAnnual = request.firstAnnualYear != 0 ? request.firstAnnualYear : report.reading.year + 1;
    report.luck = ComputeLuckCycles(in, report.pillars, request.sex, report.reading.year, report.reading.month,
                                    report.reading.day, firstAnnual);
    if (!report.luck.ok) {
      report.error = report.luck.error;
      return report;
    }
    report.hasLuck = true;
  }
  report.ok = true;
  return report;
}

std::string BirthFirstLine(const BirthReport& report) {
  const SexagenaryIndices& p = report.pillars.pillars;
  if (report.hourKnown) return PillarNames(p);
  return std::string(SexagenaryNames[p.year]) + " " + SexagenaryNames[p.month] + " " + SexagenaryNames[p.day];
}

std::string BirthChartText(const BirthReport& report) {
  constexpr int kLabelWidth = 8;
  constexpr int kCellWidth = 16;
  const BirthChart& chart = report.chart;
  std::string text;
  auto row = [&](const char* label, auto cell) {
    std::string line = Pad(label, kLabelWidth);
    for (int c = 0; c < 4; ++c) line += Pad(chart.columns[c].known ? cell(chart.columns[c]) : "?", kCellWidth);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    text += line + "\n";
  };
  {
    std::string line = Pad("", kLabelWidth);
    for (int c = 0; c < 4; ++c) line += Pad(kChartColumnNames[c], kCellWidth);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    text += line + "\n";
  }
  row("천간", [](const ChartColumn& c) { return StemText(c.stem); });
  row("오행", [](const ChartColumn& c) { return ElementText(kStems[c.stem].element); });
  row("십신", [](const ChartColumn& c) { return c.isDayStem ? std::string("日干(일간)") : GodText(c.stemGod); });
  row("지지", [](const ChartColumn& c) { return BranchText(c.branch); });
  row("오행", [](const ChartColumn& c) { return ElementText(kBranches[c.branch].element); });
  row("십신", [](const ChartColumn& c) { return GodText(c.branchGod); });
  row("지장간", [](const ChartColumn& c) {
    const BranchInfo& b = kBranches[c.branch];
    std::string hanja, hangul;
    for (int i = 0; i < b.hiddenCount; ++i) {
      hanja += kStems[b.hidden[i].stem].hanja;
      hangul += kStems[b.hidden[i].stem].hangul;
    }
    return hanja + "(" + hangul + ")";
  });
  std::string counts = "오행 개수:";
  for (int e = 0; e < kElementCount; ++e)
    counts += Format("%s %s %d", e == 0 ? "" : " ·", ElementText(static_cast<Element>(e)).c_str(),
                     chart.elementCounts[e]);
  text += counts + "\n";
  return text;
}

std::string LuckText(const BirthReport& report, BirthSex sex) {
  if (!report.hasLuck) return "";
  const LuckCycles& luck = report.luck;
  const int yearStem = report.pillars.pillars.year % 10;
  const long long seconds = static_cast<long long>(luck.intervalSeconds);
  std::string text;
  text += Format("대운 (%s, 년간 %s %s → %s)\n", sex == BirthSex::Male ? "남자 乾命" : "여자 坤命",
                 kStems[yearStem].hanja, kStems[yearStem].yang ? "양" : "음", luck.forward ? "순행" : "역행");
  text += Format("%s 절입 %s %04d-%02d-%02d %02d:%02d:%02d%s %lld일 %lld시간 %lld분 %lld초\n",
                 luck.forward ? "다음" : "지난", SolarTermNames[luck.termIndex], luck.termYear, luck.termMonth,
                 luck.termDay, luck.termHour, luck.termMinute, luck.termSecond, luck.forward ? "까지" : "부터",
                 seconds / 86400, seconds / 3600 % 24, seconds / 60 % 60, seconds % 60);
  text += Format("대운 시작: %d년 %d개월 %d일 뒤 %04d-%02d-%02d, 대운수 %d\n", luck.start.years, luck.start.months,
                 luck.start.days, luck.startYear, luck.startMonth, luck.startDay, luck.bookNumber);
  for (const LuckPillar& p : luck.pillars)
    text += Format("%2d  %s  %3d세  %d년 %d개월 %d일  %d년\n", p.index, PillarText(p.pillar).c_str(), p.bookAge,
                   p.start.years, p.start.months, p.start.days, p.startYear);
  text += "세운:";
  for (int i = 0; i < kLuckPillarCount; ++i)
    text += Format("%s %d %s", i == 0 ? "" : (i == 5 ? "\n     " : " ·"), luck.firstAnnualYear + i,
                   PillarText(luck.annualPillars[i]).c_str());
  text += "\n";
  return text;
}

std::string LuckCsv(const LuckCycles& luck) {
  std::string csv = "index,pillar,start_years,start_months,start_days,start_date,direction\n";
  for (const LuckPillar& p : luck.pillars) {
    int y = luck.startYear + kYearsPerLuckPillar * (p.index - 1), m = luck.startMonth, d = luck.startDay;
    if (d > DaysInMonth(y, m)) d = DaysInMonth(y, m);
    csv += Format("%d,%s,%d,%d,%d,%04d-%02d-%02d,%s\n", p.index, SexagenaryNames[p.pillar], p.start.years,
                  p.start.months, p.start.days, y, m, d, luck.forward ? "forward" : "backward");
  }
  return csv;
}

std::string BirthReportText(const BirthReport& report, BirthSex sex) {
  if (!report.ok) return report.error + "\n";
  std::string text = BirthFirstLine(report) + "\n";
  for (const std::string& line : report.notes) text += line + "\n";
  text += "\n" + BirthChartText(report);
  if (report.hasLuck) text += "\n" + LuckText(report, sex);
  return text;
}

}  // namespace orv
