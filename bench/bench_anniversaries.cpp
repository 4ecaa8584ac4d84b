// The days that come next as the "다가오는 날" panel and `orvanta-cli
// upcoming` list them: 365 days from 2024-02-15 (two civil years) with 150
// anniversaries, half solar and half lunar (a few in leap months and on
// lunar 30ths), through the window's application state: the two years come
// from the prepared-year cache after the first round. PLAN404, Seoul,
// standard time.
#include <benchmark/benchmark.h>

#include "app/core/calendar_app.h"

namespace {

constexpr int kAnniversaries = 150;
constexpr int kDaysOfAYear = 365;

orv::MemoTable Anniversaries() {
  orv::MemoTable memos;
  for (int i = 0; i < kAnniversaries; ++i) {
    orv::MemoEntry e;
    e.kind = i % 2 == 0 ? orv::kMemoSolar : (i % 10 == 1 ? orv::kMemoLunarLeap : orv::kMemoLunar);
    e.year = 1950 + i % 70;
    e.month = i % 12 + 1;
    e.day = i % 30 + 1;
    e.name = (i % 3 == 0 ? "생일 " : "기념일 ") + std::to_string(i);
    memos.push_back(e);
  }
  return memos;
}

void BM_UpcomingYear(benchmark::State& state) {
  orv::RecordingMessageSink messages;
  orv::FixedClock clock{{orv::MakeTm(2024, 2, 15, 10, 30), orv::MakeTm(2024, 2, 15, 1, 30)}};
  orv::CalendarApp app{{"/nonexistent-program-folder", "/nonexistent-current-folder"}, messages, clock};
  app.StartUp();
  const orv::MemoTable memos = Anniversaries();
  size_t items = 0;
  for (auto _ : state) {
    const auto list = app.Files().UpcomingOf(memos, {2024, 2, 15}, kDaysOfAYear);
    items = list.size();
    benchmark::DoNotOptimize(list.data());
  }
  state.counters["items"] = static_cast<double>(items);
}
BENCHMARK(BM_UpcomingYear)->Unit(benchmark::kMillisecond);

}  // namespace
