// The lunar months of the historical calendars (see historical_tables.cpp for
// the sources), one row per lunar year from 2 to 1911 and a closing row.
// Place codes: 0 Korea (Seoul, Hanyang), 1 Ming/Qing (Beijing). Korea kept the
// Chinese calendar before 1000, so place 0's table starts there and its
// earlier years are read from place 1's rows.
#pragma once

#include <cstdint>

namespace orv::data {

struct HistoricalYearRow {
  std::int16_t year;        // lunar year
  std::int32_t firstDay;    // Julian Day Number of the day 1 of its first month
  std::int8_t leapMonth;    // the month its leap month follows, 0 when none
  std::int8_t skippedMonth; // a month number the year did not use (calendar reforms), 0 when none
  std::uint16_t longMonths; // bit i: the i-th month in calendar order has 30 days, else 29
};

extern const HistoricalYearRow kHistoricalYears0[];
extern const int kHistoricalYearCount0;
extern const HistoricalYearRow kHistoricalYears1[];
extern const int kHistoricalYearCount1;

}  // namespace orv::data
