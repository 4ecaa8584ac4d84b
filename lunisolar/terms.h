// The 24 solar terms and the new and full moons of the loaded year's span:
// crossing searches on the apparent longitude functions, lists of the events
// to the minute (with whole seconds), and the queries built on them.
//
// Every instant handed to the searches is in the selected time system with the
// zone offset removed (for standard time, UT); dates and times stored in the
// lists are in the selected time system (standard time of the place for ST).
#pragma once

#include <optional>

#include <string>

#include "ephemeris/context.h"
#include "ephemeris/search.h"
#include "ephemeris/sunmoon.h"
#include "lunisolar/year_tables.h"

namespace orv {

// The crossing searches stop when a secant step is shorter than 0.1 ms; the
// point reached is then within microseconds of the crossing.
constexpr double kCrossingToleranceDays = 1.1574074074074074e-9;
// Rates of the apparent solar longitude (0.953 deg/day at aphelion, 1.019 at
// perihelion) and of the Moon-Sun elongation (about 10.8 to 14.5 deg/day),
// with margins; the bounds keep every step inside a bracket of the crossing.
constexpr CrossingSearch kSunCrossing{0.9, 1.1, 0.9856, kCrossingToleranceDays, 16};
constexpr CrossingSearch kElongationCrossing{9.0, 16.5, 12.19, kCrossingToleranceDays, 16};

// "立春입춘", "雨水우수", ... in term-index order (0 = start of spring).
extern const char* const SolarTermNames[24];

// Target longitude of a term index: 15 x ((i + 21) mod 24), the spring
// equinox (index 3) as 360.
int TermLongitude(int termIndex);

// mode +1: the day table moved on one year since the last call, -1: back one
// year (the lists in the tables are the neighbour's, under the same
// settings, and their events are taken over instead of searched again);
// anything else computes afresh. Either way the lists are the same. The day
// table must be filled. False when a search failed (a longitude that is not
// finite, no convergence): the list then ends before the failed event.
bool ComputeSolarTermsOfYear(EngineContext& ctx, YearTables& tables, int mode);
bool ComputeSyzygiesOfYear(EngineContext& ctx, YearTables& tables, int mode);

// The instant (search scale: selected time system, zone removed) at which
// the Sun's apparent longitude (sun) or the Moon-Sun elongation reaches
// `targetDeg`, by the crossing search of the lists from `guessJd`; none when
// the search failed or the crossing lies more than `windowDays` from the
// guess.
std::optional<double> LongitudeCrossing(EngineContext& ctx, bool sun, double targetDeg, double guessJd,
                                        double windowDays);

// A minute of the term and syzygy lists: date and time in the selected time
// system (standard time of the place for ST).
struct ListedMinute {
  int y = 0, m = 0, d = 0, h = 0, mi = 0;
  // Julian Day of the minute and of its date's 0h, on the same clock.
  double Jd() const;
  double DateJd() const;
};

enum class TermKind { kSectional, kMajor };  // odd term indices are major
enum class SearchDirection {
  kBefore,     // strictly before the date-time
  kAtOrAfter,  // at or after it
};

// An event's minute with the seconds found for it (to 0.01 s, in [0, 60)).
struct RefinedMinute {
  ListedMinute minute;
  float seconds = 0.0f;
};

// Seconds of the term of `longitude` at the listed minute (to 0.01 s). When
// the seconds fall outside 0..60 the minute is carried (through hour, day,
// month and year) into the returned minute. None when the search failed (a
// value that is not finite, or no crossing near the minute).
std::optional<RefinedMinute> RefineTermSeconds(EngineContext& ctx, double longitude, const ListedMinute& listed);
// The same for a new or a full moon.
std::optional<RefinedMinute> RefineSyzygySeconds(EngineContext& ctx, SyzygyKind kind, const ListedMinute& listed);
// What a caller that knows only the listed minute shows when the refinement
// failed: the middle of that minute, off by 30 s at the most.
constexpr float kListedMinuteMiddleSeconds = 30.0f;

// The instant at which the apparent solar longitude reaches `longitudeDeg`
// (any value) in `year`, which must lie in the loaded span, on the clock of
// the lists. None when the list does not cover it or the search failed.
std::optional<RefinedMinute> SolarTermInstantOfYear(EngineContext& ctx, const YearTables& tables, int year,
                                                    double longitudeDeg);

struct ListedTerm {
  ListedMinute minute;
  int termIndex = 0;
};

// The previous or the next sectional or major term of the list around a
// date-time. None when the list has none.
std::optional<ListedTerm> FindSolarTermNear(const YearTables& tables, const ListedMinute& from,
                                            SearchDirection direction, TermKind kind);
// The same for new and full moons.
std::optional<ListedMinute> FindSyzygyNear(const YearTables& tables, const ListedMinute& from,
                                           SearchDirection direction, SyzygyKind kind);

}  // namespace orv
