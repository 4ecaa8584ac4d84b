// Culmination search on an altitude function (included by horizontal.h).
#pragma once

#include <cmath>

#include "ephemeris/search.h"

namespace orv {

// Window of the culmination search: the civil day from 0h, sampled hourly,
// with at most 24 one-hour shifts of the sampling triple.
constexpr int kCulminationShifts = 24;
// Offset that makes an instant exactly at midnight belong to the day it starts.
constexpr double kMidnightOffsetDays = 0.49999999999999;

template <class AltitudeFunction>
double CulminationOf(AltitudeFunction&& altitudeDeg, double jd) {
  const double midnight = std::floor(jd - kMidnightOffsetDays) + 0.5;
  double t1 = midnight, t2 = midnight + kHourDays, t3 = midnight + 2.0 * kHourDays;
  double f1 = altitudeDeg(t1), f2 = altitudeDeg(t2), f3 = altitudeDeg(t3);
  for (int shift = 0; shift < kCulminationShifts; ++shift) {
    const bool turns = (f3 - f2) * (f2 - f1) <= 0.0;
    const bool isLow = f2 < f1 && f2 < f3;
    if (turns && !isLow) break;
    t1 = t2;
    t2 = t3;
    t3 += kHourDays;
    f1 = f2;
    f2 = f3;
    f3 = altitudeDeg(t3);
  }
  // Highest altitude = lowest of its negative.
  return SearchMinimum([&](double t) { return -altitudeDeg(t); }, t1, t3, kTenthSecondDays);
}

}  // namespace orv
