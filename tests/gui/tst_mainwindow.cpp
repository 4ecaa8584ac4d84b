// The main window driven through its controls, headless: grid texts,
// inputs, messages and the settings file. Messages are recorded, the clock is
// fixed at 2024-02-15 10:30 in UTC+9 and the folders are temporary.
//
// Expected values come from published calendars: KASI's lunar calendar (leap
// 4th month of 2020 from 2020-05-23 to 2020-06-20; lunar 2024-12 of 29 days,
// ending 2025-01-28; lunar 2023-11 beginning 2023-12-13 in Korea), KASI's
// 2024 solar terms (小寒 2024-01-06 05:49 KST = 2024-01-05 20:49 UT), USNO's
// new moon of 2023-12-12 23:32 UT, the 1582 reform (Thursday 4 October
// followed by Friday 15 October) and 1 January of 1 BC being a Thursday.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "app/core/files/config.h"
#include "app/core/files/files.h"
#include "app/gui/main_window.h"
#include "gui/window_fixture.h"

using namespace orv;

namespace {

// A window on temporary folders, not started.
struct Window : testing::TemporaryWindow {
  Window() { Create(Folders()); }
  QStringList Texts() const {
    QStringList out;
    for (const auto& m : messages.messages) out << QString::fromStdString(m.text);
    return out;
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void titleAndControlNames() {
    Window w;
    QCOMPARE(w->windowTitle(), QString("Orvanta"));
    QCOMPARE(w->objectName(), QString("MainWindow"));
    for (const char* name : {"yearInput", "yearStepper", "eraChoice", "monthInput", "monthStepper", "solarViewButton", "lunarViewButton",
                             "leapMonthBox", "correctionBox", "showMonthButton", "todayPanel", "yearPillarBox", "referenceBox", "monthPillarBox",
                             "progressBar", "monthGrid", "placeChoice", "aboutButton", "solarTermsButton", "syzygiesButton", "leapMonthsButton",
                             "lunarDatesButton", "solarDatesButton", "holidaysButton", "applyButton", "eclipsesButton", "horizonsPresetButton", "simulationButton",
                             "ephemerisChoice", "precessionChoice", "nutationChoice", "obliquityChoice", "timeSystemChoice",
                             "deltaTModelChoice", "tidalBox", "eopBox", "userDeltaTInput", "yearsBeforeButton", "yearsAfterButton",
                             "compensationGroup"})
      QVERIFY2(w.Control<QWidget>(name) != nullptr, name);
    QCOMPARE(w.Control<InputEdit>("yearInput")->toolTip(), QString("BC1년은 0, BC2년은 -1과 같습니다."));
    QCOMPARE(w.Control<BitButton>("applyButton")->text(), QString("설정적용"));
    QCOMPARE(w.Control<BitButton>("applyButton")->toolTip(), QString("환경설정 후 반드시 적용클릭"));
    QCOMPARE(w.Grid()->toolTip(), QString("歲次,月建,日辰 등을 보려면 클릭하세요."));
    QCOMPARE(w.Grid()->rowCount(), 19);
    QCOMPARE(w.Grid()->columnCount(), 8);
    // The seven day columns share one width, wider than the first; a row of
    // day numbers is taller than the row of lunar dates under it.
    for (int column = 2; column < 8; ++column)
      QCOMPARE(w.Grid()->columnWidth(column), w.Grid()->columnWidth(1));
    QVERIFY(w.Grid()->columnWidth(1) > w.Grid()->columnWidth(0));
    QVERIFY(w.Grid()->rowHeight(4) > w.Grid()->rowHeight(5));
    QCOMPARE(w.Control<QLineEdit>("yearPillarBox")->text(), QString("歲次"));
    QCOMPARE(w.Control<QLineEdit>("monthPillarBox")->text(), QString("月建"));
  }

  // The window is composed of widgets that each own one concern: every
  // control lives in the widget of its concern, under a name of its own.
  void eachConcernOwnsItsControls() {
    Window w;
    const struct {
      const char* owner;
      std::vector<const char*> controls;
    } concerns[] = {
        {"settingsRow",
         {"ephemerisChoice", "precessionChoice", "nutationChoice", "obliquityChoice", "timeSystemChoice",
          "deltaTModelChoice", "compensationGroup", "tidalBox", "eopBox", "applyButton", "horizonsPresetButton",
          "simulationButton", "userDeltaTLabel", "userDeltaTInput"}},
        {"reportButtons",
         {"solarTermsButton", "syzygiesButton", "eclipsesButton", "thirtyYearsGroup", "yearsBeforeButton",
          "yearsAfterButton", "leapMonthsButton", "lunarDatesButton", "solarDatesButton", "holidaysButton", "icsButton",
          "anniversaryButton", "aboutButton", "PillarsButton"}},
        {"placeChooser", {"placeGroup", "placeChoice", "referenceBox", "placeClockButton"}},
        {"monthInputRow",
         {"yearInput", "yearStepper", "eraChoice", "monthInput", "monthStepper", "calendarKindGroup", "solarViewButton",
          "lunarViewButton", "leapMonthBox", "correctionBox", "showMonthButton", "todayPanel", "yearPillarBox",
          "monthPillarBox", "PillarLine", "progressBar"}},
    };
    for (const auto& concern : concerns) {
      QWidget* owner = w.Control<QWidget>(concern.owner);
      for (const char* name : concern.controls) QVERIFY2(owner->isAncestorOf(w.Control<QWidget>(name)), name);
      for (const auto& other : concerns)
        if (&other != &concern) QVERIFY(!owner->isAncestorOf(w.Control<QWidget>(other.owner)));
      QVERIFY(!owner->isAncestorOf(w.Grid()));
    }
  }

  // Every action of the month input row reads the inputs first: with a year
  // that is not a whole number it shows one message, puts the year shown back
  // and tells the window nothing; with good inputs it tells the window once.
  void monthInputRowReadsTheInputsFirst() {
    Window w;
    w->StartUp();
    const struct {
      const char* name;
      std::function<void()> act;
    } actions[] = {
        {"yearStepper", [&] { w.Control<UpDown>("yearStepper")->ClickUp(); }},
        {"monthStepper", [&] { w.Control<UpDown>("monthStepper")->ClickDown(); }},
        {"showMonthButton", [&] { w.Control<BitButton>("showMonthButton")->click(); }},
        {"Enter", [&] { emit w.Control<InputEdit>("monthInput")->enterReleased(); }},
        {"eraChoice", [&] { w.Control<RadioGroup>("eraChoice")->Button(1)->click(); }},
        {"lunarViewButton", [&] { w.Control<QRadioButton>("lunarViewButton")->click(); }},
        {"solarViewButton", [&] { w.Control<QRadioButton>("solarViewButton")->click(); }},
    };
    QSignalSpy changed(w.Control<MonthInputRow>("monthInputRow"), &MonthInputRow::monthChanged);
    for (const auto& action : actions) {
      w->ShowMonth(2024, 2, false);
      changed.clear();
      const size_t before = w.messages.messages.size();
      w.Control<InputEdit>("yearInput")->setText("x");
      action.act();
      QVERIFY2(changed.isEmpty(), action.name);
      QCOMPARE(w.messages.messages.size(), before + 1);
      QVERIFY(w.Last().startsWith("'x'은(는) 올바른 정수 값이 아닙니다."));
      QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2024"));
      QCOMPARE(w->App().Inputs().month, 2);
      action.act();
      QVERIFY2(changed.count() == 1, action.name);
      QCOMPARE(w.messages.messages.size(), before + 1);
    }
  }

  void startsOnTodaysMonth() {
    Window w;
    QVERIFY(w->SettingsRowVisible());
    w->StartUp();
    QVERIFY(!w->SettingsRowVisible());
    QVERIFY(w.messages.messages.empty());
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2024"));
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("2"));
    QCOMPARE(w.Control<RadioGroup>("eraChoice")->ItemIndex(), 1);
    QCOMPARE(w.Cell(0, 0), QString("FEB"));
    QCOMPARE(w.Cell(1, 0), QString("일요일"));
    // 2024-02-01 is a Thursday: cell 4; the 15th is today, cell 18.
    QCOMPARE(w.First(4), QString("1"));
    QCOMPARE(w.First(18), QString("15"));
    QCOMPARE(w->App().Month().View().todayCell, 18);
    QCOMPARE(w.Control<QLineEdit>("yearPillarBox")->text(), QString("癸卯年"));
    QCOMPARE(w.Control<QLineEdit>("monthPillarBox")->text(), QString("乙丑月 "));
    QCOMPARE(w.Control<InputEdit>("referenceBox")->text(), QString("그레고리(Gregory)曆 입니다."));
    QCOMPARE(w.Control<QProgressBar>("progressBar")->value(), 0);
    QCOMPARE(w.Control<QComboBox>("placeChoice")->count(), 652);
    // The row's name, then what tells it from the other Seoul row.
    QVERIFY(w.Control<QComboBox>("placeChoice")->currentText().startsWith(QString("대한민국-서울(135.0) · ")));
    // Loaded with the correction on for Seoul, which the month view turns off
    // for a year after 1912.
    QVERIFY(!w.Control<QCheckBox>("correctionBox")->isChecked());
    QVERIFY(!w.Control<QCheckBox>("correctionBox")->isEnabled());
    QVERIFY(!w.Control<QCheckBox>("leapMonthBox")->isEnabled());
    QCOMPARE(w.Control<RadioGroup>("ephemerisChoice")->ItemIndex(), 0);
    QCOMPARE(w.Control<RadioGroup>("nutationChoice")->ItemIndex(), 1);
    QCOMPARE(w.Control<RadioGroup>("timeSystemChoice")->ItemIndex(), 2);
    QCOMPARE(w.Control<QLineEdit>("userDeltaTInput")->text(), QString("0"));

    // Closing saves the settings.
    w->close();
    std::string saved;
    QVERIFY(ReadWholeFile(JoinPath(w.current.path().toStdString(), kConfigFileName), saved));
    QVERIFY(saved.rfind("3,0\t1;3/9,", 0) == 0);
    QVERIFY(saved.find("\n2,0.000000,\t6;1~3,") != std::string::npos);
  }

  void october1582() {
    Window w;
    w->StartUp();
    w.Show("1582", "10");
    const QStringList expected = {"30", "1", "2", "3", "4", "15", "16", "17", "18", "19"};
    for (int k = 0; k < expected.size(); ++k) QCOMPARE(w.First(k), expected[k]);
    QCOMPARE(w.Cell(0, 0), QString("OCT"));
    QCOMPARE(w.Control<InputEdit>("referenceBox")->text(), QString("율리우스(Julius)曆 입니다."));
    QCOMPARE(w->App().Month().View().DaysInMonth(), 21);
    QCOMPARE(w.Control<QProgressBar>("progressBar")->value(), 0);
    // 1582 lies in the years of the historical correction: the advice, once.
    QCOMPARE(w.Texts(), QStringList{"필요에 따라 음력보정 체크해제 하세요"});
    QVERIFY(w.Control<QCheckBox>("correctionBox")->isEnabled());
    QVERIFY(w.Control<QCheckBox>("correctionBox")->isChecked());
    w.Show("1583", "10");
    QCOMPARE(w.messages.messages.size(), size_t{1});
  }

  void yearZeroWithEitherEra() {
    Window w;
    w->StartUp();
    w.Control<RadioGroup>("eraChoice")->Button(0)->click();  // BC
    w.Show("0", "1");
    QCOMPARE(w->App().Month().View().LastCellBefore, 3);  // 1 January 1 BC, a Thursday
    QCOMPARE(w.First(4), QString("1"));
    QCOMPARE(w->App().Tables().LoadedYear, 0);
    w.Control<RadioGroup>("eraChoice")->Button(1)->click();  // AD: still year 0
    QCOMPARE(w->App().Tables().LoadedYear, 0);
    QCOMPARE(w.First(4), QString("1"));
    // "1" BC stepped up gives "0" with AD; "0" stepped up gives "1" AD.
    w.Control<RadioGroup>("eraChoice")->Button(0)->click();
    w.Control<InputEdit>("yearInput")->setText("1");
    w.Control<UpDown>("yearStepper")->ClickUp();
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("0"));
    QCOMPARE(w.Control<RadioGroup>("eraChoice")->ItemIndex(), 1);
    w.Control<UpDown>("yearStepper")->ClickUp();
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("1"));
    QCOMPARE(w->App().Tables().LoadedYear, 1);
    w.Control<UpDown>("yearStepper")->ClickDown();
    w.Control<UpDown>("yearStepper")->ClickDown();
    // BC 2 (astronomical -1): the number shown agrees with the era.
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2"));
    QCOMPARE(w.Control<RadioGroup>("eraChoice")->ItemIndex(), 0);
    QCOMPARE(w->App().Tables().LoadedYear, -1);
    // Today's cell is never marked under BC.
    w.Control<RadioGroup>("eraChoice")->Button(0)->click();
    QCOMPARE(w->App().Month().View().todayCell, -1);
  }

  void stepsIntoTheLeapFourthMonthOf2020() {
    Window w;
    w->StartUp();
    w.Control<QRadioButton>("lunarViewButton")->click();
    QVERIFY(w.Control<QCheckBox>("leapMonthBox")->isEnabled());
    QCOMPARE(w.Cell(0, 1), QString("음력"));
    QCOMPARE(w.Cell(0, 2), QString("양력"));
    w.Show("2020", "4");
    QVERIFY(!w.Control<QCheckBox>("leapMonthBox")->isChecked());
    QCOMPARE(w.First(w->App().Month().View().LastCellBefore + 1), QString("1"));
    QCOMPARE(w.Second(w->App().Month().View().LastCellBefore + 1), QString("4.23 합삭"));  // 2020-04-23

    w.Control<UpDown>("monthStepper")->ClickUp();
    QVERIFY(w.Control<QCheckBox>("leapMonthBox")->isChecked());
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("4"));
    QCOMPARE(w.First(6), QString("윤4.1"));  // Saturday 2020-05-23
    QVERIFY(w.Second(6).startsWith("5.23"));
    QCOMPARE(w->App().Month().View().DaysInMonth(), 29);
    QCOMPARE(w.Control<QLineEdit>("monthPillarBox")->text(), QString("無中月"));

    w.Control<UpDown>("monthStepper")->ClickUp();
    QVERIFY(!w.Control<QCheckBox>("leapMonthBox")->isChecked());
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("5"));
    QCOMPARE(w.First(0), QString("1"));  // Sunday 2020-06-21
    QVERIFY(w.Second(0).startsWith("6.21"));

    w.Control<UpDown>("monthStepper")->ClickDown();
    QVERIFY(w.Control<QCheckBox>("leapMonthBox")->isChecked());
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("4"));
    w.Control<UpDown>("monthStepper")->ClickDown();
    QVERIFY(!w.Control<QCheckBox>("leapMonthBox")->isChecked());
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("4"));

    // Asking for a leap month that does not exist.
    w.Show("2021", "4");
    w.Control<QCheckBox>("leapMonthBox")->click();
    QVERIFY(!w.Control<QCheckBox>("leapMonthBox")->isChecked());
    QCOMPARE(w.Texts().last(), QString("음력 2021년 4월은 윤달이 없습니다."));
    QCOMPARE(w.messages.messages.back().caption, std::string("참고"));
    // The solar view clears and disables it.
    w.Show("2020", "4");
    w.Control<QCheckBox>("leapMonthBox")->click();
    QVERIFY(w.Control<QCheckBox>("leapMonthBox")->isChecked());
    w.Control<QRadioButton>("solarViewButton")->click();
    QVERIFY(!w.Control<QCheckBox>("leapMonthBox")->isChecked());
    QVERIFY(!w.Control<QCheckBox>("leapMonthBox")->isEnabled());
    QVERIFY(!w->App().LeapMonthWanted());
  }

  void memoFileReadAtStartUp() {
    Window w;
    QFile memo(w.current.filePath("비망일.txt"));
    QVERIFY(memo.open(QIODevice::WriteOnly));
    memo.write("# 종류,시작년,월,일,이름\n1,2000,2,14,생일\n-1.1990.1.1.설날:\n");
    memo.close();
    w->StartUp();
    QVERIFY(w.Third(w.CellOf("14")).endsWith(" 생일"));
    QVERIFY(w.Third(w.CellOf("10")).endsWith(" 설날"));  // lunar 2024-01-01, in the holiday style
  }

  void lunarDecember30MemoOnThe29th() {
    Window w;
    w.WriteMemos("-1,2000,12,30,그믐;\n");
    w->StartUp();
    w.Show("2025", "1");
    const int cell = w.CellOf("28");  // lunar 2024-12-29, the last day of that month (설날 전날)
    QVERIFY(cell >= 0);
    QVERIFY2(w.Third(cell).contains(" 그믐"), qPrintable(w.Third(cell)));
    QVERIFY(!w.Third(w.CellOf("27")).contains("그믐"));
  }

  void yearOutsidePlan404() {
    Window w;
    w->StartUp();
    w.Show("10001", "7");
    QCOMPARE(w.Texts(), QStringList{"연도 범위는 BC5000년 ~ 10000년 입니다.\n2024년 2월로 돌아갑니다."});
    QCOMPARE(w.messages.messages[0].caption, std::string("참고"));
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2024"));
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("2"));
    QCOMPARE(w.First(18), QString("15"));
    // BC 5000 is the first year accepted.
    w.Control<RadioGroup>("eraChoice")->Button(0)->click();
    w.Show("5000", "1");
    QCOMPARE(w.messages.messages.size(), size_t{1});
    QCOMPARE(w->App().Tables().LoadedYear, -4999);
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("5000"));
  }

  void missingDe441FallsBackToPlan404() {
    Window w;
    CalcSettings configured = DefaultSettings();
    configured.EphemerisCode = kEphemerisDe441;
    const std::string config = JoinPath(w.current.path().toStdString(), kConfigFileName);
    QVERIFY(SaveSettings(configured, config));
    w->StartUp();
    QCOMPARE(w.messages.messages.size(), size_t{1});
    const QString text = w.Texts()[0];
    QCOMPARE(text.count("DE441"), 3);
    QVERIFY(text.startsWith("JPL의 천체력 DE441을(를) 바이너리로 변환한\n파일명 DE441.jpl이 실행폴더에 없습니다.\n"
                            "만들어 넣어야 DE441을(를) 실행할 수 있습니다.\n기본으로 PLAN404를 실행합니다.\n\n찾아본 폴더:"));
    QVERIFY(text.contains(w.program.path() + "/Eph/"));
    QVERIFY(text.contains(w.current.path() + "/Eph/"));
    QCOMPARE(w.messages.messages[0].caption, std::string("참고"));
    std::string saved;
    QVERIFY(ReadWholeFile(config, saved));
    QVERIFY(saved.rfind("3,0", 0) == 0);
    QCOMPARE(w->App().Settings().EphemerisCode, int{kEphemerisPlan404});
    QCOMPARE(w.Control<RadioGroup>("ephemerisChoice")->ItemIndex(), 0);
    QCOMPARE(w.Control<QComboBox>("placeChoice")->count(), static_cast<int>(w->App().Places().rows.size()));
    QSet<QString> names;
    for (int i = 0; i < w.Control<QComboBox>("placeChoice")->count(); ++i) names.insert(w.Control<QComboBox>("placeChoice")->itemText(i));
    QCOMPARE(names.size(), w.Control<QComboBox>("placeChoice")->count());
    QCOMPARE(w.First(18), QString("15"));
  }

  void internalNutationSnapsBackUnderPlan404() {
    Window w;
    w->StartUp();
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::LeftButton);
    QVERIFY(w->SettingsRowVisible());
    QVERIFY(w.Control<RadioGroup>("ephemerisChoice")->isVisibleTo(w.form.get()));
    w.Control<RadioGroup>("nutationChoice")->Button(0)->click();
    QCOMPARE(w.Texts(), QStringList{"PLAN404에는 내부 장동data가 없습니다."});
    QCOMPARE(w.messages.messages[0].caption, std::string("참고"));
    QCOMPARE(w.Control<RadioGroup>("nutationChoice")->ItemIndex(), 1);
    QCOMPARE(w->App().ChosenSettings().NutationModel, int{kNutationIau2000B});
    // A DE441 that is not there: message, the choice stays PLAN404.
    w.Control<RadioGroup>("ephemerisChoice")->Button(2)->click();
    QVERIFY(w.Texts().last().startsWith("JPL의 천체력 DE441을 바이너리로 변환한\n파일명 DE441.jpl이 실행폴더에 없습니다.\n"
                                        "만들어 넣어야 합니다.\n\n찾아본 폴더:"));
    QCOMPARE(w.Control<RadioGroup>("ephemerisChoice")->ItemIndex(), 0);
    QCOMPARE(w->App().Settings().EphemerisCode, int{kEphemerisPlan404});
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::LeftButton);
    QVERIFY(!w->SettingsRowVisible());
    // A right press while the row is hidden does not show it.
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::RightButton);
    QVERIFY(!w->SettingsRowVisible());
  }

  void settingsChangeOnlyAtApply() {
    Window w;
    w->StartUp();
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::LeftButton);
    w.Control<RadioGroup>("timeSystemChoice")->Button(1)->click();  // Universal T
    QCOMPARE(w->App().ChosenSettings().TimeSystemCode, int{kTimeUT});
    QCOMPARE(w->App().Settings().TimeSystemCode, int{kTimeST});  // not yet in effect
    QCOMPARE(w->App().Tables().PreparedWith.TimeSystemCode, int{kTimeST});
    w.Control<BitButton>("applyButton")->click();
    QCOMPARE(w->App().Settings().TimeSystemCode, int{kTimeUT});
    QCOMPARE(w->App().Settings().ZoneOffsetDays, 0.0);
    QCOMPARE(w->App().Tables().PreparedWith.TimeSystemCode, int{kTimeUT});
    w.Control<RadioGroup>("timeSystemChoice")->Button(2)->click();
    w.Control<BitButton>("applyButton")->click();
    QCOMPARE(w->App().Settings().ZoneOffsetDays, 0.375);
    w.Control<QLineEdit>("userDeltaTInput")->setText("12.5");
    emit w.Control<QLineEdit>("userDeltaTInput")->editingFinished();
    QCOMPARE(w->App().ChosenSettings().UserDeltaT, 12.5);
    w.Control<RadioGroup>("precessionChoice")->Button(0)->click();
    QCOMPARE(w->App().ChosenSettings().PrecessionModel, int{kPrecessionOwen1990});
    // Closing saves the settings row as chosen, applied or not.
    w->close();
    std::string saved;
    QVERIFY(ReadWholeFile(JoinPath(w.current.path().toStdString(), kConfigFileName), saved));
    QVERIFY(saved.find("\n1,\t2;1/2,") != std::string::npos);
    QVERIFY(saved.find("\n2,12.500000,\t6;1~3,") != std::string::npos);
  }

  void placeChangeMovesATermAcrossMidnight() {
    Window w;
    w->StartUp();
    w.Show("2024", "1");
    QCOMPARE(w.Second(w.CellOf("6")), QString("11.25小寒소한"));
    QVERIFY(w.Second(w.CellOf("5")).startsWith("11.24"));
    const int london = FindPlaceByName(w->App().Places(), "영국*London");
    QVERIFY(london > 3);
    w.Control<QComboBox>("placeChoice")->setCurrentIndex(london);
    emit w.Control<QComboBox>("placeChoice")->activated(london);
    QCOMPARE(w->App().Settings().PlaceIndex, london);
    QCOMPARE(w->App().Settings().ZoneOffsetDays, 0.0);
    // In London the term falls on 5 January, and the eleventh month began on
    // 12 December with the new moon at 23:32 UT.
    QCOMPARE(w.Second(w.CellOf("5")), QString("11.25小寒소한"));
    QVERIFY(!w.Second(w.CellOf("6")).contains("小寒"));
    QCOMPARE(w.Control<InputEdit>("referenceBox")->text(), QString("영국*London의 확인시점 시각(섬머타임 미적용)은 15일 01시 30분"));
    QVERIFY(!w.Control<QCheckBox>("correctionBox")->isChecked());
    // Back to Seoul: the term returns to the 6th.
    emit w.Control<QComboBox>("placeChoice")->activated(0);
    QCOMPARE(w.Second(w.CellOf("6")), QString("11.25小寒소한"));
    QCOMPARE(w.Control<InputEdit>("referenceBox")->text(), QString("대한민국-서울의 확인시점 시각(섬머타임 미적용)은 15일 10시 30분"));
    // Refused correction outside the historical places.
    emit w.Control<QComboBox>("placeChoice")->activated(london);
    w.Show("1900", "1");
    QVERIFY(!w.Control<QCheckBox>("correctionBox")->isEnabled());
  }

  void referenceBoxCyclesItsTexts() {
    Window w;
    w->StartUp();
    QTest::mouseClick(w.Control<InputEdit>("referenceBox"), Qt::LeftButton);
    QCOMPARE(w.Control<InputEdit>("referenceBox")->text(), QString("섬머타임(확인시점 시각+1시간) ; 없음"));
    QTest::mouseClick(w.Control<InputEdit>("referenceBox"), Qt::LeftButton);
    QVERIFY(w.Control<InputEdit>("referenceBox")->text().startsWith(QString("대한민국-서울 현지시각 ")));
    QVERIFY(w.Control<InputEdit>("referenceBox")->text().contains(" KST (UTC+09:00, 섬머타임 아님)"));
    QTest::mouseClick(w.Control<InputEdit>("referenceBox"), Qt::LeftButton);
    QCOMPARE(w.Control<InputEdit>("referenceBox")->text(), QString("대한민국-서울의 확인시점 시각(섬머타임 미적용)은 15일 10시 30분"));
    // The month view writes its note; the cycle goes on where it was.
    w.Show("2024", "3");
    QCOMPARE(w.Control<InputEdit>("referenceBox")->text(), QString("그레고리(Gregory)曆 입니다."));
    QTest::mouseClick(w.Control<InputEdit>("referenceBox"), Qt::LeftButton);
    QCOMPARE(w.Control<InputEdit>("referenceBox")->text(), QString("섬머타임(확인시점 시각+1시간) ; 없음"));
  }

  void todayPanelAndCellSelection() {
    Window w;
    w->StartUp();
    w.Show("1999", "12");
    QTest::mousePress(w.Control<PressPanel>("todayPanel"), Qt::LeftButton);
    QVERIFY(w.Control<PressPanel>("todayPanel")->text() != QString("오늘"));
    QTest::mouseRelease(w.Control<PressPanel>("todayPanel"), Qt::LeftButton);
    QCOMPARE(w.Control<PressPanel>("todayPanel")->text(), QString("오늘"));
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2024"));
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("2"));
    QCOMPARE(w->App().Month().View().todayCell, 18);
    // Lunar mode: today is lunar 2024-01-06.
    w.Control<QRadioButton>("lunarViewButton")->click();
    QTest::mouseClick(w.Control<PressPanel>("todayPanel"), Qt::LeftButton);
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2024"));
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("1"));
    QCOMPARE(w.First(w->App().Month().View().todayCell), QString("6"));
    // Selecting 10 February shows that day's pillars; a cell outside, blanks.
    w.Control<QRadioButton>("solarViewButton")->click();
    w.Show("2024", "2");
    const int cell = w.CellOf("10");
    w.Grid()->setCurrentCell(cell / 7 * 3 + 1, cell % 7 + 1);
    QCOMPARE(w.Control<QLineEdit>("yearPillarBox")->text(), QString("甲辰年"));
    QCOMPARE(w.Control<QLineEdit>("monthPillarBox")->text(), QString("丙寅月 "));
    w.Grid()->setCurrentCell(1, 1);
    QCOMPARE(w.Control<QLineEdit>("yearPillarBox")->text(), QString(" "));
  }

  void badNumbersInTheInputs() {
    Window w;
    w->StartUp();
    w.Show("20x4", "2");
    QCOMPARE(w.messages.messages.size(), size_t{1});
    QCOMPARE(w.messages.messages[0].caption, std::string("오류"));
    QCOMPARE(w->App().Tables().LoadedYear, 2024);
    // The year of the month shown comes back.
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2024"));
    w.Control<InputEdit>("yearInput")->setText("abc");
    emit w.Control<InputEdit>("yearInput")->focusLost();
    QCOMPARE(w.messages.messages.size(), size_t{2});
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2024"));
  }

  // A JPL file under the name DE441.jpl (the DE405 file made at build time,
  // which covers 1959-12 .. 2060-01) in the program's "Eph" folder.
  void jplFileSpanAndHorizonsPreset() {
    if (!QFile::exists(ORVANTA_DE405_PATH)) QSKIP("no DE405 file in this build");
    Window w;
    QVERIFY(QDir(w.program.path()).mkdir("Eph"));
    QVERIFY(QFile::link(ORVANTA_DE405_PATH, w.program.filePath("Eph/DE441.jpl")));
    CalcSettings configured = DefaultSettings();
    configured.EphemerisCode = kEphemerisDe441;
    QVERIFY(SaveSettings(configured, JoinPath(w.current.path().toStdString(), kConfigFileName)));
    w->StartUp();
    QVERIFY(w.messages.messages.empty());
    QCOMPARE(w.Control<RadioGroup>("ephemerisChoice")->ItemIndex(), 2);
    QVERIFY(w->App().Ephemeris().IsOpen());
    QCOMPARE(QString::fromStdString(w->App().EphemerisFolder()), w.program.filePath("Eph/"));
    QCOMPARE(w.Second(w.CellOf("10")), QString("1.1 합삭"));
    // 1950 is a DE441 year but not one of this file: back to this year, with the notice.
    w.Show("1950", "6");
    QCOMPARE(w.Texts(), QStringList{"천체력 적용기간(1961~2058)을\n벗어남. 올해로 재 지정됨\n"});
    QCOMPARE(w.messages.messages[0].caption, std::string("알림"));
    QCOMPARE(w.Control<InputEdit>("yearInput")->text(), QString("2024"));
    QCOMPARE(w.Control<InputEdit>("monthInput")->text(), QString("2"));
    QCOMPARE(w->App().Tables().LoadedYear, 2024);
    // PLAN404 closes the file; the preset opens it again with its models.
    QTest::mouseClick(w.Control<BitButton>("aboutButton"), Qt::LeftButton);
    w.Control<RadioGroup>("ephemerisChoice")->Button(0)->click();
    QVERIFY(w->App().Ephemeris().IsOpen());  // PLAN404 chosen: the file closes when it takes effect
    w.Control<BitButton>("applyButton")->click();
    QVERIFY(!w->App().Ephemeris().IsOpen());
    w.Control<BitButton>("horizonsPresetButton")->click();
    QCOMPARE(w->App().Settings().EphemerisCode, int{kEphemerisPlan404});  // chosen, not yet applied
    const CalcSettings& s = w->App().ChosenSettings();
    QCOMPARE(s.EphemerisCode, int{kEphemerisDe441});
    QCOMPARE(s.PrecessionModel, int{kPrecessionOwen1990});
    QCOMPARE(s.NutationModel, int{kNutationInternal});
    QCOMPARE(s.ObliquityModel, int{kObliquityOwen1990});
    QCOMPARE(s.TimeSystemCode, int{kTimeST});
    QCOMPARE(s.DeltaTModelCode, int{kDeltaTHorizons});
    QCOMPARE(w.Control<RadioGroup>("ephemerisChoice")->ItemIndex(), 2);
    QCOMPARE(w.Control<RadioGroup>("precessionChoice")->ItemIndex(), 0);
    QCOMPARE(w.Control<RadioGroup>("nutationChoice")->ItemIndex(), 0);
    QCOMPARE(w.Control<RadioGroup>("obliquityChoice")->ItemIndex(), 0);
    w.Control<BitButton>("applyButton")->click();
    QVERIFY(w->App().Ephemeris().IsOpen());
    QCOMPARE(w->App().Settings().NutationModel, int{kNutationInternal});
    QCOMPARE(w.Second(w.CellOf("10")), QString("1.1 합삭"));
  }

  void horizonsPresetWithoutTheFile() {
    Window w;
    w->StartUp();
    w.Control<BitButton>("horizonsPresetButton")->click();
    QCOMPARE(w.Texts().size(), 1);
    QVERIFY(w.Texts()[0].startsWith("JPL의 천체력 DE441을 바이너리로 변환한\n파일명 DE441.jpl이 실행폴더에 없습니다.\n"
                                    "만들어 넣어야 합니다.\n\n찾아본 폴더:"));
    QCOMPARE(w->App().Settings().EphemerisCode, int{kEphemerisPlan404});
    QCOMPARE(w->App().Settings().PrecessionModel, int{kPrecessionIau2006});
  }

  // Lunar year 925 has a leap twelfth month in the Korean records (historical
  // tables, place code 0), whatever the computation gives.
  void correctionCheckBoxRebuildsTheLunarMonths() {
    Window w;
    w->StartUp();
    w.Control<QRadioButton>("lunarViewButton")->click();
    w.Show("925", "12");
    QCOMPARE(w.Texts(), QStringList{"필요에 따라 음력보정 체크해제 하세요"});
    QVERIFY(w.Control<QCheckBox>("correctionBox")->isChecked());
    QVERIFY(w->App().Tables().PreparedWith.PlaceIndex == 0);
    auto grid = [&] {
      QStringList cells;
      for (int r = 0; r < 19; ++r)
        for (int c = 0; c < 8; ++c) cells << w.Cell(c, r);
      return cells;
    };
    const QStringList regularCorrected = grid();
    w.Control<QCheckBox>("leapMonthBox")->click();
    QCOMPARE(w.messages.messages.size(), size_t{1});
    QVERIFY(w.Control<QCheckBox>("leapMonthBox")->isChecked());
    QCOMPARE(w.First(w->App().Month().View().LastCellBefore + 1), QString("윤12.1"));
    const QStringList leapCorrected = grid();
    w.Control<QCheckBox>("correctionBox")->click();  // off: the computed calendar, the leap wish cleared
    QVERIFY(!w.Control<QCheckBox>("correctionBox")->isChecked());
    QVERIFY(!w.Control<QCheckBox>("leapMonthBox")->isChecked());
    QVERIFY(!w->App().HistoricalCorrection());
    w.Control<QCheckBox>("correctionBox")->click();  // on again: exactly the corrected calendar
    QVERIFY(w.Control<QCheckBox>("correctionBox")->isChecked());
    QCOMPARE(grid(), regularCorrected);
    w.Control<QCheckBox>("leapMonthBox")->click();
    QCOMPARE(grid(), leapCorrected);
  }

  void painterStyles() {
    Window w;
    w.WriteMemos("1,2000,2,20,강조;\n1,2000,2,21,휴일:\n");
    w->StartUp();
    w.Show("2024", "2");
    const QImage image = w.Grid()->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    auto rectOf = [&](int cell, int line) {
      return w.Grid()->visualRect(w.Grid()->model()->index(cell / 7 * 3 + 1 + line, cell % 7 + 1));
    };
    auto pixel = [&](QPoint p) { return image.pixelColor(QPointF(p * ratio).toPoint()); };
    auto redPixels = [&](const QRect& r) {
      int n = 0;
      for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
          const QColor c = pixel({x, y});
          if (c.red() > 160 && c.green() < 80 && c.blue() < 80) ++n;
        }
      return n;
    };
    QCOMPARE(pixel(rectOf(18, 0).topLeft() + QPoint(3, 3)), QColor(0xFF, 0xFF, 0x00));  // today
    QCOMPARE(pixel(rectOf(18, 2).topRight() + QPoint(-6, 3)), QColor(0xFF, 0xFF, 0x00));
    QCOMPARE(pixel(rectOf(0, 0).topLeft() + QPoint(3, 3)), QColor(0x80, 0x00, 0x80));    // before the month
    QCOMPARE(pixel(rectOf(35, 0).topLeft() + QPoint(3, 3)), QColor(0x80, 0x00, 0x00));   // after it
    const int highlighted = w.CellOf("20");
    QCOMPARE(pixel(rectOf(highlighted, 2).topRight() + QPoint(-3, 3)), QColor(0xFF, 0xC0, 0xFF));
    // The holiday's day number is red on a Wednesday; the Tuesday before is not.
    QVERIFY(redPixels(rectOf(w.CellOf("21"), 0)) > 20);
    QCOMPARE(redPixels(rectOf(highlighted, 0)), 0);
    // The file's marker is the style, not a character of the name.
    QVERIFY(w.Third(highlighted).endsWith(" 강조"));
  }

  void screenshotIsWritten() {
    Window w;
    const QString file = w.current.filePath("shot.png");
    QVERIFY(w->SaveScreenshot(file));
    QImage image(file);
    QVERIFY(!image.isNull());
    QVERIFY(image.width() >= 550);
    QVERIFY(image.height() >= 450);
  }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
