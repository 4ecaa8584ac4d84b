#include "app/core/reports/birth_pillars.h"

#include <cmath>

#include "app/core/reports/report_format.h"
#include "ephemeris/sidereal.h"
#include "ephemeris/sunmoon.h"
#include "lunisolar/sexagenary.h"
#include "time/civil_clock.h"
#include "time/dates.h"
#include "time/timescales.h"

namespace orv {
namespace {

using report::Format;

constexpr double kMinutesPerDegree = 4.0;      // of longitude, in time
constexpr double kSecondsPerDegree = 240.0;
constexpr double kDegreesPerHourAngle = 15.0;
constexpr int kMinutesPerDay = 1440;
// Local solar time: the hour of 子 runs from 23:00 to 01:00, and the day's
// pillar steps at 23:00 with it (the same custom that puts the boundary at
// 23:30 on the 135th meridian's clock for Korea's 127.5th meridian).
constexpr int kSolarZiStartMinute = 23 * 60;
// A clock within a second of the standard meridian's time is not corrected.
constexpr double kNoCorrectionMinutes = 1.0 / 60.0;

struct Reading {
  int y = 0, m = 0, d = 0, h = 0, mi = 0;
};

// The reading of a Julian Day, rounded to the minute.
Reading ReadingOf(double jd) {
  Reading r;
  float seconds = 0.0f;
  JulianDayToCalendar(jd + 30.0 / kSecondsPerDay, r.y, r.m, r.d, r.h, r.mi, seconds);
  return r;
}

double JdOf(int y, int m, int d, int h, int mi) { return CalendarToJulianDay(y, m, d) + (h * 60 + mi) / 1440.0; }

// Day and hour pillars from a local solar reading (子 from 23:00).
void SolarDayAndHour(const YearTables& tables, const Reading& r, SexagenaryIndices& p) {
  const int minuteOfDay = r.h * 60 + r.mi;
  int day = SexagenaryOfInstant(tables, r.y, r.m, r.d, 12, 0).day;
  if (minuteOfDay >= kSolarZiStartMinute) day = (day + 1) % 60;
  const int branch = ((minuteOfDay + 60) / 120) % 12;
  p.day = day;
  p.hour = HourPillarIndex(day, branch);
}

// UT Julian Day of a reading in the selected time system.
double UtOfSystemReading(const CalcSettings& settings, double jdSystem) {
  TimeState t;
  t.CurrentJD = jdSystem - settings.ZoneOffsetDays;
  UpdateTimeScales(t, settings);
  return t.CurrentUT;
}

// Reading in the selected time system of a UT Julian Day.
double SystemOfUt(const CalcSettings& settings, double jdUT) {
  if (settings.TimeSystemCode == kTimeTT) return jdUT + DeltaTModel(settings, jdUT) / kSecondsPerDay;
  return jdUT + settings.ZoneOffsetDays;
}

// Pillars of one instant (UT) for the rule of `reading`.
void PillarsOfInstant(ReportInputs& in, const PlaceRecord& place, const BirthReading& reading, double jdUT,
                      bool systemFromClock, BirthPillars& out) {
  const CalcSettings& settings = in.engine.settings;
  const double jdSystem = systemFromClock ? JdOf(reading.year, reading.month, reading.day, reading.hour, reading.minute)
                                          : SystemOfUt(settings, jdUT);
  const Reading sys = ReadingOf(jdSystem);
  out.systemJd = jdSystem;
  out.sysYear = sys.y;
  out.sysMonth = sys.m;
  out.sysDay = sys.d;
  out.sysHour = sys.h;
  out.sysMinute = sys.mi;
  EnsureYearLoaded(in, sys.y);
  out.pillars = SexagenaryOfInstant(in.tables, sys.y, sys.m, sys.d, sys.h, sys.mi);
  if (!systemFromClock) {
    // A civil reading: day and hour on the place's standard time whatever
    // the time system of the tables (which only place the terms).
    const Reading standard = ReadingOf(jdUT + place.meridian / 360.0);
    const SexagenaryIndices s = SexagenaryOfInstant(in.tables, standard.y, standard.m, standard.d, standard.h,
                                                    standard.mi);
    out.pillars.day = s.day;
    out.pillars.hour = s.hour;
  }
  if (reading.hourRule == HourRule::Standard) return;

  out.longitudeMinutes = (place.longitude - place.meridian) * kMinutesPerDegree;
  double localJd = jdUT + place.longitude / 360.0;  // local mean solar time
  if (reading.hourRule == HourRule::True) {
    // Apparent solar time = hour angle of the true Sun + 12 h, from the
    // engine's apparent right ascension and sidereal time.
    const double engineJd = settings.TimeSystemCode == kTimeTT ? jdUT + DeltaTModel(settings, jdUT) / kSecondsPerDay
                                                               : jdUT;
    const EquatorialPlace sun = SunMoonEquatorial(in.engine, 0, engineJd);
    const double gastHours = ApparentSiderealTime(in.engine, InstantAt(settings, engineJd));
    const double hourAngleDeg = gastHours * kDegreesPerHourAngle + place.longitude - sun.rightAscensionDeg;
    const double apparentMinutes = std::fmod(hourAngleDeg * kMinutesPerDegree + 720.0 + 10 * kMinutesPerDay,
                                             static_cast<double>(kMinutesPerDay));
    const double meanMinutes = std::fmod((localJd + 0.5 - std::floor(localJd + 0.5)) * kMinutesPerDay,
                                         static_cast<double>(kMinutesPerDay));
    double eot = apparentMinutes - meanMinutes;
    if (eot > kMinutesPerDay / 2) eot -= kMinutesPerDay;
    if (eot < -kMinutesPerDay / 2) eot += kMinutesPerDay;
    out.equationOfTimeMinutes = eot;
    localJd += eot / kMinutesPerDay;
  }
  const Reading solar = ReadingOf(localJd);
  out.solarYear = solar.y;
  out.solarMonth = solar.m;
  out.solarDay = solar.d;
  out.solarHour = solar.h;
  out.solarMinute = solar.mi;
  EnsureYearLoaded(in, sys.y);
  SolarDayAndHour(in.tables, solar, out.pillars);
}

std::string Minutes(double minutes) { return Format("%+.1f분", minutes); }

}  // namespace

std::string PillarNames(const SexagenaryIndices& p) {
  return std::string(SexagenaryNames[p.year]) + " " + SexagenaryNames[p.month] + " " + SexagenaryNames[p.day] + " " +
         SexagenaryNames[p.hour];
}

BirthPillars ComputeBirthPillars(ReportInputs& in, const PlaceRecord& place, const BirthReading& reading) {
  BirthPillars out;
  if (!IsValidDate(reading.year, reading.month, reading.day) || reading.hour < 0 || reading.hour > 23 ||
      reading.minute < 0 || reading.minute > 59) {
    out.error = "날짜나 시각이 올바르지 않습니다.";
    return out;
  }
  const CalcSettings& settings = in.engine.settings;
  if (reading.clock == BirthClock::Standard) {
    const double jdUT =
        UtOfSystemReading(settings, JdOf(reading.year, reading.month, reading.day, reading.hour, reading.minute));
    PillarsOfInstant(in, place, reading, jdUT, true, out);
    out.ok = true;
    return out;
  }

  if (place.timeZone.empty()) {
    out.error = "이 지역에는 시간대(IANA) 정보가 없어 현지 시계를 쓸 수 없습니다. 표준시로 입력하십시오.";
    return out;
  }
  if (reading.year < kFirstCivilClockYear) {
    out.error = Format("현지 시계는 %d년부터 계산합니다.", kFirstCivilClockYear);
    return out;
  }
  const CivilClock clock(place.timeZone);
  if (!clock.valid()) {
    out.error = "시간대 " + place.timeZone + "을(를) 시스템의 tzdata에서 찾을 수 없습니다.";
    return out;
  }
  const LocalReading local{reading.year, reading.month, reading.day, reading.hour, reading.minute, 0};
  const ReadingInstants instants = clock.InstantsOf(local);
  const UnixSeconds asUtc = UtcReadingToUnix(local);
  if (instants.kind == ReadingKind::Skipped) {
    const ClockState before = clock.StateAt(instants.changeAt - 1);
    const ClockState after = clock.StateAt(instants.changeAt);
    // The clock read `from` at the change and went on from `to`.
    const LocalReading from = UnixToUtcReading(instants.changeAt + before.offsetSeconds);
    const LocalReading to = UnixToUtcReading(instants.changeAt + after.offsetSeconds);
    out.error = Format("%04d-%02d-%02d %02d:%02d은(는) %s의 시계에 없던 시각입니다: %02d:%02d(%s UTC%s)에 "
                       "%02d:%02d(%s UTC%s)로 넘어갔습니다.",
                       reading.year, reading.month, reading.day, reading.hour, reading.minute, place.timeZone.c_str(),
                       from.hour, from.minute, before.abbreviation.c_str(), FormatUtcOffset(before.offsetSeconds).c_str(),
                       to.hour, to.minute, after.abbreviation.c_str(), FormatUtcOffset(after.offsetSeconds).c_str());
    return out;
  }
  UnixSeconds used = instants.first;
  UnixSeconds other = instants.second;
  if (instants.kind == ReadingKind::Repeated && reading.laterOfRepeated) std::swap(used, other);

  const ClockState state = clock.StateAt(used);
  out.clockOffsetSeconds = static_cast<int>(asUtc - used);
  out.clockAbbreviation = state.abbreviation;
  out.daylightSaving = state.daylightSaving;
  out.clockMinusStandardMinutes = (out.clockOffsetSeconds - place.meridian * kSecondsPerDegree) / 60.0;
  PillarsOfInstant(in, place, reading, UnixToJulianDay(used), false, out);
  if (instants.kind == ReadingKind::Repeated) {
    BirthPillars second;
    PillarsOfInstant(in, place, reading, UnixToJulianDay(other), false, second);
    out.repeated = true;
    out.otherOffsetSeconds = static_cast<int>(asUtc - other);
    out.otherAbbreviation = clock.StateAt(other).abbreviation;
    out.otherPillars = second.pillars;
    // The tables may now hold another year: take the used instant's back.
    EnsureYearLoaded(in, out.sysYear);
  }
  out.ok = true;
  return out;
}

std::vector<std::string> BirthPillarsNotes(const BirthPillars& r, const PlaceRecord& place,
                                           const BirthReading& reading) {
  std::vector<std::string> lines;
  if (!r.ok) return {r.error};
  if (reading.clock == BirthClock::Civil) {
    lines.push_back(Format("시계: %s의 현지 시계, %s UTC%s%s", place.timeZone.c_str(), r.clockAbbreviation.c_str(),
                           FormatUtcOffset(r.clockOffsetSeconds).c_str(), r.daylightSaving ? " (섬머타임)" : ""));
    if (std::fabs(r.clockMinusStandardMinutes) < kNoCorrectionMinutes)
      lines.push_back(Format("표준시(자오선 %.3f°)와의 차: 없음, 보정 없음 → 달력 시각 %04d-%02d-%02d %02d:%02d",
                             static_cast<double>(place.meridian), r.sysYear, r.sysMonth, r.sysDay, r.sysHour,
                             r.sysMinute));
    else
      lines.push_back(Format("표준시(자오선 %.3f°)와의 차: %s → 달력 시각 %04d-%02d-%02d %02d:%02d",
                             static_cast<double>(place.meridian), Minutes(r.clockMinusStandardMinutes).c_str(),
                             r.sysYear, r.sysMonth, r.sysDay, r.sysHour, r.sysMinute));
  } else {
    lines.push_back(Format("시계: 표준시(자오선 %.3f°), 보정 없음", static_cast<double>(place.meridian)));
  }
  switch (reading.hourRule) {
    case HourRule::Standard:
      lines.push_back("시주: 표준시 기준(23:30에 子時)");
      break;
    case HourRule::Mean:
      lines.push_back(Format("시주: 평균태양시 (경도 %.3f°, 경도 보정 %s) → %04d-%02d-%02d %02d:%02d",
                             place.longitude, Minutes(r.longitudeMinutes).c_str(), r.solarYear, r.solarMonth,
                             r.solarDay, r.solarHour, r.solarMinute));
      break;
    case HourRule::True:
      lines.push_back(Format("시주: 진태양시 (경도 %.3f°, 경도 보정 %s, 균시차 %s) → %04d-%02d-%02d %02d:%02d",
                             place.longitude, Minutes(r.longitudeMinutes).c_str(),
                             Minutes(r.equationOfTimeMinutes).c_str(), r.solarYear, r.solarMonth, r.solarDay,
                             r.solarHour, r.solarMinute));
      break;
  }
  if (r.repeated)
    lines.push_back(Format("겹친 시각: %04d-%02d-%02d %02d:%02d은(는) 두 번 있었습니다. %s(UTC%s) 쪽을 썼습니다; "
                           "%s(UTC%s) 쪽이면 %s",
                           reading.year, reading.month, reading.day, reading.hour, reading.minute,
                           r.clockAbbreviation.c_str(), FormatUtcOffset(r.clockOffsetSeconds).c_str(),
                           r.otherAbbreviation.c_str(), FormatUtcOffset(r.otherOffsetSeconds).c_str(),
                           PillarNames(r.otherPillars).c_str()));
  return lines;
}

}  // namespace orv
