#include "lunisolar/terms.h"

#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/mean_periods.h"
#include "ephemeris/search.h"
#include "ephemeris/sunmoon.h"
#include "time/timescales.h"

namespace orv {

const char* const SolarTermNames[24] = {
    "立春입춘", "雨水우수", "驚蟄경칩", "春分춘분", "淸明청명", "穀雨곡우",
    "立夏입하", "小滿소만", "芒種망종", "夏至하지", "小暑소서", "大暑대서",
    "立秋입추", "處暑처서", "白露백로", "秋分추분", "寒露한로", "霜降상강",
    "立冬입동", "小雪소설", "大雪대설", "冬至동지", "小寒소한", "大寒대한"};

namespace {

constexpr double kMinuteDays = 1.0 / 1440.0;
// A refined crossing further than this from its listed minute is not its event.
constexpr double kRefineWindowDays = 1.0 / 24.0;
double SunLongitudeAt(EngineContext& ctx, double jd) {
  return SunMoonLongitude(ctx, kBodySun, jd, kResultSunLongitude);
}

// Clock fields of a Julian Day in the selected time system (zone added).
struct ClockFields {
  int dayIndex;
  int hour, minute, seconds;
};

ClockFields SplitInstant(double instant, double jd0) {
  ClockFields c;
  const double days = instant - jd0;
  c.dayIndex = days < 0.0 ? -1 : days >= YearTables::kDaySlots ? YearTables::kDaySlots : static_cast<int>(days);
  const double f = (instant + 0.5) - std::floor(instant + 0.5);
  double x = 24.0 * f;
  c.hour = static_cast<int>(x);
  x = 60.0 * (x - c.hour);
  c.minute = static_cast<int>(x);
  const double s = 60.0 * (x - c.minute);
  c.seconds = static_cast<int>(s + 0.5);
  // The record keeps the minute that holds the instant (the month, the
  // pillars and the day change from that minute), so 59.5 s and more stay
  // in it as 59 instead of reading "60".
  if (c.seconds > 59) c.seconds = 59;
  return c;
}

double RecordInstant(PackedDate date, PackedTime time) {
  int h, mi;
  UnpackTime(time, h, mi);
  return JulianDayAtMinute(PackedDateToJulianDay(date), h, mi);
}

double ListStartJulianDay(const YearTables& t) { return PackedDateToJulianDay(t.DayTable[0].solarDate); }

// ---------------------------------------------------------------- events
//
// Every event of the lists is searched from a first guess that depends only on
// the event itself (which turn of the Sun, which lunation), never on where the
// previous search ended, so a year reached by paging from its neighbour holds
// exactly the instants of the same year computed afresh.

// Mean longitude of the Sun referred to the mean equinox of date, degrees,
// counted on from J2000.0 without reduction: 280.46646 + 36000.76983 T
// (Meeus, Astronomical Algorithms, 2nd ed., eq. 25.2; T in Julian centuries
// of TT).
constexpr double kMeanSunLongitudeJ2000Deg = 280.46646;
constexpr double kMeanSunDegPerCentury = 36000.76983;
// Mean new moon of lunation k (k = 0: 2000 January 6): 2451550.09766 +
// kSynodicMonthDays k, TT (Meeus, eq. 49.1, whose 29.530588861 d differs
// by 0.7 ms a lunation: the guess only starts the search, and the events
// found over -4999..10000 are the same); a full moon is lunation k + 1/2.
constexpr double kMeanNewMoonEpochJD = 2451550.09766;

double MeanSunLongitudeDeg(double jdTT) {
  return kMeanSunLongitudeJ2000Deg + kMeanSunDegPerCentury * (jdTT - kJ2000) / kDaysPerJulianCentury;
}
double MeanSunInstant(double longitudeDeg) {
  return kJ2000 + (longitudeDeg - kMeanSunLongitudeJ2000Deg) / kMeanSunDegPerCentury * kDaysPerJulianCentury;
}

// TT less the searches' time scale (Delta T for UT and ST, else 0) at an
// instant of that scale, days.
double TTMinusSearchScale(const CalcSettings& settings, double jd) {
  TimeState time;
  time.CurrentJD = jd;
  UpdateTimeScales(time, settings);
  return time.CurrentTT - time.CurrentJD;
}

// A guess in TT moved to the searches' time scale (UT for UT and ST) with
// the Delta T of the settings at that instant.
double GuessInSearchScale(const CalcSettings& settings, double jdTT) {
  return jdTT - TTMinusSearchScale(settings, jdTT);
}

constexpr double kFirstLunationMarginDays = 3.0;
// Lunations searched and dropped before the list's first new moon: at most
// two (before the start, on the first day) when the searches succeed.
constexpr int kMaxSkippedLunations = 4;

// One event of the lists: the solar term reaching `unwrappedLongitudeDeg`
// (a multiple of 15, counted on from J2000.0 like the mean longitude), or
// the new (half-integer part 0) or full (0.5) moon of lunation `lunation`.
struct ListEvent {
  bool sun;
  double turnDeg;  // the Sun's longitude, unwrapped; or the lunation number
};

double EventTargetDeg(const ListEvent& e) {
  if (e.sun) {
    // Into (0, 360]: the spring equinox is 360 (turnDeg is negative before 2000).
    const double deg = std::fmod(e.turnDeg, 360.0);
    return deg <= 0.0 ? deg + 360.0 : deg;
  }
  return e.turnDeg - std::floor(e.turnDeg) == 0.0 ? 360.0 : 180.0;
}

// Largest periodic terms of the first guesses, degrees and days: the Sun's
// equation of the centre with its mean anomaly (Meeus, ch. 25), and the
// corrections of a mean new or full moon for the anomalies of the Moon and
// the Sun (Meeus, ch. 49, eq. 49.4-49.6). They bring the guess within about
// an hour of the event, which saves a step of every search.
constexpr double kSunAnomalyJ2000Deg = 357.5291;
constexpr double kSunAnomalyDegPerDay = 0.98560028;
constexpr double kSunCentreDeg = 1.9146;
constexpr double kSunCentre2Deg = 0.02;
constexpr double kLunationSunAnomalyDeg = 2.5534, kLunationSunAnomalyDegPerLunation = 29.10535670;
constexpr double kLunationMoonAnomalyDeg = 201.5643, kLunationMoonAnomalyDegPerLunation = 385.81693528;
constexpr double kNewMoonMoonAnomalyDays = -0.40720, kNewMoonSunAnomalyDays = 0.17241;
constexpr double kFullMoonMoonAnomalyDays = -0.40614, kFullMoonSunAnomalyDays = 0.17302;

double EventGuessTT(const ListEvent& e) {
  if (e.sun) {
    const double meanJd = MeanSunInstant(e.turnDeg);
    const double anomaly = (kSunAnomalyJ2000Deg + kSunAnomalyDegPerDay * (meanJd - kJ2000)) * kDegToRad;
    const double centreDeg = kSunCentreDeg * std::sin(anomaly) + kSunCentre2Deg * std::sin(2.0 * anomaly);
    return meanJd - centreDeg / kSunMeanLongitudeDegPerDay;
  }
  const double k = e.turnDeg;
  const double sunAnomaly = (kLunationSunAnomalyDeg + kLunationSunAnomalyDegPerLunation * k) * kDegToRad;
  const double moonAnomaly = (kLunationMoonAnomalyDeg + kLunationMoonAnomalyDegPerLunation * k) * kDegToRad;
  const bool full = k - std::floor(k) != 0.0;
  return kMeanNewMoonEpochJD + kSynodicMonthDays * k +
         (full ? kFullMoonMoonAnomalyDays : kNewMoonMoonAnomalyDays) * std::sin(moonAnomaly) +
         (full ? kFullMoonSunAnomalyDays : kNewMoonSunAnomalyDays) * std::sin(sunAnomaly);
}

// Signed distance of the longitude function from the target, degrees in
// [-180, 180].
double DistanceFromTarget(EngineContext& ctx, const ListEvent& e, double jd) {
  const double value = e.sun ? SunLongitudeAt(ctx, jd) : MoonSunElongation(ctx, jd);
  return SignedDegrees(value - EventTargetDeg(e));
}

// The instant of an event in the searches' time scale (zone not added);
// false when the search failed (a value that is not finite, no convergence).
bool FindEventInstant(EngineContext& ctx, const ListEvent& e, double& instant) {
  const double guess = GuessInSearchScale(ctx.settings, EventGuessTT(e));
  if (!std::isfinite(guess)) return false;
  const Crossing c = FindCrossing([&](double jd) { return DistanceFromTarget(ctx, e, jd); }, guess,
                                  e.sun ? kSunCrossing : kElongationCrossing);
  instant = c.jd;
  return c.found;
}

// The record of the shadow list for the same event, if the neighbouring
// year found it: the same term index or kind within a few days of the guess
// (the same event of another year or lunation is months away).
constexpr double kShadowMatchDays = 6.0;

const SolarTermRecord* ShadowTerm(const YearTables& tables, int termIndex, double guessJd) {
  for (const SolarTermRecord& r : tables.SolarTermShadow) {
    if (r.date == 0) break;
    if (r.termIndex == termIndex && std::fabs(RecordInstant(r.date, r.time()) - guessJd) < kShadowMatchDays)
      return &r;
  }
  return nullptr;
}

const SyzygyRecord* ShadowSyzygy(const YearTables& tables, bool newMoon, double guessJd) {
  for (const SyzygyRecord& r : tables.SyzygyShadow) {
    if (r.date == 0) break;
    if (r.isNewMoon() == newMoon && std::fabs(RecordInstant(r.date, r.time()) - guessJd) < kShadowMatchDays)
      return &r;
  }
  return nullptr;
}


}  // namespace

int TermLongitude(int termIndex) {
  if (termIndex == 3) return 360;
  return 15 * ((termIndex + 21) % 24);
}

std::optional<double> LongitudeCrossing(EngineContext& ctx, bool sun, double targetDeg, double guessJd,
                                        double windowDays) {
  const auto distance = [&](double jd) {
    const double value = sun ? SunLongitudeAt(ctx, jd) : MoonSunElongation(ctx, jd);
    return SignedDegrees(value - targetDeg);
  };
  const Crossing x = FindCrossing(distance, guessJd, sun ? kSunCrossing : kElongationCrossing);
  if (!x.found || std::fabs(x.jd - guessJd) > windowDays) return std::nullopt;
  return x.jd;
}

namespace {

// Day index of a listed date in the day table, -1 when before it.
int DayIndexOfDate(const YearTables& tables, PackedDate date) {
  const double days = PackedDateToJulianDay(date) - ListStartJulianDay(tables);
  return days < 0.0 ? -1 : static_cast<int>(std::lround(days));
}

// True when the slot can take an event: inside the table and dated.
bool SlotHoldsDate(const YearTables& tables, int dayIndex, int lastIndex) {
  return dayIndex >= 0 && dayIndex <= lastIndex && dayIndex < YearTables::kDaySlots &&
         tables.DayTable[dayIndex].solarDate != 0;
}

}  // namespace

bool ComputeSolarTermsOfYear(EngineContext& ctx, YearTables& tables, int mode) {
  for (int i = 0; i < YearTables::kListCapacity; ++i) {
    tables.SolarTermShadow[i] = tables.SolarTermList[i];
    tables.SolarTermList[i] = SolarTermRecord{};
  }
  const bool useShadow = mode == 1 || mode == -1;
  const double jd0 = ListStartJulianDay(tables);
  const double zone = ctx.settings.ZoneOffsetDays;

  // The first term: the next multiple of 15 degrees above the longitude at
  // the table's first midnight, counted on from J2000.0 as the mean longitude
  // is. That midnight is a clock time of the listed scale: the searches see
  // it with the zone removed (west of Greenwich up to half a day later), or
  // a term just after the midnight would be listed before the table.
  const double startJd = jd0 - zone;
  const double lambda = SunLongitudeAt(ctx, startJd);
  if (!std::isfinite(lambda)) return false;
  int k = 1;
  while (k < 24 && 15.0 * k <= lambda) ++k;
  int termIndex = (k + 3) % 24;
  const double startTT = startJd + TTMinusSearchScale(ctx.settings, startJd);
  if (!std::isfinite(startTT)) return false;
  const double turns = std::round((MeanSunLongitudeDeg(startTT) - lambda) / 360.0);
  ListEvent event{true, 360.0 * turns + 15.0 * k};

  for (int count = 0, skipped = 0; count < YearTables::kListCapacity;) {
    const double guess = GuessInSearchScale(ctx.settings, EventGuessTT(event));
    const SolarTermRecord* known = useShadow ? ShadowTerm(tables, termIndex, guess + zone) : nullptr;
    ClockFields c{};
    if (known != nullptr) {
      c.dayIndex = DayIndexOfDate(tables, known->date);
    } else {
      double instant;
      if (!FindEventInstant(ctx, event, instant)) return false;
      c = SplitInstant(instant + zone, jd0);
    }
    if (count == 0 && c.dayIndex < 0) {
      // Listed before the table (a rounding at its first midnight): the list
      // opens with the next term.
      if (++skipped > 2) return false;
      event.turnDeg += 15.0;
      termIndex = (termIndex + 1) % 24;
      continue;
    }
    if (!SlotHoldsDate(tables, c.dayIndex, tables.DayTableCount)) break;
    if (known != nullptr) {
      tables.SolarTermList[count] = *known;
    } else {
      SolarTermRecord& r = tables.SolarTermList[count];
      r.date = tables.DayTable[c.dayIndex].solarDate;
      r.termIndex = static_cast<std::int16_t>(termIndex);
      r.longitude = static_cast<std::int16_t>(TermLongitude(termIndex));
      const auto packed = static_cast<PackedTime>(c.hour * 100 + c.minute);
      if (termIndex % 2 == 0) r.sectionalTime = packed;
      else r.majorTime = packed;
      r.seconds = static_cast<std::int16_t>(c.seconds);
    }
    ++count;
    event.turnDeg += 15.0;
    termIndex = (termIndex + 1) % 24;
  }
  return true;
}

bool ComputeSyzygiesOfYear(EngineContext& ctx, YearTables& tables, int mode) {
  for (int i = 0; i < YearTables::kListCapacity; ++i) {
    tables.SyzygyShadow[i] = tables.SyzygyList[i];
    tables.SyzygyList[i] = SyzygyRecord{};
  }
  const bool useShadow = mode == 1 || mode == -1;
  const double jd0 = ListStartJulianDay(tables);
  const double zone = ctx.settings.ZoneOffsetDays;

  // The list opens with the first new moon after the table's first day.
  // Lunations whose guessed new moon falls more than kFirstLunationMarginDays
  // before the start cannot be it (the true new moon is within hours of the
  // guess); the few after that are searched and dropped while they fall on
  // or before the first day.
  const double jd0TT = jd0 + TTMinusSearchScale(ctx.settings, jd0);
  if (!std::isfinite(jd0TT)) return false;
  double lunation = std::floor((jd0TT - kMeanNewMoonEpochJD) / kSynodicMonthDays) - 1.0;
  for (int i = 0; i < kMaxSkippedLunations &&
                  GuessInSearchScale(ctx.settings, EventGuessTT({false, lunation})) + zone < jd0 - kFirstLunationMarginDays;
       ++i)
    lunation += 1.0;
  if (!std::isfinite(lunation)) return false;

  int count = 0;
  for (int skipped = 0; count < YearTables::kListCapacity;) {
    const ListEvent event{false, lunation};
    const bool newMoon = EventTargetDeg(event) == 360.0;
    // A new moon needs the 17 days after it inside the table (the month it
    // opens); a full moon only its own day.
    const int lastIndex = newMoon ? tables.DayTableCount - 17 : tables.DayTableCount;
    const double guess = GuessInSearchScale(ctx.settings, EventGuessTT(event));
    const SyzygyRecord* known = useShadow ? ShadowSyzygy(tables, newMoon, guess + zone) : nullptr;
    SyzygyRecord r;
    int dayIndex;
    if (known != nullptr) {
      r = *known;
      dayIndex = DayIndexOfDate(tables, r.date);
    } else {
      double instant;
      if (!FindEventInstant(ctx, event, instant)) return false;
      const ClockFields c = SplitInstant(instant + zone, jd0);
      dayIndex = c.dayIndex;
      const auto packed = static_cast<PackedTime>(c.hour * 100 + c.minute);
      if (newMoon) r.newMoonTime = packed;
      else r.fullMoonTime = packed;
      r.seconds = static_cast<std::int16_t>(c.seconds);
    }
    if (count == 0 && dayIndex < 1) {  // never on the table's first day
      if (++skipped > kMaxSkippedLunations) return false;
      lunation += 1.0;
      continue;
    }
    if (!SlotHoldsDate(tables, dayIndex, lastIndex)) break;
    r.date = tables.DayTable[dayIndex].solarDate;
    tables.SyzygyList[count++] = r;
    lunation += 0.5;
  }
  return true;
}

namespace {

// The seconds of the crossing of `target` by the longitude function near the
// listed minute (searched from its middle), with the minute carried when
// they fall outside 0..60. A failed search leaves the fields and gives none.
std::optional<RefinedMinute> RefineSeconds(EngineContext& ctx, double target, bool sun, const ListedMinute& listed) {
  const double t =
      CalendarToJulianDay(listed.y, listed.m, listed.d) + (listed.h + listed.mi / 60.0) / 24.0 - ctx.settings.ZoneOffsetDays;
  // From the middle of the minute; the window is measured from its start.
  const std::optional<double> crossing =
      LongitudeCrossing(ctx, sun, target, t + 0.5 * kMinuteDays, kRefineWindowDays + 0.5 * kMinuteDays);
  if (!crossing || std::fabs(*crossing - t) > kRefineWindowDays) return std::nullopt;
  double seconds = (*crossing - t) * kSecondsPerDay;
  const int carry = static_cast<int>(std::floor(seconds / 60.0));
  seconds -= 60.0 * carry;
  RefinedMinute out{listed, static_cast<float>(seconds)};
  ListedMinute& e = out.minute;
  if (carry != 0) AddMinutes(carry, e.y, e.m, e.d, e.h, e.mi, e.y, e.m, e.d, e.h, e.mi);
  return out;
}

}  // namespace

double ListedMinute::Jd() const { return JulianDayAtMinute(CalendarToJulianDay(y, m, d), h, mi); }
double ListedMinute::DateJd() const { return CalendarToJulianDay(y, m, d); }

std::optional<RefinedMinute> RefineTermSeconds(EngineContext& ctx, double longitude, const ListedMinute& listed) {
  if (longitude <= 0.0) longitude += 360.0;
  return RefineSeconds(ctx, longitude, true, listed);
}

std::optional<RefinedMinute> RefineSyzygySeconds(EngineContext& ctx, SyzygyKind kind, const ListedMinute& listed) {
  return RefineSeconds(ctx, kind == SyzygyKind::kNewMoon ? 360.0 : 180.0, false, listed);
}

std::optional<RefinedMinute> SolarTermInstantOfYear(EngineContext& ctx, const YearTables& tables, int year,
                                                    double longitudeDeg) {
  if (longitudeDeg < 1e-9) longitudeDeg = 360.0;
  const SolarTermRecord* list = tables.SolarTermList;
  int first = -1;
  for (int i = 0; i < YearTables::kListCapacity && list[i].date != 0; ++i) {
    int y, m, d;
    UnpackDate(list[i].date, y, m, d);
    if (y == year) {
      first = i;
      break;
    }
  }
  if (first < 0) return std::nullopt;
  int r = -1;
  if (longitudeDeg > 15.0) {
    for (int i = first; i < first + 24 && i + 1 < YearTables::kListCapacity; ++i) {
      if (list[i + 1].date == 0) break;
      if (list[i].longitude < longitudeDeg && longitudeDeg <= list[i + 1].longitude) {
        r = i;
        break;
      }
    }
  } else {
    for (int i = first; i < first + 24 && i + 1 < YearTables::kListCapacity; ++i) {
      if (list[i].date == 0 || list[i + 1].date == 0) break;
      if (list[i].longitude == 360) {
        r = i;
        break;
      }
    }
  }
  if (r < 0) return std::nullopt;
  const double zone = ctx.settings.ZoneOffsetDays;
  // From the instant interpolated between the two listed terms.
  const double fromJd = RecordInstant(list[r].date, list[r].time()) - zone;
  const double toJd = RecordInstant(list[r + 1].date, list[r + 1].time()) - zone;
  const double fromDeg = list[r].longitude == 360 && longitudeDeg <= 15.0 ? 0.0 : list[r].longitude;
  const double guess = fromJd + (longitudeDeg - fromDeg) / 15.0 * (toJd - fromJd);
  const Crossing found = FindCrossing(
      [&](double jd) { return SignedDegrees(SunLongitudeAt(ctx, jd) - longitudeDeg); }, guess, kSunCrossing);
  if (!found.found) return std::nullopt;
  const double x = found.jd + zone;
  const CivilDateTime c = JulianDayToCalendar(x);
  const ListedMinute listed{c.year, c.month, c.day, c.hour, c.minute};
  // The crossing was just found, so its refinement succeeds; if it did not,
  // the crossing's own clock seconds stand.
  return RefineTermSeconds(ctx, longitudeDeg, listed).value_or(RefinedMinute{listed, static_cast<float>(c.seconds)});
}

namespace {

// Index of the first record at or after the instant, -1 when none.
template <typename Record>
int FirstAtOrAfter(const Record* list, double instant) {
  for (int i = 0; i < YearTables::kListCapacity && list[i].date != 0; ++i)
    if (RecordInstant(list[i].date, list[i].time()) >= instant) return i;
  return -1;
}

// Index of the wanted kind of record nearest `k` (the first at or after the
// instant) in the direction asked, in lists that alternate between two kinds;
// -1 when that falls outside the list.
template <typename Record>
int AlternatingNeighbour(const Record* list, int k, bool kindAtK, bool wantKind, SearchDirection direction) {
  const bool back = direction == SearchDirection::kBefore;
  int j;
  if (kindAtK == wantKind) j = back ? k - 2 : k;
  else j = back ? k - 1 : k + 1;
  if (j < 0 || j >= YearTables::kListCapacity || list[j].date == 0) return -1;
  return j;
}

}  // namespace

std::optional<ListedTerm> FindSolarTermNear(const YearTables& tables, const ListedMinute& from,
                                            SearchDirection direction, TermKind kind) {
  const SolarTermRecord* list = tables.SolarTermList;
  const int k = FirstAtOrAfter(list, from.Jd());
  if (k < 0) return std::nullopt;
  const int j = AlternatingNeighbour(list, k, list[k].termIndex % 2 == 0, kind == TermKind::kSectional, direction);
  if (j < 0) return std::nullopt;
  ListedTerm out;
  UnpackDateTime(list[j].date, list[j].time(), out.minute.y, out.minute.m, out.minute.d, out.minute.h,
                 out.minute.mi);
  out.termIndex = list[j].termIndex;
  return out;
}

std::optional<ListedMinute> FindSyzygyNear(const YearTables& tables, const ListedMinute& from,
                                           SearchDirection direction, SyzygyKind kind) {
  const SyzygyRecord* list = tables.SyzygyList;
  const int k = FirstAtOrAfter(list, from.Jd());
  if (k < 0) return std::nullopt;
  const int j = AlternatingNeighbour(list, k, list[k].isNewMoon(), kind == SyzygyKind::kNewMoon, direction);
  if (j < 0) return std::nullopt;
  ListedMinute out;
  UnpackDateTime(list[j].date, list[j].time(), out.y, out.m, out.d, out.h, out.mi);
  return out;
}

}  // namespace orv
