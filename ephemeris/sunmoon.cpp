#include "ephemeris/sunmoon.h"

#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/earth_orientation.h"
#include "ephemeris/jpl_position.h"
#include "ephemeris/jpl_reader.h"
#include "ephemeris/plan404.h"

namespace orv {
namespace {

// Corrections of the PLAN404 longitudes towards the pole-offset corrected
// frame (milliarcseconds, polynomials in Julian centuries of TT).
double SunEopCorrectionMas(double T) {
  return -359.722696 + T * (191.46554 + T * (10.10807 + T * (0.24636 + T * (0.000144214 + T * -4.18312e-05))));
}
double MoonEopCorrectionMas(double T) {
  return 18.178159 + T * (168.28873 + T * (-69.3685 + T * (1.129545 + T * (0.025369 + T * -2.94926e-05))));
}

// One step into [0, 360]: the corrections are small.
double WrapOnce(double deg) {
  if (deg < 0.0) return deg + 360.0;
  if (deg > 360.0) return deg - 360.0;
  return deg;
}

void Plan404Places(EngineContext& ctx, int body, double jdTT, SunMoonPlaces& places) {
  const double nutationDeg = NutationInLongitudeDegrees(ctx, jdTT);
  const double T = JulianCenturies(jdTT);
  const bool eop = EopCorrectionOn(ctx.settings);
  double sun[3], moon[3];
  if (body == kBodySunAndMoon) Plan404SunAndMoon(ctx, jdTT, sun, moon);
  else Plan404Position(ctx, jdTT, body == kBodyMoon ? 1 : 0, body == kBodyMoon ? moon : sun);
  if (body == kBodySun || body == kBodySunAndMoon) {
    const double* out = sun;
    const double distanceKm = out[2] * kAuKm;
    double lon = out[0] * kRadToDeg + nutationDeg + SolarAberrationDegrees(jdTT, distanceKm);
    if (eop) lon += SunEopCorrectionMas(T) * kMasToDeg;
    places.SunLongitudeDeg = WrapOnce(lon);
    places.SunLatitudeDeg = out[1] * kRadToDeg;
    places.SunDistanceKm = distanceKm;
  }
  if (body == kBodyMoon || body == kBodySunAndMoon) {
    const double* out = moon;
    double lon = out[0] * kRadToDeg + nutationDeg;
    if (eop) lon += MoonEopCorrectionMas(T) * kMasToDeg;
    places.MoonLongitudeDeg = WrapOnce(lon);
    places.MoonLatitudeDeg = out[1] * kRadToDeg;
    places.MoonDistanceKm = out[2] * kAuKm;
  }
}

// Apparent places from the open JPL file. The reader keeps the record it
// holds when the next request falls in it; a restart before each request
// would only read the same record again (the results are identical).
void JplPlaces(EngineContext& ctx, int body, int code, double jdTT, SunMoonPlaces& places) {
  if (body == kBodySun || body == kBodySunAndMoon) {
    const JplPositionResult r = JplApparentPosition(ctx, code, jdTT, kJplSun, kJplApparent);
    places.SunLongitudeDeg = r.Longitude * kRadToDeg;
    places.SunLatitudeDeg = r.Latitude * kRadToDeg;
    places.SunDistanceKm = r.GeometricDistance * kAuKm;
  }
  if (body == kBodyMoon || body == kBodySunAndMoon) {
    const JplPositionResult r = JplApparentPosition(ctx, code, jdTT, kJplMoon, kJplApparent);
    places.MoonLongitudeDeg = r.Longitude * kRadToDeg;
    places.MoonLatitudeDeg = r.Latitude * kRadToDeg;
    places.MoonDistanceKm = r.GeometricDistance * kAuKm;
  }
}

// The places of the selected bodies at the instant `at`.
SunMoonPlaces PlacesAt(EngineContext& ctx, int body, const TimeState& at) {
  SunMoonPlaces places;
  const int code = ctx.settings.EphemerisCode;
  if (code == kEphemerisPlan404) Plan404Places(ctx, body, at.CurrentTT, places);
  else if (code == kEphemerisDe431 || code == kEphemerisDe441) JplPlaces(ctx, body, code, at.CurrentTT, places);
  return places;
}

}  // namespace

double ElongationDeg(const SunMoonPlaces& p) {
  double e = p.MoonLongitudeDeg - p.SunLongitudeDeg;
  if (e < 0.0) e += 360.0;
  return e;
}

SunMoonPlaces ApparentSunMoonPlaces(EngineContext& ctx, int body, double jd) {
  return PlacesAt(ctx, body, InstantAt(ctx.settings, jd));
}

double SunMoonLongitude(EngineContext& ctx, int body, double jd, int result) {
  if (result == kResultSunLongitude) return ApparentSunMoonPlaces(ctx, body, jd).SunLongitudeDeg;
  if (result == kResultElongation) {
    return ElongationDeg(ApparentSunMoonPlaces(ctx, body, jd));
  }
  ApparentSunMoonPlaces(ctx, body, jd);
  return 0.0;
}

double MoonSunElongation(EngineContext& ctx, double jd) {
  if (ctx.settings.EphemerisCode != kEphemerisPlan404)
    return SunMoonLongitude(ctx, kBodySunAndMoon, jd, kResultElongation);
  const double jdTT = InstantAt(ctx.settings, jd).CurrentTT;
  double sun[3], moon[3];
  Plan404SunAndMoon(ctx, jdTT, sun, moon);
  const double sunDistanceKm = sun[2] * kAuKm;
  double e = (moon[0] - sun[0]) * kRadToDeg - SolarAberrationDegrees(jdTT, sunDistanceKm);
  if (EopCorrectionOn(ctx.settings)) {
    const double T = JulianCenturies(jdTT);
    e += (MoonEopCorrectionMas(T) - SunEopCorrectionMas(T)) * kMasToDeg;
  }
  return WrapDegrees(e);
}

namespace {

// Ecliptic longitude and latitude (degrees) and distance (km) to equatorial
// coordinates with the obliquity `eps` (rad).
EquatorialPlace EclipticToEquatorial(double lambdaDeg, double betaDeg, double distanceKm, double eps) {
  const double lambda = lambdaDeg * kDegToRad;
  const double beta = betaDeg * kDegToRad;
  EquatorialPlace p;
  double alpha = std::atan2(std::cos(eps) * std::sin(lambda) - std::sin(eps) * std::tan(beta), std::cos(lambda)) *
                 kRadToDeg;
  if (alpha < 0.0) alpha += 360.0;
  p.rightAscensionDeg = alpha;
  p.declinationDeg =
      std::asin(std::sin(eps) * std::cos(beta) * std::sin(lambda) + std::cos(eps) * std::sin(beta)) * kRadToDeg;
  p.distanceAu = distanceKm * kKmToAu;
  return p;
}

}  // namespace

SunMoonFullPlaces ApparentSunMoonFullPlaces(EngineContext& ctx, int body, double jd) {
  SunMoonFullPlaces out;
  out.at = InstantAt(ctx.settings, jd);
  out.ecliptic = PlacesAt(ctx, body, out.at);
  const SunMoonPlaces& p = out.ecliptic;
  const double eps = TrueObliquity(ctx, out.at.CurrentTT).rad;
  if (body == kBodySun || body == kBodySunAndMoon)
    out.sun = EclipticToEquatorial(p.SunLongitudeDeg, p.SunLatitudeDeg, p.SunDistanceKm, eps);
  if (body == kBodyMoon || body == kBodySunAndMoon)
    out.moon = EclipticToEquatorial(p.MoonLongitudeDeg, p.MoonLatitudeDeg, p.MoonDistanceKm, eps);
  return out;
}

EquatorialPlace SunMoonEquatorial(EngineContext& ctx, int body, double jd) {
  const SunMoonFullPlaces p = ApparentSunMoonFullPlaces(ctx, body, jd);
  return body == kBodyMoon ? p.moon : p.sun;
}

void SphericalToRectangular(double alphaDeg, double deltaDeg, double r, double& x, double& y, double& z) {
  const double a = alphaDeg * kDegToRad, d = deltaDeg * kDegToRad;
  x = r * std::cos(d) * std::cos(a);
  y = r * std::cos(d) * std::sin(a);
  z = r * std::sin(d);
}

}  // namespace orv
