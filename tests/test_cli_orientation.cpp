// orvanta-cli: sidereal, nutation and obliquity. Formats, the settings in
// effect, and errors; the numbers are checked against ERFA and the published
// obliquity constants (IAU 2006: 84381.406", IAU 1976: 84381.448").
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <regex>

#include "cli_runner.h"

#ifdef ORVANTA_HAVE_ERFA
#include <erfa.h>
#endif

namespace orv {
namespace {

using testing::RunCli;
using testing::TempDir;

constexpr double kArcsecPerRad = 206264.80624709636;

// Configuration lines: ephemeris, precession, nutation, obliquity, time
// system, Delta T model, tidal flag, bisection, step, place, E.O.P.
constexpr const char* kOwenConfig = "3,1\n1,\n2,\n1,\n2,\n2,0,\n1,\n1,\n20,\n0,\n1,\n";
constexpr const char* kInternalNutationDe441Config = "9,1\n2,\n0,\n2,\n2,\n2,0,\n1,\n1,\n20,\n0,\n1,\n";

TEST(CliOrientation, SiderealPrintsHoursAndSexagesimalText) {
  TempDir dir;
  const auto r = RunCli("sidereal 2451545", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  std::smatch m;
  ASSERT_TRUE(std::regex_match(r.out, m, std::regex(R"((\d+\.\d{9}) (\d+):(\d\d):(\d\d\.\d{3})\n)"))) << r.out;
  const double hours = std::stod(m[1]);
  const double fromText = std::stod(m[2]) + std::stod(m[3]) / 60.0 + std::stod(m[4]) / 3600.0;
  EXPECT_NEAR(fromText, hours, 0.0005 / 3600.0);
  EXPECT_NEAR(hours, 18.697, 0.0005);
#ifdef ORVANTA_HAVE_ERFA
  // TT = UT + Delta T (about 64 s); the model difference (IAU 2000B) is < 1 mas.
  EXPECT_NEAR(hours, eraGst06a(2451545.0, 0.0, 2451545.0, 64.0 / 86400.0) * 12.0 / M_PI, 2e-8);
#endif
}

TEST(CliOrientation, NutationAndObliquityWithTheDefaultModels) {
  TempDir dir;
  const auto n = RunCli("nutation 2451545", dir.path());
  ASSERT_EQ(n.status, 0) << n.err;
  ASSERT_TRUE(std::regex_match(n.out, std::regex(R"(-?\d+\.\d{9} -?\d+\.\d{9}\n)"))) << n.out;
  double dpsi = 0.0, deps = 0.0;
  ASSERT_EQ(std::sscanf(n.out.c_str(), "%lf %lf", &dpsi, &deps), 2);
  EXPECT_NEAR(dpsi, -13.9315, 0.00005);
  EXPECT_NEAR(deps, -5.7698, 0.00005);
#ifdef ORVANTA_HAVE_ERFA
  // IAU 2000B without its planetary offsets, with the IAU 2006 factor 1 + 4.697e-7 in longitude.
  double psiRef, epsRef;
  eraNut00b(2451545.0, 0.0, &psiRef, &epsRef);
  EXPECT_NEAR(dpsi, (psiRef * kArcsecPerRad + 0.135e-3) * (1.0 + 4.697e-07), 2e-9);
  EXPECT_NEAR(deps, epsRef * kArcsecPerRad - 0.388e-3, 2e-9);
#endif

  const auto o = RunCli("obliquity 2451545", dir.path());
  ASSERT_EQ(o.status, 0) << o.err;
  ASSERT_TRUE(std::regex_match(o.out, std::regex(R"(\d+\.\d{9} \d+\.\d{9}\n)"))) << o.out;
  double mean = 0.0, trueEps = 0.0;
  ASSERT_EQ(std::sscanf(o.out.c_str(), "%lf %lf", &mean, &trueEps), 2);
  EXPECT_NEAR(mean, 84381.406 / 3600.0, 1e-9);
  EXPECT_NEAR(trueEps - mean, deps / 3600.0, 2e-9);
}

TEST(CliOrientation, ConfigurationFileChoosesTheModels) {
  TempDir dir;
  dir.write("Orvanta.cfg", kOwenConfig);
  const auto o = RunCli("obliquity 2451545", dir.path());
  ASSERT_EQ(o.status, 0) << o.err;
  double mean = 0.0, trueEps = 0.0;
  ASSERT_EQ(std::sscanf(o.out.c_str(), "%lf %lf", &mean, &trueEps), 2);
  EXPECT_NEAR(mean, 84381.448 / 3600.0, 1e-9);  // IAU 1976 within two centuries
  // Owen1990 precession: no IAU 2006 factor on the nutation in longitude.
  const auto n = RunCli("nutation 2451545", dir.path());
  ASSERT_EQ(n.status, 0) << n.err;
  double dpsi = 0.0, deps = 0.0;
  ASSERT_EQ(std::sscanf(n.out.c_str(), "%lf %lf", &dpsi, &deps), 2);
  TempDir plain;  // no configuration file: IAU 2006 precession, so the factor applies
  const auto d = RunCli("nutation 2451545", plain.path());
  double dpsi2006 = 0.0, deps2006 = 0.0;
  ASSERT_EQ(std::sscanf(d.out.c_str(), "%lf %lf", &dpsi2006, &deps2006), 2);
  EXPECT_NEAR(dpsi2006 - dpsi, dpsi * 4.697e-07, 2e-9);
}

TEST(CliOrientation, BadInputAndMissingEphemeris) {
  TempDir dir, plain;
  for (const char* args : {"sidereal", "sidereal abc", "sidereal 1e300", "nutation 1 2", "obliquity x",
                           "obliquity nan", "nutation inf"}) {
    const auto r = RunCli(args, dir.path());
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_TRUE(r.out.empty()) << args;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
  }
  // DE441 with its own nutation configured but no DE441.jpl anywhere: like the
  // window, the command falls back to PLAN404 and IAU 2000B and says so.
  dir.write("Orvanta.cfg", kInternalNutationDe441Config);
  for (const char* args : {"nutation 2451545", "obliquity 2451545", "sidereal 2451545"}) {
    const auto r = RunCli(args, dir.path());
    EXPECT_EQ(r.status, 0) << args << r.out;
    EXPECT_NE(r.err.find("DE441.jpl"), std::string::npos) << args << ": " << r.err;
    EXPECT_NE(r.err.find("장동모델식을 IAU2000B로 설정합니다"), std::string::npos) << args << ": " << r.err;
  }
  // Naming a JPL ephemeris that is not there is an error (status 1).
  const auto missing = RunCli("nutation 2451545 --ephemeris de441", plain.path());
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.out.empty());
  EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1) << missing.err;
  // Far outside the ephemeris's years the commands refuse, naming the years.
  dir.write("Orvanta.cfg", kOwenConfig);
  const auto far = RunCli("obliquity 99999999", dir.path());
  EXPECT_EQ(far.status, 2) << far.err;
  EXPECT_NE(far.err.find("-4999..10000"), std::string::npos) << far.err;
}

}  // namespace
}  // namespace orv
