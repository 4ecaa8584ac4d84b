// Year preparation: everything the month view, the reports and the simulation
// read about one year (day table, term and syzygy lists, lunar months,
// month-pillar offsets).
#pragma once

#include <array>
#include <memory>

#include "ephemeris/context.h"
#include "lunisolar/lunar_calendar.h"
#include "lunisolar/year_tables.h"

namespace orv {

// True when the term and syzygy lists computed under `a` are those of `b`:
// the settings that shape the lists are the same.
bool SameListSettings(const CalcSettings& a, const CalcSettings& b);

// The last few years prepared, for reuse when the same year is asked for
// again under the same list settings and lunar build options (paging back
// and forth, a report of the shown year, the year of today). Only years of
// the built-in PLAN404 theory are kept: a JPL file can be swapped under the
// same ephemeris code.
class YearCache {
 public:
  static constexpr int kCapacity = 8;
  // Copies the cached year into `tables`; false when it is not held.
  bool Find(int year, const CalcSettings& settings, const LunarBuildOptions& options, YearTables& tables);
  void Store(const YearTables& tables, const LunarBuildOptions& options);
  void Clear();

 private:
  struct Entry {
    std::unique_ptr<YearTables> tables;
    LunarBuildOptions options;
    unsigned long long lastUse = 0;
  };
  std::array<Entry, kCapacity> entries_;
  unsigned long long uses_ = 0;
};

// True when every day of the table has a lunar date: the lists and the
// events past them reach from before the table's first day to after its
// last, as they do whenever the searches found every event.
bool EveryDayNumbered(const YearTables& tables);

// Makes `year` the loaded year of `tables`: from `cache` (when given) when it
// holds the year, else computed (and then kept in `cache`). When the tables held the year before or after
// under the same settings, only the events new to the span are searched.
// The months before month 11 of the year before and those from the month of
// the winter solstice of `year` on are numbered as the tables of the year
// before and of the year after number them (each lunar year's leap month is
// decided by the table whose own lunar year it is). False when an
// event search failed or a day of the table was left without a lunar date;
// the tables still describe the year as far as they go, but no caller may
// present them as the year's calendar.
bool PrepareYear(EngineContext& ctx, YearTables& tables, int year, const LunarBuildOptions& options,
                 YearCache* cache = nullptr);

// Numbers the lunar months of the prepared `year` again on the lists the
// tables hold (another historical-correction choice, lists moved to another
// zone), the neighbouring lunar years as their own tables number them.
// False when a day is left without a lunar date.
bool RenumberLunarMonths(EngineContext& ctx, YearTables& tables, int year, const LunarBuildOptions& options,
                         YearCache* cache = nullptr);

}  // namespace orv
