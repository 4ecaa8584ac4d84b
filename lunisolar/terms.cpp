#include "lunisolar/terms.h"

#include <cmath>

#include "ephemeris/sunmoon.h"

namespace orv {

const char* const SolarTermNames[24] = {
    "立春입춘", "雨水우수", "驚蟄경칩", "春分춘분", "淸明청명", "穀雨곡우",
    "立夏입하", "小滿소만", "芒種망종", "夏至하지", "小暑소서", "大暑대서",
    "立秋입추", "處暑처서", "白露백로", "秋分추분", "寒露한로", "霜降상강",
    "立冬입동", "小雪소설", "大雪대설", "冬至동지", "小寒소한", "大寒대한"};

namespace {

constexpr double kMinuteDays = 1.0 / 1440.0;
// Bisection tolerances, days. The lists are searched to 0.01 s like the
// refined seconds: a coarser tolerance leaves the listed minute (and, within
// seconds of midnight, the date) depending on where the search started, so a
// year reached by paging from its neighbour could differ from the same year
// computed afresh. The 20 s of a quick search remain for
// SolarTermInstantOfYear's bracket, which is refined afterwards.
constexpr double kQuickToleranceDays = 2.314814814814815e-4;
constexpr double kRefineToleranceDays = 1.1574074074074074e-7;
constexpr double kListToleranceDays = kRefineToleranceDays;
// Coarse approach: minutes per degree of the Sun's longitude and of the
// elongation (deliberately short of the true rates, so the approach never
// overshoots), and where the approach stops (minutes).
constexpr double kSunMinutesPerDegree = 1000.0;
constexpr double kMoonMinutesPerDegree = 100.0;
constexpr double kCoarseStopMinutes = 2.0 / 1440.0;
constexpr double kCoarseStopFullMoonMinutes = 1.0 / 1440.0;
// A longitude below this, when the target is 360, has passed the wrap.
constexpr double kWrapLimitDeg = 12.2;
// Days after an event where the search for the next one starts.
constexpr double kNextSearchDays = 12.0;
constexpr int kDefaultStepSeconds = 20;
// With mode -1 only this many records are computed; the rest come from the shadow.
constexpr int kBackwardComputed = 26;

double WrappedLongitude(double longitude, double target) {
  return (target >= 359.99 && longitude < kWrapLimitDeg) ? longitude + 360.0 : longitude;
}

double SunLongitudeAt(EngineContext& ctx, double jd) {
  return SunMoonLongitude(ctx, kBodySun, jd, kResultSunLongitude);
}
double ElongationAt(EngineContext& ctx, double jd) {
  return SunMoonLongitude(ctx, kBodySunAndMoon, jd, kResultElongation);
}

double LongitudeFunction(EngineContext& ctx, int body, int what, double jd) {
  return SunMoonLongitude(ctx, body, jd, what);
}

int StepSeconds(const CalcSettings& settings) {
  return settings.TermSearchStepSeconds > 0 ? settings.TermSearchStepSeconds : kDefaultStepSeconds;
}

// Linear stepping: step forward while the function is short of the target
// and interpolate the crossing between the last two points.
double StepToLongitude(EngineContext& ctx, int body, int what, double target, double t) {
  const double step = StepSeconds(ctx.settings) / 86400.0;
  double lambda = WrappedLongitude(LongitudeFunction(ctx, body, what, t), target);
  if (lambda >= target) return t;  // already reached at the start of the fine step
  double dPrev = std::fabs(target - lambda), d = dPrev;
  // Bounded: the coarse approach leaves at most a few minutes to go.
  for (int i = 0; i < 100000 && lambda < target; ++i) {
    dPrev = std::fabs(target - lambda);
    t += step;
    lambda = WrappedLongitude(LongitudeFunction(ctx, body, what, t), target);
    d = std::fabs(target - lambda);
  }
  return (dPrev + d) > 0.0 ? t - step * d / (dPrev + d) : t;
}

// Coarse approach from `t` towards `target` by steps of (target - value) x
// minutesPerDegree minutes, stopping when the step is below `stopMinutes`;
// returns the last point before the final step.
double CoarseApproach(EngineContext& ctx, int body, int what, double target, double t,
                      double minutesPerDegree, double stopMinutes, bool wrap) {
  double value = LongitudeFunction(ctx, body, what, t);
  if (wrap) value = WrappedLongitude(value, target);
  double previous = t;
  for (int i = 0; i < 200; ++i) {
    const double g = (target - value) * minutesPerDegree;
    if (g <= stopMinutes || g < 0.0) break;
    previous = t;
    t += g * kMinuteDays;
    value = LongitudeFunction(ctx, body, what, t);
    if (wrap) value = WrappedLongitude(value, target);
  }
  return previous;
}

// One event of the lists: the coarse approach from `t`, then the fine step
// (bisection over `windowMinutes`, or linear stepping) to the crossing of
// `target`. The instant is in the search's time scale (zone not added).
struct EventSearch {
  int body, what;
  double minutesPerDegree, stopMinutes, windowMinutes;
  bool wrap;
};

double FindListEvent(EngineContext& ctx, const EventSearch& s, double target, double t) {
  t = CoarseApproach(ctx, s.body, s.what, target, t, s.minutesPerDegree, s.stopMinutes, s.wrap);
  return ctx.settings.TermSearchBisection == 1
             ? BisectLongitude(ctx, target, t, t + s.windowMinutes * kMinuteDays, kListToleranceDays, s.body, s.what)
             : StepToLongitude(ctx, s.body, s.what, target, t);
}

constexpr EventSearch kTermSearch{kBodySun, kResultSunLongitude, kSunMinutesPerDegree, kCoarseStopMinutes, 5.0, true};
constexpr EventSearch kNewMoonSearch{kBodySunAndMoon, kResultElongation, kMoonMinutesPerDegree, kCoarseStopMinutes,
                                     60.0, true};
constexpr EventSearch kFullMoonSearch{kBodySunAndMoon, kResultElongation, kMoonMinutesPerDegree,
                                      kCoarseStopFullMoonMinutes, 120.0, false};

// Clock fields of a Julian Day in the selected time system (zone added).
struct ClockFields {
  int dayIndex;
  int hour, minute, seconds;
};

ClockFields SplitInstant(double instant, double jd0) {
  ClockFields c;
  c.dayIndex = static_cast<int>(instant - jd0);
  if (instant - jd0 < 0.0) c.dayIndex = -1;
  const double f = (instant + 0.5) - std::floor(instant + 0.5);
  double x = 24.0 * f;
  c.hour = static_cast<int>(x);
  x = 60.0 * (x - c.hour);
  c.minute = static_cast<int>(x);
  const double s = 60.0 * (x - c.minute);
  c.seconds = static_cast<int>(s + 0.5);
  return c;
}

double RecordInstant(PackedDate date, PackedTime time) {
  int h, mi;
  UnpackTime(time, h, mi);
  return PackedDateToJulianDay(date) + h / 24.0 + mi / 1440.0;
}

double ListStartJulianDay(const YearTables& t) { return PackedDateToJulianDay(t.DayTable[0].solarDate); }

}  // namespace

int TermLongitude(int termIndex) {
  if (termIndex == 3) return 360;
  return 15 * ((termIndex + 21) % 24);
}

double BisectLongitude(EngineContext& ctx, double target, double lo, double hi, double toleranceDays,
                       int body, int what) {
  double dLo = LongitudeFunction(ctx, body, what, lo) - target;
  if (dLo > 0.0) dLo -= 360.0;
  double mid = lo, dMid = dLo;
  for (int i = 0; i < 30; ++i) {
    mid = 0.5 * (lo + hi);
    dMid = WrappedLongitude(LongitudeFunction(ctx, body, what, mid), target) - target;
    if (std::fabs(mid - lo) < toleranceDays) break;
    if (dLo * dMid >= 0.0) {
      lo = mid;
      dLo = dMid;
    } else {
      hi = mid;
    }
  }
  return dMid <= 0.0 ? mid : lo;
}

void ComputeSolarTermsOfYear(EngineContext& ctx, YearTables& tables, int mode) {
  for (int i = 0; i < YearTables::kListCapacity; ++i) {
    tables.SolarTermShadow[i] = tables.SolarTermList[i];
    tables.SolarTermList[i] = SolarTermRecord{};
  }
  const double jd0 = ListStartJulianDay(tables);
  const double zone = ctx.settings.ZoneOffsetDays;
  const int capacity = mode == -1 ? kBackwardComputed : YearTables::kListCapacity;

  int count = 0;
  double t = jd0;
  int termIndex = -1;
  if (mode == 1) {
    for (const SolarTermRecord& r : tables.SolarTermShadow) {
      if (r.date == 0 || count >= capacity) break;
      if (PackedDateToJulianDay(r.date) > jd0) tables.SolarTermList[count++] = r;
    }
    if (count > 0) {
      t = PackedDateToJulianDay(tables.SolarTermList[count - 1].date) + 7.0;
      termIndex = (tables.SolarTermList[count - 1].termIndex + 1) % 24;
    }
  }
  if (termIndex < 0) {
    const double lambda = SunLongitudeAt(ctx, t);
    int k = 1;
    while (k < 24 && 15.0 * k <= lambda) ++k;
    termIndex = (k + 3) % 24;
  }

  while (count < capacity) {
    const double target = TermLongitude(termIndex);
    const double instant = FindListEvent(ctx, kTermSearch, target, t) + zone;
    const ClockFields c = SplitInstant(instant, jd0);
    if (c.dayIndex < 0 || c.dayIndex > tables.DayTableCount) break;
    if (c.dayIndex >= YearTables::kDaySlots || tables.DayTable[c.dayIndex].solarDate == 0) break;
    SolarTermRecord& r = tables.SolarTermList[count++];
    r.date = tables.DayTable[c.dayIndex].solarDate;
    r.termIndex = static_cast<std::int16_t>(termIndex);
    r.longitude = static_cast<std::int16_t>(target);
    const auto packed = static_cast<PackedTime>(c.hour * 100 + c.minute);
    if (termIndex % 2 == 0) r.sectionalTime = packed;
    else r.majorTime = packed;
    r.seconds = static_cast<std::int16_t>(c.seconds);
    t = instant + kNextSearchDays;
    termIndex = (termIndex + 1) % 24;
  }

  if (mode == -1 && count > 0) {
    // The shadow's later events, as far as the day table reaches (the same
    // end as a fresh search).
    const double lastJd = PackedDateToJulianDay(tables.SolarTermList[count - 1].date);
    const double endJd = jd0 + tables.DayTableCount;
    for (const SolarTermRecord& r : tables.SolarTermShadow) {
      if (r.date == 0 || count >= YearTables::kListCapacity - 1) break;
      const double jd = PackedDateToJulianDay(r.date);
      if (jd >= endJd) break;
      if (jd > lastJd) tables.SolarTermList[count++] = r;
    }
  }
}

void ComputeSyzygiesOfYear(EngineContext& ctx, YearTables& tables, int mode) {
  for (int i = 0; i < YearTables::kListCapacity; ++i) {
    tables.SyzygyShadow[i] = tables.SyzygyList[i];
    tables.SyzygyList[i] = SyzygyRecord{};
  }
  const double jd0 = ListStartJulianDay(tables);
  const double zone = ctx.settings.ZoneOffsetDays;
  const int capacity = mode == -1 ? kBackwardComputed : YearTables::kListCapacity;

  int count = 0;
  double t = jd0;
  bool nextIsNew = true;
  if (mode == 1) {
    // Keep the shadow's events after the first day, starting with a new moon.
    for (const SyzygyRecord& r : tables.SyzygyShadow) {
      if (r.date == 0 || count >= capacity) break;
      if (PackedDateToJulianDay(r.date) <= jd0) continue;
      if (count == 0 && !r.isNewMoon()) continue;
      tables.SyzygyList[count++] = r;
    }
    if (count > 0) {
      t = PackedDateToJulianDay(tables.SyzygyList[count - 1].date) + 7.0;
      nextIsNew = !tables.SyzygyList[count - 1].isNewMoon();
    }
  }

  while (count < capacity) {
    if (nextIsNew) {
      double e = ElongationAt(ctx, t);
      if (e < kWrapLimitDeg) t -= 2.0;
      const double instant = FindListEvent(ctx, kNewMoonSearch, 360.0, t) + zone;
      const ClockFields c = SplitInstant(instant, jd0);
      if (count == 0 && c.dayIndex < 1) {  // never on the table's first day
        t = jd0 + 20.0;
        continue;
      }
      if (c.dayIndex < 0 || c.dayIndex > tables.DayTableCount - 17) break;
      if (tables.DayTable[c.dayIndex].solarDate == 0) break;
      SyzygyRecord& r = tables.SyzygyList[count++];
      r.date = tables.DayTable[c.dayIndex].solarDate;
      r.newMoonTime = static_cast<PackedTime>(c.hour * 100 + c.minute);
      r.seconds = static_cast<std::int16_t>(c.seconds);
      t = instant + kNextSearchDays;
      nextIsNew = false;
    } else {
      const double instant = FindListEvent(ctx, kFullMoonSearch, 180.0, t) + zone;
      const ClockFields c = SplitInstant(instant, jd0);
      if (c.dayIndex < 0 || c.dayIndex > tables.DayTableCount) break;
      if (c.dayIndex >= YearTables::kDaySlots || tables.DayTable[c.dayIndex].solarDate == 0) break;
      SyzygyRecord& r = tables.SyzygyList[count++];
      r.date = tables.DayTable[c.dayIndex].solarDate;
      r.fullMoonTime = static_cast<PackedTime>(c.hour * 100 + c.minute);
      r.seconds = static_cast<std::int16_t>(c.seconds);
      t = instant + kNextSearchDays;
      nextIsNew = true;
    }
  }

  if (mode == -1 && count > 0) {
    // The shadow's later events, ending where a fresh search ends: a new
    // moon no later than 17 days before the table's end, a full moon inside it.
    const double lastJd = PackedDateToJulianDay(tables.SyzygyList[count - 1].date);
    const bool lastWasNew = tables.SyzygyList[count - 1].isNewMoon();
    bool expectNew = !lastWasNew;
    for (const SyzygyRecord& r : tables.SyzygyShadow) {
      if (r.date == 0 || count >= YearTables::kListCapacity - 1) break;
      const double jd = PackedDateToJulianDay(r.date);
      if (jd <= lastJd) continue;
      if (r.isNewMoon() != expectNew) continue;  // keep the new/full alternation
      const int dayIndex = static_cast<int>(jd - jd0);
      if (dayIndex > (r.isNewMoon() ? tables.DayTableCount - 17 : tables.DayTableCount - 1)) break;
      tables.SyzygyList[count++] = r;
      expectNew = !expectNew;
    }
  }
}

namespace {

float RefineSeconds(EngineContext& ctx, double target, int body, int what, int& y, int& m, int& d,
                    int& h, int& mi) {
  const double t = CalendarToJulianDay(y, m, d) + (h + mi / 60.0) / 24.0 - ctx.settings.ZoneOffsetDays;
  const double x = BisectLongitude(ctx, target, t - kMinuteDays, t + 1.5 * kMinuteDays,
                                   kRefineToleranceDays, body, what);
  double seconds = (x - t) * 86400.0;
  int carry = 0;
  while (seconds >= 60.0) {
    seconds -= 60.0;
    ++carry;
  }
  while (seconds < 0.0) {
    seconds += 60.0;
    --carry;
  }
  if (carry != 0) AddMinutes(carry, y, m, d, h, mi, y, m, d, h, mi);
  return static_cast<float>(seconds);
}

}  // namespace

float RefineTermSeconds(EngineContext& ctx, double longitude, int& y, int& m, int& d, int& h, int& mi) {
  if (longitude <= 0.0) longitude += 360.0;
  return RefineSeconds(ctx, longitude, kBodySun, kResultSunLongitude, y, m, d, h, mi);
}

float RefineSyzygySeconds(EngineContext& ctx, char kind, int& y, int& m, int& d, int& h, int& mi) {
  return RefineSeconds(ctx, kind == 'H' ? 360.0 : 180.0, kBodySunAndMoon, kResultElongation, y, m, d, h, mi);
}

bool SolarTermInstantOfYear(EngineContext& ctx, const YearTables& tables, int year, double longitudeDeg,
                            int& month, int& day, int& hour, int& minute, float& seconds) {
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
  if (first < 0) return false;
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
  if (r < 0) return false;
  const double zone = ctx.settings.ZoneOffsetDays;
  const double lo = PackedDateToJulianDay(list[r].date) - 2.0 - zone;
  const double hi = PackedDateToJulianDay(list[r + 1].date) + 2.0 - zone;
  const double x = BisectLongitude(ctx, longitudeDeg, lo, hi, kQuickToleranceDays, kBodySun,
                                   kResultSunLongitude) + zone;
  const CivilDateTime c = JulianDayToCalendar(x);
  int y = c.year;
  month = c.month;
  day = c.day;
  hour = c.hour;
  minute = c.minute;
  seconds = RefineTermSeconds(ctx, longitudeDeg, y, month, day, hour, minute);
  return true;
}

namespace {

// Index of the first record at or after the instant, -1 when none.
template <typename Record>
int FirstAtOrAfter(const Record* list, double instant) {
  for (int i = 0; i < YearTables::kListCapacity && list[i].date != 0; ++i)
    if (RecordInstant(list[i].date, list[i].time()) >= instant) return i;
  return -1;
}

}  // namespace

bool FindSolarTermNear(const YearTables& tables, int y, int m, int d, int h, int mi, char direction,
                       char kind, int& oy, int& om, int& od, int& oh, int& omi, int& termIndex) {
  const double instant = CalendarToJulianDay(y, m, d) + h / 24.0 + mi / 1440.0;
  const int k = FirstAtOrAfter(tables.SolarTermList, instant);
  if (k < 0) return false;
  const bool sectional = tables.SolarTermList[k].termIndex % 2 == 0;
  const bool wantSectional = kind == 'J';
  const bool back = direction == 'b';
  int j;
  if (sectional == wantSectional) j = back ? k - 2 : k;
  else j = back ? k - 1 : k + 1;
  if (j < 0 || j >= YearTables::kListCapacity || tables.SolarTermList[j].date == 0) return false;
  const SolarTermRecord& r = tables.SolarTermList[j];
  UnpackDateTime(r.date, r.time(), oy, om, od, oh, omi);
  termIndex = r.termIndex;
  return true;
}

bool FindSyzygyNear(const YearTables& tables, int y, int m, int d, int h, int mi, char direction, char kind,
                    int& oy, int& om, int& od, int& oh, int& omi) {
  const double instant = CalendarToJulianDay(y, m, d) + h / 24.0 + mi / 1440.0;
  const int k = FirstAtOrAfter(tables.SyzygyList, instant);
  if (k < 0) return false;
  const bool isNew = tables.SyzygyList[k].isNewMoon();
  const bool wantNew = kind == 'H';
  const bool back = direction == 'b';
  int j;
  if (isNew == wantNew) j = back ? k - 2 : k;
  else j = back ? k - 1 : k + 1;
  if (j < 0 || j >= YearTables::kListCapacity || tables.SyzygyList[j].date == 0) return false;
  const SyzygyRecord& r = tables.SyzygyList[j];
  UnpackDateTime(r.date, r.time(), oy, om, od, oh, omi);
  return true;
}

namespace {

// The shift is counted in whole seconds (4 minutes per degree), so that the
// seconds of an event survive a shift and its inverse unchanged.
template <typename Record>
void ShiftRecord(Record& r, PackedTime& field, float deltaDeg) {
  const long long totalSeconds = std::llround(240.0 * static_cast<double>(deltaDeg)) + r.seconds;
  const long long whole = totalSeconds >= 0 ? totalSeconds / 60 : -((-totalSeconds + 59) / 60);
  r.seconds = static_cast<std::int16_t>(totalSeconds - 60 * whole);
  int y, m, d, h, mi;
  UnpackDateTime(r.date, field, y, m, d, h, mi);
  AddMinutes(static_cast<std::int64_t>(whole), y, m, d, h, mi, y, m, d, h, mi);
  r.date = PackDate(y, m, d);
  field = static_cast<PackedTime>(h * 100 + mi);
}

}  // namespace

void ShiftTermListZone(YearTables& tables, float deltaDeg) {
  for (SolarTermRecord& r : tables.SolarTermList) {
    if (r.date == 0) continue;
    ShiftRecord(r, r.sectionalTime >= 0 ? r.sectionalTime : r.majorTime, deltaDeg);
  }
}

void ShiftSyzygyListZone(YearTables& tables, float deltaDeg) {
  for (SyzygyRecord& r : tables.SyzygyList) {
    if (r.date == 0) continue;
    ShiftRecord(r, r.newMoonTime >= 0 ? r.newMoonTime : r.fullMoonTime, deltaDeg);
  }
}

}  // namespace orv
