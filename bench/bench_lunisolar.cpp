// Year preparation: a fresh year, a year one step after another (the
// incremental lists), thirty consecutive years.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/core/files/places.h"
#include "lunisolar/prepare.h"

namespace {

struct Setup {
  orv::CalcSettings settings = orv::DefaultSettings();
  orv::Observer observer;
  std::unique_ptr<orv::EngineContext> ctx;
  std::unique_ptr<orv::YearTables> tables = std::make_unique<orv::YearTables>();
  orv::LunarBuildOptions options;
  Setup() {
    orv::ApplyPlace(settings, observer, orv::BuiltInPlaceTable(), 0);
    ctx = std::make_unique<orv::EngineContext>(settings, observer);
  }
};

void BM_PrepareFreshYear(benchmark::State& state) {
  Setup s;
  int year = 2000;
  for (auto _ : state) {
    s.tables->Prepared = false;
    orv::PrepareYear(*s.ctx, *s.tables, year, s.options);
    year = year == 2000 ? 1700 : 2000;
  }
}
BENCHMARK(BM_PrepareFreshYear)->Unit(benchmark::kMillisecond);

void BM_PrepareNextYear(benchmark::State& state) {
  Setup s;
  int year = 1900;
  orv::PrepareYear(*s.ctx, *s.tables, year, s.options);
  for (auto _ : state) orv::PrepareYear(*s.ctx, *s.tables, ++year, s.options);
}
BENCHMARK(BM_PrepareNextYear)->Unit(benchmark::kMillisecond);

void BM_PrepareThirtyYears(benchmark::State& state) {
  Setup s;
  for (auto _ : state) {
    s.tables->Prepared = false;
    for (int year = 2000; year < 2030; ++year) orv::PrepareYear(*s.ctx, *s.tables, year, s.options);
  }
}
BENCHMARK(BM_PrepareThirtyYears)->Unit(benchmark::kMillisecond);

}  // namespace
