// One year service for the window and every command: the same year, place
// and settings give the same tables whatever route led there (a place change
// prepares the year afresh, the historical correction is a rule of the year,
// the place and the user's choice), and the public holidays take their lunar
// dates from the Korean calendar wherever the place.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/core/calendar_app.h"
#include "app/core/clock.h"
#include "app/core/files/memo.h"
#include "app/core/messages.h"
#include "app/core/reports/holidays.h"
#include "app/core/reports/public_holidays.h"
#include "app/core/year_service.h"
#include "cli_runner.h"
#include "lunisolar/lunar_calendar.h"

namespace orv {
namespace {

using testing::TempDir;

constexpr int kSeoul = 0;
constexpr int kBeijing = 1;     // the Ming and Qing observatory, 116.432 E
constexpr int kHanyang = 2;     // 126.976 E
constexpr int kMiddle = 3;      // 127.5 E
constexpr int kAccra = 4;       // a place at the 0 meridian
constexpr int kNewYork = 207;

// 15 February 2024, 10:30 in Seoul (01:30 UT): the start year is 2024.
struct StartedApp {
  TempDir current;
  RecordingMessageSink messages;
  FixedClock clock{{MakeTm(2024, 2, 15, 10, 30), MakeTm(2024, 2, 15, 1, 30)}};
  CalendarApp app{{"/nonexistent-program-folder", current.path()}, messages, clock};
  StartedApp() { app.StartUp(); }
  void Show(int year, int month) {
    app.SetMonth(year, month, DisplayMode::Solar);
    app.ShowInputs();
  }
  // "Y-MM-DD[ leap]" of the civil date in the loaded tables, "" when absent.
  std::string Lunar(int y, int m, int d) const { return LunarText(app.Tables(), y, m, d); }

  static std::string LunarText(const YearTables& t, int y, int m, int d) {
    const int slot = SlotOfSolarDate(t, y, m, d);
    if (slot < 0 || t.DayTable[slot].lunarDate == 0) return "";
    int ly, lm, ld;
    UnpackDate(t.DayTable[slot].lunarDate, ly, lm, ld);
    char text[40];
    std::snprintf(text, sizeof text, "%d-%02d-%02d%s", ly, lm, ld, t.DayTable[slot].leap ? " leap" : "");
    return text;
  }
};

// The tables of `year` prepared afresh by a service of their own, under
// `settings` at `place`, with the correction on by default.
struct FreshYear {
  CalcSettings settings;
  Observer observer;
  YearService years;
  YearTables tables;
  FreshYear(CalcSettings s, int place, int year) : settings(s) {
    ApplyPlace(settings, observer, BuiltInPlaceTable(), place);
    EngineContext ctx(settings, observer);
    EXPECT_EQ(years.Prepare(ctx, tables, year, true), YearOutcome::Prepared);
  }
};

void ExpectSameTables(const YearTables& got, const YearTables& want, const std::string& what) {
  ASSERT_EQ(got.LoadedYear, want.LoadedYear) << what;
  ASSERT_EQ(got.DayTableCount, want.DayTableCount) << what;
  for (int i = 0; i < want.DayTableCount; ++i) {
    EXPECT_EQ(got.DayTable[i].solarDate, want.DayTable[i].solarDate) << what << " slot " << i;
    EXPECT_EQ(got.DayTable[i].lunarDate, want.DayTable[i].lunarDate) << what << " slot " << i;
    EXPECT_EQ(got.DayTable[i].leap, want.DayTable[i].leap) << what << " slot " << i;
    EXPECT_EQ(got.DayTable[i].monthLength, want.DayTable[i].monthLength) << what << " slot " << i;
  }
  for (int i = 0; i < YearTables::kListCapacity; ++i) {
    const SolarTermRecord& a = got.SolarTermList[i];
    const SolarTermRecord& b = want.SolarTermList[i];
    EXPECT_EQ(a.date, b.date) << what << " term " << i;
    EXPECT_EQ(a.time(), b.time()) << what << " term " << i;
    EXPECT_EQ(a.seconds, b.seconds) << what << " term " << i;
    const SyzygyRecord& c = got.SyzygyList[i];
    const SyzygyRecord& d = want.SyzygyList[i];
    EXPECT_EQ(c.date, d.date) << what << " syzygy " << i;
    EXPECT_EQ(c.time(), d.time()) << what << " syzygy " << i;
    EXPECT_EQ(c.seconds, d.seconds) << what << " syzygy " << i;
  }
  for (int i = 0; i < YearTables::kPillarOffsets; ++i)
    EXPECT_EQ(got.MonthPillarOffsets[i], want.MonthPillarOffsets[i]) << what << " pillar " << i;
}

TEST(YearService, CorrectionIsARuleOfYearPlaceAndChoice) {
  // `applies`: the recorded months reach the year's table (the first recorded
  // month, lunar 2-01, begins on 2-02-02, inside the table of year 1, which
  // runs from 0-11-01 for 585 days; the last recorded year ends in February
  // 1912). `built`: the tables are built to follow them, which the tables of
  // the years next to those do as well, as they show days of those years.
  struct Case {
    int year, place;
    bool wanted, applies, built;
  };
  const Case cases[] = {
      {1703, kSeoul, true, true, true},      {1703, kBeijing, true, true, true},
      {1703, kSeoul, false, false, false},   {1703, kHanyang, true, false, false},
      {1703, kMiddle, true, false, false},   {1703, kNewYork, true, false, false},
      {2, kSeoul, true, true, true},         {1, kSeoul, true, true, true},
      {0, kSeoul, true, false, true},        {-1, kSeoul, true, false, false},
      {1912, kBeijing, true, true, true},    {1913, kSeoul, true, false, true},
      {1914, kSeoul, true, false, false},    {2000, kSeoul, true, false, false},
      {-100, kSeoul, true, false, false},    {1, kSeoul, false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HistoricalCorrectionApplies(c.year, c.place, c.wanted), c.applies)
        << c.year << " at " << c.place << (c.wanted ? " wanted" : " not wanted");
    const LunarBuildOptions options = LunarOptionsOf(c.year, c.place, c.wanted);
    EXPECT_EQ(options.historicalCorrection, c.built) << c.year << " at " << c.place;
    EXPECT_EQ(options.placeIndex, c.place);
  }
}

TEST(YearService, PlaceChangeGivesTheTablesOfAFreshStart) {
  // The year is prepared for the new place: the same lists, lunar months and
  // pillars as a fresh preparation there. 2006 and 2007 at Beijing hold the
  // new moon of 2007-02-17 23:59:59.8 Beijing time, which a shift of Seoul's
  // lists by whole seconds used to put on the next day.
  struct Case {
    int year, month, from, to;
  };
  const Case cases[] = {
      {2006, 12, kSeoul, kBeijing}, {2007, 2, kSeoul, kBeijing},  {2007, 2, kBeijing, kSeoul},
      {1990, 6, kSeoul, kBeijing},  {2027, 3, kSeoul, kNewYork},  {2024, 11, kNewYork, kSeoul},
      {1703, 12, kSeoul, kBeijing}, {1703, 12, kBeijing, kHanyang}, {1997, 2, kSeoul, kMiddle},
      {2028, 1, kAccra, kHanyang},
  };
  for (const Case& c : cases) {
    StartedApp s;
    s.app.ChangePlace(c.from);
    s.Show(c.year, c.month);
    s.app.ChangePlace(c.to);
    ASSERT_TRUE(s.app.Month().View().filled) << c.year;
    EXPECT_EQ(s.app.Settings().PlaceIndex, c.to);
    const FreshYear fresh(s.app.Settings(), c.to, c.year);
    ExpectSameTables(s.app.Tables(), fresh.tables,
                     std::to_string(c.year) + " " + std::to_string(c.from) + "->" + std::to_string(c.to));
  }
}

TEST(YearService, EveryRouteGivesTheSameLunarDates) {
  struct Route {
    const char* name;
    void (*walk)(StartedApp&);
  };
  // 1703-12-08 at Seoul: the recorded calendar says lunar 11-01 (the
  // computed one 10-30); 2007-02-17 at Beijing: lunar 2007-01-01.
  const Route seoulRoutes[] = {
      {"direct", [](StartedApp& s) { s.Show(1703, 12); }},
      {"via another year",
       [](StartedApp& s) {
         s.Show(1703, 12);
         s.Show(2000, 1);
         s.Show(1703, 12);
       }},
      {"via a place change",
       [](StartedApp& s) {
         s.Show(1703, 12);
         s.app.ChangePlace(kBeijing);
         s.app.ChangePlace(kSeoul);
       }},
      {"via a corrected year and back",
       [](StartedApp& s) {
         s.Show(1650, 3);
         s.Show(2000, 1);
         s.app.StepYear(false);
         s.Show(1703, 12);
       }},
      {"paging", [](StartedApp& s) {
         s.Show(1702, 11);
         for (int i = 0; i < 13; ++i) s.app.StepMonth(true);
       }},
  };
  for (const Route& r : seoulRoutes) {
    StartedApp s;
    r.walk(s);
    EXPECT_EQ(s.app.Tables().LoadedYear, 1703) << r.name;
    EXPECT_TRUE(s.app.HistoricalCorrection()) << r.name;
    EXPECT_EQ(s.Lunar(1703, 12, 8), "1703-11-01") << r.name;
  }

  const Route beijingRoutes[] = {
      {"direct",
       [](StartedApp& s) {
         s.app.ChangePlace(kBeijing);
         s.Show(2007, 2);
       }},
      {"place change on the year",
       [](StartedApp& s) {
         s.Show(2007, 2);
         s.app.ChangePlace(kBeijing);
       }},
      {"via the year after",
       [](StartedApp& s) {
         s.Show(2007, 2);
         s.app.ChangePlace(kBeijing);
         s.app.StepYear(true);
         s.app.StepYear(false);
       }},
      {"via New York", [](StartedApp& s) {
         s.Show(2007, 2);
         s.app.ChangePlace(kNewYork);
         s.app.ChangePlace(kBeijing);
       }},
  };
  for (const Route& r : beijingRoutes) {
    StartedApp s;
    r.walk(s);
    EXPECT_EQ(s.app.Tables().LoadedYear, 2007) << r.name;
    EXPECT_EQ(s.Lunar(2007, 2, 17), "2007-01-01") << r.name;
  }

  // The command line gives the same answers.
  TempDir dir;
  EXPECT_EQ(testing::RunCli("lunar 1703-12-08", dir.path()).out, "1703-11-01\n");
  EXPECT_EQ(testing::RunCli("lunar 2007-02-17 --place 1", dir.path()).out, "2007-01-01\n");
}

TEST(YearService, SwitchedOffCorrectionStaysOffWhateverTheRoute) {
  StartedApp s;
  s.Show(1703, 12);
  ASSERT_TRUE(s.app.CorrectionEnabled());
  s.app.ToggleCorrection();
  EXPECT_FALSE(s.app.HistoricalCorrection());
  EXPECT_EQ(s.Lunar(1703, 12, 8), "1703-10-30");
  s.Show(2000, 1);
  EXPECT_FALSE(s.app.CorrectionEnabled());
  s.Show(1703, 12);
  EXPECT_FALSE(s.app.HistoricalCorrection());
  EXPECT_EQ(s.Lunar(1703, 12, 8), "1703-10-30");
  s.app.ToggleCorrection();
  EXPECT_TRUE(s.app.HistoricalCorrection());
  EXPECT_EQ(s.Lunar(1703, 12, 8), "1703-11-01");
}

TEST(YearService, CorrectionOfferedOnlyWhereRecordsExist) {
  struct Case {
    int place;
    bool offered;
  };
  for (const Case c : {Case{kSeoul, true}, Case{kBeijing, true}, Case{kHanyang, false}, Case{kMiddle, false},
                       Case{kNewYork, false}}) {
    StartedApp s;
    s.app.ChangePlace(c.place);
    s.Show(1703, 12);
    EXPECT_EQ(s.app.CorrectionEnabled(), c.offered) << c.place;
    EXPECT_EQ(s.app.HistoricalCorrection(), c.offered) << c.place;
  }
}

TEST(YearService, BusyEngineKeepsTheStateAsItIs) {
  StartedApp s;
  s.Show(2024, 5);
  const MonthInputs before = s.app.Inputs();
  s.app.SetEngineBusy(true);
  s.app.StepMonth(true);
  s.app.StepYear(true);
  s.app.GoToToday();
  s.app.ChangePlace(kBeijing);
  s.app.SetInputs({1990, true, 1});
  s.app.ShowInputs();
  s.app.SetInputs(before);
  EXPECT_EQ(s.app.Inputs().yearNumber, 2024);
  EXPECT_EQ(s.app.Inputs().month, 5);
  EXPECT_EQ(s.app.Settings().PlaceIndex, kSeoul);
  EXPECT_EQ(s.app.Tables().LoadedYear, 2024);
  s.app.SetEngineBusy(false);
  s.app.StepMonth(true);
  EXPECT_EQ(s.app.Inputs().month, 6);
}

// The public holidays of the years 1949..2030 at a place: the CSV list and
// the holiday report of each, through a year service as the window and the
// commands use it.
std::vector<std::string> HolidaysAt(int place) {
  CalcSettings settings = DefaultSettings();
  Observer observer;
  ApplyPlace(settings, observer, BuiltInPlaceTable(), place);
  EngineContext ctx(settings, observer);
  YearService years;
  auto tables = std::make_unique<YearTables>();
  ReportInputs in{ctx, *tables, LunarOptionsOf(1949, place, true), "", "", &years, true};
  std::vector<std::string> out;
  for (int year = 1949; year <= 2030; ++year)
    out.push_back(PublicHolidaysCsv(PublicHolidaysOfYear(HolidayCalendar(in, year), year)) +
                  HolidayReportText(in, year));
  return out;
}

TEST(YearService, HolidaysAreKoreanWhateverThePlace) {
  const std::vector<std::string> korea = HolidaysAt(kSeoul);
  for (int place : {kBeijing, kHanyang, kMiddle, kNewYork, kAccra}) {
    const std::vector<std::string> there = HolidaysAt(place);
    ASSERT_EQ(there.size(), korea.size());
    for (size_t i = 0; i < korea.size(); ++i)
      EXPECT_EQ(there[i], korea[i]) << 1949 + i << " at place " << place;
  }
  // The month grid at New York keeps its own lunar dates but the Korean
  // holidays: 부처님 오신 날 2026 on 05-24 (New York's lunar 4/8 is 05-23).
  StartedApp s;
  s.app.ChangePlace(kNewYork);
  s.Show(2026, 5);
  EXPECT_EQ(s.Lunar(2026, 5, 23), "2026-04-08");
  const MonthView& v = s.app.Month().View();
  const int cell24 = v.LastCellBefore + 24;
  const int cell23 = v.LastCellBefore + 23;
  EXPECT_NE(v.grid.Line(cell24, 2).find("부처님 오신 날"), std::string::npos) << v.grid.Line(cell24, 2);
  EXPECT_EQ(v.grid.Line(cell23, 2).find("부처님 오신 날"), std::string::npos) << v.grid.Line(cell23, 2);
}

TEST(YearService, IcsMemoDatesDoNotDependOnTheFirstYear) {
  // A lunar 1/1 anniversary: each year placed by that year's own calendar
  // (recorded months where they exist), whichever year the file starts with.
  TempDir dir;
  dir.write(kMemoFileName, "-1,1,1,1,설맞이\n");
  const auto one = testing::RunCli("ics 1..30 --memo -o one.ics", dir.path());
  const auto two = testing::RunCli("ics 2..30 --memo -o two.ics", dir.path());
  ASSERT_EQ(one.status, 0) << one.err;
  ASSERT_EQ(two.status, 0) << two.err;
  auto events = [&](const std::string& name) {
    std::set<std::string> out;
    const std::string text = dir.read(name);
    std::string uid;
    size_t at = 0;
    while ((at = text.find("UID:", at)) != std::string::npos) {
      const size_t end = text.find("\r\n", at);
      uid = text.substr(at, end - at);
      const size_t start = text.find("DTSTART", end);
      out.insert(uid + " " + text.substr(start, text.find("\r\n", start) - start));
      at = end;
    }
    return out;
  };
  const std::set<std::string> fromOne = events("one.ics");
  const std::set<std::string> fromTwo = events("two.ics");
  ASSERT_EQ(fromTwo.size(), 29u);
  for (const std::string& e : fromTwo) EXPECT_EQ(fromOne.count(e), 1u) << e;
}

}  // namespace
}  // namespace orv
