// The operations of daily use behind the window's keyboard and menus: the
// pillars by the sectional terms in the header, moving the selected day,
// going to a solar or lunar date, finding named days, the leap month kept by
// "달력보기", holidays of the neighbouring months and the printed pages.
//
// References: KASI's lunar calendar (leap 6th month of 2025 from 2025-07-25;
// 설날 2025-01-29; lunar 1.1 of 2024 on 2024-02-10) and solar terms (小寒
// 2024-01-06, 立春 2026-02-04, 大雪 2026-12-07); month pillars by the rule of
// the five tigers (a 丙 year's first month is 庚寅, a 癸 year's 甲寅).
#include <gtest/gtest.h>

#include <string>

#include "app/core/calendar_app.h"
#include "app/core/clock.h"
#include "app/core/files/files.h"
#include "app/core/messages.h"
#include "cli_runner.h"

namespace orv {
namespace {

using testing::TempDir;

// 15 February 2024, 10:30 in Seoul (01:30 UT).
struct StartedApp {
  TempDir current;
  RecordingMessageSink messages;
  FixedClock clock{{MakeTm(2024, 2, 15, 10, 30), MakeTm(2024, 2, 15, 1, 30)}};
  CalendarApp app{{"/nonexistent-program-folder", current.path()}, messages, clock};
  explicit StartedApp(const std::string& memoLines = "") {
    if (!memoLines.empty()) WriteFileAtomically(JoinPath(current.path(), kMemoFileName), memoLines);
    app.StartUp();
  }
  void Show(int year, int month, DisplayMode mode = DisplayMode::Solar) {
    app.SetMonth(year, month, mode);
    app.ShowInputs();
  }
};

TEST(DailyUse, HeaderPillarsChangeAtTheSectionalTerm) {
  struct Case { int year, month; const char* line; } cases[] = {
      {2026, 2, "乙巳年 己丑月 → 2/4 입춘 丙午年 庚寅月"},
      {2026, 12, "丙午年 己亥月 → 12/7 대설 丙午年 庚子月"},
      {2024, 1, "癸卯年 甲子月 → 1/6 소한 癸卯年 乙丑月"},
  };
  StartedApp s;
  for (const auto& c : cases) {
    s.Show(c.year, c.month);
    EXPECT_EQ(s.app.Month().TermPillarLine(), c.line) << c.year << "-" << c.month;
  }
}

TEST(DailyUse, ShowInputsKeepsTheLeapMonthShown) {
  StartedApp s;
  s.Show(2025, 6, DisplayMode::Lunar);
  s.app.ToggleLeapMonth();
  ASSERT_TRUE(s.app.LeapMonthWanted());
  s.app.ShowInputsKeepingLeap();  // "달력보기" with the same inputs
  EXPECT_TRUE(s.app.LeapMonthWanted());
  const MonthView& v = s.app.Month().View();
  EXPECT_EQ(v.grid.Line(v.LastCellBefore + 1, 1).substr(0, 5), "7.25 ");  // and its new moon
  // Other numbers typed: their regular month.
  MonthInputs typed = s.app.Inputs();
  typed.month = 7;
  s.app.SetInputs(typed);
  s.app.ShowInputsKeepingLeap();
  EXPECT_FALSE(s.app.LeapMonthWanted());
}

TEST(DailyUse, ArrowsMoveTheSelectedDayAcrossMonths) {
  StartedApp s;
  struct Step { int days; int month, day; int shownMonth; } steps[] = {
      {1, 2, 15, 2},    // the first press selects today
      {14, 2, 29, 2},   // 2024 is a leap year
      {1, 3, 1, 3},     // into March, which is shown
      {-7, 2, 23, 2},
  };
  for (const auto& step : steps) {
    ASSERT_TRUE(s.app.MoveSelectedDay(step.days));
    EXPECT_EQ(s.app.Selected().solarMonth, step.month);
    EXPECT_EQ(s.app.Selected().solarDay, step.day);
    EXPECT_EQ(s.app.Inputs().month, step.shownMonth);
    EXPECT_GE(s.app.Month().SelectedCell(), 0);
  }
  // In the lunar view the month shown is the lunar one: 2024-02-09 is 12.30
  // of the lunar year 2023.
  s.Show(2024, 1, DisplayMode::Lunar);
  ASSERT_TRUE(s.app.ShowAndSelectDate(2024, 2, 15));
  ASSERT_TRUE(s.app.MoveSelectedDay(-6));
  EXPECT_EQ(s.app.Inputs().yearNumber, 2023);
  EXPECT_EQ(s.app.Inputs().month, 12);
  EXPECT_EQ(s.app.Selected().lunarDay, 30);
}

TEST(DailyUse, DateQueriesAreReadAsTyped) {
  struct Case { const char* text; bool lunar, leap; bool ok; int y, m, d; bool outLunar, outLeap; } cases[] = {
      {"2025-6-15", false, false, true, 2025, 6, 15, false, false},
      {"2025.6.15", false, false, true, 2025, 6, 15, false, false},
      {"6/15", false, false, true, 2024, 6, 15, false, false},
      {"윤6.15", false, false, true, 2024, 6, 15, true, true},
      {"2025.윤6.15", false, false, true, 2025, 6, 15, true, true},
      {"음2025.6.15", false, false, true, 2025, 6, 15, true, false},
      {"2025년 6월 15일", false, false, true, 2025, 6, 15, false, false},
      {"2025.6.15", true, true, true, 2025, 6, 15, true, true},
      {"-43.3.15", false, false, true, -43, 3, 15, false, false},
      {"2025.13.1", false, false, false, 0, 0, 0, false, false},
      {"2025.2.32", false, false, false, 0, 0, 0, false, false},
      {"2025.6.31", true, false, false, 0, 0, 0, false, false},  // no lunar 31st
      {"6", false, false, false, 0, 0, 0, false, false},
      {"내일", false, false, false, 0, 0, 0, false, false},
      {"99999999.1.1", false, false, false, 0, 0, 0, false, false},
  };
  for (const auto& c : cases) {
    DateQuery q;
    std::string error;
    const bool ok = ParseDateQuery(c.text, c.lunar, c.leap, 2024, q, error);
    EXPECT_EQ(ok, c.ok) << c.text;
    if (!ok) {
      EXPECT_FALSE(error.empty()) << c.text;
      continue;
    }
    EXPECT_EQ(q.year, c.y) << c.text;
    EXPECT_EQ(q.month, c.m) << c.text;
    EXPECT_EQ(q.day, c.d) << c.text;
    EXPECT_EQ(q.lunar, c.outLunar) << c.text;
    EXPECT_EQ(q.leap, c.outLeap) << c.text;
  }
}

TEST(DailyUse, GoToASolarOrLunarDate) {
  StartedApp s;
  struct Case { DateQuery q; int y, m, d; } cases[] = {
      {{2025, 6, 15, true, true}, 2025, 8, 8},    // 윤6.1 is 7/25
      {{2025, 1, 1, true, false}, 2025, 1, 29},   // 설날
      {{2026, 2, 4, false, false}, 2026, 2, 4},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(s.app.GoToDate(c.q)) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(s.app.Selected().solarYear, c.y);
    EXPECT_EQ(s.app.Selected().solarMonth, c.m);
    EXPECT_EQ(s.app.Selected().solarDay, c.d);
    EXPECT_EQ(s.app.Inputs().month, c.m);  // the solar view shows its month
  }
  const size_t before = s.messages.messages.size();
  EXPECT_FALSE(s.app.GoToDate({2024, 4, 1, true, true}));  // 2024 has no leap 4th month
  EXPECT_FALSE(s.app.GoToDate({2023, 2, 29, false, false}));
  EXPECT_EQ(s.messages.messages.size(), before + 2);
}

TEST(DailyUse, FindListsTheNextDatesOfNamedDays) {
  StartedApp s("1,2000,4,3,결혼기념일\n-1,2000,8,15,할머니제사\n");
  const std::vector<NamedDay> seol = s.app.FindNamedDays("설날");
  // Its eve, the day itself and the day after, in date order; 설날 2024
  // (10 February) is past: the next is 29 January 2025.
  ASSERT_EQ(seol.size(), 3u);
  EXPECT_EQ(seol[0].name, "설날 전날");
  const NamedDay& next = seol[1];
  EXPECT_EQ(next.name, "설날");
  EXPECT_EQ(next.year, 2025);
  EXPECT_EQ(next.month, 1);
  EXPECT_EQ(next.day, 29);
  EXPECT_EQ(next.daysFrom, 349);
  const std::vector<NamedDay> memo = s.app.FindNamedDays("결혼");
  ASSERT_EQ(memo.size(), 1u);
  EXPECT_EQ(memo[0].kind, "비망일(양력)");
  EXPECT_EQ(memo[0].daysFrom, 48);
  // Lunar 8.15 of 2024 is 17 September 2024 (추석 day).
  const std::vector<NamedDay> lunar = s.app.FindNamedDays("제사");
  ASSERT_EQ(lunar.size(), 1u);
  EXPECT_EQ(lunar[0].month, 9);
  EXPECT_EQ(lunar[0].day, 17);
  EXPECT_TRUE(s.app.FindNamedDays("없는이름").empty());
  // Sorted by date.
  const std::vector<NamedDay> all = s.app.FindNamedDays("");
  for (size_t i = 1; i < all.size(); ++i) EXPECT_LE(all[i - 1].daysFrom, all[i].daysFrom);
}

TEST(DailyUse, NeighbouringMonthsShowTheirHolidays) {
  StartedApp s;
  s.Show(2026, 12);
  const MonthView& dec = s.app.Month().View();
  EXPECT_EQ(dec.grid.Line(dec.FirstCellAfter, 0), "1");
  EXPECT_NE(dec.grid.Line(dec.FirstCellAfter, 2).find("신정"), std::string::npos);
  EXPECT_TRUE(dec.grid.cells[dec.FirstCellAfter].holidayStyle);
  s.Show(2027, 1);
  const MonthView& jan = s.app.Month().View();
  const std::string last = jan.grid.Line(MonthGrid::kCells - 1, 2);
  EXPECT_EQ(jan.grid.Line(MonthGrid::kCells - 1, 0), "6");  // 2027-02-06
  EXPECT_NE(last.find("설날 전날"), std::string::npos) << last;
}

TEST(DailyUse, PrintedPagesCarryTheMonth) {
  StartedApp s("1,2000,2,20,강조;\n");
  PrintDocument doc;
  ASSERT_TRUE(s.app.Reports().BuildPrint({2024, 2, 2, false}, doc));
  ASSERT_EQ(doc.months.size(), 1u);
  const PrintMonthPage& feb = doc.months[0];
  EXPECT_EQ(feb.title, "2024년 2월");
  EXPECT_EQ(feb.weeks, 5);
  EXPECT_EQ(doc.yearPillar, "甲辰年");
  EXPECT_EQ(feb.header, "대한민국-서울 · 甲辰年");
  EXPECT_EQ(feb.pillarLine, "癸卯年 乙丑月 → 2/4 입춘 甲辰年 丙寅月");
  const PrintDay& seol = feb.days[4 + 9];  // 1 Feb is a Thursday (cell 4)
  EXPECT_EQ(seol.day, "10");
  EXPECT_EQ(seol.colours[0].text, palette::kRed);
  EXPECT_NE(seol.names.find("설날"), std::string::npos);
  EXPECT_EQ(seol.lunar.substr(0, 3), "1.1");
  EXPECT_EQ(feb.days[4 + 2].colours[0].text, palette::kSaturdayBlue);  // Saturday 3 Feb
  EXPECT_EQ(feb.days[4 + 3].cell.markKind, SecondLineMark::SectionalTerm);  // 立春 on Sunday 4 Feb
  EXPECT_TRUE(feb.days[4 + 19].colours[2].hasBack);                        // the memo marked ";"
  EXPECT_FALSE(feb.days[0].inMonth);
  EXPECT_FALSE(feb.days[4 + 14].today);    // nothing is "today" on paper
  // The year shown is loaded again afterwards.
  EXPECT_EQ(s.app.Tables().LoadedYear, 2024);

  ASSERT_TRUE(s.app.Reports().BuildPrint({2026, 1, 12, true}, doc));
  EXPECT_EQ(doc.months.size(), 12u);
  EXPECT_TRUE(doc.yearView);
  EXPECT_EQ(doc.yearPillar, "丙午年");
  EXPECT_EQ(s.app.Tables().LoadedYear, 2024);
  EXPECT_FALSE(s.app.Reports().BuildPrint({20000, 1, 12, false}, doc));
}

}  // namespace
}  // namespace orv
