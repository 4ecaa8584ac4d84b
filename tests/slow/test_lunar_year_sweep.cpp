// Every year of PLAN404's range (-4999..10000) at places east and west of
// Greenwich, under standard and civil time with NASA and Horizons Delta T and
// under TT: each table prepares, numbers every day, has no month out of
// sequence (two ordinary months of one number, a leap month after a leap
// month), and gives every day it shares with the table of the year before
// the lunar date that table gives it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../lunar_year_checks.h"
#include "app/core/files/places.h"
#include "ephemeris/context.h"
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
};

void SweepAllYears(const Setting& s) {
  CalcSettings settings = DefaultSettings();
  Observer observer;
  ApplyPlace(settings, observer, BuiltInPlaceTable(), s.place);
  settings.TimeSystemCode = s.timeSystem;
  settings.DeltaTModelCode = s.deltaT;
  UpdateZoneOffset(settings);
  EngineContext ctx(settings, observer);
  LunarBuildOptions options;
  options.placeIndex = s.place;
  auto tables = std::make_unique<YearTables>();
  std::map<long, testing::LunarDay> previous;
  int failures = 0;
  for (int year = kFirstYear; year <= kLastYear && failures < 20; ++year) {
    const std::string where = std::string(s.name) + ", year " + std::to_string(year);
    if (!PrepareYear(ctx, *tables, year, options)) {
      ADD_FAILURE() << where << ": the preparation failed";
      ++failures;
      previous.clear();
      continue;
    }
    const auto faults = testing::MonthSequenceFaults(*tables);
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
TEST(LunarYearSweep, SeoulTerrestrialTimeNasa) { SweepAllYears({"Seoul TT NASA", 0, kTimeTT, kDeltaTNasa}); }

}  // namespace
}  // namespace orv
