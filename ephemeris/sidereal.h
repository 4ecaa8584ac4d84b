// Greenwich sidereal time.
#pragma once

#include "ephemeris/context.h"

namespace orv {

// Greenwich apparent sidereal time, hours in [0, 24), at the instant `at`:
// its CurrentUT for the Earth rotation angle, its CurrentTT for precession,
// nutation and obliquity (by the settings in effect): the IAU 2006 mean sidereal time plus
// the equation of the equinoxes with its complementary terms (IERS
// Conventions 2003).
double ApparentSiderealTime(EngineContext& ctx, const TimeState& at);

// Greenwich mean sidereal time (IAU 2006, Capitaine et al. 2003), hours in
// [0, 24), for a UT1 and a TT Julian Day of the same instant.
double GreenwichMeanSiderealTime(double jdUT, double jdTT);

// The complementary terms of the equation of the equinoxes as this program
// applies them, arcseconds, T in Julian centuries of TT: the 33 periodic terms
// of the IERS Conventions 2003 and a secular term +0.87 microarcsecond T sin(Omega).
double EquinoxComplementaryTermsArcsec(double T);

}  // namespace orv
