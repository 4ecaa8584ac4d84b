// How far the built-in PLAN404 theory is from a JPL ephemeris: apparent places
// of the Sun and the Moon at regular instants, and the instants of the solar
// terms and of the new and full moons found with each, per decade.
#pragma once

#include <functional>
#include <string>

#include "ephemeris/context.h"
#include "ephemeris/jpl_reader.h"

namespace orv {

struct AccuracyOptions {
  int fromYear = 0;  // inclusive; 0/0 = the file's span
  int toYear = 0;
  double placeStepDays = 1.37;  // sampling of the places
  float zoneMeridian = 135.0f;  // standard meridian for the midnight statistics
};

// The comparison as text tables (RMS and maximum per decade and quantity).
// `settings` gives the models (precession, nutation, Delta T ...); the
// ephemeris code is set by the comparison. Throws JplError when the years
// leave the file.
std::string AccuracyReport(const CalcSettings& settings, JplEphemeris& jpl, const AccuracyOptions& options,
                           const std::function<void(int percent)>& progress = {});

}  // namespace orv
