#include "ephemeris/sidereal.h"

#include <cmath>

#include "data/equinox_terms.h"
#include "ephemeris/angles.h"
#include "ephemeris/earth_orientation.h"
#include "time/dates.h"

namespace orv {
namespace {

using Real = long double;

constexpr Real kSecondsPerHour = 3600.0L;
constexpr Real kArcsecPerSecondOfTime = 15.0L;
constexpr Real kArcsecPerDegree = 3600.0L;
constexpr Real kMicroarcsecToArcsec = 1e-6L;

// Earth rotation angle (IERS Conventions 2003, eq. 5.15), in turns:
// ERA = 2 pi (0.7790572732640 + 0.00273781191135448 Tu + frac(jdUT)).
constexpr Real kEraAtJ2000Turns = 0.779057273264L;
constexpr Real kEraRateTurnsPerDay = 0.00273781191135448L;

// IAU 2006 GMST - ERA (Capitaine et al. 2003, A&A 412, 567, eq. 42), seconds
// of time: the arcsecond coefficients divided by 15; T^5 from the generated table.
constexpr Real kGmstSeconds[6] = {0.00096707L, 307.47710227L, 0.092772113L, -2.93e-08L, -1.99708e-06L,
                                  data::kGmst2006T5Arcsec / 15.0L};

// The secular complementary term, arcseconds per century, times sin(Omega).
// The IERS 2003 series has -0.87 microarcsecond here (see eraEect00); this
// program has always applied +0.87, and keeps it so that its sidereal times
// stay reproducible. The difference is below 0.1 mas for |T| < 50.
constexpr Real kSecularTermArcsec = 8.7e-07L;

// Mean sidereal time in seconds of time, not yet reduced to one day.
Real MeanSiderealSeconds(double jdUT, Real T) {
  const Real fraction = jdUT - std::floor(jdUT);
  Real seconds = (kEraAtJ2000Turns + kEraRateTurnsPerDay * (jdUT - kJ2000) + fraction) * kSecondsPerDay;
  Real poly = kGmstSeconds[5];
  for (int i = 4; i >= 0; --i) poly = poly * T + kGmstSeconds[i];
  return seconds + poly;
}

// Seconds reduced to [0, 86400) and converted to hours in [0, 24).
double DaySecondsToHours(Real seconds) {
  seconds -= std::floor(seconds / kSecondsPerDay) * kSecondsPerDay;
  const double hours = static_cast<double>(seconds / kSecondsPerHour);
  // A remainder a rounding step below a whole day would otherwise read 24 h.
  return hours < 24.0 ? hours : 0.0;
}

// An IERS 2003 fundamental-argument polynomial in arcseconds, as radians in [0, 2 pi).
Real DelaunayArgumentRad(const double (&c)[5], Real T) {
  const Real arcsec = (((c[4] * T + c[3]) * T + c[2]) * T + c[1]) * T + c[0];
  return NormalizeDegrees(static_cast<double>(arcsec / kArcsecPerDegree)) * kDegToRad;
}

}  // namespace

double EquinoxComplementaryTermsArcsec(double T) {
  const Real t = T;
  Real args[8];
  for (int j = 0; j < 5; ++j) args[j] = DelaunayArgumentRad(data::kDelaunayArgumentsArcsec[j], t);
  args[5] = NormalizeRadians(static_cast<double>(data::kVenusLongitudeRad[0] + data::kVenusLongitudeRad[1] * t));
  args[6] = NormalizeRadians(static_cast<double>(data::kEarthLongitudeRad[0] + data::kEarthLongitudeRad[1] * t));
  args[7] = (data::kGeneralPrecessionRad[0] + data::kGeneralPrecessionRad[1] * t) * t;

  Real sumMuas = 0.0L;
  for (int i = data::kEquinoxComplementaryTermCount - 1; i >= 0; --i) {
    const data::EquinoxComplementaryTerm& term = data::kEquinoxComplementaryTerms[i];
    Real argRad = 0.0L;
    for (int j = 0; j < 8; ++j) argRad += term.multipliers[j] * args[j];
    // The argument stays within a few turns: double sine and cosine lose nothing here.
    const double arg = static_cast<double>(argRad);
    sumMuas += term.sineMuas * std::sin(arg) + term.cosineMuas * std::cos(arg);
  }
  return static_cast<double>(sumMuas * kMicroarcsecToArcsec + kSecularTermArcsec * t * std::sin(static_cast<double>(args[4])));
}

double GreenwichMeanSiderealTime(double jdUT, double jdTT) {
  return DaySecondsToHours(MeanSiderealSeconds(jdUT, JulianCenturies(jdTT)));
}

double ApparentSiderealTime(EngineContext& ctx, const TimeState& at) {
  const double jdTT = at.CurrentTT, jdUT = at.CurrentUT;
  const double meanObliquityDeg = MeanObliquity(ctx, jdTT).rad * kRadToDeg;
  double dpsi = 0.0, deps = 0.0;
  Nutation(ctx, jdTT, dpsi, deps);
  const double dpsiDeg = dpsi * kRadToDeg, depsDeg = deps * kRadToDeg;
  const Real T = JulianCenturies(jdTT);

  Real seconds = MeanSiderealSeconds(jdUT, T);
  // Equation of the equinoxes, arcseconds.
  const Real equinoxArcsec = dpsiDeg * kArcsecPerDegree * std::cos((meanObliquityDeg + depsDeg) * kDegToRad) +
                             EquinoxComplementaryTermsArcsec(static_cast<double>(T));
  seconds += equinoxArcsec / kArcsecPerSecondOfTime;
  return DaySecondsToHours(seconds);
}

}  // namespace orv
