#include "eclipses/eclipse_path.h"

#include <cmath>
#include <limits>

#include "eclipses/eclipse_constants.h"
#include "ephemeris/angles.h"

namespace orv {
namespace {

// Half the interval of the numerical time derivatives of the elements (one minute).
constexpr double kDerivativeHalfStepDays = 1.0 / 1440.0;
// Fixed-point steps of a limit point (the height on the ellipsoid, zeta, is
// refined by each): the change after the fourth is far below a metre.
constexpr int kLimitIterations = 5;
// Mean radius of the Earth, km (IUGG).
constexpr double kMeanEarthRadiusKm = 6371.0088;

double Square(double v) { return v * v; }

// The elements at one instant with their time derivatives (per day).
struct ElementsWithRates {
  EclipseElements el;
  ShadowPoint axis;  // the point under the shadow axis, with its place
  EclipseType type = 0;
  double xRate = 0.0, yRate = 0.0;
  double muRateRad = 0.0;  // the hour angle's rate, radians a day
};

ElementsWithRates ElementsAt(EngineContext& ctx, double jd) {
  ElementsWithRates out;
  ShadowPoint point;
  EclipseElements before, after;
  SolarEclipseElements(ctx, jd - kDerivativeHalfStepDays, point, before);
  SolarEclipseElements(ctx, jd + kDerivativeHalfStepDays, point, after);
  SolarEclipseElements(ctx, jd, out.axis, out.el);
  out.type = ClassifySolarEclipseAt(jd, out.axis, out.el);
  const double span = 2.0 * kDerivativeHalfStepDays;
  out.xRate = (after[kElemX] - before[kElemX]) / span;
  out.yRate = (after[kElemY] - before[kElemY]) / span;
  out.muRateRad = NormalizeDegrees(after[kElemHourAngleDeg] - before[kElemHourAngleDeg]) * kDegToRad / span;
  return out;
}

// Height zeta of the surface point above the fundamental plane at (xi, eta)
// on the ellipsoid (the same reduction as the classification); false when
// the point is off the Earth's disc.
bool SurfaceZeta(const EclipseElements& el, double xi, double eta, double& zeta) {
  const double e2 = (2.0 - kEarthFlattening) * kEarthFlattening;
  const double d = el[kElemDeclinationDeg] * kDegToRad;
  const double rho1 = std::sqrt(1.0 - e2 * Square(std::cos(d)));
  const double rho2 = std::sqrt(1.0 - e2 * Square(std::sin(d)));
  const double eta1 = eta / rho1;
  const double b = 1.0 - xi * xi - eta1 * eta1;
  if (b < 0.0) return false;
  const double zeta1 = std::sqrt(b);
  zeta = (zeta1 * std::sqrt(1.0 - e2) / (rho1 * rho2) - eta1 * e2 * std::sin(d) * std::cos(d) / (rho1 * rho2)) * rho2;
  return true;
}

GeoPoint Geographic(const EclipseElements& el, double xi, double eta, double zeta) {
  ShadowPoint p;
  p[kPointX] = xi;
  p[kPointY] = eta;
  p[kPointZeta] = zeta;
  FundamentalToGeographic(p, el);
  return {p[kPointLongitudeDeg], p[kPointGeodeticLatitudeDeg]};
}

// A point of a limit at one instant: where an observer sees the edge of the
// shadow cone (radius l - zeta tan f on its own plane) touch the Sun's limb
// at the closest approach, i.e. the observer's offset from the axis has the
// cone's radius and is perpendicular to the shadow's motion relative to the
// observer. `side` picks one of the two limits. False when that point is
// off the Earth.
bool LimitPoint(const ElementsWithRates& e, bool umbral, int side, GeoPoint& out) {
  const EclipseElements& el = e.el;
  const double x = el[kElemX], y = el[kElemY];
  const double l = umbral ? el[kElemL2] : el[kElemL1];
  const double tanF = umbral ? el[kElemTanF2] : el[kElemTanF1];
  const double sinD = std::sin(el[kElemDeclinationDeg] * kDegToRad);
  const double cosD = std::cos(el[kElemDeclinationDeg] * kDegToRad);
  double xi = x, eta = y, zeta = 0.0;
  if (!SurfaceZeta(el, xi, eta, zeta)) zeta = 0.0;
  for (int i = 0; i < kLimitIterations; ++i) {
    const double radius = std::fabs(l - zeta * tanF);
    // The observer's own motion on the plane as the Earth turns.
    const double xiRate = e.muRateRad * (zeta * cosD - eta * sinD);
    const double etaRate = e.muRateRad * xi * sinD;
    const double a = e.xRate - xiRate, b = e.yRate - etaRate;
    const double n = std::hypot(a, b);
    if (!(n > 0.0)) return false;
    xi = x - side * radius * b / n;
    eta = y + side * radius * a / n;
    if (!SurfaceZeta(el, xi, eta, zeta)) return false;
  }
  out = Geographic(el, xi, eta, zeta);
  return true;
}

// The two points where the penumbra's edge (radius l1 on the fundamental
// plane) crosses the Earth's limb (zeta = 0: the Sun on the horizon), on the
// left [0] and the right [1] of the direction from the Earth's centre to the
// axis; false for a side without a crossing.
constexpr int kLimbSamples = 360;
constexpr int kLimbHalvings = 40;
void HorizonPoints(const EclipseElements& el, GeoPoint out[2], bool found[2]) {
  found[0] = found[1] = false;
  const double e2 = (2.0 - kEarthFlattening) * kEarthFlattening;
  const double d = el[kElemDeclinationDeg] * kDegToRad;
  const double rho1 = std::sqrt(1.0 - e2 * Square(std::cos(d)));
  const double x = el[kElemX], y = el[kElemY], l1 = el[kElemL1];
  auto f = [&](double theta) { return Square(std::cos(theta) - x) + Square(rho1 * std::sin(theta) - y) - l1 * l1; };
  const double axisAngle = std::atan2(y, x);
  double previous = f(0.0);
  for (int i = 1; i <= kLimbSamples; ++i) {
    double a = 2.0 * M_PI * (i - 1) / kLimbSamples, b = 2.0 * M_PI * i / kLimbSamples;
    const double fb = f(b);
    if ((previous < 0.0) != (fb < 0.0)) {
      double fa = previous;
      for (int k = 0; k < kLimbHalvings; ++k) {
        const double m = 0.5 * (a + b), fm = f(m);
        if ((fa < 0.0) == (fm < 0.0)) {
          a = m;
          fa = fm;
        } else {
          b = m;
        }
      }
      const double theta = 0.5 * (a + b);
      const int side = std::sin(theta - axisAngle) >= 0.0 ? 0 : 1;
      out[side] = Geographic(el, std::cos(theta), rho1 * std::sin(theta), 0.0);
      found[side] = true;
    }
    previous = fb;
  }
}

void Append(std::vector<GeoLine>& runs, bool& open, bool valid, const GeoPoint& p) {
  if (!valid) {
    open = false;
    return;
  }
  if (!open) runs.emplace_back();
  runs.back().push_back(p);
  open = true;
}

// Distance of `p` from the polyline runs, km, in a local plane around p.
double DistanceToRuns(const GeoPoint& p, const std::vector<GeoLine>& runs) {
  const double kmPerDegLat = kMeanEarthRadiusKm * kDegToRad;
  const double kmPerDegLon = kmPerDegLat * std::cos(p.latDeg * kDegToRad);
  auto local = [&](const GeoPoint& q, double& u, double& v) {
    u = NormalizeDegrees(q.lonDeg - p.lonDeg + 180.0) - 180.0;
    u *= kmPerDegLon;
    v = (q.latDeg - p.latDeg) * kmPerDegLat;
  };
  double best = std::numeric_limits<double>::infinity();
  for (const GeoLine& run : runs) {
    for (size_t i = 0; i + 1 < run.size(); ++i) {
      double u1, v1, u2, v2;
      local(run[i], u1, v1);
      local(run[i + 1], u2, v2);
      const double du = u2 - u1, dv = v2 - v1;
      const double len2 = du * du + dv * dv;
      double s = len2 > 0.0 ? -(u1 * du + v1 * dv) / len2 : 0.0;
      s = std::fmax(0.0, std::fmin(1.0, s));
      best = std::fmin(best, std::hypot(u1 + s * du, v1 + s * dv));
    }
  }
  return best;
}

}  // namespace

double GroundDistanceKm(const GeoPoint& a, const GeoPoint& b) {
  const double p1 = a.latDeg * kDegToRad, p2 = b.latDeg * kDegToRad;
  const double dl = (b.lonDeg - a.lonDeg) * kDegToRad;
  const double h = Square(std::sin((p2 - p1) / 2.0)) + std::cos(p1) * std::cos(p2) * Square(std::sin(dl / 2.0));
  return 2.0 * kMeanEarthRadiusKm * std::asin(std::sqrt(std::fmin(1.0, h)));
}

EclipsePath ComputeEclipsePath(EngineContext& ctx, const ContactTimes& contacts, double stepDays) {
  EclipsePath path;
  if (!contacts[kSolarP1] || !contacts[kSolarP4]) return path;
  const double start = *contacts[kSolarP1], end = *contacts[kSolarP4];
  if (!(stepDays > 0.0) || end <= start) return path;
  const int steps = static_cast<int>(std::ceil((end - start) / stepDays));
  bool umbralOpen[2] = {false, false}, penumbralOpen[2] = {false, false}, horizonOpen[2] = {false, false};
  for (int i = 0; i <= steps; ++i) {
    const double t = std::fmin(start + i * stepDays, end);
    const ElementsWithRates e = ElementsAt(ctx, t);
    const ShadowPoint& axis = e.axis;
    if (e.type & kEclipseCentral) {
      CentralLinePoint c;
      c.jd = t;
      c.lonDeg = axis[kPointLongitudeDeg];
      c.latDeg = axis[kPointGeodeticLatitudeDeg];
      c.sunAltitudeDeg = std::asin(std::fmax(-1.0, std::fmin(1.0, axis[kPointZeta]))) * kRadToDeg;
      path.central.push_back(c);
    }
    for (int side = 0; side < 2; ++side) {
      GeoPoint p;
      const bool umbral = LimitPoint(e, true, side == 0 ? 1 : -1, p);
      Append(path.umbralLimits[side], umbralOpen[side], umbral, p);
      const bool penumbral = LimitPoint(e, false, side == 0 ? 1 : -1, p);
      Append(path.penumbralLimits[side], penumbralOpen[side], penumbral, p);
    }
    GeoPoint horizon[2];
    bool onLimb[2];
    HorizonPoints(e.el, horizon, onLimb);
    for (int side = 0; side < 2; ++side) Append(path.horizonLimits[side], horizonOpen[side], onLimb[side], horizon[side]);
  }
  for (CentralLinePoint& c : path.central) {
    const GeoPoint p{c.lonDeg, c.latDeg};
    const double a = DistanceToRuns(p, path.umbralLimits[0]), b = DistanceToRuns(p, path.umbralLimits[1]);
    c.widthKm = std::isfinite(a) && std::isfinite(b) ? a + b : 0.0;
  }
  return path;
}

}  // namespace orv
