// The picture and eclipse-path commands of orvanta-cli: their listings agree
// with the engine, the files are written whole (PNG and SVG), and bad
// arguments are refused with status 2 before any file is touched.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#include "app/core/files/places.h"
#include "app/core/sky/eclipse_map.h"
#include "app/core/sky/sky_series.h"
#include "cli_runner.h"

namespace orv {
namespace {

using testing::Lines;
using testing::RunCli;
using testing::TempDir;

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(CliPictures, EclipsePathListsTheCentralLine) {
  TempDir dir;
  const auto r = RunCli("eclipse-path 2024-04-08 --step 5 --time UT", dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_GT(lines.size(), 30u);
  EXPECT_EQ(lines[0], "jd_ut,lon_deg,lat_deg,width_km");
  // The same points as the engine's, every five minutes.
  CalcSettings settings = DefaultSettings();
  Observer observer;
  ApplyPlace(settings, observer, BuiltInPlaceTable(), 0);
  settings.TimeSystemCode = kTimeUT;
  UpdateZoneOffset(settings);
  EngineContext ctx(settings, observer);
  auto tables = std::make_unique<YearTables>();
  FoundEclipse eclipse;
  ASSERT_TRUE(FindEclipseNearDate(ctx, *tables, 2024, 4, 8, true, eclipse));
  const EclipsePath path = ComputeEclipsePath(ctx, eclipse.contacts, 5.0 / 1440.0);
  ASSERT_EQ(lines.size(), path.central.size() + 1);
  const CentralLinePoint& mid = path.central[path.central.size() / 2];
  double jd, lon, lat, width;
  ASSERT_EQ(std::sscanf(lines[path.central.size() / 2 + 1].c_str(), "%lf,%lf,%lf,%lf", &jd, &lon, &lat, &width), 4);
  EXPECT_NEAR(jd, mid.jd, 1e-6);
  EXPECT_NEAR(lon, mid.lonDeg, 1e-4);
  EXPECT_NEAR(lat, mid.latDeg, 1e-4);
  // NASA's path width near greatest eclipse: 197.5 km.
  EXPECT_NEAR(width, 197.5, 8.0);
}

TEST(CliPictures, FilesAreWrittenWhole) {
#ifndef ORVANTA_HAVE_PICTURES
  GTEST_SKIP() << "the picture commands come with the Qt program\'s build";
#endif
  TempDir dir;
  for (const char* command : {"daylight 2026 -o d.png", "day-sky 2026-08-12 -o s.svg", "eclipse-map 2026-08-12 -o m.png",
                              "eclipse-map 2026-03-03 -o l.svg"}) {
    const auto r = RunCli(command, dir.path());
    ASSERT_EQ(r.status, 0) << command << ": " << r.err;
  }
  EXPECT_EQ(FileBytes(dir.file("d.png")).rfind("\x89PNG", 0), 0u);
  EXPECT_EQ(FileBytes(dir.file("m.png")).rfind("\x89PNG", 0), 0u);
  EXPECT_NE(FileBytes(dir.file("s.svg")).find("</svg>"), std::string::npos);
  EXPECT_NE(FileBytes(dir.file("l.svg")).find("</svg>"), std::string::npos);
}

TEST(CliPictures, BadArgumentsLeaveNoFile) {
#ifndef ORVANTA_HAVE_PICTURES
  GTEST_SKIP() << "the picture commands come with the Qt program\'s build";
#endif
  TempDir dir;
  struct Case {
    const char* command;
    int status;
  } cases[] = {
      {"daylight 2026", 2},                       // no -o
      {"daylight 2026 -o d.jpg", 2},              // not PNG or SVG
      {"daylight 20000 -o d.png", 2},             // outside the ephemeris
      {"eclipse-map 2026-05-01 -o m.png", 2},     // no eclipse that day
      {"eclipse-path 2026-03-03", 2},             // a lunar eclipse has no path
      {"eclipse-path 2026-08-12 --step 0", 2},
      {"eclipse-path 2026-08-12 --step x", 2},
      {"eclipse-path 2026-08-12 --format text", 2},
      {"day-sky 2026-02-30 -o s.png", 2},
      {"daylight 2026 -o missing/d.png", 1},      // the folder does not exist
  };
  for (const Case& c : cases) EXPECT_EQ(RunCli(c.command, dir.path()).status, c.status) << c.command;
  for (const char* name : {"d.png", "d.jpg", "m.png", "s.png"}) {
    std::ifstream probe(dir.file(name));
    EXPECT_FALSE(probe.good()) << name;
  }
}

// Places at the poles and high southern latitudes: every day ends, events
// are 0 or inside the day, nothing hangs.
TEST(CliPictures, DaylightNearThePoles) {
  for (const double lat : {89.99, -89.99, -75.0, 66.56}) {
    CalcSettings settings = DefaultSettings();
    Observer observer;
    ApplyPlace(settings, observer, BuiltInPlaceTable(), 0);
    observer.LatitudeDeg = lat;
    ObserverGeocentric(observer);
    EngineContext ctx(settings, observer);
    const DaylightYear year = ComputeDaylightYear(ctx, 2025, "");
    ASSERT_EQ(year.days.size(), 365u);
    for (const DaylightDay& d : year.days) {
      for (const std::optional<double>& jd : {d.riseJD, d.setJD, d.dawnJD[0], d.duskJD[2]}) {
        if (!jd) continue;
        EXPECT_LT(std::fabs(*jd - (d.midnightJD + 0.5)), 1.0) << lat;
      }
    }
    const DaySky sky = ComputeDaySky(ctx, 2025, 6, 21);
    EXPECT_EQ(sky.sunAltitudeDeg.size(), 145u);
  }
}

}  // namespace
}  // namespace orv
