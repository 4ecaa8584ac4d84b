#include "app/gui/simulation_window.h"

#include "app/core/files/files.h"
#include "app/core/simulation/output_size.h"
#include "app/core/simulation/series_table.h"
#include "app/gui/series_plot_dialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <cmath>

#include "app/core/anniversaries.h"
#include "app/core/simulation/date_tools.h"
#include "app/core/files/editor.h"
#include "app/gui/controls.h"
#include "app/gui/desktop.h"

namespace orv {
namespace {
// How often a run lets the windows handle their events, in milliseconds.
constexpr qint64 kEventIntervalMs = 50;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// A short number field.
QLineEdit* Field(QWidget* parent, const char* name, int width = 48) {
  auto* edit = Named(new QLineEdit(parent), name);
  edit->setFixedWidth(width);
  return edit;
}

void AddLabel(QBoxLayout* row, const QString& text, QWidget* parent) { row->addWidget(new QLabel(text, parent)); }

// Largest year, month or day number accepted by the calendar fields of the
// converter (beyond them the Julian Day arithmetic would overflow).
constexpr int kLargestConverterYear = 1000000;
}  // namespace

// ------------------------------------------------------------------ ChoiceGroup

ChoiceGroup::ChoiceGroup(const QString& title, QWidget* parent) : QGroupBox(title, parent) {
  layout_ = new QGridLayout(this);
  layout_->setContentsMargins(6, 2, 6, 2);
}

void ChoiceGroup::SetItems(const std::vector<std::string>& names, int columns) {
  const int previous = ItemIndex();
  for (QRadioButton* b : buttons_) {
    group_.removeButton(b);
    delete b;
  }
  buttons_.clear();
  if (columns < 1) columns = 1;
  for (size_t i = 0; i < names.size(); ++i) {
    auto* button = new QRadioButton(Q(names[i]), this);
    group_.addButton(button, static_cast<int>(i));
    layout_->addWidget(button, static_cast<int>(i) / columns, static_cast<int>(i) % columns);
    button->show();  // the group may already be on screen
    buttons_.push_back(button);
  }
  SetItemIndex(previous >= 0 && previous < Count() ? previous : 0);
}

int ChoiceGroup::ItemIndex() const { return group_.checkedId(); }

void ChoiceGroup::SetItemIndex(int index) {
  if (index >= 0 && index < Count()) buttons_[static_cast<size_t>(index)]->setChecked(true);
}

QRadioButton* ChoiceGroup::Button(int index) const {
  return index >= 0 && index < Count() ? buttons_[static_cast<size_t>(index)] : nullptr;
}

QString ChoiceGroup::ItemText(int index) const {
  const QRadioButton* b = Button(index);
  return b ? b->text() : QString();
}

// ------------------------------------------------------------------ window

SimulationWindow::SimulationWindow(CalendarApp& app, SimulationMemory& memory, SimulationFileOpener openFile,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), app_(app), memory_(memory), openFile_(std::move(openFile)) {
  setObjectName("SimulationWindow");
  setWindowTitle("천체력 추가계산");
  setAttribute(Qt::WA_DeleteOnClose);
  BuildControls();
}

void SimulationWindow::BuildControls() {
  auto* top = new QVBoxLayout(this);

  // --- Ephemerides Simulation --------------------------------------------------
  simulationGroup = Named(new QGroupBox("Ephemerides Simulation", this), "simulationGroup");
  auto* sim = new QVBoxLayout(simulationGroup);

  auto* itemRow = new QHBoxLayout;
  itemChoice = Named(new QComboBox(simulationGroup), "itemChoice");
  itemChoice->setToolTip(kSimulationItemHint);
  itemChoice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  itemRow->addWidget(itemChoice);
  AddLabel(itemRow, "설명", simulationGroup);
  itemDescription = Named(new QLabel(simulationGroup), "itemDescription");
  itemRow->addWidget(itemDescription, 1);
  sim->addLayout(itemRow);

  targetChoice = Named(new ChoiceGroup("계산대상", simulationGroup), "targetChoice");
  sim->addWidget(targetChoice);

  auto* startRow = new QHBoxLayout;
  AddLabel(startRow, "시작일시", simulationGroup);
  startYearInput = Field(simulationGroup, "startYearInput", 64);
  startMonthInput = Field(simulationGroup, "startMonthInput", 32);
  startDayInput = Field(simulationGroup, "startDayInput", 32);
  startHourInput = Field(simulationGroup, "startHourInput", 32);
  startMinuteInput = Field(simulationGroup, "startMinuteInput", 32);
  startSecondInput = Field(simulationGroup, "startSecondInput", 56);
  const std::pair<QLineEdit*, const char*> start[] = {{startYearInput, "년"}, {startMonthInput, "월"}, {startDayInput, "일"},
                                                      {startHourInput, "시"}, {startMinuteInput, "분"}, {startSecondInput, "초"}};
  for (const auto& [field, unit] : start) {
    startRow->addWidget(field);
    AddLabel(startRow, unit, simulationGroup);
  }
  startRow->addStretch(1);
  sim->addLayout(startRow);

  auto* stepRow = new QHBoxLayout;
  AddLabel(stepRow, "계산간격(tabular interval)", simulationGroup);
  stepInput = Field(simulationGroup, "stepInput", 72);
  stepRow->addWidget(stepInput);
  unitChoice = Named(new ChoiceGroup("", simulationGroup), "unitChoice");
  unitChoice->SetItems({SimulationUnitNames, SimulationUnitNames + kSimulationUnitCount}, kSimulationUnitCount);
  stepRow->addWidget(unitChoice, 1);
  sim->addLayout(stepRow);

  auto* countRow = new QHBoxLayout;
  AddLabel(countRow, "계산횟수(number of repetitions)", simulationGroup);
  countInput = Field(simulationGroup, "countInput", 72);
  countRow->addWidget(countInput);
  extraLabel = Named(new QLabel(simulationGroup), "extraLabel");
  countRow->addWidget(extraLabel);
  extraInput = Field(simulationGroup, "extraInput", 72);
  extraInput->setText("60.0");
  countRow->addWidget(extraInput);
  countRow->addStretch(1);
  sim->addLayout(countRow);

  auto* outputRow = new QHBoxLayout;
  AddLabel(outputRow, "저장파일명", simulationGroup);
  outputNameInput = Named(new QLineEdit(simulationGroup), "outputNameInput");
  outputRow->addWidget(outputNameInput, 1);
  AddLabel(outputRow, ".csv", simulationGroup);
  runButton = Named(new QPushButton("계산", simulationGroup), "runButton");
  outputRow->addWidget(runButton);
  sim->addLayout(outputRow);

  // A run works while both windows stay responsive: its progress, its
  // cancel button and, afterwards, where the table was written.
  cancelButton = Named(new QPushButton("취소", simulationGroup), "cancelButton");
  cancelButton->setEnabled(false);
  outputRow->addWidget(cancelButton);
  plotButton = Named(new QPushButton("그래프", simulationGroup), "plotButton");
  plotButton->setEnabled(false);
  outputRow->addWidget(plotButton);
  connect(plotButton, &QPushButton::clicked, this, [this] { ShowLastTablePlot(); });
  outputLabel = Named(new QLabel(simulationGroup), "outputLabel");
  outputLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  outputLabel->setWordWrap(true);
  progressBar = Named(new QProgressBar(simulationGroup), "progressBar");
  progressBar->setTextVisible(false);
  progressBar->setFixedHeight(12);
  progressBar->setRange(0, 1);
  progressBar->setValue(0);
  sim->addWidget(progressBar);
  sim->addWidget(outputLabel);
  top->addWidget(simulationGroup);

  // --- 경과날짜계산 ------------------------------------------------------------
  dateToolsGroup = Named(new QGroupBox("경과날짜계산", this), "dateToolsGroup");
  auto* elapsed = new QVBoxLayout(dateToolsGroup);
  auto* e1 = new QHBoxLayout;
  elapsedFromYearInput = Field(dateToolsGroup, "elapsedFromYearInput", 56);
  elapsedFromMonthInput = Field(dateToolsGroup, "elapsedFromMonthInput", 32);
  elapsedFromDayInput = Field(dateToolsGroup, "elapsedFromDayInput", 32);
  elapsedDaysInput = Field(dateToolsGroup, "elapsedDaysInput", 64);
  elapsedDateButton = Named(new QPushButton("는 ???", dateToolsGroup), "elapsedDateButton");
  elapsedYearOutput = Field(dateToolsGroup, "elapsedYearOutput", 56);
  elapsedMonthOutput = Field(dateToolsGroup, "elapsedMonthOutput", 32);
  elapsedDayOutput = Field(dateToolsGroup, "elapsedDayOutput", 32);
  e1->addWidget(elapsedFromYearInput);
  AddLabel(e1, "년", dateToolsGroup);
  e1->addWidget(elapsedFromMonthInput);
  AddLabel(e1, "월", dateToolsGroup);
  e1->addWidget(elapsedFromDayInput);
  AddLabel(e1, "일 부터", dateToolsGroup);
  e1->addWidget(elapsedDaysInput);
  AddLabel(e1, "일째", dateToolsGroup);
  e1->addWidget(elapsedDateButton);
  e1->addWidget(elapsedYearOutput);
  AddLabel(e1, "년", dateToolsGroup);
  e1->addWidget(elapsedMonthOutput);
  AddLabel(e1, "월", dateToolsGroup);
  e1->addWidget(elapsedDayOutput);
  AddLabel(e1, "일", dateToolsGroup);
  e1->addStretch(1);
  elapsed->addLayout(e1);
  auto* e2 = new QHBoxLayout;
  betweenFromYearInput = Field(dateToolsGroup, "betweenFromYearInput", 56);
  betweenFromMonthInput = Field(dateToolsGroup, "betweenFromMonthInput", 32);
  betweenFromDayInput = Field(dateToolsGroup, "betweenFromDayInput", 32);
  betweenToYearInput = Field(dateToolsGroup, "betweenToYearInput", 56);
  betweenToMonthInput = Field(dateToolsGroup, "betweenToMonthInput", 32);
  betweenToDayInput = Field(dateToolsGroup, "betweenToDayInput", 32);
  daysBetweenButton = Named(new QPushButton("는 ???", dateToolsGroup), "daysBetweenButton");
  daysBetweenOutput = Field(dateToolsGroup, "daysBetweenOutput", 72);
  for (QLineEdit* f : {betweenFromYearInput, betweenFromMonthInput, betweenFromDayInput}) e2->addWidget(f);
  AddLabel(e2, "일 부터", dateToolsGroup);
  for (QLineEdit* f : {betweenToYearInput, betweenToMonthInput, betweenToDayInput}) e2->addWidget(f);
  AddLabel(e2, "일 까지", dateToolsGroup);
  e2->addWidget(daysBetweenButton);
  e2->addWidget(daysBetweenOutput);
  AddLabel(e2, "일째", dateToolsGroup);
  e2->addStretch(1);
  elapsed->addLayout(e2);
  koreanDayCountLabel = Named(new QLabel(dateToolsGroup), "koreanDayCountLabel");
  koreanDayCountLabel->setToolTip("위 계산은 첫날에 날수를 더합니다(1월 1일부터 100일째 = 4월 11일). "
                                  "기념일처럼 첫날을 1일로 세면 1월 1일의 100일째는 4월 10일입니다.");
  elapsed->addWidget(koreanDayCountLabel);
  top->addWidget(dateToolsGroup);

  // --- Julian, Calendar Date(UT 기준) -------------------------------------------
  julianDayGroup = Named(new QGroupBox("Julian, Calendar Date(UT 기준)", this), "julianDayGroup");
  auto* julian = new QGridLayout(julianDayGroup);
  // Columns: label, Julian Date, button, the six calendar fields, button, Julian Date.
  constexpr int kFirstCalendarColumn = 3;
  julian->addWidget(new QLabel("년     월      일      시      분          초", julianDayGroup), 0,
                    kFirstCalendarColumn, 1, 6);
  julian->addWidget(new QLabel("Julian Date", julianDayGroup), 1, 0);
  julianDayInput = Field(julianDayGroup, "julianDayInput", 120);
  julianDayInput->setText("2451544.5");
  toCalendarButton = Named(new QPushButton("달력으로", julianDayGroup), "toCalendarButton");
  julian->addWidget(julianDayInput, 1, 1);
  julian->addWidget(toCalendarButton, 1, 2);
  calendarYearOutput = Field(julianDayGroup, "calendarYearOutput", 56);
  calendarMonthOutput = Field(julianDayGroup, "calendarMonthOutput", 32);
  calendarDayOutput = Field(julianDayGroup, "calendarDayOutput", 32);
  calendarHourOutput = Field(julianDayGroup, "calendarHourOutput", 32);
  calendarMinuteOutput = Field(julianDayGroup, "calendarMinuteOutput", 32);
  calendarSecondOutput = Field(julianDayGroup, "calendarSecondOutput", 72);
  calendarYearInput = Field(julianDayGroup, "calendarYearInput", 56);
  calendarMonthInput = Field(julianDayGroup, "calendarMonthInput", 32);
  calendarDayInput = Field(julianDayGroup, "calendarDayInput", 32);
  calendarHourInput = Field(julianDayGroup, "calendarHourInput", 32);
  calendarMinuteInput = Field(julianDayGroup, "calendarMinuteInput", 32);
  calendarSecondInput = Field(julianDayGroup, "calendarSecondInput", 72);
  const char* const calendarDefaults[6] = {"2000", "1", "1", "0", "0", "0"};
  int k = 0;
  for (QLineEdit* f : {calendarYearOutput, calendarMonthOutput, calendarDayOutput, calendarHourOutput, calendarMinuteOutput, calendarSecondOutput}) {
    f->setText(calendarDefaults[k]);
    julian->addWidget(f, 1, kFirstCalendarColumn + k++);
  }
  k = 0;
  for (QLineEdit* f : {calendarYearInput, calendarMonthInput, calendarDayInput, calendarHourInput, calendarMinuteInput, calendarSecondInput}) {
    f->setText(calendarDefaults[k]);
    julian->addWidget(f, 2, kFirstCalendarColumn + k++);
  }
  toJulianDayButton = Named(new QPushButton("줄리언으로", julianDayGroup), "toJulianDayButton");
  julianDayOutput = Field(julianDayGroup, "julianDayOutput", 120);
  julianDayOutput->setText("2451544.5");
  julian->addWidget(toJulianDayButton, 2, kFirstCalendarColumn + 6);
  julian->addWidget(julianDayOutput, 2, kFirstCalendarColumn + 7);
  julian->setColumnStretch(kFirstCalendarColumn + 8, 1);
  top->addWidget(julianDayGroup);

  connect(itemChoice, qOverload<int>(&QComboBox::activated), this, &SimulationWindow::itemChosen);
  connect(runButton, &QPushButton::clicked, this, &SimulationWindow::runSimulation);
  connect(cancelButton, &QPushButton::clicked, this, &SimulationWindow::Cancel);
  connect(elapsedDateButton, &QPushButton::clicked, this, &SimulationWindow::computeElapsedDate);
  connect(daysBetweenButton, &QPushButton::clicked, this, &SimulationWindow::computeDaysBetween);
  connect(toCalendarButton, &QPushButton::clicked, this, &SimulationWindow::convertJulianDayToCalendar);
  connect(toJulianDayButton, &QPushButton::clicked, this, &SimulationWindow::convertCalendarToJulianDay);
}

// ------------------------------------------------------------------ life cycle

bool SimulationWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) activateOnce();
  return QWidget::event(event);
}

void SimulationWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  activateOnce();
}

void SimulationWindow::closeEvent(QCloseEvent* event) {
  if (running_) {
    // The run stops first (leaving no file); the window closes once it has.
    cancelRequested_ = true;
    closeAfterRun_ = true;
    event->ignore();
    return;
  }
  // The remembered values stay; the next opening initialises a new window.
  memory_.windowOpen = false;
  QWidget::closeEvent(event);
}

void SimulationWindow::activateOnce() {
  if (memory_.windowOpen) return;
  memory_.windowOpen = true;
  InitSimulationWindow();
}

void SimulationWindow::InitSimulationWindow() {
  const ClockReading now = app_.Now();
  const SimulationRequest r =
      InitialSimulationRequest(memory_.request, now.local.tm_year + 1900, now.local.tm_mon + 1, now.local.tm_mday,
                               now.local.tm_hour, now.local.tm_min, now.local.tm_sec);
  itemChoice->clear();
  for (const SimulationItem& item : SimulationItems) itemChoice->addItem(item.name);
  itemChoice->setCurrentIndex(r.item);
  targetChoice->SetItemIndex(0);
  FillTargets(r.item);
  targetChoice->SetItemIndex(KeepTargetSelection(r.target, app_.Settings().EphemerisCode, r.item));
  unitChoice->SetItemIndex(r.unit);
  itemChosen(r.item);
  startYearInput->setText(QString::number(r.year));
  startMonthInput->setText(QString::number(r.month));
  startDayInput->setText(QString::number(r.day));
  startHourInput->setText(QString::number(r.hour));
  startMinuteInput->setText(QString::number(r.minute));
  startSecondInput->setText(Q(ShortestDecimalText(r.second)));
  stepInput->setText(Q(ShortestDecimalText(r.step)));
  countInput->setText(QString::number(r.repetitions));
  extraInput->setText(r.extra == kDefaultExtraValue ? QString("60.0") : Q(ShortestDecimalText(r.extra)));
  // The date tools start from the remembered date.
  for (auto [y, m, d] : {std::tuple{elapsedFromYearInput, elapsedFromMonthInput, elapsedFromDayInput}, std::tuple{betweenFromYearInput, betweenFromMonthInput, betweenFromDayInput},
                         std::tuple{betweenToYearInput, betweenToMonthInput, betweenToDayInput}}) {
    y->setText(QString::number(r.year));
    m->setText(QString::number(r.month));
    d->setText(QString::number(r.day));
  }
  elapsedDaysInput->setText("0");
  daysBetweenOutput->setText("0");
}

void OpenSimulationFile(const std::string& path, MessageSink& messages) {
  DetachedProgramRunner runner;
  RunEditorAndWait(runner, WindowEditorCommands(), path, messages);
}

SimulationWindow* ShowSimulationWindow(SimulationWindowSlot& slot, CalendarApp& app, QWidget* owner) {
  // An open window is only brought to the front. A closed one that waits for
  // its deletion is left to it: the new window initialises afresh.
  if (slot.window && slot.memory.windowOpen) {
    slot.window->raise();
    slot.window->activateWindow();
    return slot.window;
  }
  slot.memory.windowOpen = false;
  SimulationFileOpener opener = slot.openFile;
  if (!opener) opener = [&app](const std::string& path) { OpenSimulationFile(path, app.Messages()); };
  slot.window = new SimulationWindow(app, slot.memory, opener, owner);
  slot.window->show();
  return slot.window;
}

// ------------------------------------------------------------------ the simulation

void SimulationWindow::FillTargets(int item) {
  const SimulationTargetList list = SimulationTargets(app_.Settings().EphemerisCode, item);
  const int previous = targetChoice->ItemIndex();
  targetChoice->SetItems(list.names, list.columns);
  targetChoice->SetItemIndex(KeepTargetSelection(previous, app_.Settings().EphemerisCode, item));
}

void SimulationWindow::itemChosen(int item) {
  if (item < 0 || item >= kSimulationItemCount) return;
  outputNameInput->setText(SimulationItems[item].name);
  itemDescription->setText(SimulationItems[item].description);
  const bool extra = ItemUsesExtraValue(item);
  extraLabel->setText(ExtraValueLabel(item));
  extraLabel->setVisible(extra);
  extraInput->setVisible(extra);
  FillTargets(item);
  const bool yearly = ItemUsesYearUnit(item);
  if (yearly) unitChoice->SetItemIndex(kUnitYears);
  unitChoice->setEnabled(!yearly);
}

bool SimulationWindow::ReadInt(QLineEdit* field, int& value) {
  bool ok = false;
  const int v = field->text().trimmed().toInt(&ok);
  if (!ok) {
    Messages().Show(("'" + field->text() + "'은(는) 올바른 정수 값이 아닙니다.").toStdString(), "오류",
                       MessageButtons::Ok, MessageIcon::Error);
    return false;
  }
  value = v;
  return true;
}

bool SimulationWindow::ReadDouble(QLineEdit* field, double& value) {
  bool ok = false;
  const double v = field->text().trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(v)) {
    Messages().Show(("'" + field->text() + "'은(는) 올바른 실수 값이 아닙니다.").toStdString(), "오류",
                       MessageButtons::Ok, MessageIcon::Error);
    return false;
  }
  value = v;
  return true;
}

bool SimulationWindow::ReadRequest(SimulationRequest& r) {
  r.target = targetChoice->ItemIndex() < 0 ? 0 : targetChoice->ItemIndex();
  r.item = itemChoice->currentIndex();
  double second = 0.0;
  if (!ReadInt(startYearInput, r.year) || !ReadInt(startMonthInput, r.month) || !ReadInt(startDayInput, r.day) || !ReadInt(startHourInput, r.hour) ||
      !ReadInt(startMinuteInput, r.minute) || !ReadDouble(startSecondInput, second) || !ReadDouble(stepInput, r.step) ||
      !ReadInt(countInput, r.repetitions))
    return false;
  r.second = static_cast<float>(second);
  if (ItemUsesExtraValue(r.item) && !ReadDouble(extraInput, r.extra)) return false;
  r.unit = unitChoice->ItemIndex() < 0 ? 0 : unitChoice->ItemIndex();
  r.outputName = outputNameInput->text().toStdString();
  return true;
}

MessageSink& SimulationWindow::Messages() {
  // The window's own boxes open over this window; other sinks (tests, the
  // command line) are used as they are.
  if (dynamic_cast<QtMessageSink*>(&app_.Messages()) != nullptr) return ownMessages_;
  return app_.Messages();
}

void SimulationWindow::SetRunning(bool running) {
  running_ = running;
  cancelRequested_ = false;
  cancelButton->setEnabled(running);
  plotButton->setEnabled(!running && !lastTablePath_.empty());
  for (QWidget* w : std::initializer_list<QWidget*>{itemChoice, targetChoice, unitChoice, runButton, outputNameInput,
                                                    dateToolsGroup, julianDayGroup})
    w->setEnabled(!running);
  // The main window's controls share the engine with the run: they wait,
  // and so does every other way in (its shortcuts, the mouse wheel), which
  // the application state refuses while the run holds the engine.
  app_.SetEngineBusy(running);
  if (auto* main = qobject_cast<QMainWindow*>(parentWidget()))
    if (main->centralWidget()) main->centralWidget()->setEnabled(!running);
}

void SimulationWindow::Cancel() { cancelRequested_ = true; }

void SimulationWindow::runSimulation() {
  if (running_) return;
  SimulationRequest request = memory_.request;
  if (!ReadRequest(request)) return;
  request.outputCounter = memory_.request.outputCounter;
  memory_.request = request;

  SimulationEnvironment env = app_.SimulationEnv(Messages());
  // The expected size before the run; a table that would not fit on the disk
  // is refused before any file is made.
  if (const std::optional<SimulationSizeEstimate> estimate = EstimateSimulationSize(memory_.request, env)) {
    outputLabel->setText(Q(SimulationSizeLabel(*estimate)));
    const std::string folder = env.folder.empty() ? std::string(".") : env.folder;
    const std::optional<unsigned long long> freeBytes = FreeBytesForFile(JoinPath(folder, "table.csv"));
    if (freeBytes && SimulationExceedsFreeSpace(*estimate, *freeBytes)) {
      Messages().Show(SimulationTooLargeMessage(*estimate, *freeBytes, folder), "오류", MessageButtons::Ok,
                      MessageIcon::Error);
      return;
    }
  }
  QElapsedTimer sinceEvents;
  sinceEvents.start();
  env.progress = [this, &sinceEvents](int position, int maximum) {
    progressBar->setRange(0, maximum > 0 ? maximum : 1);
    progressBar->setValue(position);
    // Both windows keep answering (moving, repainting, the cancel button)
    // while the run goes on; a few times a second is enough.
    if (sinceEvents.elapsed() >= kEventIntervalMs) {
      QCoreApplication::processEvents();
      sinceEvents.restart();
    }
  };
  env.cancelled = [this] { return cancelRequested_; };
  SetRunning(true);
  const SimulationOutcome outcome = RunSimulation(memory_.request, env);
  SetRunning(false);
  progressBar->setValue(0);
  if (closeAfterRun_) {
    closeAfterRun_ = false;
    QTimer::singleShot(0, this, &QWidget::close);
    return;
  }
  if (outcome.cancelled) {
    outputLabel->setText("계산을 취소했습니다. 파일은 만들지 않았습니다.");
    return;
  }
  if (!outcome.written) return;
  outputLabel->setText("저장한 파일: " + Q(outcome.path));
  lastTablePath_ = outcome.path;
  plotButton->setEnabled(true);
  if (openFile_) openFile_(outcome.path);
}

bool SimulationWindow::ShowLastTablePlot() {
  std::string csv;
  SeriesTable table;
  if (lastTablePath_.empty() || !ReadWholeFile(lastTablePath_, csv) || !ParseSeriesTable(csv, table)) {
    Messages().Show("그래프로 그릴 수 있는 숫자 열이 없습니다.", "알림");
    return false;
  }
  auto* dialog = new SeriesPlotDialog(std::move(table), Q(lastTablePath_), this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->show();
  return true;
}

// ------------------------------------------------------------------ date tools

void SimulationWindow::computeElapsedDate() {
  int y, m, d, n;
  if (!ReadInt(elapsedFromYearInput, y) || !ReadInt(elapsedFromMonthInput, m) || !ReadInt(elapsedFromDayInput, d)) return;
  if (!IsUsableDate(y, m, d)) {
    Messages().Show(InvalidDateMessage(y, m, d), "오류", MessageButtons::Ok, MessageIcon::Error);
    return;
  }
  if (!ReadInt(elapsedDaysInput, n)) return;
  CivilDate result;
  if (!ElapsedDate(y, m, d, n, result, Messages())) return;
  elapsedYearOutput->setText(QString::number(result.year));
  elapsedMonthOutput->setText(QString::number(result.month));
  elapsedDayOutput->setText(QString::number(result.day));
  if (n >= 1) {
    const CivilDate counted = DateOfDayNumber({y, m, d}, n);
    koreanDayCountLabel->setText(QString::asprintf("첫날을 1일로 세면 %d일째는 %d년 %d월 %d일", n, counted.year,
                                                   counted.month, counted.day));
  } else {
    koreanDayCountLabel->clear();
  }
  memory_.request.year = y;
  memory_.request.month = m;
  memory_.request.day = d;
}

void SimulationWindow::computeDaysBetween() {
  CivilDate first, second;
  if (!ReadInt(betweenFromYearInput, first.year) || !ReadInt(betweenFromMonthInput, first.month) || !ReadInt(betweenFromDayInput, first.day) ||
      !ReadInt(betweenToYearInput, second.year) || !ReadInt(betweenToMonthInput, second.month) || !ReadInt(betweenToDayInput, second.day))
    return;
  long long days = 0;
  if (!DaysBetweenDates(first, second, days, Messages())) return;
  daysBetweenOutput->setText(QString::number(days));
  if (days >= 0)
    koreanDayCountLabel->setText(
        QString::asprintf("첫날을 1일로 세면 %d일째", DayNumberOf(first, second)));
  else
    koreanDayCountLabel->clear();
  memory_.request.year = first.year;
  memory_.request.month = first.month;
  memory_.request.day = first.day;
}

void SimulationWindow::convertJulianDayToCalendar() {
  double jd = 0.0;
  if (!ReadDouble(julianDayInput, jd)) return;
  CivilDateTime c;
  if (!JulianDateToCalendarFields(jd, c)) {
    Messages().Show(("'" + julianDayInput->text() + "'은(는) 범위를 벗어난 값입니다.").toStdString(), "오류", MessageButtons::Ok,
                       MessageIcon::Error);
    return;
  }
  calendarYearOutput->setText(QString::number(c.year));
  calendarMonthOutput->setText(QString::number(c.month));
  calendarDayOutput->setText(QString::number(c.day));
  calendarHourOutput->setText(QString::number(c.hour));
  calendarMinuteOutput->setText(QString::number(c.minute));
  calendarSecondOutput->setText(Q(ShortestDecimalText(c.seconds)));
}

void SimulationWindow::convertCalendarToJulianDay() {
  int y, m, d;
  double h, mi, s;
  if (!ReadInt(calendarYearInput, y) || !ReadInt(calendarMonthInput, m) || !ReadInt(calendarDayInput, d) || !ReadDouble(calendarHourInput, h) ||
      !ReadDouble(calendarMinuteInput, mi) || !ReadDouble(calendarSecondInput, s))
    return;
  if (y < -kLargestConverterYear || y > kLargestConverterYear || m < -kLargestConverterYear ||
      m > kLargestConverterYear || d < -kLargestConverterYear || d > kLargestConverterYear) {
    Messages().Show(("'" + calendarYearInput->text() + "'은(는) 범위를 벗어난 값입니다.").toStdString(), "오류", MessageButtons::Ok,
                       MessageIcon::Error);
    return;
  }
  julianDayOutput->setText(Q(ShortestDecimalText(CalendarFieldsToJulianDate(y, m, d, h, mi, s))));
}

}  // namespace orv
