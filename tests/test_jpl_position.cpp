// Apparent places from a JPL ephemeris (JplApparentPosition).
// References: an independent computation with ERFA (eraLd light deflection,
// eraAb aberration, eraP06e / eraPmat76 precession, eraNumat nutation matrix,
// eraObl06 / eraObl80 obliquity) on states read by Debian's pluto-jpl-eph
// from the same DE405 file; NASA eclipse bulletins (Espenak & Anderson,
// NASA/TP-1997-206866 "Total Solar Eclipse of 1999 August 11" and
// NASA/TP-2001-209990 "Total Solar Eclipse of 2002 December 04"), table 1,
// geocentric apparent coordinates of the Sun and the Moon from DE200/LE200.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "ephemeris/angles.h"
#include "ephemeris/jpl_position.h"
#include "ephemeris/jpl_reader.h"
#include "jpl_test_support.h"

#ifdef ORVANTA_HAVE_PLUTO
#include <pluto/jpleph.h>
#endif
#ifdef ORVANTA_HAVE_ERFA
#include <erfa.h>
#endif

namespace orv {
namespace {

constexpr double kMas = kMasToRad;
constexpr double kArcsec = kArcsecToRad;
constexpr double kLightDaysPerAu = 0.005775518331436996;

std::string ErrorOf(auto&& call) {
  try {
    call();
  } catch (const JplError& e) {
    return e.what();
  }
  return "(no error)";
}

// Settings of the apparent-place tests: nutation read from the file, no
// pole-offset correction; precession and obliquity by the given model.
CalcSettings Settings(int precessionAndObliquity) {
  CalcSettings s = DefaultSettings();
  s.EphemerisCode = kEphemerisDe441;
  s.NutationModel = kNutationInternal;
  s.PrecessionModel = precessionAndObliquity == 1 ? kPrecessionOwen1990 : kPrecessionIau2006;
  s.ObliquityModel = precessionAndObliquity == 1 ? kObliquityOwen1990 : kObliquityIau2006;
  s.EopCorrection = 0;
  return s;
}

struct Fixture {
  CalcSettings settings;
  Observer observer;
  EngineContext ctx;
  JplEphemeris eph;
  explicit Fixture(int model = 2) : settings(Settings(model)), ctx(settings, observer) {
    if (eph.OpenFile(testing::De405Path())) JplOpenEphemeris(eph, 405);
    ctx.jpl = &eph;
  }
  JplPositionResult Place(double jd, int target, int mode) {
    return JplApparentPosition(ctx, kEphemerisDe441, jd, target, mode);
  }
};

double AngleBetween(double ra1, double dec1, double ra2, double dec2) {
  const double a[3] = {std::cos(dec1) * std::cos(ra1), std::cos(dec1) * std::sin(ra1), std::sin(dec1)};
  const double b[3] = {std::cos(dec2) * std::cos(ra2), std::cos(dec2) * std::sin(ra2), std::sin(dec2)};
  const double cross[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  return std::atan2(std::sqrt(cross[0] * cross[0] + cross[1] * cross[1] + cross[2] * cross[2]),
                    a[0] * b[0] + a[1] * b[1] + a[2] * b[2]);
}

const double kInstants[] = {2436912.5 + 40.0, 2444239.5, 2448908.5, 2451545.0, 2455197.25,
                            2458849.5 + 0.123, 2462502.5, 2466154.75, 2473488.5 - 2.0};

TEST(JplPosition, SunHasNoDelayTermAndAnglesAreNeverNegative) {
  ORV_REQUIRE_DE405();
  Fixture f;
  for (const double jd : kInstants) {
    const JplPositionResult& sun = f.Place(jd, kJplSun, kJplApparent);
    EXPECT_NEAR(sun.LightTime, sun.LightTimeDistance * kLightDaysPerAu, 1e-18) << jd;
    EXPECT_NEAR(sun.LightTime, 8.3 / 1440.0, 0.2 / 1440.0);  // about 8.3 minutes
    for (int target : {1, 2, 4, 5, 6, 7, 8, 9, 10, 11}) {
      for (int mode : {0, 1}) {
        const JplPositionResult& r = f.Place(jd, target, mode);
        EXPECT_GE(r.RightAscension, 0.0);
        EXPECT_LT(r.RightAscension, kTwoPi);
        EXPECT_GE(r.Longitude, 0.0);
        EXPECT_LT(r.Longitude, kTwoPi);
        EXPECT_LE(std::fabs(r.Declination), kPi / 2);
        EXPECT_NEAR(std::hypot(r.X, r.Y, r.Z), r.GeometricDistance, 1e-9 * r.GeometricDistance);
      }
    }
  }
}

TEST(JplPosition, Errors) {
  ORV_REQUIRE_DE405();
  Fixture f;
  EXPECT_NE(ErrorOf([&] { JplApparentPosition(f.ctx, kEphemerisPlan404, 2451545.0, kJplSun, 1); }), "(no error)");
  EXPECT_NE(ErrorOf([&] { JplApparentPosition(f.ctx, kEphemerisDe441, 2451545.0, kJplEarth, 1); }), "(no error)");
  EXPECT_NE(ErrorOf([&] { JplApparentPosition(f.ctx, kEphemerisDe441, 2451545.0, 12, 1); }), "(no error)");
  EXPECT_NE(ErrorOf([&] { JplApparentPosition(f.ctx, kEphemerisDe441, 2451545.0, 0, 1); }), "(no error)");
  EXPECT_EQ(ErrorOf([&] { JplApparentPosition(f.ctx, kEphemerisDe441, 2400000.5, kJplMoon, 1); }),
            " STATE: Epoch out of range.");
  // At the very start of the file the light-time instant falls before it.
  EXPECT_EQ(ErrorOf([&] { JplApparentPosition(f.ctx, kEphemerisDe441, 2436912.5, kJplSun, 1); }),
            " STATE: Epoch out of range.");
  EXPECT_EQ(ErrorOf([&] { JplApparentPosition(f.ctx, kEphemerisDe441, 2436912.5 + 0.01, kJplSun, 1); }),
            "(no error)");
  f.ctx.jpl = nullptr;
  EXPECT_EQ(ErrorOf([&] { JplApparentPosition(f.ctx, kEphemerisDe441, 2451545.0, kJplSun, 1); }),
            "no JPL ephemeris is open");
}

#if defined(ORVANTA_HAVE_PLUTO) && defined(ORVANTA_HAVE_ERFA)

// The independent apparent place: states from pluto-jpl-eph, a plain
// light-time iteration (no relativistic delay, whose effect on the direction
// is below a microarcsecond), and ERFA for the rest.
struct ErfaPlace {
  double geometricAu = 0, lightTimeDays = 0;
  double astrometric[3] = {};  // ICRF unit vector
  double apparent[3] = {};     // true equator and equinox of date
  double trueObliquity = 0;
  double earthVelocity[3] = {}, earthSun[3] = {}, bodyFromSun[3] = {};  // for the mode test
};

struct PlutoFile {
  void* ephem = jpl_init_ephemeris(testing::De405Path().c_str(), nullptr, nullptr);
  ~PlutoFile() {
    if (ephem) jpl_close_ephemeris(ephem);
  }
};

void PlutoState(void* ephem, double jd, int target, double pv[6]) {
  ASSERT_EQ(jpl_pleph(ephem, jd, target, 12, pv, 1), 0);
}

// Precession (no frame bias) and nutation to the true equator of date.
void ToDate(void* ephem, double jd, int model, const double in[3], double out[3], double& trueObliquity) {
  double P[3][3];
  double epsa;
  if (model == 2) {
    double eps0, psia, oma, bpa, bqa, pia, bpia, chia, za, zetaa, thetaa, pa, gam, phi, psi;
    eraP06e(2400000.5, jd - 2400000.5, &eps0, &psia, &oma, &bpa, &bqa, &pia, &bpia, &epsa, &chia, &za, &zetaa,
            &thetaa, &pa, &gam, &phi, &psi);
    eraIr(P);
    eraRz(-zetaa, P);
    eraRy(thetaa, P);
    eraRz(-za, P);
  } else {
    eraPmat76(2400000.5, jd - 2400000.5, P);
    epsa = eraObl80(2400000.5, jd - 2400000.5);
  }
  double nut[6];
  ASSERT_EQ(jpl_pleph(ephem, jd, 14, 0, nut, 1), 0);
  double N[3][3], NP[3][3];
  eraNumat(epsa, nut[0], nut[1], N);
  eraRxr(N, P, NP);
  double v[3] = {in[0], in[1], in[2]};
  eraRxp(NP, v, out);
  trueObliquity = epsa + nut[1];
}

ErfaPlace ReferencePlace(void* ephem, double jd, int target, int model) {
  ErfaPlace r;
  double earth[6], sun[6], body[6], sunThen[6];
  PlutoState(ephem, jd, 3, earth);
  PlutoState(ephem, jd, 11, sun);
  PlutoState(ephem, jd, target, body);
  double U[3];
  for (int j = 0; j < 3; ++j) U[j] = body[j] - earth[j];
  r.geometricAu = eraPm(U);
  double tau = r.geometricAu * kLightDaysPerAu;
  for (int i = 0; i < 20; ++i) {
    PlutoState(ephem, jd - tau, target, body);
    PlutoState(ephem, jd - tau, 11, sunThen);
    for (int j = 0; j < 3; ++j) U[j] = body[j] - earth[j];
    const double next = eraPm(U) * kLightDaysPerAu;
    if (std::fabs(next - tau) < 1e-15) break;
    tau = next;
  }
  r.lightTimeDays = tau;
  double p[3], q[3], e[3], pq[3], v[3], p1[3], p2[3];
  if (target != 11) {
    // Shapiro delay, 2 GM/c^3 ln((E + U + Q) / (E - U + Q)) (Explanatory
    // Supplement 1992, 3.315-1), with E, U, Q of the last iteration.
    double es[3], qs[3];
    for (int j = 0; j < 3; ++j) {
      es[j] = earth[j] - sun[j];
      qs[j] = body[j] - sunThen[j];
    }
    const double E = eraPm(es), Q = eraPm(qs), Ud = eraPm(U);
    r.lightTimeDays += 1.974e-08 * std::log((E + Ud + Q) / (E - Ud + Q)) * kLightDaysPerAu;
  }
  eraPn(U, &tau, p);
  std::copy(p, p + 3, r.astrometric);
  for (int j = 0; j < 3; ++j) {
    pq[j] = body[j] - sunThen[j];
    e[j] = earth[j] - sun[j];
    v[j] = earth[j + 3] * kLightDaysPerAu;
    r.earthVelocity[j] = v[j];
    r.earthSun[j] = e[j];
    r.bodyFromSun[j] = pq[j];
  }
  double em;
  eraPn(e, &em, e);
  double qm;
  eraPn(pq, &qm, q);
  if (target == 11) {
    eraCp(p, p1);
  } else {
    eraLd(1.0, p, q, e, em, 1e-9, p1);
  }
  eraAb(p1, v, em, std::sqrt(1.0 - eraPdp(v, v)), p2);
  ToDate(ephem, jd, model, p2, r.apparent, r.trueObliquity);
  return r;
}

void Spherical(const double v[3], double& ra, double& dec) {
  double w[3] = {v[0], v[1], v[2]};
  eraC2s(w, &ra, &dec);
  ra = eraAnp(ra);
}

void Ecliptic(const double v[3], double obliquity, double& lon, double& lat) {
  double R[3][3], w[3] = {v[0], v[1], v[2]}, out[3];
  eraIr(R);
  eraRx(obliquity, R);
  eraRxp(R, w, out);
  Spherical(out, lon, lat);
}

TEST(JplPosition, ApparentPlacesMatchErfaOnPlutoStates) {
  ORV_REQUIRE_DE405();
  PlutoFile pluto;
  ASSERT_NE(pluto.ephem, nullptr);
  double worst[2][2] = {};  // [Sun/Moon or planet][equatorial, ecliptic], mas
  for (const int model : {1, 2}) {
    Fixture f(model);
    for (const double jd : kInstants) {
      for (const int target : {11, 10, 1, 2, 4, 5, 6, 7, 8, 9}) {
        const ErfaPlace want = ReferencePlace(pluto.ephem, jd, target, model);
        const JplPositionResult& got = f.Place(jd, target, kJplApparent);
        EXPECT_NEAR(got.GeometricDistance, want.geometricAu, 1e-13) << jd << " " << target;
        EXPECT_NEAR(got.LightTime, want.lightTimeDays, 1e-13) << jd << " " << target;
        double ra, dec, lon, lat;
        Spherical(want.apparent, ra, dec);
        Ecliptic(want.apparent, want.trueObliquity, lon, lat);
        const double eq = AngleBetween(got.RightAscension, got.Declination, ra, dec) / kMas;
        const double ec = AngleBetween(got.Longitude, got.Latitude, lon, lat) / kMas;
        // A microarcsecond for the Sun and the Moon; the planets feel the
        // rounded deflection constant (1.974e-8 AU against ERFA's 1.97412574e-8).
        const double bound = target >= 10 ? 0.001 : 0.02;
        EXPECT_LT(eq, bound) << "model " << model << " JD " << jd << " target " << target;
        EXPECT_LT(ec, bound) << "model " << model << " JD " << jd << " target " << target;
        const int k = target >= 10 ? 0 : 1;
        worst[k][0] = std::max(worst[k][0], eq);
        worst[k][1] = std::max(worst[k][1], ec);
      }
    }
  }
  std::printf("  apparent places - ERFA on pluto states: Sun/Moon %.2g / %.2g mas, planets %.2g / %.2g mas "
              "(equatorial / ecliptic)\n",
              worst[0][0], worst[0][1], worst[1][0], worst[1][1]);
}

// Mode 0 is the light-time corrected ICRF direction; deflection, aberration,
// precession and nutation applied to it give mode 1.
TEST(JplPosition, AstrometricModeDiffersByTheApparentCorrectionsOnly) {
  ORV_REQUIRE_DE405();
  PlutoFile pluto;
  ASSERT_NE(pluto.ephem, nullptr);
  Fixture f(2);
  double worst = 0.0;
  for (const double jd : kInstants) {
    for (const int target : {10, 11, 4}) {
      const JplPositionResult astrometric = f.Place(jd, target, kJplAstrometric);
      const JplPositionResult apparent = f.Place(jd, target, kJplApparent);
      EXPECT_EQ(astrometric.GeometricDistance, apparent.GeometricDistance);
      EXPECT_EQ(astrometric.LightTime, apparent.LightTime);
      const ErfaPlace want = ReferencePlace(pluto.ephem, jd, target, 2);
      double ra, dec;
      Spherical(want.astrometric, ra, dec);
      EXPECT_LT(AngleBetween(astrometric.RightAscension, astrometric.Declination, ra, dec) / kMas, 0.01);
      // Longitude and latitude of mode 0: the ICRF direction rotated by the
      // true obliquity of date.
      double lon, lat;
      Ecliptic(want.astrometric, want.trueObliquity, lon, lat);
      EXPECT_LT(AngleBetween(astrometric.Longitude, astrometric.Latitude, lon, lat) / kMas, 0.01);
      // Our mode-0 direction through ERFA's corrections.
      const double d = astrometric.GeometricDistance;
      double p[3] = {astrometric.X / d, astrometric.Y / d, astrometric.Z / d}, e[3], q[3], p1[3], p2[3], p4[3];
      double em, qm, v[3] = {want.earthVelocity[0], want.earthVelocity[1], want.earthVelocity[2]};
      double es[3] = {want.earthSun[0], want.earthSun[1], want.earthSun[2]};
      double bs[3] = {want.bodyFromSun[0], want.bodyFromSun[1], want.bodyFromSun[2]};
      eraPn(es, &em, e);
      eraPn(bs, &qm, q);
      if (target == 11) eraCp(p, p1);
      else eraLd(1.0, p, q, e, em, 1e-9, p1);
      eraAb(p1, v, em, std::sqrt(1.0 - eraPdp(v, v)), p2);
      double obliquity;
      ToDate(pluto.ephem, jd, 2, p2, p4, obliquity);
      Spherical(p4, ra, dec);
      const double diff = AngleBetween(apparent.RightAscension, apparent.Declination, ra, dec) / kMas;
      EXPECT_LT(diff, 0.01) << jd << " " << target;
      worst = std::max(worst, diff);
      // And the corrections are not nothing: aberration alone is ~20".
      EXPECT_GT(AngleBetween(apparent.RightAscension, apparent.Declination, astrometric.RightAscension,
                             astrometric.Declination),
                10 * kArcsec);
    }
  }
  std::printf("  mode 1 - (mode 0 + ERFA corrections): %.2g mas\n", worst);
}

#endif  // ORVANTA_HAVE_PLUTO && ORVANTA_HAVE_ERFA

// Published geocentric apparent places (DE200/LE200, IAU 1976 precession,
// IAU 1980 nutation). DE405 differs from DE200 by its frame (ICRF against
// the dynamical equinox, a few hundredths of an arcsecond) and its lunar
// theory, hence 0.05" for the Sun and 0.1" for the Moon.
TEST(JplPosition, NasaEclipseBulletinPlaces) {
  ORV_REQUIRE_DE405();
  Fixture f(1);
  struct Case {
    const char* what;
    double jdTT;
    int target;
    int raH, raM;
    double raS;
    int decSign, decD, decM;
    double decS;
    double toleranceArcsec;
  } cases[] = {
      // 1999 August 11, greatest eclipse 11:04:09.01 TDT.
      {"1999 Sun", 2451401.5 + (11 * 3600 + 4 * 60 + 9.01) / 86400.0, kJplSun, 9, 23, 8.297, +1, 15, 19, 39.72, 0.05},
      {"1999 Moon", 2451401.5 + (11 * 3600 + 4 * 60 + 9.01) / 86400.0, kJplMoon, 9, 23, 34.531, +1, 15, 48, 38.51, 0.1},
      // 2002 December 4, greatest eclipse 07:32:15.65 TDT.
      {"2002 Sun", 2452612.5 + (7 * 3600 + 32 * 60 + 15.65) / 86400.0, kJplSun, 16, 41, 50.939, -1, 22, 13, 29.20, 0.05},
      {"2002 Moon", 2452612.5 + (7 * 3600 + 32 * 60 + 15.65) / 86400.0, kJplMoon, 16, 41, 32.881, -1, 22, 31, 5.17, 0.1},
  };
  for (const auto& c : cases) {
    const JplPositionResult& r = f.Place(c.jdTT, c.target, kJplApparent);
    const double ra = (c.raH + c.raM / 60.0 + c.raS / 3600.0) * 15.0 * kDegToRad;
    const double dec = c.decSign * (c.decD + c.decM / 60.0 + c.decS / 3600.0) * kDegToRad;
    const double raErr = std::remainder(r.RightAscension - ra, kTwoPi) * std::cos(dec) / kArcsec;
    const double decErr = (r.Declination - dec) / kArcsec;
    std::printf("  %s: RA %+.3f\" (x cos dec), Dec %+.3f\"\n", c.what, raErr, decErr);
    EXPECT_LT(std::fabs(raErr), c.toleranceArcsec) << c.what;
    EXPECT_LT(std::fabs(decErr), c.toleranceArcsec) << c.what;
  }
}

}  // namespace
}  // namespace orv
