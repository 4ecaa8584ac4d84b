// Whole report texts against golden files (tests/data/golden). Every number
// of each golden file was checked once against outside references; see
// tests/data/golden/README.md and CHECKS.txt beside them.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/core/reports/day_report.h"
#include "app/core/reports/eclipse_reports.h"
#include "app/core/reports/holidays.h"
#include "app/core/reports/year_reports.h"
#include "report_fixture.h"

namespace orv {
namespace {

using testing::ReadTextFile;
using testing::ReportFixture;

// Place rows of the built-in table.
constexpr int kSeoul = 0;
constexpr int kDallas = 165;

// Compares a report (the file holds it with one final line end) and, when it
// differs, leaves the text produced in the build folder for inspection.
void ExpectGolden(const std::string& text, const std::string& name) {
  const std::string path = std::string(ORVANTA_TEST_DATA) + "/golden/" + name;
  const std::string expected = std::filesystem::exists(path) ? ReadTextFile(path) : std::string();
  const std::string actual = text + "\n";
  if (actual != expected) {
    std::filesystem::create_directories("golden_actual");
    std::ofstream("golden_actual/" + name, std::ios::binary) << actual;
  }
  EXPECT_EQ(actual, expected) << name << " differs; the text produced is in golden_actual/" << name;
}

TEST(ReportGolden, DayReport20240210) {
  ReportFixture f(kSeoul);
  EnsureYearLoaded(f.Inputs(), 2024);
  DaySelection day;
  ASSERT_TRUE(SelectSolarDay(*f.tables, 2024, 2, 10, day));
  ExpectGolden(DayReportText(f.Inputs(), day), "day_2024-02-10.txt");
}

TEST(ReportGolden, SolarTerms2024) {
  ReportFixture f(kSeoul);
  ExpectGolden(SolarTermReportText(f.Inputs(), 2024), "terms_2024.txt");
}

TEST(ReportGolden, Syzygies2023WithLeapSecondMonth) {
  ReportFixture f(kSeoul);
  ExpectGolden(SyzygyReportText(f.Inputs(), 2023), "syzygies_2023.txt");
}

TEST(ReportGolden, GlobalEclipses2024) {
  ReportFixture f(kSeoul);
  ExpectGolden(GlobalEclipseReportText(f.Inputs(), 2024), "eclipses_global_2024.txt");
}

TEST(ReportGolden, LocalEclipses2024Seoul) {
  ReportFixture f(kSeoul);
  ExpectGolden(LocalEclipseReportText(f.Inputs(), 2024), "eclipses_local_2024_seoul.txt");
}

TEST(ReportGolden, LocalEclipses2024Dallas) {
  ReportFixture f(kDallas);
  ExpectGolden(LocalEclipseReportText(f.Inputs(), 2024), "eclipses_local_2024_dallas.txt");
}

TEST(ReportGolden, LeapMonths2000To2030) {
  ReportFixture f(kSeoul);
  EnsureYearLoaded(f.Inputs(), 2000);
  const YearRange range = ThirtyYearRange(2000, false, ThirtyYearLimits(f.settings));
  ExpectGolden(LeapMonthTableText(f.Inputs(), range), "leap_months_2000_2030.txt");
}

TEST(ReportGolden, Holidays2024) {
  ReportFixture f(kSeoul);
  ExpectGolden(HolidayReportText(f.Inputs(), 2024), "holidays_2024.txt");
}

}  // namespace
}  // namespace orv
