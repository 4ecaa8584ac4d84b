#include "app/core/calendar_reports.h"

#include <algorithm>
#include <memory>

#include "app/core/files/memo.h"
#include "app/core/guarded.h"
#include "app/core/reports/eclipse_reports.h"
#include "app/core/reports/holidays.h"
#include "ephemeris/jpl_reader.h"
#include "lunisolar/terms.h"
#include "time/text_format.h"
#include "time/timescales.h"

namespace orv {

CalendarReports::CalendarReports(CalendarState& state, MonthViewModel& month, CalendarFiles& files)
    : state_(state), month_(month), files_(files) {}

ReportInputs CalendarReports::ReportIn() {
  const int year = state_.tables->Prepared ? state_.tables->LoadedYear : AstronomicalYear(state_.inputs);
  return ReportInputs{state_.ctx,
                      *state_.tables,
                      state_.Options(year),
                      PlaceReportName(state_.Place()),
                      state_.Place().timeZone,
                      state_.years.get(),
                      state_.correctionWanted};
}

template <typename Compute>
auto CalendarReports::AtPlace(int placeIndex, Compute compute) const {
  // A private copy of the settings with that place applied, sharing the open
  // JPL file and the year service (so its correction rule and cache apply, as
  // for the command line), leaving the loaded year and the settings in effect
  // as they are.
  CalcSettings placeSettings = state_.settings;
  Observer placeObserver;
  ApplyPlace(placeSettings, placeObserver, state_.places, placeIndex);
  EngineContext engine(placeSettings, placeObserver);
  engine.jpl = state_.ctx.jpl;
  auto placeTables = std::make_unique<YearTables>();
  LunarBuildOptions lunar;
  lunar.placeIndex = placeIndex;
  const PlaceRecord& place = state_.places.rows.at(static_cast<size_t>(placeIndex));
  ReportInputs in{
      engine, *placeTables, lunar, PlaceReportName(place), place.timeZone, state_.years.get(), state_.correctionWanted};
  return compute(in, place);
}

BirthPillars CalendarReports::BirthPillarsAt(int placeIndex, const BirthReading& reading) const {
  return AtPlace(placeIndex,
                 [&](ReportInputs& in, const PlaceRecord& place) { return ComputeBirthPillars(in, place, reading); });
}

BirthReport CalendarReports::BirthReportAt(int placeIndex, const BirthRequest& request) const {
  return AtPlace(placeIndex,
                 [&](ReportInputs& in, const PlaceRecord& place) { return ComputeBirthReport(in, place, request); });
}

bool CalendarReports::LoadInputYear(int& year) {
  year = AstronomicalYear(state_.inputs);
  if (year != state_.LoadedYear()) {
    if (state_.displayMode == DisplayMode::Lunar) state_.leapMonthWanted = false;
    month_.Build();
    // The range check may have turned the inputs to this year.
    year = AstronomicalYear(state_.inputs);
  }
  return state_.tables->Prepared && state_.LoadedYear() == year;
}

void CalendarReports::FollowTables() {
  const int year = AstronomicalYear(state_.inputs);
  if (state_.tables->Prepared && state_.LoadedYear() == year) return;
  if (state_.YearInRange(year)) state_.PrepareYear(year);
  month_.Build();
}

void CalendarReports::DayReport(int column, int row) {
  if (state_.engineBusy) return;
  if (month_.SelectDay(column, row)) ShowDayReport();
}

void CalendarReports::ShowDayReport() {
  if (state_.engineBusy) return;
  if (!state_.selected.selected()) return;
  std::string text;
  ReportInputs in = ReportIn();
  if (!Guarded(state_.messages, [&] { text = DayReportText(in, state_.selected); })) return;
  const MessageAnswer answer = state_.messages.Show(text, kDayReportCaption, MessageButtons::RetryPillarsCancel);
  if (answer == MessageAnswer::Pillars) pillarsRequested_ = true;
  if (answer != MessageAnswer::Retry) return;
  files_.EditMemoFile();
  files_.ReadMemos();
  month_.Build();
}

void CalendarReports::SolarTermReport() {
  if (state_.engineBusy) return;
  int year;
  if (!LoadInputYear(year)) return;
  std::string text;
  ReportInputs in = ReportIn();
  const bool ok = Guarded(state_.messages, [&] { text = SolarTermReportText(in, year); });
  FollowTables();
  if (ok) state_.messages.Show(text, kSolarTermReportCaption);
}

void CalendarReports::SyzygyReport() {
  if (state_.engineBusy) return;
  int year;
  if (!LoadInputYear(year)) return;
  std::string text;
  ReportInputs in = ReportIn();
  const bool ok = Guarded(state_.messages, [&] { text = SyzygyReportText(in, year); });
  FollowTables();
  if (ok) state_.messages.Show(text, kSyzygyReportCaption);
}

bool CalendarReports::SelectedDaySky(DaySky& out) {
  if (!state_.selected.selected()) return false;
  return Guarded(state_.messages, [&] {
    out = ComputeDaySky(state_.ctx, state_.selected.solarYear, state_.selected.solarMonth, state_.selected.solarDay);
  });
}

DaylightYear CalendarReports::DaylightOfYear(int year) {
  DaylightYear out;
  Guarded(state_.messages, [&] { out = ComputeDaylightYear(state_.ctx, year, state_.Place().timeZone); });
  return out;
}

std::vector<EclipseMap> CalendarReports::EclipseMapsOfInputYear() {
  std::vector<EclipseMap> maps;
  int year;
  if (!LoadInputYear(year)) return maps;
  constexpr double kPathStepDays = 1.0 / 1440.0;
  Guarded(state_.messages, [&] {
    auto list = std::make_unique<EclipseList>();
    FindEclipsesOfYear(state_.ctx, *state_.tables, year, *list);
    for (int i = 0; i < list->count; ++i)
      maps.push_back(BuildEclipseMap(state_.ctx, list->items[i], PlaceReportName(state_.Place()), kPathStepDays));
  });
  FollowTables();
  return maps;
}

void CalendarReports::EclipseReport(bool local) {
  if (state_.engineBusy) return;
  if (local && SwitchToStandardTimeForLocalEclipses(state_.settings, state_.messages)) {
    state_.chosenSettings.TimeSystemCode = state_.settings.TimeSystemCode;
    UpdateZoneOffset(state_.chosenSettings);
    // The loaded lists are in the old time system: the year again in the
    // place's standard time.
    if (state_.displayMode == DisplayMode::Lunar) state_.leapMonthWanted = false;
    const int year = AstronomicalYear(state_.inputs);
    if (state_.YearInRange(year)) state_.PrepareYear(year);
    month_.Build();
  }
  int year;
  if (!LoadInputYear(year)) return;
  std::string text;
  ReportInputs in = ReportIn();
  const bool ok = Guarded(state_.messages,
                          [&] { text = local ? LocalEclipseReportText(in, year) : GlobalEclipseReportText(in, year); });
  FollowTables();
  if (ok) state_.messages.Show(text, kEclipseReportCaption);
}

template <typename Table>
void CalendarReports::ThirtyYearTable(int startYear, const char* caption, Table table) {
  const YearRange range = ThirtyYearRange(startYear, !state_.thirtyYearsAfter, state_.ReportYearLimits());
  const int span = std::max(1, range.last - range.first);
  const ReportProgress advance = [&](int yearsDone) { state_.Progress(yearsDone * 100 / span); };
  std::string text;
  ReportInputs in = ReportIn();
  const bool ok = Guarded(state_.messages, [&] { text = table(in, range, advance); });
  FollowTables();
  if (ok) state_.messages.Show(text, caption);
  state_.Progress(0);
}

void CalendarReports::LeapMonthTable() {
  if (state_.engineBusy) return;
  int year;
  if (!LoadInputYear(year)) return;
  ThirtyYearTable(year, kLeapMonthTableCaption, [](ReportInputs& in, YearRange range, const ReportProgress& p) {
    return LeapMonthTableText(in, range, p);
  });
}

void CalendarReports::LunarDatesTable() {
  if (state_.engineBusy) return;
  if (!state_.selected.selected()) {
    state_.messages.Show(kSelectDayFirstMessage, kSelectDayFirstCaption, MessageButtons::Ok, MessageIcon::Error);
    return;
  }
  const DaySelection day = state_.selected;
  ThirtyYearTable(day.solarYear, kLunarDatesTableCaption,
                  [&day](ReportInputs& in, YearRange range, const ReportProgress& p) {
                    return LunarDatesTableText(in, day, range, p);
                  });
}

void CalendarReports::SolarDatesTable() {
  if (state_.engineBusy) return;
  if (!state_.selected.selected()) {
    state_.messages.Show(kSelectDayFirstMessage, kSelectDayFirstCaption, MessageButtons::Ok, MessageIcon::Error);
    return;
  }
  const DaySelection day = state_.selected;
  ThirtyYearTable(day.lunarYear, kSolarDatesTableCaption,
                  [&day](ReportInputs& in, YearRange range, const ReportProgress& p) {
                    return SolarDatesTableText(in, day, range, p);
                  });
}

void CalendarReports::HolidayReport() {
  if (state_.engineBusy) return;
  int year;
  if (!LoadInputYear(year)) return;
  std::string text;
  ReportInputs in = ReportIn();
  const bool ok = Guarded(state_.messages, [&] { text = HolidayReportText(in, year); });
  FollowTables();
  if (ok) state_.messages.Show(text, kHolidayReportCaption);
}

std::string CalendarReports::AboutBoxText() const {
  std::string text = AboutText(state_.settings);
  if (state_.folders.userConfigFolder)
    text += SettingsFolderLine(state_.folders.currentFolder) +
            SettingsSourceLine(files_.ConfigReadPath(), files_.ConfigPath());
  return text;
}

void CalendarReports::AboutBox() {
  if (state_.messages.Show(AboutBoxText(), kAboutCaption, MessageButtons::RetryCancel) == MessageAnswer::Retry)
    files_.OpenHelpFile();
}

bool CalendarReports::BuildPrint(const PrintRequest& request, PrintDocument& document) {
  if (!state_.YearInRange(request.year)) {
    const EphemerisSpan range = NominalEphemerisSpan(state_.settings.EphemerisCode);
    state_.messages.Show(
        Format("%d년은 계산할 수 있는 연도(%d ~ %d)를 벗어납니다.", request.year, range.lower, range.upper), "참고");
    return false;
  }
  if (state_.LoadedYear() != request.year) state_.PrepareYear(request.year);
  bool ok = false;
  if (state_.tables->Prepared && state_.LoadedYear() == request.year) {
    try {
      ok = BuildPrintDocument(state_.ctx, *state_.tables, *state_.years, state_.correctionWanted, state_.memos,
                              state_.DaysOptionsInEffect(), PlaceReportName(state_.Place()), request, document);
    } catch (const JplError& e) {
      state_.messages.Show(e.what(), "오류", MessageButtons::Ok, MessageIcon::Error);
    }
  }
  FollowTables();
  if (month_.View().filled && AstronomicalYear(state_.inputs) == state_.LoadedYear()) month_.Build();
  return ok;
}

}  // namespace orv
