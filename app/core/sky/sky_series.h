// The numbers behind the pictures of the sky at the place: the year's
// daylight (sunrise, sunset and the three twilights of every day) and one
// day's altitudes of the Sun and the Moon. No drawing here.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "eclipses/moon_phase.h"
#include "eclipses/riseset.h"

namespace orv {

// One day of the daylight chart. Instants are those of the engine (selected
// time system, zone offset removed; empty = the event does not happen that day).
struct DaylightDay {
  int month = 0, day = 0;
  double midnightJD = 0.0;  // start of the civil date in the same scale
  std::optional<double> riseJD, setJD;
  std::array<std::optional<double>, kTwilightKinds> dawnJD{}, duskJD{};
  // Hours the place's civil clock runs ahead of the zone's standard time on
  // that date at noon (1 under summer time; 0 without a known zone).
  double clockShiftHours = 0.0;
  // The Sun's altitude at local mean noon, degrees; computed only on days
  // that miss an event (it tells a white night from a polar night), else 90.
  double noonAltitudeDeg = 90.0;
};

struct DaylightYear {
  int year = 0;
  double zoneOffsetDays = 0.0;  // the engine's zone offset (shown time - instant)
  std::vector<DaylightDay> days;
  bool anyClockShift = false;  // summer time on some day of the year
};

// Every day of the civil year at the observer of the context. Each event is
// refined by Newton steps on the altitude from the same event of the day
// before and checked against the precise search of RiseSetTimes and
// TwilightTimes whenever the step does not settle (days next to a polar day
// or night). `timeZone` is the IANA zone of the place's civil clock ("" for
// none).
DaylightYear ComputeDaylightYear(EngineContext& ctx, int year, const std::string& timeZone);

// The hours of the day (0..24, may run past) at which an instant is shown on
// the chart's clock: the zone's standard time plus the clock's shift.
double ShownHourOfDay(const DaylightDay& day, double zoneOffsetDays, double jd);

// One day's sky: altitudes of the Sun's and the Moon's centres every
// `kDaySkyStepMinutes` from the local midnight to the next, with the events
// of the day.
inline constexpr int kDaySkyStepMinutes = 10;
struct DaySky {
  int year = 0, month = 0, day = 0;
  double midnightJD = 0.0;             // engine scale
  std::vector<double> sunAltitudeDeg;  // topocentric, no refraction
  std::vector<double> moonAltitudeDeg;
  RiseSetInstants sun, moon;  // rise, set and upper transit (the Moon's may fall on another date)
  std::array<TwilightInstants, kTwilightKinds> twilight{};
  MoonPhase moonPhase;  // at the Moon's transit, or noon when it has none
  double moonPhaseJD = 0.0;
  double latitudeDeg = 0.0;
};
DaySky ComputeDaySky(EngineContext& ctx, int year, int month, int day);

}  // namespace orv
