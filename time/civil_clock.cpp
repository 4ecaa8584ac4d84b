#include "time/civil_clock.h"

#include <cctz/civil_time.h>
#include <cctz/time_zone.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "time/dates.h"

namespace orv {
namespace {

using SysSeconds = cctz::time_point<cctz::seconds>;

// Julian Day of 1970-01-01 00:00 UTC.
constexpr double kUnixEpochJd = 2440587.5;

SysSeconds ToPoint(UnixSeconds s) { return SysSeconds(cctz::seconds(s)); }
UnixSeconds FromPoint(const SysSeconds& p) { return p.time_since_epoch().count(); }

cctz::civil_second ToCivil(const LocalReading& r) {
  return cctz::civil_second(r.year, r.month, r.day, r.hour, r.minute, r.second);
}
LocalReading FromCivil(const cctz::civil_second& c) {
  return {static_cast<int>(c.year()), c.month(), c.day(), c.hour(), c.minute(), c.second()};
}

}  // namespace

struct CivilClock::Impl {
  cctz::time_zone zone;
};

CivilClock::CivilClock(const std::string& ianaName) : name_(ianaName), impl_(new Impl) {
  valid_ = !ianaName.empty() && cctz::load_time_zone(ianaName, &impl_->zone);
  if (!valid_) impl_->zone = cctz::utc_time_zone();
}
CivilClock::~CivilClock() { delete impl_; }
CivilClock::CivilClock(const CivilClock& o) : name_(o.name_), valid_(o.valid_), impl_(new Impl(*o.impl_)) {}
CivilClock& CivilClock::operator=(const CivilClock& o) {
  if (this != &o) {
    name_ = o.name_;
    valid_ = o.valid_;
    *impl_ = *o.impl_;
  }
  return *this;
}

ClockState CivilClock::StateAt(UnixSeconds instant) const {
  const cctz::time_zone::absolute_lookup al = impl_->zone.lookup(ToPoint(instant));
  return {al.offset, al.is_dst, al.abbr ? al.abbr : ""};
}

LocalReading CivilClock::ReadingAt(UnixSeconds instant) const {
  return FromCivil(cctz::convert(ToPoint(instant), impl_->zone));
}

ReadingInstants CivilClock::InstantsOf(const LocalReading& reading) const {
  const cctz::time_zone::civil_lookup cl = impl_->zone.lookup(ToCivil(reading));
  ReadingInstants out;
  switch (cl.kind) {
    case cctz::time_zone::civil_lookup::UNIQUE:
      out.kind = ReadingKind::Unique;
      out.first = out.second = FromPoint(cl.pre);
      break;
    case cctz::time_zone::civil_lookup::SKIPPED:
      // CCTZ: `pre` uses the offset before the transition, `post` the one after.
      out.kind = ReadingKind::Skipped;
      out.first = FromPoint(cl.pre);
      out.second = FromPoint(cl.post);
      out.changeAt = FromPoint(cl.trans);
      break;
    case cctz::time_zone::civil_lookup::REPEATED:
      out.kind = ReadingKind::Repeated;
      out.first = FromPoint(cl.pre);
      out.second = FromPoint(cl.post);
      out.changeAt = FromPoint(cl.trans);
      break;
  }
  return out;
}

UnixSeconds UtcReadingToUnix(const LocalReading& utc) {
  return FromPoint(cctz::convert(ToCivil(utc), cctz::utc_time_zone()));
}

LocalReading UnixToUtcReading(UnixSeconds instant) {
  return FromCivil(cctz::convert(ToPoint(instant), cctz::utc_time_zone()));
}

double UnixToJulianDay(UnixSeconds instant) {
  return kUnixEpochJd + static_cast<double>(instant) / kSecondsPerDay;
}

UnixSeconds JulianDayToUnix(double jdUT) {
  return static_cast<UnixSeconds>(std::llround((jdUT - kUnixEpochJd) * kSecondsPerDay));
}

std::string FormatUtcOffset(int offsetSeconds) {
  const char sign = offsetSeconds < 0 ? '-' : '+';
  const int a = std::abs(offsetSeconds);
  char buf[16];
  if (a % 60 != 0)
    std::snprintf(buf, sizeof buf, "%c%02d:%02d:%02d", sign, a / 3600, a / 60 % 60, a % 60);
  else
    std::snprintf(buf, sizeof buf, "%c%02d:%02d", sign, a / 3600, a / 60 % 60);
  return buf;
}

}  // namespace orv
