#include "eclipses/eclipse_global.h"

#include <cmath>
#include <cstdio>

#include "eclipses/eclipse_constants.h"
#include "ephemeris/angles.h"
#include "ephemeris/search.h"
#include "ephemeris/sidereal.h"
#include "ephemeris/sunmoon.h"

namespace orv {
namespace {

// Quick screening: half widths of the scanned spans around a new and a full
// moon (days; the Moon's latitude changes slowly, the elongation fast) and
// the step (5 minutes).
constexpr double kQuickNewMoonHalfSpanDays = 0.0437;
constexpr double kQuickFullMoonHalfSpanDays = 0.0977;
constexpr double kQuickStepDays = 0.00347;
// Sun's radius less the Earth's, km: the cone of the shadow limits.
constexpr double kSunMinusEarthRadiusKm = 689621.8637;
constexpr double kMoonRadiusKm = 1738.0;

double Square(double v) { return v * v; }

// Apparent sidereal time (degrees) and the Delta T term of the hour angle
// (degrees) at the instant `at`.
void SiderealAngles(EngineContext& ctx, const TimeState& at, double& gastDeg, double& deltaTTermDeg) {
  gastDeg = 15.0 * ApparentSiderealTime(ctx, at);
  const double deltaTSeconds = DeltaTAt(ctx.settings, at.CurrentUT);
  deltaTTermDeg = deltaTSeconds / 3600.0 * kSiderealRate * 15.0;
}

// Solar elements; the hour angles (slots 4 and 14) need the sidereal time and
// are left 0 by the searches that only look at the shadow's geometry.
double SolarElementsAt(EngineContext& ctx, double jd, ShadowPoint& point, EclipseElements& el,
                       bool withHourAngles) {
  el = EclipseElements{};
  point = ShadowPoint{};
  const SunMoonFullPlaces places = ApparentSunMoonFullPlaces(ctx, kBodySunAndMoon, jd);
  const EquatorialPlace& sun = places.sun;
  const EquatorialPlace& moon = places.moon;
  double sx, sy, sz, mx, my, mz;
  SphericalToRectangular(sun.rightAscensionDeg, sun.declinationDeg, sun.distanceAu, sx, sy, sz);
  SphericalToRectangular(moon.rightAscensionDeg, moon.declinationDeg, moon.distanceAu, mx, my, mz);
  const double gx = sx - mx, gy = sy - my, gz = sz - mz;
  const double gLength = std::sqrt(gx * gx + gy * gy + gz * gz);
  el[kElemSunMoonDistanceAu] = gLength;
  const double d = std::asin(gz / gLength);
  const double a = std::atan2(gy / gLength / std::cos(d), gx / gLength / std::cos(d));
  el[kElemDeclinationDeg] = d * kRadToDeg;
  el[kElemRightAscensionDeg] = a * kRadToDeg;
  if (withHourAngles) {
    double gastDeg, deltaTTermDeg;
    SiderealAngles(ctx, places.at, gastDeg, deltaTTermDeg);
    el[kElemHourAngleDtDeg] = gastDeg + deltaTTermDeg - el[kElemRightAscensionDeg];
    el[kElemHourAngleDeg] = gastDeg - el[kElemRightAscensionDeg];
  }
  const double delta = moon.declinationDeg * kDegToRad;
  const double h = moon.rightAscensionDeg * kDegToRad - a;
  const double toEarthRadii = moon.distanceAu / kEarthRadiusAu;
  const double x = std::cos(delta) * std::sin(h) * toEarthRadii;
  const double y = (std::sin(delta) * std::cos(d) - std::cos(delta) * std::sin(d) * std::cos(h)) * toEarthRadii;
  const double z = (std::sin(delta) * std::sin(d) + std::cos(delta) * std::cos(d) * std::cos(h)) * toEarthRadii;
  point[kPointX] = el[kElemX] = x;
  point[kPointY] = el[kElemY] = y;
  point[kPointZ] = z;
  el[kElemAxisDistance] = std::sqrt(x * x + y * y);
  return el[kElemAxisDistance];
}

// Classification; the geographic place of the axis point needs the hour
// angles and is skipped when `withPlace` is false.
EclipseType ClassifySolar(ShadowPoint& point, EclipseElements& el, bool withPlace) {
  const double e2 = (2.0 - kEarthFlattening) * kEarthFlattening;
  const double sinF1 = kPenumbralConeAu / el[kElemSunMoonDistanceAu];
  const double sinF2 = kUmbralConeAu / el[kElemSunMoonDistanceAu];
  const double tanF1 = sinF1 / std::sqrt(1.0 - sinF1 * sinF1);
  const double tanF2 = sinF2 / std::sqrt(1.0 - sinF2 * sinF2);
  el[kElemTanF1] = tanF1;
  el[kElemTanF2] = tanF2;
  const double z = point[kPointZ];
  const double l1 = (kMoonK1 / sinF1 + z) * tanF1;
  const double l2 = (z - kMoonK2 / sinF2) * tanF2;
  el[kElemL1] = l1;
  el[kElemL2] = l2;

  const double x = el[kElemX], y = el[kElemY];
  const double d = el[kElemDeclinationDeg] * kDegToRad;
  const double rho1 = std::sqrt(1.0 - e2 * Square(std::cos(d)));
  const double rho2 = std::sqrt(1.0 - e2 * Square(std::sin(d)));
  const double y1 = y / rho1;
  const double b = 1.0 - x * x - y1 * y1;
  const double zeta1 = b > 0.0 ? std::sqrt(b) : 0.0;
  const double zeta = (zeta1 * std::sqrt(1.0 - e2) / (rho1 * rho2) -
                       y1 * e2 * std::sin(d) * std::cos(d) / (rho1 * rho2)) * rho2;
  point[kPointZeta] = zeta;
  if (withPlace) FundamentalToGeographic(point, el);

  const double delta = el[kElemAxisDistance];
  const double planeRadius = std::sqrt(x * x + y1 * y1);
  // On the axis of the Earth the direction is undefined; the equatorial radius serves.
  const double r = planeRadius > 0.0 ? delta / planeRadius : 1.0;
  el[kElemEarthRadius] = r;
  EclipseType type = 0;
  if (delta <= r) type = kEclipseCentral;
  else if (std::fabs(l2) + r >= delta) type = kEclipseNonCentral;
  else if (r + l1 >= delta) type = kEclipseNonCentral | kEclipsePartial;
  else return 0;

  const double l1Surface = l1 - zeta * tanF1;
  const double l2Surface = l2 - zeta * tanF2;
  el[kElemL1Surface] = l1Surface;
  el[kElemL2Surface] = l2Surface;
  el[kElemPathWidthKm] = 0.0;
  if ((type & kEclipseCentral) && zeta > 0.0)
    el[kElemPathWidthKm] = 2.0 * std::fabs(l2Surface) * std::sqrt(delta * delta + zeta * zeta) / zeta *
                           kEarthRadiusKm;
  if (!(type & kEclipsePartial)) {
    type |= l2Surface > 0.0 ? kEclipseAnnular : kEclipseTotal;
    el[kElemMagnitude] = (l1Surface - l2Surface) / (l1Surface + l2Surface);
  } else {
    el[kElemDeltaMinusR] = delta - r;
    el[kElemMagnitude] = (l1Surface - (delta - r)) / (l1Surface + l2Surface);
  }
  return type;
}

// The elements and classification of one instant of a solar search.
EclipseType SolarGeometryAt(EngineContext& ctx, double jd, ShadowPoint& point, EclipseElements& el) {
  SolarElementsAt(ctx, jd, point, el, false);
  return ClassifySolar(point, el, false);
}

// Lunar elements; the Moon's right ascension and the Sun's distance are kept
// (slots 13 and 19) for the radii and the sub-lunar point.
double LunarElementsAt(EngineContext& ctx, double jd, ShadowPoint& point, EclipseElements& el) {
  el = EclipseElements{};
  point = ShadowPoint{};
  const SunMoonFullPlaces places = ApparentSunMoonFullPlaces(ctx, kBodySunAndMoon, jd);
  const EquatorialPlace& sun = places.sun;
  const EquatorialPlace& moon = places.moon;
  el[kLunarAntiSunDeclinationDeg] = -sun.declinationDeg;
  el[kLunarAntiSunRightAscensionDeg] = NormalizeDegrees(sun.rightAscensionDeg + 180.0);
  el[kLunarSunDistanceAu] = sun.distanceAu;
  el[kLunarEarthMoonDistanceAu] = moon.distanceAu;
  el[kLunarMoonRightAscensionDeg] = moon.rightAscensionDeg;
  point[kPointGeocentricLatitudeDeg] = moon.declinationDeg;

  const double delta = moon.declinationDeg * kDegToRad;
  const double h = (moon.rightAscensionDeg - el[kLunarAntiSunRightAscensionDeg]) * kDegToRad;
  const double d = el[kLunarAntiSunDeclinationDeg] * kDegToRad;
  const double x = std::cos(delta) * std::sin(h);
  const double y = std::sin(delta) * std::cos(d) - std::cos(delta) * std::sin(d) * std::cos(h);
  const double z = std::sin(delta) * std::sin(d) + std::cos(delta) * std::cos(d) * std::cos(h);
  point[kPointX] = x;
  point[kPointY] = y;
  point[kPointZ] = z;
  const double s = std::sqrt(x * x + y * y);
  el[kLunarGamma] = s / (kEarthRadiusAu / moon.distanceAu);
  el[kLunarAxisDistanceArcsec] = s * kRadToDeg * 3600.0;
  return s;
}

// Radii of the shadow at the Moon's distance and the magnitudes; returns the
// Moon's semidiameter in arcseconds.
double LunarShadowRadii(EclipseElements& el) {
  const double arcsec = kRadToDeg * 3600.0;
  const double moonDistanceAu = el[kLunarEarthMoonDistanceAu];
  const double sunDistanceAu = el[kLunarSunDistanceAu];
  const double moonSemidiameter = std::asin(kMoonRadiusAu / moonDistanceAu) * arcsec;
  const double moonParallax = std::asin(kEarthRadiusAu / moonDistanceAu) * arcsec;
  const double sunParallax = std::asin(kEarthRadiusAu / sunDistanceAu) * arcsec;
  const double sunSemidiameter = std::asin(kSunRadiusAu / sunDistanceAu) * arcsec;
  const double penumbra = kLunarShadowEnlargement * moonParallax + sunParallax + sunSemidiameter;
  const double umbra = kLunarShadowEnlargement * moonParallax + sunParallax - sunSemidiameter;
  el[kLunarPenumbraPlusMoonArcsec] = penumbra + moonSemidiameter;
  el[kLunarUmbraPlusMoonArcsec] = umbra + moonSemidiameter;
  el[kLunarUmbraMinusMoonArcsec] = umbra - moonSemidiameter;
  el[kLunarPenumbraRadiusDeg] = penumbra / 3600.0;
  el[kLunarUmbraRadiusDeg] = umbra / 3600.0;
  const double axisDistance = el[kLunarAxisDistanceArcsec];
  el[kLunarPenumbralMagnitude] = (el[kLunarPenumbraPlusMoonArcsec] - axisDistance) / (2.0 * moonSemidiameter);
  el[kLunarUmbralMagnitude] = (el[kLunarUmbraPlusMoonArcsec] - axisDistance) / (2.0 * moonSemidiameter);
  return moonSemidiameter;
}

}  // namespace

double SolarEclipseElements(EngineContext& ctx, double jd, ShadowPoint& point, EclipseElements& elements) {
  return SolarElementsAt(ctx, jd, point, elements, true);
}

void FundamentalToGeographic(ShadowPoint& point, const EclipseElements& el) {
  const double e2 = (2.0 - kEarthFlattening) * kEarthFlattening;
  const double d = el[kElemDeclinationDeg] * kDegToRad;
  const double a = el[kElemRightAscensionDeg] * kDegToRad;
  const double x = point[kPointX], y = point[kPointY], zeta = point[kPointZeta];
  const double sinA = std::sin(a), cosA = std::cos(a), sinD = std::sin(d), cosD = std::cos(d);
  const double bigX = -sinA * x - cosA * sinD * y + cosA * cosD * zeta;
  const double bigY = cosA * x - sinA * sinD * y + sinA * cosD * zeta;
  const double bigZ = cosD * y + sinD * zeta;
  point[kPointEquatorialX] = bigX;
  point[kPointEquatorialY] = bigY;
  point[kPointEquatorialZ] = bigZ;
  const double r = std::sqrt(bigX * bigX + bigY * bigY + bigZ * bigZ);
  const double geocentric = r > 0.0 ? std::asin(bigZ / r) : 0.0;
  point[kPointGeocentricLatitudeDeg] = geocentric * kRadToDeg;
  point[kPointGeodeticLatitudeDeg] = std::atan2(std::tan(geocentric), 1.0 - e2) * kRadToDeg;
  const double longitudeDeg = std::atan2(bigY, bigX) * kRadToDeg;
  // The sidereal angles come back out of the hour angles of the elements.
  const double ascension = el[kElemRightAscensionDeg];
  point[kPointLongitudeDtDeg] = SignedDegrees(longitudeDeg - (el[kElemHourAngleDtDeg] + ascension));
  point[kPointLongitudeDeg] = SignedDegrees(longitudeDeg - (el[kElemHourAngleDeg] + ascension));
}

EclipseType ClassifySolarEclipseAt(double /*jd*/, ShadowPoint& point, EclipseElements& elements) {
  return ClassifySolar(point, elements, true);
}

std::optional<double> FindGreatestSolarEclipse(EngineContext& ctx, double jdNewMoon, ShadowPoint& point,
                                               EclipseElements& elements, EclipseType& type) {
  auto axisDistance = [&](double t) { return SolarElementsAt(ctx, t, point, elements, false); };
  const double greatest =
      SearchMinimum(axisDistance, jdNewMoon - kHourDays, jdNewMoon + kHourDays, kTenthSecondDays);
  SolarEclipseElements(ctx, greatest, point, elements);
  type = ClassifySolarEclipseAt(greatest, point, elements);
  if (!type) return std::nullopt;
  return greatest;
}

void SolarEclipseContacts(EngineContext& ctx, double jdGreatest, ContactTimes& contacts) {
  ShadowPoint point;
  EclipseElements el;
  auto penumbra = [&](double t) {
    SolarGeometryAt(ctx, t, point, el);
    return Square(el[kElemAxisDistance]) - Square(el[kElemL1] + el[kElemEarthRadius]);
  };
  auto umbra = [&](double t) {
    SolarGeometryAt(ctx, t, point, el);
    return Square(el[kElemAxisDistance]) - Square(std::fabs(el[kElemL2]) + el[kElemEarthRadius]);
  };
  const double before = jdGreatest - kContactWindowDays, after = jdGreatest + kContactWindowDays;
  contacts.greatestJD = jdGreatest;
  contacts[kSolarP1] = SearchSignChange(penumbra, before, jdGreatest, kHundredthSecondDays, kTenthSecondDays);
  contacts[kSolarP4] = SearchSignChange(penumbra, jdGreatest, after, kHundredthSecondDays, kTenthSecondDays);
  contacts[kSolarU1] = SearchSignChange(umbra, before, jdGreatest, kHundredthSecondDays, kTenthSecondDays);
  contacts[kSolarU4] = SearchSignChange(umbra, jdGreatest, after, kHundredthSecondDays, kTenthSecondDays);
}

namespace {

// L2' at the point under the axis at `jd`.
double UmbralRadiusUnderAxis(EngineContext& ctx, double jd) {
  ShadowPoint point;
  EclipseElements el;
  SolarGeometryAt(ctx, jd, point, el);
  return el[kElemL2Surface];
}

}  // namespace

void MarkHybridEclipse(EngineContext& ctx, std::optional<double> jdU1, double jdGreatest,
                       std::optional<double> jdU4, EclipseType& type) {
  // Without both umbral contacts there is no central phase to compare.
  if (!jdU1 || !jdU4) return;
  const double atU1 = UmbralRadiusUnderAxis(ctx, *jdU1);
  const double atGreatest = UmbralRadiusUnderAxis(ctx, jdGreatest);
  const double atU4 = UmbralRadiusUnderAxis(ctx, *jdU4);
  if (atU1 * atGreatest < 0.0 || atU1 * atU4 < 0.0) {
    type |= kEclipseAnnularTotal;
    type &= ~kEclipseTotal;
  }
}

std::optional<double> FindAnnularTotalTransition(EngineContext& ctx, std::optional<double> t1,
                                                 std::optional<double> t2, int& direction) {
  direction = 0;
  if (!t1 || !t2) return std::nullopt;
  const double at1 = UmbralRadiusUnderAxis(ctx, *t1);
  const double at2 = UmbralRadiusUnderAxis(ctx, *t2);
  if (at1 * at2 > 0.0) return std::nullopt;
  direction = at1 > 0.0 ? 1 : 0;
  const double lo = at1 >= 0.0 ? *t2 : *t1;  // the total end
  const double hi = at1 >= 0.0 ? *t1 : *t2;
  return SearchSignChange([&](double t) { return UmbralRadiusUnderAxis(ctx, t); }, lo, hi, kTenthSecondDays, 0.0);
}

double LunarEclipseElements(EngineContext& ctx, double jd, ShadowPoint& point, EclipseElements& elements) {
  return LunarElementsAt(ctx, jd, point, elements);
}

EclipseType ClassifyLunarEclipseAt(EngineContext& ctx, double jd, ShadowPoint& point, EclipseElements& el) {
  LunarShadowRadii(el);

  // The place that has the Moon in its zenith.
  const double e2 = (2.0 - kEarthFlattening) * kEarthFlattening;
  const double declination = point[kPointGeocentricLatitudeDeg] * kDegToRad;
  point[kPointGeodeticLatitudeDeg] = std::atan2(std::tan(declination), 1.0 - e2) * kRadToDeg;
  double gastDeg, deltaTTermDeg;
  SiderealAngles(ctx, InstantAt(ctx.settings, jd), gastDeg, deltaTTermDeg);
  const double ascension = el[kLunarMoonRightAscensionDeg];
  point[kPointLongitudeDtDeg] = SignedDegrees(ascension - (gastDeg + deltaTTermDeg));
  point[kPointLongitudeDeg] = SignedDegrees(ascension - gastDeg);

  const double axisDistance = el[kLunarAxisDistanceArcsec];
  EclipseType type;
  if (axisDistance > el[kLunarPenumbraPlusMoonArcsec]) type = 0;
  else if (el[kLunarUmbraMinusMoonArcsec] > axisDistance) type = kEclipseTotal;
  else if (axisDistance < el[kLunarUmbraPlusMoonArcsec]) type = kEclipsePartial;
  else type = kEclipsePenumbral;
  if (type) el[kLunarGamma] *= kLunarGammaFactor;
  return type;
}

std::optional<double> FindGreatestLunarEclipse(EngineContext& ctx, double jdFullMoon, ShadowPoint& point,
                                               EclipseElements& elements, EclipseType& type) {
  auto axisDistance = [&](double t) { return LunarElementsAt(ctx, t, point, elements); };
  const double greatest =
      SearchMinimum(axisDistance, jdFullMoon - kHourDays, jdFullMoon + kHourDays, kHundredthSecondDays);
  LunarElementsAt(ctx, greatest, point, elements);
  type = ClassifyLunarEclipseAt(ctx, greatest, point, elements);
  if (!type) return std::nullopt;
  return greatest;
}

void LunarEclipseContacts(EngineContext& ctx, double jdGreatest, ContactTimes& contacts) {
  ShadowPoint point;
  EclipseElements el;
  // Margin of the Moon's centre inside a shadow edge (arcseconds).
  auto inside = [&](int edgeSlot) {
    return [&ctx, &point, &el, edgeSlot](double t) {
      LunarElementsAt(ctx, t, point, el);
      LunarShadowRadii(el);
      return el[edgeSlot] - el[kLunarAxisDistanceArcsec];
    };
  };
  const double before = jdGreatest - kContactWindowDays, after = jdGreatest + kContactWindowDays;
  struct Pair { int edge, first, last; } pairs[] = {{kLunarUmbraPlusMoonArcsec, kLunarU1, kLunarU4},
                                                    {kLunarUmbraMinusMoonArcsec, kLunarU2, kLunarU3},
                                                    {kLunarPenumbraPlusMoonArcsec, kLunarP1, kLunarP4}};
  contacts.greatestJD = jdGreatest;
  for (const Pair& p : pairs) {
    auto f = inside(p.edge);
    contacts[p.first] = SearchSignChange(f, before, jdGreatest, kHundredthSecondDays, kTenthSecondDays);
    contacts[p.last] = SearchSignChange(f, jdGreatest, after, kHundredthSecondDays, kTenthSecondDays);
  }
}

EclipseScreening QuickEclipseCheck(EngineContext& ctx, double jd, SyzygyKind kind) {
  EclipseScreening out;
  const bool fullMoon = kind == kFullMoon;
  const double halfSpan = fullMoon ? kQuickFullMoonHalfSpanDays : kQuickNewMoonHalfSpanDays;
  for (int i = 0;; ++i) {
    const double offset = -halfSpan + i * kQuickStepDays;
    if (offset >= halfSpan) break;
    const SunMoonPlaces p = ApparentSunMoonPlaces(ctx, kBodySunAndMoon, jd + offset);
    double elongationDeg = ElongationDeg(p);
    if (fullMoon) elongationDeg -= 180.0;
    const double separationDeg =
        std::acos(std::cos(elongationDeg * kDegToRad) *
                  std::cos((p.MoonLatitudeDeg - p.SunLatitudeDeg) * kDegToRad)) * kRadToDeg;
    const double sunTerm = kSunMinusEarthRadiusKm / p.SunDistanceKm;
    const double limitDeg = (std::asin(kEarthRadiusKm / p.MoonDistanceKm + (fullMoon ? -sunTerm : sunTerm)) +
                             std::asin(kMoonRadiusKm / p.MoonDistanceKm)) * kRadToDeg;
    if (!(separationDeg < limitDeg)) continue;
    const int s = static_cast<int>(100.0 * (1.0 - separationDeg / limitDeg));
    if (s > out.score) {
      out.score = s;
      out.offsetDays = offset;
    }
  }
  return out;
}

std::string FormatGeoPosition(double longitudeDeg, double latitudeDeg) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2f%c/%.2f%c", std::fabs(longitudeDeg), longitudeDeg >= 0.0 ? 'E' : 'W',
                std::fabs(latitudeDeg), latitudeDeg >= 0.0 ? 'N' : 'S');
  return buffer;
}

EclipseKindName SolarEclipseName(EclipseType type) {
  EclipseKindName name = EclipseKindName::None;
  if (type & kEclipseTotal) name = EclipseKindName::Total;
  if (type & kEclipseAnnular) name = EclipseKindName::Annular;
  if (type & kEclipsePartial) name = EclipseKindName::Partial;
  if (type & kEclipseAnnularTotal) name = EclipseKindName::AnnularTotal;
  return name;
}

EclipseKindName LunarEclipseName(EclipseType type) {
  if (type & kEclipseTotal) return EclipseKindName::Total;
  if (type & kEclipsePartial) return EclipseKindName::Partial;
  if (type & kEclipsePenumbral) return EclipseKindName::Penumbral;
  return EclipseKindName::None;
}

}  // namespace orv
