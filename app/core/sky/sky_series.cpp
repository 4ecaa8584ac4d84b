#include "app/core/sky/sky_series.h"

#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/horizontal.h"
#include "ephemeris/search.h"
#include "ephemeris/sunmoon.h"
#include "time/civil_clock.h"
#include "time/dates.h"

namespace orv {
namespace {

// The Earth turns 360.9856 degrees a day against the Sun's direction of date
// (the Sun's own motion is left to the next Newton step).
constexpr double kEarthTurnDegPerDay = 360.98564736629;
constexpr int kMaxNewtonSteps = 6;
// A Newton step shorter than this leaves an error below a millisecond (the
// error squares with each step; the altitude's curvature is a few per day).
constexpr double kSettledStepDays = 2.0 / 86400.0;
// A step longer than this means the guess was not near the crossing.
constexpr double kMaxNewtonStepDays = 1.0 / 24.0;
// Crossings this close to a transit (upper or lower) are left to the precise
// search, whose windows end there.
constexpr double kTransitMarginDays = 0.5 / 24.0;
// Slower than this (degrees a day) the altitude is too flat for Newton steps.
constexpr double kMinAltitudeRateDegPerDay = 1.0;
constexpr double kHalfDay = 0.5;
constexpr double kSecondsPerHour = 3600.0;
constexpr double kHoursPerDay = 24.0;

// Which crossing of one day the chart needs: a rise (dawn) or a set (dusk)
// and the depression of the Sun's centre (of its upper limb for rise and set).
struct EventKind {
  bool rising = true;
  int twilight = -1;  // -1: sunrise or sunset; else the index of Twilight
};

// Newton steps on the Sun's altitude toward -depressionDeg from `guess`; none
// when they do not settle on a crossing of the right direction.
std::optional<double> RefineCrossing(EngineContext& ctx, double guess, double depressionDeg, bool rising) {
  const double cosLatitude = std::cos(ctx.observer.LatitudeDeg * kDegToRad);
  double t = guess;
  for (int step = 0; step < kMaxNewtonSteps; ++step) {
    const HorizontalPosition h = SunMoonHorizontal(ctx, kBodySun, t);
    // d(altitude)/dt = Earth's turn x cos(latitude) x sin(azimuth).
    const double rate = kEarthTurnDegPerDay * cosLatitude * std::sin(h.azimuthDeg * kDegToRad);
    if (rising ? rate < kMinAltitudeRateDegPerDay : rate > -kMinAltitudeRateDegPerDay) return std::nullopt;
    const double dt = -(h.altitudeDeg + depressionDeg) / rate;
    if (!(std::fabs(dt) < kMaxNewtonStepDays)) return std::nullopt;
    t += dt;
    if (std::fabs(dt) < kSettledStepDays) return t;
  }
  return std::nullopt;
}

// The events of one day by the precise searches, around the day's transit.
struct PreciseDay {
  bool found = false;
  RiseSetInstants sun;
  std::array<TwilightInstants, kTwilightKinds> twilight{};
};

void SearchPrecisely(EngineContext& ctx, double midnightJD, PreciseDay& day) {
  if (day.found) return;
  const double transit = CulminationInDay(ctx, kBodySun, midnightJD);
  day.sun = RiseSetAroundTransit(ctx, kBodySun, transit);
  for (int k = 0; k < kTwilightKinds; ++k)
    day.twilight[static_cast<size_t>(k)] =
        TwilightAroundTransit(ctx, transit, TwilightDepressionDeg(static_cast<Twilight>(k)));
  day.found = true;
}

std::optional<double> PreciseEvent(const PreciseDay& day, const EventKind& kind) {
  if (kind.twilight < 0) return kind.rising ? day.sun.riseJD : day.sun.setJD;
  const TwilightInstants& tw = day.twilight[static_cast<size_t>(kind.twilight)];
  return kind.rising ? tw.dawnJD : tw.duskJD;
}

std::optional<double>& EventSlot(DaylightDay& day, const EventKind& kind) {
  if (kind.twilight < 0) return kind.rising ? day.riseJD : day.setJD;
  return kind.rising ? day.dawnJD[static_cast<size_t>(kind.twilight)] : day.duskJD[static_cast<size_t>(kind.twilight)];
}

}  // namespace

DaylightYear ComputeDaylightYear(EngineContext& ctx, int year, const std::string& timeZone) {
  const CalcSettings& s = ctx.settings;
  DaylightYear out;
  out.year = year;
  out.zoneOffsetDays = s.ZoneOffsetDays;
  const CivilClock clock(ReckonsInStandardTime(s.TimeSystemCode) ? timeZone : std::string());
  const double firstJD = CalendarToJulianDay(year, 1, 1), endJD = CalendarToJulianDay(year + 1, 1, 1);
  const int dayCount = static_cast<int>(std::lround(endJD - firstJD));
  out.days.resize(static_cast<size_t>(dayCount));
  const EventKind kinds[] = {{true, -1}, {false, -1}, {true, 0}, {false, 0}, {true, 1},
                             {false, 1}, {true, 2},   {false, 2}};
  const double meanNoonShift = kHalfDay - ctx.observer.LongitudeDeg / 360.0;
  for (int i = 0; i < dayCount; ++i) {
    DaylightDay& day = out.days[static_cast<size_t>(i)];
    const double jd0 = firstJD + i;
    const CivilDateTime date = JulianDayToCalendar(jd0);
    day.month = date.month;
    day.day = date.day;
    day.midnightJD = jd0 - s.ZoneOffsetDays;
    // Local mean noon (within 17 minutes of the transit) in the engine's scale.
    const double meanNoon = jd0 + meanNoonShift;
    // Refraction, semidiameter and dip: the semidiameter changes by under
    // 0.001" within a day.
    const double depression = HorizonDepression(ctx, kBodySun, meanNoon);
    PreciseDay precise;
    bool missing = false;
    for (const EventKind& kind : kinds) {
      const std::optional<double> yesterday =
          i > 0 ? EventSlot(out.days[static_cast<size_t>(i) - 1], kind) : std::optional<double>();
      // The day before yesterday's event, NaN when there is none.
      const double dayBefore =
          i > 1 ? EventSlot(out.days[static_cast<size_t>(i) - 2], kind).value_or(std::nan("")) : std::nan("");
      std::optional<double> t;
      if (yesterday) {
        const double d = kind.twilight < 0 ? depression : TwilightDepressionDeg(static_cast<Twilight>(kind.twilight));
        // The event drifts by a few minutes a day, smoothly: extrapolated
        // from the two days before, the guess is seconds off.
        const double guess = std::isnan(dayBefore) ? *yesterday + 1.0 : 2.0 * *yesterday - dayBefore;
        t = RefineCrossing(ctx, guess, d, kind.rising);
        // The precise search owns the half day on its side of the transit.
        if (t) {
          const double fromNoon = kind.rising ? meanNoon - *t : *t - meanNoon;
          if (!(fromNoon > kTransitMarginDays && fromNoon < kHalfDay - kTransitMarginDays)) t.reset();
        }
      }
      if (!t) {
        SearchPrecisely(ctx, day.midnightJD, precise);
        t = PreciseEvent(precise, kind);
      }
      EventSlot(day, kind) = t;
      if (!t) missing = true;
    }
    if (missing) day.noonAltitudeDeg = SunMoonHorizontal(ctx, kBodySun, meanNoon).altitudeDeg;
    if (clock.valid()) {
      const ClockState state = clock.StateAt(JulianDayToUnix(meanNoon));
      day.clockShiftHours = state.offsetSeconds / kSecondsPerHour - s.ZoneOffsetDays * kHoursPerDay;
      out.anyClockShift |= day.clockShiftHours != 0.0;
    }
  }
  return out;
}

double ShownHourOfDay(const DaylightDay& day, double /*zoneOffsetDays*/, double jd) {
  return (jd - day.midnightJD) * kHoursPerDay + day.clockShiftHours;
}

DaySky ComputeDaySky(EngineContext& ctx, int year, int month, int day) {
  DaySky out;
  out.year = year;
  out.month = month;
  out.day = day;
  out.latitudeDeg = ctx.observer.LatitudeDeg;
  const double jd0 = CalendarToJulianDay(year, month, day);
  out.midnightJD = jd0 - ctx.settings.ZoneOffsetDays;
  const int samples = kMinutesPerDay / kDaySkyStepMinutes + 1;
  out.sunAltitudeDeg.reserve(static_cast<size_t>(samples));
  out.moonAltitudeDeg.reserve(static_cast<size_t>(samples));
  for (int i = 0; i < samples; ++i) {
    const double t = out.midnightJD + static_cast<double>(i * kDaySkyStepMinutes) / kMinutesPerDay;
    out.sunAltitudeDeg.push_back(SunMoonHorizontal(ctx, kBodySun, t).altitudeDeg);
    out.moonAltitudeDeg.push_back(SunMoonHorizontal(ctx, kBodyMoon, t).altitudeDeg);
  }
  out.sun = RiseSetTimes(ctx, kBodySun, jd0);
  for (int k = 0; k < kTwilightKinds; ++k)
    out.twilight[static_cast<size_t>(k)] =
        TwilightAroundTransit(ctx, out.sun.transitJD, TwilightDepressionDeg(static_cast<Twilight>(k)));
  out.moon = RiseSetTimes(ctx, kBodyMoon, jd0);
  const bool transitInDay = out.moon.transitJD >= out.midnightJD && out.moon.transitJD < out.midnightJD + 1.0;
  out.moonPhaseJD = transitInDay ? out.moon.transitJD : out.midnightJD + kHalfDay;
  out.moonPhase = MoonPhaseAt(ctx, out.moonPhaseJD);
  return out;
}

}  // namespace orv
