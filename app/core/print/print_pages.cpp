#include "app/core/print/print_pages.h"

#include "lunisolar/prepare.h"
#include "lunisolar/sexagenary.h"
#include "time/dates.h"

namespace orv {

const char* const kPrintWeekdayNames[7] = {"일", "월", "화", "수", "목", "금", "토"};

namespace {

constexpr int kSaturdayIndex = 6;
constexpr int kSundayIndex = 0;
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
  for (int k = 0; k < MonthGridTexts::kCells; ++k) {
    PrintDay& d = page.days[k];
    const std::string& first = view.grid.Line(k, 0);
    const std::string& second = view.grid.Line(k, 1);
    const std::string& third = view.grid.Line(k, 2);
    d.day = StripMarkers(first);
    d.lunar = StripMarkers(second);
    d.names = StripMarkers(third);
    d.inMonth = view.InMonth(k);
    if (d.inMonth) lastWeek = k / MonthGridTexts::kDaysPerWeek;
    const int weekday = k % MonthGridTexts::kDaysPerWeek;
    d.red = weekday == kSundayIndex || third.find(kMarkHoliday) != std::string::npos;
    d.blue = !d.red && weekday == kSaturdayIndex;
    d.term = second.find(kMarkSectionalTerm) != std::string::npos ||
             second.find(kMarkMajorTerm) != std::string::npos;
    d.highlight = third.find(kMarkHighlight) != std::string::npos;
    d.today = k == view.todayCell;
  }
  page.weeks = lastWeek + 1;
  return page;
}

bool BuildPrintDocument(EngineContext& ctx, YearTables& tables, const LunarBuildOptions& options,
                        const MemoTable& memos, const std::string& placeName, const PrintRequest& request,
                        PrintDocument& document) {
  document = PrintDocument{};
  document.yearView = request.yearView;
  document.year = request.year;
  document.placeName = placeName;
  document.footer = "Orvanta 천문 만세력 · " + placeName;
  if (!tables.Prepared || tables.LoadedYear != request.year) {
    if (!PrepareYear(ctx, tables, request.year, options)) return false;
  }
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
    if (!FillMonthView(ctx, tables, memos, month, view)) return false;
    PrintMonthPage page = PrintMonthFromView(view, request.year, m);
    page.header = placeName + " · " + document.yearPillar;
    document.months.push_back(std::move(page));
  }
  return true;
}

}  // namespace orv
