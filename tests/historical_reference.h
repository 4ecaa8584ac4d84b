// Reads the compact lunar month lists of tests/data (one line per run of months
// of one lunar year: "LUNAR_YEAR FIRST_DAY TOKEN...", a token being "*" for a
// leap month, the month number, then "s" for 29 days, "b" for 30 or "=N"; see
// tools/reference/month_list.js) into a map from the civil day to its lunar
// date, keyed like LoadLunarMonths (the Julian Day of the date, truncated).
#pragma once

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "lunar_calendar_reference.h"
#include "time/dates.h"

namespace orv::testing {

inline std::map<long, LunarDay> LoadCompactLunarMonths(const std::string& path) {
  std::map<long, LunarDay> days;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    int lunarYear = 0, y = 0, m = 0, d = 0;
    std::string date, token;
    if (!(words >> lunarYear >> date) || std::sscanf(date.c_str(), "%d-%d-%d", &y, &m, &d) != 3) continue;
    long first = static_cast<long>(CalendarToJulianDay(y, m, d));
    while (words >> token) {
      const int leap = token[0] == '*' ? 1 : 0;
      const char* p = token.c_str() + leap;
      int month = 0, length = 0, used = 0;
      if (std::sscanf(p, "%d%n", &month, &used) != 1) break;
      const char size = p[used];
      if (size == 's') length = 29;
      else if (size == 'b') length = 30;
      else if (size != '=' || std::sscanf(p + used + 1, "%d", &length) != 1) break;
      for (int i = 0; i < length; ++i) days[first + i] = {lunarYear, month, i + 1, leap};
      first += length;
    }
  }
  return days;
}

}  // namespace orv::testing
