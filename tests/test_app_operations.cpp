// The operations through which the window changes the application state
// besides its settings controls: the inputs, the 30-year direction, the memo
// file read again, the notice of a build and a simulation run's environment.
#include <gtest/gtest.h>

#include <string>

#include "app/core/calendar_app.h"
#include "app/core/clock.h"
#include "app/core/files/memo.h"
#include "app/core/messages.h"
#include "cli_runner.h"

namespace orv {
namespace {

using testing::TempDir;

// 15 February 2024, 10:30 in Seoul (01:30 UT): the start year is 2024.
struct StartedApp {
  TempDir current;
  RecordingMessageSink messages;
  FixedClock clock{{MakeTm(2024, 2, 15, 10, 30), MakeTm(2024, 2, 15, 1, 30)}};
  CalendarApp app{{"/nonexistent-program-folder", current.path()}, messages, clock};
  StartedApp() { app.StartUp(); }
};

TEST(AppOperations, SetInputsKeepsWhatWasTypedUntilShown) {
  StartedApp s;
  s.app.SetInputs({1, false, 12});  // "1" BC = astronomical year 0
  EXPECT_EQ(s.app.Inputs().yearNumber, 1);
  EXPECT_FALSE(s.app.Inputs().eraAD);
  EXPECT_EQ(s.app.Inputs().month, 12);
  EXPECT_EQ(s.app.Tables().LoadedYear, 2024);  // nothing rebuilt yet
  s.app.ShowInputs();
  EXPECT_EQ(s.app.Tables().LoadedYear, 0);
  EXPECT_TRUE(s.app.Month().View().filled);
}

// The month view, the reports and the files work over the application's one
// state: a year reached by navigation is the year each of them reads, and a
// day selected in the month view is the day the reports and the application
// see.
TEST(AppOperations, OwnersShareTheApplicationsState) {
  StartedApp s;
  s.app.StepYear(true);
  ASSERT_EQ(s.app.Tables().LoadedYear, 2025);
  EXPECT_EQ(s.app.Month().ShownInputs().yearNumber, 2025);
  EXPECT_EQ(s.app.Files().DefaultIcsRequest().fromYear, 2025);
  EXPECT_EQ(s.app.Files().DefaultIcsRequest().toYear, 2025);
  const int cell = s.app.Month().View().LastCellBefore + 1;  // 1 February 2025
  ASSERT_TRUE(s.app.Month().SelectDay(MonthGrid::CellColumn(cell), MonthGrid::CellRow(cell, 0)));
  EXPECT_EQ(s.app.Selected().solarYear, 2025);
  EXPECT_EQ(s.app.Selected().solarMonth, 2);
  EXPECT_EQ(s.app.Selected().solarDay, 1);
  EXPECT_EQ(s.app.Month().SelectedCell(), cell);
  s.messages.messages.clear();
  s.app.Reports().ShowDayReport();
  ASSERT_EQ(s.messages.messages.size(), 1u);
  EXPECT_EQ(s.messages.messages[0].caption, kDayReportCaption);
  EXPECT_NE(s.messages.messages[0].text.find("2025"), std::string::npos);
}

TEST(AppOperations, SetMonthShowsAnAstronomicalYearInEitherMode) {
  struct Case {
    int year;
    int month;
    DisplayMode mode;
    MonthInputs want;
  };
  const Case cases[] = {
      {-4, 3, DisplayMode::Lunar, {5, false, 3}},  // year -4 = 5 BC
      {0, 1, DisplayMode::Solar, {0, true, 1}},    // year 0 is typed as "0"
      {1, 7, DisplayMode::Solar, {1, true, 7}},
      {2025, 12, DisplayMode::Lunar, {2025, true, 12}},
  };
  for (const Case& c : cases) {
    StartedApp s;
    s.app.SetMonth(c.year, c.month, c.mode);
    EXPECT_EQ(s.app.Inputs().yearNumber, c.want.yearNumber) << c.year;
    EXPECT_EQ(s.app.Inputs().eraAD, c.want.eraAD) << c.year;
    EXPECT_EQ(s.app.Inputs().month, c.want.month) << c.year;
    EXPECT_EQ(s.app.Mode(), c.mode) << c.year;
    EXPECT_FALSE(s.app.LeapMonthWanted()) << c.year;
    s.app.ShowInputs();
    EXPECT_EQ(s.app.Tables().LoadedYear, c.year);
    EXPECT_TRUE(s.app.Month().View().filled) << c.year;
  }
}

TEST(AppOperations, ThirtyYearDirection) {
  StartedApp s;
  EXPECT_TRUE(s.app.ThirtyYearsAfter());  // "후" at start
  s.app.SetThirtyYearsAfter(false);
  EXPECT_FALSE(s.app.ThirtyYearsAfter());
  s.app.SetThirtyYearsAfter(true);
  EXPECT_TRUE(s.app.ThirtyYearsAfter());
}

TEST(AppOperations, ReloadMemoFileFollowsTheFile) {
  StartedApp s;
  EXPECT_TRUE(s.app.Memos().empty());
  s.current.write(kMemoFileName, "1,2000,2,20,생일\n-1,2000,1,1,설날:\n");
  s.app.Files().ReloadMemoFile();
  ASSERT_EQ(s.app.Memos().size(), 2u);
  EXPECT_EQ(s.app.Memos()[0].name, "생일");
  EXPECT_EQ(s.app.Memos()[1].kind, int{kMemoLunar});
  s.current.write(kMemoFileName, "");
  s.app.Files().ReloadMemoFile();
  EXPECT_TRUE(s.app.Memos().empty());
  EXPECT_TRUE(s.messages.messages.empty());
}

TEST(AppOperations, NoNoticeShowsNothing) {
  StartedApp s;
  s.app.Month().ShowPendingNotice();
  EXPECT_TRUE(s.messages.messages.empty());
}

TEST(AppOperations, SimulationEnvironmentOfTheState) {
  StartedApp s;
  s.app.SetInputs({1900, true, 5});
  s.app.ShowInputs();
  RecordingMessageSink runMessages;
  const SimulationEnvironment env = s.app.SimulationEnv(runMessages);
  EXPECT_EQ(&env.messages, &runMessages);
  EXPECT_EQ(&env.place, &s.app.Place());
  EXPECT_EQ(env.lunar.placeIndex, s.app.Settings().PlaceIndex);
  EXPECT_EQ(env.lunar.historicalCorrection, s.app.HistoricalCorrection());
  EXPECT_EQ(env.loadedYear, 1900);
  EXPECT_EQ(env.folder, s.current.path());
  // PLAN404: no JPL file, so no JPL years.
  EXPECT_EQ(env.jplFirstYear, 0);
  EXPECT_EQ(env.jplLastYear, 0);
}

}  // namespace
}  // namespace orv
