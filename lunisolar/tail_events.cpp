#include "lunisolar/tail_events.h"

#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/mean_periods.h"
#include "ephemeris/sunmoon.h"
#include "lunisolar/terms.h"

namespace orv {
namespace {

// The Sun's mean rate (kSunMeanLongitudeDegPerDay) gives first guesses
// only: the crossing search converges on the true event.
// Major terms: the Sun's longitude at a multiple of 30 degrees.
constexpr double kMajorTermSpacingDeg = 30.0;


// The instant near `guess` (search scale: selected time system, zone
// removed) at which the function reaches `targetDeg`, by the crossing search
// of the lists (the guess kept when the search fails).
double Converge(EngineContext& ctx, int body, int result, double targetDeg, double guess) {
  const CrossingSearch& search = body == kBodySun ? kSunCrossing : kElongationCrossing;
  const Crossing found = FindCrossing(
      [&](double jd) { return SignedDegrees(SunMoonLongitude(ctx, body, jd, result) - targetDeg); }, guess, search);
  return found.found ? found.jd : guess;
}

double ListedInstant(PackedDate date, PackedTime time) {
  int h, mi;
  UnpackTime(time, h, mi);
  return JulianDayAtMinute(PackedDateToJulianDay(date), h, mi);
}

}  // namespace

void FindEventsPastLists(EngineContext& ctx, YearTables& tables) {
  tables.TailNewMoonCount = 0;
  tables.TailMajorTermCount = 0;
  tables.HeadNewMoon.reset();
  tables.HeadMajorTerm.reset();
  if (tables.DayTableCount <= 0) return;
  const double zone = ctx.settings.ZoneOffsetDays;
  const double tableEnd = PackedDateToJulianDay(tables.DayTable[0].solarDate) + tables.DayTableCount;

  // The last listed new moon and the last listed term (listed scale: zone added).
  std::optional<double> firstNewMoon, lastNewMoon, firstMajorTerm, lastTerm;
  for (const SyzygyRecord& r : tables.SyzygyList) {
    if (r.date == 0) break;
    if (!r.isNewMoon()) continue;
    lastNewMoon = ListedInstant(r.date, r.time());
    if (!firstNewMoon) firstNewMoon = lastNewMoon;
  }
  for (const SolarTermRecord& r : tables.SolarTermList) {
    if (r.date == 0) break;
    lastTerm = ListedInstant(r.date, r.time());
    if (!firstMajorTerm && r.termIndex % 2 == 1) firstMajorTerm = lastTerm;
  }
  if (!lastNewMoon || !lastTerm || !firstMajorTerm) return;

  // Before the lists: one lunation before the first new moon, one major
  // term before the first listed one (the Sun's longitude 30 degrees less).
  tables.HeadNewMoon =
      Converge(ctx, kBodySunAndMoon, kResultElongation, 0.0, *firstNewMoon - zone - kSynodicMonthDays) + zone;
  {
    const double t0 = *firstMajorTerm - zone;
    const double lon = SunMoonLongitude(ctx, kBodySun, t0, kResultSunLongitude);
    const double target = std::fmod(std::round(lon / kMajorTermSpacingDeg) * kMajorTermSpacingDeg -
                                        kMajorTermSpacingDeg + 360.0, 360.0);
    const double guess = t0 + SignedDegrees(target - lon) / kSunMeanLongitudeDegPerDay;
    tables.HeadMajorTerm = Converge(ctx, kBodySun, kResultSunLongitude, target, guess) + zone;
  }

  double t = *lastNewMoon - zone;
  while (tables.TailNewMoonCount < YearTables::kTailCapacity) {
    t = Converge(ctx, kBodySunAndMoon, kResultElongation, 0.0, t + kSynodicMonthDays);
    const double listed = t + zone;
    tables.TailNewMoons[tables.TailNewMoonCount++] = listed;
    if (std::floor(listed + 0.5) - 0.5 >= tableEnd) break;
  }
  const double until = tables.TailNewMoons[tables.TailNewMoonCount - 1];

  // Major terms: the next multiple of 30 degrees after the last listed term.
  t = *lastTerm - zone;
  double target = std::floor(SunMoonLongitude(ctx, kBodySun, t, kResultSunLongitude) / kMajorTermSpacingDeg + 1.0) *
                  kMajorTermSpacingDeg;
  while (tables.TailMajorTermCount < YearTables::kTailCapacity) {
    const double guess = t + SignedDegrees(target - SunMoonLongitude(ctx, kBodySun, t, kResultSunLongitude)) /
                                 kSunMeanLongitudeDegPerDay;
    t = Converge(ctx, kBodySun, kResultSunLongitude, std::fmod(target, 360.0), guess);
    tables.TailMajorTerms[tables.TailMajorTermCount++] = t + zone;
    if (t + zone > until) break;
    target += kMajorTermSpacingDeg;
  }
}

}  // namespace orv
