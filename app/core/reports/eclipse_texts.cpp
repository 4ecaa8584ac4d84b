#include "app/core/reports/eclipse_texts.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "app/core/reports/report_format.h"
#include "app/core/reports/reports.h"
#include "eclipses/riseset.h"
#include "ephemeris/sunmoon.h"

#include "time/dates.h"

namespace orv {
namespace {

using report::Format;

// A contact column: empty when the contact does not occur.
std::string InstantField(const CalcSettings& settings, const std::optional<double>& jd) {
  return jd ? EclipseDateTimeText(settings, *jd) : std::string();
}

const char* TypeName(EclipseKindName name) {
  switch (name) {
    case EclipseKindName::Total: return "total";
    case EclipseKindName::Annular: return "annular";
    case EclipseKindName::Partial: return "partial";
    case EclipseKindName::AnnularTotal: return "annular-total";
    case EclipseKindName::Penumbral: return "penumbral";
    case EclipseKindName::None: break;
  }
  return "";
}

const char* VisibilityName(EclipseVisibility v) {
  switch (v) {
    case EclipseVisibility::Visible: return "yes";
    case EclipseVisibility::OutsideShadow: return "no-shadow";
    case EclipseVisibility::BelowHorizon: return "below-horizon";
  }
  return "";
}

std::string GlobalRow(const CalcSettings& s, const FoundEclipse& e) {
  const ContactTimes& c = e.contacts;
  std::string row = e.solar ? "solar," : "lunar,";
  row += std::string(TypeName(e.solar ? SolarEclipseName(e.type) : LunarEclipseName(e.type))) + ",";
  row += EclipseDateTimeText(s, e.greatestJD) + Format(",%.6f,", e.greatestJD);
  if (e.solar) {
    row += Format("%.5f,,%.5f,%.4f,%.4f,", e.elements[kElemMagnitude], e.SignedGamma(),
                  e.point[kPointLongitudeDeg], e.point[kPointGeodeticLatitudeDeg]);
    row += InstantField(s, c[kSolarP1]) + "," + InstantField(s, c[kSolarU1]) + ",,," +
           InstantField(s, c[kSolarU4]) + "," + InstantField(s, c[kSolarP4]);
  } else {
    row += Format("%.5f,%.5f,%.5f,%.4f,%.4f,", e.elements[kLunarPenumbralMagnitude],
                  e.elements[kLunarUmbralMagnitude], e.SignedGamma(), e.point[kPointLongitudeDeg],
                  e.point[kPointGeocentricLatitudeDeg]);
    row += InstantField(s, c[kLunarP1]) + "," + InstantField(s, c[kLunarU1]) + "," + InstantField(s, c[kLunarU2]) +
           "," + InstantField(s, c[kLunarU3]) + "," + InstantField(s, c[kLunarU4]) + "," +
           InstantField(s, c[kLunarP4]);
  }
  return row;
}

std::string LocalSolarRow(const CalcSettings& s, const LocalEclipse& l) {
  const ContactTimes& c = l.contacts;
  std::string row = "solar,";
  if (l.visibility == EclipseVisibility::OutsideShadow) {
    // Nothing of the eclipse reaches the place: no local type or magnitude.
    row += "," + EclipseDateTimeText(s, l.maximumJD) + Format(",%.6f,,,,,,", l.maximumJD);
  } else {
    row += std::string(TypeName(SolarEclipseName(l.type))) + "," + EclipseDateTimeText(s, l.maximumJD) +
           Format(",%.6f,%.5f,,,,,", l.maximumJD, l.magnitude);
  }
  row += InstantField(s, c[kLocalC1]) + "," + InstantField(s, c[kLocalC2]) + ",,," + InstantField(s, c[kLocalC3]) +
         "," + InstantField(s, c[kLocalC4]);
  return row;
}

}  // namespace

std::string EclipseDateTimeText(const CalcSettings& settings, double jd) {
  const CivilDateTime t = JulianDayToCalendarTenths(jd + settings.ZoneOffsetDays);
  return Format("%d-%02d-%02d %02d:%02d:%04.1f", t.year, t.month, t.day, t.hour, t.minute,
                static_cast<double>(t.seconds));
}

std::string EclipsesCsv(EngineContext& ctx, const YearTables& tables, int year, bool local) {
  std::string out = "kind,type,greatest,jd,magnitude,umbral_magnitude,gamma,lon,lat,p1,u1,u2,u3,u4,p4";
  out += local ? ",visible\n" : "\n";
  auto list = std::make_unique<EclipseList>();
  FindEclipsesOfYear(ctx, tables, year, *list);
  for (int i = 0; i < list->count; ++i) {
    const FoundEclipse& e = list->items[i];
    if (!local) {
      out += GlobalRow(ctx.settings, e) + "\n";
      continue;
    }
    LocalEclipse l;
    LocalCircumstances(ctx, e, l);
    out += (e.solar ? LocalSolarRow(ctx.settings, l) : GlobalRow(ctx.settings, e)) + "," +
           VisibilityName(l.visibility) + "\n";
  }
  return out;
}

std::string RiseSetCsv(EngineContext& ctx, const std::string& timeZone, int year, int month, int day, int bodies,
                       bool twilight) {
  std::string out = "body,rise,set\n";
  const double jd0 = CalendarToJulianDay(year, month, day);
  const CalcSettings& s = ctx.settings;
  // Under the civil clock an instant is its reading, with the offset in
  // force, as the day report shows it; otherwise the selected time system.
  auto field = [&](const CalcSettings& settings, const std::optional<double>& instant) {
    if (!instant) return std::string();
    const double jd = *instant;
    std::string label;
    const double shown = ShownOnCivilClock(settings, timeZone, jd + settings.ZoneOffsetDays, label);
    if (label.empty()) return EclipseDateTimeText(settings, jd);
    const CivilDateTime t = JulianDayToCalendarTenths(shown);
    return Format("%d-%02d-%02d %02d:%02d:%04.1f", t.year, t.month, t.day, t.hour, t.minute,
                  static_cast<double>(t.seconds)) +
           label;
  };
  auto onDate = [&](const std::optional<double>& jd) {
    if (!jd) return false;
    const CivilDateTime t = JulianDayToCalendarTenths(*jd + s.ZoneOffsetDays);
    return t.year == year && t.month == month && t.day == day;
  };
  if (bodies & kRiseSetSun) {
    const RiseSetInstants r = RiseSetTimes(ctx, kBodySun, jd0);
    out += "sun," + field(s, r.riseJD) + "," + field(s, r.setJD) + "\n";
    for (int k = 0; twilight && k < kTwilightKinds; ++k) {
      const Twilight kind = static_cast<Twilight>(k);
      const TwilightInstants tw = TwilightAroundTransit(ctx, r.transitJD, TwilightDepressionDeg(kind));
      out += std::string(TwilightName(kind)) + "," + field(s, tw.dawnJD) + "," + field(s, tw.duskJD) + "\n";
    }
  }
  if (bodies & kRiseSetMoon) {
    RiseSetInstants r = RiseSetTimes(ctx, kBodyMoon, jd0);
    if (!onDate(r.riseJD) && !onDate(r.setJD)) r = RiseSetTimes(ctx, kBodyMoon, jd0 - 1.0);
    out += "moon," + field(s, r.riseJD) + "," + field(s, r.setJD) + "\n";
  }
  return out;
}

}  // namespace orv
