// Civil calendar: long spans and minute arithmetic across the reform.
#include <benchmark/benchmark.h>

#include "time/dates.h"

namespace {

void BM_DaysBetweenLongSpans(benchmark::State& state) {
  const int span = static_cast<int>(state.range(0));
  int y = -4000;
  for (auto _ : state) {
    benchmark::DoNotOptimize(orv::DaysBetween(y, 3, 1, y + span, 10, 15));
    y = (y + 7) % 3000;
  }
}
BENCHMARK(BM_DaysBetweenLongSpans)->Arg(100)->Arg(1000)->Arg(8000)->Arg(25000);

void BM_AddMinutesAcrossReform(benchmark::State& state) {
  long long n = 0;
  for (auto _ : state) {
    int y, m, d, h, mi;
    // From 1582-09-20 forward a few weeks, across the missing ten days.
    orv::AddMinutes(20000 + (n++ % 40000), 1582, 9, 20, 6, 30, y, m, d, h, mi);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_AddMinutesAcrossReform);

void BM_JulianDayToCalendar(benchmark::State& state) {
  double jd = 2299000.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(orv::JulianDayToCalendar(jd));
    jd += 0.37;
  }
}
BENCHMARK(BM_JulianDayToCalendar);

}  // namespace
