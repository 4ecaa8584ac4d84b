// The place front of every search: both bodies with PLAN404 at one instant.
#include <benchmark/benchmark.h>

#include "ephemeris/sunmoon.h"

namespace {

void BM_SunMoonLongitudeBothPlan404(benchmark::State& state) {
  orv::CalcSettings settings = orv::DefaultSettings();
  orv::Observer observer;
  orv::EngineContext ctx(settings, observer);
  double jd = 2460000.5;
  for (auto _ : state) {
    benchmark::DoNotOptimize(orv::SunMoonLongitude(ctx, orv::kBodySunAndMoon, jd, orv::kResultElongation));
    jd += 0.013;
  }
}
BENCHMARK(BM_SunMoonLongitudeBothPlan404);

void BM_SunMoonLongitudeSunPlan404(benchmark::State& state) {
  orv::CalcSettings settings = orv::DefaultSettings();
  orv::Observer observer;
  orv::EngineContext ctx(settings, observer);
  double jd = 2460000.5;
  for (auto _ : state) {
    benchmark::DoNotOptimize(orv::SunMoonLongitude(ctx, orv::kBodySun, jd, orv::kResultSunLongitude));
    jd += 0.013;
  }
}
BENCHMARK(BM_SunMoonLongitudeSunPlan404);

}  // namespace
