#include "ephemeris/jpl_position.h"

#include <cmath>
#include <string>

#include "ephemeris/angles.h"
#include "ephemeris/earth_orientation.h"
#include "ephemeris/jpl_reader.h"

namespace orv {
namespace {

// Light time for one AU, days (extended precision), for the light-time equation.
constexpr long double kLightDaysPerAu = 0.005775518331436996L;
// The same in double: the Earth's velocity (AU/day) divided by c.
constexpr double kVelocityToC = 0.00577551833108953;
// 2 GM_sun / c^2 in AU: relativistic delay and light deflection by the Sun.
constexpr double kSunSchwarzschildAu = 1.974e-08;
// Light-time iteration: change of distance that ends it (AU), and the number of
// failed tests after which it stops.
constexpr double kLightTimeToleranceAu = 1e-12;
constexpr int kLightTimeMaxFailures = 10;

struct Vec3 {
  double x = 0.0, y = 0.0, z = 0.0;
};
Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator*(double k, const Vec3& a) { return {k * a.x, k * a.y, k * a.z}; }
double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Norm(const Vec3& a) { return std::sqrt(Dot(a, a)); }
Vec3 Apply(const Matrix3 m, const Vec3& v) {
  return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
          m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

// Barycentric position (AU) of a body, and its velocity (AU/day) when asked.
Vec3 Barycentric(JplEphemeris& eph, double jd, int body, Vec3* velocity = nullptr) {
  double pv[6] = {};
  int inside = 0;
  JplState(eph, jd, body, kJplSolarSystemBarycentre, pv, inside);
  if (!inside) throw JplError(" STATE: Epoch out of range.");
  if (velocity) *velocity = {pv[3], pv[4], pv[5]};
  return {pv[0], pv[1], pv[2]};
}

// Light time (days) over distance U with the Sun's delay, for an observer at
// E and a body at Q from the Sun (all AU).
long double LightTimeWithDelay(double U, double E, double Q) {
  const long double delay = kSunSchwarzschildAu * std::log((E + U + Q) / (E - U + Q));
  return (U + delay) * kLightDaysPerAu;
}

}  // namespace

int JplDeNumber(int ephemerisCode) {
  switch (ephemerisCode) {
    case 6: return 406;
    case 7: return 422;
    case kEphemerisDe431: return 431;
    case kEphemerisDe441: return 441;
    default: return 0;
  }
}

JplPositionResult JplApparentPosition(EngineContext& ctx, int ephemerisCode, double jdTT, int target, int mode) {
  if (ctx.jpl == nullptr || !ctx.jpl->IsOpen()) throw JplError("no JPL ephemeris is open");
  const int deNumber = JplDeNumber(ephemerisCode);
  if (deNumber == 0) throw JplError("ephemeris code " + std::to_string(ephemerisCode) + " is not a JPL ephemeris");
  if (target < kJplMercury || target > kJplSun || target == kJplEarth)
    throw JplError("body " + std::to_string(target) + " has no geocentric place");
  JplEphemeris& eph = *ctx.jpl;
  JplOpenEphemeris(eph, deNumber);
  // States in AU and AU/day, barycentric. The state operation takes the unit
  // at its first call after a restart, so a file last used in km restarts;
  // otherwise the record in the buffer is kept (callers that want every
  // request to start afresh raise JplRestart first; the results are the same).
  if (eph.JplKilometres != 0 || (!eph.StateRestart && eph.RecordLengthUsed != eph.header.Span[2])) {
    eph.JplKilometres = 0;
    JplRestart(eph);
  }
  eph.JplBarycentric = 1;

  const double t = jdTT;
  const bool sunTarget = target == kJplSun;
  Vec3 earthVelocity;
  const Vec3 earth = Barycentric(eph, t, kJplEarth, &earthVelocity);
  const Vec3 sun = Barycentric(eph, t, kJplSun);

  // Geometric place and first light time.
  Vec3 body = sunTarget ? sun : Barycentric(eph, t, target);
  Vec3 U = body - earth;
  double distance = Norm(U);
  double earthSun = 0.0;  // E, kept from t
  Vec3 bodyFromSun;       // Q vector of the last iteration
  long double lightTime;
  if (sunTarget) {
    lightTime = distance * kLightDaysPerAu;
  } else {
    earthSun = Norm(earth - sun);
    bodyFromSun = body - sun;
    lightTime = LightTimeWithDelay(distance, earthSun, Norm(bodyFromSun));
  }
  JplPositionResult r;
  r.GeometricDistance = distance;

  // Light-time iteration: the body at t - tau seen from the Earth at t.
  double previous = distance;
  for (int failures = 0;;) {
    const double emitted = t - static_cast<double>(lightTime);
    body = Barycentric(eph, emitted, target);
    U = body - earth;
    distance = Norm(U);
    if (sunTarget) {
      lightTime = distance * kLightDaysPerAu;
    } else {
      bodyFromSun = body - Barycentric(eph, emitted, kJplSun);
      lightTime = LightTimeWithDelay(distance, earthSun, Norm(bodyFromSun));
    }
    if (std::fabs(distance - previous) < kLightTimeToleranceAu) break;
    if (++failures > kLightTimeMaxFailures) break;
    previous = distance;
  }
  r.LightTime = static_cast<double>(lightTime);
  r.LightTimeDistance = distance;

  const Vec3 p = (1.0 / distance) * U;
  // Deflection of light by the Sun (USNO Circular 179, eq. 7.63).
  Vec3 p1 = p;
  if (!sunTarget) {
    const Vec3 q = (1.0 / Norm(bodyFromSun)) * bodyFromSun;
    const Vec3 e = (1.0 / earthSun) * (earth - sun);
    const double g1 = kSunSchwarzschildAu / earthSun;
    p1 = p + (g1 / (1.0 + Dot(q, e))) * (Dot(p, q) * e - Dot(e, p) * q);
  }
  // Annual aberration, relativistic form (Circular 179, eq. 7.40).
  const Vec3 V = kVelocityToC * earthVelocity;
  const double betaInverse = std::sqrt(1.0 - Dot(V, V));
  const double f1 = Dot(p1, V);
  const Vec3 p2 = (betaInverse / (1.0 + f1)) * p1 + ((1.0 + f1 / (1.0 + betaInverse)) / (1.0 + f1)) * V;

  Vec3 p4;
  if (mode == kJplAstrometric) {
    p4 = p;
  } else {
    Matrix3 precession, nutation;
    PrecessionMatrix(ctx, t, 1, precession);
    NutationMatrix(ctx, t, 1, nutation);
    p4 = Apply(nutation, Apply(precession, p2));
  }

  r.X = p4.x * r.GeometricDistance;
  r.Y = p4.y * r.GeometricDistance;
  r.Z = p4.z * r.GeometricDistance;
  r.RightAscension = std::atan2(p4.y, p4.x);
  if (r.RightAscension < 0.0) r.RightAscension += kTwoPi;
  r.Declination = std::asin(p4.z);

  const double obliquity = TrueObliquity(ctx, t).rad;
  const double c = std::cos(obliquity), s = std::sin(obliquity);
  const Vec3 ecliptic = {p4.x, c * p4.y + s * p4.z, -s * p4.y + c * p4.z};
  r.Longitude = std::atan2(ecliptic.y, ecliptic.x);
  if (r.Longitude < 0.0) r.Longitude += kTwoPi;
  r.Latitude = std::asin(ecliptic.z);
  return r;
}

}  // namespace orv
