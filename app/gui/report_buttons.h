// The column of report buttons beside the month grid: solar terms,
// syzygies, eclipses, the 30-year tables with their direction, the year's
// holidays, the anniversary manager and the iCalendar export, the four
// pillars, and the settings/about button. The window connects each button to
// its report; the 30-year direction is set here.
#pragma once

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "app/core/calendar_app.h"
#include "app/gui/controls.h"

namespace orv {

class ReportButtons : public QWidget {
  Q_OBJECT
 public:
  ReportButtons(CalendarApp& app, QWidget* parent);

  // Mirrors the direction of the 30-year tables.
  void ShowThirtyYearsAfter(bool after);

  BitButton* solarTermsButton;
  BitButton* syzygiesButton;
  BitButton* eclipsesButton;
  QGroupBox* thirtyYearsGroup;  // "30년동안"
  QRadioButton* yearsBeforeButton;
  QRadioButton* yearsAfterButton;
  BitButton* leapMonthsButton;
  BitButton* lunarDatesButton;
  BitButton* solarDatesButton;
  BitButton* holidaysButton;
  QPushButton* icsButton;          // "iCal": the iCalendar export
  QPushButton* anniversaryButton;  // "비망일 편집": the anniversary manager
  QPushButton* pillarsButton;      // "사주": the four-pillars tool
  BitButton* aboutButton;
};

}  // namespace orv
