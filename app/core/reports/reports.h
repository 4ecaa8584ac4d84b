// What every report of the main window reads, and the notes several of them
// share. The report texts themselves: day_report.h, year_reports.h,
// eclipse_reports.h, holidays.h. The window and the command line call the
// same functions and show the same texts.
#pragma once

#include "app/core/calendar_days.h"

#include <functional>
#include <stdexcept>
#include <string>

#include "ephemeris/context.h"
#include "lunisolar/lunar_calendar.h"
#include "lunisolar/year_tables.h"

namespace orv {

class YearService;

// The engine context (settings, observer, JPL file), the loaded
// year's tables and how its lunar calendar is built, and the selected place's
// name as reports print it (PlaceReportName). A report about another year
// prepares that year in `tables` first, as the month view would.
struct ReportInputs {
  EngineContext& engine;
  YearTables& tables;
  LunarBuildOptions lunar;
  std::string placeName;
  std::string timeZone;  // IANA zone of the place's civil clock ("" = none known)
  // The year service that prepares every year a report reads (its cache,
  // the correction rule per year, the Korean calendar of the holidays), with
  // the user's correction choice. Without one, years are prepared with
  // `lunar` as it is and holidays taken from `tables`.
  YearService* years = nullptr;
  bool correctionWanted = true;
};

// Called with the number of years done (0..30) while a 30-year table runs.
using ReportProgress = std::function<void(int yearsDone)>;

// A year whose tables could not be completed under the settings in effect
// (an event search failed and left days without a lunar date): no report
// may present such tables as the year's.
struct IncompleteYearError : std::runtime_error {
  explicit IncompleteYearError(int failedYear);
  int year;
};

// "1045년의 절기와 합삭·망을 이 설정으로 모두 찾지 못했습니다. ...": the
// window's message for a year that could not be completed.
std::string IncompleteYearMessage(int year);

// Makes `year` the loaded year of the tables unless it already is (under the
// settings in effect). Throws IncompleteYearError when the tables could not
// be completed.
void EnsureYearLoaded(ReportInputs& in, int year);

// The tables the public holidays of `year` are dated by: the Korean calendar
// of that year, whatever the place (the loaded tables when no service is
// given). Loads `year` into in.tables first.
// The days of civil year `year` with their Korean lunar dates and public
// holidays (the year loaded first).
CalendarOfDays HolidayDays(ReportInputs& in, int year);
const YearTables& HolidayCalendar(ReportInputs& in, int year);

// Title note of the year reports, closing the title's parenthesis:
// "적용된 시간체계는 TT(지구시))", "... UT(세계시))" or "... ST(표준시))".
std::string TimeSystemNote(const CalcSettings& settings);

// Worst expected error of the PLAN404 instants of a year, whole seconds (at
// least 5): a fit of PLAN404 against a JPL ephemeris over the accepted years.
enum class ErrorBoundKind { SolarTerms, Syzygies };
int Plan404ErrorBoundSeconds(int year, ErrorBoundKind kind);

// Delta T on January 1 (00:00) of `year`, seconds, as the year reports quote
// it.
double DeltaTOnNewYear(EngineContext& ctx, int year);

// "[참고] ..." closing of the term, syzygy and eclipse reports: the PLAN404
// error bound (under PLAN404 only) and Delta T on January 1, starting with
// "\n\n[참고] :\t".
std::string ReferenceNote(EngineContext& ctx, int year, ErrorBoundKind kind);

// A clock time as shown: under the civil-clock time system (kTimeCivil) with a
// known zone, the standard-time Julian Day `jdStandard` becomes the zone
// clock's reading and `label` the offset in force (" UTC+10:00"); otherwise
// both are left as they are ("" label).
double ShownOnCivilClock(const ReportInputs& in, double jdStandard, std::string& label);
// The same for the settings and the IANA zone of a place.
double ShownOnCivilClock(const CalcSettings& settings, const std::string& timeZone, double jdStandard,
                         std::string& label);

// "[음력은 보정됨]" or "[음력은 미보정]".
std::string CorrectionNote(bool historicalCorrection);

}  // namespace orv
