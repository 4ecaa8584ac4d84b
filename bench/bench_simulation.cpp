// A simulation run as the window makes it: the Moon's apparent ecliptic
// place (item 2) every hour for 10 000 hours, written to a CSV file, with
// PLAN404 and with the DE405 file made at build time.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>

#include "app/core/files/files.h"
#include "app/core/files/places.h"
#include "app/core/simulation/simulation.h"
#include "ephemeris/jpl_reader.h"

namespace {

constexpr int kSteps = 10000;

void RunMoonSeries(benchmark::State& state, bool jpl) {
  orv::CalcSettings settings = orv::DefaultSettings();
  orv::Observer observer;
  const orv::PlaceTable places = orv::BuiltInPlaceTable();
  orv::ApplyPlace(settings, observer, places, 0);
  std::unique_ptr<orv::JplEphemeris> eph;
  if (jpl) {
    if (!orv::FileExists(ORVANTA_DE405_PATH)) {
      state.SkipWithError("no DE405 file (needs python3-casacore and casacore-data-jpl-de405 at build time)");
      return;
    }
    eph = std::make_unique<orv::JplEphemeris>();
    if (!eph->OpenFile(ORVANTA_DE405_PATH)) {
      state.SkipWithError("cannot open the DE405 file");
      return;
    }
    orv::JplOpenEphemeris(*eph, 405);
    settings.EphemerisCode = orv::kEphemerisDe441;
  }
  orv::EngineContext ctx(settings, observer);
  ctx.jpl = eph.get();
  orv::StderrMessageSink messages;
  orv::SimulationEnvironment env(ctx, places.rows[0], messages);
  if (eph) orv::UsableJplYears(eph->header.Span[0], eph->header.Span[1], env.jplFirstYear, env.jplLastYear);

  orv::SimulationRequest request;
  request.item = orv::kItemApparentEcliptic;
  request.target = 1;  // the Moon
  request.year = 2024;
  request.month = 1;
  request.day = 1;
  request.step = 1.0;
  request.unit = orv::kUnitHours;
  request.repetitions = kSteps;
  const std::string path =
      (std::filesystem::temp_directory_path() / ("orvanta-bench-simulation-" + std::to_string(::getpid()) + ".csv"))
          .string();
  for (auto _ : state) {
    const orv::SimulationOutcome outcome = orv::RunSimulationTo(request, env, path);
    if (!outcome.written) {
      state.SkipWithError("the run wrote nothing");
      break;
    }
  }
  std::remove(path.c_str());
  state.counters["lines/s"] = benchmark::Counter(static_cast<double>(kSteps), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_SimulationMoonHourlyPlan404(benchmark::State& state) { RunMoonSeries(state, false); }
BENCHMARK(BM_SimulationMoonHourlyPlan404)->Unit(benchmark::kMillisecond);

void BM_SimulationMoonHourlyDe405(benchmark::State& state) { RunMoonSeries(state, true); }
BENCHMARK(BM_SimulationMoonHourlyDe405)->Unit(benchmark::kMillisecond);

}  // namespace
