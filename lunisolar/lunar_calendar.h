// The lunar year of the loaded year: the day table from November 1 of the
// year before to early June of the year after, its lunar months numbered from
// the month that holds the winter solstice (month 11), with the leap-month rule
// (a month without a major term) and, optionally, the months of the historical
// calendars (lunisolar/historical_calendar.h) where they reach.
#pragma once

#include "lunisolar/year_tables.h"

namespace orv {

// Writes consecutive civil dates from November 1 of year - 1 into 585 slots.
void FillDayTableSolarDates(YearTables& tables, int year);

// Whether the day table of `year` shares a day with the recorded months of
// place code `placeCode` (lunisolar/historical_calendar.h): the tables whose
// numbering the historical correction can change.
bool RecordedMonthsReachTable(int year, int placeCode);
// Whether every day of the table of `year` lies among those recorded months.
bool RecordedMonthsCoverTable(int year, int placeCode);

// How the table of `year` at place code `placeCode` is numbered when the user
// does or does not want the recorded months: they are followed where they
// reach the table or one of its neighbours, whose lunar years the table also
// shows, and nowhere else (a table far from them is the computed calendar,
// whatever the choice).
LunarBuildOptions LunarBuildOptionsFor(int year, int placeCode, bool correctionWanted);

// Numbers the lunar months of `year` from the term and syzygy lists (and the
// events just past them). With the historical correction at a place code that
// has recorded months, the days of the recorded span take those months,
// whatever the lists say.
void BuildLunarCalendar(YearTables& tables, int year, const LunarBuildOptions& options);

// Slot of a civil date in the day table, -1 when the table does not hold it.
int SlotOfSolarDate(const YearTables& tables, int y, int m, int d);
// Slot of a lunar date (in the leap month of that number when `leapMonth`),
// -1 when the table does not hold it.
int SlotOfLunarDate(const YearTables& tables, int y, int m, int d, bool leapMonth);

// Whether a lunation holding a day of the slots [fromSlot, endSlot) has no
// major term, as the lists and the events past them date the new moons and
// terms, or is not bounded by them: only such a month can be a leap month,
// so where none is, any build numbers those days alike from the month of the
// winter solstice.
bool MonthWithoutMajorTermIn(const YearTables& tables, int fromSlot, int endSlot);

// Writes days 1..length of a lunar month from slot `start`; returns
// start + length + 1.
int FillMonth(YearTables& tables, int start, int lunarYear, int month, int leap, int length);

}  // namespace orv
