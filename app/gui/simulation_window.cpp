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

#include "app/core/simulation/date_tools.h"
#include "app/core/files/editor.h"
#include "app/gui/controls.h"
#include "app/gui/desktop.h"

namespace orv {
namespace {
// How often a run lets the windows handle their events, in milliseconds.
constexpr qint64 kEventIntervalMs = 50;

QString Q(const std::string& text) { return QString::fromStdString(text); }

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
  simulationGroup_ = Named(new QGroupBox("Ephemerides Simulation", this), "simulationGroup");
  auto* sim = new QVBoxLayout(simulationGroup_);

  auto* itemRow = new QHBoxLayout;
  itemChoice_ = Named(new QComboBox(simulationGroup_), "itemChoice");
  itemChoice_->setToolTip(kSimulationItemHint);
  itemChoice_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  itemRow->addWidget(itemChoice_);
  AddLabel(itemRow, "설명", simulationGroup_);
  itemDescription_ = Named(new QLabel(simulationGroup_), "itemDescription");
  itemRow->addWidget(itemDescription_, 1);
  sim->addLayout(itemRow);

  targetChoice_ = Named(new ChoiceGroup("계산대상", simulationGroup_), "targetChoice");
  sim->addWidget(targetChoice_);

  auto* startRow = new QHBoxLayout;
  AddLabel(startRow, "시작일시", simulationGroup_);
  startYearInput_ = NumberField(simulationGroup_, "startYearInput", 64);
  startMonthInput_ = NumberField(simulationGroup_, "startMonthInput", 32);
  startDayInput_ = NumberField(simulationGroup_, "startDayInput", 32);
  startHourInput_ = NumberField(simulationGroup_, "startHourInput", 32);
  startMinuteInput_ = NumberField(simulationGroup_, "startMinuteInput", 32);
  startSecondInput_ = NumberField(simulationGroup_, "startSecondInput", 56);
  const std::pair<QLineEdit*, const char*> start[] = {{startYearInput_, "년"}, {startMonthInput_, "월"}, {startDayInput_, "일"},
                                                      {startHourInput_, "시"}, {startMinuteInput_, "분"}, {startSecondInput_, "초"}};
  for (const auto& [field, unit] : start) {
    startRow->addWidget(field);
    AddLabel(startRow, unit, simulationGroup_);
  }
  startRow->addStretch(1);
  sim->addLayout(startRow);

  auto* stepRow = new QHBoxLayout;
  AddLabel(stepRow, "계산간격(tabular interval)", simulationGroup_);
  stepInput_ = NumberField(simulationGroup_, "stepInput", 72);
  stepRow->addWidget(stepInput_);
  unitChoice_ = Named(new ChoiceGroup("", simulationGroup_), "unitChoice");
  unitChoice_->SetItems({SimulationUnitNames, SimulationUnitNames + kSimulationUnitCount}, kSimulationUnitCount);
  stepRow->addWidget(unitChoice_, 1);
  sim->addLayout(stepRow);

  auto* countRow = new QHBoxLayout;
  AddLabel(countRow, "계산횟수(number of repetitions)", simulationGroup_);
  countInput_ = NumberField(simulationGroup_, "countInput", 72);
  countRow->addWidget(countInput_);
  extraLabel_ = Named(new QLabel(simulationGroup_), "extraLabel");
  countRow->addWidget(extraLabel_);
  extraInput_ = NumberField(simulationGroup_, "extraInput", 72);
  extraInput_->setText("60.0");
  countRow->addWidget(extraInput_);
  countRow->addStretch(1);
  sim->addLayout(countRow);

  auto* outputRow = new QHBoxLayout;
  AddLabel(outputRow, "저장파일명", simulationGroup_);
  outputNameInput_ = Named(new QLineEdit(simulationGroup_), "outputNameInput");
  outputRow->addWidget(outputNameInput_, 1);
  AddLabel(outputRow, ".csv", simulationGroup_);
  runButton_ = Named(new QPushButton("계산", simulationGroup_), "runButton");
  outputRow->addWidget(runButton_);
  sim->addLayout(outputRow);

  // A run works while both windows stay responsive: its progress, its
  // cancel button and, afterwards, where the table was written.
  cancelButton_ = Named(new QPushButton("취소", simulationGroup_), "cancelButton");
  cancelButton_->setEnabled(false);
  outputRow->addWidget(cancelButton_);
  plotButton_ = Named(new QPushButton("그래프", simulationGroup_), "plotButton");
  plotButton_->setEnabled(false);
  outputRow->addWidget(plotButton_);
  connect(plotButton_, &QPushButton::clicked, this, [this] { ShowLastTablePlot(); });
  outputLabel_ = Named(new QLabel(simulationGroup_), "outputLabel");
  outputLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  outputLabel_->setWordWrap(true);
  progressBar_ = Named(new QProgressBar(simulationGroup_), "simulationProgressBar");
  progressBar_->setTextVisible(false);
  progressBar_->setFixedHeight(12);
  progressBar_->setRange(0, 1);
  progressBar_->setValue(0);
  sim->addWidget(progressBar_);
  sim->addWidget(outputLabel_);
  top->addWidget(simulationGroup_);

  // --- 경과날짜계산, Julian, Calendar Date(UT 기준) ----------------------------------
  dateTools_ = new DateToolsPanel(Messages(), this);
  connect(dateTools_, &DateToolsPanel::dateUsed, this, [this](const CivilDate& date) {
    memory_.request.year = date.year;
    memory_.request.month = date.month;
    memory_.request.day = date.day;
  });
  // The tools take the room the window gains, as their groups did before
  // they were a panel of their own.
  top->addWidget(dateTools_, 1);

  connect(itemChoice_, qOverload<int>(&QComboBox::activated), this, &SimulationWindow::itemChosen);
  connect(runButton_, &QPushButton::clicked, this, &SimulationWindow::runSimulation);
  connect(cancelButton_, &QPushButton::clicked, this, &SimulationWindow::Cancel);
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
  itemChoice_->clear();
  for (const SimulationItem& item : SimulationItems) itemChoice_->addItem(item.name);
  itemChoice_->setCurrentIndex(r.item);
  targetChoice_->SetItemIndex(0);
  FillTargets(r.item);
  targetChoice_->SetItemIndex(KeepTargetSelection(r.target, app_.Settings().EphemerisCode, r.item));
  unitChoice_->SetItemIndex(r.unit);
  itemChosen(r.item);
  startYearInput_->setText(QString::number(r.year));
  startMonthInput_->setText(QString::number(r.month));
  startDayInput_->setText(QString::number(r.day));
  startHourInput_->setText(QString::number(r.hour));
  startMinuteInput_->setText(QString::number(r.minute));
  startSecondInput_->setText(Q(ShortestDecimalText(r.second)));
  stepInput_->setText(Q(ShortestDecimalText(r.step)));
  countInput_->setText(QString::number(r.repetitions));
  extraInput_->setText(r.extra == kDefaultExtraValue ? QString("60.0") : Q(ShortestDecimalText(r.extra)));
  // The date tools start from the remembered date.
  dateTools_->StartFrom({r.year, r.month, r.day});
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
  const int previous = targetChoice_->ItemIndex();
  targetChoice_->SetItems(list.names, list.columns);
  targetChoice_->SetItemIndex(KeepTargetSelection(previous, app_.Settings().EphemerisCode, item));
}

void SimulationWindow::itemChosen(int item) {
  if (item < 0 || item >= kSimulationItemCount) return;
  outputNameInput_->setText(SimulationItems[item].name);
  itemDescription_->setText(SimulationItems[item].description);
  const bool extra = ItemUsesExtraValue(item);
  extraLabel_->setText(ExtraValueLabel(item));
  extraLabel_->setVisible(extra);
  extraInput_->setVisible(extra);
  FillTargets(item);
  const bool yearly = ItemUsesYearUnit(item);
  if (yearly) unitChoice_->SetItemIndex(kUnitYears);
  unitChoice_->setEnabled(!yearly);
}

bool SimulationWindow::ReadRequest(SimulationRequest& r) {
  r.target = targetChoice_->ItemIndex() < 0 ? 0 : targetChoice_->ItemIndex();
  r.item = itemChoice_->currentIndex();
  double second = 0.0;
  MessageSink& messages = Messages();
  if (!ReadIntField(*startYearInput_, r.year, messages) || !ReadIntField(*startMonthInput_, r.month, messages) ||
      !ReadIntField(*startDayInput_, r.day, messages) || !ReadIntField(*startHourInput_, r.hour, messages) ||
      !ReadIntField(*startMinuteInput_, r.minute, messages) || !ReadDoubleField(*startSecondInput_, second, messages) ||
      !ReadDoubleField(*stepInput_, r.step, messages) || !ReadIntField(*countInput_, r.repetitions, messages))
    return false;
  r.second = static_cast<float>(second);
  if (ItemUsesExtraValue(r.item) && !ReadDoubleField(*extraInput_, r.extra, messages)) return false;
  r.unit = unitChoice_->ItemIndex() < 0 ? 0 : unitChoice_->ItemIndex();
  r.outputName = outputNameInput_->text().toStdString();
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
  cancelButton_->setEnabled(running);
  plotButton_->setEnabled(!running && !lastTablePath_.empty());
  for (QWidget* w : std::initializer_list<QWidget*>{itemChoice_, targetChoice_, unitChoice_, runButton_, outputNameInput_,
                                                    dateTools_})
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
    outputLabel_->setText(Q(SimulationSizeLabel(*estimate)));
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
    progressBar_->setRange(0, maximum > 0 ? maximum : 1);
    progressBar_->setValue(position);
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
  progressBar_->setValue(0);
  if (closeAfterRun_) {
    closeAfterRun_ = false;
    QTimer::singleShot(0, this, &QWidget::close);
    return;
  }
  if (outcome.cancelled) {
    outputLabel_->setText("계산을 취소했습니다. 파일은 만들지 않았습니다.");
    return;
  }
  if (!outcome.written) return;
  outputLabel_->setText("저장한 파일: " + Q(outcome.path));
  lastTablePath_ = outcome.path;
  plotButton_->setEnabled(true);
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

}  // namespace orv
