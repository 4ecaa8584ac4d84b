// Public holidays of Korea by the rules in force each year.
//
// Expected days off, election days and holidays designated once left out
// (they follow no rule):
//  - 2018-2027: the national almanac's lists (월력요항, published by the
//    Korea Astronomy and Space Science Institute, later the Korea AeroSpace
//    Administration) as the npm package @hyunbinseo/holidays-kr 5.2027.1
//    (MIT) records them;
//  - 2014: the regulation amended on 2013-11-05 and its first substitute day,
//    2014-09-10 after 추석 on a Sunday, as the government announced it;
//  - earlier years: the regulation's text in force that year (see
//    data/public_holiday_rules.cpp) with the civil dates of the lunar days
//    from the KASI tables (npm korean-lunar-calendar 0.4.0).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/core/month_view.h"
#include "app/core/year_service.h"
#include "app/core/reports/holidays.h"
#include "app/core/reports/public_holidays.h"
#include "lunisolar/prepare.h"
#include "report_fixture.h"
#include "cli_runner.h"

namespace orv {
namespace {

struct YearCase {
  int year;
  const char* daysOff;  // "MM-DD MM-DD ..."
  const char* source;
};

const YearCase kYears[] = {
    {1950, "01-01 01-02 01-03 03-01 04-05 07-17 08-15 09-26 10-03 10-09 10-24 12-25",
     "regulation of 1949 with 국제연합일 (1950-09-18); 추석 lunar 8/15 = 09-26"},
    {1960, "01-01 01-02 01-03 01-04 03-01 03-15 06-06 07-17 07-18 08-15 10-03 10-05 10-09 10-10 10-24 12-25",
     "사방의 날 in place of 식목일; the 1959 clause: Sundays 01-03, 07-17, 10-09 give the next day"},
    {1976, "01-01 01-02 01-03 03-01 04-05 05-05 05-06 06-06 07-17 08-15 09-08 10-01 10-03 10-09 12-25",
     "어린이날 and 석가탄신일 (1975), 국군의 날 in place of 국제연합일 (1976)"},
    {1985, "01-01 01-02 01-03 02-20 03-01 04-05 05-05 05-27 06-06 07-17 08-15 09-29 10-01 10-03 10-09 12-25",
     "민속의 날 (lunar 1/1) from 1985"},
    {1987, "01-01 01-02 01-03 01-29 03-01 04-05 05-05 06-06 07-17 08-15 10-01 10-03 10-07 10-08 10-09 12-25",
     "추석 and the day after (1986); 석가탄신일 on 어린이날"},
    {1989,
     "01-01 01-02 01-03 02-05 02-06 02-07 03-01 04-05 05-05 05-12 06-06 07-17 08-15 09-13 09-14 09-15 10-01 10-02 "
     "10-03 10-09 12-25",
     "설날 and 추석 three days each (1989-02-01); the next-day rule of 1989: 국군의 날 on a Sunday gives 10-02, "
     "설날 전날 on a Sunday (02-05) gives none"},
    {1990,
     "01-01 01-02 01-26 01-27 01-28 03-01 04-05 05-02 05-05 06-06 07-17 08-15 10-01 10-02 10-03 10-04 10-09 12-25",
     "01-03 no longer a day off"},
    {1999, "01-01 02-15 02-16 02-17 03-01 04-05 05-05 05-22 06-06 07-17 08-15 09-23 09-24 09-25 10-03 12-25",
     "신정 one day; 국군의 날 and 한글날 no longer days off (1991)"},
    {2006, "01-01 01-28 01-29 01-30 03-01 05-05 06-06 07-17 08-15 10-03 10-05 10-06 10-07 12-25",
     "식목일 no longer a day off; 석가탄신일 on 어린이날, no substitute yet"},
    {2008, "01-01 02-06 02-07 02-08 03-01 05-05 05-12 06-06 08-15 09-13 09-14 09-15 10-03 12-25",
     "제헌절 no longer a day off"},
    {2013, "01-01 02-09 02-10 02-11 03-01 05-05 05-17 06-06 08-15 09-18 09-19 09-20 10-03 10-09 12-25",
     "한글날 a day off again"},
    {2014, "01-01 01-30 01-31 02-01 03-01 05-05 05-06 06-06 08-15 09-07 09-08 09-09 09-10 10-03 10-09 12-25",
     "first substitute day 09-10 (추석 on a Sunday)"},
    {2018,
     "01-01 02-15 02-16 02-17 03-01 05-05 05-07 05-22 06-06 08-15 09-23 09-24 09-25 09-26 10-03 10-09 12-25",
     "월력요항 2018 (어린이날 on a Saturday, 추석 on a Sunday)"},
    {2019, "01-01 02-04 02-05 02-06 03-01 05-05 05-06 05-12 06-06 08-15 09-12 09-13 09-14 10-03 10-09 12-25",
     "월력요항 2019 (어린이날 on a Sunday; 추석 ending on a Saturday: no substitute)"},
    {2020, "01-01 01-24 01-25 01-26 01-27 03-01 04-30 05-05 06-06 08-15 09-30 10-01 10-02 10-03 10-09 12-25",
     "월력요항 2020 (설날 다음 날 on a Sunday; 개천절 on a Saturday, not yet substituted)"},
    {2021,
     "01-01 02-11 02-12 02-13 03-01 05-05 05-19 06-06 08-15 08-16 09-20 09-21 09-22 10-03 10-04 10-09 10-11 12-25",
     "월력요항 2021 (national days substituted from August 2021)"},
    {2022,
     "01-01 01-31 02-01 02-02 03-01 05-05 05-08 06-06 08-15 09-09 09-10 09-11 09-12 10-03 10-09 10-10 12-25",
     "월력요항 2022 (추석 on a Saturday, its morrow on a Sunday; 한글날 on a Sunday)"},
    {2023, "01-01 01-21 01-22 01-23 01-24 03-01 05-05 05-27 05-29 06-06 08-15 09-28 09-29 09-30 10-03 10-09 12-25",
     "월력요항 2023 (부처님 오신 날 substituted from May 2023)"},
    {2024, "01-01 02-09 02-10 02-11 02-12 03-01 05-05 05-06 05-15 06-06 08-15 09-16 09-17 09-18 10-03 10-09 12-25",
     "월력요항 2024"},
    {2025,
     "01-01 01-28 01-29 01-30 03-01 03-03 05-05 05-06 06-06 08-15 10-03 10-05 10-06 10-07 10-08 10-09 12-25",
     "월력요항 2025 (어린이날 and 부처님 오신 날 on one day: one substitute)"},
    {2026,
     "01-01 02-16 02-17 02-18 03-01 03-02 05-01 05-05 05-24 05-25 06-06 07-17 08-15 08-17 09-24 09-25 09-26 10-03 "
     "10-05 10-09 12-25",
     "월력요항 2026 (노동절 and 제헌절 days off)"},
    {2027,
     "01-01 02-06 02-07 02-08 02-09 03-01 05-01 05-03 05-05 05-13 06-06 07-17 07-19 08-15 08-16 09-14 09-15 09-16 "
     "10-03 10-04 10-09 10-11 12-25 12-27",
     "월력요항 2027"},
};

std::string DaysOff(const std::vector<PublicHoliday>& holidays) {
  std::string out;
  std::string last;
  for (const PublicHoliday& h : holidays) {
    if (!h.dayOff) continue;
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d-%02d", h.month, h.day);
    if (last == buf) continue;
    if (!out.empty()) out += ' ';
    out += buf;
    last = buf;
  }
  return out;
}

TEST(PublicHolidays, DaysOffOfYearsUnderEachRuleSet) {
  testing::ReportFixture f;
  for (const YearCase& c : kYears) {
    PrepareYear(f.Inputs().engine, f.Inputs().tables, c.year, f.Inputs().lunar);
    EXPECT_EQ(DaysOff(PublicHolidaysOfYear(f.Inputs().tables, c.year)), c.daysOff) << c.year << ": " << c.source;
  }
}

TEST(PublicHolidays, NoneBeforeTheRegulationOf1949) {
  testing::ReportFixture f;
  PrepareYear(f.Inputs().engine, f.Inputs().tables, 1948, f.Inputs().lunar);
  EXPECT_TRUE(PublicHolidaysOfYear(f.Inputs().tables, 1948).empty());
  // 1949: only from the regulation's day (1949-06-04) on.
  PrepareYear(f.Inputs().engine, f.Inputs().tables, 1949, f.Inputs().lunar);
  const std::vector<PublicHoliday> h = PublicHolidaysOfYear(f.Inputs().tables, 1949);
  ASSERT_FALSE(h.empty());
  EXPECT_EQ(h.front().month * 100 + h.front().day, 717);
}

TEST(PublicHolidays, SubstituteNamesAndMemorialDays) {
  testing::ReportFixture f;
  PrepareYear(f.Inputs().engine, f.Inputs().tables, 2024, f.Inputs().lunar);
  const std::vector<PublicHoliday> h = PublicHolidaysOfYear(f.Inputs().tables, 2024);
  bool sawSubstitute = false, sawConstitution = false;
  for (const PublicHoliday& x : h) {
    if (x.month == 2 && x.day == 12) {
      EXPECT_TRUE(x.substitute);
      EXPECT_EQ(x.name, "대체공휴일(설날)");
      sawSubstitute = true;
    }
    if (x.month == 7 && x.day == 17) {
      EXPECT_FALSE(x.dayOff);  // a national day, not a day off in 2024
      sawConstitution = true;
    }
  }
  EXPECT_TRUE(sawSubstitute);
  EXPECT_TRUE(sawConstitution);
}

TEST(PublicHolidays, CsvOneRowPerDay) {
  testing::TempDir dir;
  auto r = testing::RunCli("holidays 2025 --format csv", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("date,name,day_off\n2025-01-01,신정,1\n", 0), 0u) << r.out;
  // 어린이날 and 부처님 오신 날 on one day: one row.
  EXPECT_NE(r.out.find("\n2025-05-05,어린이날/부처님 오신 날,1\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n2025-05-06,대체공휴일(부처님 오신 날),1\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n2025-07-17,제헌절,0\n"), std::string::npos) << r.out;
  auto bad = testing::RunCli("holidays 2025 --format xml", dir.path());
  EXPECT_EQ(bad.status, 2);
}

TEST(PublicHolidays, ReportAppendsTheDaysOffItsRowsDoNotShow) {
  testing::ReportFixture f;
  const std::string text = HolidayReportText(f.Inputs(), 2026);
  const std::string tail = text.substr(text.find("기독탄신일"));
  EXPECT_NE(tail.find("그 밖의 공휴일"), std::string::npos);
  for (const char* row : {"대체공휴일(3·1절)\t(양 03/02)\t월요일", "노동절\t(양 05/01)\t금요일",
                          "대체공휴일(광복절)\t(양 08/17)\t월요일", "대체공휴일(개천절)\t(양 10/05)\t월요일"})
    EXPECT_NE(tail.find(row), std::string::npos) << row;
  // A year with nothing further keeps the twelve rows alone.
  EXPECT_EQ(HolidayReportText(f.Inputs(), 2013).find("그 밖의 공휴일"), std::string::npos);
}

// The report names a holiday as the law of that year does, as the grid, the
// CSV and the iCalendar file do: 석가탄신일 until the renaming of 2017-10-17
// (its day in 2017 fell on 5/3, before it), 부처님 오신 날 after it; the day
// before 1975, when no rule made it a holiday, keeps its customary name.
TEST(PublicHolidays, ReportNamesEachHolidayAsTheLawOfItsYear) {
  struct Row {
    int year;
    const char* buddha;
  } rows[] = {{1970, "석가탄신일(음 04/08)"}, {2017, "석가탄신일(음 04/08)"}, {2018, "부처님 오신 날(음 04/08)"},
              {2025, "부처님 오신 날(음 04/08)"}};
  testing::ReportFixture f;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.year);
    const std::string text = HolidayReportText(f.Inputs(), row.year);
    EXPECT_NE(text.find(std::string("\n") + row.buddha + "\t"), std::string::npos) << text;
    EXPECT_NE(text.find("\n기독탄신일\t(양 12/25)\t"), std::string::npos);
    EXPECT_EQ(text.find("성탄절"), std::string::npos);
  }
  // 2025: the substitute day beside the row carries the same name.
  const std::string text = HolidayReportText(f.Inputs(), 2025);
  EXPECT_NE(text.find("대체공휴일(부처님 오신 날)\t(양 05/06)"), std::string::npos) << text;
  EXPECT_EQ(text.find("석가탄신일"), std::string::npos);
}

TEST(PublicHolidays, MonthViewPaintsAndNamesThem) {
  testing::ReportFixture f;
  PrepareYear(f.Inputs().engine, f.Inputs().tables, 2026, f.Inputs().lunar);
  MonthRequest request;
  request.year = 2026;
  request.month = 3;
  MonthView view;
  YearService years;
  ASSERT_TRUE(FillMonthView(f.Inputs().engine, f.Inputs().tables, years, {}, DaysOptions{}, request, view));
  auto cell = [&](int day) -> const MonthCell& {
    for (int k = view.LastCellBefore + 1; k < view.FirstCellAfter; ++k)
      if (view.grid.Line(k, 0) == std::to_string(day)) return view.grid.cells[k];
    static const MonthCell none;
    return none;
  };
  EXPECT_NE(cell(1).ThirdLine().find("3·1절"), std::string::npos) << cell(1).ThirdLine();
  EXPECT_TRUE(cell(1).holidayStyle);
  EXPECT_NE(cell(2).ThirdLine().find("대체공휴일"), std::string::npos) << cell(2).ThirdLine();
  EXPECT_TRUE(cell(2).holidayStyle);
  EXPECT_FALSE(cell(3).holidayStyle) << cell(3).ThirdLine();
  EXPECT_EQ(view.memoMarks, 0);  // holidays do not use up the memo marks
}

}  // namespace
}  // namespace orv
