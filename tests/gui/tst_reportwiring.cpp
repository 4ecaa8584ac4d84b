// The reports of the main window driven through its controls, headless: the
// day report on a grid click, the year reports, the eclipse button's two
// halves, the 30-year tables with the progress bar, the holidays, the about
// text, the memo file edited from the day report and the iCalendar export.
//
// Every text is compared with what `orvanta-cli` prints for the same
// settings (a separate process with its own engine) and, where one exists,
// with the golden file whose numbers were checked against outside references
// (tests/data/golden/README.md). Messages are recorded, the editor is a fake,
// the clock is fixed at 2024-02-15 10:30 in UTC+9 and the folders are
// temporary.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <fstream>

#include "app/core/files/files.h"
#include "app/core/files/memo.h"
#include "app/gui/qt_messages.h"
#include "app/gui/main_window.h"
#include "cli_runner.h"
#include "gui/window_fixture.h"

using namespace orv;

namespace {

// The same instant as a Unix time, for the command line's DTSTAMP.
constexpr const char* kClockEpoch = "1707960600";

// Stands in for the text editor: records what it was asked to open and
// appends `append` to the file, as a user would.
class FakeEditor : public ProgramRunner {
 public:
  struct Call {
    std::vector<std::string> command;
    std::string file;
    std::string contents;  // the file as the editor found it
  };
  std::vector<Call> calls;
  std::string append;

  bool RunAndWait(const std::vector<std::string>& command, const std::string& file) override {
    Call call{command, file, ""};
    ReadWholeFile(file, call.contents);
    calls.push_back(call);
    if (!append.empty()) std::ofstream(file, std::ios::binary | std::ios::app) << append;
    return true;
  }
};

std::string Golden(const std::string& name) {
  std::string text;
  if (!ReadWholeFile(std::string(ORVANTA_TEST_DATA) + "/golden/" + name, text)) return "<missing " + name + ">";
  return text;
}

bool HaveIcalendarParser() {
  return std::system("/usr/bin/python3 -c 'import icalendar' >/dev/null 2>&1") == 0;
}

// A window on temporary folders with the fake editor.
struct Window : testing::TemporaryWindow {
  FakeEditor editor;

  explicit Window(bool userConfigFolder = false) {
    AppFolders folders = Folders();
    folders.userConfigFolder = userConfigFolder;
    Create(folders);
    form->App().Files().SetProgramRunner(editor, {{"fake-editor", "--wait"}});
    form->StartUp();
  }
  ~Window() { form.reset(); }  // before the editor the window calls
  // Presses grid cell k on line `line` (0..2) of its week.
  void ClickCell(int cell, Qt::MouseButton button = Qt::LeftButton, int line = 0) {
    MonthGridWidget* grid = Grid();
    const QRect rect = grid->visualRect(grid->model()->index(cell / 7 * 3 + 1 + line, cell % 7 + 1));
    QTest::mouseClick(grid->viewport(), button, {}, rect.center());
  }
  const RecordingMessageSink::Message& Last() const { return messages.messages.back(); }
  // What the command line prints for `args` in the window's current folder,
  // without the final line end.
  std::string Cli(const std::string& args) const {
    const testing::CliResult r = testing::RunCli(args, Folder());
    if (r.status != 0) return "<orvanta-cli " + args + " failed: " + r.err + ">";
    return r.out.empty() ? r.out : r.out.substr(0, r.out.size() - 1);
  }
};

#define COMPARE_TEXT(actual, expected)                                                        \
  do {                                                                                        \
    const std::string a_ = (actual), e_ = (expected);                                         \
    if (a_ != e_) qWarning("got:\n%s\nwant:\n%s", a_.c_str(), e_.c_str());                     \
    QVERIFY(a_ == e_);                                                                        \
  } while (0)

}  // namespace

class ReportWiringTest : public QObject {
  Q_OBJECT
 private slots:
  void dayReportOnAGridClick() {
    Window w;
    const int cell = w.CellOf("10");
    QVERIFY(cell >= 0);
    w.ClickCell(cell);
    QCOMPARE(w.messages.messages.size(), size_t{1});
    QCOMPARE(w.Last().caption, std::string("歲次,月建,日辰 등"));
    QVERIFY(w.Last().buttons == MessageButtons::RetryPillarsCancel);
    COMPARE_TEXT(w.Last().text, w.Cli("day 2024-02-10 --today 2024-02-15"));
    QCOMPARE(w.Control<InputEdit>("referenceBox")->text(), QString("선택한 날짜는 (양력) 기원후 2024年 2月 10日"));
    QCOMPARE(w.Control<QLineEdit>("yearPillarBox")->text(), QString("甲辰年"));
    QVERIFY(w->App().Selected().selected());
    QVERIFY(IsLongMessage(w.Last().text));  // shown in the text box
    QVERIFY(w.editor.calls.empty());        // Cancel: no editor

    // Any mouse button, any line of the day.
    w.ClickCell(w.CellOf("11"), Qt::RightButton, 2);
    QCOMPARE(w.messages.messages.size(), size_t{2});
    COMPARE_TEXT(w.Last().text, w.Cli("day 2024-02-11 --today 2024-02-15"));

    // A day of the month before: refused.
    w.ClickCell(0);
    QCOMPARE(w.Last().text, std::string("이 달의 날짜를 선택하세요."));
    QCOMPARE(w.Last().caption, std::string("알림"));
    // A year typed but not shown: refused.
    w.Control<InputEdit>("yearInput")->setText("2025");
    w.ClickCell(cell);
    QCOMPARE(w.Last().text, std::string("입력연도와 표시연도가 다르니\n달력보기를 먼저 실행하세요"));
    QCOMPARE(w.Last().caption, std::string("안내"));
    QCOMPARE(w.messages.messages.size(), size_t{4});
  }

  // KASI: the leap 4th month of 2020 begins on 2020-05-23.
  void dayReportOfTheFirstDayOfALeapMonth() {
    Window w;
    w.Control<QRadioButton>("lunarViewButton")->click();
    w->ShowMonth(2020, 4, true);
    w.Control<QCheckBox>("leapMonthBox")->click();
    QVERIFY(w.Control<QCheckBox>("leapMonthBox")->isChecked());
    const int cell = w.CellOf("윤4.1");
    QVERIFY(cell >= 0);
    w.ClickCell(cell);
    QCOMPARE(w.Control<InputEdit>("referenceBox")->text(), QString("선택한 날짜는 (음력) 기원후 2020年 閏4月 1日"));
    QCOMPARE(w.Last().caption, std::string("歲次,月建,日辰 등"));
    // The report of 2020-05-23 with the lunar selected-date line.
    std::string expected = w.Cli("day 2020-05-23 --today 2024-02-15");
    const std::string solarLine = "선택한 날짜는 (양력) 기원후 2020年 5月 23日";
    QVERIFY(expected.find(solarLine) != std::string::npos);
    expected.replace(expected.find(solarLine), solarLine.size(), "선택한 날짜는 (음력) 기원후 2020年 閏4月 1日");
    COMPARE_TEXT(w.Last().text, expected);
    QVERIFY(w->App().Selected().leap);
  }

  void retryEditsTheMemoFileAndTheViewShowsIt() {
    Window w;
    QVERIFY(!QFile::exists(w.current.filePath("비망일.txt")));
    w.editor.append = "1,2000,2,20,새기념일\n";
    w.messages.answer = MessageAnswer::Retry;
    w.ClickCell(w.CellOf("10"));
    QCOMPARE(w.editor.calls.size(), size_t{1});
    const FakeEditor::Call& call = w.editor.calls[0];
    QCOMPARE(call.command, (std::vector<std::string>{"fake-editor", "--wait"}));
    QCOMPARE(call.file, JoinPath(w.Folder(), "비망일.txt"));
    // The editor found the new file with its commented example.
    QCOMPARE(call.contents, MemoFileTemplate());
    // Reloaded: the anniversary is in the month view.
    QVERIFY2(w.Third(w.CellOf("20")).endsWith("새기념일"), qPrintable(w.Third(w.CellOf("20"))));
    QVERIFY(!w.Third(w.CellOf("19")).contains("새기념일"));
    QCOMPARE(w->App().Memos().size(), size_t{1});
    QCOMPARE(w.messages.messages.size(), size_t{1});
  }

  void yearReportsAreTheCommandLinesTexts() {
    Window w;
    w.Control<BitButton>("solarTermsButton")->click();
    QCOMPARE(w.Last().caption, std::string("절기와 중기"));
    COMPARE_TEXT(w.Last().text, w.Cli("terms 2024"));
    COMPARE_TEXT(w.Last().text + "\n", Golden("terms_2024.txt"));
    w.Control<BitButton>("holidaysButton")->click();
    QCOMPARE(w.Last().caption, std::string("기념일"));
    COMPARE_TEXT(w.Last().text, w.Cli("holidays 2024"));
    COMPARE_TEXT(w.Last().text + "\n", Golden("holidays_2024.txt"));
    w.Control<BitButton>("syzygiesButton")->click();
    QCOMPARE(w.Last().caption, std::string("합삭과 망"));
    COMPARE_TEXT(w.Last().text, w.Cli("syzygies 2024"));
    QCOMPARE(w.messages.messages.size(), size_t{3});
    QCOMPARE(w.Control<QProgressBar>("progressBar")->value(), 0);
  }

  // A report about a year typed but not shown shows that year first; 2023
  // has a leap second month (13 lines).
  void reportOfAnotherYearRebuildsTheMonthView() {
    Window w;
    w.Control<InputEdit>("yearInput")->setText("2023");
    w.Control<BitButton>("syzygiesButton")->click();
    QCOMPARE(w->App().Tables().LoadedYear, 2023);
    QCOMPARE(w->App().Month().View().shown.year, 2023);
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2023"));
    QCOMPARE(w.First(3), QString("1"));  // 2023-02-01, a Wednesday
    COMPARE_TEXT(w.Last().text, w.Cli("syzygies 2023"));
    COMPARE_TEXT(w.Last().text + "\n", Golden("syzygies_2023.txt"));
  }

  void eclipseButtonLeftLocalRightGlobal() {
    Window w;
    QTest::mouseClick(w.Control<BitButton>("eclipsesButton"), Qt::RightButton);
    QCOMPARE(w.messages.messages.size(), size_t{1});
    QCOMPARE(w.Last().caption, std::string("일식과 월식"));
    COMPARE_TEXT(w.Last().text, w.Cli("eclipses 2024"));
    COMPARE_TEXT(w.Last().text + "\n", Golden("eclipses_global_2024.txt"));
    QTest::mouseClick(w.Control<BitButton>("eclipsesButton"), Qt::LeftButton);
    QCOMPARE(w.messages.messages.size(), size_t{2});  // already standard time: no notice
    COMPARE_TEXT(w.Last().text, w.Cli("eclipses 2024 --local"));
    COMPARE_TEXT(w.Last().text + "\n", Golden("eclipses_local_2024_seoul.txt"));

    // Under UT the local report first switches to standard time.
    w.Control<RadioGroup>("timeSystemChoice")->Button(1)->click();
    w.Control<BitButton>("applyButton")->click();
    QCOMPARE(w->App().Tables().PreparedWith.TimeSystemCode, int{kTimeUT});
    QTest::mouseClick(w.Control<BitButton>("eclipsesButton"), Qt::LeftButton);
    QCOMPARE(w.messages.messages.size(), size_t{4});
    QCOMPARE(w.messages.messages[2].text, std::string("지역표준시로 설정됩니다."));
    QCOMPARE(w.messages.messages[2].caption, std::string("참고"));
    QCOMPARE(w.Control<RadioGroup>("timeSystemChoice")->ItemIndex(), 2);
    QCOMPARE(w->App().Settings().TimeSystemCode, int{kTimeST});
    QCOMPARE(w->App().Tables().PreparedWith.TimeSystemCode, int{kTimeST});
    COMPARE_TEXT(w.Last().text + "\n", Golden("eclipses_local_2024_seoul.txt"));
  }

  void thirtyYearTablesMoveTheProgressBar() {
    Window w;
    QList<int> values;
    QObject::connect(w.Control<QProgressBar>("progressBar"), &QProgressBar::valueChanged, [&](int v) { values << v; });
    w.Control<BitButton>("leapMonthsButton")->click();
    QCOMPARE(w.Last().caption, std::string("윤달이 든 해와 윤달"));
    COMPARE_TEXT(w.Last().text, w.Cli("leap-months 2024"));
    int between = 0;
    for (int v : values)
      if (v > 0 && v < 100) ++between;
    QVERIFY2(between >= 10, qPrintable(QString::number(between)));
    QVERIFY(values.contains(100));
    QCOMPARE(values.last(), 0);
    QCOMPARE(w->App().Tables().LoadedYear, 2024);  // the shown year again
    QCOMPARE(w.First(18), QString("15"));

    // The date tables need a selected day.
    w.Control<BitButton>("lunarDatesButton")->click();
    QCOMPARE(w.Last().text, std::string("먼저 날짜를 눌러\n선택해야 합니다."));
    QCOMPARE(w.Last().caption, std::string("참고"));
    w.ClickCell(w.CellOf("10"));  // lunar 2024-01-01
    values.clear();
    w.Control<BitButton>("lunarDatesButton")->click();
    QCOMPARE(w.Last().caption, std::string("양력월일과 같은 음력월일"));
    COMPARE_TEXT(w.Last().text, w.Cli("lunar-dates 2024-02-10"));
    QVERIFY(values.size() >= 10);
    w.Control<QRadioButton>("yearsBeforeButton")->click();  // "전"
    QVERIFY(!w->App().ThirtyYearsAfter());
    w.Control<BitButton>("solarDatesButton")->click();
    QCOMPARE(w.Last().caption, std::string("음력월일과 같은 양력월일"));
    COMPARE_TEXT(w.Last().text, w.Cli("solar-dates 2024-1-1 --before"));
    QCOMPARE(w->App().Tables().LoadedYear, 2024);
    // Stepping the month forgets the day.
    w.Control<UpDown>("monthStepper")->ClickUp();
    w.Control<BitButton>("solarDatesButton")->click();
    QCOMPARE(w.Last().text, std::string("먼저 날짜를 눌러\n선택해야 합니다."));
  }

  void aboutTextOnTheRightButtonOpensTheHelpFile() {
    Window w;
    QVERIFY(!w->SettingsRowVisible());
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::RightButton);
    QVERIFY(!w->SettingsRowVisible());
    QCOMPARE(w.messages.messages.size(), size_t{1});
    QCOMPARE(w.Last().caption, std::string("안내"));
    QVERIFY(w.Last().buttons == MessageButtons::RetryCancel);
    COMPARE_TEXT(w.Last().text, w.Cli("about"));
    QVERIFY(w.Last().text.rfind("이 달력은 PLAN404D와 IAU2006세차, IAU2000B장동보정을\n이용하였습니다.", 0) == 0);
    QVERIFY(w.editor.calls.empty());
    w.messages.answer = MessageAnswer::Retry;
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::RightButton);
    QCOMPARE(w.editor.calls.size(), size_t{1});
    QCOMPARE(w.editor.calls[0].file, JoinPath(w.Folder(), "Orvanta설명.txt"));
    QCOMPARE(w.editor.calls[0].contents, HelpFileText());
    // While the settings row is shown, the right button hides it instead.
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::LeftButton);
    QVERIFY(w->SettingsRowVisible());
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::RightButton);
    QVERIFY(!w->SettingsRowVisible());
    QCOMPARE(w.messages.messages.size(), size_t{2});
  }

  void aboutTextNamesTheUserConfigurationFolder() {
    Window w(true);
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::RightButton);
    const std::string line = "\n\n설정 파일 위치: " + w.Folder();
    QVERIFY(w.Last().text.size() > line.size());
    QCOMPARE(w.Last().text.substr(w.Last().text.size() - line.size()), line);
    QCOMPARE(w.Last().text.substr(0, w.Last().text.size() - line.size()), w.Cli("about"));
  }

  // The window's file equals the command line's for the same span and kinds
  // (DTSTAMP from the same instant) and parses with python3-icalendar.
  void icalendarExport() {
    Window w;
    w.current.setAutoRemove(true);
    QFile memo(w.current.filePath("비망일.txt"));
    QVERIFY(memo.open(QIODevice::WriteOnly));
    memo.write("1,1990,5,5,결혼기념일:\n-1,1950,3,15,할머니생신\n");
    memo.close();
    QCOMPARE(w.Control<QPushButton>("icsButton")->text(), QString("iCal"));
    QCOMPARE(w.Control<QPushButton>("icsButton")->toolTip(), QString("절기·삭망·기념일·비망일을 iCalendar(.ics) 파일로 내보냅니다"));

    const std::string file = JoinPath(w.Folder(), "window.ics");
    IcsExportRequest asked;
    w->askIcsExport = [&](IcsExportRequest& request) {
      asked = request;
      request.toYear = 2025;
      request.eclipses = true;
      request.path = file;
      return true;
    };
    QTest::mouseClick(w.Control<QPushButton>("icsButton"), Qt::LeftButton);
    QCOMPARE(asked.fromYear, 2024);  // the shown year by default
    QCOMPARE(asked.toYear, 2024);
    QVERIFY(asked.terms && asked.syzygies && asked.holidays && asked.memo && !asked.eclipses);
    QCOMPARE(w.Last().caption, std::string("안내"));
    QCOMPARE(w.Last().text, file + "\n파일로 내보냈습니다.");
    // The shown month is back.
    QCOMPARE(w->App().Tables().LoadedYear, 2024);
    QCOMPARE(w.Cell(0, 0), QString("FEB"));
    QCOMPARE(w.First(18), QString("15"));

    std::string written;
    QVERIFY(ReadWholeFile(file, written));
    ::setenv("SOURCE_DATE_EPOCH", kClockEpoch, 1);
    const testing::CliResult cli =
        testing::RunCli("ics 2024..2025 --terms --syzygies --eclipses --holidays --memo -o cli.ics", w.Folder());
    ::unsetenv("SOURCE_DATE_EPOCH");
    QCOMPARE(cli.status, 0);
    std::string expected;
    QVERIFY(ReadWholeFile(JoinPath(w.Folder(), "cli.ics"), expected));
    QVERIFY(written == expected);
    QVERIFY(written.find("DTSTAMP:20240215T013000Z") != std::string::npos);
    QVERIFY(written.find("SUMMARY:결혼기념일") != std::string::npos);

    if (HaveIcalendarParser()) {
      const std::string check = "/usr/bin/python3 " + std::string(ORVANTA_TEST_DATA) + "/../ics_check.py " +
                                testing::ShellQuote(file) + " >/dev/null";
      QCOMPARE(std::system(check.c_str()), 0);
    } else {
      qWarning("python3-icalendar is not installed: the file is not parsed back");
    }

    // A folder that does not exist: the message, nothing else.
    w->askIcsExport = [&](IcsExportRequest& request) {
      request.path = JoinPath(w.Folder(), "no-such-folder/x.ics");
      return true;
    };
    QTest::mouseClick(w.Control<QPushButton>("icsButton"), Qt::LeftButton);
    QCOMPARE(w.Last().caption, std::string("오류"));
    // The system's reason follows.
    QCOMPARE(w.Last().text, JoinPath(w.Folder(), "no-such-folder/x.ics") + "\n파일을 쓸 수 없습니다.\n(" +
                                JoinPath(w.Folder(), "no-such-folder/x.ics") + ": No such file or directory)");
    // Years an iCalendar file cannot hold.
    w->askIcsExport = [&](IcsExportRequest& request) {
      request.fromYear = 0;
      request.path = file;
      return true;
    };
    QTest::mouseClick(w.Control<QPushButton>("icsButton"), Qt::LeftButton);
    QCOMPARE(w.Last().caption, std::string("참고"));
    QCOMPARE(w.Last().text, std::string("iCalendar로 내보낼 수 있는 연도는\n1년 ~ 9998년 입니다."));
    // Cancelled: nothing.
    const size_t shown = w.messages.messages.size();
    w->askIcsExport = [](IcsExportRequest&) { return false; };
    QTest::mouseClick(w.Control<QPushButton>("icsButton"), Qt::LeftButton);
    QCOMPARE(w.messages.messages.size(), shown);
  }

  // The window's message boxes: a report in a read-only, selectable text box
  // under its caption with its buttons; a short text in a message box.
  void longTextsAreShownInATextBox() {
    QWidget parent;
    QtMessageSink sink(&parent);
    std::string report = "  기원후 2024년의 朔望(양력날짜, 적용된 시간체계는 ST(표준시))\n";
    for (int i = 1; i <= 30; ++i) report += "\n  " + std::to_string(i) + "월달\t01월11일 20시57분\t01월26일 02시54분";
    QVERIFY(IsLongMessage(report));
    QVERIFY(!IsLongMessage("지역표준시로 설정됩니다."));

    QString title, shown;
    bool readOnly = false, selectable = false;
    int tries = 0;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) {
        if (++tries > 500) poll.stop();
        return;
      }
      poll.stop();
      title = modal->windowTitle();
      if (auto* box = modal->findChild<QPlainTextEdit*>("ReportText")) {
        shown = box->toPlainText();
        readOnly = box->isReadOnly();
        selectable = box->textInteractionFlags() & Qt::TextSelectableByKeyboard;
      }
      if (auto* buttons = modal->findChild<QDialogButtonBox*>()) {
        if (QAbstractButton* retry = buttons->button(QDialogButtonBox::Retry)) retry->click();
      }
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        shown = box->text();
        box->button(QMessageBox::Cancel)->click();
      }
    });
    poll.start();
    QCOMPARE(sink.Show(report, "합삭과 망", MessageButtons::RetryCancel), MessageAnswer::Retry);
    QCOMPARE(title, QString("합삭과 망"));
    QCOMPARE(shown, QString::fromStdString(report));
    QVERIFY(readOnly);
    QVERIFY(selectable);

    title.clear();
    shown.clear();
    tries = 0;
    poll.start();
    QCOMPARE(sink.Show("지역표준시로 설정됩니다.", "참고", MessageButtons::RetryCancel), MessageAnswer::Cancel);
    QCOMPARE(title, QString("참고"));
    QCOMPARE(shown, QString("지역표준시로 설정됩니다."));
  }
};

QTEST_MAIN(ReportWiringTest)
#include "tst_reportwiring.moc"
