// Simulation items 3 (horizontal coordinates) and 14 (eclipses).
#include "app/core/simulation_internal.h"

namespace orv::simulation {

void WriteHorizontal(ItemRun& run) { run.out.Write("일시,방위각(Azimuth/deg),고도(Elevation/deg)"); }

void WriteEclipses(ItemRun&) {}

}  // namespace orv::simulation
