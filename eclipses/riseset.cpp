#include "eclipses/riseset.h"

#include <cmath>

#include "eclipses/eclipse_constants.h"
#include "ephemeris/angles.h"
#include "ephemeris/search.h"
#include "ephemeris/sunmoon.h"

namespace orv {
namespace {

// Refraction at the horizon: 34 arcminutes, degrees.
constexpr double kHorizonRefractionDeg = 0.5666666666666667;
// Dip of the horizon: arcminutes per square root of the height in metres.
constexpr double kDipArcminPerSqrtMetre = 2.12;
// Each event is looked for in the half day before (rise) or after (set) the transit.
constexpr double kHalfWindowDays = 0.5;

int SunOrMoon(int body) { return body == kBodyMoon ? kBodyMoon : kBodySun; }

double DipDeg(const Observer& observer) {
  return observer.AltitudeM > 0.0 ? std::sqrt(observer.AltitudeM) * kDipArcminPerSqrtMetre / 60.0 : 0.0;
}

double SemidiameterDeg(int body, double distanceAu) {
  const double radiusAu = body == kBodyMoon ? kMoonRadiusAu : kSunRadiusAu;
  return std::asin(radiusAu / distanceAu) * kRadToDeg;
}

}  // namespace

double HorizonDepression(EngineContext& ctx, int body, double jd) {
  body = SunOrMoon(body);
  const EquatorialPlace p = SunMoonEquatorial(ctx, body, jd);
  return kHorizonRefractionDeg + SemidiameterDeg(body, p.distanceAu) + DipDeg(ctx.observer);
}

HorizontalPosition SunMoonHorizontal(EngineContext& ctx, int body, double jd) {
  body = SunOrMoon(body);
  const EquatorialPlace p = SunMoonEquatorial(ctx, body, jd);
  const double raDec[2] = {p.rightAscensionDeg * kDegToRad, p.declinationDeg * kDegToRad};
  HorizontalPosition out;
  HorizontalCoordinates(ctx, jd, body, raDec, p.distanceAu, out);
  return out;
}

double UpperLimbAboveHorizon(EngineContext& ctx, int body, double jd) {
  body = SunOrMoon(body);
  // One position serves both the altitude and the semidiameter.
  const EquatorialPlace p = SunMoonEquatorial(ctx, body, jd);
  const double raDec[2] = {p.rightAscensionDeg * kDegToRad, p.declinationDeg * kDegToRad};
  HorizontalPosition pos;
  HorizontalCoordinates(ctx, jd, body, raDec, p.distanceAu, pos);
  return pos.altitudeDeg + kHorizonRefractionDeg + SemidiameterDeg(body, p.distanceAu) + DipDeg(ctx.observer);
}

RiseSetInstants RiseSetAroundTransit(EngineContext& ctx, int body, double transitJD) {
  body = SunOrMoon(body);
  RiseSetInstants out;
  out.transitJD = transitJD;
  auto horizon = [&](double t) { return UpperLimbAboveHorizon(ctx, body, t); };
  out.riseJD = SearchSignChange(horizon, out.transitJD - kHalfWindowDays, out.transitJD, kHundredthSecondDays,
                                kTenthSecondDays);
  out.setJD = SearchSignChange(horizon, out.transitJD, out.transitJD + kHalfWindowDays, kHundredthSecondDays,
                               kTenthSecondDays);
  return out;
}

namespace {

// The depression of the Sun's centre for each kind of twilight, degrees.
constexpr double kTwilightDepressionsDeg[kTwilightKinds] = {6.0, 12.0, 18.0};
const char* const kTwilightNames[kTwilightKinds] = {"civil", "nautical", "astronomical"};

double LocalMidnight(const EngineContext& ctx, double jd) {
  return std::floor(jd - kMidnightOffsetDays) + 0.5 - ctx.settings.ZoneOffsetDays;
}

}  // namespace

double TwilightDepressionDeg(Twilight kind) { return kTwilightDepressionsDeg[static_cast<int>(kind)]; }
const char* TwilightName(Twilight kind) { return kTwilightNames[static_cast<int>(kind)]; }

TwilightInstants TwilightAroundTransit(EngineContext& ctx, double transitJD, double depressionDeg) {
  auto aboveTwilightLine = [&](double t) {
    return SunMoonHorizontal(ctx, kBodySun, t).altitudeDeg + depressionDeg;
  };
  TwilightInstants out;
  out.dawnJD = SearchSignChange(aboveTwilightLine, transitJD - kHalfWindowDays, transitJD, kHundredthSecondDays,
                                kTenthSecondDays);
  out.duskJD = SearchSignChange(aboveTwilightLine, transitJD, transitJD + kHalfWindowDays, kHundredthSecondDays,
                                kTenthSecondDays);
  return out;
}

TwilightInstants TwilightTimes(EngineContext& ctx, Twilight kind, double jd) {
  const double transit = CulminationInDay(ctx, kBodySun, LocalMidnight(ctx, jd));
  return TwilightAroundTransit(ctx, transit, TwilightDepressionDeg(kind));
}

RiseSetInstants RiseSetTimes(EngineContext& ctx, int body, double jd) {
  body = SunOrMoon(body);
  // The date is that of jd's 0h-24h day; its civil day in the zone shown
  // starts ZoneOffsetDays earlier (12 hours before 0h UT in New Zealand,
  // 11 hours after it in Samoa). A transit searched in the UT day instead
  // falls on the next local date wherever local noon is outside it.
  return RiseSetAroundTransit(ctx, body, CulminationInDay(ctx, body, LocalMidnight(ctx, jd)));
}

RiseSetInstants SunRiseSetAroundNoon(EngineContext& ctx, double meanNoonJD) {
  auto negativeAltitude = [&](double t) { return -SunMoonHorizontal(ctx, kBodySun, t).altitudeDeg; };
  const double transit =
      SearchMinimum(negativeAltitude, meanNoonJD - kHourDays, meanNoonJD + kHourDays, kTenthSecondDays);
  return RiseSetAroundTransit(ctx, kBodySun, transit);
}

}  // namespace orv
