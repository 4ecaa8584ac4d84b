// Apparent geocentric places from a JPL ephemeris: light time with the
// relativistic delay, gravitational deflection by the Sun, annual aberration,
// precession and nutation.
#pragma once

#include "ephemeris/context.h"

namespace orv {

enum JplPositionModes : int {
  kJplAstrometric = 0,  // light-time corrected direction in the ICRF (J2000)
  kJplApparent = 1,     // apparent place of date
};

// Apparent or astrometric place of one body from a JPL ephemeris.
struct JplPositionResult {
  double Longitude = 0.0;          // rad, [0, 2 pi), true ecliptic and equinox of date
  double Latitude = 0.0;           // rad
  double X = 0.0, Y = 0.0, Z = 0.0;  // AU, final direction x geometric distance
  double GeometricDistance = 0.0;  // AU, without light time
  double LightTime = 0.0;          // days
  double LightTimeDistance = 0.0;  // AU
  double RightAscension = 0.0;     // rad, [0, 2 pi)
  double Declination = 0.0;        // rad
};

// DE number of an ephemeris code: 6 -> 406, 7 -> 422, 8 -> 431, 9 -> 441;
// 0 for any other code.
int JplDeNumber(int ephemerisCode);

// Geocentric place of `target` (1..11 without 3, JPL body numbers) at a TT
// Julian Day, from the ephemeris open in ctx.jpl.
// The header is re-read with the DE number of `ephemerisCode` (6..9); states
// are taken in AU and relative to the solar-system barycentre. The record in
// the reader's buffer is reused when it holds the instant; JplRestart before
// the call makes the request read its record afresh (same results).
// mode 1: apparent place of date (true equator and equinox, precession and
// nutation by the settings); mode 0: the light-time corrected ICRF direction,
// whose ecliptic coordinates still use the true obliquity of date. The
// ephemeris frame is taken as the mean equator and equinox of J2000.0 (no
// frame bias).
// Throws JplError when no ephemeris is open, the code has no DE number, the
// target is not a body, or the instant (or the light-time instant) is outside
// the file.
// References: Kaplan et al., USNO Circular 179 (2005), sections 7.2 to 7.5;
// Explanatory Supplement to the Astronomical Almanac (1992), 3.3.
JplPositionResult JplApparentPosition(EngineContext& ctx, int ephemerisCode, double jdTT, int target, int mode);

}  // namespace orv
