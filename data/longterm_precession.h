// Long-term precession and obliquity: Chebyshev fits of the precession
// angles chi, omega, psi and of the mean obliquity of the ecliptic over
// +-20000 years from J2000.0, in five intervals of 80 centuries (8000 years)
// each. In an interval with centre Tc (centuries of TT from J2000.0) the value
// in degrees is sum(c[n] * T_n(x)) for n = 0..9, x = (T - Tc) / 40, T_n the
// Chebyshev polynomials of the first kind (c[0] taken whole). The three angles
// give the precession matrix of the "Owen1990" model (E(chi, -omega, -psi) .
// R1(eps0)); see ephemeris/earth_orientation.cpp.
#pragma once

namespace orv::data {

struct LongTermChebyshevInterval {
  double fromCenturies;   // lower bound, inclusive (Julian centuries of TT from J2000.0)
  double belowCenturies;  // upper bound, exclusive
  double centreCenturies;
  double coefficients[10];  // degrees, of T_0 .. T_9
};

inline constexpr int kLongTermIntervalCount = 5;
extern const LongTermChebyshevInterval kLongTermChi[kLongTermIntervalCount];
extern const LongTermChebyshevInterval kLongTermOmega[kLongTermIntervalCount];
extern const LongTermChebyshevInterval kLongTermPsi[kLongTermIntervalCount];
extern const LongTermChebyshevInterval kLongTermObliquity[kLongTermIntervalCount];

}  // namespace orv::data
