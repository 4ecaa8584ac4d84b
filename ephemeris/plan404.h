// PLAN404: the built-in analytic ephemeris. Trigonometric series fitted to
// the numerical ephemeris DE404 over -3000 .. +3000: one per planet
// (heliocentric, mean ecliptic and equinox of J2000.0) and one for the Moon
// (geocentric, mean ecliptic and equinox of date). Plan404Body and
// Plan404Position turn them into geocentric places of date.
#pragma once

#include "data/plan404_tables.h"
#include "ephemeris/context.h"

namespace orv {

using data::Plan404PlanetTable;

// x - 1296000 floor(x / 1296000): arc-seconds reduced to [0, 1296000).
double ReduceArcseconds(double xArcsec);

// ---------------------------------------------------------------------------
// Planetary theory

// Sines and cosines of 1 .. maxHarmonic times each of the nine fundamental
// arguments (mean longitudes of Mercury .. Pluto) at one instant.
struct Plan404AngleStore {
  double sine[data::kPlan404ArgumentCount][data::kPlan404MaxHarmonic];    // [argument][k - 1] = sin k a
  double cosine[data::kPlan404ArgumentCount][data::kPlan404MaxHarmonic];
  double angleRad[data::kPlan404ArgumentCount];  // the argument itself, rad
  unsigned evaluatedMask;  // bit i set when argument i + 1 was evaluated
};

// Fills the store for the arguments the table needs (highest harmonic > 0);
// the others are left unevaluated. jdTT: Julian Day (TT).
void Plan404PlanetAngles(double jdTT, const Plan404PlanetTable& table, Plan404AngleStore& store);

// Heliocentric longitude (rad, not reduced to one turn), latitude (rad) and
// radius (AU) of a planet, mean ecliptic and equinox of J2000.0.
void Plan404Planet(double jdTT, const Plan404PlanetTable& table, double& longitudeRad,
                   double& latitudeRad, double& radiusAu);

// ---------------------------------------------------------------------------
// Lunar theory

// The ten mean elements (D, l', l, F, L, Venus, Earth, Mars, Jupiter, Saturn)
// in arc-seconds at jdTT.
void Plan404MoonMeanElements(double jdTT, double elementsArcsec[data::kPlan404MoonElementCount]);

// Sines and cosines of the multiples of D, l', l and F (index 0..3); slot
// k - 1 holds k times the element; only the first `filled` slots are set.
struct Plan404MoonAngleStore {
  double sine[4][8];
  double cosine[4][8];
  int filled[4];
};

void Plan404MoonAngles(const double elementsArcsec[data::kPlan404MoonElementCount],
                       Plan404MoonAngleStore& store);

// Adds the rows of one lunar series of the given kind (1 to 4) to the sums.
// A row whose multipliers are all zero, or that needs a multiple the store
// does not hold, contributes nothing.
void Plan404MoonAddRows(const data::Plan404MoonRow* rows, int rowCount, int kind,
                        const Plan404MoonAngleStore& store, double& lonSum, double& latSum,
                        double& radSum);

// Geocentric longitude (rad, within a small margin of [0, 2 pi)), latitude
// (rad) and distance (AU) of the Moon, mean ecliptic and equinox of date, with
// the Moon's light-time correction applied.
void Plan404Moon(double jdTT, double& longitudeRad, double& latitudeRad, double& distanceAu);

// ---------------------------------------------------------------------------
// Geocentric places of date

// Body numbers: 1 Mercury .. 9 Pluto (3 is the Earth-Moon barycentre),
// 10 ignored, 11 the Moon.
struct Plan404Request {
  int Body = 0;
  double JD = 0.0;         // TT
  double Longitude = 0.0;  // rad
  double Latitude = 0.0;   // rad
  double Radius = 0.0;     // AU
};

// Fills Longitude, Latitude and Radius: planets heliocentric, the Moon
// geocentric, all referred to the mean ecliptic and equinox of date (planets
// are brought there by MeanObliquity and PrecessVector, which follow the
// models of the settings). Returns 1 for a body outside 1..11
// and leaves the request untouched; body 10 returns 0 untouched.
int Plan404Body(EngineContext& ctx, Plan404Request& request);

// Geometric geocentric place of the Moon (body 1) or the Sun (any other
// body) at jdTT: out[0] longitude (rad, [0, 2 pi)), out[1] latitude (rad),
// out[2] distance (AU), mean ecliptic and equinox of date.
void Plan404Position(EngineContext& ctx, double jdTT, int body, double out[3]);

// Both places of Plan404Position at one instant, the Moon evaluated once
// (the same numbers as two separate calls).
void Plan404SunAndMoon(EngineContext& ctx, double jdTT, double sun[3], double moon[3]);

// Annual aberration in longitude added to the PLAN404 Sun, degrees, for the
// Sun's distance in km; the instant is not used.
double SolarAberrationDegrees(double jd, double sunDistanceKm);

}  // namespace orv
