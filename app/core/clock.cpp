#include "app/core/clock.h"

namespace orv {

ClockReading SystemClock::Now() const {
  const std::time_t now = std::time(nullptr);
  ClockReading r;
  localtime_r(&now, &r.local);
  gmtime_r(&now, &r.utc);
  return r;
}

std::tm MakeTm(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

}  // namespace orv
