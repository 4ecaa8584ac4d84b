// The main window as a user meets it on a desktop: the ephemeris files found
// wherever the program looks for them, the memo file followed whatever the
// editor does, settings that wait for "설정적용", clear messages for bad
// input and missing editors, the lunar month's name, a grid that grows with
// the window, keys and wheel, Korean standard buttons and a simulation run
// that can be cancelled. Headless; the clock is fixed at 2024-02-15 10:30 in
// UTC+9 and the folders are temporary.
//
// Expected dates come from KASI's published calendar: the 2024 小寒 at
// 2024-01-06 05:49 KST (2024-01-05 20:49 UT); the leap 4th lunar month of 2020
// from 2020-05-23 to 2020-06-20, the regular 4th from 2020-04-23.
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <QtTest>

#include "app/core/files/config.h"
#include "app/core/files/files.h"
#include "app/core/files/memo.h"
#include "app/core/simulation/output_size.h"
#include "app/gui/desktop.h"
#include "app/gui/ics_export_dialog.h"
#include "app/gui/main_window.h"
#include "app/gui/qt_messages.h"
#include "gui/window_fixture.h"

using namespace orv;
using orv::testing::ChooseSimulationItem;
using orv::testing::Control;

namespace {


// Starts nothing, like a desktop without any editor; records the calls.
class NoProgramRunner : public ProgramRunner {
 public:
  bool RunAndWait(const std::vector<std::string>& command, const std::string& file) override {
    calls.push_back({command, file});
    return false;
  }
  std::vector<std::pair<std::vector<std::string>, std::string>> calls;
};

// A window on temporary folders; `sink` replaces the recording messages.
struct Window : testing::TemporaryWindow {
  // dataFolder: a further folder for the ephemeris files, below the program's.
  explicit Window(MessageSink* sink = nullptr, const QString& dataFolder = QString()) {
    AppFolders folders = Folders();
    if (!dataFolder.isEmpty()) folders.dataFolder = program.filePath(dataFolder).toStdString();
    Create(folders, sink);
  }
  // The DE405 file made at build time under a DE4xx name in `folder`.
  bool LinkEphemeris(const QString& folder, const char* name) {
    QDir().mkpath(folder);
    return QFile::link(ORVANTA_DE405_PATH, QDir(folder).filePath(name));
  }
  // Clicks the grid at the first line of cell k.
  void ClickDay(int cell) {
    const QRect r = Grid()->visualRect(Grid()->model()->index(cell / 7 * 3 + 1, cell % 7 + 1));
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, r.center());
  }
};

// Runs `body` on the next modal window once it is open.
void OnNextModal(std::function<void(QWidget*)> body) {
  QTimer::singleShot(0, [body] {
    QWidget* modal = QApplication::activeModalWidget();
    QTRY_VERIFY(modal = QApplication::activeModalWidget());
    body(modal);
  });
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { QVERIFY(InstallKoreanTranslations(*QCoreApplication::instance())); }

  // --- The ephemeris files: one search, everywhere ---------------------------

  void ephemerisChoiceSearchesEveryFolder() {
    if (!QFile::exists(ORVANTA_DE405_PATH)) QSKIP("no DE405 file in this build");
    Window w;
    QVERIFY(w.LinkEphemeris(w.current.filePath("Eph"), "DE441.jpl"));
    w->StartUp();
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::LeftButton);
    w.Control<RadioGroup>("ephemerisChoice")->Button(2)->click();
    QVERIFY2(w.messages.messages.empty(), qPrintable(w.Last()));
    QCOMPARE(w.Control<RadioGroup>("ephemerisChoice")->ItemIndex(), 2);
    w.Control<BitButton>("applyButton")->click();
    QVERIFY(w->App().Ephemeris().IsOpen());
    QCOMPARE(w->App().Settings().EphemerisCode, int{kEphemerisDe441});
    QCOMPARE(QString::fromStdString(w->App().EphemerisFolder()), w.current.filePath("Eph/"));
    // The preset finds it there too.
    w.Control<RadioGroup>("ephemerisChoice")->Button(0)->click();
    w.Control<BitButton>("applyButton")->click();
    QVERIFY(w.Control<BitButton>("horizonsPresetButton")->isEnabled());
    w.Control<BitButton>("horizonsPresetButton")->click();
    QVERIFY2(w.messages.messages.empty(), qPrintable(w.Last()));
    QCOMPARE(w->App().ChosenSettings().EphemerisCode, int{kEphemerisDe441});
  }

  void missingFileMessageListsTheFoldersSearched() {
    Window w(nullptr, "data");
    w->StartUp();
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::LeftButton);
    w.Control<RadioGroup>("ephemerisChoice")->Button(2)->click();
    const QString text = w.Last();
    QVERIFY(text.startsWith("JPL의 천체력 DE441을 바이너리로 변환한\n"));
    for (const QString& folder : {w.program.path() + "/", w.program.path() + "/Eph/", w.current.path() + "/",
                                  w.current.path() + "/Eph/", w.program.path() + "/data/"})
      QVERIFY2(text.contains("\n  " + folder), qPrintable(folder));
    QCOMPARE(w.Control<RadioGroup>("ephemerisChoice")->ItemIndex(), 0);
  }

  // The configuration always records 0 for "DE431 selectable": a DE431 file
  // that is there is offered all the same.
  void de431OfferedWhenItsFileIsFound() {
    if (!QFile::exists(ORVANTA_DE405_PATH)) QSKIP("no DE405 file in this build");
    Window w;
    QVERIFY(SaveSettings(DefaultSettings(), JoinPath(w.current.path().toStdString(), kConfigFileName)));
    QVERIFY(w.LinkEphemeris(w.program.path(), "DE431.jpl"));
    w->StartUp();
    QVERIFY(w.Control<RadioGroup>("ephemerisChoice")->Button(1)->isEnabled());
    Window without;
    QVERIFY(SaveSettings(DefaultSettings(), JoinPath(without.current.path().toStdString(), kConfigFileName)));
    without->StartUp();
    QVERIFY(!without.Control<RadioGroup>("ephemerisChoice")->Button(1)->isEnabled());
  }

  // --- The memo file follows the disk ------------------------------------------

  void memoReloadedAfterAnExternalChange() {
    Window w;
    w->StartUp();
    const int day20 = w.CellOf("20");
    QVERIFY(!w.Third(day20).contains("생일"));
    // An editor that returned long ago (xdg-open) saves the file now.
    QVERIFY(WriteFileAtomically(JoinPath(w.current.path().toStdString(), kMemoFileName), "1,2000,2,20,생일\n"));
    QTRY_VERIFY(w.Third(day20).contains("생일"));
    // And writes it again in place.
    {
      QFile f(w.current.filePath(QString::fromUtf8(kMemoFileName)));
      QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
      f.write("1,2000,2,20,잔치\n");
    }
    QTRY_VERIFY(w.Third(day20).contains("잔치"));
  }

  // --- Settings wait for "설정적용" ----------------------------------------------

  void settingsUntouchedUntilApply() {
    Window w;
    w->StartUp();
    w.Show("2024", "1");
    QVERIFY(w.Second(w.CellOf("6")).contains("小寒"));
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::LeftButton);
    w.Control<RadioGroup>("timeSystemChoice")->Button(1)->click();  // Universal T, not applied
    // Another year and a report: both computed with the settings in effect.
    w.Show("2025", "1");
    w.Control<BitButton>("solarTermsButton")->click();
    QCOMPARE(w->App().Tables().PreparedWith.TimeSystemCode, int{kTimeST});
    QVERIFY(w.Last().contains("적용된 시간체계는 ST") || w.Last().contains("ST"));
    w.Show("2024", "1");
    QVERIFY(w.Second(w.CellOf("6")).contains("小寒"));
    QCOMPARE(w.Control<RadioGroup>("timeSystemChoice")->ItemIndex(), 1);  // the choice stays shown
    w.Control<BitButton>("applyButton")->click();
    QCOMPARE(w->App().Settings().TimeSystemCode, int{kTimeUT});
    QVERIFY(w.Second(w.CellOf("5")).contains("小寒"));
  }

  // "설정적용" opens the simulation window again on the new ephemeris.
  void applyRefreshesTheSimulationWindow() {
    if (!QFile::exists(ORVANTA_DE405_PATH)) QSKIP("no DE405 file in this build");
    Window w;
    QVERIFY(w.LinkEphemeris(w.program.path(), "DE441.jpl"));
    w->StartUp();
    w.Control<BitButton>("simulationButton")->click();
    QPointer<SimulationWindow> before = w->Simulation().window;
    QVERIFY(before);
    QCOMPARE(Control<ChoiceGroup>(before, "targetChoice")->Count(), 2);  // PLAN404: the Sun and the Moon
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::LeftButton);
    w.Control<RadioGroup>("ephemerisChoice")->Button(2)->click();
    w.Control<BitButton>("applyButton")->click();
    SimulationWindow* after = w->Simulation().window;
    QVERIFY(after != nullptr);
    QVERIFY(after != before.data());
    QVERIFY(Control<ChoiceGroup>(after, "targetChoice")->Count() > 2);  // the planets of the JPL file
    QVERIFY(w->Simulation().memory.windowOpen);
  }

  void engineErrorsReadInKorean() {
    const std::string text = KoreanMessageText("no JPL ephemeris is open");
    QVERIFY(text.find("JPL 천체력 파일이 없습니다") != std::string::npos);
    QVERIFY(KoreanMessageText(" STATE: Epoch out of range.").find("기간을 벗어난") != std::string::npos);
    QCOMPARE(KoreanMessageText("이 달의 날짜를 선택하세요."), std::string("이 달의 날짜를 선택하세요."));
  }

  // --- No editor: which file, where, and its folder ----------------------------

  void noEditorNamesTheFileAndOffersItsFolder() {
    Window w;
    NoProgramRunner runner;
    w->StartUp();
    w->App().Files().SetProgramRunner(runner, {{"no-such-editor"}});
    w.messages.answer = MessageAnswer::Retry;  // edit the memo file; then open its folder
    w.ClickDay(w.CellOf("15"));
    const QString text = w.Last();
    QVERIFY(text.startsWith("해당파일 실행 불가."));
    QVERIFY(text.contains("파일: " + QString::fromUtf8(kMemoFileName)));
    QVERIFY(text.contains("폴더: " + w.current.path()));
    QCOMPARE(runner.calls.back().first, std::vector<std::string>{"xdg-open"});
    QCOMPARE(QString::fromStdString(runner.calls.back().second), w.current.path());
  }

  void simulationShowsWhereItWrote() {
    Window w;
    w->StartUp();
    w->Simulation().openFile = [](const std::string&) {};
    w.Control<BitButton>("simulationButton")->click();
    SimulationWindow* box = w->Simulation().window;
    ChooseSimulationItem(box, 2);  // apparent ecliptic places of the Sun
    Control<QLineEdit>(box, "outputNameInput")->setText("where");
    Control<QPushButton>(box, "runButton")->click();
    QVERIFY(QFile::exists(w.current.filePath("where.csv")));
    QVERIFY(Control<QLabel>(box, "outputLabel")->text().contains(w.current.filePath("where.csv")));
  }

  // --- A long simulation run can be cancelled -----------------------------------

  void cancelledRunLeavesNoFile() {
    Window w;
    w->StartUp();
    w->Simulation().openFile = [](const std::string&) { QFAIL("a cancelled run opened a file"); };
    w.Control<BitButton>("simulationButton")->click();
    SimulationWindow* box = w->Simulation().window;
    ChooseSimulationItem(box, 2);  // apparent ecliptic places of the Sun
    Control<QLineEdit>(box, "countInput")->setText("2000000");
    Control<QLineEdit>(box, "outputNameInput")->setText("long");
    bool sawRunning = false;
    QString labelWhileRunning;
    QTimer::singleShot(200, box, [&] {
      sawRunning = box->Running() && Control<QPushButton>(box, "cancelButton")->isEnabled() && !w->centralWidget()->isEnabled();
      labelWhileRunning = Control<QLabel>(box, "outputLabel")->text();
      Control<QPushButton>(box, "cancelButton")->click();
    });
    Control<QPushButton>(box, "runButton")->click();
    QVERIFY(sawRunning);
    // The expected size was shown before the run began.
    QVERIFY2(labelWhileRunning.startsWith("예상 크기: 약 ") && labelWhileRunning.endsWith(" (2,000,000줄)"),
             qPrintable(labelWhileRunning));
    QVERIFY(!box->Running());
    QVERIFY(w->centralWidget()->isEnabled());
    QCOMPARE(QDir(w.current.path()).entryList({"long*"}, QDir::Files), QStringList{});
    QVERIFY(Control<QLabel>(box, "outputLabel")->text().contains("취소"));
    QCOMPARE(Control<QProgressBar>(box, "simulationProgressBar")->value(), 0);
  }

  void tableLargerThanTheFreeSpaceIsRefused() {
    Window w;
    w->StartUp();
    w->Simulation().openFile = [](const std::string&) { QFAIL("a refused run opened a file"); };
    w.Control<BitButton>("simulationButton")->click();
    SimulationWindow* box = w->Simulation().window;
    ChooseSimulationItem(box, 2);  // about a hundred bytes a line
    Control<ChoiceGroup>(box, "unitChoice")->SetItemIndex(kUnitSeconds);
    Control<QLineEdit>(box, "countInput")->setText("2000000000");
    Control<QLineEdit>(box, "outputNameInput")->setText("huge");
    const std::optional<unsigned long long> freeBytes = FreeBytesForFile(w.current.filePath("huge.csv").toStdString());
    if (!freeBytes || *freeBytes > 100000000000ULL) QSKIP("more than 100 GB free here");
    Control<QPushButton>(box, "runButton")->click();
    QVERIFY2(w.Last().contains("남은 공간"), qPrintable(w.Last()));
    QVERIFY(w.Last().contains("(2,000,000,000줄)"));
    QVERIFY(!box->Running());
    QCOMPARE(QDir(w.current.path()).entryList({"huge*"}, QDir::Files), QStringList{});
  }

  void closingDuringARunStopsItFirst() {
    Window w;
    w->StartUp();
    w->Simulation().openFile = [](const std::string&) { QFAIL("a stopped run opened a file"); };
    w.Control<BitButton>("simulationButton")->click();
    QPointer<SimulationWindow> box = w->Simulation().window;
    ChooseSimulationItem(box, 2);
    Control<QLineEdit>(box, "countInput")->setText("2000000");
    Control<QLineEdit>(box, "outputNameInput")->setText("closed");
    QTimer::singleShot(200, box, [&] { box->close(); });
    Control<QPushButton>(box, "runButton")->click();
    QCOMPARE(QDir(w.current.path()).entryList({"closed*"}, QDir::Files), QStringList{});
    QTRY_VERIFY(!w->Simulation().memory.windowOpen);
  }

  void simulationMessagesOpenOverItsWindow() {
    QtMessageSink sink;
    Window w(&sink);
    w->StartUp();
    w.Control<BitButton>("simulationButton")->click();
    SimulationWindow* box = w->Simulation().window;
    QWidget* parent = nullptr;
    QString text;
    OnNextModal([&](QWidget* modal) {
      parent = modal->parentWidget();
      if (auto* m = qobject_cast<QMessageBox*>(modal)) text = m->text();
      static_cast<QDialog*>(modal)->reject();
    });
    Control<QLineEdit>(box, "startYearInput")->setText("abc");
    Control<QPushButton>(box, "runButton")->click();
    QCOMPARE(parent, static_cast<QWidget*>(box));
    QCOMPARE(text, QString("'abc'은(는) 올바른 정수 값이 아닙니다."));
  }

  void closingTheMainWindowDuringARunStopsItFirst() {
    Window w;
    w->StartUp();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    w->Simulation().openFile = [](const std::string&) { QFAIL("a stopped run opened a file"); };
    w.Control<BitButton>("simulationButton")->click();
    SimulationWindow* box = w->Simulation().window;
    ChooseSimulationItem(box, 2);
    Control<QLineEdit>(box, "countInput")->setText("2000000");
    Control<QLineEdit>(box, "outputNameInput")->setText("main");
    QTimer::singleShot(200, w.form.get(), [&] { w->close(); });
    Control<QPushButton>(box, "runButton")->click();
    QCOMPARE(QDir(w.current.path()).entryList({"main*"}, QDir::Files), QStringList{});
    QTRY_VERIFY(!w->isVisible());
    QVERIFY(QFile::exists(w.current.filePath(kConfigFileName)));  // closed properly: settings saved
  }

  // --- iCalendar years are checked at OK ------------------------------------------

  void icsDialogChecksTheYearsAtOk() {
    Window w;
    w->StartUp();
    IcsExportRequest request;
    request.fromYear = request.toYear = 2026;
    int fromWhileTyping = 0, toWhileTyping = 0;
    QString refusal;
    bool stillOpen = false;
    OnNextModal([&](QWidget* dialog) {
      const QList<QSpinBox*> boxes = dialog->findChildren<QSpinBox*>();
      QCOMPARE(boxes.size(), 2);
      QSpinBox* to = boxes[1];
      to->selectAll();
      QTest::keyClicks(to, "2030");  // "2", "20", "203", "2030" on the way
      fromWhileTyping = boxes[0]->value();
      toWhileTyping = to->value();
      to->selectAll();
      QTest::keyClicks(to, "2300");
      QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box) {
          refusal = box->text();
          box->accept();
        }
      });
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
      stillOpen = dialog->isVisible();
      static_cast<QDialog*>(dialog)->reject();
    });
    QVERIFY(!AskIcsExport(w.form.get(), request, w->App().Files().IcsYearLimits(), w.current.path()));
    QCOMPARE(fromWhileTyping, 2026);
    QCOMPARE(toWhileTyping, 2030);
    QCOMPARE(refusal, QString("한 번에 201년까지 내보낼 수 있습니다."));
    QVERIFY(stillOpen);
  }

  // --- Bad input: a message and the previous value back --------------------------

  void badInputGetsItsPreviousValueBack() {
    Window w;
    w->StartUp();
    const QString yearPillar = w.Control<QLineEdit>("yearPillarBox")->text();
    const QString first = w.First(4);
    w.Show("2024", "13");
    QCOMPARE(w.Last(), QString("월은 1에서 12 사이의 숫자로 입력하세요."));
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("2"));
    QCOMPARE(w.Control<QLineEdit>("yearPillarBox")->text(), yearPillar);
    QCOMPARE(w.First(4), first);
    QVERIFY(w->App().Month().View().filled);
    w.Show("abc", "2");
    QVERIFY(w.Last().startsWith("'abc'은(는) 올바른 정수 값이 아닙니다."));
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2024"));
    // The user Delta T.
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::LeftButton);
    for (const char* bad : {"abc", "1e300", "nan"}) {
      w.Control<QLineEdit>("userDeltaTInput")->setText(bad);
      emit w.Control<QLineEdit>("userDeltaTInput")->editingFinished();
      QVERIFY2(w.Last().endsWith("앞의 값(0초)으로 되돌립니다."), bad);
      QCOMPARE(w.Control<QLineEdit>("userDeltaTInput")->text(), QString("0"));
      QCOMPARE(w->App().ChosenSettings().UserDeltaT, 0.0);
    }
    w.Control<QLineEdit>("userDeltaTInput")->setText("-12.5");
    emit w.Control<QLineEdit>("userDeltaTInput")->editingFinished();
    QCOMPARE(w->App().ChosenSettings().UserDeltaT, -12.5);
  }

  void eraAlwaysAgreesWithTheNumber() {
    Window w;
    w->StartUp();
    w.Show("0", "3");
    w.Control<UpDown>("yearStepper")->ClickDown();
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2"));
    QCOMPARE(w.Control<RadioGroup>("eraChoice")->ItemIndex(), 0);  // BC 2
    QCOMPARE(w->App().Tables().LoadedYear, -1);
    w.Show("-5", "3");  // astronomical -5 is BC 6
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("6"));
    QCOMPARE(w.Control<RadioGroup>("eraChoice")->ItemIndex(), 0);
    QCOMPARE(w->App().Tables().LoadedYear, -5);
  }

  // --- The place's clock where the user looks -----------------------------------

  void placeChangeShowsThePlacesTime() {
    Window w;
    w->StartUp();
    // The list shows the row's name, then its Korean names ("런던").
    const int london = w.Control<QComboBox>("placeChoice")->findText("영국*London", Qt::MatchStartsWith);
    QVERIFY(london > 0);
    w.Control<QComboBox>("placeChoice")->setCurrentIndex(london);
    emit w.Control<QComboBox>("placeChoice")->activated(london);
    QVERIFY2(w.Control<InputEdit>("referenceBox")->text().startsWith("영국*London의 확인시점 시각(섬머타임 미적용)은 "),
             qPrintable(w.Control<InputEdit>("referenceBox")->text()));
    // The button beside the box leads to its daylight-saving text.
    QVERIFY(w.Control<QToolButton>("placeClockButton")->isVisibleTo(w.form.get()));
    w.Control<QToolButton>("placeClockButton")->click();
    QCOMPARE(w.Control<InputEdit>("referenceBox")->text(), QString("섬머타임(확인시점 시각+1시간) ; 3월 마지막 일요일1시~10월 마지막 일요일2시"));
  }

  void placeChooserFiltersAsYouType() {
    Window w;
    w->StartUp();
    QCompleter* completer = w.Control<QComboBox>("placeChoice")->completer();
    QVERIFY(completer != nullptr);
    completer->setCompletionPrefix("Tokyo");
    QCOMPARE(completer->completionCount(), 1);
    QCOMPARE(completer->currentCompletion(), QString("일본*Tokyo (도쿄)"));
    completer->setCompletionPrefix("서울");
    QVERIFY(completer->completionCount() >= 2);  // "대한민국-서울(135.0)", "대한민국*서울"
    // Typed and picked from the filtered list, the place is chosen.
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
    w.Control<QComboBox>("placeChoice")->setFocus();
    w.Control<QComboBox>("placeChoice")->lineEdit()->selectAll();
    QTest::keyClicks(w.Control<QComboBox>("placeChoice")->lineEdit(), "Tokyo");
    QTRY_VERIFY(completer->popup()->isVisible());
    QTest::keyClick(completer->popup(), Qt::Key_Down);
    QTest::keyClick(completer->popup(), Qt::Key_Return);
    QTRY_COMPARE(w->App().Settings().PlaceIndex, w.Control<QComboBox>("placeChoice")->findText("일본*Tokyo", Qt::MatchStartsWith));
    QVERIFY(w.Control<InputEdit>("referenceBox")->text().startsWith("일본*Tokyo의 확인시점 시각"));
  }

  // --- Lunar months by their own name ------------------------------------------

  void lunarMonthNamedAndBackToItsSolarMonth() {
    Window w;
    w->StartUp();
    w.Control<QRadioButton>("lunarViewButton")->click();
    w.Show("2020", "4");
    QCOMPARE(w.Cell(0, 0), QString("4월"));
    w.Control<QCheckBox>("leapMonthBox")->click();
    QVERIFY(w.Control<QCheckBox>("leapMonthBox")->isChecked());
    QCOMPARE(w.Cell(0, 0), QString("윤4월"));
    // Back to solar: the month that holds the leap month's first day.
    w.Control<QRadioButton>("solarViewButton")->click();
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2020"));
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("5"));
    QCOMPARE(w.Cell(0, 0), QString("MAY"));
    QVERIFY(w.Second(w.CellOf("23")).startsWith("윤4.1"));
    w.Control<QRadioButton>("lunarViewButton")->click();
    w.Show("2020", "4");
    w.Control<QRadioButton>("solarViewButton")->click();
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("4"));
  }

  // --- A window that grows ----------------------------------------------------------

  void gridCellsGrowWithTheWindow() {
    Window w;
    w->StartUp();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    const int column = w.Grid()->columnWidth(3);
    const int row = w.Grid()->rowHeight(4);
    w->resize(w->width() + 600, w->height() + 300);
    QTRY_VERIFY(w.Grid()->columnWidth(3) > column + 60);
    QVERIFY(w.Grid()->rowHeight(4) > row + 10);
    QVERIFY(w.Grid()->PaintState().scale > 1.2);
  }

  void nothingElidedAtTheDefaultSize() {
    Window w;
    w->StartUp();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    w.Show("2026", "12");
    for (int row = 0; row < MonthGrid::kRows; ++row)
      for (int column = 0; column < MonthGrid::kColumns; ++column)
        QVERIFY2(!w.Grid()->CellElided(column, row), qPrintable(w.Cell(column, row)));
    // A narrow window elides, and the tooltip holds the whole text.
    QVERIFY(w.Second(w.CellOf("7")).contains("大雪대설"));
  }

  // Every control of the rows above and below the grid can be seen and
  // clicked: none is squeezed to nothing or drawn over another (the today
  // panel once sat under the pillar boxes), at the default size and wider.
  void noControlHidesAnother() {
    Window w;
    w->StartUp();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    for (int extraWidth : {0, 400}) {
      w->resize(w->width() + extraWidth, w->height());
      QCoreApplication::processEvents();
      for (QWidget* row : {static_cast<QWidget*>(w.Control<MonthInputRow>("monthInputRow")), static_cast<QWidget*>(w.Control<PlaceChooser>("placeChooser"))}) {
        QList<QWidget*> controls;
        for (QWidget* child : row->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
          if (child->isVisible()) controls << child;
        for (QWidget* a : controls) {
          QVERIFY2(a->width() > 4 && a->height() > 4, qPrintable(a->objectName()));
          for (QWidget* b : controls)
            if (a != b)
              QVERIFY2(!a->geometry().intersects(b->geometry()),
                       qPrintable(a->objectName() + " over " + b->objectName()));
        }
      }
      QVERIFY(w.Control<PressPanel>("todayPanel")->width() >= 64);
    }
  }

  void twoMemosOnOneDayBothReachable() {
    Window w;
    w.WriteMemos("1,2000,2,20,할머니생신잔치\n1,2000,2,20,결혼기념일\n");
    w->StartUp();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    w.Show("2024", "2");
    const int day = w.CellOf("20");
    const QString third = w.Third(day);
    QVERIFY2(third.contains("할머니생신잔치") && third.contains("결혼기념일"), qPrintable(third));
    // Too long for the cell: elided, and whole in the tooltip.
    const int row = day / 7 * 3 + 3, column = day % 7 + 1;
    QVERIFY(w.Grid()->CellElided(column, row));
    const QRect rect = w.Grid()->visualRect(w.Grid()->model()->index(row, column));
    QHelpEvent help(QEvent::ToolTip, rect.center(), w.Grid()->viewport()->mapToGlobal(rect.center()));
    QApplication::sendEvent(w.Grid()->viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), third);
    // A larger window shows both names whole.
    w->resize(1600, 1000);
    QTRY_VERIFY(!w.Grid()->CellElided(column, row));
  }

  void screenshotAtAGivenSize() {
    Window w;
    const QString file = w.current.filePath("large.png");
    QVERIFY(w->SaveScreenshot(file, QSize(1600, 1000)));
    QImage image(file);
    QCOMPARE(image.size(), QSize(1600, 1000) * w->devicePixelRatio());  // device pixels
    QVERIFY(w.Grid()->columnWidth(3) > 150);
  }

  void windowNeverResizesItself() {
    Window w;
    w->StartUp();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    const QSize size = w->size();
    QTest::mousePress(w.Control<PressPanel>("todayPanel"), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(w->size(), size);
    QTest::mouseRelease(w.Control<PressPanel>("todayPanel"), Qt::LeftButton);
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::LeftButton);  // the settings row
    QVERIFY(w->SettingsRowVisible());
    QCoreApplication::processEvents();
    QCOMPARE(w->size(), size);
    // It fits 1366 x 768 at 100 % and 2560 x 1440 at 200 % (1280 x 720 in
    // the window's own pixels), less a taskbar, with the settings row shown.
    const QSize least = w->minimumSizeHint();
    QVERIFY2(least.width() <= 1280 && least.height() <= 680,
             qPrintable(QString("%1x%2").arg(least.width()).arg(least.height())));
    QVERIFY(size.width() <= 1280 && size.height() <= 680);
  }

  void keysAndWheelMoveTheMonth() {
    Window w;
    w->StartUp();
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
    QTest::keyClick(w.form.get(), Qt::Key_PageDown);
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("3"));
    QTest::keyClick(w.form.get(), Qt::Key_PageUp);
    QTest::keyClick(w.form.get(), Qt::Key_PageUp);
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("1"));
    QTest::keyClick(w.form.get(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2025"));
    w.Grid()->setFocus();
    QTest::keyClick(w.Grid(), Qt::Key_Home);
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2024"));
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("2"));
    const QPointF at = w.Grid()->viewport()->rect().center();
    QWheelEvent down(at, w.Grid()->viewport()->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.Grid()->viewport(), &down);
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("3"));
  }

  void selectedDayIsFramed() {
    Window w;
    w->StartUp();
    const int day = w.CellOf("20");
    w.ClickDay(day);
    QCOMPARE(w.Grid()->PaintState().selectedCell, day);
    w.Control<UpDown>("monthStepper")->ClickUp();
    QCOMPARE(w.Grid()->PaintState().selectedCell, -1);
  }

  // --- Qt's own texts in Korean --------------------------------------------------

  void dayReportButtonsReadKorean() {
    QtMessageSink sink;
    Window w(&sink);
    w->StartUp();
    QStringList buttons;
    QString font;
    OnNextModal([&](QWidget* dialog) {
      for (QAbstractButton* b : dialog->findChild<QDialogButtonBox*>()->buttons()) buttons << b->text();
      if (auto* text = dialog->findChild<QWidget*>("ReportText")) font = QFontInfo(text->font()).family();
      static_cast<QDialog*>(dialog)->reject();
    });
    w.ClickDay(w.CellOf("15"));
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"다시 시도", "사주", "취소"}));
    QVERIFY2(font.contains("Mono"), qPrintable(font));  // the font that is drawn, monospaced
  }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
