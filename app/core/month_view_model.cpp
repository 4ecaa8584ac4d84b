#include "app/core/month_view_model.h"

#include "app/core/reports/day_report.h"
#include "app/core/reports/reports.h"
#include "ephemeris/jpl_reader.h"
#include "time/text_format.h"

namespace orv {

MonthViewModel::MonthViewModel(CalendarState& state) : state_(state) { Reset(); }

void MonthViewModel::Reset() {
  LayOutMonthGrid(view.grid, state_.inputs.month, state_.displayMode);
  view.filled = false;
}

bool MonthViewModel::Build() {
  if (state_.engineBusy) return false;
  state_.Progress(0);
  if (state_.inputs.month < 1 || state_.inputs.month > 12) {
    // The month shown stays, with the inputs that show it.
    state_.messages.Show("월은 1에서 12 사이의 숫자로 입력하세요.", "참고");
    if (view.filled) state_.inputs = shownInputs_;
    return false;
  }
  state_.NormalizeEra();
  LayOutMonthGrid(view.grid, state_.inputs.month, state_.displayMode);
  view.filled = false;
  int year = AstronomicalYear(state_.inputs);

  if (!state_.YearInRange(year)) {
    state_.messages.Show(Format(YearRangeMessage(state_.settings.EphemerisCode), state_.settings.TodayDate[0],
                                state_.settings.TodayDate[1]),
                         "참고");
    state_.inputs.yearNumber = state_.settings.TodayDate[0];
    state_.inputs.month = state_.settings.TodayDate[1];
    state_.inputs.eraAD = true;
    state_.leapMonthWanted = false;
    year = AstronomicalYear(state_.inputs);
    LayOutMonthGrid(view.grid, state_.inputs.month, state_.displayMode);
  }

  // The box is offered where and when records exist; whether the year
  // follows them is the rule's answer for the user's choice, whatever years
  // were shown before.
  state_.correctionEnabled = HistoricalCorrectionApplies(year, state_.settings.PlaceIndex, true);
  state_.historicalCorrection = HistoricalCorrectionApplies(year, state_.settings.PlaceIndex, state_.correctionWanted);
  if (state_.historicalCorrection && !state_.correctionAdviceShown) {
    state_.correctionAdviceShown = true;
    state_.messages.Show("필요에 따라 음력보정 체크해제 하세요", "참고");
  }

  state_.Progress(20);
  if (!state_.TablesCurrent(year)) {
    state_.PrepareYear(year);
    // The span check may have turned the inputs to this year.
    if (AstronomicalYear(state_.inputs) != year) {
      year = AstronomicalYear(state_.inputs);
      state_.correctionEnabled = HistoricalCorrectionApplies(year, state_.settings.PlaceIndex, true);
      state_.historicalCorrection =
          HistoricalCorrectionApplies(year, state_.settings.PlaceIndex, state_.correctionWanted);
    }
    LayOutMonthGrid(view.grid, state_.inputs.month, state_.displayMode);
  }
  state_.Progress(40);
  if (!state_.tables->Prepared) {
    state_.Progress(0);
    return false;
  }

  MonthRequest request;
  request.year = year;
  request.month = state_.inputs.month;
  request.mode = state_.displayMode;
  request.leapWanted = state_.displayMode == DisplayMode::Lunar && state_.leapMonthWanted;
  request.eraAD = state_.inputs.eraAD;
  const DaysOptions options = state_.DaysOptionsInEffect();
  bool ok = false;
  try {
    ok = FillMonthView(state_.ctx, *state_.tables, *state_.years, state_.memos, options, request, view,
                       state_.progress);
    if (!ok && request.leapWanted) {
      // No such leap month (the inputs changed under it): the regular month.
      state_.leapMonthWanted = false;
      request.leapWanted = false;
      LayOutMonthGrid(view.grid, state_.inputs.month, state_.displayMode);
      ok = FillMonthView(state_.ctx, *state_.tables, *state_.years, state_.memos, options, request, view,
                         state_.progress);
    }
  } catch (const JplError& e) {
    view.filled = false;
    state_.messages.Show(e.what(), "오류", MessageButtons::Ok, MessageIcon::Error);
  }
  if (ok) {
    shownInputs_ = state_.inputs;
    // Lunar months are named by their number, not by a solar month's name.
    if (state_.displayMode == DisplayMode::Lunar)
      view.grid.corner = (request.leapWanted ? "윤" : "") + std::to_string(state_.inputs.month) + "월";
    yearPillarText_ = view.yearPillar;
    monthPillarText_ = view.monthPillar;
    monthPillarRed_ = view.monthWithoutMajorTerm;
    state_.referenceText = view.calendarNote;
  }
  state_.Progress(0);
  return ok;
}

void MonthViewModel::SelectCell(int column, int row) {
  CellPillars(view, MonthGrid::CellAt(column, row), yearPillarText_, monthPillarText_);
}

double MonthViewModel::MoonAgeOfCell(int cell) const {
  if (!state_.tables->Prepared || !view.filled || cell < 0 || cell >= MonthGrid::kCells) return -1.0;
  const MonthCell& c = view.grid.cells[cell];
  if (!c.present) return -1.0;
  const CivilDate& d = c.values.solar;
  return MoonAgeAtNoon(*state_.tables, state_.settings, d.year, d.month, d.day);
}

double MonthViewModel::ShownMoonAge() const {
  if (!state_.tables->Prepared) return -1.0;
  if (state_.selected.selected())
    return MoonAgeAtNoon(*state_.tables, state_.settings, state_.selected.solarYear, state_.selected.solarMonth,
                         state_.selected.solarDay);
  return MoonAgeOfCell(view.todayCell >= 0 ? view.todayCell : view.LastCellBefore + 1);
}

void MonthViewModel::ShowPendingNotice() {
  if (state_.pendingNotice.empty()) return;
  const std::string notice = state_.pendingNotice;
  state_.pendingNotice.clear();
  state_.messages.Show(notice, "알림");
}

bool MonthViewModel::SelectDay(int column, int row) {
  if (state_.engineBusy) return false;
  if (AstronomicalYear(state_.inputs) != state_.LoadedYear()) {
    state_.messages.Show(kYearNotShownMessage, kYearNotShownCaption);
    return false;
  }
  const int cell = MonthGrid::CellAt(column, row);
  if (cell < 0) return false;  // the month's name, the weekdays and the line labels
  if (!view.filled || !view.InMonth(cell)) {
    state_.messages.Show(kDayOutsideMonthMessage, kDayOutsideMonthCaption);
    return false;
  }
  const MonthCell& c = view.grid.cells[cell];
  if (!c.present) return false;
  DaySelection day;
  bool found = false;
  if (state_.displayMode == DisplayMode::Solar) {
    const CivilDate& s = c.values.solar;
    found = SelectSolarDay(*state_.tables, s.year, s.month, s.day, day);
  } else {
    const LunarDay& l = c.values.lunar;
    found = l.Known() && SelectLunarDay(*state_.tables, l.year, l.month, l.day, l.leap, day);
  }
  if (!found) return false;
  state_.selected = day;
  state_.referenceText = SelectedDateLine(day);
  return true;
}

int MonthViewModel::SelectedCell() const {
  if (!state_.selected.selected() || !view.filled || !state_.tables->Prepared) return -1;
  const int cell =
      view.CellOf({state_.selected.solarYear, state_.selected.solarMonth, state_.selected.solarDay});
  return cell >= 0 && view.InMonth(cell) ? cell : -1;
}

}  // namespace orv
