// The date tools on their own, headless, with the messages recorded: the date
// some days after a date, the days between two dates with the count that
// takes the first day as day 1, and the Julian Date converter both ways.
//
// Expected values: the 1582 reform (Thursday 4 October followed by Friday
// 15 October; JD 2299160.5 is 1582-10-15 00:00, JD 2299159.5 is 1582-10-04),
// JD 2451544.5 = 2000-01-01 00:00 (Meeus, Astronomical Algorithms, ch. 7),
// 2024 a leap year, and the Korean way of counting days (the 100th day from
// 1 January 2026 is 10 April 2026).
#include <QSignalSpy>
#include <QtTest>

#include "app/core/messages.h"
#include "app/gui/date_tools_panel.h"
#include "gui/window_fixture.h"

using namespace orv;
using orv::testing::Control;

namespace {

// A panel with its messages recorded.
struct Panel {
  RecordingMessageSink messages;
  DateToolsPanel panel{messages};

  QString Text(const char* name) const { return Control<QLineEdit>(&panel, name)->text(); }
  void Type(std::initializer_list<std::pair<const char*, QString>> fields) {
    for (const auto& [name, text] : fields) Control<QLineEdit>(&panel, name)->setText(text);
  }
  void Press(const char* button) { Control<QPushButton>(&panel, button)->click(); }
  QString CountLabel() const { return Control<QLabel>(&panel, "koreanDayCountLabel")->text(); }
  QString Last() const {
    return messages.messages.empty() ? QString() : QString::fromStdString(messages.messages.back().text);
  }
};

QString N(int value) { return QString::number(value); }

}  // namespace

class DateToolsPanelTest : public QObject {
  Q_OBJECT
 private slots:
  void startsFromTheGivenDate() {
    Panel p;
    p.Type({{"elapsedDaysInput", "12"}, {"daysBetweenOutput", "7"}});
    p.panel.StartFrom({2001, 3, 4});
    for (const char* name : {"elapsedFromYearInput", "betweenFromYearInput", "betweenToYearInput"})
      QCOMPARE(p.Text(name), QString("2001"));
    for (const char* name : {"elapsedFromMonthInput", "betweenFromMonthInput", "betweenToMonthInput"})
      QCOMPARE(p.Text(name), QString("3"));
    for (const char* name : {"elapsedFromDayInput", "betweenFromDayInput", "betweenToDayInput"})
      QCOMPARE(p.Text(name), QString("4"));
    QCOMPARE(p.Text("elapsedDaysInput"), QString("0"));
    QCOMPARE(p.Text("daysBetweenOutput"), QString("0"));
    QCOMPARE(p.Text("julianDayInput"), QString("2451544.5"));
    QCOMPARE(p.Text("julianDayOutput"), QString("2451544.5"));
  }

  // "N 일째" adds N days; the count beside it takes the first day as day 1.
  void elapsedDate() {
    const struct {
      int year, month, day, days;
      const char* result;
      const char* koreanCount;
    } cases[] = {
        {1582, 10, 4, 1, "1582-10-15", "첫날을 1일로 세면 1일째는 1582년 10월 4일"},
        {2026, 1, 1, 100, "2026-4-11", "첫날을 1일로 세면 100일째는 2026년 4월 10일"},
        {2024, 3, 1, -1, "2024-2-29", ""},
        {2000, 1, 1, 0, "2000-1-1", ""},
    };
    for (const auto& c : cases) {
      Panel p;
      QSignalSpy used(&p.panel, &DateToolsPanel::dateUsed);
      p.Type({{"elapsedFromYearInput", N(c.year)}, {"elapsedFromMonthInput", N(c.month)},
              {"elapsedFromDayInput", N(c.day)}, {"elapsedDaysInput", N(c.days)}});
      p.Press("elapsedDateButton");
      QCOMPARE(p.Text("elapsedYearOutput") + "-" + p.Text("elapsedMonthOutput") + "-" + p.Text("elapsedDayOutput"),
               QString(c.result));
      QCOMPARE(p.CountLabel(), QString(c.koreanCount));
      QCOMPARE(used.size(), 1);
      QVERIFY((used[0][0].value<CivilDate>() == CivilDate{c.year, c.month, c.day}));
      QVERIFY(p.messages.messages.empty());
    }
  }

  void daysBetween() {
    const struct {
      int fromYear, fromMonth, fromDay, toYear, toMonth, toDay;
      const char* days;
      const char* koreanCount;
    } cases[] = {
        {2000, 1, 1, 1999, 12, 31, "-1", ""},
        {2026, 1, 1, 2026, 4, 10, "99", "첫날을 1일로 세면 100일째"},
        {1582, 10, 4, 1582, 10, 15, "1", "첫날을 1일로 세면 2일째"},
        {2024, 2, 1, 2024, 3, 1, "29", "첫날을 1일로 세면 30일째"},
    };
    for (const auto& c : cases) {
      Panel p;
      QSignalSpy used(&p.panel, &DateToolsPanel::dateUsed);
      p.Type({{"betweenFromYearInput", N(c.fromYear)}, {"betweenFromMonthInput", N(c.fromMonth)},
              {"betweenFromDayInput", N(c.fromDay)}, {"betweenToYearInput", N(c.toYear)},
              {"betweenToMonthInput", N(c.toMonth)}, {"betweenToDayInput", N(c.toDay)}});
      p.Press("daysBetweenButton");
      QCOMPARE(p.Text("daysBetweenOutput"), QString(c.days));
      QCOMPARE(p.CountLabel(), QString(c.koreanCount));
      QCOMPARE(used.size(), 1);
      QVERIFY((used[0][0].value<CivilDate>() == CivilDate{c.fromYear, c.fromMonth, c.fromDay}));
    }
  }

  // A date that does not exist or a field that is not a number: one message,
  // the results as they were and no date remembered.
  void badInputLeavesTheResults() {
    const struct {
      std::vector<std::pair<const char*, QString>> fields;
      const char* button;
      const char* message;
      const char* output;
      const char* kept;
    } cases[] = {
        {{{"elapsedFromYearInput", "1582"}, {"elapsedFromMonthInput", "10"}, {"elapsedFromDayInput", "10"}},
         "elapsedDateButton", "1582년10월10일은 날짜가 존재하지 않습니다.", "elapsedDayOutput", ""},
        {{{"elapsedDaysInput", "열흘"}}, "elapsedDateButton", "'열흘'은(는) 올바른 정수 값이 아닙니다.",
         "elapsedDayOutput", ""},
        {{{"betweenToMonthInput", "2.5"}}, "daysBetweenButton", "'2.5'은(는) 올바른 정수 값이 아닙니다.",
         "daysBetweenOutput", "0"},
        {{{"calendarHourInput", "x"}}, "toJulianDayButton", "'x'은(는) 올바른 실수 값이 아닙니다.", "julianDayOutput",
         "2451544.5"},
        {{{"julianDayInput", "1e300"}}, "toCalendarButton", "'1e300'은(는) 범위를 벗어난 값입니다.",
         "calendarYearOutput", "2000"},
    };
    for (const auto& c : cases) {
      Panel p;
      p.panel.StartFrom({2024, 2, 15});
      QSignalSpy used(&p.panel, &DateToolsPanel::dateUsed);
      for (const auto& [name, text] : c.fields) p.Type({{name, text}});
      p.Press(c.button);
      QCOMPARE(p.messages.messages.size(), size_t{1});
      QCOMPARE(p.Last(), QString(c.message));
      QCOMPARE(p.messages.messages.back().caption, std::string("오류"));
      QCOMPARE(p.Text(c.output), QString(c.kept));
      QCOMPARE(used.size(), 0);
    }
  }

  void julianDateToCalendar() {
    const struct {
      const char* julianDate;
      QStringList fields;
    } cases[] = {
        {"2299160.5", {"1582", "10", "15", "0", "0", "0"}},
        {"2299159.5", {"1582", "10", "4", "0", "0", "0"}},
        {"2451545.25", {"2000", "1", "1", "18", "0", "0"}},
    };
    for (const auto& c : cases) {
      Panel p;
      p.Type({{"julianDayInput", c.julianDate}});
      p.Press("toCalendarButton");
      QStringList fields;
      for (const char* name : {"calendarYearOutput", "calendarMonthOutput", "calendarDayOutput", "calendarHourOutput",
                               "calendarMinuteOutput", "calendarSecondOutput"})
        fields << p.Text(name);
      QCOMPARE(fields, c.fields);
    }
  }

  void calendarToJulianDate() {
    const struct {
      const char* year;
      const char* month;
      const char* day;
      const char* hour;
      const char* julianDate;
    } cases[] = {
        {"2000", "1", "1", "0", "2451544.5"},
        {"2000", "1", "1", "18", "2451545.25"},
        {"1582", "10", "15", "0", "2299160.5"},
    };
    for (const auto& c : cases) {
      Panel p;
      p.Type({{"calendarYearInput", c.year}, {"calendarMonthInput", c.month}, {"calendarDayInput", c.day},
              {"calendarHourInput", c.hour}, {"calendarMinuteInput", "0"}, {"calendarSecondInput", "0"}});
      p.Press("toJulianDayButton");
      QCOMPARE(p.Text("julianDayOutput"), QString(c.julianDate));
    }
  }
};

QTEST_MAIN(DateToolsPanelTest)
#include "tst_date_tools_panel.moc"
