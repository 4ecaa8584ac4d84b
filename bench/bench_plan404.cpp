// PLAN404: one geocentric place of the Sun (Moon + Earth-Moon barycentre
// series) and one of the Moon, as every solar-term and syzygy search step asks.
#include <benchmark/benchmark.h>

#include "data/plan404_tables.h"
#include "ephemeris/plan404.h"

namespace {

struct Engine {
  orv::CalcSettings settings = orv::DefaultSettings();
  orv::Observer observer;
  orv::EngineContext ctx{settings, observer};
};

void BM_Plan404PositionSun(benchmark::State& state) {
  Engine e;
  double jd = 2460000.5;
  double out[3];
  for (auto _ : state) {
    orv::Plan404Position(e.ctx, jd, 2, out);
    benchmark::DoNotOptimize(out);
    jd += 0.01;
  }
}
BENCHMARK(BM_Plan404PositionSun);

void BM_Plan404PositionMoon(benchmark::State& state) {
  Engine e;
  double jd = 2460000.5;
  double out[3];
  for (auto _ : state) {
    orv::Plan404Position(e.ctx, jd, 1, out);
    benchmark::DoNotOptimize(out);
    jd += 0.01;
  }
}
BENCHMARK(BM_Plan404PositionMoon);

void BM_Plan404PlanetEarthMoonBarycentre(benchmark::State& state) {
  double jd = 2460000.5;
  double l, b, r;
  for (auto _ : state) {
    orv::Plan404Planet(jd, orv::data::kPlan404Planets[2], l, b, r);
    benchmark::DoNotOptimize(l);
    jd += 0.01;
  }
}
BENCHMARK(BM_Plan404PlanetEarthMoonBarycentre);

}  // namespace
