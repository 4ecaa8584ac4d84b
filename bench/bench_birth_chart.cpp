// The 사주 tool's whole answer for one birth: the pillars, the chart and the
// luck pillars from the sectional-term instants. Births alternate between
// two years, so the birth's year is prepared in every iteration, as when the
// tool is asked about a year other than the one shown.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/core/files/places.h"
#include "app/core/reports/birth_chart.h"

namespace {

struct Setup {
  orv::CalcSettings settings = orv::DefaultSettings();
  orv::Observer observer;
  orv::PlaceTable places = orv::BuiltInPlaceTable();
  std::unique_ptr<orv::EngineContext> engine;
  std::unique_ptr<orv::YearTables> tables = std::make_unique<orv::YearTables>();
  std::unique_ptr<orv::ReportInputs> in;
  Setup() {
    orv::ApplyPlace(settings, observer, places, 0);
    engine = std::make_unique<orv::EngineContext>(settings, observer);
    in = std::make_unique<orv::ReportInputs>(orv::ReportInputs{*engine, *tables, orv::LunarBuildOptions{},
                                                               orv::PlaceReportName(places.rows[0]),
                                                               places.rows[0].timeZone});
  }
};

void BM_BirthChartWithLuck(benchmark::State& state) {
  Setup s;
  orv::BirthRequest request;
  request.reading = {1988, 7, 1, 12, 0};
  request.sex = orv::BirthSex::Male;
  request.luck = true;
  request.firstAnnualYear = 2026;
  int i = 0;
  for (auto _ : state) {
    request.reading.year = (i++ % 2) ? 1988 : 2020;
    benchmark::DoNotOptimize(orv::ComputeBirthReport(*s.in, s.places.rows[0], request));
  }
}
BENCHMARK(BM_BirthChartWithLuck)->Unit(benchmark::kMillisecond);

}  // namespace
