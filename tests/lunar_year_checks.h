// Checks shared by the lunar-year tests: a table's months follow one another
// as a lunar calendar's must, and neighbouring tables give a shared day the
// same lunar date.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "lunisolar/year_tables.h"
#include "time/dates.h"

namespace orv::testing {

struct LunarDay {
  PackedDate lunarDate;
  int leap;
};

inline std::string DayText(PackedDate date, int leap = 0) {
  int y, m, d;
  UnpackDate(date, y, m, d);
  return std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d) + (leap ? " leap" : "");
}

// The faults of one table's month sequence: a day without a lunar date, a
// month that does not follow the one before (the next number, or the same
// number as a leap month), a leap month right after another.
inline std::vector<std::string> MonthSequenceFaults(const YearTables& t) {
  std::vector<std::string> faults;
  int prevYear = 0, prevMonth = 0, prevLeap = -1;
  for (int s = 0; s < t.DayTableCount; ++s) {
    const DayRecord& r = t.DayTable[s];
    if (r.lunarDate == 0) {
      faults.push_back("no lunar date on " + DayText(r.solarDate));
      prevLeap = -1;
      continue;
    }
    int y, m, d;
    UnpackDate(r.lunarDate, y, m, d);
    if (d != 1) continue;
    if (prevLeap >= 0) {
      const int nextYear = prevMonth == 12 ? prevYear + 1 : prevYear;
      const int nextMonth = prevMonth == 12 ? 1 : prevMonth + 1;
      const bool follows = r.leap ? (y == prevYear && m == prevMonth && prevLeap == 0)
                                  : (y == nextYear && m == nextMonth);
      if (!follows)
        faults.push_back(DayText(r.lunarDate, r.leap) + " on " + DayText(r.solarDate) + " after " +
                         DayText(PackDate(prevYear, prevMonth, 1), prevLeap));
    }
    prevYear = y;
    prevMonth = m;
    prevLeap = r.leap;
  }
  return faults;
}

// Julian Day Number of each day of the table and its lunar date.
inline std::map<long, LunarDay> LunarDays(const YearTables& t) {
  std::map<long, LunarDay> days;
  for (int s = 0; s < t.DayTableCount; ++s)
    days[static_cast<long>(PackedDateToJulianDay(t.DayTable[s].solarDate) + 0.5)] = {t.DayTable[s].lunarDate,
                                                                                    t.DayTable[s].leap};
  return days;
}

// The days both tables hold with different lunar dates, as texts.
inline std::vector<std::string> SharedDayDifferences(const std::map<long, LunarDay>& a, const YearTables& b) {
  std::vector<std::string> differences;
  for (int s = 0; s < b.DayTableCount; ++s) {
    const DayRecord& r = b.DayTable[s];
    const auto it = a.find(static_cast<long>(PackedDateToJulianDay(r.solarDate) + 0.5));
    if (it == a.end()) continue;
    if (it->second.lunarDate != r.lunarDate || it->second.leap != r.leap)
      differences.push_back(DayText(r.solarDate) + ": " + DayText(it->second.lunarDate, it->second.leap) + " / " +
                            DayText(r.lunarDate, r.leap));
  }
  return differences;
}

inline std::string FirstLines(const std::vector<std::string>& lines, size_t count = 10) {
  std::string text;
  for (size_t i = 0; i < lines.size() && i < count; ++i) text += lines[i] + "\n";
  return text;
}

}  // namespace orv::testing
