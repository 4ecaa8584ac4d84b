#include "ephemeris/angles.h"

#include <cmath>

namespace orv {

double NormalizeDegrees(double x) {
  double r = std::fmod(x, 360.0);
  if (std::fabs(r) < 1e-13) return 0.0;
  if (r < 0.0) r += 360.0;
  return r;
}

double NormalizeRadians(double x) {
  double r = std::fmod(x, kTwoPi);
  if (std::fabs(r) < 1e-13) return 0.0;
  if (r < 0.0) r += kTwoPi;
  return r;
}

}  // namespace orv
