#include "app/core/print/print_pages.h"

#include "app/core/year_service.h"
#include "lunisolar/sexagenary.h"
#include "time/dates.h"

namespace orv {

const char* const kPrintWeekdayNames[7] = {"일", "월", "화", "수", "목", "금", "토"};

namespace {

// The year's pillar is read in midsummer, well after its 立春.
constexpr int kMidYearMonth = 7;

}  // namespace

std::string PrintYearText(int year) {
  if (year < 1) return "BC " + std::to_string(1 - year) + "년";
  return std::to_string(year) + "년";
}

PrintMonthPage PrintMonthFromView(const MonthView& view, int year, int month) {
  PrintMonthPage page;
  page.year = year;
  page.month = month;
  page.title = PrintYearText(year) + " " + std::to_string(month) + "월";
  page.pillarLine = view.termPillarLine;
  int lastWeek = 0;
  for (int k = 0; k < MonthGrid::kCells; ++k) {
    PrintDay& d = page.days[k];
    d.cell = view.grid.cells[k];
    d.day = d.cell.Line(0);
    d.lunar = d.cell.Line(1);
    d.names = d.cell.Line(2);
    d.inMonth = view.InMonth(k);
    if (d.inMonth) lastWeek = k / MonthGrid::kDaysPerWeek;
    for (int line = 0; line < MonthGrid::kLinesPerDay; ++line)
      d.colours[line] = DayLineColours(d.cell, line, k % MonthGrid::kDaysPerWeek);
    d.today = k == view.todayCell;
  }
  page.weeks = lastWeek + 1;
  return page;
}

bool BuildPrintDocument(EngineContext& ctx, YearTables& tables, YearService& years, bool correctionWanted,
                        const MemoTable& memos, const DaysOptions& options, const std::string& placeName,
                        const PrintRequest& request, PrintDocument& document) {
  document = PrintDocument{};
  document.yearView = request.yearView;
  document.year = request.year;
  document.placeName = placeName;
  document.footer = "Orvanta 천문 만세력 · " + placeName;
  if (years.Prepare(ctx, tables, request.year, correctionWanted) == YearOutcome::OutsideFileYears) return false;
  if (!tables.Prepared) return false;
  const SexagenaryIndices mid = SexagenaryOfInstant(tables, request.year, kMidYearMonth, 1, 12, 0);
  document.yearPillar = std::string(SexagenaryNames[mid.year]) + "年";
  document.yearTitle = PrintYearText(request.year) + " " + document.yearPillar;
  MonthView view;
  for (int m = request.firstMonth; m <= request.lastMonth; ++m) {
    MonthRequest month;
    month.year = request.year;
    month.month = m;
    month.mode = DisplayMode::Solar;
    month.eraAD = false;  // no "today" on paper
    LayOutMonthGrid(view.grid, m, DisplayMode::Solar);
    if (!FillMonthView(ctx, tables, years, memos, options, month, view)) return false;
    PrintMonthPage page = PrintMonthFromView(view, request.year, m);
    page.header = placeName + " · " + document.yearPillar;
    document.months.push_back(std::move(page));
  }
  return true;
}

}  // namespace orv
