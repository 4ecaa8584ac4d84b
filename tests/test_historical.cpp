// The lunar calendar with the historical correction against the historical
// calendars it follows:
//   place code 0 (Seoul): the Korean calendar of the Korea Astronomy and Space
//     Science Institute, npm korean-lunar-calendar 0.4.0, from lunar 1000-01-01
//     (tests/data/kasi_months_1000_1911.txt); before it the Chinese calendar;
//   place code 1 (Beijing): the Chinese calendar of the dynasties, npm
//     lunar-javascript 1.7.7 (tests/data/chinese_months_1_1912.txt).
// Both lists were made by the generators in tools/reference. PLAN404, standard
// time, the settings of a fresh configuration.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "historical_reference.h"
#include "lunar_calendar_reference.h"
#include "lunisolar_fixture.h"

namespace orv {
namespace {

struct Days {
  int fromYear, fromMonth, fromDay, toYear, toMonth, toDay;
};

// Days on which the corrected calendar differs from the reference, and why.
// The rows taken from the chronicles win over the reference; the other
// entries are numberings that the table structure cannot express: a month
// number can only repeat (leap month), never be skipped, and month 11 can be
// moved only to a new moon of the year's list (from November 1 on).
struct Deviation {
  int place;
  Days days;
  const char* reason;
};

const Deviation kDeviations[] = {
    {0, {9, 1, 1, 9, 1, 14}, "Xin reform: month 12 of year 8 became month 1 of year 9, a skipped number"},
    {1, {9, 1, 1, 9, 1, 14}, "Xin reform: month 12 of year 8 became month 1 of year 9, a skipped number"},
    {0, {11, 1, 1, 11, 12, 31},
     "chronicle row (0, 11, +1) of Month11ShiftTable; the Xin calendar counts month 11 one month earlier"},
    {0, {16, 1, 1, 16, 6, 23},
     "Xin calendar: month 11 of year 15 began in October, out of reach of the shift; one number behind "
     "until the leap month 5, left out"},
    {1, {16, 1, 1, 16, 6, 23},
     "Xin calendar: month 11 of year 15 began in October, out of reach of the shift; one number behind "
     "until the leap month 5, left out"},
    {0, {19, 1, 1, 19, 3, 24},
     "Xin calendar: month 11 of year 18 began in October, out of reach of the shift; one number behind "
     "until the leap month 1, left out"},
    {1, {19, 1, 1, 19, 3, 24},
     "Xin calendar: month 11 of year 18 began in October, out of reach of the shift; one number behind "
     "until the leap month 1, left out"},
    {0, {237, 1, 1, 237, 5, 11}, "Wei reform of 237: month 2 was followed by month 4, a skipped number"},
    {1, {237, 1, 1, 237, 4, 11}, "Wei reform of 237: month 2 was followed by month 4, a skipped number"},
    {0, {238, 11, 24, 238, 12, 31},
     "Wei calendar: leap month 11 of 238 left out, so that 239 (whose month 11 of 238 began in October) "
     "is numbered right"},
    {1, {238, 11, 24, 238, 12, 31},
     "Wei calendar: leap month 11 of 238 left out, so that 239 (whose month 11 of 238 began in October) "
     "is numbered right"},
    {0, {559, 6, 21, 559, 7, 19}, "chronicle row (0, 559, 5, +1, 31, 0) of MonthLengthTable: a 31-day month 5"},
    {0, {1096, 4, 27, 1096, 5, 25}, "chronicle row (0, 1096, 3, +2, 31, 0) of MonthLengthTable: a 31-day month 3"},
    {0, {1096, 10, 19, 1096, 11, 17}, "chronicle row (0, 1096, 9, -2, 28, 0) of MonthLengthTable: a 28-day month 9"},
    {0, {1876, 6, 22, 1876, 7, 20}, "chronicle row (0, 1876, 5, +2, 31, 0) of MonthLengthTable: a 31-day month 5"},
    {1, {1548, 4, 7, 1548, 5, 7}, "chronicle row (1, 1548, 2, -1, 28, 0) of MonthLengthTable: a 28-day month 2"},
};

long DayKey(int y, int m, int d) { return static_cast<long>(CalendarToJulianDay(y, m, d)); }

const Deviation* FindDeviation(int place, long day) {
  for (const Deviation& dev : kDeviations) {
    if (dev.place != place) continue;
    const Days& r = dev.days;
    if (day >= DayKey(r.fromYear, r.fromMonth, r.fromDay) && day <= DayKey(r.toYear, r.toMonth, r.toDay)) return &dev;
  }
  return nullptr;
}

std::string LunarText(const testing::LunarDay& l) {
  char text[48];
  std::snprintf(text, sizeof text, "%d-%02d-%02d%s", l.year, l.month, l.day, l.leap ? " leap" : "");
  return text;
}

// Every day of the civil years 2..1911 at one place code, each year from the
// tables prepared for it (in order, as the window pages through the years).
void CompareWholeSpan(int place, const std::map<long, testing::LunarDay>& primary,
                      const std::map<long, testing::LunarDay>& secondary) {
  testing::CalendarFixture f(place);
  f.options.historicalCorrection = true;
  long compared = 0, differing = 0;
  std::map<const Deviation*, long> explained;
  std::vector<std::string> unexplained;
  for (int year = 2; year <= 1911; ++year) {
    const YearTables& t = f.Prepare(year);
    for (int slot = 0; slot < t.DayTableCount; ++slot) {
      int y, m, d;
      UnpackDate(t.DayTable[slot].solarDate, y, m, d);
      if (y != year) continue;
      const long key = DayKey(y, m, d);
      auto it = primary.find(key);
      if (it == primary.end()) it = secondary.find(key);
      ASSERT_TRUE(it != secondary.end()) << "no reference for " << y << "-" << m << "-" << d;
      testing::LunarDay got{};
      UnpackDate(t.DayTable[slot].lunarDate, got.year, got.month, got.day);
      got.leap = t.DayTable[slot].leap;
      const testing::LunarDay& want = it->second;
      ++compared;
      const bool same = got.year == want.year && got.month == want.month && got.day == want.day &&
                        got.leap == want.leap;
      if (same) continue;
      ++differing;
      if (const Deviation* dev = FindDeviation(place, key)) {
        ++explained[dev];
      } else if (unexplained.size() < 40) {
        char line[160];
        std::snprintf(line, sizeof line, "%d-%02d-%02d: got %s, want %s", y, m, d, LunarText(got).c_str(),
                      LunarText(want).c_str());
        unexplained.push_back(line);
      }
    }
  }
  EXPECT_EQ(compared, DaysBetween(2, 1, 1, 1912, 1, 1));
  std::string report;
  for (const std::string& line : unexplained) report += line + "\n";
  EXPECT_TRUE(unexplained.empty()) << "days differing without a listed reason:\n" << report;
  // Every listed day does differ: the list holds nothing stale.
  long listed = 0;
  for (const Deviation& dev : kDeviations) {
    if (dev.place != place) continue;
    const Days& r = dev.days;
    const long length = DayKey(r.toYear, r.toMonth, r.toDay) - DayKey(r.fromYear, r.fromMonth, r.fromDay) + 1;
    listed += length;
    EXPECT_EQ(explained[&dev], length) << dev.reason;
  }
  std::printf("place %d: %ld days compared, %ld differ (%ld listed), %.4f%% equal\n", place, compared, differing,
              listed, 100.0 * (compared - differing) / compared);
}

TEST(HistoricalSlow, KoreanCalendarEveryDayOfYears2To1911) {
  const auto korean = testing::LoadCompactLunarMonths(ORVANTA_TEST_DATA "/kasi_months_1000_1911.txt");
  const auto chinese = testing::LoadCompactLunarMonths(ORVANTA_TEST_DATA "/chinese_months_1_1912.txt");
  ASSERT_GT(korean.size(), 300000u);
  ASSERT_GT(chinese.size(), 690000u);
  CompareWholeSpan(0, korean, chinese);
}

TEST(HistoricalSlow, ChineseCalendarEveryDayOfYears2To1911) {
  const auto chinese = testing::LoadCompactLunarMonths(ORVANTA_TEST_DATA "/chinese_months_1_1912.txt");
  ASSERT_GT(chinese.size(), 690000u);
  CompareWholeSpan(1, chinese, chinese);
}

// ---- Single behaviours ----

struct LunarFields {
  PackedDate lunarDate;
  int monthLength, leap;
  bool operator==(const LunarFields&) const = default;
};

std::vector<LunarFields> LunarColumn(const YearTables& t) {
  std::vector<LunarFields> out;
  for (int i = 0; i < YearTables::kDaySlots; ++i)
    out.push_back({t.DayTable[i].lunarDate, t.DayTable[i].monthLength, t.DayTable[i].leap});
  return out;
}

// Slot of a lunar date (leap or not), -1 when absent.
int LunarSlot(const YearTables& t, int y, int m, int d, int leap) { return FindDayTableEntry(t, y, m, d, 'm', leap); }

TEST(Historical, OtherPlacesIgnoreTheSwitch) {
  // Hanyang and Tokyo find no rows: years with rows for both codes give the
  // same calendar either way.
  for (int place : {2, 449}) {
    testing::CalendarFixture f(place);
    for (int year : {925, 1096, 1548}) {
      f.options.historicalCorrection = false;
      const auto off = LunarColumn(f.Prepare(year));
      f.options.historicalCorrection = true;
      const auto on = LunarColumn(f.Prepare(year));
      EXPECT_TRUE(off == on) << "place " << place << ", year " << year;
    }
  }
}

TEST(Historical, Year925HasLeapMonth12AtCodeZero) {
  testing::CalendarFixture f(0);
  // The computed calendar has no leap month 12 in 925 ...
  const YearTables& off = f.Prepare(926);
  EXPECT_EQ(LunarSlot(off, 925, 12, 1, 1), -1);
  // ... the recorded one has, right after the regular month 12.
  f.options.historicalCorrection = true;
  for (int year : {925, 926}) {
    const YearTables& t = f.Prepare(year);
    const int leap12 = LunarSlot(t, 925, 12, 1, 1);
    const int regular12 = LunarSlot(t, 925, 12, 1, 0);
    ASSERT_GE(leap12, 0) << year;
    ASSERT_GE(regular12, 0) << year;
    EXPECT_EQ(leap12, regular12 + t.DayTable[regular12].monthLength) << year;
    for (int slot = 0; slot < t.DayTableCount; ++slot) {
      int y, m, d;
      UnpackDate(t.DayTable[slot].lunarDate, y, m, d);
      if (t.DayTable[slot].leap && y == 925) {
        EXPECT_EQ(m, 12) << year;
      }
    }
  }
}

TEST(Historical, YearWithoutLeapMonthAtCodeZero) {
  // Year 11 is listed as leap-free for code 0; the computed calendar makes its
  // month 1 leap, a month without a major term.
  testing::CalendarFixture f(0);
  const YearTables& off = f.Prepare(11);
  EXPECT_GE(LunarSlot(off, 11, 1, 1, 1), 0);
  f.options.historicalCorrection = true;
  const YearTables& t = f.Prepare(11);
  int monthsWithoutMajorTerm = 0;
  for (int start : t.NoMajorTermStarts) {
    if (start < 0) continue;
    int y, m, d;
    UnpackDate(t.DayTable[start].lunarDate, y, m, d);
    if (y == 11) ++monthsWithoutMajorTerm;
  }
  EXPECT_GE(monthsWithoutMajorTerm, 1);
  for (int slot = 0; slot < t.DayTableCount; ++slot) {
    int y, m, d;
    UnpackDate(t.DayTable[slot].lunarDate, y, m, d);
    EXPECT_FALSE(y == 11 && t.DayTable[slot].leap) << "slot " << slot;
  }
}

TEST(Historical, ThirtyOneAndTwentyEightDayMonths) {
  struct Case {
    int place, year, month, length;
  } cases[] = {
      {0, 1876, 5, 31},  // the next month is the leap month 5
      {0, 1096, 3, 31},
      {0, 1096, 9, 28},
      {1, 1548, 2, 28},
  };
  for (const Case& c : cases) {
    testing::CalendarFixture f(c.place);
    f.options.historicalCorrection = true;
    const YearTables& t = f.Prepare(c.year);
    const int first = LunarSlot(t, c.year, c.month, 1, 0);
    ASSERT_GE(first, 0) << c.year << "-" << c.month;
    const int last = first + c.length - 1;
    int y, m, d;
    UnpackDate(t.DayTable[last].lunarDate, y, m, d);
    EXPECT_EQ(d, c.length) << c.year << "-" << c.month;
    EXPECT_EQ(t.DayTable[last].monthLength, c.length);
    UnpackDate(t.DayTable[last + 1].lunarDate, y, m, d);
    EXPECT_EQ(d, 1) << "the next month begins the day after day " << c.length;
    EXPECT_TRUE(m != c.month || t.DayTable[last + 1].leap);
  }
  // Lunar 1876-05-31 is the civil 1876-06-22 (the Korean almanac has its leap
  // month 5 begin that day).
  testing::CalendarFixture f(0);
  f.options.historicalCorrection = true;
  const YearTables& t = f.Prepare(1876);
  const int slot = LunarSlot(t, 1876, 5, 31, 0);
  ASSERT_GE(slot, 0);
  EXPECT_EQ(t.DayTable[slot].solarDate, PackDate(1876, 6, 22));
  EXPECT_EQ(LunarSlot(t, 1876, 5, 1, 1), slot + 1);
}

TEST(Historical, SwitchingOffAndOnRestoresBothCalendars) {
  // The check box rebuilds the lunar months on the year's existing lists.
  for (const auto& [place, year] : {std::pair{0, 1096}, std::pair{1, 1548}, std::pair{0, 925}}) {
    testing::CalendarFixture f(place);
    YearTables& t = f.Prepare(year);
    const auto computed = LunarColumn(t);
    LunarBuildOptions on{true, place}, off{false, place};
    BuildLunarCalendar(t, year, on);
    const auto corrected = LunarColumn(t);
    EXPECT_FALSE(computed == corrected) << year;
    BuildLunarCalendar(t, year, off);
    EXPECT_TRUE(LunarColumn(t) == computed) << year;
    BuildLunarCalendar(t, year, on);
    EXPECT_TRUE(LunarColumn(t) == corrected) << year;
  }
}

TEST(Historical, CommandLineSwitch) {
  testing::TempDir dir;
  struct Case {
    const char* args;
    const char* out;
  } cases[] = {
      {"lunar 1876-06-22 --correction on", "1876-05-31\n"},
      {"lunar 1876-06-22 --correction off", "1876-05-01 leap\n"},
      // Without the switch, what the window shows: corrected inside the span.
      {"lunar 1876-06-22", "1876-05-31\n"},
      {"solar 925-12-01 --leap --correction on", "926-01-17\n"},
      {"lunar 1548-04-07 --correction on --place 1", "1548-03-01\n"},
      {"lunar 1548-04-07 --correction off --place 1", "1548-02-29\n"},
      {"lunarspan 1876 1876 --correction on", nullptr},
  };
  for (const Case& c : cases) {
    const auto r = testing::RunCli(c.args, dir.path());
    EXPECT_EQ(r.status, 0) << c.args << "\n" << r.err;
    if (c.out) {
      EXPECT_EQ(r.out, c.out) << c.args;
    }
  }
  const auto span = testing::RunCli("lunarspan 1876 1876 --correction on", dir.path());
  EXPECT_NE(span.out.find("M,1876,1876-05-23,1876,5,0,1,31,31\n"), std::string::npos) << span.out;
  EXPECT_NE(span.out.find("M,1876,1876-06-23,1876,5,1,1,28,28\n"), std::string::npos) << span.out;

  // Places beyond the first four refuse the correction with a notice and
  // keep the computed calendar.
  const auto tokyo = testing::RunCli("lunar 1876-06-22 --correction on --place 449", dir.path());
  EXPECT_EQ(tokyo.status, 0);
  EXPECT_EQ(tokyo.out, "1876-05-01 leap\n");
  EXPECT_NE(tokyo.err.find("명청,조선,대한민국이외는\n보정하지 않습니다."), std::string::npos) << tokyo.err;

  const auto bad = testing::RunCli("lunar 1876-06-22 --correction maybe", dir.path());
  EXPECT_EQ(bad.status, 2);
  const auto reversed = testing::RunCli("lunarspan 1900 1899", dir.path());
  EXPECT_EQ(reversed.status, 2);
}

}  // namespace
}  // namespace orv
