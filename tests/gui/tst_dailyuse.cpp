// The main window in daily use, headless: the navigation keys whatever has
// the focus, the arrows and Enter on the days, "날짜로 가기" and "찾기", the
// menu bar, the leap month kept by "달력보기", the header's pillars by the
// terms, the place's own clock, Korean place names, Saturdays and the days of
// the neighbouring months, the remembered window size, and printing (the
// PDF rendered with pdftoppm and read with pdftotext, poppler-utils).
//
// The clock is fixed at 2024-02-15 10:30 in UTC+9 (01:30 UT). References:
// KASI (leap 6th month of 2025 from 2025-07-25; 설날 2024-02-10; 立春
// 2026-02-04), New York on EST (UTC-5) in February.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QCompleter>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "app/core/files/files.h"
#include "app/core/reports/day_report.h"
#include "app/gui/calendar_dialogs.h"
#include "app/gui/main_window.h"
#include "app/gui/month_grid.h"
#include "window_fixture.h"

using namespace orv;

namespace {

// The shared window, opened (not started) at construction.
struct Window : testing::TemporaryWindow {
  Window() { Open(); }
  void Open() { Create(Folders()); }
  void StartShown() {
    form->StartUp();
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
  }
  // The painter's style of a grid position.
  CellStyle StyleAt(int column, int row) const {
    const auto* painter = static_cast<const CellPainter*>(Grid()->itemDelegate());
    return painter->StyleOf(Grid()->model()->index(row, column));
  }
};

QString Tool(const char* name) { return QStandardPaths::findExecutable(name); }

// Runs a poppler tool; its standard output.
QByteArray RunTool(const QString& tool, const QStringList& args) {
  QProcess p;
  p.start(tool, args);
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
  return p.readAllStandardOutput();
}

}  // namespace

class DailyUseTest : public QObject {
  Q_OBJECT
 private slots:
  // Defect: Home did nothing while the year field had the focus.
  void navigationKeysWorkWhateverHasTheFocus() {
    Window w;
    w.StartShown();
    for (QWidget* focus : std::initializer_list<QWidget*>{w.Control<InputEdit>("yearInput"), w.Control<InputEdit>("monthInput"), w.Control<QComboBox>("placeChoice"), w.Control<BitButton>("solarTermsButton")}) {
      focus->setFocus();
      QTest::keyClick(focus, Qt::Key_PageDown);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
      QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("4"));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
      QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2025"));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
      QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2024"));
      QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("2"));
    }
    // The year field still takes its own keys.
    w.Control<InputEdit>("yearInput")->setFocus();
    w.Control<InputEdit>("yearInput")->setText("2030");
    QTest::keyClick(w.Control<InputEdit>("yearInput"), Qt::Key_Backspace);
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("203"));
  }

  // Defect: "달력보기" undid the leap month.
  void showButtonKeepsTheLeapMonth() {
    Window w;
    w->StartUp();
    w.Show("2025", "6");
    w.Control<QRadioButton>("lunarViewButton")->click();
    w.Control<QCheckBox>("leapMonthBox")->click();
    QVERIFY(w.Control<QCheckBox>("leapMonthBox")->isChecked());
    QCOMPARE(w.Cell(0, 0), QString("윤6월"));
    w.Control<BitButton>("showMonthButton")->click();
    QVERIFY(w.Control<QCheckBox>("leapMonthBox")->isChecked());
    QCOMPARE(w.Cell(0, 0), QString("윤6월"));
    QVERIFY(w->App().LeapMonthWanted());
  }

  // Defect: the header showed the pillars of the month's first day only.
  void headerShowsThePillarsWithTheDayTheyChange() {
    Window w;
    w->StartUp();
    w.Show("2026", "2");
    QCOMPARE(w.Control<QLabel>("PillarLine")->text(), QString("乙巳年 己丑月 → 2/4 입춘 丙午年 庚寅月"));
    // A selected day shows its own pillars (by the lunar month, as before).
    w->MoveSelectedDay(0);  // the 1st (today is not in this month)
    QCOMPARE(w->App().Selected().solarDay, 1);
    w->MoveSelectedDay(20);  // 2026-02-21: lunar 1.5 of 丙午
    QCOMPARE(w.Control<QLineEdit>("yearPillarBox")->text(), QString("丙午年"));
    QCOMPARE(w.Control<QLineEdit>("monthPillarBox")->text(), QString("庚寅月 "));
  }

  // Defect: the note box showed an offset from the computer's clock.
  void noteBoxShowsThePlacesOwnClock() {
    Window w;
    w->StartUp();
    const int newYork = w.Control<QComboBox>("placeChoice")->findText("미국-New York (뉴욕)");
    QVERIFY(newYork > 0);
    emit w.Control<QComboBox>("placeChoice")->activated(newYork);
    QTest::mouseClick(w.Control<InputEdit>("referenceBox"), Qt::LeftButton);
    QTest::mouseClick(w.Control<InputEdit>("referenceBox"), Qt::LeftButton);
    QCOMPARE(w.Control<InputEdit>("referenceBox")->text(), QString("미국-New York 현지시각 2024-02-14 20:30 EST (UTC-05:00, 섬머타임 아님)"));
  }

  // Defect: places abroad were found only by their English names; two Seoul
  // rows looked the same.
  void placesAreFoundByKoreanNames() {
    Window w;
    w->StartUp();
    QCompleter* completer = w.Control<QComboBox>("placeChoice")->completer();
    for (const char* name : {"뉴욕", "런던", "파리", "도쿄", "싱가포르"}) {
      completer->setCompletionPrefix(QString::fromUtf8(name));
      QVERIFY2(completer->completionCount() >= 1, name);
    }
    completer->setCompletionPrefix("런던");
    QVERIFY(completer->currentCompletion().startsWith("영국*London"));
    const QString seoulHistorical = w.Control<QComboBox>("placeChoice")->itemText(0);
    const QString seoulCapital = w.Control<QComboBox>("placeChoice")->itemText(41);
    QVERIFY(seoulHistorical.startsWith("대한민국-서울(135.0)"));
    QVERIFY(seoulCapital.startsWith("대한민국*서울"));
    QVERIFY(seoulHistorical.contains("동경 126.97°") && seoulHistorical.contains("음력보정"));
    QVERIFY(seoulCapital.contains("동경 127.05°") && !seoulCapital.contains("음력보정"));
    // The reports keep the row's own name.
    QCOMPARE(QString::fromStdString(w->App().Places().rows[41].name), QString("대한민국*서울"));
  }

  // Defect: Saturdays grey; the other months' days hid their holidays.
  void saturdaysBlueAndNeighbouringHolidaysRed() {
    Window w;
    w->StartUp();
    w.Show("2026", "12");
    const QColor blue(0x00, 0x38, 0xB8);
    QCOMPARE(w.StyleAt(7, 0).foreground, blue);  // "토요일"
    QCOMPARE(w.StyleAt(7, 1).foreground, blue);  // 5 December, a Saturday
    const int newYear = w->App().Month().View().FirstCellAfter;
    QCOMPARE(w.First(newYear), QString("1"));
    QVERIFY(w.Third(newYear).contains("신정"));
    const CellStyle day = w.StyleAt(newYear % 7 + 1, newYear / 7 * 3 + 1);
    QVERIFY(day.foreground.red() > 160 && day.foreground.green() < 80);  // red, readable
    QVERIFY(day.background.lightness() > 200);                            // on a pale cell
    w.Show("2027", "1");
    QVERIFY(w.Third(41).contains("설날 전날"));  // 2027-02-06
  }

  // Defect: the window's size and place were not remembered.
  void windowSizeIsRemembered() {
    Window w;
    w->StartUp();
    w->resize(980, 760);
    w->close();
    QVERIFY(QFile::exists(w->WindowStatePath()));
    QVERIFY(!w->WindowStatePath().endsWith("Orvanta.cfg"));
    w.Open();
    QCOMPARE(w->size(), QSize(980, 760));
  }

  void arrowsAndEnterWorkOnTheDays() {
    Window w;
    w.StartShown();
    w.Grid()->setFocus();
    QTest::keyClick(w.Grid(), Qt::Key_Right);  // selects today, the 15th
    QCOMPARE(w->App().Selected().solarDay, 15);
    QTest::keyClick(w.Grid(), Qt::Key_Right);
    QTest::keyClick(w.Grid(), Qt::Key_Down);
    QCOMPARE(w->App().Selected().solarDay, 23);
    QCOMPARE(w.Grid()->PaintState().selectedCell, 4 + 22);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);  // into March
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("3"));
    QCOMPARE(w->App().Selected().solarDay, 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("2"));
    QCOMPARE(w->App().Selected().solarDay, 29);
    const size_t before = w.messages.messages.size();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(w.messages.messages.size(), before + 1);
    QCOMPARE(QString::fromStdString(w.messages.messages.back().caption), QString(kDayReportCaption));
  }

  void goToDateAndFind() {
    Window w;
    w.WriteMemos("1,2000,4,3,결혼기념일\n");
    w.StartShown();
    w->askGoToDate = [](DateQuery& q) {
      std::string error;
      return ParseDateQuery("2025.윤6.15", false, false, 2024, q, error);
    };
    QTest::keyClick(w.Control<InputEdit>("yearInput"), Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2025"));
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("8"));
    QCOMPARE(w->App().Selected().solarDay, 8);
    QVERIFY(w.Control<InputEdit>("referenceBox")->text().contains("2025"));
    // Find: the memo by a part of its name, with its next date.
    const std::vector<NamedDay> found = w->App().FindNamedDays("결혼");
    QCOMPARE(found.size(), size_t(1));
    QCOMPARE(found[0].month, 4);
    QCOMPARE(found[0].day, 3);
    w.Show("2024", "2");
    NamedDay chosen;
    FindDaysDialog find([&](const std::string& text) { return w->App().FindNamedDays(text); },
                        [&](const NamedDay& day) { chosen = day; }, w.form.get());
    find.SearchInput()->setText("결혼");
    QCOMPARE(find.Results()->count(), 1);
    QCOMPARE(find.Results()->item(0)->text(), QString("2024-04-03 (D-48)  결혼기념일  [비망일(양력)]"));
    emit find.Results()->itemActivated(find.Results()->item(0));
    QCOMPARE(chosen.day, 3);
    find.SearchInput()->setText("없는이름");
    QCOMPARE(find.Results()->item(0)->text(), QString("찾은 날이 없습니다."));

    // The date dialog checks as it is typed; 윤 in the text ticks nothing but counts.
    GoToDateDialog go(2024, false, w.form.get());
    auto* ok = go.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    go.DateInput()->setText("13.1");
    QVERIFY(!ok->isEnabled());
    go.DateInput()->setText("윤6.15");
    QVERIFY(ok->isEnabled());
    QVERIFY(go.Query().lunar && go.Query().leap);
    QCOMPARE(go.Query().year, 2024);
    go.DateInput()->setText("2025.6.15");
    go.LeapBox()->setChecked(true);  // ticks 음력 too
    QVERIFY(go.LunarBox()->isChecked());
    QVERIFY(go.Query().lunar && go.Query().leap && go.Query().year == 2025);
  }

  void menuBarHoldsEveryActionWithItsKey() {
    Window w;
    struct Item { const char* name; QKeySequence keys; } items[] = {
        {"PrintAction", QKeySequence::Print},
        {"PdfAction", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)},
        {"PrevMonthAction", QKeySequence(Qt::Key_PageUp)},
        {"NextMonthAction", QKeySequence(Qt::Key_PageDown)},
        {"PrevYearAction", QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
        {"NextYearAction", QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        {"TodayAction", QKeySequence(Qt::Key_Home)},
        {"PrevDayAction", QKeySequence(Qt::Key_Left)},
        {"NextWeekAction", QKeySequence(Qt::Key_Down)},
        {"GoToDateAction", QKeySequence(Qt::CTRL | Qt::Key_G)},
        {"FindAction", QKeySequence::Find},
    };
    for (const auto& item : items) {
      QAction* action = w->MenuAction(item.name);
      QVERIFY2(action != nullptr, item.name);
      QCOMPARE(action->shortcut(), item.keys);
    }
    // The report buttons are in the menu too.
    for (const char* name : {"DayReportAction", "TermReportAction", "SyzygyReportAction", "LocalEclipseAction",
                             "GlobalEclipseAction", "LeapTableAction", "LunarDatesAction", "SolarDatesAction",
                             "HolidayReportAction", "PillarsAction", "IcsAction", "ApplyAction", "SimulationAction"})
      QVERIFY2(w->MenuAction(name) != nullptr, name);
    QVERIFY(w.Control<QMenu>("memoMenu") != nullptr);
    // A report from the menu is the button's.
    w->StartUp();
    const size_t before = w.messages.messages.size();
    w->MenuAction("TermReportAction")->trigger();
    QCOMPARE(w.messages.messages.size(), before + 1);
  }

  void printedMonthPdfRendersAndReads() {
    const QString pdftotext = Tool("pdftotext"), pdftoppm = Tool("pdftoppm"), pdfinfo = Tool("pdfinfo");
    if (pdftotext.isEmpty() || pdftoppm.isEmpty() || pdfinfo.isEmpty()) QSKIP("poppler-utils is not installed");
    Window w;
    w.WriteMemos("1,2000,2,20,우리기념일\n");
    w->StartUp();
    const QString pdf = w.current.filePath("feb.pdf");
    QVERIFY(w->PrintCalendar({2024, 2, 2, false}, pdf));
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2024"));  // the month shown stays
    const QString text = QString::fromUtf8(RunTool(pdftotext, {"-layout", pdf, "-"}));
    for (const char* expected : {"2024년 2월", "대한민국-서울", "입춘", "설날", "우리기념일", "1.1", "12.22"})
      QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    QVERIFY(RunTool(pdfinfo, {pdf}).contains("Pages:           1"));
    QVERIFY(RunTool(pdfinfo, {pdf}).contains("842 x 595"));  // A4 landscape, points
    // The rendered page: landscape, with red (Sundays, 설날) and blue (Saturdays) ink.
    const QString png = w.current.filePath("feb");
    RunTool(pdftoppm, {"-r", "40", "-png", "-singlefile", pdf, png});
    QImage page(png + ".png");
    QVERIFY(!page.isNull());
    QVERIFY(page.width() > page.height());
    int red = 0, blue = 0;
    for (int y = 0; y < page.height(); ++y)
      for (int x = 0; x < page.width(); ++x) {
        const QColor c = page.pixelColor(x, y);
        if (c.red() > 150 && c.green() < 90 && c.blue() < 90) ++red;
        if (c.blue() > 150 && c.red() < 60 && c.green() < 110) ++blue;
      }
    QVERIFY2(red > 50, qPrintable(QString::number(red)));
    QVERIFY2(blue > 20, qPrintable(QString::number(blue)));

    // Twelve months, and the year on one page.
    const QString year = w.current.filePath("year.pdf");
    QVERIFY(w->PrintCalendar({2024, 1, 12, false}, year));
    QVERIFY(RunTool(pdfinfo, {year}).contains("Pages:           12"));
    const QString glance = w.current.filePath("glance.pdf");
    QVERIFY(w->PrintCalendar({2024, 1, 12, true}, glance));
    QVERIFY(RunTool(pdfinfo, {glance}).contains("Pages:           1"));
    const QString glanceText = QString::fromUtf8(RunTool(pdftotext, {glance, "-"}));
    QVERIFY(glanceText.contains("2024년") && glanceText.contains("12월"));
  }

  void cliPrintWritesTheSamePages() {
    const QString pdftotext = Tool("pdftotext");
    if (pdftotext.isEmpty()) QSKIP("poppler-utils is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath("feb2026.pdf");
    QProcess cli;
    cli.setWorkingDirectory(dir.path());
    cli.start(ORVANTA_CLI_PATH, {"print", "2026", "--month", "2", "-o", pdf});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QString text = QString::fromUtf8(RunTool(pdftotext, {"-layout", pdf, "-"}));
    for (const char* expected : {"2026년 2월", "2/4 입춘", "설날", "12.14"})
      QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    // Usage errors leave no file.
    const QString bad = dir.filePath("bad.pdf");
    cli.start(ORVANTA_CLI_PATH, {"print", "2026", "--month", "13", "-o", bad});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 2);
    QVERIFY(!QFile::exists(bad));
  }
};

QTEST_MAIN(DailyUseTest)
#include "tst_dailyuse.moc"
