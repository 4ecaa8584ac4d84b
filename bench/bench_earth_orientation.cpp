// Earth orientation: the calls every position and sidereal-time request makes.
#include <benchmark/benchmark.h>

#include "ephemeris/earth_orientation.h"
#include "ephemeris/sidereal.h"
#include "time/dates.h"

namespace {

orv::CalcSettings Iau2006Settings() {
  orv::CalcSettings s = orv::DefaultSettings();  // IAU 2006 precession, IAU 2000B nutation
  s.EphemerisCode = orv::kEphemerisPlan404;
  return s;
}

void BM_NutationIau2000B(benchmark::State& state) {
  const orv::CalcSettings settings = Iau2006Settings();
  const orv::Observer observer;
  orv::EngineContext ctx(settings, observer);
  double jd = 2451545.0;
  for (auto _ : state) {
    double dpsi = 0.0, deps = 0.0;
    orv::Nutation(ctx, jd, dpsi, deps);
    benchmark::DoNotOptimize(dpsi);
    benchmark::DoNotOptimize(deps);
    jd += 0.37;
  }
}
BENCHMARK(BM_NutationIau2000B);

void BM_PrecessionMatrix(benchmark::State& state) {
  orv::CalcSettings settings = Iau2006Settings();
  settings.PrecessionModel = static_cast<int>(state.range(0));
  const orv::Observer observer;
  const orv::EngineContext ctx(settings, observer);
  // Owen1990 beyond two centuries takes the long-term series.
  double jd = settings.PrecessionModel == orv::kPrecessionOwen1990 ? 1000000.5 : 2451545.0;
  for (auto _ : state) {
    orv::Matrix3 p;
    orv::PrecessionMatrix(ctx, jd, 1, p);
    benchmark::DoNotOptimize(p);
    jd += 0.37;
  }
}
BENCHMARK(BM_PrecessionMatrix)->Arg(orv::kPrecessionIau2006)->Arg(orv::kPrecessionOwen1990);

void BM_ApparentSiderealTime(benchmark::State& state) {
  const orv::CalcSettings settings = Iau2006Settings();
  const orv::Observer observer;
  orv::EngineContext ctx(settings, observer);
  orv::TimeState at;
  at.CurrentUT = 2451545.0;
  for (auto _ : state) {
    at.CurrentTT = at.CurrentUT + 64.0 / orv::kSecondsPerDay;
    benchmark::DoNotOptimize(orv::ApparentSiderealTime(ctx, at));
    at.CurrentUT += 0.37;
  }
}
BENCHMARK(BM_ApparentSiderealTime);

}  // namespace
