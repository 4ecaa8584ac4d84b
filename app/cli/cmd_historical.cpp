// The lunar calendar over a span of years, as the program shows it: each civil
// year's days are numbered by the tables prepared for that year. Used to
// compare the calendar with the historical calendars.
#include <cstdio>
#include <memory>
#include <string>

#include "app/cli/cli.h"
#include "app/cli/cli_settings.h"
#include "app/core/files/places.h"
#include "lunisolar/prepare.h"

namespace orv::cli {
namespace {

constexpr int kTermWinterSolstice = 21;

int YearOf(PackedDate date) {
  int y, m, d;
  UnpackDate(date, y, m, d);
  return y;
}

std::string DateText(PackedDate date) {
  int y, m, d;
  UnpackDate(date, y, m, d);
  return FormatDate(y, m, d);
}

// "M,YEAR,FIRST_DAY,LUNAR_YEAR,MONTH,LEAP,FIRST_LUNAR_DAY,DAYS,MONTH_LENGTH": the
// days of civil year `year` in runs of one lunar month (a run without a lunar
// date has empty lunar fields).
void PrintMonthRuns(const YearTables& t, int year) {
  int runStart = -1;
  auto flush = [&](int end) {
    if (runStart < 0) return;
    const DayRecord& r = t.DayTable[runStart];
    std::string lunar = ",,,";
    if (r.lunarDate != 0) {
      int ly, lm, ld;
      UnpackDate(r.lunarDate, ly, lm, ld);
      lunar = std::to_string(ly) + "," + std::to_string(lm) + "," + std::to_string(r.leap) + "," + std::to_string(ld);
    }
    std::printf("M,%d,%s,%s,%d,%d\n", year, DateText(r.solarDate).c_str(), lunar.c_str(), end - runStart,
                r.monthLength);
    runStart = -1;
  };
  for (int i = 0; i < t.DayTableCount; ++i) {
    const DayRecord& r = t.DayTable[i];
    if (r.solarDate == 0 || YearOf(r.solarDate) != year) {
      flush(i);
      continue;
    }
    if (runStart >= 0) {
      const DayRecord& s = t.DayTable[runStart];
      int ly, lm, ld, sy, sm, sd;
      UnpackDate(r.lunarDate, ly, lm, ld);
      UnpackDate(s.lunarDate, sy, sm, sd);
      const bool continues = r.lunarDate != 0 && s.lunarDate != 0 && ly == sy && lm == sm && r.leap == s.leap &&
                             ld == sd + (i - runStart) && r.monthLength == s.monthLength;
      if (!continues) flush(i);
    }
    if (runStart < 0) runStart = i;
  }
  flush(t.DayTableCount);
}

// "N,YEAR,SOLSTICE,NEW_MOON...": the date of the winter solstice that month 11
// is counted from and the dates of every new moon of the year's list.
void PrintNewMoons(const YearTables& t, int year) {
  PackedDate solstice = 0;
  for (const SolarTermRecord& r : t.SolarTermList) {
    if (r.date == 0) break;
    if (r.termIndex == kTermWinterSolstice && YearOf(r.date) <= year) {
      solstice = r.date;
      break;
    }
  }
  std::printf("N,%d,%s", year, solstice ? DateText(solstice).c_str() : "");
  for (const SyzygyRecord& r : t.SyzygyList) {
    if (r.date == 0) break;
    if (r.isNewMoon()) std::printf(",%s", DateText(r.date).c_str());
  }
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
  for (int year = from; year <= to; ++year) {
    if (cli.years->Prepare(ctx, *tables, year, correctionWanted) != YearOutcome::Prepared)
      throw RuntimeFailure("the search for the solar terms or the new and full moons of " + std::to_string(year) +
                           " failed under these settings");
    PrintMonthRuns(*tables, year);
    if (newMoons) PrintNewMoons(*tables, year);
  }
  return 0;
}

}  // namespace

void RegisterHistoricalCommands(std::vector<CommandSpec>& commands) {
  commands.push_back({"lunarspan", CmdLunarSpan, "lunarspan FROM TO [--newmoons]", 2, 2, {{"newmoons", false}}});
}

}  // namespace orv::cli
