// Bad input never turns into a wrong answer: numbers that overflow, text in
// another base, instants outside the ephemeris, settings without a model and
// refused simulation runs all get one clear message, and nothing is
// overwritten. Also: every command reads a JPL file the same way, and the
// historical correction starts as the window starts it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/core/calendar_app.h"
#include "app/core/clock.h"
#include "app/core/files/config.h"
#include "app/core/files/memo.h"
#include "cli_runner.h"
#include "default_config.h"
#include "jpl_test_support.h"
#include "time/dates.h"

namespace orv {
namespace {

using testing::RunCli;
using testing::TempDir;

size_t LineCount(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

// ------------------------------------------------------------------ arguments

TEST(CliInputs, OverflowingAndForeignNumbersAreRefused) {
  TempDir dir;
  struct Case {
    const char* args;
    const char* message;  // a piece of the one-line message
  } cases[] = {
      // 4294969320 is 2024 + 2^32: it must not wrap to 2024.
      {"lunar 4294969320-01-01", "out of range"},
      {"solar 2024-4294967297-01", "out of range"},
      {"days 2024-01-01 -4294967296-01-01", "out of range"},
      {"jd 4294969320 1 1", "out of range"},
      {"add-days 2024-01-01 99999999999999999999", "out of range"},
      {"pillars 2024-02-10 4294967309:00", "out of range"},
      {"terms 4294969320", "out of range"},
      {"ics 2024..4294969320 -o x.ics", "out of range"},
      {"day 2024-01-01 --place 4294967296", "out of range"},
      {"simulate --item 9 --start 2024-01-01 --count 4294967298 -o x.csv", "out of range"},
      // Only decimal numbers: no hexadecimal, no blanks, no infinities or NaN.
      {"date 0x10", "bad number"},
      {"date 0x1p4", "bad number"},
      {"date ' 2451545'", "bad number"},
      {"date nan", "finite"},
      {"date inf", "finite"},
      {"date 1e400", "out of range"},
      {"date 1e9", "out of range"},
      {"deltat -infinity", "finite"},
      {"lunar 2024-0x1-01", "bad date"},
      {"lunar '2024-01-01 '", "bad date"},
      {"lunar 2024--1-01", "bad date"},
      {"solar 2024-1-x", "bad lunar date"},
      {"pillars 2024-02-10 13:5x", "bad time"},
      {"simulate --item 9 --start '2024-01-01 1:2:0x3' -o x.csv", "seconds"},
      {"simulate --item 9 --start '2024-01-01 1:2:nan' -o x.csv", "finite"},
  };
  for (const Case& c : cases) {
    const auto r = RunCli(c.args, dir.path());
    EXPECT_EQ(r.status, 2) << c.args << "\n" << r.out << r.err;
    EXPECT_EQ(LineCount(r.err), 1u) << c.args << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << c.args << ": " << r.out;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.ics")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.csv")));
}

TEST(CliInputs, OrdinaryNumbersStillRead) {
  TempDir dir;
  struct Case {
    const char* args;
    const char* out;
  } cases[] = {
      {"date 2451545", "2000-01-01 12:00:00.000\n"},
      {"date +2451545.25", "2000-01-01 18:00:00.000\n"},
      {"date 2.4515455e6", "2000-01-02 00:00:00.000\n"},
      {"days -44-03-15 -44-03-16", "1\n"},
      {"add-days 2024-02-28 +2", "2024-03-01\n"},
      {"jd 2000 1 1", "2451544.500000\n"},
  };
  for (const Case& c : cases) {
    const auto r = RunCli(c.args, dir.path());
    EXPECT_EQ(r.status, 0) << c.args << ": " << r.err;
    EXPECT_EQ(r.out, c.out) << c.args;
  }
}

TEST(CliInputs, UserDeltaTIsBounded) {
  TempDir dir;
  for (const char* value : {"1e300", "1e50", "1000000.5", "-2e6", "nan", "inf"}) {
    const auto r = RunCli(std::string("terms 2024 --format csv --deltat user=") + value, dir.path());
    EXPECT_EQ(r.status, 2) << value << ": " << r.out << r.err;
    EXPECT_EQ(LineCount(r.err), 1u) << value << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << value;
  }
  const auto ok = RunCli("deltat 2451545 --deltat user=-1000000", dir.path());
  EXPECT_EQ(ok.status, 0) << ok.err;
  EXPECT_EQ(ok.out, "-1000000.000000 -277h46m40.000s\n");
}

TEST(CliInputs, InstantsOutsideTheEphemerisAreRefusedWithItsYears) {
  TempDir dir;
  for (const char* args : {"position sun 1e8", "position moon -1e8", "obliquity 1e8", "nutation 1e8",
                           "sidereal 1e8", "position sun 5400000", "obliquity -105000"}) {
    const auto r = RunCli(args, dir.path());
    EXPECT_EQ(r.status, 2) << args << ": " << r.out;
    EXPECT_NE(r.err.find("-4999..10000"), std::string::npos) << args << ": " << r.err;
    EXPECT_NE(r.err.find("PLAN404"), std::string::npos) << args << ": " << r.err;
    EXPECT_EQ(LineCount(r.err), 1u) << args;
  }
  // The first and last accepted years still answer (BC 5000 and AD 10000).
  for (const char* args : {"position sun 5373000", "obliquity -104800"}) {
    const auto r = RunCli(args, dir.path());
    EXPECT_EQ(r.status, 0) << args << ": " << r.err;
  }
  if (!testing::HaveDe405()) GTEST_SKIP() << "no DE405 file";
  const std::string de405 = " --ephemeris " + testing::ShellQuote(testing::De405Path());
  for (const char* args : {"position sun 2400000", "obliquity 2500000", "terms 1900", "lunar 2100-01-01"}) {
    const auto r = RunCli(args + de405, dir.path());
    EXPECT_EQ(r.status, 2) << args << ": " << r.out;
    EXPECT_NE(r.err.find("the years of DE405"), std::string::npos) << args << ": " << r.err;
  }
}

TEST(CliInputs, EmptyEphemerisNameIsAnArgumentError) {
  TempDir dir;
  const auto r = RunCli("position sun 2451545 --ephemeris ''", dir.path());
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--ephemeris"), std::string::npos) << r.err;
}

// ------------------------------------------------------------------ a JPL file for every command

TEST(CliInputs, EveryCommandReadsAJplFile) {
  if (!testing::HaveDe405()) GTEST_SKIP() << "no DE405 file";
  TempDir dir;
  const std::string de405 = " --ephemeris " + testing::ShellQuote(testing::De405Path());
  // KASI (npm korean-lunar-calendar): solar 2024-02-10 is lunar 2024-01-01.
  struct Case {
    const char* args;
    const char* wanted;  // a piece of the output
  } cases[] = {
      {"terms 2024 --format csv", "2024-03-20"},
      {"syzygies 2024 --format csv", "new,2024-02-10"},
      {"daytable 2024", "2024-02-10,2024,1,1,0,"},
      {"lunar 2024-02-10", "2024-01-01\n"},
      {"solar 2024-01-01", "2024-02-10\n"},
      {"pillars 2024-02-10", "甲辰 丙寅 甲辰\n"},
      {"lunarspan 2024 2024", "M,2024,2024-02-10,2024,1,0,1,"},
      {"terms 2024", "春分"},
      {"eclipses 2024 --format csv", "2024-09-18"},
      {"riseset 2024-06-21", "sun,"},
      {"day 2024-02-10", "2024"},
  };
  for (const Case& c : cases) {
    const auto r = RunCli(c.args + de405, dir.path());
    EXPECT_EQ(r.status, 0) << c.args << ": " << r.err;
    EXPECT_NE(r.out.find(c.wanted), std::string::npos) << c.args << ":\n" << r.out;
  }
}

// With the nutation read from the file ("Internal"), the orientation commands
// read it from the file named on the command line too. DE405's nutations are
// the IAU 1980 series (ERFA eraNut80 at J2000.0: deps = -5.773808"; IAU
// 2000B gives -5.769805").
TEST(CliInputs, OrientationCommandsReadTheNamedFile) {
  if (!testing::HaveDe405()) GTEST_SKIP() << "no DE405 file";
  TempDir dir;
  dir.write("Orvanta.cfg", "9,0\n2,\n0,\n2,\n3,\n2,0.0,\n1,\n1,\n20,\n0,\n1,\n");
  const std::string de405 = " --ephemeris " + testing::ShellQuote(testing::De405Path());
  const auto r = RunCli("nutation 2451545" + de405, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  double dpsi = 0.0, deps = 0.0;
  ASSERT_EQ(std::sscanf(r.out.c_str(), "%lf %lf", &dpsi, &deps), 2) << r.out;
  constexpr double kMilliArcsecond = 0.001;
  EXPECT_NEAR(deps, -5.773808, kMilliArcsecond);
  EXPECT_NEAR(dpsi, -13.923385, 100 * kMilliArcsecond);  // the file adds a small offset in longitude
  for (const char* args : {"obliquity 2451545", "sidereal 2451545"}) {
    const auto o = RunCli(args + de405, dir.path());
    EXPECT_EQ(o.status, 0) << args << ": " << o.err;
  }
}

// ------------------------------------------------------------------ the historical correction's default

TEST(CliInputs, CorrectionStartsAsTheWindowStartsIt) {
  TempDir dir;
  // Inside the recorded span at a place with records: on, as the window turns
  // it on when it shows such a year; from 1913 on and elsewhere: off.
  struct Case {
    const char* args;
    const char* same;  // the explicit switch that must give the same output
  } cases[] = {
      {"daytable 1911", "--correction on"},
      {"daytable 1912", "--correction on"},
      {"daytable 1913", "--correction off"},
      {"daytable 1911 --place 5", "--correction off"},
      {"lunar 1876-06-22 --place 1", "--correction on"},
  };
  for (const Case& c : cases) {
    const auto plain = RunCli(c.args, dir.path());
    const auto with = RunCli(std::string(c.args) + " " + c.same, dir.path());
    ASSERT_EQ(plain.status, 0) << c.args << ": " << plain.err;
    EXPECT_EQ(plain.out, with.out) << c.args;
  }
  // The correction does change the dates of 1849 (KASI: solar 1849-12-20 is
  // lunar 11-07, where the computed month 11 begins a day later), so the
  // comparison above means something.
  EXPECT_EQ(RunCli("lunar 1849-12-20", dir.path()).out, "1849-11-07\n");
  EXPECT_NE(RunCli("lunar 1849-12-20 --correction off", dir.path()).out,
            RunCli("lunar 1849-12-20", dir.path()).out);
}

// ------------------------------------------------------------------ simulation runs

TEST(CliInputs, RefusedSimulationLeavesTheOldFile) {
  TempDir dir;
  const std::string previous = "an earlier table\n";
  struct Case {
    std::string args;
    bool needsJpl;
  } cases[] = {
      {"simulate --item 4 --extra 400 --start 2024-01-01 -o prev.csv", false},
      {"simulate --item 4 --extra -0.5 --start 2024-01-01 -o prev.csv", false},
      {"simulate --item 0 --start 2024-01-01 -o prev.csv", false},
      {"simulate --item 9 --start 1582-10-10 -o prev.csv", false},
      {"simulate --item 9 --start 20000-01-01 -o prev.csv", false},
      {"simulate --item 14 --extra 0 --start 2024-01-01 -o prev.csv", false},
      {"simulate --item 5 --target mars --start 2024-01-01 -o prev.csv --ephemeris " +
           testing::ShellQuote(testing::De405Path()),
       true},
      {"simulate --item 4 --target venus --extra 10 --start 2024-01-01 -o prev.csv --ephemeris " +
           testing::ShellQuote(testing::De405Path()),
       true},
  };
  for (const Case& c : cases) {
    if (c.needsJpl && !testing::HaveDe405()) continue;
    dir.write("prev.csv", previous);
    const auto r = RunCli(c.args, dir.path());
    EXPECT_EQ(r.status, 2) << c.args << ": " << r.err;
    EXPECT_EQ(LineCount(r.err), 1u) << c.args << ": " << r.err;
    EXPECT_EQ(dir.read("prev.csv"), previous) << c.args;
  }
  const auto empty = RunCli("simulate --item 9 --start 2024-01-01 -o ''", dir.path());
  EXPECT_EQ(empty.status, 2);
  EXPECT_EQ(LineCount(empty.err), 1u) << empty.err;
}

TEST(CliInputs, FailedSimulationWriteSaysWhy) {
  TempDir dir;
  dir.write("plain-file", "x");
  // A path under a regular file fails for every user, root included.
  const auto r = RunCli("simulate --item 9 --start 2024-01-01 -o plain-file/x.csv", dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Not a directory"), std::string::npos) << r.err;
  const auto ics = RunCli("ics 2024 -o plain-file/x.ics", dir.path());
  EXPECT_EQ(ics.status, 1);
  EXPECT_NE(ics.err.find("Not a directory"), std::string::npos) << ics.err;
  EXPECT_EQ(dir.read("plain-file"), "x");
}

TEST(CliInputs, SimulationHeaderNamesTheJplFileRead) {
  if (!testing::HaveDe405()) GTEST_SKIP() << "no DE405 file";
  TempDir dir;
  const auto r = RunCli("simulate --item 1 --start 2024-01-01 --count 1 -o de.csv --ephemeris " +
                            testing::ShellQuote(testing::De405Path()),
                        dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(dir.read("de.csv").find("\n계산조건:DE405/"), std::string::npos) << dir.read("de.csv");
}

// ------------------------------------------------------------------ TT -> UT at a model's step

TEST(CliInputs, DeltaTAtStepsAnswers) {
  TempDir dir;
  // Each of these used to swing between two values for ever.
  for (const char* args : {"deltat 2428534.500278431 --time TT --deltat horizons",
                           "deltat 2460370.500856134 --time TT --deltat nasa"}) {
    const auto r = RunCli(args, dir.path());
    EXPECT_EQ(r.status, 0) << args << ": " << r.err;
  }
  const auto sim = RunCli(
      "simulate --item 2 --target moon --start '3000-1-1 1:13:50' --step 1 --unit s --count 10 --time TT "
      "--deltat nasa -o x.csv",
      dir.path());
  EXPECT_EQ(sim.status, 0) << sim.err;
  EXPECT_EQ(LineCount(dir.read("x.csv")), 12u);
}

// ------------------------------------------------------------------ rounding of printed seconds

TEST(CivilRounding, CarriesIntoMinuteHourAndDate) {
  struct Case {
    int y, m, d, h, mi;
    double seconds;
    int steps;
    CivilDateTime want;
  } cases[] = {
      {2074, 8, 22, 23, 59, 59.997, 100, {2074, 8, 23, 0, 0, 0.0f}},
      {2024, 12, 31, 23, 59, 59.9951, 100, {2025, 1, 1, 0, 0, 0.0f}},
      {1582, 10, 4, 23, 59, 59.96, 10, {1582, 10, 15, 0, 0, 0.0f}},  // across the calendar reform
      {-44, 3, 14, 23, 59, 59.999, 100, {-44, 3, 15, 0, 0, 0.0f}},
      {2024, 2, 28, 12, 30, 59.994, 100, {2024, 2, 28, 12, 30, 59.99f}},
      {2024, 2, 28, 12, 30, 7.125, 100, {2024, 2, 28, 12, 30, 7.13f}},
  };
  for (const Case& c : cases) {
    const CivilDateTime t = RoundCivilSeconds(c.y, c.m, c.d, c.h, c.mi, c.seconds, c.steps);
    EXPECT_EQ(t.year, c.want.year) << c.y << "-" << c.m << "-" << c.d << " " << c.seconds;
    EXPECT_EQ(t.month, c.want.month) << c.seconds;
    EXPECT_EQ(t.day, c.want.day) << c.seconds;
    EXPECT_EQ(t.hour, c.want.hour) << c.seconds;
    EXPECT_EQ(t.minute, c.want.minute) << c.seconds;
    EXPECT_NEAR(t.seconds, c.want.seconds, 1e-4) << c.seconds;
  }
  EXPECT_EQ(RoundCivilSeconds(2024, 1, 1, 0, 0, std::nan(""), 100).seconds, 0.0f);
}

// ------------------------------------------------------------------ the configuration file

using testing::kDefaultConfigFile;

struct ConfigRead {
  CalcSettings settings;
  RecordingMessageSink messages;
};

// Reads `text` as Orvanta.cfg into a record that starts all zero, as at the
// program's first load.
void ReadText(const std::string& text, ConfigRead& out) {
  TempDir dir;
  dir.write(kConfigFileName, text);
  ASSERT_TRUE(ReadConfiguration(out.settings, dir.file(kConfigFileName), out.messages));
}

bool HasMessage(const ConfigRead& r, const std::string& text) {
  for (const auto& m : r.messages.messages)
    if (m.text == text) return true;
  return false;
}

TEST(ConfigInputs, EmptyCutShortAndMarkedFilesGiveWorkingSettings) {
  const CalcSettings d = DefaultSettings();
  const std::string bom = "\xEF\xBB\xBF";
  struct Case {
    const char* name;
    std::string text;
    int ephemeris;
  } cases[] = {
      {"empty", "", d.EphemerisCode},
      {"one line", "9,0\n", kEphemerisDe441},
      {"cut in line 4", std::string(kDefaultConfigFile).substr(0, 50), d.EphemerisCode},
      {"byte-order mark", bom + kDefaultConfigFile, kEphemerisPlan404},
      {"byte-order mark, DE431", bom + "8,1\n", kEphemerisDe431},
  };
  for (const Case& c : cases) {
    ConfigRead r;
    ReadText(c.text, r);
    const CalcSettings& s = r.settings;
    EXPECT_EQ(s.EphemerisCode, c.ephemeris) << c.name;
    EXPECT_EQ(s.PrecessionModel, d.PrecessionModel) << c.name;
    EXPECT_EQ(s.NutationModel, d.NutationModel) << c.name;
    EXPECT_EQ(s.ObliquityModel, d.ObliquityModel) << c.name;
    EXPECT_EQ(s.TimeSystemCode, d.TimeSystemCode) << c.name;
    EXPECT_EQ(s.DeltaTModelCode, d.DeltaTModelCode) << c.name;
    EXPECT_EQ(s.TermSearchStepSeconds, d.TermSearchStepSeconds) << c.name;
    EXPECT_EQ(s.EopCorrection, d.EopCorrection) << c.name;
    EXPECT_TRUE(r.messages.messages.empty()) << c.name << ": " << r.messages.messages[0].text;
  }
}

TEST(ConfigInputs, FieldsWithoutAModelTakeTheirDefaultWithAMessage) {
  const CalcSettings d = DefaultSettings();
  struct Case {
    int line;              // 0-based line of the file
    const char* value;     // replaces the line's first number
    int CalcSettings::*field;
    int want;
    const char* message;
  } cases[] = {
      {0, "0", &CalcSettings::EphemerisCode, kEphemerisPlan404, "천체력을 PLAN404로 설정합니다"},
      {0, "5", &CalcSettings::EphemerisCode, kEphemerisPlan404, "천체력을 PLAN404로 설정합니다"},
      {0, "13", &CalcSettings::EphemerisCode, kEphemerisPlan404, "천체력을 PLAN404로 설정합니다"},
      {1, "3", &CalcSettings::PrecessionModel, d.PrecessionModel, "세차모델식을 IAU2006으로 설정합니다"},
      {2, "1", &CalcSettings::NutationModel, kNutationIau2000B, "장동모델식을 IAU2000B로 설정합니다"},
      {3, "0", &CalcSettings::ObliquityModel, d.ObliquityModel, "황도경사모델식을 IAU2006으로 설정합니다"},
      {4, "7", &CalcSettings::TimeSystemCode, d.TimeSystemCode, "시간계를 Standard T로 설정합니다"},
      {5, "6", &CalcSettings::DeltaTModelCode, d.DeltaTModelCode, "Delta T 모델을 Horizons로 설정합니다"},
      {8, "0", &CalcSettings::TermSearchStepSeconds, d.TermSearchStepSeconds, "절기 탐색 간격을 20초로 설정합니다"},
      {8, "-5", &CalcSettings::TermSearchStepSeconds, d.TermSearchStepSeconds, "절기 탐색 간격을 20초로 설정합니다"},
  };
  for (const Case& c : cases) {
    std::string text = kDefaultConfigFile;
    size_t start = 0;
    for (int i = 0; i < c.line; ++i) start = text.find('\n', start) + 1;
    const size_t end = text.find(',', start);
    text.replace(start, end - start, c.value);
    ConfigRead r;
    ReadText(text, r);
    EXPECT_EQ(r.settings.*c.field, c.want) << "line " << c.line + 1 << " = " << c.value;
    EXPECT_TRUE(HasMessage(r, c.message)) << "line " << c.line + 1 << " = " << c.value;
  }
}

TEST(ConfigInputs, UserDeltaTBeyondTheRangeIsReported) {
  for (const char* value : {"1e300", "-1000001", "1e7"}) {
    std::string text = kDefaultConfigFile;
    const auto at = text.find("0.000000");
    text.replace(at, 8, value);
    ConfigRead r;
    r.settings.UserDeltaT = 12.5;  // the value before the read stays
    ReadText(text, r);
    EXPECT_EQ(r.settings.UserDeltaT, 12.5) << value;
    EXPECT_TRUE(HasMessage(r, kUserDeltaTRangeMessage)) << value;
  }
  EXPECT_TRUE(UserDeltaTInRange(-1e6));
  EXPECT_TRUE(UserDeltaTInRange(69.184));
  EXPECT_FALSE(UserDeltaTInRange(1e6 + 1));
  EXPECT_FALSE(UserDeltaTInRange(std::nan("")));
  EXPECT_FALSE(UserDeltaTInRange(HUGE_VAL));
}

// ------------------------------------------------------------------ the window's user Delta T

TEST(UserDeltaTField, OutOfRangeValuesAreRefusedWithAMessage) {
  RecordingMessageSink messages;
  FixedClock clock({MakeTm(2024, 2, 15, 10, 30), MakeTm(2024, 2, 15, 1, 30)});
  CalendarApp app({"/nonexistent-program-folder", "/nonexistent-current-folder"}, messages, clock);
  ASSERT_TRUE(app.SetUserDeltaT(69.184));
  for (const double bad : {1e50, -1e300, 1e6 + 0.5, std::nan(""), -HUGE_VAL}) {
    EXPECT_FALSE(app.SetUserDeltaT(bad)) << bad;
    EXPECT_EQ(app.ChosenSettings().UserDeltaT, 69.184) << bad;
    ASSERT_FALSE(messages.messages.empty());
    EXPECT_EQ(messages.messages.back().text, kUserDeltaTRangeMessage);
  }
  EXPECT_TRUE(app.SetUserDeltaT(-1e6));
}

// ------------------------------------------------------------------ the memo file

TEST(MemoInputs, NumbersTooLargeForTheirFieldDropTheLine) {
  TempDir dir;
  // 4294969320 is 2024 + 2^32; it must not become 2024. Signs and blanks read
  // as before.
  dir.write(kMemoFileName,
            "1,1990,5,5,first\n"
            "1,4294969320,6,6,wrapped\n"
            "1,2000,99999999999,1,month\n"
            "-1, +1950,3,15,second\n");
  MemoTable memos;
  ASSERT_TRUE(ReadMemoFile(memos, dir.path()));
  ASSERT_EQ(memos.size(), 2u);
  EXPECT_EQ(memos[0].name, "first");
  EXPECT_EQ(memos[1].kind, -1);
  EXPECT_EQ(memos[1].year, 1950);
  EXPECT_EQ(memos[1].month, 3);
  EXPECT_EQ(memos[1].day, 15);
  EXPECT_EQ(memos[1].name, "second");
}

}  // namespace
}  // namespace orv
