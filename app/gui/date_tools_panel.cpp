#include "app/gui/date_tools_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/core/anniversaries.h"
#include "app/core/simulation/date_tools.h"
#include "app/core/simulation/simulation.h"
#include "app/gui/controls.h"

namespace orv {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Largest year, month or day number accepted by the calendar fields of the
// converter (beyond them the Julian Day arithmetic would overflow).
constexpr int kLargestConverterYear = 1000000;

}  // namespace

DateToolsPanel::DateToolsPanel(MessageSink& messages, QWidget* parent) : QWidget(parent), messages_(messages) {
  setObjectName("dateTools");
  BuildControls();
}

void DateToolsPanel::BuildControls() {
  // The two groups sit in the simulation window's column as if they were
  // its own: no margin of their own around them.
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(0, 0, 0, 0);

  // --- 경과날짜계산 ------------------------------------------------------------
  dateToolsGroup_ = Named(new QGroupBox("경과날짜계산", this), "dateToolsGroup");
  auto* elapsed = new QVBoxLayout(dateToolsGroup_);
  auto* e1 = new QHBoxLayout;
  elapsedFromYearInput_ = NumberField(dateToolsGroup_, "elapsedFromYearInput", 56);
  elapsedFromMonthInput_ = NumberField(dateToolsGroup_, "elapsedFromMonthInput", 32);
  elapsedFromDayInput_ = NumberField(dateToolsGroup_, "elapsedFromDayInput", 32);
  elapsedDaysInput_ = NumberField(dateToolsGroup_, "elapsedDaysInput", 64);
  elapsedDateButton_ = Named(new QPushButton("는 ???", dateToolsGroup_), "elapsedDateButton");
  elapsedYearOutput_ = NumberField(dateToolsGroup_, "elapsedYearOutput", 56);
  elapsedMonthOutput_ = NumberField(dateToolsGroup_, "elapsedMonthOutput", 32);
  elapsedDayOutput_ = NumberField(dateToolsGroup_, "elapsedDayOutput", 32);
  e1->addWidget(elapsedFromYearInput_);
  AddLabel(e1, "년", dateToolsGroup_);
  e1->addWidget(elapsedFromMonthInput_);
  AddLabel(e1, "월", dateToolsGroup_);
  e1->addWidget(elapsedFromDayInput_);
  AddLabel(e1, "일 부터", dateToolsGroup_);
  e1->addWidget(elapsedDaysInput_);
  AddLabel(e1, "일째", dateToolsGroup_);
  e1->addWidget(elapsedDateButton_);
  e1->addWidget(elapsedYearOutput_);
  AddLabel(e1, "년", dateToolsGroup_);
  e1->addWidget(elapsedMonthOutput_);
  AddLabel(e1, "월", dateToolsGroup_);
  e1->addWidget(elapsedDayOutput_);
  AddLabel(e1, "일", dateToolsGroup_);
  e1->addStretch(1);
  elapsed->addLayout(e1);
  auto* e2 = new QHBoxLayout;
  betweenFromYearInput_ = NumberField(dateToolsGroup_, "betweenFromYearInput", 56);
  betweenFromMonthInput_ = NumberField(dateToolsGroup_, "betweenFromMonthInput", 32);
  betweenFromDayInput_ = NumberField(dateToolsGroup_, "betweenFromDayInput", 32);
  betweenToYearInput_ = NumberField(dateToolsGroup_, "betweenToYearInput", 56);
  betweenToMonthInput_ = NumberField(dateToolsGroup_, "betweenToMonthInput", 32);
  betweenToDayInput_ = NumberField(dateToolsGroup_, "betweenToDayInput", 32);
  daysBetweenButton_ = Named(new QPushButton("는 ???", dateToolsGroup_), "daysBetweenButton");
  daysBetweenOutput_ = NumberField(dateToolsGroup_, "daysBetweenOutput", 72);
  for (QLineEdit* f : {betweenFromYearInput_, betweenFromMonthInput_, betweenFromDayInput_}) e2->addWidget(f);
  AddLabel(e2, "일 부터", dateToolsGroup_);
  for (QLineEdit* f : {betweenToYearInput_, betweenToMonthInput_, betweenToDayInput_}) e2->addWidget(f);
  AddLabel(e2, "일 까지", dateToolsGroup_);
  e2->addWidget(daysBetweenButton_);
  e2->addWidget(daysBetweenOutput_);
  AddLabel(e2, "일째", dateToolsGroup_);
  e2->addStretch(1);
  elapsed->addLayout(e2);
  koreanDayCountLabel_ = Named(new QLabel(dateToolsGroup_), "koreanDayCountLabel");
  koreanDayCountLabel_->setToolTip("위 계산은 첫날에 날수를 더합니다(1월 1일부터 100일째 = 4월 11일). "
                                   "기념일처럼 첫날을 1일로 세면 1월 1일의 100일째는 4월 10일입니다.");
  elapsed->addWidget(koreanDayCountLabel_);
  top->addWidget(dateToolsGroup_);

  // --- Julian, Calendar Date(UT 기준) -------------------------------------------
  julianDayGroup_ = Named(new QGroupBox("Julian, Calendar Date(UT 기준)", this), "julianDayGroup");
  auto* julian = new QGridLayout(julianDayGroup_);
  // Columns: label, Julian Date, button, the six calendar fields, button, Julian Date.
  constexpr int kFirstCalendarColumn = 3;
  julian->addWidget(new QLabel("년     월      일      시      분          초", julianDayGroup_), 0,
                    kFirstCalendarColumn, 1, 6);
  julian->addWidget(new QLabel("Julian Date", julianDayGroup_), 1, 0);
  julianDayInput_ = NumberField(julianDayGroup_, "julianDayInput", 120);
  julianDayInput_->setText("2451544.5");
  toCalendarButton_ = Named(new QPushButton("달력으로", julianDayGroup_), "toCalendarButton");
  julian->addWidget(julianDayInput_, 1, 1);
  julian->addWidget(toCalendarButton_, 1, 2);
  calendarYearOutput_ = NumberField(julianDayGroup_, "calendarYearOutput", 56);
  calendarMonthOutput_ = NumberField(julianDayGroup_, "calendarMonthOutput", 32);
  calendarDayOutput_ = NumberField(julianDayGroup_, "calendarDayOutput", 32);
  calendarHourOutput_ = NumberField(julianDayGroup_, "calendarHourOutput", 32);
  calendarMinuteOutput_ = NumberField(julianDayGroup_, "calendarMinuteOutput", 32);
  calendarSecondOutput_ = NumberField(julianDayGroup_, "calendarSecondOutput", 72);
  calendarYearInput_ = NumberField(julianDayGroup_, "calendarYearInput", 56);
  calendarMonthInput_ = NumberField(julianDayGroup_, "calendarMonthInput", 32);
  calendarDayInput_ = NumberField(julianDayGroup_, "calendarDayInput", 32);
  calendarHourInput_ = NumberField(julianDayGroup_, "calendarHourInput", 32);
  calendarMinuteInput_ = NumberField(julianDayGroup_, "calendarMinuteInput", 32);
  calendarSecondInput_ = NumberField(julianDayGroup_, "calendarSecondInput", 72);
  const char* const calendarDefaults[6] = {"2000", "1", "1", "0", "0", "0"};
  int k = 0;
  for (QLineEdit* f : {calendarYearOutput_, calendarMonthOutput_, calendarDayOutput_, calendarHourOutput_,
                       calendarMinuteOutput_, calendarSecondOutput_}) {
    f->setText(calendarDefaults[k]);
    julian->addWidget(f, 1, kFirstCalendarColumn + k++);
  }
  k = 0;
  for (QLineEdit* f : {calendarYearInput_, calendarMonthInput_, calendarDayInput_, calendarHourInput_,
                       calendarMinuteInput_, calendarSecondInput_}) {
    f->setText(calendarDefaults[k]);
    julian->addWidget(f, 2, kFirstCalendarColumn + k++);
  }
  toJulianDayButton_ = Named(new QPushButton("줄리언으로", julianDayGroup_), "toJulianDayButton");
  julianDayOutput_ = NumberField(julianDayGroup_, "julianDayOutput", 120);
  julianDayOutput_->setText("2451544.5");
  julian->addWidget(toJulianDayButton_, 2, kFirstCalendarColumn + 6);
  julian->addWidget(julianDayOutput_, 2, kFirstCalendarColumn + 7);
  julian->setColumnStretch(kFirstCalendarColumn + 8, 1);
  top->addWidget(julianDayGroup_);

  connect(elapsedDateButton_, &QPushButton::clicked, this, &DateToolsPanel::computeElapsedDate);
  connect(daysBetweenButton_, &QPushButton::clicked, this, &DateToolsPanel::computeDaysBetween);
  connect(toCalendarButton_, &QPushButton::clicked, this, &DateToolsPanel::convertJulianDayToCalendar);
  connect(toJulianDayButton_, &QPushButton::clicked, this, &DateToolsPanel::convertCalendarToJulianDay);
}

void DateToolsPanel::StartFrom(const CivilDate& date) {
  for (auto [y, m, d] : {std::tuple{elapsedFromYearInput_, elapsedFromMonthInput_, elapsedFromDayInput_},
                         std::tuple{betweenFromYearInput_, betweenFromMonthInput_, betweenFromDayInput_},
                         std::tuple{betweenToYearInput_, betweenToMonthInput_, betweenToDayInput_}}) {
    y->setText(QString::number(date.year));
    m->setText(QString::number(date.month));
    d->setText(QString::number(date.day));
  }
  elapsedDaysInput_->setText("0");
  daysBetweenOutput_->setText("0");
}

void DateToolsPanel::computeElapsedDate() {
  int y, m, d, n;
  if (!ReadIntField(*elapsedFromYearInput_, y, messages_) || !ReadIntField(*elapsedFromMonthInput_, m, messages_) ||
      !ReadIntField(*elapsedFromDayInput_, d, messages_))
    return;
  if (!IsUsableDate(y, m, d)) {
    messages_.Show(InvalidDateMessage(y, m, d), "오류", MessageButtons::Ok, MessageIcon::Error);
    return;
  }
  if (!ReadIntField(*elapsedDaysInput_, n, messages_)) return;
  CivilDate result;
  if (!ElapsedDate(y, m, d, n, result, messages_)) return;
  elapsedYearOutput_->setText(QString::number(result.year));
  elapsedMonthOutput_->setText(QString::number(result.month));
  elapsedDayOutput_->setText(QString::number(result.day));
  if (n >= 1) {
    const CivilDate counted = DateOfDayNumber({y, m, d}, n);
    koreanDayCountLabel_->setText(QString::asprintf("첫날을 1일로 세면 %d일째는 %d년 %d월 %d일", n, counted.year,
                                                    counted.month, counted.day));
  } else {
    koreanDayCountLabel_->clear();
  }
  emit dateUsed({y, m, d});
}

void DateToolsPanel::computeDaysBetween() {
  CivilDate first, second;
  if (!ReadIntField(*betweenFromYearInput_, first.year, messages_) ||
      !ReadIntField(*betweenFromMonthInput_, first.month, messages_) ||
      !ReadIntField(*betweenFromDayInput_, first.day, messages_) ||
      !ReadIntField(*betweenToYearInput_, second.year, messages_) ||
      !ReadIntField(*betweenToMonthInput_, second.month, messages_) ||
      !ReadIntField(*betweenToDayInput_, second.day, messages_))
    return;
  long long days = 0;
  if (!DaysBetweenDates(first, second, days, messages_)) return;
  daysBetweenOutput_->setText(QString::number(days));
  if (days >= 0)
    koreanDayCountLabel_->setText(QString::asprintf("첫날을 1일로 세면 %d일째", DayNumberOf(first, second)));
  else
    koreanDayCountLabel_->clear();
  emit dateUsed(first);
}

void DateToolsPanel::convertJulianDayToCalendar() {
  double jd = 0.0;
  if (!ReadDoubleField(*julianDayInput_, jd, messages_)) return;
  CivilDateTime c;
  if (!JulianDateToCalendarFields(jd, c)) {
    messages_.Show(("'" + julianDayInput_->text() + "'은(는) 범위를 벗어난 값입니다.").toStdString(), "오류",
                   MessageButtons::Ok, MessageIcon::Error);
    return;
  }
  calendarYearOutput_->setText(QString::number(c.year));
  calendarMonthOutput_->setText(QString::number(c.month));
  calendarDayOutput_->setText(QString::number(c.day));
  calendarHourOutput_->setText(QString::number(c.hour));
  calendarMinuteOutput_->setText(QString::number(c.minute));
  calendarSecondOutput_->setText(Q(ShortestDecimalText(c.seconds)));
}

void DateToolsPanel::convertCalendarToJulianDay() {
  int y, m, d;
  double h, mi, s;
  if (!ReadIntField(*calendarYearInput_, y, messages_) || !ReadIntField(*calendarMonthInput_, m, messages_) ||
      !ReadIntField(*calendarDayInput_, d, messages_) || !ReadDoubleField(*calendarHourInput_, h, messages_) ||
      !ReadDoubleField(*calendarMinuteInput_, mi, messages_) || !ReadDoubleField(*calendarSecondInput_, s, messages_))
    return;
  if (y < -kLargestConverterYear || y > kLargestConverterYear || m < -kLargestConverterYear ||
      m > kLargestConverterYear || d < -kLargestConverterYear || d > kLargestConverterYear) {
    messages_.Show(("'" + calendarYearInput_->text() + "'은(는) 범위를 벗어난 값입니다.").toStdString(), "오류",
                   MessageButtons::Ok, MessageIcon::Error);
    return;
  }
  julianDayOutput_->setText(Q(ShortestDecimalText(CalendarFieldsToJulianDate(y, m, d, h, mi, s))));
}

}  // namespace orv
