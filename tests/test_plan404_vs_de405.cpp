// The built-in PLAN404 against JPL DE405 (converted from Debian's
// casacore-data-jpl-de405 at build time): apparent places of the Sun and the
// Moon through the same place front, every 7.3 days over 1961..2060, TT.
// PLAN404 is a fit to DE404; its stated accuracy is below an arcsecond for
// the Sun and a few arcseconds for the Moon over this span.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ephemeris/sunmoon.h"
#include "jpl_test_support.h"

namespace orv {
namespace {

constexpr double kArcsec = 1.0 / 3600.0;  // degrees

double AngleDiffDeg(double a, double b) {
  double d = std::fmod(a - b + 540.0, 360.0) - 180.0;
  return std::fabs(d);
}

TEST(Plan404VersusDe405, ApparentSunAndMoon1961To2060) {
  ORV_REQUIRE_DE405();
  JplEphemeris eph;
  testing::OpenDe405(eph);
  CalcSettings plan = DefaultSettings();
  plan.TimeSystemCode = kTimeTT;
  UpdateZoneOffset(plan);
  CalcSettings jpl = plan;
  jpl.EphemerisCode = kEphemerisDe441;  // DE405 read through the DE441 path
  Observer observer;
  EngineContext a(plan, observer), b(jpl, observer);
  b.jpl = &eph;

  double sunLon = 0, sunLat = 0, sunDist = 0, moonLon = 0, moonLat = 0, moonDist = 0;
  const double first = eph.header.Span[0] + 2.0, last = eph.header.Span[1] - 2.0;
  for (double jd = first; jd < last; jd += 7.3) {
    const SunMoonPlaces pa = ApparentSunMoonPlaces(a, kBodySunAndMoon, jd);
    const SunMoonPlaces pb = ApparentSunMoonPlaces(b, kBodySunAndMoon, jd);
    sunLon = std::max(sunLon, AngleDiffDeg(pa.SunLongitudeDeg, pb.SunLongitudeDeg));
    sunLat = std::max(sunLat, std::fabs(pa.SunLatitudeDeg - pb.SunLatitudeDeg));
    sunDist = std::max(sunDist, std::fabs(pa.SunDistanceKm - pb.SunDistanceKm));
    moonLon = std::max(moonLon, AngleDiffDeg(pa.MoonLongitudeDeg, pb.MoonLongitudeDeg));
    moonLat = std::max(moonLat, std::fabs(pa.MoonLatitudeDeg - pb.MoonLatitudeDeg));
    moonDist = std::max(moonDist, std::fabs(pa.MoonDistanceKm - pb.MoonDistanceKm));
  }
  std::printf("PLAN404 - DE405, 1961..2060, max |difference|:\n"
              "  Sun:  longitude %.3f\", latitude %.3f\", distance %.1f km\n"
              "  Moon: longitude %.3f\", latitude %.3f\", distance %.3f km\n",
              sunLon / kArcsec, sunLat / kArcsec, sunDist, moonLon / kArcsec, moonLat / kArcsec, moonDist);
  EXPECT_LT(sunLon, 1.0 * kArcsec);
  EXPECT_LT(sunLat, 0.5 * kArcsec);
  EXPECT_LT(sunDist, 200.0);
  EXPECT_LT(moonLon, 5.0 * kArcsec);
  EXPECT_LT(moonLat, 3.0 * kArcsec);
  EXPECT_LT(moonDist, 10.0);
}

}  // namespace
}  // namespace orv
