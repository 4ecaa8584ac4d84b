// The month view as the window builds it (MonthViewBuild): a month of the
// loaded year (grid, marks and pillars only), a month of the next year (the
// year prepared from the neighbouring lists) and a month of a distant year
// (a fresh preparation). PLAN404, Seoul, standard time.
#include <benchmark/benchmark.h>

#include "app/core/calendar_app.h"

namespace {

struct Setup {
  orv::RecordingMessageSink messages;
  orv::FixedClock clock{{orv::MakeTm(2024, 2, 15, 10, 30), orv::MakeTm(2024, 2, 15, 1, 30)}};
  orv::CalendarApp app{{"/nonexistent-program-folder", "/nonexistent-current-folder"}, messages, clock};
  Setup() { app.StartUp(); }
};

void BM_MonthViewLoadedYear(benchmark::State& state) {
  Setup s;
  int month = 0;
  for (auto _ : state) {
    s.app.inputs.month = month % 12 + 1;
    ++month;
    benchmark::DoNotOptimize(s.app.MonthViewBuild());
  }
}
BENCHMARK(BM_MonthViewLoadedYear)->Unit(benchmark::kMicrosecond);

void BM_MonthViewNextYear(benchmark::State& state) {
  Setup s;
  s.app.inputs.yearNumber = 1900;
  s.app.MonthViewBuild();
  for (auto _ : state) {
    ++s.app.inputs.yearNumber;
    benchmark::DoNotOptimize(s.app.MonthViewBuild());
  }
}
BENCHMARK(BM_MonthViewNextYear)->Unit(benchmark::kMillisecond);

void BM_MonthViewDistantYear(benchmark::State& state) {
  Setup s;
  for (auto _ : state) {
    s.app.inputs.yearNumber = s.app.inputs.yearNumber == 2024 ? 1700 : 2024;
    benchmark::DoNotOptimize(s.app.MonthViewBuild());
  }
}
BENCHMARK(BM_MonthViewDistantYear)->Unit(benchmark::kMillisecond);

}  // namespace
