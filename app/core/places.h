// The place table (built-in rows plus the user's rows) and the choice of place.
#pragma once

#include <string>
#include <vector>

#include "time/settings.h"

namespace orv {

struct PlaceRecord {
  float meridian = 0.0f;      // standard meridian, degrees east
  std::string name;           // UTF-8
  double longitude = 0.0;     // degrees east
  double latitude = 0.0;      // degrees north
  double altitude = 0.0;      // metres
  std::string daylightSaving; // rule text, shown only
};

struct PlaceTable {
  static constexpr int kMaxUserRows = 50;
  std::vector<PlaceRecord> rows;  // built-in rows first, then user rows
  int builtInCount = 0;
};

// The built-in rows only.
PlaceTable BuiltInPlaceTable();

// Index of a row by exact name, -1 when absent.
int FindPlaceByName(const PlaceTable& table, const std::string& name);

// The name used in reports: up to, not including, the first "(".
std::string PlaceReportName(const PlaceRecord& place);

// Makes `index` the selected place: PlaceIndex, PlaceMeridian, the zone offset
// and the observer (with its geocentric radius). The index must be valid.
void ApplyPlace(CalcSettings& settings, Observer& observer, const PlaceTable& table, int index);

}  // namespace orv
