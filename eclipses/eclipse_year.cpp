#include "eclipses/eclipse_year.h"

#include <cmath>

#include "ephemeris/sunmoon.h"
#include "time/dates.h"

namespace orv {
namespace {

// Syzygies of each kind walked per year.
constexpr int kSyzygiesPerKind = 14;
// The walk starts on 26 November of the year before (five days before the
// 1 December that begins the year's first lunar month searches).
constexpr int kWalkStartMonth = 11;
constexpr int kWalkStartDay = 26;

// The Moon's distance from the ecliptic (its latitude less the Sun's, which
// stays within 1") beyond which a syzygy has no eclipse within the hour of
// the searches: the Moon's centre is then further from the shadow axis than
// the penumbra's reach, at most 1.62 deg for a solar eclipse (1.575 Earth
// radii on the fundamental plane at the Moon's least distance) and 1.6 deg
// for a lunar one (penumbral radius plus the Moon's semidiameter, 96'), and
// the latitude moves by under 0.03 deg in an hour.
constexpr double kNoEclipseLatitudeDeg = 2.0;

bool MoonFarFromEcliptic(EngineContext& ctx, double syzygyJD, bool newMoon) {
  const SunMoonPlaces p = ApparentSunMoonPlaces(ctx, kBodySunAndMoon, syzygyJD);
  const double beta = newMoon ? p.MoonLatitudeDeg - p.SunLatitudeDeg : p.MoonLatitudeDeg + p.SunLatitudeDeg;
  return std::fabs(beta) > kNoEclipseLatitudeDeg;
}

// Instant of a listed syzygy, selected time system less the zone offset.
double SyzygyInstant(const CalcSettings& settings, const SyzygyRecord& r) {
  int y, m, d, h, mi;
  UnpackDateTime(r.date, r.time(), y, m, d, h, mi);
  return JulianDayAtMinute(CalendarToJulianDay(y, m, d), h, mi) - settings.ZoneOffsetDays;
}

bool SearchSolar(EngineContext& ctx, double syzygyJD, FoundEclipse& e) {
  e.solar = true;
  e.syzygyJD = syzygyJD;
  const std::optional<double> greatest = FindGreatestSolarEclipse(ctx, syzygyJD, e.point, e.elements, e.type);
  if (!greatest) return false;
  e.greatestJD = *greatest;
  // The contact and marking searches overwrite the records: keep greatest eclipse's.
  const EclipseElements elements = e.elements;
  const ShadowPoint point = e.point;
  SolarEclipseContacts(ctx, e.greatestJD, e.contacts);
  if (!(e.type & kEclipsePartial))
    MarkHybridEclipse(ctx, e.contacts[kSolarU1], e.greatestJD, e.contacts[kSolarU4], e.type);
  if (e.type & kEclipseAnnularTotal) {
    e.transitionJD[0] =
        FindAnnularTotalTransition(ctx, e.contacts[kSolarU1], e.greatestJD, e.transitionDirection[0]);
    e.transitionJD[1] =
        FindAnnularTotalTransition(ctx, e.greatestJD, e.contacts[kSolarU4], e.transitionDirection[1]);
  }
  e.elements = elements;
  e.point = point;
  return true;
}

bool SearchLunar(EngineContext& ctx, double syzygyJD, FoundEclipse& e) {
  e.solar = false;
  e.syzygyJD = syzygyJD;
  const std::optional<double> greatest = FindGreatestLunarEclipse(ctx, syzygyJD, e.point, e.elements, e.type);
  if (!greatest) return false;
  e.greatestJD = *greatest;
  LunarEclipseContacts(ctx, e.greatestJD, e.contacts);
  return true;
}

}  // namespace

double FoundEclipse::SignedGamma() const {
  if (solar) return elements[kElemY] < 0.0 ? -elements[kElemAxisDistance] : elements[kElemAxisDistance];
  return point[kPointY] < 0.0 ? -elements[kLunarGamma] : elements[kLunarGamma];
}

int FindEclipses(EngineContext& ctx, const YearTables& tables, double spanStartJD, double spanEndJD,
                 EclipseSpanTest test, EclipseList& out) {
  out.count = 0;
  if (!tables.Prepared) return 0;
  const double walkStart =
      CalendarToJulianDay(tables.LoadedYear - 1, kWalkStartMonth, kWalkStartDay) - ctx.settings.ZoneOffsetDays;
  int newMoons = 0, fullMoons = 0;
  for (const SyzygyRecord& r : tables.SyzygyList) {
    if (r.date == 0) break;
    if (newMoons >= kSyzygiesPerKind && fullMoons >= kSyzygiesPerKind) break;
    const double syzygyJD = SyzygyInstant(ctx.settings, r);
    if (syzygyJD < walkStart) continue;
    int& walked = r.isNewMoon() ? newMoons : fullMoons;
    if (walked >= kSyzygiesPerKind) continue;
    ++walked;
    if (test == EclipseSpanTest::Syzygy && (syzygyJD < spanStartJD || syzygyJD > spanEndJD)) continue;
    if (out.count >= EclipseList::kCapacity) break;
    if (MoonFarFromEcliptic(ctx, syzygyJD, r.isNewMoon())) continue;
    FoundEclipse& e = out.items[out.count];
    e = FoundEclipse{};
    const bool found = r.isNewMoon() ? SearchSolar(ctx, syzygyJD, e) : SearchLunar(ctx, syzygyJD, e);
    if (!found) continue;
    if (test == EclipseSpanTest::GreatestEclipse && (e.greatestJD < spanStartJD || e.greatestJD > spanEndJD))
      continue;
    ++out.count;
  }
  return out.count;
}

int FindEclipsesOfYear(EngineContext& ctx, const YearTables& tables, int year, EclipseList& out) {
  out.count = 0;
  if (!tables.Prepared || tables.LoadedYear != year) return 0;
  const double zone = ctx.settings.ZoneOffsetDays;
  // Greatest eclipse on or after 1 January 00:00 and before the next 1 January.
  const double start = CalendarToJulianDay(year, 1, 1) - zone;
  const double end = std::nextafter(CalendarToJulianDay(year + 1, 1, 1) - zone, start);
  return FindEclipses(ctx, tables, start, end, EclipseSpanTest::GreatestEclipse, out);
}

void LocalCircumstances(EngineContext& ctx, const FoundEclipse& eclipse, LocalEclipse& out) {
  out = LocalEclipse{};
  if (eclipse.solar) {
    out.maximumJD = LocalSolarEclipseMaximum(ctx, eclipse.greatestJD, out.point, out.elements, out.type);
    out.magnitude = out.elements[kElemMagnitude];
    // The contact searches overwrite their own records only.
    LocalSolarEclipseContacts(ctx, out.maximumJD, out.contacts);
    out.daylight = SunDaylight(ctx, out.maximumJD);
    out.visibility = SolarEclipseVisibility(out.contacts, out.daylight);
  } else {
    out.maximumJD = eclipse.greatestJD;
    out.type = eclipse.type;
    out.magnitude = eclipse.elements[kLunarUmbralMagnitude];
    out.contacts = eclipse.contacts;
    out.elements = eclipse.elements;
    out.point = eclipse.point;
    out.daylight = SunDaylight(ctx, eclipse.greatestJD);
    out.visibility = LunarEclipseVisibility(out.contacts, out.daylight);
  }
}

}  // namespace orv
