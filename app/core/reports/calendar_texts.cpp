#include "app/core/reports/calendar_texts.h"

#include <cstdio>

#include "app/core/reports/report_format.h"
#include "lunisolar/terms.h"

namespace orv {
namespace {

using report::Format;

int YearOf(PackedDate date) {
  int y, m, d;
  UnpackDate(date, y, m, d);
  return y;
}

constexpr int kHundredthsPerSecond = 100;

// "Y-MM-DD hh:mm:ss.ss" and the Julian Day (selected time system less the zone).
std::string DateTimeAndJd(const CalcSettings& settings, int y, int m, int d, int h, int mi, float seconds) {
  const double jd = JulianDayAtSecond(CalendarToJulianDay(y, m, d), h, mi, seconds) - settings.ZoneOffsetDays;
  // Rounded as printed, with the carry into the minute, hour and date (an
  // event 3 ms before midnight reads 00:00:00.00 of the next day, as in the
  // reports), never "23:59:60.00".
  const CivilDateTime t = RoundCivilSeconds(y, m, d, h, mi, seconds, kHundredthsPerSecond);
  return Format("%d-%02d-%02d %02d:%02d:%05.2f,%.6f", t.year, t.month, t.day, t.hour, t.minute,
                static_cast<double>(t.seconds), jd);
}

}  // namespace

std::string SolarTermsCsv(EngineContext& ctx, const YearTables& tables, int year) {
  std::string out = "index,longitude,name,datetime,jd\n";
  for (const SolarTermRecord& r : tables.SolarTermList) {
    if (r.date == 0) break;
    if (YearOf(r.date) != year) continue;
    ListedMinute listed;
    UnpackDateTime(r.date, r.time(), listed.y, listed.m, listed.d, listed.h, listed.mi);
    const RefinedMinute refined =
        RefineTermSeconds(ctx, r.longitude, listed).value_or(RefinedMinute{listed, static_cast<float>(r.seconds)});
    const auto [y, m, d, h, mi] = refined.minute;
    const float seconds = refined.seconds;
    // The list keeps the spring equinox as 360 (its search target); the
    // longitude of the ecliptic there is 0.
    out += Format("%d,%d,%s,", r.termIndex, r.longitude % 360, SolarTermNames[r.termIndex]) +
           DateTimeAndJd(ctx.settings, y, m, d, h, mi, seconds) + "\n";
  }
  return out;
}

std::string SyzygiesCsv(EngineContext& ctx, const YearTables& tables, int year) {
  std::string out = "kind,datetime,jd\n";
  for (const SyzygyRecord& r : tables.SyzygyList) {
    if (r.date == 0) break;
    if (YearOf(r.date) != year) continue;
    ListedMinute listed;
    UnpackDateTime(r.date, r.time(), listed.y, listed.m, listed.d, listed.h, listed.mi);
    const SyzygyKind kind = r.isNewMoon() ? SyzygyKind::kNewMoon : SyzygyKind::kFullMoon;
    const RefinedMinute refined =
        RefineSyzygySeconds(ctx, kind, listed).value_or(RefinedMinute{listed, static_cast<float>(r.seconds)});
    const auto [y, m, d, h, mi] = refined.minute;
    const float seconds = refined.seconds;
    out += std::string(r.isNewMoon() ? "new," : "full,") + DateTimeAndJd(ctx.settings, y, m, d, h, mi, seconds) +
           "\n";
  }
  return out;
}

std::string DayTableCsv(const CalendarOfDays& days) {
  std::string out = "solar,lunar_year,lunar_month,lunar_day,leap,month_length\n";
  for (const CalendarDay& day : days.Days()) {
    const CivilDate& s = day.solar;
    const LunarDay& l = day.lunar;
    if (!l.Known()) {
      out += Format("%d-%02d-%02d,,,,,\n", s.year, s.month, s.day);
      continue;
    }
    out += Format("%d-%02d-%02d,%d,%d,%d,%d,%d\n", s.year, s.month, s.day, l.year, l.month, l.day, l.leap ? 1 : 0,
                  l.monthLength);
  }
  return out;
}

}  // namespace orv
