// The Moon's phase: how much of the disc is lit, where the lit limb points,
// and how old the lunation is, for the phase picture and the "moon" listing.
#pragma once

#include "ephemeris/context.h"

namespace orv {

struct MoonPhase {
  double illuminatedFraction = 0.0;  // 0 new .. 1 full
  double phaseAngleDeg = 0.0;        // Sun-Moon-Earth angle, 0 full .. 180 new
  // Position angle of the midpoint of the bright limb, from the north point
  // of the disc through east, degrees [0, 360) (about 270 waxing, 90 waning).
  double brightLimbAngleDeg = 0.0;
  // Angle between the directions to the celestial pole and to the zenith at
  // the Moon, from north through east, degrees (-180, 180]: the bright limb
  // stands brightLimbAngleDeg - parallacticAngleDeg from the zenith direction
  // as the observer sees the Moon in the sky.
  double parallacticAngleDeg = 0.0;
  double ageDays = 0.0;  // since the last new moon (Moon-Sun elongation 0)
  bool waxing = true;    // elongation below 180 degrees
};

// The Moon's phase at `jd` (selected time system, zone offset removed) for the
// observer of the context: geocentric apparent places of the Sun and the
// Moon, the phase angle from their elongation and distances, the bright limb
// from their right ascensions and declinations (Meeus, Astronomical
// Algorithms, ch. 48) and the age from a search for the new moon before.
MoonPhase MoonPhaseAt(EngineContext& ctx, double jd);

// The instant nearest `guessJD` (within a week) at which the Moon-Sun
// elongation in longitude reaches `elongationDeg` (0 new moon, 90 first
// quarter, 180 full, 270 last quarter), to 1 s; 0 if the search fails.
double PrincipalPhaseNear(EngineContext& ctx, double guessJD, double elongationDeg);

// The instant of the last new moon at or before `jd` (same scale), to 1 s;
// 0 if the search fails.
double PreviousNewMoon(EngineContext& ctx, double jd);

}  // namespace orv
