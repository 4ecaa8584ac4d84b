// Commands of the civil calendar, Delta T and the settings.
#include <cmath>
#include <cstdio>

#include "app/cli/cli.h"
#include "app/cli/cli_settings.h"
#include "time/dates.h"
#include "time/timescales.h"

namespace orv::cli {
namespace {

// add-days accepts spans up to about 270 000 years.
constexpr long long kMaxAddDays = 100000000LL;

int CmdJd(CliContext& ctx) {
  const auto& a = ctx.inv.positional;
  if (a.size() != 3 && a.size() != 6) throw UsageError("usage: orvanta-cli jd Y M D [h m s]");
  const int y = ParseIntArg(a[0], "the year"), m = ParseIntArg(a[1], "the month"),
            d = ParseIntArg(a[2], "the day");
  if (m < 1 || m > 12 || d < 1 || !IsValidDate(y, m, d) || std::abs(y) > 200000)
    throw UsageError("the date " + FormatDate(y, m, d) + " does not exist in the calendar");
  double jd = CalendarToJulianDay(y, m, d);
  if (a.size() == 6) {
    const int h = ParseIntArg(a[3], "the hour"), mi = ParseIntArg(a[4], "the minute");
    const double s = ParseDoubleArg(a[5], "the seconds");
    if (h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0.0 || s >= 60.0)
      throw UsageError("the time of day must be 0..23 h, 0..59 min, 0..<60 s");
    jd = JulianDayAtSecond(jd, h, mi, s);
  }
  std::printf("%.6f\n", jd);
  return 0;
}

int CmdDate(CliContext& ctx) {
  const double jd = ParseJulianDayArg(ctx.inv.positional[0]);
  const CivilDateTime t = JulianDayToCalendar(jd);
  std::printf("%d-%02d-%02d %02d:%02d:%06.3f\n", t.year, t.month, t.day, t.hour, t.minute,
              static_cast<double>(t.seconds));
  return 0;
}

int CmdDays(CliContext& ctx) {
  const CivilDate a = ParseDateArg(ctx.inv.positional[0]);
  const CivilDate b = ParseDateArg(ctx.inv.positional[1]);
  std::printf("%d\n", DaysBetween(a.year, a.month, a.day, b.year, b.month, b.day));
  return 0;
}

int CmdAddDays(CliContext& ctx) {
  const CivilDate a = ParseDateArg(ctx.inv.positional[0]);
  const long long n = ParseInt64Arg(ctx.inv.positional[1], "the number of days");
  if (n > kMaxAddDays || n < -kMaxAddDays) throw UsageError("number of days out of range");
  int y, m, d, h, mi;
  AddMinutes(n * kMinutesPerDay, a.year, a.month, a.day, 0, 0, y, m, d, h, mi);
  std::printf("%s\n", FormatDate(y, m, d).c_str());
  return 0;
}

int CmdDeltaT(CliContext& ctx) {
  const double jd = ParseJulianDayArg(ctx.inv.positional[0]);
  CalcSettings s = ctx.settings;
  if (auto v = ctx.inv.Get("model")) ApplyDeltaTModelOption(s, *v);
  const double dt = DeltaTAt(s, jd);
  std::printf("%.6f %s\n", dt, FormatDeltaT(dt).c_str());
  return 0;
}

int CmdConfig(CliContext& ctx) {
  const CalcSettings& s = ctx.settings;
  std::printf("EphemerisCode=%d\n", s.EphemerisCode);
  std::printf("De431Selectable=%d\n", s.De431Selectable);
  std::printf("PrecessionModel=%d\n", s.PrecessionModel);
  std::printf("NutationModel=%d\n", s.NutationModel);
  std::printf("ObliquityModel=%d\n", s.ObliquityModel);
  std::printf("TimeSystemCode=%d\n", s.TimeSystemCode);
  std::printf("DeltaTModelCode=%d\n", s.DeltaTModelCode);
  std::printf("UserDeltaT=%f\n", s.UserDeltaT);
  std::printf("TidalCompensation=%d\n", s.TidalCompensation);
  std::printf("TermSearchBisection=%d\n", s.TermSearchBisection);
  std::printf("TermSearchStepSeconds=%d\n", s.TermSearchStepSeconds);
  std::printf("PlaceIndex=%d\n", s.PlaceIndex);
  std::printf("EopCorrection=%d\n", s.EopCorrection);
  std::printf("PlaceMeridian=%g\n", static_cast<double>(s.PlaceMeridian));
  std::printf("ZoneMeridian=%g\n", static_cast<double>(s.ZoneMeridian));
  // The line keeps the single-precision figure it has always shown; the
  // computations use the exact ZoneOffsetDays.
  std::printf("ZoneOffsetDays=%.9g\n", static_cast<double>(s.ZoneMeridian * (1.0f / 360.0f)));
  std::printf("ComputerZoneMeridian=%g\n", static_cast<double>(s.ComputerZoneMeridian));
  std::printf("TodayDate=%s\n", FormatDate(s.TodayDate[0], s.TodayDate[1], s.TodayDate[2]).c_str());
  std::printf("LoadedYear=%d\n", s.LoadedYear);
  return 0;
}

}  // namespace

void RegisterTimeCommands(std::vector<CommandSpec>& commands) {
  commands.push_back({"jd", CmdJd, "jd Y M D [h m s]", 3, 6});
  commands.push_back({"date", CmdDate, "date JD", 1, 1});
  commands.push_back({"days", CmdDays, "days Y-M-D Y-M-D", 2, 2});
  commands.push_back({"add-days", CmdAddDays, "add-days Y-M-D N", 2, 2});
  commands.push_back({"deltat", CmdDeltaT,
                      "deltat JD [--model nasa|horizons|horizons-nasa|user=SECONDS] [--tidal on|off] "
                      "[--ephemeris plan404|de431|de441] [--time TT|UT]",
                      1, 1, {{"model", true}}});
  commands.push_back({"config", CmdConfig, "config", 0, 0});
}

}  // namespace orv::cli
