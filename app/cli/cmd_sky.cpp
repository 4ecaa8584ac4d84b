// Commands of the sky seen from the place: the Moon's phase.
#include <cstdio>

#include "app/cli/cli.h"
#include "app/core/reports/moon_texts.h"

namespace orv::cli {
namespace {

constexpr double kMinutesPerDay = 1440.0;
// Without a time the phase is that of noon, as the day report's Moon age.
constexpr int kDefaultMinuteOfDay = 12 * 60;

// "hh:mm" as minutes of the day.
int ParseClockArg(const std::string& text) {
  const std::string expected = "bad time '" + text + "' (expected hh:mm)";
  const std::vector<int> f = ParseIntFields(text, ':', 2, expected);
  if (f[0] < 0 || f[0] > 23 || f[1] < 0 || f[1] > 59) throw UsageError(expected);
  return f[0] * 60 + f[1];
}

int CmdMoon(CliContext& cli) {
  if (auto f = cli.inv.Get("format"); f && *f != "csv")
    throw UsageError("--format takes csv, not '" + *f + "'");
  const CivilDate date = ParseDateArg(cli.inv.positional[0]);
  RequireYearInEphemeris(cli, date.year);
  const int minute = cli.inv.positional.size() > 1 ? ParseClockArg(cli.inv.positional[1]) : kDefaultMinuteOfDay;
  EngineContext ctx = cli.MakeEngine();
  const double jd = CalendarToJulianDay(date.year, date.month, date.day) + minute / kMinutesPerDay -
                    cli.settings.ZoneOffsetDays;
  std::fputs(MoonPhaseCsv(ctx, jd).c_str(), stdout);
  return 0;
}

}  // namespace

void RegisterSkyCommands(std::vector<CommandSpec>& commands, std::vector<OptionSpec>&) {
  commands.push_back({"moon", CmdMoon, "moon Y-M-D [hh:mm] [--format csv]", 1, 2});
}

}  // namespace orv::cli
