// The date tools under the simulation table: the date some days after a date
// and the days between two dates ("경과날짜계산", with the Korean count that
// takes the first day as day 1 under them), and the Julian Date converter in
// both directions ("Julian, Calendar Date(UT 기준)"). Every number comes from
// app/core (date_tools.h, anniversaries.h).
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "app/core/messages.h"
#include "time/dates.h"

namespace orv {

class DateToolsPanel : public QWidget {
  Q_OBJECT
 public:
  // Messages (a field that is not a number, a date that does not exist) go
  // to `messages`.
  DateToolsPanel(MessageSink& messages, QWidget* parent = nullptr);

  // Both calculators start from `date`, with no days counted.
  void StartFrom(const CivilDate& date);

 signals:
  // A calculator was run from `date` (the date the simulation window
  // remembers).
  void dateUsed(const CivilDate& date);

 private:
  void BuildControls();
  // Handlers, named after the control and the event.
  void computeElapsedDate();
  void computeDaysBetween();
  void convertJulianDayToCalendar();  // Julian Date -> calendar
  void convertCalendarToJulianDay();  // calendar -> Julian Date

  MessageSink& messages_;
  QGroupBox* dateToolsGroup_;  // "경과날짜계산"
  QLineEdit* elapsedFromYearInput_;
  QLineEdit* elapsedFromMonthInput_;
  QLineEdit* elapsedFromDayInput_;
  QLineEdit* elapsedDaysInput_;
  QPushButton* elapsedDateButton_;
  QLineEdit* elapsedYearOutput_;
  QLineEdit* elapsedMonthOutput_;
  QLineEdit* elapsedDayOutput_;
  QLineEdit* betweenFromYearInput_;
  QLineEdit* betweenFromMonthInput_;
  QLineEdit* betweenFromDayInput_;
  QLineEdit* betweenToYearInput_;
  QLineEdit* betweenToMonthInput_;
  QLineEdit* betweenToDayInput_;
  QPushButton* daysBetweenButton_;
  QLineEdit* daysBetweenOutput_;
  // The same counts the Korean way, the first day being day 1 ("100일째" of
  // 1 January is 10 April; the tools add 100 days).
  QLabel* koreanDayCountLabel_;

  QGroupBox* julianDayGroup_;  // "Julian, Calendar Date(UT 기준)"
  QLineEdit* julianDayInput_;
  QPushButton* toCalendarButton_;
  QLineEdit* calendarYearOutput_;
  QLineEdit* calendarMonthOutput_;
  QLineEdit* calendarDayOutput_;
  QLineEdit* calendarHourOutput_;
  QLineEdit* calendarMinuteOutput_;
  QLineEdit* calendarSecondOutput_;
  QLineEdit* calendarYearInput_;
  QLineEdit* calendarMonthInput_;
  QLineEdit* calendarDayInput_;
  QLineEdit* calendarHourInput_;
  QLineEdit* calendarMinuteInput_;
  QLineEdit* calendarSecondInput_;
  QPushButton* toJulianDayButton_;
  QLineEdit* julianDayOutput_;
};

}  // namespace orv
