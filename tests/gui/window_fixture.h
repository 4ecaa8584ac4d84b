// The window tests' common ground: a main window on two temporary folders
// (the program's and the current one), its messages recorded and its clock
// fixed at 2024-02-15 10:30 in Seoul (01:30 UTC), with the readers of the
// month grid the tests share.
#pragma once

#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <string>

#include "app/core/clock.h"
#include "app/core/files/files.h"
#include "app/core/files/memo.h"
#include "app/core/messages.h"
#include "app/gui/main_window.h"

namespace orv::testing {

// 2024-02-15 10:30 in Seoul (UTC+9).
inline ClockReading Seoul20240215() {
  ClockReading r;
  r.local = MakeTm(2024, 2, 15, 10, 30);
  r.utc = MakeTm(2024, 2, 15, 1, 30);
  return r;
}

struct TemporaryWindow {
  QTemporaryDir program;
  QTemporaryDir current;
  RecordingMessageSink messages;
  FixedClock clock{Seoul20240215()};
  std::unique_ptr<MainWindow> form;

  AppFolders Folders() const { return AppFolders{program.path().toStdString(), current.path().toStdString()}; }
  // Makes the window (not started: StartUp is the caller's, after what it
  // must set first); `sink` replaces the recording messages.
  void Create(const AppFolders& folders, MessageSink* sink = nullptr) {
    form = std::make_unique<MainWindow>(folders, sink ? *sink : messages, clock);
  }

  MainWindow& operator*() { return *form; }
  MainWindow* operator->() { return form.get(); }
  std::string Folder() const { return current.path().toStdString(); }
  // The memo file of the current folder, read when the window starts.
  void WriteMemos(const std::string& lines) {
    QVERIFY(WriteFileAtomically(JoinPath(current.path().toStdString(), kMemoFileName), lines));
  }
  QString Cell(int column, int row) const { return form->monthGrid->CellText(column, row); }
  // The first, second and third line of grid cell k.
  QString First(int cell) const { return Cell(cell % 7 + 1, cell / 7 * 3 + 1); }
  QString Second(int cell) const { return Cell(cell % 7 + 1, cell / 7 * 3 + 2); }
  QString Third(int cell) const { return Cell(cell % 7 + 1, cell / 7 * 3 + 3); }
  // Grid cell of the first line `text` inside the displayed month, -1 when none.
  int CellOf(const QString& text) const {
    const MonthView& v = form->App().Month().View();
    for (int k = v.LastCellBefore + 1; k < v.FirstCellAfter; ++k)
      if (First(k) == text) return k;
    return -1;
  }
  // Shows a month through the year and month inputs and the show button.
  void Show(const QString& year, const QString& month) {
    form->yearInput->setText(year);
    form->monthInput->setText(month);
    form->showMonthButton->click();
  }
  // The text of the last message, empty when there was none.
  QString Last() const {
    return messages.messages.empty() ? QString() : QString::fromStdString(messages.messages.back().text);
  }
};

}  // namespace orv::testing
