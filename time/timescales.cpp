#include "time/timescales.h"

#include <cmath>
#include <cstdio>
#include <span>

#include "data/deltat_tables.h"
#include "time/dates.h"
#include "time/polynomial.h"

namespace orv {
namespace {

// Convergence of the TT -> UT fixed-point iteration: 0.01 s in days.
constexpr double kDeltaTIterationTolDays = 1.1574074074074074e-7;
// Fixed-point steps before the iteration is taken as not converging. Delta T
// changes by far less than a second per day, so a fixed point, where one
// exists, is reached in two or three steps.
constexpr int kDeltaTIterationLimit = 12;
// Halvings of the bracket around an upward step (a gap of at most a few
// minutes comes down to the 0.01 s tolerance in about 15).
constexpr int kDeltaTStepHalvings = 64;
// 1 / 365.2421898 (tropical year in days), for the decimal year of the tidal term.
constexpr long double kYearsPerDay = 0.002737909332291491L;
// Lunar secular acceleration of the Delta T fits and ephemerides, "/cy^2.
constexpr double kNdotHorizons = -25.936;
constexpr double kNdotPlan404 = -25.7376;
constexpr double kNdotDe431 = -25.8;
constexpr double kNdotDe441 = -25.936;
// Earth ellipsoid for the observer's geocentric distance.
constexpr double kEarthEquatorialRadiusM = 6378136.3;
constexpr double kEarthAxisRatio = 0.9966471803021038;  // b/a

// Long-term parabola of Morrison & Stephenson used outside the tabulated span.
double LongTermParabola(int year) {
  const double u = (year - 1820) / 100.0;
  return -20.0 + 32.0 * u * u;
}

bool IsHorizonsModel(int code) { return code == kDeltaTHorizons || code == kDeltaTHorizonsNasa; }

}  // namespace

void UpdateTimeScales(TimeState& time, const CalcSettings& settings) {
  switch (settings.TimeSystemCode) {
    case kTimeTT:
      time.CurrentTT = time.CurrentJD;
      time.CurrentDeltaT = DeltaTAt(settings, time.CurrentJD);
      time.CurrentUT = time.CurrentTT - time.CurrentDeltaT / kSecondsPerDay;
      break;
    case kTimeUT:
    case kTimeST:
    case kTimeCivil:
      time.CurrentUT = time.CurrentJD;
      time.CurrentDeltaT = DeltaTAt(settings, time.CurrentJD);
      time.CurrentTT = time.CurrentUT + time.CurrentDeltaT / kSecondsPerDay;
      break;
    default:  // Delta T taken as zero
      time.CurrentTT = time.CurrentUT = time.CurrentJD;
      break;
  }
}

TimeState InstantAt(const CalcSettings& settings, double jd) {
  TimeState at;
  at.CurrentJD = jd;
  UpdateTimeScales(at, settings);
  return at;
}

namespace {

// The TT -> UT conversion where no UT instant has the TT `jdTT`: just after a
// step up of a Delta T model (NASA's expressions step at every month, the
// Horizons fits at some of their segment bounds) the TT instants from
// step + low value up to step + high value have no UT, and the fixed point
// swings between the two sides for ever. `a` and `b` are two successive
// iterates, one on each side of the step.
//
// The rule: the UT instant is the step itself (found by halving the bracket
// down to 0.01 s), and Delta T is TT minus that instant, a value between the
// two sides. The result is deterministic and continuous in TT across the gap.
double DeltaTAcrossStep(const CalcSettings& settings, double jdTT, double a, double b) {
  // Positive before the step (the next iterate lies later), negative after.
  auto pull = [&](double jdUT) { return jdTT - DeltaTModel(settings, jdUT) / kSecondsPerDay - jdUT; };
  double before = std::fmin(a, b), after = std::fmax(a, b);
  if (!(pull(before) > 0.0 && pull(after) < 0.0)) return DeltaTModel(settings, b);
  for (int i = 0; i < kDeltaTStepHalvings && after - before >= kDeltaTIterationTolDays; ++i) {
    const double middle = 0.5 * (before + after);
    if (pull(middle) > 0.0) before = middle;
    else after = middle;
  }
  return (jdTT - after) * kSecondsPerDay;
}

}  // namespace

double DeltaTAt(const CalcSettings& settings, double jd) {
  if (settings.DeltaTModelCode == kDeltaTUser) return settings.UserDeltaT;
  if (settings.TimeSystemCode != kTimeTT) return DeltaTModel(settings, jd);
  // jd is TT while the models take UT: iterate u = jd - DeltaT(u).
  double u = jd - DeltaTModel(settings, jd) / kSecondsPerDay;
  for (int i = 0; i < kDeltaTIterationLimit; ++i) {
    const double next = jd - DeltaTModel(settings, u) / kSecondsPerDay;
    const bool converged = std::fabs(next - u) < kDeltaTIterationTolDays;
    if (converged || !std::isfinite(next)) return DeltaTModel(settings, next);
    if (i + 1 == kDeltaTIterationLimit) return DeltaTAcrossStep(settings, jd, u, next);
    u = next;
  }
  return DeltaTModel(settings, u);
}

double LunarSecularAcceleration(const CalcSettings& settings) {
  if (IsHorizonsModel(settings.DeltaTModelCode)) return kNdotHorizons;
  switch (settings.EphemerisCode) {
    case kEphemerisDe431: return kNdotDe431;
    case kEphemerisDe441: return kNdotDe441;
    default: return kNdotPlan404;
  }
}

double DeltaTModel(const CalcSettings& settings, double jdUT) {
  double model = 0.0;
  if (settings.DeltaTModelCode == kDeltaTNasa) model = NasaDeltaT(jdUT);
  else if (IsHorizonsModel(settings.DeltaTModelCode)) model = HorizonsDeltaT(settings, jdUT);
  return model + TidalCorrection(settings, LunarSecularAcceleration(settings), jdUT);
}

double TidalCorrection(const CalcSettings& settings, double ndot, double jdUT) {
  const long double year = (jdUT - kJ2000) * kYearsPerDay + 2000.0L;
  if (year >= 1962.0L) return 0.0;
  const double t = static_cast<double>((year - 1955.5L) * 0.01L);
  const bool horizons = IsHorizonsModel(settings.DeltaTModelCode);
  if (settings.TidalCompensation == 0) return horizons ? 0.91072 * (ndot + 26.0) * t * t : 0.0;
  return horizons ? 0.0 : -0.91072 * (ndot + 26.0) * t * t;
}

double NasaDeltaT(double jdUT) {
  const CivilDate date = JulianDayToCivilDate(jdUT);
  const int Y = date.year;
  const double y = Y + (date.month - 0.5) / 12.0;
  if (Y < -500 || Y >= 2150) return LongTermParabola(Y);
  double u, t;
  if (Y < 500) {
    u = y / 100.0;
    return 10583.6 + u * (-1014.41 + u * (33.78311 + u * (-5.952053 + u * (-0.1798452 +
           u * (0.022174192 + u * 0.0090316521)))));
  }
  if (Y < 1600) {
    u = (y - 1000.0) / 100.0;
    return 1574.2 + u * (-556.01 + u * (71.23472 + u * (0.319781 + u * (-0.8503463 +
           u * (-0.005050998 + u * 0.0083572073)))));
  }
  if (Y < 1700) {
    t = y - 1600.0;
    return 120.0 - 0.9808 * t - 0.01532 * t * t + t * t * t / 7129.0;
  }
  if (Y < 1800) {
    t = y - 1700.0;
    return 8.83 + 0.1603 * t - 0.0059285 * t * t + 0.00013336 * t * t * t -
           t * t * t * t / 1174000.0;
  }
  if (Y < 1860) {
    t = y - 1800.0;
    return 13.72 + t * (-0.332447 + t * (0.0068612 + t * (0.0041116 + t * (-0.00037436 +
           t * (0.0000121272 + t * (-0.0000001699 + t * 0.000000000875))))));
  }
  if (Y < 1900) {
    t = y - 1860.0;
    return 7.62 + 0.5737 * t - 0.251754 * t * t + 0.01680668 * t * t * t -
           0.0004473624 * std::pow(t, 4) + std::pow(t, 5) / 233174.0;
  }
  if (Y < 1920) {
    t = y - 1900.0;
    return -2.79 + 1.494119 * t - 0.0598939 * t * t + 0.0061966 * t * t * t - 0.000197 * std::pow(t, 4);
  }
  if (Y < 1941) {
    t = y - 1920.0;
    return 21.20 + 0.84493 * t - 0.076100 * t * t + 0.0020936 * t * t * t;
  }
  if (Y < 1961) {
    t = y - 1950.0;
    return 29.07 + 0.407 * t - t * t / 233.0 + t * t * t / 2547.0;
  }
  if (Y < 1986) {
    t = y - 1975.0;
    return 45.45 + 1.067 * t - t * t / 260.0 - t * t * t / 718.0;
  }
  if (Y < 2005) {
    t = y - 2000.0;
    return 63.86 + 0.3345 * t - 0.060374 * t * t + 0.0017275 * t * t * t +
           0.000651814 * std::pow(t, 4) + 0.00002373599 * std::pow(t, 5);
  }
  if (Y < 2050) {
    t = y - 2000.0;
    return 62.92 + 0.32217 * t + 0.005589 * t * t;
  }
  const double v = (y - 1820.0) / 100.0;
  return -20.0 + 32.0 * v * v - 0.5628 * (2150.0 - y);
}

double HorizonsDeltaT(const CalcSettings& settings, double jdUT) {
  const bool tableA = settings.EphemerisCode == kEphemerisDe431;
  const data::HorizonsDeltaTRow* rows = tableA ? data::kHorizonsDeltaTTableA : data::kHorizonsDeltaTTableB;
  const int count = tableA ? data::kHorizonsDeltaTTableARows : data::kHorizonsDeltaTTableBRows;
  const double T = (jdUT - kJ2000) / kDaysPerJulianCentury;
  for (int i = 0; i < count; ++i) {
    if (jdUT < rows[i].upperJD) {
      const double value = static_cast<double>(
          Horner(std::make_reverse_iterator(rows[i].coefficients + rows[i].count),
                 std::make_reverse_iterator(rows[i].coefficients), static_cast<long double>(T)));
      if (std::fabs(value) > 1e-9) return value;
      break;
    }
  }
  // Past the last fit (2020-01-01): the model's continuation.
  if (settings.DeltaTModelCode != kDeltaTHorizonsNasa)
    return 69.18393218 - 5.493442976e-05 * T + 7.696350999e-07 * T * T;
  const CivilDate date = JulianDayToCivilDate(jdUT);
  const int Y = date.year;
  const double y = Y + (date.month - 0.5) / 12.0;
  if (Y < 2015) {
    const double t = y - 2005.0;
    return 64.685503 + t * (0.1357430668 + t * (0.06743961431 + t * (-0.01066662567 + t * 0.0005587656604)));
  }
  if (Y < 2025) {
    const double t = y - 2015.0;
    return 67.78195645 + 0.4889479416 * t - 4.168425222e-05 * t * t;
  }
  if (Y < 3000) {
    const double t = y - 2015.0;
    return 67.555 + 0.36305 * t + 0.0039585 * t * t;
  }
  return LongTermParabola(Y);
}

std::string FormatDeltaT(double seconds) {
  double a = std::fabs(seconds);
  // Beyond this (about 30 million years) the hours would not fit their
  // integer; such a value is a fault upstream, shown as it is.
  constexpr double kMaxSplitSeconds = 1e15;
  if (!(a <= kMaxSplitSeconds)) {
    char text[48];
    std::snprintf(text, sizeof text, "%gs", seconds);
    return text;
  }
  long long h = 0, m = 0;
  if (a >= 3600.0) {
    h = static_cast<long long>(a / 3600.0);
    a -= 3600.0 * h;
  }
  if (a >= 60.0) {
    m = static_cast<long long>(a / 60.0);
    a -= 60.0 * m;
  }
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, seconds < 0 ? "-%lldh%lldm%.3fs" : "%lldh%lldm%.3fs", h, m, a);
  return buffer;
}

void ObserverGeocentric(Observer& observer) {
  const double phi = observer.LatitudeDeg * (M_PI / 180.0);
  const double h = observer.AltitudeM;
  const double ratio2 = kEarthAxisRatio * kEarthAxisRatio;
  const double c = kEarthEquatorialRadiusM /
                   std::sqrt(std::cos(phi) * std::cos(phi) + ratio2 * std::sin(phi) * std::sin(phi));
  const double s = ratio2 * c;
  const double x = (c + h) * std::cos(phi);
  const double z = (s + h) * std::sin(phi);
  observer.ObserverRadius = std::sqrt(x * x + z * z) / kEarthEquatorialRadiusM;
}

}  // namespace orv
