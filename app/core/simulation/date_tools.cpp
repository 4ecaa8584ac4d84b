#include "app/core/simulation/date_tools.h"

#include <charconv>
#include <cmath>

#include "app/core/simulation/simulation.h"

namespace orv {
namespace {

constexpr long long kMinutesPerDay64 = 1440;
// Largest day count accepted: about 5.9 million years either way, so the
// result stays an ordinary date.
constexpr long long kMaxElapsedDays = 2147483647LL;

bool CheckDate(const CivilDate& date, MessageSink& messages) {
  if (IsUsableDate(date.year, date.month, date.day)) return true;
  messages.Show(InvalidDateMessage(date.year, date.month, date.day), "오류", MessageButtons::Ok, MessageIcon::Error);
  return false;
}

template <class T>
std::string Shortest(T value) {
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, r.ptr);
}

}  // namespace

bool ElapsedDate(int year, int month, int day, long long days, CivilDate& result, MessageSink& messages) {
  if (!CheckDate({year, month, day}, messages)) return false;
  if (days > kMaxElapsedDays) days = kMaxElapsedDays;
  if (days < -kMaxElapsedDays) days = -kMaxElapsedDays;
  int y, m, d, h, mi;
  AddMinutes(days * kMinutesPerDay64, year, month, day, 0, 0, y, m, d, h, mi);
  result = {y, m, d};
  return true;
}

bool DaysBetweenDates(const CivilDate& first, const CivilDate& second, long long& days, MessageSink& messages) {
  if (!CheckDate(first, messages) || !CheckDate(second, messages)) return false;
  days = DaysBetween(first.year, first.month, first.day, second.year, second.month, second.day);
  return true;
}

bool JulianDateToCalendarFields(double jd, CivilDateTime& out) {
  if (!(std::fabs(jd) <= kLargestJulianDate)) return false;
  out = JulianDayToCalendar(jd);
  return true;
}

double CalendarFieldsToJulianDate(int year, int month, int day, double hour, double minute, double second) {
  // The factors are 1/24, 1/1440 and 1/86400 as doubles.
  return CalendarToJulianDay(year, month, day) + hour * 0.041666666666666664 + minute * 0.0006944444444444445 +
         second * 1.1574074074074073e-05;
}

std::string ShortestDecimalText(double value) { return Shortest(value); }
std::string ShortestDecimalText(float value) { return Shortest(value); }

}  // namespace orv
