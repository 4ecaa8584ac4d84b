// The anniversary manager ("비망일 편집"): the rows of "비망일.txt" in a list
// with their next date and years, added, edited and removed through a form
// that checks the row as it is typed; each change is saved at once. And the
// "다가오는 날" panel: what falls in the next days, with D-N. Both only show
// what app/core computes.
#pragma once

#include <QDialog>
#include <QDockWidget>
#include <functional>

#include "app/core/calendar_app.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace orv {

// The form of one anniversary.
class AnniversaryForm : public QDialog {
  Q_OBJECT
 public:
  AnniversaryForm(const AnniversaryDraft& draft, TextEncoding encoding, QWidget* parent = nullptr);
  AnniversaryDraft Draft() const;
  // The check of what the form holds now (OK is enabled only when it passes).
  DraftCheck Check() const;

  QLineEdit* nameInput;
  QComboBox* calendarChoice;  // 양력 / 음력
  QCheckBox* leapMonthBox;
  QSpinBox* monthInput;
  QSpinBox* dayInput;
  QSpinBox* firstYearInput;
  QComboBox* markChoice;
  QLabel* checkLabel;  // the error, or the note on an allowed date
  QPushButton* okButton;

 private:
  void Recheck();
  TextEncoding encoding_;
};

class AnniversaryDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AnniversaryDialog(CalendarApp& app, QWidget* parent = nullptr);

  // Asks for a row (the form by default; tests substitute); false = cancelled.
  std::function<bool(AnniversaryDraft& draft)> askDraft;
  // Asks before removing (a question box by default).
  std::function<bool(const QString& name)> confirmRemoval;

  QTableWidget* anniversaryList;
  QPushButton* addButton;
  QPushButton* editButton;
  QPushButton* removeButton;
  QLabel* fileLabel;
  // Lunar anniversaries by the lunar calendar of the place shown (a user
  // abroad) instead of the Korean one; every view follows it.
  QCheckBox* anniversaryLocalBox;

 public slots:
  void AddAnniversary();
  void EditSelected();
  void RemoveSelected();

 private:
  void Fill();
  // Applies a change to the memo file as it is now (the file's owner reads
  // it again inside its lock) and shows the file as written; false when the
  // change was refused or not written (with a message).
  bool Commit(const MemoChange& change);
  CalendarApp& app_;
  MemoDocument document_;
};

// "다가오는 날": a panel beside the month view.
class UpcomingPanel : public QDockWidget {
  Q_OBJECT
 public:
  explicit UpcomingPanel(CalendarApp& app, QWidget* parent = nullptr);
  QSpinBox* daysInput;
  QTableWidget* upcomingList;
  // The days listed now.
  const std::vector<UpcomingDay>& Items() const { return items_; }

 public slots:
  void Refill();

 private:
  CalendarApp& app_;
  std::vector<UpcomingDay> items_;
};

}  // namespace orv
