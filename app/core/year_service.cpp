#include "app/core/year_service.h"

#include <cmath>

#include "app/core/files/places.h"
#include "data/public_holiday_rules.h"
#include "ephemeris/jpl_reader.h"

namespace orv {
namespace {

// The meridian of Korean standard time, which the Korean calendar (KASI) has
// reckoned with for every year since 1912, the public holidays' years included.
constexpr float kKoreanCalendarMeridianDeg = 135.0f;
constexpr int kKoreanPlaceIndex = 0;

}  // namespace

bool HistoricalCorrectionApplies(int year, int placeIndex, bool correctionWanted) {
  return correctionWanted && PlaceAllowsHistoricalCorrection(placeIndex) && RecordedMonthsReachTable(year, placeIndex);
}

LunarBuildOptions LunarOptionsOf(int year, int placeIndex, bool correctionWanted) {
  return LunarBuildOptionsFor(year, placeIndex, correctionWanted && PlaceAllowsHistoricalCorrection(placeIndex));
}

CalcSettings KoreanCalendarSettings(const CalcSettings& settings) {
  CalcSettings korean = settings;
  korean.PlaceIndex = kKoreanPlaceIndex;
  korean.PlaceMeridian = kKoreanCalendarMeridianDeg;
  // The civil clock reckons the lists in standard time as well.
  if (!ReckonsInStandardTime(korean.TimeSystemCode)) korean.TimeSystemCode = kTimeST;
  UpdateZoneOffset(korean);
  return korean;
}

YearService::YearService() : korean_(std::make_unique<YearTables>()) {}
YearService::~YearService() = default;

std::optional<EphemerisSpan> YearService::FileYears(const EngineContext& ctx) {
  if (!IsJplEphemerisCode(ctx.settings.EphemerisCode)) return std::nullopt;
  return OpenJplFileSpan(ctx.jpl);
}

YearOutcome YearService::Prepare(EngineContext& ctx, YearTables& tables, int year, bool correctionWanted) {
  if (const std::optional<EphemerisSpan> usable = FileYears(ctx); usable && !usable->Contains(year))
    return YearOutcome::OutsideFileYears;
  const LunarBuildOptions options = LunarOptionsOf(year, ctx.settings.PlaceIndex, correctionWanted);
  if (tables.Prepared && tables.LoadedYear == year && SameListSettings(tables.PreparedWith, ctx.settings) &&
      tables.LunarBuiltWith == options) {
    // Already this year (a report of the year shown); the settings outside
    // the list key are the caller's.
    tables.PreparedWith = ctx.settings;
    return EveryDayNumbered(tables) ? YearOutcome::Prepared : YearOutcome::SearchFailed;
  }
  return PrepareYear(ctx, tables, year, options, &cache_) ? YearOutcome::Prepared : YearOutcome::SearchFailed;
}

const YearTables& YearService::KoreanCalendar(EngineContext& ctx, const YearTables& shown, int year) {
  const CalcSettings korean = KoreanCalendarSettings(ctx.settings);
  const LunarBuildOptions options = LunarOptionsOf(year, kKoreanPlaceIndex, false);
  // The shown tables already are that calendar at Seoul under standard time
  // unless they follow the recorded months (which never reach the years of
  // the holidays).
  if (shown.Prepared && shown.LoadedYear == year && SameListSettings(shown.PreparedWith, korean) &&
      !shown.LunarBuiltWith.historicalCorrection)
    return shown;
  if (korean_->Prepared && korean_->LoadedYear == year && SameListSettings(korean_->PreparedWith, korean))
    return *korean_;
  koreanSettings_ = korean;
  EngineContext engine(koreanSettings_, koreanObserver_);
  engine.jpl = ctx.jpl;
  PrepareYear(engine, *korean_, year, options, &cache_);
  return *korean_;
}

const YearTables& YearService::AnniversaryTables(EngineContext& ctx, const YearTables& shown, int year,
                                                 AnniversaryCalendar calendar) {
  // Where the user follows a recorded calendar, that calendar is theirs.
  if (calendar == AnniversaryCalendar::Local || HistoricalCorrectionApplies(year, shown.PreparedWith.PlaceIndex, true))
    return shown;
  return KoreanCalendar(ctx, shown, year);
}

CalendarOfDays YearService::Days(EngineContext& ctx, const YearTables& shown, const MemoTable& memos,
                                 const CivilDate& first, int count, const DaysOptions& options) {
  if (!shown.Prepared) return CalendarOfDays{};
  const int year = shown.LoadedYear;
  bool lunarMemos = false;
  for (const MemoEntry& e : memos) lunarMemos = lunarMemos || IsLunarMemo(e.kind);
  DaysSources sources;
  sources.place = &shown;
  sources.anniversaries = &shown;
  // The Korean calendar is prepared only when something follows it: the
  // holidays (from the year before the first one, whose table reaches into
  // it) or the lunar anniversaries.
  if (options.koreanDates || year >= data::kFirstPublicHolidayYear - 1)
    sources.korean = &KoreanCalendar(ctx, shown, year);
  if (lunarMemos) {
    sources.anniversaries = &AnniversaryTables(ctx, shown, year, options.anniversaries);
    if (sources.korean == nullptr && sources.anniversaries != &shown) sources.korean = sources.anniversaries;
  }
  return BuildCalendarOfDays(ctx, sources, memos, first, count, options);
}

CalendarOfDays YearService::DaysOfYear(EngineContext& ctx, YearTables& tables, int year, bool correctionWanted,
                                       const MemoTable& memos, const DaysOptions& options) {
  if (Prepare(ctx, tables, year, correctionWanted) != YearOutcome::Prepared) return CalendarOfDays{};
  const int count = static_cast<int>(std::lround(CalendarToJulianDay(year + 1, 1, 1) - CalendarToJulianDay(year, 1, 1)));
  return Days(ctx, tables, memos, CivilDate{year, 1, 1}, count, options);
}

void YearService::Forget() {
  cache_.Clear();
  korean_->Prepared = false;
}

}  // namespace orv
