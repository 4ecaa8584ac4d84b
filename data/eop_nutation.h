// Correction of the nutation in longitude for the observed celestial pole
// offsets, 1962-2013: in each row a fit, in milliarcseconds, of a constant
// plus three periodic terms of T (Julian centuries of TT from J2000.0):
//   c = a0 + a1 cos(2 pi T / 12) + b1 sin(2 pi T / 12)
//          + a2 cos(2 pi T / P2) + b2 sin(2 pi T / P2)
//          + a3 cos(2 pi T / P3) + b3 sin(2 pi T / P3)     (P in Julian centuries)
// The values are single-precision numbers, kept as such.
#pragma once

namespace orv::data {

struct EopNutationRow {
  double fromJD;   // TT Julian Day where the row starts
  double belowJD;  // the row applies below this TT Julian Day
  float a0, a1, b1, p2, a2, b2, p3, a3, b3;  // mas; periods in Julian centuries
};

inline constexpr int kEopNutationRowCount = 26;
extern const EopNutationRow kEopNutationRows[kEopNutationRowCount];

}  // namespace orv::data
