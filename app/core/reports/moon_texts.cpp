#include "app/core/reports/moon_texts.h"

#include "time/text_format.h"

namespace orv {

std::string MoonPhaseCsv(EngineContext& ctx, double jd) {
  const MoonPhase p = MoonPhaseAt(ctx, jd);
  return "illuminated_fraction,phase_angle_deg,bright_limb_angle_deg,age_days\n" +
         Format("%.6f,%.4f,%.4f,%.4f\n", p.illuminatedFraction, p.phaseAngleDeg, p.brightLimbAngleDeg, p.ageDays);
}

}  // namespace orv
