// The lunar calendar with the historical correction against the historical
// calendars it follows, lunar years 2..1911:
//   place code 0 (Seoul): the Korean calendar of the Korea Astronomy and Space
//     Science Institute, npm korean-lunar-calendar 0.4.0, from lunar 1000-01-01
//     (tests/data/kasi_months_1000_1911.txt, month 12 of 1911 from
//     tests/data/kasi_months_1900_2050.csv); before it the Chinese calendar;
//   place code 1 (Beijing): the Chinese calendar of the dynasties, npm
//     lunar-javascript 1.7.7 (tests/data/chinese_months_1_1912.txt).
// Both lists were made by the generators in tools/reference. Inside the span
// the months are the recorded ones under every time system and Delta T model;
// outside it they are the computed ones, and no month is cut by the edge.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "historical_reference.h"
#include "lunar_calendar_reference.h"
#include "lunisolar/historical_calendar.h"
#include "lunisolar_fixture.h"
#include "time/timescales.h"

namespace orv {
namespace {

long DayKey(int y, int m, int d) { return static_cast<long>(CalendarToJulianDay(y, m, d)); }

std::string LunarText(const testing::LunarDay& l) {
  char text[48];
  std::snprintf(text, sizeof text, "%d-%02d-%02d%s", l.year, l.month, l.day, l.leap ? " leap" : "");
  return text;
}

// The reference calendar of a place code over the recorded span, keyed like
// LoadCompactLunarMonths, with the span's first and end day.
struct Reference {
  std::map<long, testing::LunarDay> days;
  long first = 0, end = 0;  // [first, end): lunar 2-01-01 up to lunar 1912-01-01
};

const Reference& ReferenceOf(int place) {
  static std::unique_ptr<Reference> refs[2];
  if (!refs[place]) {
    auto r = std::make_unique<Reference>();
    const auto chinese = testing::LoadCompactLunarMonths(ORVANTA_TEST_DATA "/chinese_months_1_1912.txt");
    std::map<long, testing::LunarDay> korean;
    if (place == 0) {
      korean = testing::LoadCompactLunarMonths(ORVANTA_TEST_DATA "/kasi_months_1000_1911.txt");
      for (const auto& [day, l] : testing::LoadLunarMonths(ORVANTA_TEST_DATA "/kasi_months_1900_2050.csv"))
        if (l.year == 1911 && l.month == 12) korean[day] = l;
    }
    for (const auto& [day, l] : chinese)
      if (l.year >= 2 && l.year <= 1911 && (place == 1 || l.year < 1000)) r->days[day] = l;
    for (const auto& [day, l] : korean)
      if (l.year >= 1000 && l.year <= 1911) r->days[day] = l;
    r->first = r->days.begin()->first;
    r->end = r->days.rbegin()->first + 1;
    refs[place] = std::move(r);
  }
  return *refs[place];
}

testing::LunarDay LunarOf(const YearTables& t, int slot) {
  testing::LunarDay l{};
  UnpackDate(t.DayTable[slot].lunarDate, l.year, l.month, l.day);
  l.leap = t.DayTable[slot].leap;
  return l;
}

bool Same(const testing::LunarDay& a, const testing::LunarDay& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.leap == b.leap;
}

long SlotDay(const YearTables& t, int slot) {
  int y, m, d;
  UnpackDate(t.DayTable[slot].solarDate, y, m, d);
  return DayKey(y, m, d);
}

// The settings under which the recorded months must hold: every time system
// and both Delta T families.
struct settingsRow {
  int timeSystem, deltaT;
  const char* name;
};
const settingsRow kSettingsRows[] = {
    {kTimeST, kDeltaTHorizons, "ST, Horizons"}, {kTimeST, kDeltaTNasa, "ST, NASA"},
    {kTimeUT, kDeltaTHorizons, "UT, Horizons"}, {kTimeUT, kDeltaTNasa, "UT, NASA"},
    {kTimeTT, kDeltaTHorizons, "TT, Horizons"}, {kTimeTT, kDeltaTNasa, "TT, NASA"},
};

void Apply(testing::CalendarFixture& f, const settingsRow& row) {
  f.settings.TimeSystemCode = row.timeSystem;
  f.settings.DeltaTModelCode = row.deltaT;
  UpdateZoneOffset(f.settings);
}

// Every day of the recorded span, each from the tables of its civil year
// (prepared in order, as the window pages through the years). Under UT and TT
// the lists do not depend on the place, so both codes are built on them.
void CompareWholeSpan(const settingsRow& row, std::vector<int> places) {
  testing::CalendarFixture f(places[0]);
  Apply(f, row);
  f.options.historicalCorrection = true;
  std::vector<long> compared(places.size(), 0);
  std::vector<std::string> differing;
  for (int year = 2; year <= 1912; ++year) {
    YearTables& t = f.Prepare(year);
    for (size_t p = 0; p < places.size(); ++p) {
      const Reference& ref = ReferenceOf(places[p]);
      if (p > 0) BuildLunarCalendar(t, year, LunarBuildOptions{true, places[p]});
      for (int slot = 0; slot < t.DayTableCount; ++slot) {
        int y, m, d;
        UnpackDate(t.DayTable[slot].solarDate, y, m, d);
        const long key = DayKey(y, m, d);
        if (y != year || key < ref.first || key >= ref.end) continue;
        ++compared[p];
        const testing::LunarDay got = LunarOf(t, slot), want = ref.days.at(key);
        if (!Same(got, want) && differing.size() < 20)
          differing.push_back(std::string(row.name) + ", place " + std::to_string(places[p]) + ", " +
                              std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d) + ": got " +
                              LunarText(got) + ", want " + LunarText(want));
      }
    }
  }
  std::string report;
  for (const std::string& line : differing) report += line + "\n";
  EXPECT_TRUE(differing.empty()) << report;
  for (size_t p = 0; p < places.size(); ++p) {
    const Reference& ref = ReferenceOf(places[p]);
    EXPECT_EQ(compared[p], ref.end - ref.first) << row.name << ", place " << places[p];
  }
}

// Standard time differs by place; universal and terrestrial time do not.
TEST(HistoricalSlow, EveryDayOfTheSpanStandardTimeHorizons) { CompareWholeSpan(kSettingsRows[0], {0}); }
TEST(HistoricalSlow, EveryDayOfTheSpanStandardTimeHorizonsBeijing) { CompareWholeSpan(kSettingsRows[0], {1}); }
TEST(HistoricalSlow, EveryDayOfTheSpanUniversalTimeNasa) { CompareWholeSpan(kSettingsRows[3], {0, 1}); }
TEST(HistoricalSlow, EveryDayOfTheSpanTerrestrialTimeHorizons) { CompareWholeSpan(kSettingsRows[4], {0, 1}); }

TEST(Historical, ReferenceListsMeetTheSpan) {
  // The span of both codes: lunar 2-01-01 (civil 2-02-02) up to lunar
  // 1912-01-01 (civil 1912-02-18 in both calendars).
  for (int place : {0, 1}) {
    const Reference& ref = ReferenceOf(place);
    EXPECT_EQ(ref.first, DayKey(2, 2, 2)) << place;
    EXPECT_EQ(ref.end, DayKey(1912, 2, 18)) << place;
    EXPECT_EQ(static_cast<long>(ref.days.size()), ref.end - ref.first) << place;
  }
}

TEST(Historical, RecordedMonthsAreTheReferenceDayForDay) {
  // The table read back month by month, without any ephemeris: every day of
  // the span, the reform years 8 (no month 12), 236 (a 28-day month 12) and
  // 237 (no month 3) included.
  for (int place : {0, 1}) {
    const Reference& ref = ReferenceOf(place);
    long first = 0, end = 0;
    ASSERT_TRUE(HistoricalSpan(place, first, end));
    EXPECT_EQ(first, ref.first + 1) << "Julian Day Numbers count from noon";
    EXPECT_EQ(end, ref.end + 1);
    long days = 0, mismatches = 0;
    constexpr int kChunkDays = 3000;
    for (long from = first; from < end; from += kChunkDays) {
      HistoricalMonth months[128];
      const int count = HistoricalMonthsBetween(place, from, from + kChunkDays, months, 128);
      for (int i = 0; i < count; ++i) {
        for (int d = 0; d < months[i].length; ++d) {
          const long day = months[i].firstDay + d;
          if (day < from || day >= from + kChunkDays || day >= end) continue;
          ++days;
          const testing::LunarDay got{months[i].year, months[i].month, d + 1, months[i].leap};
          const auto it = ref.days.find(day - 1);
          if (it == ref.days.end() || !Same(got, it->second)) {
            if (++mismatches < 10) ADD_FAILURE() << place << ": day " << day << " got " << LunarText(got);
          }
        }
      }
    }
    EXPECT_EQ(days, end - first) << place;
    EXPECT_EQ(mismatches, 0) << place;
  }
  long first = 0, end = 0;
  EXPECT_FALSE(HistoricalSpan(2, first, end)) << "only codes 0 and 1 have recorded months";
}

// The tables that hold an edge of the span (and their neighbours), under
// every settings row at both codes: every slot numbered, every month 29 or
// 30 days, numbers in sequence across the edge, the span's days recorded,
// the other days the computed calendar (a boundary moved by a day at most),
// and a day the same in every table that holds it.
TEST(Historical, EdgesOfTheSpanUnderEverySetting) {
  for (const settingsRow& row : kSettingsRows) {
    for (int place : {0, 1}) {
      const Reference& ref = ReferenceOf(place);
      testing::CalendarFixture f(place);
      Apply(f, row);
      std::map<long, testing::LunarDay> seen;
      for (int year : {0, 1, 2, 3, 1910, 1911, 1912, 1913}) {
        SCOPED_TRACE(std::string(row.name) + ", place " + std::to_string(place) + ", table " + std::to_string(year));
        f.options.historicalCorrection = false;
        YearTables& t = f.Prepare(year);
        std::vector<testing::LunarDay> computed;
        for (int slot = 0; slot < t.DayTableCount; ++slot) computed.push_back(LunarOf(t, slot));
        f.options.historicalCorrection = true;
        f.Prepare(year);
        for (int slot = 0; slot < t.DayTableCount; ++slot) {
          const testing::LunarDay got = LunarOf(t, slot);
          ASSERT_NE(t.DayTable[slot].lunarDate, 0) << "slot " << slot << " has no lunar date (computed "
                                                   << LunarText(computed[slot]) << ")";
          const long key = SlotDay(t, slot);
          if (key >= ref.first && key < ref.end) {
            EXPECT_TRUE(Same(got, ref.days.at(key))) << "slot " << slot << ": " << LunarText(got);
          } else {
            auto month = [](const testing::LunarDay& l) { return l.year * 100 + l.month + 10000 * l.leap; };
            const bool near = month(got) == month(computed[slot]) ||
                              (slot > 0 && month(got) == month(computed[slot - 1])) ||
                              (slot + 1 < t.DayTableCount && month(got) == month(computed[slot + 1]));
            EXPECT_TRUE(near) << "slot " << slot << ": " << LunarText(got) << ", computed "
                              << LunarText(computed[slot]);
          }
          const auto it = seen.find(key);
          if (it != seen.end()) {
            EXPECT_TRUE(Same(it->second, got)) << "slot " << slot << ": " << LunarText(got) << ", other table "
                                               << LunarText(it->second);
          }
          seen[key] = got;
          if (slot == 0) continue;
          const testing::LunarDay before = LunarOf(t, slot - 1);
          if (got.day == 1) {
            EXPECT_TRUE(before.day == 29 || before.day == 30) << "slot " << slot;
            const bool leapAfter = got.leap && got.month == before.month && got.year == before.year;
            const bool next = !got.leap && (got.month == before.month % 12 + 1) &&
                              got.year == before.year + (before.month == 12 ? 1 : 0);
            EXPECT_TRUE(leapAfter || next) << "slot " << slot << ": " << LunarText(before) << " then "
                                           << LunarText(got);
          } else {
            EXPECT_EQ(got.day, before.day + 1) << "slot " << slot;
            EXPECT_LE(got.day, 30) << "slot " << slot;
          }
        }
      }
    }
  }
}

TEST(Historical, YearZeroIsTheComputedCalendar) {
  // The table of year 0 (to June of year 1) lies wholly before the span: the
  // computed calendar, day for day.
  for (int place : {0, 1}) {
    testing::CalendarFixture f(place);
    for (int year : {0}) {
      const auto off = f.Prepare(year);
      std::vector<PackedDate> computed;
      for (int slot = 0; slot < off.DayTableCount; ++slot) computed.push_back(off.DayTable[slot].lunarDate);
      f.options.historicalCorrection = true;
      const YearTables& on = f.Prepare(year);
      for (int slot = 0; slot < on.DayTableCount; ++slot) {
        if (SlotDay(on, slot) >= ReferenceOf(place).first) break;
        EXPECT_EQ(on.DayTable[slot].lunarDate, computed[static_cast<size_t>(slot)]) << year << " slot " << slot;
      }
      f.options.historicalCorrection = false;
    }
  }
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
int LunarSlot(const YearTables& t, int y, int m, int d, int leap) { return SlotOfLunarDate(t, y, m, d, leap != 0); }

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

TEST(Historical, RecordedMonthsWhateverTheComputedOnesSay) {
  // Months the chronicles and the references agree on, and where the computed
  // calendar differs: a recorded boundary a day off the computed new moon and
  // the leap months of the recorded calendars.
  struct Case {
    int place;
    int civilYear, civilMonth, civilDay;
    int lunarYear, lunarMonth, lunarDay, leap;
    const char* source;
  } cases[] = {
      {1, 1548, 4, 7, 1548, 2, 29, 0, "lunar-javascript: month 3 of 1548 begins on April 8"},
      {1, 1548, 4, 8, 1548, 3, 1, 0, "lunar-javascript"},
      {0, 1876, 6, 22, 1876, 5, 1, 1, "korean-lunar-calendar: leap month 5 of 1876"},
      {0, 926, 1, 17, 925, 12, 1, 1, "chronicles and lunar-javascript: leap month 12 of 925"},
      {0, 2, 9, 26, 2, 8, 1, 1, "chronicles: leap month 8 of year 2"},
  };
  for (const Case& c : cases) {
    testing::CalendarFixture f(c.place);
    f.options.historicalCorrection = true;
    const YearTables& t = f.Prepare(c.civilYear);
    const int slot = SlotOfSolarDate(t, c.civilYear, c.civilMonth, c.civilDay);
    ASSERT_GE(slot, 0);
    const testing::LunarDay want{c.lunarYear, c.lunarMonth, c.lunarDay, c.leap};
    EXPECT_TRUE(Same(LunarOf(t, slot), want)) << c.source << ": got " << LunarText(LunarOf(t, slot)) << ", want "
                                              << LunarText(want);
    EXPECT_TRUE(t.DayTable[slot].monthLength == 29 || t.DayTable[slot].monthLength == 30);
  }
}

TEST(Historical, SwitchingOffAndOnRestoresBothCalendars) {
  // The check box rebuilds the lunar months on the year's existing lists.
  for (const auto& [place, year] : {std::pair{0, 1096}, std::pair{1, 1548}, std::pair{0, 925}, std::pair{0, 1912}}) {
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
      {"lunar 1876-06-22 --correction on", "1876-05-01 leap\n"},
      {"lunar 1876-06-22 --correction on --time UT", "1876-05-01 leap\n"},
      {"lunar 1876-06-22 --correction on --time TT --deltat nasa", "1876-05-01 leap\n"},
      {"lunar 1876-06-22 --correction off", "1876-05-01 leap\n"},
      // Without the switch, what the window shows: corrected inside the span.
      {"lunar 1548-04-08 --place 1", "1548-03-01\n"},
      {"solar 925-12-01 --leap --correction on", "926-01-17\n"},
      {"lunar 1548-04-08 --correction on --place 1", "1548-03-01\n"},
      {"lunar 1548-04-08 --correction on --place 1 --time UT", "1548-03-01\n"},
      {"lunar 1548-04-07 --correction off --place 1", "1548-02-29\n"},
      // Year 0 lies before the span: the computed calendar.
      {"lunar 0-07-22 --correction on", "0-06-03\n"},
      {"lunar 0-07-22 --correction off", "0-06-03\n"},
      // The last month of lunar year 1 ends where the first recorded month
      // begins, in the table of year 2 and in the table of year 1 alike.
      {"lunar 2-01-31", "1-12-29\n"},
      {"solar 1-12-29", "2-01-31\n"},
      {"lunar 1-12-04", "1-11-01\n"},
      {"solar 1-11-01", "1-12-04\n"},
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
  EXPECT_NE(span.out.find("M,1876,1876-05-23,1876,5,0,1,30,30\n"), std::string::npos) << span.out;
  EXPECT_NE(span.out.find("M,1876,1876-06-22,1876,5,1,1,29,29\n"), std::string::npos) << span.out;

  // The lunar dates of March 1 in the 30 years before year 10 run across the
  // span's first edge: every day between 1 and 30.
  const auto dates = testing::RunCli("lunar-dates 10-03-01 --before --correction on", dir.path());
  EXPECT_EQ(dates.status, 0) << dates.err;
  int lines = 0;
  for (size_t at = dates.out.find("년 "); at != std::string::npos; at = dates.out.find("년 ", at + 1)) {
    const size_t day = dates.out.find("월 ", at);
    ASSERT_NE(day, std::string::npos);
    const int value = std::atoi(dates.out.c_str() + day + std::strlen("월 "));
    EXPECT_GE(value, 1) << dates.out;
    EXPECT_LE(value, 30) << dates.out;
    ++lines;
  }
  EXPECT_EQ(lines, 31) << dates.out;

  // The year reports read the same months: the recorded leap month 12 of
  // 925 in the syzygy list, and the thirty-year leap table the same under
  // every time system and Delta T model.
  const auto syzygies = testing::RunCli("syzygies 925 --correction on", dir.path());
  EXPECT_NE(syzygies.out.find("윤12월달\t01월17일"), std::string::npos) << syzygies.out;
  const auto leapST = testing::RunCli("leap-months 930 --before --correction on", dir.path());
  EXPECT_NE(leapST.out.find("\n925년 12월"), std::string::npos) << leapST.out;
  for (const char* args : {"leap-months 930 --before --correction on --time UT",
                           "leap-months 930 --before --correction on --time TT --deltat nasa"}) {
    EXPECT_EQ(testing::RunCli(args, dir.path()).out, leapST.out) << args;
  }

  // Places without recorded months refuse the correction with a notice and
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
