// Physical constants of the eclipse computations. Lengths in km or AU as named.
#pragma once

namespace orv {

// Earth's equatorial radius (km): the unit of the fundamental plane.
constexpr double kEarthRadiusKm = 6378.1363;
// The same in AU: parallaxes and scaling to Earth radii.
constexpr double kEarthRadiusAu = 4.2635207775052915e-05;
// Sun radius 696000 km and Moon radius 1738 km, in AU: semidiameters.
constexpr double kSunRadiusAu = 0.0046524726370988385;
constexpr double kMoonRadiusAu = 1.1617812418502559e-05;
// Sun radius + Moon radius and Sun radius - Moon radius (AU): sin f1, sin f2.
constexpr double kPenumbralConeAu = 0.004664090449517341;
constexpr double kUmbralConeAu = 0.004640854824680336;
// Moon radius in Earth radii for the penumbral (k1) and umbral (k2) cones.
constexpr double kMoonK1 = 0.2725076;
constexpr double kMoonK2 = 0.272281;
// Earth flattening 1/298.25642; e^2 = (2 - f) f.
constexpr double kEarthFlattening = 0.003352819697896193;
// Sidereal rotation per unit of UT, for the Delta T term of the hour angle.
constexpr double kSiderealRate = 1.0027379092558308;
// Enlargement of the Earth's parallax for the lunar shadow (atmosphere).
constexpr double kLunarShadowEnlargement = 1.01;
// Applied to the lunar gamma when an eclipse exists.
constexpr double kLunarGammaFactor = 1.0000666518537;
// Contacts are looked for within five hours of greatest eclipse (days).
constexpr double kContactWindowDays = 0.20833333333333334;

}  // namespace orv
