// The JPL binary ephemeris reader: any file is either refused with JplError
// or read; states at the span's ends and middle come back or are refused,
// never read out of bounds.
#include <cmath>

#include "ephemeris/jpl_reader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv;
  const std::string path = fuzz::WriteInput("fuzz.jpl", data, size);
  // The DE number chooses the preset record size; the ones the program opens.
  static const int kDeNumbers[] = {405, 406, 422, 431, 441};
  const int deNumber = kDeNumbers[size % (sizeof kDeNumbers / sizeof kDeNumbers[0])];
  JplEphemeris eph;
  if (!eph.OpenFile(path)) return 0;
  try {
    JplOpenEphemeris(eph, deNumber);
  } catch (const JplError&) {
    return 0;
  }
  const double first = eph.header.Span[0], last = eph.header.Span[1];
  const double instants[] = {first, last, 0.5 * (first + last), first + 0.3 * eph.header.Span[2]};
  for (double jd : instants) {
    if (!std::isfinite(jd)) continue;
    for (int target = 1; target <= 15; ++target) {
      double state[6];
      int inside = 0;
      try {
        JplState(eph, jd, target, target == 3 ? 11 : 3, state, inside);
      } catch (const JplError&) {
      }
    }
  }
  return 0;
}
