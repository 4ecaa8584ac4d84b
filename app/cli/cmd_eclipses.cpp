// Commands of eclipses and of rising and setting.
#include <cstdio>
#include <memory>

#include "app/cli/cli.h"
#include "app/cli/cli_settings.h"
#include "app/core/reports/eclipse_texts.h"
#include "lunisolar/prepare.h"

namespace orv::cli {

// The eclipse reports of the window (cmd_reports.cpp).
std::string EclipseReportForCli(CliContext& cli, int year, bool local);

namespace {

void RequireCsvOrText(const CliContext& cli) {
  if (auto f = cli.inv.Get("format"); f && *f != "csv" && *f != "text")
    throw UsageError("--format takes csv or text, not '" + *f + "'");
}

int CmdEclipses(CliContext& cli) {
  RequireCsvOrText(cli);
  const int year = ParseIntArg(cli.inv.positional[0], "the year");
  RequireYearInEphemeris(cli, year);
  if (cli.inv.Get("format") != "csv") {
    std::printf("%s\n", EclipseReportForCli(cli, year, cli.inv.Has("local")).c_str());
    return 0;
  }
  EngineContext ctx(cli.settings, cli.observer);
  ctx.jpl = cli.jpl.get();
  auto tables = std::make_unique<YearTables>();
  if (cli.years->Prepare(ctx, *tables, year, CorrectionWanted(cli)) != YearOutcome::Prepared)
    throw RuntimeFailure("the search for the solar terms or the new and full moons of " + std::to_string(year) +
                         " failed under these settings");
  std::fputs(EclipsesCsv(ctx, *tables, year, cli.inv.Has("local")).c_str(), stdout);
  return 0;
}

int CmdRiseSet(CliContext& cli) {
  const CivilDate date = ParseDateArg(cli.inv.positional[0]);
  RequireYearInEphemeris(cli, date.year);
  int bodies = kRiseSetBoth;
  if (auto b = cli.inv.Get("body")) {
    if (*b == "sun") bodies = kRiseSetSun;
    else if (*b == "moon") bodies = kRiseSetMoon;
    else throw UsageError("--body takes sun or moon, not '" + *b + "'");
  }
  const bool twilight = cli.inv.Has("twilight");
  if (twilight && !(bodies & kRiseSetSun)) throw UsageError("--twilight needs the Sun (--body sun)");
  EngineContext ctx(cli.settings, cli.observer);
  ctx.jpl = cli.jpl.get();
  const int place = cli.settings.PlaceIndex;
  const std::string timeZone = place >= 0 && place < static_cast<int>(cli.places.rows.size())
                                   ? cli.places.rows[static_cast<size_t>(place)].timeZone
                                   : std::string();
  std::fputs(RiseSetCsv(ctx, timeZone, date.year, date.month, date.day, bodies, twilight).c_str(), stdout);
  return 0;
}

}  // namespace

void RegisterEclipseCommands(std::vector<CommandSpec>& commands) {
  commands.push_back({"eclipses", CmdEclipses, "eclipses YEAR [--local] [--format text|csv]", 1, 1,
                      {{"local", false}, {"format", true}}});
  commands.push_back({"riseset", CmdRiseSet, "riseset Y-M-D [--body sun|moon] [--twilight]", 1, 1,
                      {{"body", true}, {"twilight", false}}});
}

}  // namespace orv::cli
