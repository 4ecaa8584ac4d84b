// The one way a year is prepared, for the window and for every command: the
// tables of (year, place, list-shaping settings, correction choice), the small
// cache of years prepared lately, the span check of an open JPL file and the
// rule that decides the historical correction. The same request always gives
// the same tables, whatever was prepared before. Nothing here knows about the
// window: the application state and the commands ask.
#pragma once

#include <memory>
#include <optional>

#include "app/core/calendar_days.h"
#include "app/core/reports/year_reports.h"
#include "ephemeris/context.h"
#include "ephemeris/ephemeris_span.h"
#include "lunisolar/lunar_calendar.h"
#include "lunisolar/prepare.h"
#include "lunisolar/year_tables.h"

namespace orv {

// The historical correction as a pure rule: the lunar months of `year`'s
// tables at place `placeIndex` follow the recorded calendars when the user
// wants it (the default) and records exist there (place codes 0 and 1) for
// the years whose tables reach them (1..1912: the table of year 1 ends in
// June of year 2, after the first recorded months).
bool HistoricalCorrectionApplies(int year, int placeIndex, bool correctionWanted);
// The lunar build options of the user's choice for `year`'s tables
// (LunarBuildOptionsFor): one choice for a table and its neighbours.
LunarBuildOptions LunarOptionsOf(int year, int placeIndex, bool correctionWanted);

// The calendar public holidays are reckoned in: Korean standard time, the
// 135 degrees east meridian of the Korean calendar as KASI publishes it, with
// the ephemeris and time-scale models of `settings`.
CalcSettings KoreanCalendarSettings(const CalcSettings& settings);

enum class YearOutcome {
  Prepared,
  SearchFailed,     // an event search failed; the tables go as far as they could
  OutsideFileYears, // the open JPL file does not serve the year; nothing prepared
};

class YearService {
 public:
  YearService();
  ~YearService();
  YearService(const YearService&) = delete;
  YearService& operator=(const YearService&) = delete;

  // The whole years the JPL file open in `ctx` serves (a margin for the day
  // table included), when a JPL ephemeris is in use; nullopt otherwise.
  static std::optional<EphemerisSpan> FileYears(const EngineContext& ctx);

  // Makes `year` the loaded year of `tables` under ctx.settings (its place
  // included) with the correction the rule gives for the user's choice.
  // Throws JplError when the file cannot serve an instant.
  YearOutcome Prepare(EngineContext& ctx, YearTables& tables, int year, bool correctionWanted);

  // The tables of `year` in the Korean calendar (KoreanCalendarSettings of
  // ctx.settings), for the public holidays: `shown` itself when it holds that
  // year under those list settings, else prepared apart (and cached). The
  // reference stays valid until the next call.
  const YearTables& KoreanCalendar(EngineContext& ctx, const YearTables& shown, int year);

  // The tables the lunar anniversaries of `year` follow: the Korean
  // calendar (at a place whose recorded calendar the user follows, that
  // one), or the place's own (`shown`) for AnniversaryCalendar::Local.
  // Valid until the next call, like KoreanCalendar's.
  const YearTables& AnniversaryTables(EngineContext& ctx, const YearTables& shown, int year,
                                      AnniversaryCalendar calendar);

  // The days from `first` on (`count` of them, as far as `shown` holds
  // them) of the prepared tables `shown`, with the public holidays by the
  // Korean calendar and the anniversaries of `memos`.
  CalendarOfDays Days(EngineContext& ctx, const YearTables& shown, const MemoTable& memos, const CivilDate& first,
                      int count, const DaysOptions& options);
  // The days of civil year `year`: the year prepared into `tables` (as
  // Prepare does) and its 1 January to 31 December. Empty when the year
  // could not be prepared completely. Throws JplError as Prepare does.
  CalendarOfDays DaysOfYear(EngineContext& ctx, YearTables& tables, int year, bool correctionWanted,
                            const MemoTable& memos, const DaysOptions& options);

  // Forgets every year kept (a JPL file replaced under the same code).
  void Forget();

 private:
  YearCache cache_;
  CalcSettings koreanSettings_;
  Observer koreanObserver_;
  std::unique_ptr<YearTables> korean_;
};

}  // namespace orv
