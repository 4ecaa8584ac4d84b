// Mean periods and rates of the Moon and the Sun: the one place these rules live.
#pragma once

namespace orv {

// Mean synodic month (new moon to new moon) at J2000.0, days
// (Chapront-Touzé and Chapront, ELP 2000-85: 29.530588853 d).
inline constexpr double kSynodicMonthDays = 29.530588853;
// The Moon's mean gain on the Sun, degrees a day: 360 degrees a synodic month.
inline constexpr double kMeanElongationDegPerDay = 360.0 / kSynodicMonthDays;
// Mean tropical month (the Moon's ecliptic longitude back to the same
// value), days: 27.321582 d.
inline constexpr double kTropicalMonthDays = 27.321582;
// The Sun's mean longitude gains 36000.76983 degrees a Julian century
// (Meeus, eq. 25.2): degrees a day.
inline constexpr double kSunMeanLongitudeDegPerDay = 0.98564736;

}  // namespace orv
