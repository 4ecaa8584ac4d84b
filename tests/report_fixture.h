// Report inputs over fixed settings (PLAN404, standard time, Horizons Delta T,
// tidal term and E.O.P. correction on, no historical correction) at a place
// of the built-in table; today is 2024-01-01.
#pragma once

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/core/files/places.h"
#include "app/core/reports/reports.h"

namespace orv::testing {

struct ReportFixture {
  CalcSettings settings = DefaultSettings();
  Observer observer;
  std::unique_ptr<EngineContext> engine;
  std::unique_ptr<YearTables> tables = std::make_unique<YearTables>();
  std::unique_ptr<ReportInputs> in;

  explicit ReportFixture(int placeIndex = 0, int timeSystem = kTimeST) {
    const PlaceTable places = BuiltInPlaceTable();
    settings.TimeSystemCode = timeSystem;
    ApplyPlace(settings, observer, places, placeIndex);
    settings.TodayDate[0] = 2024;
    settings.TodayDate[1] = 1;
    settings.TodayDate[2] = 1;
    engine = std::make_unique<EngineContext>(settings, observer);
    LunarBuildOptions lunar;
    lunar.placeIndex = placeIndex;
    in = std::make_unique<ReportInputs>(
        ReportInputs{*engine, *tables, lunar, PlaceReportName(places.rows[static_cast<size_t>(placeIndex)]),
                     places.rows[static_cast<size_t>(placeIndex)].timeZone});
  }
  ReportInputs& Inputs() { return *in; }
};

inline std::string ReadTextFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

}  // namespace orv::testing
