// Machine-readable listings of a year's calendar (CSV): the solar terms, the
// new and full moons and the day table. The window's exports and the command
// line print the same texts.
#pragma once

#include <string>

#include "app/core/calendar_days.h"
#include "ephemeris/context.h"
#include "lunisolar/year_tables.h"

namespace orv {

// "index,longitude,name,datetime,jd": the 24 terms dated in `year`, in time
// order; the seconds refined to 0.01 s; jd in the selected time system less
// the zone offset. The tables must hold `year`.
std::string SolarTermsCsv(EngineContext& ctx, const YearTables& tables, int year);

// "kind,datetime,jd": every new ("new") and full ("full") moon dated in `year`.
std::string SyzygiesCsv(EngineContext& ctx, const YearTables& tables, int year);

// "solar,lunar_year,lunar_month,lunar_day,leap,month_length": one row a day
// (the lunar fields empty where the day has no lunar date).
std::string DayTableCsv(const CalendarOfDays& days);

}  // namespace orv
