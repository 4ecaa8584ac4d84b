// TEMPORARY stand-in for the Earth-orientation operations that PLAN404 calls,
// until ephemeris/earth_orientation.cpp lands; delete this file then.
// IAU 2006 models only, whatever the settings say.
#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/earth_orientation.h"

namespace orv {
namespace {

// IAU 2006 mean obliquity, arc-seconds -> rad.
double StubObliquityIau2006(double jdTT) {
  const long double t = (jdTT - kJ2000JD) * kCenturiesPerDay;
  const long double eps =
      84381.406L + t * (-46.836769L + t * (-0.0001831L + t * (0.0020034L + t * (-5.76e-7L + t * -4.34e-8L))));
  return static_cast<double>(eps * kArcsecToRad);
}

// IAU 2006 precession angles zeta, theta, z (rad).
void StubAnglesIau2006(long double t, double& zeta, double& theta, double& z) {
  zeta = static_cast<double>(
      (2.650545L + t * (2306.083227L + t * (0.2988499L + t * (0.01801828L + t * (-5.971e-06L + t * -3.173e-07L))))) *
      kArcsecToRad);
  z = static_cast<double>(
      (-2.650545L + t * (2306.077181L + t * (1.0927348L + t * (0.01826837L + t * (-2.8596e-05L + t * -2.904e-07L))))) *
      kArcsecToRad);
  theta = static_cast<double>(
      (t * (2004.191903L + t * (-0.4294934L + t * (-0.04182264L + t * (-7.089e-06L + t * -1.274e-07L))))) *
      kArcsecToRad);
}

}  // namespace

double MeanObliquity(EngineContext& ctx, double jdTT) {
  const double eps = StubObliquityIau2006(jdTT);
  ctx.obliquity.obliquity = eps;
  ctx.obliquity.cosine = std::cos(eps);
  ctx.obliquity.sine = std::sin(eps);
  return eps;
}

void PrecessVector(const EngineContext& /*ctx*/, double v[3], double jdTT, int direction) {
  if (jdTT == kJ2000JD) return;
  double zeta, theta, z;
  StubAnglesIau2006((jdTT - kJ2000JD) * kCenturiesPerDay, zeta, theta, z);
  const double ca = std::cos(-z), sa = std::sin(-z);
  const double cb = std::cos(theta), sb = std::sin(theta);
  const double cc = std::cos(-zeta), sc = std::sin(-zeta);
  const double p[3][3] = {
      {ca * cb * cc - sa * sc, ca * cb * sc + sa * cc, -ca * sb},
      {-sa * cb * cc - ca * sc, -sa * cb * sc + ca * cc, sa * sb},
      {sb * cc, sb * sc, cb},
  };
  double r[3];
  for (int i = 0; i < 3; ++i) {
    r[i] = direction < 0 ? p[i][0] * v[0] + p[i][1] * v[1] + p[i][2] * v[2]
                         : p[0][i] * v[0] + p[1][i] * v[1] + p[2][i] * v[2];
  }
  v[0] = r[0];
  v[1] = r[1];
  v[2] = r[2];
}

}  // namespace orv
