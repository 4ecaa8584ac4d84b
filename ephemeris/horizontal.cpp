#include "ephemeris/horizontal.h"

#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/sidereal.h"
#include "ephemeris/sunmoon.h"

namespace orv {
namespace {

// Earth's equatorial radius in AU (6378.1363 km): horizontal parallax.
constexpr double kEarthRadiusAu = 4.2635207775052915e-05;
// The fixed atmosphere of the refraction: pressure in mbar, temperature in C.
constexpr double kPressureMbar = 1013.0;
constexpr double kTemperatureC = 20.0;
// Above this true altitude (degrees) the tangent formula is used.
constexpr double kLowAltitudeLimitDeg = 15.0;
// Below this true altitude (degrees) there is no refraction.
constexpr double kNoRefractionBelowDeg = -2.0;
constexpr int kRefractionSecantSteps = 4;

// Refraction (degrees) at an apparent altitude `x` in degrees: Bennett's
// cotangent formula (arcminutes) with the pressure and temperature factor.
double LowAltitudeRefraction(double xDeg) {
  const double c = 1.0 / std::tan((xDeg + 7.31 / (xDeg + 4.4)) * kDegToRad);
  return c * (kPressureMbar - 80.0) / 930.0 / ((c + 39.0) * (kTemperatureC - 10.0) * 0.0048 + 60.0);
}

}  // namespace

double AtmosphericRefraction(double altitudeDeg) {
  const double h = altitudeDeg;
  if (!(h >= kNoRefractionBelowDeg) || h >= 90.0) return 0.0;
  if (h > kLowAltitudeLimitDeg)
    return 0.00452 * kPressureMbar / ((273.0 + kTemperatureC) * std::tan(h * kDegToRad));
  // Solve x = h + R(x) for the apparent altitude x by secant steps.
  double x = h, xPrevious = h, rPrevious = 0.0, r = 0.0;
  for (int step = 0; step < kRefractionSecantSteps; ++step) {
    r = LowAltitudeRefraction(x);
    const double dx = x - xPrevious;
    const double d = (r - rPrevious) - dx;
    const double next = (dx == 0.0 || d == 0.0) ? h + r : x - ((h + r - x) * dx) / d;
    xPrevious = x;
    rPrevious = r;
    x = next;
  }
  return r;
}

double Atan2Angle(double x, double y) {
  if (x == 0.0) {
    if (y < 0.0) return 1.5 * kPi;
    return y == 0.0 ? 0.0 : 0.5 * kPi;
  }
  if (y == 0.0) return x < 0.0 ? kPi : 0.0;
  const double a = std::atan(y / x);
  if (x < 0.0) return a + kPi;
  return y < 0.0 ? a + kTwoPi : a;
}

void HorizontalCoordinates(EngineContext& ctx, double jd, int body, const double raDecRad[2], double distanceAu,
                           HorizontalPosition& out) {
  const double localSiderealRad = (ApparentSiderealTime(ctx, InstantAt(ctx.settings, jd)) * 15.0 + ctx.observer.LongitudeDeg) * kDegToRad;
  const double hourAngle = localSiderealRad - raDecRad[0];
  const double delta = raDecRad[1];
  const double phi = ctx.observer.LatitudeDeg * kDegToRad;
  const double cosDelta = std::cos(delta), sinDelta = std::sin(delta);
  const double cosPhi = std::cos(phi), sinPhi = std::sin(phi);
  const double cosH = std::cos(hourAngle);

  const double x = sinDelta * cosPhi - cosDelta * sinPhi * cosH;
  const double y = -cosDelta * std::sin(hourAngle);
  out.azimuthDeg = Atan2Angle(x, y) * kRadToDeg;

  double h = std::asin(cosDelta * cosPhi * cosH + sinDelta * sinPhi);
  if ((body == kHorizontalSun || body == kHorizontalMoon) && distanceAu > 0.0)
    h -= std::asin(ctx.observer.ObserverRadius * (kEarthRadiusAu / distanceAu) * std::cos(h));
  out.altitudeDeg = h * kRadToDeg;
  out.apparentAltitudeDeg = out.altitudeDeg + AtmosphericRefraction(out.altitudeDeg);
}

double CulminationInDay(EngineContext& ctx, int body, double dayStartJD) {
  const int which = body == kHorizontalMoon ? kBodyMoon : kBodySun;
  return CulminationInWindow(
      [&](double t) {
        const EquatorialPlace p = SunMoonEquatorial(ctx, which, t);
        const double raDec[2] = {p.rightAscensionDeg * kDegToRad, p.declinationDeg * kDegToRad};
        HorizontalPosition pos;
        HorizontalCoordinates(ctx, t, which, raDec, p.distanceAu, pos);
        return pos.altitudeDeg;
      },
      dayStartJD);
}

double CulminationInstant(EngineContext& ctx, int body, double jd) {
  return CulminationInDay(ctx, body, std::floor(jd - kMidnightOffsetDays) + 0.5);
}

}  // namespace orv
