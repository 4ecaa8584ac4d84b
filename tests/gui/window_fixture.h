// The window tests' common ground: a main window on two temporary folders
// (the program's and the current one), its messages recorded and its clock
// fixed at 2024-02-15 10:30 in Seoul (01:30 UTC), with the readers of the
// month grid the tests share and the lookup of a control by its name.
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

// The one control named `name` under `root` (a window, a dialog), as a `Widget`.
// A name that is missing, held by two objects or by another kind of control
// stops the test run with a message saying so: every control a test drives
// has a name of its own.
template <typename Widget>
Widget* Control(const QObject* root, const char* name) {
  const QList<QObject*> named = root->findChildren<QObject*>(QString::fromLatin1(name));
  Widget* control = named.size() == 1 ? qobject_cast<Widget*>(named.front()) : nullptr;
  if (control == nullptr)
    qFatal("%s: expected one %s named \"%s\", found %lld object(s) of that name%s", qPrintable(root->objectName()),
           Widget::staticMetaObject.className(), name, static_cast<long long>(named.size()),
           named.size() == 1 ? qPrintable(QString(" (a ") + named.front()->metaObject()->className() + ")") : "");
  return control;
}

// 2024-02-15 10:30 in Seoul (UTC+9).
inline ClockReading Seoul20240215() {
  ClockReading r;
  r.local = MakeTm(2024, 2, 15, 10, 30);
  r.utc = MakeTm(2024, 2, 15, 1, 30);
  return r;
}

// Picks item `item` of the simulation window's list as the user does.
inline void ChooseSimulationItem(const QObject* simulationWindow, int item) {
  auto* items = Control<QComboBox>(simulationWindow, "itemChoice");
  items->setCurrentIndex(item);
  emit items->activated(item);
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
  // The window's control named `name` (see testing::Control).
  template <typename Widget>
  Widget* Control(const char* name) const {
    return testing::Control<Widget>(form.get(), name);
  }
  MonthGridWidget* Grid() const { return Control<MonthGridWidget>("monthGrid"); }
  QString Cell(int column, int row) const { return Grid()->CellText(column, row); }
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
    Control<QLineEdit>("yearInput")->setText(year);
    Control<QLineEdit>("monthInput")->setText(month);
    Control<QPushButton>("showMonthButton")->click();
  }
  // The text of the last message, empty when there was none.
  QString Last() const {
    return messages.messages.empty() ? QString() : QString::fromStdString(messages.messages.back().text);
  }
};

}  // namespace orv::testing
