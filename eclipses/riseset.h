// Rising and setting of the Sun and the Moon at the observer of the context:
// the instants at which the upper limb touches the apparent horizon
// (topocentric altitude of the centre + 34' of refraction + semidiameter +
// dip of the horizon for the place's height = 0).
#pragma once

#include <optional>

#include "ephemeris/context.h"
#include "ephemeris/horizontal.h"

namespace orv {

// Rise and set around one upper transit; empty for an event that does not
// happen in its half-day window. Instants in the time system of the input.
struct RiseSetInstants {
  std::optional<double> riseJD;
  std::optional<double> setJD;
  double transitJD = 0.0;  // the upper transit both windows hang on
};

// The rise in the half day before and the set in the half day after the upper
// transit of one local date: the date of the 0h UT to 24h UT day (of the
// input's scale) that contains `jd`, taken as the civil day of the zone shown
// (from 0h local standard time, ZoneOffsetDays before 0h UT; the UT day
// itself under TT and UT). Body 0 = Sun, 1 = Moon. Tolerance 0.01 s; a root
// within 0.1 s of a window's end counts as no event.
RiseSetInstants RiseSetTimes(EngineContext& ctx, int body, double jd);

// The rise in the half day before and the set in the half day after a
// transit already found (RiseSetInstants::transitJD).
RiseSetInstants RiseSetAroundTransit(EngineContext& ctx, int body, double transitJD);

// The Sun's rise and set around the transit within an hour of `meanNoonJD`
// (local mean noon; the equation of time stays below 17 minutes). Unlike
// RiseSetTimes this does not depend on where the UT day begins.
RiseSetInstants SunRiseSetAroundNoon(EngineContext& ctx, double meanNoonJD);

// Depression of the body's centre at the moment of rise or set, degrees:
// 34' of refraction + apparent semidiameter + dip for the observer's height
// (2.12' per square root of metre).
double HorizonDepression(EngineContext& ctx, int body, double jd);

// Horizontal place of the Sun (0) or the Moon (1) at `jd`: azimuth and the
// topocentric altitude of the centre (parallax, no refraction), degrees.
HorizontalPosition SunMoonHorizontal(EngineContext& ctx, int body, double jd);

// The horizon function: altitude + HorizonDepression, degrees; negative while
// the upper limb is below the apparent horizon.
double UpperLimbAboveHorizon(EngineContext& ctx, int body, double jd);

// Twilight: the instants at which the Sun's centre is a given angle below the
// geometric horizon (topocentric altitude, no refraction, no dip).
enum class Twilight : int { Civil = 0, Nautical = 1, Astronomical = 2 };
inline constexpr int kTwilightKinds = 3;
// 6, 12 and 18 degrees.
double TwilightDepressionDeg(Twilight kind);
// "civil", "nautical", "astronomical".
const char* TwilightName(Twilight kind);

struct TwilightInstants {
  std::optional<double> dawnJD;  // empty: the Sun does not cross that altitude in the half day
  std::optional<double> duskJD;
};

// Dawn in the half day before and dusk in the half day after `transitJD`
// (the transit of RiseSetInstants), when the Sun's centre stands
// `depressionDeg` below the horizon. The same tolerance and end margin as
// rising and setting; empty where the Sun never gets that low (white nights) or
// that high (polar night).
TwilightInstants TwilightAroundTransit(EngineContext& ctx, double transitJD, double depressionDeg);

// The same for the local date of `jd`, on the transit RiseSetTimes uses.
TwilightInstants TwilightTimes(EngineContext& ctx, Twilight kind, double jd);

}  // namespace orv
