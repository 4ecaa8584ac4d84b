// The sixty-cycle names of years, months, days and hours (the four pillars),
// and the movable seasonal days that follow from the solar terms.
#pragma once

#include "ephemeris/context.h"
#include "lunisolar/year_tables.h"

namespace orv {

// "甲子" .. "癸亥" (stem = index mod 10, branch = index mod 12).
extern const char* const SexagenaryNames[60];

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
