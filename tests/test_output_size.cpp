// The size of a simulation table before it is written (the sample-based
// estimate against the files really written, the refusal above the free
// space) and the progress line of long runs on the command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/core/simulation/output_size.h"
#include "cli_runner.h"
#include "simulation_fixture.h"

namespace orv {
namespace {

using testing::RunCli;
using testing::TempDir;

// ------------------------------------------------------------------ texts

TEST(SimulationSize, SizeAndCountTexts) {
  struct Case {
    double bytes;
    const char* text;
  } sizes[] = {
      {0.0, "0 bytes"},       {850.0, "850 bytes"},        {999.0, "999 bytes"},  {1000.0, "1.0 kB"},
      {12345.0, "12.3 kB"},   {999960.0, "1.0 MB"},        {1.2e9, "1.2 GB"},     {48.04e9, "48.0 GB"},
      {3.5e12, "3.5 TB"},     {-5.0, "0 bytes"},
  };
  for (const Case& c : sizes) EXPECT_EQ(ApproximateSizeText(c.bytes), c.text) << c.bytes;
  struct Count {
    double count;
    const char* text;
  } counts[] = {{0, "0"}, {7, "7"}, {999, "999"}, {1000, "1,000"}, {1000000, "1,000,000"},
                {2e9, "2,000,000,000"}, {12.6, "13"}};
  for (const Count& c : counts) EXPECT_EQ(GroupedCount(c.count), c.text) << c.count;
  const SimulationSizeEstimate estimate{1000000.0, 1.2e9};
  EXPECT_EQ(SimulationSizeText(estimate), "expected size: about 1.2 GB (1,000,000 lines)");
  EXPECT_EQ(SimulationSizeLabel(estimate), "예상 크기: 약 1.2 GB (1,000,000줄)");
  EXPECT_EQ(SimulationTooLargeText(estimate, 500000000ULL, "/data"),
            "not enough free space: the table needs about 1.2 GB, /data has 500.0 MB free; nothing written");
}

TEST(SimulationSize, RefusedOnlyAboveTheFreeSpace) {
  struct Case {
    double bytes;
    unsigned long long freeBytes;
    bool refused;
  } cases[] = {
      {0.0, 0, false},          {100.0, 100, false},        {101.0, 100, true},
      {1.2e9, 72000000000ULL, false}, {2e11, 72000000000ULL, true}, {1e30, ~0ULL, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SimulationExceedsFreeSpace({0.0, c.bytes}, c.freeBytes), c.refused) << c.bytes << " " << c.freeBytes;
}

TEST(SimulationSize, SampleScalesWithTheRepetitions) {
  const SimulationSample sample{500.0, 60.0, 1.0};
  const SimulationSizeEstimate none = ScaleSimulationSample(sample, 0);
  EXPECT_EQ(none.bytes, 500.0);
  EXPECT_EQ(none.lines, 0.0);
  const SimulationSizeEstimate million = ScaleSimulationSample(sample, 1e6);
  EXPECT_DOUBLE_EQ(million.bytes, 500.0 + 6e7);
  EXPECT_DOUBLE_EQ(million.lines, 1e6);
}

TEST(SimulationSize, MeanEclipseWindow) {
  constexpr double kYear = 365.25;
  struct Case {
    double spanDays;
    double meanDays;
  } cases[] = {
      {-10.0, 0.0},
      {0.0, 0.0},
      // Within a year: S/2 - S^2/6Y; a year: Y/3.
      {30.0, 15.0 - 900.0 / (6.0 * kYear)},
      {kYear, kYear / 3.0},
      // Far beyond a year the mean tends to half a year.
      {1e7, kYear / 2.0 - kYear * kYear / 6.0 / 1e7},
  };
  for (const Case& c : cases) EXPECT_NEAR(MeanEclipseWindowDays(c.spanDays), c.meanDays, 1e-9) << c.spanDays;
}

// The estimate against the file the run then writes.
TEST(SimulationSize, EstimateMatchesTheWrittenFile) {
  struct Case {
    SimulationRequest request;
    double tolerance;  // relative
  } cases[] = {
      {testing::Request(kItemDeltaT, 2024, 1, 1, 0, 0, 1, kUnitDays, 500), 0.02},
      {testing::Request(kItemApparentEcliptic, 2024, 3, 1, 12, 0, 7, kUnitMinutes, 300, 1), 0.02},
      {testing::Request(kItemNutation, 2024, 3, 1, 12, 0, 1, kUnitHours, 400), 0.02},
      {testing::Request(kItemPerigeeApogee, 2024, 1, 1, 0, 0, 1, kUnitDays, 20, 1), 0.02},
      // A year sampled for others: 12 or 13 lunations, 2023 has 13.
      {testing::Request(kItemSyzygies, 2023, 1, 1, 0, 0, 1, kUnitYears, 3), 0.09},
  };
  for (const Case& c : cases) {
    const SimulationRequest& request = c.request;
    testing::SimulationFixture f;
    const std::optional<SimulationSizeEstimate> estimate = EstimateSimulationSize(request, *f.env);
    ASSERT_TRUE(estimate.has_value()) << request.item;
    EXPECT_TRUE(f.messages.messages.empty()) << request.item;
    const auto lines = f.Run(request);
    ASSERT_FALSE(lines.empty()) << request.item;
    const double bytes = static_cast<double>(std::filesystem::file_size(f.dir.file("out.csv")));
    EXPECT_NEAR(estimate->bytes, bytes, c.tolerance * bytes) << "item " << request.item;
    // The lines after the run header and the item's header line.
    SimulationRequest headersOnly = request;
    headersOnly.repetitions = 0;
    const size_t headerLines = f.Run(headersOnly).size();
    const double tableLines = static_cast<double>(lines.size() - headerLines);
    EXPECT_NEAR(estimate->lines, tableLines, c.tolerance * tableLines + 1.0) << "item " << request.item;
  }
}

TEST(SimulationSize, EclipseEstimateHasTheRightScale) {
  // Every repetition writes the eclipses left in its year: the estimate
  // assumes an even spread over the year, so it is a scale, not a count.
  testing::SimulationFixture f;
  SimulationRequest request = testing::Request(kItemEclipses, 2024, 1, 1, 0, 0, 60, kUnitDays, 12);
  request.extra = 900.0;
  const std::optional<SimulationSizeEstimate> estimate = EstimateSimulationSize(request, *f.env);
  ASSERT_TRUE(estimate.has_value());
  ASSERT_FALSE(f.Run(request).empty());
  const double bytes = static_cast<double>(std::filesystem::file_size(f.dir.file("out.csv")));
  EXPECT_GT(estimate->bytes, bytes / 2.0);
  EXPECT_LT(estimate->bytes, bytes * 2.0);
}

TEST(SimulationSize, NoEstimateForARefusedRequest) {
  testing::SimulationFixture f;
  // 1582-10-10 does not exist; the run itself says so, not the estimate.
  EXPECT_FALSE(EstimateSimulationSize(testing::Request(kItemDeltaT, 1582, 10, 10, 0, 0, 1, kUnitDays, 5), *f.env));
  EXPECT_TRUE(f.messages.messages.empty());
}

// ------------------------------------------------------------------ progress line

TEST(ProgressLine, SilentForShortRunsThenAFewTimesASecond) {
  ProgressLine line(3.0, 0.25);
  struct Step {
    long long position;
    double seconds;
    const char* shown;
  } steps[] = {
      {1, 0.0, ""},
      {500, 2.9, ""},                              // the first seconds say nothing
      {120000, 3.0, "\r12% (120000/1000000)"},
      {120001, 3.1, ""},                           // too soon after the last
      {130000, 3.25, "\r13% (130000/1000000)"},
      {0, 3.5, ""},                                // position 0 is no line
      {999999, 9.0, "\r99% (999999/1000000)"},
      {1000000, 9.1, "\r100% (1000000/1000000)"},     // the end, however soon
  };
  for (const Step& s : steps) EXPECT_EQ(line.Update(s.position, 1000000, s.seconds), s.shown) << s.seconds;
  EXPECT_EQ(line.Finish(), "\n");
  EXPECT_EQ(line.Finish(), "");

  ProgressLine quick;
  EXPECT_EQ(quick.Update(10, 10, 0.5), "");
  EXPECT_EQ(quick.Finish(), "");
}

// ------------------------------------------------------------------ command line

TEST(CliSimulateSize, SaysTheExpectedSizeOnStandardErrorOnly) {
  TempDir dir;
  for (const char* args : {"simulate --item 9 --start 2024-01-01 --count 10 -o s.csv",
                           "simulate --item 9 --start 2024-01-01 --count 10 --progress -o s.csv"}) {
    const auto r = RunCli(args, dir.path());
    ASSERT_EQ(r.status, 0) << args << ": " << r.err;
    EXPECT_EQ(r.out, "s.csv\n") << args;
    EXPECT_NE(r.err.find("expected size: about "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(" (10 lines)\n"), std::string::npos) << r.err;
    // A short run shows no progress, asked for or not.
    EXPECT_EQ(r.err.find('\r'), std::string::npos) << args;
  }
}

TEST(CliSimulateSize, RefusesATableLargerThanTheFreeSpace) {
  TempDir dir;
  // Two thousand million lines of the Moon's place: about 200 GB. Where
  // that much is free the run would go ahead: not here.
  testing::SimulationFixture f;
  const std::optional<SimulationSizeEstimate> estimate = EstimateSimulationSize(
      testing::Request(kItemApparentEcliptic, 2024, 1, 1, 0, 0, 1, kUnitSeconds, 2000000000, 1), *f.env);
  const std::optional<unsigned long long> freeBytes = FreeBytesForFile(dir.file("big.csv"));
  ASSERT_TRUE(estimate.has_value());
  ASSERT_TRUE(freeBytes.has_value());
  if (estimate->bytes < 2.0 * static_cast<double>(*freeBytes)) GTEST_SKIP() << "too much free space here";
  const std::string old = "an earlier table\n";
  dir.write("old.csv", old);
  for (const char* output : {"big.csv", "old.csv"}) {
    const auto r = RunCli(std::string("simulate --item 2 --target moon --start 2024-01-01 --unit s "
                                      "--count 2000000000 -o ") + output,
                          dir.path());
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("expected size: about "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("(2,000,000,000 lines)"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("not enough free space"), std::string::npos) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("big.csv")));
  EXPECT_EQ(dir.read("old.csv"), old);
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename().string().find(".orvanta-tmp"), std::string::npos) << entry.path();
}

}  // namespace
}  // namespace orv
