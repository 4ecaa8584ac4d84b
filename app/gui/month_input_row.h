// The row above the month grid: the year with its stepper and era, the month
// with its stepper, the solar or lunar view ("표시력"), the leap-month and
// correction boxes, "달력보기", the today panel, the year and month pillar
// boxes with the pillar line of the month, and the progress bar. Its controls
// read the inputs and move the month shown (the navigation of CalendarApp);
// the window shows the new state when told.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QWidget>

#include "app/core/calendar_app.h"
#include "app/gui/controls.h"

namespace orv {

class MonthInputRow : public QWidget {
  Q_OBJECT
 public:
  MonthInputRow(CalendarApp& app, QWidget* parent);

  // Reads yearInput, monthInput and eraChoice into the app's inputs; false
  // (with the conversion message, and the month shown back in the inputs)
  // when the year or the month is not a whole number.
  bool ReadInputs();
  // Mirrors the app's inputs, view, leap month and correction in the controls.
  void ShowInputs();
  // The year and month pillars of the selected day (or of the month) in
  // their boxes.
  void ShowDayPillars();
  // The pillar boxes of the month shown (the month's red when it needs a
  // look) and its pillar line by the sectional terms.
  void ShowMonthPillars();
  void ShowProgress(int percent);

  // Moving the month shown, as the steppers, "달력보기" and the released
  // today panel do: each reads the inputs first (and stops at a bad one),
  // then tells monthChanged.
  void StepYear(bool up);
  void StepMonth(bool up);
  // "달력보기": the month of the inputs; a leap month shown stays shown (the
  // inputs name its number).
  void ShowInputMonth();
  // Today's month; the inputs are not read.
  void GoToToday();

  InputEdit* yearInput;
  UpDown* yearStepper;
  RadioGroup* eraChoice;
  InputEdit* monthInput;
  UpDown* monthStepper;
  QGroupBox* calendarKindGroup;  // "표시력"
  QRadioButton* solarViewButton;
  QRadioButton* lunarViewButton;
  QCheckBox* leapMonthBox;
  QCheckBox* correctionBox;
  BitButton* showMonthButton;
  PressPanel* todayPanel;
  QLineEdit* yearPillarBox;
  QLineEdit* monthPillarBox;
  QLabel* pillarLine;  // the pillars by the sectional terms of the month shown
  QProgressBar* progressBar;

 signals:
  // The month, the view or the inputs of the app changed: the window shows
  // the state.
  void monthChanged();

 private:
  // Reads the inputs, runs `action`, tells monthChanged.
  template <typename Action>
  void Rebuild(Action action);
  // A box toggled by the user: with bad inputs it shows the state again.
  template <typename Action>
  void Toggle(Action action);
  // Restores an input that does not hold a whole number, with a message.
  void RejectInput(QLineEdit* edit);
  // An input lost the focus: a text that is not a whole number does not
  // silently become a year.
  void InputLeft(QLineEdit* edit);
  void todayPressed();
  void todayReleased();

  CalendarApp& app_;
  bool rejecting_ = false;  // an input's message is being shown
};

}  // namespace orv
