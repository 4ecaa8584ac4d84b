// Year preparation: everything the month view, the reports and the simulation
// read about one year (day table, term and syzygy lists, lunar months,
// month-pillar offsets).
#pragma once

#include "ephemeris/context.h"
#include "lunisolar/lunar_calendar.h"
#include "lunisolar/year_tables.h"

namespace orv {

// Makes `year` the loaded year of `tables`. When the tables held the year
// before or after under the same settings, only the new part of the lists is
// searched. When a leap month turns up before month 11 of the year before,
// the months before month 11 are taken from that year's own calendar.
void PrepareYear(EngineContext& ctx, YearTables& tables, int year, const LunarBuildOptions& options);

}  // namespace orv
