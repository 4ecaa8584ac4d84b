// Horner's rule: the one polynomial evaluator of the engine.
#pragma once

#include <iterator>

namespace orv {

// Value at x of the polynomial whose coefficients run from `highestPowerFirst`
// (the highest power) to `end` (past the constant term), accumulated in the
// type of x. Tables stored from the constant term up are passed with reverse
// iterators (std::crbegin / std::crend). The range must not be empty.
//
// Iterators rather than ranges: clang 14, which builds the sanitizer and fuzz
// runs, cannot compile libstdc++ 12's range views.
template <typename Real, typename Iterator>
Real Horner(Iterator highestPowerFirst, Iterator end, Real x) {
  Real value = *highestPowerFirst;
  for (++highestPowerFirst; highestPowerFirst != end; ++highestPowerFirst) value = value * x + *highestPowerFirst;
  return value;
}

// A table stored from the constant term up (an array).
template <typename Real, typename Coefficient, std::size_t N>
Real HornerConstantFirst(const Coefficient (&constantFirst)[N], Real x) {
  return Horner(std::crbegin(constantFirst), std::crend(constantFirst), x);
}

}  // namespace orv
