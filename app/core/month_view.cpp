#include "app/core/month_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "app/core/anniversaries.h"
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

struct SlotDates {
  int sy = 0, sm = 0, sd = 0;  // solar
  int ly = 0, lm = 0, ld = 0;  // lunar (0 when not numbered)
  bool leap = false;
  int monthLength = 0;
};

bool SlotAt(const YearTables& tables, int slot, SlotDates& out) {
  if (slot < 0 || slot >= tables.DayTableCount) return false;
  const DayRecord& r = tables.DayTable[slot];
  if (r.solarDate == 0) return false;
  UnpackDate(r.solarDate, out.sy, out.sm, out.sd);
  if (r.lunarDate != 0) UnpackDate(r.lunarDate, out.ly, out.lm, out.ld);
  else out.ly = out.lm = out.ld = 0;
  out.leap = r.leap != 0;
  out.monthLength = r.monthLength;
  return true;
}

std::string Number(int n) { return std::to_string(n); }

// State of one build: where marks go.
class MonthBuilder {
 public:
  MonthBuilder(EngineContext& ctx, const YearTables& tables, const MemoTable& memos, const MonthRequest& request,
               MonthView& view)
      : ctx_(ctx), tables_(tables), memos_(memos), req_(request), view_(view), grid_(view.grid) {}

  bool FillDates();
  void FillThirdLines();
  void AddHolidayMarks();
  void AddMemoMarks();
  void AddTermMarks();
  void AddSeasonalMarks();
  void AddSyzygyMarks();
  void ShowPillars();
  void ShowNote();
  void ShowTermPillarLine();
  void FindToday();

 private:
  bool Lunar() const { return req_.mode == DisplayMode::Lunar; }
  bool Slot(int cell, SlotDates& out) const { return SlotAt(tables_, view_.FirstCellIndex + cell, out); }
  // Grid cell of a solar day of the displayed solar month (ten cells back
  // after the 14th of October 1582); -1 outside the month.
  int SolarDayCell(int day) const;
  // Grid cell of a lunar day of the displayed lunar month, -1 outside.
  int LunarDayCell(int day) const;
  // Grid cell of a civil date when it lies in the displayed month (either
  // mode), -1 otherwise.
  int CellOfDate(int y, int m, int d) const;
  void AppendToSecondLine(int cell, const std::string& text);
  void PlaceMemo(int cell, const std::string& name);
  void PlaceName(int cell, const std::string& name);
  void PlaceSyzygy(const DateTime& t, bool newMoon);

  EngineContext& ctx_;
  const YearTables& tables_;
  const MemoTable& memos_;
  const MonthRequest& req_;
  MonthView& view_;
  MonthGridTexts& grid_;
  int firstSlot_ = -1;      // slot of the month's first day
  SlotDates first_;         // its dates
};

int MonthBuilder::SolarDayCell(int day) const {
  // Checked before any arithmetic: a day is a small number, whatever a file held.
  if (day < 1 || day > kMaxDaysInMonth) return -1;
  int cell = view_.LastCellBefore + day;
  if (req_.year == kReformYear && req_.month == kReformMonth && day > kLastJulianDay) cell -= kMissingReformDays;
  if (!IsValidDate(req_.year, req_.month, day)) return -1;
  return view_.InMonth(cell) ? cell : -1;
}

int MonthBuilder::LunarDayCell(int day) const {
  if (day < 1 || day > kMaxDaysInMonth) return -1;
  const int cell = view_.LastCellBefore + day;
  return view_.InMonth(cell) ? cell : -1;
}

int MonthBuilder::CellOfDate(int y, int m, int d) const {
  if (!Lunar()) return y == req_.year && m == req_.month ? SolarDayCell(d) : -1;
  SlotDates s;
  const int slot = SlotOfSolarDate(tables_, y, m, d);
  if (!SlotAt(tables_, slot, s)) return -1;
  if (s.ly != req_.year || s.lm != req_.month || s.leap != req_.leapWanted) return -1;
  return LunarDayCell(s.ld);
}

bool MonthBuilder::FillDates() {
  if (!Lunar()) {
    firstSlot_ = SlotOfSolarDate(tables_, req_.year, req_.month, 1);
  } else {
    firstSlot_ = SlotOfLunarDate(tables_, req_.year, req_.month, 1, req_.leapWanted);
  }
  if (!SlotAt(tables_, firstSlot_, first_)) return false;
  view_.FirstCellIndex = firstSlot_ - WeekdayOf(first_.sy, first_.sm, first_.sd);
  if (view_.FirstCellIndex < 0) return false;

  // The month's span: from the first cell of the month to the first later
  // cell of another month.
  auto inMonth = [&](const SlotDates& s) {
    if (!Lunar()) return s.sm == req_.month;
    return s.lm == req_.month && s.leap == req_.leapWanted;
  };
  int firstCell = -1;
  view_.FirstCellAfter = MonthGridTexts::kCells;
  for (int k = 0; k < MonthGridTexts::kCells; ++k) {
    SlotDates s;
    const bool ok = Slot(k, s);
    if (firstCell < 0) {
      if (ok && inMonth(s)) firstCell = k;
    } else if (!ok || !inMonth(s)) {
      view_.FirstCellAfter = k;
      break;
    }
  }
  if (firstCell < 0) return false;
  view_.LastCellBefore = firstCell - 1;

  for (int k = 0; k < MonthGridTexts::kCells; ++k) {
    SlotDates s;
    if (!Slot(k, s)) continue;
    std::string& firstLine = grid_.Line(k, 0);
    std::string& secondLine = grid_.Line(k, 1);
    if (!Lunar()) {
      firstLine = Number(s.sd);
      if (s.lm != 0) secondLine = Format(s.leap ? "윤%d.%d" : "%d.%d", s.lm, s.ld);
    } else {
      if (s.lm != 0) {
        const bool leapForm = s.leap && (s.ld == 1 || k <= view_.LastCellBefore);
        firstLine = leapForm ? Format("윤%d.%d", s.lm, s.ld) : Number(s.ld);
      }
      secondLine = Format("%d.%d", s.sm, s.sd);
    }
  }
  return true;
}

void MonthBuilder::FillThirdLines() {
  SlotDates s0;
  if (!Slot(0, s0)) return;
  const int d0 = SexagenaryOfInstant(tables_, s0.sy, s0.sm, s0.sd, kNoonHour, kNoonMinute).day;
  for (int k = 0; k < MonthGridTexts::kCells; ++k) {
    SlotDates s;
    if (Slot(k, s)) grid_.Line(k, 2) = SexagenaryNames[(d0 + k) % 60];
  }
}

void MonthBuilder::PlaceMemo(int cell, const std::string& name) {
  if (cell < 0) return;
  if (view_.memoMarks >= MonthView::kMaxMemoMarks) return;
  ++view_.memoMarks;
  PlaceName(cell, name);
}

void MonthBuilder::AddHolidayMarks() {
  // The public holidays of every civil year the month's days fall in (a
  // lunar month can straddle the new year).
  // Days of the months before and after are marked too, so that a holiday
  // seen there (1/1 on a December page) reads as one.
  std::map<int, std::vector<PublicHoliday>> byYear;
  for (int k = 0; k < MonthGridTexts::kCells; ++k) {
    SlotDates s;
    if (!Slot(k, s)) continue;
    auto it = byYear.find(s.sy);
    if (it == byYear.end()) it = byYear.emplace(s.sy, PublicHolidaysOfYear(req_.holidayCalendar != nullptr ? *req_.holidayCalendar : tables_, s.sy)).first;
    for (const PublicHoliday& h : it->second) {
      if (!h.dayOff || h.month != s.sm || h.day != s.sd) continue;
      // Painted like a memo day with the holiday marker; a substitute day
      // shows the short name, the report and the list give the full one.
      PlaceName(k, (h.substitute ? std::string(kSubstituteCellName) : h.name) + kMarkHoliday);
    }
  }
}

void MonthBuilder::PlaceName(int cell, const std::string& name) {
  // Names follow the day's sexagenary name, which stays whatever their
  // length: the painter elides a line too long for its cell and shows it
  // whole in a tooltip.
  std::string& line = grid_.Line(cell, 2);
  const bool hadHoliday = line.find(kMarkHoliday) != std::string::npos;
  line += " " + name;
  if (hadHoliday && line.back() != kMarkHoliday) line += kMarkHoliday;
}

void MonthBuilder::AddMemoMarks() {
  if (!Lunar()) {
    for (const MemoEntry& e : memos_)
      if (e.kind == kMemoSolar && e.year <= req_.year && e.month == req_.month)
        PlaceMemo(SolarDayCell(e.day), e.name);
  }
  // Lunar anniversaries day by day (either mode); in lunar mode the displayed
  // month's regular anniversaries come first, in the memo table's order.
  auto lunarOn = [&](int k) {
    SlotDates s;
    if (!Slot(k, s) || s.lm == 0) return;
    int leapChecked = -1;  // whether lunar year s.ly has a leap month s.lm, once asked
    for (const MemoEntry& e : memos_) {
      if (!IsLunarMemo(e.kind) || e.year > s.ly || e.month != s.lm) continue;
      if (e.kind == kMemoLunarLeap && !s.leap && leapChecked < 0)
        leapChecked = SlotOfLunarDate(tables_, s.ly, s.lm, 1, true) >= 0 ? 1 : 0;
      if (LunarMemoFallsOn(e, s.lm, s.ld, s.leap, s.monthLength, leapChecked == 1)) PlaceMemo(k, e.name);
    }
  };
  for (int k = view_.LastCellBefore + 1; k < view_.FirstCellAfter; ++k) lunarOn(k);
  if (Lunar()) {
    for (int k = view_.LastCellBefore + 1; k < view_.FirstCellAfter; ++k) {
      SlotDates s;
      if (!Slot(k, s)) continue;
      for (const MemoEntry& e : memos_)
        if (e.kind == kMemoSolar && e.year <= s.sy && e.month == s.sm && e.day == s.sd) PlaceMemo(k, e.name);
    }
  }
}

void MonthBuilder::AppendToSecondLine(int cell, const std::string& text) {
  if (cell < 0) return;
  std::string& line = grid_.Line(cell, 1);
  if (Cp949Length(line) < kSecondLineRoomBytes) line += text;
}

void MonthBuilder::AddTermMarks() {
  const DateTime start{first_.sy, first_.sm, first_.sd, 0, 0};
  const std::optional<ListedTerm> sectional = FindSolarTermNear(tables_, start, kAtOrAfter, TermKind::kSectional);
  const std::optional<ListedTerm> major = FindSolarTermNear(tables_, start, kAtOrAfter, TermKind::kMajor);
  std::optional<ListedTerm> third;
  if (sectional && major) {
    if (sectional->minute.DateJd() >= major->minute.DateJd())
      third = FindSolarTermNear(tables_, sectional->minute, kAtOrAfter, TermKind::kMajor);
    else
      third = FindSolarTermNear(tables_, major->minute, kAtOrAfter, TermKind::kSectional);
  }
  auto place = [&](const std::optional<ListedTerm>& term) {
    if (!term || term->termIndex < 0 || term->termIndex > 23) return;
    const int index = term->termIndex;
    const std::string text =
        std::string(SolarTermNames[index]) + (index % 2 == 0 ? kMarkSectionalTerm : kMarkMajorTerm);
    AppendToSecondLine(CellOfDate(term->minute.y, term->minute.m, term->minute.d), text);
  };
  place(sectional);
  place(major);
  place(third);
}

void MonthBuilder::AddSeasonalMarks() {
  // The seasonal days of the displayed solar year (lunar mode: the solar year
  // of the lunar month's first day).
  const int year = first_.sy;
  int dogDays[3];
  SambokDays(tables_, dogDays[0], dogDays[1], dogDays[2]);
  for (int i = 0; i < 3; ++i)
    if (dogDays[i] > 0 && year == tables_.LoadedYear)
      AppendToSecondLine(CellOfDate(year, dogDays[i] / 100, dogDays[i] % 100),
                         std::string(kDogDayNames[i]) + kMarkDogDay);
  int month, day;
  if (HansikDay(ctx_, tables_, year, month, day))
    AppendToSecondLine(CellOfDate(year, month, day), std::string(kColdFoodName) + kMarkFeastDay);
  if (DanoDay(tables_, year, month, day))
    AppendToSecondLine(CellOfDate(year, month, day), std::string(kDanoName) + kMarkFeastDay);
}

void MonthBuilder::PlaceSyzygy(const DateTime& t, bool newMoon) {
  const int cell = CellOfDate(t.y, t.m, t.d);
  if (cell < 0) return;
  const double jd = t.Jd() - ctx_.settings.ZoneOffsetDays;
  const bool eclipse = QuickEclipseCheck(ctx_, jd, newMoon ? kNewMoon : kFullMoon).score > 0;
  const char* label = newMoon ? (eclipse ? kSolarEclipseLabel : kNewMoonLabel)
                              : (eclipse ? kLunarEclipseLabel : kFullMoonLabel);
  grid_.Line(cell, 1) += std::string(" ") + label;
}

void MonthBuilder::AddSyzygyMarks() {
  const DateTime start{first_.sy, first_.sm, first_.sd, 0, 0};
  constexpr SyzygyKind kNew = SyzygyKind::kNewMoon, kFull = SyzygyKind::kFullMoon;
  if (!Lunar()) {
    const std::optional<DateTime> a = FindSyzygyNear(tables_, start, kAtOrAfter, kNew);
    const std::optional<DateTime> b = FindSyzygyNear(tables_, start, kAtOrAfter, kFull);
    if (a) PlaceSyzygy(*a, true);
    if (b) PlaceSyzygy(*b, false);
    if (a && b) {
      if (a->DateJd() >= b->DateJd()) {
        if (const std::optional<DateTime> c = FindSyzygyNear(tables_, *a, kAtOrAfter, kFull)) PlaceSyzygy(*c, false);
      } else {
        if (const std::optional<DateTime> c = FindSyzygyNear(tables_, *b, kAtOrAfter, kNew)) PlaceSyzygy(*c, true);
      }
    }
  } else {
    // New moon, the full moon after it, the new moon after that.
    const std::optional<DateTime> a = FindSyzygyNear(tables_, start, kAtOrAfter, kNew);
    if (!a) return;
    PlaceSyzygy(*a, true);
    const std::optional<DateTime> b = FindSyzygyNear(tables_, *a, kAtOrAfter, kFull);
    if (!b) return;
    PlaceSyzygy(*b, false);
    if (const std::optional<DateTime> c = FindSyzygyNear(tables_, *b, kAtOrAfter, kNew)) PlaceSyzygy(*c, true);
  }
}

void MonthBuilder::ShowPillars() {
  int lunarYear = req_.year, lunarMonth = req_.month;
  bool leap = req_.leapWanted;
  if (!Lunar()) {
    lunarYear = first_.ly;
    lunarMonth = first_.lm;
    leap = first_.leap;
  }
  const int yearIndex = YearPillarIndex(lunarYear);
  view_.yearPillar = std::string(SexagenaryNames[yearIndex]) + "年";
  if (!leap && lunarMonth >= 1 && lunarMonth <= 12)
    view_.monthPillar = std::string(SexagenaryNames[MonthPillarIndex(yearIndex, lunarMonth - 1)]) + "月 ";
  else
    view_.monthPillar = "無中月";

  view_.monthWithoutMajorTerm = false;
  if (Lunar()) {
    const double firstJd = CalendarToJulianDay(first_.sy, first_.sm, first_.sd);
    for (int slot : tables_.NoMajorTermStarts) {
      SlotDates s;
      if (slot < 0 || !SlotAt(tables_, slot, s)) continue;
      if (std::fabs(CalendarToJulianDay(s.sy, s.sm, s.sd) - firstJd) <= kNoMajorTermMatchDays)
        view_.monthWithoutMajorTerm = true;
    }
  }
}

void MonthBuilder::ShowNote() {
  const bool julian = first_.sy < kReformYear || (first_.sy == kReformYear && first_.sm < kFirstGregorianNoteMonth);
  view_.calendarNote = julian ? "율리우스(Julius)曆 입니다." : "그레고리(Gregory)曆 입니다.";
}

void MonthBuilder::ShowTermPillarLine() {
  SlotDates after;
  double endJd = CalendarToJulianDay(first_.sy, first_.sm, first_.sd) + view_.DaysInMonth();
  if (Slot(view_.FirstCellAfter, after)) endJd = CalendarToJulianDay(after.sy, after.sm, after.sd);
  view_.termPillarLine = TermPillarLine(tables_, first_.sy, first_.sm, first_.sd, endJd);
}

void MonthBuilder::FindToday() {
  view_.todayCell = -1;
  if (!req_.eraAD) return;
  const int* today = ctx_.settings.TodayDate;
  const int slot = SlotOfSolarDate(tables_, today[0], today[1], today[2]);
  SlotDates s;
  if (!SlotAt(tables_, slot, s)) return;
  const bool shown = Lunar() ? (s.ly == req_.year && s.lm == req_.month && s.leap == req_.leapWanted)
                             : (today[0] == req_.year && today[1] == req_.month);
  const int cell = slot - view_.FirstCellIndex;
  if (shown && cell >= 0 && view_.InMonth(cell)) view_.todayCell = cell;
}

}  // namespace

std::string StripMarkers(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == kMarkSectionalTerm || c == kMarkMajorTerm || c == kMarkDogDay || c == kMarkFeastDay ||
        c == kMarkHoliday || c == kMarkHighlight)
      continue;
    out += c;
  }
  return out;
}

int MonthGridTexts::CellAt(int column, int row) {
  if (column < 1 || column >= kColumns || row < 1 || row >= kRows) return -1;
  return ((row - 1) / kLinesPerDay) * kDaysPerWeek + (column - 1);
}

std::string MonthAbbreviation(int month) {
  return month >= 1 && month <= 12 ? kMonthAbbreviations[month - 1] : "";
}

void LayOutMonthGrid(MonthGridTexts& grid, int monthNumber, DisplayMode mode) {
  for (auto& row : grid.cells)
    for (auto& cell : row) cell.clear();
  grid.At(0, 0) = MonthAbbreviation(monthNumber);
  for (int c = 1; c < MonthGridTexts::kColumns; ++c) grid.At(c, 0) = kWeekdayNames[c - 1];
  const char* solarLabels[3] = {"양력", "음력", "일진"};
  const char* lunarLabels[3] = {"음력", "양력", "일진"};
  const char* const* labels = mode == DisplayMode::Solar ? solarLabels : lunarLabels;
  for (int w = 0; w < MonthGridTexts::kWeeks; ++w)
    for (int line = 0; line < MonthGridTexts::kLinesPerDay; ++line)
      grid.At(0, w * MonthGridTexts::kLinesPerDay + 1 + line) = labels[line];
}

namespace {

// The principal phases of the Moon on the days of the month: each found
// once from a guess at the mean rate of elongation (a handful of
// evaluations), not by sampling every day.
void MarkMoonQuarters(EngineContext& ctx, const YearTables& tables, MonthView& view) {
  std::fill(std::begin(view.moonQuarter), std::end(view.moonQuarter), static_cast<int>(kNoQuarter));
  const int first = view.LastCellBefore + 1, last = view.FirstCellAfter - 1;
  if (first > last) return;
  const int firstSlot = view.FirstCellIndex + first;
  if (firstSlot < 0 || view.FirstCellIndex + last >= tables.DayTableCount) return;
  int y, m, d;
  UnpackDate(tables.DayTable[firstSlot].solarDate, y, m, d);
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

bool FillMonthView(EngineContext& ctx, const YearTables& tables, const MemoTable& memos,
                   const MonthRequest& request, MonthView& view, const ProgressFunction& progress) {
  view.shown = request;
  view.filled = false;
  view.memoMarks = 0;
  view.todayCell = -1;
  MonthBuilder builder(ctx, tables, memos, request, view);
  if (!builder.FillDates()) return false;
  view.filled = true;
  if (progress) progress(60);
  builder.FillThirdLines();
  builder.AddHolidayMarks();
  builder.AddMemoMarks();
  if (progress) progress(80);
  builder.AddTermMarks();
  builder.AddSeasonalMarks();
  builder.AddSyzygyMarks();
  if (progress) progress(100);
  builder.ShowPillars();
  builder.ShowNote();
  builder.ShowTermPillarLine();
  builder.FindToday();
  MarkMoonQuarters(ctx, tables, view);
  return true;
}

int YearPillarIndex(int lunarYear) {
  int index = (lunarYear + 56) % 60;
  if (index < 0) index += 60;
  return index;
}


void CellPillars(const YearTables& tables, const MonthView& view, int cell, std::string& yearPillar,
                 std::string& monthPillar) {
  SlotDates s;
  if (!view.filled || cell < 0 || !view.InMonth(cell) || !SlotAt(tables, view.FirstCellIndex + cell, s) ||
      s.lm == 0) {
    yearPillar = monthPillar = " ";
    return;
  }
  const int yearIndex = YearPillarIndex(s.ly);
  yearPillar = std::string(SexagenaryNames[yearIndex]) + "年";
  const bool leap = view.shown.mode == DisplayMode::Solar ? s.leap : view.shown.leapWanted;
  monthPillar = leap ? "無中月" : std::string(SexagenaryNames[MonthPillarIndex(yearIndex, s.lm - 1)]) + "月 ";
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
