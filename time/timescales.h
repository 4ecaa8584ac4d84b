// Delta T (TT - UT) and the three time systems.
#pragma once

#include <string>

#include "time/settings.h"

namespace orv {

// The instant being worked on. CurrentJD is in the selected time system (for
// standard time the caller has already subtracted ZoneOffsetDays, so it is UT);
// UpdateTimeScales derives the others from it.
struct TimeState {
  double CurrentJD = 0.0;
  double CurrentTT = 0.0;
  double CurrentUT = 0.0;
  double CurrentDeltaT = 0.0;  // seconds
};

// Sets CurrentTT, CurrentUT and CurrentDeltaT from CurrentJD and the time system.
void UpdateTimeScales(TimeState& time, const CalcSettings& settings);
// The instant `jd` of the selected time system (zone offset already removed)
// with its TT, UT and Delta T.
TimeState InstantAt(const CalcSettings& settings, double jd);

// Delta T in seconds for an instant in the selected time system (TT under
// time system 1, UT otherwise): model value plus tidal term, or the user value.
double DeltaTAt(const CalcSettings& settings, double jd);
// Model value plus tidal term, for a UT instant.
double DeltaTModel(const CalcSettings& settings, double jdUT);
// Espenak & Meeus polynomial expressions (NASA five-millennium canon), seconds.
double NasaDeltaT(double jdUT);
// JPL Horizons piecewise fits with the continuation of model 2 or 4, seconds.
double HorizonsDeltaT(const CalcSettings& settings, double jdUT);
// Correction of a Delta T model to a lunar secular acceleration `ndot`
// (arcseconds per century squared), seconds.
double TidalCorrection(const CalcSettings& settings, double ndot, double jdUT);
// The ndot that DeltaTModel uses for the settings in effect.
double LunarSecularAcceleration(const CalcSettings& settings);

// "0h1m9.184s"; "-1h2m3.500s" for negative values.
std::string FormatDeltaT(double seconds);

// Sets observer.ObserverRadius from the geodetic latitude and height.
void ObserverGeocentric(Observer& observer);

}  // namespace orv
