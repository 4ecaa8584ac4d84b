// Historical corrections of the lunar calendar (see historical_tables.cpp for
// the sources). Every table ends with a row whose place is -1 and year -9999.
// Place codes: 0 Korea (Seoul, Hanyang), 1 Ming/Qing (Beijing).
#pragma once

#include <cstdint>

namespace orv::data {

constexpr std::int16_t kHistoricalEndPlace = -1;
constexpr std::int16_t kHistoricalEndYear = -9999;

struct Month11ShiftRow {
  std::int16_t place, year, shift;  // shift +1 / -1 lunation for month 11 of year - 1
};
struct LeapMonthRow {
  std::int16_t place, year, month;  // lunar year and its leap month
};
struct MonthLengthDeltaRow {
  std::int16_t place, year, month, delta;  // month lengthened by delta, the next one shortened
};
struct MonthLengthRow {
  std::int16_t place, year, month, startDelta, length, leap;  // a month's length outright
};

extern const Month11ShiftRow kMonth11ShiftTable[];
extern const LeapMonthRow kLeapMonthTable0[];
extern const LeapMonthRow kLeapMonthTable1[];
extern const LeapMonthRow kRecordedLeapTable0[];
extern const LeapMonthRow kRecordedLeapTable1[];
extern const LeapMonthRow kNoLeapYearTable0[];
extern const LeapMonthRow kNoLeapYearTable1[];
extern const MonthLengthDeltaRow kMonthLengthDeltaTable[];
extern const MonthLengthRow kMonthLengthTable[];

}  // namespace orv::data
