// The simulation window driven through its controls, headless, opened from
// the main window's simulationButton. Messages are recorded, the clock is fixed at
// 2024-02-15 10:30 in UTC+9, the folders are temporary and written files are
// "opened" by a recorder.
//
// Expected values: the 1582 reform (Thursday 4 October followed by Friday
// 15 October; JD 2299160.5 is 1582-10-15 00:00), JD 2451544.5 = 2000-01-01
// 00:00 (Meeus, Astronomical Algorithms, ch. 7), and USNO's March equinox of
// 2024 (03-20 03:06 UT, 12:06 KST).
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QShortcut>
#include <QTemporaryDir>
#include <QtTest>

#include "app/gui/main_window.h"
#include "app/gui/simulation_window.h"
#include "gui/window_fixture.h"

using namespace orv;
using orv::testing::ChooseSimulationItem;
using orv::testing::Control;

namespace {

struct Window : testing::TemporaryWindow {
  std::vector<std::string> opened;

  Window() {
    Create(Folders());
    form->StartUp();
    form->Simulation().openFile = [this](const std::string& path) { opened.push_back(path); };
  }
  ~Window() { form.reset(); }  // before `opened`, which the window's hook writes to
  SimulationWindow* Open() {
    Control<BitButton>("simulationButton")->click();
    return form->Simulation().window;
  }
  QByteArray Read(const QString& name) const {
    QFile f(current.filePath(name));
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.readAll();
  }
};

int SimulationWindows() {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "SimulationWindow" && !w->testAttribute(Qt::WA_WState_Hidden)) ++n;
  return n;
}

// Types into the fields of `window` named in `fields`.
void SetFields(const QObject* window, std::initializer_list<std::pair<const char*, const char*>> fields) {
  for (const auto& [name, text] : fields) Control<QLineEdit>(window, name)->setText(text);
}

}  // namespace

class SimulationWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void opensOnceFromTheMainWindow() {
    Window w;
    SimulationWindow* box = w.Open();
    QVERIFY(box != nullptr);
    QCOMPARE(box->windowTitle(), QString("천체력 추가계산"));
    QCOMPARE(Control<QGroupBox>(box, "simulationGroup")->title(), QString("Ephemerides Simulation"));
    for (const char* name :
         {"itemChoice", "targetChoice", "unitChoice", "extraInput",  "startYearInput",  "startMonthInput",   "startDayInput",   "startHourInput",
          "startMinuteInput",    "startSecondInput",       "stepInput",       "countInput", "outputNameInput", "runButton", "elapsedDateButton", "daysBetweenButton",
          "toCalendarButton",   "toJulianDayButton",      "elapsedFromYearInput",       "elapsedDaysInput", "elapsedYearOutput", "daysBetweenOutput",  "julianDayInput",  "calendarSecondOutput",
          "calendarYearInput",    "calendarSecondInput",       "julianDayOutput",       "simulationProgressBar"})
      QVERIFY2(Control<QWidget>(box, name) != nullptr, name);
    // The main window's controls keep names of their own beside them.
    QVERIFY(w.Control<QProgressBar>("progressBar") != nullptr);
    QVERIFY(w.form->Simulation().memory.windowOpen);
    // A second press brings no second window.
    QCOMPARE(w.Open(), box);
    QCOMPARE(SimulationWindows(), 1);
  }

  void firstOpeningShowsTodayAndTheDefaults() {
    Window w;
    SimulationWindow* box = w.Open();
    QCOMPARE(Control<QComboBox>(box, "itemChoice")->count(), kSimulationItemCount);
    QCOMPARE(Control<QComboBox>(box, "itemChoice")->currentIndex(), 0);
    QCOMPARE(Control<QLineEdit>(box, "outputNameInput")->text(), QString("01_천문측정적경_적위"));
    QCOMPARE(Control<QLabel>(box, "itemDescription")->text(), QString("Astrometric Geocentric Position of a Body"));
    QCOMPARE(Control<QLineEdit>(box, "startYearInput")->text(), QString("2024"));
    QCOMPARE(Control<QLineEdit>(box, "startMonthInput")->text(), QString("2"));
    QCOMPARE(Control<QLineEdit>(box, "startDayInput")->text(), QString("15"));
    QCOMPARE(Control<QLineEdit>(box, "startHourInput")->text(), QString("10"));
    QCOMPARE(Control<QLineEdit>(box, "startMinuteInput")->text(), QString("30"));
    QCOMPARE(Control<QLineEdit>(box, "startSecondInput")->text(), QString("0"));
    QCOMPARE(Control<QLineEdit>(box, "stepInput")->text(), QString("1"));
    QCOMPARE(Control<QLineEdit>(box, "countInput")->text(), QString("2"));
    QCOMPARE(Control<QLineEdit>(box, "elapsedFromYearInput")->text(), QString("2024"));
    QCOMPARE(Control<QLineEdit>(box, "elapsedDaysInput")->text(), QString("0"));
    QCOMPARE(Control<QLineEdit>(box, "daysBetweenOutput")->text(), QString("0"));
    QCOMPARE(Control<QLineEdit>(box, "julianDayInput")->text(), QString("2451544.5"));
    QCOMPARE(Control<QLineEdit>(box, "julianDayOutput")->text(), QString("2451544.5"));
    QCOMPARE(Control<QLineEdit>(box, "extraInput")->text(), QString("60.0"));
    QVERIFY(Control<QLineEdit>(box, "extraInput")->isHidden());
    // PLAN404: the Sun and the Moon in two columns.
    QCOMPARE(Control<ChoiceGroup>(box, "targetChoice")->Count(), 2);
    QCOMPARE(Control<ChoiceGroup>(box, "targetChoice")->ItemText(1), QString("달"));
    QCOMPARE(Control<ChoiceGroup>(box, "unitChoice")->Count(), 6);
    QCOMPARE(Control<ChoiceGroup>(box, "unitChoice")->ItemText(5), QString("년"));
  }

  void itemChangeSetsFieldsTargetsAndUnit() {
    Window w;
    SimulationWindow* box = w.Open();
    Control<ChoiceGroup>(box, "targetChoice")->SetItemIndex(1);
    ChooseSimulationItem(box, 4);
    QVERIFY(!Control<QLineEdit>(box, "extraInput")->isHidden());
    QCOMPARE(Control<QLabel>(box, "extraLabel")->text(), QString("통과  황경각도(도):"));
    QCOMPARE(Control<QLineEdit>(box, "outputNameInput")->text(), QString("05_해달_임의황경_통과일시"));
    QCOMPARE(Control<ChoiceGroup>(box, "targetChoice")->ItemIndex(), 1);  // the Moon stays chosen
    ChooseSimulationItem(box, 14);
    QCOMPARE(Control<QLabel>(box, "extraLabel")->text(), QString("해/달 운행간격(초):"));
    QCOMPARE(Control<ChoiceGroup>(box, "targetChoice")->Count(), 1);
    QCOMPARE(Control<ChoiceGroup>(box, "targetChoice")->ItemText(0), QString("지구"));
    Control<ChoiceGroup>(box, "unitChoice")->SetItemIndex(kUnitHours);
    ChooseSimulationItem(box, 11);
    QVERIFY(Control<QLineEdit>(box, "extraInput")->isHidden());
    QCOMPARE(Control<ChoiceGroup>(box, "unitChoice")->ItemIndex(), static_cast<int>(kUnitYears));
    QVERIFY(!Control<ChoiceGroup>(box, "unitChoice")->isEnabled());
    ChooseSimulationItem(box, 2);
    QVERIFY(Control<ChoiceGroup>(box, "unitChoice")->isEnabled());
    QCOMPARE(Control<ChoiceGroup>(box, "targetChoice")->Count(), 2);
  }

  void runWritesTheFileAndOpensIt() {
    Window w;
    SimulationWindow* box = w.Open();
    ChooseSimulationItem(box, kItemLongitudePassage);
    SetFields(box, {{"startYearInput", "2024"}, {"startMonthInput", "1"}, {"startDayInput", "1"}, {"startHourInput", "0"}, {"startMinuteInput", "0"},
               {"startSecondInput", "0"}, {"stepInput", "1"}, {"countInput", "1"}, {"extraInput", "0.0"}});
    Control<ChoiceGroup>(box, "targetChoice")->SetItemIndex(0);
    Control<ChoiceGroup>(box, "unitChoice")->SetItemIndex(kUnitYears);
    Control<QPushButton>(box, "runButton")->click();
    QCOMPARE(w.opened.size(), size_t(1));
    QVERIFY(QString::fromStdString(w.opened[0]).endsWith("05_해달_임의황경_통과일시.csv"));
    const QByteArray bytes = w.Read("05_해달_임의황경_통과일시.csv");
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));  // UTF-8 with its byte-order mark
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split('\n');
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], QString("기준지역:대한민국-서울(135.0)") +
                           (w.form->App().HistoricalCorrection() ? "/윤달보정함" : "/윤달미보정"));
    QCOMPARE(lines[2], QString("해_황경각도 = 0.000000도"));
    QCOMPARE(lines[3], QString("일시"));
    QVERIFY2(lines[4].startsWith("'2024-03-20 12:0"), qPrintable(lines[4]));  // 12:06 KST
    QCOMPARE(Control<QProgressBar>(box, "simulationProgressBar")->value(), 0);
    // The same name again: the counter picks the next free name and starts over.
    Control<QPushButton>(box, "runButton")->click();
    QCOMPARE(w.opened.size(), size_t(2));
    QVERIFY(QString::fromStdString(w.opened[1]).endsWith("05_해달_임의황경_통과일시1.csv"));
    QCOMPARE(w.form->Simulation().memory.request.outputCounter, 0);
    QVERIFY(w.messages.messages.empty());
  }

  void keysDuringARunDoNotReachTheCalendar() {
    // Ctrl+Page Down pressed on the main window while a run holds the engine:
    // the year stays where it was; after the run the same key moves it.
    Window w;
    w.form->show();
    SimulationWindow* box = w.Open();
    ChooseSimulationItem(box, kItemApparentEcliptic);
    SetFields(box, {{"startYearInput", "2024"}, {"startMonthInput", "1"}, {"startDayInput", "1"}, {"startHourInput", "0"}, {"startMinuteInput", "0"},
               {"startSecondInput", "0"}, {"stepInput", "1"}, {"countInput", "500000"}});
    Control<ChoiceGroup>(box, "targetChoice")->SetItemIndex(0);
    Control<ChoiceGroup>(box, "unitChoice")->SetItemIndex(kUnitMinutes);
    // The main window's action bound to Ctrl+Page Down, as a key press reaches it.
    auto pressNextYear = [&](int times) {
      for (QAction* action : w.form->findChildren<QAction*>())
        if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_PageDown))
          for (int i = 0; i < times; ++i) action->trigger();
    };
    bool duringRun = false;
    int yearDuringRun = 0;
    // Fires at the run's first look at the event queue.
    QTimer::singleShot(0, box, [&] {
      duringRun = Control<QPushButton>(box, "cancelButton")->isEnabled();
      pressNextYear(5);
      yearDuringRun = w.form->App().Inputs().yearNumber;
      Control<QPushButton>(box, "cancelButton")->click();
    });
    Control<QPushButton>(box, "runButton")->click();
    QVERIFY(duringRun);
    QCOMPARE(yearDuringRun, 2024);
    QCOMPARE(w.form->App().Inputs().yearNumber, 2024);
    QCOMPARE(w.form->App().Tables().LoadedYear, 2024);
    pressNextYear(1);
    QCOMPARE(w.form->App().Inputs().yearNumber, 2025);
  }

  void refusalsShowMessagesAndWriteNothing() {
    Window w;
    SimulationWindow* box = w.Open();
    SetFields(box, {{"startYearInput", "1582"}, {"startMonthInput", "10"}, {"startDayInput", "10"}});
    Control<QPushButton>(box, "runButton")->click();
    QCOMPARE(w.Last(), QString("1582년10월10일은 날짜가 존재하지 않습니다."));
    QCOMPARE(QString::fromStdString(w.messages.messages.back().caption), QString("오류"));
    SetFields(box, {{"startDayInput", "15"}, {"startHourInput", "abc"}});
    Control<QPushButton>(box, "runButton")->click();
    QCOMPARE(w.Last(), QString("'abc'은(는) 올바른 정수 값이 아닙니다."));
    ChooseSimulationItem(box, kItemEclipses);
    SetFields(box, {{"startHourInput", "0"}, {"extraInput", "0.0"}});
    Control<QPushButton>(box, "runButton")->click();
    QCOMPARE(w.Last(), QString("해/달 운행간격(초)는 0.0 이상이어야 합니다."));
    Control<QLineEdit>(box, "extraInput")->setText("-5");
    Control<QPushButton>(box, "runButton")->click();
    QCOMPARE(w.Last(), QString("해/달 운행간격(초)는 0.0 이상이어야 합니다."));
    QVERIFY(w.opened.empty());
    QCOMPARE(QDir(w.current.path()).entryList({"*.csv"}, QDir::Files).size(), 0);
  }

  // The date tools (their own test covers the calculations) speak through
  // the window's messages; the date they start from is remembered.
  void dateToolsInTheWindow() {
    Window w;
    SimulationWindow* box = w.Open();
    QVERIFY(Control<DateToolsPanel>(box, "dateTools") != nullptr);
    SetFields(box, {{"elapsedFromYearInput", "1582"}, {"elapsedFromMonthInput", "10"}, {"elapsedFromDayInput", "10"}});
    Control<QPushButton>(box, "elapsedDateButton")->click();
    QCOMPARE(w.Last(), QString("1582년10월10일은 날짜가 존재하지 않습니다."));
    SetFields(box, {{"betweenFromYearInput", "1999"}, {"betweenFromMonthInput", "12"}, {"betweenFromDayInput", "31"}});
    Control<QPushButton>(box, "daysBetweenButton")->click();
    QCOMPARE(w.form->Simulation().memory.request.year, 1999);
    QCOMPARE(w.form->Simulation().memory.request.month, 12);
    QCOMPARE(w.form->Simulation().memory.request.day, 31);
  }

  void openingRightAfterClosingMakesANewWindow() {
    Window w;
    SimulationWindow* box = w.Open();
    box->close();  // deleted later, by the event loop
    SimulationWindow* again = w.Open();
    QVERIFY(again != nullptr);
    QVERIFY(again != box);
    QVERIFY(w.form->Simulation().memory.windowOpen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(static_cast<SimulationWindow*>(w.form->Simulation().window), again);
    QCOMPARE(SimulationWindows(), 1);
  }

  void closingAndOpeningAgainShowsTheRememberedValues() {
    Window w;
    SimulationWindow* box = w.Open();
    ChooseSimulationItem(box, kItemDeltaT);
    SetFields(box, {{"startYearInput", "1999"}, {"startMonthInput", "12"}, {"startDayInput", "31"}, {"startHourInput", "23"}, {"startMinuteInput", "0"},
               {"startSecondInput", "0"}, {"stepInput", "6"}, {"countInput", "3"}});
    Control<ChoiceGroup>(box, "unitChoice")->SetItemIndex(kUnitHours);
    Control<QPushButton>(box, "runButton")->click();
    QCOMPARE(w.opened.size(), size_t(1));
    // The elapsed-date tool's input date becomes the remembered date.
    SetFields(box, {{"elapsedFromYearInput", "2001"}, {"elapsedFromMonthInput", "3"}, {"elapsedFromDayInput", "4"}, {"elapsedDaysInput", "10"}});
    Control<QPushButton>(box, "elapsedDateButton")->click();
    box->close();
    QVERIFY(!w.form->Simulation().memory.windowOpen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!w.form->Simulation().window);

    SimulationWindow* again = w.Open();
    QVERIFY(again != nullptr);
    QCOMPARE(SimulationWindows(), 1);
    QCOMPARE(Control<QComboBox>(again, "itemChoice")->currentIndex(), static_cast<int>(kItemDeltaT));
    QCOMPARE(Control<QLineEdit>(again, "outputNameInput")->text(), QString("10_Delta_T"));
    QCOMPARE(Control<QLineEdit>(again, "startYearInput")->text() + "-" + Control<QLineEdit>(again, "startMonthInput")->text() + "-" + Control<QLineEdit>(again, "startDayInput")->text(), QString("2001-3-4"));
    QCOMPARE(Control<QLineEdit>(again, "startHourInput")->text(), QString("23"));
    QCOMPARE(Control<QLineEdit>(again, "stepInput")->text(), QString("6"));
    QCOMPARE(Control<QLineEdit>(again, "countInput")->text(), QString("3"));
    QCOMPARE(Control<ChoiceGroup>(again, "unitChoice")->ItemIndex(), static_cast<int>(kUnitHours));
    QCOMPARE(Control<QLineEdit>(again, "betweenFromYearInput")->text(), QString("2001"));
  }
};

QTEST_MAIN(SimulationWindowTest)
#include "tst_simulation_window.moc"
