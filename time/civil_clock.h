// Civil clocks of time zones: the offset from UTC in force at an instant and
// the instants a local clock reading stands for, from the IANA time-zone
// database installed on the system (read through CCTZ). A reading that falls
// in the gap of a forward change, or twice in the overlap of a backward one,
// is reported as such; nothing here picks an answer silently.
#pragma once

#include <cstdint>
#include <string>

namespace orv {

// Seconds since 1970-01-01 00:00 UTC (POSIX time, no leap seconds).
using UnixSeconds = std::int64_t;

// A local reading of a clock, Gregorian, to the second.
struct LocalReading {
  int year = 1970, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
};

// The clock in force at one instant.
struct ClockState {
  int offsetSeconds = 0;     // local - UTC, daylight saving included
  bool daylightSaving = false;
  std::string abbreviation;  // "KST", "KDT", "LMT", ...
};

enum class ReadingKind {
  Unique,    // the reading happened once
  Skipped,   // the clock jumped over it (a forward change): it never showed
  Repeated,  // the clock showed it twice (a backward change)
};

// The instants of a local reading. Unique: `first` (== `second`). Repeated:
// `first` under the offset before the change, `second` under the one after.
// Skipped: `first` is the reading taken with the offset before the change
// (after it, in real time) and `second` with the offset after it; `changeAt`
// is the instant of the jump.
struct ReadingInstants {
  ReadingKind kind = ReadingKind::Unique;
  UnixSeconds first = 0;
  UnixSeconds second = 0;
  UnixSeconds changeAt = 0;  // Skipped and Repeated: the transition instant
};

// A zone of the system's tzdata. A name the database does not hold leaves the
// zone invalid (every query then answers as UTC and valid() is false).
class CivilClock {
 public:
  explicit CivilClock(const std::string& ianaName);
  ~CivilClock();
  CivilClock(const CivilClock&);
  CivilClock& operator=(const CivilClock&);

  bool valid() const { return valid_; }
  const std::string& name() const { return name_; }

  ClockState StateAt(UnixSeconds instant) const;
  LocalReading ReadingAt(UnixSeconds instant) const;
  ReadingInstants InstantsOf(const LocalReading& reading) const;

 private:
  struct Impl;
  std::string name_;
  bool valid_ = false;
  Impl* impl_ = nullptr;
};

// Seconds of a UTC reading since 1970 and back (proleptic Gregorian).
UnixSeconds UtcReadingToUnix(const LocalReading& utc);
LocalReading UnixToUtcReading(UnixSeconds instant);

// Julian Day (UT) of an instant and back, to the second.
double UnixToJulianDay(UnixSeconds instant);
UnixSeconds JulianDayToUnix(double jdUT);

// "+09:00", "-03:30", "+08:27:52" for an offset in seconds.
std::string FormatUtcOffset(int offsetSeconds);

}  // namespace orv
