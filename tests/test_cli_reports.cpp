// orvanta-cli: the report commands print the texts of the main window (the
// golden files of tests/data/golden, made with the same settings: no
// Orvanta.cfg, so PLAN404, standard time of Seoul, Horizons Delta T).
#include <gtest/gtest.h>

#include "cli_runner.h"
#include "report_fixture.h"

namespace orv {
namespace {

using testing::RunCli;
using testing::TempDir;

std::string Golden(const std::string& name) {
  return testing::ReadTextFile(std::string(ORVANTA_TEST_DATA) + "/golden/" + name);
}

TEST(CliReports, CommandsPrintTheGoldenTexts) {
  TempDir dir;
  struct Case {
    const char* args;
    const char* golden;
  } cases[] = {
      {"day 2024-02-10 --today 2024-01-01", "day_2024-02-10.txt"},
      {"terms 2024", "terms_2024.txt"},
      {"syzygies 2023 --format text", "syzygies_2023.txt"},
      {"holidays 2024", "holidays_2024.txt"},
      {"leap-months 2000", "leap_months_2000_2030.txt"},
      {"eclipses 2024", "eclipses_global_2024.txt"},
      {"eclipses 2024 --local", "eclipses_local_2024_seoul.txt"},
      {"eclipses 2024 --local --place 미국-Dallas", "eclipses_local_2024_dallas.txt"},
      // The same thirty years counted back from 2030.
      {"leap-months 2030 --before", "leap_months_2000_2030.txt"},
  };
  for (const auto& c : cases) {
    const auto r = RunCli(c.args, dir.path());
    EXPECT_EQ(r.status, 0) << c.args << "\n" << r.err;
    EXPECT_EQ(r.out, Golden(c.golden)) << c.args;
  }
}

TEST(CliReports, TermsAndSyzygiesKeepTheirCsv) {
  TempDir dir;
  const auto terms = RunCli("terms 2024 --format csv", dir.path());
  ASSERT_EQ(terms.status, 0) << terms.err;
  EXPECT_EQ(terms.out.rfind("index,longitude,name,datetime,jd\n", 0), 0u);
  const auto syz = RunCli("syzygies 2023 --format csv", dir.path());
  ASSERT_EQ(syz.status, 0) << syz.err;
  EXPECT_EQ(syz.out.rfind("kind,datetime,jd\n", 0), 0u);
  EXPECT_EQ(RunCli("terms 2024 --format xml", dir.path()).status, 2);
}

TEST(CliReports, LocalEclipsesSwitchToStandardTime) {
  TempDir dir;
  const auto r = RunCli("eclipses 2024 --local --time TT", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Golden("eclipses_local_2024_seoul.txt"));
  EXPECT_NE(r.err.find("참고: 지역표준시로 설정됩니다."), std::string::npos) << r.err;
  // The global report stays in the time system asked for.
  const auto tt = RunCli("eclipses 2024 --time TT", dir.path());
  EXPECT_EQ(tt.out.rfind("기원후 2024년의 日蝕 및 月蝕(양력날짜, 적용된 시간체계는 TT(지구시))\n", 0), 0u);
}

TEST(CliReports, DateTables) {
  TempDir dir;
  // KASI: 2023-04-19 is lunar leap 2-29; lunar leap 2-1 of 2023 is 2023-03-22.
  const auto lunar = RunCli("lunar-dates 2023-04-19", dir.path());
  ASSERT_EQ(lunar.status, 0) << lunar.err;
  EXPECT_EQ(lunar.out.rfind("양력 4월 19일에 해당하는 음력\n\n2023년 윤02월 29일\n2024년 03월 11일\n", 0), 0u);
  EXPECT_NE(lunar.out.find("\n2053년 "), std::string::npos);  // 31 years, both ends
  const auto solar = RunCli("solar-dates 2023-02-01 --leap --before", dir.path());
  ASSERT_EQ(solar.status, 0) << solar.err;
  EXPECT_EQ(solar.out.rfind("음력 윤2월 1일에 해당하는 양력\n\n1993년 ", 0), 0u);
  EXPECT_NE(solar.out.find("\n2023년 03월 22일\n\n[음력은 미보정]\n"), std::string::npos);
  // Lunar 1993 had a leap 3rd month, not a 2nd (KASI).
  EXPECT_NE(solar.out.find("\n1993년 해당양력 없음"), std::string::npos);
}

TEST(CliReports, AboutText) {
  TempDir dir;
  const auto r = RunCli("about", dir.path());
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("이 달력은 PLAN404D와 IAU2006세차, IAU2000B장동보정을\n이용하였습니다.", 0), 0u);
}

TEST(CliReports, BadArgumentsAreUsageErrors) {
  TempDir dir;
  for (const char* args : {"day 2024-02-30", "day 2024-02-10 --today yesterday", "solar-dates 2024-02-01 --leap",
                           "solar-dates 2024-13-01", "leap-months 20000", "holidays -6000", "lunar-dates x"}) {
    const auto r = RunCli(args, dir.path());
    EXPECT_EQ(r.status, 2) << args << "\n" << r.out;
    EXPECT_FALSE(r.err.empty()) << args;
  }
}

}  // namespace
}  // namespace orv
