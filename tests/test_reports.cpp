// The report texts in the situations the golden files do not cover: polar
// night, rise and set under UT, the Moon's events of the day before, tides,
// leap months at the end of the year, the ranges of the 30-year tables, and
// the texts that depend on the settings.
//
// Reference instants: astronomy-engine 2.1.19 (SearchRiseSet, Delta T set to
// 69.184 s), as in tools/reference/check_report_goldens.js.
#include <gtest/gtest.h>

#include <regex>

#include "app/core/reports/day_report.h"
#include "app/core/reports/eclipse_reports.h"
#include "app/core/reports/holidays.h"
#include "app/core/reports/year_reports.h"
#include "report_fixture.h"

namespace orv {
namespace {

using testing::ReportFixture;

constexpr int kSeoul = 0;
constexpr int kMurmansk = 71;  // 68.98 N: polar night around the winter solstice
// Rise and set instants are printed to 0.1 s; the references differ from this
// program's by their own models.
constexpr double kSunToleranceSeconds = 20.0;
constexpr double kMoonToleranceSeconds = 30.0;

std::string DayReport(ReportFixture& f, int y, int m, int d) {
  EnsureYearLoaded(f.Inputs(), y);
  DaySelection day;
  EXPECT_TRUE(SelectSolarDay(*f.tables, y, m, d, day));
  return DayReportText(f.Inputs(), day);
}

// The line of a report that starts with `prefix`.
std::string LineStarting(const std::string& text, const std::string& prefix) {
  const auto at = text.find("\n" + prefix);
  if (at == std::string::npos) return "";
  const auto end = text.find('\n', at + 1);
  return text.substr(at + 1, end - at - 1);
}

// Seconds of the day of "hh:mm:ss.s".
double ClockSeconds(const std::string& hms) {
  int h = 0, m = 0;
  double s = 0;
  std::sscanf(hms.c_str(), "%d:%d:%lf", &h, &m, &s);
  return h * 3600.0 + m * 60.0 + s;
}

struct RiseSetLine {
  int riseDay = 0, setDay = 0;
  double rise = -1, set = -1;  // seconds of the day, -1 for dashes
};

RiseSetLine ParseRiseSet(const std::string& line) {
  RiseSetLine r;
  static const std::regex event(R"((\d\d)일 (\d\d:\d\d:\d\d\.\d))");
  const auto comma = line.find(", ");
  std::smatch m;
  const std::string risePart = line.substr(0, comma), setPart = line.substr(comma);
  if (std::regex_search(risePart, m, event)) {
    r.riseDay = std::stoi(m[1]);
    r.rise = ClockSeconds(m[2]);
  }
  if (std::regex_search(setPart, m, event)) {
    r.setDay = std::stoi(m[1]);
    r.set = ClockSeconds(m[2]);
  }
  return r;
}

TEST(DayReport, PolarNightPrintsDashesUnderStandardTimeAndTT) {
  for (int timeSystem : {kTimeST, kTimeTT}) {
    ReportFixture f(kMurmansk, timeSystem);
    const std::string text = DayReport(f, 2024, 12, 21);
    EXPECT_EQ(LineStarting(text, "日出"), "日出(양력): ---------------, 日沒: ---------------") << timeSystem;
  }
}

TEST(DayReport, UniversalTimeRiseAndSetAtLongitudeZero) {
  ReportFixture f(kSeoul, kTimeUT);
  const std::string text = DayReport(f, 2024, 2, 10);
  EXPECT_NE(text.find("[경도 0.0도 지역의 일,월출몰]\n"), std::string::npos);
  // astronomy-engine at 37.5422 N, 0 E: sunrise 06:55:34.4, sunset 17:33:15.7 UT.
  const RiseSetLine sun = ParseRiseSet(LineStarting(text, "日出"));
  EXPECT_EQ(sun.riseDay, 10);
  EXPECT_NEAR(sun.rise, ClockSeconds("06:55:34.4"), kSunToleranceSeconds);
  EXPECT_NEAR(sun.set, ClockSeconds("17:33:15.7"), kSunToleranceSeconds);
  // The place itself is untouched: the local eclipse report still names its longitude.
  RecordingMessageSink messages;
  EXPECT_TRUE(SwitchToStandardTimeForLocalEclipses(f.settings, messages));
  EXPECT_NE(LocalEclipseReportText(f.Inputs(), 2024).find("(@126.97E/37.54N/0.0m)"), std::string::npos);
}

TEST(DayReport, TerrestrialTimeRiseAndSetAreTheUniversalOnesPlusDeltaT) {
  // The same sunrise at longitude 0, shown in TT: later by Delta T (69.2 s in
  // 2024, IERS), not by twice that.
  ReportFixture ut(kSeoul, kTimeUT), tt(kSeoul, kTimeTT);
  const RiseSetLine a = ParseRiseSet(LineStarting(DayReport(ut, 2024, 2, 10), "日出"));
  const RiseSetLine b = ParseRiseSet(LineStarting(DayReport(tt, 2024, 2, 10), "日出"));
  EXPECT_NEAR(b.rise - a.rise, 69.2, 1.0);
  EXPECT_NEAR(b.set - a.set, 69.2, 1.0);
}

TEST(DayReport, MoonEventsOfTheDayBeforeWhenNeitherFallsOnTheDay) {
  // On 2024-03-04 the Moon's transit belonging to that UT day brings rise and
  // set on the 5th; the report takes those of the transit before, both on the
  // 4th. astronomy-engine: moonrise 02:07:21.7, moonset 11:19:29.4 KST.
  ReportFixture f(kSeoul);
  const RiseSetLine moon = ParseRiseSet(LineStarting(DayReport(f, 2024, 3, 4), "月出"));
  EXPECT_EQ(moon.riseDay, 4);
  EXPECT_EQ(moon.setDay, 4);
  EXPECT_NEAR(moon.rise, ClockSeconds("02:07:21.7"), kMoonToleranceSeconds);
  EXPECT_NEAR(moon.set, ClockSeconds("11:19:29.4"), kMoonToleranceSeconds);
}

TEST(DayReport, TideOfLunarDays15And30IsSpringTide) {
  for (int lunarDay : {15, 30}) {
    EXPECT_STREQ(TideOfLunarDay(lunarDay).name, "사리(7물)");
    EXPECT_STREQ(TideOfLunarDay(lunarDay).highWater, "오전오후8시25분");
  }
  EXPECT_STREQ(TideOfLunarDay(8).name, "조금(0)");
  // 2024-02-24 is lunar 1-15 (KASI).
  ReportFixture f(kSeoul);
  const std::string text = DayReport(f, 2024, 2, 24);
  EXPECT_NE(text.find("물때는 사리(7물) 입니다.\n충무지방 해안의 滿潮시각은 오전오후8시25분 경이고"), std::string::npos);
}

TEST(DayReport, DistanceFromTodayIsSigned) {
  ReportFixture f(kSeoul);  // today 2024-01-01
  EXPECT_NE(DayReport(f, 2023, 12, 25).find("오늘(2024년 1월 1일)부터 차이 ; -7일\n"), std::string::npos);
  EXPECT_NE(DayReport(f, 2024, 1, 11).find("오늘(2024년 1월 1일)부터 차이 ; 10일\n"), std::string::npos);
}

TEST(DayReport, SelectedDateLines) {
  ReportFixture f(kSeoul);
  EnsureYearLoaded(f.Inputs(), 2023);
  DaySelection day;
  // Lunar 2023 leap 2-1 is 2023-03-22 (KASI).
  ASSERT_TRUE(SelectLunarDay(*f.tables, 2023, 2, 1, true, day));
  EXPECT_EQ(day.solarMonth, 3);
  EXPECT_EQ(day.solarDay, 22);
  EXPECT_EQ(SelectedDateLine(day), "선택한 날짜는 (음력) 기원후 2023年 閏2月 1日");
  ASSERT_TRUE(SelectSolarDay(*f.tables, 2023, 4, 19, day));
  EXPECT_TRUE(day.leap);
  EXPECT_EQ(SelectedDateLine(day), "선택한 날짜는 (양력) 기원후 2023年 4月 19日");
  DaySelection bc;
  bc.solarYear = -100;
  bc.solarMonth = 3;
  bc.solarDay = 1;
  EXPECT_EQ(SelectedDateLine(bc), "선택한 날짜는 (양력) 기원전 101年 3月 1日");
  bc.lunarMode = true;
  bc.lunarYear = 0;
  bc.lunarMonth = 5;
  bc.lunarDay = 5;
  EXPECT_EQ(SelectedDateLine(bc), "선택한 날짜는 (음력) 기원전 1年 5月 5日");
}

TEST(YearReports, LeapTwelfthMonthClosesTheSyzygyReport) {
  // Without the historical correction the computed calendar of 1889 has a
  // leap 12th month.
  ReportFixture f(kSeoul);
  EnsureYearLoaded(f.Inputs(), 1889);
  ASSERT_GE(SlotOfLunarDate(*f.tables, 1889, 12, 1, true), 0);
  const std::string text = SyzygyReportText(f.Inputs(), 1889);
  const std::regex line(R"(\n\n(  \d\d월|  정월|윤\d+월)달\t)");
  std::vector<std::string> labels;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), line); it != std::sregex_iterator(); ++it)
    labels.push_back((*it)[1]);
  ASSERT_EQ(labels.size(), 13u) << text;
  EXPECT_EQ(labels.front(), "  정월");
  EXPECT_EQ(labels[11], "  12월");
  EXPECT_EQ(labels.back(), "윤12월");
}

TEST(YearReports, SolarTermReportOfABcYear) {
  ReportFixture f(kSeoul);
  const std::string text = SolarTermReportText(f.Inputs(), -100);
  EXPECT_EQ(text.rfind("기원전 101년의 節氣(양력날짜, 적용된 시간체계는 ST(표준시))\n\n", 0), 0u);
  // Twelve pairs, the first opened by the minor cold of early January.
  const std::regex pair(R"(\n\n(\S+) \d\d월\d\d일\d\d시\d\d분\d\d\.\d초\t)");
  std::vector<std::string> sectional;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pair); it != std::sregex_iterator(); ++it)
    sectional.push_back((*it)[1]);
  ASSERT_EQ(sectional.size(), 12u) << text;
  EXPECT_EQ(sectional.front(), "小寒소한");
  EXPECT_EQ(sectional.back(), "大雪대설");
}

TEST(YearReports, ThirtyYearRangesShrinkAtTheLimits) {
  const EphemerisSpan plan404{-4999, 10000};
  EXPECT_EQ(ThirtyYearRange(2000, false, plan404).first, 2000);
  EXPECT_EQ(ThirtyYearRange(2000, false, plan404).last, 2030);
  EXPECT_EQ(ThirtyYearRange(2000, true, plan404).first, 1970);
  EXPECT_EQ(ThirtyYearRange(-4990, true, plan404).first, -4999);
  EXPECT_EQ(ThirtyYearRange(-4990, true, plan404).last, -4990);
  EXPECT_EQ(ThirtyYearRange(9990, false, plan404).last, 10000);
}

TEST(EphemerisSpans, NominalAndFileYears) {
  EXPECT_EQ(NominalEphemerisSpan(DefaultSettings().EphemerisCode), (EphemerisSpan{-4999, 10000}));
  EXPECT_EQ(NominalEphemerisSpan(kEphemerisDe431), (EphemerisSpan{-12999, 16998}));
  EXPECT_EQ(NominalEphemerisSpan(kEphemerisDe441), (EphemerisSpan{-12999, 16998}));
  // Without an open file a JPL code serves its published years.
  EXPECT_EQ(ServedEphemerisSpan(kEphemerisDe441, nullptr), (EphemerisSpan{-12999, 16998}));
  EXPECT_EQ(ServedEphemerisSpan(kEphemerisPlan404, nullptr), (EphemerisSpan{-4999, 10000}));
  // A file from 1549-12-21 to 2650-01-25: the first and last years are cut.
  EXPECT_EQ(JplFileSpan(CalendarToJulianDay(1549, 12, 21), CalendarToJulianDay(2650, 1, 25)),
            (EphemerisSpan{1551, 2648}));
  // A file from 1549-03-01 to 2650-10-01 keeps them.
  EXPECT_EQ(JplFileSpan(CalendarToJulianDay(1549, 3, 1), CalendarToJulianDay(2650, 10, 1)),
            (EphemerisSpan{1550, 2649}));
  EXPECT_TRUE((EphemerisSpan{-4999, 10000}).Contains(-4999));
  EXPECT_TRUE((EphemerisSpan{-4999, 10000}).Contains(10000));
  EXPECT_FALSE((EphemerisSpan{-4999, 10000}).Contains(10001));
  EXPECT_FALSE((EphemerisSpan{-4999, 10000}).Contains(-5000));
}

TEST(YearReports, DateTablesWithLeapMonthsAndMissingDates) {
  ReportFixture f(kSeoul);
  EnsureYearLoaded(f.Inputs(), 2023);
  DaySelection solar;
  ASSERT_TRUE(SelectSolarDay(*f.tables, 2023, 4, 19, solar));
  std::vector<int> progress;
  const std::string lunar = LunarDatesTableText(f.Inputs(), solar, {2023, 2025}, [&](int n) { progress.push_back(n); });
  // KASI: 2023-04-19 is leap 2-29, 2024-04-19 is 3-11, 2025-04-19 is 3-22.
  EXPECT_EQ(lunar, "양력 4월 19일에 해당하는 음력\n\n2023년 윤02월 29일\n2024년 03월 11일\n2025년 03월 22일\n\n[음력은 미보정]");
  EXPECT_EQ(progress, (std::vector<int>{0, 1, 2}));
  // The year loaded before is loaded again.
  EXPECT_EQ(f.tables->LoadedYear, 2023);

  DaySelection leap;
  ASSERT_TRUE(SelectLunarDay(*f.tables, 2023, 2, 1, true, leap));
  EXPECT_EQ(SolarDatesTableText(f.Inputs(), leap, {2023, 2025}),
            "음력 윤2월 1일에 해당하는 양력\n\n2023년 03월 22일\n2024년 해당양력 없음\n2025년 해당양력 없음\n\n[음력은 미보정]");

  EnsureYearLoaded(f.Inputs(), 2024);
  DaySelection feb29;
  ASSERT_TRUE(SelectSolarDay(*f.tables, 2024, 2, 29, feb29));
  EXPECT_NE(LunarDatesTableText(f.Inputs(), feb29, {2024, 2025}).find("\n2025년 해당음력 없음"), std::string::npos);
}

TEST(YearReports, AboutTextNamesTheModelsInUse) {
  CalcSettings s = DefaultSettings();
  s.EphemerisCode = kEphemerisDe441;
  s.PrecessionModel = kPrecessionIau2006;
  s.NutationModel = kNutationIau2000B;
  EXPECT_EQ(AboutText(s).rfind("이 달력은 JPL의 DE441과 IAU2006세차, IAU2000B장동보정을\n이용하였습니다.", 0), 0u);
  s.EphemerisCode = kEphemerisDe431;
  s.PrecessionModel = kPrecessionOwen1990;
  s.NutationModel = kNutationInternal;
  EXPECT_EQ(AboutText(s).rfind("이 달력은 JPL의 DE431과 Owen1990세차, 천체력에 내장된 장동보정을\n", 0), 0u);
  EXPECT_NE(AboutText(s).find("상세설명을 더 보시려면 아래의 '다시시도'를, 아니면 '취소'를 누르세요."), std::string::npos);
}

TEST(YearReports, HolidayCountsBeforeTheirOriginsArePrintedAsComputed) {
  ReportFixture f(kSeoul);
  const std::string text = HolidayReportText(f.Inputs(), 1900);
  EXPECT_EQ(text.rfind("1900년의 기념일(국경일,공휴일)\n\n\n", 0), 0u);
  EXPECT_NE(text.find("삼일절\t(양 03/01)\t목요일; -19주년\n\n"), std::string::npos);  // 1900-03-01 was a Thursday
  EXPECT_NE(text.find("한글날\t(양 10/09)\t화요일; 454돌\n\n"), std::string::npos);
}

TEST(EclipseReports, LocalReportUnderTTSwitchesToStandardTime) {
  ReportFixture f(kSeoul, kTimeTT);
  RecordingMessageSink messages;
  EXPECT_TRUE(SwitchToStandardTimeForLocalEclipses(f.settings, messages));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "지역표준시로 설정됩니다.");
  EXPECT_EQ(messages.messages[0].caption, "참고");
  EXPECT_EQ(f.settings.TimeSystemCode, kTimeST);
  EXPECT_DOUBLE_EQ(f.settings.ZoneOffsetDays, 135.0 / 360.0);
  EXPECT_FALSE(SwitchToStandardTimeForLocalEclipses(f.settings, messages));
  EXPECT_EQ(messages.messages.size(), 1u);
}

TEST(EclipseReports, Plan404WarningOutsideItsYears) {
  ReportFixture f(kSeoul);
  const std::string text = GlobalEclipseReportText(f.Inputs(), -3001);
  EXPECT_EQ(text.rfind("기원전 3002년의 日蝕 및 月蝕", 0), 0u);
  EXPECT_NE(text.find("\n\n *** PLAN404의 경우는 -3000~3000년 사이만 유효합니다.***\n---"), std::string::npos);
  EXPECT_EQ(GlobalEclipseReportText(f.Inputs(), 3000).find("PLAN404의 경우는"), std::string::npos);
}

}  // namespace
}  // namespace orv
