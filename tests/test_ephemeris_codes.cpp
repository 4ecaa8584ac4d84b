// The ephemeris-code table: file names, DE numbers and nutation of the codes
// the program computes with. Every other code (the settings file's old
// codes 0-2 and 4-7, 10-14, or garbage) is read as the built-in theory.
#include <gtest/gtest.h>

#include "app/core/files/ephemeris_files.h"
#include "app/core/files/open_ephemeris.h"
#include "time/settings.h"

namespace orv {
namespace {

TEST(EphemerisCodes, FileNamesDeNumbersAndNutation) {
  struct Case { int code; const char* file; int de; bool nutation; } cases[] = {
      {kEphemerisPlan404, "", 0, false},
      {kEphemerisDe431, "DE431.jpl", 431, true},
      {kEphemerisDe441, "DE441.jpl", 441, true},
      {-1, "", 0, false}, {0, "", 0, false}, {5, "", 0, false},
      {7, "", 0, false}, {13, "", 0, false}, {15, "", 0, false},
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
