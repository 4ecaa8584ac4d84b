// Apparent places of the Sun and the Moon as returned values. References:
// Meeus, Astronomical Algorithms, 2nd ed. (1998), example 25.b (the Sun on
// 1992-10-13 0h TD, apparent longitude 199 deg 54' 21.818" by VSOP87) and
// example 47.a (the Moon on 1992-04-12 0h TD, apparent longitude
// 133.167265 deg, latitude -3.229126 deg, distance 368409.7 km by the
// truncated ELP-2000/82 series).
#include <gtest/gtest.h>

#include <cmath>

#include "ephemeris/sunmoon.h"
#include "time/timescales.h"

namespace orv {
namespace {

constexpr double kArcsecDeg = 1.0 / 3600.0;

struct Engine {
  CalcSettings settings = DefaultSettings();
  Observer observer;
  EngineContext ctx{settings, observer};
  Engine() {
    settings.TimeSystemCode = kTimeTT;
    UpdateZoneOffset(settings);
  }
};

TEST(SunMoonPlaces, MeeusExamplesByValue) {
  Engine e;
  const SunMoonPlaces sun = ApparentSunMoonPlaces(e.ctx, kBodySun, 2448908.5);
  EXPECT_NEAR(sun.SunLongitudeDeg, 199.0 + 54.0 / 60.0 + 21.818 / 3600.0, 2.0 * kArcsecDeg);
  const SunMoonPlaces moon = ApparentSunMoonPlaces(e.ctx, kBodyMoon, 2448724.5);
  EXPECT_NEAR(moon.MoonLongitudeDeg, 133.167265, 15.0 * kArcsecDeg);
  EXPECT_NEAR(moon.MoonLatitudeDeg, -3.229126, 5.0 * kArcsecDeg);
  EXPECT_NEAR(moon.MoonDistanceKm, 368409.7, 15.0);
}

// A result depends on its request only: the body not asked for stays 0,
// an earlier request leaves nothing behind, and the convenience functions
// read the same numbers.
TEST(SunMoonPlaces, ResultDependsOnTheRequestOnly) {
  Engine e;
  const double jd = 2460310.25;
  const SunMoonPlaces both = ApparentSunMoonPlaces(e.ctx, kBodySunAndMoon, jd);
  ApparentSunMoonPlaces(e.ctx, kBodySunAndMoon, jd + 11.3);
  const SunMoonPlaces sun = ApparentSunMoonPlaces(e.ctx, kBodySun, jd);
  ApparentSunMoonPlaces(e.ctx, kBodySunAndMoon, jd - 3.7);
  const SunMoonPlaces moon = ApparentSunMoonPlaces(e.ctx, kBodyMoon, jd);

  EXPECT_EQ(sun.MoonLongitudeDeg, 0.0);
  EXPECT_EQ(sun.MoonDistanceKm, 0.0);
  EXPECT_EQ(moon.SunLongitudeDeg, 0.0);
  EXPECT_EQ(moon.SunDistanceKm, 0.0);
  EXPECT_NEAR(sun.SunLongitudeDeg, both.SunLongitudeDeg, 1e-9);
  EXPECT_NEAR(sun.SunLatitudeDeg, both.SunLatitudeDeg, 1e-9);
  EXPECT_NEAR(sun.SunDistanceKm, both.SunDistanceKm, 1e-3);
  EXPECT_NEAR(moon.MoonLongitudeDeg, both.MoonLongitudeDeg, 1e-9);
  EXPECT_NEAR(moon.MoonLatitudeDeg, both.MoonLatitudeDeg, 1e-9);
  EXPECT_NEAR(moon.MoonDistanceKm, both.MoonDistanceKm, 1e-3);

  EXPECT_EQ(SunMoonLongitude(e.ctx, kBodySunAndMoon, jd, kResultSunLongitude), both.SunLongitudeDeg);
  EXPECT_EQ(SunMoonLongitude(e.ctx, kBodySunAndMoon, jd, kResultElongation), ElongationDeg(both));

  const SunMoonFullPlaces full = ApparentSunMoonFullPlaces(e.ctx, kBodySunAndMoon, jd);
  EXPECT_EQ(full.ecliptic.MoonLongitudeDeg, both.MoonLongitudeDeg);
  const EquatorialPlace sunAlone = SunMoonEquatorial(e.ctx, kBodySun, jd);
  const EquatorialPlace moonAlone = SunMoonEquatorial(e.ctx, kBodyMoon, jd);
  EXPECT_NEAR(sunAlone.rightAscensionDeg, full.sun.rightAscensionDeg, 1e-9);
  EXPECT_NEAR(moonAlone.declinationDeg, full.moon.declinationDeg, 1e-9);
  EXPECT_NEAR(moonAlone.distanceAu * 149597870.7, both.MoonDistanceKm, 1e-3);
}

// The full places name the instant they are of, in TT and UT, for the
// sidereal time of the same moment; the ephemeris is read at its TT.
TEST(SunMoonPlaces, FullPlacesCarryTheirInstant) {
  const double jd = 2460310.25;
  for (int timeSystem : {kTimeTT, kTimeUT, kTimeST}) {
    Engine e;
    e.settings.TimeSystemCode = timeSystem;
    const SunMoonFullPlaces full = ApparentSunMoonFullPlaces(e.ctx, kBodySunAndMoon, jd);
    const TimeState want = InstantAt(e.settings, jd);
    EXPECT_EQ(full.at.CurrentJD, jd) << timeSystem;
    EXPECT_EQ(full.at.CurrentTT, want.CurrentTT) << timeSystem;
    EXPECT_EQ(full.at.CurrentUT, want.CurrentUT) << timeSystem;
    EXPECT_NEAR((full.at.CurrentTT - full.at.CurrentUT) * 86400.0, DeltaTAt(e.settings, jd), 1e-4) << timeSystem;
    // The same places as a TT request for that instant.
    Engine tt;
    const SunMoonPlaces atTT = ApparentSunMoonPlaces(tt.ctx, kBodySunAndMoon, full.at.CurrentTT);
    EXPECT_EQ(full.ecliptic.SunLongitudeDeg, atTT.SunLongitudeDeg) << timeSystem;
    EXPECT_EQ(full.ecliptic.MoonLongitudeDeg, atTT.MoonLongitudeDeg) << timeSystem;
  }
}

TEST(SunMoonPlaces, UnknownEphemerisGivesZeroPlaces) {
  Engine e;
  e.settings.EphemerisCode = 99;
  const SunMoonPlaces p = ApparentSunMoonPlaces(e.ctx, kBodySunAndMoon, 2451545.0);
  EXPECT_EQ(p.SunLongitudeDeg, 0.0);
  EXPECT_EQ(p.MoonDistanceKm, 0.0);
}

}  // namespace
}  // namespace orv
