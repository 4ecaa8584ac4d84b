// Simulation items 3 (azimuth and altitude at the place) and 14 (the
// eclipses from each repetition's instant to the end instant, each with a
// time series of its phase, place and magnitude).
#include <cmath>
#include <memory>
#include <optional>

#include "app/core/year_service.h"
#include "app/core/simulation/simulation_internal.h"
#include "eclipses/eclipse_global.h"
#include "eclipses/riseset.h"
#include "ephemeris/angles.h"
#include "ephemeris/horizontal.h"
#include "ephemeris/jpl_position.h"
#include "lunisolar/prepare.h"
#include "lunisolar/terms.h"
#include "time/dates.h"

namespace orv::simulation {
namespace {

constexpr int kNoYearBuilt = -999999;
// New moons (and the full moon after each) walked per year, from 26 November
// of the year before.
constexpr int kLunationsWalked = 14;
constexpr int kWalkStartMonth = 11;
constexpr int kWalkStartDay = 26;
// PLAN404's eclipses are trusted within these years only.
constexpr int kPlan404EclipseFirstYear = -3000;
constexpr int kPlan404EclipseLastYear = 3000;

// Phase labels of the series.
constexpr const char* kSolarPartialPhase = "부분(Partial,Penum.)식";
constexpr const char* kAnnularPhase = "금환(Annular,Antumb.)식";
constexpr const char* kTotalPhase = "개기(Total,Umbral)식";
// Before and after an annular-total transition (the tab is part of the label).
constexpr const char* kTransitionAnnular = "금환(Annular)식\t";
constexpr const char* kTransitionTotal = "개기(Total,Umbral)식";

const char* SolarTypeName(EclipseType type) {
  // Tested in this order; the last bit that is set names the eclipse.
  const char* name = "";
  if (type & kEclipseTotal) name = "개기(Total)일식";
  if (type & kEclipseAnnular) name = "금환(Annular)일식";
  if (type & kEclipsePartial) name = "부분(Partial)일식";
  if (type & kEclipseAnnularTotal) name = "금환개기(Annular-Total)일식";
  return name;
}

const char* LunarTypeName(EclipseType type) {
  const char* name = "";
  if (type & kEclipseTotal) name = "개기(Total)월식";
  if (type & kEclipsePenumbral) name = "반영(Penumbral)월식";
  if (type & kEclipsePartial) name = "부분(Partial)월식";
  return name;
}

// "'%d년%02d월%02d일%02d시%02d분%04.1f초" of an instant, in the selected time
// system (standard time of the place for ST).
std::string LocalDateTime(const CalcSettings& settings, double jd) {
  constexpr int kTenthsPerSecond = 10;
  const CivilDateTime u = JulianDayToCalendar(jd + settings.ZoneOffsetDays);
  // Rounded as printed, the carry reaching the date (never "60.0초").
  const CivilDateTime c = RoundCivilSeconds(u.year, u.month, u.day, u.hour, u.minute, u.seconds, kTenthsPerSecond);
  return Format("'%d년%02d월%02d일%02d시%02d분%04.1f초", c.year, c.month, c.day, c.hour, c.minute,
                static_cast<double>(c.seconds));
}

// The instants of a series: from `first` to `last` in steps of `stepDays`,
// with the progress bar counting the steps.
// A series never runs beyond this many lines (a step of a microsecond over a
// six-hour eclipse would ask for 2e10).
constexpr double kMaxSeriesLines = 1e8;

template <class Line>
void Series(ItemRun& run, double first, double last, double stepDays, Line&& line) {
  if (!(last >= first) || !(stepDays > 0.0)) return;
  const double count = std::floor((last - first) / stepDays) + 1.0;
  const int steps = static_cast<int>(count < kMaxSeriesLines ? count : kMaxSeriesLines);
  for (int i = 0; i < steps; ++i) {
    run.Progress(i, steps);
    line(first + i * stepDays);
  }
  run.Progress(0, steps);
}

// The solar phase at x by the contacts and the annular-total transitions.
struct SolarPhases {
  std::optional<double> u1, u4, p4;
  std::optional<double> t1, t2;
  const char* a;  // before T1
  const char* b;  // after T1
  const char* c;  // before T2
  const char* d;  // after T2
  bool annular;

  const char* At(double x) const {
    if (u1 && x < *u1) return kSolarPartialPhase;
    if ((!u4 || x >= *u4) && p4) return kSolarPartialPhase;
    if (!t1 && !t2) return annular ? kAnnularPhase : kTotalPhase;
    if (t1 && x < *t1) return a;
    if (t2 && x < *t2) return c;
    if (t1 && !t2) return b;
    return d;
  }
};

void WriteSolarEclipse(ItemRun& run, double newMoonJD) {
  EngineContext& ctx = run.ctx();
  ShadowPoint point;
  EclipseElements elements;
  EclipseType type = 0;
  const std::optional<double> found = FindGreatestSolarEclipse(ctx, newMoonJD, point, elements, type);
  if (!found) return;
  const double greatest = *found;
  // The contact and transition searches overwrite the records: keep greatest eclipse's.
  const ShadowPoint greatestPoint = point;
  const EclipseElements greatestElements = elements;
  ContactTimes contacts;
  SolarEclipseContacts(ctx, greatest, contacts);
  if (!(type & kEclipsePartial)) MarkHybridEclipse(ctx, contacts[kSolarU1], greatest, contacts[kSolarU4], type);
  ++run.eventsFound;
  run.out.Write(Format("\n'%18.9f,", greatest) + LocalDateTime(run.settings(), greatest) + "," + SolarTypeName(type) +
                "," +
                FormatGeoPosition(greatestPoint[kPointLongitudeDeg], greatestPoint[kPointGeodeticLatitudeDeg]) +
                Format(",식분;%.5f", greatestElements[kElemMagnitude]));

  SolarPhases phases{contacts[kSolarU1], contacts[kSolarU4], contacts[kSolarP4], std::nullopt, std::nullopt,
                     kTransitionAnnular, kTransitionTotal, kTransitionAnnular, kTransitionTotal,
                     (type & kEclipseAnnular) != 0};
  if (type & kEclipseAnnularTotal) {
    int direction1 = 0, direction2 = 0;
    phases.t1 = FindAnnularTotalTransition(ctx, contacts[kSolarU1], greatest, direction1);
    phases.t2 = FindAnnularTotalTransition(ctx, greatest, contacts[kSolarU4], direction2);
    // Direction 1: annular before the transition, total after it.
    phases.a = direction1 == 1 ? kTransitionAnnular : kTransitionTotal;
    phases.b = direction1 == 1 ? kTransitionTotal : kTransitionAnnular;
    phases.c = direction2 == 1 ? kTransitionAnnular : kTransitionTotal;
    phases.d = direction2 == 1 ? kTransitionTotal : kTransitionAnnular;
  }

  run.out.Write("\n일시,식종류,최대식관측지,식분,본영폭(km)");
  const std::optional<double> first = contacts[kSolarP1] ? contacts[kSolarP1] : contacts[kSolarU1];
  const std::optional<double> last = contacts[kSolarP4] ? contacts[kSolarP4] : contacts[kSolarU4];
  // Without a first and a last contact there is no span to list.
  if (!first || !last) return;
  Series(run, *first, *last, run.request.extra / kSecondsPerDay, [&](double x) {
    // Fresh records: slots the classification does not reach stay 0.
    ShadowPoint p;
    EclipseElements e;
    SolarEclipseElements(ctx, x, p, e);
    ClassifySolarEclipseAt(x, p, e);
    run.out.Write("\n" + LocalDateTime(run.settings(), x) + "," + phases.At(x) + "," +
                  FormatGeoPosition(p[kPointLongitudeDeg], p[kPointGeodeticLatitudeDeg]) +
                  Format(",%.5f,%f", e[kElemMagnitude], std::fabs(e[kElemPathWidthKm])));
  });
}

const char* LunarPhaseAt(const ContactTimes& c, double x) {
  if (c[kLunarU1] && x < *c[kLunarU1]) return "반영(Penumbral)식";
  if (c[kLunarU2] && x < *c[kLunarU2]) return "본영(Umbral)식";
  if (c[kLunarU3] && x < *c[kLunarU3]) return "개기(Total)식";
  if (c[kLunarU4] && x < *c[kLunarU4]) return "본영(Umbral)식";
  return "반영(Penumbral)식";
}

void WriteLunarEclipse(ItemRun& run, double fullMoonJD) {
  EngineContext& ctx = run.ctx();
  ShadowPoint point;
  EclipseElements elements;
  EclipseType type = 0;
  const std::optional<double> found = FindGreatestLunarEclipse(ctx, fullMoonJD, point, elements, type);
  if (!found) return;
  const double greatest = *found;
  const ShadowPoint greatestPoint = point;
  const EclipseElements greatestElements = elements;
  ContactTimes contacts;
  LunarEclipseContacts(ctx, greatest, contacts);
  ++run.eventsFound;
  run.out.Write(Format("\n'%18.9f,", greatest) + LocalDateTime(run.settings(), greatest) + "," + LunarTypeName(type) +
                "," +
                FormatGeoPosition(greatestPoint[kPointLongitudeDeg], greatestPoint[kPointGeocentricLatitudeDeg]) +
                Format(",본영식분;%.5f,반영식분;%.5f", greatestElements[kLunarUmbralMagnitude],
                       greatestElements[kLunarPenumbralMagnitude]));

  run.out.Write("\n일시,식종류,최대식관측지,본영식분,반영식분");
  const std::optional<double> first = contacts[kLunarP1] ? contacts[kLunarP1] : contacts[kLunarU1];
  const std::optional<double> last = contacts[kLunarP4] ? contacts[kLunarP4] : contacts[kLunarU4];
  // Without a first and a last contact there is no span to list.
  if (!first || !last) return;
  Series(run, *first, *last, run.request.extra / kSecondsPerDay, [&](double x) {
    ShadowPoint p;
    EclipseElements e;
    LunarEclipseElements(ctx, x, p, e);
    ClassifyLunarEclipseAt(ctx, x, p, e);
    run.out.Write("\n" + LocalDateTime(run.settings(), x) + "," + LunarPhaseAt(contacts, x) + "," +
                  FormatGeoPosition(p[kPointLongitudeDeg], p[kPointGeocentricLatitudeDeg]) +
                  Format(",%.5f,%.5f", e[kLunarUmbralMagnitude], e[kLunarPenumbralMagnitude]));
  });
}

// Instant of a listed syzygy minute: selected time system less the zone offset.
double ListedInstant(const CalcSettings& settings, int y, int m, int d, int h, int mi) {
  return JulianDayAtMinute(CalendarToJulianDay(y, m, d), h, mi) - settings.ZoneOffsetDays;
}

// The eclipses of the year's fourteen lunations whose new or full moon lies
// in [t, end].
void WriteEclipsesFrom(ItemRun& run, const YearTables& tables, int year, double t) {
  ListedMinute from{year - 1, kWalkStartMonth, kWalkStartDay, 0, 0};
  for (int lunation = 0; lunation < kLunationsWalked; ++lunation) {
    const std::optional<ListedMinute> n =
        FindSyzygyNear(tables, from, SearchDirection::kAtOrAfter, SyzygyKind::kNewMoon);
    if (!n) break;
    const double newMoon = ListedInstant(run.settings(), n->y, n->m, n->d, n->h, n->mi);
    if (t <= newMoon && newMoon <= run.endJD) WriteSolarEclipse(run, newMoon);
    const std::optional<ListedMinute> f = FindSyzygyNear(tables, *n, SearchDirection::kAtOrAfter, SyzygyKind::kFullMoon);
    if (!f) break;
    const double fullMoon = ListedInstant(run.settings(), f->y, f->m, f->d, f->h, f->mi);
    if (t <= fullMoon && fullMoon <= run.endJD) WriteLunarEclipse(run, fullMoon);
    from = *f;
  }
  if (run.settings().EphemerisCode == kEphemerisPlan404 &&
      (run.env.loadedYear < kPlan404EclipseFirstYear || run.env.loadedYear > kPlan404EclipseLastYear))
    run.out.Write("\n*** PLAN404의 경우는 -3000~3000년 사이만 계산됩니다.***");
}

}  // namespace

void WriteHorizontal(ItemRun& run) {
  run.out.Write("일시,방위각(Azimuth/deg),고도(Elevation/deg)");
  EngineContext& ctx = run.ctx();
  const int target = run.request.target;
  run.EachRepetition([&](double t) {
    HorizontalPosition position;
    if (target == 0 || target == 1) {
      position = SunMoonHorizontal(ctx, target == 0 ? kHorizontalSun : kHorizontalMoon, t);
    } else {
      // Planets: apparent place of date, no parallax.
      const TimeState at = InstantAt(ctx.settings, t);
      const JplPositionResult r =
          JplApparentPosition(ctx, ctx.settings.EphemerisCode, at.CurrentTT, TargetJplBody(target), kJplApparent);
      const double raDec[2] = {r.RightAscension, r.Declination};
      HorizontalCoordinates(ctx, t, target, raDec, r.GeometricDistance, position);
    }
    run.BeginLine(t);
    run.out.Write(Format(",%lf,%lf", position.azimuthDeg, position.altitudeDeg));
  });
}

void WriteEclipses(ItemRun& run) {
  auto tables = std::make_unique<YearTables>();
  int built = kNoYearBuilt;
  run.EachRepetition([&](double t) {
    const int year = JulianDayToCalendar(t + run.settings().ZoneOffsetDays).year;
    if (year != built) {
      PrepareYear(run.ctx(), *tables, year, LunarOptionsFor(run.env, year));
      built = year;
    }
    WriteEclipsesFrom(run, *tables, year, t);
  });
}

}  // namespace orv::simulation
