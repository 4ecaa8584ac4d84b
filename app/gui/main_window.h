// The main window: the month view with its inputs, the place choice, the
// report buttons and the settings row. Every control keeps the name of the
// window layout (Edit1, StringGrid1, RadioGroup2, ...); the state lives in a
// CalendarApp, which the handlers call and the controls mirror.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QAction>
#include <QMenu>
#include <functional>
#include <memory>

#include "app/core/calendar_app.h"
#include "app/gui/anniversary_dialog.h"
#include "app/gui/desktop.h"
#include "app/gui/controls.h"
#include "app/gui/month_grid.h"
#include "app/gui/sun_moon.h"
#include "app/gui/simulation_window.h"

namespace orv {

class QtMessageSink;

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  // The program's window: message boxes, the computer clock, the program's
  // folder for the ephemeris files and the current folder for the rest.
  explicit TForm1(QWidget* parent = nullptr);
  // A window with injected messages, clock and folders (tests, screenshots).
  TForm1(const AppFolders& folders, MessageSink& messages, const Clock& clock, QWidget* parent = nullptr);
  ~TForm1() override;

  // The first activation: loads the settings, opens the ephemeris file,
  // prepares this year and shows this month. Later calls do nothing.
  void StartUp();
  bool SettingsRowVisible() const;
  CalendarApp& App() { return *app_; }
  // The simulation window opened by BitBtn12 and what it remembers.
  SimulationWindowSlot& Simulation() { return simulation_; }
  const CalendarApp& App() const { return *app_; }
  // Renders the window into an image file (PNG by the name's extension), at
  // `size` when it is valid, else at the window's present (or default) size.
  bool SaveScreenshot(const QString& path, QSize size = QSize());
  // Shows a month: astronomical year, month, lunar or solar (as the inputs
  // and "달력보기" would).
  void ShowMonth(int year, int month, bool lunar);

  // --- Menu bar, keyboard, going to a date, finding, printing, the window's
  // size and place (main_window_menu.cpp) ---------------------------------

  // What to print and where: `pdfPath` empty prints through the system's
  // print dialog. False when the user cancels. The window's asks with a
  // dialog (and a file chooser for a PDF); tests replace it.
  std::function<bool(PrintRequest& request, QString& pdfPath, bool toPdf)> askPrint;
  // Asks for a date to go to (Ctrl+G); false when the user cancels.
  std::function<bool(DateQuery& query)> askGoToDate;
  // Prints or writes the pages of `request` (to `pdfPath` when not empty,
  // else through the system's print dialog); false when nothing was printed.
  bool PrintCalendar(const PrintRequest& request, const QString& pdfPath);
  // The arrow keys' and Enter's actions.
  void MoveSelectedDay(int days);
  void OpenSelectedDayReport();
  // The menu item of an action by its object name (tests, and the place
  // where the anniversary editor's item joins the "비망일" menu).
  QAction* MenuAction(const char* objectName) const;
  QMenu* MemoMenu = nullptr;   // "비망일": finding days, the anniversary editor, the days to come
  QLabel* PillarLine = nullptr;  // the pillars by the sectional terms of the month shown
  // The file remembering the window's size and place (an INI file beside
  // the settings, never Orvanta.cfg).
  QString WindowStatePath() const;

  // Asks what to export and where (IcsButton); false when the user cancels.
  // The window's own asks with a dialog and a file chooser; tests replace it.
  std::function<bool(IcsExportRequest& request)> askIcsExport;

  // Controls, named as in the window layout.
  InputEdit* Edit1;
  UpDown* UpDown1;
  RadioGroup* RadioGroup1;
  InputEdit* Edit2;
  UpDown* UpDown2;
  QGroupBox* GroupBox_Display;  // "표시력"
  QRadioButton* RadioButton4;
  QRadioButton* RadioButton5;
  QCheckBox* CheckBox1;
  QCheckBox* CheckBox2;
  BitButton* BitBtn1;
  PressPanel* TdayPanel;
  QLineEdit* Edit3;
  QLineEdit* Edit5;
  InputEdit* Edit4;
  QProgressBar* ProgressBar1;
  MonthGridWidget* StringGrid1;
  SunPicture* Anisun;
  MoonPicture* Animoon;
  QGroupBox* GroupBox_Place;  // "표시지역"
  QComboBox* ComboBox1;
  BitButton* BitBtn2;
  BitButton* BitBtn3;
  BitButton* BitBtn4;
  BitButton* BitBtn5;
  BitButton* BitBtn6;
  BitButton* BitBtn7;
  BitButton* BitBtn8;
  BitButton* BitBtn10;
  QPushButton* IcsButton;  // "iCal": the iCalendar export
  QPushButton* anniversaryButton;  // "비망일 편집": the anniversary manager
  QPushButton* upcomingButton;     // "다가오는 날": shows the panel
  UpcomingPanel* upcomingPanel;
  // The same two for a menu: each triggers the slot of its button.
  QAction* editAnniversariesAction;
  QAction* showUpcomingAction;

 public slots:
  // Opens the anniversary manager; the month view and the panel follow what
  // it saves.
  void EditAnniversaries();
  // Shows the "다가오는 날" panel, filled afresh.
  void ShowUpcoming();

 public:
  QGroupBox* GroupBox_Years;  // "30년동안"
  QRadioButton* RadioButton6;
  QRadioButton* RadioButton7;
  QWidget* SettingsRow;
  RadioGroup* RadioGroup2;
  RadioGroup* RadioGroup3;
  RadioGroup* RadioGroup4;
  RadioGroup* RadioGroup5;
  RadioGroup* RadioGroup6;
  RadioGroup* RadioGroup7;
  QGroupBox* GroupBox5;
  QCheckBox* CheckBox3;
  QCheckBox* CheckBox4;
  BitButton* BitBtn9;
  BitButton* BitBtn11;
  BitButton* BitBtn12;
  QLabel* Label_DeltaT;
  QLineEdit* U_delT;
  QToolButton* PlaceTimeButton;  // points to the place's clock and daylight saving (Edit4)

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // Home, Page Up/Down (with or without Ctrl) reach the calendar whatever
  // has the focus: a line edit does not keep them for its cursor.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void ConnectHandlers();
  void BuildMenuBar();
  void ConnectKeyboard();
  void ShowGoToDate();
  void ShowFindDays();
  void AskAndPrint(bool toPdf);
  // Shows the selected day of the app: its frame, pillars and moon.
  void ShowSelectedDay();
  void RestoreWindowState();
  void SaveWindowState() const;
  // Reads Edit1 and Edit2 into the inputs; false (with the conversion
  // message) when either is not a whole number.
  bool ReadInputs();
  // Mirrors the state in the controls.
  void ShowInputs();
  void ShowView();
  void ShowSettings();
  void FillPlaces();
  void Refresh();
  void SetSettingsRowVisible(bool visible);
  // The memo file changed on disk (an editor saved it): read it again.
  void MemoFileChanged();
  void WatchMemoFile();
  // Restores an input that does not hold a whole number, with a message.
  void RejectInput(QLineEdit* edit);
  // Frames the selected day while the month that holds it is shown.
  void ShowSelection();
  void PaintSettingsGroups(bool red);
  // A month-view handler: reads the inputs, runs `action`, shows the result.
  template <typename Action>
  void Rebuild(Action action);

  // Handlers, named after the control and the event.
  void UpDown1Click(bool up);
  void UpDown2Click(bool up);
  void Edit1KeyUp();
  void EditExit(InputEdit* edit);
  void ClickBtn1();
  void RadioGroup1Click(int item);
  void RadioButton4Click();
  void RadioButton5Click();
  void CheckBox1MouseUp();
  void CheckBox2MouseUp();
  void TdayPanelMouseDown();
  void TdayPanelMouseUp();
  void SelectSGCell(int row, int column);
  void MdownSGCell(int row, int column, Qt::MouseButton button);
  void ComboBox1Change(int index);
  void Edit4MouseDown();
  void RadioGroup2Click(int item);
  void RadioGroup3Click(int item);
  void RadioGroup4Click(int item);
  void RadioGroup5Click(int item);
  void RadioGroup6Click(int item);
  void RadioGroup7Click(int item);
  void CheckBox3Click(bool checked);
  void CheckBox4Click(bool checked);
  void U_delTExit();
  void ClickBtn9();
  void ClickBtn11();
  void ClickBtn12();
  void Btn2MouseDown(Qt::MouseButton button);
  void ClickBtn3();
  void ClickBtn4();
  void ClickBtn10();
  void Btn10MouseDown(Qt::MouseButton button);
  void ClickBtn5();
  void ClickBtn6();
  void ClickBtn7();
  void ClickBtn8();
  void ClickIcsButton();
  // A report handler: reads the inputs, runs `report`, shows the state.
  template <typename Report>
  void RunReport(Report report);

  std::unique_ptr<QtMessageSink> ownMessages_;
  std::unique_ptr<Clock> ownClock_;
  std::unique_ptr<CalendarApp> app_;
  bool handling_ = false;  // a handler runs: control updates are not user actions
  SimulationWindowSlot simulation_;
  DetachedProgramRunner editorRunner_;
  FileWatch* memoWatch_ = nullptr;
  bool rejecting_ = false;      // an input's message is being shown
  int selectedCell_ = -1;       // grid cell of the selected day
  QString selectedMonth_;       // the month it was selected in
};

}  // namespace orv
