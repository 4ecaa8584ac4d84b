// Helpers of the JPL tests: the DE405 file made at build time from Debian's
// casacore-data-jpl-de405 (tools/de405_from_casacore.py), and small synthetic
// ephemeris files with known Chebyshev coefficients.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/core/files/files.h"
#include "ephemeris/jpl_reader.h"

namespace orv::testing {

inline std::string De405Path() { return ORVANTA_DE405_PATH; }
inline bool HaveDe405() { return FileExists(De405Path()); }

#define ORV_REQUIRE_DE405()                                                                       \
  do {                                                                                            \
    if (!::orv::testing::HaveDe405())                                                             \
      GTEST_SKIP() << "no DE405 file at " << ::orv::testing::De405Path()                          \
                   << " (needs python3-casacore and casacore-data-jpl-de405 at build time)";      \
  } while (0)

// Opens DE405 with the reader (DE number 405).
inline void OpenDe405(JplEphemeris& eph) {
  ASSERT_TRUE(eph.OpenFile(De405Path()));
  JplOpenEphemeris(eph, 405);
}

// A small ephemeris in the binary layout, written byte by byte.
struct SyntheticEphemeris {
  double firstJD = 2451536.5;
  double stepDays = 32.0;
  int records = 3;
  double au = 149597870.7;
  double emrat = 81.3;
  int pointers[12][3] = {};  // per item: first coefficient, coefficients, sub-intervals
  int libration[3] = {0, 0, 0};
  int recordDoubles = 0;     // doubles per record
  int deNumber = 999;
  // coefficients[record][index], index 1-based like the file's pointers
  // (entries 1 and 2 are overwritten with the record's JDs).
  std::vector<std::vector<double>> coefficients;

  // A layout with the Sun (4 coefficients, 1 sub-interval), the Earth-Moon
  // barycentre and the Moon (4 coefficients, 2 sub-intervals each), nutations
  // (4 coefficients, 2 sub-intervals) and librations (10 coefficients, 11
  // sub-intervals, so that a record holds the 400 constants).
  static SyntheticEphemeris Standard() {
    SyntheticEphemeris s;
    auto set = [&](int item, int first, int n, int sub) {
      s.pointers[item][0] = first;
      s.pointers[item][1] = n;
      s.pointers[item][2] = sub;
    };
    set(kJplItemSun, 3, 4, 1);                    // 3..14
    set(kJplItemEarthMoonBarycentre, 15, 4, 2);   // 15..38
    set(kJplItemMoon, 39, 4, 2);                  // 39..62
    set(kJplItemNutations, 63, 4, 2);             // 63..78
    s.libration[0] = 79;
    s.libration[1] = 10;
    s.libration[2] = 11;                          // 79..408
    s.recordDoubles = 408;
    s.coefficients.assign(s.records, std::vector<double>(s.recordDoubles + 1, 0.0));
    return s;
  }

  double lastJD() const { return firstJD + records * stepDays; }

  std::string bytes() const {
    const std::size_t recordBytes = 8 * static_cast<std::size_t>(recordDoubles);
    std::string out(recordBytes * (2 + records), '\0');
    auto putD = [&](std::size_t at, double v) { std::memcpy(&out[at], &v, 8); };
    auto putI = [&](std::size_t at, std::int32_t v) { std::memcpy(&out[at], &v, 4); };
    std::memcpy(&out[0], "SYNTHETIC TEST EPHEMERIS", 24);
    std::memset(&out[252], ' ', 400 * 6);
    std::memcpy(&out[252], "AU    EMRAT DENUM ", 18);
    putD(2652, firstJD);
    putD(2660, lastJD());
    putD(2668, stepDays);
    putI(2676, 3);
    putD(2680, au);
    putD(2688, emrat);
    for (int i = 0; i < 12; ++i)
      for (int k = 0; k < 3; ++k) putI(2696 + 4 * (3 * i + k), pointers[i][k]);
    putI(2840, deNumber);
    for (int k = 0; k < 3; ++k) putI(2844 + 4 * k, libration[k]);
    putD(recordBytes, au);
    putD(recordBytes + 8, emrat);
    putD(recordBytes + 16, deNumber);
    for (int r = 0; r < records; ++r) {
      const std::size_t base = recordBytes * (2 + r);
      for (int i = 3; i <= recordDoubles; ++i) putD(base + 8 * (i - 1), coefficients[r][i]);
      putD(base, firstJD + r * stepDays);
      putD(base + 8, firstJD + (r + 1) * stepDays);
    }
    return out;
  }

  void write(const std::string& path) const { std::ofstream(path, std::ios::binary) << bytes(); }
};

}  // namespace orv::testing
