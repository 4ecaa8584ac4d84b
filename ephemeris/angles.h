// Angle constants and normalisers shared by the whole engine.
#pragma once

#include <cmath>

#include "time/dates.h"  // kJ2000, the epoch of JulianCenturies

namespace orv {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2.0 * 3.141592653589793;
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;
constexpr double kArcsecToRad = 4.84813681109536e-06;
constexpr double kMasToRad = 4.84813681109536e-09;
constexpr double kMasToDeg = 2.7777777777777776e-07;
// Astronomical unit in km, and its inverse.
constexpr double kAuKm = 149597870.7;
constexpr double kKmToAu = 6.6845871222684464e-09;
// 1 / 36525 (Julian centuries per day).
constexpr long double kCenturiesPerDay = 2.7378507871321012e-05L;

// Reduce to [0, 360): remainders below 1e-13 in magnitude become 0.
double NormalizeDegrees(double x);
// Reduce to [0, 2 pi): remainders below 1e-13 in magnitude become 0.
double NormalizeRadians(double x);
// Reduce to [0, 360) by one floating remainder (no rounding of tiny values,
// unlike NormalizeDegrees: searches for a zero crossing need their sign).
inline double WrapDegrees(double x) {
  double r = std::fmod(x, 360.0);
  if (r < 0.0) r += 360.0;
  return r;
}
// Reduce to [-180, 180] (exactly, by the IEEE remainder): a signed
// difference of two longitudes, the form every crossing search takes.
inline double SignedDegrees(double x) { return std::remainder(x, 360.0); }

// Julian centuries of TT from J2000.0.
inline double JulianCenturies(double jdTT) {
  return static_cast<double>((jdTT - kJ2000) * kCenturiesPerDay);
}

}  // namespace orv
