// Whole report texts against golden files (tests/data/golden). Every number
// of each golden file was checked once against outside references; see
// tests/data/golden/README.md and CHECKS.txt beside them.
#include <gtest/gtest.h>

#include <cctype>
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

// One row per golden file: the place row and the report that makes it.
struct GoldenCase {
  const char* file;
  int place;
  std::string (*make)(ReportFixture& f);
};

const GoldenCase kGoldenCases[] = {
    {"day_2024-02-10.txt", kSeoul,
     [](ReportFixture& f) {
       EnsureYearLoaded(f.Inputs(), 2024);
       DaySelection day;
       EXPECT_TRUE(SelectSolarDay(*f.tables, 2024, 2, 10, day));
       return DayReportText(f.Inputs(), day);
     }},
    {"terms_2024.txt", kSeoul, [](ReportFixture& f) { return SolarTermReportText(f.Inputs(), 2024); }},
    // 2023 holds a month with a leap second in it.
    {"syzygies_2023.txt", kSeoul, [](ReportFixture& f) { return SyzygyReportText(f.Inputs(), 2023); }},
    {"eclipses_global_2024.txt", kSeoul, [](ReportFixture& f) { return GlobalEclipseReportText(f.Inputs(), 2024); }},
    {"eclipses_local_2024_seoul.txt", kSeoul,
     [](ReportFixture& f) { return LocalEclipseReportText(f.Inputs(), 2024); }},
    {"eclipses_local_2024_dallas.txt", kDallas,
     [](ReportFixture& f) { return LocalEclipseReportText(f.Inputs(), 2024); }},
    {"leap_months_2000_2030.txt", kSeoul,
     [](ReportFixture& f) {
       EnsureYearLoaded(f.Inputs(), 2000);
       const YearRange range = ThirtyYearRange(2000, false, NominalEphemerisSpan(f.settings.EphemerisCode));
       return LeapMonthTableText(f.Inputs(), range);
     }},
    {"holidays_2024.txt", kSeoul, [](ReportFixture& f) { return HolidayReportText(f.Inputs(), 2024); }},
};

class ReportGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(ReportGolden, TextEqualsTheGoldenFile) {
  const GoldenCase& c = GetParam();
  ReportFixture f(c.place);
  ExpectGolden(c.make(f), c.file);
}

std::string CaseName(const ::testing::TestParamInfo<GoldenCase>& info) {
  std::string name = info.param.file;
  name = name.substr(0, name.find('.'));
  for (char& ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Reports, ReportGolden, ::testing::ValuesIn(kGoldenCases), CaseName);

}  // namespace
}  // namespace orv
