// Apparent places of the Sun and the Moon: the one position function of every
// search (solar terms, syzygies, eclipses, rise and set). Dispatches to
// PLAN404 or the open JPL file by EphemerisCode.
#pragma once

#include "ephemeris/context.h"

namespace orv {

enum SunMoonBody : int { kBodySun = 0, kBodyMoon = 1, kBodySunAndMoon = 2 };
enum SunMoonResult : int { kResultNone = 0, kResultSunLongitude = 1, kResultElongation = 2 };

// Sets the current instant to `jd` (selected time system, zone offset already
// removed), derives TT and UT, fills ctx.places for the selected bodies and
// returns the Sun's apparent longitude (result 1), the Moon-Sun elongation in
// [0, 360) (result 2, both bodies selected) or 0. Degrees.
double SunMoonLongitude(EngineContext& ctx, int body, double jd, int result);

// The Moon-Sun elongation of SunMoonLongitude(ctx, kBodySunAndMoon, jd,
// kResultElongation), degrees in [0, 360), for the syzygy searches: the same
// current instant, but with PLAN404 the nutation in longitude, common to
// both bodies, is left out of the difference and ctx.places is not filled.
double MoonSunElongation(EngineContext& ctx, double jd);

struct EquatorialPlace {
  double rightAscensionDeg = 0.0;  // [0, 360)
  double declinationDeg = 0.0;
  double distanceAu = 0.0;
};

// Apparent right ascension, declination and distance of the Sun (0) or the
// Moon (1) at `jd` (selected time system), with the true obliquity of date.
EquatorialPlace SunMoonEquatorial(EngineContext& ctx, int body, double jd);

// Both places of SunMoonEquatorial at one instant from one evaluation of the
// Sun and the Moon and one true obliquity (the same numbers as two calls).
void SunMoonEquatorialBoth(EngineContext& ctx, double jd, EquatorialPlace& sun, EquatorialPlace& moon);

void SphericalToRectangular(double alphaDeg, double deltaDeg, double r, double& x, double& y, double& z);

}  // namespace orv
