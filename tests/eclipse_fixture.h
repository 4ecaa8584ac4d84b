// An engine for eclipse tests: PLAN404, Horizons Delta T, the chosen time
// system, an observer given by longitude, latitude and height, and the year
// tables with the eclipses of a year.
#pragma once

#include <memory>

#include "eclipses/eclipse_year.h"
#include "lunisolar/prepare.h"
#include "time/dates.h"

namespace orv::testing {

struct EclipseEngine {
  CalcSettings settings = DefaultSettings();
  Observer observer;
  std::unique_ptr<EngineContext> ctx;
  std::unique_ptr<YearTables> tables = std::make_unique<YearTables>();
  std::unique_ptr<EclipseList> list = std::make_unique<EclipseList>();

  explicit EclipseEngine(int timeSystem = kTimeTT, double lonDeg = 126.9669, double latDeg = 37.5422,
                         double heightM = 0.0) {
    settings.TimeSystemCode = timeSystem;
    settings.PlaceMeridian = 135.0f;
    UpdateZoneOffset(settings);
    SetObserver(lonDeg, latDeg, heightM);
    ctx = std::make_unique<EngineContext>(settings, observer);
  }
  void SetObserver(double lonDeg, double latDeg, double heightM = 0.0) {
    observer.LongitudeDeg = lonDeg;
    observer.LatitudeDeg = latDeg;
    observer.AltitudeM = heightM;
    ObserverGeocentric(observer);
  }
  // Delta T fixed to a value (seconds), e.g. that of another program.
  void UseDeltaT(double seconds) {
    settings.DeltaTModelCode = kDeltaTUser;
    settings.UserDeltaT = seconds;
    tables->Prepared = false;
  }
  const EclipseList& Year(int year) {
    PrepareYear(*ctx, *tables, year, LunarBuildOptions{});
    FindEclipsesOfYear(*ctx, *tables, year, *list);
    return *list;
  }
  // The eclipse of the year whose greatest phase falls on y-m-d (instants as
  // the engine gives them, i.e. in the selected time system less the zone).
  const FoundEclipse* On(int y, int m, int d) {
    const EclipseList& l = Year(y);
    const double day = CalendarToJulianDay(y, m, d) - settings.ZoneOffsetDays;
    for (int i = 0; i < l.count; ++i)
      if (l.items[i].greatestJD >= day && l.items[i].greatestJD < day + 1.0) return &l.items[i];
    return nullptr;
  }
};

}  // namespace orv::testing
