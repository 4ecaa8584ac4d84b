// Angle constants and normalisers shared by the whole engine.
#pragma once

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
constexpr double kJ2000JD = 2451545.0;

// Reduce to [0, 360): remainders below 1e-13 in magnitude become 0.
double NormalizeDegrees(double x);
// Reduce to [0, 2 pi): remainders below 1e-13 in magnitude become 0.
double NormalizeRadians(double x);

// Julian centuries of TT from J2000.0.
inline double JulianCenturies(double jdTT) {
  return static_cast<double>((jdTT - kJ2000JD) * kCenturiesPerDay);
}

}  // namespace orv
