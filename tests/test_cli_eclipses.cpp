// orvanta-cli: the eclipse and rise/set listings (Seoul, PLAN404). Expected
// values: NASA eclipse canon (types and dates), astronomy-engine and KASI
// (sunrise and sunset at Seoul).
#include <gtest/gtest.h>

#include <cstdio>
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

TEST(CliRiseSet, CivilClockAppliesItsDaylightSaving) {
  // New York on 2024-06-21 keeps EDT (UTC-4): on the civil clock every event
  // is an hour later than in standard time (UTC-5) and carries the offset,
  // as the day report shows it.
  TempDir dir;
  const auto standard = RunCli("riseset 2024-06-21 --body sun --place 207", dir.path());
  const auto civil = RunCli("riseset 2024-06-21 --body sun --place 207 --time civil", dir.path());
  ASSERT_EQ(standard.status, 0) << standard.err;
  ASSERT_EQ(civil.status, 0) << civil.err;
  const auto s = Lines(standard.out), c = Lines(civil.out);
  ASSERT_EQ(s.size(), 2u);
  ASSERT_EQ(c.size(), 2u);
  int sh, sm, ch, cm;
  double ss, cs;
  ASSERT_EQ(std::sscanf(s[1].c_str(), "sun,2024-06-21 %d:%d:%lf", &sh, &sm, &ss), 3) << s[1];
  ASSERT_EQ(std::sscanf(c[1].c_str(), "sun,2024-06-21 %d:%d:%lf", &ch, &cm, &cs), 3) << c[1];
  EXPECT_EQ(ch, sh + 1);
  EXPECT_EQ(cm, sm);
  EXPECT_NEAR(cs, ss, 0.1);
  // USNO: sunrise 05:25, sunset 20:31 EDT.
  EXPECT_EQ(c[1].rfind("sun,2024-06-21 05:2", 0), 0u) << c[1];
  EXPECT_NE(c[1].find(" UTC-04:00,2024-06-21 20:3"), std::string::npos) << c[1];
  EXPECT_EQ(c[1].substr(c[1].size() - 10), " UTC-04:00") << c[1];
  // The day report under the civil clock gives the same sunrise.
  const auto day = RunCli("day 2024-06-21 --place 207 --time civil", dir.path());
  ASSERT_EQ(day.status, 0) << day.err;
  char clock[16];
  std::snprintf(clock, sizeof clock, "%02d:%02d:", ch, cm);
  EXPECT_NE(day.out.find(std::string("21일 ") + clock), std::string::npos) << day.out;
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
