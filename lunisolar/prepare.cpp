#include "lunisolar/prepare.h"

#include <memory>

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

bool PrepareYear(EngineContext& ctx, YearTables& tables, int year, const LunarBuildOptions& options,
                 YearCache* cache) {
  if (cache != nullptr && cache->Find(year, ctx.settings, options, tables)) return true;
  int mode = 0;
  if (tables.Prepared && year >= 1 && SameListSettings(tables.PreparedWith, ctx.settings))
    mode = year - tables.LoadedYear;
  const bool found = ComputeYear(ctx, tables, year, mode, options);
  BuildMonthPillarTable(tables, year);
  tables.LoadedYear = year;
  tables.Prepared = true;
  tables.PreparedWith = ctx.settings;
  tables.LunarBuiltWith = options;

  if (tables.EarlyLeapFlag) {
    // The months before month 11 of year - 1 belong to that year's calendar.
    const int n = tables.Month11StartSlot;
    auto previous = std::make_unique<YearTables>();
    ComputeYear(ctx, *previous, year - 1, 0, options);
    const int slot = FindDayTableEntry(*previous, year - 1, 11, 1, 'm', 0);
    if (slot >= n) {
      // Only the lunar fields: the solar dates stay those of this year's table.
      for (int i = 0; i < n; ++i) {
        const DayRecord& from = previous->DayTable[slot - n + i];
        tables.DayTable[i].lunarDate = from.lunarDate;
        tables.DayTable[i].monthLength = from.monthLength;
        tables.DayTable[i].leap = from.leap;
      }
    }
  }
  if (found && cache != nullptr) cache->Store(tables, options);
  return found;
}

}  // namespace orv
