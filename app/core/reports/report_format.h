// Formatting helpers of the report texts (app/core only).
#pragma once

#include <cstdio>
#include <string>

#include "time/dates.h"
#include "time/text_format.h"

namespace orv::report {

using ::orv::Format;

inline std::string Repeat(char c, int count) { return std::string(static_cast<std::size_t>(count), c); }

// A civil date-time whose seconds are rounded to 0.1 s, with a rounding up to
// 60.0 carried into the minute (and on through hour, day, month and year),
// so that "%04.1f" never prints 60.0.
struct TenthsTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  double seconds = 0.0;  // 0.0 .. 59.9, a multiple of 0.1
};
TenthsTime RoundToTenths(int y, int m, int d, int h, int mi, double seconds);
// The same for an instant.
TenthsTime JulianDayToTenths(double jd);

}  // namespace orv::report
