#include "lunisolar/lunar_calendar.h"

#include <cmath>
#include <cstdlib>

#include "lunisolar/historical_calendar.h"

namespace orv {
namespace {

constexpr int kTermSpringEquinox = 3;
constexpr int kTermSummerSolstice = 9;
constexpr int kTermAutumnEquinox = 15;
constexpr int kTermWinterSolstice = 21;
constexpr int kMaxCandidates = 16;

struct LunarMonth {
  int year;
  int month;
};

LunarMonth NextMonth(LunarMonth m, int steps = 1) {
  m.month += steps;
  while (m.month > 12) {
    m.month -= 12;
    ++m.year;
  }
  while (m.month < 1) {
    m.month += 12;
    --m.year;
  }
  return m;
}

int DateYear(PackedDate date) {
  int y, m, d;
  UnpackDate(date, y, m, d);
  return y;
}
int DateMonth(PackedDate date) {
  int y, m, d;
  UnpackDate(date, y, m, d);
  return m;
}

int SlotOfSolarDate(const YearTables& t, PackedDate date) {
  // The table is consecutive from its first date: a direct offset.
  const int slot = static_cast<int>(PackedDateToJulianDay(date) - PackedDateToJulianDay(t.DayTable[0].solarDate));
  if (slot < 0 || slot >= t.DayTableCount) return -1;
  return slot;
}

// Index of the first term record with `termIndex` whose date's year is >= year
// (or, with atMost, <= year), -1 when none.
int FindTermRecord(const YearTables& t, int termIndex, int year, bool atMost = false) {
  for (int i = 0; i < YearTables::kListCapacity && t.SolarTermList[i].date != 0; ++i) {
    if (t.SolarTermList[i].termIndex != termIndex) continue;
    const int y = DateYear(t.SolarTermList[i].date);
    if (atMost ? y <= year : y >= year) return i;
  }
  return -1;
}

LunarMonth NormalizeKey(LunarMonth key) {
  if (key.month == 0) return {key.year - 1, 12};
  return key;
}

// Julian Day (00:00) of the civil day holding an instant of the listed scale.
double DayOfInstant(double instant) { return std::floor(instant + 0.5) - 0.5; }

// Julian Day Number (noon) of a packed civil date.
long DayNumberOf(PackedDate date) { return static_cast<long>(std::floor(PackedDateToJulianDay(date) + 0.5)); }

// The civil days (00:00 Julian Days) of the new moons and the major terms:
// the listed ones, then those found past the lists.
struct Lunations {
  static constexpr int kCapacity = YearTables::kListCapacity / 2 + YearTables::kTailCapacity + 1;
  double newMoon[kCapacity];
  int count = 0;
  int firstListed = 0;  // 1 when a new moon before the list comes first
  int listedEnd = 0;    // one past the last new moon of the syzygy list
  static constexpr int kMajorCapacity = YearTables::kListCapacity + YearTables::kTailCapacity + 1;
  double major[kMajorCapacity];
  int majorCount = 0;

  explicit Lunations(const YearTables& t) {
    if (t.HeadNewMoon) newMoon[count++] = DayOfInstant(*t.HeadNewMoon);
    firstListed = count;
    for (int r = 0; r < YearTables::kListCapacity && t.SyzygyList[r].date != 0; ++r)
      if (t.SyzygyList[r].isNewMoon() && count < kCapacity) newMoon[count++] = PackedDateToJulianDay(t.SyzygyList[r].date);
    listedEnd = count;
    if (firstListed == 1 && (listedEnd == 1 || newMoon[0] >= newMoon[1])) {
      // Not a lunation before the list: leave it out.
      for (int i = 1; i < count; ++i) newMoon[i - 1] = newMoon[i];
      --count;
      firstListed = 0;
      listedEnd = count;
    }
    for (int i = 0; i < t.TailNewMoonCount && count < kCapacity; ++i) {
      const double day = DayOfInstant(t.TailNewMoons[i]);
      if (count == 0 || day > newMoon[count - 1]) newMoon[count++] = day;
    }
    for (int i = 0; i < YearTables::kListCapacity && t.SolarTermList[i].date != 0; ++i)
      if (t.SolarTermList[i].termIndex % 2 == 1) major[majorCount++] = PackedDateToJulianDay(t.SolarTermList[i].date);
    if (t.HeadMajorTerm) major[majorCount++] = DayOfInstant(*t.HeadMajorTerm);
    for (int i = 0; i < t.TailMajorTermCount && majorCount < kMajorCapacity; ++i)
      major[majorCount++] = DayOfInstant(t.TailMajorTerms[i]);
  }

  // No major term with a date d, day(i) <= d < day(i + 1) (civil dates, so a
  // major term on the day of the next new moon belongs to the next month).
  bool NoMajorTermIn(int i) const {
    for (int k = 0; k < majorCount; ++k)
      if (newMoon[i] <= major[k] && major[k] < newMoon[i + 1]) return false;
    return true;
  }
};

bool IsLeapMonthComputed(const YearTables& t, const Lunations& l, int Y, LunarMonth key, int i) {
  if (i + 1 >= l.count) return false;
  key = NormalizeKey(key);
  if (key.year == Y - 1 && key.month == 12) {
    const int equinox = FindTermRecord(t, kTermSpringEquinox, Y);
    if (equinox >= 0 && i + 2 < l.count && PackedDateToJulianDay(t.SolarTermList[equinox].date) < l.newMoon[i + 2])
      return false;
  }
  return l.NoMajorTermIn(i);
}

struct Builder {
  YearTables& t;
  int Y;
  Lunations l;
  int candidates[kMaxCandidates];
  int candidateCount = 0;
  int firstCandidatePosition = 0;

  Builder(YearTables& tables, int year) : t(tables), Y(year), l(tables) {}

  LunarMonth MonthAtSlot(int slot) const {
    int y, m, d;
    UnpackDate(t.DayTable[slot].lunarDate, y, m, d);
    return {y, m};
  }

  // Adds `steps` months to every numbered slot from `from` (inclusive) up to
  // `to` (exclusive; -1 = to the end), optionally clearing the leap flag.
  void Renumber(int from, int to, int steps, bool clearLeap) {
    for (int s = from; s < t.DayTableCount && (to < 0 || s < to); ++s) {
      DayRecord& rec = t.DayTable[s];
      if (rec.lunarDate == 0) break;
      int y, m, d;
      UnpackDate(rec.lunarDate, y, m, d);
      const LunarMonth n = NextMonth({y, m}, steps);
      rec.lunarDate = PackDate(n.year, n.month, d);
      if (clearLeap) rec.leap = 0;
    }
  }

  // Lunar month number at a term's date plus the candidates at or before it.
  int TermPosition(int termRecord) const {
    if (termRecord < 0) return -100;
    const int slot = SlotOfSolarDate(t, t.SolarTermList[termRecord].date);
    if (slot < 0 || t.DayTable[slot].lunarDate == 0) return -100;
    int count = 0;
    for (int i = 0; i < candidateCount; ++i)
      if (candidates[i] <= slot) ++count;
    return MonthAtSlot(slot).month + count;
  }

  // A term of index `termIndex` dated in Y after June or in a later year before June.
  int LateTerm(int termIndex) const {
    for (int i = 0; i < YearTables::kListCapacity && t.SolarTermList[i].date != 0; ++i) {
      if (t.SolarTermList[i].termIndex != termIndex) continue;
      const int y = DateYear(t.SolarTermList[i].date), m = DateMonth(t.SolarTermList[i].date);
      if ((y == Y && m > 6) || (y > Y && m < 6)) return i;
    }
    return -1;
  }

  void ResolveStep() {
    int P[2];
    for (int i = 0; i < 2; ++i) {
      const LunarMonth c = MonthAtSlot(candidates[i]);
      P[i] = c.month + i + 1 + 12 * (c.year - Y);
    }
    const int E = TermPosition(FindTermRecord(t, kTermSpringEquinox, Y));
    const int S = TermPosition(FindTermRecord(t, kTermSummerSolstice, Y));
    const int A = TermPosition(LateTerm(kTermAutumnEquinox));
    const int W = TermPosition(LateTerm(kTermWinterSolstice));
    int E2 = TermPosition(FindTermRecord(t, kTermSpringEquinox, Y + 1));
    if (E2 > -100 && E2 < 14) E2 += 12;
    const LunarMonth last = MonthAtSlot(candidates[candidateCount - 1]);

    bool drop = false;
    if (P[0] < 11 && W == 11) drop = true;
    else if (P[0] < 2) drop = P[1] < 12 && W >= 12 && E == 2;
    else if (last.year == Y - 1 && P[0] >= 11) drop = P[1] < 12 && W >= 12 && E == 2;
    else if (P[0] < 5) drop = P[1] <= 11 && W >= 12 && S == 5;
    else if (P[0] >= 8 && P[0] < 11) drop = false;
    else if (P[0] >= 12) drop = E2 == 14;
    else if (P[0] == 11) drop = false;
    else drop = P[1] < 12 && W >= 12 && A == 8;  // 5 <= P0 < 8

    if (drop) {
      Renumber(candidates[0], candidates[1], 1, true);
      Renumber(candidates[1], -1, 1, false);
      for (int i = 1; i < candidateCount; ++i) candidates[i - 1] = candidates[i];
      --candidateCount;
    } else {
      for (int j = 1; j < candidateCount; ++j)
        Renumber(candidates[j], j + 1 < candidateCount ? candidates[j + 1] : -1, j, true);
      candidateCount = 1;
    }
  }

  // Renumbers a leap month as a regular month and every month after it one higher.
  void RemoveLeapMonth(int slot) {
    const int length = t.DayTable[slot].monthLength;
    Renumber(slot, -1, 1, false);
    for (int s = slot; s < slot + length && s < t.DayTableCount; ++s) t.DayTable[s].leap = 0;
  }

  void YearBoundaryCheck() {
    if (candidateCount != 1) return;
    const int slot = candidates[0];
    const LunarMonth c = MonthAtSlot(slot);
    auto monthOfTerm = [&](int record) -> int {
      if (record < 0) return -1;
      const int s = SlotOfSolarDate(t, t.SolarTermList[record].date);
      return (s >= 0 && t.DayTable[s].lunarDate != 0) ? MonthAtSlot(s).month : -1;
    };
    if (c.year == Y && c.month < 11) {
      const int w = monthOfTerm(LateTerm(kTermWinterSolstice));
      if (w >= 0 && w < 11) RemoveLeapMonth(slot);
    } else if (c.year == Y - 1) {
      const int e = monthOfTerm(FindTermRecord(t, kTermSpringEquinox, Y));
      if (e >= 0 && (e < 2 || e > 10)) RemoveLeapMonth(slot);
    }
  }

  int Days(int from, int to) const { return static_cast<int>(l.newMoon[to] - l.newMoon[from]); }

  void Run() {
    for (DayRecord& d : t.DayTable) {
      d.lunarDate = 0;
      d.monthLength = 0;
      d.leap = 0;
    }
    for (int& s : t.NoMajorTermStarts) s = -1;
    t.EarlyLeapFlag = 0;
    int noMajorCount = 0;

    // Month 11 of Y - 1: the last new moon on or before the winter solstice.
    const int solstice = FindTermRecord(t, kTermWinterSolstice, Y, true);
    if (solstice < 0) return;
    const double solsticeJd = PackedDateToJulianDay(t.SolarTermList[solstice].date);
    int k = -1;
    for (int i = l.firstListed; i < l.listedEnd; ++i) {
      if (l.newMoon[i] > solsticeJd) {
        k = i;
        break;
      }
    }
    if (k < l.firstListed + 1) return;
    const int i11 = k - 1;
    if (i11 + 1 >= l.count) return;

    const double tableStart = PackedDateToJulianDay(t.DayTable[0].solarDate);
    const int start = static_cast<int>(l.newMoon[i11] - tableStart);
    FillMonth(t, start, Y - 1, 11, 0, Days(i11, i11 + 1));
    t.Month11StartSlot = start;

    // Forward. The months that end at a new moon past the lists are numbered
    // by the same rule but take no part in the leap-month resolution of Y:
    // their year is Y + 1, whose own build resolves them.
    LunarMonth previous{Y - 1, 11};
    int next = start + Days(i11, i11 + 1);
    for (int i = i11 + 1; i + 1 < l.count; ++i) {
      const bool endListed = i + 1 < l.listedEnd;
      const LunarMonth tentative = NextMonth(previous);
      const int len = Days(i, i + 1);
      LunarMonth number = tentative;
      int leap = 0;
      if (IsLeapMonthComputed(t, l, Y, {tentative.year, tentative.month - 1}, i)) {
        number = NormalizeKey({tentative.year, tentative.month - 1});
        leap = 1;
        // A month starting past the table's end writes nothing and is no candidate.
        if (endListed && candidateCount < kMaxCandidates && next >= 0 && next < t.DayTableCount) {
          if (candidateCount == 0) {
            firstCandidatePosition = tentative.month;
            if (number.year > Y) firstCandidatePosition += 12;
            if (number.year < Y) firstCandidatePosition -= 12;
          }
          candidates[candidateCount++] = next;
        }
      }
      if (endListed && l.NoMajorTermIn(i) && noMajorCount < YearTables::kNoMajorTermCapacity &&
          next < t.DayTableCount)
        t.NoMajorTermStarts[noMajorCount++] = next;
      FillMonth(t, next, number.year, number.month, leap, len);
      next += len;
      previous = number;
    }

    // Backward from month 11.
    LunarMonth later{Y - 1, 11};
    int laterLeap = 0;
    int begin = start;
    for (int i = i11 - 1; i >= 0 && begin > 0; --i) {
      LunarMonth number = laterLeap ? later : NextMonth(later, -1);
      const int len = Days(i, i + 1);
      begin -= len;
      int leap = 0;
      if (!laterLeap && IsLeapMonthComputed(t, l, Y, number, i)) {
        leap = 1;
        t.EarlyLeapFlag = 1;
      }
      FillMonth(t, begin, number.year, number.month, leap, len);
      later = number;
      laterLeap = leap;
    }

    // Keep exactly one leap month where the candidates and principal terms demand it.
    if (candidateCount > 0 && firstCandidatePosition < 14) {
      while (candidateCount > 1) ResolveStep();
      YearBoundaryCheck();
    }
  }
};

// ---- The recorded months ---------------------------------------------------

constexpr int kShortestMonthDays = 29;
constexpr int kLongestMonthDays = 30;
constexpr int kMonthsInTable = 24;

// The months of the table as the computed build numbered them, in order
// (the first may begin before the table).
int ComputedMonths(const YearTables& t, HistoricalMonth* out, int capacity) {
  const long firstDay = DayNumberOf(t.DayTable[0].solarDate);
  int count = 0;
  for (int s = 0; s < t.DayTableCount && count < capacity; ++s) {
    const DayRecord& rec = t.DayTable[s];
    if (rec.lunarDate == 0) continue;
    int y, m, d;
    UnpackDate(rec.lunarDate, y, m, d);
    if (d != 1 && count > 0) continue;
    HistoricalMonth& month = out[count++];
    month.firstDay = firstDay + s - (d - 1);
    month.length = rec.monthLength;
    month.year = y;
    month.month = m;
    month.leap = rec.leap;
  }
  return count;
}

// The computed month whose first day is nearest `day`, -1 when none within a
// fortnight.
int NearestStart(const HistoricalMonth* months, int count, long day) {
  constexpr long kFortnightDays = 15;
  int best = -1;
  for (int i = 0; i < count; ++i) {
    const long gap = std::labs(months[i].firstDay - day);
    if (gap <= kFortnightDays && (best < 0 || gap < std::labs(months[best].firstDay - day))) best = i;
  }
  return best;
}

// Replaces the lunar dates of the table by the recorded months of `place`
// where they reach; the computed months go on outside them. Where the two
// meet, the computed month that the recorded span would cut belongs wholly
// to one side: the computed boundary nearest the span's edge moves onto it,
// and when that leaves a neighbouring month outside 29..30 days the
// boundaries beyond move by as much as needed, month by month, until the
// lengths fit (under the reference settings nothing moves).
void ApplyRecordedMonths(YearTables& t, int Y, int place) {
  long spanFirst = 0, spanEnd = 0;
  if (t.DayTableCount <= 0 || !HistoricalSpan(place, spanFirst, spanEnd)) return;
  const long tableFirst = DayNumberOf(t.DayTable[0].solarDate);
  const long tableEnd = tableFirst + t.DayTableCount;
  if (tableEnd <= spanFirst || tableFirst >= spanEnd) return;

  HistoricalMonth computed[kMonthsInTable];
  const int computedCount = ComputedMonths(t, computed, kMonthsInTable);
  HistoricalMonth months[2 * kMonthsInTable];
  int count = 0;

  if (tableFirst < spanFirst) {
    const int seam = NearestStart(computed, computedCount, spanFirst);
    if (seam > 0) {
      for (int i = 0; i < seam; ++i) months[count++] = computed[i];
      // Walk back from the edge: each month ends where the next one begins.
      long end = spanFirst;
      for (int i = count - 1; i >= 0; --i) {
        HistoricalMonth& m = months[i];
        const long length = end - m.firstDay;
        if (length >= kShortestMonthDays && length <= kLongestMonthDays) {
          m.length = static_cast<int>(length);
          break;
        }
        m.length = length < kShortestMonthDays ? kShortestMonthDays : kLongestMonthDays;
        m.firstDay = end - m.length;
        end = m.firstDay;
        if (i > 0) months[i - 1].length = static_cast<int>(m.firstDay - months[i - 1].firstDay);
      }
    }
  }

  count += HistoricalMonthsBetween(place, tableFirst, tableEnd, months + count, 2 * kMonthsInTable - count);

  if (tableEnd > spanEnd) {
    const int seam = NearestStart(computed, computedCount, spanEnd);
    if (seam >= 0) {
      long start = spanEnd;
      bool settled = false;
      for (int i = seam; i < computedCount && count < 2 * kMonthsInTable; ++i) {
        HistoricalMonth m = computed[i];
        const long end = m.firstDay + m.length;
        m.firstDay = start;
        if (!settled) {
          const long length = end - start;
          if (length >= kShortestMonthDays && length <= kLongestMonthDays) {
            m.length = static_cast<int>(length);
            settled = true;
          } else {
            m.length = length < kShortestMonthDays ? kShortestMonthDays : kLongestMonthDays;
          }
        }
        months[count++] = m;
        start = m.firstDay + m.length;
      }
    }
  }

  for (DayRecord& d : t.DayTable) {
    d.lunarDate = 0;
    d.monthLength = 0;
    d.leap = 0;
  }
  for (int i = 0; i < count; ++i) {
    const HistoricalMonth& m = months[i];
    const long slot = m.firstDay - tableFirst;
    FillMonth(t, static_cast<int>(slot), m.year, m.month, m.leap, m.length);
    if (m.year == Y - 1 && m.month == 11 && m.leap == 0) t.Month11StartSlot = slot > 0 ? static_cast<int>(slot) : 0;
  }
  // The months before month 11 come from the recorded span, or from the
  // computed side when the table begins before it.
  if (tableFirst >= spanFirst) t.EarlyLeapFlag = 0;
}

}  // namespace

namespace {

// Days of a table, from November 1 of the year before.
constexpr int kFilledSlots = 585;

double TableFirstJulianDay(int year) { return CalendarToJulianDay(year - 1, 11, 1); }

}  // namespace

bool RecordedMonthsReachTable(int year, int placeCode) {
  long spanFirst = 0, spanEnd = 0;
  if (!HistoricalSpan(placeCode, spanFirst, spanEnd)) return false;
  const long tableFirst = static_cast<long>(std::floor(TableFirstJulianDay(year) + 0.5));
  return tableFirst < spanEnd && tableFirst + kFilledSlots > spanFirst;
}

bool RecordedMonthsCoverTable(int year, int placeCode) {
  long spanFirst = 0, spanEnd = 0;
  if (!HistoricalSpan(placeCode, spanFirst, spanEnd)) return false;
  const long tableFirst = static_cast<long>(std::floor(TableFirstJulianDay(year) + 0.5));
  return tableFirst >= spanFirst && tableFirst + kFilledSlots <= spanEnd;
}

LunarBuildOptions LunarBuildOptionsFor(int year, int placeCode, bool correctionWanted) {
  LunarBuildOptions options;
  options.placeIndex = placeCode;
  options.historicalCorrection =
      correctionWanted && (RecordedMonthsReachTable(year - 1, placeCode) || RecordedMonthsReachTable(year, placeCode) ||
                           RecordedMonthsReachTable(year + 1, placeCode));
  return options;
}

void FillDayTableSolarDates(YearTables& tables, int year) {
  for (DayRecord& d : tables.DayTable) d = DayRecord{};
  const double first = TableFirstJulianDay(year);
  for (int i = 0; i < kFilledSlots; ++i) {
    const CivilDate c = JulianDayToCivilDate(first + i + 0.5);
    tables.DayTable[i].solarDate = PackDate(c.year, c.month, c.day);
  }
  tables.DayTableCount = kFilledSlots;
}

int FillMonth(YearTables& tables, int start, int lunarYear, int month, int leap, int length) {
  for (int d = 1; d <= length; ++d) {
    const int slot = start + d - 1;
    if (slot < 0 || slot > tables.DayTableCount) continue;
    if (slot >= YearTables::kDaySlots) break;
    DayRecord& rec = tables.DayTable[slot];
    if (rec.solarDate == 0) continue;
    rec.lunarDate = PackDate(lunarYear, month, d);
    rec.monthLength = static_cast<std::int16_t>(length);
    rec.leap = static_cast<std::int8_t>(leap);
  }
  return start + length + 1;
}

void BuildLunarCalendar(YearTables& tables, int year, const LunarBuildOptions& options) {
  Builder builder(tables, year);
  builder.Run();
  if (options.historicalCorrection) ApplyRecordedMonths(tables, year, options.placeIndex);
}

bool MonthWithoutMajorTermIn(const YearTables& tables, int fromSlot, int endSlot) {
  if (tables.DayTableCount <= 0 || fromSlot >= endSlot) return false;
  const Lunations l(tables);
  const double tableStart = PackedDateToJulianDay(tables.DayTable[0].solarDate);
  const double first = tableStart + fromSlot, end = tableStart + endSlot;
  // Days before the first or from the last new moon on lie in lunations the
  // lists do not bound.
  if (l.count < 2 || l.newMoon[0] > first || l.newMoon[l.count - 1] < end) return true;
  for (int i = 0; i + 1 < l.count; ++i)
    if (l.newMoon[i + 1] > first && l.newMoon[i] < end && l.NoMajorTermIn(i)) return true;
  return false;
}

int SlotOfSolarDate(const YearTables& tables, int y, int m, int d) {
  const PackedDate wanted = PackDate(y, m, d);
  for (int i = 0; i < tables.DayTableCount; ++i)
    if (tables.DayTable[i].solarDate == wanted) return i;
  return -1;
}

int SlotOfLunarDate(const YearTables& tables, int y, int m, int d, bool leapMonth) {
  const PackedDate wanted = PackDate(y, m, d);
  const int leap = leapMonth ? 1 : 0;
  for (int i = 0; i < tables.DayTableCount; ++i) {
    const DayRecord& rec = tables.DayTable[i];
    if (rec.lunarDate == wanted && rec.leap == leap) return i;
  }
  return -1;
}

}  // namespace orv
