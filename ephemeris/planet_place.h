// Geocentric places of the planets from the built-in PLAN404 theory.
#pragma once

#include "ephemeris/context.h"

namespace orv {

// Ecliptic and equatorial coordinates of date of a geocentric place.
struct GeocentricPlace {
  double rightAscensionDeg = 0.0;  // [0, 360)
  double declinationDeg = 0.0;
  double longitudeDeg = 0.0;  // [0, 360), ecliptic of date
  double latitudeDeg = 0.0;
  double distanceAu = 0.0;
};

// Geocentric place of a planet (PLAN404 numbering: 1 Mercury, 2 Venus, 4 Mars
// .. 9 Pluto) at a TT Julian Day: the planet's heliocentric place of date minus
// the heliocentric Earth, with the nutation in longitude added and the true
// obliquity for the equatorial coordinates. Geometric: no light time, no
// aberration. Accuracy that of PLAN404 (arc-seconds over -3000..3000).
GeocentricPlace Plan404PlanetPlace(EngineContext& ctx, int body, double jdTT);

}  // namespace orv
