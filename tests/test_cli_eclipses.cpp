// orvanta-cli: the eclipse and rise/set listings (Seoul, PLAN404). Expected
// values: NASA eclipse canon (types and dates), astronomy-engine and KASI
// (sunrise and sunset at Seoul).
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "cli_runner.h"

namespace orv {
namespace {

using testing::Lines;
using testing::RunCli;
using testing::TempDir;

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream ss(line);
  for (std::string f; std::getline(ss, f, ',');) out.push_back(f);
  if (!line.empty() && line.back() == ',') out.push_back("");
  return out;
}

TEST(CliEclipses, GlobalYearListing) {
  TempDir dir;
  const auto r = RunCli("eclipses 2024 --format csv --time UT", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 5u) << r.out;
  EXPECT_EQ(lines[0], "kind,type,greatest,jd,magnitude,umbral_magnitude,gamma,lon,lat,p1,u1,u2,u3,u4,p4");
  const char* want[][3] = {{"lunar", "penumbral", "2024-03-25 07:1"},
                           {"solar", "total", "2024-04-08 18:17:"},
                           {"lunar", "partial", "2024-09-18 02:4"},
                           {"solar", "annular", "2024-10-02 18:4"}};
  for (int i = 0; i < 4; ++i) {
    const auto f = Fields(lines[i + 1]);
    ASSERT_EQ(f.size(), 15u) << lines[i + 1];
    EXPECT_EQ(f[0], want[i][0]);
    EXPECT_EQ(f[1], want[i][1]);
    EXPECT_EQ(f[2].rfind(want[i][2], 0), 0u) << f[2];
  }
  // The total solar eclipse: gamma 0.3431 and magnitude 1.0566 (canon);
  // U1 and U4 present, no u2/u3 columns for a solar eclipse.
  const auto total = Fields(lines[2]);
  EXPECT_NEAR(std::stod(total[4]), 1.0566, 0.0005);
  EXPECT_EQ(total[5], "");
  EXPECT_NEAR(std::stod(total[6]), 0.3431, 0.001);
  EXPECT_FALSE(total[10].empty());
  EXPECT_TRUE(total[11].empty() && total[12].empty());
  // The penumbral lunar eclipse has no umbral contacts.
  const auto penumbral = Fields(lines[1]);
  for (int i = 10; i <= 13; ++i) EXPECT_TRUE(penumbral[i].empty()) << i;
  // "--format csv" is needed: without it the command prints the report text.
  EXPECT_NE(RunCli("eclipses 2024 --time UT", dir.path()).out, r.out);
}

TEST(CliEclipses, LocalListingHasAVerdict) {
  TempDir dir;
  const auto r = RunCli("eclipses 2022 --local --format csv", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 5u) << r.out;
  EXPECT_EQ(lines[0], "kind,type,greatest,jd,magnitude,umbral_magnitude,gamma,lon,lat,p1,u1,u2,u3,u4,p4,visible");
  const std::set<std::string> verdicts = {"yes", "no-shadow", "below-horizon"};
  for (size_t i = 1; i < lines.size(); ++i) {
    const auto f = Fields(lines[i]);
    ASSERT_EQ(f.size(), 16u) << lines[i];
    EXPECT_TRUE(verdicts.count(f[15])) << lines[i];
  }
  // 2022 November 8: the total lunar eclipse was seen from Korea in the
  // evening (greatest 19:59 KST).
  const auto november = Fields(lines[4]);
  EXPECT_EQ(november[0], "lunar");
  EXPECT_EQ(november[2].rfind("2022-11-08 19:5", 0), 0u) << lines[4];
  EXPECT_EQ(november[15], "yes");
}

TEST(CliRiseSet, SeoulSummerSolstice) {
  TempDir dir;
  const auto r = RunCli("riseset 2024-06-21", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 3u) << r.out;
  EXPECT_EQ(lines[0], "body,rise,set");
  // astronomy-engine: 05:11:13 and 19:56:43 KST (KASI: 05:11, 19:57).
  EXPECT_EQ(lines[1].rfind("sun,2024-06-21 05:11:1", 0), 0u) << lines[1];
  EXPECT_NE(lines[1].find(",2024-06-21 19:56:4"), std::string::npos) << lines[1];
  EXPECT_EQ(lines[2].rfind("moon,", 0), 0u);
  const auto moon = RunCli("riseset 2024-06-21 --body moon", dir.path());
  ASSERT_EQ(moon.status, 0);
  EXPECT_EQ(Lines(moon.out).size(), 2u);
  EXPECT_EQ(Lines(moon.out)[1], lines[2]);
}

TEST(CliEclipses, BadArguments) {
  TempDir dir;
  EXPECT_EQ(RunCli("riseset 2024-06-21 --body venus", dir.path()).status, 2);
  EXPECT_EQ(RunCli("riseset 2024-02-30", dir.path()).status, 2);
  EXPECT_EQ(RunCli("eclipses 20000", dir.path()).status, 2);
  EXPECT_EQ(RunCli("eclipses 2024 --format xml", dir.path()).status, 2);
  EXPECT_EQ(RunCli("eclipses", dir.path()).status, 2);
}

}  // namespace
}  // namespace orv
