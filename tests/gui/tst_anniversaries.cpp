// The anniversary manager and the "다가오는 날" panel, headless: the form
// checks a row as it is typed, the manager saves each change to the memo
// file (in the file's own encoding) and the month view shows it, the panel
// lists the next days with D-N and opens by itself when something falls
// today or tomorrow.
//
// Lunar dates: KASI (npm korean-lunar-calendar 0.4.0): lunar 2024 month 1 from
// 2024-02-10 (30 days), so lunar 1/7 is 2024-02-16; month 2 from 2024-03-10
// (30 days). Solar term: 雨水 2024-02-19.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <iterator>

#include "app/core/clock.h"
#include "app/core/messages.h"
#include "app/gui/main_window.h"
#include "window_fixture.h"

using namespace orv;

namespace {

std::string ReadFile(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The shared window, started on the memo file given.
struct Window : testing::TemporaryWindow {
  explicit Window(const std::string& memoFile = "") {
    if (!memoFile.empty()) std::ofstream(MemoPath().toStdString(), std::ios::binary) << memoFile;
    Create(Folders());
    form->StartUp();
  }
  QString MemoPath() const { return current.path() + "/" + QString::fromStdString(kMemoFileName); }
  // The third line of the grid cell that shows civil day `day` of the month.
  std::string ThirdLineOfDay(int day) const {
    const MonthView& v = form->App().Month().View();
    return v.grid.Line(v.LastCellBefore + day, 2);
  }
};

}  // namespace

class AnniversariesTest : public QObject {
  Q_OBJECT
 private slots:
  // At New York lunar 2020-06-01 is 20 July by the place's calendar and 21
  // July by the Korean one (KASI); the box moves the anniversary in the grid.
  void localLunarCalendarBoxMovesAnniversaries() {
    Window w("-1,1950,6,1,제사\n");
    CalendarApp& app = w.form->App();
    app.ChangePlace(FindPlaceByName(app.Places(), "미국-New York"));
    app.SetMonth(2020, 7, DisplayMode::Solar);
    app.ShowInputs();
    QVERIFY(w.ThirdLineOfDay(21).find("제사") != std::string::npos);
    AnniversaryDialog dialog(app);
    QVERIFY(!dialog.anniversaryLocalBox->isChecked());
    dialog.anniversaryLocalBox->setChecked(true);
    QVERIFY(w.ThirdLineOfDay(20).find("제사") != std::string::npos);
    QVERIFY(w.ThirdLineOfDay(21).find("제사") == std::string::npos);
    dialog.anniversaryLocalBox->setChecked(false);
    QVERIFY(w.ThirdLineOfDay(21).find("제사") != std::string::npos);
  }

  void formChecksAsTheUserTypes() {
    AnniversaryDraft draft;
    draft.name = "결혼기념일";
    draft.month = 5;
    draft.day = 5;
    AnniversaryForm form(draft, TextEncoding::Cp949);
    QVERIFY(form.okButton->isEnabled());
    form.nameInput->setText("");
    QVERIFY(!form.okButton->isEnabled());
    QVERIFY(form.checkLabel->text().contains("이름을"));
    form.nameInput->setText("생일 🎂");  // CP949 has no such character
    QVERIFY(!form.okButton->isEnabled());
    QVERIFY(form.checkLabel->text().contains("CP949"));
    form.nameInput->setText("할머니 생신");
    form.monthInput->setValue(2);
    form.dayInput->setValue(30);
    QVERIFY(!form.okButton->isEnabled());  // 30 February
    QVERIFY(!form.leapMonthBox->isEnabled());
    form.calendarChoice->setCurrentIndex(1);
    // A lunar 30th is allowed, with a word on the years that lack it.
    QVERIFY(form.okButton->isEnabled());
    QVERIFY(form.leapMonthBox->isEnabled());
    QVERIFY(form.checkLabel->text().contains("마지막 날"));
    form.leapMonthBox->setChecked(true);
    form.markChoice->setCurrentIndex(2);
    const MemoEntry e = EntryOfDraft(form.Draft());
    QCOMPARE(e.kind, static_cast<int>(kMemoLunarLeap));
    QCOMPARE(e.name, std::string("할머니 생신;"));
  }

  void managerAddsEditsAndRemovesThroughTheFile() {
    Window w("# 우리 집\n1,1990,2,20,결혼기념일:\n");
    AnniversaryDialog dialog(w.form->App(), w.form.get());
    QCOMPARE(dialog.anniversaryList->rowCount(), 1);
    QCOMPARE(dialog.anniversaryList->item(0, 0)->text(), QString("결혼기념일"));
    QCOMPARE(dialog.anniversaryList->item(0, 5)->text(), QString("공휴일색"));
    QCOMPARE(dialog.anniversaryList->item(0, 6)->text(), QString("2024-02-20 D-5"));
    QCOMPARE(dialog.anniversaryList->item(0, 7)->text(), QString("34주년"));

    // Add a lunar birthday with a name of several words.
    dialog.askDraft = [](AnniversaryDraft& d) {
      d.name = "할머니 칠순 생신";
      d.lunar = true;
      d.month = 1;
      d.day = 7;
      d.firstYear = 1954;
      return true;
    };
    dialog.AddAnniversary();
    QCOMPARE(dialog.anniversaryList->rowCount(), 2);
    QCOMPARE(dialog.anniversaryList->item(1, 6)->text(), QString("2024-02-16 D-1"));
    QCOMPARE(dialog.anniversaryList->item(1, 7)->text(), QString("70번째 생일"));
    QCOMPARE(ReadFile(w.MemoPath()),
             std::string(kMemoFormat2Line) + "\n# 우리 집\n1,1990,2,20,결혼기념일:\n-1,1954,1,7,할머니 칠순 생신\n");
    // The month view shows it at once, after the day's sexagenary name.
    const std::string line = w.ThirdLineOfDay(16);
    QVERIFY2(line.find(" 할머니 칠순 생신") != std::string::npos, line.c_str());
    QVERIFY(line.find(' ') > 0);

    // Edit the first row, then remove it (the question answered yes).
    dialog.anniversaryList->selectRow(0);
    dialog.askDraft = [](AnniversaryDraft& d) {
      d.name = "결혼 기념일";
      d.mark = MemoMark::Highlight;
      return true;
    };
    dialog.EditSelected();
    QCOMPARE(dialog.anniversaryList->item(0, 0)->text(), QString("결혼 기념일"));
    QVERIFY(ReadFile(w.MemoPath()).find("\n1,1990,2,20,결혼 기념일;\n") != std::string::npos);
    dialog.confirmRemoval = [](const QString& name) { return name == "결혼 기념일"; };
    dialog.anniversaryList->selectRow(0);
    dialog.RemoveSelected();
    QCOMPARE(dialog.anniversaryList->rowCount(), 1);
    QCOMPARE(ReadFile(w.MemoPath()), std::string(kMemoFormat2Line) + "\n# 우리 집\n-1,1954,1,7,할머니 칠순 생신\n");
    QVERIFY(w.ThirdLineOfDay(20).find("결혼") == std::string::npos);
  }

  void aFileChangedMeanwhileLosesNothing() {
    Window w("1,2000,1,1,first\n1,2000,1,2,second\n");
    AnniversaryDialog dialog(w.form->App(), w.form.get());
    // An editor saves the file while the list is open: the row shown as the
    // first is not the first any more. The change is applied to the file as
    // it is now: the row chosen goes, the row the editor added stays.
    std::ofstream(w.MemoPath().toStdString(), std::ios::binary)
        << "1,2000,1,9,inserted\n1,2000,1,1,first\n1,2000,1,2,second\n";
    dialog.confirmRemoval = [](const QString&) { return true; };
    dialog.anniversaryList->selectRow(0);
    dialog.RemoveSelected();
    QCOMPARE(ReadFile(w.MemoPath()), std::string(kMemoFormat2Line) + "\n1,2000,1,9,inserted\n1,2000,1,2,second\n");
    QCOMPARE(dialog.anniversaryList->rowCount(), 2);
    QCOMPARE(dialog.anniversaryList->item(0, 0)->text(), QString("inserted"));

    // The row chosen was itself changed meanwhile: nothing is removed.
    const std::string edited = std::string(kMemoFormat2Line) + "\n1,2000,1,9,renamed\n1,2000,1,2,second\n";
    std::ofstream(w.MemoPath().toStdString(), std::ios::binary) << edited;
    dialog.anniversaryList->selectRow(0);
    dialog.RemoveSelected();
    QCOMPARE(ReadFile(w.MemoPath()), edited);
    QVERIFY(!w.messages.messages.empty());
    QVERIFY(QString::fromStdString(w.messages.messages.back().text).contains("바뀌었습니다"));
    QCOMPARE(dialog.anniversaryList->rowCount(), 2);
    QCOMPARE(dialog.anniversaryList->item(0, 0)->text(), QString("renamed"));
  }

  void cp949FileIsSavedInCp949() {
    // "1,2000,3,1,삼일절:" with the name in CP949.
    Window w("1,2000,3,1,\xbb\xef\xc0\xcf\xc0\xfd:\n");
    AnniversaryDialog dialog(w.form->App(), w.form.get());
    QVERIFY(dialog.fileLabel->text().contains("CP949"));
    dialog.askDraft = [](AnniversaryDraft& d) {
      d.name = "가나";
      d.month = 3;
      d.day = 2;
      return true;
    };
    dialog.AddAnniversary();
    const std::string bytes = ReadFile(w.MemoPath());
    QVERIFY(bytes.find("1,2000,3,1,\xbb\xef\xc0\xcf\xc0\xfd:\n1,2024,3,2,\xb0\xa1\xb3\xaa\n") != std::string::npos);
  }

  void panelListsTheNextDaysAndOpensForTomorrow() {
    // Nothing today or tomorrow: the panel stays closed at start.
    Window quiet;
    UpcomingPanel* panel = quiet.Control<UpcomingPanel>("UpcomingPanel");
    QVERIFY(!panel->isVisibleTo(quiet.form.get()));
    quiet->MenuAction("showUpcomingAction")->trigger();
    QVERIFY(panel->isVisibleTo(quiet.form.get()));
    const auto& items = panel->Items();
    QVERIFY(!items.empty());
    QCOMPARE(items.front().name, std::string("雨水우수"));
    QCOMPARE(panel->upcomingList->item(0, 0)->text(), QString("D-4"));
    // 30 days by default; the span is the user's.
    QVERIFY(items.back().daysLeft <= 29);
    panel->daysInput->setValue(60);
    QVERIFY(panel->Items().back().daysLeft > 29);

    // Lunar 1/7 is tomorrow: open at start, D-1 first.
    Window busy("-1,1954,1,7,할머니생신\n");
    panel = busy.Control<UpcomingPanel>("UpcomingPanel");
    QVERIFY(panel->isVisibleTo(busy.form.get()));
    QCOMPARE(panel->upcomingList->item(0, 0)->text(), QString("D-1"));
    QVERIFY(panel->upcomingList->item(0, 2)->text().contains("70번째 생일"));
  }

  void buttonOpensTheManager() {
    Window w;
    QString title;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (!dialog) return;
      title = dialog->windowTitle();
      dialog->close();
    });
    w.Control<QPushButton>("anniversaryButton")->click();
    QCOMPARE(title, QString("비망일 편집"));
    QVERIFY(w->MenuAction("editAnniversariesAction") != nullptr);
  }
};

QTEST_MAIN(AnniversariesTest)
#include "tst_anniversaries.moc"
