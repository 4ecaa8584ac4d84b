// Eclipses seen from a place. References:
// - astronomy-engine 2.1.19 (npm), SearchLocalSolarEclipse:
//   tests/data/astronomy_engine_events.csv, made by
//   tools/reference/gen_eclipse_reference.js. It lists the solar eclipses of
//   a place whose partial phase begins or ends with the Sun's centre above the
//   horizon, with the local contacts and peak in TT;
// - the NASA canon for the path of 2017 August 21 (the point of greatest
//   eclipse, 36.97 N 87.67 W, lies on the central line);
// - the rules of the local report for the marks and verdicts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "astronomy_engine_fixture.h"
#include "eclipse_fixture.h"
#include "eclipses/eclipse_local.h"
#include "ephemeris/sunmoon.h"

namespace orv {
namespace {

using testing::EclipseEngine;

constexpr double kSecondDays = 1.0 / 86400.0;

const FoundEclipse* Find(const EclipseList& list, bool solar, double jd) {
  for (int i = 0; i < list.count; ++i)
    if (list.items[i].solar == solar && std::fabs(list.items[i].greatestJD - jd) < 0.5) return &list.items[i];
  return nullptr;
}

TEST(LocalSolarEclipse, OnTheCentralLine) {
  EclipseEngine engine(kTimeTT, -87.6708, 36.9665);
  const FoundEclipse* e = Find(engine.Year(2017), true, CalendarToJulianDay(2017, 8, 21) + 0.77);
  ASSERT_NE(e, nullptr);
  LocalEclipse local;
  LocalCircumstances(*engine.ctx, *e, local);
  EXPECT_EQ(local.type, kEclipseTotal);
  EXPECT_TRUE(local.contacts[kLocalC2].has_value());
  EXPECT_TRUE(local.contacts[kLocalC3].has_value());
  const double l1 = local.elements[kElemL1Surface], l2 = local.elements[kElemL2Surface];
  EXPECT_DOUBLE_EQ(local.magnitude, (l1 - l2) / (l1 + l2));
  EXPECT_GT(local.magnitude, 1.0);
  // Near the point of greatest eclipse the local maximum is greatest eclipse.
  EXPECT_NEAR(local.maximumJD, e->greatestJD, 30.0 * kSecondDays);
  EXPECT_EQ(local.visibility, EclipseVisibility::Visible);
  const double order[] = {local.contacts[kLocalC1].value(), local.contacts[kLocalC2].value(), local.maximumJD,
                          local.contacts[kLocalC3].value(), local.contacts[kLocalC4].value()};
  for (int i = 0; i + 1 < 5; ++i) EXPECT_LT(order[i], order[i + 1]) << i;
}

TEST(LocalSolarEclipse, JustOutsideThePenumbra) {
  // 2017 August 21 in central Brazil (longitude 47.9 W): astronomy-engine has
  // the penumbra's southern limit between 17.5 S (obscuration 0.0014) and
  // 18.0 S (no eclipse).
  EclipseEngine engine(kTimeUT, -47.9, -18.3);
  const FoundEclipse* e = Find(engine.Year(2017), true, CalendarToJulianDay(2017, 8, 21) + 0.77);
  ASSERT_NE(e, nullptr);
  LocalEclipse outside;
  LocalCircumstances(*engine.ctx, *e, outside);
  EXPECT_FALSE(outside.contacts[kLocalC1].has_value());
  EXPECT_FALSE(outside.contacts[kLocalC4].has_value());
  EXPECT_EQ(outside.visibility, EclipseVisibility::OutsideShadow);
  engine.SetObserver(-47.9, -17.2);
  LocalEclipse inside;
  LocalCircumstances(*engine.ctx, *e, inside);
  EXPECT_TRUE(inside.contacts[kLocalC1].has_value());
  EXPECT_EQ(inside.visibility, EclipseVisibility::Visible);
  EXPECT_EQ(inside.type, kEclipsePartial);
  EXPECT_LT(inside.magnitude, 0.05);
}

TEST(LocalSolarEclipse, NightSideOfTheEarth) {
  // Seoul at 03:25 KST: the place's projection on the fundamental plane lies
  // inside the penumbra, so contacts exist, but they all fall between sunset
  // and sunrise.
  EclipseEngine engine(kTimeST);
  const FoundEclipse* e = Find(engine.Year(2017), true, CalendarToJulianDay(2017, 8, 21) + 0.4);
  ASSERT_NE(e, nullptr);
  LocalEclipse local;
  LocalCircumstances(*engine.ctx, *e, local);
  EXPECT_EQ(local.visibility, EclipseVisibility::BelowHorizon);
}

TEST(LocalSolarEclipse, BeforeSunrise) {
  // 2021 June 10 in the eastern United States: at Memphis the partial phase
  // is over before sunrise (astronomy-engine does not list it there); at
  // Chicago it begins before sunrise and ends after it.
  EclipseEngine engine(kTimeUT, -90.05, 35.15);
  const FoundEclipse* e = Find(engine.Year(2021), true, CalendarToJulianDay(2021, 6, 10) + 0.45);
  ASSERT_NE(e, nullptr);
  LocalEclipse memphis;
  LocalCircumstances(*engine.ctx, *e, memphis);
  ASSERT_TRUE(memphis.contacts[kLocalC1].has_value());
  EXPECT_LT(memphis.contacts[kLocalC4].value(), memphis.daylight.sunriseJD);
  EXPECT_EQ(memphis.visibility, EclipseVisibility::BelowHorizon);

  engine.SetObserver(-87.63, 41.88);
  LocalEclipse chicago;
  LocalCircumstances(*engine.ctx, *e, chicago);
  EXPECT_EQ(chicago.visibility, EclipseVisibility::Visible);
  const double rise = chicago.daylight.sunriseJD, set = chicago.daylight.sunsetJD;
  ASSERT_LT(chicago.contacts[kLocalC1].value(), rise);
  ASSERT_GT(chicago.contacts[kLocalC4].value(), rise);
  const std::string c1 = FormatContactTime(kContactTimeSolar, chicago.contacts[kLocalC1].value(), rise, set);
  const std::string c4 = FormatContactTime(kContactTimeSolar, chicago.contacts[kLocalC4].value(), rise, set);
  EXPECT_NE(c1.find("(지하)"), std::string::npos) << c1;
  EXPECT_EQ(c4.find("(지하)"), std::string::npos) << c4;
}

TEST(LocalEclipse, PolarDayAndPolarNight) {
  const double inf = std::numeric_limits<double>::infinity();
  // Longyearbyen (78.22 N, 15.65 E), midnight sun from late April to late
  // August, polar night from late October to mid February.
  EclipseEngine engine(kTimeUT, 15.65, 78.22);
  // 2026 August 12: a deep partial eclipse in the midnight sun.
  const FoundEclipse* solar = Find(engine.Year(2026), true, CalendarToJulianDay(2026, 8, 12) + 0.7);
  ASSERT_NE(solar, nullptr);
  LocalEclipse local;
  LocalCircumstances(*engine.ctx, *solar, local);
  EXPECT_FALSE(local.daylight.sun.riseJD.has_value());
  EXPECT_FALSE(local.daylight.sun.setJD.has_value());
  EXPECT_EQ(local.daylight.sunriseJD, -inf);
  EXPECT_EQ(local.visibility, EclipseVisibility::Visible);
  // 2021 May 26: a total lunar eclipse while the Sun never sets.
  const FoundEclipse* lunarDay = Find(engine.Year(2021), false, CalendarToJulianDay(2021, 5, 26) + 0.5);
  ASSERT_NE(lunarDay, nullptr);
  LocalCircumstances(*engine.ctx, *lunarDay, local);
  EXPECT_EQ(local.visibility, EclipseVisibility::BelowHorizon);
  // 2022 November 8: a total lunar eclipse in the polar night.
  const FoundEclipse* lunarNight = Find(engine.Year(2022), false, CalendarToJulianDay(2022, 11, 8) + 0.45);
  ASSERT_NE(lunarNight, nullptr);
  LocalCircumstances(*engine.ctx, *lunarNight, local);
  EXPECT_FALSE(local.daylight.sun.riseJD.has_value());
  EXPECT_FALSE(local.daylight.sun.setJD.has_value());
  EXPECT_EQ(local.visibility, EclipseVisibility::Visible);
  // 2022 October 25 at 80 N 77 E, near the place of greatest eclipse, where
  // the polar night has begun: inside the penumbra, but the Sun stays down.
  engine.SetObserver(77.0, 80.0);
  const FoundEclipse* solarNight = Find(engine.Year(2022), true, CalendarToJulianDay(2022, 10, 25) + 0.46);
  ASSERT_NE(solarNight, nullptr);
  LocalCircumstances(*engine.ctx, *solarNight, local);
  EXPECT_TRUE(local.contacts[kLocalC1].has_value());
  EXPECT_FALSE(local.daylight.sun.riseJD.has_value());
  EXPECT_FALSE(local.daylight.sun.setJD.has_value());
  EXPECT_EQ(local.visibility, EclipseVisibility::BelowHorizon);
}

TEST(FormatContactTime, MarksAtAndAroundSunrise) {
  const double rise = CalendarToJulianDay(2024, 4, 8) + 0.25, set = rise + 0.5;
  const double second = kSecondDays;
  EXPECT_EQ(FormatContactTime(kContactTimeSolar, rise, rise, set), "06:00:00.0");
  EXPECT_EQ(FormatContactTime(kContactTimeLunar, rise, rise, set), "06:00:00.0");
  EXPECT_EQ(FormatContactTime(kContactTimeSolar, rise - second, rise, set), "05:59:59.0(지하)");
  EXPECT_EQ(FormatContactTime(kContactTimeLunar, rise - second, rise, set), "05:59:59.0");
  EXPECT_EQ(FormatContactTime(kContactTimeLunar, rise + second, rise, set), "06:00:01.0(지하)");
  EXPECT_EQ(FormatContactTime(kContactTimeSolar, set + second, rise, set), "18:00:01.0(지하)");
  EXPECT_EQ(FormatContactTime(kContactTimeLunar, set, rise, set), "18:00:00.0");
  EXPECT_EQ(FormatContactTime(kContactTimePlain, set + second, rise, set), "18:00:01.0");
  // Tenths are rounded, never shown as 60.0.
  EXPECT_EQ(FormatContactTime(kContactTimePlain, rise - 0.04 * second, rise, set), "06:00:00.0");
}

TEST(LocalSolarEclipse, AgainstAstronomyEngine) {
  const auto refs = testing::ReadReferenceEvents("local");
  ASSERT_GT(refs.size(), 30u);
  struct Place { double lat, lon; };
  std::vector<Place> places;
  for (const auto& r : refs) {
    bool seen = false;
    for (const Place& p : places) seen |= p.lat == r.Num(0) && p.lon == r.Num(1);
    if (!seen) places.push_back({r.Num(0), r.Num(1)});
  }
  EclipseEngine engine(kTimeTT);
  double worstPeak = 0.0, worstContact = 0.0;
  int compared = 0, visibleOnlyHere = 0;
  for (int year = 2015; year <= 2030; ++year) {
    for (const auto& r : refs)
      if (JulianDayToCalendar(r.Num(3)).year == year) engine.UseDeltaT(r.Num(4));
    const EclipseList& list = engine.Year(year);
    for (const Place& place : places) {
      engine.SetObserver(place.lon, place.lat);
      for (int i = 0; i < list.count; ++i) {
        const FoundEclipse& e = list.items[i];
        if (!e.solar) continue;
        LocalEclipse local;
        LocalCircumstances(*engine.ctx, e, local);
        const testing::ReferenceEvent* ref = nullptr;
        for (const auto& r : refs)
          if (r.Num(0) == place.lat && r.Num(1) == place.lon && std::fabs(r.Num(3) - e.greatestJD) < 0.5) ref = &r;
        char what[96];
        const CivilDateTime when = JulianDayToCalendar(e.greatestJD);
        std::snprintf(what, sizeof what, "%d-%02d-%02d at %.2f %.2f", when.year, when.month, when.day, place.lat,
                      place.lon);
        if (!ref) {
          // Not listed: outside the shadow, or the Sun's centre below the
          // horizon at both ends; this program's horizon (upper limb with
          // refraction) may still catch the Sun within about a degree.
          if (local.visibility == EclipseVisibility::Visible) {
            ++visibleOnlyHere;
            double altitude = -90.0;
            for (int slot : {kLocalC1, kLocalC4}) {
              if (!local.contacts[slot]) continue;
              altitude = std::max(altitude, SunMoonHorizontal(*engine.ctx, kBodySun, *local.contacts[slot]).altitudeDeg);
            }
            EXPECT_GT(altitude, -1.5) << what;
          }
          continue;
        }
        ++compared;
        EXPECT_EQ(local.visibility, EclipseVisibility::Visible) << what;
        const std::string kind = ref->Text(5);
        EXPECT_EQ(kind == "partial", local.type == kEclipsePartial) << what << " " << kind;
        const double peakError = std::fabs(local.maximumJD - ref->Num(3));
        worstPeak = std::max(worstPeak, peakError);
        EXPECT_LT(peakError, 20.0 * kSecondDays) << what << " peak " << peakError * 86400 << " s";
        struct Pair { int slot; size_t field; } pairs[] = {
            {kLocalC1, 6}, {kLocalC2, 8}, {kLocalC3, 9}, {kLocalC4, 10}};
        for (const Pair& p : pairs) {
          const double want = ref->Num(p.field);
          if (want == 0.0) {
            EXPECT_FALSE(local.contacts[p.slot].has_value()) << what << " slot " << p.slot;
            continue;
          }
          ASSERT_TRUE(local.contacts[p.slot].has_value()) << what << " slot " << p.slot;
          const double err = std::fabs(*local.contacts[p.slot] - want);
          worstContact = std::max(worstContact, err);
          EXPECT_LT(err, 20.0 * kSecondDays) << what << " slot " << p.slot << " " << err * 86400 << " s";
        }
      }
    }
  }
  EXPECT_GT(compared, 25);
  std::printf("%d local eclipses compared (%d more visible here only); worst: maximum %.1f s, contact %.1f s\n",
              compared, visibleOnlyHere, worstPeak * 86400.0, worstContact * 86400.0);
}

}  // namespace
}  // namespace orv
