// Earth orientation: mean and true obliquity, precession between J2000.0 and
// the mean equator and equinox of date, nutation, and the pole-offset
// ("E.O.P") correction of the nutation in longitude. All instants are TT
// Julian Days, all results radians. The models are chosen by the settings:
// ObliquityModel, PrecessionModel, NutationModel, EopCorrection, EphemerisCode.
//
// A settings value with no model of its own (PrecessionModel 0 or 3,
// NutationModel 1, ObliquityModel other than 1 and 2; only a hand-edited
// configuration file holds one) is computed with the default model: IAU 2006
// precession and obliquity, IAU 2000B nutation.
#pragma once

#include "ephemeris/context.h"

namespace orv {

using Matrix3 = double[3][3];  // row by row; M applied to a column vector v is M v

// Whether the E.O.P correction of the nutation and of the Sun's and Moon's
// longitudes is applied: for the value 1 only. A file may hold another value
// (2 from a hand edit); it is kept as read and saved back unchanged, and it
// means off wherever the setting is used or shown.
inline bool EopCorrectionOn(const CalcSettings& settings) { return settings.EopCorrection == 1; }

// An obliquity of the ecliptic with its cosine and sine, which the rotations
// between ecliptic and equator need together.
struct ObliquityAngle {
  double rad = 0.0;
  double cosine = 1.0;
  double sine = 0.0;
};
ObliquityAngle ObliquityFromRadians(double rad);

// Mean obliquity of the ecliptic by ObliquityModel (Owen1990: IAU 1976 within
// two centuries of J2000.0, the long-term series beyond).
ObliquityAngle MeanObliquity(const EngineContext& ctx, double jdTT);
// Mean obliquity + nutation in obliquity.
ObliquityAngle TrueObliquity(EngineContext& ctx, double jdTT);
// Lieske et al. (1977): 84381.448" - 46.815" T - ...
double MeanObliquityIau1976(double jdTT);
// Capitaine et al. (2003), P03: 84381.406" - 46.836769" T - ...
double MeanObliquityIau2006(double jdTT);
// The long-term Chebyshev series alone (also inside two centuries); 0 outside
// [-200, 200) Julian centuries from J2000.0.
double MeanObliquityOwen1990(double jdTT);

// Precession angles zeta, theta, z (rad) for T in Julian centuries of TT.
void PrecessionAnglesIau1976(double T, double& zeta, double& theta, double& z);
void PrecessionAnglesIau2006(double T, double& zeta, double& theta, double& z);
// The three angles of the long-term precession (chi, omega, psi), degrees,
// from the Chebyshev series; false (angles 0) outside [-200, 200) centuries.
bool LongTermPrecessionAnglesDeg(double jdTT, double& chiDeg, double& omegaDeg, double& psiDeg);
// Long-term precession matrix (J2000.0 equator to mean equator of date) from
// the Chebyshev series; the identity outside [-200, 200) centuries, where the
// series do not reach.
void PrecessionMatrixOwen1990(double jdTT, Matrix3 out);
// direction 1: J2000.0 -> mean of date; any other value: the transpose.
void PrecessionMatrix(const EngineContext& ctx, double jdTT, int direction, Matrix3 out);
// direction >= 0: mean of date -> J2000.0; direction < 0: J2000.0 -> date.
// At J2000.0 exactly the vector is left untouched.
void PrecessVector(const EngineContext& ctx, double v[3], double jdTT, int direction);

// Nutation in longitude and obliquity (rad) by NutationModel, with the E.O.P
// correction of dpsi. The internal model reads the open JPL file (a JplError
// propagates when there is none); with an ephemeris that has no nutations
// (PLAN404) it leaves dpsi and deps as the caller set them. The E.O.P table
// row is the one of jdTT.
void Nutation(EngineContext& ctx, double jdTT, double& dpsi, double& deps);
// IAU 2000B luni-solar nutation (McCarthy & Luzum 2003) without the constant
// offsets for the planetary terms; T in Julian centuries of TT.
void NutationIau2000B(double T, double& dpsi, double& deps);
// Correction of dpsi in milliarcseconds from the table of celestial pole
// offsets at the instant jdTT (Julian Day, TT): the row whose span holds
// jdTT, its periodic terms evaluated at the same instant.
double EopNutationCorrection(double jdTT);
// direction 1: mean equator of date -> true equator of date; otherwise the transpose.
void NutationMatrix(EngineContext& ctx, double jdTT, int direction, Matrix3 out);
double NutationInLongitudeDegrees(EngineContext& ctx, double jdTT);

}  // namespace orv
