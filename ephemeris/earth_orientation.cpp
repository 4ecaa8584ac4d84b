#include "ephemeris/earth_orientation.h"

#include <cmath>

#include "data/eop_nutation.h"
#include "data/longterm_precession.h"
#include "data/nutation_iau2000b.h"
#include "ephemeris/angles.h"
#include "ephemeris/jpl_reader.h"
#include "time/polynomial.h"

namespace orv {
namespace {

using Real = long double;  // series and polynomials are evaluated in extended precision

// Owen1990 uses the IAU 1976 expressions up to this many centuries from J2000.0.
constexpr double kOwenIau1976LimitCenturies = 2.0;
// Obliquity of the ecliptic at J2000.0 that the long-term angles refer to, degrees.
constexpr double kOwenObliquityJ2000Deg = 23.4392911111111;

constexpr Real kTwoPiL = 2.0L * 3.141592653589793L;
// 0.1 microarcsecond in radians.
constexpr Real kTenthMicroarcsecToRad = 2.7777777777777777e-11L * 0.017453292519943295L;
constexpr double kArcsecPerDegree = 3600.0;

// IAU 2006 adjustment of IAU 2000 nutation (Capitaine et al. 2005; as in
// IERS Conventions 2010, eq. 5.39): J2 rate and the precession-rate change.
constexpr Real kIau2006J2RatePerCentury = -2.7774e-06L;
constexpr Real kIau2006LongitudeScale = 4.697e-07L;

// Pole-offset correction of the nutation in longitude, milliarcseconds.
constexpr double kEopFirstJD = 2437684.5;   // 1962-01-20: the table starts
constexpr double kEopLastJD = 2456625.5;    // 2013-11-29: the table ends
constexpr double kEopBeforeMas = 65.84424303;
constexpr double kEopAfterMas = -81.073396305;
// A linear fit of the same offsets, used with IAU 2000B nutation.
constexpr double kEop2000BConstantMas = -41.3167869740399;
constexpr double kEop2000BRateMasPerCentury = -302.196200887435;
// Period of the first periodic term of each table row, Julian centuries.
constexpr Real kEopFirstPeriodCenturies = 12.0L;

// Models actually computed for the settings in effect.
enum class Precession { kOwen1990, kIau2006 };
enum class Obliquity { kOwen1990, kIau2006 };
enum class NutationKind { kInternal, kIau2000B };

Precession PrecessionOf(const CalcSettings& s) {
  return s.PrecessionModel == kPrecessionOwen1990 ? Precession::kOwen1990 : Precession::kIau2006;
}
Obliquity ObliquityOf(const CalcSettings& s) {
  return s.ObliquityModel == kObliquityOwen1990 ? Obliquity::kOwen1990 : Obliquity::kIau2006;
}
NutationKind NutationOf(const CalcSettings& s) {
  return s.NutationModel == kNutationInternal ? NutationKind::kInternal : NutationKind::kIau2000B;
}

bool EphemerisTakesEopCorrection(int code) {
  return code == kEphemerisDe431 || code == kEphemerisDe441;
}

// Value in degrees of a long-term Chebyshev series at T (Julian centuries);
// false outside [-200, 200) centuries. The polynomials T0..T9 are written out
// as powers of x, x = (T - centre) / 40 in [-1, 1).
bool LongTermSeriesDeg(const data::LongTermChebyshevInterval (&table)[data::kLongTermIntervalCount],
                       double T, double& valueDeg) {
  const data::LongTermChebyshevInterval* interval = nullptr;
  for (const auto& row : table)
    if (T >= row.fromCenturies && T < row.belowCenturies) interval = &row;
  if (!interval) return false;
  const Real x = (T - interval->centreCenturies) * 0.025L;
  const Real x2 = x * x, x3 = x2 * x, x4 = x3 * x, x5 = x4 * x, x6 = x5 * x, x7 = x6 * x,
             x8 = x7 * x, x9 = x8 * x;
  const Real chebyshev[10] = {
      1.0L,
      x,
      2 * x2 - 1,
      4 * x3 - 3 * x,
      8 * x4 - 8 * x2 + 1,
      16 * x5 - 20 * x3 + 5 * x,
      32 * x6 - 48 * x4 + 18 * x2 - 1,
      64 * x7 - 112 * x5 + 56 * x3 - 7 * x,
      128 * x8 - 256 * x6 + 160 * x4 - 32 * x2 + 1,
      256 * x9 - 576 * x7 + 432 * x5 - 120 * x3 + 9 * x,
  };
  Real sum = 0.0L;
  for (int n = 0; n < 10; ++n) sum += interval->coefficients[n] * chebyshev[n];
  valueDeg = static_cast<double>(sum);
  return true;
}

// P = R3(-z) R2(theta) R3(-zeta): J2000.0 to the mean equator and equinox of date.
void PrecessionFromAngles(double zeta, double theta, double z, Matrix3 p) {
  const double a = -z, b = theta, c = -zeta;
  const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b),
               cc = std::cos(c), sc = std::sin(c);
  p[0][0] = ca * cb * cc - sa * sc;
  p[0][1] = ca * cb * sc + sa * cc;
  p[0][2] = -ca * sb;
  p[1][0] = -sa * cb * cc - ca * sc;
  p[1][1] = -sa * cb * sc + ca * cc;
  p[1][2] = sa * sb;
  p[2][0] = sb * cc;
  p[2][1] = sb * sc;
  p[2][2] = cb;
}

void Transpose(Matrix3 m) {
  for (int i = 0; i < 3; ++i)
    for (int j = i + 1; j < 3; ++j) {
      const double t = m[i][j];
      m[i][j] = m[j][i];
      m[j][i] = t;
    }
}

void SetIdentity(Matrix3 m) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m[i][j] = i == j ? 1.0 : 0.0;
}

// Delaunay arguments for the IAU 2000B series (Simon et al. 1994, as in the
// IERS Conventions 2003, with the MHB2000 roundings of l' and D), arcseconds,
// coefficients of T^0..T^4.
constexpr Real kArgL[5] = {485868.249036L, 1717915923.2178L, 31.8792L, 0.051635L, -0.0002447L};
constexpr Real kArgLPrime[5] = {1287104.79305L, 129596581.0481L, -0.5532L, 0.000136L, -1.149e-05L};
constexpr Real kArgF[5] = {335779.526232L, 1739527262.8478L, -12.7512L, -0.001037L, 4.17e-06L};
constexpr Real kArgD[5] = {1072260.70369L, 1602961601.209L, -6.3706L, 0.006593L, -3.169e-05L};
constexpr Real kArgOmega[5] = {450160.398036L, -6962890.5431L, 7.4722L, 0.007702L, -5.939e-05L};

// An argument polynomial in arcseconds reduced to [0, 360) degrees, in radians.
double DelaunayArgumentRad(const Real (&c)[5], Real T) {
  return NormalizeDegrees(static_cast<double>(HornerConstantFirst(c, T) / kArcsecPerDegree)) * kDegToRad;
}

}  // namespace

// ---------------------------------------------------------------- obliquity

// IAU 1976 mean obliquity (Lieske et al. 1977, A&A 58, 1), radians.
double MeanObliquityIau1976(double jdTT) {
  static constexpr Real c[4] = {84381.448L, -46.815L, -0.00059L, 0.001813L};
  return static_cast<double>(HornerConstantFirst(c, static_cast<Real>(JulianCenturies(jdTT))) * kArcsecToRad);
}

// IAU 2006 mean obliquity (Capitaine et al. 2003, A&A 412, 567, P03), radians.
double MeanObliquityIau2006(double jdTT) {
  static constexpr Real c[6] = {84381.406L, -46.836769L, -0.0001831L, 0.0020034L, -5.76e-07L, -4.34e-08L};
  return static_cast<double>(HornerConstantFirst(c, static_cast<Real>(JulianCenturies(jdTT))) * kArcsecToRad);
}

// Long-term mean obliquity from the Chebyshev series, radians; 0 outside
// [-200, 200) centuries.
double MeanObliquityOwen1990(double jdTT) {
  double valueDeg = 0.0;
  if (!LongTermSeriesDeg(data::kLongTermObliquity, JulianCenturies(jdTT), valueDeg)) return 0.0;
  return valueDeg * kDegToRad;
}

ObliquityAngle ObliquityFromRadians(double rad) { return {rad, std::cos(rad), std::sin(rad)}; }

ObliquityAngle MeanObliquity(const EngineContext& ctx, double jdTT) {
  double eps;
  if (ObliquityOf(ctx.settings) == Obliquity::kOwen1990) {
    // |T| <= 2 exactly still takes IAU 1976.
    eps = std::fabs(JulianCenturies(jdTT)) <= kOwenIau1976LimitCenturies ? MeanObliquityIau1976(jdTT)
                                                                          : MeanObliquityOwen1990(jdTT);
  } else {
    eps = MeanObliquityIau2006(jdTT);
  }
  return ObliquityFromRadians(eps);
}

ObliquityAngle TrueObliquity(EngineContext& ctx, double jdTT) {
  const double eps = MeanObliquity(ctx, jdTT).rad;
  double dpsi = 0.0, deps = 0.0;
  Nutation(ctx, jdTT, dpsi, deps);
  return ObliquityFromRadians(eps + deps);
}

// --------------------------------------------------------------- precession

// IAU 1976 equatorial precession angles from J2000.0 (Lieske et al. 1977), radians.
void PrecessionAnglesIau1976(double T, double& zeta, double& theta, double& z) {
  static constexpr Real cZeta[4] = {0.0L, 2306.2181L, 0.30188L, 0.017998L};
  static constexpr Real cZ[4] = {0.0L, 2306.2181L, 1.09468L, 0.018203L};
  static constexpr Real cTheta[4] = {0.0L, 2004.3109L, -0.42665L, -0.041833L};
  zeta = static_cast<double>(HornerConstantFirst(cZeta, static_cast<Real>(T)) * kArcsecToRad);
  z = static_cast<double>(HornerConstantFirst(cZ, static_cast<Real>(T)) * kArcsecToRad);
  theta = static_cast<double>(HornerConstantFirst(cTheta, static_cast<Real>(T)) * kArcsecToRad);
}

// IAU 2006 equatorial precession angles zeta_A, z_A, theta_A (Capitaine et al.
// 2003, P03), radians.
void PrecessionAnglesIau2006(double T, double& zeta, double& theta, double& z) {
  static constexpr Real cZeta[6] = {2.650545L, 2306.083227L, 0.2988499L, 0.01801828L, -5.971e-06L, -3.173e-07L};
  static constexpr Real cZ[6] = {-2.650545L, 2306.077181L, 1.0927348L, 0.01826837L, -2.8596e-05L, -2.904e-07L};
  static constexpr Real cTheta[6] = {0.0L, 2004.191903L, -0.4294934L, -0.04182264L, -7.089e-06L, -1.274e-07L};
  zeta = static_cast<double>(HornerConstantFirst(cZeta, static_cast<Real>(T)) * kArcsecToRad);
  z = static_cast<double>(HornerConstantFirst(cZ, static_cast<Real>(T)) * kArcsecToRad);
  theta = static_cast<double>(HornerConstantFirst(cTheta, static_cast<Real>(T)) * kArcsecToRad);
}

// Long-term precession: P = E(chi, -omega, -psi) R1(eps0), with the three
// angles from the Chebyshev series; J2000.0 equator to mean equator of date.
bool LongTermPrecessionAnglesDeg(double jdTT, double& chiDeg, double& omegaDeg, double& psiDeg) {
  const double T = JulianCenturies(jdTT);
  chiDeg = omegaDeg = psiDeg = 0.0;
  return LongTermSeriesDeg(data::kLongTermChi, T, chiDeg) && LongTermSeriesDeg(data::kLongTermOmega, T, omegaDeg) &&
         LongTermSeriesDeg(data::kLongTermPsi, T, psiDeg);
}

void PrecessionMatrixOwen1990(double jdTT, Matrix3 out) {
  double chiDeg, omegaDeg, psiDeg;
  if (!LongTermPrecessionAnglesDeg(jdTT, chiDeg, omegaDeg, psiDeg)) {
    SetIdentity(out);
    return;
  }
  const double alpha = chiDeg * kDegToRad, beta = -omegaDeg * kDegToRad, gamma = -psiDeg * kDegToRad;
  const double ca = std::cos(alpha), sa = std::sin(alpha), cb = std::cos(beta), sb = std::sin(beta),
               cg = std::cos(gamma), sg = std::sin(gamma);
  const double e[3][3] = {
      {ca * cg - sa * cb * sg, ca * sg + sa * cb * cg, sa * sb},
      {-sa * cg - ca * cb * sg, -sa * sg + ca * cb * cg, ca * sb},
      {sb * sg, -sb * cg, cb},
  };
  const double eps0 = kOwenObliquityJ2000Deg * kDegToRad;
  const double ce = std::cos(eps0), se = std::sin(eps0);
  const double r1[3][3] = {{1.0, 0.0, 0.0}, {0.0, ce, se}, {0.0, -se, ce}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      Real sum = 0.0L;
      for (int k = 0; k < 3; ++k) sum += static_cast<Real>(e[i][k]) * r1[k][j];
      out[i][j] = static_cast<double>(sum);
    }
}

void PrecessionMatrix(const EngineContext& ctx, double jdTT, int direction, Matrix3 out) {
  const double T = JulianCenturies(jdTT);
  double zeta, theta, z;
  if (PrecessionOf(ctx.settings) == Precession::kOwen1990) {
    if (std::fabs(T) <= kOwenIau1976LimitCenturies) {
      PrecessionAnglesIau1976(T, zeta, theta, z);
      PrecessionFromAngles(zeta, theta, z, out);
    } else {
      PrecessionMatrixOwen1990(jdTT, out);
    }
  } else {
    PrecessionAnglesIau2006(T, zeta, theta, z);
    PrecessionFromAngles(zeta, theta, z, out);
  }
  if (direction != 1) Transpose(out);
}

void PrecessVector(const EngineContext& ctx, double v[3], double jdTT, int direction) {
  if (jdTT == kJ2000) return;
  Matrix3 p;
  PrecessionMatrix(ctx, jdTT, 1, p);
  double r[3];
  for (int i = 0; i < 3; ++i) {
    // direction >= 0: P^T v (date -> J2000.0); direction < 0: P v.
    Real sum = 0.0L;
    for (int k = 0; k < 3; ++k) sum += static_cast<Real>(direction >= 0 ? p[k][i] : p[i][k]) * v[k];
    r[i] = static_cast<double>(sum);
  }
  for (int i = 0; i < 3; ++i) v[i] = r[i];
}

// ----------------------------------------------------------------- nutation

// IAU 2000B luni-solar nutation, 77 terms (McCarthy & Luzum 2003, Cel. Mech.
// Dyn. Astron. 85, 37; IERS Conventions 2003, Table 5.3a truncated), radians.
// The fundamental arguments use their full polynomials; the fixed offsets that
// stand in for the planetary terms (-0.135 mas, +0.388 mas) are not added.
// Within 1995-2050 the model is within about 1 mas of IAU 2000A.
// The sines and cosines of the 77 arguments come from those of the multiples
// of the five fundamental arguments by angle addition (each multiplier lies
// within -4..4), which agrees with calling sin and cos per term to 1e-15 rad
// and costs a tenth as much.
constexpr int kNutationMaxMultiple = 4;

void NutationIau2000B(double T, double& dpsi, double& deps) {
  const Real t = T;
  const double arguments[5] = {DelaunayArgumentRad(kArgL, t), DelaunayArgumentRad(kArgLPrime, t),
                               DelaunayArgumentRad(kArgF, t), DelaunayArgumentRad(kArgD, t),
                               DelaunayArgumentRad(kArgOmega, t)};
  // sines[a][m + 4], cosines[a][m + 4]: sin and cos of m times argument a.
  double sines[5][2 * kNutationMaxMultiple + 1], cosines[5][2 * kNutationMaxMultiple + 1];
  for (int a = 0; a < 5; ++a) {
    const double s1 = std::sin(arguments[a]), c1 = std::cos(arguments[a]);
    double* sm = sines[a] + kNutationMaxMultiple;
    double* cm = cosines[a] + kNutationMaxMultiple;
    sm[0] = 0.0;
    cm[0] = 1.0;
    for (int m = 1; m <= kNutationMaxMultiple; ++m) {
      sm[m] = sm[m - 1] * c1 + cm[m - 1] * s1;
      cm[m] = cm[m - 1] * c1 - sm[m - 1] * s1;
      sm[-m] = -sm[m];
      cm[-m] = cm[m];
    }
  }

  const double tD = T;
  double psiSum = 0.0, epsSum = 0.0;  // 0.1 microarcsecond
  for (int i = data::kNutationIau2000BTermCount - 1; i >= 0; --i) {
    const data::NutationTerm2000B& term = data::kNutationIau2000BTerms[i];
    const int multipliers[5] = {term.nl, term.nlp, term.nf, term.nd, term.nom};
    double s = 0.0, c = 1.0;
    for (int a = 0; a < 5; ++a) {
      const int m = multipliers[a];
      if (m == 0) continue;
      const double sa = sines[a][m + kNutationMaxMultiple], ca = cosines[a][m + kNutationMaxMultiple];
      const double sNew = s * ca + c * sa;
      c = c * ca - s * sa;
      s = sNew;
    }
    psiSum += (term.sinPsi + term.sinPsiT * tD) * s + term.cosPsi * c;
    epsSum += (term.cosEps + term.cosEpsT * tD) * c + term.sinEps * s;
  }
  dpsi = static_cast<double>(psiSum * kTenthMicroarcsecToRad);
  deps = static_cast<double>(epsSum * kTenthMicroarcsecToRad);
}

double EopNutationCorrection(double jdTT) {
  // The row whose upper bound first exceeds the instant; the last row beyond.
  int k = 0;
  while (k < data::kEopNutationRowCount - 1 && !(jdTT < data::kEopNutationRows[k].belowJD)) ++k;
  const data::EopNutationRow& row = data::kEopNutationRows[k];
  const Real w = kTwoPiL * static_cast<Real>(JulianCenturies(jdTT));
  Real c = row.a0;
  c += row.a1 * std::cos(w / kEopFirstPeriodCenturies);
  c += row.b1 * std::sin(w / kEopFirstPeriodCenturies);
  c += row.a2 * std::cos(w / row.p2);
  c += row.b2 * std::sin(w / row.p2);
  c += row.a3 * std::cos(w / row.p3);
  c += row.b3 * std::sin(w / row.p3);
  return static_cast<double>(c);
}

void Nutation(EngineContext& ctx, double jdTT, double& dpsi, double& deps) {
  const CalcSettings& s = ctx.settings;
  const double T = JulianCenturies(jdTT);
  const NutationKind kind = NutationOf(s);
  if (kind == NutationKind::kInternal) {
    // The angles are read from the open JPL file (DE422, DE431, DE441); for
    // any other source the outputs stay as they came (the settings layer
    // never lets PLAN404 stand with this model).
    if (!EphemerisCarriesNutation(s.EphemerisCode) || EphemerisCodeRow(s.EphemerisCode).deNumber == 0) return;
    JplNutationAngles(ctx, jdTT, dpsi, deps);
  } else {
    NutationIau2000B(T, dpsi, deps);
    if (PrecessionOf(s) == Precession::kIau2006) {
      const Real j2 = kIau2006J2RatePerCentury * T;
      dpsi = static_cast<double>(dpsi + (kIau2006LongitudeScale + j2) * dpsi);
      deps = static_cast<double>(deps + j2 * deps);
    }
  }

  if (!EopCorrectionOn(s) || !EphemerisTakesEopCorrection(s.EphemerisCode)) return;
  double correctionMas;
  if (jdTT < kEopFirstJD) {
    correctionMas = kEopBeforeMas;
  } else if (jdTT < kEopLastJD) {
    correctionMas = kind == NutationKind::kInternal
                        ? EopNutationCorrection(jdTT)
                        : static_cast<double>(kEop2000BConstantMas + kEop2000BRateMasPerCentury * static_cast<Real>(T));
  } else {
    correctionMas = kEopAfterMas;
  }
  dpsi += correctionMas * kMasToRad;
}

// N = R1(-(eps + deps)) R3(-dpsi) R1(eps): mean equator and equinox of date to
// the true ones.
void NutationMatrix(EngineContext& ctx, double jdTT, int direction, Matrix3 out) {
  double dpsi = 0.0, deps = 0.0;
  Nutation(ctx, jdTT, dpsi, deps);
  const ObliquityAngle mean = MeanObliquity(ctx, jdTT);
  const double a = -(mean.rad + deps), b = -dpsi;
  const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b), cc = mean.cosine,
               sc = mean.sine;
  out[0][0] = cb;
  out[0][1] = sb * cc;
  out[0][2] = sb * sc;
  out[1][0] = -ca * sb;
  out[1][1] = ca * cb * cc - sa * sc;
  out[1][2] = ca * cb * sc + sa * cc;
  out[2][0] = sa * sb;
  out[2][1] = -sa * cb * cc - ca * sc;
  out[2][2] = -sa * cb * sc + ca * cc;
  if (direction != 1) Transpose(out);
}

double NutationInLongitudeDegrees(EngineContext& ctx, double jdTT) {
  double dpsi = 0.0, deps = 0.0;
  Nutation(ctx, jdTT, dpsi, deps);
  return dpsi * kRadToDeg;
}

}  // namespace orv
