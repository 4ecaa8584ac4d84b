// The small dialogs of the menu bar: going to a date (Ctrl+G), finding named
// days (Ctrl+F) and choosing what to print.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "app/core/calendar_app.h"

class QCheckBox;
class QLineEdit;
class QLabel;
class QListWidget;

namespace orv {

// "날짜로 가기": a date typed as solar or lunar, with 윤 as a check box or in
// the text ("윤6.15"). The text is checked as it is typed.
class GoToDateDialog : public QDialog {
 public:
  GoToDateDialog(int defaultYear, bool lunar, QWidget* parent = nullptr);
  // The date of the accepted dialog.
  const DateQuery& Query() const { return query_; }
  QLineEdit* DateInput() const { return dateInput_; }
  QCheckBox* LunarBox() const { return lunarBox_; }
  QCheckBox* LeapBox() const { return leapBox_; }

 private:
  void Check();
  int defaultYear_;
  DateQuery query_;
  QLineEdit* dateInput_;
  QCheckBox* lunarBox_;
  QCheckBox* leapBox_;
  QLabel* problem_;
  QWidget* okButton_;
};

// "찾기": holidays, national days and memo days by name, with their next
// dates; choosing one shows its day.
class FindDaysDialog : public QDialog {
 public:
  using Finder = std::function<std::vector<NamedDay>(const std::string& text)>;
  using Chooser = std::function<void(const NamedDay& day)>;
  FindDaysDialog(Finder find, Chooser choose, QWidget* parent = nullptr);
  QLineEdit* SearchInput() const { return search_; }
  QListWidget* Results() const { return results_; }
  // Lists the days whose name holds the search text.
  void Search();

 private:
  Finder find_;
  Chooser choose_;
  std::vector<NamedDay> found_;
  QLineEdit* search_;
  QListWidget* results_;
};

// "달력 인쇄": the month shown, the twelve months of a year, or the year on
// one page. False when cancelled.
bool AskPrintRequest(QWidget* parent, PrintRequest& request, int shownMonth, bool toPdf);

// "2026-02-17 (D-3)  설날  [공휴일]": one line of the find list.
QString NamedDayLine(const NamedDay& day);

}  // namespace orv
