#include "eclipses/moon_phase.h"

#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/mean_periods.h"
#include "ephemeris/search.h"
#include "ephemeris/sidereal.h"
#include "ephemeris/sunmoon.h"

namespace orv {
namespace {

// The Moon gains on the Sun 12.19 degrees a day on average
// (kMeanElongationDegPerDay), between about 10 and 15.5 over an anomalistic
// month; the bounds keep a margin.
constexpr double kMinElongationRateDegPerDay = 9.0;
constexpr double kMaxElongationRateDegPerDay = 17.0;
constexpr double kSecondDays = 1.0 / 86400.0;
constexpr int kMaxNewMoonEvaluations = 40;

// An angle in degrees folded into (-180, 180].
double Signed180(double deg) {
  double x = std::fmod(deg, 360.0);
  if (x > 180.0) x -= 360.0;
  if (x <= -180.0) x += 360.0;
  return x;
}

}  // namespace

double PrincipalPhaseNear(EngineContext& ctx, double guessJD, double elongationDeg) {
  CrossingSearch search;
  search.minRatePerDay = kMinElongationRateDegPerDay;
  search.maxRatePerDay = kMaxElongationRateDegPerDay;
  search.typicalRatePerDay = kMeanElongationDegPerDay;
  search.toleranceDays = kSecondDays;
  search.maxEvaluations = kMaxNewMoonEvaluations;
  auto f = [&](double t) { return Signed180(MoonSunElongation(ctx, t) - elongationDeg); };
  const Crossing c = FindCrossing(f, guessJD, search);
  return c.found ? c.jd : 0.0;
}

double PreviousNewMoon(EngineContext& ctx, double jd) {
  const double elongationNow = MoonSunElongation(ctx, jd);  // [0, 360)
  CrossingSearch search;
  search.minRatePerDay = kMinElongationRateDegPerDay;
  search.maxRatePerDay = kMaxElongationRateDegPerDay;
  search.typicalRatePerDay = kMeanElongationDegPerDay;
  search.toleranceDays = kSecondDays;
  search.maxEvaluations = kMaxNewMoonEvaluations;
  // Elongation folded about the new moon looked for: increasing through 0.
  auto f = [&](double t) { return Signed180(MoonSunElongation(ctx, t)); };
  const Crossing c = FindCrossing(f, jd - elongationNow / kMeanElongationDegPerDay, search);
  if (!c.found) return 0.0;
  // Just after a new moon the guess may land a hair past jd; the lunation
  // then is the one before.
  return c.jd <= jd + kSecondDays ? c.jd : 0.0;
}

MoonPhase MoonPhaseAt(EngineContext& ctx, double jd) {
  const SunMoonFullPlaces places = ApparentSunMoonFullPlaces(ctx, kBodySunAndMoon, jd);
  const EquatorialPlace& sun = places.sun;
  const EquatorialPlace& moon = places.moon;
  const double aS = sun.rightAscensionDeg * kDegToRad, dS = sun.declinationDeg * kDegToRad;
  const double aM = moon.rightAscensionDeg * kDegToRad, dM = moon.declinationDeg * kDegToRad;
  MoonPhase out;
  // Geocentric elongation and the phase angle at the Moon.
  const double cosPsi = std::sin(dS) * std::sin(dM) + std::cos(dS) * std::cos(dM) * std::cos(aS - aM);
  const double psi = std::acos(std::fmax(-1.0, std::fmin(1.0, cosPsi)));
  const double phase = std::atan2(sun.distanceAu * std::sin(psi), moon.distanceAu - sun.distanceAu * std::cos(psi));
  out.phaseAngleDeg = phase * kRadToDeg;
  out.illuminatedFraction = (1.0 + std::cos(phase)) / 2.0;
  const double chi = std::atan2(std::cos(dS) * std::sin(aS - aM),
                                std::sin(dS) * std::cos(dM) - std::cos(dS) * std::sin(dM) * std::cos(aS - aM));
  out.brightLimbAngleDeg = NormalizeDegrees(chi * kRadToDeg);
  // Parallactic angle from the local hour angle of the Moon.
  const double lstDeg = ApparentSiderealTime(ctx, places.at) * 15.0 + ctx.observer.LongitudeDeg;
  const double hourAngle = (lstDeg - moon.rightAscensionDeg) * kDegToRad;
  const double lat = ctx.observer.LatitudeDeg * kDegToRad;
  out.parallacticAngleDeg = std::atan2(std::sin(hourAngle), std::tan(lat) * std::cos(dM) -
                                                                  std::sin(dM) * std::cos(hourAngle)) *
                            kRadToDeg;
  const double elongation = MoonSunElongation(ctx, jd);
  out.waxing = elongation < 180.0;
  const double newMoon = PreviousNewMoon(ctx, jd);
  out.ageDays = newMoon != 0.0 ? jd - newMoon : elongation / kMeanElongationDegPerDay;
  return out;
}

}  // namespace orv
