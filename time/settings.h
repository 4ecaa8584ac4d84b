// The settings record every computation reads, and the observer it implies.
//
// Plain data: reading and writing the configuration file belongs to the
// application layer (app/core/files/config.h). The engine receives the record by
// reference and never keeps a copy.
#pragma once

namespace orv {

// Ephemeris codes: the built-in theory and the two JPL ephemerides the program
// computes with. Reading the configuration file maps every other code to
// PLAN404 (with a message), so no other code reaches the engine.
enum EphemerisCodes : int {
  kEphemerisPlan404 = 3,
  kEphemerisDe431 = 8,
  kEphemerisDe441 = 9,
};

enum TimeSystemCodes : int {
  kTimeDeltaTZero = 0,  // Delta T taken as zero
  kTimeTT = 1,
  kTimeUT = 2,
  kTimeST = 3,          // standard time of the selected place
  // The place's civil clock: everything reckoned as under kTimeST (the lunar
  // calendar and the dates of events stay in standard time); only clock
  // times shown are read on the zone's clock, labelled with its offset.
  kTimeCivil = 4,
};

// Whether instants are reckoned in the place's standard time (kTimeST, kTimeCivil).
inline bool ReckonsInStandardTime(int timeSystemCode) {
  return timeSystemCode == kTimeST || timeSystemCode == kTimeCivil;
}

enum DeltaTModelCodes : int {
  kDeltaTNasa = 1,
  kDeltaTHorizons = 2,
  kDeltaTUser = 3,
  kDeltaTHorizonsNasa = 4,  // Horizons with the NASA-style extension
};

enum NutationModelCodes : int {
  kNutationInternal = 0,  // nutation read from the JPL file
  kNutationIau1980 = 1,
  kNutationIau2000B = 2,
};

enum PrecessionModelCodes : int {
  kPrecessionIau1976 = 0,
  kPrecessionOwen1990 = 1,
  kPrecessionIau2006 = 2,
  kPrecessionVondrak2011 = 3,
};

enum ObliquityModelCodes : int {
  kObliquityOwen1990 = 1,
  kObliquityIau2006 = 2,
};

struct CalcSettings {
  // Stored in Orvanta.cfg (line numbers of the file in brackets).
  int EphemerisCode = 0;          // [1]
  int De431Selectable = 1;        // [1] second number; enables the DE431 choice
  int PrecessionModel = 0;        // [2]
  int NutationModel = 0;          // [3]
  int ObliquityModel = 0;         // [4]
  int TimeSystemCode = 0;         // [5]
  int DeltaTModelCode = 0;        // [6]
  double UserDeltaT = 0.0;        // [6] seconds
  int TidalCompensation = 0;      // [7]
  // [8], [9]: the search method and step of the configuration file, read and
  // written as they are; every event is found by the crossing search
  // (ephemeris/search.h) whatever they say.
  int TermSearchBisection = 0;    // [8]
  int TermSearchStepSeconds = 0;  // [9]
  int PlaceIndex = 0;             // [10]
  int EopCorrection = 0;          // [11]

  // Derived values.
  float PlaceMeridian = 0.0f;        // standard meridian of the place, degrees east
  float ZoneMeridian = 0.0f;         // PlaceMeridian under standard time, else 0
  double ZoneOffsetDays = 0.0;       // ZoneMeridian / 360, days (exact: every instant is shifted by it)
  float ComputerZoneMeridian = 0.0f; // computer clock's UTC offset as a meridian
  int TodayDate[3] = {0, 0, 0};      // year, month, day at the place (standard time)
  int LoadedYear = 0;
};

// The record as it stands without a configuration file.
CalcSettings DefaultSettings();

// The observer: copied from the selected place row.
struct Observer {
  double LongitudeDeg = 0.0;   // east positive
  double LatitudeDeg = 0.0;    // geodetic
  double AltitudeM = 0.0;      // metres above the ellipsoid
  double ObserverRadius = 1.0; // distance from the Earth's centre, equatorial radii
};

// Recomputes ZoneMeridian and ZoneOffsetDays from PlaceMeridian and the time system.
void UpdateZoneOffset(CalcSettings& settings);

// What an ephemeris code stands for.
struct EphemerisCodeInfo {
  int deNumber;          // DE number of the JPL file opened for the code, 0 for none
  const char* fileStem;  // "DE431", "DE441" (file stem + ".jpl"), "" for none
  const char* label;     // the source's name in the simulation window's notes
  bool carriesNutation;  // the source carries nutation angles (the JPL files)
};
// The row of a code; every code but DE431 and DE441 gets the row of the built-in theory.
const EphemerisCodeInfo& EphemerisCodeRow(int ephemerisCode);
// Whether the source of the code carries its own nutation angles, so that
// the "internal" nutation model may be chosen with it.
bool EphemerisCarriesNutation(int ephemerisCode);

}  // namespace orv
