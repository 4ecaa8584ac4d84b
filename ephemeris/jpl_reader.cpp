#include "ephemeris/jpl_reader.h"

namespace orv {

void JplNutationAngles(EngineContext& ctx, double, double&, double&) {
  (void)ctx;
  throw JplError("no JPL ephemeris is open");
}

}  // namespace orv
