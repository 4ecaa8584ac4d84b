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

// Seconds of the term of `longitude` at the listed minute y-m-d h:mi (to
// 0.01 s). When the seconds fall outside 0..60 the minute is carried (through
// hour, day, month and year) in the in/out fields. None when the search
// failed (a value that is not finite, or no crossing near the minute): the
// fields are then left as they are.
std::optional<float> RefineTermSeconds(EngineContext& ctx, double longitude, int& y, int& m, int& d, int& h, int& mi);
// The same for a new moon ('H') or a full moon ('M').
std::optional<float> RefineSyzygySeconds(EngineContext& ctx, char kind, int& y, int& m, int& d, int& h, int& mi);
// What a caller that knows only the listed minute shows when the refinement
// failed: the middle of that minute, off by 30 s at the most.
constexpr float kListedMinuteMiddleSeconds = 30.0f;

// The instant at which the apparent solar longitude reaches `longitudeDeg`
// (any value) in `year`, which must lie in the loaded span. False when the
// list does not cover it.
bool SolarTermInstantOfYear(EngineContext& ctx, const YearTables& tables, int year, double longitudeDeg,
                            int& month, int& day, int& hour, int& minute, float& seconds);

// Previous ('b', strictly before) or next ('f', at or after) sectional ('J')
// or major ('G') term around a date-time. False when the list has none.
bool FindSolarTermNear(const YearTables& tables, int y, int m, int d, int h, int mi, char direction,
                       char kind, int& oy, int& om, int& od, int& oh, int& omi, int& termIndex);
// The same for new ('H') and full ('M') moons.
bool FindSyzygyNear(const YearTables& tables, int y, int m, int d, int h, int mi, char direction,
                    char kind, int& oy, int& om, int& od, int& oh, int& omi);

}  // namespace orv
