// orvanta-cli: the calendar, Delta T and settings commands, and argument errors.
#include <gtest/gtest.h>

#include "cli_runner.h"

namespace orv {
namespace {

using testing::RunCli;
using testing::TempDir;

TEST(CliTime, CommandsPrintTheirContractFormats) {
  TempDir dir;
  struct Case { const char* args; const char* out; } cases[] = {
      {"jd 2000 1 1", "2451544.500000\n"},
      {"jd 2000 1 1 12 0 0", "2451545.000000\n"},
      {"jd 1582 10 4", "2299159.500000\n"},
      {"jd -4712 1 1", "-0.500000\n"},
      {"date 2451545", "2000-01-01 12:00:00.000\n"},
      {"date 2299160.4999", "1582-10-04 23:59:51.360\n"},
      {"date 2299160.5", "1582-10-15 00:00:00.000\n"},
      {"date 0", "-4712-01-01 12:00:00.000\n"},
      {"days 1582-10-04 1582-10-15", "1\n"},
      {"days 2000-01-01 1999-12-31", "-1\n"},
      {"days -44-03-15 2024-03-15", "755324\n"},
      {"add-days 1582-10-04 1", "1582-10-15\n"},
      {"add-days 1-01-01 -1", "0-12-31\n"},
      {"add-days 0-01-01 -365", "-1-01-01\n"},
      {"add-days -44-03-15 0", "-44-03-15\n"},
      {"deltat 2458849.5 --model horizons --time UT", "69.183921 0h1m9.184s\n"},
      {"deltat 2451544.5 --model user=-3723.5", "-3723.500000 -1h2m3.500s\n"},
  };
  for (const auto& c : cases) {
    const auto r = RunCli(c.args, dir.path());
    EXPECT_EQ(r.status, 0) << c.args << "\n" << r.err;
    EXPECT_EQ(r.out, c.out) << c.args;
  }
}

TEST(CliTime, TidalOptionChangesNasaBefore1962) {
  TempDir dir;
  const auto on = RunCli("deltat 2415020.5 --model nasa --tidal on --ephemeris plan404 --time UT", dir.path());
  const auto off = RunCli("deltat 2415020.5 --model nasa --tidal off --ephemeris plan404 --time UT", dir.path());
  ASSERT_EQ(on.status, 0);
  ASSERT_EQ(off.status, 0);
  EXPECT_NEAR(std::stod(on.out) - std::stod(off.out), -0.0736, 0.0005);
}

TEST(CliTime, ConfigShowsTheFileAndOptions) {
  TempDir dir;
  dir.write("Orvanta.cfg", "9,0\n1,\n0,\n1,\n1,\n1,2.5,\n0,\n1,\n30,\n3,\n0,\n");
  const auto r = RunCli("config", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  // DE441 is configured but no DE441.jpl is found: PLAN404 and IAU 2000B in effect.
  EXPECT_NE(r.err.find("DE441.jpl"), std::string::npos) << r.err;
  for (const char* line : {"EphemerisCode=3\n", "PrecessionModel=1\n", "NutationModel=2\n",
                           "TimeSystemCode=1\n", "DeltaTModelCode=1\n", "UserDeltaT=2.500000\n",
                           "TermSearchStepSeconds=30\n", "PlaceIndex=3\n", "PlaceMeridian=127.5\n",
                           "ZoneOffsetDays=0\n", "EopCorrection=0\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
  // The command line never writes the file.
  EXPECT_EQ(dir.read("Orvanta.cfg"), "9,0\n1,\n0,\n1,\n1,\n1,2.5,\n0,\n1,\n30,\n3,\n0,\n");
  const auto other = RunCli("config --config " + dir.file("Orvanta.cfg") + " --time ST", "/");
  EXPECT_NE(other.out.find("ZoneOffsetDays=0.354166687\n"), std::string::npos) << other.out;
}

TEST(CliTime, BadInputIsOneLineAndStatusTwo) {
  TempDir dir;
  const char* cases[] = {
      "",                        "frobnicate",          "jd 2000 13 1",
      "jd 1582 10 10",           "jd 2000 2 30",        "jd 2000 1 x",
      "jd 2000 1 1 25 0 0",      "date abc",            "date 1e300",
      "days 2023-02-29 2024-01-01", "days 2024-01-01",  "add-days 2024-01-01 1.5",
      "add-days 2024-01-01 999999999999", "deltat 2451545 --model bogus",
      "deltat 2451545 --tidal maybe", "deltat 2451545 --nonsense", "deltat 2451545 --time",
      "config --config /nonexistent/Orvanta.cfg", "config --place 99999"};
  for (const char* args : cases) {
    const auto r = RunCli(args, dir.path());
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_TRUE(r.out.empty()) << args;
    EXPECT_FALSE(r.err.empty()) << args;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line for: " << args << "\n" << r.err;
  }
}

}  // namespace
}  // namespace orv
