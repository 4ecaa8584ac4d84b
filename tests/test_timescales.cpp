// Delta T and the time scales. References: Espenak & Meeus, "Five Millennium
// Canon of Solar Eclipses" (NASA TP-2006-214141), table of Delta T values;
// IERS Bulletin C (TAI-UTC), since the Horizons fits reproduce
// Delta T = TAI-UTC + 32.184 s at leap-second epochs.
#include <gtest/gtest.h>

#include <cmath>

#include "data/deltat_tables.h"
#include "time/dates.h"
#include "time/timescales.h"

namespace orv {
namespace {

constexpr double kSecond = 1.0;

CalcSettings Settings(int model, int tidal, int ephemeris = kEphemerisPlan404, int time = kTimeUT) {
  CalcSettings s = DefaultSettings();
  s.DeltaTModelCode = model;
  s.TidalCompensation = tidal;
  s.EphemerisCode = ephemeris;
  s.TimeSystemCode = time;
  return s;
}

TEST(DeltaT, NasaExpressionsAgainstPublishedTable) {
  // Published values are for the start of the year; the model takes the
  // middle of the month, hence the tolerances.
  struct Case { int year; double published; double tol; } cases[] = {
      {-500, 17190, 20 * kSecond}, {500, 5710, 5 * kSecond},  {1600, 120, 0.5 * kSecond},
      {1700, 9, 0.5 * kSecond},    {1800, 13.7, 0.2 * kSecond}, {1900, -2.7, 0.1 * kSecond},
      {1950, 29.1, 0.1 * kSecond}, {2000, 63.8, 0.1 * kSecond}};
  for (const auto& c : cases)
    EXPECT_NEAR(NasaDeltaT(CalendarToJulianDay(c.year, 1, 1)), c.published, c.tol) << c.year;
  // 2100 from the 2050..2150 expression, and the long-term parabola beyond.
  EXPECT_NEAR(NasaDeltaT(CalendarToJulianDay(2100, 1, 1)), 202.8, 0.2);
  EXPECT_NEAR(NasaDeltaT(CalendarToJulianDay(3000, 6, 1)), -20 + 32 * 11.8 * 11.8, 1e-9);
  EXPECT_NEAR(NasaDeltaT(CalendarToJulianDay(-1000, 6, 1)), -20 + 32 * 28.2 * 28.2, 1e-9);
}

TEST(DeltaT, HorizonsFitsAreContinuousAndMatchLeapSeconds) {
  // Adjacent rows of both tables meet within 0.2 s at their common bound: a
  // typing error in a coefficient would show here.
  const data::HorizonsDeltaTRow* tables[] = {data::kHorizonsDeltaTTableA, data::kHorizonsDeltaTTableB};
  const int counts[] = {data::kHorizonsDeltaTTableARows, data::kHorizonsDeltaTTableBRows};
  for (int t = 0; t < 2; ++t) {
    for (int i = 0; i + 1 < counts[t]; ++i) {
      const double bound = tables[t][i].upperJD;
      CalcSettings s = Settings(kDeltaTHorizons, 1, t == 0 ? kEphemerisDe431 : kEphemerisDe441);
      const double before = HorizonsDeltaT(s, bound - 1e-6);
      const double at = HorizonsDeltaT(s, bound);
      EXPECT_NEAR(before, at, 0.2 * kSecond) << "table " << t << " row " << i;
    }
  }
  // TAI-UTC + 32.184 s at leap-second epochs.
  struct Case { int y, m, d; double taiMinusUtc; } cases[] = {
      {1999, 1, 1, 32}, {2006, 1, 1, 33}, {2009, 1, 1, 34}, {2016, 1, 1, 36}};
  const CalcSettings s = Settings(kDeltaTHorizons, 1);
  for (const auto& c : cases)
    EXPECT_NEAR(HorizonsDeltaT(s, CalendarToJulianDay(c.y, c.m, c.d)), c.taiMinusUtc + 32.184, 0.01)
        << c.y;
}

TEST(DeltaT, HorizonsContinuations) {
  CalcSettings s = Settings(kDeltaTHorizons, 1);
  const double jd2020 = CalendarToJulianDay(2020, 1, 1);
  const double T = (jd2020 - kJ2000) / kDaysPerJulianCentury;
  EXPECT_NEAR(HorizonsDeltaT(s, jd2020), 69.18393218 - 5.493442976e-05 * T + 7.696350999e-07 * T * T, 1e-9);
  EXPECT_NEAR(HorizonsDeltaT(s, jd2020), 69.18, 0.01);
  EXPECT_NEAR(HorizonsDeltaT(s, jd2020 - 1e-6), 69.18, 0.2);
  s.DeltaTModelCode = kDeltaTHorizonsNasa;
  EXPECT_NEAR(HorizonsDeltaT(s, CalendarToJulianDay(2020, 1, 1)), 67.78195645 + 0.4889479416 * 5.0417 - 4.168425222e-05 * 5.0417 * 5.0417, 1e-3);
  EXPECT_NEAR(HorizonsDeltaT(s, CalendarToJulianDay(3000, 6, 1)), -20 + 32 * 11.8 * 11.8, 1e-9);
}

TEST(DeltaT, TidalTerm) {
  const double jd1900 = CalendarToJulianDay(1900, 1, 1);
  const CalcSettings off = Settings(kDeltaTNasa, 0), on = Settings(kDeltaTNasa, 1);
  EXPECT_NEAR(DeltaTModel(on, jd1900) - DeltaTModel(off, jd1900), -0.0736, 0.0005);
  for (double jd : {CalendarToJulianDay(1962, 1, 2), CalendarToJulianDay(2024, 5, 5)})
    EXPECT_EQ(DeltaTModel(on, jd), DeltaTModel(off, jd));
  // Horizons fits are for ndot = -25.936: compensation adds nothing; without it
  // the term is +0.91072 (ndot + 26) t^2.
  const CalcSettings hOn = Settings(kDeltaTHorizons, 1), hOff = Settings(kDeltaTHorizons, 0);
  EXPECT_EQ(DeltaTModel(hOn, jd1900), HorizonsDeltaT(hOn, jd1900));
  EXPECT_NEAR(DeltaTModel(hOff, jd1900) - HorizonsDeltaT(hOff, jd1900), 0.91072 * 0.064 * 0.555 * 0.555, 1e-4);
  // Unknown model codes: model value 0 plus the tidal term.
  const CalcSettings odd = Settings(5, 1);
  EXPECT_NEAR(DeltaTModel(odd, jd1900), -0.0736, 0.0005);
}

TEST(DeltaT, UserValueAndTimeSystems) {
  for (int time : {kTimeTT, kTimeUT, kTimeST}) {
    CalcSettings s = Settings(kDeltaTUser, 1, kEphemerisPlan404, time);
    s.UserDeltaT = 42.5;
    EXPECT_EQ(DeltaTAt(s, CalendarToJulianDay(1000, 1, 1)), 42.5);
  }
  // Under TT, UT + Delta T / 86400 gives back TT within 0.01 s, even where
  // Delta T is hours.
  for (int year : {-3000, 1000, 1900, 2024}) {
    for (int model : {kDeltaTNasa, kDeltaTHorizons}) {
      CalcSettings s = Settings(model, 1, kEphemerisPlan404, kTimeTT);
      TimeState t;
      t.CurrentJD = CalendarToJulianDay(year, 3, 1);
      UpdateTimeScales(t, s);
      EXPECT_EQ(t.CurrentTT, t.CurrentJD);
      const double dtAtUt = DeltaTModel(s, t.CurrentUT);
      EXPECT_NEAR((t.CurrentUT + dtAtUt / 86400.0 - t.CurrentTT) * 86400.0, 0.0, 0.01) << year;
    }
  }
  CalcSettings s = Settings(kDeltaTHorizons, 1, kEphemerisPlan404, kTimeDeltaTZero);
  TimeState t;
  t.CurrentJD = 2451545.0;
  UpdateTimeScales(t, s);
  EXPECT_EQ(t.CurrentTT, 2451545.0);
  EXPECT_EQ(t.CurrentUT, 2451545.0);
}

TEST(DeltaT, InstantAtDerivesTheOtherScalesOfOneInstant) {
  // TT and UT of one instant differ by its Delta T whichever scale the
  // instant is read in; with Delta T taken as zero all three coincide.
  const double jd = CalendarToJulianDay(1850, 7, 1) + 0.3;
  struct Case { int timeSystem; double TimeState::*given; } cases[] = {
      {kTimeTT, &TimeState::CurrentTT}, {kTimeUT, &TimeState::CurrentUT}, {kTimeST, &TimeState::CurrentUT},
      {kTimeDeltaTZero, &TimeState::CurrentTT}};
  for (const Case& c : cases) {
    const CalcSettings s = Settings(kDeltaTHorizons, 1, kEphemerisPlan404, c.timeSystem);
    const TimeState at = InstantAt(s, jd);
    EXPECT_EQ(at.CurrentJD, jd) << c.timeSystem;
    EXPECT_EQ(at.*c.given, jd) << c.timeSystem;
    if (c.timeSystem == kTimeDeltaTZero) {
      EXPECT_EQ(at.CurrentUT, at.CurrentTT);
    } else {
      EXPECT_EQ(at.CurrentDeltaT, DeltaTAt(s, jd)) << c.timeSystem;
      EXPECT_NEAR((at.CurrentTT - at.CurrentUT) * 86400.0, at.CurrentDeltaT, 1e-4) << c.timeSystem;
    }
  }
}

TEST(DeltaT, Formatting) {
  EXPECT_EQ(FormatDeltaT(-3723.5), "-1h2m3.500s");
  EXPECT_EQ(FormatDeltaT(69.184), "0h1m9.184s");
  EXPECT_EQ(FormatDeltaT(0.0), "0h0m0.000s");
  EXPECT_EQ(FormatDeltaT(17190.0), "4h46m30.000s");
}

TEST(Observer, GeocentricRadius) {
  // The geocentric distance of a point on the ellipsoid: 1 at the equator,
  // b/a at the pole; 100 m of height adds 100 / 6378136.3.
  Observer o;
  o.LatitudeDeg = 0.0;
  ObserverGeocentric(o);
  EXPECT_NEAR(o.ObserverRadius, 1.0, 1e-12);
  o.LatitudeDeg = 90.0;
  ObserverGeocentric(o);
  EXPECT_NEAR(o.ObserverRadius, 0.9966471803021038, 1e-12);
  o.LatitudeDeg = 0.0;
  o.AltitudeM = 100.0;
  ObserverGeocentric(o);
  EXPECT_NEAR(o.ObserverRadius, 1.0 + 100.0 / 6378136.3, 1e-12);
  // Palomar, Meeus example 11.a: 33 21 22 N, 1706 m: rho sin phi' = 0.546861,
  // rho cos phi' = 0.836339.
  o.LatitudeDeg = 33.0 + 21.0 / 60 + 22.0 / 3600;
  o.AltitudeM = 1706.0;
  ObserverGeocentric(o);
  EXPECT_NEAR(o.ObserverRadius, std::hypot(0.546861, 0.836339), 2e-6);
}

}  // namespace
}  // namespace orv
