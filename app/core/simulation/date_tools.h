// The two calculators of the simulation window: the date some days after a
// date and the days between two dates (group "경과날짜계산"), and the Julian
// Date converter in both directions (group "Julian, Calendar Date(UT 기준)").
#pragma once

#include <string>

#include "app/core/messages.h"
#include "time/dates.h"

namespace orv {

// The date `days` days after y-m-d (negative goes back), across the 1582
// change. False, after the invalid-date message ("오류"), when the date does
// not exist; `result` is then unchanged.
bool ElapsedDate(int year, int month, int day, long long days, CivilDate& result, MessageSink& messages);

// Signed whole days from the first date to the second. False, after the
// invalid-date message naming the date at fault, when either does not exist.
bool DaysBetweenDates(const CivilDate& first, const CivilDate& second, long long& days, MessageSink& messages);

// Civil date and time of a Julian Date (UT, no zone), Julian calendar before
// the Gregorian change. False for a value that is not finite or lies beyond
// +-kLargestJulianDate (about 27 million years).
inline constexpr double kLargestJulianDate = 1e10;
bool JulianDateToCalendarFields(double jd, CivilDateTime& out);

// Julian Date of a civil date and a time of day (no date check):
// CalendarToJulianDay + hour/24 + minute/1440 + second/86400.
double CalendarFieldsToJulianDate(int year, int month, int day, double hour, double minute, double second);

// The shortest decimal text that reads back as the same value ("2451544.5", "0").
std::string ShortestDecimalText(double value);
std::string ShortestDecimalText(float value);

}  // namespace orv
