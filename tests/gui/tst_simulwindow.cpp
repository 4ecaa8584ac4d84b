// The simulation window driven through its controls, headless, opened from
// the main window's BitBtn12. Messages are recorded, the clock is fixed at
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
  TformSimulBox* Open() {
    form->BitBtn12->click();
    return form->Simulation().formSimulBox;
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
    if (w->objectName() == "TformSimulBox" && !w->testAttribute(Qt::WA_WState_Hidden)) ++n;
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
    TformSimulBox* box = w.Open();
    QVERIFY(box != nullptr);
    QCOMPARE(box->windowTitle(), QString("천체력 추가계산"));
    QCOMPARE(box->GroupBox_Simulation->title(), QString("Ephemerides Simulation"));
    for (const char* name :
         {"ComboBox2", "RadioGroup10", "RadioGroup11", "Edit1",  "Edit6",  "Edit7",   "Edit8",   "Edit9",
          "Edit10",    "Edit11",       "Edit12",       "Edit13", "Edit14", "BitBtn10", "Button1", "Button2",
          "Button3",   "Button4",      "Edit15",       "Edit18", "Edit19", "Edit28",  "Edit31",  "Edit37",
          "Edit38",    "Edit43",       "Edit44",       "ProgressBar1"})
      QVERIFY2(box->findChild<QWidget*>(name) != nullptr, name);
    QVERIFY(w.form->Simulation().memory.windowOpen);
    // A second press brings no second window.
    QCOMPARE(w.Open(), box);
    QCOMPARE(SimulationWindows(), 1);
  }

  void firstOpeningShowsTodayAndTheDefaults() {
    Window w;
    TformSimulBox* box = w.Open();
    QCOMPARE(box->ComboBox2->count(), kSimulationItemCount);
    QCOMPARE(box->ComboBox2->currentIndex(), 0);
    QCOMPARE(box->Edit14->text(), QString("01_천문측정적경_적위"));
    QCOMPARE(box->Label_Description->text(), QString("Astrometric Geocentric Position of a Body"));
    QCOMPARE(box->Edit6->text(), QString("2024"));
    QCOMPARE(box->Edit7->text(), QString("2"));
    QCOMPARE(box->Edit8->text(), QString("15"));
    QCOMPARE(box->Edit9->text(), QString("10"));
    QCOMPARE(box->Edit10->text(), QString("30"));
    QCOMPARE(box->Edit11->text(), QString("0"));
    QCOMPARE(box->Edit12->text(), QString("1"));
    QCOMPARE(box->Edit13->text(), QString("2"));
    QCOMPARE(box->Edit15->text(), QString("2024"));
    QCOMPARE(box->Edit18->text(), QString("0"));
    QCOMPARE(box->Edit28->text(), QString("0"));
    QCOMPARE(box->Edit31->text(), QString("2451544.5"));
    QCOMPARE(box->Edit44->text(), QString("2451544.5"));
    QCOMPARE(box->Edit1->text(), QString("60.0"));
    QVERIFY(box->Edit1->isHidden());
    // PLAN404: the Sun and the Moon in two columns.
    QCOMPARE(box->RadioGroup10->Count(), 2);
    QCOMPARE(box->RadioGroup10->ItemText(1), QString("달"));
    QCOMPARE(box->RadioGroup11->Count(), 6);
    QCOMPARE(box->RadioGroup11->ItemText(5), QString("년"));
  }

  void itemChangeSetsFieldsTargetsAndUnit() {
    Window w;
    TformSimulBox* box = w.Open();
    box->RadioGroup10->SetItemIndex(1);
    box->ComboBox2Change(4);
    QVERIFY(!box->Edit1->isHidden());
    QCOMPARE(box->Label_Extra->text(), QString("통과  황경각도(도):"));
    QCOMPARE(box->Edit14->text(), QString("05_해달_임의황경_통과일시"));
    QCOMPARE(box->RadioGroup10->ItemIndex(), 1);  // the Moon stays chosen
    box->ComboBox2Change(14);
    QCOMPARE(box->Label_Extra->text(), QString("해/달 운행간격(초):"));
    QCOMPARE(box->RadioGroup10->Count(), 1);
    QCOMPARE(box->RadioGroup10->ItemText(0), QString("지구"));
    box->RadioGroup11->SetItemIndex(kUnitHours);
    box->ComboBox2Change(11);
    QVERIFY(box->Edit1->isHidden());
    QCOMPARE(box->RadioGroup11->ItemIndex(), static_cast<int>(kUnitYears));
    QVERIFY(!box->RadioGroup11->isEnabled());
    box->ComboBox2Change(2);
    QVERIFY(box->RadioGroup11->isEnabled());
    QCOMPARE(box->RadioGroup10->Count(), 2);
  }

  void runWritesTheFileAndOpensIt() {
    Window w;
    TformSimulBox* box = w.Open();
    box->ComboBox2->setCurrentIndex(kItemLongitudePassage);
    box->ComboBox2Change(kItemLongitudePassage);
    SetFields({{box->Edit6, "2024"}, {box->Edit7, "1"}, {box->Edit8, "1"}, {box->Edit9, "0"}, {box->Edit10, "0"},
               {box->Edit11, "0"}, {box->Edit12, "1"}, {box->Edit13, "1"}, {box->Edit1, "0.0"}});
    box->RadioGroup10->SetItemIndex(0);
    box->RadioGroup11->SetItemIndex(kUnitYears);
    box->BitBtn10->click();
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
    QCOMPARE(box->ProgressBar1->value(), 0);
    // The same name again: the counter picks the next free name and starts over.
    box->BitBtn10->click();
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
    TformSimulBox* box = w.Open();
    box->ComboBox2->setCurrentIndex(kItemApparentEcliptic);
    box->ComboBox2Change(kItemApparentEcliptic);
    SetFields({{box->Edit6, "2024"}, {box->Edit7, "1"}, {box->Edit8, "1"}, {box->Edit9, "0"}, {box->Edit10, "0"},
               {box->Edit11, "0"}, {box->Edit12, "1"}, {box->Edit13, "500000"}});
    box->RadioGroup10->SetItemIndex(0);
    box->RadioGroup11->SetItemIndex(kUnitMinutes);
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
      duringRun = box->CancelButton->isEnabled();
      pressNextYear(5);
      yearDuringRun = w.form->App().Inputs().yearNumber;
      box->CancelButton->click();
    });
    box->BitBtn10->click();
    QVERIFY(duringRun);
    QCOMPARE(yearDuringRun, 2024);
    QCOMPARE(w.form->App().Inputs().yearNumber, 2024);
    QCOMPARE(w.form->App().Tables().LoadedYear, 2024);
    pressNextYear(1);
    QCOMPARE(w.form->App().Inputs().yearNumber, 2025);
  }

  void refusalsShowMessagesAndWriteNothing() {
    Window w;
    TformSimulBox* box = w.Open();
    SetFields({{box->Edit6, "1582"}, {box->Edit7, "10"}, {box->Edit8, "10"}});
    box->BitBtn10->click();
    QCOMPARE(w.Last(), QString("1582년10월10일은 날짜가 존재하지 않습니다."));
    QCOMPARE(QString::fromStdString(w.messages.messages.back().caption), QString("오류"));
    SetFields({{box->Edit8, "15"}, {box->Edit9, "abc"}});
    box->BitBtn10->click();
    QCOMPARE(w.Last(), QString("'abc'은(는) 올바른 정수 값이 아닙니다."));
    box->ComboBox2->setCurrentIndex(kItemEclipses);
    box->ComboBox2Change(kItemEclipses);
    SetFields({{box->Edit9, "0"}, {box->Edit1, "0.0"}});
    box->BitBtn10->click();
    QCOMPARE(w.Last(), QString("해/달 운행간격(초)는 0.0 이상이어야 합니다."));
    box->Edit1->setText("-5");
    box->BitBtn10->click();
    QCOMPARE(w.Last(), QString("해/달 운행간격(초)는 0.0 이상이어야 합니다."));
    QVERIFY(w.opened.empty());
    QCOMPARE(QDir(w.current.path()).entryList({"*.csv"}, QDir::Files).size(), 0);
  }

  void dateTools() {
    Window w;
    TformSimulBox* box = w.Open();
    SetFields({{box->Edit15, "1582"}, {box->Edit16, "10"}, {box->Edit17, "4"}, {box->Edit18, "1"}});
    box->Button1->click();
    QCOMPARE(box->Edit19->text() + "-" + box->Edit20->text() + "-" + box->Edit21->text(), QString("1582-10-15"));
    SetFields({{box->Edit15, "1582"}, {box->Edit16, "10"}, {box->Edit17, "10"}});
    box->Button1->click();
    QCOMPARE(w.Last(), QString("1582년10월10일은 날짜가 존재하지 않습니다."));
    QCOMPARE(box->Edit21->text(), QString("15"));  // unchanged

    SetFields({{box->Edit22, "2000"}, {box->Edit23, "1"}, {box->Edit24, "1"}, {box->Edit25, "1999"},
               {box->Edit26, "12"}, {box->Edit27, "31"}});
    box->Button2->click();
    QCOMPARE(box->Edit28->text(), QString("-1"));

    // "100 일째" adds 100 days; the Korean count, first day = day 1, is shown
    // beside it: 1 January 2026 + 100 days is 11 April, its 100th day 10 April.
    SetFields({{box->Edit15, "2026"}, {box->Edit16, "1"}, {box->Edit17, "1"}, {box->Edit18, "100"}});
    box->Button1->click();
    QCOMPARE(box->Edit19->text() + "-" + box->Edit20->text() + "-" + box->Edit21->text(), QString("2026-4-11"));
    QCOMPARE(box->koreanDayCountLabel->text(), QString("첫날을 1일로 세면 100일째는 2026년 4월 10일"));
    SetFields({{box->Edit22, "2026"}, {box->Edit23, "1"}, {box->Edit24, "1"}, {box->Edit25, "2026"},
               {box->Edit26, "4"}, {box->Edit27, "10"}});
    box->Button2->click();
    QCOMPARE(box->Edit28->text(), QString("99"));
    QCOMPARE(box->koreanDayCountLabel->text(), QString("첫날을 1일로 세면 100일째"));

    box->Edit31->setText("2299160.5");
    box->Button3->click();
    QCOMPARE(QStringList({box->Edit32->text(), box->Edit33->text(), box->Edit34->text(), box->Edit35->text(),
                          box->Edit36->text(), box->Edit37->text()}),
             QStringList({"1582", "10", "15", "0", "0", "0"}));
    box->Edit31->setText("2299159.5");
    box->Button3->click();
    QCOMPARE(box->Edit34->text(), QString("4"));
    box->Edit31->setText("2451545.25");
    box->Button3->click();
    QCOMPARE(box->Edit35->text(), QString("18"));

    SetFields({{box->Edit38, "2000"}, {box->Edit39, "1"}, {box->Edit40, "1"}, {box->Edit41, "0"},
               {box->Edit42, "0"}, {box->Edit43, "0"}});
    box->Button4->click();
    QCOMPARE(box->Edit44->text(), QString("2451544.5"));
    box->Edit41->setText("x");
    box->Button4->click();
    QCOMPARE(w.Last(), QString("'x'은(는) 올바른 실수 값이 아닙니다."));
    QCOMPARE(box->Edit44->text(), QString("2451544.5"));
  }

  void openingRightAfterClosingMakesANewWindow() {
    Window w;
    TformSimulBox* box = w.Open();
    box->close();  // deleted later, by the event loop
    TformSimulBox* again = w.Open();
    QVERIFY(again != nullptr);
    QVERIFY(again != box);
    QVERIFY(w.form->Simulation().memory.windowOpen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(static_cast<TformSimulBox*>(w.form->Simulation().formSimulBox), again);
    QCOMPARE(SimulationWindows(), 1);
  }

  void closingAndOpeningAgainShowsTheRememberedValues() {
    Window w;
    TformSimulBox* box = w.Open();
    box->ComboBox2->setCurrentIndex(kItemDeltaT);
    box->ComboBox2Change(kItemDeltaT);
    SetFields({{box->Edit6, "1999"}, {box->Edit7, "12"}, {box->Edit8, "31"}, {box->Edit9, "23"}, {box->Edit10, "0"},
               {box->Edit11, "0"}, {box->Edit12, "6"}, {box->Edit13, "3"}});
    box->RadioGroup11->SetItemIndex(kUnitHours);
    box->BitBtn10->click();
    QCOMPARE(w.opened.size(), size_t(1));
    // The elapsed-date tool's input date becomes the remembered date.
    SetFields({{box->Edit15, "2001"}, {box->Edit16, "3"}, {box->Edit17, "4"}, {box->Edit18, "10"}});
    box->Button1->click();
    box->close();
    QVERIFY(!w.form->Simulation().memory.windowOpen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!w.form->Simulation().formSimulBox);

    TformSimulBox* again = w.Open();
    QVERIFY(again != nullptr);
    QCOMPARE(SimulationWindows(), 1);
    QCOMPARE(again->ComboBox2->currentIndex(), static_cast<int>(kItemDeltaT));
    QCOMPARE(again->Edit14->text(), QString("10_Delta_T"));
    QCOMPARE(again->Edit6->text() + "-" + again->Edit7->text() + "-" + again->Edit8->text(), QString("2001-3-4"));
    QCOMPARE(again->Edit9->text(), QString("23"));
    QCOMPARE(again->Edit12->text(), QString("6"));
    QCOMPARE(again->Edit13->text(), QString("3"));
    QCOMPARE(again->RadioGroup11->ItemIndex(), static_cast<int>(kUnitHours));
    QCOMPARE(again->Edit22->text(), QString("2001"));
  }
};

QTEST_MAIN(SimulationWindowTest)
#include "tst_simulwindow.moc"
