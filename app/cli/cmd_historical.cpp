// The lunar calendar over a span of years, as the program shows it: each civil
// year's days are numbered by the tables prepared for that year. Used to
// compare the calendar with the historical calendars.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/cli.h"
#include "app/cli/cli_settings.h"
#include "app/core/calendar_days.h"
#include "app/core/files/places.h"
#include "lunisolar/prepare.h"

namespace orv::cli {
namespace {

constexpr int kTermWinterSolstice = 21;

// Whether `day` continues the lunar month of the run that began `offset`
// days before it on `first`.
bool ContinuesRun(const CalendarDay& first, const CalendarDay& day, int offset) {
  const LunarDay& s = first.lunar;
  const LunarDay& l = day.lunar;
  return s.Known() && l.Known() && l.year == s.year && l.month == s.month && l.leap == s.leap &&
         l.day == s.day + offset && l.monthLength == s.monthLength;
}

// "M,YEAR,FIRST_DAY,LUNAR_YEAR,MONTH,LEAP,FIRST_LUNAR_DAY,DAYS,MONTH_LENGTH": the
// days of civil year `year` in runs of one lunar month (a run without a lunar
// date has empty lunar fields).
void PrintMonthRuns(const CalendarOfDays& days, int year) {
  const std::vector<CalendarDay>& all = days.Days();
  int runStart = -1;
  auto flush = [&](int end) {
    if (runStart < 0) return;
    const CalendarDay& first = all[static_cast<size_t>(runStart)];
    const LunarDay& l = first.lunar;
    std::string lunar = ",,,";
    if (l.Known())
      lunar = std::to_string(l.year) + "," + std::to_string(l.month) + "," + std::to_string(l.leap ? 1 : 0) + "," +
              std::to_string(l.day);
    std::printf("M,%d,%s,%s,%d,%d\n", year, FormatDate(first.solar.year, first.solar.month, first.solar.day).c_str(),
                lunar.c_str(), end - runStart, l.monthLength);
    runStart = -1;
  };
  const int count = static_cast<int>(all.size());
  for (int i = 0; i < count; ++i) {
    const CalendarDay& day = all[static_cast<size_t>(i)];
    if (day.solar.year != year) {
      flush(i);
      continue;
    }
    if (runStart >= 0 && !ContinuesRun(all[static_cast<size_t>(runStart)], day, i - runStart)) flush(i);
    if (runStart < 0) runStart = i;
  }
  flush(count);
}

// "N,YEAR,SOLSTICE,NEW_MOON...": the date of the winter solstice that month 11
// is counted from and the dates of every new moon of the days.
void PrintNewMoons(const CalendarOfDays& days, int year) {
  std::string solstice;
  for (const CalendarDay& day : days.Days()) {
    if (!solstice.empty() || day.solar.year > year) break;
    for (const DayTerm& term : day.terms)
      if (term.termIndex == kTermWinterSolstice) solstice = FormatDate(day.solar.year, day.solar.month, day.solar.day);
  }
  std::printf("N,%d,%s", year, solstice.c_str());
  for (const CalendarDay& day : days.Days())
    for (const DaySyzygy& syzygy : day.syzygies)
      if (syzygy.newMoon) std::printf(",%s", FormatDate(day.solar.year, day.solar.month, day.solar.day).c_str());
  std::printf("\n");
}

int CmdLunarSpan(CliContext& cli) {
  const int from = ParseIntArg(cli.inv.positional[0], "the first year");
  const int to = ParseIntArg(cli.inv.positional[1], "the last year");
  const YearLimits limits = EphemerisYearLimits(cli);
  if (from < limits.lower || to > limits.upper || from > to)
    throw UsageError("the years must satisfy " + std::to_string(limits.lower) + " <= FROM <= TO <= " +
                     std::to_string(limits.upper));
  const bool correctionWanted = CorrectionWanted(cli);
  const bool newMoons = cli.inv.Has("newmoons");
  EngineContext ctx = cli.MakeEngine();
  auto tables = std::make_unique<YearTables>();
  DaysOptions options;
  options.screenEclipses = false;
  for (int year = from; year <= to; ++year) {
    if (cli.years->Prepare(ctx, *tables, year, correctionWanted) != YearOutcome::Prepared)
      throw RuntimeFailure("the search for the solar terms or the new and full moons of " + std::to_string(year) +
                           " failed under these settings");
    const DaysHeld held = DaysHeldBy(*tables);
    const CalendarOfDays days = cli.years->Days(ctx, *tables, MemoTable{}, held.first, held.count, options);
    PrintMonthRuns(days, year);
    if (newMoons) PrintNewMoons(days, year);
  }
  return 0;
}

}  // namespace

void RegisterHistoricalCommands(std::vector<CommandSpec>& commands) {
  commands.push_back({"lunarspan", CmdLunarSpan, "lunarspan FROM TO [--newmoons]", 2, 2, {{"newmoons", false}}});
}

}  // namespace orv::cli
