// What a printed calendar shows, page by page, without any toolkit: the month
// page (the six weeks of the month view with lunar dates, terms, holidays and
// anniversaries) and the year at a glance (twelve small months). The window
// and orvanta-cli paint these pages (app/print).
#pragma once

#include <string>
#include <vector>

#include "app/core/files/memo.h"
#include "app/core/month_palette.h"
#include "app/core/month_view.h"
#include "ephemeris/context.h"
#include "lunisolar/lunar_calendar.h"
#include "lunisolar/year_tables.h"

namespace orv {

// One day of a printed month: the typed day of the month view, with its
// texts and colours (month_palette.h) as the window shows them.
struct PrintDay {
  std::string day;          // solar day, "%d"
  std::string lunar;        // lunar date with its term, seasonal day or moon phase ("1.15 立春입춘")
  std::string names;        // sexagenary day name, holidays and anniversaries
  bool inMonth = false;     // days of the months before and after are printed pale
  bool today = false;
  MonthCell cell;           // the day as the month view has it
  LineColours colours[MonthGrid::kLinesPerDay];
};

struct PrintMonthPage {
  int year = 0;                // astronomical
  int month = 1;
  std::string title;           // "2026년 2월" (BC years as "BC 44년 3월")
  std::string pillarLine;      // "乙巳年 己丑月 → 2/4 입춘 丙午年 庚寅月"
  std::string header;          // place and the year's pillar
  int weeks = 6;               // weeks that hold a day of the month (4..6)
  PrintDay days[MonthGrid::kCells];
};

struct PrintDocument {
  bool yearView = false;       // one page of twelve small months
  int year = 0;
  std::string placeName;       // as in the reports (no parenthesised suffix)
  std::string yearPillar;      // "丙午年": the year's pillar from its 立春
  std::string yearTitle;       // "2026년" with the pillar and place
  std::vector<PrintMonthPage> months;  // 1 (a month), or 12
  std::string footer;          // the program and the settings in effect
};

// Weekday names of the printed pages, Sunday first.
extern const char* const kPrintWeekdayNames[7];

// "2026년", "BC 44년" for astronomical -43.
std::string PrintYearText(int year);

// A printed month from a filled month view of solar mode.
PrintMonthPage PrintMonthFromView(const MonthView& view, int year, int month);

// What to print: the months `firstMonth`..`lastMonth` of `year`, as month
// pages or as one year-at-a-glance page.
struct PrintRequest {
  int year = 0;
  int firstMonth = 1;
  int lastMonth = 12;
  bool yearView = false;
};

// Builds the pages of `request` with the year prepared into `tables` by
// `years` (`tables` is left holding that year), the days as `options` shape
// them. False when the year could not be prepared.
bool BuildPrintDocument(EngineContext& ctx, YearTables& tables, YearService& years, bool correctionWanted,
                        const MemoTable& memos, const DaysOptions& options, const std::string& placeName,
                        const PrintRequest& request, PrintDocument& document);

}  // namespace orv
