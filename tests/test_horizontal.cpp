// Horizontal coordinates, refraction and culmination. References:
// - ERFA 2.0 (Debian liberfa) eraHd2ae for the conversion of hour angle and
//   declination to azimuth and altitude;
// - the tangent refraction formula 0.00452 P / ((273 + T) tan h) degrees and
//   Bennett's cotangent formula (Journal of Navigation 35, 1982), as in the
//   Explanatory Supplement to the Astronomical Almanac; Saemundsson's formula
//   (Sky & Telescope 72, 1986) for an independent value at the horizon;
// - the topocentric parallax in altitude, sin p = rho sin(pi) cos h (Meeus,
//   Astronomical Algorithms, ch. 40).
#include <gtest/gtest.h>

#include <cmath>

#ifdef ORVANTA_HAVE_ERFA
#include <erfa.h>
#endif

#include "ephemeris/angles.h"
#include "ephemeris/horizontal.h"
#include "ephemeris/sidereal.h"
#include "ephemeris/sunmoon.h"
#include "time/dates.h"

namespace orv {
namespace {

constexpr double kArcminDeg = 1.0 / 60.0;
constexpr double kArcsecDeg = 1.0 / 3600.0;
constexpr double kSecondDays = 1.0 / 86400.0;

struct Engine {
  CalcSettings settings = DefaultSettings();
  Observer observer;
  EngineContext ctx{settings, observer};
  Engine(double lonDeg, double latDeg, int timeSystem = kTimeUT) {
    settings.TimeSystemCode = timeSystem;
    UpdateZoneOffset(settings);
    observer.LongitudeDeg = lonDeg;
    observer.LatitudeDeg = latDeg;
    ObserverGeocentric(observer);
  }
};

// Bennett's refraction for an apparent altitude, with the pressure and
// temperature factor of the Explanatory Supplement (degrees).
double Bennett(double apparentDeg, double p = 1013.0, double t = 20.0) {
  const double c = 1.0 / std::tan((apparentDeg + 7.31 / (apparentDeg + 4.4)) * kDegToRad);
  return c * (p - 80.0) / 930.0 / (60.0 * (1.0 + 8e-5 * (c + 39.0) * (t - 10.0)));
}

TEST(Refraction, LimitsAndTheFormulaSwitchAtFifteenDegrees) {
  EXPECT_EQ(AtmosphericRefraction(90.0), 0.0);
  EXPECT_EQ(AtmosphericRefraction(-2.5), 0.0);
  EXPECT_EQ(AtmosphericRefraction(std::nan("")), 0.0);
  // Above 15 degrees: the tangent formula.
  const double tangentAt = 0.00452 * 1013.0 / (293.0 * std::tan(15.0001 * kDegToRad));
  EXPECT_NEAR(AtmosphericRefraction(15.0001), tangentAt, 1e-12);
  // At 15 degrees: the low-altitude formula solved for the true altitude,
  // i.e. R = Bennett(15 + R), which is not the tangent value.
  const double r15 = AtmosphericRefraction(15.0);
  EXPECT_NEAR(r15, Bennett(15.0 + r15), 1e-7);
  EXPECT_GT(std::fabs(r15 - 0.00452 * 1013.0 / (293.0 * std::tan(15.0 * kDegToRad))), 1e-5);
}

TEST(Refraction, AgreesWithSaemundssonNearTheHorizon) {
  // Saemundsson: R = 1.02' / tan(h + 10.3 / (h + 5.11)) for the true altitude
  // h at 1010 mbar and 10 C; scaled here to 1013 mbar and 20 C.
  for (double h : {-1.0, 0.0, 2.0, 5.0, 10.0, 14.0}) {
    const double saemundsson =
        1.02 / std::tan((h + 10.3 / (h + 5.11)) * kDegToRad) * kArcminDeg * (1013.0 / 1010.0) * (283.0 / 293.0);
    EXPECT_NEAR(AtmosphericRefraction(h), saemundsson, 1.0 * kArcminDeg) << h;
  }
}

TEST(Atan2Angle, QuadrantsAndAxes) {
  struct Case { double x, y, want; } cases[] = {
      {0, 0, 0},           {-1, 0, kPi},          {1, -1, 1.75 * kPi}, {1, 0, 0},
      {0, 1, 0.5 * kPi},   {0, -1, 1.5 * kPi},    {1, 1, 0.25 * kPi},  {-1, 1, 0.75 * kPi},
      {-1, -1, 1.25 * kPi}};
  for (const auto& c : cases) EXPECT_NEAR(Atan2Angle(c.x, c.y), c.want, 1e-15) << c.x << "," << c.y;
}

TEST(HorizontalCoordinates, BodyOnTheMeridianSouthOfTheZenith) {
  // A planet (no parallax) at the local sidereal time: H = 0, azimuth 180,
  // altitude 90 - latitude + declination.
  Engine e(126.9669, 37.5422);
  const double jd = CalendarToJulianDay(2024, 6, 21) + 0.25;
  const double lstDeg = NormalizeDegrees(ApparentSiderealTime(e.ctx, InstantAt(e.settings, jd)) * 15.0 + e.observer.LongitudeDeg);
  const double raDec[2] = {lstDeg * kDegToRad, 10.0 * kDegToRad};
  HorizontalPosition p;
  HorizontalCoordinates(e.ctx, jd, 2, raDec, 1.0, p);
  EXPECT_NEAR(p.azimuthDeg, 180.0, 1e-9);
  EXPECT_NEAR(p.altitudeDeg, 90.0 - 37.5422 + 10.0, 1e-9);
  EXPECT_NEAR(p.apparentAltitudeDeg - p.altitudeDeg, AtmosphericRefraction(p.altitudeDeg), 1e-12);
}

#ifdef ORVANTA_HAVE_ERFA
TEST(HorizontalCoordinates, AgreesWithErfaHd2ae) {
  Engine e(-70.5, -33.4);
  const double jd = CalendarToJulianDay(2023, 3, 14) + 0.7;
  const double lstRad = (ApparentSiderealTime(e.ctx, InstantAt(e.settings, jd)) * 15.0 + e.observer.LongitudeDeg) * kDegToRad;
  for (double raDeg = 5.0; raDeg < 360.0; raDeg += 37.0) {
    for (double decDeg : {-80.0, -30.0, 0.0, 25.0, 60.0}) {
      const double raDec[2] = {raDeg * kDegToRad, decDeg * kDegToRad};
      HorizontalPosition p;
      HorizontalCoordinates(e.ctx, jd, 5, raDec, 0.0, p);
      double az, el;
      eraHd2ae(lstRad - raDec[0], raDec[1], e.observer.LatitudeDeg * kDegToRad, &az, &el);
      EXPECT_NEAR(p.altitudeDeg, el * kRadToDeg, 1e-9) << raDeg << " " << decDeg;
      double dAz = std::fabs(p.azimuthDeg - az * kRadToDeg);
      dAz = std::min(dAz, 360.0 - dAz);
      EXPECT_LT(dAz, 1e-8) << raDeg << " " << decDeg;
    }
  }
}
#endif

TEST(HorizontalCoordinates, ParallaxForSunAndMoonOnly) {
  Engine e(0.0, 45.0);
  const double jd = CalendarToJulianDay(2024, 1, 1);
  const double raDec[2] = {1.0, 0.2};
  const double moonDistanceAu = 384400.0 / kAuKm;
  HorizontalPosition planet, planetNear, moon;
  HorizontalCoordinates(e.ctx, jd, 4, raDec, 1.0, planet);
  HorizontalCoordinates(e.ctx, jd, 4, raDec, moonDistanceAu, planetNear);
  HorizontalCoordinates(e.ctx, jd, 1, raDec, moonDistanceAu, moon);
  EXPECT_EQ(planet.altitudeDeg, planetNear.altitudeDeg);
  EXPECT_EQ(planet.azimuthDeg, moon.azimuthDeg);
  // sin p = rho sin(pi) cos h, pi the horizontal parallax (6378.1363 km / distance).
  const double h = planet.altitudeDeg * kDegToRad;
  const double p = std::asin(e.observer.ObserverRadius * 6378.1363 / 384400.0 * std::cos(h)) * kRadToDeg;
  EXPECT_NEAR(planet.altitudeDeg - moon.altitudeDeg, p, 1.0 * kArcsecDeg);
  EXPECT_GT(p, 0.5);
}

TEST(Culmination, SunTransitsTheMeridian) {
  // At a solstice, when the declination stands still, the Sun's highest
  // altitude comes at its meridian transit. (Near an equinox the moving
  // declination shifts the highest altitude by up to about 20 s.)
  struct Case { double lon, lat; int y, m, d; } cases[] = {
      {126.9669, 37.5422, 2024, 6, 21}, {126.9669, 37.5422, 2024, 12, 21}, {-0.1, 51.5, 2023, 6, 21},
      {151.2, -33.9, 2022, 12, 22}};
  for (const auto& c : cases) {
    Engine e(c.lon, c.lat);
    const double jd0 = CalendarToJulianDay(c.y, c.m, c.d);
    const double t = CulminationInstant(e.ctx, kHorizontalSun, jd0 + 0.3);
    EXPECT_GE(t, jd0);
    EXPECT_LT(t, jd0 + 1.0);
    const EquatorialPlace sun = SunMoonEquatorial(e.ctx, kBodySun, t);
    double hourAngleDeg =
        NormalizeDegrees(ApparentSiderealTime(e.ctx, InstantAt(e.settings, t)) * 15.0 + c.lon - sun.rightAscensionDeg);
    if (hourAngleDeg > 180.0) hourAngleDeg -= 360.0;
    // 5 s of time is 1.25 arcminutes of hour angle.
    EXPECT_NEAR(hourAngleDeg, 0.0, 5.0 * 15.0 * kArcsecDeg) << c.y << "-" << c.m << "-" << c.d;
    // The altitude there is the highest of its neighbourhood.
    auto altitude = [&](double jd) {
      const EquatorialPlace p = SunMoonEquatorial(e.ctx, kBodySun, jd);
      const double rd[2] = {p.rightAscensionDeg * kDegToRad, p.declinationDeg * kDegToRad};
      HorizontalPosition pos;
      HorizontalCoordinates(e.ctx, jd, kHorizontalSun, rd, p.distanceAu, pos);
      return pos.altitudeDeg;
    };
    EXPECT_GE(altitude(t), altitude(t - 60.0 * kSecondDays));
    EXPECT_GE(altitude(t), altitude(t + 60.0 * kSecondDays));
  }
}

}  // namespace
}  // namespace orv
