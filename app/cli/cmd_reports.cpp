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
#include "app/core/reports/birth_chart.h"
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
  EphemerisSpan limits;
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
    std::fputs(PublicHolidaysCsv(PublicHolidaysOfDays(HolidayDays(r.in, year))).c_str(), stdout);
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

// The "pillars" command: the pillar names on the first line (three without
// a time), the corrections applied on the next ones, then the chart and, with
// --luck, the luck pillars (or with --format csv only their table). A
// reading the civil clock never showed, or a lunar date that does not exist,
// is an argument error.
int BirthPillarsForCli(CliContext& cli) {
  BirthRequest request;
  const std::vector<std::string>& args = cli.inv.positional;
  std::size_t timeArg = 1;
  if (auto lunar = cli.inv.Get("lunar")) {
    const CivilDate d = ParseLunarDateArg(*lunar, 30);
    request.lunar = true;
    request.lunarDate = {d.year, d.month, d.day, cli.inv.Has("leap")};
    request.reading.year = d.year;
    timeArg = 0;
  } else {
    if (args.empty()) throw UsageError("pillars needs a date (Y-M-D) or --lunar Y-M-D");
    if (cli.inv.Has("leap")) throw UsageError("--leap goes with --lunar");
    const CivilDate d = ParseDateArg(args[0]);
    request.reading.year = d.year;
    request.reading.month = d.month;
    request.reading.day = d.day;
  }
  if (args.size() > timeArg + 1) throw UsageError("pillars takes one date and one time (hh:mm)");
  request.hourKnown = args.size() > timeArg;
  if (request.hourKnown) {
    const std::string& t = args[timeArg];
    const std::string expected = "bad time '" + t + "' (expected hh:mm)";
    const std::vector<int> f = ParseIntFields(t, ':', 2, expected);
    if (f[0] < 0 || f[0] > 23 || f[1] < 0 || f[1] > 59) throw UsageError(expected);
    request.reading.hour = f[0];
    request.reading.minute = f[1];
  } else if (cli.inv.Has("clock") || cli.inv.Has("hour-rule") || cli.inv.Has("later")) {
    throw UsageError("--clock, --hour-rule and --later need a time (hh:mm)");
  }
  if (auto v = cli.inv.Get("clock")) {
    if (*v == "standard") request.clock = BirthClock::Standard;
    else if (*v == "civil") request.clock = BirthClock::Civil;
    else throw UsageError("--clock takes civil or standard, not '" + *v + "'");
  }
  if (auto v = cli.inv.Get("hour-rule")) {
    if (*v == "standard") request.reading.hourRule = HourRule::Standard;
    else if (*v == "mean") request.reading.hourRule = HourRule::Mean;
    else if (*v == "true") request.reading.hourRule = HourRule::True;
    else throw UsageError("--hour-rule takes standard, mean or true, not '" + *v + "'");
  }
  request.reading.laterOfRepeated = cli.inv.Has("later");
  if (auto v = cli.inv.Get("sex")) {
    if (*v == "male") request.sex = BirthSex::Male;
    else if (*v == "female") request.sex = BirthSex::Female;
    else throw UsageError("--sex takes male or female, not '" + *v + "'");
  }
  request.luck = cli.inv.Has("luck");
  if (request.luck && request.sex == BirthSex::Unknown) throw UsageError("--luck needs --sex male|female");
  const std::optional<std::string> format = cli.inv.Get("format");
  if (format && *format != "csv" && *format != "text")
    throw UsageError("--format takes csv or text, not '" + *format + "'");
  const bool csv = format == "csv";
  if (csv && !request.luck) throw UsageError("--format csv prints the luck pillars: it needs --luck");
  request.firstAnnualYear = cli.settings.TodayDate[0];
  if (auto today = cli.inv.Get("today")) request.firstAnnualYear = ParseDateArg(*today).year;

  Reports r(cli);
  r.Load(request.reading.year);
  const PlaceRecord& place = cli.places.rows[static_cast<size_t>(cli.settings.PlaceIndex)];
  const BirthReport report = ComputeBirthReport(r.in, place, request);
  if (!report.ok) throw UsageError(report.error);
  std::fputs((csv ? LuckCsv(report.luck) : BirthReportText(report, request.sex)).c_str(), stdout);
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

void RegisterReportCommands(std::vector<CommandSpec>& commands) {
  commands.push_back({"day", CmdDay, "day Y-M-D [--today Y-M-D]", 1, 1, {{"today", true}}});
  commands.push_back({"leap-months", CmdLeapMonths, "leap-months YEAR [--before]", 1, 1, {{"before", false}}});
  commands.push_back({"lunar-dates", CmdLunarDates, "lunar-dates Y-M-D [--before]", 1, 1, {{"before", false}}});
  commands.push_back({"solar-dates", CmdSolarDates, "solar-dates LUNAR-Y-M-D [--leap] [--before]", 1, 1,
                      {{"leap", false}, {"before", false}}});
  commands.push_back({"holidays", CmdHolidays, "holidays YEAR [--format text|csv]", 1, 1, {{"format", true}}});
  commands.push_back({"about", CmdAbout, "about", 0, 0});
}

}  // namespace orv::cli
