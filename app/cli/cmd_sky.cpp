// Commands of the sky seen from the place: the Moon's phase and the central
// line of a solar eclipse.
#include <cstdio>
#include <memory>

#include "app/cli/cli.h"
#include "app/core/reports/moon_texts.h"
#include "app/core/sky/eclipse_map.h"

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

// The central line every minute unless --step says otherwise.
constexpr double kDefaultPathStepMinutes = 1.0;
constexpr double kMaxPathStepMinutes = 60.0;

int CmdEclipsePath(CliContext& cli) {
  if (auto f = cli.inv.Get("format"); f && *f != "csv")
    throw UsageError("--format takes csv, not '" + *f + "'");
  const CivilDate date = ParseDateArg(cli.inv.positional[0]);
  RequireYearInEphemeris(cli, date.year);
  double stepMinutes = kDefaultPathStepMinutes;
  if (auto v = cli.inv.Get("step")) {
    stepMinutes = ParseDoubleArg(*v, "the step");
    if (!(stepMinutes >= 0.1 && stepMinutes <= kMaxPathStepMinutes))
      throw UsageError("--step takes minutes from 0.1 to 60, not '" + *v + "'");
  }
  EngineContext ctx = cli.MakeEngine();
  auto tables = std::make_unique<YearTables>();
  FoundEclipse eclipse;
  if (!FindEclipseNearDate(ctx, *tables, date.year, date.month, date.day, true, eclipse))
    throw UsageError("no solar eclipse on " + FormatDate(date.year, date.month, date.day));
  const EclipsePath path = ComputeEclipsePath(ctx, eclipse.contacts, stepMinutes / kMinutesPerDay);
  std::fputs(EclipsePathCsv(cli.settings, path).c_str(), stdout);
  return 0;
}

}  // namespace

// --step is registered with the simulation commands.
void RegisterSkyCommands(std::vector<CommandSpec>& commands, std::vector<OptionSpec>&) {
  commands.push_back({"moon", CmdMoon, "moon Y-M-D [hh:mm] [--format csv]", 1, 2});
  commands.push_back({"eclipse-path", CmdEclipsePath, "eclipse-path Y-M-D [--step MINUTES] [--format csv]", 1, 1});
}

}  // namespace orv::cli
