// A solar or lunar eclipse as seen from the observer of the context: the
// local maximum, type and magnitude and the four local contacts of a solar
// eclipse, whether anything of an eclipse can be seen there, and the marking
// of instants at which the eclipsed body is below the horizon.
#pragma once

#include <string>

#include "eclipses/eclipse_global.h"
#include "eclipses/riseset.h"
#include "time/dates.h"

namespace orv {

// Geocentric rectangular place of the observer in Earth equatorial radii,
// Earth-fixed (x towards longitude 0, y towards 90 E, z towards the north
// pole), on the ellipsoid of flattening 1/298.25642 raised by the height.
void ObserverEarthFixed(const Observer& observer, double out[3]);

// The observer on the fundamental plane of the solar elements (xi, eta,
// zeta), Earth radii, from the axis declination d (slot 2) and the hour
// angle mu without the Delta T term (slot 14).
void ObserverFundamental(const double observer[3], const EclipseElements& elements, double& xi, double& eta,
                         double& zeta);

// Instant of the local maximum of a solar eclipse (smallest distance between
// the observer and the shadow axis, to 0.01 s, within two hours of the
// greatest eclipse `jdGreatest`). Slots 9 and 10 of the elements hold L1 and
// L2 at the observer, slot 16 the local magnitude; `type` is 4 (total) or 8
// (annular) when the observer is inside the umbra or antumbra, else 16. The
// instant is returned even when the place sees nothing; the contacts decide.
double LocalSolarEclipseMaximum(EngineContext& ctx, double jdGreatest, ShadowPoint& point,
                                EclipseElements& elements, EclipseType& type);

// Local contacts within five hours of the local maximum, to 0.01 s: slots
// kLocalC1 (first), kLocalC2 (second), kLocalC3 (third), kLocalC4 (last);
// empty when the contact does not occur.
void LocalSolarEclipseContacts(EngineContext& ctx, double jdLocalMaximum, ContactTimes& contacts);

// The Sun's daylight around an eclipse, for the visibility verdicts: the
// rise and set that belong to the Sun's upper transit nearest to the eclipse
// (so that an eclipse in the early morning is judged against that morning's
// sunrise at any longitude). A missing sunrise is before anything (the Sun
// was up the whole half day before the transit), a missing sunset after
// anything; when both are missing the Sun's altitude at the eclipse decides
// between polar day (always up) and polar night (never up).
struct Daylight {
  RiseSetInstants sun;       // as RiseSetTimes gave them
  double sunriseJD = 0.0;    // -infinity / +infinity stand in for a missing event
  double sunsetJD = 0.0;
};
Daylight SunDaylight(EngineContext& ctx, double eclipseJD);

enum class EclipseVisibility { Visible, OutsideShadow, BelowHorizon };

// Solar: no first contact -> outside the shadow; the whole eclipse before
// sunrise or after sunset -> below the horizon.
EclipseVisibility SolarEclipseVisibility(const ContactTimes& local, const Daylight& day);
// Lunar: the Moon stands opposite the Sun, so it is up while the Sun is down;
// visible when the eclipse starts or ends outside the daylight.
EclipseVisibility LunarEclipseVisibility(const ContactTimes& contacts, const Daylight& day);

// "hh:mm:ss.s" of the time of day of `jd`, with "(지하)" appended when the body
// is below the horizon: mode 0 (solar; a = sunrise, b = sunset) before a or
// after b; mode 1 (lunar) strictly between a and b; other modes never.
// Civil date and time of `jd` rounded to the nearest 0.1 s, so that a
// "%04.1f" of the seconds never reads 60.0.
CivilDateTime JulianDayToCalendarTenths(double jd);

enum ContactTimeMode : int { kContactTimeSolar = 0, kContactTimeLunar = 1, kContactTimePlain = -1 };
std::string FormatContactTime(int mode, double jd, double a, double b);

}  // namespace orv
