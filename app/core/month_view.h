// The month calendar as values: the 42 typed days of the month grid, the
// year and month pillars and the calendar note, built from the calendar of
// days of the loaded year. The window paints what this produces; nothing
// here knows about widgets.
//
// Six weeks of seven days: grid cell k (0..41) is column k % 7 + 1 (Sunday ..
// Saturday) of week k / 7, whose three lines are rows 3w + 1, 3w + 2, 3w + 3.
// Row 0 holds the month's abbreviation and the weekday names, column 0 the
// line labels.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/core/anniversaries.h"
#include "app/core/calendar_days.h"
#include "app/core/files/memo.h"
#include "ephemeris/context.h"
#include "lunisolar/year_tables.h"

namespace orv {

enum class DisplayMode { Solar, Lunar };

// The four principal phases of the Moon, as marked in the month grid.
enum MoonQuarter : int { kNoQuarter = 0, kNewMoonQuarter = 1, kFirstQuarter = 2, kFullMoonQuarter = 3, kLastQuarter = 4 };

// What a second line carries after its date: a solar term or a seasonal
// day (one of them, as room allows).
enum class SecondLineMark { None, SectionalTerm, MajorTerm, DogDay, FeastDay };

// A name on a day's third line: a public holiday or an anniversary, shown
// with every character it has.
struct CellName {
  enum class Kind { Holiday, Anniversary };
  std::string text;
  Kind kind = Kind::Anniversary;
  MemoMark mark = MemoMark::None;  // anniversaries: the style the file asks for
};

// One day of the month grid: the texts of its three lines, each kind apart,
// and the day's values they come from.
struct MonthCell {
  bool present = false;        // the tables hold the day
  std::string day;             // first line: "15"; lunar mode "3", "윤4.1"
  std::string date;            // second line's date: "1.15", "윤3.1"; lunar mode "5.23"
  std::string mark;            // term or seasonal day after the date ("立春입춘")
  SecondLineMark markKind = SecondLineMark::None;
  std::string moon;            // new and full moons after it (" 합삭", "   망", " 일식")
  std::string pillar;          // third line: the day's sexagenary name
  std::vector<CellName> names; // then the holidays and anniversaries
  bool holidayStyle = false;   // a public day off, or an anniversary marked as a holiday
  bool highlightStyle = false; // an anniversary marked for highlighting
  CalendarDay values;          // the day's calendar values

  std::string SecondLine() const { return date + mark + moon; }
  // The sexagenary name and the names, each after one blank.
  std::string ThirdLine() const;
  // Line 0, 1 or 2 as drawn.
  std::string Line(int line) const;
};

// Six weeks of seven typed days, with the labels around them.
struct MonthGrid {
  static constexpr int kColumns = 8;
  static constexpr int kRows = 19;
  static constexpr int kWeeks = 6;
  static constexpr int kDaysPerWeek = 7;
  static constexpr int kCells = kWeeks * kDaysPerWeek;
  static constexpr int kLinesPerDay = 3;

  // Line 0 (first), 1 (second) or 2 (third) of grid cell k, as drawn.
  std::string Line(int cell, int line) const { return cells[cell].Line(line); }
  // The text drawn at grid position (column, row): the corner, a weekday,
  // a line label or a line of a day.
  std::string At(int column, int row) const;

  static int CellColumn(int cell) { return cell % kDaysPerWeek + 1; }
  static int CellRow(int cell, int line) { return (cell / kDaysPerWeek) * kLinesPerDay + 1 + line; }
  // Grid cell of a grid position, -1 for row 0 and column 0 or outside.
  static int CellAt(int column, int row);
  // 0, 1 or 2 for the rows of a week, -1 for row 0.
  static int LineOfRow(int row) { return row >= 1 && row < kRows ? (row - 1) % kLinesPerDay : -1; }

  std::string corner;                   // "FEB"; lunar mode "4월", "윤4월"
  std::string lineLabels[kLinesPerDay]; // "양력", "음력", "일진" (lunar mode: 음력 first)
  MonthCell cells[kCells];
};

// The month asked for.
struct MonthRequest {
  int year = 0;        // astronomical; the lunar year in lunar mode
  int month = 1;       // 1..12
  DisplayMode mode = DisplayMode::Solar;
  bool leapWanted = false;  // lunar mode: the leap month of that number
  bool eraAD = true;        // today's cell is marked only when the era shown is AD
};

struct MonthView {
  static constexpr int kMaxMemoMarks = 30;

  MonthGrid grid;
  MonthRequest shown;
  bool filled = false;        // the dates of `shown` are in the grid

  int LastCellBefore = -1;    // grid cell before the month's first day (-1..5)
  int FirstCellAfter = 42;    // first grid cell after the month's last day (<= 42)
  int todayCell = -1;         // grid cell painted as today, -1 for none

  std::string yearPillar = "歲次";   // yearPillarBox
  std::string monthPillar = "月建";  // monthPillarBox
  bool monthWithoutMajorTerm = false;  // lunar mode: monthPillarBox painted red
  std::string calendarNote;            // referenceBox
  // The pillars by the sectional terms (the year changes at 立春, the month
  // at each 節): those of the month's first day, and when a 節 falls inside
  // the month the day it changes and the pillars after it, e.g.
  // "乙巳年 己丑月 → 2/4 입춘 丙午年 庚寅月".
  std::string termPillarLine;

  int memoMarks = 0;          // memo names placed (at most kMaxMemoMarks)
  // The Moon's principal phase reached on the day of each grid cell of the
  // month (a small picture in the cell): 0 none, else a MoonQuarter.
  int moonQuarter[MonthGrid::kCells] = {};

  bool InMonth(int cell) const { return cell > LastCellBefore && cell < FirstCellAfter; }
  // Grid cell of a civil date, -1 when the grid does not show it.
  int CellOf(const CivilDate& date) const;
  int DaysInMonth() const { return FirstCellAfter - LastCellBefore - 1; }
};

// "JAN" .. "DEC" for 1..12, "" otherwise.
std::string MonthAbbreviation(int month);

// Row 0 (month abbreviation, weekday names) and the line labels of column 0;
// every other cell emptied.
void LayOutMonthGrid(MonthGrid& grid, int monthNumber, DisplayMode mode);

using ProgressFunction = std::function<void(int percent)>;

class YearService;

// Fills `view` with the month of `request` from the calendar of days that
// `years` gives for the loaded tables (which must hold the month): dates,
// sexagenary day names, holidays and anniversaries, terms, seasonal days,
// new and full moons (eclipses screened), pillars, calendar note and today's
// cell. Reports progress 60, 80 and 100. False, with the grid left as laid
// out, when the month is not in the tables.
bool FillMonthView(EngineContext& ctx, const YearTables& tables, YearService& years, const MemoTable& memos,
                   const DaysOptions& options, const MonthRequest& request, MonthView& view,
                   const ProgressFunction& progress = {});

// Sexagenary index of the lunar year ly: (ly + 56) mod 60, non-negative.
int YearPillarIndex(int lunarYear);

// Pillars of grid cell `cell` of a filled view, as yearPillarBox and monthPillarBox show them
// when the cell is selected: "<year>年" and "<month>月 " (or "無中月" in a
// leap month), or " " for both outside the month.
void CellPillars(const MonthView& view, int cell, std::string& yearPillar, std::string& monthPillar);

// "乙巳年 己丑月 → 2/4 입춘 丙午年 庚寅月": the year and month pillars by the
// sectional terms from civil date (y, m, d) 00:00 up to, not including, the
// civil date `endJd` (Julian Day of its 00:00); a 節 dated in the span adds
// its month/day, reading and the pillars from its minute on.
std::string TermPillarLine(const YearTables& tables, int y, int m, int d, double endJd);

// Moon's age in days at noon of a civil date: from the last new moon before
// it in the loaded lists; negative when the lists hold none.
double MoonAgeAtNoon(const YearTables& tables, const CalcSettings& settings, int year, int month, int day);

}  // namespace orv
