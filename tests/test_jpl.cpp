// The JPL binary ephemeris reader.
// References: DE405 converted from Debian's casacore-data-jpl-de405
// (tools/de405_from_casacore.py) and read also by Debian's pluto-jpl-eph
// (an independent reader of the same layout); ERFA eraNut80 (IAU 1980
// nutation, the theory DE405's nutation item was fitted to); synthetic files
// with known Chebyshev coefficients.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/core/files/ephemeris_files.h"
#include "cli_runner.h"
#include "ephemeris/angles.h"
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

using testing::De405Path;
using testing::SyntheticEphemeris;
using testing::TempDir;

constexpr double kMillimetreKm = 1e-6;
constexpr double kDe405First = 2436912.5;  // first JD of the converted file
constexpr double kDe405Last = 2473488.5;
constexpr double kDe405Step = 32.0;

std::string ErrorOf(auto&& call) {
  try {
    call();
  } catch (const JplError& e) {
    return e.what();
  }
  return "(no error)";
}

// The instants where the readers are compared: both ends of the file, record
// boundaries and just around them, and random instants.
std::vector<double> ComparisonInstants(int randomCount) {
  std::vector<double> jd = {kDe405First, kDe405Last, kDe405First + 1e-3, kDe405Last - 1e-3};
  for (int k : {1, 2, 100, 571, 1000, 1142}) {
    const double boundary = kDe405First + k * kDe405Step;
    jd.insert(jd.end(), {boundary, boundary - 1e-7, boundary + 1e-7, boundary - 0.5, boundary + 16.0});
  }
  std::mt19937_64 rng(405);
  std::uniform_real_distribution<double> uniform(kDe405First, kDe405Last);
  for (int i = 0; i < randomCount; ++i) jd.push_back(uniform(rng));
  return jd;
}

// ---------------------------------------------------------------------------
// DE405 against pluto-jpl-eph.

#ifdef ORVANTA_HAVE_PLUTO
struct PlutoFile {
  void* ephem = nullptr;
  PlutoFile() { ephem = jpl_init_ephemeris(De405Path().c_str(), nullptr, nullptr); }
  ~PlutoFile() {
    if (ephem) jpl_close_ephemeris(ephem);
  }
};

TEST(JplReader, HeaderAndConstantsMatchPluto) {
  ORV_REQUIRE_DE405();
  PlutoFile pluto;
  ASSERT_NE(pluto.ephem, nullptr);
  JplEphemeris eph;
  testing::OpenDe405(eph);
  const JplHeader& h = eph.header;
  EXPECT_EQ(h.Span[0], jpl_get_double(pluto.ephem, JPL_EPHEM_START_JD));
  EXPECT_EQ(h.Span[1], jpl_get_double(pluto.ephem, JPL_EPHEM_END_JD));
  EXPECT_EQ(h.Span[2], jpl_get_double(pluto.ephem, JPL_EPHEM_STEP));
  EXPECT_EQ(h.AU, jpl_get_double(pluto.ephem, JPL_EPHEM_AU_IN_KM));
  EXPECT_EQ(h.EMRAT, jpl_get_double(pluto.ephem, JPL_EPHEM_EARTH_MOON_RATIO));
  EXPECT_EQ(h.ConstantCount, jpl_get_long(pluto.ephem, JPL_EPHEM_N_CONSTANTS));
  EXPECT_EQ(h.FileDeNumber, jpl_get_long(pluto.ephem, JPL_EPHEM_EPHEMERIS_VERSION));
  EXPECT_EQ(h.DeNumber, 405);
  EXPECT_EQ(4 * h.RecordSize, jpl_get_long(pluto.ephem, JPL_EPHEM_KERNEL_RECORD_SIZE));
  EXPECT_EQ(h.RecordSize, 2036);
  EXPECT_EQ(h.RecordCount, 1143);
  for (int i = 0; i < h.ConstantCount; ++i) {
    char name[16] = {};
    const double value = jpl_get_constant(i, pluto.ephem, name);
    std::string want(name);
    while (!want.empty() && want.back() == ' ') want.pop_back();
    EXPECT_EQ(JplConstantName(h, i), want) << i;
    EXPECT_EQ(h.ConstantValues[i], value) << want;
  }
  double jdEpoch = 0.0;
  ASSERT_TRUE(JplConstantValue(h, "JDEPOC", jdEpoch));
  EXPECT_EQ(jdEpoch, 2440400.5);
  EXPECT_FALSE(JplConstantValue(h, "NOSUCH", jdEpoch));
}

TEST(JplReader, StatesOfEveryBodyPairMatchPluto) {
  ORV_REQUIRE_DE405();
  PlutoFile pluto;
  ASSERT_NE(pluto.ephem, nullptr);
  JplEphemeris eph;
  testing::OpenDe405(eph);
  const double au = eph.header.AU;
  double worstPositionKm = 0.0, worstVelocityKmPerDay = 0.0, worstRelative = 0.0;
  int compared = 0;
  for (const double jd : ComparisonInstants(300)) {
    for (int target = 1; target <= 13; ++target) {
      for (int centre = 1; centre <= 13; ++centre) {
        double ours[6] = {}, theirs[6] = {};
        int inside = 0;
        JplState(eph, jd, target, centre, ours, inside);
        ASSERT_EQ(inside, 1) << jd;
        ASSERT_EQ(jpl_pleph(pluto.ephem, jd, target, centre, theirs, 1), 0) << jd;
        // Positions near 50 AU carry about 1 mm of double rounding of their
        // own, so the bound is 1 mm plus 4 units in the last place.
        const double scale = std::max({std::fabs(theirs[0]), std::fabs(theirs[1]), std::fabs(theirs[2])});
        const double boundAu = kMillimetreKm / au + 4 * scale * 2.2e-16;
        for (int j = 0; j < 3; ++j) {
          const double diff = std::fabs(ours[j] - theirs[j]);
          EXPECT_LE(diff, boundAu) << "JD " << jd << " target " << target << " centre " << centre;
          worstPositionKm = std::max(worstPositionKm, diff * au);
          if (scale > 0) worstRelative = std::max(worstRelative, diff / scale);
          const double vdiff = std::fabs(ours[j + 3] - theirs[j + 3]);
          EXPECT_LE(vdiff * au, 1e-6) << "JD " << jd << " target " << target << " centre " << centre;
          worstVelocityKmPerDay = std::max(worstVelocityKmPerDay, vdiff * au);
        }
        ++compared;
      }
    }
  }
  std::printf("  %d states: largest difference from pluto %.3g mm in position (%.2g relative), %.3g mm/day in velocity\n",
              compared, worstPositionKm * 1e6, worstRelative, worstVelocityKmPerDay * 1e6);
}

TEST(JplReader, NutationsAndLibrationsMatchPluto) {
  ORV_REQUIRE_DE405();
  PlutoFile pluto;
  ASSERT_NE(pluto.ephem, nullptr);
  JplEphemeris eph;
  testing::OpenDe405(eph);
  double worstNutation = 0.0, worstLibration = 0.0;
  for (const double jd : ComparisonInstants(300)) {
    double ours[6] = {}, theirs[6] = {};
    int inside = 0;
    JplState(eph, jd, kJplNutations, 0, ours, inside);
    ASSERT_EQ(jpl_pleph(pluto.ephem, jd, 14, 0, theirs, 1), 0);
    for (int j = 0; j < 4; ++j) {
      EXPECT_NEAR(ours[j], theirs[j], 1e-15) << jd << " component " << j;
      worstNutation = std::max(worstNutation, std::fabs(ours[j] - theirs[j]));
    }
    JplState(eph, jd, kJplLibrations, 0, ours, inside);
    ASSERT_EQ(jpl_pleph(pluto.ephem, jd, 15, 0, theirs, 1), 0);
    for (int j = 0; j < 6; ++j) {
      EXPECT_NEAR(ours[j], theirs[j], 1e-14 * std::max(1.0, std::fabs(theirs[j]))) << jd << " component " << j;
      worstLibration = std::max(worstLibration, std::fabs(ours[j] - theirs[j]));
    }
  }
  std::printf("  largest difference from pluto: nutations %.2g rad, librations %.2g rad\n", worstNutation,
              worstLibration);
}

TEST(JplReader, KilometreFlagGivesKmAndKmPerSecond) {
  ORV_REQUIRE_DE405();
  PlutoFile pluto;
  ASSERT_NE(pluto.ephem, nullptr);
  JplEphemeris eph;
  testing::OpenDe405(eph);
  eph.JplKilometres = 1;
  JplRestart(eph);  // the unit is taken at the first state after a restart
  const double jd = 2451545.0;
  double ours[6], theirs[6];
  int inside = 0;
  JplState(eph, jd, kJplMars, kJplSun, ours, inside);
  ASSERT_EQ(jpl_pleph(pluto.ephem, jd, kJplMars, kJplSun, theirs, 1), 0);
  for (int j = 0; j < 3; ++j) {
    EXPECT_NEAR(ours[j], theirs[j] * eph.header.AU, 2 * kMillimetreKm);
    EXPECT_NEAR(ours[j + 3], theirs[j + 3] * eph.header.AU / 86400.0, 1e-10);
  }
}
#endif  // ORVANTA_HAVE_PLUTO

// ---------------------------------------------------------------------------
// DE405 nutations against the IAU 1980 theory.

#ifdef ORVANTA_HAVE_ERFA
TEST(JplReader, De405NutationsFollowIau1980) {
  ORV_REQUIRE_DE405();
  JplEphemeris eph;
  testing::OpenDe405(eph);
  const CalcSettings settings = DefaultSettings();
  const Observer observer;
  EngineContext ctx(settings, observer);
  ctx.jpl = &eph;
  double worstPsi = 0.0, worstEps = 0.0, sumSquares = 0.0;
  int n = 0;
  for (double jd = kDe405First; jd <= kDe405Last; jd += 7.3) {
    double dpsi = 0.0, deps = 0.0, psi80 = 0.0, eps80 = 0.0;
    JplNutationAngles(ctx, jd, dpsi, deps);
    eraNut80(2400000.5, jd - 2400000.5, &psi80, &eps80);
    const double ePsi = std::fabs(dpsi - psi80) / kMasToRad, eEps = std::fabs(deps - eps80) / kMasToRad;
    worstPsi = std::max(worstPsi, ePsi);
    worstEps = std::max(worstEps, eEps);
    sumSquares += ePsi * ePsi + eEps * eEps;
    n += 2;
  }
  std::printf("  DE405 nutation - eraNut80 over 1961-2061: largest %.4f mas (dpsi), %.4f mas (deps), rms %.4f mas\n",
              worstPsi, worstEps, std::sqrt(sumSquares / n));
  // The Chebyshev fit of the series: about 0.003 mas rms, 0.02 mas at worst.
  EXPECT_LT(worstPsi, 0.03);
  EXPECT_LT(worstEps, 0.03);
  EXPECT_LT(std::sqrt(sumSquares / n), 0.005);
}
#endif

// ---------------------------------------------------------------------------
// Record selection, Earth-Moon pairs and the barycentric flag on DE405.

// Raw Chebyshev sum of one component of a block of a DE405 record read from
// the file's bytes, at local time tau of sub-interval `sub`.
double RawChebyshev(long long record, int first, int count, int components, int sub, int component, double tau) {
  std::FILE* f = std::fopen(De405Path().c_str(), "rb");
  EXPECT_NE(f, nullptr);
  const long long recordBytes = 8144;
  std::vector<double> c(count);
  const long long index = first + (sub * components + component) * count;  // 1-based
  std::fseek(f, static_cast<long>((record + 1) * recordBytes + 8 * (index - 1)), SEEK_SET);
  EXPECT_EQ(std::fread(c.data(), 8, count, f), static_cast<std::size_t>(count));
  std::fclose(f);
  long double sum = 0.0L, previous = 1.0L, current = tau;
  sum += c[0];
  if (count > 1) sum += c[1] * current;
  for (int k = 2; k < count; ++k) {
    const long double next = 2.0L * tau * current - previous;
    previous = current;
    current = next;
    sum += c[k] * next;
  }
  return static_cast<double>(sum);
}

TEST(JplReader, LastInstantUsesLastRecordAtItsEnd) {
  ORV_REQUIRE_DE405();
  JplEphemeris eph;
  testing::OpenDe405(eph);
  eph.JplKilometres = 1;
  JplRestart(eph);
  double moon[6];
  int inside = 0;
  JplState(eph, kDe405Last, kJplMoon, kJplEarth, moon, inside);
  ASSERT_EQ(inside, 1);
  EXPECT_EQ(eph.RecordHeld, 1143);
  // DE405's Moon: first coefficient 441, 13 coefficients, 8 sub-intervals.
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(moon[i], RawChebyshev(1143, 441, 13, 3, 7, i, 1.0), 1e-9) << i;
  // Beyond the last JD: outside, result untouched.
  double untouched[6] = {1, 2, 3, 4, 5, 6};
  JplState(eph, kDe405Last + 1e-6, kJplMoon, kJplEarth, untouched, inside);
  EXPECT_EQ(inside, 0);
  EXPECT_EQ(untouched[0], 1.0);
  EXPECT_EQ(untouched[5], 6.0);
  JplState(eph, kDe405First - 1e-6, kJplMoon, kJplEarth, untouched, inside);
  EXPECT_EQ(inside, 0);
  JplState(eph, std::nan(""), kJplMoon, kJplEarth, untouched, inside);
  EXPECT_EQ(inside, 0);
  EXPECT_EQ(untouched[0], 1.0);
}

TEST(JplReader, RecordBoundaryUsesLaterRecord) {
  ORV_REQUIRE_DE405();
  JplEphemeris eph;
  testing::OpenDe405(eph);
  eph.JplKilometres = 1;
  JplRestart(eph);
  for (const int k : {1, 500, 1142}) {
    const double boundary = kDe405First + k * kDe405Step;
    double moon[6];
    int inside = 0;
    JplState(eph, boundary, kJplMoon, kJplEarth, moon, inside);
    EXPECT_EQ(eph.RecordHeld, k + 1);
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(moon[i], RawChebyshev(k + 1, 441, 13, 3, 0, i, -1.0), 1e-9) << k << " component " << i;
    // The earlier record ends at the same place to well under a metre.
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(moon[i], RawChebyshev(k, 441, 13, 3, 7, i, 1.0), 1e-3);
  }
}

TEST(JplReader, EarthMoonPairs) {
  ORV_REQUIRE_DE405();
  JplEphemeris eph;
  testing::OpenDe405(eph);
  const double emrat = eph.header.EMRAT;
  for (const double jd : {2440400.5, 2451545.0, 2460000.25}) {
    double moon[6], earthFromMoon[6], embFromEarth[6], earthFromEmb[6], moonFromEmb[6], embFromMoon[6];
    int inside = 0;
    JplState(eph, jd, kJplMoon, kJplEarth, moon, inside);
    JplState(eph, jd, kJplEarth, kJplMoon, earthFromMoon, inside);
    JplState(eph, jd, kJplEarthMoonBarycentre, kJplEarth, embFromEarth, inside);
    JplState(eph, jd, kJplEarth, kJplEarthMoonBarycentre, earthFromEmb, inside);
    JplState(eph, jd, kJplMoon, kJplEarthMoonBarycentre, moonFromEmb, inside);
    JplState(eph, jd, kJplEarthMoonBarycentre, kJplMoon, embFromMoon, inside);
    for (int j = 0; j < 6; ++j) {
      EXPECT_EQ(earthFromMoon[j], -moon[j]);
      EXPECT_DOUBLE_EQ(embFromEarth[j], moon[j] / (1.0 + emrat));
      EXPECT_EQ(earthFromEmb[j], -embFromEarth[j]);
      EXPECT_DOUBLE_EQ(moonFromEmb[j], moon[j] * emrat / (1.0 + emrat));
      EXPECT_EQ(embFromMoon[j], -moonFromEmb[j]);
    }
    // The geocentric Moon at the integration epoch is the initial condition.
    if (jd == 2440400.5) {
      const char* names[] = {"XM", "YM", "ZM"};
      for (int j = 0; j < 3; ++j) {
        double want = 0.0;
        ASSERT_TRUE(JplConstantValue(eph.header, names[j], want));
        EXPECT_NEAR(moon[j] * eph.header.AU, want * eph.header.AU, 1e-6);
      }
    }
    double zero[6] = {1, 1, 1, 1, 1, 1};
    JplState(eph, jd, kJplMars, kJplMars, zero, inside);
    for (double v : zero) EXPECT_EQ(v, 0.0);
  }
}

TEST(JplReader, BarycentricFlag) {
  ORV_REQUIRE_DE405();
  JplEphemeris eph;
  testing::OpenDe405(eph);
  const double jd = 2455000.3;
  int marks[12] = {};
  marks[kJplItemMercury] = 2;
  marks[kJplItemMoon] = 2;
  JplItemStates bary, helio;
  eph.JplBarycentric = 1;
  JplStateOfRecord(eph, jd, marks, bary);
  eph.JplBarycentric = 0;
  JplStateOfRecord(eph, jd, marks, helio);
  for (int j = 0; j < 6; ++j) {
    EXPECT_EQ(helio.Bodies[kJplItemMercury][j], bary.Bodies[kJplItemMercury][j] - bary.Sun[j]);
    EXPECT_EQ(helio.Bodies[kJplItemMoon][j], bary.Bodies[kJplItemMoon][j]);  // geocentric either way
  }
  // JplState works barycentrically whatever the flag, and restores it.
  double withFlag0[6], withFlag1[6];
  int inside = 0;
  JplState(eph, jd, kJplMercury, kJplSolarSystemBarycentre, withFlag0, inside);
  EXPECT_EQ(eph.JplBarycentric, 0);
  eph.JplBarycentric = 1;
  JplState(eph, jd, kJplMercury, kJplSolarSystemBarycentre, withFlag1, inside);
  for (int j = 0; j < 6; ++j) {
    EXPECT_EQ(withFlag0[j], withFlag1[j]);
    EXPECT_EQ(withFlag1[j], bary.Bodies[kJplItemMercury][j]);
  }
}

TEST(JplReader, ErrorsOnDe405) {
  ORV_REQUIRE_DE405();
  JplEphemeris eph;
  testing::OpenDe405(eph);
  int marks[12] = {};
  JplItemStates states;
  EXPECT_EQ(ErrorOf([&] { JplStateOfRecord(eph, kDe405Last + 1.0, marks, states); }), " STATE: Epoch out of range.");
  EXPECT_EQ(ErrorOf([&] { JplStateOfRecord(eph, kDe405First - 0.25, marks, states); }),
            " STATE: Epoch out of range.");
  double r[6];
  int inside = 0;
  EXPECT_NE(ErrorOf([&] { JplState(eph, 2451545.0, 0, 3, r, inside); }), "(no error)");
  EXPECT_NE(ErrorOf([&] { JplState(eph, 2451545.0, 16, 3, r, inside); }), "(no error)");
  EXPECT_NE(ErrorOf([&] { JplState(eph, 2451545.0, 3, 14, r, inside); }), "(no error)");
  const CalcSettings settings = DefaultSettings();
  const Observer observer;
  EngineContext ctx(settings, observer);
  double dpsi = 0, deps = 0;
  EXPECT_EQ(ErrorOf([&] { JplNutationAngles(ctx, 2451545.0, dpsi, deps); }), "no JPL ephemeris is open");
  ctx.jpl = &eph;
  EXPECT_EQ(ErrorOf([&] { JplNutationAngles(ctx, kDe405Last + 10, dpsi, deps); }), " STATE: Epoch out of range.");
}

// ---------------------------------------------------------------------------
// Synthetic files: interpolation with known coefficients, missing items.

TEST(JplReader, InterpolatesKnownChebyshevSeries) {
  TempDir dir;
  SyntheticEphemeris s = SyntheticEphemeris::Standard();
  // Sun x = 1e8 + 1000 r + 500 T1 + 10 T2 (km), record r = 0, 1, 2.
  // Moon y in sub-interval l: 3e5 + 100 l + 50 T1 + 4 T3.
  // Nutation deps in sub-interval l: 1e-5 + 2e-6 T1 - 3e-7 T2 + l * 1e-6.
  for (int r = 0; r < s.records; ++r) {
    auto& c = s.coefficients[r];
    c[3] = 1e8 + 1000.0 * r;
    c[4] = 500.0;
    c[5] = 10.0;
    for (int l = 0; l < 2; ++l) {
      const int moonY = 39 + (l * 3 + 1) * 4;
      c[moonY] = 3e5 + 100.0 * l;
      c[moonY + 1] = 50.0;
      c[moonY + 3] = 4.0;
      const int deps = 63 + (l * 2 + 1) * 4;
      c[deps] = 1e-5 + l * 1e-6;
      c[deps + 1] = 2e-6;
      c[deps + 2] = -3e-7;
    }
  }
  s.write(dir.file("syn.jpl"));
  JplEphemeris eph;
  ASSERT_TRUE(eph.OpenFile(dir.file("syn.jpl")));
  JplOpenEphemeris(eph, 431);
  EXPECT_EQ(eph.header.RecordSize, 816);
  eph.JplKilometres = 1;
  JplRestart(eph);
  const double stepSeconds = s.stepDays * 86400.0;
  struct Case { double dayInRecord; int record; } cases[] = {{0.0, 0}, {5.25, 0}, {16.0, 1}, {31.9, 1}, {24.0, 2}};
  for (const auto& k : cases) {
    // A JD near 2.45e6 resolves 5e-10 day: the expected values allow for it.
    const double jd = s.firstJD + k.record * s.stepDays + k.dayInRecord;
    const double t = k.dayInRecord / s.stepDays;
    int marks[12] = {};
    marks[kJplItemMoon] = 2;
    marks[kJplMarkNutations] = 2;
    JplItemStates st;
    JplStateOfRecord(eph, jd, marks, st);
    EXPECT_EQ(eph.RecordHeld, k.record + 1);
    const double tau = 2 * t - 1;  // Sun: one sub-interval
    EXPECT_NEAR(st.Sun[0], 1e8 + 1000.0 * k.record + 500 * tau + 10 * (2 * tau * tau - 1), 1e-7);
    EXPECT_NEAR(st.Sun[3], (500 + 40 * tau) * 2 / stepSeconds, 1e-12);
    const int l = t < 0.5 ? 0 : 1;
    const double tauMoon = 2 * (2 * t - l) - 1;
    EXPECT_NEAR(st.Bodies[kJplItemMoon][1], 3e5 + 100.0 * l + 50 * tauMoon + 4 * (4 * std::pow(tauMoon, 3) - 3 * tauMoon),
                1e-8);
    EXPECT_NEAR(st.Bodies[kJplItemMoon][4], (50 + 4 * (12 * tauMoon * tauMoon - 3)) * 4 / stepSeconds, 1e-12);
    EXPECT_NEAR(st.Nutations[1], 1e-5 + l * 1e-6 + 2e-6 * tauMoon - 3e-7 * (2 * tauMoon * tauMoon - 1), 1e-16);
    EXPECT_NEAR(st.Nutations[3], (2e-6 - 1.2e-6 * tauMoon) * 4 / stepSeconds, 1e-20);
  }
  // In AU, velocities per day.
  eph.JplKilometres = 0;
  JplRestart(eph);
  double sun[6];
  int inside = 0;
  JplState(eph, s.firstJD + 8.0, kJplSun, kJplSolarSystemBarycentre, sun, inside);
  const double tau = 2 * 0.25 - 1;
  EXPECT_NEAR(sun[0], (1e8 + 500 * tau + 10 * (2 * tau * tau - 1)) / s.au, 1e-15);
  EXPECT_NEAR(sun[3], (500 + 40 * tau) * 2 / s.stepDays / s.au, 1e-18);
}

TEST(JplReader, MissingItemsGiveTheReaderMessages) {
  TempDir dir;
  SyntheticEphemeris s = SyntheticEphemeris::Standard();
  s.pointers[kJplItemNutations][1] = 0;  // no nutation coefficients
  s.write(dir.file("nonut.jpl"));
  JplEphemeris eph;
  ASSERT_TRUE(eph.OpenFile(dir.file("nonut.jpl")));
  JplOpenEphemeris(eph, 441);
  double r[6];
  int inside = 0;
  EXPECT_EQ(ErrorOf([&] { JplState(eph, s.firstJD + 3, kJplNutations, 0, r, inside); }),
            " *** NO NUTATION ON THE EPHEMERIS FILE ***");
  EXPECT_EQ(ErrorOf([&] { JplState(eph, s.firstJD + 3, kJplMercury, kJplSun, r, inside); }),
            "0 th body requested - not on file");
  EXPECT_EQ(ErrorOf([&] { JplState(eph, s.firstJD + 3, kJplPluto, kJplSun, r, inside); }),
            "8 th body requested - not on file");
  EXPECT_EQ(ErrorOf([&] { JplState(eph, s.firstJD + 3, kJplMoon, kJplEarth, r, inside); }), "(no error)");
  const CalcSettings settings = DefaultSettings();
  const Observer observer;
  EngineContext ctx(settings, observer);
  ctx.jpl = &eph;
  double dpsi = 0, deps = 0;
  EXPECT_EQ(ErrorOf([&] { JplNutationAngles(ctx, s.firstJD + 3, dpsi, deps); }),
            " *** NO NUTATION ON THE EPHEMERIS FILE ***");

  // No librations: the record ends with the last item (here padded by a
  // larger nutation block so that it still holds the constants).
  SyntheticEphemeris n = SyntheticEphemeris::Standard();
  n.libration[0] = n.libration[1] = n.libration[2] = 0;
  n.pointers[kJplItemNutations][1] = 10;
  n.pointers[kJplItemNutations][2] = 17;  // 63 .. 402
  n.recordDoubles = 402;
  n.coefficients.assign(n.records, std::vector<double>(n.recordDoubles + 1, 0.0));
  n.write(dir.file("nolib.jpl"));
  ASSERT_TRUE(eph.OpenFile(dir.file("nolib.jpl")));
  JplOpenEphemeris(eph, 200);
  EXPECT_EQ(eph.header.RecordSize, 804);
  EXPECT_EQ(ErrorOf([&] { JplState(eph, n.firstJD + 3, kJplLibrations, 0, r, inside); }),
            " *** NO LIBRATIONS ON THE EPHEMERIS FILE ***");
  EXPECT_EQ(ErrorOf([&] { JplState(eph, n.firstJD + 3, kJplNutations, 0, r, inside); }), "(no error)");
}

TEST(JplReader, RejectsBadFilesWhenOpened) {
  TempDir dir;
  JplEphemeris eph;
  auto openError = [&](const std::string& bytes) {
    dir.write("bad.jpl", bytes);
    if (!eph.OpenFile(dir.file("bad.jpl"))) return std::string("(not opened)");
    return ErrorOf([&] { JplOpenEphemeris(eph, 441); });
  };
  const SyntheticEphemeris good = SyntheticEphemeris::Standard();
  EXPECT_EQ(openError(good.bytes()), "(no error)");
  EXPECT_NE(openError(""), "(no error)");
  EXPECT_NE(openError("This is not an ephemeris\n"), "(no error)");
  EXPECT_NE(openError(std::string(20000, 'x')), "(no error)");
  // Truncated: the last record is cut short.
  const std::string whole = good.bytes();
  EXPECT_NE(openError(whole.substr(0, whole.size() - 1)), "(no error)");
  // Records larger than the buffer.
  SyntheticEphemeris big = SyntheticEphemeris::Standard();
  big.libration[2] = 40;  // 79 + 1200 - 1 doubles
  EXPECT_EQ(openError(big.bytes()), "JPL ephemeris file: records of 2556 words are larger than the 2036 supported");
  // An item running past the librations.
  SyntheticEphemeris past = SyntheticEphemeris::Standard();
  past.pointers[kJplItemMercury][0] = 400;
  past.pointers[kJplItemMercury][1] = 10;
  past.pointers[kJplItemMercury][2] = 1;
  EXPECT_EQ(openError(past.bytes()), "JPL ephemeris file: item pointers run past the record");
  // More than 18 coefficients, an invalid span.
  SyntheticEphemeris many = SyntheticEphemeris::Standard();
  many.pointers[kJplItemSun][1] = 19;
  EXPECT_NE(openError(many.bytes()), "(no error)");
  SyntheticEphemeris span = SyntheticEphemeris::Standard();
  span.stepDays = -32.0;
  EXPECT_NE(openError(span.bytes()), "(no error)");
  // A data record whose JDs do not belong to its place: found when it is read.
  std::string shifted = whole;
  const double wrong = good.firstJD + 1000.0;
  std::memcpy(&shifted[8 * good.recordDoubles * 3], &wrong, 8);  // first JD of data record 2
  EXPECT_EQ(openError(shifted), "(no error)");
  double r[6];
  int inside = 0;
  EXPECT_EQ(ErrorOf([&] { JplState(eph, good.firstJD + 1.0, kJplSun, kJplSolarSystemBarycentre, r, inside); }),
            "(no error)");
  const std::string message =
      ErrorOf([&] { JplState(eph, good.firstJD + 40.0, kJplSun, kJplSolarSystemBarycentre, r, inside); });
  EXPECT_NE(message.find("record 2 covers JD"), std::string::npos) << message;
  EXPECT_FALSE(eph.OpenFile(dir.file("missing.jpl")));
  EXPECT_EQ(ErrorOf([&] { JplOpenEphemeris(eph, 441); }), "no JPL ephemeris is open");
  EXPECT_FALSE(eph.OpenFile(dir.path()));  // a folder
}

// Random damage to a valid file: every open or state either works or throws
// JplError; nothing reads outside its buffers (run under the sanitizers).
TEST(JplReader, SurvivesDamagedFiles) {
  TempDir dir;
  SyntheticEphemeris s = SyntheticEphemeris::Standard();
  for (int r = 0; r < s.records; ++r)
    for (int i = 3; i <= s.recordDoubles; ++i) s.coefficients[r][i] = std::sin(i * 0.37 + r) * 1e6;
  const std::string good = s.bytes();
  std::mt19937 rng(2036);
  int accepted = 0, rejected = 0;
  const int headerFieldsFrom = 2652, headerFieldsTo = 2856;
  for (int trial = 0; trial < 1500; ++trial) {
    std::string bytes = good;
    const int kind = trial % 6;
    if (kind == 0) {  // small integers in pointer / count fields
      for (int k = 0; k < 3; ++k) {
        const int at = 2696 + 4 * static_cast<int>(rng() % 40);
        const std::int32_t v = static_cast<std::int32_t>(rng() % 2400) - 200;
        std::memcpy(&bytes[at], &v, 4);
      }
    } else if (kind == 1) {  // random bytes anywhere in the header fields
      for (int k = 0; k < 6; ++k) bytes[headerFieldsFrom + rng() % (headerFieldsTo - headerFieldsFrom)] = char(rng());
    } else if (kind == 2) {  // truncated
      bytes.resize(rng() % bytes.size());
    } else if (kind == 3) {  // odd spans and steps
      const double values[] = {0.0, -1.0, 1e-300, 1e300, std::nan(""), 0.3, 7.0, 1e9, -2451545.0};
      const int field = static_cast<int>(rng() % 3);
      const double v = values[rng() % 9];
      std::memcpy(&bytes[2652 + 8 * field], &v, 8);
    } else if (kind == 4) {  // a plausible pointer triple for any item
      const int item = static_cast<int>(rng() % 13);
      const std::int32_t triple[3] = {static_cast<std::int32_t>(1 + rng() % 420),
                                      static_cast<std::int32_t>(rng() % 20),
                                      static_cast<std::int32_t>(rng() % 5)};
      std::memcpy(&bytes[item < 12 ? 2696 + 12 * item : 2844], triple, 12);
    } else {  // damaged data records: JDs and coefficients
      const double values[] = {std::nan(""), 1e308, -1e308, 0.0, s.firstJD, s.lastJD(), 1e-310};
      const std::size_t dataFrom = 8 * s.recordDoubles * 2;
      for (int k = 0; k < 4; ++k) {
        const std::size_t at = dataFrom + 8 * (rng() % (s.recordDoubles * s.records));
        std::memcpy(&bytes[at], &values[rng() % 7], 8);
      }
    }
    const std::string path = dir.file("fuzz.jpl");
    dir.write("fuzz.jpl", bytes);
    JplEphemeris eph;
    ASSERT_TRUE(eph.OpenFile(path));
    try {
      JplOpenEphemeris(eph, 441);
      ++accepted;
    } catch (const JplError&) {
      ++rejected;
      continue;
    }
    std::uniform_real_distribution<double> around(s.firstJD - 40.0, s.lastJD() + 40.0);
    for (int q = 0; q < 20; ++q) {
      double r[6] = {};
      int inside = 0;
      const int target = 1 + static_cast<int>(rng() % 15), centre = 1 + static_cast<int>(rng() % 13);
      try {
        eph.JplKilometres = static_cast<int>(rng() % 2);
        if (q % 5 == 0) JplRestart(eph);
        JplState(eph, around(rng), target, centre, r, inside);
      } catch (const JplError&) {
      }
    }
  }
  std::printf("  damaged files: %d accepted, %d rejected at opening\n", accepted, rejected);
  EXPECT_GT(rejected, 0);
  EXPECT_GT(accepted, 0);
}

// ---------------------------------------------------------------------------
// Where the files are looked for.

TEST(EphemerisFiles, SearchOrder) {
  TempDir program, current;
  std::filesystem::create_directories(program.file("Eph"));
  std::filesystem::create_directories(current.file("Eph"));
  EXPECT_EQ(EphemerisFileName(8), "DE431.jpl");
  EXPECT_EQ(EphemerisFileName(9), "DE441.jpl");
  EXPECT_EQ(EphemerisFileName(3), "");
  EphemerisFileLocation found;
  EXPECT_FALSE(FindEphemerisFile("DE441.jpl", program.path(), current.path(), found));
  current.write("Eph/DE441.jpl", "x");
  ASSERT_TRUE(FindEphemerisFile("DE441.jpl", program.path(), current.path(), found));
  EXPECT_EQ(found.path, current.file("Eph/DE441.jpl"));
  EXPECT_EQ(found.folder, current.path() + "/Eph/");
  current.write("DE441.jpl", "x");
  ASSERT_TRUE(FindEphemerisFile("DE441.jpl", program.path(), current.path(), found));
  EXPECT_EQ(found.path, current.file("DE441.jpl"));
  program.write("Eph/DE441.jpl", "x");
  ASSERT_TRUE(FindEphemerisFile("DE441.jpl", program.path(), current.path(), found));
  EXPECT_EQ(found.path, program.file("Eph/DE441.jpl"));
  program.write("DE441.jpl", "x");
  ASSERT_TRUE(FindEphemerisFile("DE441.jpl", program.path() + "/", current.path(), found));
  EXPECT_EQ(found.path, program.file("DE441.jpl"));
  EXPECT_EQ(found.folder, program.path() + "/");
  EXPECT_FALSE(FindEphemerisFile("DE431.jpl", program.path(), current.path(), found));
  // A folder with the file's name is not a file.
  std::filesystem::create_directories(program.file("DE431.jpl"));
  EXPECT_FALSE(FindEphemerisFile("DE431.jpl", program.path(), current.path(), found));
}

}  // namespace
}  // namespace orv
