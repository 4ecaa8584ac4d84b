// orvanta-cli: the lunisolar commands (Seoul, standard time, PLAN404 unless
// an option says otherwise). Expected dates: the Korean almanac (KASI).
#include <gtest/gtest.h>

#include <sstream>

#include "cli_runner.h"

namespace orv {
namespace {

using testing::Lines;
using testing::RunCli;
using testing::TempDir;

TEST(CliCalendar, LunarSolarAndPillars) {
  TempDir dir;
  struct Case { const char* args; const char* out; } cases[] = {
      {"lunar 2024-02-10", "2024-01-01\n"},
      {"lunar 2023-04-19", "2023-02-29 leap\n"},
      {"lunar 2017-06-24", "2017-05-01 leap\n"},
      {"solar 2023-02-01 --leap", "2023-03-22\n"},
      {"solar 2023-02-01", "2023-02-20\n"},
      {"solar 2024-08-15", "2024-09-17\n"},
      {"pillars 2000-02-04 21:41", "庚辰 戊寅 壬辰 辛亥\n"},
      {"pillars 2024-02-10", "甲辰 丙寅 甲辰\n"},
      // Start of spring 2024: 2024-02-04 17:27 KST (KASI almanac).
      {"pillars 2024-02-04 17:26", "癸卯 乙丑 戊戌 庚申\n"},
      {"pillars 2024-02-04 17:27", "甲辰 丙寅 戊戌 庚申\n"},
      {"pillars 2000-02-04 21:40", "庚辰 戊寅 壬辰 辛亥\n"},
      {"pillars 2000-02-04 21:39", "己卯 丁丑 壬辰 辛亥\n"},
  };
  for (const auto& c : cases) {
    const auto r = RunCli(c.args, dir.path());
    EXPECT_EQ(r.status, 0) << c.args << "\n" << r.err;
    // The pillars command follows its first line with the corrections and
    // the chart.
    const bool pillars = std::string(c.args).rfind("pillars", 0) == 0;
    EXPECT_EQ(pillars ? r.out.substr(0, r.out.find('\n') + 1) : r.out, c.out) << c.args;
  }
  const auto missing = RunCli("solar 2024-02-01 --leap", dir.path());
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("does not exist"), std::string::npos);
}

TEST(CliCalendar, TermAndSyzygyCsv) {
  TempDir dir;
  const auto terms = RunCli("terms 2024 --format csv", dir.path());
  ASSERT_EQ(terms.status, 0) << terms.err;
  const auto lines = Lines(terms.out);
  ASSERT_EQ(lines.size(), 25u);
  EXPECT_EQ(lines[0], "index,longitude,name,datetime,jd");
  // 2024-01-06 05:49 KST, minor cold (KASI).
  EXPECT_EQ(lines[1].substr(0, 37), "22,285,小寒소한,2024-01-06 05:49:");
  const auto syz = RunCli("syzygies 2024 --format csv --time UT", dir.path());
  ASSERT_EQ(syz.status, 0) << syz.err;
  const auto s = Lines(syz.out);
  EXPECT_EQ(s[0], "kind,datetime,jd");
  // USNO: new moon 2024-01-11 11:57 UTC.
  bool found = false;
  for (const auto& l : s) found = found || l.rfind("new,2024-01-11 11:57:", 0) == 0;
  EXPECT_TRUE(found) << syz.out;
  const auto table = RunCli("daytable 2024", dir.path());
  ASSERT_EQ(table.status, 0);
  EXPECT_EQ(Lines(table.out).size(), 586u);
}

TEST(CliCalendar, SpringEquinoxIsLongitudeZero) {
  // 2024-03-20 12:06 KST (KASI): the ecliptic longitude 0, not the search's 360.
  TempDir dir;
  const auto terms = RunCli("terms 2024 --format csv", dir.path());
  ASSERT_EQ(terms.status, 0) << terms.err;
  int equinoxes = 0;
  for (const auto& line : Lines(terms.out)) {
    EXPECT_EQ(line.find(",360,"), std::string::npos) << line;
    if (line.rfind("3,", 0) == 0) {
      EXPECT_EQ(line.rfind("3,0,春分춘분,2024-03-20 12:06:", 0), 0u) << line;
      ++equinoxes;
    }
  }
  EXPECT_EQ(equinoxes, 1);
}

// Years west of Greenwich whose tables had no lunar date at all: every
// command now numbers them, and a failure would be an error (status 1 with a
// message), never an empty table with success.
TEST(CliCalendar, WesternPlacesHaveLunarDatesEveryYear) {
  TempDir dir;
  for (const char* settings : {"--place 207", "--place 207 --time civil --deltat nasa", "--place 178 --deltat nasa",
                               "--place 135 --deltat horizons"}) {
    SCOPED_TRACE(settings);
    const auto table = RunCli(std::string("daytable 1045 ") + settings, dir.path());
    ASSERT_EQ(table.status, 0) << table.err;
    const auto rows = Lines(table.out);
    ASSERT_EQ(rows.size(), 586u);
    for (size_t i = 1; i < rows.size(); ++i) ASSERT_EQ(rows[i].find(",,"), std::string::npos) << rows[i];
    const auto terms = RunCli(std::string("terms 1045 --format csv ") + settings, dir.path());
    ASSERT_EQ(terms.status, 0) << terms.err;
    EXPECT_GE(Lines(terms.out).size(), 24u);  // header and 23..25 terms
    const auto lunar = RunCli(std::string("lunar 1045-03-01 ") + settings, dir.path());
    ASSERT_EQ(lunar.status, 0) << lunar.err;
    EXPECT_EQ(lunar.out.rfind("1045-", 0), 0u) << lunar.out;
  }
}

TEST(CliCalendar, NeighbouringYearsAgreeOnASharedDay) {
  // 5647-12-23 was leap 11 in the table of 5647 and 12 in that of 5648: the
  // lunar year from the winter solstice of 5647 decides, in both.
  TempDir dir;
  std::string rows[2];
  for (int i = 0; i < 2; ++i) {
    const auto table = RunCli("daytable " + std::to_string(5647 + i), dir.path());
    ASSERT_EQ(table.status, 0) << table.err;
    for (const auto& line : Lines(table.out))
      if (line.rfind("5647-12-23,", 0) == 0) rows[i] = line;
  }
  EXPECT_FALSE(rows[0].empty());
  EXPECT_EQ(rows[0], rows[1]);
  const auto lunar = RunCli("lunar 5647-12-23", dir.path());
  EXPECT_EQ(lunar.out, "5647-12-01\n");
}

}  // namespace
}  // namespace orv

#include "jpl_test_support.h"

namespace orv {
namespace {

TEST(CliPosition, PlacesWithPlan404AndAJplFile) {
  TempDir dir;
  // J2000.0, TT: DE405 (read and reduced by the JPL path, itself checked
  // against an independent reader and ERFA) puts the apparent Sun at longitude
  // 280.368152 deg, distance 0.983327679 AU.
  const auto sun = RunCli("position sun 2451545 --tt", dir.path());
  ASSERT_EQ(sun.status, 0) << sun.err;
  const auto lines = Lines(sun.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "jd_tt,ra_deg,dec_deg,lon_deg,lat_deg,distance_au");
  double jd, ra, dec, lon, lat, dist;
  ASSERT_EQ(std::sscanf(lines[1].c_str(), "%lf,%lf,%lf,%lf,%lf,%lf", &jd, &ra, &dec, &lon, &lat, &dist), 6);
  EXPECT_NEAR(lon, 280.368152, 1.0 / 3600);
  EXPECT_NEAR(dist, 0.983327679, 1e-6);
  if (!testing::HaveDe405()) GTEST_SKIP() << "no DE405 file";
  for (const char* body : {"sun", "moon", "mercury", "venus", "mars", "jupiter", "saturn", "uranus", "neptune",
                           "pluto"}) {
    for (const char* mode : {"apparent", "astrometric"}) {
      const auto r = RunCli(std::string("position ") + body + " 2455197.5 --tt --mode " + mode + " --ephemeris " +
                                testing::De405Path(),
                            dir.path());
      EXPECT_EQ(r.status, 0) << body << " " << r.err;
      EXPECT_EQ(Lines(r.out).size(), 2u) << body;
    }
  }
  // Outside the file's years: refused with the years in the message.
  const auto out = RunCli("position moon 2300000 --tt --ephemeris " + testing::De405Path(), dir.path());
  EXPECT_EQ(out.status, 2);
  EXPECT_NE(out.err.find("the years of DE405"), std::string::npos) << out.err;
  // Astrometric places need a JPL file.
  EXPECT_EQ(RunCli("position moon 2451545 --mode astrometric", dir.path()).status, 2);
}

}  // namespace
}  // namespace orv
