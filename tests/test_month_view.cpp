// The month grid model: cell texts, marks, pillars and the month's span.
//
// Expected values come from published calendars, not from this program:
// - lunar dates: the Korea Astronomy and Space Science Institute's calendar
//   (npm korean-lunar-calendar 0.4.0, tests/data/kasi_months_1900_2050.csv);
// - solar terms and seasonal days of 2024: KASI's 2024 almanac (입춘 Feb 4
//   17:27, 우수 Feb 19 13:13, 소한 Jan 6 05:49 KST; 초복 Jul 15, 중복 Jul 25,
//   말복 Aug 14; 한식 Apr 5; 단오 Jun 10); 대설 1984 on Dec 7 (KASI 1984);
// - new and full moons of February 2024: USNO phases of the Moon (new
//   2024-02-09 22:59 UT = Feb 10 07:59 KST, full Feb 24 12:30 UT = 21:30 KST);
// - the calendar reform: Thursday 1582-10-04 was followed by Friday
//   1582-10-15 (bull Inter gravissimas); 1 January AD 1 (Julian) was a
//   Saturday, so 1 January of 1 BC (year 0, a leap year) was a Thursday;
// - pillars: 2023 is 癸卯年 and its twelfth lunar month 乙丑月 (Korean almanac).
#include <gtest/gtest.h>
#include <algorithm>
#include <iterator>

#include <string>

#include "app/core/calendar_app.h"
#include "app/core/files/encoding.h"
#include "app/core/month_view.h"
#include "app/core/year_service.h"
#include "lunar_calendar_reference.h"
#include "lunisolar/lunar_calendar.h"
#include "lunisolar/sexagenary.h"
#include "lunisolar/terms.h"
#include "lunisolar_fixture.h"

namespace orv {
namespace {

struct MonthCase {
  testing::CalendarFixture fixture;
  YearService years;
  MonthView view;

  MonthView& Build(int year, int month, DisplayMode mode = DisplayMode::Solar, bool leap = false,
                   const MemoTable& memos = {}) {
    fixture.Prepare(year);
    LayOutMonthGrid(view.grid, month, mode);
    MonthRequest request;
    request.year = year;
    request.month = month;
    request.mode = mode;
    request.leapWanted = leap;
    EXPECT_TRUE(FillMonthView(*fixture.ctx, *fixture.tables, years, memos, DaysOptions{}, request, view));
    return view;
  }
  // First grid cell whose first line reads `text` (inside the month).
  int CellOf(const std::string& firstLine) const {
    for (int k = view.LastCellBefore + 1; k < view.FirstCellAfter; ++k)
      if (view.grid.Line(k, 0) == firstLine) return k;
    return -1;
  }
};

TEST(MonthView, GridLayoutAndLabels) {
  MonthGrid grid;
  LayOutMonthGrid(grid, 2, DisplayMode::Solar);
  EXPECT_EQ(grid.At(0, 0), "FEB");
  EXPECT_EQ(grid.At(1, 0), "일요일");
  EXPECT_EQ(grid.At(7, 0), "토요일");
  EXPECT_EQ(grid.At(0, 1), "양력");
  EXPECT_EQ(grid.At(0, 2), "음력");
  EXPECT_EQ(grid.At(0, 18), "일진");
  LayOutMonthGrid(grid, 13, DisplayMode::Lunar);
  EXPECT_EQ(grid.At(0, 0), "");
  EXPECT_EQ(grid.At(0, 16), "음력");
  EXPECT_EQ(grid.At(0, 17), "양력");
  EXPECT_EQ(MonthGrid::CellAt(1, 1), 0);
  EXPECT_EQ(MonthGrid::CellAt(7, 18), 41);
  EXPECT_EQ(MonthGrid::CellAt(0, 5), -1);
  EXPECT_EQ(MonthGrid::CellAt(3, 0), -1);
}

// Every cell of a few solar months: second lines against the KASI calendar.
TEST(MonthView, SolarModeLunarDatesMatchKasi) {
  const auto kasi = testing::LoadLunarMonths(ORVANTA_TEST_DATA "/kasi_months_1900_2050.csv");
  ASSERT_FALSE(kasi.empty());
  struct Month { int year, month; };
  for (const Month m : {Month{2020, 5}, Month{2020, 6}, Month{2024, 2}, Month{1984, 12}}) {
    MonthCase c;
    const MonthView& v = c.Build(m.year, m.month);
    EXPECT_EQ(v.DaysInMonth(), DaysInMonth(m.year, m.month)) << m.year << "-" << m.month;
    EXPECT_EQ(v.LastCellBefore, WeekdayOf(m.year, m.month, 1) - 1);
    for (int day = 1; day <= DaysInMonth(m.year, m.month); ++day) {
      const int cell = v.LastCellBefore + day;
      EXPECT_EQ(v.grid.Line(cell, 0), std::to_string(day));
      const testing::LunarDay want = kasi.at(static_cast<long>(CalendarToJulianDay(m.year, m.month, day)));
      const std::string date = (want.leap ? "윤" : "") + std::to_string(want.month) + "." + std::to_string(want.day);
      EXPECT_EQ(v.grid.Line(cell, 1).substr(0, date.size()), date) << m.year << "-" << m.month << "-" << day;
    }
  }
}

TEST(MonthView, October1582SkipsTenDays) {
  MonthCase c;
  const MonthView& v = c.Build(1582, 10);
  // Monday 1 October (Julian) in column 2; Friday 15 October right after Thursday 4.
  EXPECT_EQ(v.LastCellBefore, 0);
  EXPECT_EQ(v.FirstCellAfter, 22);
  EXPECT_EQ(v.DaysInMonth(), 21);
  const char* firstLines[] = {"30", "1", "2", "3", "4", "15", "16", "17", "18"};
  for (int k = 0; k < 9; ++k) EXPECT_EQ(v.grid.Line(k, 0), firstLines[k]) << "cell " << k;
  EXPECT_EQ(v.grid.Line(21, 0), "31");
  EXPECT_EQ(v.grid.Line(22, 0), "1");
  EXPECT_EQ(v.calendarNote, "율리우스(Julius)曆 입니다.");
  // Sexagenary days run on without a gap across the reform.
  int index4 = -1, index15 = -1;
  for (int i = 0; i < 60; ++i) {
    if (v.grid.Line(4, 2).rfind(SexagenaryNames[i], 0) == 0) index4 = i;
    if (v.grid.Line(5, 2).rfind(SexagenaryNames[i], 0) == 0) index15 = i;
  }
  EXPECT_EQ((index4 + 1) % 60, index15);
  // Every mark after the 14th sits on the cell of its own date.
  for (int k = 5; k < v.FirstCellAfter; ++k) {
    const std::string& second = v.grid.Line(k, 1);
    for (const char* label : {"합삭", "  망", "일식", "월식"}) {
      if (second.find(label) == std::string::npos) continue;
      const int day = std::stoi(v.grid.Line(k, 0));
      const SyzygyKind kind = std::string(label).find("망") != std::string::npos || std::string(label) == "월식"
                                  ? SyzygyKind::kFullMoon
                                  : SyzygyKind::kNewMoon;
      const std::optional<ListedMinute> found =
          FindSyzygyNear(*c.fixture.tables, ListedMinute{1582, 10, day, 0, 0}, SearchDirection::kAtOrAfter, kind);
      ASSERT_TRUE(found.has_value()) << label;
      EXPECT_EQ(found->d, day) << label;
    }
  }
  MonthCase november;
  EXPECT_EQ(november.Build(1582, 11).calendarNote, "그레고리(Gregory)曆 입니다.");
}

TEST(MonthView, Year0StartsOnThursday) {
  MonthCase c;
  const MonthView& v = c.Build(0, 1);
  EXPECT_EQ(v.LastCellBefore, 3);  // 1 January 1 BC: Thursday, column 5
  EXPECT_EQ(v.grid.Line(4, 0), "1");
  EXPECT_EQ(v.DaysInMonth(), 31);
  EXPECT_EQ(v.calendarNote, "율리우스(Julius)曆 입니다.");
  MonthCase february;
  EXPECT_EQ(february.Build(0, 2).DaysInMonth(), 29);  // a Julian leap year
}

TEST(MonthView, LunarModeLeapMonthOf2020) {
  MonthCase c;
  // Leap 4th month: 2020-05-23 (Saturday) .. 2020-06-20, 29 days.
  const MonthView& v = c.Build(2020, 4, DisplayMode::Lunar, true);
  EXPECT_EQ(v.LastCellBefore, 5);
  EXPECT_EQ(v.FirstCellAfter, 35);
  EXPECT_EQ(v.grid.Line(6, 0), "윤4.1");
  EXPECT_EQ(v.grid.Line(6, 1).substr(0, 4), "5.23");
  EXPECT_EQ(v.grid.Line(7, 0), "2");
  EXPECT_EQ(v.grid.Line(34, 0), "29");
  EXPECT_EQ(v.grid.Line(34, 1).substr(0, 4), "6.20");
  EXPECT_EQ(v.grid.Line(0, 0), "25");  // regular 4th month before it: plain day numbers
  EXPECT_EQ(v.grid.Line(35, 0), "1");
  EXPECT_EQ(v.monthPillar, "無中月");
  EXPECT_TRUE(v.monthWithoutMajorTerm);
  EXPECT_EQ(v.yearPillar, "庚子年");

  MonthCase regular;
  const MonthView& r = regular.Build(2020, 5, DisplayMode::Lunar, false);
  EXPECT_EQ(r.LastCellBefore, -1);  // 2020-06-21 is a Sunday
  EXPECT_EQ(r.DaysInMonth(), 30);
  EXPECT_EQ(r.grid.Line(0, 1).substr(0, 4), "6.21");
  EXPECT_FALSE(r.monthWithoutMajorTerm);
}

TEST(MonthView, LeapDaysBeforeTheMonthCarryTheLeapForm) {
  MonthCase c;
  // Lunar 2023-03 starts Thursday 2023-04-20; the cells before are leap 2nd-month days.
  const MonthView& v = c.Build(2023, 3, DisplayMode::Lunar);
  EXPECT_EQ(v.LastCellBefore, 3);
  EXPECT_EQ(v.grid.Line(0, 0), "윤2.26");
  EXPECT_EQ(v.grid.Line(3, 0), "윤2.29");
  EXPECT_EQ(v.grid.Line(4, 0), "1");
}

TEST(MonthView, TermSyzygyAndPillarsOfFebruary2024) {
  MonthCase c;
  const MonthView& v = c.Build(2024, 2);
  EXPECT_EQ(v.grid.Line(c.CellOf("4"), 1), "12.25立春입춘");
  EXPECT_EQ(v.grid.cells[c.CellOf("4")].markKind, SecondLineMark::SectionalTerm);
  EXPECT_EQ(v.grid.Line(c.CellOf("19"), 1), "1.10雨水우수");
  EXPECT_EQ(v.grid.cells[c.CellOf("19")].markKind, SecondLineMark::MajorTerm);
  EXPECT_EQ(v.grid.Line(c.CellOf("10"), 1), "1.1 합삭");
  EXPECT_EQ(v.grid.Line(c.CellOf("24"), 1), "1.15   망");
  EXPECT_EQ(v.yearPillar, "癸卯年");
  EXPECT_EQ(v.monthPillar, "乙丑月 ");
  EXPECT_EQ(v.calendarNote, "그레고리(Gregory)曆 입니다.");
  // Selected cells: 10 February is lunar 2024-01-01, 甲辰年 丙寅月.
  std::string year, month;
  CellPillars(v, c.CellOf("10"), year, month);
  EXPECT_EQ(year, "甲辰年");
  EXPECT_EQ(month, "丙寅月 ");
  CellPillars(v, 0, year, month);  // 28 January, before the month
  EXPECT_EQ(year, " ");
  EXPECT_EQ(month, " ");
}

// Eclipses at new and full moons: the total solar eclipse of 2024-04-08
// (new moon 18:21 UT = 9 April 03:21 KST, lunar 3/1) and the total lunar
// eclipse of 2025-03-14 (full moon 06:55 UT = 15:55 KST, lunar 2/15)
// (NASA eclipse catalogues); the new moon of 10 February 2024 has none.
TEST(MonthView, EclipseDaysAreMarked) {
  MonthCase april;
  const MonthView& a = april.Build(2024, 4);
  EXPECT_EQ(a.grid.Line(april.CellOf("9"), 1), "3.1 일식");
  MonthCase march;
  const MonthView& m = march.Build(2025, 3);
  EXPECT_EQ(m.grid.Line(march.CellOf("14"), 1), "2.15 월식");
  MonthCase lunar;
  const MonthView& l = lunar.Build(2025, 2, DisplayMode::Lunar);
  EXPECT_EQ(l.grid.Line(l.LastCellBefore + 15, 1), "3.14 월식");
}

TEST(MonthView, SeasonalDaysOf2024) {
  MonthCase july;
  const MonthView& v = july.Build(2024, 7);
  EXPECT_EQ(v.grid.Line(july.CellOf("15"), 1), "6.10初伏초복");
  EXPECT_EQ(v.grid.cells[july.CellOf("15")].markKind, SecondLineMark::DogDay);
  EXPECT_EQ(v.grid.Line(july.CellOf("25"), 1), "6.20中伏중복");
  MonthCase august;
  EXPECT_EQ(august.Build(2024, 8).grid.Line(august.CellOf("14"), 1), "7.11末伏말복");
  MonthCase april;
  EXPECT_EQ(april.Build(2024, 4).grid.Line(april.CellOf("5"), 1), "2.27寒食한식");
  EXPECT_EQ(april.view.grid.cells[april.CellOf("5")].markKind, SecondLineMark::FeastDay);
  MonthCase june;
  EXPECT_EQ(june.Build(2024, 6).grid.Line(june.CellOf("10"), 1), "5.5端午단오");
}

TEST(MonthView, SevenByteSecondLineTakesNoTerm) {
  // 1984-12-07, 大雪, is leap 10/15: "윤10.15" is 7 CP949 bytes, so the term is not added.
  MonthCase c;
  const MonthView& v = c.Build(1984, 12);
  EXPECT_EQ(Cp949Length("윤10.15"), 7);
  EXPECT_EQ(v.grid.Line(c.CellOf("7"), 1), "윤10.15");
  for (int k = 0; k < MonthGrid::kCells; ++k) EXPECT_EQ(v.grid.Line(k, 1).find("大雪"), std::string::npos);
}

TEST(MonthView, LunarDecember30MemoOnTheLastDay) {
  const MemoTable memos = {{kMemoLunar, 2000, 12, 30, "그믐"}, {kMemoLunar, 2000, 12, 29, "섣달"},
                           {kMemoSolar, 2000, 1, 28, "생일:"}};
  // Lunar 2024-12 has 29 days: 12/29 is 2025-01-28, the last day.
  MonthCase solar;
  const MonthView& v = solar.Build(2025, 1, DisplayMode::Solar, false, memos);
  const std::string third = v.grid.Line(solar.CellOf("28"), 2);
  EXPECT_NE(third.find(" 그믐"), std::string::npos) << third;
  EXPECT_NE(third.find(" 섣달"), std::string::npos) << third;
  EXPECT_NE(third.find(" 생일"), std::string::npos) << third;
  EXPECT_EQ(third.find(':'), std::string::npos) << third;  // the file's marker is a style, not a character
  EXPECT_TRUE(v.grid.cells[solar.CellOf("28")].holidayStyle);
  EXPECT_EQ(v.memoMarks, 3);
  EXPECT_EQ(v.grid.Line(solar.CellOf("27"), 2).find(' '), std::string::npos);

  MonthCase lunar;
  const MonthView& l = lunar.Build(2024, 12, DisplayMode::Lunar, false, memos);
  EXPECT_NE(l.grid.Line(lunar.CellOf("29"), 2).find(" 그믐"), std::string::npos);

  // Lunar 2023-12 has 30 days: both names go to 12/30, 2024-02-09.
  MonthCase longYear;
  const MonthView& g = longYear.Build(2024, 2, DisplayMode::Solar, false, memos);
  EXPECT_NE(g.grid.Line(longYear.CellOf("9"), 2).find(" 섣달"), std::string::npos);
  EXPECT_NE(g.grid.Line(longYear.CellOf("9"), 2).find(" 그믐"), std::string::npos);
  EXPECT_EQ(g.grid.Line(longYear.CellOf("8"), 2).find(' '), std::string::npos);
}

TEST(MonthView, MemoNamesFromTheirFirstYearOnly) {
  const MemoTable memos = {{kMemoSolar, 2030, 3, 1, "미래"}, {kMemoSolar, 1919, 3, 1, "삼일절:"},
                           {kMemoSolar, 1900, 3, 2, "아주긴기념일이름"}};
  MonthCase c;
  const MonthView& v = c.Build(2024, 3, DisplayMode::Solar, false, memos);
  const std::string first = v.grid.Line(c.CellOf("1"), 2);
  EXPECT_EQ(first.find("미래"), std::string::npos);
  EXPECT_NE(first.find(" 삼일절"), std::string::npos);
  // A long name follows the day's sexagenary name, which it never replaces
  // (the painter elides the line and shows it whole in a tooltip).
  const std::string second = v.grid.Line(c.CellOf("2"), 2);
  const std::string dayName = second.substr(0, second.find(' '));
  EXPECT_NE(std::find(std::begin(SexagenaryNames), std::end(SexagenaryNames), dayName), std::end(SexagenaryNames))
      << second;
  EXPECT_EQ(second, dayName + " 아주긴기념일이름");
  EXPECT_EQ(first.find(':'), std::string::npos);
}

TEST(MonthView, AtMostThirtyMemoMarks) {
  MemoTable memos;
  for (int i = 0; i < 40; ++i) memos.push_back({kMemoSolar, 2000, 5, 1 + i % 31, "x"});
  MonthCase c;
  const MonthView& v = c.Build(2024, 5, DisplayMode::Solar, false, memos);
  EXPECT_EQ(v.memoMarks, MonthView::kMaxMemoMarks);
  // Placed in the memo table's order: days 1..30 get a mark, day 31 and the
  // second round (days 1..9 again) do not.
  EXPECT_NE(v.grid.Line(c.CellOf("30"), 2).find(" x"), std::string::npos);
  EXPECT_EQ(v.grid.Line(c.CellOf("31"), 2).find(" x"), std::string::npos);
  const std::string first = v.grid.Line(c.CellOf("1"), 2);
  EXPECT_EQ(first.find(" x", first.find(" x") + 1), std::string::npos) << first;
}

TEST(MonthView, TodayCellOnlyInTodaysMonthAndEra) {
  MonthCase c;
  c.fixture.settings.TodayDate[0] = 2024;
  c.fixture.settings.TodayDate[1] = 2;
  c.fixture.settings.TodayDate[2] = 10;
  const int todayCell = c.Build(2024, 2).todayCell;
  EXPECT_EQ(todayCell, c.CellOf("10"));
  EXPECT_EQ(c.Build(2024, 3).todayCell, -1);
  // Lunar mode: 2024-02-10 is lunar 2024-01-01.
  const MonthView& lunar = c.Build(2024, 1, DisplayMode::Lunar);
  EXPECT_EQ(lunar.todayCell, lunar.LastCellBefore + 1);
  c.fixture.Prepare(2024);
  MonthRequest bc;
  bc.year = 2024;
  bc.month = 2;
  bc.eraAD = false;
  ASSERT_TRUE(FillMonthView(*c.fixture.ctx, *c.fixture.tables, c.years, {}, DaysOptions{}, bc, c.view));
  EXPECT_EQ(c.view.todayCell, -1);
}

TEST(MonthView, MissingLeapMonthIsNotFilled) {
  testing::CalendarFixture f;
  f.Prepare(2024);
  MonthView v;
  MonthRequest r;
  r.year = 2024;
  r.month = 4;
  r.mode = DisplayMode::Lunar;
  r.leapWanted = true;
  YearService years;
  EXPECT_FALSE(FillMonthView(*f.ctx, *f.tables, years, {}, DaysOptions{}, r, v));
  EXPECT_FALSE(v.filled);
}


TEST(MonthView, MoonAgeAtNoon) {
  testing::CalendarFixture f;
  f.Prepare(2024);
  // New moon 2024-02-10 07:59 KST: at noon of that day the Moon is 4h01m old.
  EXPECT_NEAR(MoonAgeAtNoon(*f.tables, f.settings, 2024, 2, 10), (4.0 + 1.0 / 60.0) / 24.0, 2.0 / 1440.0);
}

// The application state: progress steps of a build that prepares a year,
// and none of the preparation steps for a month of the loaded year.
TEST(CalendarAppBuild, ProgressSteps) {
  RecordingMessageSink messages;
  FixedClock clock({MakeTm(2024, 2, 15, 10, 30), MakeTm(2024, 2, 15, 1, 30)});
  AppFolders folders{"/nonexistent-program-folder", "/nonexistent-current-folder"};
  CalendarApp app(folders, messages, clock);
  app.StartUp();
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(app.Settings().TodayDate[0], 2024);
  EXPECT_EQ(app.Tables().LoadedYear, 2024);
  std::vector<int> steps;
  app.SetProgress([&](int p) { steps.push_back(p); });
  MonthInputs typed = app.Inputs();
  typed.yearNumber = 2023;
  app.SetInputs(typed);
  app.ShowInputs();
  EXPECT_EQ(steps, (std::vector<int>{0, 20, 40, 60, 80, 100, 0}));
  EXPECT_EQ(app.Tables().LoadedYear, 2023);
  EXPECT_EQ(app.Settings().LoadedYear, 2023);
}

TEST(CalendarAppBuild, YearRangeOfPlan404) {
  RecordingMessageSink messages;
  FixedClock clock({MakeTm(2024, 2, 15, 10, 30), MakeTm(2024, 2, 15, 1, 30)});
  CalendarApp app({"", "/nonexistent-current-folder"}, messages, clock);
  app.StartUp();
  MonthInputs typed = app.Inputs();
  typed.yearNumber = 10001;
  typed.month = 7;
  app.SetInputs(typed);
  app.ShowInputs();
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text, "연도 범위는 BC5000년 ~ 10000년 입니다.\n2024년 2월로 돌아갑니다.");
  EXPECT_EQ(messages.messages[0].caption, "참고");
  EXPECT_EQ(app.Inputs().yearNumber, 2024);
  EXPECT_EQ(app.Inputs().month, 2);
  // BC 5000 = year -4999 is the first accepted year.
  app.SetInputs({5000, false, 1});
  app.ShowInputs();
  EXPECT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(app.Tables().LoadedYear, -4999);
  EXPECT_TRUE(app.Month().View().filled);
}

TEST(CalendarAppBuild, AstronomicalYearOfTheInputs) {
  EXPECT_EQ(AstronomicalYear({5, false, 1}), -4);
  EXPECT_EQ(AstronomicalYear({0, false, 1}), 0);
  EXPECT_EQ(AstronomicalYear({0, true, 1}), 0);
  EXPECT_EQ(AstronomicalYear({-1, true, 1}), -1);
  MonthInputs in;
  SetAstronomicalYear(in, -4);
  EXPECT_EQ(in.yearNumber, 5);
  EXPECT_FALSE(in.eraAD);
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

// The Moon's principal phases of January 2026 at Seoul (KST), after
// astronomy-engine 2.1.19's SearchMoonQuarter: full moon 3 Jan 19:03, last
// quarter 11 Jan 00:49, new moon 19 Jan 04:52, first quarter 26 Jan 13:47.
TEST(MonthView, MoonQuartersOfJanuary2026) {
  testing::CalendarFixture fixture;
  fixture.Prepare(2026);
  MonthView view;
  LayOutMonthGrid(view.grid, 1, DisplayMode::Solar);
  MonthRequest request;
  request.year = 2026;
  request.month = 1;
  YearService years;
  ASSERT_TRUE(FillMonthView(*fixture.ctx, *fixture.tables, years, {}, DaysOptions{}, request, view));
  const int first = view.LastCellBefore + 1;
  const struct {
    int day;
    int quarter;
  } want[] = {{3, kFullMoonQuarter}, {11, kLastQuarter}, {19, kNewMoonQuarter}, {26, kFirstQuarter}};
  int marked = 0;
  for (int cell = 0; cell < MonthGrid::kCells; ++cell)
    if (view.moonQuarter[cell] != kNoQuarter) ++marked;
  EXPECT_EQ(marked, 4);
  for (const auto& w : want) EXPECT_EQ(view.moonQuarter[first + w.day - 1], w.quarter) << w.day;
}

}  // namespace
}  // namespace orv
