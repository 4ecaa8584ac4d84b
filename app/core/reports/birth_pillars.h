// The four pillars of a birth instant read on the clock of its day: the
// reading taken as the standard time of the place's meridian (the default) or
// as its civil clock (zone history and daylight saving, time/civil_clock.h),
// and the hour pillar by the standard-time rule (boundary at 23:30), local
// mean solar time or local apparent (true) solar time.
#pragma once

#include <string>
#include <vector>

#include "app/core/files/places.h"
#include "app/core/reports/reports.h"
#include "lunisolar/sexagenary.h"

namespace orv {

enum class BirthClock { Standard, Civil };

// Civil clocks are known from the Gregorian calendar on (tzdata starts with
// local mean time in the 19th century; CCTZ counts days in the Gregorian
// calendar).
constexpr int kFirstCivilClockYear = 1583;
enum class HourRule { Standard, Mean, True };

struct BirthReading {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0;
  BirthClock clock = BirthClock::Standard;
  HourRule hourRule = HourRule::Standard;
  bool laterOfRepeated = false;  // a reading the civil clock showed twice: take the second
};

struct BirthPillars {
  bool ok = false;
  std::string error;             // why not (a reading the clock never showed, no zone, ...)
  SexagenaryIndices pillars;
  // The reading in the calendar's time system (standard time of the place
  // under ST) from which the year and month pillars are taken.
  int sysYear = 0, sysMonth = 0, sysDay = 0, sysHour = 0, sysMinute = 0;
  double systemJd = 0.0;  // the same instant unrounded (Julian Day in the calendar's time system)
  // Civil clock: offset in force, its abbreviation and whether it is summer time.
  int clockOffsetSeconds = 0;
  std::string clockAbbreviation;
  bool daylightSaving = false;
  double clockMinusStandardMinutes = 0.0;  // civil clock ahead of the standard meridian's time
  // Mean and true rules: the local solar reading the day and hour pillars use.
  double longitudeMinutes = 0.0;       // (longitude - standard meridian) x 4 min/degree
  double equationOfTimeMinutes = 0.0;  // apparent - mean solar time (true rule)
  int solarYear = 0, solarMonth = 0, solarDay = 0, solarHour = 0, solarMinute = 0;
  // A repeated civil reading: the other instant and its pillars.
  bool repeated = false;
  int otherOffsetSeconds = 0;
  std::string otherAbbreviation;
  SexagenaryIndices otherPillars;
};

// Pillars of `reading` at `place`. The year tables of `in` are prepared for
// the year of the instant as needed; `place` should be the place the settings
// were applied with (its meridian is the standard meridian).
BirthPillars ComputeBirthPillars(ReportInputs& in, const PlaceRecord& place, const BirthReading& reading);

// "甲子 乙丑 丙寅 丁卯" (year, month, day, hour).
std::string PillarNames(const SexagenaryIndices& p);

// The corrections applied, one line each (Korean): clock and offset,
// daylight saving, the reading in standard time, longitude and
// equation-of-time minutes, a repeated reading's other choice.
std::vector<std::string> BirthPillarsNotes(const BirthPillars& result, const PlaceRecord& place,
                                           const BirthReading& reading);

}  // namespace orv
