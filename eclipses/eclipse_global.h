// Solar and lunar eclipses for the Earth as a whole.
//
// Solar eclipses: Besselian elements on the fundamental plane (through the
// Earth's centre, perpendicular to the Moon-Sun axis) with separate cone
// constants for penumbra (k1) and umbra (k2) and the Earth as an ellipsoid.
// Lunar eclipses: the angular radii of the Earth's shadow at the Moon's
// distance, the Earth's parallax enlarged by 1 %.
//
// Every instant is a Julian Day in the selected time system with the zone
// offset removed (UT for standard time); an instant that may not exist is a
// std::optional (JD 0 is an instant like any other). Sidereal time and Delta T
// are those of the UT of the instant evaluated.
#pragma once

#include <optional>
#include <string>

#include "ephemeris/context.h"
#include "ephemeris/sunmoon.h"

namespace orv {

// Bit flags; 0 is "no eclipse".
using EclipseType = int;
enum EclipseTypeBits : int {
  kEclipseCentral = 1,       // solar: the shadow axis meets the Earth
  kEclipseNonCentral = 2,    // solar: the axis misses, umbra or antumbra touches
  kEclipseTotal = 4,         // solar: umbral cone radius <= 0; lunar: Moon wholly in the umbra
  kEclipseAnnular = 8,       // solar: umbral cone radius > 0
  kEclipsePartial = 16,      // solar: penumbra only (with 2); lunar: Moon partly in the umbra
  kEclipseAnnularTotal = 32, // solar: the umbral radius changes sign during the central phase
  kEclipsePenumbral = 64,    // lunar: Moon in the penumbra only
};

// Slots of EclipseElements for a solar eclipse (lengths in Earth equatorial radii).
enum SolarElementSlot : int {
  kElemX = 0,                 // shadow axis on the fundamental plane
  kElemY = 1,
  kElemDeclinationDeg = 2,    // d, declination of the shadow axis
  kElemRightAscensionDeg = 3, // a
  kElemHourAngleDtDeg = 4,    // mu1 = 15 GAST + 15 x 1.00273790926 x Delta T / 3600 - a
  kElemL1 = 5,                // penumbral radius on the fundamental plane
  kElemL2 = 6,                // umbral radius (negative for a total eclipse)
  kElemTanF1 = 7,
  kElemTanF2 = 8,
  kElemL1Surface = 9,         // L1' = l1 - zeta tan f1 at the point considered
  kElemL2Surface = 10,        // L2' = l2 - zeta tan f2
  kElemPathWidthKm = 11,
  kElemAxisDistance = 12,     // Delta = sqrt(x^2 + y^2), the unsigned gamma
  kElemEarthRadius = 13,      // R, Earth's radius towards the axis point
  kElemHourAngleDeg = 14,     // mu = 15 GAST - a (places on the Earth)
  kElemDeltaMinusR = 15,      // partial eclipses only
  kElemMagnitude = 16,
  kElemSunMoonDistanceAu = 18,
};

// Slots of EclipseElements for a lunar eclipse.
enum LunarElementSlot : int {
  kLunarAntiSunDeclinationDeg = 2,
  kLunarAntiSunRightAscensionDeg = 3,  // [0, 360)
  kLunarAxisDistanceArcsec = 4,        // D, the Moon's centre from the shadow axis
  kLunarPenumbraRadiusDeg = 7,
  kLunarUmbraRadiusDeg = 8,
  kLunarPenumbraPlusMoonArcsec = 9,
  kLunarUmbraPlusMoonArcsec = 10,
  kLunarUmbraMinusMoonArcsec = 11,
  kLunarGamma = 12,                    // Earth radii at the Moon's distance, unsigned
  kLunarMoonRightAscensionDeg = 13,    // kept for the sub-lunar point
  kLunarPenumbralMagnitude = 16,
  kLunarUmbralMagnitude = 17,
  kLunarEarthMoonDistanceAu = 18,
  kLunarSunDistanceAu = 19,            // kept for the shadow radii
};

struct EclipseElements {
  static constexpr int kSlots = 20;
  double slot[kSlots] = {};
  double& operator[](int i) { return slot[i]; }
  double operator[](int i) const { return slot[i]; }
};

// Slots of ShadowPoint.
enum ShadowPointSlot : int {
  kPointX = 0,  // the Moon in the fundamental frame (solar: Earth radii; lunar: unit vector)
  kPointY = 1,
  kPointZ = 2,
  kPointZeta = 3,                 // height of the surface point under the axis (solar)
  kPointEquatorialX = 4,          // that point, equatorial rectangular, Earth radii
  kPointEquatorialY = 5,
  kPointEquatorialZ = 6,
  kPointGeocentricLatitudeDeg = 7,  // lunar: the Moon's declination
  kPointGeodeticLatitudeDeg = 8,
  kPointLongitudeDtDeg = 9,       // reckoned with the Delta T term, (-180, 180]
  kPointLongitudeDeg = 10,        // geographic, east positive, (-180, 180]
};

struct ShadowPoint {
  static constexpr int kSlots = 11;
  double slot[kSlots] = {};
  double& operator[](int i) { return slot[i]; }
  double operator[](int i) const { return slot[i]; }
};

// Slots of ContactTimes.
enum ContactSlot : int {
  kSolarP1 = 2, kSolarP4 = 3, kSolarU1 = 4, kSolarU4 = 5,
  kLunarU1 = 2, kLunarU4 = 3, kLunarU2 = 4, kLunarU3 = 5, kLunarP1 = 6, kLunarP4 = 7,
  kLocalC1 = 2, kLocalC4 = 3, kLocalC2 = 4, kLocalC3 = 5,
};

// The contacts of one eclipse around its greatest phase (or the local
// maximum); an empty slot is a contact that does not occur within the window.
struct ContactTimes {
  static constexpr int kSlots = 8;
  double greatestJD = 0.0;
  std::optional<double> slot[kSlots];
  std::optional<double>& operator[](int i) { return slot[i]; }
  const std::optional<double>& operator[](int i) const { return slot[i]; }
};

// Solar elements at `jd`: fills both records (slots 0-8 are filled later by
// the classification) and returns Delta, the distance of the shadow axis from
// the Earth's centre in Earth radii.
double SolarEclipseElements(EngineContext& ctx, double jd, ShadowPoint& point, EclipseElements& elements);

// Geographic place of the point (x, y, zeta) of `point`: slots 4-10. The
// sidereal time and Delta T are those the elements were computed with.
void FundamentalToGeographic(ShadowPoint& point, const EclipseElements& elements);

// Type of the solar eclipse at the instant of the last SolarEclipseElements:
// cone radii, surface point, place, path width and magnitude. `jd` is only
// passed through.
EclipseType ClassifySolarEclipseAt(double jd, ShadowPoint& point, EclipseElements& elements);

// Greatest solar eclipse within an hour of the new moon `jdNewMoon`
// (smallest Delta, to 0.1 s); the records hold its values afterwards.
// Returns the instant, or none (type 0) when there is no eclipse.
std::optional<double> FindGreatestSolarEclipse(EngineContext& ctx, double jdNewMoon, ShadowPoint& point,
                                EclipseElements& elements, EclipseType& type);

// P1, P4, U1, U4 within five hours of the greatest eclipse, to 0.01 s.
void SolarEclipseContacts(EngineContext& ctx, double jdGreatest, ContactTimes& contacts);

// Marks an eclipse annular-total (sets 32, clears 4) when the umbral radius
// at the point under the axis has another sign at U1 than at greatest
// eclipse or at U4. Without both umbral contacts nothing changes.
void MarkHybridEclipse(EngineContext& ctx, std::optional<double> jdU1, double jdGreatest,
                       std::optional<double> jdU4, EclipseType& type);

// Instant between t1 and t2 at which the umbral radius under the axis changes
// sign (to 0.1 s), or none (also when t1 or t2 is missing); `direction` is 1
// for annular to total, else 0.
std::optional<double> FindAnnularTotalTransition(EngineContext& ctx, std::optional<double> t1,
                                                 std::optional<double> t2, int& direction);

// Lunar elements at `jd`; returns the distance of the Moon from the shadow
// axis as sqrt(x^2 + y^2) of its unit vector.
double LunarEclipseElements(EngineContext& ctx, double jd, ShadowPoint& point, EclipseElements& elements);

// Shadow radii, magnitudes, the place of the Moon in the zenith and the type
// of the lunar eclipse at the instant of the last LunarEclipseElements.
EclipseType ClassifyLunarEclipseAt(EngineContext& ctx, double jd, ShadowPoint& point, EclipseElements& elements);

// Greatest lunar eclipse within an hour of the full moon (to 0.01 s), or
// none (type 0) when there is no eclipse.
std::optional<double> FindGreatestLunarEclipse(EngineContext& ctx, double jdFullMoon, ShadowPoint& point,
                                EclipseElements& elements, EclipseType& type);

// U1, U4, U2, U3, P1, P4 within five hours of the greatest eclipse, to 0.01 s.
void LunarEclipseContacts(EngineContext& ctx, double jdGreatest, ContactTimes& contacts);

// Quick screening of a syzygy for the month view: how deep inside the
// eclipse limit the Moon passes near `jd`, in percent (0 = outside), and the
// offset in days at which that first happens (0 when outside).
struct EclipseScreening {
  int score = 0;
  double offsetDays = 0.0;
};
EclipseScreening QuickEclipseCheck(EngineContext& ctx, double jd, SyzygyKind kind);

// "126.97E/37.54N": |longitude| and |latitude| to 0.01 degree with their
// hemisphere letters.
std::string FormatGeoPosition(double longitudeDeg, double latitudeDeg);

// Name of an eclipse type as consumers test the bits (4, 8, 16, 32 for a
// solar eclipse, the last set bit winning; 4, 16, 64 for a lunar one).
enum class EclipseKindName { Total, Annular, Partial, AnnularTotal, Penumbral, None };
EclipseKindName SolarEclipseName(EclipseType type);
EclipseKindName LunarEclipseName(EclipseType type);

}  // namespace orv
