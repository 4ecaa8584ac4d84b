// Earth orientation: mean and true obliquity, precession between J2000.0 and
// the mean equator and equinox of date, nutation, and the pole-offset
// ("E.O.P") correction of the nutation in longitude. All instants are TT
// Julian Days, all results radians. The models are chosen by the settings:
// ObliquityModel, PrecessionModel, NutationModel, EopCorrection, EphemerisCode.
#pragma once

#include "ephemeris/context.h"

namespace orv {

using Matrix3 = double[3][3];  // row by row; M applied to a column vector v is M v

// Mean obliquity by ObliquityModel; stores it with its cosine and sine in ctx.obliquity.
double MeanObliquity(EngineContext& ctx, double jdTT);
// Mean obliquity + nutation in obliquity; stores the cosine and sine of that
// value in ctx.obliquity (the stored obliquity stays the mean one).
double TrueObliquity(EngineContext& ctx, double jdTT);
double MeanObliquityIau1976(double jdTT);
double MeanObliquityIau2006(double jdTT);
// IAU 1976 within two centuries of J2000.0 is not used here: this is the
// long-term Chebyshev series alone (0 outside +-200 centuries).
double MeanObliquityOwen1990(double jdTT);

// Precession angles zeta, theta, z (rad) for T in Julian centuries of TT.
void PrecessionAnglesIau1976(double T, double& zeta, double& theta, double& z);
void PrecessionAnglesIau2006(double T, double& zeta, double& theta, double& z);
// Long-term precession matrix (J2000.0 equator to mean equator of date).
void PrecessionMatrixOwen1990(double jdTT, Matrix3 out);
// direction 1: J2000.0 -> mean of date; any other value: the transpose.
void PrecessionMatrix(const EngineContext& ctx, double jdTT, int direction, Matrix3 out);
// direction >= 0: mean of date -> J2000.0; direction < 0: J2000.0 -> date.
void PrecessVector(const EngineContext& ctx, double v[3], double jdTT, int direction);

// Nutation in longitude and obliquity (rad) by NutationModel, with the E.O.P
// correction of dpsi. For the internal model the angles come from the open JPL
// file. The E.O.P table row is chosen by ctx.time.CurrentTT.
void Nutation(EngineContext& ctx, double jdTT, double& dpsi, double& deps);
void NutationIau2000B(double T, double& dpsi, double& deps);
// Correction of dpsi in milliarcseconds (table of celestial pole offsets).
double EopNutationCorrection(const EngineContext& ctx, double T);
// direction 1: mean equator of date -> true equator of date; otherwise the transpose.
void NutationMatrix(EngineContext& ctx, double jdTT, int direction, Matrix3 out);
double NutationInLongitudeDegrees(EngineContext& ctx, double jdTT);

}  // namespace orv
