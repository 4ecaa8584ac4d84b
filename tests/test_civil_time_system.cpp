// The civil-clock time system: everything reckoned as in standard time, the
// clock times of rise and set and of the term and syzygy lists read on the
// place's civil clock (tzdata), each labelled with the offset in force.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "app/core/files/config.h"
#include "app/core/messages.h"
#include "app/core/reports/day_report.h"
#include "app/core/reports/eclipse_reports.h"
#include "app/core/reports/year_reports.h"
#include "cli_runner.h"
#include "lunisolar/prepare.h"
#include "report_fixture.h"

namespace orv {
namespace {

constexpr int kSeoul = 0;

// "HH:MM" of every rise/set time of a day report, with what follows it.
std::vector<std::string> RiseSetTimes(const std::string& report) {
  std::vector<std::string> out;
  const std::regex time("(\\d\\d)일 (\\d\\d):(\\d\\d):\\d\\d\\.\\d( UTC[+-]\\d\\d:\\d\\d)?");
  const size_t from = report.find("일,월출몰]");
  for (std::sregex_iterator it(report.begin() + static_cast<long>(from), report.end(), time), end; it != end; ++it)
    out.push_back((*it)[1].str() + " " + (*it)[2].str() + ":" + (*it)[3].str() + (*it)[4].str());
  return out;
}

std::string DayReport(int timeSystem, int y, int m, int d) {
  testing::ReportFixture f(kSeoul, timeSystem);
  f.Inputs().timeZone = BuiltInPlaceTable().rows[kSeoul].timeZone;
  EnsureYearLoaded(f.Inputs(), y);
  DaySelection day;
  EXPECT_TRUE(SelectSolarDay(f.Inputs().tables, y, m, d, day));
  return DayReportText(f.Inputs(), day);
}

TEST(CivilTimeSystem, RiseAndSetOnTheClockOfTheDay) {
  struct {
    int y, m, d;
    int hoursAhead;
    const char* label;
  } rows[] = {
      {1988, 7, 1, 1, " UTC+10:00"},  // KDT (tzdata Asia/Seoul)
      {2024, 7, 1, 0, " UTC+09:00"},
  };
  for (const auto& r : rows) {
    const std::vector<std::string> standard = RiseSetTimes(DayReport(kTimeST, r.y, r.m, r.d));
    const std::vector<std::string> civil = RiseSetTimes(DayReport(kTimeCivil, r.y, r.m, r.d));
    // Sunrise and sunset, dawn and dusk of the three twilights, moonrise and moonset.
    ASSERT_EQ(standard.size(), 10u);
    ASSERT_EQ(civil.size(), 10u);
    for (size_t i = 0; i < standard.size(); ++i) {
      const int hs = std::stoi(standard[i].substr(3, 2)), hc = std::stoi(civil[i].substr(3, 2));
      EXPECT_EQ((hc - hs + 24) % 24, r.hoursAhead) << standard[i] << " vs " << civil[i];
      EXPECT_EQ(standard[i].substr(6, 2), civil[i].substr(6, 2));  // minutes
      EXPECT_EQ(civil[i].substr(civil[i].size() - 10), r.label) << civil[i];
      EXPECT_EQ(standard[i].find("UTC"), std::string::npos);
    }
  }
}

TEST(CivilTimeSystem, CalendarStaysInStandardTime) {
  testing::ReportFixture st(kSeoul, kTimeST), civil(kSeoul, kTimeCivil);
  PrepareYear(st.Inputs().engine, st.Inputs().tables, 1988, st.Inputs().lunar);
  PrepareYear(civil.Inputs().engine, civil.Inputs().tables, 1988, civil.Inputs().lunar);
  EXPECT_EQ(st.settings.ZoneOffsetDays, civil.settings.ZoneOffsetDays);
  for (int i = 0; i < YearTables::kDaySlots; ++i) {
    EXPECT_EQ(st.Inputs().tables.DayTable[i].solarDate, civil.Inputs().tables.DayTable[i].solarDate);
    EXPECT_EQ(st.Inputs().tables.DayTable[i].lunarDate, civil.Inputs().tables.DayTable[i].lunarDate) << i;
  }
}

TEST(CivilTimeSystem, TermTimesCarryTheOffset) {
  testing::ReportFixture f(kSeoul, kTimeCivil);
  f.Inputs().timeZone = "Asia/Seoul";
  const std::string text = SolarTermReportText(f.Inputs(), 1988);
  // Summer solstice 1988: June 21 03:57 UT (USNO, to the minute), 12:56:42
  // on the 135th meridian, 13:56:42 on the KDT clock.
  EXPECT_NE(text.find("夏至하지 06월21일13시56분"), std::string::npos) << text;
  EXPECT_NE(text.find("UTC+10:00"), std::string::npos);
  EXPECT_NE(text.find("小寒소한 01월06일12시03분"), std::string::npos);  // winter: standard time
}

TEST(CivilTimeSystem, EclipseTimesOnTheClock) {
  const PlaceTable places = BuiltInPlaceTable();
  int dallas = -1;
  for (size_t i = 0; i < places.rows.size(); ++i)
    if (places.rows[i].name == "미국-Dallas") dallas = static_cast<int>(i);
  ASSERT_GE(dallas, 0);
  // The total eclipse of 2024-04-08 at Dallas: greatest 18:42 UT (NASA
  // eclipse pages: totality 18:40:43-18:44:35 UT), 12:42 on the 90th
  // meridian's standard time, 13:42 on the CDT clock.
  testing::ReportFixture st(dallas, kTimeST), civil(dallas, kTimeCivil);
  const std::string standardText = LocalEclipseReportText(st.Inputs(), 2024);
  const std::string civilText = LocalEclipseReportText(civil.Inputs(), 2024);
  EXPECT_NE(standardText.find("최대식시각 ; 12:42"), std::string::npos) << standardText;
  EXPECT_NE(civilText.find("최대식시각 ; 13:42"), std::string::npos) << civilText;
  EXPECT_NE(civilText.find(" UTC-05:00"), std::string::npos);
  EXPECT_EQ(standardText.find(" UTC-"), std::string::npos);
}

TEST(CivilTimeSystem, ConfigurationKeepsTheNewValue) {
  testing::TempDir dir;
  CalcSettings s = DefaultSettings();
  s.TimeSystemCode = kTimeCivil;
  const std::string path = dir.path() + "/Orvanta.cfg";
  ASSERT_TRUE(SaveSettings(s, path));
  CalcSettings back = DefaultSettings();
  RecordingMessageSink messages;
  ASSERT_TRUE(ReadConfiguration(back, path, messages));
  EXPECT_EQ(back.TimeSystemCode, kTimeCivil);
  UpdateZoneOffset(back);
  EXPECT_EQ(back.ZoneMeridian, back.PlaceMeridian);
}

TEST(CivilTimeSystem, CommandLineOption) {
  testing::TempDir dir;
  const testing::CliResult r = testing::RunCli("day 1988-07-01 --time civil", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("UTC+10:00"), std::string::npos);
  EXPECT_EQ(testing::RunCli("day 1988-07-01 --time zz", dir.path()).status, 2);
}

}  // namespace
}  // namespace orv
