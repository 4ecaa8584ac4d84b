// Civil calendar and Julian Day.
//
// One continuous historical calendar: Julian up to 1582-10-04, Gregorian from
// 1582-10-15; the ten dates between do not exist. Years are astronomical
// (year 0 = BC 1, year -1 = BC 2); in the Julian calendar every year divisible
// by 4 is a leap year, negative years included.
#pragma once

#include <cstdint>
#include <string>

namespace orv {

// Packed date: year*10000 + month*100 + day; for a negative year every field
// carries the sign (-1-12-31 is -11231). 0 marks an empty slot.
using PackedDate = std::int32_t;
// Packed time: hour*100 + minute; -1 marks "no event".
using PackedTime = std::int16_t;

// Julian Day of 1582-10-15 00:00, the first day of the Gregorian calendar.
constexpr double kGregorianStartJD = 2299160.5;
// Julian Day of J2000.0 (2000-01-01 12:00 TT).
constexpr double kJ2000 = 2451545.0;
constexpr double kDaysPerJulianCentury = 36525.0;
constexpr int kMinutesPerDay = 1440;
constexpr double kSecondsPerDay = 86400.0;

struct CivilDate {
  int year = 0;
  int month = 0;
  int day = 0;
  friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

struct CivilDateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  float seconds = 0.0f;
};

bool IsGregorianLeapYear(int year);
// Leap year of the mixed calendar (Julian rule before 1582, none in 1582).
bool IsLeapYear(int year);
int DaysInYear(int year);             // 365/366; 355 for 1582
int DaysInMonth(int year, int month); // 28..31; 21 for 1582-10
bool IsValidDate(int year, int month, int day);
int DayOfYear(int year, int month, int day);  // 1-based; 1582-10-15 is 278

// Days from the start of year -19999 to the end of year c*100, c = -199..200.
// Only a speed-up for DaysBetween over long spans; results do not depend on it.
struct CenturyDayTable {
  static constexpr int kFirstCentury = -199;
  static constexpr int kCount = 400;
  std::int32_t days[kCount];
};
void BuildCenturyDayTable(CenturyDayTable& table);
// The table of this process, built on first use (it never changes afterwards).
const CenturyDayTable& SharedCenturyDayTable();

// Signed whole days from the first date to the second.
int DaysBetween(int y1, int m1, int d1, int y2, int m2, int d2);
// Signed minutes from the first date-time to the second.
std::int64_t MinutesBetween(int y1, int m1, int d1, int h1, int mi1,
                            int y2, int m2, int d2, int h2, int mi2);
// The civil date-time `minutes` after the base date-time (minute-exact, across
// the 1582 gap and into negative years).
void AddMinutes(std::int64_t minutes, int y, int m, int d, int h, int mi,
                int& outY, int& outM, int& outD, int& outH, int& outMi);

// Julian Day of 00:00 of a civil date (Julian before 1582-10-15).
double CalendarToJulianDay(int year, int month, int day);
double GregorianToJulianDay(int year, int month, int day);
double JulianCalendarToJulianDay(int year, int month, int day);

// Julian Day of a clock time on a day whose 00:00 is dayJd: the sum every
// listed instant (packed date, hour * 100 + minute) is read back with.
inline double JulianDayAtMinute(double dayJd, int hour, int minute) {
  return dayJd + hour / 24.0 + minute / 1440.0;
}
// The same with seconds (which may carry a fraction).
inline double JulianDayAtSecond(double dayJd, int hour, int minute, double seconds) {
  return dayJd + (hour * 3600.0 + minute * 60.0 + seconds) / kSecondsPerDay;
}

// Civil date and time of day of a Julian Day. Seconds of 59.999 or more count
// as the next minute, and that carry runs through hour and date, so an instant
// within a millisecond of midnight reads 00:00:00.000 of the next day.
CivilDateTime JulianDayToCalendar(double jd);
void JulianDayToCalendar(double jd, int& year, int& month, int& day, int& hour,
                         int& minute, float& seconds);
// The date-time with `seconds` rounded to 1/stepsPerSecond s (100 for
// "%05.2f"); a rounding up to 60 s is carried into the minute, hour and date,
// so the text never reads 60. Seconds that are not finite read as 0.
CivilDateTime RoundCivilSeconds(int year, int month, int day, int hour, int minute, double seconds,
                                int stepsPerSecond);
CivilDate JulianDayToGregorian(double jd);
CivilDate JulianDayToJulianCalendar(double jd);
// Date part only, in the mixed calendar.
CivilDate JulianDayToCivilDate(double jd);

int WeekdayOf(int year, int month, int day);       // 0 = Sunday
int LunarMansionOf(int year, int month, int day);  // 0..27

PackedDate PackDate(int year, int month, int day);
void UnpackDate(PackedDate packed, int& year, int& month, int& day);
void UnpackTime(PackedTime packed, int& hour, int& minute);
void UnpackDateTime(PackedDate date, PackedTime time, int& year, int& month,
                    int& day, int& hour, int& minute);

// "d:mm:ss.sss" of a value in hours or degrees; "-d:mm:ss.sss" when negative.
std::string FormatSexagesimal(double x);

}  // namespace orv
