#include "time/dates.h"

#include <cmath>
#include <cstdio>

namespace orv {
namespace {

// Floor division for integers of either sign.
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}
constexpr std::int64_t FloorMod(std::int64_t a, std::int64_t b) {
  return a - FloorDiv(a, b) * b;
}

// Days from the start of `from` through the end of `to` (inclusive, from <= to),
// summed year by year.
std::int64_t SumDaysOfYears(int from, int to) {
  std::int64_t sum = 0;
  for (int y = from; y <= to; ++y) sum += DaysInYear(y);
  return sum;
}

// Julian Day number (integer, for the noon) of a civil date.
std::int64_t DayNumberOf(int year, int month, int day) {
  return static_cast<std::int64_t>(std::floor(CalendarToJulianDay(year, month, day) + 0.5));
}

}  // namespace

bool IsGregorianLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

bool IsLeapYear(int year) {
  if (year < 1582) return year % 4 == 0;  // C remainder: 0, -4, -8 ... are leap
  if (year == 1582) return false;
  return IsGregorianLeapYear(year);
}

int DaysInYear(int year) {
  if (year == 1582) return 355;
  return IsLeapYear(year) ? 366 : 365;
}

int DaysInMonth(int year, int month) {
  switch (month) {
    case 4: case 6: case 9: case 11:
      return 30;
    case 2:
      return IsLeapYear(year) ? 29 : 28;
    case 10:
      return year == 1582 ? 21 : 31;
    default:
      return 31;
  }
}

bool IsValidDate(int year, int month, int day) {
  if (year == 1582 && month == 10) return day < 32 && (day < 5 || day > 14);
  return day <= DaysInMonth(year, month);
}

int DayOfYear(int year, int month, int day) {
  int ordinal = day;
  for (int m = 1; m < month; ++m) ordinal += DaysInMonth(year, m);
  if (year == 1582 && month == 10 && day >= 5) ordinal -= 10;
  return ordinal;
}

void BuildCenturyDayTable(CenturyDayTable& table) {
  std::int64_t total = 0;
  for (int y = -19999; y <= 20000; ++y) {
    total += DaysInYear(y);
    if (FloorMod(y, 100) == 0) {
      const int c = y / 100;
      if (c >= CenturyDayTable::kFirstCentury &&
          c < CenturyDayTable::kFirstCentury + CenturyDayTable::kCount) {
        table.days[c - CenturyDayTable::kFirstCentury] = static_cast<std::int32_t>(total);
      }
    }
  }
}

const CenturyDayTable& SharedCenturyDayTable() {
  static const CenturyDayTable table = [] {
    CenturyDayTable t{};
    BuildCenturyDayTable(t);
    return t;
  }();
  return table;
}

namespace {

// Days of all years strictly between lo and hi (lo < hi).
std::int64_t DaysOfYearsBetween(int lo, int hi) {
  if (hi - lo <= 200) return SumDaysOfYears(lo + 1, hi - 1);
  // Whole centuries from the table: A is the first century year above lo,
  // B the last one below hi. Outside the table fall back to plain sums.
  const std::int64_t a = FloorDiv(lo + 100, 100) * 100;
  const std::int64_t b = FloorDiv(hi - 1, 100) * 100;
  const int ca = static_cast<int>(a / 100) - CenturyDayTable::kFirstCentury;
  const int cb = static_cast<int>(b / 100) - CenturyDayTable::kFirstCentury;
  if (a >= b) return SumDaysOfYears(lo + 1, hi - 1);
  if (ca < 0 || cb >= CenturyDayTable::kCount)  // beyond the table: day numbers
    return DayNumberOf(hi, 1, 1) - DayNumberOf(lo + 1, 1, 1);
  const CenturyDayTable& table = SharedCenturyDayTable();
  return SumDaysOfYears(lo + 1, static_cast<int>(a)) +
         (static_cast<std::int64_t>(table.days[cb]) - table.days[ca]) +
         SumDaysOfYears(static_cast<int>(b) + 1, hi - 1);
}

}  // namespace

int DaysBetween(int y1, int m1, int d1, int y2, int m2, int d2) {
  if (y1 == y2) return DayOfYear(y2, m2, d2) - DayOfYear(y1, m1, d1);
  const bool firstIsEarlier = y1 < y2;
  const int lo = firstIsEarlier ? y1 : y2;
  const int hi = firstIsEarlier ? y2 : y1;
  const int loOrdinal = firstIsEarlier ? DayOfYear(y1, m1, d1) : DayOfYear(y2, m2, d2);
  const int hiOrdinal = firstIsEarlier ? DayOfYear(y2, m2, d2) : DayOfYear(y1, m1, d1);
  const std::int64_t days =
      (DaysInYear(lo) - loOrdinal) + DaysOfYearsBetween(lo, hi) + hiOrdinal;
  return static_cast<int>(firstIsEarlier ? days : -days);
}

std::int64_t MinutesBetween(int y1, int m1, int d1, int h1, int mi1,
                            int y2, int m2, int d2, int h2, int mi2) {
  return static_cast<std::int64_t>(DaysBetween(y1, m1, d1, y2, m2, d2)) * kMinutesPerDay +
         static_cast<std::int64_t>(h2 - h1) * 60 + (mi2 - mi1);
}

void AddMinutes(std::int64_t minutes, int y, int m, int d, int h, int mi,
                int& outY, int& outM, int& outD, int& outH, int& outMi) {
  // The civil calendar is the one of the Julian Day conversions, so the
  // addition is exact on the day number.
  const std::int64_t total = DayNumberOf(y, m, d) * kMinutesPerDay +
                             static_cast<std::int64_t>(h) * 60 + mi + minutes;
  const std::int64_t dayNumber = FloorDiv(total, kMinutesPerDay);
  const std::int64_t minuteOfDay = total - dayNumber * kMinutesPerDay;
  const CivilDate date = JulianDayToCivilDate(static_cast<double>(dayNumber));
  outY = date.year;
  outM = date.month;
  outD = date.day;
  outH = static_cast<int>(minuteOfDay / 60);
  outMi = static_cast<int>(minuteOfDay % 60);
}

double GregorianToJulianDay(int year, int month, int day) {
  const std::int64_t y1 = year - 1;
  int c = 0;
  if (month > 2) c = IsGregorianLeapYear(year) ? -1 : -2;
  const std::int64_t days = 365 * y1 + FloorDiv(y1, 4) - FloorDiv(y1, 100) + FloorDiv(y1, 400) +
                            FloorDiv(367 * month - 362, 12) + c + day;
  return 1721424.5 + static_cast<double>(days);
}

double JulianCalendarToJulianDay(int year, int month, int day) {
  if (month <= 2) {
    year -= 1;
    month += 12;
  }
  return std::floor(365.25 * (year + 4716)) + std::floor(30.6001 * (month + 1)) + day - 1524.5;
}

double CalendarToJulianDay(int year, int month, int day) {
  const bool julian = year < 1582 || (year == 1582 && (month < 10 || (month == 10 && day <= 4)));
  return julian ? JulianCalendarToJulianDay(year, month, day) : GregorianToJulianDay(year, month, day);
}

CivilDate JulianDayToGregorian(double jd) {
  // Exact integer arithmetic on the day number; the day starts at F = n - 0.5.
  const std::int64_t n = static_cast<std::int64_t>(std::floor(jd - 0.5)) + 1;  // F + 0.5
  const std::int64_t d0 = n - 1721426;  // days since 0001-01-01 (Gregorian)
  const std::int64_t k400 = FloorDiv(d0, 146097);
  const std::int64_t d1 = d0 - k400 * 146097;
  const std::int64_t k100 = d1 / 36524;
  const std::int64_t d2 = d1 - k100 * 36524;
  const std::int64_t k4 = d2 / 1461;
  const std::int64_t d3 = d2 - k4 * 1461;
  const std::int64_t k1 = d3 / 365;
  std::int64_t year = 400 * k400 + 100 * k100 + 4 * k4 + k1;
  if (k100 != 4 && k1 != 4) year += 1;
  const int y = static_cast<int>(year);
  const double f = static_cast<double>(n) - 0.5;
  const std::int64_t prior = static_cast<std::int64_t>(f - GregorianToJulianDay(y, 1, 1));
  int correction = 0;
  if (f >= GregorianToJulianDay(y, 3, 1)) correction = IsGregorianLeapYear(y) ? 1 : 2;
  const int month = static_cast<int>(FloorDiv(12 * (prior + correction) + 373, 367));
  const int day = static_cast<int>(f - GregorianToJulianDay(y, month, 1)) + 1;
  return {y, month, day};
}

CivilDate JulianDayToJulianCalendar(double jd) {
  const double z = std::floor(jd + 0.5);
  const double b = z + 1524;
  const double c = std::floor((b - 122.1) / 365.25);
  const double d = std::floor(365.25 * c);
  const double e = std::floor((b - d) / 30.6001);
  const int month = static_cast<int>(e < 14 ? e - 1 : e - 13);
  const int year = static_cast<int>(month > 2 ? c - 4716 : c - 4715);
  const int day = static_cast<int>(b - d - std::floor(30.6001 * e));
  return {year, month, day};
}

CivilDate JulianDayToCivilDate(double jd) {
  return jd < kGregorianStartJD ? JulianDayToJulianCalendar(jd) : JulianDayToGregorian(jd);
}

CivilDateTime JulianDayToCalendar(double jd) {
  CivilDateTime out;
  const double dayStart = std::floor(jd - 0.5) + 0.5;
  double f = std::fmod(jd - std::floor(jd) + 0.5, 1.0);
  int hour = static_cast<int>(24.0 * f);
  double rest = 24.0 * f - hour;
  int minute = static_cast<int>(60.0 * rest);
  rest = 60.0 * rest - minute;
  float seconds = static_cast<float>(60.0 * rest);
  if (seconds >= 59.999f) {
    seconds -= 60.0f;
    if (seconds < 0.0f) seconds = 0.0f;
    minute += 1;
  }
  if (minute >= 60) {
    minute -= 60;
    hour += 1;
  }
  double dateJd = dayStart;
  if (hour >= 24) {  // the carry reaches the next civil day
    hour -= 24;
    dateJd += 1.0;
  }
  const CivilDate date = JulianDayToCivilDate(dateJd);
  out.year = date.year;
  out.month = date.month;
  out.day = date.day;
  out.hour = hour;
  out.minute = minute;
  out.seconds = seconds;
  return out;
}

CivilDateTime RoundCivilSeconds(int year, int month, int day, int hour, int minute, double seconds,
                                int stepsPerSecond) {
  // Anything but the seconds of a minute (with some slack) is a caller's
  // fault; it reads as 0 rather than as a run of carried minutes.
  constexpr double kMaxAbsSeconds = 3600.0;
  if (!std::isfinite(seconds) || std::fabs(seconds) > kMaxAbsSeconds) seconds = 0.0;
  const long long stepsPerMinute = 60LL * stepsPerSecond;
  long long steps = std::llround(seconds * stepsPerSecond);
  long long carryMinutes = 0;
  while (steps >= stepsPerMinute) {
    steps -= stepsPerMinute;
    ++carryMinutes;
  }
  while (steps < 0) {
    steps += stepsPerMinute;
    --carryMinutes;
  }
  CivilDateTime out{year, month, day, hour, minute, static_cast<float>(static_cast<double>(steps) / stepsPerSecond)};
  if (carryMinutes != 0)
    AddMinutes(carryMinutes, year, month, day, hour, minute, out.year, out.month, out.day, out.hour, out.minute);
  return out;
}

void JulianDayToCalendar(double jd, int& year, int& month, int& day, int& hour,
                         int& minute, float& seconds) {
  const CivilDateTime t = JulianDayToCalendar(jd);
  year = t.year;
  month = t.month;
  day = t.day;
  hour = t.hour;
  minute = t.minute;
  seconds = t.seconds;
}

int WeekdayOf(int year, int month, int day) {
  return static_cast<int>(FloorMod(DayNumberOf(year, month, day) + 1, 7));
}

int LunarMansionOf(int year, int month, int day) {
  return static_cast<int>(FloorMod(DayNumberOf(year, month, day) + 11, 28));
}

PackedDate PackDate(int year, int month, int day) {
  if (year < 0) return -(-year * 10000 + month * 100 + day);
  return year * 10000 + month * 100 + day;
}

void UnpackDate(PackedDate packed, int& year, int& month, int& day) {
  year = packed / 10000;
  const int rest = packed - 10000 * year;
  month = rest / 100;
  day = rest - 100 * month;
  if (month < 0) month = -month;
  if (day < 0) day = -day;
}

void UnpackTime(PackedTime packed, int& hour, int& minute) {
  hour = packed / 100;
  minute = packed - 100 * hour;
  if (minute >= 60) {
    minute -= 60;
    hour += 1;
  }
}

void UnpackDateTime(PackedDate date, PackedTime time, int& year, int& month, int& day,
                    int& hour, int& minute) {
  UnpackDate(date, year, month, day);
  UnpackTime(time, hour, minute);
}

std::string FormatSexagesimal(double x) {
  const bool negative = x < 0;
  const double a = std::fabs(x);
  long long d = static_cast<long long>(a);
  long long m = static_cast<long long>(60.0 * (a - d));
  double s = 60.0 * (60.0 * (a - d) - m);
  // Seconds that print as 60.000 belong to the next minute.
  if (s >= 59.9995) {
    s = 0.0;
    if (++m == 60) {
      m = 0;
      ++d;
    }
  }
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, negative ? "-%lld:%02lld:%06.3f" : "%lld:%02lld:%06.3f", d, m, s);
  return buffer;
}

}  // namespace orv
