#include "lunisolar/historical_calendar.h"

#include "data/historical_tables.h"

namespace orv {
namespace {

struct YearTable {
  const data::HistoricalYearRow* rows;
  int count;  // rows including the closing one
};

bool TableOf(int placeCode, YearTable& table) {
  if (placeCode == 0) table = {data::kHistoricalYears0, data::kHistoricalYearCount0};
  else if (placeCode == 1) table = {data::kHistoricalYears1, data::kHistoricalYearCount1};
  else return false;
  return table.count >= 2;
}

constexpr int kMonthsPerYear = 12;

}  // namespace

bool HistoricalSpan(int placeCode, long& firstDay, long& endDay) {
  YearTable table;
  if (!TableOf(placeCode, table)) return false;
  firstDay = table.rows[0].firstDay;
  endDay = table.rows[table.count - 1].firstDay;
  return true;
}

int HistoricalMonthsBetween(int placeCode, long fromDay, long toDay, HistoricalMonth* out, int capacity) {
  YearTable table;
  if (!TableOf(placeCode, table)) return 0;
  int count = 0;
  for (int i = 0; i + 1 < table.count; ++i) {
    const data::HistoricalYearRow& row = table.rows[i];
    const long yearEnd = table.rows[i + 1].firstDay;
    if (yearEnd <= fromDay) continue;
    if (row.firstDay >= toDay) break;
    // The months in calendar order: 1..12 without the skipped number, the
    // leap month right after the month whose number it carries.
    long first = row.firstDay;
    int index = 0;
    for (int n = 1; n <= kMonthsPerYear; ++n) {
      if (n == row.skippedMonth) continue;
      for (int leap = 0; leap <= (n == row.leapMonth ? 1 : 0); ++leap) {
        HistoricalMonth m;
        m.firstDay = first;
        m.year = row.year;
        m.month = n;
        m.leap = leap;
        m.length = (row.longMonths >> index & 1) ? 30 : 29;
        ++index;
        const bool lastOfYear = n == kMonthsPerYear || (n == kMonthsPerYear - 1 && row.skippedMonth == kMonthsPerYear);
        if (lastOfYear && leap == (n == row.leapMonth ? 1 : 0)) m.length = static_cast<int>(yearEnd - first);
        first += m.length;
        if (m.firstDay + m.length > fromDay && m.firstDay < toDay && count < capacity) out[count++] = m;
      }
    }
  }
  return count;
}

}  // namespace orv
