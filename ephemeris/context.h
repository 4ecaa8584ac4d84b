// The computation context of the engine: the settings and observer one
// calculation reads and the JPL file it may read from. The window owns one,
// tests make their own; nothing of this is global. Results travel as return
// values, never through the context.
#pragma once

#include "time/settings.h"
#include "time/timescales.h"

namespace orv {

struct JplEphemeris;

struct EngineContext {
  EngineContext(const CalcSettings& s, const Observer& o) : settings(s), observer(o) {}

  const CalcSettings& settings;
  const Observer& observer;
  JplEphemeris* jpl = nullptr;  // the open JPL file, if any (not owned)
};

}  // namespace orv
