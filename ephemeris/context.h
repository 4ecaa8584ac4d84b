// The computation context of the engine: what one calculation reads and
// leaves behind. The window owns one, tests make their own; nothing of this is
// global.
#pragma once

#include "time/settings.h"
#include "time/timescales.h"

namespace orv {

struct JplEphemeris;

// Mean obliquity last computed by MeanObliquity, and the cosine and sine last
// stored by MeanObliquity or TrueObliquity (the PLAN404 pipeline reads them).
struct ObliquityState {
  double obliquity = 0.0;  // rad
  double cosine = 1.0;
  double sine = 0.0;
};

struct EngineContext {
  EngineContext(const CalcSettings& s, const Observer& o) : settings(s), observer(o) {}

  const CalcSettings& settings;
  const Observer& observer;
  TimeState time;                // the current instant (CurrentJD, CurrentTT, ...)
  ObliquityState obliquity;
  JplEphemeris* jpl = nullptr;   // the open JPL file, if any (not owned)
};

}  // namespace orv
