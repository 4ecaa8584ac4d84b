// Rising and setting of the Sun and the Moon. References:
// - Korea Astronomy and Space Science Institute, sunrise and sunset for Seoul
//   (to the minute, KST);
// - astronomy-engine 2.1.19 (npm), SearchRiseSet: tests/data/astronomy_engine_events.csv,
//   made by tools/reference/gen_eclipse_reference.js (upper limb, 34' of refraction);
// - the geometry of the celestial sphere for the polar and circumpolar cases.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/core/reports/eclipse_texts.h"
#include "app/core/files/places.h"
#include "astronomy_engine_fixture.h"
#include "eclipses/eclipse_local.h"
#include "eclipses/riseset.h"
#include "ephemeris/sunmoon.h"
#include "time/dates.h"

namespace orv {
namespace {

constexpr double kSecondDays = 1.0 / 86400.0;
constexpr double kMinuteDays = 60.0 * kSecondDays;

struct Engine {
  CalcSettings settings = DefaultSettings();
  Observer observer;
  EngineContext ctx{settings, observer};
  Engine(double lonDeg, double latDeg, double heightM, int timeSystem = kTimeUT) {
    settings.TimeSystemCode = timeSystem;
    UpdateZoneOffset(settings);
    observer.LongitudeDeg = lonDeg;
    observer.LatitudeDeg = latDeg;
    observer.AltitudeM = heightM;
    ObserverGeocentric(observer);
  }
};

TEST(RiseSet, SeoulSunriseAndSunsetAgainstKasi) {
  // KASI's Seoul point differs slightly from the place row: one minute of slack.
  struct Case { int y, m, d, riseH, riseM, setH, setM; } cases[] = {
      {2024, 1, 1, 7, 47, 17, 24}, {2024, 6, 21, 5, 11, 19, 57}};
  CalcSettings settings = DefaultSettings();
  Observer observer;
  ApplyPlace(settings, observer, BuiltInPlaceTable(), 0);
  EngineContext ctx(settings, observer);
  for (const auto& c : cases) {
    const double jd0 = CalendarToJulianDay(c.y, c.m, c.d);
    const RiseSetInstants r = RiseSetTimes(ctx, kBodySun, jd0);
    const double rise = r.riseJD.value() + settings.ZoneOffsetDays, set = r.setJD.value() + settings.ZoneOffsetDays;
    const double wantRise = jd0 + (c.riseH * 60 + c.riseM) * kMinuteDays;
    const double wantSet = jd0 + (c.setH * 60 + c.setM) * kMinuteDays;
    EXPECT_NEAR(rise, wantRise, 1.0 * kMinuteDays) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_NEAR(set, wantSet, 1.0 * kMinuteDays) << c.y << "-" << c.m << "-" << c.d;
  }
}

TEST(RiseSet, AgainstAstronomyEngine) {
  const auto rows = testing::ReadReferenceEvents("riseset");
  ASSERT_GT(rows.size(), 10u);
  double worstSun = 0.0, worstMoon = 0.0;
  for (const auto& row : rows) {
    const double lat = row.Num(0), lon = row.Num(1);
    const bool moon = row.Text(3) == "moon";
    const int y = static_cast<int>(row.Num(4)), m = static_cast<int>(row.Num(5)), d = static_cast<int>(row.Num(6));
    const double wantRise = row.Num(8), wantSet = row.Num(9);
    Engine e(lon, lat, 0.0);
    // The UT day that holds the local date's transit.
    const RiseSetInstants r = RiseSetTimes(e.ctx, moon ? kBodyMoon : kBodySun, CalendarToJulianDay(y, m, d));
    const std::string what = row.Text(3) + " " + std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d);
    if (!moon) {
      if (wantRise == 0.0) {
        EXPECT_FALSE(r.riseJD.has_value()) << what;
        EXPECT_FALSE(r.setJD.has_value()) << what;
        continue;
      }
      ASSERT_TRUE(r.riseJD && r.setJD) << what;
      EXPECT_NEAR(*r.riseJD, wantRise, 5.0 * kSecondDays) << what;
      EXPECT_NEAR(*r.setJD, wantSet, 5.0 * kSecondDays) << what;
      worstSun = std::max({worstSun, std::fabs(*r.riseJD - wantRise), std::fabs(*r.setJD - wantSet)});
      continue;
    }
    // The Moon's events belong to the transit and may fall on another local
    // date: each must be one of the reference events of the dates listed.
    const double zoneDays = row.Num(7) / 24.0;
    for (int which = 0; which < 2; ++which) {
      const std::optional<double>& event = which == 0 ? r.riseJD : r.setJD;
      ASSERT_TRUE(event.has_value()) << what;
      const double ours = *event;
      const CivilDateTime local = JulianDayToCalendar(ours + zoneDays);
      bool covered = false;
      double best = std::numeric_limits<double>::infinity();
      for (const auto& other : rows) {
        if (other.Text(3) != "moon" || other.Num(0) != lat || other.Num(1) != lon) continue;
        covered |= other.Num(4) == local.year && other.Num(5) == local.month && other.Num(6) == local.day;
        best = std::min(best, std::fabs(ours - other.Num(which == 0 ? 8 : 9)));
      }
      if (!covered) continue;
      EXPECT_LT(best, 10.0 * kSecondDays) << what << (which == 0 ? " rise" : " set");
      worstMoon = std::max(worstMoon, best);
    }
  }
  std::printf("worst difference: Sun %.1f s, Moon %.1f s\n", worstSun * 86400.0, worstMoon * 86400.0);
}

TEST(RiseSet, MidLatitudeOrder) {
  Engine e(0.0, 51.48, 0.0);
  for (int month = 1; month <= 12; ++month) {
    const double jd0 = CalendarToJulianDay(2023, month, 15);
    const RiseSetInstants r = RiseSetTimes(e.ctx, kBodySun, jd0);
    ASSERT_TRUE(r.riseJD && r.setJD) << month;
    EXPECT_LT(jd0, *r.riseJD) << month;
    EXPECT_LT(*r.riseJD, r.transitJD) << month;
    EXPECT_LT(r.transitJD, *r.setJD) << month;
    EXPECT_LT(*r.setJD, jd0 + 1.0) << month;
  }
}

TEST(RiseSet, NoEventsAtSeventyNorthInMidsummerAndMidwinter) {
  Engine e(25.0, 70.0, 0.0);
  for (double jd0 : {CalendarToJulianDay(2024, 6, 21), CalendarToJulianDay(2024, 12, 21)}) {
    const RiseSetInstants r = RiseSetTimes(e.ctx, kBodySun, jd0);
    EXPECT_FALSE(r.riseJD.has_value());
    EXPECT_FALSE(r.setJD.has_value());
  }
  // Midsummer: the upper limb stays up at the lower transit; midwinter: down at noon.
  EXPECT_GT(UpperLimbAboveHorizon(e.ctx, kBodySun, CalendarToJulianDay(2024, 6, 21) + 22.0 / 24.0), 0.0);
  EXPECT_LT(UpperLimbAboveHorizon(e.ctx, kBodySun, CalendarToJulianDay(2024, 12, 21) + 10.0 / 24.0), 0.0);
}

TEST(RiseSet, HeightAboveTheHorizonAdvancesSunrise) {
  Engine low(126.9669, 37.5422, 0.0), high(126.9669, 37.5422, 100.0);
  const double jd0 = CalendarToJulianDay(2024, 3, 20);
  // Dip of the horizon 2.12' x sqrt(100 m) = 0.353 degrees.
  EXPECT_NEAR(HorizonDepression(high.ctx, kBodySun, jd0) - HorizonDepression(low.ctx, kBodySun, jd0), 0.3533,
              0.0001);
  const RiseSetInstants a = RiseSetTimes(low.ctx, kBodySun, jd0), b = RiseSetTimes(high.ctx, kBodySun, jd0);
  // At the equinox the Sun climbs 15 cos(latitude) = 11.9 degrees an hour: 0.353 degrees take 107 s.
  EXPECT_NEAR((a.riseJD.value() - b.riseJD.value()) / kSecondDays, 107.0, 15.0);
  EXPECT_NEAR((b.setJD.value() - a.setJD.value()) / kSecondDays, 107.0, 15.0);
}

TEST(RiseSet, MoonEventsOnOtherDates) {
  // Seoul, 1 February 2024 (KST). astronomy-engine: the Moon rises at
  // 23:03:23 on 31 January, sets at 10:38:26 on 1 February, rises next at
  // 00:02:16 on 2 February; there is no moonrise on 1 February itself.
  CalcSettings settings = DefaultSettings();
  Observer observer;
  ApplyPlace(settings, observer, BuiltInPlaceTable(), 0);
  EngineContext ctx(settings, observer);
  // The transit of 1 February KST is at about 4:50 in the morning: its rise
  // falls on the date before (23:03:23 KST = 14:03:23 UT on 31 January).
  const RiseSetInstants r = RiseSetTimes(ctx, kBodyMoon, CalendarToJulianDay(2024, 2, 1));
  const CivilDateTime rise = JulianDayToCalendarTenths(r.riseJD.value() + settings.ZoneOffsetDays);
  EXPECT_EQ(rise.day, 31);
  EXPECT_NEAR(r.riseJD.value(), 2460341.085683, 10.0 * kSecondDays);
  // The listing, like the day report, shows the events of that transit.
  const std::string csv = RiseSetCsv(ctx, "", 2024, 2, 1, kRiseSetMoon);
  EXPECT_NE(csv.find("moon,2024-01-31 23:03:2"), std::string::npos) << csv;
  EXPECT_NE(csv.find(",2024-02-01 10:38:2"), std::string::npos) << csv;
}

TEST(RiseSet, CircumpolarMoonHasNeitherEvent) {
  // At 70 N a Moon of declination above 23 degrees never sets: its lowest
  // altitude is declination - 20 degrees, more than parallax, semidiameter and
  // refraction together (about 1.5 degrees).
  Engine e(25.0, 70.0, 0.0);
  double jd = CalendarToJulianDay(2024, 1, 1);
  double best = jd, bestDec = -90.0;
  for (int i = 0; i < 28 * 4; ++i, jd += 0.25) {
    const double dec = SunMoonEquatorial(e.ctx, kBodyMoon, jd).declinationDeg;
    if (dec > bestDec) bestDec = dec, best = jd;
  }
  ASSERT_GT(bestDec, 23.0);
  const RiseSetInstants r = RiseSetTimes(e.ctx, kBodyMoon, std::floor(best - 0.5) + 0.5);
  EXPECT_FALSE(r.riseJD.has_value());
  EXPECT_FALSE(r.setJD.has_value());
}

}  // namespace
}  // namespace orv
