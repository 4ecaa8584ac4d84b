#include "app/core/reports/accuracy.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <memory>
#include <vector>

#include "app/core/reports/report_format.h"
#include "ephemeris/angles.h"
#include "ephemeris/sunmoon.h"
#include "lunisolar/prepare.h"
#include "lunisolar/terms.h"
#include "time/dates.h"

namespace orv {
namespace {

constexpr double kArcsecPerDeg = 3600.0;
// Events are found again with both ephemerides within this window (days)
// around the minute PLAN404 lists, searched from its middle.
constexpr double kEventWindowDays = 3.0 / 1440.0;
constexpr double kHalfMinuteDays = 0.5 / 1440.0;

struct Stat {
  int count = 0;
  double sumSquares = 0.0;
  double maxAbs = 0.0;
  void Add(double x) {
    ++count;
    sumSquares += x * x;
    maxAbs = std::max(maxAbs, std::fabs(x));
  }
  double Rms() const { return count ? std::sqrt(sumSquares / count) : 0.0; }
};

// Quantity name -> decade -> statistics.
using Table = std::map<std::string, std::map<int, Stat>>;

int DecadeOf(int year) { return static_cast<int>(std::floor(year / 10.0)) * 10; }

double AngleDiffArcsec(double aDeg, double bDeg) {
  return SignedDegrees(aDeg - bDeg) * kArcsecPerDeg;
}

using report::Format;

void AppendTable(std::string& out, const Table& table, const char* order[], int count, const char* unit) {
  for (int q = 0; q < count; ++q) {
    const auto it = table.find(order[q]);
    if (it == table.end()) continue;
    out += Format("\n%s (%s)\n", order[q], unit);
    out += "decade      n        rms        max\n";
    Stat all;
    for (const auto& [decade, s] : it->second) {
      out += Format("%5d %7d %10.3f %10.3f\n", decade, s.count, s.Rms(), s.maxAbs);
      all.count += s.count;
      all.sumSquares += s.sumSquares;
      all.maxAbs = std::max(all.maxAbs, s.maxAbs);
    }
    out += Format("  all %7d %10.3f %10.3f\n", all.count, all.Rms(), all.maxAbs);
  }
}

}  // namespace

std::string AccuracyReport(const CalcSettings& base, JplEphemeris& jpl, const AccuracyOptions& options,
                           const std::function<void(int)>& progress) {
  // Both ephemerides in TT, so Delta T plays no part in the differences.
  CalcSettings plan = base;
  plan.EphemerisCode = kEphemerisPlan404;
  plan.TimeSystemCode = kTimeTT;
  if (plan.NutationModel == kNutationInternal) plan.NutationModel = kNutationIau2000B;
  UpdateZoneOffset(plan);
  CalcSettings file = plan;
  file.EphemerisCode = jpl.header.FileDeNumber == 431 ? kEphemerisDe431 : kEphemerisDe441;
  file.NutationModel = base.NutationModel;
  Observer observer;
  EngineContext a(plan, observer), b(file, observer);
  b.jpl = &jpl;

  // Whole years inside the file.
  const CivilDate first = JulianDayToCivilDate(jpl.header.Span[0]);
  const CivilDate last = JulianDayToCivilDate(jpl.header.Span[1]);
  int fromYear = first.year + 1, toYear = last.year - 1;
  if (options.fromYear != 0 || options.toYear != 0) {
    fromYear = std::max(fromYear, options.fromYear);
    toYear = std::min(toYear, options.toYear);
  }
  if (fromYear > toYear) throw JplError(" STATE: Epoch out of range.");

  Table places, events;
  const double startJd = CalendarToJulianDay(fromYear, 1, 1);
  const double endJd = CalendarToJulianDay(toYear + 1, 1, 1);
  for (double jd = startJd; jd < endJd; jd += options.placeStepDays) {
    const SunMoonPlaces pa = ApparentSunMoonPlaces(a, kBodySunAndMoon, jd);
    const SunMoonPlaces pb = ApparentSunMoonPlaces(b, kBodySunAndMoon, jd);
    const int decade = DecadeOf(JulianDayToCivilDate(jd).year);
    places["Sun longitude"][decade].Add(AngleDiffArcsec(pa.SunLongitudeDeg, pb.SunLongitudeDeg));
    places["Sun latitude"][decade].Add((pa.SunLatitudeDeg - pb.SunLatitudeDeg) * kArcsecPerDeg);
    places["Sun distance"][decade].Add(pa.SunDistanceKm - pb.SunDistanceKm);
    places["Moon longitude"][decade].Add(AngleDiffArcsec(pa.MoonLongitudeDeg, pb.MoonLongitudeDeg));
    places["Moon latitude"][decade].Add((pa.MoonLatitudeDeg - pb.MoonLatitudeDeg) * kArcsecPerDeg);
    places["Moon distance"][decade].Add(pa.MoonDistanceKm - pb.MoonDistanceKm);
  }

  // Events: every term and syzygy of each year, as PLAN404 lists them, found
  // again to 0.01 s with both ephemerides. Midnight statistics in the
  // standard time of the given meridian.
  const double zoneDays = options.zoneMeridian / 360.0;
  int nearMidnight = 0, dateDiffers = 0, eventCount = 0;
  auto tables = std::make_unique<YearTables>();
  LunarBuildOptions build;
  for (int year = fromYear; year <= toYear; ++year) {
    if (progress) progress(static_cast<int>(100.0 * (year - fromYear) / (toYear - fromYear + 1)));
    PrepareYear(a, *tables, year, build);
    auto addEvent = [&](const char* name, PackedDate date, PackedTime time, double target, bool sun) {
      int y, m, d, h, mi;
      UnpackDateTime(date, time, y, m, d, h, mi);
      if (y != year) return;
      const double t = CalendarToJulianDay(y, m, d) + (h + mi / 60.0) / 24.0;
      const std::optional<double> foundA = LongitudeCrossing(a, sun, target, t + kHalfMinuteDays, kEventWindowDays);
      const std::optional<double> foundB = LongitudeCrossing(b, sun, target, t + kHalfMinuteDays, kEventWindowDays);
      if (!foundA || !foundB) return;  // not found again near the listed minute: no pair to compare
      const double ta = *foundA, tb = *foundB;
      events[name][DecadeOf(year)].Add((ta - tb) * kSecondsPerDay);
      ++eventCount;
      // Civil day in standard time (TT taken as the clock: the date question
      // only needs where midnight falls relative to the event).
      const double la = ta + zoneDays, lb = tb + zoneDays;
      const double fraction = (la + 0.5) - std::floor(la + 0.5);
      if (fraction * kSecondsPerDay < 60.0 || (1.0 - fraction) * kSecondsPerDay < 60.0) ++nearMidnight;
      if (std::floor(la + 0.5) != std::floor(lb + 0.5)) ++dateDiffers;
    };
    for (const SolarTermRecord& r : tables->SolarTermList) {
      if (r.date == 0) break;
      addEvent("Solar terms", r.date, r.time(), r.longitude, true);
    }
    for (const SyzygyRecord& r : tables->SyzygyList) {
      if (r.date == 0) break;
      addEvent(r.isNewMoon() ? "New moons" : "Full moons", r.date, r.time(), r.isNewMoon() ? 360.0 : 180.0, false);
    }
  }

  std::string out = Format("PLAN404 minus DE%d, %d..%d\n", jpl.header.FileDeNumber, fromYear, toYear);
  out += Format("Apparent places every %.2f days (TT); models as configured.\n", options.placeStepDays);
  const char* placeOrder[] = {"Sun longitude", "Sun latitude", "Moon longitude", "Moon latitude"};
  AppendTable(out, places, placeOrder, 4, "arcseconds");
  const char* distanceOrder[] = {"Sun distance", "Moon distance"};
  AppendTable(out, places, distanceOrder, 2, "km");
  const char* eventOrder[] = {"Solar terms", "New moons", "Full moons"};
  AppendTable(out, events, eventOrder, 3, "seconds of time");
  out += Format("\nEvents: %d; within a minute of midnight (UTC%+.2f h): %d; on another civil date with the two "
                "ephemerides: %d\n",
                eventCount, options.zoneMeridian / 15.0, nearMidnight, dateDiffers);
  if (progress) progress(100);
  return out;
}

}  // namespace orv
