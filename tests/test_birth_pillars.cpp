// The four pillars of a birth instant on the clock of its day.
//
// Sources of the expected values:
//  - Korea's clock: tzdata's Asia/Seoul (Debian tzdata; the zone's history:
//    +08:30 from 1908-04-01, +09:00 from 1912-01-01, +08:30 from 1954-03-21,
//    +09:00 from 1961-08-10; summer time 1948-1951, 1955-1960, 1987-1988),
//    read independently with zdump; the hour branch follows by hand from the
//    offset and the two-hour boundaries.
//  - Equation of time: astronomy-engine 2.1.19 (npm), HourAngle of the Sun at
//    the instant: 2024-02-10 03:00 UT -14.175 min, 2024-11-03 03:00 UT
//    +16.452 min.
#include <gtest/gtest.h>

#include <string>

#include "app/core/reports/birth_pillars.h"
#include "cli_runner.h"
#include "report_fixture.h"
#include "time/civil_clock.h"

namespace orv {
namespace {

constexpr int kSeoul = 0;
constexpr int kMadrid = 321;  // longitude -3.70, zone meridian 15 E: 74.8 minutes behind its clock
constexpr double kHalfMinute = 0.5;

enum Branch { Zi = 0, Chou, Yin, Mao, Chen, Si, Wu, Wei };

struct Case {
  int place;
  int y, m, d, h, mi;
  BirthClock clock;
  HourRule rule;
  int branch;          // expected hour branch
  const char* why;
};

const Case kCases[] = {
    // Summer time on the civil clock.
    {kSeoul, 1955, 6, 1, 11, 40, BirthClock::Civil, HourRule::Standard, Si, "KDT +09:30: 11:10 on the 135th meridian"},
    {kSeoul, 1955, 6, 1, 11, 40, BirthClock::Standard, HourRule::Standard, Wu, "11:40 standard: 午 from 11:30"},
    {kSeoul, 1988, 7, 1, 12, 0, BirthClock::Civil, HourRule::Standard, Si, "KDT +10:00: 11:00 standard"},
    {kSeoul, 1988, 7, 1, 12, 0, BirthClock::Standard, HourRule::Standard, Wu, "12:00 standard"},
    // 1908-1912 and 1954-1961: +08:30 on the clock.
    {kSeoul, 1908, 6, 1, 11, 10, BirthClock::Civil, HourRule::Standard, Wu, "+08:30: 11:40 on the 135th meridian"},
    {kSeoul, 1911, 12, 31, 11, 10, BirthClock::Civil, HourRule::Standard, Wu, "+08:30 to the end of 1911"},
    {kSeoul, 1912, 1, 1, 11, 10, BirthClock::Civil, HourRule::Standard, Si, "+09:00 from 1912"},
    {kSeoul, 1954, 3, 19, 11, 10, BirthClock::Civil, HourRule::Standard, Si, "+09:00 before 1954-03-21"},
    {kSeoul, 1954, 3, 22, 11, 10, BirthClock::Civil, HourRule::Standard, Wu, "+08:30 from 1954-03-21"},
    {kSeoul, 1961, 8, 9, 11, 10, BirthClock::Civil, HourRule::Standard, Wu, "+08:30 until 1961-08-10"},
    {kSeoul, 1961, 8, 11, 11, 10, BirthClock::Civil, HourRule::Standard, Si, "+09:00 from 1961-08-10"},
    // Madrid, far west of its zone meridian.
    {kMadrid, 2024, 11, 3, 12, 5, BirthClock::Standard, HourRule::Standard, Wu, "12:05 on the 15th meridian"},
    {kMadrid, 2024, 11, 3, 12, 5, BirthClock::Standard, HourRule::Mean, Si, "mean solar 10:50"},
    {kMadrid, 2024, 11, 3, 12, 5, BirthClock::Standard, HourRule::True, Wu, "true solar 11:07 (+16.45 min)"},
    {kMadrid, 2024, 6, 21, 13, 5, BirthClock::Civil, HourRule::Mean, Si, "CEST 13:05 = 12:05 CET, mean 10:50"},
};

TEST(BirthPillars, HourBranchOnEachClockAndRule) {
  for (const Case& c : kCases) {
    testing::ReportFixture f(c.place);
    const PlaceRecord place = BuiltInPlaceTable().rows[static_cast<size_t>(c.place)];
    BirthReading r{c.y, c.m, c.d, c.h, c.mi, c.clock, c.rule};
    const BirthPillars p = ComputeBirthPillars(f.Inputs(), place, r);
    ASSERT_TRUE(p.ok) << c.why << ": " << p.error;
    EXPECT_EQ(p.pillars.hour % 12, c.branch) << c.y << "-" << c.m << "-" << c.d << " " << c.h << ":" << c.mi << " ("
                                             << c.why << ") got " << PillarNames(p.pillars);
  }
}

TEST(BirthPillars, CivilClockMovesOnlyTheInstant) {
  // The civil 12:00 of 1988-07-01 is the standard 11:00: the same pillars.
  testing::ReportFixture f(kSeoul);
  const PlaceRecord place = BuiltInPlaceTable().rows[kSeoul];
  const BirthPillars civil = ComputeBirthPillars(f.Inputs(), place, {1988, 7, 1, 12, 0, BirthClock::Civil});
  const BirthPillars standard = ComputeBirthPillars(f.Inputs(), place, {1988, 7, 1, 11, 0, BirthClock::Standard});
  ASSERT_TRUE(civil.ok && standard.ok);
  EXPECT_EQ(PillarNames(civil.pillars), PillarNames(standard.pillars));
  EXPECT_TRUE(civil.daylightSaving);
  EXPECT_EQ(civil.clockOffsetSeconds, 10 * 3600);
  EXPECT_NEAR(civil.clockMinusStandardMinutes, 60.0, 1e-9);
  const std::vector<std::string> notes = BirthPillarsNotes(civil, place, {1988, 7, 1, 12, 0, BirthClock::Civil});
  ASSERT_GE(notes.size(), 2u);
  EXPECT_NE(notes[0].find("UTC+10:00"), std::string::npos) << notes[0];
  EXPECT_NE(notes[1].find("+60.0분"), std::string::npos) << notes[1];
}

TEST(BirthPillars, CivilReadingsHoldUnderEveryTimeSystem) {
  const PlaceRecord place = BuiltInPlaceTable().rows[kSeoul];
  std::string want;
  for (int system : {kTimeST, kTimeUT, kTimeTT}) {
    testing::ReportFixture f(kSeoul, system);
    for (HourRule rule : {HourRule::Standard, HourRule::Mean, HourRule::True}) {
      const BirthPillars p =
          ComputeBirthPillars(f.Inputs(), place, {1988, 7, 1, 12, 0, BirthClock::Civil, rule});
      ASSERT_TRUE(p.ok) << system;
      if (rule == HourRule::Standard) {
        if (want.empty()) want = PillarNames(p.pillars);
        EXPECT_EQ(PillarNames(p.pillars), want) << "time system " << system;
      }
      // Standard 11:00, local mean 10:28, true 10:24: 巳 by every rule.
      EXPECT_EQ(p.pillars.hour % 12, Si) << system;
    }
  }
}

TEST(BirthPillars, EquationOfTimeFromTheEnginesSun) {
  testing::ReportFixture f(kSeoul);
  const PlaceRecord place = BuiltInPlaceTable().rows[kSeoul];
  struct {
    int m, d;
    double eotMinutes;
  } rows[] = {{2, 10, -14.175}, {11, 3, 16.452}};
  for (const auto& row : rows) {
    const BirthPillars p =
        ComputeBirthPillars(f.Inputs(), place, {2024, row.m, row.d, 12, 0, BirthClock::Standard, HourRule::True});
    ASSERT_TRUE(p.ok);
    EXPECT_NEAR(p.equationOfTimeMinutes, row.eotMinutes, kHalfMinute / 10) << row.m << "-" << row.d;
    EXPECT_NEAR(p.longitudeMinutes, (126.9669 - 135.0) * 4.0, 1e-3);
  }
}

TEST(BirthPillars, ReadingTheClockSkippedIsRefusedWithTheChange) {
  testing::ReportFixture f(kSeoul);
  const PlaceRecord place = BuiltInPlaceTable().rows[kSeoul];
  // Summer time began 1987-05-10 02:00 -> 03:00; 1961-08-10 00:00 -> 00:30.
  for (const BirthReading& r : {BirthReading{1987, 5, 10, 2, 30, BirthClock::Civil},
                                BirthReading{1961, 8, 10, 0, 15, BirthClock::Civil}}) {
    const BirthPillars p = ComputeBirthPillars(f.Inputs(), place, r);
    EXPECT_FALSE(p.ok);
    EXPECT_NE(p.error.find("없던 시각"), std::string::npos) << p.error;
  }
  const BirthPillars p = ComputeBirthPillars(f.Inputs(), place, {1987, 5, 10, 2, 30, BirthClock::Civil});
  EXPECT_NE(p.error.find("02:00(KST UTC+09:00)에 03:00(KDT UTC+10:00)"), std::string::npos) << p.error;
}

TEST(BirthPillars, ARepeatedReadingSaysWhichAndOffersTheOther) {
  testing::ReportFixture f(kSeoul);
  const PlaceRecord place = BuiltInPlaceTable().rows[kSeoul];
  // Summer time ended 1987-10-11 03:00 -> 02:00: 02:30 came twice.
  BirthReading r{1987, 10, 11, 2, 30, BirthClock::Civil};
  const BirthPillars first = ComputeBirthPillars(f.Inputs(), place, r);
  ASSERT_TRUE(first.ok);
  EXPECT_TRUE(first.repeated);
  EXPECT_EQ(first.clockOffsetSeconds, 10 * 3600);
  EXPECT_EQ(first.otherOffsetSeconds, 9 * 3600);
  EXPECT_EQ(first.sysHour * 60 + first.sysMinute, 90);  // 01:30 standard
  const std::vector<std::string> notes = BirthPillarsNotes(first, place, r);
  EXPECT_NE(notes.back().find("KDT(UTC+10:00) 쪽을 썼습니다"), std::string::npos) << notes.back();
  EXPECT_NE(notes.back().find("KST(UTC+09:00) 쪽이면"), std::string::npos) << notes.back();
  r.laterOfRepeated = true;
  const BirthPillars second = ComputeBirthPillars(f.Inputs(), place, r);
  ASSERT_TRUE(second.ok);
  EXPECT_EQ(second.clockOffsetSeconds, 9 * 3600);
  EXPECT_EQ(second.sysHour * 60 + second.sysMinute, 150);  // 02:30 standard
}

TEST(BirthPillars, NoZoneMeansNoCivilClock) {
  testing::ReportFixture f(kSeoul);
  PlaceRecord place = BuiltInPlaceTable().rows[kSeoul];
  place.timeZone.clear();  // a user place
  const BirthPillars p = ComputeBirthPillars(f.Inputs(), place, {2000, 1, 1, 12, 0, BirthClock::Civil});
  EXPECT_FALSE(p.ok);
  EXPECT_FALSE(p.error.empty());
  // The standard clock works as before.
  EXPECT_TRUE(ComputeBirthPillars(f.Inputs(), place, {2000, 1, 1, 12, 0, BirthClock::Standard}).ok);
}

TEST(BirthPillars, CommandLine) {
  testing::TempDir dir;
  // The first line stays the four names; the corrections follow. The civil
  // 11:40 (KDT) is the standard 11:10.
  const testing::CliResult plain = testing::RunCli("pillars 1955-06-01 11:10 --clock standard", dir.path());
  const testing::CliResult civil = testing::RunCli("pillars 1955-06-01 11:40 --clock civil", dir.path());
  ASSERT_EQ(plain.status, 0) << plain.err;
  ASSERT_EQ(civil.status, 0) << civil.err;
  EXPECT_EQ(civil.out.substr(0, civil.out.find('\n') + 1), plain.out.substr(0, plain.out.find('\n') + 1));
  EXPECT_NE(plain.out.find("보정 없음"), std::string::npos) << plain.out;
  // The civil clock is the default.
  EXPECT_EQ(testing::RunCli("pillars 1955-06-01 11:40", dir.path()).out, civil.out);
  EXPECT_NE(civil.out.find("UTC+09:30 (섬머타임)"), std::string::npos) << civil.out;
  EXPECT_NE(civil.out.find("+30.0분"), std::string::npos) << civil.out;
  // A skipped reading: one line on standard error, exit 2.
  const testing::CliResult gap = testing::RunCli("pillars 1987-05-10 02:30 --clock civil", dir.path());
  EXPECT_EQ(gap.status, 2);
  EXPECT_TRUE(gap.out.empty());
  EXPECT_NE(gap.err.find("없던 시각"), std::string::npos) << gap.err;
  EXPECT_EQ(testing::RunCli("pillars 2000-01-01 12:00 --hour-rule solar", dir.path()).status, 2);
  EXPECT_EQ(testing::RunCli("pillars 2000-01-01 --clock civil", dir.path()).status, 2);
  const testing::CliResult later = testing::RunCli("pillars 1987-10-11 02:30 --clock civil --later", dir.path());
  ASSERT_EQ(later.status, 0) << later.err;
  EXPECT_NE(later.out.find("KST(UTC+09:00) 쪽을 썼습니다"), std::string::npos) << later.out;
}

TEST(CivilClock, SeoulHistoryFromTzdata) {
  const CivilClock seoul("Asia/Seoul");
  ASSERT_TRUE(seoul.valid());
  struct {
    LocalReading utc;
    int offsetSeconds;
    bool dst;
  } rows[] = {
      {{1908, 4, 1, 0, 0, 0}, 8 * 3600 + 1800, false}, {{1912, 1, 1, 0, 0, 0}, 9 * 3600, false},
      {{1954, 3, 21, 0, 0, 0}, 8 * 3600 + 1800, false}, {{1955, 6, 1, 0, 0, 0}, 9 * 3600 + 1800, true},
      {{1961, 8, 10, 0, 0, 0}, 9 * 3600, false},        {{1988, 7, 1, 0, 0, 0}, 10 * 3600, true},
      {{2024, 7, 1, 0, 0, 0}, 9 * 3600, false},
  };
  for (const auto& r : rows) {
    const ClockState s = seoul.StateAt(UtcReadingToUnix(r.utc));
    EXPECT_EQ(s.offsetSeconds, r.offsetSeconds) << r.utc.year << "-" << r.utc.month;
    EXPECT_EQ(s.daylightSaving, r.dst) << r.utc.year;
  }
  EXPECT_FALSE(CivilClock("Nowhere/Atlantis").valid());
  EXPECT_EQ(FormatUtcOffset(-(3 * 3600 + 1800)), "-03:30");
  EXPECT_EQ(FormatUtcOffset(30472), "+08:27:52");
}

TEST(CivilClock, EveryBuiltInPlaceHasAZoneTheSystemKnows) {
  for (const PlaceRecord& p : BuiltInPlaceTable().rows) EXPECT_TRUE(CivilClock(p.timeZone).valid()) << p.name;
}

}  // namespace
}  // namespace orv
