// The accuracy command on the DE405 test file: every maximum stays within the
// figures the README publishes for 1960-2059.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "cli_runner.h"
#include "jpl_test_support.h"

namespace orv {
namespace {

TEST(AccuracyCommand, WithinThePublishedFigures) {
  ORV_REQUIRE_DE405();
  testing::TempDir dir;
  const auto r = testing::RunCli("accuracy --ephemeris " + testing::De405Path() + " --from 2010 --to 2019", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  // README, default settings: maxima over 1960-2059.
  const std::map<std::string, double> published = {
      {"Sun longitude", 0.57}, {"Sun latitude", 0.047},  {"Moon longitude", 2.9}, {"Moon latitude", 3.0},
      {"Sun distance", 35.0},  {"Moon distance", 6.8},  {"Solar terms", 13.6},   {"New moons", 4.5},
      {"Full moons", 5.4}};
  std::istringstream in(r.out);
  std::string line, quantity;
  int seen = 0;
  while (std::getline(in, line)) {
    for (const auto& [name, limit] : published)
      if (line.rfind(name + " (", 0) == 0) quantity = name;
    if (line.rfind("  all", 0) == 0 && !quantity.empty()) {
      double n, rms, max;
      ASSERT_EQ(std::sscanf(line.c_str(), "  all %lf %lf %lf", &n, &rms, &max), 3) << line;
      // The command samples from the first day of its span, so its instants
      // are not those of the published run: allow 10 %.
      EXPECT_LE(max, 1.1 * published.at(quantity)) << quantity;
      EXPECT_GT(n, 0);
      ++seen;
      quantity.clear();
    }
  }
  EXPECT_EQ(seen, 9) << r.out;
  EXPECT_NE(r.out.find("Events: "), std::string::npos);
  // Without a JPL file there is nothing to compare.
  EXPECT_EQ(testing::RunCli("accuracy", dir.path()).status, 2);
}

}  // namespace
}  // namespace orv
