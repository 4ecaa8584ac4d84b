// Where a solar eclipse is seen: the central line with the width of the
// umbral (antumbral) path, the two limits of the path and the two limits of
// the partial phase, on the Earth's ellipsoid, from the Besselian elements of
// eclipse_global.h.
#pragma once

#include <vector>

#include "eclipses/eclipse_global.h"

namespace orv {

struct GeoPoint {
  double lonDeg = 0.0;  // east positive, (-180, 180]
  double latDeg = 0.0;  // geodetic
};
using GeoLine = std::vector<GeoPoint>;

struct CentralLinePoint {
  double jd = 0.0;  // the selected time system, zone offset removed
  double lonDeg = 0.0, latDeg = 0.0;
  double widthKm = 0.0;  // of the path, across the central line (0 until the limits are known)
  double sunAltitudeDeg = 0.0;  // at the point (from its height above the fundamental plane)
};

struct EclipsePath {
  std::vector<CentralLinePoint> central;  // while the shadow axis meets the Earth
  // Runs of points of each limit (a limit leaves the Earth and comes back in
  // parts): the path's edges [0] and [1], and the partial phase's edges.
  std::vector<GeoLine> umbralLimits[2];
  std::vector<GeoLine> penumbralLimits[2];
  // Where the edge of the penumbra crosses the Earth's limb as seen from the
  // Sun: the places where the partial eclipse begins or ends with the Sun on
  // the horizon (the curves of the first and last contact at sunrise and
  // sunset), one on each side of the shadow's axis.
  std::vector<GeoLine> horizonLimits[2];
};

// The central line and the limits between the contacts P1 and P4 of a solar
// eclipse, every `stepDays`; the central line also at U1/U4's ends where the
// axis meets the Earth. The width at each central point is the distance
// across the path between its two limits (km, on the ellipsoid's mean
// sphere). `greatestJD` and the contacts come from FindGreatestSolarEclipse
// and SolarEclipseContacts.
EclipsePath ComputeEclipsePath(EngineContext& ctx, const ContactTimes& contacts, double stepDays);

// Great-circle distance on the mean Earth sphere, km.
double GroundDistanceKm(const GeoPoint& a, const GeoPoint& b);

}  // namespace orv
