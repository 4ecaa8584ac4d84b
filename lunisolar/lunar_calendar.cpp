#include "lunisolar/lunar_calendar.h"

#include <cstdlib>

#include "data/historical_tables.h"

namespace orv {
namespace {

constexpr int kTermSpringEquinox = 3;
constexpr int kTermSummerSolstice = 9;
constexpr int kTermAutumnEquinox = 15;
constexpr int kTermWinterSolstice = 21;
constexpr int kMaxCandidates = 16;
// The recorded leap months cover these lunar years for both place codes.
constexpr int kRecordedLeapFirstYear = 920;
constexpr int kRecordedLeapLastYear = 1653;

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

int DaysFromTo(PackedDate a, PackedDate b) {
  return static_cast<int>(PackedDateToJulianDay(b) - PackedDateToJulianDay(a));
}

bool Filled(const YearTables& t, int r) {
  return r >= 0 && r < YearTables::kListCapacity && t.SyzygyList[r].date != 0;
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

// No major term with a date d, date(r) <= d < date(r + 2) (civil dates).
bool NoMajorTermIn(const YearTables& t, int r) {
  const double from = PackedDateToJulianDay(t.SyzygyList[r].date);
  const double to = PackedDateToJulianDay(t.SyzygyList[r + 2].date);
  for (int i = 0; i < YearTables::kListCapacity && t.SolarTermList[i].date != 0; ++i) {
    const SolarTermRecord& term = t.SolarTermList[i];
    if (term.termIndex % 2 == 0) continue;
    const double d = PackedDateToJulianDay(term.date);
    if (from <= d && d < to) return false;
  }
  return true;
}

LunarMonth NormalizeKey(LunarMonth key) {
  if (key.month == 0) return {key.year - 1, 12};
  return key;
}

bool IsLeapMonthComputed(const YearTables& t, int Y, LunarMonth key, int r) {
  if (r + 2 >= YearTables::kListCapacity || !Filled(t, r + 2)) return false;
  key = NormalizeKey(key);
  if (key.year == Y - 1 && key.month == 12) {
    const int equinox = FindTermRecord(t, kTermSpringEquinox, Y);
    if (equinox >= 0 && Filled(t, r + 4) &&
        PackedDateToJulianDay(t.SolarTermList[equinox].date) < PackedDateToJulianDay(t.SyzygyList[r + 4].date))
      return false;
  }
  return NoMajorTermIn(t, r);
}

// ---- Historical tables ----------------------------------------------------

const data::LeapMonthRow* LeapTableFor(int place, const data::LeapMonthRow* t0, const data::LeapMonthRow* t1) {
  if (place == 0) return t0;
  if (place == 1) return t1;
  return nullptr;
}

template <typename Row>
bool IsEnd(const Row& row) {
  return row.place == data::kHistoricalEndPlace && row.year == data::kHistoricalEndYear;
}

// First row of a leap-month style table for the place and year, or nullptr.
const data::LeapMonthRow* FindYearRow(const data::LeapMonthRow* table, int place, int year) {
  if (!table) return nullptr;
  for (const data::LeapMonthRow* row = table; !IsEnd(*row); ++row)
    if (row->place == place && row->year == year) return row;
  return nullptr;
}

bool RecordedLeapListed(const data::LeapMonthRow* table, int place, LunarMonth key) {
  if (!table) return false;
  for (const data::LeapMonthRow* row = table; !IsEnd(*row); ++row)
    if (row->place == place && row->year == key.year && std::abs(row->month) == key.month) return true;
  return false;
}

const data::MonthLengthDeltaRow* FindDeltaRow(int place, LunarMonth m) {
  for (const data::MonthLengthDeltaRow* row = data::kMonthLengthDeltaTable; !IsEnd(*row); ++row)
    if (row->place == place && row->year == m.year && std::abs(row->month) == m.month) return row;
  return nullptr;
}

const data::MonthLengthRow* FindLengthRow(int place, LunarMonth m, int leap) {
  for (const data::MonthLengthRow* row = data::kMonthLengthTable; !IsEnd(*row); ++row)
    if (row->place == place && row->year == m.year && std::abs(row->month) == m.month &&
        (row->leap != 0) == (leap != 0))
      return row;
  return nullptr;
}

// The first delta row of `year` for month 10 or 11: the one that adjusts
// month 11 of that year where a build starts.
const data::MonthLengthDeltaRow* FindMonth11DeltaRow(int place, int year) {
  for (const data::MonthLengthDeltaRow* row = data::kMonthLengthDeltaTable; !IsEnd(*row); ++row)
    if (row->place == place && row->year == year && (std::abs(row->month) == 10 || std::abs(row->month) == 11))
      return row;
  return nullptr;
}

int Month11Shift(int place, int year) {
  for (const data::Month11ShiftRow* row = data::kMonth11ShiftTable; !IsEnd(*row); ++row)
    if (row->place == place && row->year == year) return row->shift;
  return 0;
}

struct Builder {
  YearTables& t;
  int Y;
  const LunarBuildOptions& options;
  int candidates[kMaxCandidates];
  int candidateCount = 0;
  int firstCandidatePosition = 0;

  bool correcting() const { return options.historicalCorrection; }
  int place() const { return options.placeIndex; }

  bool IsLeap(LunarMonth key, int r) {
    if (!correcting()) return IsLeapMonthComputed(t, Y, key, r);
    key = NormalizeKey(key);
    const int p = place();
    bool leap;
    if ((p == 0 || p == 1) && key.year >= kRecordedLeapFirstYear && key.year <= kRecordedLeapLastYear) {
      const bool alreadyInYear = t.HasLastAcceptedLeap && t.LastAcceptedLeapYear == key.year;
      leap = !alreadyInYear &&
             RecordedLeapListed(LeapTableFor(p, data::kRecordedLeapTable0, data::kRecordedLeapTable1), p, key);
    } else if (t.HasLastAcceptedLeap && t.LastAcceptedLeapYear == key.year &&
               t.LastAcceptedLeapMonth == key.month) {
      leap = false;
    } else if (const data::LeapMonthRow* row =
                   FindYearRow(LeapTableFor(p, data::kLeapMonthTable0, data::kLeapMonthTable1), p, key.year)) {
      leap = std::abs(row->month) == key.month;
    } else if (FindYearRow(LeapTableFor(p, data::kNoLeapYearTable0, data::kNoLeapYearTable1), p, key.year)) {
      leap = false;
    } else {
      leap = IsLeapMonthComputed(t, Y, key, r);
    }
    if (leap) {
      t.HasLastAcceptedLeap = true;
      t.LastAcceptedLeapYear = key.year;
      t.LastAcceptedLeapMonth = key.month;
    }
    return leap;
  }

  // Historical length adjustment of a month in the forward pass.
  int AdjustForward(LunarMonth month, LunarMonth before, int leap, int length) {
    if (!correcting()) return length;
    if (const auto* row = FindDeltaRow(place(), before)) length -= row->delta;
    if (const auto* row = FindDeltaRow(place(), month)) length += row->delta;
    if (const auto* row = FindLengthRow(place(), month, leap)) length = row->length;
    return length;
  }

  bool CandidateResolutionAllowed() const {
    if (!correcting()) return true;
    const int p = place();
    const int earliest = DateYear(t.DayTable[0].lunarDate != 0 ? t.DayTable[0].lunarDate : PackDate(Y - 1, 1, 1));
    for (int year : {Y, earliest}) {
      if (FindYearRow(LeapTableFor(p, data::kLeapMonthTable0, data::kLeapMonthTable1), p, year)) return false;
      if (FindYearRow(LeapTableFor(p, data::kRecordedLeapTable0, data::kRecordedLeapTable1), p, year)) return false;
    }
    return true;
  }

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

  void Run() {
    for (DayRecord& d : t.DayTable) {
      d.lunarDate = 0;
      d.monthLength = 0;
      d.leap = 0;
    }
    for (int& s : t.NoMajorTermStarts) s = -1;
    t.HasLastAcceptedLeap = false;
    t.EarlyLeapFlag = 0;
    int noMajorCount = 0;

    // Month 11 of Y - 1: the last new moon on or before the winter solstice.
    const int solstice = FindTermRecord(t, kTermWinterSolstice, Y, true);
    if (solstice < 0) return;
    const double solsticeJd = PackedDateToJulianDay(t.SolarTermList[solstice].date);
    int k = -1;
    for (int r = 0; r < YearTables::kListCapacity && t.SyzygyList[r].date != 0; r += 2) {
      if (PackedDateToJulianDay(t.SyzygyList[r].date) > solsticeJd) {
        k = r;
        break;
      }
    }
    if (k < 2) return;
    int r11 = k - 2;
    if (correcting()) r11 += 2 * Month11Shift(place(), Y);
    if (!Filled(t, r11) || !Filled(t, r11 + 2)) return;

    // A shifted month 11 may begin before the table's first day: the slot is
    // counted from slot 0 either way, and FillMonth writes only the days inside.
    int start = DaysFromTo(t.DayTable[0].solarDate, t.SyzygyList[r11].date);
    int length = DaysFromTo(t.SyzygyList[r11].date, t.SyzygyList[r11 + 2].date);
    if (correcting()) {
      // Only the first delta row of Y - 1 for month 10 or 11 applies: month 10
      // moves the start (month 11 keeps its end), month 11 moves the end.
      if (const auto* row = FindMonth11DeltaRow(place(), Y - 1)) {
        if (std::abs(row->month) == 10) {
          start += row->delta;
          length -= row->delta;
        } else {
          length += row->delta;
        }
      }
      if (const auto* row = FindLengthRow(place(), {Y - 1, 10}, 0)) start += row->startDelta;
      if (const auto* row = FindLengthRow(place(), {Y - 1, 11}, 0)) length = row->length;
    }
    FillMonth(t, start, Y - 1, 11, 0, length);
    t.Month11StartSlot = start;

    // Forward.
    LunarMonth previous{Y - 1, 11};
    int next = start + length;
    for (int r = r11 + 2; r + 2 < YearTables::kListCapacity && Filled(t, r + 2); r += 2) {
      const LunarMonth tentative = NextMonth(previous);
      int len = DaysFromTo(t.SyzygyList[r].date, t.SyzygyList[r + 2].date);
      LunarMonth number = tentative;
      int leap = 0;
      if (IsLeap({tentative.year, tentative.month - 1}, r)) {
        number = NormalizeKey({tentative.year, tentative.month - 1});
        leap = 1;
        // A month starting past the table's end writes nothing and is no candidate.
        if (candidateCount < kMaxCandidates && next >= 0 && next < t.DayTableCount) {
          if (candidateCount == 0) {
            firstCandidatePosition = tentative.month;
            if (number.year > Y) firstCandidatePosition += 12;
            if (number.year < Y) firstCandidatePosition -= 12;
          }
          candidates[candidateCount++] = next;
        }
      }
      if (NoMajorTermIn(t, r) && noMajorCount < YearTables::kNoMajorTermCapacity && next < t.DayTableCount)
        t.NoMajorTermStarts[noMajorCount++] = next;
      len = AdjustForward(number, previous, leap, len);
      FillMonth(t, next, number.year, number.month, leap, len);
      next += len;
      previous = number;
    }

    // Backward from month 11.
    LunarMonth later{Y - 1, 11};
    int laterLeap = 0;
    int begin = start;
    for (int r = r11 - 2; r >= 0 && begin > 0; r -= 2) {
      LunarMonth number = laterLeap ? later : NextMonth(later, -1);
      int len = DaysFromTo(t.SyzygyList[r].date, t.SyzygyList[r + 2].date);
      begin -= len;
      if (correcting()) {
        if (const auto* row = FindDeltaRow(place(), NextMonth(number, -1))) {
          begin += row->delta;
          len -= row->delta;
        }
        if (const auto* row = FindDeltaRow(place(), number)) {
          begin -= row->delta;
          len += row->delta;
        }
      }
      int leap = 0;
      if (!laterLeap && IsLeap(number, r)) {
        leap = 1;
        t.EarlyLeapFlag = 1;
      }
      FillMonth(t, begin, number.year, number.month, leap, len);
      later = number;
      laterLeap = leap;
    }

    // Keep exactly one leap month where the candidates and principal terms demand it.
    if (candidateCount > 0 && firstCandidatePosition < 14 && CandidateResolutionAllowed()) {
      while (candidateCount > 1) ResolveStep();
      YearBoundaryCheck();
    }
  }
};

}  // namespace

void FillDayTableSolarDates(YearTables& tables, int year) {
  for (DayRecord& d : tables.DayTable) d = DayRecord{};
  const double first = CalendarToJulianDay(year - 1, 11, 1);
  constexpr int kFilledSlots = 585;
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
  Builder builder{tables, year, options, {}, 0, 0};
  builder.Run();
}

int FindDayTableEntry(const YearTables& tables, int y, int m, int d, char kind, int leap) {
  const PackedDate wanted = PackDate(y, m, d);
  for (int i = 0; i < tables.DayTableCount; ++i) {
    const DayRecord& rec = tables.DayTable[i];
    if (kind == 's') {
      if (rec.solarDate == wanted) return i;
    } else if (rec.lunarDate == wanted && rec.leap == leap) {
      return i;
    }
  }
  return -1;
}

}  // namespace orv
