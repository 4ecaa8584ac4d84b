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

// Instant of the smallest value of `f` in [lo, hi], for a function with one
// minimum that is close to symmetric about it (a parabola or hyperbola in t):
// the end with the larger value moves to the midpoint until the halving step
// is below `toleranceDays`; the result is the midpoint unless the remaining
// low end is strictly smaller.
// `fLo` and `fHi` are the values at the ends, when the caller has them.
template <class Function>
double SearchMinimumFrom(Function&& f, double lo, double fLo, double hi, double fHi, double toleranceDays) {
  for (int round = 0; round < kMaxHalvings; ++round) {
    const double mid = 0.5 * (lo + hi);
    const double fMid = f(mid);
    if (std::fabs(mid - lo) < toleranceDays) return fLo < fMid ? lo : mid;
    if (fLo < fHi) {
      hi = mid;
      fHi = fMid;
    } else {
      lo = mid;
      fLo = fMid;
    }
  }
  return fLo < fHi ? lo : hi;
}

template <class Function>
double SearchMinimum(Function&& f, double lo, double hi, double toleranceDays) {
  const double fLo = f(lo);
  const double fHi = f(hi);
  return SearchMinimumFrom(f, lo, fLo, hi, fHi, toleranceDays);
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
