// Historical corrections of the lunar calendar: leap months, leap-free years,
// month-11 shifts and month lengths as the calendars in use recorded them.
// (Only the rows taken from the chronicles so far; the generated rows follow.)
#include "data/historical_tables.h"

namespace orv::data {

#define END_ROW {kHistoricalEndPlace, kHistoricalEndYear
const Month11ShiftRow kMonth11ShiftTable[] = {
    {0, 11, +1}, {0, 30, +1}, {0, 49, +1}, END_ROW, 0}};
const LeapMonthRow kLeapMonthTable0[] = {{0, 2, 8}, {0, 5, 5}, {0, 8, 1}, END_ROW, 0}};
const LeapMonthRow kLeapMonthTable1[] = {END_ROW, 0}};
const LeapMonthRow kRecordedLeapTable0[] = {{0, 920, 6}, {0, 923, 4}, {0, 925, 12}, {0, 1653, 7}, END_ROW, 0}};
const LeapMonthRow kRecordedLeapTable1[] = {{1, 920, 6}, {1, 923, 4}, {1, 925, 12}, {1, 1653, 6}, END_ROW, 0}};
const LeapMonthRow kNoLeapYearTable0[] = {{0, -1258, 0}, {0, -142, 0}, {0, 11, 0}, END_ROW, 0}};
const LeapMonthRow kNoLeapYearTable1[] = {END_ROW, 0}};
const MonthLengthDeltaRow kMonthLengthDeltaTable[] = {
    {0, 192, 11, -1}, {0, 273, 6, +1}, {0, 307, 12, -1}, END_ROW, 0, 0}};
const MonthLengthRow kMonthLengthTable[] = {
    {0, 192, 12, 0, 29, 1}, {0, 559, 4, -1, 28, 1}, {0, 559, 5, +1, 31, 0},
    {0, 1096, 3, +2, 31, 0}, {0, 1096, 9, -2, 28, 0}, {0, 1876, 5, +2, 31, 0},
    {1, 1548, 2, -1, 28, 0}, END_ROW, 0, 0, 0, 0}};
#undef END_ROW

}  // namespace orv::data
