// The lunar months of the historical calendars (data/historical_tables.cpp):
// for place code 0 (Korea) and 1 (Ming/Qing) the months of the lunar years
// 2..1911 as the calendars in use had them. Days are Julian Day Numbers (the
// Julian Day at noon of the civil date).
#pragma once

namespace orv {

struct HistoricalMonth {
  long firstDay = 0;  // Julian Day Number of day 1
  int length = 0;     // days
  int year = 0, month = 0, leap = 0;
};

// The recorded span of a place code, [firstDay, endDay); false for a code
// without recorded months.
bool HistoricalSpan(int placeCode, long& firstDay, long& endDay);

// The recorded months that share a day with [fromDay, toDay), in order; at
// most `capacity`. Returns the count (0 for a code without recorded months).
int HistoricalMonthsBetween(int placeCode, long fromDay, long toDay, HistoricalMonth* out, int capacity);

}  // namespace orv
