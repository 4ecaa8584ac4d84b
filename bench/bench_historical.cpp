// The cost of the historical correction: preparing a year (Seoul, PLAN404)
// with the computed calendar and with the corrected one, and the lunar-month
// build alone on a year's lists (with the correction: the computed months,
// then the recorded ones laid over them). The years cycle through 1392..1401.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/core/files/places.h"
#include "lunisolar/prepare.h"

namespace {

constexpr int kFirstYear = 1392;
constexpr int kYears = 10;

struct Setup {
  orv::CalcSettings settings = orv::DefaultSettings();
  orv::Observer observer;
  std::unique_ptr<orv::EngineContext> ctx;
  std::unique_ptr<orv::YearTables> tables = std::make_unique<orv::YearTables>();
  orv::LunarBuildOptions options;
  explicit Setup(bool correction) {
    orv::ApplyPlace(settings, observer, orv::BuiltInPlaceTable(), 0);
    ctx = std::make_unique<orv::EngineContext>(settings, observer);
    options.historicalCorrection = correction;
    options.placeIndex = 0;
  }
};

// A fresh year each time (the lists searched from scratch).
void BM_PrepareYear(benchmark::State& state) {
  Setup s(state.range(0) != 0);
  int i = 0;
  for (auto _ : state) {
    s.tables->Prepared = false;
    orv::PrepareYear(*s.ctx, *s.tables, kFirstYear + i, s.options);
    i = (i + 1) % kYears;
  }
}
BENCHMARK(BM_PrepareYear)->ArgName("correction")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The lunar months alone, on lists prepared beforehand.
void BM_BuildLunarCalendar(benchmark::State& state) {
  Setup s(state.range(0) != 0);
  std::unique_ptr<orv::YearTables> years[kYears];
  for (int i = 0; i < kYears; ++i) {
    years[i] = std::make_unique<orv::YearTables>();
    orv::PrepareYear(*s.ctx, *years[i], kFirstYear + i, s.options);
  }
  int i = 0;
  for (auto _ : state) {
    orv::BuildLunarCalendar(*years[i], kFirstYear + i, s.options);
    benchmark::DoNotOptimize(years[i]->DayTable[300].lunarDate);
    i = (i + 1) % kYears;
  }
}
BENCHMARK(BM_BuildLunarCalendar)->ArgName("correction")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
