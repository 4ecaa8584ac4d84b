// Delta T tables (see deltat_tables.cpp for the source).
#pragma once

namespace orv::data {

struct HorizonsDeltaTRow {
  double upperJD;          // the row applies to JD < upperJD (and >= the previous bound)
  int count;               // number of coefficients
  double coefficients[6];  // seconds, of T^0 .. T^5, T in Julian centuries from J2000
};

extern const HorizonsDeltaTRow kHorizonsDeltaTTableA[];
extern const int kHorizonsDeltaTTableARows;
extern const HorizonsDeltaTRow kHorizonsDeltaTTableB[];
extern const int kHorizonsDeltaTTableBRows;

}  // namespace orv::data
