// The Moon's phase as a listing (CSV) for the command line.
#pragma once

#include <string>

#include "eclipses/moon_phase.h"

namespace orv {

// "illuminated_fraction,phase_angle_deg,bright_limb_angle_deg,age_days" and
// one row for the instant `jd` (selected time system, zone offset removed).
std::string MoonPhaseCsv(EngineContext& ctx, double jd);

}  // namespace orv
