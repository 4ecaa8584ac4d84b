#include "lunisolar/historical_calendar.h"

#include "data/historical_tables.h"

namespace orv {
namespace {

// A place's rows: the rows it shares with another place (the years it kept
// that place's calendar) followed by its own, then the closing row.
struct YearTable {
  const data::HistoricalYearRow* shared = nullptr;
  int sharedCount = 0;
  const data::HistoricalYearRow* own = nullptr;
  int ownCount = 0;  // including the closing row

  int count() const { return sharedCount + ownCount; }
  const data::HistoricalYearRow& row(int i) const { return i < sharedCount ? shared[i] : own[i - sharedCount]; }
};

bool TableOf(int placeCode, YearTable& table) {
  table = {};
  if (placeCode == 0) {
    // Korea kept the Chinese calendar before its own rows begin.
    table.own = data::kHistoricalYears0;
    table.ownCount = data::kHistoricalYearCount0;
    table.shared = data::kHistoricalYears1;
    while (table.sharedCount < data::kHistoricalYearCount1 && table.ownCount > 0 &&
           data::kHistoricalYears1[table.sharedCount].year < data::kHistoricalYears0[0].year)
      ++table.sharedCount;
  } else if (placeCode == 1) {
    table.own = data::kHistoricalYears1;
    table.ownCount = data::kHistoricalYearCount1;
  } else {
    return false;
  }
  return table.count() >= 2;
}

constexpr int kMonthsPerYear = 12;

}  // namespace

bool HistoricalSpan(int placeCode, long& firstDay, long& endDay) {
  YearTable table;
  if (!TableOf(placeCode, table)) return false;
  firstDay = table.row(0).firstDay;
  endDay = table.row(table.count() - 1).firstDay;
  return true;
}

int HistoricalMonthsBetween(int placeCode, long fromDay, long toDay, HistoricalMonth* out, int capacity) {
  YearTable table;
  if (!TableOf(placeCode, table)) return 0;
  int count = 0;
  for (int i = 0; i + 1 < table.count(); ++i) {
    const data::HistoricalYearRow& row = table.row(i);
    const long yearEnd = table.row(i + 1).firstDay;
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
