// The month shown in the window: builds the month view from the inputs over
// the shared calendar state (preparing the year when it changed), selects
// days in it and answers what the grid shows (pillars, the Moon's age).
#pragma once

#include <string>

#include "app/core/calendar_state.h"
#include "app/core/month_view.h"

namespace orv {

class MonthViewModel {
 public:
  explicit MonthViewModel(CalendarState& state);

  // An empty grid laid out for the month of the inputs.
  void Reset();
  // Rebuilds the month view from the inputs: year range check, historical
  // correction state, year preparation when the year changed, the grid.
  // False when nothing could be shown (bad month number).
  bool Build();
  // Shows the notice left by the last build ("알림") once, if there is one.
  void ShowPendingNotice();

  // Checks the year and the cell at grid position (column, row) (with their
  // messages), makes its day the selected one and shows the selected-date
  // line in referenceBox; false when no day was selected.
  bool SelectDay(int column, int row);
  // Grid cell selected: the pillars of its day in the pillar boxes.
  void SelectCell(int column, int row);
  // Grid cell of the selected day in the month shown, -1 when none.
  int SelectedCell() const;
  // Moon's age (days) at noon of the selected day, or of the day the view
  // stands for (today's cell, else the month's first day).
  double ShownMoonAge() const;
  // Moon's age (days) at noon of the day of grid cell `cell`; -1 without one.
  double MoonAgeOfCell(int cell) const;

  const MonthView& View() const { return view; }
  // The inputs of the last month shown.
  const MonthInputs& ShownInputs() const { return shownInputs_; }
  const std::string& YearPillarText() const { return yearPillarText_; }
  const std::string& MonthPillarText() const { return monthPillarText_; }
  bool MonthPillarRed() const { return monthPillarRed_; }
  // The pillars by the sectional terms for the month shown (month_view.h).
  const std::string& TermPillarLine() const { return view.termPillarLine; }

 private:
  CalendarState& state_;
  MonthView view;
  MonthInputs shownInputs_;
  std::string yearPillarText_ = "歲次";
  std::string monthPillarText_ = "月建";
  bool monthPillarRed_ = false;
};

}  // namespace orv
