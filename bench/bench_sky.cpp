// The numbers behind the sky pictures: a year of sunrise, sunset and the
// three twilights at Seoul (the daylight chart), and one day's altitudes.
#include <benchmark/benchmark.h>

#include "app/core/files/places.h"
#include "app/core/sky/sky_series.h"

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

}  // namespace
