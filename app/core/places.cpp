#include "app/core/places.h"

#include "data/places.h"
#include "time/timescales.h"

namespace orv {

PlaceTable BuiltInPlaceTable() {
  PlaceTable table;
  table.rows.reserve(static_cast<size_t>(data::kBuiltInPlaceCount + PlaceTable::kMaxUserRows));
  for (int i = 0; i < data::kBuiltInPlaceCount; ++i) {
    const data::BuiltInPlace& p = data::kBuiltInPlaces[i];
    table.rows.push_back({p.meridian, p.name, p.longitudeDeg, p.latitudeDeg, p.altitudeM, p.daylightSaving});
  }
  table.builtInCount = data::kBuiltInPlaceCount;
  return table;
}

int FindPlaceByName(const PlaceTable& table, const std::string& name) {
  for (size_t i = 0; i < table.rows.size(); ++i)
    if (table.rows[i].name == name) return static_cast<int>(i);
  return -1;
}

std::string PlaceReportName(const PlaceRecord& place) {
  return place.name.substr(0, place.name.find('('));
}

void ApplyPlace(CalcSettings& settings, Observer& observer, const PlaceTable& table, int index) {
  const PlaceRecord& place = table.rows.at(static_cast<size_t>(index));
  settings.PlaceIndex = index;
  settings.PlaceMeridian = place.meridian;
  UpdateZoneOffset(settings);
  observer.LongitudeDeg = place.longitude;
  observer.LatitudeDeg = place.latitude;
  observer.AltitudeM = place.altitude;
  ObserverGeocentric(observer);
}

}  // namespace orv
