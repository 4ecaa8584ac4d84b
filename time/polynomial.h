// Horner's rule: the one polynomial evaluator of the engine.
#pragma once

#include <iterator>
#include <ranges>

namespace orv {

// Value at x of the polynomial whose coefficients run from the highest power
// down to the constant term, accumulated in the type of x. Tables stored from
// the constant term up are passed reversed (std::views::reverse). The range
// must not be empty.
template <typename Real, typename Range>
Real Horner(const Range& highestPowerFirst, Real x) {
  auto it = std::ranges::begin(highestPowerFirst);
  const auto end = std::ranges::end(highestPowerFirst);
  Real value = *it;
  for (++it; it != end; ++it) value = value * x + *it;
  return value;
}

}  // namespace orv
