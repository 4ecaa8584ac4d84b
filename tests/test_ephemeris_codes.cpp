// The ephemeris-code table: file names, DE numbers and nutation, as the
// code table of the settings file defines them (codes 5 and 6 both name the
// DE406 file; the Swiss Ephemeris codes 10-14 open no file).
#include <gtest/gtest.h>

#include "app/core/files/ephemeris_files.h"
#include "app/core/files/open_ephemeris.h"
#include "time/settings.h"

namespace orv {
namespace {

TEST(EphemerisCodes, FileNamesDeNumbersAndNutation) {
  struct Case { int code; const char* file; int de; bool nutation; } cases[] = {
      {-1, "", 0, false},  {0, "", 0, false},   {3, "", 0, false},
      {4, "", 0, false},   {5, "DE406.jpl", 406, false}, {6, "DE406.jpl", 406, false},
      {7, "DE422.jpl", 422, true}, {8, "DE431.jpl", 431, true}, {9, "DE441.jpl", 441, true},
      {10, "", 0, false},  {11, "", 0, false},  {12, "", 0, true},
      {13, "", 0, true},   {14, "", 0, false},  {15, "", 0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EphemerisFileName(c.code), c.file) << c.code;
    EXPECT_EQ(JplNumberOfCode(c.code), c.de) << c.code;
    EXPECT_EQ(EphemerisStem(c.code) + (c.de ? ".jpl" : ""), c.file) << c.code;
    EXPECT_EQ(EphemerisCarriesNutation(c.code), c.nutation) << c.code;
  }
}

}  // namespace
}  // namespace orv
