// The sixty-cycle names of years, months, days and hours (the four pillars),
// and the movable seasonal days that follow from the solar terms.
#pragma once

#include "ephemeris/context.h"
#include "lunisolar/year_tables.h"

namespace orv {

// "甲子" .. "癸亥" (stem = index mod 10, branch = index mod 12).
extern const char* const SexagenaryNames[60];

// Sixty-cycle index of the month pillar `monthsAfterTigerMonth` (0..11)
// months after the 寅 month of the year of sixty-cycle index yearIndex
// (0..59): years of stem 甲 or 己 begin at 丙寅 (index 2), and each next pair
// of year stems two stems later.
int MonthPillarIndex(int yearIndex, int monthsAfterTigerMonth);
// Sixty-cycle index of the hour pillar of the hour branch (0 = 子 .. 11) on
// the day of sixty-cycle index dayIndex (0..59): days of stem 甲 or 己 begin
// at 甲子, each next pair of day stems two stems later.
inline int HourPillarIndex(int dayIndex, int branch) { return branch + ((dayIndex % 10) % 5) * 12; }

// Minutes from the loaded year's start of spring to every sectional term of
// the term list (the fallback of SexagenaryOfInstant).
void BuildMonthPillarTable(YearTables& tables, int year);

struct SexagenaryIndices {
  long long yearsSinceReference = 0;  // whole years since the start of spring 2000
  int year = 0;    // 0..59
  int month = 0;
  int day = 0;
  int hour = 0;
};

// Pillars of a civil date-time (to the minute) in the selected time system.
// The year steps at the start of spring and the month at each sectional term:
// at the listed terms (from the minute that holds the term) when the instant
// lies within the loaded term list, and by mean years from the start of
// spring 2000-02-04 21:40 outside it. A day starts its hour count at 23:30 of
// the day before.
SexagenaryIndices SexagenaryOfInstant(const YearTables& tables, int y, int m, int d, int h, int mi);

// Dog days of the loaded year, each month * 100 + day.
void SambokDays(const YearTables& tables, int& first, int& middle, int& last);
// The cold-food day: 105 days after the winter solstice of year - 1.
bool HansikDay(EngineContext& ctx, const YearTables& tables, int year, int& month, int& day);
// Lunar 5-5 of the year (not leap).
bool DanoDay(const YearTables& tables, int year, int& month, int& day);

}  // namespace orv
