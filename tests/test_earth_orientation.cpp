// Earth orientation and sidereal time against outside authorities:
// - ERFA 2.0 (Debian liberfa), the C version of the IAU SOFA library: IAU 1976
//   and IAU 2006 obliquity and precession, IAU 2000A/B nutation, IAU 2006 GMST,
//   the equation of the equinoxes (IERS Conventions 2003) and GAST;
// - Vondrak, Capitaine & Wallace (2011, A&A 534, A22) long-term precession, as
//   implemented by ERFA's eraLtp, eraLtpecl and eraLtpequ;
// - published constants: IAU 2000B nutation at J2000.0 (McCarthy & Luzum 2003),
//   the IAU 1976 obliquity at J2000.0 (84381.448").
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ephemeris/angles.h"
#include "ephemeris/earth_orientation.h"
#include "ephemeris/jpl_reader.h"
#include "ephemeris/sidereal.h"

#ifdef ORVANTA_HAVE_ERFA
#include <erfa.h>
#endif

namespace orv {
namespace {

constexpr double kArcsec = 4.84813681109536e-06;  // radians
constexpr double kMas = 1e-3 * kArcsec;
constexpr double kMicroarcsec = 1e-6 * kArcsec;
constexpr double kDaysPerCentury = 36525.0;

double JdOfCenturies(double T) { return kJ2000 + T * kDaysPerCentury; }

// Instants spread over the years -3000 .. 3000 (T = -50 .. 50 centuries), at
// odd fractions of a day.
std::vector<double> CenturiesAcrossSixMillennia() {
  std::vector<double> out;
  for (double T = -50.0; T <= 50.0; T += 0.3713) out.push_back(T);
  return out;
}

// Settings with the given models; PLAN404, so that no pole-offset correction applies.
CalcSettings Models(int precession, int nutation, int obliquity) {
  CalcSettings s = DefaultSettings();
  s.EphemerisCode = kEphemerisPlan404;
  s.PrecessionModel = precession;
  s.NutationModel = nutation;
  s.ObliquityModel = obliquity;
  s.EopCorrection = 0;
  return s;
}

double MaxElementDifference(const double a[3][3], const double b[3][3]) {
  double m = 0.0;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m = std::max(m, std::fabs(a[i][j] - b[i][j]));
  return m;
}

// Difference of two angles in arcseconds of time-angle reduced to (-648000, 648000].
double WrapArcsec(double d) { return d - 1296000.0 * std::round(d / 1296000.0); }

// ------------------------------------------------------------------ angles

TEST(Angles, NormalizersReduceToOneTurnAndFlushTinyRemainders) {
  EXPECT_EQ(NormalizeDegrees(-1e-14), 0.0);
  EXPECT_EQ(NormalizeDegrees(-30.0), 330.0);
  EXPECT_EQ(NormalizeDegrees(720.0 + 1e-14), 0.0);
  EXPECT_DOUBLE_EQ(NormalizeDegrees(-725.5), 354.5);
  EXPECT_EQ(NormalizeRadians(-1e-14), 0.0);
  EXPECT_DOUBLE_EQ(NormalizeRadians(-0.5), kTwoPi - 0.5);
  for (double x : {-1e-12, -359.9999999999, 1e9 + 0.25, -1e9 - 0.25}) {
    const double r = NormalizeDegrees(x);
    EXPECT_GE(r, 0.0) << x;
    EXPECT_LT(r, 360.0) << x;
  }
}

// --------------------------------------------------------------- nutation

TEST(Nutation, Iau2000BAtJ2000MatchesThePublishedValues) {
  // McCarthy & Luzum (2003): at J2000.0 IAU 2000B gives dpsi = -13.9315",
  // deps = -5.7698" for the luni-solar part.
  double dpsi, deps;
  NutationIau2000B(0.0, dpsi, deps);
  EXPECT_NEAR(dpsi / kArcsec, -13.9315, 0.00005);
  EXPECT_NEAR(deps / kArcsec, -5.7698, 0.00005);
}

TEST(Nutation, Iau2006ScalingAppliesOnlyWithIau2006Precession) {
  const Observer observer;
  for (double T : {-30.0, 0.37, 25.0}) {
    const double jd = JdOfCenturies(T);
    double psiB, epsB;
    NutationIau2000B(T, psiB, epsB);
    const CalcSettings owen = Models(kPrecessionOwen1990, kNutationIau2000B, kObliquityIau2006);
    const CalcSettings iau2006 = Models(kPrecessionIau2006, kNutationIau2000B, kObliquityIau2006);
    EngineContext a(owen, observer), b(iau2006, observer);
    double psi1, eps1, psi2, eps2;
    Nutation(a, jd, psi1, eps1);
    Nutation(b, jd, psi2, eps2);
    EXPECT_EQ(psi1, psiB);
    EXPECT_EQ(eps1, epsB);
    EXPECT_NEAR(psi2, psiB * (1.0 + 4.697e-07 - 2.7774e-06 * T), 1e-6 * kMicroarcsec) << T;
    EXPECT_NEAR(eps2, epsB * (1.0 - 2.7774e-06 * T), 1e-6 * kMicroarcsec) << T;
  }
}

TEST(Nutation, InternalModelWithoutJplFile) {
  const Observer observer;
  // PLAN404 has no nutations: the outputs keep what the caller put there.
  const CalcSettings plan = Models(kPrecessionIau2006, kNutationInternal, kObliquityIau2006);
  EngineContext a(plan, observer);
  double dpsi = 123.0, deps = -456.0;
  Nutation(a, 2460000.5, dpsi, deps);
  EXPECT_EQ(dpsi, 123.0);
  EXPECT_EQ(deps, -456.0);
  // A JPL ephemeris with no file open: the reader's error reaches the caller.
  CalcSettings de441 = plan;
  de441.EphemerisCode = kEphemerisDe441;
  EngineContext b(de441, observer);
  EXPECT_THROW(Nutation(b, 2460000.5, dpsi, deps), JplError);
}

TEST(Nutation, PoleOffsetCorrectionBoundsAndEphemerides) {
  // Owen1990 precession: no IAU 2006 scaling, so the difference is the correction alone.
  const Observer observer;
  CalcSettings on = Models(kPrecessionOwen1990, kNutationIau2000B, kObliquityIau2006);
  on.EphemerisCode = kEphemerisDe441;
  on.EopCorrection = 1;
  CalcSettings off = on;
  off.EopCorrection = 0;
  CalcSettings plan = on;
  plan.EphemerisCode = kEphemerisPlan404;
  struct Case {
    double jdTT;
    double correctionMas;
  } cases[] = {
      {2437684.5 - 1e-6, 65.84424303},  // before the table: constant
      {2437684.5, -41.3167869740399 - 302.196200887435 * JulianCenturies(2437684.5)},
      {2451545.0, -41.3167869740399},
      {2456625.5 - 1e-6, -41.3167869740399 - 302.196200887435 * JulianCenturies(2456625.5 - 1e-6)},
      {2456625.5, -81.073396305},  // after the table: constant
      {2470000.5, -81.073396305},
  };
  for (const auto& c : cases) {
    EngineContext a(on, observer), b(off, observer), p(plan, observer);
    double psiOn, epsOn, psiOff, epsOff, psiPlan, epsPlan;
    Nutation(a, c.jdTT, psiOn, epsOn);
    Nutation(b, c.jdTT, psiOff, epsOff);
    Nutation(p, c.jdTT, psiPlan, epsPlan);
    EXPECT_NEAR((psiOn - psiOff) / kMas, c.correctionMas, 1e-7) << c.jdTT;
    EXPECT_EQ(epsOn, epsOff) << "the obliquity is never corrected";
    EXPECT_EQ(psiPlan, psiOff) << "PLAN404 takes no correction";
  }
}

TEST(Nutation, PoleOffsetTableIsConsistentWithItsNeighbours) {
  // The 26 fits describe the same celestial pole offsets as the two constants
  // outside the table and the linear fit used with IAU 2000B (the IERS
  // offsets of the nutation in longitude, +66 mas in 1962 to -81 mas in 2013).
  // A mistyped coefficient (several reach 1e5..1e9 mas) would break this.
  const Observer observer;
  const CalcSettings s = Models(kPrecessionIau2006, kNutationInternal, kObliquityIau2006);
  EngineContext ctx(s, observer);
  double worstFromLinear = 0.0;
  for (double jd = 2437684.5; jd < 2456625.5; jd += 3.25) {
    const double T = JulianCenturies(jd);
    const double c = EopNutationCorrection(jd);
    ASSERT_GT(c, -90.0) << jd;
    ASSERT_LT(c, 70.0) << jd;
    worstFromLinear = std::max(worstFromLinear, std::fabs(c - (-41.3167869740399 - 302.196200887435 * T)));
  }
  EXPECT_LT(worstFromLinear, 25.0);
  EXPECT_NEAR(EopNutationCorrection(2437684.5), 65.84424303, 0.5);
  EXPECT_NEAR(EopNutationCorrection(2456625.5 - 1e-6), -81.073396305, 0.2);
}

TEST(Nutation, PoleOffsetRowIsThatOfTheInstant) {
  // Row and periodic terms come from the same instant: a correction computed
  // for one instant is the same whatever was evaluated before, and two
  // instants decades apart take different rows.
  const double first = EopNutationCorrection(2440000.5);
  EXPECT_EQ(EopNutationCorrection(2451545.0), EopNutationCorrection(2451545.0));
  EXPECT_EQ(first, EopNutationCorrection(2440000.5));
  EXPECT_GT(std::fabs(first - EopNutationCorrection(2451545.0)), 1.0);
}

TEST(Nutation, ModelsWithoutAnImplementationFallBackToTheDefaults) {
  const Observer observer;
  const double jd = 2415020.3;
  const CalcSettings reference = Models(kPrecessionIau2006, kNutationIau2000B, kObliquityIau2006);
  EngineContext r(reference, observer);
  double psi0, eps0;
  Nutation(r, jd, psi0, eps0);
  Matrix3 p0;
  PrecessionMatrix(r, jd, 1, p0);
  const double obl0 = MeanObliquity(r, jd).rad;
  for (int precession : {static_cast<int>(kPrecessionIau1976), static_cast<int>(kPrecessionVondrak2011)}) {
    for (int nutation : {static_cast<int>(kNutationIau1980), 7}) {
      for (int obliquity : {0, 3}) {
        const CalcSettings s = Models(precession, nutation, obliquity);
        EngineContext c(s, observer);
        double psi = 99.0, eps = 99.0;
        Nutation(c, jd, psi, eps);
        Matrix3 p;
        PrecessionMatrix(c, jd, 1, p);
        EXPECT_EQ(psi, psi0);
        EXPECT_EQ(eps, eps0);
        EXPECT_EQ(MaxElementDifference(p, p0), 0.0);
        EXPECT_EQ(MeanObliquity(c, jd).rad, obl0);
      }
    }
  }
}

// -------------------------------------------------------------- obliquity

TEST(Obliquity, MeanAndTrueObliquityComeWithTheirOwnCosineAndSine) {
  const Observer observer;
  const CalcSettings s = Models(kPrecessionIau2006, kNutationIau2000B, kObliquityIau2006);
  EngineContext ctx(s, observer);
  const double jd = 2460310.5;
  const ObliquityAngle mean = MeanObliquity(ctx, jd);
  const ObliquityAngle trueEps = TrueObliquity(ctx, jd);
  double dpsi, deps;
  Nutation(ctx, jd, dpsi, deps);
  EXPECT_EQ(mean.rad, MeanObliquityIau2006(jd));
  EXPECT_EQ(mean.cosine, std::cos(mean.rad));
  EXPECT_EQ(mean.sine, std::sin(mean.rad));
  EXPECT_EQ(trueEps.rad, mean.rad + deps);
  EXPECT_EQ(trueEps.cosine, std::cos(trueEps.rad));
  EXPECT_EQ(trueEps.sine, std::sin(trueEps.rad));
  // Asking for the true value leaves the mean one as it was.
  EXPECT_EQ(MeanObliquity(ctx, jd).rad, mean.rad);
}

TEST(Obliquity, Owen1990SwitchesToTheLongTermSeriesBeyondTwoCenturies) {
  const Observer observer;
  const CalcSettings s = Models(kPrecessionOwen1990, kNutationIau2000B, kObliquityOwen1990);
  EngineContext ctx(s, observer);
  EXPECT_NEAR(MeanObliquity(ctx, kJ2000).rad / kArcsec, 84381.448, 1e-9);  // IAU 1976 at J2000.0
  for (double sign : {-1.0, 1.0}) {
    const double atBound = JdOfCenturies(2.0 * sign), beyond = JdOfCenturies(2.0000001 * sign);
    ASSERT_EQ(JulianCenturies(atBound), 2.0 * sign);
    const ObliquityAngle inside = MeanObliquity(ctx, atBound);
    EXPECT_EQ(inside.rad, MeanObliquityIau1976(atBound));
    EXPECT_EQ(inside.cosine, std::cos(MeanObliquityIau1976(atBound)));
    EXPECT_EQ(MeanObliquity(ctx, beyond).rad, MeanObliquityOwen1990(beyond));
    // The two models meet: the series and IAU 1976 agree within a few tens of mas there.
    EXPECT_NEAR(MeanObliquityOwen1990(beyond), MeanObliquityIau1976(atBound), 0.1 * kArcsec);
  }
  EXPECT_EQ(MeanObliquityOwen1990(JdOfCenturies(200.0)), 0.0);
  EXPECT_EQ(MeanObliquityOwen1990(JdOfCenturies(-200.0001)), 0.0);
  EXPECT_NE(MeanObliquityOwen1990(JdOfCenturies(-200.0)), 0.0);
  EXPECT_EQ(MeanObliquityOwen1990(std::nan("")), 0.0);
}

TEST(LongTermSeries, IntervalsJoinAtTheirBounds) {
  // At T = -120, -40, 40, 120 the next interval starts with x = -1 while the
  // previous one ends at x -> 1: the fits meet to well below a milliarcsecond.
  for (double bound : {-120.0, -40.0, 40.0, 120.0}) {
    const double before = JdOfCenturies(bound - 1e-9), at = JdOfCenturies(bound);
    EXPECT_NEAR(MeanObliquityOwen1990(at), MeanObliquityOwen1990(before), 0.1 * kMas) << bound;
    Matrix3 a, b;
    PrecessionMatrixOwen1990(before, a);
    PrecessionMatrixOwen1990(at, b);
    EXPECT_LT(MaxElementDifference(a, b), 0.1 * kMas) << bound;
  }
}

// ------------------------------------------------------------- precession

TEST(Precession, MatricesAreRotationsAndDirectionZeroIsTheTranspose) {
  const Observer observer;
  for (int model : {kPrecessionOwen1990, kPrecessionIau2006}) {
    const CalcSettings s = Models(model, kNutationIau2000B, kObliquityIau2006);
    EngineContext ctx(s, observer);
    for (double T : {-149.0, -60.5, -2.0, 0.013, 1.99, 37.0, 149.9}) {
      Matrix3 p, pt;
      PrecessionMatrix(ctx, JdOfCenturies(T), 1, p);
      PrecessionMatrix(ctx, JdOfCenturies(T), 0, pt);
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
          EXPECT_EQ(pt[i][j], p[j][i]);
          double product = 0.0;
          for (int k = 0; k < 3; ++k) product += p[i][k] * pt[k][j];
          EXPECT_NEAR(product, i == j ? 1.0 : 0.0, 1e-15) << model << " T=" << T;
        }
    }
  }
}

TEST(Precession, Owen1990UsesIau1976UpToTwoCenturiesAndMeetsItThere) {
  const Observer observer;
  const CalcSettings s = Models(kPrecessionOwen1990, kNutationIau2000B, kObliquityOwen1990);
  EngineContext ctx(s, observer);
  for (double sign : {-1.0, 1.0}) {
    Matrix3 atBound, beyond, iau1976, owen;
    double zeta, theta, z;
    PrecessionAnglesIau1976(2.0 * sign, zeta, theta, z);
    PrecessionMatrix(ctx, JdOfCenturies(2.0 * sign), 1, atBound);
    PrecessionMatrix(ctx, JdOfCenturies(2.0000001 * sign), 1, beyond);
    PrecessionMatrixOwen1990(JdOfCenturies(2.0000001 * sign), owen);
    EXPECT_EQ(MaxElementDifference(beyond, owen), 0.0);
    // Continuity across the switch: well within a few arcseconds.
    EXPECT_LT(MaxElementDifference(atBound, beyond), 0.05 * kArcsec);
#ifdef ORVANTA_HAVE_ERFA
    eraPmat76(JdOfCenturies(2.0 * sign), 0.0, iau1976);
    EXPECT_LT(MaxElementDifference(atBound, iau1976), 1e-14);
    EXPECT_GT(MaxElementDifference(beyond, iau1976), 0.1 * kMas);
#endif
  }
}

TEST(Precession, VectorAtJ2000IsUntouchedAndElsewhereRotated) {
  const Observer observer;
  for (int model : {kPrecessionOwen1990, kPrecessionIau2006}) {
    const CalcSettings s = Models(model, kNutationIau2000B, kObliquityIau2006);
    EngineContext ctx(s, observer);
    const double v0[3] = {0.3, -0.7, 0.64807406984078602};
    double v[3] = {v0[0], v0[1], v0[2]};
    PrecessVector(ctx, v, kJ2000, 0);
    PrecessVector(ctx, v, kJ2000, -1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(v[i], v0[i]);

    for (double jd : {kJ2000 + 1e-9, kJ2000 + 1.0, 2200000.5, 2600000.5}) {
      Matrix3 p;
      PrecessionMatrix(ctx, jd, 1, p);
      double toDate[3] = {v0[0], v0[1], v0[2]}, toJ2000[3] = {v0[0], v0[1], v0[2]};
      PrecessVector(ctx, toDate, jd, -1);   // P v
      PrecessVector(ctx, toJ2000, jd, 0);   // P^T v
      for (int i = 0; i < 3; ++i) {
        double pv = 0.0, ptv = 0.0;
        for (int k = 0; k < 3; ++k) {
          pv += p[i][k] * v0[k];
          ptv += p[k][i] * v0[k];
        }
        EXPECT_NEAR(toDate[i], pv, 1e-15);
        EXPECT_NEAR(toJ2000[i], ptv, 1e-15);
      }
      // Back and forth is the identity.
      PrecessVector(ctx, toDate, jd, 1);
      for (int i = 0; i < 3; ++i) EXPECT_NEAR(toDate[i], v0[i], 1e-15);
    }
  }
}

#ifdef ORVANTA_HAVE_ERFA

// Rz(-z) Ry(theta) Rz(-zeta), built by ERFA.
void ErfaPrecessionFromAngles(double zeta, double theta, double z, double r[3][3]) {
  eraIr(r);
  eraRz(-zeta, r);
  eraRy(theta, r);
  eraRz(-z, r);
}

TEST(PrecessionErfa, AnglesAndMatricesMatchErfaOverSixMillennia) {
  const Observer observer;
  const CalcSettings owen = Models(kPrecessionOwen1990, kNutationIau2000B, kObliquityIau2006);
  const CalcSettings iau2006 = Models(kPrecessionIau2006, kNutationIau2000B, kObliquityIau2006);
  EngineContext ctxOwen(owen, observer), ctx2006(iau2006, observer);
  double worstAngles2006 = 0.0, worstAngles1976 = 0.0, worstMatrix = 0.0;
  for (double T : CenturiesAcrossSixMillennia()) {
    const double jd = JdOfCenturies(T);
    double eps0, psia, oma, bpa, bqa, pia, bpia, epsa, chia, za, zetaa, thetaa, pa, gam, phi, psi;
    eraP06e(jd, 0.0, &eps0, &psia, &oma, &bpa, &bqa, &pia, &bpia, &epsa, &chia, &za, &zetaa, &thetaa, &pa,
            &gam, &phi, &psi);
    double zeta, theta, z;
    PrecessionAnglesIau2006(T, zeta, theta, z);
    worstAngles2006 = std::max({worstAngles2006, std::fabs(zeta - zetaa), std::fabs(theta - thetaa),
                                std::fabs(z - za)});
    Matrix3 mine;
    double ref[3][3];
    PrecessionMatrix(ctx2006, jd, 1, mine);
    ErfaPrecessionFromAngles(zetaa, thetaa, za, ref);
    worstMatrix = std::max(worstMatrix, MaxElementDifference(mine, ref));

    double zeta76, z76, theta76;
    eraPrec76(kJ2000, 0.0, jd, 0.0, &zeta76, &z76, &theta76);
    PrecessionAnglesIau1976(T, zeta, theta, z);
    worstAngles1976 = std::max({worstAngles1976, std::fabs(zeta - zeta76), std::fabs(theta - theta76),
                                std::fabs(z - z76)});
    if (std::fabs(T) <= 2.0) {
      PrecessionMatrix(ctxOwen, jd, 1, mine);
      eraPmat76(jd, 0.0, ref);
      worstMatrix = std::max(worstMatrix, MaxElementDifference(mine, ref));
    }
  }
  EXPECT_LT(worstAngles2006, 1e-3 * kMicroarcsec);
  EXPECT_LT(worstAngles1976, 1e-3 * kMicroarcsec);
  EXPECT_LT(worstMatrix, 1e-14);
}

// Mean obliquity of date from ERFA's long-term ecliptic and equator poles.
double VondrakObliquity(double T) {
  double ecl[3], equ[3];
  eraLtpecl(2000.0 + 100.0 * T, ecl);
  eraLtpequ(2000.0 + 100.0 * T, equ);
  return std::acos(ecl[0] * equ[0] + ecl[1] * equ[1] + ecl[2] * equ[2]);
}

TEST(PrecessionErfa, Owen1990AgreesWithVondrak2011LongTermPrecession) {
  // Vondrak et al. (2011) fit 400 centuries to numerical integrations; the
  // older long-term theory used here parts from it by arcseconds over a few
  // millennia and by a few arcminutes at +-200 centuries.
  double worstNear = 0.0, worstFar = 0.0, worstOblNear = 0.0, worstOblFar = 0.0;
  for (double T = -199.9; T < 200.0; T += 1.37) {
    Matrix3 owen;
    double vondrak[3][3];
    PrecessionMatrixOwen1990(JdOfCenturies(T), owen);
    eraLtp(2000.0 + 100.0 * T, vondrak);
    const double d = MaxElementDifference(owen, vondrak);
    const double dObl = std::fabs(MeanObliquityOwen1990(JdOfCenturies(T)) - VondrakObliquity(T));
    if (std::fabs(T) <= 30.0) {
      worstNear = std::max(worstNear, d);
      worstOblNear = std::max(worstOblNear, dObl);
    }
    worstFar = std::max(worstFar, d);
    worstOblFar = std::max(worstOblFar, dObl);
  }
  EXPECT_LT(worstNear, 10.0 * kArcsec);
  EXPECT_LT(worstOblNear, 1.0 * kArcsec);
  EXPECT_LT(worstFar, 300.0 * kArcsec);
  EXPECT_LT(worstOblFar, 150.0 * kArcsec);
  std::printf("Owen1990 vs Vondrak 2011: matrix %.2f\" (|T| <= 30), %.1f\" (|T| < 200); "
              "obliquity %.2f\", %.1f\"\n",
              worstNear / kArcsec, worstFar / kArcsec, worstOblNear / kArcsec, worstOblFar / kArcsec);
}

TEST(ObliquityErfa, MeanObliquityMatchesErfaOverSixMillennia) {
  double worst2006 = 0.0, worst1976 = 0.0;
  for (double T : CenturiesAcrossSixMillennia()) {
    const double jd = JdOfCenturies(T);
    worst2006 = std::max(worst2006, std::fabs(MeanObliquityIau2006(jd) - eraObl06(jd, 0.0)));
    worst1976 = std::max(worst1976, std::fabs(MeanObliquityIau1976(jd) - eraObl80(jd, 0.0)));
  }
  EXPECT_LT(worst2006, 1e-3 * kMicroarcsec);
  EXPECT_LT(worst1976, 1e-3 * kMicroarcsec);
}

TEST(NutationErfa, Iau2000BMatchesErfaNut00bNearJ2000) {
  // eraNut00b adds fixed offsets for the planetary terms, which this model
  // leaves out; and it takes only the linear part of the fundamental
  // arguments, which parts from the full polynomials used here by about
  // 1 microarcsecond five years from J2000.0 and 20 microarcseconds at twenty
  // (growing as T^2). Hence the comparison within 1995..2005.
  const double kPlanetaryPsi = -0.135 * kMas, kPlanetaryEps = 0.388 * kMas;
  double worst = 0.0;
  for (double T = -0.05; T <= 0.05; T += 0.00173) {
    double psi, eps, psiRef, epsRef;
    NutationIau2000B(T, psi, eps);
    eraNut00b(JdOfCenturies(T), 0.0, &psiRef, &epsRef);
    worst = std::max({worst, std::fabs(psi - (psiRef - kPlanetaryPsi)), std::fabs(eps - (epsRef - kPlanetaryEps))});
  }
  EXPECT_LT(worst, 2.0 * kMicroarcsec);
  std::printf("IAU 2000B vs eraNut00b (1995-2005): %.3f uas\n", worst / kMicroarcsec);
}

TEST(NutationErfa, Iau2000BStaysWithinItsTruncationErrorOfIau2000A) {
  // Over six millennia IAU 2000B (77 luni-solar terms) stays within about
  // 2 mas of IAU 2000A (678 + 687 terms, which share its argument
  // polynomials): the size of the terms it leaves out. With IAU 2006
  // precession both take the same adjustment (eraNut06a).
  const Observer observer;
  const CalcSettings s = Models(kPrecessionIau2006, kNutationIau2000B, kObliquityIau2006);
  EngineContext ctx(s, observer);
  double worst = 0.0, worstScaling = 0.0;
  for (double T : CenturiesAcrossSixMillennia()) {
    const double jd = JdOfCenturies(T);
    double psiB, epsB, psiA, epsA, psi06B, eps06B, psi06A, eps06A;
    NutationIau2000B(T, psiB, epsB);
    eraNut00a(jd, 0.0, &psiA, &epsA);
    Nutation(ctx, jd, psi06B, eps06B);
    eraNut06a(jd, 0.0, &psi06A, &eps06A);
    worst = std::max({worst, std::fabs(psiB - psiA), std::fabs(epsB - epsA)});
    // The adjustment scales both models alike, so it scales their difference.
    worstScaling = std::max(
        {worstScaling, std::fabs((psi06B - psi06A) - (1.0 + 4.697e-07 - 2.7774e-06 * T) * (psiB - psiA)),
         std::fabs((eps06B - eps06A) - (1.0 - 2.7774e-06 * T) * (epsB - epsA))});
  }
  EXPECT_LT(worst, 2.5 * kMas);
  EXPECT_LT(worstScaling, 0.001 * kMicroarcsec);
  std::printf("IAU 2000B vs eraNut00a (-3000..3000): %.3f mas\n", worst / kMas);
}

TEST(NutationErfa, NutationMatrixMatchesErfaNumat) {
  const Observer observer;
  const CalcSettings s = Models(kPrecessionIau2006, kNutationIau2000B, kObliquityIau2006);
  EngineContext ctx(s, observer);
  for (double T : {-45.2, -3.1, 0.0, 0.24, 12.5, 49.0}) {
    const double jd = JdOfCenturies(T);
    double dpsi, deps;
    Nutation(ctx, jd, dpsi, deps);
    double ref[3][3];
    eraNumat(eraObl06(jd, 0.0), dpsi, deps, ref);
    Matrix3 n, nt;
    NutationMatrix(ctx, jd, 1, n);
    NutationMatrix(ctx, jd, 2, nt);
    EXPECT_LT(MaxElementDifference(n, ref), 1e-15) << T;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) EXPECT_EQ(nt[i][j], n[j][i]);
    EXPECT_EQ(NutationInLongitudeDegrees(ctx, jd), dpsi * kRadToDeg);
  }
}

TEST(ObliquityErfa, TrueObliquityMatchesIau2006And2000A) {
  const Observer observer;
  const CalcSettings s = Models(kPrecessionIau2006, kNutationIau2000B, kObliquityIau2006);
  EngineContext ctx(s, observer);
  for (double T : CenturiesAcrossSixMillennia()) {
    const double jd = JdOfCenturies(T);
    double dpsi, deps;
    eraNut06a(jd, 0.0, &dpsi, &deps);
    EXPECT_NEAR(TrueObliquity(ctx, jd).rad, eraObl06(jd, 0.0) + deps, 2.0 * kMas) << T;
  }
}

// ----------------------------------------------------------- sidereal time

TEST(SiderealErfa, ComplementaryTermsMatchErfaEect00) {
  // The 33 periodic terms are those of the IERS Conventions 2003; the secular
  // term is applied as +0.87 uas T sin(Omega) where eraEect00 has -0.87 uas.
  double worst = 0.0;
  for (double T : CenturiesAcrossSixMillennia()) {
    const double jd = JdOfCenturies(T);
    const double ours = EquinoxComplementaryTermsArcsec(T);
    const double erfa = eraEect00(jd, 0.0) / kArcsec + 2.0 * 0.87e-6 * T * std::sin(eraFaom03(T));
    worst = std::max(worst, std::fabs(ours - erfa));
  }
  EXPECT_LT(worst, 1e-9);  // arcseconds
}

TEST(SiderealErfa, MeanSiderealTimeMatchesErfaGmst06) {
  // The T^3 and T^4 coefficients are used rounded (-2.93e-8 s and -1.99708e-6 s
  // for -0.00000044"/15 and -0.000029956"/15): 1.3 mas at T = +-50, below
  // 1 uas within five centuries.
  double worstNear = 0.0, worstFar = 0.0;
  for (double T : CenturiesAcrossSixMillennia()) {
    const double tt = JdOfCenturies(T), ut = tt - 0.00081;
    const double d = WrapArcsec(GreenwichMeanSiderealTime(ut, tt) * 54000.0 - eraGmst06(ut, 0.0, tt, 0.0) / kArcsec);
    worstFar = std::max(worstFar, std::fabs(d));
    if (std::fabs(T) <= 5.0) worstNear = std::max(worstNear, std::fabs(d));
  }
  EXPECT_LT(worstNear, 1e-6);
  EXPECT_LT(worstFar, 1.5e-3);
}

TEST(SiderealErfa, ApparentSiderealTimeMatchesErfaWithTheNutationDifference) {
  // ERFA's equinox-based GAST (eraGmst06 + eraEe00 with IAU 2006/2000A
  // nutation) over six millennia, and the CIO-based eraGst06a/eraEe06a within
  // five centuries (beyond that the series forms part from the CIO-based one),
  // each shifted by (dpsi_2000B - dpsi_2006A) cos(eps_A) for the nutation model.
  // What remains: cos(eps_A + deps) in place of cos(eps_A) (0.16 mas), the
  // rounded GMST coefficients and the secular term's sign.
  const Observer observer;
  const CalcSettings s = Models(kPrecessionIau2006, kNutationIau2000B, kObliquityIau2006);
  double worstGast = 0.0, worstGast06a = 0.0, worstEe = 0.0, worstEe06a = 0.0;
  for (double T : CenturiesAcrossSixMillennia()) {
    const double tt = JdOfCenturies(T), ut = tt - 0.00081;
    EngineContext ctx(s, observer);
    TimeState at;
    at.CurrentTT = tt;
    at.CurrentUT = ut;
    const double gast = ApparentSiderealTime(ctx, at) * 54000.0;  // arcseconds
    ASSERT_GE(gast, 0.0);
    ASSERT_LT(gast, 1296000.0);
    double psiOurs, epsOurs, psi06a, eps06a;
    Nutation(ctx, tt, psiOurs, epsOurs);
    eraNut06a(tt, 0.0, &psi06a, &eps06a);
    const double epsA = eraObl06(tt, 0.0);
    const double nutationShift = (psiOurs - psi06a) * std::cos(epsA) / kArcsec;
    const double eeErfa = eraEe00(tt, 0.0, epsA, psi06a) / kArcsec + nutationShift;
    const double gastErfa = eraGmst06(ut, 0.0, tt, 0.0) / kArcsec + eeErfa;
    const double eeOurs = WrapArcsec(gast - GreenwichMeanSiderealTime(ut, tt) * 54000.0);
    worstGast = std::max(worstGast, std::fabs(WrapArcsec(gast - gastErfa)));
    worstEe = std::max(worstEe, std::fabs(eeOurs - eeErfa));
    if (std::fabs(T) <= 5.0) {
      worstGast06a = std::max(worstGast06a,
                              std::fabs(WrapArcsec(gast - eraGst06a(ut, 0.0, tt, 0.0) / kArcsec - nutationShift)));
      worstEe06a = std::max(worstEe06a, std::fabs(eeOurs - eraEe06a(tt, 0.0) / kArcsec - nutationShift));
    }
  }
  EXPECT_LT(worstEe, 0.3e-3);
  EXPECT_LT(worstGast, 2.0e-3);
  EXPECT_LT(worstEe06a, 0.3e-3);
  EXPECT_LT(worstGast06a, 0.3e-3);
  std::printf("GAST vs ERFA: %.3f mas (-3000..3000, equinox-based), %.3f mas (1500..2500, CIO-based); "
              "EE %.3f mas / %.3f mas\n",
              worstGast * 1e3, worstGast06a * 1e3, worstEe * 1e3, worstEe06a * 1e3);
}

TEST(SiderealErfa, AtJ2000ItIsAbout18Point697Hours) {
  const Observer observer;
  const CalcSettings s = Models(kPrecessionIau2006, kNutationIau2000B, kObliquityIau2006);
  EngineContext ctx(s, observer);
  TimeState at;
  at.CurrentUT = at.CurrentTT = kJ2000;
  const double hours = ApparentSiderealTime(ctx, at);
  EXPECT_NEAR(hours, 18.697, 0.0005);
  // 1e-8 h = 0.54 mas: the IAU 2000B - 2000A difference and cos(eps + deps).
  EXPECT_NEAR(hours, eraGst06a(kJ2000, 0.0, kJ2000, 0.0) * 12.0 / kPi, 1e-8);
}

#endif  // ORVANTA_HAVE_ERFA

}  // namespace
}  // namespace orv
