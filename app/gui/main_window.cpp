#include "app/gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QGridLayout>
#include <QPixmap>
#include <QShortcut>
#include <QTimer>

#include "app/core/files/config.h"
#include "app/core/files/files.h"
#include "app/gui/ics_export_dialog.h"
#include "app/gui/pillars_dialog.h"
#include "app/gui/place_chooser.h"
#include "app/gui/report_buttons.h"
#include "app/gui/settings_row.h"
#include "app/gui/qt_messages.h"
#include "app/gui/sky_pictures.h"
#include "app/core/reports/day_report.h"
#include "app/core/reports/eclipse_reports.h"

namespace orv {
namespace {

constexpr double kWindowFontPoints = 9;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// What waits for a simulation run (closing, the memo reload) is tried again
// this often.
constexpr int kWaitForRunMs = 50;

// The pictures beside the day report and the map button beside the eclipse report.
ReportPanelFactory ReportPanels(CalendarApp& app) {
  return [&app](const std::string& caption, QWidget* parent) -> QWidget* {
    if (caption == kDayReportCaption) return MakeDaySkyPanel(app, parent);
    if (caption == kEclipseReportCaption) return MakeEclipseMapButton(app, parent);
    return nullptr;
  };
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      ownMessages_(std::make_unique<QtMessageSink>(this)),
      ownClock_(std::make_unique<SystemClock>()) {
  const AppFolders folders =
      DesktopAppFolders(QCoreApplication::applicationDirPath().toStdString(), UserFoldersFromEnvironment());
  app_ = std::make_unique<CalendarApp>(folders, *ownMessages_, *ownClock_);
  app_->Files().SetProgramRunner(editorRunner_, WindowEditorCommands());
  ownMessages_->SetReportPanels(ReportPanels(*app_));
  BuildControls();
  ConnectHandlers();
  RestoreWindowState();
}

MainWindow::MainWindow(const AppFolders& folders, MessageSink& messages, const Clock& clock, QWidget* parent)
    : QMainWindow(parent), app_(std::make_unique<CalendarApp>(folders, messages, clock)) {
  app_->Files().SetProgramRunner(editorRunner_, WindowEditorCommands());
  BuildControls();
  ConnectHandlers();
  RestoreWindowState();
}

MainWindow::~MainWindow() = default;

// --- Building the window --------------------------------------------------------

void MainWindow::BuildControls() {
  setObjectName("MainWindow");
  setWindowTitle("Orvanta");
  setFont(GridFont(kWindowFontPoints));
  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(4, 4, 4, 4);
  outer->setSpacing(3);
  // The window keeps the size the user gives it: the grid takes what the
  // other rows leave. Showing the settings row takes room from the grid.


  // The inputs of the month, the pillars and the progress.
  monthInputRow_ = new MonthInputRow(*app_, central);
  outer->addWidget(monthInputRow_);

  // The grid and the buttons beside it.
  auto* middle = new QHBoxLayout;
  monthGrid_ = Named(new MonthGridWidget(central), "monthGrid");
  monthGrid_->setToolTip("歲次,月建,日辰 등을 보려면 클릭하세요.");
  middle->addWidget(monthGrid_, 1);
  auto* side = new QVBoxLayout;
  side->setSpacing(3);
  auto* pictures = new QHBoxLayout;
  sunPicture_ = Named(new SunPicture(central), "sunPicture");
  moonPicture_ = Named(new MoonPicture(central), "moonPicture");
  pictures->addWidget(sunPicture_);
  pictures->addWidget(moonPicture_);
  side->addLayout(pictures);
  reportButtons_ = new ReportButtons(*app_, central);
  side->addWidget(reportButtons_, 1);
  middle->addLayout(side);
  outer->addLayout(middle, 1);

  upcomingPanel_ = new UpcomingPanel(*app_, this);
  addDockWidget(Qt::RightDockWidgetArea, upcomingPanel_);
  upcomingPanel_->hide();
  editAnniversariesAction_ = Named(new QAction("비망일 편집(&A)...", this), "editAnniversariesAction");
  showUpcomingAction_ = Named(new QAction("다가오는 날(&U)", this), "showUpcomingAction");

  // The place and the reference box.
  auto* placeRow = new QHBoxLayout;
  placeChooser_ = new PlaceChooser(central);
  placeRow->addWidget(placeChooser_, 1);
  // What comes next from today: beside the place's clock, where the row
  // has room to give (the note box stretches).
  upcomingButton_ = Named(new QPushButton("다가오는 날", central), "upcomingButton");
  upcomingButton_->setToolTip("오늘부터 기념일·공휴일·절기까지 남은 날(D-N)");
  placeRow->addWidget(upcomingButton_, 0, Qt::AlignBottom);
  outer->addLayout(placeRow);

  // The settings row, hidden after the first activation.
  settingsRow_ = new SettingsRow(*app_, central);
  outer->addWidget(settingsRow_);

  // Created with the settings row in view and the ephemeris group hidden. The
  // default size has room for the row, so that showing it later never makes
  // the window grow.
  settingsRow_->ephemerisChoice->show();
  // A little wider than the rows need, for the pillar line of most months.
  constexpr int kPillarLineRoomPx = 64;
  resize(sizeHint() + QSize(kPillarLineRoomPx, 0));
  settingsRow_->ephemerisChoice->hide();
  ShowView();
}

void MainWindow::ConnectHandlers() {
  app_->SetProgress([this](int percent) { monthInputRow_->ShowProgress(percent); });
  connect(monthInputRow_, &MonthInputRow::monthChanged, this, &MainWindow::Refresh);
  connect(monthGrid_, &QTableWidget::currentCellChanged, this,
          [this](int row, int column, int, int) { cellSelected(row, column); });
  connect(monthGrid_, &MonthGridWidget::cellMouseDown, this, &MainWindow::cellPressed);
  connect(placeChooser_, &PlaceChooser::placeChosen, this, &MainWindow::placeChosen);
  connect(placeChooser_, &PlaceChooser::referencePressed, this, &MainWindow::referenceBoxPressed);
  connect(settingsRow_, &SettingsRow::ephemerisChanged, this, &MainWindow::Refresh);
  connect(settingsRow_, &SettingsRow::applyRequested, this, &MainWindow::applySettings);
  connect(settingsRow_, &SettingsRow::simulationRequested, this, &MainWindow::openSimulation);
  connect(reportButtons_->aboutButton, &BitButton::mouseDown, this, &MainWindow::aboutPressed);
  connect(reportButtons_->solarTermsButton, &QPushButton::clicked, this, &MainWindow::showSolarTerms);
  connect(reportButtons_->syzygiesButton, &QPushButton::clicked, this, &MainWindow::showSyzygies);
  connect(reportButtons_->eclipsesButton, &QPushButton::clicked, this, &MainWindow::showEclipses);
  connect(reportButtons_->eclipsesButton, &BitButton::mouseDown, this, &MainWindow::eclipsesPressed);
  connect(reportButtons_->leapMonthsButton, &QPushButton::clicked, this, &MainWindow::showLeapMonths);
  connect(reportButtons_->lunarDatesButton, &QPushButton::clicked, this, &MainWindow::showLunarDates);
  connect(reportButtons_->solarDatesButton, &QPushButton::clicked, this, &MainWindow::showSolarDates);
  connect(reportButtons_->holidaysButton, &QPushButton::clicked, this, &MainWindow::showHolidays);
  connect(reportButtons_->icsButton, &QPushButton::clicked, this, &MainWindow::exportIcs);
  connect(reportButtons_->anniversaryButton, &QPushButton::clicked, this, &MainWindow::EditAnniversaries);
  connect(upcomingButton_, &QPushButton::clicked, this, &MainWindow::ShowUpcoming);
  connect(editAnniversariesAction_, &QAction::triggered, this, &MainWindow::EditAnniversaries);
  connect(showUpcomingAction_, &QAction::triggered, this, &MainWindow::ShowUpcoming);
  connect(monthGrid_, &MonthGridWidget::wheelStep, monthInputRow_, &MonthInputRow::StepMonth);
  // Page Up/Down, Home, the arrows and the rest: the menu bar's actions.
  BuildMenuBar();
  ConnectKeyboard();
  askIcsExport = [this](IcsExportRequest& request) {
    return AskIcsExport(this, request, app_->Files().IcsYearLimits(), Q(app_->Folders().currentFolder));
  };
}

// --- Start-up, closing, screenshots -----------------------------------------------

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!app_->Started()) QTimer::singleShot(0, this, &MainWindow::StartUp);
}

void MainWindow::StartUp() {
  if (app_->Started()) return;
  SetSettingsRowVisible(false);
  handling_ = true;
  app_->StartUp();
  FillPlaces();
  handling_ = false;
  Refresh();
  WatchMemoFile();
  sunPicture_->Start();
  // The panel opens by itself when something falls today or tomorrow (two
  // days are asked first: usually today's year alone, from the cache).
  constexpr int kTodayAndTomorrow = 2;
  if (SomethingTodayOrTomorrow(app_->Files().UpcomingOf(app_->Memos(), app_->Today(), kTodayAndTomorrow))) ShowUpcoming();
}

void MainWindow::WatchMemoFile() {
  const QString path = QString::fromStdString(JoinPath(app_->Folders().currentFolder, kMemoFileName));
  delete memoWatch_;
  memoWatch_ = new FileWatch(path, [this] { MemoFileChanged(); }, this);
}

void MainWindow::MemoFileChanged() {
  // A simulation run has the engine: the month view is rebuilt after it.
  if (simulation_.window && simulation_.window->Running()) {
    QTimer::singleShot(kWaitForRunMs, this, &MainWindow::MemoFileChanged);
    return;
  }
  app_->Files().ReloadMemoFile();
  Refresh();
  if (upcomingPanel_->isVisible()) upcomingPanel_->Refill();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (simulation_.window && simulation_.window->Running()) {
    // A simulation run uses the engine: it stops first, leaving no file,
    // and the window closes once it has (the run ends at its next step).
    simulation_.window->Cancel();
    event->ignore();
    QTimer::singleShot(kWaitForRunMs, this, &QWidget::close);
    return;
  }
  if (app_->Started()) app_->Close();
  SaveWindowState();
  sunPicture_->Stop();
  QMainWindow::closeEvent(event);
}

bool MainWindow::SaveScreenshot(const QString& path, QSize size) {
  StartUp();
  if (size.isValid()) resize(size.expandedTo(minimumSizeHint()));
  if (!isVisible()) {
    // Lay the window out at its size without showing it on a screen.
    setAttribute(Qt::WA_DontShowOnScreen, true);
    show();
  }
  QCoreApplication::processEvents();
  // Quality 80 asks the PNG writer for its fastest real compression (level 1,
  // files about as small): the default level spends more time compressing
  // than the window spends starting up.
  constexpr int kFastPngQuality = 80;
  return grab().save(path, nullptr, kFastPngQuality);
}

void MainWindow::ShowMonth(int year, int month, bool lunar) {
  StartUp();
  app_->SetMonth(year, month, lunar ? DisplayMode::Lunar : DisplayMode::Solar);
  ShowInputs();
  monthInputRow_->ShowInputMonth();
}

bool MainWindow::SettingsRowVisible() const { return settingsRow_->isVisibleTo(this); }

void MainWindow::SetSettingsRowVisible(bool visible) { settingsRow_->SetRowVisible(visible); }

// --- Mirroring the state -------------------------------------------------------------

void MainWindow::ShowInputs() {
  monthInputRow_->ShowInputs();
  reportButtons_->ShowThirtyYearsAfter(app_->ThirtyYearsAfter());
}

QString MainWindow::ShownMonthKey(const CalendarApp& a) {
  return QString("%1/%2/%3/%4")
      .arg(AstronomicalYear(a.Inputs()))
      .arg(a.Inputs().month)
      .arg(a.Mode() == DisplayMode::Lunar ? 1 : 0)
      .arg(a.LeapMonthWanted() ? 1 : 0);
}

void MainWindow::ShowSelection() {
  if (selectedMonth_ != ShownMonthKey(*app_) || !app_->Selected().selected()) selectedCell_ = -1;
  monthGrid_->SetSelectedCell(selectedCell_);
}

void MainWindow::ShowView() {
  CalendarApp& a = *app_;
  monthGrid_->SetView(a.Month().View());
  ShowSelection();
  monthInputRow_->ShowMonthPillars();
  placeChooser_->ShowReference(a.ReferenceText());
  moonPicture_->SetAge(a.Month().ShownMoonAge());
  a.Month().ShowPendingNotice();
  // Moving through the days with the keys keeps the focus on the grid.
  if (!monthGrid_->hasFocus()) monthInputRow_->yearInput->setFocus();
}

void MainWindow::FillPlaces() { placeChooser_->FillPlaces(app_->Places(), app_->Settings().PlaceIndex); }

void MainWindow::Refresh() {
  handling_ = true;
  ShowInputs();
  settingsRow_->ShowChosenSettings();
  placeChooser_->ShowPlace(app_->Settings().PlaceIndex);
  handling_ = false;
  ShowView();
}

template <typename Action>
void MainWindow::Rebuild(Action action) {
  if (!monthInputRow_->ReadInputs()) return;
  action();
  Refresh();
}

// --- The month grid ------------------------------------------------------------------

void MainWindow::cellSelected(int row, int column) {
  if (handling_ || row < 0 || column < 0) return;
  app_->Month().SelectCell(column, row);
  monthInputRow_->ShowDayPillars();
  const int cell = MonthGrid::CellAt(column, row);
  if (app_->Month().View().InMonth(cell)) moonPicture_->SetAge(app_->Month().MoonAgeOfCell(cell));
}

void MainWindow::cellPressed(int row, int column, Qt::MouseButton) {
  // Any mouse button: the day's pillars, then its report.
  cellSelected(row, column);
  if (!monthInputRow_->ReadInputs()) return;
  if (!app_->Month().SelectDay(column, row)) return;
  selectedCell_ = MonthGrid::CellAt(column, row);
  selectedMonth_ = ShownMonthKey(*app_);
  monthGrid_->SetSelectedCell(selectedCell_);
  placeChooser_->ShowReference(app_->ReferenceText());
  moonPicture_->SetAge(app_->Month().ShownMoonAge());
  app_->Reports().ShowDayReport();
  Refresh();  // the memo file may have changed the month view
  if (app_->Reports().TakePillarsRequest()) {
    const DaySelection& day = app_->Selected();
    ShowPillarsDialog(this, *app_, day.solarYear, day.solarMonth, day.solarDay);
  }
}

// --- Places -----------------------------------------------------------------------------

void MainWindow::placeChosen(int index) {
  if (handling_) return;
  if (!monthInputRow_->ReadInputs()) {
    placeChooser_->placeChoice->setCurrentIndex(app_->Settings().PlaceIndex);
    return;
  }
  app_->ChangePlace(index);
  Refresh();
  // The place's clock, which the rebuild's calendar note must not cover.
  placeChooser_->ShowReference(app_->ReferenceText());
}

void MainWindow::referenceBoxPressed() {
  app_->PressReferenceBox();
  placeChooser_->ShowReference(app_->ReferenceText());
  monthInputRow_->yearInput->setFocus();
}

// --- Settings -----------------------------------------------------------------------------

void MainWindow::applySettings() {
  Rebuild([&] { app_->Apply(); });
  // An open simulation window is opened again on the settings now in effect
  // (its target list depends on the ephemeris).
  if (simulation_.window && simulation_.memory.windowOpen) {
    simulation_.window->close();
    simulation_.window->deleteLater();
    simulation_.window = nullptr;
    ShowSimulationWindow(simulation_, *app_, this);
  }
}

void MainWindow::openSimulation() { ShowSimulationWindow(simulation_, *app_, this); }

void MainWindow::aboutPressed(Qt::MouseButton button) {
  const bool shown = SettingsRowVisible();
  if (button == Qt::LeftButton || shown) SetSettingsRowVisible(!shown);
  else app_->Reports().AboutBox();
}

// --- Reports ------------------------------------------------------------------------------

template <typename Report>
void MainWindow::RunReport(Report report) {
  if (!monthInputRow_->ReadInputs()) return;
  report();
  Refresh();
}

void MainWindow::showSolarTerms() {
  RunReport([&] { app_->Reports().SolarTermReport(); });
}

void MainWindow::showSyzygies() {
  RunReport([&] { app_->Reports().SyzygyReport(); });
}

// The left button clicks (the local report); the right one presses only.
void MainWindow::showEclipses() {
  RunReport([&] { app_->Reports().EclipseReport(true); });
}

void MainWindow::eclipsesPressed(Qt::MouseButton button) {
  if (button == Qt::LeftButton) return;
  RunReport([&] { app_->Reports().EclipseReport(button != Qt::RightButton); });
}

void MainWindow::showLeapMonths() {
  RunReport([&] { app_->Reports().LeapMonthTable(); });
}

void MainWindow::showLunarDates() {
  RunReport([&] { app_->Reports().LunarDatesTable(); });
}

void MainWindow::showSolarDates() {
  RunReport([&] { app_->Reports().SolarDatesTable(); });
}

void MainWindow::showHolidays() {
  RunReport([&] { app_->Reports().HolidayReport(); });
}

void MainWindow::EditAnniversaries() {
  StartUp();
  AnniversaryDialog dialog(*app_, this);
  dialog.exec();
  Refresh();
  if (upcomingPanel_->isVisible()) upcomingPanel_->Refill();
}

void MainWindow::ShowUpcoming() {
  StartUp();
  upcomingPanel_->Refill();
  upcomingPanel_->show();
  upcomingPanel_->raise();
}

void MainWindow::exportIcs() {
  IcsExportRequest request = app_->Files().DefaultIcsRequest();
  if (!askIcsExport || !askIcsExport(request)) return;
  app_->Files().ExportIcs(request);
  Refresh();
}

}  // namespace orv
