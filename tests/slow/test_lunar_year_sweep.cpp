// Every year of PLAN404's range (-4999..10000) at places east and west of
// Greenwich, under standard and civil time with NASA and Horizons Delta T and
// under TT: each table prepares, numbers every day, has no month out of
// sequence (two ordinary months of one number, a leap month after a leap
// month), and gives every day it shares with the table of the year before
// the lunar date that table gives it. With the recorded months wanted, at both
// places that have them, the years around and inside the recorded span
// (years 1 and 2, whose tables show the first recorded months, included).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../lunar_year_checks.h"
#include "app/core/files/places.h"
#include "ephemeris/context.h"
#include "lunisolar/lunar_calendar.h"
#include "lunisolar/prepare.h"

namespace orv {
namespace {

constexpr int kFirstYear = -4999;
constexpr int kLastYear = 10000;

struct Setting {
  const char* name;
  int place;  // built-in place table (orvanta-cli places --search NAME)
  int timeSystem;
  int deltaT;
  bool correctionWanted = false;
  int firstYear = kFirstYear, lastYear = kLastYear;
};

void SweepAllYears(const Setting& s) {
  CalcSettings settings = DefaultSettings();
  Observer observer;
  ApplyPlace(settings, observer, BuiltInPlaceTable(), s.place);
  settings.TimeSystemCode = s.timeSystem;
  settings.DeltaTModelCode = s.deltaT;
  UpdateZoneOffset(settings);
  EngineContext ctx(settings, observer);
  auto tables = std::make_unique<YearTables>();
  std::map<long, testing::LunarDay> previous;
  int failures = 0;
  for (int year = s.firstYear; year <= s.lastYear && failures < 20; ++year) {
    const std::string where = std::string(s.name) + ", year " + std::to_string(year);
    const LunarBuildOptions options = LunarBuildOptionsFor(year, s.place, s.correctionWanted);
    if (!PrepareYear(ctx, *tables, year, options)) {
      ADD_FAILURE() << where << ": the preparation failed";
      ++failures;
      previous.clear();
      continue;
    }
    auto faults = testing::MonthSequenceFaults(*tables);
    // The recorded calendars skip a month number twice (8-12 and 237-3, in
    // their rows of data/historical_tables.cpp): there only a day without a
    // lunar date is a fault (test_historical checks their months).
    if (s.correctionWanted)
      std::erase_if(faults, [](const std::string& f) { return f.rfind("no lunar date", 0) != 0; });
    if (!faults.empty()) {
      ADD_FAILURE() << where << ":\n" << testing::FirstLines(faults, 4);
      ++failures;
    }
    const auto differences = testing::SharedDayDifferences(previous, *tables);
    if (!differences.empty()) {
      ADD_FAILURE() << where << ": " << differences.size() << " days differ from the table of the year before:\n"
                    << testing::FirstLines(differences, 4);
      ++failures;
    }
    previous = testing::LunarDays(*tables);
  }
}

TEST(LunarYearSweep, NewYorkStandardTimeHorizons) { SweepAllYears({"New York ST Horizons", 207, kTimeST, kDeltaTHorizons}); }
TEST(LunarYearSweep, HonoluluCivilTimeNasa) { SweepAllYears({"Honolulu civil NASA", 178, kTimeCivil, kDeltaTNasa}); }
TEST(LunarYearSweep, AdakStandardTimeNasa) { SweepAllYears({"Adak ST NASA", 135, kTimeST, kDeltaTNasa}); }
TEST(LunarYearSweep, SeoulStandardTimeHorizons) { SweepAllYears({"Seoul ST Horizons", 0, kTimeST, kDeltaTHorizons}); }
TEST(LunarYearSweep, SeoulRecordedMonths) {
  SweepAllYears({"Seoul ST Horizons, recorded months", 0, kTimeST, kDeltaTHorizons, true, -10, 1920});
}
TEST(LunarYearSweep, BeijingRecordedMonthsUniversalTime) {
  SweepAllYears({"Beijing UT NASA, recorded months", 1, kTimeUT, kDeltaTNasa, true, -10, 1920});
}
TEST(LunarYearSweep, SeoulTerrestrialTimeNasa) { SweepAllYears({"Seoul TT NASA", 0, kTimeTT, kDeltaTNasa}); }

}  // namespace
}  // namespace orv
