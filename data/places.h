// Built-in place table (see places.cpp for the source of the rows).
#pragma once

namespace orv::data {

struct BuiltInPlace {
  float meridian;              // standard meridian, degrees east (15 per hour of UTC offset)
  const char* name;            // UTF-8
  double longitudeDeg;         // east positive
  double latitudeDeg;          // north positive
  double altitudeM;            // metres
  const char* daylightSaving;  // rule text shown to the user
  const char* timeZone;        // IANA zone of the place's civil clock ("Asia/Seoul")
};

extern const BuiltInPlace kBuiltInPlaces[];
extern const int kBuiltInPlaceCount;

}  // namespace orv::data
