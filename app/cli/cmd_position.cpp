// orvanta-cli position: geocentric places of the Sun, the Moon and the planets.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/cli/cli.h"
#include "ephemeris/angles.h"
#include "ephemeris/jpl_position.h"
#include "ephemeris/planet_place.h"
#include "ephemeris/sunmoon.h"

namespace orv::cli {
namespace {

struct BodyName {
  const char* name;
  int jplBody;      // JPL numbering (1 Mercury .. 9 Pluto, 10 Moon, 11 Sun)
  int plan404Body;  // PLAN404 numbering (planets; 0 = Sun/Moon through the place front)
};

constexpr BodyName kBodies[] = {
    {"sun", 11, 0},    {"moon", 10, 0},   {"mercury", 1, 1}, {"venus", 2, 2},   {"mars", 4, 4},
    {"jupiter", 5, 5}, {"saturn", 6, 6},  {"uranus", 7, 7},  {"neptune", 8, 8}, {"pluto", 9, 9}};

void Print(double jdTT, const GeocentricPlace& p) {
  std::printf("jd_tt,ra_deg,dec_deg,lon_deg,lat_deg,distance_au\n");
  std::printf("%.9f,%.9f,%.9f,%.9f,%.9f,%.9f\n", jdTT, p.rightAscensionDeg, p.declinationDeg, p.longitudeDeg,
              p.latitudeDeg, p.distanceAu);
}

int CmdPosition(CliContext& cli) {
  const std::string& name = cli.inv.positional[0];
  const BodyName* body = nullptr;
  for (const auto& b : kBodies)
    if (name == b.name) body = &b;
  if (!body) throw UsageError("unknown body '" + name + "' (sun, moon, mercury .. pluto)");
  const double jd = ParseJulianDayArg(cli.inv.positional[1]);
  RequireInstantInEphemeris(cli, jd);
  int mode = kJplApparent;
  if (auto m = cli.inv.Get("mode")) {
    if (*m == "apparent") mode = kJplApparent;
    else if (*m == "astrometric") mode = kJplAstrometric;
    else throw UsageError("--mode takes apparent or astrometric, not '" + *m + "'");
  }
  const bool jpl = cli.jpl != nullptr;
  if (!jpl && mode == kJplAstrometric) throw UsageError("--mode astrometric needs a JPL ephemeris (--ephemeris)");

  CalcSettings settings = cli.settings;
  if (cli.inv.Has("tt")) settings.TimeSystemCode = kTimeTT;
  EngineContext ctx(settings, cli.observer);
  ctx.jpl = cli.jpl.get();
  // The instant in the selected time system (standard time less the zone).
  const double instant = ReckonsInStandardTime(settings.TimeSystemCode) ? jd - settings.ZoneOffsetDays : jd;
  TimeState at;
  at.CurrentJD = instant;
  UpdateTimeScales(at, settings);
  const double jdTT = at.CurrentTT;

  GeocentricPlace p;
  if (jpl) {
    const JplPositionResult r = JplApparentPosition(ctx, settings.EphemerisCode, jdTT, body->jplBody, mode);
    p = {r.RightAscension * kRadToDeg, r.Declination * kRadToDeg, r.Longitude * kRadToDeg, r.Latitude * kRadToDeg,
         r.GeometricDistance};
  } else if (body->plan404Body == 0) {
    const int which = body->jplBody == 11 ? kBodySun : kBodyMoon;
    const SunMoonFullPlaces places = ApparentSunMoonFullPlaces(ctx, which, instant);
    const bool moon = which == kBodyMoon;
    const EquatorialPlace& e = moon ? places.moon : places.sun;
    const SunMoonPlaces& ecl = places.ecliptic;
    p = {e.rightAscensionDeg, e.declinationDeg, moon ? ecl.MoonLongitudeDeg : ecl.SunLongitudeDeg,
         moon ? ecl.MoonLatitudeDeg : ecl.SunLatitudeDeg, e.distanceAu};
  } else {
    p = Plan404PlanetPlace(ctx, body->plan404Body, jdTT);
  }
  Print(jdTT, p);
  return 0;
}

}  // namespace

void RegisterPositionCommands(std::vector<CommandSpec>& commands) {
  commands.push_back({"position", CmdPosition,
                      "position sun|moon|mercury|venus|mars|jupiter|saturn|uranus|neptune|pluto JD [--tt] "
                      "[--ephemeris plan404|de431|de441|FILE] [--mode apparent|astrometric] [--time TT|UT|ST]",
                      2, 2, {{"tt", false}, {"mode", true}}});
}

}  // namespace orv::cli
