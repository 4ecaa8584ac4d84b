#include "app/core/sky/eclipse_map.h"

#include <cmath>
#include <memory>
#include <optional>

#include "app/core/reports/eclipse_texts.h"
#include "data/world_land.h"
#include "lunisolar/prepare.h"
#include "time/dates.h"
#include "time/text_format.h"
#include "time/timescales.h"

namespace orv {
namespace {

// How far from the middle of the date named the greatest phase may lie (days).
constexpr double kDateSlackDays = 1.5;
constexpr double kHalfDay = 0.5;
constexpr double kHundredthDegree = 0.01;

const char* KindName(const FoundEclipse& e) {
  switch (e.solar ? SolarEclipseName(e.type) : LunarEclipseName(e.type)) {
    case EclipseKindName::Total: return "total";
    case EclipseKindName::Annular: return "annular";
    case EclipseKindName::Partial: return "partial";
    case EclipseKindName::AnnularTotal: return "annular-total";
    case EclipseKindName::Penumbral: return "penumbral";
    case EclipseKindName::None: break;
  }
  return "";
}

// The kind in Korean, as the eclipse reports name it.
const char* KoreanKindName(const std::string& kind) {
  if (kind == "total") return "개기";
  if (kind == "annular") return "금환";
  if (kind == "annular-total") return "금환개기";
  if (kind == "partial") return "부분";
  if (kind == "penumbral") return "반영";
  return "";
}

// The point with the Moon in the zenith at `jd`.
GeoPoint SubLunarPoint(EngineContext& ctx, double jd) {
  ShadowPoint point;
  EclipseElements el;
  LunarEclipseElements(ctx, jd, point, el);
  ClassifyLunarEclipseAt(ctx, jd, point, el);
  return {point[kPointLongitudeDeg], point[kPointGeocentricLatitudeDeg]};
}

}  // namespace

std::string EclipseMapTitle(const EclipseMap& map) {
  return std::string(KoreanKindName(map.kindName)) + (map.solar ? "일식 " : "월식 ") + map.dateText;
}

bool FindEclipseNearDate(EngineContext& ctx, YearTables& tables, int year, int month, int day, bool solarOnly,
                         FoundEclipse& out) {
  const double middle = CalendarToJulianDay(year, month, day) + kHalfDay - ctx.settings.ZoneOffsetDays;
  bool found = false;
  double bestDistance = kDateSlackDays;
  // An eclipse on the first or last days may be listed under the next or
  // the year before.
  for (int y = year - 1; y <= year + 1; ++y) {
    if (!PrepareYear(ctx, tables, y, LunarBuildOptions{})) continue;
    auto list = std::make_unique<EclipseList>();
    FindEclipsesOfYear(ctx, tables, y, *list);
    for (int i = 0; i < list->count; ++i) {
      const FoundEclipse& e = list->items[i];
      if (solarOnly && !e.solar) continue;
      const double distance = std::fabs(e.greatestJD - middle);
      if (distance < bestDistance) {
        bestDistance = distance;
        out = e;
        found = true;
      }
    }
  }
  return found;
}

std::string EclipsePathCsv(const CalcSettings& settings, const EclipsePath& path) {
  std::string out = "jd_ut,lon_deg,lat_deg,width_km\n";
  for (const CentralLinePoint& c : path.central) {
    // Under TT the instants are TT: Delta T (at the TT instant, within
    // milliseconds of its value at UT) takes them to UT.
    const double jdUT = settings.TimeSystemCode == kTimeTT ? c.jd - DeltaTAt(settings, c.jd) / kSecondsPerDay : c.jd;
    out += Format("%.6f,%.4f,%.4f,%.1f\n", jdUT, c.lonDeg, c.latDeg, c.widthKm);
  }
  return out;
}

EclipseMap BuildEclipseMap(EngineContext& ctx, const FoundEclipse& eclipse, const std::string& placeName,
                           double stepDays) {
  EclipseMap map;
  map.solar = eclipse.solar;
  map.kindName = KindName(eclipse);
  map.dateText = EclipseDateTimeText(ctx.settings, eclipse.greatestJD);
  if (eclipse.solar) {
    map.greatest = {eclipse.point[kPointLongitudeDeg], eclipse.point[kPointGeodeticLatitudeDeg]};
    map.path = ComputeEclipsePath(ctx, eclipse.contacts, stepDays);
  } else {
    map.subLunar[0] = SubLunarPoint(ctx, eclipse.greatestJD);
    map.greatest = map.subLunar[0];
    const std::optional<double>& p1 = eclipse.contacts[kLunarP1];
    const std::optional<double>& p4 = eclipse.contacts[kLunarP4];
    map.subLunar[1] = p1 ? SubLunarPoint(ctx, *p1) : map.subLunar[0];
    map.subLunar[2] = p4 ? SubLunarPoint(ctx, *p4) : map.subLunar[0];
  }
  map.hasPlace = !placeName.empty();
  map.place = {ctx.observer.LongitudeDeg, ctx.observer.LatitudeDeg};
  map.placeName = placeName;
  LocalEclipse local;
  LocalCircumstances(ctx, eclipse, local);
  map.placeMagnitude = local.magnitude;
  map.placeSees = local.visibility == EclipseVisibility::Visible;
  return map;
}

const std::vector<GeoLine>& LandOutlines() {
  // Built once from the constant table; never changed afterwards.
  static const std::vector<GeoLine> outlines = [] {
    std::vector<GeoLine> rings(static_cast<size_t>(kLandRingCount));
    for (int r = 0; r < kLandRingCount; ++r)
      for (int i = kLandRingStarts[r]; i < kLandRingStarts[r + 1]; ++i)
        rings[static_cast<size_t>(r)].push_back({kLandPoints[i][0] * kHundredthDegree, kLandPoints[i][1] * kHundredthDegree});
    return rings;
  }();
  return outlines;
}

}  // namespace orv
