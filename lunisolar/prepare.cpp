#include "lunisolar/prepare.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "ephemeris/jpl_reader.h"

#include "lunisolar/lunar_calendar.h"
#include "lunisolar/sexagenary.h"
#include "lunisolar/tail_events.h"
#include "lunisolar/terms.h"

namespace orv {

bool SameListSettings(const CalcSettings& a, const CalcSettings& b) {
  return a.EphemerisCode == b.EphemerisCode && a.PrecessionModel == b.PrecessionModel &&
         a.NutationModel == b.NutationModel && a.ObliquityModel == b.ObliquityModel &&
         a.TimeSystemCode == b.TimeSystemCode && a.DeltaTModelCode == b.DeltaTModelCode &&
         a.UserDeltaT == b.UserDeltaT && a.TidalCompensation == b.TidalCompensation &&
         a.TermSearchBisection == b.TermSearchBisection &&
         a.TermSearchStepSeconds == b.TermSearchStepSeconds && a.EopCorrection == b.EopCorrection &&
         a.ZoneOffsetDays == b.ZoneOffsetDays;
}

namespace {

bool ComputeYear(EngineContext& ctx, YearTables& tables, int year, int mode, const LunarBuildOptions& options) {
  FillDayTableSolarDates(tables, year);
  const bool terms = ComputeSolarTermsOfYear(ctx, tables, mode);
  const bool syzygies = ComputeSyzygiesOfYear(ctx, tables, mode);
  FindEventsPastLists(ctx, tables);
  BuildLunarCalendar(tables, year, options);
  return terms && syzygies;
}

}  // namespace

bool EveryDayNumbered(const YearTables& tables) {
  if (tables.DayTableCount <= 0) return false;
  for (int i = 0; i < tables.DayTableCount; ++i)
    if (tables.DayTable[i].lunarDate == 0) return false;
  return true;
}

bool YearCache::Find(int year, const CalcSettings& settings, const LunarBuildOptions& options, YearTables& tables) {
  for (Entry& e : entries_) {
    if (e.tables && e.tables->LoadedYear == year && SameListSettings(e.tables->PreparedWith, settings) &&
        e.options == options) {
      tables = *e.tables;
      // The settings outside the list key (place, today, ...) are the caller's.
      tables.PreparedWith = settings;
      e.lastUse = ++uses_;
      return true;
    }
  }
  return false;
}

void YearCache::Store(const YearTables& tables, const LunarBuildOptions& options) {
  if (tables.PreparedWith.EphemerisCode != kEphemerisPlan404) return;
  Entry* slot = nullptr;
  for (Entry& e : entries_)  // the same year again: replace it
    if (e.tables && e.tables->LoadedYear == tables.LoadedYear &&
        SameListSettings(e.tables->PreparedWith, tables.PreparedWith) && e.options == options)
      slot = &e;
  if (slot == nullptr) {  // else an empty entry, else the least recently used
    slot = &entries_[0];
    for (Entry& e : entries_)
      if (slot->tables && (!e.tables || e.lastUse < slot->lastUse)) slot = &e;
  }
  if (!slot->tables) slot->tables = std::make_unique<YearTables>();
  *slot->tables = tables;
  slot->options = options;
  slot->lastUse = ++uses_;
}

void YearCache::Clear() {
  for (Entry& e : entries_) e = Entry{};
  uses_ = 0;
}

namespace {

// The lunar fields of the slots [fromSlot, endSlot) of `to` taken from the
// slots of `owner` that hold the same civil dates (slots `owner` leaves
// unnumbered keep their own).
void CopyLunarFields(const YearTables& owner, YearTables& to, int fromSlot, int endSlot) {
  if (owner.DayTableCount <= 0 || to.DayTableCount <= 0) return;
  const long shiftDays = std::lround(PackedDateToJulianDay(to.DayTable[0].solarDate) -
                                     PackedDateToJulianDay(owner.DayTable[0].solarDate));
  for (int s = std::max(fromSlot, 0); s < std::min(endSlot, to.DayTableCount); ++s) {
    const long j = s + shiftDays;
    if (j < 0 || j >= owner.DayTableCount) continue;
    const DayRecord& from = owner.DayTable[j];
    if (from.lunarDate == 0) continue;
    DayRecord& day = to.DayTable[s];
    day.lunarDate = from.lunarDate;
    day.monthLength = from.monthLength;
    day.leap = from.leap;
  }
}

// The lunar months of a neighbouring year as that year's own build numbers
// them: `known` when it holds that year (the tables prepared just before,
// paging by one year), else from `cache`, else computed into `out` (its lists
// found from ours where the two spans overlap). Null when its searches failed
// or its year is outside the ephemeris.
const YearTables* NeighbourYear(EngineContext& ctx, const YearTables& tables, int neighbour,
                                const LunarBuildOptions& options, YearCache* cache, const YearTables* known,
                                YearTables& out) {
  if (known != nullptr && known->LoadedYear == neighbour) return known;
  if (cache != nullptr && cache->Find(neighbour, ctx.settings, options, out)) return &out;
  out = tables;
  out.NextYearComputed.reset();
  const int mode = neighbour >= 1 && tables.LoadedYear >= 1 ? neighbour - tables.LoadedYear : 0;
  try {
    if (!ComputeYear(ctx, out, neighbour, mode, options)) return nullptr;
    // Computed, not prepared: the pillars and the neighbours' months are not there.
    out.LoadedYear = neighbour;
    out.Prepared = false;
    out.PreparedWith = ctx.settings;
    out.LunarBuiltWith = options;
    return &out;
  } catch (const JplError&) {
    return nullptr;  // the neighbour reaches past the file: our own months stand
  }
}

// A table holds parts of three lunar years (counted from month 11, the month
// of the winter solstice): the end of the year before (the slots before
// Month11StartSlot), its own, and the start of the next (from the month of
// the winter solstice of `year`). Where and whether a lunar year has its
// leap month is decided by the table whose own lunar year it is, where all
// of its months and principal terms are in view; the neighbours take those
// months over, so that a day has one lunar date whichever table shows it.
// Term index of the winter solstice (冬至) in the term list (0 = 立春).
constexpr int kTermIndexWinterSolstice = 21;

// The slot where the month of the winter solstice of `year` begins, when the
// table numbers the solstice's day as that month (year, 11, not leap); -1
// otherwise.
int SolsticeMonthStart(const YearTables& tables, int year) {
  for (int i = 0; i < YearTables::kListCapacity && tables.SolarTermList[i].date != 0; ++i) {
    const SolarTermRecord& r = tables.SolarTermList[i];
    if (r.termIndex != kTermIndexWinterSolstice) continue;
    int y, m, d;
    UnpackDate(r.date, y, m, d);
    if (y != year) continue;
    const int slot = static_cast<int>(
        std::lround(PackedDateToJulianDay(r.date) - PackedDateToJulianDay(tables.DayTable[0].solarDate)));
    if (slot < 0 || slot >= tables.DayTableCount) return -1;
    const DayRecord& day = tables.DayTable[slot];
    UnpackDate(day.lunarDate, y, m, d);
    if (day.lunarDate == 0 || day.leap != 0 || y != year || m != 11) return -1;
    return slot - (d - 1);
  }
  return -1;
}

// Whether the recorded months change the numbering of the table of `year`.
bool RecordedMonthsIn(const LunarBuildOptions& options, int year) {
  return options.historicalCorrection && RecordedMonthsReachTable(year, options.placeIndex);
}

void AdoptNeighbourMonths(EngineContext& ctx, YearTables& tables, int year, const LunarBuildOptions& options,
                          YearCache* cache, const YearTables* known = nullptr) {
  // Inside the recorded span every table gives a day its recorded month.
  if (options.historicalCorrection && RecordedMonthsCoverTable(year, options.placeIndex)) return;
  // Only a month without a major term can be a leap month: where the days a
  // neighbour owns hold none, that neighbour numbers them as this table does
  // (consecutively from the common month 11), and its build is skipped. Where
  // the recorded months reach this table or the neighbour's, the neighbour
  // is always asked. Every table is built with the same options, so each
  // lunar year is numbered as its own table numbers it under the one choice.
  const int nextStart = SolsticeMonthStart(tables, year);
  const bool recordedHere = RecordedMonthsIn(options, year);
  const bool askNext = recordedHere || RecordedMonthsIn(options, year + 1) || nextStart < 0 ||
                       MonthWithoutMajorTermIn(tables, nextStart, tables.DayTableCount);
  const bool askPrevious = tables.Month11StartSlot > 0 &&
                           (recordedHere || RecordedMonthsIn(options, year - 1) || tables.EarlyLeapFlag ||
                            MonthWithoutMajorTermIn(tables, 0, tables.Month11StartSlot));
  if (!askNext && !askPrevious) return;
  auto computed = std::make_unique<YearTables>();
  if (askNext) {
    if (const YearTables* next = NeighbourYear(ctx, tables, year + 1, options, cache, known, *computed)) {
      const long shiftDays = std::lround(PackedDateToJulianDay(next->DayTable[0].solarDate) -
                                         PackedDateToJulianDay(tables.DayTable[0].solarDate));
      CopyLunarFields(*next, tables, static_cast<int>(next->Month11StartSlot + shiftDays), tables.DayTableCount);
      if (next == computed.get()) {  // searched here: kept for preparing that year next
        tables.NextYearComputed = std::move(computed);
        computed = std::make_unique<YearTables>();
      }
    }
  }
  if (askPrevious) {
    if (const YearTables* previous = NeighbourYear(ctx, tables, year - 1, options, cache, known, *computed))
      CopyLunarFields(*previous, tables, 0, tables.Month11StartSlot);
  }
}

}  // namespace

bool RenumberLunarMonths(EngineContext& ctx, YearTables& tables, int year, const LunarBuildOptions& options,
                         YearCache* cache) {
  BuildLunarCalendar(tables, year, options);
  tables.LunarBuiltWith = options;
  AdoptNeighbourMonths(ctx, tables, year, options, cache);
  return EveryDayNumbered(tables);
}

bool PrepareYear(EngineContext& ctx, YearTables& tables, int year, const LunarBuildOptions& options,
                 YearCache* cache) {
  if (cache != nullptr && cache->Find(year, ctx.settings, options, tables)) return true;
  int mode = 0;
  if (tables.Prepared && year >= 1 && SameListSettings(tables.PreparedWith, ctx.settings))
    mode = year - tables.LoadedYear;
  // Paging by one year, the year held is the neighbour on that side, as
  // complete as a neighbour's own preparation makes it.
  std::unique_ptr<YearTables> known;
  if ((mode == 1 || mode == -1) && tables.LunarBuiltWith == options && EveryDayNumbered(tables))
    known = std::make_unique<YearTables>(tables);
  // The year searched as the neighbour of the year held, if it is this one.
  const std::shared_ptr<const YearTables> computed = std::move(tables.NextYearComputed);
  tables.NextYearComputed.reset();
  bool found = true;
  if (computed && computed->LoadedYear == year && computed->LunarBuiltWith == options &&
      SameListSettings(computed->PreparedWith, ctx.settings))
    tables = *computed;
  else
    found = ComputeYear(ctx, tables, year, mode, options);
  BuildMonthPillarTable(tables, year);
  tables.LoadedYear = year;
  tables.Prepared = true;
  tables.PreparedWith = ctx.settings;
  tables.LunarBuiltWith = options;

  if (found) AdoptNeighbourMonths(ctx, tables, year, options, cache, known.get());
  const bool complete = found && EveryDayNumbered(tables);
  if (complete && cache != nullptr) cache->Store(tables, options);
  return complete;
}

}  // namespace orv
