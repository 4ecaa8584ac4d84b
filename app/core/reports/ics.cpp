#include "app/core/reports/ics.h"

#include "app/core/year_service.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "app/core/reports/report_format.h"
#include "eclipses/eclipse_year.h"
#include "ephemeris/mean_periods.h"
#include "lunisolar/prepare.h"
#include "lunisolar/terms.h"

namespace orv {
namespace {

constexpr int kFoldOctets = 75;
// Brown's lunation number 1 began with the new moon of 1923-01-17 (JD 2423436.6);
// the mean synodic month in days. Used only to name new and full moons stably.
constexpr double kBrownLunationEpochJD = 2423436.6;

using report::Format;

// Proleptic Gregorian fields of a Julian Day (iCalendar knows no Julian dates).
struct Gregorian {
  int year, month, day, hour, minute, second;
};

Gregorian GregorianFields(double jd) {
  // Round to the second first so that 59.9996 s never prints as 60.
  const double seconds = std::floor((jd + 0.5 - std::floor(jd + 0.5)) * kSecondsPerDay + 0.5);
  double dayStart = std::floor(jd + 0.5) - 0.5;
  long total = static_cast<long>(seconds);
  if (total >= static_cast<long>(kSecondsPerDay)) {
    total -= static_cast<long>(kSecondsPerDay);
    dayStart += 1.0;
  }
  const CivilDate date = JulianDayToGregorian(dayStart + 0.5);
  return {date.year, date.month, date.day, static_cast<int>(total / 3600), static_cast<int>(total / 60 % 60),
          static_cast<int>(total % 60)};
}

std::string OffsetText(float meridianDeg) {
  const long seconds = std::lround(meridianDeg / 15.0 * 3600.0);
  const long a = std::labs(seconds);
  if (a % 60 == 0) return Format("%c%02ld%02ld", seconds < 0 ? '-' : '+', a / 3600, a / 60 % 60);
  return Format("%c%02ld%02ld%02ld", seconds < 0 ? '-' : '+', a / 3600, a / 60 % 60, a % 60);
}

std::string ZoneId(float meridianDeg) { return "Orvanta-UTC" + OffsetText(meridianDeg); }

void AddLine(std::string& out, const std::string& line) { out += IcsFold(line) + "\r\n"; }

int LunationNumber(double jd) {
  return static_cast<int>(std::lround((jd - kBrownLunationEpochJD) / kSynodicMonthDays)) + 1;
}

}  // namespace

std::string IcsEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case ';': out += "\\;"; break;
      case ',': out += "\\,"; break;
      case '\n': out += "\\n"; break;
      case '\r': break;
      default:
        // Other control characters (a NUL from a damaged file among them)
        // have no place in a content line (RFC 5545, 3.3.11).
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') break;
        out += c;
    }
  }
  return out;
}

std::string IcsFold(const std::string& line) {
  std::string out;
  size_t lineOctets = 0;
  size_t i = 0;
  while (i < line.size()) {
    // Length of the UTF-8 sequence that starts here.
    const unsigned char c = static_cast<unsigned char>(line[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
    if (i + n > line.size()) n = line.size() - i;
    if (lineOctets + n > kFoldOctets) {
      out += "\r\n ";
      lineOctets = 1;  // the leading space
    }
    out.append(line, i, n);
    lineOctets += n;
    i += n;
  }
  return out;
}

std::string FormatIcs(const std::vector<IcsEvent>& events, float zoneMeridianDeg, const std::string& zoneName,
                      const std::string& stampUtc) {
  std::string out;
  AddLine(out, "BEGIN:VCALENDAR");
  AddLine(out, "VERSION:2.0");
  AddLine(out, "PRODID:-//Orvanta//Orvanta calendar//KO");
  AddLine(out, "CALSCALE:GREGORIAN");
  AddLine(out, "METHOD:PUBLISH");
  AddLine(out, "X-WR-CALNAME:" + IcsEscape("Orvanta " + zoneName));
  const std::string tzid = ZoneId(zoneMeridianDeg);
  AddLine(out, "BEGIN:VTIMEZONE");
  AddLine(out, "TZID:" + tzid);
  AddLine(out, "BEGIN:STANDARD");
  AddLine(out, "DTSTART:16010101T000000");
  AddLine(out, "TZOFFSETFROM:" + OffsetText(zoneMeridianDeg));
  AddLine(out, "TZOFFSETTO:" + OffsetText(zoneMeridianDeg));
  AddLine(out, "TZNAME:" + IcsEscape("UTC" + OffsetText(zoneMeridianDeg)));
  AddLine(out, "END:STANDARD");
  AddLine(out, "END:VTIMEZONE");
  const double zoneDays = zoneMeridianDeg / 360.0;
  // A UID names one event: a second event with the same one (two memos of the
  // same day and name) gets "-2" before the "@", a third "-3", and so on.
  std::map<std::string, int> uidUses;
  for (const IcsEvent& e : events) {
    AddLine(out, "BEGIN:VEVENT");
    const int use = ++uidUses[e.uid];
    std::string uid = e.uid;
    if (use > 1) {
      const size_t at = uid.find('@');
      uid.insert(at == std::string::npos ? uid.size() : at, "-" + std::to_string(use));
    }
    AddLine(out, "UID:" + IcsEscape(uid));
    AddLine(out, "DTSTAMP:" + stampUtc);
    if (e.allDay) {
      const double jd = CalendarToJulianDay(e.year, e.month, e.day);
      const Gregorian g = GregorianFields(jd);
      const Gregorian next = GregorianFields(jd + 1.0);
      AddLine(out, Format("DTSTART;VALUE=DATE:%04d%02d%02d", g.year, g.month, g.day));
      AddLine(out, Format("DTEND;VALUE=DATE:%04d%02d%02d", next.year, next.month, next.day));
      AddLine(out, "TRANSP:TRANSPARENT");
    } else {
      const Gregorian g = GregorianFields(e.jdUT + zoneDays);
      AddLine(out, Format("DTSTART;TZID=%s:%04d%02d%02dT%02d%02d%02d", tzid.c_str(), g.year, g.month, g.day, g.hour,
                          g.minute, g.second));
      AddLine(out, "TRANSP:TRANSPARENT");
    }
    AddLine(out, "SUMMARY:" + IcsEscape(e.summary));
    if (!e.description.empty()) AddLine(out, "DESCRIPTION:" + IcsEscape(e.description));
    if (!e.category.empty())
      AddLine(out, "CATEGORIES:" + IcsEscape(e.category) +
                       (e.secondCategory.empty() ? "" : "," + IcsEscape(e.secondCategory)));
    AddLine(out, "END:VEVENT");
  }
  AddLine(out, "END:VCALENDAR");
  return out;
}

std::vector<IcsEvent> AstronomicalIcsEvents(EngineContext& ctx, YearTables& tables, YearService& years,
                                            bool correctionWanted,
                                            int fromYear, int toYear, const IcsSelection& selection) {
  std::vector<IcsEvent> events;
  const double zone = ctx.settings.ZoneOffsetDays;
  // The UT of an instant of the lists (selected time system).
  auto toUT = [&](double listedJD) {
    TimeState listed;
    listed.CurrentJD = listedJD - zone;
    UpdateTimeScales(listed, ctx.settings);
    return listed.CurrentUT;
  };
  for (int year = fromYear; year <= toYear; ++year) {
    years.Prepare(ctx, tables, year, correctionWanted);
    if (selection.terms) {
      for (const SolarTermRecord& r : tables.SolarTermList) {
        if (r.date == 0) break;
        ListedMinute listed;
        UnpackDateTime(r.date, r.time(), listed.y, listed.m, listed.d, listed.h, listed.mi);
        if (listed.y != year) continue;
        const RefinedMinute refined =
            RefineTermSeconds(ctx, r.longitude, listed).value_or(RefinedMinute{listed, static_cast<float>(r.seconds)});
        const auto [y, m, d, h, mi] = refined.minute;
        const float s = refined.seconds;
        IcsEvent e;
        e.uid = Format("term-%d-%02d@orvanta", year, r.termIndex);
        e.jdUT = toUT(JulianDayAtSecond(CalendarToJulianDay(y, m, d), h, mi, s));
        e.summary = SolarTermNames[r.termIndex];
        e.description = Format("태양 황경 %d°", r.longitude);
        e.category = "절기";
        events.push_back(e);
      }
    }
    if (selection.syzygies) {
      for (const SyzygyRecord& r : tables.SyzygyList) {
        if (r.date == 0) break;
        ListedMinute listed;
        UnpackDateTime(r.date, r.time(), listed.y, listed.m, listed.d, listed.h, listed.mi);
        if (listed.y != year) continue;
        const bool isNew = r.isNewMoon();
        const RefinedMinute refined =
            RefineSyzygySeconds(ctx, isNew ? SyzygyKind::kNewMoon : SyzygyKind::kFullMoon, listed)
                .value_or(RefinedMinute{listed, static_cast<float>(r.seconds)});
        const auto [y, m, d, h, mi] = refined.minute;
        const float s = refined.seconds;
        IcsEvent e;
        e.jdUT = toUT(JulianDayAtSecond(CalendarToJulianDay(y, m, d), h, mi, s));
        // Full moons take the number of the lunation they fall in.
        e.uid = Format("%s-%d@orvanta", isNew ? "newmoon" : "fullmoon",
                       LunationNumber(e.jdUT - (isNew ? 0.0 : kSynodicMonthDays / 2)));
        e.summary = isNew ? "합삭 (New moon)" : "망 (Full moon)";
        e.category = "삭망";
        events.push_back(e);
      }
    }
    if (selection.eclipses) {
      EclipseList list;
      FindEclipsesOfYear(ctx, tables, year, list);
      for (int i = 0; i < list.count; ++i) {
        const FoundEclipse& f = list.items[i];
        IcsEvent e;
        e.jdUT = toUT(f.greatestJD + zone);
        e.uid = Format("%seclipse-%d@orvanta", f.solar ? "solar" : "lunar",
                       LunationNumber(f.greatestJD - (f.solar ? 0.0 : kSynodicMonthDays / 2)));
        e.summary = f.solar ? "일식 (Solar eclipse)" : "월식 (Lunar eclipse)";
        e.description = "최대 식";
        e.category = "일월식";
        events.push_back(e);
      }
    }
  }
  return events;
}

}  // namespace orv
