// Reads a reference lunar calendar (one line per lunar month: lunar year,
// month, leap flag, civil date of day 1, length) into a map from the civil
// day number (Julian Day at noon) to the lunar date.
#pragma once

#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "time/dates.h"

namespace orv::testing {

struct LunarDay {
  int year, month, day, leap;
};

inline std::map<long, LunarDay> LoadLunarMonths(const std::string& path) {
  std::map<long, LunarDay> days;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#' || line[0] == 'l') continue;
    int ly, lm, leap, y, m, d, length;
    // The civil year may be negative: "-100-3-4".
    if (std::sscanf(line.c_str(), "%d,%d,%d,%d-%d-%d,%d", &ly, &lm, &leap, &y, &m, &d, &length) != 7) continue;
    const long first = static_cast<long>(CalendarToJulianDay(y, m, d));
    for (int i = 0; i < length; ++i) days[first + i] = {ly, lm, i + 1, leap};
  }
  return days;
}

}  // namespace orv::testing
