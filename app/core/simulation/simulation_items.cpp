// Simulation items 0 to 10: places of the Sun, the Moon and the planets,
// passages through a longitude, perigees and apogees, precession, nutation,
// obliquity, Delta T and sidereal time. Each writes its header line, then one
// line per repetition that starts with the date column.
#include <cmath>
#include <optional>

#include "app/core/simulation/simulation_internal.h"
#include "ephemeris/angles.h"
#include "ephemeris/earth_orientation.h"
#include "ephemeris/jpl_position.h"
#include "ephemeris/mean_periods.h"
#include "ephemeris/sidereal.h"
#include "ephemeris/sunmoon.h"
#include "lunisolar/terms.h"
#include "time/timescales.h"

namespace orv::simulation {
namespace {

// Targets 0 and 1 are the Sun and the Moon; the rest are planets (JPL only).
constexpr int kTargetSun = 0;
constexpr int kTargetMoon = 1;
bool IsSunOrMoon(int target) { return target == kTargetSun || target == kTargetMoon; }

// Mean periods used to estimate the next passage: the tropical year and the
// tropical month (the Moon's longitude comes back to a value once a tropical
// month, not once a synodic one), days.
constexpr double kSunPeriodDays = 365.242;
constexpr double kMoonLongitudePeriodDays = kTropicalMonthDays;
// Item 5 narrows one distance extremum inside a window of this length, days:
// the synodic month rounded up to a thousandth, longer than the anomalistic
// month (27.55 d) between two perigees, so each window holds one extremum.
constexpr double kMoonExtremumWindowDays = 29.531;
// Item 4's window around the estimate, days before and after (the estimate
// assumes a uniform motion; the Sun's is off by up to about 2 days, the
// Moon's by up to about 1.5).
constexpr double kSunWindowBeforeDays = 5.0, kSunWindowAfterDays = 3.0;
constexpr double kMoonWindowBeforeDays = 3.0, kMoonWindowAfterDays = 2.0;
// Item 5 narrows to kTenthSecondDays in at most kMaxHalvings rounds (search.h).
// The constant obliquity of J2000.0 the long-term angles refer to, as printed.
constexpr const char* kOwenObliquityText = "23.439291";

constexpr const char* kSunMoonOnlyMessage = "해와 달만 계산됩니다.";

// Apparent right ascension and declination (degrees) of a target at t.
void ApparentEquatorial(ItemRun& run, double t, double& raDeg, double& decDeg) {
  EngineContext& ctx = run.ctx();
  const int target = run.request.target;
  if (IsSunOrMoon(target)) {
    const EquatorialPlace p = SunMoonEquatorial(ctx, target == kTargetSun ? kBodySun : kBodyMoon, t);
    raDeg = p.rightAscensionDeg;
    decDeg = p.declinationDeg;
    return;
  }
  const TimeState at = InstantAt(ctx.settings, t);
  const JplPositionResult r =
      JplApparentPosition(ctx, ctx.settings.EphemerisCode, at.CurrentTT, TargetJplBody(target), kJplApparent);
  raDeg = r.RightAscension * kRadToDeg;
  decDeg = r.Declination * kRadToDeg;
}

// Apparent ecliptic longitude of the Sun (body 0) or the Moon (1), degrees.
double BodyLongitudeDeg(EngineContext& ctx, int body, double t) {
  const SunMoonPlaces p = ApparentSunMoonPlaces(ctx, body, t);
  return body == kBodySun ? p.SunLongitudeDeg : p.MoonLongitudeDeg;
}

// Geocentric distance of the Sun or the Moon, AU.
double BodyDistanceAu(EngineContext& ctx, int body, double t) {
  const SunMoonPlaces p = ApparentSunMoonPlaces(ctx, body, t);
  return (body == kBodySun ? p.SunDistanceKm : p.MoonDistanceKm) * kKmToAu;
}

// Rate of the Moon's apparent longitude, degrees per day (11.8 at apogee to
// 15.4 at perigee, with margins), for the crossing search of item 4.
constexpr CrossingSearch kMoonLongitudeCrossing{10.0, 17.0, 13.176, kCrossingToleranceDays, 16};

// Item 4: the next instant at or after t (within the window about the
// estimate from the mean motion) at which the body's apparent longitude
// reaches L degrees; none when the crossing search fails or lands outside.
std::optional<double> NextPassage(EngineContext& ctx, int body, double targetDeg, double t) {
  const bool sun = body == kBodySun;
  double ahead = targetDeg - BodyLongitudeDeg(ctx, body, t);
  if (ahead < 0.0) ahead += 360.0;
  double estimate = t + ahead / 360.0 * (sun ? kSunPeriodDays : kMoonLongitudePeriodDays);
  estimate -= ctx.settings.ZoneOffsetDays;
  const double lo = estimate - (sun ? kSunWindowBeforeDays : kMoonWindowBeforeDays);
  const double hi = estimate + (sun ? kSunWindowAfterDays : kMoonWindowAfterDays);
  const Crossing found =
      FindCrossing([&](double x) { return SignedDegrees(BodyLongitudeDeg(ctx, body, x) - targetDeg); }, estimate,
                   sun ? kSunCrossing : kMoonLongitudeCrossing);
  if (!found.found || found.jd < lo || found.jd > hi) return std::nullopt;
  return found.jd;
}

// Item 5: one distance extremum in [s, s + period] by narrowing three inner
// points. Returns the instant; `distanceAu` receives the distance at the last
// middle point and `maximum` whether it was an apogee.
double DistanceExtremum(EngineContext& ctx, int body, double s, double period, double& distanceAu, bool& maximum) {
  double lo = s, t1 = s + period / 4, t2 = s + period / 2, t3 = s + 3 * period / 4, hi = s + period;
  const double d1 = BodyDistanceAu(ctx, body, t1), d2 = BodyDistanceAu(ctx, body, t2),
               d3 = BodyDistanceAu(ctx, body, t3);
  maximum = d2 > d1 && d2 > d3;
  const double sign = maximum ? -1.0 : 1.0;  // a maximum is searched as the minimum of -d
  double middle = d2;
  for (int round = 0; round < kMaxHalvings; ++round) {
    const double v1 = sign * BodyDistanceAu(ctx, body, t1);
    const double v2 = sign * BodyDistanceAu(ctx, body, t2);
    const double v3 = sign * BodyDistanceAu(ctx, body, t3);
    middle = v2;
    if (v1 < v2 && v2 < v3) {
      hi = t2;
      t2 = t1;
    } else if (v3 < v2 && v2 < v1) {
      lo = t2;
      t2 = t3;
    } else if (v2 < v1 && v2 < v3) {
      lo = t1;
      hi = t3;
    }
    if (std::fabs(hi - lo) < kTenthSecondDays) break;
    t1 = 0.5 * (lo + t2);
    t3 = 0.5 * (t2 + hi);
  }
  distanceAu = std::fabs(middle);
  return 0.5 * (lo + hi);
}

// The equatorial and ecliptic items share their line layout.
void WriteAngleLine(ItemRun& run, double t, double aDeg, char aMode, double bDeg) {
  run.BeginLine(t);
  run.out.Write(Format(",%12.8lf,%s,%12.8lf,%s", aDeg, FormatAngleText(aDeg, aMode).c_str(), bDeg,
                       FormatAngleText(bDeg, 'D').c_str()));
}

}  // namespace

bool AcceptItemInputs(const SimulationRequest& request, SimulationEnvironment& env) {
  const EngineContext& ctx = env.ctx;
  switch (request.item) {
    case kItemAstrometric:
      if (!EphemerisIsJpl(ctx.settings.EphemerisCode) || ctx.jpl == nullptr) {
        env.messages.Show("천문측정 적경/적위는\nDE406/422/431/441에서만 계산됩니다.", "알림");
        return false;
      }
      return true;
    case kItemLongitudePassage:
    case kItemPerigeeApogee:
      if (!IsSunOrMoon(request.target)) {
        env.messages.Show(kSunMoonOnlyMessage, "알림");
        return false;
      }
      if (request.item == kItemLongitudePassage && !(request.extra >= 0.0 && request.extra <= 360.0)) {
        env.messages.Show("황경각도 범위는 0.0~360.0 입니다.", "오류", MessageButtons::Ok, MessageIcon::Error);
        return false;
      }
      return true;
    default:
      return true;
  }
}

void WriteAstrometric(ItemRun& run) {
  run.out.Write("일시,적경(도),적경(시분초),적위(도),적위(도분초)");
  EngineContext& ctx = run.ctx();
  run.EachRepetition([&](double t) {
    const TimeState at = InstantAt(ctx.settings, t);
    const JplPositionResult r = JplApparentPosition(ctx, ctx.settings.EphemerisCode, at.CurrentTT,
                                                    TargetJplBody(run.request.target), kJplAstrometric);
    WriteAngleLine(run, t, r.RightAscension * kRadToDeg, 'H', r.Declination * kRadToDeg);
  });
}

void WriteApparentEquatorial(ItemRun& run) {
  run.out.Write("일시,시적경(도),시적경(시분초),시적위(도),시적위(도분초)");
  run.EachRepetition([&](double t) {
    double raDeg, decDeg;
    ApparentEquatorial(run, t, raDeg, decDeg);
    WriteAngleLine(run, t, raDeg, 'H', decDeg);
  });
}

void WriteApparentEcliptic(ItemRun& run) {
  run.out.Write("일시,시황경(도),시황경(도분초),시황위(도),시황위(도분초)");
  EngineContext& ctx = run.ctx();
  const int target = run.request.target;
  run.EachRepetition([&](double t) {
    double lonDeg, latDeg;
    if (IsSunOrMoon(target)) {
      const SunMoonPlaces p = ApparentSunMoonPlaces(ctx, target == kTargetSun ? kBodySun : kBodyMoon, t);
      lonDeg = target == kTargetSun ? p.SunLongitudeDeg : p.MoonLongitudeDeg;
      latDeg = target == kTargetSun ? p.SunLatitudeDeg : p.MoonLatitudeDeg;
    } else {
      const TimeState at = InstantAt(ctx.settings, t);
      const JplPositionResult r =
          JplApparentPosition(ctx, ctx.settings.EphemerisCode, at.CurrentTT, TargetJplBody(target), kJplApparent);
      lonDeg = r.Longitude * kRadToDeg;
      latDeg = r.Latitude * kRadToDeg;
    }
    WriteAngleLine(run, t, lonDeg, 'D', latDeg);
  });
}

void WriteLongitudePassage(ItemRun& run) {
  const int target = run.request.target;
  const double targetDeg = run.request.extra;
  const int body = target == kTargetSun ? kBodySun : kBodyMoon;
  run.out.Write(Format(body == kBodySun ? "해_황경각도 = %lf도\n" : "달_황경각도 = %lf도\n", targetDeg));
  run.out.Write("일시");
  run.EachRepetition([&](double t) {
    // A passage the search cannot find (values that are not finite) gives no line.
    if (const std::optional<double> passage = NextPassage(run.ctx(), body, targetDeg, t)) run.BeginLine(*passage);
  });
}

void WritePerigeeApogee(ItemRun& run) {
  const int target = run.request.target;
  const bool sun = target == kTargetSun;
  const int body = sun ? kBodySun : kBodyMoon;
  run.out.Write(sun ? "종류(해),일시,거리(km),거리(AU),종류(해),일시,거리(km),거리(AU)"
                    : "종류(달),일시,거리(km),거리(AU),종류(달),일시,거리(km),거리(AU)");
  const int n = run.request.repetitions;
  const double period = sun ? kSunPeriodDays : kMoonExtremumWindowDays;
  // Each search starts where the previous extremum was found, so the results
  // alternate between the nearest and the farthest point; two per line.
  double s = run.startJD - run.settings().ZoneOffsetDays;
  for (int k = 1; k <= n; ++k) {
    run.Progress(k, n);
    double distanceAu;
    bool maximum;
    const double extremum = DistanceExtremum(run.ctx(), body, s, period, distanceAu, maximum);
    if (k % 2 == 1) run.out.Write("\n");
    const char* label = sun ? (maximum ? "원일점," : "근일점,") : (maximum ? "원월점," : "근월점,");
    run.out.Write(label + SimulationDateColumn(run.settings(), extremum) +
                  Format(",%lf,%lf,", distanceAu * kAuKm, distanceAu));
    s = extremum;
  }
  run.Progress(0, n);
}

void WritePrecessionAngles(ItemRun& run) {
  EngineContext& ctx = run.ctx();
  const int model = ctx.settings.PrecessionModel;
  if (model == kPrecessionOwen1990) {
    run.out.Write("일시,3Rz(chi),2Rx(-omega),1Rz(-psi),0Rx(epsilon)");
    run.EachRepetition([&](double t) {
      const TimeState at = InstantAt(ctx.settings, t);
      double chiDeg, omegaDeg, psiDeg;
      LongTermPrecessionAnglesDeg(at.CurrentTT, chiDeg, omegaDeg, psiDeg);
      run.BeginLine(t);
      run.out.Write(Format(",%.12lf,%.12lf,%.12lf,%s", chiDeg, omegaDeg, psiDeg, kOwenObliquityText));
    });
    return;
  }
  run.out.Write("일시,3Rz(-z),2Ry(theta),1Rz(-zeta)");
  if (model != kPrecessionIau2006) return;  // no angles of their own for the other models
  run.EachRepetition([&](double t) {
    const TimeState at = InstantAt(ctx.settings, t);
    double zeta, theta, z;
    PrecessionAnglesIau2006(JulianCenturies(at.CurrentTT), zeta, theta, z);
    run.BeginLine(t);
    run.out.Write(Format(",%.12lf,%.12lf,%.12lf", z * kRadToDeg, theta * kRadToDeg, zeta * kRadToDeg));
  });
}

void WriteNutationAngles(ItemRun& run) {
  run.out.Write("일시,dPsi(황경방향_deg),dEps(황도경사_deg)");
  EngineContext& ctx = run.ctx();
  run.EachRepetition([&](double t) {
    const TimeState at = InstantAt(ctx.settings, t);
    double dpsi = 0.0, deps = 0.0;
    Nutation(ctx, at.CurrentTT, dpsi, deps);
    run.BeginLine(t);
    run.out.Write(Format(",%.12lf,%.12lf", dpsi * kRadToDeg, deps * kRadToDeg));
  });
}

void WriteObliquity(ItemRun& run) {
  run.out.Write("일시,황도경사각_deg");
  EngineContext& ctx = run.ctx();
  run.EachRepetition([&](double t) {
    const TimeState at = InstantAt(ctx.settings, t);
    const double eps = MeanObliquity(ctx, at.CurrentTT).rad;
    run.BeginLine(t);
    run.out.Write(Format(",%.12lf", eps * kRadToDeg));
  });
}

// The date column's heading with the time it holds: the selected time
// system, standard time of the place also under the civil clock (the column
// is the instant with the zone offset added, daylight saving never applied).
static std::string TimedColumnHeader(const CalcSettings& settings) {
  switch (settings.TimeSystemCode) {
    case kTimeTT: return "일시(TT)";
    case kTimeST:
    case kTimeCivil: return "일시(ST)";
    default: return "일시(UT)";
  }
}

void WriteDeltaT(ItemRun& run) {
  EngineContext& ctx = run.ctx();
  run.out.Write(TimedColumnHeader(ctx.settings) + ",초,시분초");
  run.EachRepetition([&](double t) {
    const TimeState at = InstantAt(ctx.settings, t);
    const double deltaT = DeltaTAt(ctx.settings, at.CurrentUT);
    run.BeginLine(t);
    run.out.Write(Format(",%.6f,%s", deltaT, FormatDeltaT(deltaT).c_str()));
  });
}

void WriteSiderealTime(ItemRun& run) {
  EngineContext& ctx = run.ctx();
  run.out.Write(TimedColumnHeader(ctx.settings) + ",시,시분초");
  run.EachRepetition([&](double t) {
    const double hours = ApparentSiderealTime(ctx, InstantAt(ctx.settings, t));
    run.BeginLine(t);
    run.out.Write(Format(",%.6f,%s", hours, FormatDeltaT(hours * 3600.0).c_str()));
  });
}

}  // namespace orv::simulation
