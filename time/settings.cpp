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
constexpr EphemerisCodeInfo kEphemerisCodeTable[] = {
    kBuiltInTheory,                        // 0 PLAN404 theory
    kBuiltInTheory,                        // 1 PLAN404 theory
    kBuiltInTheory,                        // 2 cmoon404 theory
    kBuiltInTheory,                        // 3 PLAN404D, the built-in theory
    {0, "", "VSOP87+ELP2000", false},      // 4
    {406, "DE406", "DE406", false},        // 5 JPL DE406
    {406, "DE406", "DE406", false},        // 6 JPL DE406
    {422, "DE422", "DE422", true},         // 7 JPL DE422
    {431, "DE431", "DE431", true},         // 8 JPL DE431
    {441, "DE441", "DE441", true},         // 9 JPL DE441
    {0, "", "SWEPH", false},               // 10 Swiss Ephemeris *.se1 files
    {0, "", "DE406", false},               // 11 Swiss Ephemeris DE406
    {0, "", "DE422", true},                // 12 Swiss Ephemeris DE422
    {0, "", "DE431", true},                // 13 Swiss Ephemeris DE431
    {0, "", "MOSEPH", false},              // 14 Swiss Ephemeris built-in analytic method
};
constexpr int kEphemerisCodeCount = sizeof kEphemerisCodeTable / sizeof kEphemerisCodeTable[0];

}  // namespace

const EphemerisCodeInfo& EphemerisCodeRow(int ephemerisCode) {
  if (ephemerisCode < 0 || ephemerisCode >= kEphemerisCodeCount) return kBuiltInTheory;
  return kEphemerisCodeTable[ephemerisCode];
}

bool EphemerisCarriesNutation(int ephemerisCode) { return EphemerisCodeRow(ephemerisCode).carriesNutation; }

}  // namespace orv
