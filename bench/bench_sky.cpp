// The numbers behind the sky pictures: a year of sunrise, sunset and the
// three twilights at Seoul (the daylight chart), one day's altitudes, and the
// path of a total solar eclipse.
#include <benchmark/benchmark.h>

#include "app/core/files/places.h"
#include "app/core/sky/eclipse_map.h"
#include "app/core/sky/sky_series.h"

#include <memory>

namespace {

struct SeoulEngine {
  orv::CalcSettings settings = orv::DefaultSettings();
  orv::Observer observer;
  orv::EngineContext ctx{settings, observer};
  SeoulEngine() { orv::ApplyPlace(settings, observer, orv::BuiltInPlaceTable(), 0); }
};

void BM_DaylightYear(benchmark::State& state) {
  SeoulEngine e;
  for (auto _ : state) benchmark::DoNotOptimize(orv::ComputeDaylightYear(e.ctx, 2026, "Asia/Seoul").days.size());
}
BENCHMARK(BM_DaylightYear)->Unit(benchmark::kMillisecond);

void BM_DaySky(benchmark::State& state) {
  SeoulEngine e;
  for (auto _ : state) benchmark::DoNotOptimize(orv::ComputeDaySky(e.ctx, 2026, 8, 12).sunAltitudeDeg.size());
}
BENCHMARK(BM_DaySky)->Unit(benchmark::kMillisecond);

// The central line and the four limits of the total eclipse of 2026-08-12,
// every minute from P1 to P4.
void BM_EclipsePath(benchmark::State& state) {
  SeoulEngine e;
  auto tables = std::make_unique<orv::YearTables>();
  orv::FoundEclipse eclipse;
  orv::FindEclipseNearDate(e.ctx, *tables, 2026, 8, 12, true, eclipse);
  for (auto _ : state)
    benchmark::DoNotOptimize(orv::ComputeEclipsePath(e.ctx, eclipse.contacts, 1.0 / 1440.0).central.size());
}
BENCHMARK(BM_EclipsePath)->Unit(benchmark::kMillisecond);

}  // namespace
