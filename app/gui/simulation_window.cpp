#include "app/gui/simulation_window.h"

#include "app/core/files/files.h"
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
#include "app/gui/desktop.h"

namespace orv {
namespace {
// How often a run lets the windows handle their events, in milliseconds.
constexpr qint64 kEventIntervalMs = 50;
}  // namespace
namespace {

template <class W>
W* named(W* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

// A short number field.
QLineEdit* Field(QWidget* parent, const char* name, int width = 48) {
  auto* edit = named(new QLineEdit(parent), name);
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

TformSimulBox::TformSimulBox(CalendarApp& app, SimulationMemory& memory, SimulationFileOpener openFile,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), app_(app), memory_(memory), openFile_(std::move(openFile)) {
  setObjectName("TformSimulBox");
  setWindowTitle("천체력 추가계산");
  setAttribute(Qt::WA_DeleteOnClose);
  BuildControls();
}

void TformSimulBox::BuildControls() {
  auto* top = new QVBoxLayout(this);

  // --- Ephemerides Simulation --------------------------------------------------
  GroupBox_Simulation = named(new QGroupBox("Ephemerides Simulation", this), "GroupBox_Simulation");
  auto* sim = new QVBoxLayout(GroupBox_Simulation);

  auto* itemRow = new QHBoxLayout;
  ComboBox2 = named(new QComboBox(GroupBox_Simulation), "ComboBox2");
  ComboBox2->setToolTip(kSimulationItemHint);
  ComboBox2->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  itemRow->addWidget(ComboBox2);
  AddLabel(itemRow, "설명", GroupBox_Simulation);
  Label_Description = named(new QLabel(GroupBox_Simulation), "Label_Description");
  itemRow->addWidget(Label_Description, 1);
  sim->addLayout(itemRow);

  RadioGroup10 = named(new ChoiceGroup("계산대상", GroupBox_Simulation), "RadioGroup10");
  sim->addWidget(RadioGroup10);

  auto* startRow = new QHBoxLayout;
  AddLabel(startRow, "시작일시", GroupBox_Simulation);
  Edit6 = Field(GroupBox_Simulation, "Edit6", 64);
  Edit7 = Field(GroupBox_Simulation, "Edit7", 32);
  Edit8 = Field(GroupBox_Simulation, "Edit8", 32);
  Edit9 = Field(GroupBox_Simulation, "Edit9", 32);
  Edit10 = Field(GroupBox_Simulation, "Edit10", 32);
  Edit11 = Field(GroupBox_Simulation, "Edit11", 56);
  const std::pair<QLineEdit*, const char*> start[] = {{Edit6, "년"}, {Edit7, "월"}, {Edit8, "일"},
                                                      {Edit9, "시"}, {Edit10, "분"}, {Edit11, "초"}};
  for (const auto& [field, unit] : start) {
    startRow->addWidget(field);
    AddLabel(startRow, unit, GroupBox_Simulation);
  }
  startRow->addStretch(1);
  sim->addLayout(startRow);

  auto* stepRow = new QHBoxLayout;
  AddLabel(stepRow, "계산간격(tabular interval)", GroupBox_Simulation);
  Edit12 = Field(GroupBox_Simulation, "Edit12", 72);
  stepRow->addWidget(Edit12);
  RadioGroup11 = named(new ChoiceGroup("", GroupBox_Simulation), "RadioGroup11");
  RadioGroup11->SetItems({SimulationUnitNames, SimulationUnitNames + kSimulationUnitCount}, kSimulationUnitCount);
  stepRow->addWidget(RadioGroup11, 1);
  sim->addLayout(stepRow);

  auto* countRow = new QHBoxLayout;
  AddLabel(countRow, "계산횟수(number of repetitions)", GroupBox_Simulation);
  Edit13 = Field(GroupBox_Simulation, "Edit13", 72);
  countRow->addWidget(Edit13);
  Label_Extra = named(new QLabel(GroupBox_Simulation), "Label_Extra");
  countRow->addWidget(Label_Extra);
  Edit1 = Field(GroupBox_Simulation, "Edit1", 72);
  Edit1->setText("60.0");
  countRow->addWidget(Edit1);
  countRow->addStretch(1);
  sim->addLayout(countRow);

  auto* outputRow = new QHBoxLayout;
  AddLabel(outputRow, "저장파일명", GroupBox_Simulation);
  Edit14 = named(new QLineEdit(GroupBox_Simulation), "Edit14");
  outputRow->addWidget(Edit14, 1);
  AddLabel(outputRow, ".csv", GroupBox_Simulation);
  BitBtn10 = named(new QPushButton("계산", GroupBox_Simulation), "BitBtn10");
  outputRow->addWidget(BitBtn10);
  sim->addLayout(outputRow);

  // A run works while both windows stay responsive: its progress, its
  // cancel button and, afterwards, where the table was written.
  CancelButton = named(new QPushButton("취소", GroupBox_Simulation), "CancelButton");
  CancelButton->setEnabled(false);
  outputRow->addWidget(CancelButton);
  plotButton = named(new QPushButton("그래프", GroupBox_Simulation), "plotButton");
  plotButton->setEnabled(false);
  outputRow->addWidget(plotButton);
  connect(plotButton, &QPushButton::clicked, this, [this] { ShowLastTablePlot(); });
  Label_Output = named(new QLabel(GroupBox_Simulation), "Label_Output");
  Label_Output->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Label_Output->setWordWrap(true);
  ProgressBar1 = named(new QProgressBar(GroupBox_Simulation), "ProgressBar1");
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setFixedHeight(12);
  ProgressBar1->setRange(0, 1);
  ProgressBar1->setValue(0);
  sim->addWidget(ProgressBar1);
  sim->addWidget(Label_Output);
  top->addWidget(GroupBox_Simulation);

  // --- 경과날짜계산 ------------------------------------------------------------
  GroupBox_Elapsed = named(new QGroupBox("경과날짜계산", this), "GroupBox_Elapsed");
  auto* elapsed = new QVBoxLayout(GroupBox_Elapsed);
  auto* e1 = new QHBoxLayout;
  Edit15 = Field(GroupBox_Elapsed, "Edit15", 56);
  Edit16 = Field(GroupBox_Elapsed, "Edit16", 32);
  Edit17 = Field(GroupBox_Elapsed, "Edit17", 32);
  Edit18 = Field(GroupBox_Elapsed, "Edit18", 64);
  Button1 = named(new QPushButton("는 ???", GroupBox_Elapsed), "Button1");
  Edit19 = Field(GroupBox_Elapsed, "Edit19", 56);
  Edit20 = Field(GroupBox_Elapsed, "Edit20", 32);
  Edit21 = Field(GroupBox_Elapsed, "Edit21", 32);
  e1->addWidget(Edit15);
  AddLabel(e1, "년", GroupBox_Elapsed);
  e1->addWidget(Edit16);
  AddLabel(e1, "월", GroupBox_Elapsed);
  e1->addWidget(Edit17);
  AddLabel(e1, "일 부터", GroupBox_Elapsed);
  e1->addWidget(Edit18);
  AddLabel(e1, "일째", GroupBox_Elapsed);
  e1->addWidget(Button1);
  e1->addWidget(Edit19);
  AddLabel(e1, "년", GroupBox_Elapsed);
  e1->addWidget(Edit20);
  AddLabel(e1, "월", GroupBox_Elapsed);
  e1->addWidget(Edit21);
  AddLabel(e1, "일", GroupBox_Elapsed);
  e1->addStretch(1);
  elapsed->addLayout(e1);
  auto* e2 = new QHBoxLayout;
  Edit22 = Field(GroupBox_Elapsed, "Edit22", 56);
  Edit23 = Field(GroupBox_Elapsed, "Edit23", 32);
  Edit24 = Field(GroupBox_Elapsed, "Edit24", 32);
  Edit25 = Field(GroupBox_Elapsed, "Edit25", 56);
  Edit26 = Field(GroupBox_Elapsed, "Edit26", 32);
  Edit27 = Field(GroupBox_Elapsed, "Edit27", 32);
  Button2 = named(new QPushButton("는 ???", GroupBox_Elapsed), "Button2");
  Edit28 = Field(GroupBox_Elapsed, "Edit28", 72);
  for (QLineEdit* f : {Edit22, Edit23, Edit24}) e2->addWidget(f);
  AddLabel(e2, "일 부터", GroupBox_Elapsed);
  for (QLineEdit* f : {Edit25, Edit26, Edit27}) e2->addWidget(f);
  AddLabel(e2, "일 까지", GroupBox_Elapsed);
  e2->addWidget(Button2);
  e2->addWidget(Edit28);
  AddLabel(e2, "일째", GroupBox_Elapsed);
  e2->addStretch(1);
  elapsed->addLayout(e2);
  koreanDayCountLabel = named(new QLabel(GroupBox_Elapsed), "koreanDayCountLabel");
  koreanDayCountLabel->setToolTip("위 계산은 첫날에 날수를 더합니다(1월 1일부터 100일째 = 4월 11일). "
                                  "기념일처럼 첫날을 1일로 세면 1월 1일의 100일째는 4월 10일입니다.");
  elapsed->addWidget(koreanDayCountLabel);
  top->addWidget(GroupBox_Elapsed);

  // --- Julian, Calendar Date(UT 기준) -------------------------------------------
  GroupBox_Julian = named(new QGroupBox("Julian, Calendar Date(UT 기준)", this), "GroupBox_Julian");
  auto* julian = new QGridLayout(GroupBox_Julian);
  // Columns: label, Julian Date, button, the six calendar fields, button, Julian Date.
  constexpr int kFirstCalendarColumn = 3;
  julian->addWidget(new QLabel("년     월      일      시      분          초", GroupBox_Julian), 0,
                    kFirstCalendarColumn, 1, 6);
  julian->addWidget(new QLabel("Julian Date", GroupBox_Julian), 1, 0);
  Edit31 = Field(GroupBox_Julian, "Edit31", 120);
  Edit31->setText("2451544.5");
  Button3 = named(new QPushButton("달력으로", GroupBox_Julian), "Button3");
  julian->addWidget(Edit31, 1, 1);
  julian->addWidget(Button3, 1, 2);
  Edit32 = Field(GroupBox_Julian, "Edit32", 56);
  Edit33 = Field(GroupBox_Julian, "Edit33", 32);
  Edit34 = Field(GroupBox_Julian, "Edit34", 32);
  Edit35 = Field(GroupBox_Julian, "Edit35", 32);
  Edit36 = Field(GroupBox_Julian, "Edit36", 32);
  Edit37 = Field(GroupBox_Julian, "Edit37", 72);
  Edit38 = Field(GroupBox_Julian, "Edit38", 56);
  Edit39 = Field(GroupBox_Julian, "Edit39", 32);
  Edit40 = Field(GroupBox_Julian, "Edit40", 32);
  Edit41 = Field(GroupBox_Julian, "Edit41", 32);
  Edit42 = Field(GroupBox_Julian, "Edit42", 32);
  Edit43 = Field(GroupBox_Julian, "Edit43", 72);
  const char* const calendarDefaults[6] = {"2000", "1", "1", "0", "0", "0"};
  int k = 0;
  for (QLineEdit* f : {Edit32, Edit33, Edit34, Edit35, Edit36, Edit37}) {
    f->setText(calendarDefaults[k]);
    julian->addWidget(f, 1, kFirstCalendarColumn + k++);
  }
  k = 0;
  for (QLineEdit* f : {Edit38, Edit39, Edit40, Edit41, Edit42, Edit43}) {
    f->setText(calendarDefaults[k]);
    julian->addWidget(f, 2, kFirstCalendarColumn + k++);
  }
  Button4 = named(new QPushButton("줄리언으로", GroupBox_Julian), "Button4");
  Edit44 = Field(GroupBox_Julian, "Edit44", 120);
  Edit44->setText("2451544.5");
  julian->addWidget(Button4, 2, kFirstCalendarColumn + 6);
  julian->addWidget(Edit44, 2, kFirstCalendarColumn + 7);
  julian->setColumnStretch(kFirstCalendarColumn + 8, 1);
  top->addWidget(GroupBox_Julian);

  connect(ComboBox2, qOverload<int>(&QComboBox::activated), this, &TformSimulBox::ComboBox2Change);
  connect(BitBtn10, &QPushButton::clicked, this, &TformSimulBox::BitBtn10Click);
  connect(CancelButton, &QPushButton::clicked, this, &TformSimulBox::Cancel);
  connect(Button1, &QPushButton::clicked, this, &TformSimulBox::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TformSimulBox::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TformSimulBox::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TformSimulBox::Button4Click);
}

// ------------------------------------------------------------------ life cycle

bool TformSimulBox::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return QWidget::event(event);
}

void TformSimulBox::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormActivate();
}

void TformSimulBox::closeEvent(QCloseEvent* event) {
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

void TformSimulBox::FormActivate() {
  if (memory_.windowOpen) return;
  memory_.windowOpen = true;
  InitSimulationWindow();
}

void TformSimulBox::InitSimulationWindow() {
  const ClockReading now = app_.Now();
  const SimulationRequest r =
      InitialSimulationRequest(memory_.request, now.local.tm_year + 1900, now.local.tm_mon + 1, now.local.tm_mday,
                               now.local.tm_hour, now.local.tm_min, now.local.tm_sec);
  ComboBox2->clear();
  for (const SimulationItem& item : SimulationItems) ComboBox2->addItem(item.name);
  ComboBox2->setCurrentIndex(r.item);
  RadioGroup10->SetItemIndex(0);
  FillTargets(r.item);
  RadioGroup10->SetItemIndex(KeepTargetSelection(r.target, app_.Settings().EphemerisCode, r.item));
  RadioGroup11->SetItemIndex(r.unit);
  ComboBox2Change(r.item);
  Edit6->setText(QString::number(r.year));
  Edit7->setText(QString::number(r.month));
  Edit8->setText(QString::number(r.day));
  Edit9->setText(QString::number(r.hour));
  Edit10->setText(QString::number(r.minute));
  Edit11->setText(Q(ShortestDecimalText(r.second)));
  Edit12->setText(Q(ShortestDecimalText(r.step)));
  Edit13->setText(QString::number(r.repetitions));
  Edit1->setText(r.extra == kDefaultExtraValue ? QString("60.0") : Q(ShortestDecimalText(r.extra)));
  // The date tools start from the remembered date.
  for (auto [y, m, d] : {std::tuple{Edit15, Edit16, Edit17}, std::tuple{Edit22, Edit23, Edit24},
                         std::tuple{Edit25, Edit26, Edit27}}) {
    y->setText(QString::number(r.year));
    m->setText(QString::number(r.month));
    d->setText(QString::number(r.day));
  }
  Edit18->setText("0");
  Edit28->setText("0");
}

void OpenSimulationFile(const std::string& path, MessageSink& messages) {
  DetachedProgramRunner runner;
  RunEditorAndWait(runner, WindowEditorCommands(), path, messages);
}

TformSimulBox* ShowSimulationWindow(SimulationWindowSlot& slot, CalendarApp& app, QWidget* owner) {
  // An open window is only brought to the front. A closed one that waits for
  // its deletion is left to it: the new window initialises afresh.
  if (slot.formSimulBox && slot.memory.windowOpen) {
    slot.formSimulBox->raise();
    slot.formSimulBox->activateWindow();
    return slot.formSimulBox;
  }
  slot.memory.windowOpen = false;
  SimulationFileOpener opener = slot.openFile;
  if (!opener) opener = [&app](const std::string& path) { OpenSimulationFile(path, app.Messages()); };
  slot.formSimulBox = new TformSimulBox(app, slot.memory, opener, owner);
  slot.formSimulBox->show();
  return slot.formSimulBox;
}

// ------------------------------------------------------------------ the simulation

void TformSimulBox::FillTargets(int item) {
  const SimulationTargetList list = SimulationTargets(app_.Settings().EphemerisCode, item);
  const int previous = RadioGroup10->ItemIndex();
  RadioGroup10->SetItems(list.names, list.columns);
  RadioGroup10->SetItemIndex(KeepTargetSelection(previous, app_.Settings().EphemerisCode, item));
}

void TformSimulBox::ComboBox2Change(int item) {
  if (item < 0 || item >= kSimulationItemCount) return;
  Edit14->setText(SimulationItems[item].name);
  Label_Description->setText(SimulationItems[item].description);
  const bool extra = ItemUsesExtraValue(item);
  Label_Extra->setText(ExtraValueLabel(item));
  Label_Extra->setVisible(extra);
  Edit1->setVisible(extra);
  FillTargets(item);
  const bool yearly = ItemUsesYearUnit(item);
  if (yearly) RadioGroup11->SetItemIndex(kUnitYears);
  RadioGroup11->setEnabled(!yearly);
}

bool TformSimulBox::ReadInt(QLineEdit* field, int& value) {
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

bool TformSimulBox::ReadDouble(QLineEdit* field, double& value) {
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

bool TformSimulBox::ReadRequest(SimulationRequest& r) {
  r.target = RadioGroup10->ItemIndex() < 0 ? 0 : RadioGroup10->ItemIndex();
  r.item = ComboBox2->currentIndex();
  double second = 0.0;
  if (!ReadInt(Edit6, r.year) || !ReadInt(Edit7, r.month) || !ReadInt(Edit8, r.day) || !ReadInt(Edit9, r.hour) ||
      !ReadInt(Edit10, r.minute) || !ReadDouble(Edit11, second) || !ReadDouble(Edit12, r.step) ||
      !ReadInt(Edit13, r.repetitions))
    return false;
  r.second = static_cast<float>(second);
  if (ItemUsesExtraValue(r.item) && !ReadDouble(Edit1, r.extra)) return false;
  r.unit = RadioGroup11->ItemIndex() < 0 ? 0 : RadioGroup11->ItemIndex();
  r.outputName = Edit14->text().toStdString();
  return true;
}

MessageSink& TformSimulBox::Messages() {
  // The window's own boxes open over this window; other sinks (tests, the
  // command line) are used as they are.
  if (dynamic_cast<QtMessageSink*>(&app_.Messages()) != nullptr) return ownMessages_;
  return app_.Messages();
}

void TformSimulBox::SetRunning(bool running) {
  running_ = running;
  cancelRequested_ = false;
  CancelButton->setEnabled(running);
  plotButton->setEnabled(!running && !lastTablePath_.empty());
  for (QWidget* w : std::initializer_list<QWidget*>{ComboBox2, RadioGroup10, RadioGroup11, BitBtn10, Edit14,
                                                    GroupBox_Elapsed, GroupBox_Julian})
    w->setEnabled(!running);
  // The main window's controls share the engine with the run: they wait,
  // and so does every other way in (its shortcuts, the mouse wheel), which
  // the application state refuses while the run holds the engine.
  app_.SetEngineBusy(running);
  if (auto* main = qobject_cast<QMainWindow*>(parentWidget()))
    if (main->centralWidget()) main->centralWidget()->setEnabled(!running);
}

void TformSimulBox::Cancel() { cancelRequested_ = true; }

void TformSimulBox::BitBtn10Click() {
  if (running_) return;
  SimulationRequest request = memory_.request;
  if (!ReadRequest(request)) return;
  request.outputCounter = memory_.request.outputCounter;
  memory_.request = request;

  SimulationEnvironment env = app_.SimulationEnv(Messages());
  QElapsedTimer sinceEvents;
  sinceEvents.start();
  env.progress = [this, &sinceEvents](int position, int maximum) {
    ProgressBar1->setRange(0, maximum > 0 ? maximum : 1);
    ProgressBar1->setValue(position);
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
  ProgressBar1->setValue(0);
  if (closeAfterRun_) {
    closeAfterRun_ = false;
    QTimer::singleShot(0, this, &QWidget::close);
    return;
  }
  if (outcome.cancelled) {
    Label_Output->setText("계산을 취소했습니다. 파일은 만들지 않았습니다.");
    return;
  }
  if (!outcome.written) return;
  Label_Output->setText("저장한 파일: " + Q(outcome.path));
  lastTablePath_ = outcome.path;
  plotButton->setEnabled(true);
  if (openFile_) openFile_(outcome.path);
}

bool TformSimulBox::ShowLastTablePlot() {
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

void TformSimulBox::Button1Click() {
  int y, m, d, n;
  if (!ReadInt(Edit15, y) || !ReadInt(Edit16, m) || !ReadInt(Edit17, d)) return;
  if (!IsUsableDate(y, m, d)) {
    Messages().Show(InvalidDateMessage(y, m, d), "오류", MessageButtons::Ok, MessageIcon::Error);
    return;
  }
  if (!ReadInt(Edit18, n)) return;
  CivilDate result;
  if (!ElapsedDate(y, m, d, n, result, Messages())) return;
  Edit19->setText(QString::number(result.year));
  Edit20->setText(QString::number(result.month));
  Edit21->setText(QString::number(result.day));
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

void TformSimulBox::Button2Click() {
  CivilDate first, second;
  if (!ReadInt(Edit22, first.year) || !ReadInt(Edit23, first.month) || !ReadInt(Edit24, first.day) ||
      !ReadInt(Edit25, second.year) || !ReadInt(Edit26, second.month) || !ReadInt(Edit27, second.day))
    return;
  long long days = 0;
  if (!DaysBetweenDates(first, second, days, Messages())) return;
  Edit28->setText(QString::number(days));
  if (days >= 0)
    koreanDayCountLabel->setText(
        QString::asprintf("첫날을 1일로 세면 %d일째", DayNumberOf(first, second)));
  else
    koreanDayCountLabel->clear();
  memory_.request.year = first.year;
  memory_.request.month = first.month;
  memory_.request.day = first.day;
}

void TformSimulBox::Button3Click() {
  double jd = 0.0;
  if (!ReadDouble(Edit31, jd)) return;
  CivilDateTime c;
  if (!JulianDateToCalendarFields(jd, c)) {
    Messages().Show(("'" + Edit31->text() + "'은(는) 범위를 벗어난 값입니다.").toStdString(), "오류", MessageButtons::Ok,
                       MessageIcon::Error);
    return;
  }
  Edit32->setText(QString::number(c.year));
  Edit33->setText(QString::number(c.month));
  Edit34->setText(QString::number(c.day));
  Edit35->setText(QString::number(c.hour));
  Edit36->setText(QString::number(c.minute));
  Edit37->setText(Q(ShortestDecimalText(c.seconds)));
}

void TformSimulBox::Button4Click() {
  int y, m, d;
  double h, mi, s;
  if (!ReadInt(Edit38, y) || !ReadInt(Edit39, m) || !ReadInt(Edit40, d) || !ReadDouble(Edit41, h) ||
      !ReadDouble(Edit42, mi) || !ReadDouble(Edit43, s))
    return;
  if (y < -kLargestConverterYear || y > kLargestConverterYear || m < -kLargestConverterYear ||
      m > kLargestConverterYear || d < -kLargestConverterYear || d > kLargestConverterYear) {
    Messages().Show(("'" + Edit38->text() + "'은(는) 범위를 벗어난 값입니다.").toStdString(), "오류", MessageButtons::Ok,
                       MessageIcon::Error);
    return;
  }
  Edit44->setText(Q(ShortestDecimalText(CalendarFieldsToJulianDate(y, m, d, h, mi, s))));
}

}  // namespace orv
