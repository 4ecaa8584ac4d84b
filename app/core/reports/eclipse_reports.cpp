#include "app/core/reports/eclipse_reports.h"

#include <memory>
#include <optional>

#include "app/core/reports/report_format.h"
#include "eclipses/eclipse_year.h"
#include "time/timescales.h"

namespace orv {
namespace {

using report::Format;
using report::Repeat;

// PLAN404 eclipses are trusted within these years only.
constexpr int kPlan404EclipseFirstYear = -3000;
constexpr int kPlan404EclipseLastYear = 3000;

// "hh:mm:ss.s" of an instant (zone offset already added), marked "(지하)" by
// the mode; "--:--:--.-" for a contact that does not occur.
std::string ContactText(int mode, const std::optional<double>& jd, double zone, double sunrise, double sunset) {
  if (!jd) return "--:--:--.-";
  return FormatContactTime(mode, *jd + zone, sunrise, sunset);
}

// The contact lines of a solar eclipse: the penumbral phase (P1-P4 or C1-C4)
// and the umbral phase (U1-U4 or C2-C3), named by the eclipse type.
std::string SolarContactLines(int mode, EclipseType type, const std::optional<double>& partialBegin,
                              const std::optional<double>& partialEnd, const std::optional<double>& centralBegin,
                              const std::optional<double>& centralEnd, double zone, double sunrise,
                              double sunset) {
  std::string out;
  if (partialBegin)
    out += Format("\n    부분식(반영외접P1-P4)\t ; %s - %s",
                  ContactText(mode, partialBegin, zone, sunrise, sunset).c_str(),
                  ContactText(mode, partialEnd, zone, sunrise, sunset).c_str());
  if (centralBegin) {
    const char* format = nullptr;
    switch (SolarEclipseName(type)) {
      case EclipseKindName::Annular: format = "\n    금환식(본영외접U1-U4)\t ; %s - %s"; break;
      case EclipseKindName::AnnularTotal: format = "\n    금환개기식(본영외접U1-U4)\t ; %s - %s"; break;
      case EclipseKindName::Total: format = "\n    개기식(본영외접U1-U4)\t ; %s - %s"; break;
      default: break;
    }
    if (format)
      out += Format(format, ContactText(mode, centralBegin, zone, sunrise, sunset).c_str(),
                    ContactText(mode, centralEnd, zone, sunrise, sunset).c_str());
  }
  return out;
}

std::string GreatestLine(const char* format, double jd, double zone, const std::string& place, double a,
                         double b = 0.0) {
  const report::TenthsTime t = report::JulianDayToTenths(jd + zone);
  return Format(format, t.month, t.day, t.hour, t.minute, t.seconds, place.c_str(), a, b);
}

std::string GammaLine(const CalcSettings& settings, const FoundEclipse& e) {
  return Format("\tGamma = %.5f,\t Delta_T = %.3fs", e.SignedGamma(), DeltaTAt(settings, e.greatestJD));
}

std::string LunarBody(const CalcSettings& settings, const FoundEclipse& e, int mode, double zone, double sunrise,
                      double sunset) {
  std::string out;
  switch (LunarEclipseName(e.type)) {
    case EclipseKindName::Total: out += "\n개기(Total)월식"; break;
    case EclipseKindName::Penumbral: out += "\n반영(Penumbral)월식"; break;
    case EclipseKindName::Partial: out += "\n부분(Partial)월식"; break;
    default: break;
  }
  out += GammaLine(settings, e);
  const ContactTimes& c = e.contacts;
  if (c[kLunarP1])
    out += Format("\n    반영식(반영외접P1-P4)\t ; %s - %s", ContactText(mode, c[kLunarP1], zone, sunrise, sunset).c_str(),
                  ContactText(mode, c[kLunarP4], zone, sunrise, sunset).c_str());
  if (c[kLunarU1])
    out += Format("\n    본영식(본영외접U1-U4)\t ; %s - %s", ContactText(mode, c[kLunarU1], zone, sunrise, sunset).c_str(),
                  ContactText(mode, c[kLunarU4], zone, sunrise, sunset).c_str());
  if (c[kLunarU2])
    out += Format("\n    개기식(본영내접U2-U3)\t ; %s - %s", ContactText(mode, c[kLunarU2], zone, sunrise, sunset).c_str(),
                  ContactText(mode, c[kLunarU3], zone, sunrise, sunset).c_str());
  return out;
}

std::string SolarHeading(const FoundEclipse& e, double zone) {
  return GreatestLine("\n\n일식,%02d월%02d일 %02d:%02d:%04.1f@%s(식분;%.5f)", e.greatestJD, zone,
                      FormatGeoPosition(e.point[kPointLongitudeDeg], e.point[kPointGeodeticLatitudeDeg]),
                      e.elements[kElemMagnitude]);
}

std::string LunarHeading(const FoundEclipse& e, double zone) {
  return GreatestLine("\n\n월식,%02d월%02d일 %02d:%02d:%04.1f@%s(반/본영;%.5f/%.5f)", e.greatestJD, zone,
                      FormatGeoPosition(e.point[kPointLongitudeDeg], e.point[kPointGeodeticLatitudeDeg]),
                      e.elements[kLunarPenumbralMagnitude], e.elements[kLunarUmbralMagnitude]);
}

std::string Title(const CalcSettings& settings, int year) {
  const std::string note = TimeSystemNote(settings);
  std::string out = year <= 0 ? Format("기원전 %d년의 日蝕 및 月蝕(양력날짜, %s\n\n", 1 - year, note.c_str())
                              : Format("기원후 %d년의 日蝕 및 月蝕(양력날짜, %s\n\n", year, note.c_str());
  return out + "월/일,시:분은 최대식발생시각, @경도/위도는 최대식관측지, ( )는蝕分";
}

// The zone offset (days) of the times shown for an eclipse: the settings'
// one, or under the civil-clock system the clock's offset at the greatest
// phase (one offset for the whole eclipse), with its label.
double EclipseZone(const ReportInputs& in, const FoundEclipse& e, std::string& label) {
  const double zone = in.engine.settings.ZoneOffsetDays;
  return ShownOnCivilClock(in, e.greatestJD + zone, label) - e.greatestJD;
}

std::string Closing(ReportInputs& in, int year, bool local) {
  std::string out;
  if (in.engine.settings.EphemerisCode == kEphemerisPlan404 &&
      (year < kPlan404EclipseFirstYear || year > kPlan404EclipseLastYear))
    out += "\n\n *** PLAN404의 경우는 -3000~3000년 사이만 유효합니다.***";
  out += "\n" + Repeat('-', 50);
  out += "\n일월식의 유무 및 종류와 시작-종료시각은 지구,해,달의 평균반경값,\n"
         "타원곡면 보정방법, 월면형상의 고려정도에 따라 다를 수 있습니다.";
  if (local) out += "\n(지하)는 지평면아래에서 발생된 것으로 해당 시각엔 볼 수 없습니다.";
  out += ReferenceNote(in.engine, year, ErrorBoundKind::Syzygies);
  out += local ? "\n\n[지구전체에서 일어나는 일월식 보기는 마우스 우클릭입니다]"
               : "\n\n[표시지역에서 일어나는 일월식 보기는 마우스 좌클릭입니다.]";
  return out;
}

}  // namespace

bool SwitchToStandardTimeForLocalEclipses(CalcSettings& settings, MessageSink& messages) {
  if (ReckonsInStandardTime(settings.TimeSystemCode)) return false;
  messages.Show(kStandardTimeNotice, kStandardTimeNoticeCaption);
  settings.TimeSystemCode = kTimeST;
  UpdateZoneOffset(settings);
  return true;
}

std::string GlobalEclipseReportText(ReportInputs& in, int year) {
  EnsureYearLoaded(in, year);
  EngineContext& ctx = in.engine;
  const CalcSettings& s = ctx.settings;
  std::string out = Title(s, year) + "\n" + Repeat('=', 43);
  auto eclipses = std::make_unique<EclipseList>();
  FindEclipsesOfYear(ctx, in.tables, year, *eclipses);
  for (int i = 0; i < eclipses->count; ++i) {
    const FoundEclipse& e = eclipses->items[i];
    std::string label;
    const double zone = EclipseZone(in, e, label);
    if (!e.solar) {
      out += LunarHeading(e, zone) + label + LunarBody(s, e, kContactTimePlain, zone, 0.0, 0.0);
      continue;
    }
    out += SolarHeading(e, zone) + label;
    if (e.type & kEclipseTotal) out += "\n개기(Total)일식";
    if (e.type & kEclipseAnnular) out += "\n금환(Annular)일식";
    if (e.type & kEclipsePartial) out += "\n부분(Partial)일식";
    if (e.type & kEclipseAnnularTotal) out += "\n금환개기(Annular-Total)일식";
    out += GammaLine(s, e);
    const ContactTimes& c = e.contacts;
    out += SolarContactLines(kContactTimePlain, e.type, c[kSolarP1], c[kSolarP4], c[kSolarU1], c[kSolarU4], zone,
                             0.0, 0.0);
    for (int k = 0; k < 2; ++k) {
      if ((e.type & kEclipseAnnularTotal) && e.transitionJD[k])
        out += Format("\n    %s 변경\t ; %s", e.transitionDirection[k] == 1 ? "금환에서 개기로" : "개기에서 금환으로",
                      ContactText(kContactTimePlain, e.transitionJD[k], zone, 0.0, 0.0).c_str());
    }
  }
  return out + Closing(in, year, false);
}

std::string LocalEclipseReportText(ReportInputs& in, int year) {
  EnsureYearLoaded(in, year);
  EngineContext& ctx = in.engine;
  const CalcSettings& s = ctx.settings;
  const Observer& o = ctx.observer;
  std::string out = Title(s, year);
  out += Format("\n    %s(@%s/%.1fm) 지역에서 관측할 경우\n", in.placeName.c_str(),
                FormatGeoPosition(o.LongitudeDeg, o.LatitudeDeg).c_str(), o.AltitudeM);
  out += Repeat('=', 44);
  auto eclipses = std::make_unique<EclipseList>();
  FindEclipsesOfYear(ctx, in.tables, year, *eclipses);
  const char* place = in.placeName.c_str();
  for (int i = 0; i < eclipses->count; ++i) {
    const FoundEclipse& e = eclipses->items[i];
    LocalEclipse l;
    LocalCircumstances(ctx, e, l);
    std::string label;
    const double zone = EclipseZone(in, e, label);
    // Sunrise and sunset in the time system shown; a missing event stays
    // infinitely early or late.
    const double sunrise = l.daylight.sunriseJD + zone;
    const double sunset = l.daylight.sunsetJD + zone;
    if (!e.solar) {
      out += LunarHeading(e, zone) + label;
      if (l.visibility == EclipseVisibility::BelowHorizon) {
        out += Format("\n    %s 지역에서는 볼 수 없음(地下)", place);
        continue;
      }
      out += LunarBody(s, e, kContactTimeLunar, zone, sunrise, sunset);
      continue;
    }
    out += SolarHeading(e, zone) + label;
    if (l.visibility == EclipseVisibility::OutsideShadow) {
      out += Format("\n    %s 지역에서는 볼 수 없음(影外)", place);
      continue;
    }
    if (l.visibility == EclipseVisibility::BelowHorizon) {
      out += Format("\n    %s 지역에서는 볼 수 없음(地下)", place);
      continue;
    }
    out += Format("\n    최대식시각 ; %s\t 식분 ; %.5f",
                  ContactText(kContactTimePlain, l.maximumJD, zone, sunrise, sunset).c_str(), l.magnitude);
    const ContactTimes& c = l.contacts;
    out += SolarContactLines(kContactTimeSolar, l.type, c[kLocalC1], c[kLocalC4], c[kLocalC2], c[kLocalC3], zone,
                             sunrise, sunset);
  }
  return out + Closing(in, year, true);
}

}  // namespace orv
