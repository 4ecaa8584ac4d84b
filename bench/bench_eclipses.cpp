// Eclipses of a year (the greatest-eclipse search at each of the 28 syzygies
// walked, with contacts and the annular-total marking), the same with the
// local circumstances at Seoul, the month view's quick screening, and one
// day's sunrise, sunset, moonrise and moonset.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/core/files/places.h"
#include "eclipses/eclipse_year.h"
#include "eclipses/riseset.h"
#include "ephemeris/sunmoon.h"
#include "lunisolar/prepare.h"

namespace {

struct Setup {
  orv::CalcSettings settings = orv::DefaultSettings();
  orv::Observer observer;
  std::unique_ptr<orv::EngineContext> ctx;
  std::unique_ptr<orv::YearTables> tables = std::make_unique<orv::YearTables>();
  std::unique_ptr<orv::EclipseList> list = std::make_unique<orv::EclipseList>();
  explicit Setup(int year) {
    orv::ApplyPlace(settings, observer, orv::BuiltInPlaceTable(), 0);
    ctx = std::make_unique<orv::EngineContext>(settings, observer);
    orv::PrepareYear(*ctx, *tables, year, orv::LunarBuildOptions{});
  }
};

void BM_EclipsesOfYear(benchmark::State& state) {
  Setup s(2024);
  for (auto _ : state) benchmark::DoNotOptimize(orv::FindEclipsesOfYear(*s.ctx, *s.tables, 2024, *s.list));
}
BENCHMARK(BM_EclipsesOfYear)->Unit(benchmark::kMillisecond);

void BM_LocalEclipsesOfYear(benchmark::State& state) {
  Setup s(2024);
  orv::LocalEclipse local;
  for (auto _ : state) {
    const int n = orv::FindEclipsesOfYear(*s.ctx, *s.tables, 2024, *s.list);
    for (int i = 0; i < n; ++i) orv::LocalCircumstances(*s.ctx, s.list->items[i], local);
    benchmark::DoNotOptimize(local.maximumJD);
  }
}
BENCHMARK(BM_LocalEclipsesOfYear)->Unit(benchmark::kMillisecond);

void BM_QuickEclipseCheck(benchmark::State& state) {
  Setup s(2024);
  const double fullMoon = 2460384.5 + 0.1;  // 2024-03-25
  for (auto _ : state) {
    benchmark::DoNotOptimize(orv::QuickEclipseCheck(*s.ctx, fullMoon, orv::kFullMoon).score);
  }
}
BENCHMARK(BM_QuickEclipseCheck)->Unit(benchmark::kMicrosecond);

void BM_RiseSetOfDay(benchmark::State& state) {
  Setup s(2024);
  const double day = 2460482.5;  // 2024-06-21
  for (auto _ : state) {
    benchmark::DoNotOptimize(orv::RiseSetTimes(*s.ctx, orv::kBodySun, day));
    benchmark::DoNotOptimize(orv::RiseSetTimes(*s.ctx, orv::kBodyMoon, day));
  }
}
BENCHMARK(BM_RiseSetOfDay)->Unit(benchmark::kMicrosecond);

}  // namespace
