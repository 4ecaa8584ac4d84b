// Twilight and the Moon's phase. References:
// - astronomy-engine 2.1.19 (npm): SearchAltitude for the Sun's centre and
//   Illumination for the Moon, tests/data/astronomy_engine_twilight.csv, made
//   by tools/reference/gen_twilight_moon_reference.js;
// - Meeus, Astronomical Algorithms (2nd ed.), example 48.a (the Moon's
//   illuminated fraction and bright limb on 1992 April 12, 0h TD);
// - the new moon of 2024 February 9, 22:59 UT (USNO phases of the Moon).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>
#include <vector>

#include "app/core/reports/eclipse_texts.h"
#include "app/core/reports/moon_texts.h"
#include "astronomy_engine_fixture.h"
#include "cli_runner.h"
#include "eclipses/moon_phase.h"
#include "eclipses/riseset.h"
#include "ephemeris/sunmoon.h"
#include "time/dates.h"

namespace orv {
namespace {

using testing::Lines;
using testing::RunCli;
using testing::TempDir;

constexpr double kSecondDays = 1.0 / 86400.0;
constexpr const char* kFixture = "astronomy_engine_twilight.csv";

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

// Nearest value of a sorted list, or infinity.
double Nearest(const std::vector<double>& sorted, double x) {
  double best = std::numeric_limits<double>::infinity();
  auto it = std::lower_bound(sorted.begin(), sorted.end(), x);
  if (it != sorted.end()) best = std::fabs(*it - x);
  if (it != sorted.begin()) best = std::min(best, std::fabs(*(it - 1) - x));
  return best;
}

// Every dawn and dusk of 2025 at Seoul and at 60 degrees north, both ways:
// each reference crossing is one of ours and each of ours is a reference
// one, within 5 s (days next to the ends of the year compare one way only,
// since a crossing near the lower transit may belong to the day outside).
TEST(Twilight, YearAtSeoulAndSixtyNorthAgainstAstronomyEngine) {
  const auto rows = testing::ReadReferenceEvents("twilight", kFixture);
  ASSERT_EQ(rows.size(), 2u * 365u * 3u);
  // (lat, depression, dawn?) -> instants
  std::map<std::tuple<double, double, int>, std::vector<double>> ours, theirs;
  std::map<double, double> lonOfLat;
  for (const auto& row : rows) {
    const double lat = row.Num(0), lon = row.Num(1), depression = row.Num(2);
    lonOfLat[lat] = lon;
    const int y = static_cast<int>(row.Num(3)), m = static_cast<int>(row.Num(4)), d = static_cast<int>(row.Num(5));
    Engine e(lon, lat);
    const Twilight kind = depression == 6.0 ? Twilight::Civil : depression == 12.0 ? Twilight::Nautical
                                                                                     : Twilight::Astronomical;
    ASSERT_EQ(TwilightDepressionDeg(kind), depression);
    const TwilightInstants tw = TwilightTimes(e.ctx, kind, CalendarToJulianDay(y, m, d));
    if (tw.dawnJD) ours[{lat, depression, 1}].push_back(*tw.dawnJD);
    if (tw.duskJD) ours[{lat, depression, 0}].push_back(*tw.duskJD);
    if (row.Num(6) != 0.0) theirs[{lat, depression, 1}].push_back(row.Num(6));
    if (row.Num(7) != 0.0) theirs[{lat, depression, 0}].push_back(row.Num(7));
  }
  const double firstJD = CalendarToJulianDay(2025, 1, 3), lastJD = CalendarToJulianDay(2025, 12, 30);
  double worst = 0.0;
  int compared = 0;
  for (auto& [key, list] : theirs) {
    std::vector<double>& mine = ours[key];
    std::sort(mine.begin(), mine.end());
    std::sort(list.begin(), list.end());
    for (double jd : list) {
      if (jd < firstJD || jd > lastJD) continue;
      const double diff = Nearest(mine, jd);
      EXPECT_LT(diff, 5.0 * kSecondDays) << "reference " << std::get<0>(key) << " " << std::get<1>(key) << " "
                                         << std::get<2>(key) << " at JD " << jd;
      worst = std::max(worst, diff);
      ++compared;
    }
    for (double jd : mine) {
      if (jd < firstJD || jd > lastJD) continue;
      EXPECT_LT(Nearest(list, jd), 5.0 * kSecondDays) << "ours " << std::get<0>(key) << " " << std::get<1>(key)
                                                      << " " << std::get<2>(key) << " at JD " << jd;
    }
  }
  EXPECT_GT(compared, 3500);
  // At 60 N the Sun stays above -12 degrees around midsummer: no nautical or
  // astronomical twilight then, but the civil one still ends and begins.
  Engine north(24.94, 60.17);
  const double midsummer = CalendarToJulianDay(2025, 6, 21);
  const TwilightInstants civil = TwilightTimes(north.ctx, Twilight::Civil, midsummer);
  const TwilightInstants nautical = TwilightTimes(north.ctx, Twilight::Nautical, midsummer);
  EXPECT_TRUE(civil.dawnJD.has_value());
  EXPECT_TRUE(civil.duskJD.has_value());
  EXPECT_FALSE(nautical.dawnJD.has_value());
  EXPECT_FALSE(nautical.duskJD.has_value());
  std::printf("twilights compared: %d, worst difference %.2f s\n", compared, worst * 86400.0);
}

TEST(Twilight, OrderOfTheDayAtSeoul) {
  Engine e(126.978, 37.5665);
  const double jd0 = CalendarToJulianDay(2025, 3, 20);
  const RiseSetInstants sun = RiseSetTimes(e.ctx, kBodySun, jd0);
  double dawn = sun.riseJD.value(), dusk = sun.setJD.value();
  for (int k = 0; k < kTwilightKinds; ++k) {
    const TwilightInstants tw = TwilightTimes(e.ctx, static_cast<Twilight>(k), jd0);
    ASSERT_TRUE(tw.dawnJD && tw.duskJD) << k;
    EXPECT_LT(*tw.dawnJD, dawn) << k;
    EXPECT_GT(*tw.duskJD, dusk) << k;
    dawn = *tw.dawnJD;
    dusk = *tw.duskJD;
  }
}

TEST(MoonPhase, IlluminatedFractionAgainstAstronomyEngine) {
  const auto rows = testing::ReadReferenceEvents("illumination", kFixture);
  ASSERT_GT(rows.size(), 800u);
  Engine e(126.978, 37.5665);
  double worstFraction = 0.0, worstAngle = 0.0;
  for (const auto& row : rows) {
    const MoonPhase p = MoonPhaseAt(e.ctx, row.Num(0));
    EXPECT_NEAR(p.illuminatedFraction, row.Num(1), 0.001) << "JD " << row.Text(0);
    EXPECT_NEAR(p.phaseAngleDeg, row.Num(2), 0.1) << "JD " << row.Text(0);
    worstFraction = std::max(worstFraction, std::fabs(p.illuminatedFraction - row.Num(1)));
    worstAngle = std::max(worstAngle, std::fabs(p.phaseAngleDeg - row.Num(2)));
  }
  std::printf("worst difference: fraction %.6f, phase angle %.4f deg\n", worstFraction, worstAngle);
}

TEST(MoonPhase, MeeusExample48a) {
  Engine e(0.0, 0.0, kTimeTT);
  const MoonPhase p = MoonPhaseAt(e.ctx, CalendarToJulianDay(1992, 4, 12));
  EXPECT_NEAR(p.illuminatedFraction, 0.6786, 0.0005);
  EXPECT_NEAR(p.phaseAngleDeg, 69.0756, 0.05);
  EXPECT_NEAR(p.brightLimbAngleDeg, 285.0, 0.1);
  EXPECT_TRUE(p.waxing);
}

TEST(MoonPhase, AgeFromTheNewMoonAndParallacticAngleOnTheMeridian) {
  Engine e(126.978, 37.5665);
  // 2024-02-10 03:00 UT, 4 h 01 min after the new moon (to the minute).
  const MoonPhase p = MoonPhaseAt(e.ctx, CalendarToJulianDay(2024, 2, 10) + 3.0 / 24.0);
  EXPECT_NEAR(p.ageDays, 241.0 / 1440.0, 0.0008);
  // Waning a week after full moon: the lit limb faces east (about 90 degrees).
  const MoonPhase waning = MoonPhaseAt(e.ctx, CalendarToJulianDay(2024, 3, 3));
  EXPECT_FALSE(waning.waxing);
  EXPECT_NEAR(waning.brightLimbAngleDeg, 90.0, 30.0);
  EXPECT_GT(waning.ageDays, 20.0);
  EXPECT_LT(waning.ageDays, 23.0);
  // On the meridian the zenith is straight north (or south) of the Moon; the
  // transit found is that of the topocentric Moon, whose geocentric hour
  // angle is then a few arcminutes off zero.
  Engine noon(0.0, 37.5665);
  const double transit = RiseSetTimes(noon.ctx, kBodyMoon, CalendarToJulianDay(2024, 2, 17)).transitJD;
  EXPECT_NEAR(MoonPhaseAt(noon.ctx, transit).parallacticAngleDeg, 0.0, 1.0);
}

TEST(CliMoonAndTwilight, ListingsHaveTheirShape) {
  TempDir dir;
  const auto moon = RunCli("moon 2024-02-17 21:00 --format csv", dir.path());
  ASSERT_EQ(moon.status, 0) << moon.err;
  const auto lines = Lines(moon.out);
  ASSERT_EQ(lines.size(), 2u) << moon.out;
  EXPECT_EQ(lines[0], "illuminated_fraction,phase_angle_deg,bright_limb_angle_deg,age_days");
  Engine e(126.9669, 37.5422);
  const MoonPhase p = MoonPhaseAt(e.ctx, CalendarToJulianDay(2024, 2, 17) + 12.0 / 24.0);
  double fraction = 0.0, phase = 0.0, limb = 0.0, age = 0.0;
  ASSERT_EQ(std::sscanf(lines[1].c_str(), "%lf,%lf,%lf,%lf", &fraction, &phase, &limb, &age), 4);
  EXPECT_NEAR(fraction, p.illuminatedFraction, 2e-6);
  EXPECT_NEAR(phase, p.phaseAngleDeg, 2e-4);
  EXPECT_NEAR(limb, p.brightLimbAngleDeg, 2e-4);
  EXPECT_NEAR(age, p.ageDays, 2e-4);

  const auto tw = RunCli("riseset 2025-03-20 --body sun --twilight", dir.path());
  ASSERT_EQ(tw.status, 0) << tw.err;
  const auto rows = Lines(tw.out);
  ASSERT_EQ(rows.size(), 5u) << tw.out;
  EXPECT_EQ(rows[0], "body,rise,set");
  const char* names[] = {"sun,", "civil,", "nautical,", "astronomical,"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(rows[static_cast<size_t>(i) + 1].rfind(names[i], 0), 0u) << rows[i + 1];

  EXPECT_EQ(RunCli("moon 2024-02-17 25:00", dir.path()).status, 2);
  EXPECT_EQ(RunCli("moon 2024-02-17 --format xml", dir.path()).status, 2);
  EXPECT_EQ(RunCli("riseset 2024-02-17 --body moon --twilight", dir.path()).status, 2);
}

TEST(Twilight, WhiteNightRowsAreEmptyInTheListing) {
  Engine north(24.94, 60.17);
  const std::string csv = RiseSetCsv(north.ctx, "", 2025, 6, 21, kRiseSetSun, true);
  const auto rows = Lines(csv);
  ASSERT_EQ(rows.size(), 5u) << csv;
  EXPECT_EQ(rows[3], "nautical,,");
  EXPECT_EQ(rows[4], "astronomical,,");
  EXPECT_NE(rows[2], "civil,,");
}

}  // namespace
}  // namespace orv
