// Reports over a year or thirty years: the solar terms, the new and full
// moons of each lunar month, the three 30-year tables (leap months, lunar
// dates of a solar date, solar dates of a lunar date) and the about text.
// Each returns the whole text of its message box; the caption is beside it.
#pragma once

#include <string>

#include "app/core/reports/day_report.h"
#include "app/core/reports/reports.h"
#include "ephemeris/ephemeris_span.h"

namespace orv {

inline constexpr const char* kSolarTermReportCaption = "절기와 중기";
inline constexpr const char* kSyzygyReportCaption = "합삭과 망";
inline constexpr const char* kLeapMonthTableCaption = "윤달이 든 해와 윤달";
inline constexpr const char* kLunarDatesTableCaption = "양력월일과 같은 음력월일";
inline constexpr const char* kSolarDatesTableCaption = "음력월일과 같은 양력월일";
inline constexpr const char* kAboutCaption = "안내";
// Shown (caption "참고") when a table of dates is asked for before a day was selected.
inline constexpr const char* kSelectDayFirstMessage = "먼저 날짜를 눌러\n선택해야 합니다.";
inline constexpr const char* kSelectDayFirstCaption = "참고";

// The 24 solar terms of `year` in 12 lines of pairs (sectional, major) with
// their instants to 0.1 s, the cold-food day, the fifth of the fifth month,
// the dog days, the four earth days and the reference note.
std::string SolarTermReportText(ReportInputs& in, int year);

// The new and full moon of each lunar month of `year` (13 lines with one
// "윤%d월달" line in a year with a leap month), the reference note and whether
// the lunar calendar follows the historical records.
std::string SyzygyReportText(ReportInputs& in, int year);

// The years a 30-year table covers: from the start year on ("후") or up to
// it ("전"), at most 30 years and never past the years the ephemeris serves.
struct YearRange {
  int first = 0;
  int last = 0;
};
YearRange ThirtyYearRange(int startYear, bool before, EphemerisSpan limits);

// Leap months of the lunar years from `range.first` up to `range.last`.
// Prepares each year in turn and the year loaded before again at the end.
std::string LeapMonthTableText(ReportInputs& in, YearRange range, const ReportProgress& progress = {});

// Lunar dates of the selected solar month and day in every year of the range
// (both ends included).
std::string LunarDatesTableText(ReportInputs& in, const DaySelection& day, YearRange range,
                                const ReportProgress& progress = {});

// Solar dates of the selected lunar month and day (and leap flag) in every
// lunar year of the range.
std::string SolarDatesTableText(ReportInputs& in, const DaySelection& day, YearRange range,
                                const ReportProgress& progress = {});

// "이 달력은 " + the ephemeris, precession and nutation in use + the fixed text
// about the calendar; shown with Retry (opens the help file) and Cancel.
std::string AboutText(const CalcSettings& settings);

}  // namespace orv
