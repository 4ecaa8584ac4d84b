#include "app/gui/month_input_row.h"

#include <QBoxLayout>
#include <algorithm>
#include <initializer_list>

#include "app/gui/month_grid.h"

namespace orv {
namespace {

constexpr int kYearMaxChars = 6;
constexpr int kMonthMaxChars = 2;
constexpr double kTodayFontPoints = 12;
constexpr double kCreditFontPoints = 10;
constexpr double kPillarBoxFontPoints = 11;
constexpr double kPillarLineFontPoints = 9;

constexpr const char* kCreditLine = "Orvanta 천문 만세력";

const QString kRedBackground = "background-color: #FF0000;";

QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

MonthInputRow::MonthInputRow(CalendarApp& app, QWidget* parent) : QWidget(parent), app_(app) {
  setObjectName("monthInputRow");
  auto* inputRow = new QHBoxLayout(this);
  inputRow->setContentsMargins(0, 0, 0, 0);
  inputRow->setSpacing(3);
  yearInput = Named(new InputEdit(this), "yearInput");
  yearInput->setMaxLength(kYearMaxChars);
  yearInput->setFixedWidth(58);
  yearInput->setToolTip("BC1년은 0, BC2년은 -1과 같습니다.");
  yearStepper = Named(new UpDown(this), "yearStepper");
  eraChoice = Named(new RadioGroup("", {"BC", "AD"}, this, false), "eraChoice");
  auto* yearLabel = new QLabel("년", this);
  monthInput = Named(new InputEdit(this), "monthInput");
  monthInput->setMaxLength(kMonthMaxChars);
  monthInput->setFixedWidth(30);
  monthStepper = Named(new UpDown(this), "monthStepper");
  auto* monthLabel = new QLabel("월", this);
  calendarKindGroup = Named(new QGroupBox("표시력", this), "calendarKindGroup");
  auto* displayLayout = new QHBoxLayout(calendarKindGroup);
  displayLayout->setContentsMargins(6, 2, 6, 2);
  solarViewButton = Named(new QRadioButton("양력", calendarKindGroup), "solarViewButton");
  lunarViewButton = Named(new QRadioButton("음력", calendarKindGroup), "lunarViewButton");
  displayLayout->addWidget(solarViewButton);
  displayLayout->addWidget(lunarViewButton);
  leapMonthBox = Named(new QCheckBox("윤달", this), "leapMonthBox");
  correctionBox = Named(new QCheckBox("보정", this), "correctionBox");
  correctionBox->setToolTip("윤달지정 및 달의 대소를 역사기록과 맞춥니다(2년~1911년사이)");
  showMonthButton = Named(new BitButton("달력보기", this), "showMonthButton");
  todayPanel = Named(new PressPanel("오늘", this), "todayPanel");
  todayPanel->setToolTip("오늘의 달력으로 되돌아 갑니다.");
  todayPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  todayPanel->setAlignment(Qt::AlignCenter);
  todayPanel->setFont(GridFont(kTodayFontPoints, true));
  // A fixed width: the credit line shown while the panel is pressed is wider
  // than "오늘" and must not widen the row, and a panel the layout may shrink
  // was squeezed to nothing and covered by the pillar boxes.
  todayPanel->setFixedWidth(std::max(64, todayPanel->sizeHint().width() + 16));
  for (QWidget* w : std::initializer_list<QWidget*>{yearInput, yearStepper, yearLabel, eraChoice, monthInput, monthStepper,
                                                    monthLabel, calendarKindGroup, leapMonthBox, correctionBox, showMonthButton,
                                                    todayPanel})
    inputRow->addWidget(w);
  // Pillars and progress on the same row: the menu bar took the height of
  // a row of its own, and the window must still fit a 768-pixel screen.
  yearPillarBox = Named(new QLineEdit("歲次", this), "yearPillarBox");
  monthPillarBox = Named(new QLineEdit("月建", this), "monthPillarBox");
  for (QLineEdit* e : {yearPillarBox, monthPillarBox}) {
    e->setReadOnly(true);
    e->setFixedWidth(72);
    e->setAlignment(Qt::AlignCenter);
    e->setFocusPolicy(Qt::NoFocus);
    e->setFont(GridFont(kPillarBoxFontPoints, true));
  }
  progressBar = Named(new QProgressBar(this), "progressBar");
  progressBar->setRange(0, 100);
  progressBar->setValue(0);
  progressBar->setTextVisible(false);
  progressBar->setFixedHeight(12);
  inputRow->addWidget(yearPillarBox);
  inputRow->addWidget(monthPillarBox);
  pillarLine = Named(new QLabel(this), "PillarLine");
  pillarLine->setFont(GridFont(kPillarLineFontPoints));
  pillarLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // The line may be cut in a narrow window; its tooltip then shows it whole.
  pillarLine->setMinimumWidth(120);
  pillarLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  inputRow->addWidget(pillarLine, 3);
  progressBar->setFixedWidth(24);
  inputRow->addWidget(progressBar);

  // Until the first state is shown: the solar view, without a leap month.
  solarViewButton->setChecked(true);
  leapMonthBox->setEnabled(false);

  connect(yearStepper, &UpDown::clicked, this, &MonthInputRow::StepYear);
  connect(monthStepper, &UpDown::clicked, this, &MonthInputRow::StepMonth);
  for (InputEdit* edit : {yearInput, monthInput}) {
    connect(edit, &InputEdit::enterReleased, this, [this] { Rebuild([&] { app_.ShowInputs(); }); });
    connect(edit, &InputEdit::focusLost, this, [this, edit] { InputLeft(edit); });
  }
  connect(showMonthButton, &QPushButton::clicked, this, &MonthInputRow::ShowInputMonth);
  connect(eraChoice, &RadioGroup::clicked, this, [this](int) { Rebuild([&] { app_.ShowInputs(); }); });
  connect(solarViewButton, &QRadioButton::clicked, this,
          [this] { Rebuild([&] { app_.SetDisplayMode(DisplayMode::Solar); }); });
  connect(lunarViewButton, &QRadioButton::clicked, this,
          [this] { Rebuild([&] { app_.SetDisplayMode(DisplayMode::Lunar); }); });
  connect(leapMonthBox, &QCheckBox::clicked, this, [this] { Toggle([&] { app_.ToggleLeapMonth(); }); });
  connect(correctionBox, &QCheckBox::clicked, this, [this] { Toggle([&] { app_.ToggleCorrection(); }); });
  connect(todayPanel, &PressPanel::mouseDown, this, &MonthInputRow::todayPressed);
  connect(todayPanel, &PressPanel::mouseUp, this, &MonthInputRow::todayReleased);
}

// --- Reading and showing -------------------------------------------------------------

bool MonthInputRow::ReadInputs() {
  bool yearOk = false, monthOk = false;
  const int year = yearInput->text().trimmed().toInt(&yearOk);
  const int month = monthInput->text().trimmed().toInt(&monthOk);
  if (!yearOk || !monthOk) {
    RejectInput(!yearOk ? yearInput : monthInput);
    return false;
  }
  app_.SetInputs({year, eraChoice->ItemIndex() != 0, month});
  return true;
}

void MonthInputRow::RejectInput(QLineEdit* edit) {
  if (rejecting_) return;
  rejecting_ = true;
  const QString bad = edit->text();
  const QString what = edit == yearInput ? "연도" : "월";
  app_.Messages().Show(("'" + bad + "'은(는) 올바른 정수 값이 아닙니다.\n" + what +
                        "는 숫자로 입력하세요. 앞의 값으로 되돌립니다.")
                           .toStdString(),
                       "오류", MessageButtons::Ok, MessageIcon::Error);
  // The value of the month shown comes back.
  yearInput->setText(QString::number(app_.Inputs().yearNumber));
  monthInput->setText(QString::number(app_.Inputs().month));
  rejecting_ = false;
}

void MonthInputRow::InputLeft(QLineEdit* edit) {
  bool ok = false;
  edit->text().trimmed().toInt(&ok);
  if (!ok) RejectInput(edit);
}

void MonthInputRow::ShowInputs() {
  const CalendarApp& a = app_;
  yearInput->setText(QString::number(a.Inputs().yearNumber));
  monthInput->setText(QString::number(a.Inputs().month));
  eraChoice->SetItemIndex(a.Inputs().eraAD ? 1 : 0);
  solarViewButton->setChecked(a.Mode() == DisplayMode::Solar);
  lunarViewButton->setChecked(a.Mode() == DisplayMode::Lunar);
  leapMonthBox->setEnabled(a.Mode() == DisplayMode::Lunar);
  leapMonthBox->setChecked(a.Mode() == DisplayMode::Lunar && a.LeapMonthWanted());
  correctionBox->setEnabled(a.CorrectionEnabled());
  correctionBox->setChecked(a.HistoricalCorrection());
}

void MonthInputRow::ShowDayPillars() {
  yearPillarBox->setText(Q(app_.Month().YearPillarText()));
  monthPillarBox->setText(Q(app_.Month().MonthPillarText()));
}

void MonthInputRow::ShowMonthPillars() {
  const MonthViewModel& month = app_.Month();
  ShowDayPillars();
  monthPillarBox->setStyleSheet(month.MonthPillarRed() ? kRedBackground : QString());
  pillarLine->setText(Q(month.TermPillarLine()));
  pillarLine->setToolTip(Q(month.TermPillarLine()) + "\n절기력: 해는 입춘에, 달은 각 절(節)에 바뀝니다");
}

void MonthInputRow::ShowProgress(int percent) {
  progressBar->setValue(percent);
  progressBar->repaint();
}

// --- Moving the month ------------------------------------------------------------------

template <typename Action>
void MonthInputRow::Rebuild(Action action) {
  if (!ReadInputs()) return;
  action();
  emit monthChanged();
}

template <typename Action>
void MonthInputRow::Toggle(Action action) {
  if (!ReadInputs()) {
    ShowInputs();
    return;
  }
  action();
  emit monthChanged();
}

void MonthInputRow::StepYear(bool up) {
  Rebuild([&] { app_.StepYear(up); });
}

void MonthInputRow::StepMonth(bool up) {
  Rebuild([&] { app_.StepMonth(up); });
}

void MonthInputRow::ShowInputMonth() {
  Rebuild([&] { app_.ShowInputsKeepingLeap(); });
}

void MonthInputRow::GoToToday() {
  app_.GoToToday();
  emit monthChanged();
}

void MonthInputRow::todayPressed() {
  todayPanel->setFont(GridFont(kCreditFontPoints));
  todayPanel->setText(kCreditLine);
}

void MonthInputRow::todayReleased() {
  todayPanel->setFont(GridFont(kTodayFontPoints, true));
  todayPanel->setText("오늘");
  GoToToday();
}

}  // namespace orv
