// The numbers of the sky pictures: the year's daylight against the precise
// searches of rising, setting and twilight; the civil clock's summer time;
// one day's altitude samples against the events of the day.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/core/files/places.h"
#include "app/core/sky/sky_series.h"
#include "ephemeris/sunmoon.h"
#include "time/dates.h"

namespace orv {
namespace {

constexpr double kSecondDays = 1.0 / 86400.0;

struct Engine {
  CalcSettings settings = DefaultSettings();
  Observer observer;
  EngineContext ctx{settings, observer};
  Engine(double lonDeg, double latDeg, int timeSystem = kTimeST) {
    ApplyPlace(settings, observer, BuiltInPlaceTable(), 0);
    settings.TimeSystemCode = timeSystem;
    UpdateZoneOffset(settings);
    observer.LongitudeDeg = lonDeg;
    observer.LatitudeDeg = latDeg;
    observer.AltitudeM = 0.0;
    ObserverGeocentric(observer);
  }
};

// Each day's eight events equal those of RiseSetTimes and TwilightTimes
// (Newton steps and the bracketing search meet within a fraction of a
// second), white nights included.
TEST(DaylightYear, EveryDayEqualsThePreciseSearches) {
  for (const double lat : {37.5665, 60.17, 66.0}) {
    Engine e(lat > 40.0 ? 24.94 : 126.978, lat);
    const DaylightYear year = ComputeDaylightYear(e.ctx, 2025, "");
    ASSERT_EQ(year.days.size(), 365u);
    double worst = 0.0;
    for (size_t i = 0; i < year.days.size(); i += lat > 40.0 ? 2 : 5) {
      const DaylightDay& d = year.days[i];
      const double jd0 = CalendarToJulianDay(2025, d.month, d.day);
      const RiseSetInstants sun = RiseSetTimes(e.ctx, kBodySun, jd0);
      auto expectSame = [&](const std::optional<double>& ours, const std::optional<double>& want,
                            const char* what) {
        if (!want || !ours) {
          EXPECT_EQ(ours.has_value(), want.has_value()) << what << " " << lat << " " << d.month << "-" << d.day;
          return;
        }
        EXPECT_NEAR(*ours, *want, 0.5 * kSecondDays) << what << " " << lat << " " << d.month << "-" << d.day;
        worst = std::max(worst, std::fabs(*ours - *want));
      };
      expectSame(d.riseJD, sun.riseJD, "rise");
      expectSame(d.setJD, sun.setJD, "set");
      for (int k = 0; k < kTwilightKinds; ++k) {
        const TwilightInstants tw = TwilightTimes(e.ctx, static_cast<Twilight>(k), jd0);
        expectSame(d.dawnJD[static_cast<size_t>(k)], tw.dawnJD, "dawn");
        expectSame(d.duskJD[static_cast<size_t>(k)], tw.duskJD, "dusk");
      }
    }
    std::printf("latitude %.2f: worst difference %.3f s\n", lat, worst * 86400.0);
  }
}

// Korea kept summer time in 1987 and 1988 (second Sunday of May to second
// Sunday of October, tzdata Asia/Seoul): the chart's clock runs an hour ahead
// then and only then.
TEST(DaylightYear, SummerTimeOnTheCivilClock) {
  Engine e(126.978, 37.5665);
  const DaylightYear y1988 = ComputeDaylightYear(e.ctx, 1988, "Asia/Seoul");
  EXPECT_TRUE(y1988.anyClockShift);
  auto shiftOn = [&](int month, int day) {
    for (const DaylightDay& d : y1988.days)
      if (d.month == month && d.day == day) return d.clockShiftHours;
    return -99.0;
  };
  EXPECT_EQ(shiftOn(5, 7), 0.0);
  EXPECT_EQ(shiftOn(5, 8), 1.0);
  EXPECT_EQ(shiftOn(10, 8), 1.0);
  EXPECT_EQ(shiftOn(10, 10), 0.0);
  EXPECT_FALSE(ComputeDaylightYear(e.ctx, 2026, "Asia/Seoul").anyClockShift);
  // Summer sunrise moves an hour later on the clock.
  const DaylightDay& may7 = y1988.days[127], &may8 = y1988.days[128];
  EXPECT_NEAR(ShownHourOfDay(may8, y1988.zoneOffsetDays, may8.riseJD.value()) -
                  ShownHourOfDay(may7, y1988.zoneOffsetDays, may7.riseJD.value()),
              1.0, 0.02);
}

TEST(DaySky, SamplesAgreeWithTheEventsOfTheDay) {
  Engine e(126.978, 37.5665);
  const DaySky sky = ComputeDaySky(e.ctx, 2026, 8, 12);
  ASSERT_EQ(sky.sunAltitudeDeg.size(), 145u);
  ASSERT_EQ(sky.moonAltitudeDeg.size(), 145u);
  // The highest sample is the one nearest the transit.
  const size_t highest = static_cast<size_t>(
      std::max_element(sky.sunAltitudeDeg.begin(), sky.sunAltitudeDeg.end()) - sky.sunAltitudeDeg.begin());
  EXPECT_NEAR(sky.midnightJD + highest * kDaySkyStepMinutes / 1440.0, sky.sun.transitJD, 6.0 / 1440.0);
  // Noon altitude at Seoul in mid-August: 90 - 37.57 + 14.9 (declination) = 67.3 degrees.
  EXPECT_NEAR(sky.sunAltitudeDeg[highest], 67.3, 0.5);
  // The Sun is below the horizon at midnight and above it at noon; the
  // twilight dawns come in order before the rise.
  EXPECT_LT(sky.sunAltitudeDeg.front(), -18.0);
  EXPECT_LT(sky.twilight[2].dawnJD.value(), sky.twilight[1].dawnJD.value());
  EXPECT_LT(sky.twilight[0].dawnJD.value(), sky.sun.riseJD.value());
  // New moon of 2026-08-12 (total solar eclipse): almost nothing is lit.
  EXPECT_LT(sky.moonPhase.illuminatedFraction, 0.01);
}

}  // namespace
}  // namespace orv
