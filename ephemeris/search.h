// The two searches on which every event of the engine is built: the instant
// where a function of time is smallest (greatest eclipse, local maximum,
// culmination) and the instant where it changes sign (contacts, rise and set,
// the annular-total transition). Each caller supplies a small "value at
// instant t" function and its window; nothing here knows about eclipses.
//
// Instants are Julian Days in whatever scale the function expects; both
// searches halve at most kMaxHalvings times, which takes a window of a day
// below 0.01 s.
#pragma once

#include <cmath>

namespace orv {

constexpr int kMaxHalvings = 30;
// 0.1 s and 0.01 s in days: the tolerances of the eclipse and rise/set searches.
constexpr double kTenthSecondDays = 1.1574074074074074e-06;
constexpr double kHundredthSecondDays = 1.1574074074074074e-07;
// One hour in days.
constexpr double kHourDays = 0.041666666666666664;

// Instant of the smallest value of `f` in [lo, hi] for a function with a
// single minimum there, to `toleranceDays`: golden-section search. (Moving
// the end with the larger value to the midpoint is cheaper but only right
// when the function is symmetric about its minimum; the distance of a place
// from the shadow axis over four hours is not.) At most kMaxGoldenSteps
// evaluations, enough to take a window of a day below 0.001 s.
constexpr int kMaxGoldenSteps = 80;
template <class Function>
double SearchMinimum(Function&& f, double lo, double hi, double toleranceDays) {
  constexpr double kInverseGolden = 0.6180339887498949;  // (sqrt(5) - 1) / 2
  double c = hi - kInverseGolden * (hi - lo), d = lo + kInverseGolden * (hi - lo);
  double fC = f(c), fD = f(d);
  for (int step = 0; step < kMaxGoldenSteps && std::fabs(hi - lo) >= toleranceDays; ++step) {
    if (fC < fD) {
      hi = d;
      d = c;
      fD = fC;
      c = hi - kInverseGolden * (hi - lo);
      fC = f(c);
    } else {
      lo = c;
      c = d;
      fC = fD;
      d = lo + kInverseGolden * (hi - lo);
      fD = f(d);
    }
  }
  return fC < fD ? c : d;
}

// Instant at which `f` crosses zero between `start` and `end` (either may be
// the later one). Halves while keeping the sign change between the ends; once
// the step is below `toleranceDays` the result is the midpoint when f <= 0
// there, else the current start end. A result within `endMarginDays` of
// either end of the window means that there was no crossing inside it: the
// result is then 0 (pass 0 for the margin to keep every result).
template <class Function>
double SearchSignChange(Function&& f, double start, double end, double toleranceDays, double endMarginDays) {
  const double windowStart = start, windowEnd = end;
  double lo = start, hi = end;
  double fLo = f(lo);
  double result = lo;
  for (int round = 0; round < kMaxHalvings; ++round) {
    const double mid = 0.5 * (lo + hi);
    const double fMid = f(mid);
    if (std::fabs(mid - lo) < toleranceDays) {
      result = fMid <= 0.0 ? mid : lo;
      break;
    }
    if (fLo * fMid >= 0.0) {
      lo = mid;
      fLo = fMid;
    } else {
      hi = mid;
    }
    result = lo;
  }
  if (endMarginDays > 0.0 &&
      (std::fabs(result - windowStart) < endMarginDays || std::fabs(result - windowEnd) < endMarginDays))
    return 0.0;
  return result;
}

}  // namespace orv
