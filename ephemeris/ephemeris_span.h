// The years an ephemeris serves, in astronomical numbering (0 = 1 BC), both
// ends included: the built-in theory's fixed span and a JPL file's whole years.
#pragma once

#include <optional>

namespace orv {

struct JplEphemeris;

struct EphemerisSpan {
  int lower = 0;  // first year served
  int upper = 0;  // last year served

  bool Contains(int year) const { return year >= lower && year <= upper; }
  bool operator==(const EphemerisSpan&) const = default;
};

// PLAN404: BC 5000 .. AD 10000.
inline constexpr EphemerisSpan kPlan404Span{-4999, 10000};
// DE431 and DE441 as published (BC 13000 .. AD 16998); a file on disk may
// hold less of them.
inline constexpr EphemerisSpan kLongJplSpan{-12999, 16998};

// Whether the code selects a JPL ephemeris that can reach the engine.
bool IsJplEphemerisCode(int ephemerisCode);

// The span of an ephemeris code before any file is read.
EphemerisSpan NominalEphemerisSpan(int ephemerisCode);

// Usable years of a JPL file spanning [firstJD, lastJD]: the whole years
// inside the span, less a year at an end that leaves too little of its year
// (a span starting after September or ending before it). The day tables run
// from November of the year before to June of the year after.
EphemerisSpan JplFileSpan(double firstJD, double lastJD);

// The usable years of `file` when it is open, else nothing.
std::optional<EphemerisSpan> OpenJplFileSpan(const JplEphemeris* file);

// The years served under `ephemerisCode`: the open file's usable years for a
// JPL code with a file open, otherwise the code's nominal span.
EphemerisSpan ServedEphemerisSpan(int ephemerisCode, const JplEphemeris* openFile);

}  // namespace orv
