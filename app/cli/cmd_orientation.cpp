// Commands of the Earth's orientation: sidereal time, nutation, obliquity.
// They use the settings in effect (configuration file and global options).
#include <cmath>
#include <cstdio>

#include "app/cli/cli.h"
#include "ephemeris/angles.h"
#include "ephemeris/context.h"
#include "ephemeris/earth_orientation.h"
#include "ephemeris/jpl_reader.h"
#include "ephemeris/sidereal.h"
#include "time/dates.h"
#include "time/timescales.h"

namespace orv::cli {
namespace {

constexpr double kArcsecPerRad = 206264.80624709636;

int CmdSidereal(CliContext& ctx) {
  const double jdUT = ParseJulianDayArg(ctx.inv.positional[0]);
  RequireInstantInEphemeris(ctx, jdUT);
  CalcSettings s = ctx.settings;
  s.TimeSystemCode = kTimeUT;  // the argument is a UT instant
  EngineContext engine(s, ctx.observer);
  engine.jpl = ctx.jpl.get();
  try {
    const double hours = ApparentSiderealTime(engine, InstantAt(s, jdUT));
    std::printf("%.9f %s\n", hours, FormatSexagesimal(hours).c_str());
  } catch (const JplError& e) {
    throw RuntimeFailure(e.what());
  }
  return 0;
}

int CmdNutation(CliContext& ctx) {
  const double jdTT = ParseJulianDayArg(ctx.inv.positional[0]);
  RequireInstantInEphemeris(ctx, jdTT);
  CalcSettings s = ctx.settings;
  s.TimeSystemCode = kTimeTT;
  EngineContext engine(s, ctx.observer);
  engine.jpl = ctx.jpl.get();
  double dpsi = 0.0, deps = 0.0;
  try {
    Nutation(engine, jdTT, dpsi, deps);
  } catch (const JplError& e) {
    throw RuntimeFailure(e.what());
  }
  std::printf("%.9f %.9f\n", dpsi * kArcsecPerRad, deps * kArcsecPerRad);
  return 0;
}

int CmdObliquity(CliContext& ctx) {
  const double jdTT = ParseJulianDayArg(ctx.inv.positional[0]);
  RequireInstantInEphemeris(ctx, jdTT);
  CalcSettings s = ctx.settings;
  s.TimeSystemCode = kTimeTT;
  EngineContext engine(s, ctx.observer);
  engine.jpl = ctx.jpl.get();
  const double meanEps = MeanObliquity(engine, jdTT).rad;
  double trueEps = 0.0;
  try {
    trueEps = TrueObliquity(engine, jdTT).rad;
  } catch (const JplError& e) {
    throw RuntimeFailure(e.what());
  }
  std::printf("%.9f %.9f\n", meanEps * kRadToDeg, trueEps * kRadToDeg);
  return 0;
}

}  // namespace

void RegisterOrientationCommands(std::vector<CommandSpec>& commands) {
  commands.push_back({"sidereal", CmdSidereal, "sidereal JD_UT", 1, 1});
  commands.push_back({"nutation", CmdNutation, "nutation JD_TT", 1, 1});
  commands.push_back({"obliquity", CmdObliquity, "obliquity JD_TT", 1, 1});
}

}  // namespace orv::cli
