// orvanta-cli position: geocentric places of the Sun, the Moon and the planets.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/cli/cli.h"
#include "ephemeris/angles.h"
#include "ephemeris/earth_orientation.h"
#include "ephemeris/jpl_position.h"
#include "ephemeris/plan404.h"
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

struct Place {
  double raDeg, decDeg, lonDeg, latDeg, distanceAu;
};

void Print(double jdTT, const Place& p) {
  std::printf("jd_tt,ra_deg,dec_deg,lon_deg,lat_deg,distance_au\n");
  std::printf("%.9f,%.9f,%.9f,%.9f,%.9f,%.9f\n", jdTT, p.raDeg, p.decDeg, p.lonDeg, p.latDeg, p.distanceAu);
}

// Equatorial coordinates of an ecliptic direction of date.
void EclipticToEquatorial(double lonDeg, double latDeg, double epsRad, double& raDeg, double& decDeg) {
  const double l = lonDeg * kDegToRad, b = latDeg * kDegToRad;
  raDeg = NormalizeDegrees(std::atan2(std::sin(l) * std::cos(epsRad) - std::tan(b) * std::sin(epsRad), std::cos(l)) *
                           kRadToDeg);
  decDeg = std::asin(std::sin(b) * std::cos(epsRad) + std::cos(b) * std::sin(epsRad) * std::sin(l)) * kRadToDeg;
}

// PLAN404 planet: heliocentric of date minus the heliocentric Earth, with
// nutation in longitude; geometric (no light time, no aberration).
Place Plan404Planet(EngineContext& ctx, int body, double jdTT) {
  double sun[3];
  Plan404Position(ctx, jdTT, 0, sun);  // geocentric Sun = -(heliocentric Earth)
  Plan404Request planet;
  planet.Body = body;
  planet.JD = jdTT;
  Plan404Body(ctx, planet);
  auto rect = [](double lon, double lat, double r, double v[3]) {
    v[0] = r * std::cos(lat) * std::cos(lon);
    v[1] = r * std::cos(lat) * std::sin(lon);
    v[2] = r * std::sin(lat);
  };
  double p[3], s[3];
  rect(planet.Longitude, planet.Latitude, planet.Radius, p);
  rect(sun[0], sun[1], sun[2], s);
  const double g[3] = {p[0] + s[0], p[1] + s[1], p[2] + s[2]};
  const double r = std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]);
  Place out;
  out.lonDeg = NormalizeDegrees(std::atan2(g[1], g[0]) * kRadToDeg + NutationInLongitudeDegrees(ctx, jdTT));
  out.latDeg = std::asin(g[2] / r) * kRadToDeg;
  out.distanceAu = r;
  EclipticToEquatorial(out.lonDeg, out.latDeg, TrueObliquity(ctx, jdTT), out.raDeg, out.decDeg);
  return out;
}

int CmdPosition(CliContext& cli) {
  const std::string& name = cli.inv.positional[0];
  const BodyName* body = nullptr;
  for (const auto& b : kBodies)
    if (name == b.name) body = &b;
  if (!body) throw UsageError("unknown body '" + name + "' (sun, moon, mercury .. pluto)");
  const double jd = ParseDoubleArg(cli.inv.positional[1], "the Julian Day");
  if (std::fabs(jd) > 1e8) throw UsageError("Julian Day out of range");
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
  ctx.time.CurrentJD = instant;
  UpdateTimeScales(ctx.time, settings);
  const double jdTT = ctx.time.CurrentTT;

  Place p{};
  if (jpl) {
    JplApparentPosition(ctx, settings.EphemerisCode, jdTT, body->jplBody, mode);
    const JplPositionResult& r = ctx.jplResult;
    p = {r.RightAscension * kRadToDeg, r.Declination * kRadToDeg, r.Longitude * kRadToDeg, r.Latitude * kRadToDeg,
         r.GeometricDistance};
  } else if (body->plan404Body == 0) {
    const int which = body->jplBody == 11 ? kBodySun : kBodyMoon;
    const EquatorialPlace e = SunMoonEquatorial(ctx, which, instant);
    const bool moon = which == kBodyMoon;
    p = {e.rightAscensionDeg, e.declinationDeg, moon ? ctx.places.MoonLongitudeDeg : ctx.places.SunLongitudeDeg,
         moon ? ctx.places.MoonLatitudeDeg : ctx.places.SunLatitudeDeg, e.distanceAu};
  } else {
    p = Plan404Planet(ctx, body->plan404Body, jdTT);
  }
  Print(jdTT, p);
  return 0;
}

}  // namespace

void RegisterPositionCommands(std::vector<CommandSpec>& commands, std::vector<OptionSpec>& options) {
  commands.push_back({"position", CmdPosition,
                      "position sun|moon|mercury|venus|mars|jupiter|saturn|uranus|neptune|pluto JD [--tt] "
                      "[--ephemeris plan404|de431|de441|FILE] [--mode apparent|astrometric] [--time TT|UT|ST]",
                      2, 2});
  options.push_back({"tt", false});
  options.push_back({"mode", true});
}

}  // namespace orv::cli
