// TT -> UT conversion just after an upward step of a Delta T model. NASA's
// expressions (Espenak & Meeus) take the decimal year at the middle of the
// month, so Delta T steps at every month start; the Horizons fits step at some
// of their segment bounds. A TT instant inside the gap that such a step opens
// has no UT instant at all: the conversion must still end, with the UT instant
// at the step and Delta T between the values on its two sides.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "data/deltat_tables.h"
#include "time/dates.h"
#include "time/timescales.h"

namespace orv {
namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr double kSecond = 1.0;
// The conversion's own tolerance (0.01 s) plus the rounding of a Julian Day.
constexpr double kStepTolerance = 0.02 * kSecond;

struct ModelCase {
  const char* name;
  int deltaTModel;
  int ephemeris;  // chooses the Horizons table and the tidal term
  int tidal;
};

constexpr ModelCase kModels[] = {
    {"NASA, PLAN404", kDeltaTNasa, kEphemerisPlan404, 1},
    {"NASA, DE431, no tidal term", kDeltaTNasa, kEphemerisDe431, 0},
    {"Horizons table A", kDeltaTHorizons, kEphemerisDe431, 1},
    {"Horizons table B", kDeltaTHorizons, kEphemerisPlan404, 0},
    {"Horizons + NASA", kDeltaTHorizonsNasa, kEphemerisDe441, 1},
};

CalcSettings SettingsOf(const ModelCase& m) {
  CalcSettings s = DefaultSettings();
  s.DeltaTModelCode = m.deltaTModel;
  s.EphemerisCode = m.ephemeris;
  s.TidalCompensation = m.tidal;
  s.TimeSystemCode = kTimeTT;
  return s;
}

// Every instant where some model may step: each month start of the years the
// program accepts (BC 13000 .. AD 16998 with a JPL file), and each bound of
// the Horizons tables.
std::vector<double> CandidateSteps() {
  std::vector<double> steps;
  for (int year = -12999; year <= 16999; ++year)
    for (int month = 1; month <= 12; ++month) steps.push_back(CalendarToJulianDay(year, month, 1));
  for (int i = 0; i < data::kHorizonsDeltaTTableARows; ++i) steps.push_back(data::kHorizonsDeltaTTableA[i].upperJD);
  for (int i = 0; i < data::kHorizonsDeltaTTableBRows; ++i) steps.push_back(data::kHorizonsDeltaTTableB[i].upperJD);
  return steps;
}

// Checks one TT instant inside the gap after the step at `stepUT`.
void ExpectSettles(const CalcSettings& s, double jdTT, double stepUT, double low, double high, const char* model) {
  const double dt = DeltaTAt(s, jdTT);
  ASSERT_TRUE(std::isfinite(dt)) << model << " TT " << jdTT;
  const double ut = jdTT - dt / kSecondsPerDay;
  EXPECT_NEAR(ut, stepUT, kStepTolerance / kSecondsPerDay)
      << model << ": TT " << std::fixed << jdTT << ", step at UT " << stepUT << ", Delta T " << dt;
  EXPECT_GE(dt, low - kStepTolerance) << model << " TT " << std::fixed << jdTT;
  EXPECT_LE(dt, high + kStepTolerance) << model << " TT " << std::fixed << jdTT;
  // Same answer every time, and the time scales agree with it.
  EXPECT_EQ(DeltaTAt(s, jdTT), dt);
  TimeState t;
  t.CurrentJD = jdTT;
  UpdateTimeScales(t, s);
  EXPECT_EQ(t.CurrentDeltaT, dt);
  EXPECT_NEAR(t.CurrentUT + t.CurrentDeltaT / kSecondsPerDay, t.CurrentTT, 0.01 * kSecond / kSecondsPerDay);
}

TEST(DeltaTSteps, EveryUpwardStepOfEveryModelSettles) {
  const std::vector<double> steps = CandidateSteps();
  for (const ModelCase& m : kModels) {
    const CalcSettings s = SettingsOf(m);
    int upward = 0;
    for (const double stepUT : steps) {
      // Delta T on both sides of the step, read at UT (no iteration involved).
      const double low = DeltaTModel(s, stepUT - 1e-6);
      const double high = DeltaTModel(s, stepUT);
      // A step below the 0.01 s tolerance never kept the iteration from ending.
      if (!(high - low > 0.01 * kSecond)) continue;
      ++upward;
      const double gapStartTT = stepUT + low / kSecondsPerDay;
      const double gapDays = (high - low) / kSecondsPerDay;
      for (const double fraction : {0.1, 0.5, 0.9}) {
        ExpectSettles(s, gapStartTT + fraction * gapDays, stepUT, low, high, m.name);
        if (HasFatalFailure()) return;
      }
    }
    EXPECT_GT(upward, 0) << m.name;
  }
}

// The instants that used to swing for ever, with their models.
TEST(DeltaTSteps, ReportedInstants) {
  struct Case {
    double jdTT;
    int deltaTModel;
    double stepUT;
  } cases[] = {
      // 1937-01-01, a bound of the Horizons tables (PLAN404 reads table B).
      {2428534.500278431, kDeltaTHorizons, 2428534.5},
      // 2024-03-01, NASA's month step.
      {2460370.500856134, kDeltaTNasa, 2460370.5},
      // 3000-01-01 01:13:50, NASA's long-term parabola steps by whole years.
      {CalendarToJulianDay(3000, 1, 1) + (1 * 3600 + 13 * 60 + 50) / kSecondsPerDay, kDeltaTNasa,
       CalendarToJulianDay(3000, 1, 1)},
  };
  for (const auto& c : cases) {
    CalcSettings s = DefaultSettings();
    s.DeltaTModelCode = c.deltaTModel;
    s.TimeSystemCode = kTimeTT;
    const double low = DeltaTModel(s, c.stepUT - 1e-6);
    const double high = DeltaTModel(s, c.stepUT);
    ASSERT_GT(high - low, 0.01) << std::fixed << c.jdTT;
    ExpectSettles(s, c.jdTT, c.stepUT, low, high, "reported");
  }
}

// Away from steps the fixed point is the model's own value, as before.
TEST(DeltaTSteps, OrdinaryInstantsKeepTheFixedPoint) {
  for (const ModelCase& m : kModels) {
    const CalcSettings s = SettingsOf(m);
    for (const double jdTT : {2451545.0, 2299170.3, 1000000.25, 3000000.75}) {
      const double dt = DeltaTAt(s, jdTT);
      EXPECT_NEAR(dt, DeltaTModel(s, jdTT - dt / kSecondsPerDay), 0.01 * kSecond) << m.name << " " << jdTT;
    }
  }
}

// A value no input can reach any more still prints without an integer
// overflow.
TEST(DeltaTSteps, FormatOfValuesBeyondAnyModel) {
  EXPECT_EQ(FormatDeltaT(1e300), "1e+300s");
  EXPECT_EQ(FormatDeltaT(-1e16), "-1e+16s");
  EXPECT_EQ(FormatDeltaT(-1e6), "-277h46m40.000s");
}

}  // namespace
}  // namespace orv
