// The four-pillars tool of the main window, headless: opened from its
// right-hand button, it computes the pillars of a civil-clock reading with the
// command line's numbers and names a clock reading that never existed.
#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTimer>
#include <QtTest>

#include "app/core/clock.h"
#include "app/core/messages.h"
#include "app/gui/main_window.h"
#include "cli_runner.h"
#include "gui/window_fixture.h"

using namespace orv;

namespace {

struct Window : testing::TemporaryWindow {
  Window() {
    Create(Folders());
    form->StartUp();
  }
};

// Fills the open tool, presses `button` and returns the result text.
QString RunTool(MainWindow& form, int y, int m, int d, QTime time, int clock, int rule, const char* button) {
  QString text;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) return;
    dialog->findChild<QSpinBox*>("Year")->setValue(y);
    dialog->findChild<QSpinBox*>("Month")->setValue(m);
    dialog->findChild<QSpinBox*>("Day")->setValue(d);
    dialog->findChild<QTimeEdit*>("Time")->setTime(time);
    dialog->findChild<QComboBox*>("Clock")->setCurrentIndex(clock);
    dialog->findChild<QComboBox*>("HourRule")->setCurrentIndex(rule);
    dialog->findChild<QPushButton*>(button)->click();
    text = dialog->findChild<QPlainTextEdit*>("Result")->toPlainText();
    dialog->close();
  });
  form.findChild<QPushButton*>("PillarsButton")->click();
  return text;
}

}  // namespace

class PillarsDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void civilClockReadingAsTheCommandLine() {
    Window w;
    const QString text = RunTool(*w.form, 1988, 7, 1, QTime(12, 0), 1, 0, "Compute");
    QTemporaryDir dir;
    const testing::CliResult cli =
        testing::RunCli("pillars 1988-07-01 12:00 --clock civil", dir.path().toStdString());
    QCOMPARE(cli.status, 0);
    // The reading and its corrections read the same; below them the dialog
    // draws the chart as cells and the command prints it as text.
    const auto head = [](const QString& s) { return s.left(s.indexOf("\n\n")); };
    QCOMPARE(head(text), head(QString::fromStdString(cli.out)));
    QVERIFY(text.count('\n') > 4);
    QVERIFY(text.contains("UTC+10:00"));
  }

  void skippedReadingIsNamed() {
    Window w;
    const QString text = RunTool(*w.form, 1987, 5, 10, QTime(2, 30), 1, 0, "Compute");
    QVERIFY2(text.contains("없던 시각"), qPrintable(text));
  }

  void repeatedReadingOffersTheLaterOne() {
    Window w;
    const QString first = RunTool(*w.form, 1987, 10, 11, QTime(2, 30), 1, 0, "Compute");
    QVERIFY2(first.contains("KDT(UTC+10:00) 쪽을 썼습니다"), qPrintable(first));
    const QString later = RunTool(*w.form, 1987, 10, 11, QTime(2, 30), 1, 0, "Later");
    QVERIFY2(later.contains("KST(UTC+09:00) 쪽을 썼습니다"), qPrintable(later));
  }
};

QTEST_MAIN(PillarsDialogTest)
#include "tst_pillarsdialog.moc"
