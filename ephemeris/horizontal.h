// Horizontal coordinates (azimuth and altitude) for the observer of the
// context, with the horizontal parallax of the Sun and the Moon and the
// atmospheric refraction, and the instant of a body's highest altitude.
#pragma once

#include "ephemeris/context.h"

namespace orv {

// Body numbers of the position dispatcher: planets (2 and above) get no parallax.
enum HorizontalBody : int { kHorizontalSun = 0, kHorizontalMoon = 1 };

struct HorizontalPosition {
  double azimuthDeg = 0.0;           // from north through east, [0, 360)
  double altitudeDeg = 0.0;          // topocentric for the Sun and the Moon, no refraction
  double apparentAltitudeDeg = 0.0;  // altitude + AtmosphericRefraction(altitude)
};

// Azimuth and altitude of a body at `jd` (selected time system, zone offset
// removed) from its apparent right ascension and declination (`raDecRad`,
// radians) and, for the Sun and the Moon, its geocentric distance in AU
// (ignored for planets).
void HorizontalCoordinates(EngineContext& ctx, double jd, int body, const double raDecRad[2], double distanceAu,
                           HorizontalPosition& out);

// Refraction in degrees for a true altitude in degrees at 1013 mbar and
// 20 C: 0 below -2 and from 90 up; the tangent formula above 15; below that
// the low-altitude formula solved for the true altitude by four secant steps.
double AtmosphericRefraction(double altitudeDeg);

// Angle of the point (x, y) in [0, 2 pi), radians; 0 for the origin.
double Atan2Angle(double x, double y);

// Julian Day of the highest altitude of the Sun (0) or the Moon (1) in the
// civil day (0h UT to 24h UT of the selected scale) that contains `jd`, to
// 0.1 s: hourly samples (from the hour before the day) until a maximum is
// bracketed, then a golden-section search. A transit in the day's first or
// last hour counts; the result never leaves the day (a day without an upper
// transit, as the Moon has about once a month, gives the higher of its ends).
double CulminationInstant(EngineContext& ctx, int body, double jd);

// The same for the 24 hours from `dayStartJD` (a civil day of any zone).
double CulminationInDay(EngineContext& ctx, int body, double dayStartJD);

// The same search for any altitude function (degrees of an instant): the
// planets' positions come from elsewhere.
template <class AltitudeFunction>
double CulminationOf(AltitudeFunction&& altitudeDeg, double jd);
template <class AltitudeFunction>
double CulminationInWindow(AltitudeFunction&& altitudeDeg, double dayStartJD);

}  // namespace orv

#include "ephemeris/horizontal_culmination.inl"
