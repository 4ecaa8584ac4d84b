#include "app/gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLocale>
#include <QPixmap>
#include <QCompleter>
#include <QShortcut>
#include <QTimer>
#include <cmath>

#include "app/core/files/config.h"
#include "app/core/files/files.h"
#include "app/gui/ics_export_dialog.h"
#include "app/gui/pillars_dialog.h"
#include "app/gui/qt_messages.h"
#include "app/gui/sky_pictures.h"
#include "app/core/reports/day_report.h"
#include "app/core/reports/eclipse_reports.h"
#include "ephemeris/earth_orientation.h"

namespace orv {
namespace {

constexpr int kYearMaxChars = 6;
constexpr int kMonthMaxChars = 2;
constexpr int kPlaceListVisibleLines = 28;
constexpr double kTodayFontPoints = 12;
constexpr double kCreditFontPoints = 10;
constexpr double kWindowFontPoints = 9;

constexpr const char* kCreditLine = "Orvanta 천문 만세력";

QString Q(const std::string& s) { return QString::fromStdString(s); }

const QString kRedBackground = "background-color: #FF0000;";

// What waits for a simulation run (closing, the memo reload) is tried again
// this often.
constexpr int kWaitForRunMs = 50;

QString MonthKey(const CalendarApp& a) {
  return QString("%1/%2/%3/%4")
      .arg(AstronomicalYear(a.Inputs()))
      .arg(a.Inputs().month)
      .arg(a.Mode() == DisplayMode::Lunar ? 1 : 0)
      .arg(a.LeapMonthWanted() ? 1 : 0);
}

// The pictures beside the day report and the map button beside the eclipse report.
ReportPanelFactory ReportPanels(CalendarApp& app) {
  return [&app](const std::string& caption, QWidget* parent) -> QWidget* {
    if (caption == kDayReportCaption) return MakeDaySkyPanel(app, parent);
    if (caption == kEclipseReportCaption) return MakeEclipseMapButton(app, parent);
    return nullptr;
  };
}

}  // namespace

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent),
      ownMessages_(std::make_unique<QtMessageSink>(this)),
      ownClock_(std::make_unique<SystemClock>()) {
  const AppFolders folders =
      DesktopAppFolders(QCoreApplication::applicationDirPath().toStdString(), UserFoldersFromEnvironment());
  app_ = std::make_unique<CalendarApp>(folders, *ownMessages_, *ownClock_);
  app_->SetProgramRunner(editorRunner_, WindowEditorCommands());
  ownMessages_->SetReportPanels(ReportPanels(*app_));
  BuildControls();
  ConnectHandlers();
  RestoreWindowState();
}

TForm1::TForm1(const AppFolders& folders, MessageSink& messages, const Clock& clock, QWidget* parent)
    : QMainWindow(parent), app_(std::make_unique<CalendarApp>(folders, messages, clock)) {
  app_->SetProgramRunner(editorRunner_, WindowEditorCommands());
  BuildControls();
  ConnectHandlers();
  RestoreWindowState();
}

TForm1::~TForm1() = default;

// --- Building the window --------------------------------------------------------

// Room beside the text of a narrow push button, pixels at 96 dpi.
constexpr int kNarrowButtonPaddingPx = 10;

void TForm1::BuildControls() {
  setObjectName("TForm1");
  setWindowTitle("Orvanta");
  setFont(GridFont(kWindowFontPoints));
  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(4, 4, 4, 4);
  outer->setSpacing(3);
  // The window keeps the size the user gives it: the grid takes what the
  // other rows leave. Showing the settings row takes room from the grid.

  auto named = [](auto* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
  };

  // Inputs of the month.
  auto* inputRow = new QHBoxLayout;
  inputRow->setSpacing(3);
  Edit1 = named(new InputEdit(central), "Edit1");
  Edit1->setMaxLength(kYearMaxChars);
  Edit1->setFixedWidth(58);
  Edit1->setToolTip("BC1년은 0, BC2년은 -1과 같습니다.");
  UpDown1 = named(new UpDown(central), "UpDown1");
  RadioGroup1 = named(new RadioGroup("", {"BC", "AD"}, central, false), "RadioGroup1");
  auto* yearLabel = new QLabel("년", central);
  Edit2 = named(new InputEdit(central), "Edit2");
  Edit2->setMaxLength(kMonthMaxChars);
  Edit2->setFixedWidth(30);
  UpDown2 = named(new UpDown(central), "UpDown2");
  auto* monthLabel = new QLabel("월", central);
  GroupBox_Display = named(new QGroupBox("표시력", central), "GroupBox_Display");
  auto* displayLayout = new QHBoxLayout(GroupBox_Display);
  displayLayout->setContentsMargins(6, 2, 6, 2);
  RadioButton4 = named(new QRadioButton("양력", GroupBox_Display), "RadioButton4");
  RadioButton5 = named(new QRadioButton("음력", GroupBox_Display), "RadioButton5");
  displayLayout->addWidget(RadioButton4);
  displayLayout->addWidget(RadioButton5);
  CheckBox1 = named(new QCheckBox("윤달", central), "CheckBox1");
  CheckBox2 = named(new QCheckBox("보정", central), "CheckBox2");
  CheckBox2->setToolTip("윤달지정 및 달의 대소를 역사기록과 맞춥니다(2년~1911년사이)");
  BitBtn1 = named(new BitButton("달력보기", central), "BitBtn1");
  TdayPanel = named(new PressPanel("오늘", central), "TdayPanel");
  TdayPanel->setToolTip("오늘의 달력으로 되돌아 갑니다.");
  TdayPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  TdayPanel->setAlignment(Qt::AlignCenter);
  TdayPanel->setMinimumWidth(64);
  // The credit line shown while the panel is pressed is wider than "오늘":
  // the panel keeps its width rather than widening the row.
  TdayPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  TdayPanel->setFont(GridFont(kTodayFontPoints, true));
  for (QWidget* w : std::initializer_list<QWidget*>{Edit1, UpDown1, yearLabel, RadioGroup1, Edit2, UpDown2,
                                                    monthLabel, GroupBox_Display, CheckBox1, CheckBox2, BitBtn1,
                                                    TdayPanel})
    inputRow->addWidget(w);
  // Pillars and progress on the same row: the menu bar took the height of
  // a row of its own, and the window must still fit a 768-pixel screen.
  auto* pillarRow = inputRow;
  Edit3 = named(new QLineEdit("歲次", central), "Edit3");
  Edit5 = named(new QLineEdit("月建", central), "Edit5");
  for (QLineEdit* e : {Edit3, Edit5}) {
    e->setReadOnly(true);
    e->setFixedWidth(72);
    e->setAlignment(Qt::AlignCenter);
    e->setFocusPolicy(Qt::NoFocus);
    e->setFont(GridFont(11, true));
  }
  ProgressBar1 = named(new QProgressBar(central), "ProgressBar1");
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setFixedHeight(12);
  pillarRow->addWidget(Edit3);
  pillarRow->addWidget(Edit5);
  PillarLine = named(new QLabel(central), "PillarLine");
  PillarLine->setFont(GridFont(9));
  PillarLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // The line may be cut in a narrow window; its tooltip then shows it whole.
  PillarLine->setMinimumWidth(120);
  PillarLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  pillarRow->addWidget(PillarLine, 3);
  ProgressBar1->setFixedWidth(24);
  pillarRow->addWidget(ProgressBar1);
  outer->addLayout(inputRow);

  // The grid and the buttons beside it.
  auto* middle = new QHBoxLayout;
  StringGrid1 = named(new MonthGridWidget(central), "StringGrid1");
  StringGrid1->setToolTip("歲次,月建,日辰 등을 보려면 클릭하세요.");
  middle->addWidget(StringGrid1, 1);
  auto* side = new QVBoxLayout;
  side->setSpacing(3);
  auto* pictures = new QHBoxLayout;
  Anisun = named(new SunPicture(central), "Anisun");
  Animoon = named(new MoonPicture(central), "Animoon");
  pictures->addWidget(Anisun);
  pictures->addWidget(Animoon);
  side->addLayout(pictures);
  BitBtn3 = named(new BitButton("절기(해)", central), "BitBtn3");
  BitBtn4 = named(new BitButton("삭망(달)", central), "BitBtn4");
  BitBtn10 = named(new BitButton("<일/월식>", central), "BitBtn10");
  BitBtn10->setToolTip("좌클릭;Local, 우클릭;Global");
  side->addWidget(BitBtn3);
  side->addWidget(BitBtn4);
  side->addWidget(BitBtn10);
  GroupBox_Years = named(new QGroupBox("30년동안", central), "GroupBox_Years");
  auto* yearsLayout = new QVBoxLayout(GroupBox_Years);
  yearsLayout->setContentsMargins(4, 2, 4, 4);
  yearsLayout->setSpacing(2);
  auto* rangeRow = new QHBoxLayout;
  RadioButton6 = named(new QRadioButton("전", GroupBox_Years), "RadioButton6");
  RadioButton7 = named(new QRadioButton("후", GroupBox_Years), "RadioButton7");
  RadioButton7->setChecked(true);
  rangeRow->addWidget(RadioButton6);
  rangeRow->addWidget(RadioButton7);
  yearsLayout->addLayout(rangeRow);
  BitBtn5 = named(new BitButton("윤달년월", GroupBox_Years), "BitBtn5");
  BitBtn5->setToolTip("음력 윤달이 든 해와 윤달 보기");
  BitBtn6 = named(new BitButton("음력월일", GroupBox_Years), "BitBtn6");
  BitBtn6->setToolTip("양력 날짜가 같은 음력 보기");
  BitBtn7 = named(new BitButton("양력월일", GroupBox_Years), "BitBtn7");
  BitBtn7->setToolTip("음력 날짜가 같은 양력 보기");
  yearsLayout->addWidget(BitBtn5);
  yearsLayout->addWidget(BitBtn6);
  yearsLayout->addWidget(BitBtn7);
  side->addWidget(GroupBox_Years);
  BitBtn8 = named(new BitButton("금년기념일", central), "BitBtn8");
  BitBtn8->setToolTip("올해의 기념일");
  side->addWidget(BitBtn8);
  IcsButton = named(new QPushButton("iCal", central), "IcsButton");
  IcsButton->setToolTip("절기·삭망·기념일·비망일을 iCalendar(.ics) 파일로 내보냅니다");
  // The anniversary manager shares the row of the iCalendar export: the
  // column keeps its height, which the smallest window is measured by.
  anniversaryButton = named(new QPushButton("비망일 편집", central), "anniversaryButton");
  anniversaryButton->setToolTip("비망일(기념일)을 보고 더하고 고치고 지웁니다");
  auto* memoRow = new QHBoxLayout;
  memoRow->setSpacing(3);
  // Both as narrow as their texts (not the style's 80-pixel push button), so
  // that the column, and the grid beside it, keep their widths.
  for (QPushButton* button : {anniversaryButton, IcsButton}) {
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + kNarrowButtonPaddingPx);
  }
  memoRow->addWidget(anniversaryButton, 2);
  memoRow->addWidget(IcsButton, 1);
  side->addLayout(memoRow);
  side->addWidget(MakePillarsButton(central, *app_));
  side->addStretch(1);
  BitBtn2 = named(new BitButton("<설정/안내>", central), "BitBtn2");
  BitBtn2->setToolTip("좌클릭;환경설정 및 기타 계산, 우클릭;안내");
  side->addWidget(BitBtn2);
  middle->addLayout(side);
  outer->addLayout(middle, 1);

  upcomingPanel = new UpcomingPanel(*app_, this);
  addDockWidget(Qt::RightDockWidgetArea, upcomingPanel);
  upcomingPanel->hide();
  editAnniversariesAction = new QAction("비망일 편집(&A)...", this);
  editAnniversariesAction->setObjectName("editAnniversariesAction");
  showUpcomingAction = new QAction("다가오는 날(&U)", this);
  showUpcomingAction->setObjectName("showUpcomingAction");

  // The place and the reference box.
  auto* placeRow = new QHBoxLayout;
  GroupBox_Place = named(new QGroupBox("표시지역", central), "GroupBox_Place");
  auto* placeLayout = new QHBoxLayout(GroupBox_Place);
  placeLayout->setContentsMargins(4, 2, 4, 4);
  ComboBox1 = named(new QComboBox(GroupBox_Place), "ComboBox1");
  ComboBox1->setMaxVisibleItems(kPlaceListVisibleLines);
  ComboBox1->setMinimumWidth(190);
  // Typing filters the 652 places: any part of a name finds it.
  ComboBox1->setEditable(true);
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  ComboBox1->completer()->setFilterMode(Qt::MatchContains);
  ComboBox1->completer()->setCompletionMode(QCompleter::PopupCompletion);
  ComboBox1->completer()->setCaseSensitivity(Qt::CaseInsensitive);
  placeLayout->addWidget(ComboBox1);
  placeRow->addWidget(GroupBox_Place);
  Edit4 = named(new InputEdit(central), "Edit4");
  Edit4->setReadOnly(true);
  Edit4->setToolTip("클릭하면 현지시각과 섬머타임 기간이 번갈아 표시됨");
  Edit4->setStyleSheet("background-color: #C0C0C0;");
  placeRow->addWidget(Edit4, 1, Qt::AlignBottom);
  PlaceTimeButton = named(new QToolButton(central), "PlaceTimeButton");
  PlaceTimeButton->setText("현지시각·섬머타임");
  PlaceTimeButton->setToolTip(Edit4->toolTip());
  placeRow->addWidget(PlaceTimeButton, 0, Qt::AlignBottom);
  // What comes next from today: beside the place's clock, where the row
  // has room to give (the note box stretches).
  upcomingButton = named(new QPushButton("다가오는 날", central), "upcomingButton");
  upcomingButton->setToolTip("오늘부터 기념일·공휴일·절기까지 남은 날(D-N)");
  placeRow->addWidget(upcomingButton, 0, Qt::AlignBottom);
  outer->addLayout(placeRow);

  // The settings row, hidden after the first activation.
  SettingsRow = named(new QWidget(central), "SettingsRow");
  auto* settingsOuter = new QVBoxLayout(SettingsRow);
  settingsOuter->setContentsMargins(0, 0, 0, 0);
  settingsOuter->setSpacing(2);
  auto* groups = new QHBoxLayout;
  groups->setSpacing(3);
  RadioGroup2 = named(new RadioGroup("Ephemeris", {"PLAN404", "DE431", "DE441"}, SettingsRow), "RadioGroup2");
  RadioGroup3 = named(new RadioGroup("Precession", {"Owen1990", "IAU2006"}, SettingsRow), "RadioGroup3");
  RadioGroup4 = named(new RadioGroup("Nutation", {"Internal", "IAU2000B"}, SettingsRow), "RadioGroup4");
  RadioGroup5 = named(new RadioGroup("Ecliptic Obliquity", {"Owen1990", "IAU2006"}, SettingsRow), "RadioGroup5");
  RadioGroup6 = named(new RadioGroup("Time System", {"Terrestrial T", "Universal T", "Standard T", "Civil Clock"},
                                     SettingsRow, true, 2),
                      "RadioGroup6");
  RadioGroup7 = named(new RadioGroup("Delta T", {"NASA", "Horizons", "User Input"}, SettingsRow), "RadioGroup7");
  GroupBox5 = named(new QGroupBox("Comp'sation", SettingsRow), "GroupBox5");
  auto* compLayout = new QVBoxLayout(GroupBox5);
  compLayout->setContentsMargins(6, 2, 6, 2);
  CheckBox3 = named(new QCheckBox("Tidal", GroupBox5), "CheckBox3");
  CheckBox4 = named(new QCheckBox("E.O.P", GroupBox5), "CheckBox4");
  compLayout->addWidget(CheckBox3);
  compLayout->addWidget(CheckBox4);
  for (QWidget* g : std::initializer_list<QWidget*>{RadioGroup2, RadioGroup3, RadioGroup4, RadioGroup5, RadioGroup6,
                                                    RadioGroup7, GroupBox5})
    groups->addWidget(g, 0, Qt::AlignTop);
  auto* applyColumn = new QVBoxLayout;
  BitBtn9 = named(new BitButton("설정적용", SettingsRow), "BitBtn9");
  BitBtn9->setToolTip("환경설정 후 반드시 적용클릭");
  BitBtn11 = named(new BitButton("근사", SettingsRow), "BitBtn11");
  BitBtn11->setToolTip("JPL의 HORIZONS에 근사값을 출력하기 위한 설정입니다.(HORIZONS의 기준지역은 영국 *런던)");
  BitBtn12 = named(new BitButton("추가계산", SettingsRow), "BitBtn12");
  applyColumn->addWidget(BitBtn9);
  applyColumn->addWidget(BitBtn11);
  applyColumn->addWidget(BitBtn12);
  applyColumn->addStretch(1);
  groups->addLayout(applyColumn);
  groups->addStretch(1);
  settingsOuter->addLayout(groups);
  auto* strip = new QHBoxLayout;
  Label_DeltaT = named(new QLabel("Delta_T(User Input) = ", SettingsRow), "Label_DeltaT");
  U_delT = named(new QLineEdit("0", SettingsRow), "U_delT");
  U_delT->setFixedWidth(120);
  strip->addWidget(Label_DeltaT);
  strip->addWidget(U_delT);
  strip->addStretch(1);
  settingsOuter->addLayout(strip);
  outer->addWidget(SettingsRow);

  // Created with the settings row in view and the ephemeris group hidden. The
  // default size has room for the row, so that showing it later never makes
  // the window grow.
  RadioGroup2->show();
  // A little wider than the rows need, for the pillar line of most months.
  constexpr int kPillarLineRoomPx = 64;
  resize(sizeHint() + QSize(kPillarLineRoomPx, 0));
  RadioGroup2->hide();
  RadioButton4->setChecked(true);
  CheckBox1->setEnabled(false);
  ShowView();
}

void TForm1::ConnectHandlers() {
  app_->SetProgress([this](int percent) {
    ProgressBar1->setValue(percent);
    ProgressBar1->repaint();
  });
  connect(UpDown1, &UpDown::clicked, this, &TForm1::UpDown1Click);
  connect(UpDown2, &UpDown::clicked, this, &TForm1::UpDown2Click);
  connect(Edit1, &InputEdit::enterReleased, this, &TForm1::Edit1KeyUp);
  connect(Edit2, &InputEdit::enterReleased, this, &TForm1::Edit1KeyUp);
  connect(Edit1, &InputEdit::focusLost, this, [this] { EditExit(Edit1); });
  connect(Edit2, &InputEdit::focusLost, this, [this] { EditExit(Edit2); });
  connect(BitBtn1, &QPushButton::clicked, this, &TForm1::ClickBtn1);
  connect(RadioGroup1, &RadioGroup::clicked, this, &TForm1::RadioGroup1Click);
  connect(RadioButton4, &QRadioButton::clicked, this, &TForm1::RadioButton4Click);
  connect(RadioButton5, &QRadioButton::clicked, this, &TForm1::RadioButton5Click);
  connect(CheckBox1, &QCheckBox::clicked, this, &TForm1::CheckBox1MouseUp);
  connect(CheckBox2, &QCheckBox::clicked, this, &TForm1::CheckBox2MouseUp);
  connect(TdayPanel, &PressPanel::mouseDown, this, &TForm1::TdayPanelMouseDown);
  connect(TdayPanel, &PressPanel::mouseUp, this, &TForm1::TdayPanelMouseUp);
  connect(StringGrid1, &QTableWidget::currentCellChanged, this,
          [this](int row, int column, int, int) { SelectSGCell(row, column); });
  connect(StringGrid1, &MonthGridWidget::cellMouseDown, this, &TForm1::MdownSGCell);
  connect(ComboBox1, &QComboBox::activated, this, &TForm1::ComboBox1Change);
  connect(Edit4, &InputEdit::mouseDown, this, &TForm1::Edit4MouseDown);
  connect(RadioGroup2, &RadioGroup::clicked, this, &TForm1::RadioGroup2Click);
  connect(RadioGroup3, &RadioGroup::clicked, this, &TForm1::RadioGroup3Click);
  connect(RadioGroup4, &RadioGroup::clicked, this, &TForm1::RadioGroup4Click);
  connect(RadioGroup5, &RadioGroup::clicked, this, &TForm1::RadioGroup5Click);
  connect(RadioGroup6, &RadioGroup::clicked, this, &TForm1::RadioGroup6Click);
  connect(RadioGroup7, &RadioGroup::clicked, this, &TForm1::RadioGroup7Click);
  connect(CheckBox3, &QCheckBox::clicked, this, &TForm1::CheckBox3Click);
  connect(CheckBox4, &QCheckBox::clicked, this, &TForm1::CheckBox4Click);
  connect(U_delT, &QLineEdit::editingFinished, this, &TForm1::U_delTExit);
  connect(BitBtn9, &QPushButton::clicked, this, &TForm1::ClickBtn9);
  connect(BitBtn11, &QPushButton::clicked, this, &TForm1::ClickBtn11);
  connect(BitBtn11, &BitButton::mouseDown, this, [this](Qt::MouseButton) { PaintSettingsGroups(true); });
  connect(BitBtn11, &BitButton::mouseUp, this, [this](Qt::MouseButton) { PaintSettingsGroups(false); });
  connect(BitBtn12, &QPushButton::clicked, this, &TForm1::ClickBtn12);
  connect(BitBtn2, &BitButton::mouseDown, this, &TForm1::Btn2MouseDown);
  connect(RadioButton6, &QRadioButton::clicked, this, [this] { app_->SetThirtyYearsAfter(false); });
  connect(RadioButton7, &QRadioButton::clicked, this, [this] { app_->SetThirtyYearsAfter(true); });
  connect(BitBtn3, &QPushButton::clicked, this, &TForm1::ClickBtn3);
  connect(BitBtn4, &QPushButton::clicked, this, &TForm1::ClickBtn4);
  connect(BitBtn10, &QPushButton::clicked, this, &TForm1::ClickBtn10);
  connect(BitBtn10, &BitButton::mouseDown, this, &TForm1::Btn10MouseDown);
  connect(BitBtn5, &QPushButton::clicked, this, &TForm1::ClickBtn5);
  connect(BitBtn6, &QPushButton::clicked, this, &TForm1::ClickBtn6);
  connect(BitBtn7, &QPushButton::clicked, this, &TForm1::ClickBtn7);
  connect(BitBtn8, &QPushButton::clicked, this, &TForm1::ClickBtn8);
  connect(IcsButton, &QPushButton::clicked, this, &TForm1::ClickIcsButton);
  connect(anniversaryButton, &QPushButton::clicked, this, &TForm1::EditAnniversaries);
  connect(upcomingButton, &QPushButton::clicked, this, &TForm1::ShowUpcoming);
  connect(editAnniversariesAction, &QAction::triggered, this, &TForm1::EditAnniversaries);
  connect(showUpcomingAction, &QAction::triggered, this, &TForm1::ShowUpcoming);
  connect(PlaceTimeButton, &QToolButton::clicked, this, &TForm1::Edit4MouseDown);
  connect(StringGrid1, &MonthGridWidget::wheelStep, this, &TForm1::UpDown2Click);
  // Page Up/Down, Home, the arrows and the rest: the menu bar's actions.
  BuildMenuBar();
  ConnectKeyboard();
  askIcsExport = [this](IcsExportRequest& request) {
    return AskIcsExport(this, request, app_->IcsYearLimits(), Q(app_->Folders().currentFolder));
  };
}

// --- Start-up, closing, screenshots -----------------------------------------------

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!app_->Started()) QTimer::singleShot(0, this, &TForm1::StartUp);
}

void TForm1::StartUp() {
  if (app_->Started()) return;
  SetSettingsRowVisible(false);
  handling_ = true;
  app_->StartUp();
  FillPlaces();
  handling_ = false;
  Refresh();
  WatchMemoFile();
  Anisun->Start();
  // The panel opens by itself when something falls today or tomorrow (two
  // days are asked first: usually today's year alone, from the cache).
  constexpr int kTodayAndTomorrow = 2;
  if (SomethingTodayOrTomorrow(app_->UpcomingOf(app_->Memos(), app_->Today(), kTodayAndTomorrow))) ShowUpcoming();
}

void TForm1::WatchMemoFile() {
  const QString path = QString::fromStdString(JoinPath(app_->Folders().currentFolder, kMemoFileName));
  delete memoWatch_;
  memoWatch_ = new FileWatch(path, [this] { MemoFileChanged(); }, this);
}

void TForm1::MemoFileChanged() {
  // A simulation run has the engine: the month view is rebuilt after it.
  if (simulation_.formSimulBox && simulation_.formSimulBox->Running()) {
    QTimer::singleShot(kWaitForRunMs, this, &TForm1::MemoFileChanged);
    return;
  }
  app_->ReloadMemoFile();
  Refresh();
  if (upcomingPanel->isVisible()) upcomingPanel->Refill();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (simulation_.formSimulBox && simulation_.formSimulBox->Running()) {
    // A simulation run uses the engine: it stops first, leaving no file,
    // and the window closes once it has (the run ends at its next step).
    simulation_.formSimulBox->Cancel();
    event->ignore();
    QTimer::singleShot(kWaitForRunMs, this, &QWidget::close);
    return;
  }
  if (app_->Started()) app_->Close();
  SaveWindowState();
  Anisun->Stop();
  QMainWindow::closeEvent(event);
}

bool TForm1::SaveScreenshot(const QString& path, QSize size) {
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

void TForm1::ShowMonth(int year, int month, bool lunar) {
  StartUp();
  app_->SetMonth(year, month, lunar ? DisplayMode::Lunar : DisplayMode::Solar);
  ShowInputs();
  ClickBtn1();
}

bool TForm1::SettingsRowVisible() const { return SettingsRow->isVisibleTo(this); }

void TForm1::SetSettingsRowVisible(bool visible) {
  SettingsRow->setVisible(visible);
  RadioGroup2->setVisible(visible);
}

void TForm1::PaintSettingsGroups(bool red) {
  for (QWidget* g : std::initializer_list<QWidget*>{RadioGroup2, RadioGroup3, RadioGroup4, RadioGroup5, RadioGroup6,
                                                    RadioGroup7, GroupBox5})
    g->setStyleSheet(red ? kRedBackground : QString());
}

// --- Mirroring the state -------------------------------------------------------------

bool TForm1::ReadInputs() {
  bool yearOk = false, monthOk = false;
  const int year = Edit1->text().trimmed().toInt(&yearOk);
  const int month = Edit2->text().trimmed().toInt(&monthOk);
  if (!yearOk || !monthOk) {
    RejectInput(!yearOk ? Edit1 : Edit2);
    return false;
  }
  app_->SetInputs({year, RadioGroup1->ItemIndex() != 0, month});
  return true;
}

void TForm1::RejectInput(QLineEdit* edit) {
  if (rejecting_) return;
  rejecting_ = true;
  const QString bad = edit->text();
  const QString what = edit == Edit1 ? "연도" : "월";
  app_->Messages().Show(("'" + bad + "'은(는) 올바른 정수 값이 아닙니다.\n" + what +
                       "는 숫자로 입력하세요. 앞의 값으로 되돌립니다.")
                          .toStdString(),
                      "오류", MessageButtons::Ok, MessageIcon::Error);
  // The value of the month shown comes back.
  Edit1->setText(QString::number(app_->Inputs().yearNumber));
  Edit2->setText(QString::number(app_->Inputs().month));
  rejecting_ = false;
}

void TForm1::ShowInputs() {
  const CalendarApp& a = *app_;
  Edit1->setText(QString::number(a.Inputs().yearNumber));
  Edit2->setText(QString::number(a.Inputs().month));
  RadioGroup1->SetItemIndex(a.Inputs().eraAD ? 1 : 0);
  RadioButton4->setChecked(a.Mode() == DisplayMode::Solar);
  RadioButton5->setChecked(a.Mode() == DisplayMode::Lunar);
  CheckBox1->setEnabled(a.Mode() == DisplayMode::Lunar);
  CheckBox1->setChecked(a.Mode() == DisplayMode::Lunar && a.LeapMonthWanted());
  CheckBox2->setEnabled(a.CorrectionEnabled());
  CheckBox2->setChecked(a.HistoricalCorrection());
  RadioButton6->setChecked(!a.ThirtyYearsAfter());
  RadioButton7->setChecked(a.ThirtyYearsAfter());
}

void TForm1::ShowSelection() {
  if (selectedMonth_ != MonthKey(*app_) || !app_->Selected().selected()) selectedCell_ = -1;
  StringGrid1->SetSelectedCell(selectedCell_);
}

void TForm1::ShowView() {
  CalendarApp& a = *app_;
  StringGrid1->SetView(a.View());
  ShowSelection();
  Edit3->setText(Q(a.Edit3Text()));
  Edit5->setText(Q(a.Edit5Text()));
  Edit5->setStyleSheet(a.Edit5Red() ? kRedBackground : QString());
  Edit4->setText(Q(a.Edit4Text()));
  Edit4->setCursorPosition(0);
  PillarLine->setText(Q(a.TermPillarLine()));
  PillarLine->setToolTip(Q(a.TermPillarLine()) + "\n절기력: 해는 입춘에, 달은 각 절(節)에 바뀝니다");
  Animoon->SetAge(a.ShownMoonAge());
  a.ShowPendingNotice();
  // Moving through the days with the keys keeps the focus on the grid.
  if (!StringGrid1->hasFocus()) Edit1->setFocus();
}

void TForm1::ShowSettings() {
  const CalendarApp& a = *app_;
  RadioGroup2->SetItemIndex(a.EphemerisChoiceIndex());
  RadioGroup2->SetItemEnabled(1, a.De431Selectable());
  RadioGroup3->SetItemIndex(a.PrecessionItem());
  RadioGroup4->SetItemIndex(a.NutationItem());
  RadioGroup5->SetItemIndex(a.ObliquityItem());
  RadioGroup6->SetItemIndex(a.TimeSystemItem());
  RadioGroup7->SetItemIndex(a.DeltaTItem());
  CheckBox3->setChecked(a.ChosenSettings().TidalCompensation != 0);
  CheckBox4->setChecked(EopCorrectionOn(a.ChosenSettings()));
  U_delT->setText(QString::number(a.ChosenSettings().UserDeltaT, 'g', QLocale::FloatingPointShortest));
}

void TForm1::FillPlaces() {
  ComboBox1->clear();
  // Korean names find places abroad ("뉴욕"); rows that look alike say what
  // tells them apart.
  const PlaceTable& places = app_->Places();
  QStringList labels;
  for (const std::string& label : PlaceListLabels(places)) labels << Q(label);
  ComboBox1->addItems(labels);
  ComboBox1->setCurrentIndex(app_->Settings().PlaceIndex);
}

void TForm1::Refresh() {
  handling_ = true;
  ShowInputs();
  ShowSettings();
  if (ComboBox1->currentIndex() != app_->Settings().PlaceIndex) ComboBox1->setCurrentIndex(app_->Settings().PlaceIndex);
  handling_ = false;
  ShowView();
}

template <typename Action>
void TForm1::Rebuild(Action action) {
  if (!ReadInputs()) return;
  action();
  Refresh();
}

// --- Month-view handlers ----------------------------------------------------------------

void TForm1::UpDown1Click(bool up) {
  Rebuild([&] { app_->StepYear(up); });
}

void TForm1::UpDown2Click(bool up) {
  Rebuild([&] { app_->StepMonth(up); });
}

void TForm1::Edit1KeyUp() {
  Rebuild([&] { app_->ShowInputs(); });
}

void TForm1::EditExit(InputEdit* edit) {
  // A text that is not a whole number does not silently become a year: the
  // message, and the value of the month shown again.
  bool ok = false;
  edit->text().trimmed().toInt(&ok);
  if (!ok) RejectInput(edit);
}

void TForm1::ClickBtn1() {
  // A leap month shown stays shown (the inputs name its number).
  Rebuild([&] { app_->ShowInputsKeepingLeap(); });
}

void TForm1::RadioGroup1Click(int) {
  Rebuild([&] { app_->ShowInputs(); });
}

void TForm1::RadioButton4Click() {
  Rebuild([&] { app_->SetDisplayMode(DisplayMode::Solar); });
}

void TForm1::RadioButton5Click() {
  Rebuild([&] { app_->SetDisplayMode(DisplayMode::Lunar); });
}

void TForm1::CheckBox1MouseUp() {
  if (!ReadInputs()) {
    ShowInputs();
    return;
  }
  app_->ToggleLeapMonth();
  Refresh();
}

void TForm1::CheckBox2MouseUp() {
  if (!ReadInputs()) {
    ShowInputs();
    return;
  }
  app_->ToggleCorrection();
  Refresh();
}

void TForm1::TdayPanelMouseDown() {
  TdayPanel->setFont(GridFont(kCreditFontPoints));
  TdayPanel->setText(kCreditLine);
}

void TForm1::TdayPanelMouseUp() {
  TdayPanel->setFont(GridFont(kTodayFontPoints, true));
  TdayPanel->setText("오늘");
  app_->GoToToday();
  Refresh();
}

void TForm1::SelectSGCell(int row, int column) {
  if (handling_ || row < 0 || column < 0) return;
  app_->SelectCell(column, row);
  Edit3->setText(Q(app_->Edit3Text()));
  Edit5->setText(Q(app_->Edit5Text()));
  const int cell = MonthGridTexts::CellAt(column, row);
  if (app_->View().InMonth(cell)) Animoon->SetAge(app_->MoonAgeOfCell(cell));
}

void TForm1::MdownSGCell(int row, int column, Qt::MouseButton) {
  // Any mouse button: the day's pillars, then its report.
  SelectSGCell(row, column);
  if (!ReadInputs()) return;
  if (!app_->SelectDay(column, row)) return;
  selectedCell_ = MonthGridTexts::CellAt(column, row);
  selectedMonth_ = MonthKey(*app_);
  StringGrid1->SetSelectedCell(selectedCell_);
  Edit4->setText(Q(app_->Edit4Text()));
  Edit4->setCursorPosition(0);
  Animoon->SetAge(app_->ShownMoonAge());
  app_->ShowDayReport();
  Refresh();  // the memo file may have changed the month view
  if (app_->TakePillarsRequest()) {
    const DaySelection& day = app_->Selected();
    ShowPillarsDialog(this, *app_, day.solarYear, day.solarMonth, day.solarDay);
  }
}

// --- Places -----------------------------------------------------------------------------

void TForm1::ComboBox1Change(int index) {
  if (handling_) return;
  if (!ReadInputs()) {
    ComboBox1->setCurrentIndex(app_->Settings().PlaceIndex);
    return;
  }
  app_->ChangePlace(index);
  Refresh();
  // The place's clock, which the rebuild's calendar note must not cover.
  Edit4->setText(Q(app_->Edit4Text()));
  Edit4->setCursorPosition(0);
}

void TForm1::Edit4MouseDown() {
  app_->PressReferenceBox();
  Edit4->setText(Q(app_->Edit4Text()));
  Edit4->setCursorPosition(0);
  Edit1->setFocus();
}

// --- Settings -----------------------------------------------------------------------------

void TForm1::RadioGroup2Click(int item) {
  app_->ChangeEphemeris(item);
  Refresh();
}

void TForm1::RadioGroup3Click(int item) { app_->SetPrecessionItem(item); }

void TForm1::RadioGroup4Click(int item) {
  app_->SetNutationItem(item);
  ShowSettings();
}

void TForm1::RadioGroup5Click(int item) { app_->SetObliquityItem(item); }
void TForm1::RadioGroup6Click(int item) { app_->SetTimeSystemItem(item); }
void TForm1::RadioGroup7Click(int item) { app_->SetDeltaTItem(item); }
void TForm1::CheckBox3Click(bool checked) { app_->SetTidal(checked); }
void TForm1::CheckBox4Click(bool checked) { app_->SetEop(checked); }

void TForm1::U_delTExit() {
  if (rejecting_) return;
  bool ok = false;
  const double seconds = U_delT->text().trimmed().toDouble(&ok);
  const QString previous = QString::number(app_->ChosenSettings().UserDeltaT, 'g', QLocale::FloatingPointShortest);
  QString problem;
  if (!ok || !std::isfinite(seconds))
    problem = "'" + U_delT->text() + "'은(는) 올바른 실수 값이 아닙니다.";
  else if (std::fabs(seconds) > kMaxUserDeltaTSeconds)
    problem = "Delta_T(User Input)는 -1000000초에서 1000000초 사이로 입력하세요.";
  if (!problem.isEmpty()) {
    rejecting_ = true;
    app_->Messages().Show((problem + "\n앞의 값(" + previous + "초)으로 되돌립니다.").toStdString(), "오류",
                        MessageButtons::Ok, MessageIcon::Error);
    U_delT->setText(previous);
    rejecting_ = false;
    return;
  }
  app_->SetUserDeltaT(seconds);
}

void TForm1::ClickBtn9() {
  Rebuild([&] { app_->Apply(); });
  // An open simulation window is opened again on the settings now in effect
  // (its target list depends on the ephemeris).
  if (simulation_.formSimulBox && simulation_.memory.windowOpen) {
    simulation_.formSimulBox->close();
    simulation_.formSimulBox->deleteLater();
    simulation_.formSimulBox = nullptr;
    ShowSimulationWindow(simulation_, *app_, this);
  }
}

void TForm1::ClickBtn11() {
  app_->HorizonsPreset();
  ShowSettings();
}

void TForm1::ClickBtn12() { ShowSimulationWindow(simulation_, *app_, this); }

void TForm1::Btn2MouseDown(Qt::MouseButton button) {
  const bool shown = SettingsRowVisible();
  if (button == Qt::LeftButton || shown) SetSettingsRowVisible(!shown);
  else app_->AboutBox();
}

// --- Reports ------------------------------------------------------------------------------

template <typename Report>
void TForm1::RunReport(Report report) {
  if (!ReadInputs()) return;
  report();
  Refresh();
}

void TForm1::ClickBtn3() {
  RunReport([&] { app_->SolarTermReport(); });
}

void TForm1::ClickBtn4() {
  RunReport([&] { app_->SyzygyReport(); });
}

// The left button clicks (the local report); the right one presses only.
void TForm1::ClickBtn10() {
  RunReport([&] { app_->EclipseReport(true); });
}

void TForm1::Btn10MouseDown(Qt::MouseButton button) {
  if (button == Qt::LeftButton) return;
  RunReport([&] { app_->EclipseReport(button != Qt::RightButton); });
}

void TForm1::ClickBtn5() {
  RunReport([&] { app_->LeapMonthTable(); });
}

void TForm1::ClickBtn6() {
  RunReport([&] { app_->LunarDatesTable(); });
}

void TForm1::ClickBtn7() {
  RunReport([&] { app_->SolarDatesTable(); });
}

void TForm1::ClickBtn8() {
  RunReport([&] { app_->HolidayReport(); });
}

void TForm1::EditAnniversaries() {
  StartUp();
  AnniversaryDialog dialog(*app_, this);
  dialog.exec();
  Refresh();
  if (upcomingPanel->isVisible()) upcomingPanel->Refill();
}

void TForm1::ShowUpcoming() {
  StartUp();
  upcomingPanel->Refill();
  upcomingPanel->show();
  upcomingPanel->raise();
}

void TForm1::ClickIcsButton() {
  IcsExportRequest request = app_->DefaultIcsRequest();
  if (!askIcsExport || !askIcsExport(request)) return;
  app_->ExportIcs(request);
  Refresh();
}

}  // namespace orv
