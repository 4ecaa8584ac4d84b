// Commands of the sky seen from the place: the Moon's phase, the central line
// of a solar eclipse, and the pictures (the year's daylight, a day's sky, an
// eclipse map) as PNG or SVG files.
#include <cstdio>
#include <memory>

#include "app/cli/cli.h"
#include "app/core/reports/moon_texts.h"
#include "app/core/files/places.h"
#include "app/core/sky/eclipse_map.h"
#include "app/core/sky/sky_series.h"
#include "time/text_format.h"
#ifdef ORVANTA_HAVE_PICTURES
#include "app/pictures/picture_files.h"
#endif

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

const PlaceRecord* SelectedPlace(const CliContext& cli) {
  const int index = cli.settings.PlaceIndex;
  if (index < 0 || index >= static_cast<int>(cli.places.rows.size())) return nullptr;
  return &cli.places.rows[static_cast<size_t>(index)];
}

std::string OutputPicture(const CliContext& cli) {
  const auto output = cli.inv.Get("o");
  if (!output || output->empty()) throw UsageError("-o FILE.png or -o FILE.svg is required");
#ifdef ORVANTA_HAVE_PICTURES
  if (!pictures::IsPictureFileName(*output))
    throw UsageError("the picture file must end in .png or .svg: " + *output);
#endif
  return *output;
}

#ifndef ORVANTA_HAVE_PICTURES
[[noreturn]] void PicturesUnavailable() {
  throw RuntimeFailure("this orvanta-cli was built without the pictures (configure with the Qt program)");
}
#endif

int CmdDaylight(CliContext& cli) {
  const int year = ParseIntArg(cli.inv.positional[0], "the year");
  RequireYearInEphemeris(cli, year);
  const std::string output = OutputPicture(cli);
  const PlaceRecord* place = SelectedPlace(cli);
  EngineContext ctx = cli.MakeEngine();
  const DaylightYear daylight = ComputeDaylightYear(ctx, year, place ? place->timeZone : std::string());
  const std::string title =
      (place ? PlaceReportName(*place) + " " : std::string()) + Format("%d년 낮과 박명", year);
#ifdef ORVANTA_HAVE_PICTURES
  std::string error;
  if (!pictures::WriteDaylightChart(daylight, title, output, error)) throw RuntimeFailure("cannot write " + error);
  std::printf("%s\n", output.c_str());
  return 0;
#else
  (void)daylight;
  PicturesUnavailable();
#endif
}

int CmdDaySky(CliContext& cli) {
  const CivilDate date = ParseDateArg(cli.inv.positional[0]);
  RequireYearInEphemeris(cli, date.year);
  const std::string output = OutputPicture(cli);
  const PlaceRecord* place = SelectedPlace(cli);
  EngineContext ctx = cli.MakeEngine();
  const DaySky sky = ComputeDaySky(ctx, date.year, date.month, date.day);
  const std::string title = (place ? PlaceReportName(*place) + " " : std::string()) +
                            Format("%d년 %d월 %d일 해와 달의 고도", date.year, date.month, date.day);
#ifdef ORVANTA_HAVE_PICTURES
  std::string error;
  if (!pictures::WriteDaySkyChart(sky, title, output, error)) throw RuntimeFailure("cannot write " + error);
  std::printf("%s\n", output.c_str());
  return 0;
#else
  (void)sky;
  PicturesUnavailable();
#endif
}

int CmdEclipseMap(CliContext& cli) {
  const CivilDate date = ParseDateArg(cli.inv.positional[0]);
  RequireYearInEphemeris(cli, date.year);
  const std::string output = OutputPicture(cli);
  const PlaceRecord* place = SelectedPlace(cli);
  EngineContext ctx = cli.MakeEngine();
  auto tables = std::make_unique<YearTables>();
  FoundEclipse eclipse;
  if (!FindEclipseNearDate(ctx, *tables, date.year, date.month, date.day, false, eclipse))
    throw UsageError("no eclipse on " + FormatDate(date.year, date.month, date.day));
  const EclipseMap map =
      BuildEclipseMap(ctx, eclipse, place ? PlaceReportName(*place) : std::string(), kDefaultPathStepMinutes / kMinutesPerDay);
  const std::string title = EclipseMapTitle(map);
#ifdef ORVANTA_HAVE_PICTURES
  std::string error;
  if (!pictures::WriteEclipseMap(map, title, output, error)) throw RuntimeFailure("cannot write " + error);
  std::printf("%s\n", output.c_str());
  return 0;
#else
  (void)map;
  (void)title;
  PicturesUnavailable();
#endif
}

}  // namespace

// --step is registered with the simulation commands.
void RegisterSkyCommands(std::vector<CommandSpec>& commands) {
  commands.push_back({"moon", CmdMoon, "moon Y-M-D [hh:mm] [--format csv]", 1, 2, {{"format", true}}});
  commands.push_back({"eclipse-path", CmdEclipsePath, "eclipse-path Y-M-D [--step MINUTES] [--format csv]", 1, 1,
                      {{"step", true}, {"format", true}}});
  commands.push_back({"daylight", CmdDaylight, "daylight YEAR -o FILE.png|FILE.svg", 1, 1, {{"o", true}}});
  commands.push_back({"day-sky", CmdDaySky, "day-sky Y-M-D -o FILE.png|FILE.svg", 1, 1, {{"o", true}}});
  commands.push_back({"eclipse-map", CmdEclipseMap, "eclipse-map Y-M-D -o FILE.png|FILE.svg", 1, 1, {{"o", true}}});
}

}  // namespace orv::cli
