#include "lunisolar/prepare.h"

#include <memory>

#include "lunisolar/sexagenary.h"
#include "lunisolar/tail_events.h"
#include "lunisolar/terms.h"

namespace orv {
namespace {

// The settings the lists depend on; the incremental modes reuse the shadow
// lists only when these are unchanged since the last preparation.
bool SameListSettings(const CalcSettings& a, const CalcSettings& b) {
  return a.EphemerisCode == b.EphemerisCode && a.PrecessionModel == b.PrecessionModel &&
         a.NutationModel == b.NutationModel && a.ObliquityModel == b.ObliquityModel &&
         a.TimeSystemCode == b.TimeSystemCode && a.DeltaTModelCode == b.DeltaTModelCode &&
         a.UserDeltaT == b.UserDeltaT && a.TidalCompensation == b.TidalCompensation &&
         a.TermSearchBisection == b.TermSearchBisection &&
         a.TermSearchStepSeconds == b.TermSearchStepSeconds && a.EopCorrection == b.EopCorrection &&
         a.ZoneOffsetDays == b.ZoneOffsetDays;
}

void ComputeYear(EngineContext& ctx, YearTables& tables, int year, int mode, const LunarBuildOptions& options) {
  FillDayTableSolarDates(tables, year);
  ComputeSolarTermsOfYear(ctx, tables, mode);
  ComputeSyzygiesOfYear(ctx, tables, mode);
  FindEventsPastLists(ctx, tables);
  BuildLunarCalendar(tables, year, options);
}

}  // namespace

void PrepareYear(EngineContext& ctx, YearTables& tables, int year, const LunarBuildOptions& options) {
  int mode = 0;
  if (tables.Prepared && year >= 1 && SameListSettings(tables.PreparedWith, ctx.settings))
    mode = year - tables.LoadedYear;
  ComputeYear(ctx, tables, year, mode, options);
  BuildMonthPillarTable(tables, year);
  tables.LoadedYear = year;
  tables.Prepared = true;
  tables.PreparedWith = ctx.settings;

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
}

}  // namespace orv
