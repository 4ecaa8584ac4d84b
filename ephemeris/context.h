// The computation context of the engine: what one calculation reads and
// leaves behind. The window owns one, tests make their own; nothing of this is
// global.
#pragma once

#include "time/settings.h"
#include "time/timescales.h"

namespace orv {

struct JplEphemeris;

struct EngineContext {
  EngineContext(const CalcSettings& s, const Observer& o) : settings(s), observer(o) {}

  const CalcSettings& settings;
  const Observer& observer;
  TimeState time;                // the current instant (CurrentJD, CurrentTT, ...)
  JplEphemeris* jpl = nullptr;   // the open JPL file, if any (not owned)
};

}  // namespace orv
