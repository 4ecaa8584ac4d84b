// The instants of a simulation's lines are reckoned from the start and the
// line's index, so that a long run ends where its step count says, to the
// hundredth of a second printed; the Delta T and sidereal-time items head
// their date column with the time it holds; the run header and the window
// show the E.O.P correction as the engine applies it.
#include <gtest/gtest.h>

#include "ephemeris/earth_orientation.h"
#include "simulation_fixture.h"

namespace orv::testing {
namespace {

constexpr size_t kHeaderLines = 3;  // settings, conditions, column names

// The printed date column of line `line` (0-based) of a run from the start.
std::string ColumnOfLine(const SimulationRequest& r, const CalcSettings& settings, long long line) {
  const double startJD = SimulationStartInstant(r, settings);
  return SimulationDateColumn(settings, LineInstant(r, settings, startJD, line));
}

TEST(SimulationLines, EachLineIsTheStartPlusItsIndexTimesTheStep) {
  // Start 2026-12-10 19:57:20 standard time of Seoul. The expected ends
  // are the start plus k steps by Python's datetime arithmetic.
  struct Row {
    int unit;
    double step;
    long long line;
    const char* want;
  } rows[] = {
      {kUnitMinutes, 1, 199999, "'2027-04-28 17:16:20.00"},   // 199,999 minutes = 138 d 21 h 19 min
      {kUnitSeconds, 1, 999999, "'2026-12-22 09:43:59.00"},   // 11 d 13 h 46 min 39 s
      {kUnitSeconds, 0.1, 1999999, "'2026-12-13 03:30:39.90"},  // 199,999.9 s
      {kUnitHours, 1, 99999, "'2038-05-08 10:57:20.00"},      // 4166 d 15 h
      {kUnitDays, 1, 999999, "'4764-11-05 19:57:20.00"},      // a million days on, the time of day kept
      {kUnitMinutes, -1, 199999, "'2026-07-24 22:38:20.00"},  // backwards
      {kUnitMonths, 1, 1200, "'2126-12-10 19:57:20.00"},
      {kUnitYears, 1, 100, "'2126-12-10 19:57:20.00"},
  };
  SimulationFixture f;
  for (const Row& row : rows) {
    SimulationRequest r = Request(kItemObliquity, 2026, 12, 10, 19, 57, row.step, row.unit, 2);
    r.second = 20;
    EXPECT_EQ(ColumnOfLine(r, f.settings, row.line), row.want) << "unit " << row.unit << ", step " << row.step;
  }
}

TEST(SimulationLines, ARunOfTwoHundredThousandMinutesEndsOnTheMinute) {
  // Each line 1 minute after the one before: line 200,000 is 199,999
  // minutes after the start. A step added line by line ended at 17:16:19.28.
  SimulationFixture f;
  SimulationRequest r = Request(kItemObliquity, 2026, 12, 10, 19, 57, 1, kUnitMinutes, 200000);
  r.second = 20;
  const auto lines = f.Run(r);
  ASSERT_EQ(lines.size(), kHeaderLines + 200000);
  EXPECT_EQ(lines[kHeaderLines].substr(0, 24), "'2026-12-10 19:57:20.00,");
  EXPECT_EQ(lines[kHeaderLines + 100000].substr(0, 24), "'2027-02-18 06:37:20.00,");
  EXPECT_EQ(lines.back().substr(0, 24), "'2027-04-28 17:16:20.00,");
}

TEST(SimulationLines, DateColumnNamesTheTimeItHolds) {
  struct Row {
    int timeSystem;
    const char* deltaT;
    const char* sidereal;
  } rows[] = {
      {kTimeTT, "일시(TT),초,시분초", "일시(TT),시,시분초"},
      {kTimeUT, "일시(UT),초,시분초", "일시(UT),시,시분초"},
      {kTimeST, "일시(ST),초,시분초", "일시(ST),시,시분초"},
      {kTimeCivil, "일시(ST),초,시분초", "일시(ST),시,시분초"},
  };
  for (const Row& row : rows) {
    SimulationFixture f(row.timeSystem);
    const auto deltaT = f.Run(Request(kItemDeltaT, 2024, 1, 1, 9, 0, 1, kUnitHours, 1));
    ASSERT_EQ(deltaT.size(), kHeaderLines + 1);
    EXPECT_EQ(deltaT[kHeaderLines - 1], row.deltaT);
    const auto sidereal = f.Run(Request(kItemSiderealTime, 2024, 1, 1, 9, 0, 1, kUnitHours, 1));
    ASSERT_EQ(sidereal.size(), kHeaderLines + 1);
    EXPECT_EQ(sidereal[kHeaderLines - 1], row.sidereal);
    // Under standard time the column holds 09:00 of Seoul, under UT 09:00 UT.
    EXPECT_EQ(deltaT[kHeaderLines].substr(0, 23), "'2024-01-01 09:00:0.00,");
  }
}

TEST(SimulationLines, HeaderShowsTheEopCorrectionTheEngineApplies) {
  // Only 1 switches the correction on; 2, which a hand-edited file may hold,
  // is off in the engine and is shown as off.
  struct Row {
    int value;
    bool on;
  } rows[] = {{0, false}, {1, true}, {2, false}};
  for (const Row& row : rows) {
    SimulationFixture f;
    f.settings.EopCorrection = row.value;
    EXPECT_EQ(EopCorrectionOn(f.settings), row.on) << row.value;
    const std::string header = RunHeaderText(Request(kItemObliquity, 2024, 1, 1, 0, 0, 1, kUnitDays, 1), *f.env);
    EXPECT_NE(header.find(row.on ? "/EOP보정함\n" : "/EOP미보정\n"), std::string::npos) << row.value << ": " << header;
  }
}

}  // namespace
}  // namespace orv::testing
