// Reports of the main window: the 30-year leap-month table (31 year
// preparations and the walk over the months) and the global eclipse report
// of a year (the 28 syzygies searched for eclipses, contacts of each).
#include <benchmark/benchmark.h>

#include <memory>

#include "app/core/reports/eclipse_reports.h"
#include "app/core/files/places.h"
#include "app/core/reports/year_reports.h"

namespace {

struct Setup {
  orv::CalcSettings settings = orv::DefaultSettings();
  orv::Observer observer;
  std::unique_ptr<orv::EngineContext> engine;
  std::unique_ptr<orv::YearTables> tables = std::make_unique<orv::YearTables>();
  std::unique_ptr<orv::ReportInputs> in;
  Setup() {
    const orv::PlaceTable places = orv::BuiltInPlaceTable();
    orv::ApplyPlace(settings, observer, places, 0);
    engine = std::make_unique<orv::EngineContext>(settings, observer);
    in = std::make_unique<orv::ReportInputs>(
        orv::ReportInputs{*engine, *tables, orv::LunarBuildOptions{}, orv::PlaceReportName(places.rows[0]), places.rows[0].timeZone});
  }
};

void BM_LeapMonthTable30Years(benchmark::State& state) {
  Setup s;
  orv::EnsureYearLoaded(*s.in, 2000);
  const orv::YearRange range = orv::ThirtyYearRange(2000, false, orv::NominalEphemerisSpan(s.settings.EphemerisCode));
  for (auto _ : state) benchmark::DoNotOptimize(orv::LeapMonthTableText(*s.in, range));
}
BENCHMARK(BM_LeapMonthTable30Years)->Unit(benchmark::kMillisecond);

void BM_GlobalEclipseReport(benchmark::State& state) {
  Setup s;
  orv::EnsureYearLoaded(*s.in, 2024);
  for (auto _ : state) benchmark::DoNotOptimize(orv::GlobalEclipseReportText(*s.in, 2024));
}
BENCHMARK(BM_GlobalEclipseReport)->Unit(benchmark::kMillisecond);

}  // namespace
