// Commands that print the reports of the main window: the day report, the
// 30-year tables, the holidays and the about text. The texts are those the
// window shows (app/core); only the arguments are parsed here.
#include <cstdio>
#include <memory>

#include "app/cli/cli.h"
#include "app/cli/cli_settings.h"
#include "app/core/files/places.h"
#include "app/core/files/app_folders.h"
#include "app/core/files/config.h"
#include "app/core/files/files.h"
#include "app/core/reports/birth_pillars.h"
#include "app/core/reports/day_report.h"
#include "app/core/reports/eclipse_reports.h"
#include "app/core/reports/holidays.h"
#include "app/core/reports/public_holidays.h"
#include "app/core/reports/year_reports.h"

namespace orv::cli {
namespace {

// The engine, one year's tables and the report inputs over the command's
// settings.
struct Reports {
  explicit Reports(CliContext& cli)
      : cli(&cli),
        engine(cli.settings, cli.observer),
        tables(std::make_unique<YearTables>()),
        in{engine, *tables, LunarBuildOptions{}, "", ""} {
    engine.jpl = cli.jpl.get();
    in.lunar.placeIndex = cli.settings.PlaceIndex;
    in.years = cli.years.get();
    const int place = cli.settings.PlaceIndex;
    if (place >= 0 && place < static_cast<int>(cli.places.rows.size())) {
      in.placeName = PlaceReportName(cli.places.rows[static_cast<size_t>(place)]);
      in.timeZone = cli.places.rows[static_cast<size_t>(place)].timeZone;
    }
    limits = EphemerisYearLimits(cli);
  }
  // Loads `year` after checking it against the years of the ephemeris in use.
  void Load(int year) {
    RequireYearInEphemeris(*cli, year);
    in.correctionWanted = CorrectionWanted(*cli);
    in.lunar.historicalCorrection = HistoricalCorrectionApplies(year, cli->settings.PlaceIndex, in.correctionWanted);
    EnsureYearLoaded(in, year);
  }
  CliContext* cli;
  EngineContext engine;
  std::unique_ptr<YearTables> tables;
  ReportInputs in;
  YearLimits limits;
};

void Print(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fputs("\n", stdout);
}

int CmdDay(CliContext& cli) {
  const CivilDate date = ParseDateArg(cli.inv.positional[0]);
  if (auto today = cli.inv.Get("today")) {
    const CivilDate t = ParseDateArg(*today);
    cli.settings.TodayDate[0] = t.year;
    cli.settings.TodayDate[1] = t.month;
    cli.settings.TodayDate[2] = t.day;
  }
  Reports r(cli);
  r.Load(date.year);
  DaySelection day;
  if (!SelectSolarDay(*r.tables, date.year, date.month, date.day, day))
    throw RuntimeFailure("no lunar date for " + FormatDate(date.year, date.month, date.day));
  Print(DayReportText(r.in, day));
  return 0;
}

int CmdLeapMonths(CliContext& cli) {
  const int year = ParseIntArg(cli.inv.positional[0], "the year");
  Reports r(cli);
  r.Load(year);
  Print(LeapMonthTableText(r.in, ThirtyYearRange(year, cli.inv.Has("before"), r.limits)));
  return 0;
}

int CmdLunarDates(CliContext& cli) {
  const CivilDate date = ParseDateArg(cli.inv.positional[0]);
  Reports r(cli);
  r.Load(date.year);
  DaySelection day;
  if (!SelectSolarDay(*r.tables, date.year, date.month, date.day, day))
    throw RuntimeFailure("no lunar date for " + FormatDate(date.year, date.month, date.day));
  Print(LunarDatesTableText(r.in, day, ThirtyYearRange(date.year, cli.inv.Has("before"), r.limits)));
  return 0;
}

int CmdSolarDates(CliContext& cli) {
  const CivilDate lunar = ParseLunarDateArg(cli.inv.positional[0], 30);
  const int y = lunar.year, m = lunar.month, d = lunar.day;
  const bool leap = cli.inv.Has("leap");
  Reports r(cli);
  r.Load(y);
  DaySelection day;
  if (!SelectLunarDay(*r.tables, y, m, d, leap, day))
    throw UsageError("the lunar date " + FormatDate(y, m, d) + (leap ? " (leap month)" : "") + " does not exist");
  Print(SolarDatesTableText(r.in, day, ThirtyYearRange(y, cli.inv.Has("before"), r.limits)));
  return 0;
}

int CmdHolidays(CliContext& cli) {
  const int year = ParseIntArg(cli.inv.positional[0], "the year");
  const std::optional<std::string> format = cli.inv.Get("format");
  if (format && *format != "csv" && *format != "text")
    throw UsageError("--format takes csv or text, not '" + *format + "'");
  Reports r(cli);
  r.Load(year);
  if (format == "csv") {
    std::fputs(PublicHolidaysCsv(PublicHolidaysOfYear(HolidayCalendar(r.in, year), year)).c_str(), stdout);
    return 0;
  }
  Print(HolidayReportText(r.in, year));
  return 0;
}

int CmdAbout(CliContext& cli) {
  std::string text = AboutText(cli.settings);
  if (cli.userConfigFolder)
    text += SettingsFolderLine(cli.settingsFolder) +
            SettingsSourceLine(cli.configPath, JoinPath(cli.settingsFolder, kConfigFileName));
  Print(text);
  return 0;
}

}  // namespace

// The "pillars" command with a clock or an hour rule: the four names on the
// first line, the corrections applied on the next ones. A reading the civil
// clock never showed is an argument error.
int BirthPillarsForCli(CliContext& cli, int year, int month, int day, int hour, int minute) {
  BirthReading reading{year, month, day, hour, minute};
  if (auto v = cli.inv.Get("clock")) {
    if (*v == "standard") reading.clock = BirthClock::Standard;
    else if (*v == "civil") reading.clock = BirthClock::Civil;
    else throw UsageError("--clock takes standard or civil, not '" + *v + "'");
  }
  if (auto v = cli.inv.Get("hour-rule")) {
    if (*v == "standard") reading.hourRule = HourRule::Standard;
    else if (*v == "mean") reading.hourRule = HourRule::Mean;
    else if (*v == "true") reading.hourRule = HourRule::True;
    else throw UsageError("--hour-rule takes standard, mean or true, not '" + *v + "'");
  }
  reading.laterOfRepeated = cli.inv.Has("later");
  Reports r(cli);
  r.Load(year);
  const PlaceRecord& place = cli.places.rows[static_cast<size_t>(cli.settings.PlaceIndex)];
  const BirthPillars result = ComputeBirthPillars(r.in, place, reading);
  if (!result.ok) throw UsageError(result.error);
  std::printf("%s\n", PillarNames(result.pillars).c_str());
  for (const std::string& line : BirthPillarsNotes(result, place, reading)) std::printf("%s\n", line.c_str());
  return 0;
}

// The solar-term and syzygy reports of the "terms" and "syzygies" commands.
std::string SolarTermReportForCli(CliContext& cli, int year) {
  Reports r(cli);
  r.Load(year);
  return SolarTermReportText(r.in, year);
}

std::string SyzygyReportForCli(CliContext& cli, int year) {
  Reports r(cli);
  r.Load(year);
  return SyzygyReportText(r.in, year);
}

// The global or local eclipse report of the "eclipses" command. The local
// one is computed in the place's standard time, as the window switches to it.
std::string EclipseReportForCli(CliContext& cli, int year, bool local) {
  if (local) SwitchToStandardTimeForLocalEclipses(cli.settings, cli.messages);
  Reports r(cli);
  r.Load(year);
  return local ? LocalEclipseReportText(r.in, year) : GlobalEclipseReportText(r.in, year);
}

void RegisterReportCommands(std::vector<CommandSpec>& commands, std::vector<OptionSpec>& options) {
  commands.push_back({"day", CmdDay, "day Y-M-D [--today Y-M-D]", 1, 1});
  commands.push_back({"leap-months", CmdLeapMonths, "leap-months YEAR [--before]", 1, 1});
  commands.push_back({"lunar-dates", CmdLunarDates, "lunar-dates Y-M-D [--before]", 1, 1});
  commands.push_back({"solar-dates", CmdSolarDates, "solar-dates LUNAR-Y-M-D [--leap] [--before]", 1, 1});
  commands.push_back({"holidays", CmdHolidays, "holidays YEAR [--format text|csv]", 1, 1});
  commands.push_back({"about", CmdAbout, "about", 0, 0});
  options.push_back({"today", true});
  options.push_back({"before", false});
}

}  // namespace orv::cli
