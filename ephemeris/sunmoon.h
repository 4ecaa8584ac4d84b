// Apparent places of the Sun and the Moon: the one position function of every
// search (solar terms, syzygies, eclipses, rise and set). Dispatches to
// PLAN404 or the open JPL file by EphemerisCode.
#pragma once

#include "ephemeris/context.h"

namespace orv {

// Apparent geocentric places of the Sun and the Moon.
struct SunMoonPlaces {
  double SunLongitudeDeg = 0.0;   // apparent ecliptic longitude, [0, 360]
  double SunLatitudeDeg = 0.0;
  double SunDistanceKm = 0.0;
  double MoonLongitudeDeg = 0.0;
  double MoonLatitudeDeg = 0.0;
  double MoonDistanceKm = 0.0;
};

enum SunMoonBody : int { kBodySun = 0, kBodyMoon = 1, kBodySunAndMoon = 2 };
// New moon: elongation 0; full moon: 180 degrees.
enum SyzygyKind : int { kNewMoon = 0, kFullMoon = 1 };

enum SunMoonResult : int { kResultNone = 0, kResultSunLongitude = 1, kResultElongation = 2 };

// The apparent places of the selected bodies at `jd` (selected time system,
// zone offset already removed; the ephemeris is evaluated at its TT). The
// fields of a body not selected stay 0; all stay 0 when the ephemeris code is
// neither PLAN404 nor a JPL file the engine reads.
SunMoonPlaces ApparentSunMoonPlaces(EngineContext& ctx, int body, double jd);

// The Moon's longitude less the Sun's, degrees in [0, 360], of places where
// both bodies were selected.
double ElongationDeg(const SunMoonPlaces& p);

// The Sun's apparent longitude (result 1), the Moon-Sun elongation in
// [0, 360) (result 2, both bodies selected) or 0, degrees, of
// ApparentSunMoonPlaces(ctx, body, jd).
double SunMoonLongitude(EngineContext& ctx, int body, double jd, int result);

// The Moon-Sun elongation of SunMoonLongitude(ctx, kBodySunAndMoon, jd,
// kResultElongation), degrees in [0, 360), for the syzygy searches: the same
// instant, but with PLAN404 the nutation in longitude, common to
// both bodies, is left out of the difference.
double MoonSunElongation(EngineContext& ctx, double jd);

struct EquatorialPlace {
  double rightAscensionDeg = 0.0;  // [0, 360)
  double declinationDeg = 0.0;
  double distanceAu = 0.0;
};

// Apparent right ascension, declination and distance of the Sun (0) or the
// Moon (1) at `jd` (selected time system), with the true obliquity of date.
EquatorialPlace SunMoonEquatorial(EngineContext& ctx, int body, double jd);

// Ecliptic and equatorial places of the selected bodies at one instant, from
// one evaluation and one true obliquity (the places of a body not selected
// stay 0), with that instant's TT and UT (the sidereal time of the same
// moment needs them).
struct SunMoonFullPlaces {
  TimeState at;
  SunMoonPlaces ecliptic;
  EquatorialPlace sun;
  EquatorialPlace moon;
};
SunMoonFullPlaces ApparentSunMoonFullPlaces(EngineContext& ctx, int body, double jd);

void SphericalToRectangular(double alphaDeg, double deltaDeg, double r, double& x, double& y, double& z);

}  // namespace orv
