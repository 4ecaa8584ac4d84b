// Korean search names of built-in place rows (see place_names_ko.cpp).
#pragma once

namespace orv::data {

struct KoreanPlaceName {
  int row;                // index of the built-in row
  const char* country;    // Korean country name where the row spells it otherwise, or ""
  const char* city;       // Korean city name where one is established, or ""
};

extern const KoreanPlaceName kKoreanPlaceNames[];
extern const int kKoreanPlaceNameCount;

}  // namespace orv::data
