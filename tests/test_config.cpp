// The configuration file: exact format, defaults, checks and robustness.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "app/core/files/config.h"
#include "app/core/files/files.h"
#include "time/dates.h"
#include "cli_runner.h"
#include "default_config.h"

namespace orv {
namespace {

using testing::kDefaultConfigFile;
using testing::TempDir;

TEST(Config, FirstStartUsesDefaultsAndSavesTheElevenLines) {
  TempDir dir;
  RecordingMessageSink messages;
  CalcSettings s;
  EXPECT_FALSE(ReadConfiguration(s, dir.file(kConfigFileName), messages));
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(s.EphemerisCode, kEphemerisPlan404);
  EXPECT_EQ(s.PrecessionModel, kPrecessionIau2006);
  EXPECT_EQ(s.NutationModel, kNutationIau2000B);
  EXPECT_EQ(s.ObliquityModel, kObliquityIau2006);
  EXPECT_EQ(s.TimeSystemCode, kTimeST);
  EXPECT_EQ(s.DeltaTModelCode, kDeltaTHorizons);
  EXPECT_EQ(s.UserDeltaT, 0.0);
  EXPECT_EQ(s.TidalCompensation, 1);
  EXPECT_EQ(s.EopCorrection, 1);
  EXPECT_EQ(s.PlaceIndex, 0);
  ASSERT_TRUE(SaveSettings(s, dir.file(kConfigFileName)));
  EXPECT_EQ(dir.read(kConfigFileName), kDefaultConfigFile);
}

TEST(Config, RoundTripKeepsEveryField) {
  TempDir dir;
  CalcSettings s = DefaultSettings();
  s.EphemerisCode = 9;
  s.PrecessionModel = 1;
  s.NutationModel = 0;
  s.ObliquityModel = 1;
  s.TimeSystemCode = 1;
  s.DeltaTModelCode = 3;
  s.UserDeltaT = -12.345678;
  s.TidalCompensation = 0;
  s.TermSearchBisection = 0;
  s.TermSearchStepSeconds = 30;
  s.PlaceIndex = 367;
  s.EopCorrection = 0;
  ASSERT_TRUE(SaveSettings(s, dir.file(kConfigFileName)));
  RecordingMessageSink messages;
  CalcSettings back;
  ASSERT_TRUE(ReadConfiguration(back, dir.file(kConfigFileName), messages));
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(FormatConfiguration(back), FormatConfiguration(s));
  EXPECT_EQ(back.De431Selectable, 0);  // the file always carries 0 there
}

TEST(Config, RangeAndNutationChecks) {
  struct Case { const char* line1; const char* line3; int ephemeris; int nutation; const char* message; } cases[] = {
      {"20,0", "2,", 3, 2, "천체력을 PLAN404로 설정합니다"},
      {"-1,0", "2,", 3, 2, "천체력을 PLAN404로 설정합니다"},
      {"3,0", "0,", 3, 2, "장동모델식을 IAU2000B로 설정합니다"},
      {"9,0", "0,", 9, 0, nullptr},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::string text = kDefaultConfigFile;
    text.replace(0, 3, c.line1);
    const auto third = text.find("2,\t3;");
    text.replace(third, 2, c.line3);
    dir.write(kConfigFileName, text);
    RecordingMessageSink messages;
    CalcSettings s;
    ASSERT_TRUE(ReadConfiguration(s, dir.file(kConfigFileName), messages));
    EXPECT_EQ(s.EphemerisCode, c.ephemeris) << c.line1;
    EXPECT_EQ(s.NutationModel, c.nutation) << c.line1;
    if (c.message) {
      ASSERT_EQ(messages.messages.size(), 1u) << c.line1;
      EXPECT_EQ(messages.messages[0].text, c.message);
      EXPECT_EQ(messages.messages[0].caption, "안내");
    } else {
      EXPECT_TRUE(messages.messages.empty());
    }
  }
}

TEST(Config, GarbageMissingLinesAndHugeNumbersKeepFields) {
  TempDir dir;
  // Line 2 garbage, line 5 a number beyond int, line 6 a huge user Delta T
  // (the model still reads), the file ends after line 7.
  dir.write(kConfigFileName,
            "8,1\n"
            "garbage\n"
            "0,\n"
            "1,\n"
            "99999999999999999999,\n"
            "3,1e308,\n"
            "0,\n");
  RecordingMessageSink messages;
  CalcSettings s = DefaultSettings();
  ASSERT_TRUE(ReadConfiguration(s, dir.file(kConfigFileName), messages));
  EXPECT_EQ(s.EphemerisCode, 8);
  EXPECT_EQ(s.De431Selectable, 1);
  EXPECT_EQ(s.PrecessionModel, kPrecessionIau2006);  // unchanged
  EXPECT_EQ(s.NutationModel, 0);                     // allowed with DE431
  EXPECT_EQ(s.ObliquityModel, 1);
  EXPECT_EQ(s.TimeSystemCode, kTimeST);              // unchanged
  EXPECT_EQ(s.DeltaTModelCode, 3);
  EXPECT_EQ(s.UserDeltaT, 0.0);                      // unchanged
  EXPECT_EQ(s.TidalCompensation, 0);
  EXPECT_EQ(s.TermSearchStepSeconds, 20);            // missing line: unchanged
  // Binary junk and an empty file do not crash either.
  dir.write(kConfigFileName, std::string("\0\xff\xfe\n\n\n", 6));
  CalcSettings t;
  EXPECT_TRUE(ReadConfiguration(t, dir.file(kConfigFileName), messages));
  dir.write(kConfigFileName, "");
  EXPECT_TRUE(ReadConfiguration(t, dir.file(kConfigFileName), messages));
}

// A disk that fills up during the save, for every user (root included): the
// file-size limit of the process stops the write of the temporary file
// (EFBIG) after a few bytes.
TEST(Config, FailedSaveLeavesTheOldFile) {
  TempDir dir;
  const std::string path = dir.file(kConfigFileName);
  ASSERT_TRUE(SaveSettings(DefaultSettings(), path));
  CalcSettings s = DefaultSettings();
  s.PlaceIndex = 5;
  bool saved = true;
  {
    testing::FileSizeLimit limit(8);
    saved = SaveSettings(s, path);
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(dir.read(kConfigFileName), kDefaultConfigFile);
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1);  // no temporary file left
  // A folder that cannot exist (its parent is a regular file) fails as well.
  dir.write("plain", "x");
  EXPECT_FALSE(SaveSettings(s, dir.file("plain") + "/" + kConfigFileName));
}

TEST(Config, SaveThatCannotCompleteFailsCleanly) {
  EXPECT_FALSE(SaveSettings(DefaultSettings(), "/nonexistent-folder/Orvanta.cfg"));
  // The rename over a folder fails even for root: nothing is left behind and
  // what stood there is untouched.
  TempDir dir;
  std::filesystem::create_directory(dir.file(kConfigFileName));
  dir.write(std::string(kConfigFileName) + "/keep", "x");
  EXPECT_FALSE(SaveSettings(DefaultSettings(), dir.file(kConfigFileName)));
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1);
  EXPECT_EQ(dir.read(std::string(kConfigFileName) + "/keep"), "x");
}

TEST(Config, ZoneOffset) {
  CalcSettings s = DefaultSettings();
  s.PlaceMeridian = 127.5f;
  UpdateZoneOffset(s);
  EXPECT_EQ(s.ZoneOffsetDays, 127.5 / 360.0);
  EXPECT_NEAR(s.ZoneOffsetDays, 0.3541666, 1e-6);
  s.TimeSystemCode = kTimeTT;
  UpdateZoneOffset(s);
  EXPECT_EQ(s.ZoneOffsetDays, 0.0);
  s.TimeSystemCode = kTimeST;
  s.PlaceMeridian = 191.25f;
  UpdateZoneOffset(s);
  EXPECT_EQ(s.ZoneOffsetDays, 0.53125);
}

TEST(Config, TodayFollowsThePlacesStandardTime) {
  struct Case { int clockOffsetMinutes; float placeMeridian; int localY, localM, localD, localH, localMi; int y, m, d; } cases[] = {
      // Computer in UTC, 2026-12-31 20:00: already 2027-01-01 in Seoul (UTC+9).
      {0, 135.0f, 2026, 12, 31, 20, 0, 2027, 1, 1},
      // Computer in Seoul, 2027-01-01 05:00 (= 2026-12-31 20:00 UTC): New York (-75) is still in 2026.
      {540, -75.0f, 2027, 1, 1, 5, 0, 2026, 12, 31},
      // Computer in Seoul at 08:59: London is one minute before midnight.
      {540, 0.0f, 2024, 3, 1, 8, 59, 2024, 2, 29},
      {540, 0.0f, 2024, 3, 1, 9, 0, 2024, 3, 1},
  };
  for (const auto& c : cases) {
    ClockReading r;
    r.local = MakeTm(c.localY, c.localM, c.localD, c.localH, c.localMi);
    int uy, um, ud, uh, umi;
    AddMinutes(-c.clockOffsetMinutes, c.localY, c.localM, c.localD, c.localH, c.localMi, uy, um, ud, uh, umi);
    r.utc = MakeTm(uy, um, ud, uh, umi);
    CalcSettings s = DefaultSettings();
    s.PlaceMeridian = c.placeMeridian;
    ComputeTodayDate(s, FixedClock(r));
    EXPECT_EQ(s.ComputerZoneMeridian, c.clockOffsetMinutes * 15 / 60.0f);
    EXPECT_EQ(s.TodayDate[0], c.y);
    EXPECT_EQ(s.TodayDate[1], c.m);
    EXPECT_EQ(s.TodayDate[2], c.d);
    EXPECT_EQ(s.LoadedYear, c.y);
  }
}

}  // namespace
}  // namespace orv
