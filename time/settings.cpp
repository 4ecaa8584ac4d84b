#include "time/settings.h"

namespace orv {

CalcSettings DefaultSettings() {
  CalcSettings s;
  s.EphemerisCode = kEphemerisPlan404;
  s.De431Selectable = 1;
  s.PrecessionModel = kPrecessionIau2006;
  s.NutationModel = kNutationIau2000B;
  s.ObliquityModel = kObliquityIau2006;
  s.TimeSystemCode = kTimeST;
  s.DeltaTModelCode = kDeltaTHorizons;
  s.UserDeltaT = 0.0;
  s.TidalCompensation = 1;
  s.TermSearchBisection = 1;
  s.TermSearchStepSeconds = 20;
  s.PlaceIndex = 0;
  s.EopCorrection = 1;
  s.PlaceMeridian = 135.0f;
  UpdateZoneOffset(s);
  return s;
}

void UpdateZoneOffset(CalcSettings& settings) {
  settings.ZoneMeridian = ReckonsInStandardTime(settings.TimeSystemCode) ? settings.PlaceMeridian : 0.0f;
  settings.ZoneOffsetDays = static_cast<double>(settings.ZoneMeridian) / 360.0;
}

namespace {

constexpr EphemerisCodeInfo kBuiltInTheory = {0, "", "PLAN404", false};
constexpr EphemerisCodeInfo kDe431 = {431, "DE431", "DE431", true};
constexpr EphemerisCodeInfo kDe441 = {441, "DE441", "DE441", true};

}  // namespace

const EphemerisCodeInfo& EphemerisCodeRow(int ephemerisCode) {
  switch (ephemerisCode) {
    case kEphemerisDe431: return kDe431;
    case kEphemerisDe441: return kDe441;
    default: return kBuiltInTheory;
  }
}

bool EphemerisCarriesNutation(int ephemerisCode) { return EphemerisCodeRow(ephemerisCode).carriesNutation; }

}  // namespace orv
