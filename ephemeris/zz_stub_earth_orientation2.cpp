// TEMPORARY stand-in for the Earth-orientation operations that the JPL
// position pipeline calls (PrecessionMatrix, NutationMatrix, TrueObliquity),
// until ephemeris/earth_orientation.cpp is merged; delete this file then.
// Precession: IAU 1976 angles (model 1, within two centuries of J2000.0) or
// IAU 2006 angles (model 2). Nutation: the internal model reads the JPL file;
// IAU 2000B is NOT implemented here and gives zero. No E.O.P correction.
#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/earth_orientation.h"
#include "ephemeris/jpl_reader.h"

namespace orv {
namespace {

double MeanObliquityStub(const EngineContext& ctx, double jdTT) {
  const long double T = JulianCenturies(jdTT);
  long double arcsec;
  if (ctx.settings.ObliquityModel == kObliquityIau2006)
    arcsec = 84381.406L + T * (-46.836769L + T * (-0.0001831L + T * (0.0020034L + T * (-5.76e-7L + T * -4.34e-8L))));
  else
    arcsec = 84381.448L + T * (-46.815L + T * (-0.00059L + T * 0.001813L));
  return static_cast<double>(arcsec * kArcsecToRad);
}

void NutationStub(EngineContext& ctx, double jdTT, double& dpsi, double& deps) {
  const int code = ctx.settings.EphemerisCode;
  if (ctx.settings.NutationModel == kNutationInternal && (code == 7 || code == 8 || code == 9))
    JplNutationAngles(ctx, jdTT, dpsi, deps);
  else if (ctx.settings.NutationModel == kNutationIau2000B)
    dpsi = deps = 0.0;  // stand-in only
}

}  // namespace

void PrecessionMatrix(const EngineContext& ctx, double jdTT, int direction, Matrix3 out) {
  const long double T = JulianCenturies(jdTT);
  long double zeta, z, theta;  // arcseconds
  if (ctx.settings.PrecessionModel == kPrecessionIau2006) {
    zeta = 2.650545L + T * (2306.083227L + T * (0.2988499L + T * (0.01801828L + T * (-5.971e-06L + T * -3.173e-07L))));
    z = -2.650545L + T * (2306.077181L + T * (1.0927348L + T * (0.01826837L + T * (-2.8596e-05L + T * -2.904e-07L))));
    theta = T * (2004.191903L + T * (-0.4294934L + T * (-0.04182264L + T * (-7.089e-06L + T * -1.274e-07L))));
  } else {
    zeta = T * (2306.2181L + T * (0.30188L + T * 0.017998L));
    z = T * (2306.2181L + T * (1.09468L + T * 0.018203L));
    theta = T * (2004.3109L + T * (-0.42665L + T * -0.041833L));
  }
  const double a = -static_cast<double>(z * kArcsecToRad), b = static_cast<double>(theta * kArcsecToRad),
               c = -static_cast<double>(zeta * kArcsecToRad);
  const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b), cc = std::cos(c),
               sc = std::sin(c);
  const double P[3][3] = {{ca * cb * cc - sa * sc, ca * cb * sc + sa * cc, -ca * sb},
                          {-sa * cb * cc - ca * sc, -sa * cb * sc + ca * cc, sa * sb},
                          {sb * cc, sb * sc, cb}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) out[i][j] = direction == 1 ? P[i][j] : P[j][i];
}

void NutationMatrix(EngineContext& ctx, double jdTT, int direction, Matrix3 out) {
  if (ctx.jpl) {
    ctx.jpl->JplKilometres = 0;
    ctx.jpl->JplBarycentric = 1;
  }
  double dpsi = 0.0, deps = 0.0;
  NutationStub(ctx, jdTT, dpsi, deps);
  const double eps = MeanObliquityStub(ctx, jdTT);
  const double a = -(eps + deps), b = -dpsi, c = eps;
  const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b), cc = std::cos(c),
               sc = std::sin(c);
  const double N[3][3] = {{cb, sb * cc, sb * sc},
                          {-ca * sb, ca * cb * cc - sa * sc, ca * cb * sc + sa * cc},
                          {sa * sb, -sa * cb * cc - ca * sc, -sa * cb * sc + ca * cc}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) out[i][j] = direction == 1 ? N[i][j] : N[j][i];
}

double TrueObliquity(EngineContext& ctx, double jdTT) {
  const double eps = MeanObliquityStub(ctx, jdTT);
  double dpsi = 0.0, deps = 0.0;
  NutationStub(ctx, jdTT, dpsi, deps);
  ctx.obliquity.obliquity = eps;
  ctx.obliquity.cosine = std::cos(eps + deps);
  ctx.obliquity.sine = std::sin(eps + deps);
  return eps + deps;
}

}  // namespace orv
