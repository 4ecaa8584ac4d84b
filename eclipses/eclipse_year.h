// The eclipses of a year: the walk over the new and full moons of the loaded
// year's syzygy list that the year reports, the simulation window and the
// command line share, and the circumstances of each eclipse at the observer.
#pragma once

#include <optional>

#include "eclipses/eclipse_global.h"
#include "eclipses/eclipse_local.h"
#include "lunisolar/year_tables.h"

namespace orv {

// One eclipse as the walk finds it. Instants are in the selected time system
// with the zone offset removed (add ZoneOffsetDays before printing).
struct FoundEclipse {
  bool solar = true;
  double syzygyJD = 0.0;   // the listed new or full moon (to the minute)
  double greatestJD = 0.0;
  EclipseType type = 0;    // with the annular-total marking for solar eclipses
  EclipseElements elements;  // at greatest eclipse
  ShadowPoint point;
  ContactTimes contacts;   // solar: P1, P4, U1, U4; lunar: U1, U4, U2, U3, P1, P4
  // Annular-total eclipses: the change of the umbral radius' sign between U1
  // and greatest eclipse [0] and between greatest eclipse and U4 [1], when
  // there is one; direction 1 = annular to total.
  std::optional<double> transitionJD[2];
  int transitionDirection[2] = {0, 0};
  // Gamma with its sign, as reports print it: solar, the axis distance with
  // the sign of the axis' y; lunar, the Moon's distance from the axis with
  // the sign of the Moon's y.
  double SignedGamma() const;
};

struct EclipseList {
  // 14 new and 14 full moons are walked.
  static constexpr int kCapacity = 28;
  FoundEclipse items[kCapacity];
  int count = 0;
};

// Which instant has to lie in the span for an eclipse to be kept.
enum class EclipseSpanTest { GreatestEclipse, Syzygy };

// Walks 14 new moons and 14 full moons of the syzygy list from 26 November of
// the year before the loaded year, runs the greatest-eclipse search around
// each (then the contacts, the annular-total marking and transitions), and
// keeps the eclipses whose chosen instant lies in [spanStartJD, spanEndJD]
// (selected time system less the zone offset), in time order. Returns the
// number kept; 0 when the tables are not prepared.
int FindEclipses(EngineContext& ctx, const YearTables& tables, double spanStartJD, double spanEndJD,
                 EclipseSpanTest test, EclipseList& out);

// The eclipses whose greatest phase falls in `year` by the date of the
// selected time system (standard time: the place's date). `tables` must hold
// `year`.
int FindEclipsesOfYear(EngineContext& ctx, const YearTables& tables, int year, EclipseList& out);

// One eclipse at the observer of the context.
struct LocalEclipse {
  // Solar: the local maximum, local type (4, 8 or 16) and magnitude, and the
  // contacts C1..C4 (kLocalC1..kLocalC4). Lunar: the global greatest eclipse,
  // type, umbral magnitude and contacts, which are the same everywhere.
  double maximumJD = 0.0;
  EclipseType type = 0;
  double magnitude = 0.0;
  ContactTimes contacts;
  EclipseElements elements;
  ShadowPoint point;
  Daylight daylight;  // the Sun's rise and set around the eclipse
  EclipseVisibility visibility = EclipseVisibility::OutsideShadow;
};
void LocalCircumstances(EngineContext& ctx, const FoundEclipse& eclipse, LocalEclipse& out);

}  // namespace orv
