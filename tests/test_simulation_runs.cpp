// How a simulation run ends when it is stopped or finds nothing: no file
// half written, the old file kept, and a message instead of an empty table.
// Eclipse dates: NASA's five-millennium canon (no eclipse between the lunar
// eclipse of 2024-09-18 and that of 2025-03-14).
#include <gtest/gtest.h>

#include <filesystem>

#include "simulation_fixture.h"

namespace orv::testing {
namespace {

int FilesIn(const std::string& folder) {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

TEST(SimulationRunEnd, CancelledRunKeepsTheOldFileAndLeavesNoOther) {
  SimulationFixture f;
  {
    std::ofstream old(f.dir.file("out.csv"));
    old << "old table";
  }
  int asked = 0;
  f.env->cancelled = [&] { return ++asked >= 10; };
  SimulationRequest r = Request(kItemApparentEcliptic, 2024, 1, 1, 0, 0, 1, kUnitHours, 100000);
  const SimulationOutcome outcome = RunSimulationTo(r, *f.env, f.dir.file("out.csv"));
  EXPECT_FALSE(outcome.written);
  EXPECT_TRUE(outcome.cancelled);
  EXPECT_EQ(asked, 10);  // stopped at once, not at the end of the run
  EXPECT_EQ(f.dir.read("out.csv"), "old table");
  EXPECT_EQ(FilesIn(f.dir.path()), 1);  // no temporary file left
  EXPECT_TRUE(f.messages.messages.empty());
  EXPECT_EQ(f.progress.back(), (std::pair<int, int>{0, 100000}));
}

TEST(SimulationRunEnd, NoEclipseInTheSpanSaysSoAndWritesNothing) {
  SimulationFixture f;
  // From mid-December 2024, a few days: the next eclipse is in March 2025.
  SimulationRequest r = Request(kItemEclipses, 2024, 12, 15, 0, 0, 1, kUnitDays, 3);
  r.extra = 1800.0;
  EXPECT_TRUE(f.Run(r).empty());
  ASSERT_EQ(f.messages.messages.size(), 1u);
  EXPECT_EQ(f.messages.messages[0].text, "계산한 기간에는 일식이나 월식이 없습니다.\n파일을 만들지 않았습니다.");
  EXPECT_EQ(FilesIn(f.dir.path()), 0);
  // A span that holds the lunar eclipse of 2025-03-14 writes it.
  f.messages.messages.clear();
  r.month = 3;
  r.day = 12;
  r.year = 2025;
  EXPECT_FALSE(f.Run(r).empty());
  EXPECT_TRUE(f.messages.messages.empty());
}

}  // namespace
}  // namespace orv::testing
