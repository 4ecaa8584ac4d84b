// The searches on which every event of the engine is built: the instant where
// a steadily increasing quantity reaches a value (solar terms, new and full
// moons), the instant where a function of time is smallest (greatest eclipse,
// local maximum, culmination) and the instant where it changes sign (contacts,
// rise and set, the annular-total transition). Each caller supplies a small
// "value at instant t" function and its window; nothing here knows about
// eclipses or calendars.
//
// Instants are Julian Days in whatever scale the function expects; both
// searches halve at most kMaxHalvings times, which takes a window of a day
// below 0.01 s.
#pragma once

#include <cmath>
#include <limits>
#include <optional>

namespace orv {

// ---------------------------------------------------------------- crossings

// How to find the instant where f(t) = 0 for an f that increases through zero
// at a rate known to lie within [minRatePerDay, maxRatePerDay] (units of f
// per day, both positive) on the whole stretch the search can visit.
struct CrossingSearch {
  double minRatePerDay = 0.0;
  double maxRatePerDay = 0.0;
  double typicalRatePerDay = 0.0;  // the first step's slope
  double toleranceDays = 0.0;      // stop when a step is shorter than this
  int maxEvaluations = 0;
};

struct Crossing {
  double jd = 0.0;       // the crossing, when found
  bool found = false;    // false: a value was not finite or the steps ran out
  int evaluations = 0;
};

// Crossing of zero by f nearest to `guessJd`. Each value f(t) < 0 puts the
// crossing between t + |f|/max and t + |f|/min (mirrored for f > 0), so every
// evaluation narrows a bracket that always holds the crossing. The steps are
// secant steps (the first uses the typical rate), replaced by the bracket's
// midpoint whenever one would leave the bracket; the search ends when a step
// is shorter than the tolerance (the secant converges faster than linearly,
// so the last point is then far closer to the crossing than the tolerance).
// Where f jumps over zero (a step in Delta T, for one) the rates no longer
// bound it and the bracket empties: the jump is then located by halving
// between the nearest points on either side, to the tolerance. The result
// depends only on f and `guessJd`: the same guess gives the same instant bit
// for bit, whatever was searched before.
template <class Function>
Crossing FindCrossing(Function&& f, double guessJd, const CrossingSearch& s) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  constexpr int kMaxJumpHalvings = 64;
  Crossing out;
  double lo = -kInfinity, hi = kInfinity;    // from the rate bounds
  double below = -kInfinity, above = kInfinity;  // nearest points with f < 0 and f > 0
  double tPrev = 0.0, fPrev = 0.0;
  double t = guessJd;
  while (out.evaluations < s.maxEvaluations) {
    const double value = f(t);
    ++out.evaluations;
    if (!std::isfinite(value) || !std::isfinite(t)) return out;
    if (value == 0.0) {
      out.jd = t;
      out.found = true;
      return out;
    }
    if (value < 0.0) below = std::fmax(below, t);
    else above = std::fmin(above, t);
    // The bracket that this value allows.
    const double nearDays = std::fabs(value) / s.maxRatePerDay, farDays = std::fabs(value) / s.minRatePerDay;
    if (value < 0.0) {
      lo = std::fmax(lo, t + nearDays);
      hi = std::fmin(hi, t + farDays);
    } else {
      lo = std::fmax(lo, t - farDays);
      hi = std::fmin(hi, t - nearDays);
    }
    if (!(lo <= hi)) break;  // the rate bounds do not hold for f here
    double next;
    if (out.evaluations == 1 || value == fPrev) next = t - value / s.typicalRatePerDay;
    else next = t - value * (t - tPrev) / (value - fPrev);
    if (!(next >= lo && next <= hi)) next = 0.5 * (lo + hi);
    if (std::fabs(next - t) < s.toleranceDays || hi - lo < s.toleranceDays) {
      // The crossing is at least |f| / max away from t: a step that says
      // otherwise was lost to rounding (t too large for the tolerance).
      if (std::fabs(value) / s.maxRatePerDay > std::fabs(next - t) + s.toleranceDays) return out;
      out.jd = next;
      out.found = true;
      return out;
    }
    tPrev = t;
    fPrev = value;
    t = next;
  }
  // A jump over zero, or no convergence: halve between the points known to
  // lie on either side of it, if there are such points.
  if (!(below < above) || !std::isfinite(below) || !std::isfinite(above)) return out;
  for (int i = 0; i < kMaxJumpHalvings && above - below >= s.toleranceDays; ++i) {
    const double mid = 0.5 * (below + above);
    const double value = f(mid);
    ++out.evaluations;
    if (!std::isfinite(value)) return out;
    if (value < 0.0) below = mid;
    else above = mid;
  }
  out.jd = 0.5 * (below + above);
  out.found = above - below < s.toleranceDays;
  return out;
}

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
// the later one), for an f with at most one crossing there. False position
// with the Illinois modification (the value kept at an end that stays is
// halved, so both ends close in): a handful of evaluations instead of the
// thirty halvings of bisection. The search ends when the bracket is shorter
// than `toleranceDays` or after kMaxHalvings steps; the result is the
// interpolated crossing inside the last bracket. Without a sign change
// between the ends (or with a value that is not finite there) there is no
// crossing: none. A result within `endMarginDays` of either end of the
// window also means that there was no crossing inside it: none as well
// (pass 0 for the margin to keep every result). Every instant, 0 included,
// is a result.
template <class Function>
std::optional<double> SearchSignChange(Function&& f, double start, double end, double toleranceDays,
                                       double endMarginDays) {
  double a = start, b = end;
  double fa = f(a), fb = f(b);
  double result;
  if (fa == 0.0) {
    result = a;
  } else if (fb == 0.0) {
    result = b;
  } else if (!(fa * fb < 0.0)) {  // no sign change (or a value that is not finite)
    return std::nullopt;
  } else {
    // [a, b] always holds the sign change; b is the newest point.
    double faUsed = fa, fbUsed = fb;
    result = b - fb * (b - a) / (fb - fa);
    for (int step = 0; step < kMaxHalvings && std::fabs(b - a) >= toleranceDays; ++step) {
      double c = b - fbUsed * (b - a) / (fbUsed - faUsed);
      // Keep the new point strictly inside: false position can stall at an end.
      const double margin = 0.25 * toleranceDays;
      const double lo = std::fmin(a, b) + margin, hi = std::fmax(a, b) - margin;
      if (!(c >= lo && c <= hi)) c = 0.5 * (a + b);
      const double fc = f(c);
      if (fc == 0.0 || !std::isfinite(fc)) {
        result = c;
        break;
      }
      if (fc * fbUsed < 0.0) {
        a = b;
        faUsed = fbUsed;
      } else {
        faUsed *= 0.5;  // Illinois: the end that stays counts for less
      }
      b = c;
      fbUsed = fc;
      result = b - fbUsed * (b - a) / (fbUsed - faUsed);
      if (!(result >= std::fmin(a, b) && result <= std::fmax(a, b))) result = 0.5 * (a + b);
    }
  }
  if (endMarginDays > 0.0 &&
      (std::fabs(result - start) < endMarginDays || std::fabs(result - end) < endMarginDays))
    return std::nullopt;
  return result;
}

}  // namespace orv
