// A simulation run in a temporary folder: Seoul, PLAN404 and the settings
// chosen by the test, messages recorded, the CSV read back as lines.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/files/places.h"
#include "app/core/simulation/simulation.h"
#include "cli_runner.h"
#include "ephemeris/jpl_reader.h"
#include "jpl_test_support.h"

namespace orv::testing {

// The UTF-8 byte-order mark every CSV of the simulation starts with.
inline constexpr const char* kUtf8Bom = "\xEF\xBB\xBF";

// A CSV of the simulation split at "\n" (the byte-order mark removed).
inline std::vector<std::string> CsvLines(const std::string& bytes) {
  std::string text = bytes;
  if (text.rfind(kUtf8Bom, 0) == 0) text.erase(0, 3);
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// Fields of a CSV line.
inline std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, ',')) out.push_back(field);
  if (!line.empty() && line.back() == ',') out.push_back("");
  return out;
}

struct SimulationFixture {
  CalcSettings settings = DefaultSettings();
  Observer observer;
  PlaceTable places = BuiltInPlaceTable();
  RecordingMessageSink messages;
  TempDir dir;
  std::unique_ptr<EngineContext> ctx;
  std::unique_ptr<SimulationEnvironment> env;
  std::unique_ptr<JplEphemeris> jpl;
  std::vector<std::pair<int, int>> progress;

  // Seoul (place 0); `timeSystem` UT puts the zone offset to 0.
  explicit SimulationFixture(int timeSystem = kTimeST, int placeIndex = 0) {
    ApplyPlace(settings, observer, places, placeIndex);
    settings.TimeSystemCode = timeSystem;
    UpdateZoneOffset(settings);
    Rebuild(placeIndex);
  }
  void Rebuild(int placeIndex = 0) {
    ctx = std::make_unique<EngineContext>(settings, observer);
    ctx->jpl = jpl.get();
    env = std::make_unique<SimulationEnvironment>(*ctx, places.rows[static_cast<size_t>(placeIndex)], messages);
    env->folder = dir.path();
    env->lunar.placeIndex = placeIndex;
    env->loadedYear = 2024;
    env->progress = [this](int position, int maximum) { progress.emplace_back(position, maximum); };
    if (jpl) UsableJplYears(jpl->header.Span[0], jpl->header.Span[1], env->jplFirstYear, env->jplLastYear);
  }
  // The DE405 test file as a DE441-style JPL ephemeris (code 9).
  void UseDe405() {
    jpl = std::make_unique<JplEphemeris>();
    ASSERT_TRUE(jpl->OpenFile(De405Path()));
    JplOpenEphemeris(*jpl, 405);
    settings.EphemerisCode = kEphemerisDe441;
    Rebuild();
  }

  // Runs into "out.csv" and returns its lines (empty when nothing was written).
  std::vector<std::string> Run(const SimulationRequest& request) {
    const SimulationOutcome outcome = RunSimulationTo(request, *env, dir.file("out.csv"));
    if (!outcome.written) return {};
    return CsvLines(dir.read("out.csv"));
  }
};

inline SimulationRequest Request(int item, int year, int month, int day, int hour, int minute, double step,
                                 int unit, int repetitions, int target = 0) {
  SimulationRequest r;
  r.item = item;
  r.year = year;
  r.month = month;
  r.day = day;
  r.hour = hour;
  r.minute = minute;
  r.step = step;
  r.unit = unit;
  r.repetitions = repetitions;
  r.target = target;
  r.outputName = SimulationItems[item].name;
  return r;
}

// "'Y-MM-DD hh:mm:s.ss" of the date column -> Julian Day (civil calendar).
inline double DateColumnJD(const std::string& text) {
  int y, m, d, h, mi;
  double s;
  if (std::sscanf(text.c_str(), "'%d-%d-%d %d:%d:%lf", &y, &m, &d, &h, &mi, &s) != 6) return 0.0;
  return CalendarToJulianDay(y, m, d) + (h * 3600.0 + mi * 60.0 + s) / 86400.0;
}

}  // namespace orv::testing
