// The four-pillars chart, the luck pillars (대운) and lunar birth dates.
//
// Sources of the expected values:
//  - tests/data/birth_luck_lunar_javascript.csv: npm lunar-javascript 1.7.7
//    (EightChar, getYun(gender, 2) counting the exact minutes to the
//    sectional term), written by tools/reference/gen_birth_luck.js: pillars,
//    ten gods of the year and month columns, direction, start age and the
//    first five luck pillars of births 1962-2020 at Seoul, a minute either
//    side of sectional terms, New York in summer time and a lunar leap-month
//    birthday.
//  - Ten gods of the day stems 甲 and 辛: the rule printed in every Korean
//    almanac (same element 비견/겁재, generated 식신/상관, controlled
//    편재/정재, controlling 편관/정관, generating 편인/정인).
//  - Lunar months: KASI's calendar (npm korean-lunar-calendar): 2020 has a
//    leap 4th month of 29 days from 2020-05-23; 2023 a leap 2nd month from
//    2023-03-22; 2024 no leap month, its 1st month 29 days from 2024-02-10.
//  - 2024's start of spring 2024-02-04 17:27 KST (KASI almanac).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/reports/birth_chart.h"
#include "app/core/reports/report_format.h"
#include "cli_runner.h"
#include "report_fixture.h"

namespace orv {
namespace {

constexpr int kSeoul = 0;
constexpr int kNewYork = 207;
// The start age in months may differ by the two programs' term instants (a
// second of the term is 1/720 day of age) and lunar-javascript's rounding to
// whole minutes: 0.1 month is 36 minutes of the interval.
constexpr double kStartAgeToleranceMonths = 0.1;
constexpr double kDaysPerAgeMonth = 30.0;
constexpr double kHoursPerAgeMonth = 720.0;

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream ss(line);
  std::string f;
  while (std::getline(ss, f, ',')) fields.push_back(f);
  return fields;
}

std::string GodName(TenGod god) { return kTenGods[static_cast<int>(god)].hanja; }

TEST(BirthChart, AgreesWithLunarJavascript) {
  std::ifstream file(std::string(ORVANTA_TEST_DATA) + "/birth_luck_lunar_javascript.csv");
  ASSERT_TRUE(file) << "fixture missing";
  std::string line;
  std::getline(file, line);  // provenance
  std::getline(file, line);
  const std::vector<std::string> header = Split(line);
  auto column = [&](const char* name) {
    for (std::size_t i = 0; i < header.size(); ++i)
      if (header[i] == name) return i;
    ADD_FAILURE() << "no column " << name;
    return std::size_t{0};
  };
  testing::ReportFixture seoul(kSeoul);
  testing::ReportFixture newYork(kNewYork);
  const PlaceTable places = BuiltInPlaceTable();
  int rows = 0;
  double worstMonths = 0.0, sumSquares = 0.0;
  while (std::getline(file, line)) {
    if (line.empty()) continue;
    const std::vector<std::string> f = Split(line);
    auto field = [&](const char* name) { return f.at(column(name)); };
    auto number = [&](const char* name) { return std::stoi(field(name)); };
    const bool abroad = field("place") == "New York";
    testing::ReportFixture& fixture = abroad ? newYork : seoul;
    const PlaceRecord& place = places.rows[static_cast<size_t>(abroad ? kNewYork : kSeoul)];
    BirthRequest request;
    request.reading.year = number("year");
    request.reading.month = number("month");
    request.reading.day = number("day");
    request.reading.hour = number("hour");
    request.reading.minute = number("minute");
    if (field("calendar") == "lunar") {
      request.lunar = true;
      request.lunarDate = {number("year"), number("month"), number("day"), number("leap") != 0};
    }
    request.sex = field("sex") == "male" ? BirthSex::Male : BirthSex::Female;
    request.luck = true;
    const BirthReport r = ComputeBirthReport(fixture.Inputs(), place, request);
    const std::string what = field("case") + " " + field("year") + "-" + field("month") + "-" + field("day") + " " +
                             field("hour") + ":" + field("minute") + " " + field("sex");
    ASSERT_TRUE(r.ok) << what << ": " << r.error;
    ++rows;
    if (!abroad) {
      EXPECT_EQ(report::Format("%04d-%02d-%02d", r.reading.year, r.reading.month, r.reading.day), field("solar_date"))
          << what;
    }
    const SexagenaryIndices& p = r.pillars.pillars;
    EXPECT_EQ(SexagenaryNames[p.year], field("year_pillar")) << what;
    EXPECT_EQ(SexagenaryNames[p.month], field("month_pillar")) << what;
    const ChartColumn& year = r.chart.columns[kYearColumn];
    const ChartColumn& month = r.chart.columns[kMonthColumn];
    if (!abroad) {
      // lunar-javascript's day is China's: New York's date is a day earlier.
      EXPECT_EQ(SexagenaryNames[p.day], field("day_pillar")) << what;
      EXPECT_EQ(GodName(year.stemGod), field("year_stem_god")) << what;
      EXPECT_EQ(GodName(month.stemGod), field("month_stem_god")) << what;
      EXPECT_EQ(GodName(year.branchGod), field("year_branch_god")) << what;
      EXPECT_EQ(GodName(month.branchGod), field("month_branch_god")) << what;
      EXPECT_EQ(GodName(r.chart.columns[kDayColumn].branchGod), field("day_branch_god")) << what;
    }
    EXPECT_EQ(r.luck.forward ? "forward" : "backward", field("direction")) << what;
    for (int k = 1; k <= 5; ++k)
      EXPECT_EQ(SexagenaryNames[r.luck.pillars[k - 1].pillar], field(("luck" + std::to_string(k)).c_str()))
          << what << " luck " << k;
    const double wantMonths = number("start_years") * 12 + number("start_months") +
                              number("start_days") / kDaysPerAgeMonth + number("start_hours") / kHoursPerAgeMonth;
    const double gotMonths = r.luck.start.years * 12 + r.luck.start.months + r.luck.start.days / kDaysPerAgeMonth;
    const double error = gotMonths - wantMonths;
    EXPECT_NEAR(gotMonths, wantMonths, kStartAgeToleranceMonths)
        << what << ": got " << r.luck.start.years << "y " << r.luck.start.months << "m " << r.luck.start.days << "d";
    worstMonths = std::max(worstMonths, std::fabs(error));
    sumSquares += error * error;
  }
  EXPECT_GE(rows, 140);
  std::printf("start age against lunar-javascript over %d births: worst %.4f months, RMS %.4f months\n", rows,
              worstMonths, std::sqrt(sumSquares / std::max(rows, 1)));
}

TEST(BirthChart, TenGodsFromTheDayStem) {
  // Stems 0..9 = 甲乙丙丁戊己庚辛壬癸.
  const char* const fromJia[10] = {"比肩", "劫財", "食神", "傷官", "偏財", "正財", "偏官", "正官", "偏印", "正印"};
  const char* const fromXin[10] = {"正財", "偏財", "正官", "偏官", "正印", "偏印", "劫財", "比肩", "傷官", "食神"};
  for (int stem = 0; stem < 10; ++stem) {
    EXPECT_EQ(GodName(TenGodOf(0, stem)), fromJia[stem]) << "甲 and stem " << stem;
    EXPECT_EQ(GodName(TenGodOf(7, stem)), fromXin[stem]) << "辛 and stem " << stem;
  }
}

TEST(BirthChart, ColumnsHiddenStemsAndElementCount) {
  // 庚辰 戊寅 壬辰 辛亥 (2000-02-04 21:41 at Seoul).
  SexagenaryIndices p;
  p.year = 16;
  p.month = 14;
  p.day = 28;
  p.hour = 47;
  const BirthChart chart = MakeBirthChart(p, true);
  EXPECT_STREQ(kStems[chart.columns[kHourColumn].stem].hanja, "辛");
  EXPECT_STREQ(kBranches[chart.columns[kHourColumn].branch].hanja, "亥");
  EXPECT_TRUE(chart.columns[kDayColumn].isDayStem);
  // 亥's main hidden stem 壬 is the day stem's own: 比肩; 寅's 甲: 食神.
  EXPECT_EQ(GodName(chart.columns[kHourColumn].branchGod), "比肩");
  EXPECT_EQ(GodName(chart.columns[kMonthColumn].branchGod), "食神");
  EXPECT_EQ(GodName(chart.columns[kYearColumn].stemGod), "偏印");
  // 木 寅; 火 none; 土 戊 辰 辰; 金 庚 辛; 水 壬 亥.
  const int want[kElementCount] = {1, 0, 3, 2, 2};
  for (int e = 0; e < kElementCount; ++e) EXPECT_EQ(chart.elementCounts[e], want[e]) << e;
  // Without the hour: 辛 and 亥 are not counted.
  const BirthChart threePillars = MakeBirthChart(p, false);
  EXPECT_FALSE(threePillars.columns[kHourColumn].known);
  EXPECT_EQ(threePillars.elementCounts[3], 1);
  EXPECT_EQ(threePillars.elementCounts[4], 1);
  // Every branch's hidden stems end with its main stem and fill its 30 days.
  for (const BranchInfo& b : kBranches) {
    int days = 0;
    for (int i = 0; i < b.hiddenCount; ++i) days += b.hidden[i].days;
    EXPECT_EQ(days, 30) << b.hanja;
  }
  EXPECT_STREQ(kStems[MainHiddenStem(0)].hanja, "癸");
  EXPECT_STREQ(kStems[MainHiddenStem(7)].hanja, "己");
}

TEST(BirthChart, LuckAgeScale) {
  constexpr double kDay = 86400.0, kHour = 3600.0;
  struct {
    double seconds;
    int years, months, days, book;
  } rows[] = {
      {3 * kDay, 1, 0, 0, 1},          // 3 days = 1 year
      {1 * kDay, 0, 4, 0, 1},          // 1 day = 4 months; 대운수 at least 1
      {2 * kHour, 0, 0, 10, 1},        // 2 hours = 10 days
      {4 * kDay, 1, 4, 0, 1},          // remainder 1 day dropped
      {5 * kDay, 1, 8, 0, 2},          // remainder 2 days rounded up
      {29 * kDay + 12 * kHour, 9, 10, 0, 10},
      {7 * kDay + 719, 2, 4, 0, 2},    // 719 s short of a day of age
  };
  for (const auto& r : rows) {
    const LuckAge age = LuckAgeOfInterval(r.seconds);
    EXPECT_EQ(age.years, r.years) << r.seconds;
    EXPECT_EQ(age.months, r.months) << r.seconds;
    EXPECT_EQ(age.days, r.days) << r.seconds;
    EXPECT_EQ(LuckBookNumber(age), r.book) << r.seconds;
  }
}

TEST(BirthChart, LunarBirthDates) {
  testing::ReportFixture f(kSeoul);
  struct {
    LunarBirthDate lunar;
    const char* solar;     // "" when refused
    const char* message;   // a piece of the refusal
  } rows[] = {
      {{2020, 4, 15, true}, "2020-06-06", ""},
      {{2020, 4, 29, true}, "2020-06-20", ""},
      {{2020, 4, 30, true}, "", "윤4월은 29일까지"},
      {{2023, 2, 1, true}, "2023-03-22", ""},
      {{2024, 1, 29, false}, "2024-03-09", ""},
      {{2024, 1, 30, false}, "", "2024년 1월은 29일까지"},
      {{2024, 1, 1, true}, "", "2024년에는 윤1월이 없습니다"},
  };
  for (const auto& r : rows) {
    int y = 0, m = 0, d = 0;
    std::string error;
    const bool ok = SolarDateOfLunarBirth(f.Inputs(), r.lunar, y, m, d, error);
    if (*r.solar) {
      ASSERT_TRUE(ok) << r.lunar.year << "-" << r.lunar.month << "-" << r.lunar.day << ": " << error;
      EXPECT_EQ(report::Format("%04d-%02d-%02d", y, m, d), r.solar);
    } else {
      EXPECT_FALSE(ok);
      EXPECT_NE(error.find(r.message), std::string::npos) << error;
    }
  }
}

TEST(BirthChart, UnknownHourGivesThreePillarsAndNamesATermThatDay) {
  testing::ReportFixture f(kSeoul);
  const PlaceRecord place = BuiltInPlaceTable().rows[kSeoul];
  BirthRequest request;
  request.reading = {2024, 2, 4};
  request.hourKnown = false;
  const BirthReport r = ComputeBirthReport(f.Inputs(), place, request);
  ASSERT_TRUE(r.ok) << r.error;
  // Noon is before 17:27: the year and month of 癸卯 and 乙丑.
  EXPECT_EQ(BirthFirstLine(r), "癸卯 乙丑 戊戌");
  std::string notes;
  for (const std::string& n : r.notes) notes += n + "\n";
  EXPECT_NE(notes.find("시주: 태어난 시각을 몰라 알 수 없습니다"), std::string::npos) << notes;
  EXPECT_NE(notes.find("17:27에 立春입춘 절입, 그 전이면 년주 癸卯·월주 乙丑, 그 뒤면 년주 甲辰·월주 丙寅"),
            std::string::npos)
      << notes;
  EXPECT_NE(BirthChartText(r).find("?"), std::string::npos);
}

TEST(BirthChart, CivilClockIsTheDefaultAndEveryCorrectionIsStated) {
  testing::ReportFixture f(kSeoul);
  PlaceRecord place = BuiltInPlaceTable().rows[kSeoul];
  BirthRequest request;
  request.reading = {1988, 7, 1, 12, 0};
  const BirthReport summer = ComputeBirthReport(f.Inputs(), place, request);
  ASSERT_TRUE(summer.ok) << summer.error;
  EXPECT_EQ(BirthFirstLine(summer), "戊辰 戊午 丁巳 乙巳");  // KDT: 11:00 standard
  request.reading = {2024, 7, 1, 12, 0};
  const BirthReport plain = ComputeBirthReport(f.Inputs(), place, request);
  ASSERT_TRUE(plain.ok);
  ASSERT_GE(plain.notes.size(), 2u);
  EXPECT_NE(plain.notes[1].find("보정 없음"), std::string::npos) << plain.notes[1];
  // A place without a zone falls back to standard time and says so.
  place.timeZone.clear();
  const BirthReport noZone = ComputeBirthReport(f.Inputs(), place, request);
  ASSERT_TRUE(noZone.ok);
  EXPECT_NE(noZone.notes[0].find("보정 없음"), std::string::npos) << noZone.notes[0];
  EXPECT_NE(noZone.notes[1].find("시간대 정보가 없어 표준시로"), std::string::npos) << noZone.notes[1];
}

TEST(BirthChart, CommandLine) {
  testing::TempDir dir;
  struct {
    const char* args;
    const char* firstLine;
    const char* piece;
  } ok[] = {
      {"pillars 1988-07-01 12:00", "戊辰 戊午 丁巳 乙巳", "KDT UTC+10:00"},
      {"pillars 1988-07-01 12:00 --clock standard", "戊辰 戊午 丁巳 丙午", "보정 없음"},
      {"pillars --lunar 2020-04-15 --leap 10:20", "庚子 壬午 庚辰 辛巳", "음력 2020년 윤4월 15일 → 양력 2020-06-06"},
      {"pillars 2024-02-10", "甲辰 丙寅 甲辰", "시주: 태어난 시각을 몰라"},
      {"pillars 2000-02-04 21:41 --sex male --luck --today 2026-05-05", "庚辰 戊寅 壬辰 辛亥", "세운: 2026 丙午(병오)"},
      {"pillars 2000-02-04 21:41", "庚辰 戊寅 壬辰 辛亥", "지장간  戊甲壬(무갑임)"},
  };
  for (const auto& c : ok) {
    const testing::CliResult r = testing::RunCli(c.args, dir.path());
    ASSERT_EQ(r.status, 0) << c.args << ": " << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), c.firstLine) << c.args;
    EXPECT_NE(r.out.find(c.piece), std::string::npos) << c.args << ":\n" << r.out;
  }
  const testing::CliResult csv =
      testing::RunCli("pillars --lunar 2020-04-15 --leap 10:20 --sex female --luck --format csv", dir.path());
  ASSERT_EQ(csv.status, 0) << csv.err;
  const std::vector<std::string> lines = testing::Lines(csv.out);
  ASSERT_EQ(lines.size(), 11u) << csv.out;
  EXPECT_EQ(lines[0], "index,pillar,start_years,start_months,start_days,start_date,direction");
  // lunar-javascript: backward, 0 years 3 months 11 days, first 辛巳.
  EXPECT_EQ(lines[1].rfind("1,辛巳,0,3,", 0), 0u) << lines[1];
  EXPECT_NE(lines[1].find(",backward"), std::string::npos) << lines[1];
  EXPECT_EQ(lines[10].rfind("10,壬申,90,3,", 0), 0u) << lines[10];
  struct {
    const char* args;
    const char* piece;
  } refused[] = {
      {"pillars --lunar 2020-04-30 --leap", "29일까지"},
      {"pillars --lunar 2024-01-01 --leap", "윤1월이 없습니다"},
      {"pillars 2000-01-01 12:00 --luck", "--luck needs --sex"},
      {"pillars 2000-01-01 12:00 --sex male --format csv", "needs --luck"},
      {"pillars 2000-01-01 12:00 --sex other", "--sex takes"},
      {"pillars 2000-01-01 --leap", "--leap goes with --lunar"},
      {"pillars", "needs a date"},
  };
  for (const auto& c : refused) {
    const testing::CliResult r = testing::RunCli(c.args, dir.path());
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_NE(r.err.find(c.piece), std::string::npos) << c.args << ": " << r.err;
  }
}

}  // namespace
}  // namespace orv
