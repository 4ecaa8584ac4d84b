#include "ephemeris/plan404.h"

#include <cmath>
#include <span>

#include "ephemeris/angles.h"
#include "ephemeris/earth_orientation.h"
#include "time/polynomial.h"

namespace orv {
namespace {

using data::Plan404MoonRow;
using data::Plan404MoonTerm;

// Everything is summed in double: the largest quantities, mean longitudes
// before reduction (up to 1e11 arc-seconds at the ends of the theory's span,
// 1e9 around 2000), keep 3e-5 arc-second (1e-7 around 2000), far below the
// theory's own error; extended precision, twice as slow, moved no listed term
// or syzygy of 1900-2100.
constexpr double kArcsecPerTurn = 1296000.0;
// 1 / 3652500: units of 10 000 Julian years per day (planetary time argument).
constexpr double kTenMillenniaPerDay = 2.737850787132101e-07;

// Fundamental arguments of the planetary theory: mean longitudes of Mercury ..
// Pluto, frequency (arc-seconds per 10 000 Julian years) and phase at J2000.0
// (arc-seconds).
struct FundamentalArgument {
  double frequencyArcsec;
  double phaseArcsec;
};
constexpr FundamentalArgument kPlanetArguments[data::kPlan404ArgumentCount] = {
    {53810162868.8982, 908103.259872},  // Mercury
    {21066413643.3548, 655127.28306},   // Venus
    {12959774228.3429, 361679.244588},  // Earth
    {6890507749.3988, 1279558.798488},  // Mars
    {1092566037.7991, 123665.467464},   // Jupiter
    {439960985.5372, 180278.79948},     // Saturn
    {154248119.3933, 1130598.018396},   // Uranus
    {78655032.0744, 1095655.195728},    // Neptune
    {52272245.1795, 860492.1546},       // Pluto
};

// Lunar theory constants.
constexpr double kMoonMeanDistanceKm = 385000.52899;  // constant term of the radius series
constexpr double kEarthEquatorialRadiusKm = 6378.1363;
// Light time of the Moon as a longitude offset: 0.0118 deg times the
// horizontal parallax ratio (Earth radius / distance).
constexpr double kMoonLightTimeDeg = 0.0118;
// Units of the series sums (1e-4 arc-second, 1e-4 km) and of c1..c3 (1e-5 arc-second).
constexpr double kSeriesUnit = 1.0e-4;
constexpr double kLongitudeTermUnit = 1.0e-5;
// Scale of the second stage sums (their tables are in 1e-5 arc-second / km, times T).
constexpr double kSecondStageScale = 0.1;

// (Earth + Moon) / Moon mass ratio: the heliocentric Earth is the barycentre
// minus the geocentric Moon divided by this.
constexpr double kEarthMoonMassRatioPlusOne = 82.300585;
// Constant of annual aberration, arc-seconds at 1 AU.
constexpr double kAberrationArcsec = 20.4898;
constexpr double kSecondsPerDegree = 3600.0;

constexpr int kBodyEarthMoonBarycentre = 3;
constexpr int kBodyIgnored = 10;
constexpr int kBodyMoon = 11;

// Cosine polynomial x cv + sine polynomial x sv for one periodic term of
// degree d whose (cosine, sine) coefficient pairs start at c, highest power
// first. Degrees 0 and 1 (most terms) are written out.
inline double PeriodicAmplitude(const double* c, int d, double t, double cv, double sv) {
  if (d == 0) return c[0] * static_cast<double>(cv) + c[1] * static_cast<double>(sv);
  double cu = c[0], su = c[1];
  for (int k = 1; k <= d; ++k) {
    cu = cu * t + c[2 * k];
    su = su * t + c[2 * k + 1];
  }
  return cu * cv + su * sv;
}

// Sines and cosines of 1..count times an angle: sin and cos of the angle and
// of twice the angle start the angle-addition recurrence.
inline void FillMultiples(double angleRad, int count, double* s, double* c) {
  if (count <= 0) return;
  const double s1 = std::sin(angleRad);
  const double c1 = std::cos(angleRad);
  s[0] = s1;
  c[0] = c1;
  if (count == 1) return;
  s[1] = 2.0 * s1 * c1;
  c[1] = c1 * c1 - s1 * s1;
  for (int k = 2; k < count; ++k) {
    s[k] = s[k - 1] * c1 + c[k - 1] * s1;
    c[k] = c[k - 1] * c1 - s[k - 1] * s1;
  }
}

// sin and cos of m times the angle from its store (sine negated for m < 0).
inline void Multiple(const double* s, const double* c, int m, double& sm, double& cm) {
  if (m > 0) {
    sm = s[m - 1];
    cm = c[m - 1];
  } else {
    sm = -s[-m - 1];
    cm = c[-m - 1];
  }
}

// Adds one (s, c) factor to the running sine and cosine of a combined angle.
inline void Combine(bool& first, double s, double c, double& sv, double& cv) {
  if (first) {
    sv = s;
    cv = c;
    first = false;
  } else {
    const double t = s * cv + c * sv;
    cv = c * cv - s * sv;
    sv = t;
  }
}

// Walks one table of explicit lunar terms, adding to the accumulators.
void AddExplicitTerms(const Plan404MoonTerm* terms, int count,
                      const double elementsArcsec[data::kPlan404MoonElementCount], double t,
                      double acc[data::kPlan404MoonTargetCount]) {
  for (int i = 0; i < count; ++i) {
    const Plan404MoonTerm& term = terms[i];
    double argArcsec = term.phaseArcsec;
    for (int e = 0; e < data::kPlan404MoonElementCount; ++e) {
      if (term.mult[e] != 0) argArcsec += term.mult[e] * elementsArcsec[e];
    }
    const double argRad = static_cast<double>(argArcsec * kArcsecToRad);
    const double sg = std::sin(argRad);
    const double cg = std::cos(argRad);
    const int n = term.count < 4 ? term.count : 4;
    for (int a = 0; a < n; ++a) {
      const data::Plan404MoonAmplitude& amp = term.amp[a];
      if (amp.target < 0 || amp.target >= data::kPlan404MoonTargetCount) continue;
      double v = static_cast<double>(amp.cosine) * cg + static_cast<double>(amp.sine) * sg;
      if (amp.timePower == 1) v *= t;
      acc[amp.target] += v;
    }
  }
}

}  // namespace

double ReduceArcseconds(double xArcsec) {
  return xArcsec - kArcsecPerTurn * std::floor(xArcsec / kArcsecPerTurn);
}

void Plan404PlanetAngles(double jdTT, const Plan404PlanetTable& table, Plan404AngleStore& store) {
  const double t = (jdTT - kJ2000) * kTenMillenniaPerDay;
  store.evaluatedMask = 0;
  for (int i = 0; i < data::kPlan404ArgumentCount; ++i) {
    int h = table.maxHarmonic[i];
    if (h <= 0) continue;
    if (h > data::kPlan404MaxHarmonic) h = data::kPlan404MaxHarmonic;
    const double angleArcsec =
        ReduceArcseconds(kPlanetArguments[i].frequencyArcsec * t) + kPlanetArguments[i].phaseArcsec;
    store.angleRad[i] = static_cast<double>(angleArcsec * kArcsecToRad);
    FillMultiples(store.angleRad[i], h, store.sine[i], store.cosine[i]);
    store.evaluatedMask |= 1u << i;
  }
}

// Heliocentric planet from the PLAN404 series (mean ecliptic and equinox of
// J2000.0; rad, rad, AU). The argument table is walked once; each periodic
// term's angle is formed from the multiple-angle store by angle addition.
void Plan404Planet(double jdTT, const Plan404PlanetTable& table, double& longitudeRad,
                   double& latitudeRad, double& radiusAu) {
  Plan404AngleStore store;
  Plan404PlanetAngles(jdTT, table, store);
  const double t = (jdTT - kJ2000) * kTenMillenniaPerDay;

  double sl = 0.0, sb = 0.0, sr = 0.0;
  const signed char* p = table.args;
  const double* pl = table.lon;
  const double* pb = table.lat;
  const double* pr = table.rad;
  int used = 0;  // coefficients consumed from each series
  const int available = table.coefficientsPerSeries;
  for (;;) {
    const int n = *p++;
    if (n < 0) break;
    if (n == 0) {
      // Polynomial term: longitude reduced to one turn, latitude and radius as they are.
      const int d = *p++;
      if (d < 0 || used + d + 1 > available) break;
      sl += ReduceArcseconds(Horner(pl, pl + d + 1, t));
      sb += Horner(pb, pb + d + 1, t);
      sr += Horner(pr, pr + d + 1, t);
      pl += d + 1;
      pb += d + 1;
      pr += d + 1;
      used += d + 1;
      continue;
    }
    bool first = true;
    double sv = 0.0, cv = 1.0;
    bool valid = true;
    for (int j = 0; j < n; ++j) {
      const int m = *p++;
      const int arg = *p++ - 1;
      if (m == 0) continue;
      if (arg < 0 || arg >= data::kPlan404ArgumentCount || !(store.evaluatedMask & (1u << arg)) ||
          std::abs(m) > table.maxHarmonic[arg] || std::abs(m) > data::kPlan404MaxHarmonic) {
        valid = false;
        continue;
      }
      double s, c;
      Multiple(store.sine[arg], store.cosine[arg], m, s, c);
      Combine(first, s, c, sv, cv);
    }
    const int d = *p++;
    if (!valid || d < 0 || used + 2 * (d + 1) > available) break;
    // (cosine, sine) pairs, highest power first: two polynomials per series.
    sl += PeriodicAmplitude(pl, d, t, cv, sv);
    sb += PeriodicAmplitude(pb, d, t, cv, sv);
    sr += PeriodicAmplitude(pr, d, t, cv, sv);
    pl += 2 * (d + 1);
    pb += 2 * (d + 1);
    pr += 2 * (d + 1);
    used += 2 * (d + 1);
  }
  longitudeRad = static_cast<double>(kArcsecToRad * sl);
  latitudeRad = static_cast<double>(kArcsecToRad * sb);
  radiusAu = static_cast<double>(kArcsecToRad * table.meanDistanceAu * sr + table.meanDistanceAu);
}

void Plan404MoonMeanElements(double jdTT, double elementsArcsec[data::kPlan404MoonElementCount]) {
  const double t = (jdTT - kJ2000) * kCenturiesPerDay;
  const double t2 = t * t;
  for (int e = 0; e < data::kPlan404MoonElementCount; ++e) {
    const data::Plan404MoonMeanElement& el = data::kPlan404MoonMeanElements[e];
    double higher = 0.0;
    for (int k = el.higherCount - 1; k >= 0; --k) higher = higher * t + el.higher[k];
    elementsArcsec[e] =
        ReduceArcseconds(static_cast<double>(el.rateArcsecPerCentury) * t + el.phaseArcsec) + t2 * higher;
  }
}

void Plan404MoonAngles(const double elementsArcsec[data::kPlan404MoonElementCount],
                       Plan404MoonAngleStore& store) {
  // D up to 6 times, l', l and F up to 4 times.
  static constexpr int kMultiples[4] = {6, 4, 4, 4};
  for (int k = 0; k < 4; ++k) {
    const double angleRad = static_cast<double>(elementsArcsec[k] * kArcsecToRad);
    FillMultiples(angleRad, kMultiples[k], store.sine[k], store.cosine[k]);
    store.filled[k] = kMultiples[k];
  }
}

void Plan404MoonAddRows(const data::Plan404MoonRow* rows, int rowCount, int kind,
                        const Plan404MoonAngleStore& store, double& lonSum, double& latSum,
                        double& radSum) {
  for (int i = 0; i < rowCount; ++i) {
    const Plan404MoonRow& row = rows[i];
    bool first = true;
    bool held = true;
    double sv = 0.0, cv = 1.0;
    for (int k = 0; k < 4; ++k) {
      const int m = row.mult[k];
      if (m == 0) continue;
      // A multiple beyond the filled slots is zero in the theory: the row adds nothing.
      if (std::abs(m) > store.filled[k] || std::abs(m) > 8) {
        held = false;
        break;
      }
      double s, c;
      Multiple(store.sine[k], store.cosine[k], m, s, c);
      Combine(first, s, c, sv, cv);
    }
    if (first || !held) continue;
    switch (kind) {
      case 1: {
        lonSum += (row.amp[0] * 10000L + row.amp[1]) * static_cast<double>(sv);
        if (row.amp[3] != 0) radSum += (row.amp[2] * 10000L + row.amp[3]) * static_cast<double>(cv);
        break;
      }
      case 2:
        lonSum += row.amp[0] * static_cast<double>(sv);
        radSum += row.amp[1] * static_cast<double>(cv);
        break;
      case 3:
        latSum += (row.amp[0] * 10000L + row.amp[1]) * static_cast<double>(sv);
        break;
      case 4:
        latSum += row.amp[0] * static_cast<double>(sv);
        break;
      default:
        break;
    }
  }
}

// Geocentric Moon of date from the PLAN404 lunar theory (rad, rad, AU).
// Three stages of secular (T^2, T) series and explicit planetary terms feed
// the main series; see data/plan404_moon.cpp for the tables and their units.
void Plan404Moon(double jdTT, double& longitudeRad, double& latitudeRad, double& distanceAu) {
  using namespace data;
  const double t = (jdTT - kJ2000) * kCenturiesPerDay;

  double el[kPlan404MoonElementCount];
  Plan404MoonMeanElements(jdTT, el);
  Plan404MoonAngleStore store;
  Plan404MoonAngles(el, store);

  // acc: delta lambda, c1, c2, c3, beta, r, delta beta (see Plan404MoonTarget).
  double acc[kPlan404MoonTargetCount] = {};
  double& lat = acc[kMoonLatitudeSum];
  double& rad = acc[kMoonRadiusSum];
  double lon = 0.0;

  // First stage: the secular series of the first order (later times T twice).
  Plan404MoonAddRows(kPlan404MoonFirstLonRad, kPlan404MoonFirstLonRadRows, 2, store, lon, lat, rad);
  Plan404MoonAddRows(kPlan404MoonFirstLat, kPlan404MoonFirstLatRows, 4, store, lon, lat, rad);
  AddExplicitTerms(kPlan404MoonStage1Terms, kPlan404MoonStage1TermCount, el, t, acc);
  acc[kMoonLongitudeT2] += lon;
  lat *= t;
  rad *= t;

  // Second stage: the series in T.
  lon = 0.0;
  Plan404MoonAddRows(kPlan404MoonSecondLat, kPlan404MoonSecondLatRows, 4, store, lon, lat, rad);
  Plan404MoonAddRows(kPlan404MoonSecondLonRad, kPlan404MoonSecondLonRadRows, 1, store, lon, lat, rad);
  AddExplicitTerms(kPlan404MoonStage2Terms, kPlan404MoonStage2TermCount, el, t, acc);
  acc[kMoonLongitudeT1] += lon;
  lat *= kSecondStageScale * t;
  rad *= kSecondStageScale * t;

  // Third stage: periodic planetary terms in arc-seconds.
  AddExplicitTerms(kPlan404MoonStage3Terms, kPlan404MoonStage3TermCount, el, t, acc);

  // Main series.
  lon = 0.0;
  Plan404MoonAddRows(kPlan404MoonMainLonRad, kPlan404MoonMainLonRadRows, 1, store, lon, lat, rad);
  Plan404MoonAddRows(kPlan404MoonMainLat, kPlan404MoonMainLatRows, 3, store, lon, lat, rad);
  acc[kMoonDeltaLongitude] +=
      kLongitudeTermUnit * t *
      (acc[kMoonLongitudeT1] + t * (acc[kMoonLongitudeT2] + t * acc[kMoonLongitudeT3]));

  const double lonArcsec = kSeriesUnit * lon + el[kMoonMeanLongitude] + acc[kMoonDeltaLongitude];
  const double latArcsec = kSeriesUnit * lat + acc[kMoonDeltaLatitude];
  const double distanceKm = static_cast<double>(kSeriesUnit * rad + kMoonMeanDistanceKm);

  const double parallaxRatio = kEarthEquatorialRadiusKm / distanceKm;
  distanceAu = distanceKm * kKmToAu;
  longitudeRad = static_cast<double>(ReduceArcseconds(lonArcsec) * kArcsecToRad) -
                 kMoonLightTimeDeg * kDegToRad * parallaxRatio;
  latitudeRad = static_cast<double>(latArcsec * kArcsecToRad);
}

// Planets: heliocentric J2000.0 ecliptic -> J2000.0 equator (mean obliquity
// at J2000.0) -> precession to the mean equator of date -> ecliptic of date
// (mean obliquity of date). Both obliquities and the precession follow the
// settings' models. The Moon comes from its own theory, already of date.
int Plan404Body(EngineContext& ctx, Plan404Request& request) {
  if (request.Body < 1 || request.Body > kBodyMoon) return 1;
  if (request.Body == kBodyIgnored) return 0;
  if (request.Body == kBodyMoon) {
    Plan404Moon(request.JD, request.Longitude, request.Latitude, request.Radius);
    return 0;
  }
  double l, b, r;
  Plan404Planet(request.JD, data::kPlan404Planets[request.Body - 1], l, b, r);
  const double x = r * std::cos(b) * std::cos(l);
  const double y = r * std::cos(b) * std::sin(l);
  const double z = r * std::sin(b);

  const ObliquityAngle atJ2000 = MeanObliquity(ctx, kJ2000);
  double v[3] = {x, atJ2000.cosine * y - atJ2000.sine * z, atJ2000.sine * y + atJ2000.cosine * z};
  PrecessVector(ctx, v, request.JD, -1);

  const ObliquityAngle ofDate = MeanObliquity(ctx, request.JD);
  const double yDate = ofDate.sine * v[2] + ofDate.cosine * v[1];
  const double zDate = ofDate.cosine * v[2] - ofDate.sine * v[1];
  double lon = std::atan2(yDate, v[0]);
  if (lon < 0.0) lon += kTwoPi;
  request.Longitude = lon;
  request.Latitude = std::asin(zDate / r);
  request.Radius = r;
  return 0;
}

// Geocentric Moon, or Sun as the reversed heliocentric Earth (barycentre of
// date minus the Moon's share), mean ecliptic and equinox of date.
namespace {

// The geocentric Moon of date (longitude in [0, 2 pi)).
Plan404Request Plan404MoonRequest(EngineContext& ctx, double jdTT) {
  Plan404Request moon;
  moon.Body = kBodyMoon;
  moon.JD = jdTT;
  Plan404Body(ctx, moon);
  if (moon.Longitude < 0.0) moon.Longitude += kTwoPi;
  return moon;
}

// The Sun from the Earth-Moon barycentre less the Moon's share.
void Plan404SunFromMoon(EngineContext& ctx, double jdTT, const Plan404Request& moon, double out[3]) {
  Plan404Request emb;
  emb.Body = kBodyEarthMoonBarycentre;
  emb.JD = jdTT;
  Plan404Body(ctx, emb);
  if (emb.Longitude < 0.0) emb.Longitude += kTwoPi;

  const double rbKm = emb.Radius * kAuKm;
  const double rmKm = moon.Radius * kAuKm;
  const double cb = std::cos(emb.Latitude), cm = std::cos(moon.Latitude);
  const double h[3] = {
      rbKm * cb * std::cos(emb.Longitude) - rmKm * cm * std::cos(moon.Longitude) / kEarthMoonMassRatioPlusOne,
      rbKm * cb * std::sin(emb.Longitude) - rmKm * cm * std::sin(moon.Longitude) / kEarthMoonMassRatioPlusOne,
      rbKm * std::sin(emb.Latitude) - rmKm * std::sin(moon.Latitude) / kEarthMoonMassRatioPlusOne};
  const double hKm = std::sqrt(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]);
  double lon = std::atan2(h[1], h[0]) - kPi;
  if (lon < 0.0) lon += kTwoPi;
  out[0] = lon;
  out[1] = -std::asin(h[2] / hKm);
  out[2] = hKm * kKmToAu;
}

}  // namespace

void Plan404Position(EngineContext& ctx, double jdTT, int body, double out[3]) {
  const Plan404Request moon = Plan404MoonRequest(ctx, jdTT);
  if (body == 1) {
    out[0] = moon.Longitude;
    out[1] = moon.Latitude;
    out[2] = moon.Radius;
    return;
  }
  Plan404SunFromMoon(ctx, jdTT, moon, out);
}

void Plan404SunAndMoon(EngineContext& ctx, double jdTT, double sun[3], double moonOut[3]) {
  const Plan404Request moon = Plan404MoonRequest(ctx, jdTT);
  moonOut[0] = moon.Longitude;
  moonOut[1] = moon.Latitude;
  moonOut[2] = moon.Radius;
  Plan404SunFromMoon(ctx, jdTT, moon, sun);
}

double SolarAberrationDegrees(double /*jd*/, double sunDistanceKm) {
  return -(kAberrationArcsec / (sunDistanceKm * kKmToAu)) / kSecondsPerDegree;
}

}  // namespace orv
