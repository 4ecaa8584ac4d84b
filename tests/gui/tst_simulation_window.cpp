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
    form->simulationButton->click();
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

void SetFields(std::initializer_list<std::pair<QLineEdit*, const char*>> fields) {
  for (const auto& [field, text] : fields) field->setText(text);
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
    QCOMPARE(box->simulationGroup->title(), QString("Ephemerides Simulation"));
    for (const char* name :
         {"itemChoice", "targetChoice", "unitChoice", "extraInput",  "startYearInput",  "startMonthInput",   "startDayInput",   "startHourInput",
          "startMinuteInput",    "startSecondInput",       "stepInput",       "countInput", "outputNameInput", "runButton", "elapsedDateButton", "daysBetweenButton",
          "toCalendarButton",   "toJulianDayButton",      "elapsedFromYearInput",       "elapsedDaysInput", "elapsedYearOutput", "daysBetweenOutput",  "julianDayInput",  "calendarSecondOutput",
          "calendarYearInput",    "calendarSecondInput",       "julianDayOutput",       "progressBar"})
      QVERIFY2(box->findChild<QWidget*>(name) != nullptr, name);
    QVERIFY(w.form->Simulation().memory.windowOpen);
    // A second press brings no second window.
    QCOMPARE(w.Open(), box);
    QCOMPARE(SimulationWindows(), 1);
  }

  void firstOpeningShowsTodayAndTheDefaults() {
    Window w;
    SimulationWindow* box = w.Open();
    QCOMPARE(box->itemChoice->count(), kSimulationItemCount);
    QCOMPARE(box->itemChoice->currentIndex(), 0);
    QCOMPARE(box->outputNameInput->text(), QString("01_천문측정적경_적위"));
    QCOMPARE(box->itemDescription->text(), QString("Astrometric Geocentric Position of a Body"));
    QCOMPARE(box->startYearInput->text(), QString("2024"));
    QCOMPARE(box->startMonthInput->text(), QString("2"));
    QCOMPARE(box->startDayInput->text(), QString("15"));
    QCOMPARE(box->startHourInput->text(), QString("10"));
    QCOMPARE(box->startMinuteInput->text(), QString("30"));
    QCOMPARE(box->startSecondInput->text(), QString("0"));
    QCOMPARE(box->stepInput->text(), QString("1"));
    QCOMPARE(box->countInput->text(), QString("2"));
    QCOMPARE(box->elapsedFromYearInput->text(), QString("2024"));
    QCOMPARE(box->elapsedDaysInput->text(), QString("0"));
    QCOMPARE(box->daysBetweenOutput->text(), QString("0"));
    QCOMPARE(box->julianDayInput->text(), QString("2451544.5"));
    QCOMPARE(box->julianDayOutput->text(), QString("2451544.5"));
    QCOMPARE(box->extraInput->text(), QString("60.0"));
    QVERIFY(box->extraInput->isHidden());
    // PLAN404: the Sun and the Moon in two columns.
    QCOMPARE(box->targetChoice->Count(), 2);
    QCOMPARE(box->targetChoice->ItemText(1), QString("달"));
    QCOMPARE(box->unitChoice->Count(), 6);
    QCOMPARE(box->unitChoice->ItemText(5), QString("년"));
  }

  void itemChangeSetsFieldsTargetsAndUnit() {
    Window w;
    SimulationWindow* box = w.Open();
    box->targetChoice->SetItemIndex(1);
    box->itemChosen(4);
    QVERIFY(!box->extraInput->isHidden());
    QCOMPARE(box->extraLabel->text(), QString("통과  황경각도(도):"));
    QCOMPARE(box->outputNameInput->text(), QString("05_해달_임의황경_통과일시"));
    QCOMPARE(box->targetChoice->ItemIndex(), 1);  // the Moon stays chosen
    box->itemChosen(14);
    QCOMPARE(box->extraLabel->text(), QString("해/달 운행간격(초):"));
    QCOMPARE(box->targetChoice->Count(), 1);
    QCOMPARE(box->targetChoice->ItemText(0), QString("지구"));
    box->unitChoice->SetItemIndex(kUnitHours);
    box->itemChosen(11);
    QVERIFY(box->extraInput->isHidden());
    QCOMPARE(box->unitChoice->ItemIndex(), static_cast<int>(kUnitYears));
    QVERIFY(!box->unitChoice->isEnabled());
    box->itemChosen(2);
    QVERIFY(box->unitChoice->isEnabled());
    QCOMPARE(box->targetChoice->Count(), 2);
  }

  void runWritesTheFileAndOpensIt() {
    Window w;
    SimulationWindow* box = w.Open();
    box->itemChoice->setCurrentIndex(kItemLongitudePassage);
    box->itemChosen(kItemLongitudePassage);
    SetFields({{box->startYearInput, "2024"}, {box->startMonthInput, "1"}, {box->startDayInput, "1"}, {box->startHourInput, "0"}, {box->startMinuteInput, "0"},
               {box->startSecondInput, "0"}, {box->stepInput, "1"}, {box->countInput, "1"}, {box->extraInput, "0.0"}});
    box->targetChoice->SetItemIndex(0);
    box->unitChoice->SetItemIndex(kUnitYears);
    box->runButton->click();
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
    QCOMPARE(box->progressBar->value(), 0);
    // The same name again: the counter picks the next free name and starts over.
    box->runButton->click();
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
    box->itemChoice->setCurrentIndex(kItemApparentEcliptic);
    box->itemChosen(kItemApparentEcliptic);
    SetFields({{box->startYearInput, "2024"}, {box->startMonthInput, "1"}, {box->startDayInput, "1"}, {box->startHourInput, "0"}, {box->startMinuteInput, "0"},
               {box->startSecondInput, "0"}, {box->stepInput, "1"}, {box->countInput, "500000"}});
    box->targetChoice->SetItemIndex(0);
    box->unitChoice->SetItemIndex(kUnitMinutes);
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
      duringRun = box->cancelButton->isEnabled();
      pressNextYear(5);
      yearDuringRun = w.form->App().Inputs().yearNumber;
      box->cancelButton->click();
    });
    box->runButton->click();
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
    SetFields({{box->startYearInput, "1582"}, {box->startMonthInput, "10"}, {box->startDayInput, "10"}});
    box->runButton->click();
    QCOMPARE(w.Last(), QString("1582년10월10일은 날짜가 존재하지 않습니다."));
    QCOMPARE(QString::fromStdString(w.messages.messages.back().caption), QString("오류"));
    SetFields({{box->startDayInput, "15"}, {box->startHourInput, "abc"}});
    box->runButton->click();
    QCOMPARE(w.Last(), QString("'abc'은(는) 올바른 정수 값이 아닙니다."));
    box->itemChoice->setCurrentIndex(kItemEclipses);
    box->itemChosen(kItemEclipses);
    SetFields({{box->startHourInput, "0"}, {box->extraInput, "0.0"}});
    box->runButton->click();
    QCOMPARE(w.Last(), QString("해/달 운행간격(초)는 0.0 이상이어야 합니다."));
    box->extraInput->setText("-5");
    box->runButton->click();
    QCOMPARE(w.Last(), QString("해/달 운행간격(초)는 0.0 이상이어야 합니다."));
    QVERIFY(w.opened.empty());
    QCOMPARE(QDir(w.current.path()).entryList({"*.csv"}, QDir::Files).size(), 0);
  }

  void dateTools() {
    Window w;
    SimulationWindow* box = w.Open();
    SetFields({{box->elapsedFromYearInput, "1582"}, {box->elapsedFromMonthInput, "10"}, {box->elapsedFromDayInput, "4"}, {box->elapsedDaysInput, "1"}});
    box->elapsedDateButton->click();
    QCOMPARE(box->elapsedYearOutput->text() + "-" + box->elapsedMonthOutput->text() + "-" + box->elapsedDayOutput->text(), QString("1582-10-15"));
    SetFields({{box->elapsedFromYearInput, "1582"}, {box->elapsedFromMonthInput, "10"}, {box->elapsedFromDayInput, "10"}});
    box->elapsedDateButton->click();
    QCOMPARE(w.Last(), QString("1582년10월10일은 날짜가 존재하지 않습니다."));
    QCOMPARE(box->elapsedDayOutput->text(), QString("15"));  // unchanged

    SetFields({{box->betweenFromYearInput, "2000"}, {box->betweenFromMonthInput, "1"}, {box->betweenFromDayInput, "1"}, {box->betweenToYearInput, "1999"},
               {box->betweenToMonthInput, "12"}, {box->betweenToDayInput, "31"}});
    box->daysBetweenButton->click();
    QCOMPARE(box->daysBetweenOutput->text(), QString("-1"));

    // "100 일째" adds 100 days; the Korean count, first day = day 1, is shown
    // beside it: 1 January 2026 + 100 days is 11 April, its 100th day 10 April.
    SetFields({{box->elapsedFromYearInput, "2026"}, {box->elapsedFromMonthInput, "1"}, {box->elapsedFromDayInput, "1"}, {box->elapsedDaysInput, "100"}});
    box->elapsedDateButton->click();
    QCOMPARE(box->elapsedYearOutput->text() + "-" + box->elapsedMonthOutput->text() + "-" + box->elapsedDayOutput->text(), QString("2026-4-11"));
    QCOMPARE(box->koreanDayCountLabel->text(), QString("첫날을 1일로 세면 100일째는 2026년 4월 10일"));
    SetFields({{box->betweenFromYearInput, "2026"}, {box->betweenFromMonthInput, "1"}, {box->betweenFromDayInput, "1"}, {box->betweenToYearInput, "2026"},
               {box->betweenToMonthInput, "4"}, {box->betweenToDayInput, "10"}});
    box->daysBetweenButton->click();
    QCOMPARE(box->daysBetweenOutput->text(), QString("99"));
    QCOMPARE(box->koreanDayCountLabel->text(), QString("첫날을 1일로 세면 100일째"));

    box->julianDayInput->setText("2299160.5");
    box->toCalendarButton->click();
    QCOMPARE(QStringList({box->calendarYearOutput->text(), box->calendarMonthOutput->text(), box->calendarDayOutput->text(), box->calendarHourOutput->text(),
                          box->calendarMinuteOutput->text(), box->calendarSecondOutput->text()}),
             QStringList({"1582", "10", "15", "0", "0", "0"}));
    box->julianDayInput->setText("2299159.5");
    box->toCalendarButton->click();
    QCOMPARE(box->calendarDayOutput->text(), QString("4"));
    box->julianDayInput->setText("2451545.25");
    box->toCalendarButton->click();
    QCOMPARE(box->calendarHourOutput->text(), QString("18"));

    SetFields({{box->calendarYearInput, "2000"}, {box->calendarMonthInput, "1"}, {box->calendarDayInput, "1"}, {box->calendarHourInput, "0"},
               {box->calendarMinuteInput, "0"}, {box->calendarSecondInput, "0"}});
    box->toJulianDayButton->click();
    QCOMPARE(box->julianDayOutput->text(), QString("2451544.5"));
    box->calendarHourInput->setText("x");
    box->toJulianDayButton->click();
    QCOMPARE(w.Last(), QString("'x'은(는) 올바른 실수 값이 아닙니다."));
    QCOMPARE(box->julianDayOutput->text(), QString("2451544.5"));
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
    box->itemChoice->setCurrentIndex(kItemDeltaT);
    box->itemChosen(kItemDeltaT);
    SetFields({{box->startYearInput, "1999"}, {box->startMonthInput, "12"}, {box->startDayInput, "31"}, {box->startHourInput, "23"}, {box->startMinuteInput, "0"},
               {box->startSecondInput, "0"}, {box->stepInput, "6"}, {box->countInput, "3"}});
    box->unitChoice->SetItemIndex(kUnitHours);
    box->runButton->click();
    QCOMPARE(w.opened.size(), size_t(1));
    // The elapsed-date tool's input date becomes the remembered date.
    SetFields({{box->elapsedFromYearInput, "2001"}, {box->elapsedFromMonthInput, "3"}, {box->elapsedFromDayInput, "4"}, {box->elapsedDaysInput, "10"}});
    box->elapsedDateButton->click();
    box->close();
    QVERIFY(!w.form->Simulation().memory.windowOpen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!w.form->Simulation().window);

    SimulationWindow* again = w.Open();
    QVERIFY(again != nullptr);
    QCOMPARE(SimulationWindows(), 1);
    QCOMPARE(again->itemChoice->currentIndex(), static_cast<int>(kItemDeltaT));
    QCOMPARE(again->outputNameInput->text(), QString("10_Delta_T"));
    QCOMPARE(again->startYearInput->text() + "-" + again->startMonthInput->text() + "-" + again->startDayInput->text(), QString("2001-3-4"));
    QCOMPARE(again->startHourInput->text(), QString("23"));
    QCOMPARE(again->stepInput->text(), QString("6"));
    QCOMPARE(again->countInput->text(), QString("3"));
    QCOMPARE(again->unitChoice->ItemIndex(), static_cast<int>(kUnitHours));
    QCOMPARE(again->betweenFromYearInput->text(), QString("2001"));
  }
};

QTEST_MAIN(SimulationWindowTest)
#include "tst_simulation_window.moc"
