// The numbers of an eclipse map: which eclipse a date names, the curves of a
// solar eclipse (eclipses/eclipse_path.h), the hemisphere that sees a lunar
// eclipse, the place with its local magnitude, and the coastlines.
#pragma once

#include <string>
#include <vector>

#include "eclipses/eclipse_path.h"
#include "eclipses/eclipse_year.h"

namespace orv {

// The eclipse (solar only when `solarOnly`) whose greatest phase lies
// nearest the middle of the civil date y-m-d of the selected time system,
// within a day and a half (the date of greatest eclipse in UT and in the
// place's standard time may differ). False when there is none. Prepares the
// date's year into `tables`.
bool FindEclipseNearDate(EngineContext& ctx, YearTables& tables, int year, int month, int day, bool solarOnly,
                         FoundEclipse& out);

// "jd_ut,lon_deg,lat_deg,width_km": the points of the central line (Julian
// Days of UT, the selected time system's instants converted).
std::string EclipsePathCsv(const CalcSettings& settings, const EclipsePath& path);

struct EclipseMap {
  bool solar = true;
  std::string kindName;    // "total", "annular", ...
  std::string dateText;    // greatest eclipse, selected time system
  GeoPoint greatest;       // solar: greatest eclipse; lunar: the Moon in the zenith then
  EclipsePath path;        // solar
  // Lunar: the points with the Moon in the zenith at greatest eclipse and at
  // the first and last contacts of the penumbra (P1, P4).
  GeoPoint subLunar[3];
  bool hasPlace = false;
  GeoPoint place;
  std::string placeName;
  double placeMagnitude = 0.0;  // solar: local; lunar: the umbral magnitude (the same everywhere)
  bool placeSees = false;       // the eclipse is above the place's horizon
};

// The map's title: "개기일식 2026-08-12 17:46:03.2", "반영월식 ...".
std::string EclipseMapTitle(const EclipseMap& map);

// Every number of the map of `eclipse` at the observer of the context.
EclipseMap BuildEclipseMap(EngineContext& ctx, const FoundEclipse& eclipse, const std::string& placeName,
                           double stepDays);

// The coastlines: Natural Earth's land polygons, one ring each.
const std::vector<GeoLine>& LandOutlines();

}  // namespace orv
