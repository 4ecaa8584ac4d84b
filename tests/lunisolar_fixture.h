// A calendar context for lunisolar tests: PLAN404, standard time of Seoul
// (135 E), Horizons Delta T, no historical correction.
#pragma once

#include <memory>

#include "app/core/files/places.h"
#include "ephemeris/context.h"
#include "lunisolar/prepare.h"

namespace orv::testing {

struct CalendarFixture {
  CalcSettings settings = DefaultSettings();
  Observer observer;
  std::unique_ptr<EngineContext> ctx;
  std::unique_ptr<YearTables> tables = std::make_unique<YearTables>();
  LunarBuildOptions options;
  YearCache* cache = nullptr;  // years kept between preparations, if any

  explicit CalendarFixture(int placeIndex = 0) {
    const PlaceTable places = BuiltInPlaceTable();
    ApplyPlace(settings, observer, places, placeIndex);
    ctx = std::make_unique<EngineContext>(settings, observer);
    options.placeIndex = placeIndex;
  }
  YearTables& Prepare(int year) {
    PrepareYear(*ctx, *tables, year, options, cache);
    return *tables;
  }
};

}  // namespace orv::testing
