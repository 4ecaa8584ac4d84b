// Lunar years wherever and however they are reckoned: every day of a table
// gets a lunar date west of Greenwich too, the term list opens with the first
// term after the table's first midnight (in the place's time), a table that
// cannot be completed is reported as a failure, and a lunar year's leap month
// is the one its own table chooses, whichever table shows its days.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>

#include "ephemeris/sunmoon.h"
#include "lunar_year_checks.h"
#include "lunisolar/lunar_calendar.h"
#include "lunisolar/terms.h"
#include "lunisolar_fixture.h"

namespace orv {
namespace {

// Places of the built-in table (orvanta-cli places --search NAME).
constexpr int kSeoul = 0;
constexpr int kAdak = 135;       // 150 W meridian
constexpr int kHonolulu = 178;   // 150 W meridian
constexpr int kNewYork = 207;    // 75 W meridian
constexpr int kWellington = 34;  // 180 E meridian

struct Setting {
  int place;
  int timeSystem;
  int deltaT;
};

std::string Describe(const Setting& s, int year) {
  return "place " + std::to_string(s.place) + ", time " + std::to_string(s.timeSystem) + ", delta T " +
         std::to_string(s.deltaT) + ", year " + std::to_string(year);
}

std::unique_ptr<testing::CalendarFixture> Fixture(const Setting& s) {
  auto f = std::make_unique<testing::CalendarFixture>(s.place);
  f->settings.TimeSystemCode = s.timeSystem;
  f->settings.DeltaTModelCode = s.deltaT;
  UpdateZoneOffset(f->settings);
  return f;
}

TEST(LunarYears, PlacesOfTheTestsAreTheNamedOnes) {
  const PlaceTable places = BuiltInPlaceTable();
  const std::pair<int, const char*> named[] = {
      {kAdak, "Adak"}, {kHonolulu, "Honolulu"}, {kNewYork, "New York"}, {kWellington, "Wellington"}};
  for (const auto& [index, name] : named)
    EXPECT_NE(places.rows.at(static_cast<size_t>(index)).name.find(name), std::string::npos) << index;
}

// The years listed had no lunar date on any day (an empty term list) before
// the list's first term was searched from the table's first midnight in the
// place's time: at New York 1045-1172 about every fourth year, 9650..9750 and
// -3100; at Honolulu and Adak the same band and 7697, 8029..8090, -1075,
// -3271..-3096; only under standard or civil time with NASA or Horizons
// Delta T.
TEST(LunarYears, EveryDayHasALunarDateWestOfGreenwich) {
  struct Row {
    Setting setting;
    int year;
  } rows[] = {
      {{kNewYork, kTimeST, kDeltaTHorizons}, 1045},  {{kNewYork, kTimeST, kDeltaTNasa}, 1045},
      {{kNewYork, kTimeCivil, kDeltaTNasa}, 1045},   {{kNewYork, kTimeCivil, kDeltaTHorizons}, 1172},
      {{kNewYork, kTimeST, kDeltaTNasa}, 9650},      {{kNewYork, kTimeST, kDeltaTHorizons}, 9700},
      {{kNewYork, kTimeST, kDeltaTNasa}, 9750},      {{kNewYork, kTimeST, kDeltaTNasa}, -3100},
      {{kHonolulu, kTimeST, kDeltaTNasa}, 1054},     {{kHonolulu, kTimeST, kDeltaTNasa}, 7697},
      {{kHonolulu, kTimeCivil, kDeltaTNasa}, 8058},  {{kHonolulu, kTimeST, kDeltaTNasa}, -1075},
      {{kAdak, kTimeST, kDeltaTNasa}, 1045},         {{kAdak, kTimeCivil, kDeltaTHorizons}, -3271},
      {{kAdak, kTimeST, kDeltaTNasa}, 8029},         {{kSeoul, kTimeST, kDeltaTHorizons}, 1045},
      {{kWellington, kTimeST, kDeltaTNasa}, 1045},   {{kNewYork, kTimeUT, kDeltaTNasa}, 1045},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Describe(row.setting, row.year));
    auto f = Fixture(row.setting);
    ASSERT_TRUE(PrepareYear(*f->ctx, *f->tables, row.year, f->options));
    const YearTables& t = *f->tables;
    const auto faults = testing::MonthSequenceFaults(t);
    EXPECT_TRUE(faults.empty()) << testing::FirstLines(faults);

    // The first listed term is the first after the table's first midnight
    // of the listed clock: the Sun's longitude then lies in the 15 degrees
    // before that term's.
    ASSERT_NE(t.SolarTermList[0].date, 0);
    const double startJd = PackedDateToJulianDay(t.DayTable[0].solarDate) - f->settings.ZoneOffsetDays;
    const double sunDeg = SunMoonLongitude(*f->ctx, kBodySun, startJd, kResultSunLongitude);
    const double behindDeg = std::fmod(t.SolarTermList[0].longitude - sunDeg + 720.0, 360.0);
    EXPECT_GT(behindDeg, 0.0);
    EXPECT_LE(behindDeg, 15.0);
  }
}

// The band where New York, Honolulu and Adak lost most years, each year
// prepared as a command does (fresh tables, then paging on).
TEST(LunarYears, EveryYearOfTheWesternBandIsComplete) {
  for (const Setting& s : {Setting{kNewYork, kTimeST, kDeltaTHorizons}, Setting{kHonolulu, kTimeCivil, kDeltaTNasa},
                           Setting{kAdak, kTimeST, kDeltaTNasa}}) {
    auto f = Fixture(s);
    for (int year = 1040; year <= 1180; year += 1) {
      SCOPED_TRACE(Describe(s, year));
      ASSERT_TRUE(PrepareYear(*f->ctx, *f->tables, year, f->options));
    }
  }
}

TEST(LunarYears, AnIncompleteTableIsAFailure) {
  auto f = Fixture({kSeoul, kTimeST, kDeltaTHorizons});
  YearTables& t = *f->tables;
  ASSERT_TRUE(PrepareYear(*f->ctx, t, 2025, f->options));
  EXPECT_TRUE(RenumberLunarMonths(*f->ctx, t, 2025, f->options));
  // Without its new moons and the events past the lists nothing can be numbered.
  for (SyzygyRecord& r : t.SyzygyList) r = SyzygyRecord{};
  t.TailNewMoonCount = 0;
  t.HeadNewMoon = 0.0;
  EXPECT_FALSE(RenumberLunarMonths(*f->ctx, t, 2025, f->options));
}

// Tables that numbered the same day differently: 5647/5648 at Seoul (5647-12-23
// leap 11 or 12), 6850/6851 under TT with NASA Delta T (6851-05-19 a second
// ordinary month 3 in the table of 6850), 6258/6259 (the same). The leap
// month of a lunar year is decided by the table whose own year it is.
TEST(LunarYears, NeighbouringTablesGiveASharedDayOneLunarDate) {
  struct Row {
    Setting setting;
    int year;
  } rows[] = {
      {{kSeoul, kTimeST, kDeltaTHorizons}, 5647}, {{kSeoul, kTimeTT, kDeltaTNasa}, 6850},
      {{kSeoul, kTimeTT, kDeltaTNasa}, 6258},     {{kSeoul, kTimeST, kDeltaTHorizons}, 6258},
      {{kSeoul, kTimeST, kDeltaTNasa}, 3844},     {{kNewYork, kTimeST, kDeltaTHorizons}, 5647},
      {{kSeoul, kTimeST, kDeltaTHorizons}, 2033}, {{kHonolulu, kTimeCivil, kDeltaTNasa}, 1045},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Describe(row.setting, row.year));
    // Each table afresh, as a command computes it.
    auto first = Fixture(row.setting);
    auto second = Fixture(row.setting);
    ASSERT_TRUE(PrepareYear(*first->ctx, *first->tables, row.year, first->options));
    ASSERT_TRUE(PrepareYear(*second->ctx, *second->tables, row.year + 1, second->options));
    for (const YearTables* t : {first->tables.get(), second->tables.get()}) {
      const auto faults = testing::MonthSequenceFaults(*t);
      EXPECT_TRUE(faults.empty()) << "table " << t->LoadedYear << "\n" << testing::FirstLines(faults);
    }
    const auto differences = testing::SharedDayDifferences(testing::LunarDays(*first->tables), *second->tables);
    EXPECT_TRUE(differences.empty()) << differences.size() << " days differ:\n"
                                     << testing::FirstLines(differences);
  }
}

TEST(LunarYears, PagingGivesTheTablesOfAFreshStart) {
  // Year by year from 5645 with one set of tables (the lists taken over from
  // the neighbour), against each year prepared afresh.
  const Setting s{kSeoul, kTimeST, kDeltaTHorizons};
  auto paging = Fixture(s);
  for (int year = 5645; year <= 5650; ++year) {
    SCOPED_TRACE(year);
    ASSERT_TRUE(PrepareYear(*paging->ctx, *paging->tables, year, paging->options));
    auto fresh = Fixture(s);
    ASSERT_TRUE(PrepareYear(*fresh->ctx, *fresh->tables, year, fresh->options));
    for (int slot = 0; slot < fresh->tables->DayTableCount; ++slot) {
      ASSERT_EQ(paging->tables->DayTable[slot].lunarDate, fresh->tables->DayTable[slot].lunarDate) << slot;
      ASSERT_EQ(paging->tables->DayTable[slot].leap, fresh->tables->DayTable[slot].leap) << slot;
    }
  }
}

// The first and last recorded years: every table of years -1..4 and
// 1910..1915 built as the user's choice builds it (recorded months wanted or
// not, Korea and Ming/Qing), each afresh as a command does. The table of year
// 1 shows the first recorded months (from February of year 2), the table of
// 1913 the end of the months numbered after the last recorded year. A day has
// one lunar date whichever table shows it, and every day of the civil years
// goes to its lunar date in the table of its civil year and back to itself in
// the table of that lunar year (`lunar` and then `solar`).
TEST(LunarYears, EdgesOfTheRecordedYearsGiveOneLunarDatePerDay) {
  struct Row {
    int place;
    bool correctionWanted;
    int firstYear, lastYear;
  } rows[] = {
      {kSeoul, true, -1, 4},      {kSeoul, false, -1, 4},      {1, true, -1, 4},
      {kSeoul, true, 1910, 1915}, {1, true, 1910, 1915},
  };
  for (const Row& row : rows) {
    const Setting s{row.place, kTimeST, kDeltaTHorizons};
    std::map<int, std::unique_ptr<testing::CalendarFixture>> tables;
    for (int year = row.firstYear; year <= row.lastYear; ++year) {
      SCOPED_TRACE(Describe(s, year) + (row.correctionWanted ? ", recorded months wanted" : ""));
      auto f = Fixture(s);
      f->options = LunarBuildOptionsFor(year, row.place, row.correctionWanted);
      ASSERT_TRUE(PrepareYear(*f->ctx, *f->tables, year, f->options));
      const auto faults = testing::MonthSequenceFaults(*f->tables);
      EXPECT_TRUE(faults.empty()) << testing::FirstLines(faults);
      if (tables.count(year - 1)) {
        const auto differences =
            testing::SharedDayDifferences(testing::LunarDays(*tables[year - 1]->tables), *f->tables);
        EXPECT_TRUE(differences.empty()) << differences.size() << " days differ from the table of the year before:\n"
                                         << testing::FirstLines(differences);
      }
      tables[year] = std::move(f);
    }
    for (int year = row.firstYear + 1; year < row.lastYear; ++year) {
      const YearTables& civil = *tables[year]->tables;
      for (int slot = 0; slot < civil.DayTableCount; ++slot) {
        int y, m, d;
        UnpackDate(civil.DayTable[slot].solarDate, y, m, d);
        if (y != year) continue;
        int ly, lm, ld;
        UnpackDate(civil.DayTable[slot].lunarDate, ly, lm, ld);
        ASSERT_TRUE(tables.count(ly)) << testing::DayText(civil.DayTable[slot].solarDate);
        const YearTables& lunar = *tables[ly]->tables;
        const int back = SlotOfLunarDate(lunar, ly, lm, ld, civil.DayTable[slot].leap != 0);
        ASSERT_GE(back, 0) << testing::DayText(civil.DayTable[slot].lunarDate, civil.DayTable[slot].leap);
        EXPECT_EQ(lunar.DayTable[back].solarDate, civil.DayTable[slot].solarDate)
            << testing::DayText(civil.DayTable[slot].solarDate) << " -> "
            << testing::DayText(civil.DayTable[slot].lunarDate, civil.DayTable[slot].leap) << " -> "
            << testing::DayText(lunar.DayTable[back].solarDate) << " (place " << row.place << ")";
      }
    }
  }
}

}  // namespace
}  // namespace orv
