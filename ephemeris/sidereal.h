// Greenwich apparent sidereal time.
#pragma once

#include "ephemeris/context.h"

namespace orv {

// Greenwich apparent sidereal time at ctx.time.CurrentUT, hours in [0, 24).
double ApparentSiderealTime(EngineContext& ctx);

}  // namespace orv
