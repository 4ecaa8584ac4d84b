// PLAN404 coefficient tables (generated: see plan404_planets.cpp and
// plan404_moon.cpp for the generator and the source).
#pragma once

namespace orv::data {

// ---------------------------------------------------------------------------
// Planetary theory: one table per body, Mercury .. Pluto, with the
// Earth-Moon barycentre as body 3.
//
// Argument bytes, read in sequence: a count n; n < 0 ends the table. n = 0
// starts a polynomial term: the next byte is its degree d and each coefficient
// table supplies d + 1 doubles, highest power first. n > 0 starts a periodic
// term of n (multiplier, argument number 1..9) pairs followed by its degree d;
// each coefficient table supplies d + 1 (cosine, sine) pairs, highest power
// first. Longitude and latitude coefficients are arc-seconds, radius
// coefficients units of (mean distance x 1 arc-second in radians); T is in
// units of 10 000 Julian years from J2000.0.
constexpr int kPlan404PlanetCount = 9;
constexpr int kPlan404ArgumentCount = 9;
constexpr int kPlan404MaxHarmonic = 24;

struct Plan404PlanetTable {
  signed char maxHarmonic[kPlan404ArgumentCount];  // highest multiple needed of each argument
  int maxPower;                                    // highest power of T
  const signed char* args;
  const double* lon;
  const double* lat;
  const double* rad;
  double meanDistanceAu;
  int periodicTerms;          // periodic terms in args (the polynomial term not counted)
  int coefficientsPerSeries;  // doubles in each of lon, lat, rad
};

extern const Plan404PlanetTable kPlan404Planets[kPlan404PlanetCount];

// ---------------------------------------------------------------------------
// Lunar theory.

// Mean elements, in the order below. Value in arc-seconds:
// ReduceArcseconds(rate T + phase) + T^2 (higher[0] + higher[1] T + ...),
// T in Julian centuries from J2000.0.
enum Plan404MoonElement : int {
  kMoonD = 0,   // mean elongation
  kMoonLp,      // l', mean anomaly of the Sun
  kMoonL,       // l, mean anomaly of the Moon
  kMoonF,       // argument of latitude
  kMoonMeanLongitude,  // L
  kMoonVenus,
  kMoonEarth,
  kMoonMars,
  kMoonJupiter,
  kMoonSaturn,
  kPlan404MoonElementCount
};

struct Plan404MoonMeanElement {
  double rateArcsecPerCentury;
  double phaseArcsec;
  int higherCount;
  double higher[9];  // coefficients of T^2, T^3, ...
};

extern const Plan404MoonMeanElement kPlan404MoonMeanElements[kPlan404MoonElementCount];

// One row of a lunar series: multipliers of D, l', l, F and up to four
// amplitudes whose meaning depends on the row kind:
//   kind 1: longitude a x 10000 + b, radius c x 10000 + d (radius used only when d != 0)
//   kind 2: longitude a, radius b
//   kind 3: latitude a x 10000 + b
//   kind 4: latitude a
struct Plan404MoonRow {
  signed char mult[4];
  short amp[4];
};

constexpr int kPlan404MoonFirstLonRadRows = 25;   // kind 2
constexpr int kPlan404MoonFirstLatRows = 12;      // kind 4
constexpr int kPlan404MoonSecondLatRows = 16;     // kind 4
constexpr int kPlan404MoonSecondLonRadRows = 38;  // kind 1
constexpr int kPlan404MoonMainLonRadRows = 118;   // kind 1
constexpr int kPlan404MoonMainLatRows = 77;       // kind 3

extern const Plan404MoonRow kPlan404MoonFirstLonRad[kPlan404MoonFirstLonRadRows];
extern const Plan404MoonRow kPlan404MoonFirstLat[kPlan404MoonFirstLatRows];
extern const Plan404MoonRow kPlan404MoonSecondLat[kPlan404MoonSecondLatRows];
extern const Plan404MoonRow kPlan404MoonSecondLonRad[kPlan404MoonSecondLonRadRows];
extern const Plan404MoonRow kPlan404MoonMainLonRad[kPlan404MoonMainLonRadRows];
extern const Plan404MoonRow kPlan404MoonMainLat[kPlan404MoonMainLatRows];

// Accumulators an explicit lunar term adds to.
enum Plan404MoonTarget : int {
  kMoonDeltaLongitude = 0,  // delta lambda, arc-seconds
  kMoonLongitudeT1,         // c1, 1e-5 arc-second (x T)
  kMoonLongitudeT2,         // c2, 1e-5 arc-second (x T^2)
  kMoonLongitudeT3,         // c3, 1e-5 arc-second (x T^3)
  kMoonLatitudeSum,         // beta, the series latitude sum of the stage
  kMoonRadiusSum,           // r, the series radius sum of the stage
  kMoonDeltaLatitude,       // delta beta, arc-seconds
  kPlan404MoonTargetCount
};

struct Plan404MoonAmplitude {
  int target;      // Plan404MoonTarget
  int timePower;   // 0, or 1 when the term is multiplied by T (Julian centuries)
  double cosine;   // amplitude of cos(argument)
  double sine;     // amplitude of sin(argument)
};

// Explicit term: argument = sum of mult[k] x element k + phase (arc-seconds).
struct Plan404MoonTerm {
  signed char mult[kPlan404MoonElementCount];
  double phaseArcsec;
  int count;
  Plan404MoonAmplitude amp[4];
};

constexpr int kPlan404MoonStage1TermCount = 15;
constexpr int kPlan404MoonStage2TermCount = 17;
constexpr int kPlan404MoonStage3TermCount = 36;

extern const Plan404MoonTerm kPlan404MoonStage1Terms[kPlan404MoonStage1TermCount];
extern const Plan404MoonTerm kPlan404MoonStage2Terms[kPlan404MoonStage2TermCount];
extern const Plan404MoonTerm kPlan404MoonStage3Terms[kPlan404MoonStage3TermCount];

}  // namespace orv::data
