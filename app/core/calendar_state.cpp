#include "app/core/calendar_state.h"

#include <climits>
#include <utility>

#include "app/core/reports/reports.h"
#include "ephemeris/jpl_reader.h"
#include "time/text_format.h"

namespace orv {

int AstronomicalYear(const MonthInputs& inputs) {
  if (inputs.yearNumber == 0 || inputs.eraAD) return inputs.yearNumber;
  return 1 - inputs.yearNumber;
}

void SetAstronomicalYear(MonthInputs& inputs, int year) {
  inputs.eraAD = year > 0;
  inputs.yearNumber = inputs.eraAD ? year : 1 - year;
  if (year == 0) {
    inputs.eraAD = true;
    inputs.yearNumber = 0;
  }
}

const char* YearRangeMessage(int code) {
  switch (code) {
    case kEphemerisDe431:
      return "DE431의 경우 연도 범위는\nBC13000년 ~ 16998년 입니다.\n%d년 %d월로 돌아갑니다.";
    case kEphemerisDe441:
      return "DE441의 경우 연도 범위는\nBC13000년 ~ 16998년 입니다.\n%d년 %d월로 돌아갑니다.";
    default:
      return "연도 범위는 BC5000년 ~ 10000년 입니다.\n%d년 %d월로 돌아갑니다.";
  }
}

CalendarState::CalendarState(AppFolders f, MessageSink& m, const Clock& c)
    : folders(std::move(f)),
      messages(m),
      clock(c),
      places(BuiltInPlaceTable()),
      ctx(settings, observer),
      tables(std::make_unique<YearTables>()),
      years(std::make_unique<YearService>()) {}

CalendarState::~CalendarState() { ephemeris.Close(ctx); }

LunarBuildOptions CalendarState::Options(int year) const {
  return LunarOptionsOf(year, settings.PlaceIndex, correctionWanted);
}

bool CalendarState::TablesCurrent(int year) const {
  return tables->Prepared && tables->LoadedYear == year && SameListSettings(tables->PreparedWith, settings) &&
         tables->LunarBuiltWith == Options(year);
}

void CalendarState::Progress(int percent) const {
  if (progress) progress(percent);
}

int CalendarState::LoadedYear() const { return tables->Prepared ? tables->LoadedYear : INT_MIN; }

bool CalendarState::YearInRange(int year) const {
  return NominalEphemerisSpan(settings.EphemerisCode).Contains(year);
}

void CalendarState::ClearSelection() { selected = DaySelection{}; }

void CalendarState::NormalizeEra() {
  if (inputs.yearNumber < 0) SetAstronomicalYear(inputs, inputs.yearNumber);
}

void CalendarState::PrepareYear(int year) {
  if (engineBusy) return;
  try {
    YearOutcome outcome = years->Prepare(ctx, *tables, year, correctionWanted);
    if (outcome == YearOutcome::OutsideFileYears) {
      // Whole years inside the file, with a margin for the day table, which
      // runs from November of the year before to June of the year after.
      const EphemerisSpan usable = *YearService::FileYears(ctx);
      year = settings.TodayDate[0];
      pendingNotice = Format("천체력 적용기간(%d~%d)을\n벗어남. 올해로 재 지정됨\n", usable.lower, usable.upper);
      SetAstronomicalYear(inputs, year);
      inputs.month = settings.TodayDate[1];
      outcome = years->Prepare(ctx, *tables, year, correctionWanted);
    }
    if (outcome == YearOutcome::SearchFailed) ShowYearFailure(year);
  } catch (const JplError& e) {
    tables->Prepared = false;
    messages.Show(e.what(), "오류", MessageButtons::Ok, MessageIcon::Error);
    return;
  }
  settings.LoadedYear = year;
}

void CalendarState::ShowYearFailure(int year) {
  messages.Show(IncompleteYearMessage(year), "오류", MessageButtons::Ok, MessageIcon::Error);
}

EphemerisSpan CalendarState::ReportYearLimits() const {
  return ServedEphemerisSpan(settings.EphemerisCode, ctx.jpl);
}

DaysOptions CalendarState::DaysOptionsInEffect() const {
  DaysOptions options;
  options.anniversaries = anniversaryCalendar;
  return options;
}

}  // namespace orv
