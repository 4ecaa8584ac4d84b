// Commands of the lunisolar calendar: terms, new and full moons, the day
// table, lunar <-> solar dates and the four pillars.
#include <cstdio>
#include <memory>

#include "app/cli/cli.h"
#include "app/cli/cli_settings.h"
#include "app/core/files/places.h"
#include "app/core/reports/calendar_texts.h"
#include "lunisolar/prepare.h"
#include "lunisolar/sexagenary.h"

namespace orv::cli {

// The text reports (cmd_reports.cpp).
std::string SolarTermReportForCli(CliContext& cli, int year);
std::string SyzygyReportForCli(CliContext& cli, int year);

namespace {

// Years the built-in ephemeris is accepted for.
constexpr int kPlan404FirstYear = -4999;
constexpr int kPlan404LastYear = 10000;

struct Calendar {
  explicit Calendar(CliContext& cli) : ctx(cli.settings, cli.observer), tables(std::make_unique<YearTables>()) {
    options.placeIndex = cli.settings.PlaceIndex;
    if (auto v = cli.inv.Get("correction")) {
      options.historicalCorrection = ParseOnOff(*v, "correction");
      if (options.historicalCorrection && !PlaceAllowsHistoricalCorrection(cli.settings.PlaceIndex)) {
        cli.messages.Show(kHistoricalCorrectionRefused, "안내");
        options.historicalCorrection = false;
      }
    }
  }
  YearTables& Prepare(int year) {
    if (year < kPlan404FirstYear || year > kPlan404LastYear)
      throw UsageError("year " + std::to_string(year) + " is outside " + std::to_string(kPlan404FirstYear) + ".." +
                       std::to_string(kPlan404LastYear));
    PrepareYear(ctx, *tables, year, options);
    return *tables;
  }
  EngineContext ctx;
  std::unique_ptr<YearTables> tables;
  LunarBuildOptions options;
};

void RequireCsvFormat(const CliContext& cli) {
  if (auto f = cli.inv.Get("format"); f && *f != "csv" && *f != "text")
    throw UsageError("--format takes csv or text, not '" + *f + "'");
}

bool CsvWanted(const CliContext& cli) {
  RequireCsvFormat(cli);
  return cli.inv.Get("format") == "csv";
}

int CmdTerms(CliContext& cli) {
  const int year = ParseIntArg(cli.inv.positional[0], "the year");
  if (!CsvWanted(cli)) {
    std::printf("%s\n", SolarTermReportForCli(cli, year).c_str());
    return 0;
  }
  Calendar c(cli);
  const YearTables& t = c.Prepare(year);
  std::fputs(SolarTermsCsv(c.ctx, t, year).c_str(), stdout);
  return 0;
}

int CmdSyzygies(CliContext& cli) {
  const int year = ParseIntArg(cli.inv.positional[0], "the year");
  if (!CsvWanted(cli)) {
    std::printf("%s\n", SyzygyReportForCli(cli, year).c_str());
    return 0;
  }
  Calendar c(cli);
  const YearTables& t = c.Prepare(year);
  std::fputs(SyzygiesCsv(c.ctx, t, year).c_str(), stdout);
  return 0;
}

int CmdDayTable(CliContext& cli) {
  const int year = ParseIntArg(cli.inv.positional[0], "the year");
  Calendar c(cli);
  std::fputs(DayTableCsv(c.Prepare(year)).c_str(), stdout);
  return 0;
}

int CmdLunar(CliContext& cli) {
  const CivilDate date = ParseDateArg(cli.inv.positional[0]);
  Calendar c(cli);
  const YearTables& t = c.Prepare(date.year);
  const int slot = FindDayTableEntry(t, date.year, date.month, date.day, 's', 0);
  if (slot < 0 || t.DayTable[slot].lunarDate == 0)
    throw RuntimeFailure("no lunar date for " + FormatDate(date.year, date.month, date.day));
  int y, m, d;
  UnpackDate(t.DayTable[slot].lunarDate, y, m, d);
  std::printf("%s%s\n", FormatDate(y, m, d).c_str(), t.DayTable[slot].leap ? " leap" : "");
  return 0;
}

int CmdSolar(CliContext& cli) {
  const std::string& text = cli.inv.positional[0];
  int y = 0, m = 0, d = 0, consumed = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%d%n", &y, &m, &d, &consumed) != 3 ||
      consumed != static_cast<int>(text.size()) || m < 1 || m > 12 || d < 1 || d > 31)
    throw UsageError("bad lunar date '" + text + "' (expected Y-M-D)");
  const int leap = cli.inv.Has("leap") ? 1 : 0;
  Calendar c(cli);
  const YearTables& t = c.Prepare(y);
  const int slot = FindDayTableEntry(t, y, m, d, 'm', leap);
  if (slot < 0)
    throw UsageError("the lunar date " + FormatDate(y, m, d) + (leap ? " (leap month)" : "") + " does not exist");
  int sy, sm, sd;
  UnpackDate(t.DayTable[slot].solarDate, sy, sm, sd);
  std::printf("%s\n", FormatDate(sy, sm, sd).c_str());
  return 0;
}

int CmdPillars(CliContext& cli) {
  const CivilDate date = ParseDateArg(cli.inv.positional[0]);
  // Without a time, the pillars of the day as the day report gives them (23:25).
  int h = 23, mi = 25;
  const bool withHour = cli.inv.positional.size() > 1;
  if (withHour) {
    const std::string& t = cli.inv.positional[1];
    int consumed = 0;
    if (std::sscanf(t.c_str(), "%d:%d%n", &h, &mi, &consumed) != 2 || consumed != static_cast<int>(t.size()) ||
        h < 0 || h > 23 || mi < 0 || mi > 59)
      throw UsageError("bad time '" + t + "' (expected hh:mm)");
  }
  Calendar c(cli);
  const YearTables& t = c.Prepare(date.year);
  const SexagenaryIndices s = SexagenaryOfInstant(t, date.year, date.month, date.day, h, mi);
  std::printf("%s %s %s", SexagenaryNames[s.year], SexagenaryNames[s.month], SexagenaryNames[s.day]);
  if (withHour) std::printf(" %s", SexagenaryNames[s.hour]);
  std::printf("\n");
  return 0;
}

}  // namespace

void RegisterCalendarCommands(std::vector<CommandSpec>& commands, std::vector<OptionSpec>& options) {
  commands.push_back({"terms", CmdTerms, "terms YEAR [--format text|csv]", 1, 1});
  commands.push_back({"syzygies", CmdSyzygies, "syzygies YEAR [--format text|csv]", 1, 1});
  commands.push_back({"daytable", CmdDayTable, "daytable YEAR", 1, 1});
  commands.push_back({"lunar", CmdLunar, "lunar Y-M-D", 1, 1});
  commands.push_back({"solar", CmdSolar, "solar Y-M-D [--leap]", 1, 1});
  commands.push_back({"pillars", CmdPillars, "pillars Y-M-D [hh:mm]", 1, 2});
  options.push_back({"format", true});
  options.push_back({"leap", false});
  options.push_back({"correction", true});
}

}  // namespace orv::cli
