// Commands of the lunisolar calendar: terms, new and full moons, the day
// table, lunar <-> solar dates and the four pillars.
#include <cstdio>
#include <memory>
#include <optional>

#include "app/cli/cli.h"
#include "app/cli/cli_settings.h"
#include "app/core/calendar_days.h"
#include "app/core/files/places.h"
#include "app/core/reports/calendar_texts.h"
#include "lunisolar/prepare.h"
#include "lunisolar/sexagenary.h"

namespace orv::cli {

// The text reports (cmd_reports.cpp).
std::string SolarTermReportForCli(CliContext& cli, int year);
int BirthPillarsForCli(CliContext& cli);
std::string SyzygyReportForCli(CliContext& cli, int year);

namespace {

// The engine over the command's settings and ephemeris, and one year's tables.
struct Calendar {
  explicit Calendar(CliContext& cli) : cli(cli), ctx(cli.MakeEngine()), tables(std::make_unique<YearTables>()) {}
  YearTables& Prepare(int year) {
    RequireYearInEphemeris(cli, year);
    if (cli.years->Prepare(ctx, *tables, year, CorrectionWanted(cli)) != YearOutcome::Prepared)
      throw RuntimeFailure("the search for the solar terms or the new and full moons of " + std::to_string(year) +
                           " failed under these settings");
    return *tables;
  }
  // Every day the prepared tables of `year` number, as calendar days.
  CalendarOfDays HeldDays(int year) {
    const YearTables& t = Prepare(year);
    const orv::DaysHeld held = DaysHeldBy(t);
    DaysOptions options;
    options.screenEclipses = false;
    return cli.years->Days(ctx, t, MemoTable{}, held.first, held.count, options);
  }
  CliContext& cli;
  EngineContext ctx;
  std::unique_ptr<YearTables> tables;
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
  std::fputs(DayTableCsv(c.HeldDays(year)).c_str(), stdout);
  return 0;
}

int CmdLunar(CliContext& cli) {
  const CivilDate date = ParseDateArg(cli.inv.positional[0]);
  Calendar c(cli);
  const YearTables& t = c.Prepare(date.year);
  const LunarDay lunar = LunarDayOf(t, date);
  if (!lunar.Known()) throw RuntimeFailure("no lunar date for " + FormatDate(date.year, date.month, date.day));
  std::printf("%s%s\n", FormatDate(lunar.year, lunar.month, lunar.day).c_str(), lunar.leap ? " leap" : "");
  return 0;
}

int CmdSolar(CliContext& cli) {
  const CivilDate lunar = ParseLunarDateArg(cli.inv.positional[0], 31);
  const int y = lunar.year, m = lunar.month, d = lunar.day;
  const int leap = cli.inv.Has("leap") ? 1 : 0;
  Calendar c(cli);
  const YearTables& t = c.Prepare(y);
  const std::optional<CivilDate> solar = SolarDateOfLunar(t, y, m, d, leap != 0);
  if (!solar)
    throw UsageError("the lunar date " + FormatDate(y, m, d) + (leap ? " (leap month)" : "") + " does not exist");
  std::printf("%s\n", FormatDate(solar->year, solar->month, solar->day).c_str());
  return 0;
}

int CmdPillars(CliContext& cli) { return BirthPillarsForCli(cli); }

}  // namespace

void RegisterCalendarCommands(std::vector<CommandSpec>& commands) {
  commands.push_back({"terms", CmdTerms, "terms YEAR [--format text|csv]", 1, 1, {{"format", true}}});
  commands.push_back({"syzygies", CmdSyzygies, "syzygies YEAR [--format text|csv]", 1, 1, {{"format", true}}});
  commands.push_back({"daytable", CmdDayTable, "daytable YEAR", 1, 1});
  commands.push_back({"lunar", CmdLunar, "lunar Y-M-D", 1, 1});
  commands.push_back({"solar", CmdSolar, "solar Y-M-D [--leap]", 1, 1, {{"leap", false}}});
  commands.push_back({"pillars", CmdPillars,
                      "pillars Y-M-D|--lunar Y-M-D [--leap] [hh:mm [--clock civil|standard] [--hour-rule "
                      "standard|mean|true] [--later]] [--sex male|female [--luck]] [--today Y-M-D] [--format text|csv]",
                      0, 2,
                      {{"lunar", true}, {"leap", false}, {"clock", true}, {"hour-rule", true}, {"later", false},
                       {"sex", true}, {"luck", false}, {"today", true}, {"format", true}}});
}

}  // namespace orv::cli
