// Apparent places from the JPL reader on DE405 (made at build time from
// casacore's table): the Moon and the Sun, staying in one 32-day record,
// changing record at every request, and with a restart before every request
// (what the calendar's searches do).
#include <benchmark/benchmark.h>

#include "app/core/files/files.h"
#include "ephemeris/jpl_position.h"
#include "ephemeris/jpl_reader.h"

namespace {

struct De405 {
  orv::CalcSettings settings = orv::DefaultSettings();
  orv::Observer observer;
  orv::EngineContext ctx{settings, observer};
  orv::JplEphemeris eph;
  bool ok = false;
  De405() {
    settings.EphemerisCode = orv::kEphemerisDe441;
    settings.NutationModel = orv::kNutationInternal;
    settings.PrecessionModel = orv::kPrecessionIau2006;
    settings.ObliquityModel = orv::kObliquityIau2006;
    settings.EopCorrection = 0;
    if (!orv::FileExists(ORVANTA_DE405_PATH) || !eph.OpenFile(ORVANTA_DE405_PATH)) return;
    orv::JplOpenEphemeris(eph, 405);
    ctx.jpl = &eph;
    ok = true;
  }
};

enum Pattern { kSameRecord = 0, kRecordChange = 1, kRestartEach = 2 };

void BM_JplApparentPosition(benchmark::State& state) {
  static De405 de405;
  if (!de405.ok) {
    state.SkipWithError("no DE405 file (needs python3-casacore and casacore-data-jpl-de405 at build time)");
    return;
  }
  const int target = static_cast<int>(state.range(0));
  const auto pattern = static_cast<Pattern>(state.range(1));
  // 2451536.5 starts a DE405 record; steps of 0.01 day stay inside it, steps
  // of 33 days cross to another record at every request.
  const double start = 2451536.5 + 1.0;
  long long n = 0;
  for (auto _ : state) {
    const double jd = pattern == kRecordChange ? start + 33.0 * (n % 16) : start + 0.01 * (n % 2000);
    ++n;
    if (pattern == kRestartEach) orv::JplRestart(de405.eph);
    benchmark::DoNotOptimize(orv::JplApparentPosition(de405.ctx, orv::kEphemerisDe441, jd, target, 1).Longitude);
  }
}
BENCHMARK(BM_JplApparentPosition)
    ->ArgNames({"target", "pattern"})
    ->Args({10, kSameRecord})
    ->Args({10, kRecordChange})
    ->Args({10, kRestartEach})
    ->Args({11, kSameRecord})
    ->Args({11, kRecordChange})
    ->Args({11, kRestartEach});

// The header re-read that every apparent-place request makes.
void BM_JplOpenEphemeris(benchmark::State& state) {
  static De405 de405;
  if (!de405.ok) {
    state.SkipWithError("no DE405 file");
    return;
  }
  for (auto _ : state) {
    orv::JplOpenEphemeris(de405.eph, 441);
    benchmark::DoNotOptimize(de405.eph.header.RecordSize);
  }
}
BENCHMARK(BM_JplOpenEphemeris);

}  // namespace
