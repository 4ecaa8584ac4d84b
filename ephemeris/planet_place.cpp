#include "ephemeris/planet_place.h"

#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/earth_orientation.h"
#include "ephemeris/plan404.h"

namespace orv {
namespace {

// Equatorial coordinates of an ecliptic direction of date (obliquity in radians).
void EclipticToEquatorial(double lonDeg, double latDeg, double epsRad, double& raDeg, double& decDeg) {
  const double l = lonDeg * kDegToRad, b = latDeg * kDegToRad;
  raDeg = NormalizeDegrees(std::atan2(std::sin(l) * std::cos(epsRad) - std::tan(b) * std::sin(epsRad), std::cos(l)) *
                           kRadToDeg);
  decDeg = std::asin(std::sin(b) * std::cos(epsRad) + std::cos(b) * std::sin(epsRad) * std::sin(l)) * kRadToDeg;
}

// Rectangular coordinates of polar ones (radians, any length unit).
void Rectangular(double lon, double lat, double r, double v[3]) {
  v[0] = r * std::cos(lat) * std::cos(lon);
  v[1] = r * std::cos(lat) * std::sin(lon);
  v[2] = r * std::sin(lat);
}

}  // namespace

GeocentricPlace Plan404PlanetPlace(EngineContext& ctx, int body, double jdTT) {
  double sun[3];
  Plan404Position(ctx, jdTT, 0, sun);  // geocentric Sun = -(heliocentric Earth)
  Plan404Request planet;
  planet.Body = body;
  planet.JD = jdTT;
  Plan404Body(ctx, planet);
  double p[3], s[3];
  Rectangular(planet.Longitude, planet.Latitude, planet.Radius, p);
  Rectangular(sun[0], sun[1], sun[2], s);
  const double g[3] = {p[0] + s[0], p[1] + s[1], p[2] + s[2]};
  const double r = std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]);
  GeocentricPlace out;
  out.longitudeDeg = NormalizeDegrees(std::atan2(g[1], g[0]) * kRadToDeg + NutationInLongitudeDegrees(ctx, jdTT));
  out.latitudeDeg = std::asin(g[2] / r) * kRadToDeg;
  out.distanceAu = r;
  EclipticToEquatorial(out.longitudeDeg, out.latitudeDeg, TrueObliquity(ctx, jdTT).rad, out.rightAscensionDeg,
                       out.declinationDeg);
  return out;
}

}  // namespace orv
