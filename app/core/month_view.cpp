#include "app/core/month_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "app/core/anniversaries.h"
#include "app/core/year_service.h"
#include "app/core/files/encoding.h"
#include "app/core/reports/public_holidays.h"
#include "eclipses/eclipse_global.h"
#include "eclipses/moon_phase.h"
#include "ephemeris/mean_periods.h"
#include "ephemeris/sunmoon.h"
#include "lunisolar/lunar_calendar.h"
#include "lunisolar/sexagenary.h"
#include "lunisolar/terms.h"
#include "time/text_format.h"

namespace orv {
namespace {

constexpr const char* kWeekdayNames[7] = {"일요일", "월요일", "화요일", "수요일", "목요일", "금요일", "토요일"};
constexpr const char* kMonthAbbreviations[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// A second line takes a term or seasonal-day name only while it is shorter
// than this (CP949 bytes): "윤10.15" (7 bytes) takes none.
constexpr int kSecondLineRoomBytes = 7;
// A substitute holiday's name in its cell.
constexpr const char* kSubstituteCellName = "대체공휴일";

// The reform month: October 1582 has no days 5..14, so a day after the 14th
// sits ten cells before LastCellBefore + day.
constexpr int kReformYear = 1582;
constexpr int kReformMonth = 10;
constexpr int kLastJulianDay = 14;
constexpr int kMissingReformDays = 10;
// Longest month of either calendar, days.
constexpr int kMaxDaysInMonth = 31;
// The Gregorian calendar is shown from November 1582 (the note of referenceBox).
constexpr int kFirstGregorianNoteMonth = 11;

// A month of the lunar mode lacks a major term when its first day lies within
// this many days of a listed month start without one.
constexpr double kNoMajorTermMatchDays = 1.5;

// Sexagenary day names are taken at 11:59, clear of the 23:30 day change.
constexpr int kNoonHour = 11, kNoonMinute = 59;

// Seasonal-day texts.
constexpr const char* kDogDayNames[3] = {"初伏초복", "中伏중복", "末伏말복"};
constexpr const char* kColdFoodName = "寒食한식";
constexpr const char* kDanoName = "端午단오";

// Syzygy labels (the full moon's carries two leading blanks).
constexpr const char* kNewMoonLabel = "합삭";
constexpr const char* kSolarEclipseLabel = "일식";
constexpr const char* kFullMoonLabel = "  망";
constexpr const char* kLunarEclipseLabel = "월식";

using DateTime = ListedMinute;
constexpr SearchDirection kAtOrAfter = SearchDirection::kAtOrAfter;

const char* SeasonalName(SeasonalDay day) {
  switch (day) {
    case SeasonalDay::FirstDogDay: return kDogDayNames[0];
    case SeasonalDay::MiddleDogDay: return kDogDayNames[1];
    case SeasonalDay::LastDogDay: return kDogDayNames[2];
    case SeasonalDay::ColdFood: return kColdFoodName;
    case SeasonalDay::Dano: return kDanoName;
    case SeasonalDay::None: break;
  }
  return "";
}

std::string Number(int n) { return std::to_string(n); }

double JdOf(const CivilDate& d) { return CalendarToJulianDay(d.year, d.month, d.day); }

CivilDate DateOfJd(double jd) {
  const CivilDateTime c = JulianDayToCalendar(jd);
  return {c.year, c.month, c.day};
}

// State of one build.
class MonthBuilder {
 public:
  MonthBuilder(EngineContext& ctx, const YearTables& tables, const MonthRequest& request, MonthView& view)
      : ctx_(ctx), tables_(tables), req_(request), view_(view), grid_(view.grid) {}

  // The days of the six weeks and the month's span among them.
  bool FillDates(YearService& years, const MemoTable& memos, const DaysOptions& options);
  void FillThirdLines();
  void AddHolidays();
  void AddAnniversaries();
  void AddTermAndSeasonalMarks();
  void AddMoons();
  void ShowPillars();
  void ShowNote();
  void ShowTermPillarLine();
  void FindToday();

 private:
  bool Lunar() const { return req_.mode == DisplayMode::Lunar; }
  void PlaceAnniversary(int cell, const DayAnniversary& a);

  EngineContext& ctx_;
  const YearTables& tables_;
  const MonthRequest& req_;
  MonthView& view_;
  MonthGrid& grid_;
  CalendarDay first_;  // the month's first day
};

bool MonthBuilder::FillDates(YearService& years, const MemoTable& memos, const DaysOptions& options) {
  std::optional<CivilDate> firstDate;
  if (!Lunar()) {
    if (SlotOfSolarDate(tables_, req_.year, req_.month, 1) >= 0) firstDate = CivilDate{req_.year, req_.month, 1};
  } else {
    firstDate = SolarDateOfLunar(tables_, req_.year, req_.month, 1, req_.leapWanted);
  }
  if (!firstDate) return false;
  const CivilDate cell0 =
      DateOfJd(JdOf(*firstDate) - WeekdayOf(firstDate->year, firstDate->month, firstDate->day));
  // Eclipses are marked on the month's own days only.
  DaysOptions monthOptions = options;
  monthOptions.screenFrom = *firstDate;
  monthOptions.screenDays = kMaxDaysInMonth;
  const CalendarOfDays days = years.Days(ctx_, tables_, memos, cell0, MonthGrid::kCells, monthOptions);
  if (days.Find(*firstDate) == nullptr) return false;
  for (size_t k = 0; k < days.Days().size() && k < static_cast<size_t>(MonthGrid::kCells); ++k) {
    grid_.cells[k].present = true;
    grid_.cells[k].values = days.Days()[k];
  }

  // The month's span: from the first cell of the month to the first later
  // cell of another month.
  auto inMonth = [&](const MonthCell& c) {
    if (!c.present) return false;
    if (!Lunar()) return c.values.solar.month == req_.month;
    return c.values.lunar.month == req_.month && c.values.lunar.leap == req_.leapWanted;
  };
  int firstCell = -1;
  view_.FirstCellAfter = MonthGrid::kCells;
  for (int k = 0; k < MonthGrid::kCells; ++k) {
    if (firstCell < 0) {
      if (inMonth(grid_.cells[k])) firstCell = k;
    } else if (!inMonth(grid_.cells[k])) {
      view_.FirstCellAfter = k;
      break;
    }
  }
  if (firstCell < 0) return false;
  view_.LastCellBefore = firstCell - 1;
  first_ = grid_.cells[firstCell].values;

  for (int k = 0; k < MonthGrid::kCells; ++k) {
    MonthCell& c = grid_.cells[k];
    if (!c.present) continue;
    const CivilDate& s = c.values.solar;
    const LunarDay& l = c.values.lunar;
    if (!Lunar()) {
      c.day = Number(s.day);
      if (l.Known()) c.date = Format(l.leap ? "윤%d.%d" : "%d.%d", l.month, l.day);
    } else {
      if (l.Known()) {
        const bool leapForm = l.leap && (l.day == 1 || k <= view_.LastCellBefore);
        c.day = leapForm ? Format("윤%d.%d", l.month, l.day) : Number(l.day);
      }
      c.date = Format("%d.%d", s.month, s.day);
    }
  }
  return true;
}

void MonthBuilder::FillThirdLines() {
  for (MonthCell& c : grid_.cells)
    if (c.present && c.values.dayPillar >= 0) c.pillar = SexagenaryNames[c.values.dayPillar];
}

void MonthBuilder::AddHolidays() {
  // Days of the months before and after are marked too, so that a holiday
  // seen there (1/1 on a December page) reads as one.
  for (MonthCell& c : grid_.cells) {
    for (const DayHoliday& h : c.values.holidays) {
      if (!h.dayOff) continue;
      // A substitute day shows the short name, the report and the list give
      // the full one.
      c.names.push_back({h.substitute ? std::string(kSubstituteCellName) : h.name, CellName::Kind::Holiday,
                         MemoMark::None});
      c.holidayStyle = true;
    }
  }
}

void MonthBuilder::PlaceAnniversary(int cell, const DayAnniversary& a) {
  if (view_.memoMarks >= MonthView::kMaxMemoMarks) return;
  ++view_.memoMarks;
  MonthCell& c = grid_.cells[cell];
  c.names.push_back({a.name, CellName::Kind::Anniversary, a.mark});
  if (a.mark == MemoMark::Holiday) c.holidayStyle = true;
  if (a.mark == MemoMark::Highlight) c.highlightStyle = true;
}

void MonthBuilder::AddAnniversaries() {
  // The days of the month only; in solar mode the solar anniversaries come
  // first, in lunar mode the lunar ones.
  // The anniversaries of the mode's own calendar are placed in the memo
  // table's order (the limit of marks keeps the first rows), the others day
  // by day.
  struct Found {
    int cell;
    const DayAnniversary* anniversary;
  };
  std::vector<Found> own;
  for (int k = view_.LastCellBefore + 1; k < view_.FirstCellAfter; ++k)
    for (const DayAnniversary& a : grid_.cells[k].values.anniversaries)
      if (a.lunar == Lunar()) own.push_back({k, &a});
  std::stable_sort(own.begin(), own.end(),
                   [](const Found& a, const Found& b) { return a.anniversary->memoIndex < b.anniversary->memoIndex; });
  for (const Found& f : own) PlaceAnniversary(f.cell, *f.anniversary);
  for (int k = view_.LastCellBefore + 1; k < view_.FirstCellAfter; ++k)
    for (const DayAnniversary& a : grid_.cells[k].values.anniversaries)
      if (a.lunar != Lunar()) PlaceAnniversary(k, a);
}

void MonthBuilder::AddTermAndSeasonalMarks() {
  for (int k = view_.LastCellBefore + 1; k < view_.FirstCellAfter; ++k) {
    MonthCell& c = grid_.cells[k];
    // A name goes after the date only while the line is shorter than
    // kSecondLineRoomBytes: a term first, then a seasonal day.
    for (const DayTerm& t : c.values.terms) {
      if (Cp949Length(c.date + c.mark) >= kSecondLineRoomBytes) break;
      c.mark += SolarTermNames[t.termIndex];
      c.markKind = t.termIndex % 2 == 0 ? SecondLineMark::SectionalTerm : SecondLineMark::MajorTerm;
    }
    if (c.values.seasonal != SeasonalDay::None && Cp949Length(c.date + c.mark) < kSecondLineRoomBytes) {
      c.mark += SeasonalName(c.values.seasonal);
      const bool dogDay = c.values.seasonal == SeasonalDay::FirstDogDay ||
                          c.values.seasonal == SeasonalDay::MiddleDogDay ||
                          c.values.seasonal == SeasonalDay::LastDogDay;
      c.markKind = dogDay ? SecondLineMark::DogDay : SecondLineMark::FeastDay;
    }
  }
}

void MonthBuilder::AddMoons() {
  for (int k = view_.LastCellBefore + 1; k < view_.FirstCellAfter; ++k) {
    MonthCell& c = grid_.cells[k];
    for (const DaySyzygy& z : c.values.syzygies) {
      const char* label = z.newMoon ? (z.eclipse ? kSolarEclipseLabel : kNewMoonLabel)
                                    : (z.eclipse ? kLunarEclipseLabel : kFullMoonLabel);
      c.moon += std::string(" ") + label;
    }
  }
}

void MonthBuilder::ShowPillars() {
  int lunarYear = req_.year, lunarMonth = req_.month;
  bool leap = req_.leapWanted;
  if (!Lunar()) {
    lunarYear = first_.lunar.year;
    lunarMonth = first_.lunar.month;
    leap = first_.lunar.leap;
  }
  const int yearIndex = YearPillarIndex(lunarYear);
  view_.yearPillar = std::string(SexagenaryNames[yearIndex]) + "年";
  if (!leap && lunarMonth >= 1 && lunarMonth <= 12)
    view_.monthPillar = std::string(SexagenaryNames[MonthPillarIndex(yearIndex, lunarMonth - 1)]) + "月 ";
  else
    view_.monthPillar = "無中月";

  view_.monthWithoutMajorTerm = false;
  if (Lunar()) {
    const double firstJd = JdOf(first_.solar);
    for (const CivilDate& start : NoMajorTermMonthStarts(tables_))
      if (std::fabs(JdOf(start) - firstJd) <= kNoMajorTermMatchDays) view_.monthWithoutMajorTerm = true;
  }
}

void MonthBuilder::ShowNote() {
  const CivilDate& f = first_.solar;
  const bool julian = f.year < kReformYear || (f.year == kReformYear && f.month < kFirstGregorianNoteMonth);
  view_.calendarNote = julian ? "율리우스(Julius)曆 입니다." : "그레고리(Gregory)曆 입니다.";
}

void MonthBuilder::ShowTermPillarLine() {
  const CivilDate& f = first_.solar;
  double endJd = JdOf(f) + view_.DaysInMonth();
  if (view_.FirstCellAfter < MonthGrid::kCells && grid_.cells[view_.FirstCellAfter].present)
    endJd = JdOf(grid_.cells[view_.FirstCellAfter].values.solar);
  view_.termPillarLine = TermPillarLine(tables_, f.year, f.month, f.day, endJd);
}

void MonthBuilder::FindToday() {
  view_.todayCell = -1;
  if (!req_.eraAD) return;
  const int* today = ctx_.settings.TodayDate;
  const int cell = view_.CellOf({today[0], today[1], today[2]});
  if (cell >= 0 && view_.InMonth(cell)) view_.todayCell = cell;
}

}  // namespace

std::string MonthCell::ThirdLine() const {
  std::string line = pillar;
  for (const CellName& n : names) line += " " + n.text;
  return line;
}

std::string MonthCell::Line(int line) const {
  switch (line) {
    case 0: return day;
    case 1: return SecondLine();
    case 2: return ThirdLine();
    default: break;
  }
  return "";
}

std::string MonthGrid::At(int column, int row) const {
  if (row == 0) return column == 0 ? corner : column < kColumns ? kWeekdayNames[column - 1] : "";
  const int line = LineOfRow(row);
  if (line < 0) return "";
  if (column == 0) return lineLabels[line];
  const int cell = CellAt(column, row);
  return cell >= 0 ? Line(cell, line) : "";
}

int MonthView::CellOf(const CivilDate& date) const {
  if (!filled) return -1;
  for (int k = 0; k < MonthGrid::kCells; ++k)
    if (grid.cells[k].present && grid.cells[k].values.solar == date) return k;
  return -1;
}

int MonthGrid::CellAt(int column, int row) {
  if (column < 1 || column >= kColumns || row < 1 || row >= kRows) return -1;
  return ((row - 1) / kLinesPerDay) * kDaysPerWeek + (column - 1);
}

std::string MonthAbbreviation(int month) {
  return month >= 1 && month <= 12 ? kMonthAbbreviations[month - 1] : "";
}

void LayOutMonthGrid(MonthGrid& grid, int monthNumber, DisplayMode mode) {
  for (MonthCell& cell : grid.cells) cell = MonthCell{};
  grid.corner = MonthAbbreviation(monthNumber);
  const char* solarLabels[3] = {"양력", "음력", "일진"};
  const char* lunarLabels[3] = {"음력", "양력", "일진"};
  const char* const* labels = mode == DisplayMode::Solar ? solarLabels : lunarLabels;
  for (int line = 0; line < MonthGrid::kLinesPerDay; ++line) grid.lineLabels[line] = labels[line];
}

namespace {

// The principal phases of the Moon on the days of the month: each found
// once from a guess at the mean rate of elongation (a handful of
// evaluations), not by sampling every day.
void MarkMoonQuarters(EngineContext& ctx, MonthView& view) {
  std::fill(std::begin(view.moonQuarter), std::end(view.moonQuarter), static_cast<int>(kNoQuarter));
  const int first = view.LastCellBefore + 1, last = view.FirstCellAfter - 1;
  if (first > last) return;
  if (!view.grid.cells[first].present) return;
  const CivilDate& f = view.grid.cells[first].values.solar;
  const int y = f.year, m = f.month, d = f.day;
  const double startJD = CalendarToJulianDay(y, m, d) - ctx.settings.ZoneOffsetDays;
  const double endJD = startJD + (last - first + 1);
  const double elongation = MoonSunElongation(ctx, startJD);
  for (int q = 0; q < 4; ++q) {
    double guess = startJD + std::fmod(q * 90.0 - elongation + 720.0, 360.0) / kMeanElongationDegPerDay;
    for (; guess < endJD + 2.0; guess += kSynodicMonthDays) {
      const double t = PrincipalPhaseNear(ctx, guess, q * 90.0);
      if (t < startJD || t >= endJD) continue;
      view.moonQuarter[first + static_cast<int>(std::floor(t - startJD))] = q + 1;
    }
  }
}

}  // namespace

bool FillMonthView(EngineContext& ctx, const YearTables& tables, YearService& years, const MemoTable& memos,
                   const DaysOptions& options, const MonthRequest& request, MonthView& view,
                   const ProgressFunction& progress) {
  view.shown = request;
  view.filled = false;
  view.memoMarks = 0;
  view.todayCell = -1;
  MonthBuilder builder(ctx, tables, request, view);
  if (!builder.FillDates(years, memos, options)) {
    for (MonthCell& cell : view.grid.cells) cell = MonthCell{};
    return false;
  }
  view.filled = true;
  if (progress) progress(60);
  builder.FillThirdLines();
  builder.AddHolidays();
  builder.AddAnniversaries();
  if (progress) progress(80);
  builder.AddTermAndSeasonalMarks();
  builder.AddMoons();
  if (progress) progress(100);
  builder.ShowPillars();
  builder.ShowNote();
  builder.ShowTermPillarLine();
  builder.FindToday();
  MarkMoonQuarters(ctx, view);
  return true;
}

int YearPillarIndex(int lunarYear) {
  int index = (lunarYear + 56) % 60;
  if (index < 0) index += 60;
  return index;
}


void CellPillars(const MonthView& view, int cell, std::string& yearPillar, std::string& monthPillar) {
  if (!view.filled || cell < 0 || !view.InMonth(cell) || !view.grid.cells[cell].values.lunar.Known()) {
    yearPillar = monthPillar = " ";
    return;
  }
  const LunarDay& l = view.grid.cells[cell].values.lunar;
  const int yearIndex = YearPillarIndex(l.year);
  yearPillar = std::string(SexagenaryNames[yearIndex]) + "年";
  const bool leap = view.shown.mode == DisplayMode::Solar ? l.leap : view.shown.leapWanted;
  monthPillar = leap ? "無中月" : std::string(SexagenaryNames[MonthPillarIndex(yearIndex, l.month - 1)]) + "月 ";
}

std::string TermPillarLine(const YearTables& tables, int y, int m, int d, double endJd) {
  auto names = [](const SexagenaryIndices& p) {
    return std::string(SexagenaryNames[p.year]) + "年 " + SexagenaryNames[p.month] + "月";
  };
  std::string line = names(SexagenaryOfInstant(tables, y, m, d, 0, 0));
  const std::optional<ListedTerm> term =
      FindSolarTermNear(tables, DateTime{y, m, d, 0, 0}, kAtOrAfter, TermKind::kSectional);
  if (term && term->minute.DateJd() < endJd && term->termIndex >= 0 && term->termIndex < 24) {
    const DateTime& t = term->minute;
    const int index = term->termIndex;
    // The reading follows the two Han characters (three bytes each in UTF-8).
    constexpr size_t kHanBytes = 6;
    const std::string reading = std::string(SolarTermNames[index]).substr(kHanBytes);
    line += Format(" → %d/%d ", t.m, t.d) + reading + " " + names(SexagenaryOfInstant(tables, t.y, t.m, t.d, t.h, t.mi));
  }
  return line;
}

double MoonAgeAtNoon(const YearTables& tables, const CalcSettings& settings, int year, int month, int day) {
  const std::optional<DateTime> n =
      FindSyzygyNear(tables, DateTime{year, month, day, 12, 0}, SearchDirection::kBefore, SyzygyKind::kNewMoon);
  if (!n) return -1.0;
  const double noonLocal = CalendarToJulianDay(year, month, day) - settings.ZoneOffsetDays + 0.5;
  return noonLocal - JulianDayAtMinute(n->DateJd() - settings.ZoneOffsetDays, n->h, n->mi);
}

}  // namespace orv
