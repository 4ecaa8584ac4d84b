// Culmination search on an altitude function (included by horizontal.h).
#pragma once

#include <cmath>

#include "ephemeris/search.h"

namespace orv {

// Hourly samples of the culmination search: the 24 hours of one day.
constexpr int kCulminationHours = 24;
// Offset that makes an instant exactly at midnight belong to the day it starts.
constexpr double kMidnightOffsetDays = 0.49999999999999;

template <class AltitudeFunction>
double CulminationInWindow(AltitudeFunction&& altitudeDeg, double dayStartJD) {
  auto negative = [&](double t) { return -altitudeDeg(t); };
  const double dayEnd = dayStartJD + kCulminationHours * kHourDays;
  // Inside the day: more than the search's tolerance from either end.
  auto inside = [&](double t) { return t > dayStartJD + 2.0 * kTenthSecondDays && t < dayEnd - 2.0 * kTenthSecondDays; };
  // Hourly samples from the hour before the day to the hour after it, so that
  // a transit in the day's first or last hour is bracketed too; each maximum
  // is refined within the day, and the first one inside it is the transit.
  double fPrevious = altitudeDeg(dayStartJD - kHourDays);
  double fCurrent = altitudeDeg(dayStartJD);
  for (int hour = 0; hour <= kCulminationHours; ++hour) {
    const double t = dayStartJD + hour * kHourDays;
    const double fNext = altitudeDeg(t + kHourDays);
    if (fCurrent >= fPrevious && fCurrent >= fNext) {
      const double lo = std::fmax(t - kHourDays, dayStartJD), hi = std::fmin(t + kHourDays, dayEnd);
      const double found = SearchMinimum(negative, lo, hi, kTenthSecondDays);
      if (inside(found)) return found;
    }
    fPrevious = fCurrent;
    fCurrent = fNext;
  }
  // No transit in the day (the Moon's are 24.8 hours apart): the higher of
  // the day's two ends.
  return altitudeDeg(dayStartJD) >= altitudeDeg(dayEnd) ? dayStartJD : dayEnd;
}

template <class AltitudeFunction>
double CulminationOf(AltitudeFunction&& altitudeDeg, double jd) {
  return CulminationInWindow(altitudeDeg, std::floor(jd - kMidnightOffsetDays) + 0.5);
}

}  // namespace orv
