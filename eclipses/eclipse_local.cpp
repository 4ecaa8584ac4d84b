#include "eclipses/eclipse_local.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "eclipses/eclipse_constants.h"
#include "ephemeris/angles.h"
#include "ephemeris/search.h"
#include "ephemeris/sunmoon.h"
#include "time/dates.h"

namespace orv {
namespace {

// Metres to Earth equatorial radii (1 / 6378136.3 m).
constexpr double kMetresToEarthRadii = 0.001 * 0.0001567856114959475;
// The local maximum is looked for within two hours of greatest eclipse.
constexpr double kLocalMaximumWindowDays = 2.0 * kHourDays;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

double Square(double v) { return v * v; }

// Squared distance of the observer from the shadow axis on the fundamental
// plane at `jd`; the observer's zeta is returned through `zeta`.
double ObserverAxisDistanceSquared(EngineContext& ctx, const double observer[3], double jd, ShadowPoint& point,
                                   EclipseElements& el, double& zeta) {
  SolarEclipseElements(ctx, jd, point, el);
  double xi, eta;
  ObserverFundamental(observer, el, xi, eta, zeta);
  return Square(el[kElemX] - xi) + Square(el[kElemY] - eta);
}

}  // namespace

void ObserverEarthFixed(const Observer& observer, double out[3]) {
  const double e2 = (2.0 - kEarthFlattening) * kEarthFlattening;
  const double phi = observer.LatitudeDeg * kDegToRad;
  const double lambda = observer.LongitudeDeg * kDegToRad;
  const double c = 1.0 / std::sqrt(1.0 - e2 * Square(std::sin(phi)));
  const double h = observer.AltitudeM * kMetresToEarthRadii;
  out[0] = (c + h) * std::cos(phi) * std::cos(lambda);
  out[1] = (c + h) * std::cos(phi) * std::sin(lambda);
  out[2] = ((1.0 - e2) * c + h) * std::sin(phi);
}

void ObserverFundamental(const double observer[3], const EclipseElements& el, double& xi, double& eta,
                         double& zeta) {
  const double d = el[kElemDeclinationDeg] * kDegToRad;
  const double mu = el[kElemHourAngleDeg] * kDegToRad;
  const double x = observer[0], y = observer[1], z = observer[2];
  const double sinD = std::sin(d), cosD = std::cos(d), sinMu = std::sin(mu), cosMu = std::cos(mu);
  xi = y * cosMu + x * sinMu;
  eta = z * cosD + y * sinMu * sinD - x * cosMu * sinD;
  zeta = z * sinD + x * cosMu * cosD - y * sinMu * cosD;
}

double LocalSolarEclipseMaximum(EngineContext& ctx, double jdGreatest, ShadowPoint& point,
                                EclipseElements& elements, EclipseType& type) {
  double observer[3];
  ObserverEarthFixed(ctx.observer, observer);
  double zeta = 0.0;
  auto distanceSquared = [&](double t) {
    return ObserverAxisDistanceSquared(ctx, observer, t, point, elements, zeta);
  };
  const double maximum = SearchMinimum(distanceSquared, jdGreatest - kLocalMaximumWindowDays,
                                       jdGreatest + kLocalMaximumWindowDays, kHundredthSecondDays);
  const double m = std::sqrt(distanceSquared(maximum));
  ClassifySolarEclipseAt(maximum, point, elements);
  const double l1 = elements[kElemL1] - zeta * elements[kElemTanF1];
  const double l2 = elements[kElemL2] - zeta * elements[kElemTanF2];
  elements[kElemL1Surface] = l1;
  elements[kElemL2Surface] = l2;
  if (m <= std::fabs(l2)) {
    elements[kElemMagnitude] = (l1 - l2) / (l1 + l2);
    type = l2 > 0.0 ? kEclipseAnnular : kEclipseTotal;
  } else {
    elements[kElemMagnitude] = std::fabs((l1 - m) / (l1 + l2));
    type = kEclipsePartial;
  }
  return maximum;
}

void LocalSolarEclipseContacts(EngineContext& ctx, double jdLocalMaximum, ContactTimes& contacts) {
  double observer[3];
  ObserverEarthFixed(ctx.observer, observer);
  ShadowPoint point;
  EclipseElements el;
  // Squared distance from the axis less the squared shadow radius at the observer.
  auto penumbra = [&](double t) {
    double zeta;
    const double m2 = ObserverAxisDistanceSquared(ctx, observer, t, point, el, zeta);
    ClassifySolarEclipseAt(t, point, el);
    return m2 - Square(el[kElemL1] - zeta * el[kElemTanF1]);
  };
  auto umbra = [&](double t) {
    double zeta;
    const double m2 = ObserverAxisDistanceSquared(ctx, observer, t, point, el, zeta);
    ClassifySolarEclipseAt(t, point, el);
    return m2 - Square(el[kElemL2] - zeta * el[kElemTanF2]);
  };
  const double before = jdLocalMaximum - kContactWindowDays, after = jdLocalMaximum + kContactWindowDays;
  contacts.greatestJD = jdLocalMaximum;
  contacts[kLocalC1] = SearchSignChange(penumbra, before, jdLocalMaximum, kHundredthSecondDays, kTenthSecondDays);
  contacts[kLocalC4] = SearchSignChange(penumbra, jdLocalMaximum, after, kHundredthSecondDays, kTenthSecondDays);
  contacts[kLocalC2] = SearchSignChange(umbra, before, jdLocalMaximum, kHundredthSecondDays, kTenthSecondDays);
  contacts[kLocalC3] = SearchSignChange(umbra, jdLocalMaximum, after, kHundredthSecondDays, kTenthSecondDays);
}

Daylight SunDaylight(EngineContext& ctx, double eclipseJD) {
  Daylight day;
  // Local mean noon nearest to the eclipse (Julian Days are whole at noon UT).
  const double longitudeDays = ctx.observer.LongitudeDeg / 360.0;
  const double nearestNoon = std::round(eclipseJD + longitudeDays) - longitudeDays;
  day.sun = SunRiseSetAroundNoon(ctx, nearestNoon);
  if (!day.sun.riseJD && !day.sun.setJD) {
    const bool polarDay = UpperLimbAboveHorizon(ctx, kBodySun, eclipseJD) > 0.0;
    day.sunriseJD = polarDay ? -kInfinity : kInfinity;
    day.sunsetJD = polarDay ? kInfinity : -kInfinity;
  } else {
    day.sunriseJD = day.sun.riseJD.value_or(-kInfinity);
    day.sunsetJD = day.sun.setJD.value_or(kInfinity);
  }
  return day;
}

EclipseVisibility SolarEclipseVisibility(const ContactTimes& local, const Daylight& day) {
  if (!local[kLocalC1]) return EclipseVisibility::OutsideShadow;
  const double c1 = *local[kLocalC1];
  // A last contact beyond its window: the local maximum stands in.
  const double c4 = local[kLocalC4].value_or(local.greatestJD);
  if ((c1 < day.sunriseJD && c4 < day.sunriseJD) || (c1 > day.sunsetJD && c4 > day.sunsetJD))
    return EclipseVisibility::BelowHorizon;
  return EclipseVisibility::Visible;
}

EclipseVisibility LunarEclipseVisibility(const ContactTimes& contacts, const Daylight& day) {
  const double p1 = contacts[kLunarP1].value_or(contacts.greatestJD);
  const double p4 = contacts[kLunarP4].value_or(contacts.greatestJD);
  if (p1 <= day.sunriseJD || p4 <= day.sunriseJD || day.sunsetJD <= p1 || day.sunsetJD <= p4)
    return EclipseVisibility::Visible;
  return EclipseVisibility::BelowHorizon;
}

CivilDateTime JulianDayToCalendarTenths(double jd) {
  constexpr double kTenthsPerDay = 864000.0;
  return JulianDayToCalendar(std::round(jd * kTenthsPerDay) / kTenthsPerDay);
}

std::string FormatContactTime(int mode, double jd, double a, double b) {
  if (!std::isfinite(jd)) return "--:--:--.-";
  const CivilDateTime t = JulianDayToCalendarTenths(jd);
  bool below = false;
  if (mode == kContactTimeSolar) below = jd < a || jd > b;
  else if (mode == kContactTimeLunar) below = a < jd && jd < b;
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, below ? "%02d:%02d:%04.1f(지하)" : "%02d:%02d:%04.1f", t.hour, t.minute,
                static_cast<double>(t.seconds));
  return buffer;
}

}  // namespace orv
