// The month view as the window builds it (MonthViewBuild): a month of the
// loaded year (grid, marks and pillars only), a month of the next year (the
// year prepared from the neighbouring lists), a month of a distant year
// (going back and forth between two years, as a user does: the second visit
// comes from the prepared-year cache) and a month of a year never shown
// before (a fresh preparation every time), and a change of place (the year
// prepared for the new place). PLAN404, Seoul, standard time.
#include <benchmark/benchmark.h>

#include "app/core/calendar_app.h"

namespace {

struct Setup {
  orv::RecordingMessageSink messages;
  orv::FixedClock clock{{orv::MakeTm(2024, 2, 15, 10, 30), orv::MakeTm(2024, 2, 15, 1, 30)}};
  orv::CalendarApp app{{"/nonexistent-program-folder", "/nonexistent-current-folder"}, messages, clock};
  Setup() { app.StartUp(); }
  // The year number (AD) or month number typed in, the rest of the inputs kept.
  void TypeYear(int yearNumber) {
    orv::MonthInputs in = app.Inputs();
    in.yearNumber = yearNumber;
    app.SetInputs(in);
  }
  void TypeMonth(int month) {
    orv::MonthInputs in = app.Inputs();
    in.month = month;
    app.SetInputs(in);
  }
};

void BM_MonthViewLoadedYear(benchmark::State& state) {
  Setup s;
  int month = 0;
  for (auto _ : state) {
    s.TypeMonth(month % 12 + 1);
    ++month;
    benchmark::DoNotOptimize(s.app.Month().Build());
  }
}
BENCHMARK(BM_MonthViewLoadedYear)->Unit(benchmark::kMicrosecond);

void BM_MonthViewNextYear(benchmark::State& state) {
  Setup s;
  s.TypeYear(1900);
  s.app.Month().Build();
  for (auto _ : state) {
    s.TypeYear(s.app.Inputs().yearNumber + 1);
    benchmark::DoNotOptimize(s.app.Month().Build());
  }
}
BENCHMARK(BM_MonthViewNextYear)->Unit(benchmark::kMillisecond);

void BM_MonthViewDistantYear(benchmark::State& state) {
  Setup s;
  for (auto _ : state) {
    s.TypeYear(s.app.Inputs().yearNumber == 2024 ? 1700 : 2024);
    benchmark::DoNotOptimize(s.app.Month().Build());
  }
}
BENCHMARK(BM_MonthViewDistantYear)->Unit(benchmark::kMillisecond);

void BM_MonthViewUncachedYear(benchmark::State& state) {
  Setup s;
  int step = 0;
  for (auto _ : state) {
    // Years 1000..2999 in steps of 37: never the same year twice in a row of
    // 54 builds, far more than the cache keeps.
    s.TypeYear(1000 + (37 * ++step) % 2000);
    benchmark::DoNotOptimize(s.app.Month().Build());
  }
}
BENCHMARK(BM_MonthViewUncachedYear)->Unit(benchmark::kMillisecond);

void BM_ChangePlace(benchmark::State& state) {
  // Another place every time (steps of 37 rows through the table, most with
  // their own meridian): the shown year, 2024, prepared for that place with
  // its month view, as the place list does it.
  Setup s;
  const int rows = static_cast<int>(s.app.Places().rows.size());
  int step = 0;
  for (auto _ : state) {
    s.app.ChangePlace((37 * ++step) % rows);
    benchmark::DoNotOptimize(s.app.Month().View().filled);
  }
}
BENCHMARK(BM_ChangePlace)->Unit(benchmark::kMillisecond);

}  // namespace
