// The main window: the month grid composed with the widgets that each own one
// concern (the month input row, the report buttons, the place chooser, the
// settings row). The window creates and connects them and asks them for
// their controls. The state lives in a CalendarApp, which the handlers call
// and the controls mirror. Every control has an object name (yearInput,
// applyButton, ...), by which tests and the menus find it.
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
#include "app/gui/month_input_row.h"
#include "app/gui/place_chooser.h"
#include "app/gui/report_buttons.h"
#include "app/gui/settings_row.h"
#include "app/gui/sun_moon.h"
#include "app/gui/simulation_window.h"

namespace orv {

class QtMessageSink;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // The program's window: message boxes, the computer clock, the program's
  // folder for the ephemeris files and the current folder for the rest.
  explicit MainWindow(QWidget* parent = nullptr);
  // A window with injected messages, clock and folders (tests, screenshots).
  MainWindow(const AppFolders& folders, MessageSink& messages, const Clock& clock, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The first activation: loads the settings, opens the ephemeris file,
  // prepares this year and shows this month. Later calls do nothing.
  void StartUp();
  bool SettingsRowVisible() const;
  CalendarApp& App() { return *app_; }
  // The simulation window opened by simulationButton and what it remembers.
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
  // The menu item of an action by its object name.
  QAction* MenuAction(const char* objectName) const;
  // The file remembering the window's size and place (an INI file beside
  // the settings, never Orvanta.cfg).
  QString WindowStatePath() const;

  // Asks what to export and where (icsButton); false when the user cancels.
  // The window's own asks with a dialog and a file chooser; tests replace it.
  std::function<bool(IcsExportRequest& request)> askIcsExport;

 public slots:
  // Opens the anniversary manager; the month view and the panel follow what
  // it saves.
  void EditAnniversaries();
  // Shows the "다가오는 날" panel, filled afresh.
  void ShowUpcoming();

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
  // Mirrors the state in the controls.
  void ShowInputs();
  void ShowView();
  void FillPlaces();
  void Refresh();
  void SetSettingsRowVisible(bool visible);
  // The memo file changed on disk (an editor saved it): read it again.
  void MemoFileChanged();
  void WatchMemoFile();
  // The month shown (year, month, view, leap month) as a key: a selected day
  // stays framed while the month it was selected in is shown.
  static QString ShownMonthKey(const CalendarApp& a);
  // Frames the selected day while the month that holds it is shown.
  void ShowSelection();
  // A month-view handler: reads the inputs, runs `action`, shows the result.
  template <typename Action>
  void Rebuild(Action action);

  // Handlers, named after the control and the event.
  void cellSelected(int row, int column);
  void cellPressed(int row, int column, Qt::MouseButton button);
  void placeChosen(int index);
  void referenceBoxPressed();
  void applySettings();
  void openSimulation();
  void aboutPressed(Qt::MouseButton button);
  void showSolarTerms();
  void showSyzygies();
  void showEclipses();
  void eclipsesPressed(Qt::MouseButton button);
  void showLeapMonths();
  void showLunarDates();
  void showSolarDates();
  void showHolidays();
  void exportIcs();
  // A report handler: reads the inputs, runs `report`, shows the state.
  template <typename Report>
  void RunReport(Report report);

  // The widgets of one concern each, the grid and the rest of the window.
  MonthInputRow* monthInputRow_;
  ReportButtons* reportButtons_;
  PlaceChooser* placeChooser_;
  SettingsRow* settingsRow_;
  MonthGridWidget* monthGrid_;
  SunPicture* sunPicture_;
  MoonPicture* moonPicture_;
  QPushButton* upcomingButton_;  // "다가오는 날": shows the panel
  UpcomingPanel* upcomingPanel_;
  // The anniversary editor and the panel for a menu: each triggers the slot
  // of its button.
  QAction* editAnniversariesAction_;
  QAction* showUpcomingAction_;

  std::unique_ptr<QtMessageSink> ownMessages_;
  std::unique_ptr<Clock> ownClock_;
  std::unique_ptr<CalendarApp> app_;
  bool handling_ = false;  // a handler runs: control updates are not user actions
  SimulationWindowSlot simulation_;
  DetachedProgramRunner editorRunner_;
  FileWatch* memoWatch_ = nullptr;
  int selectedCell_ = -1;       // grid cell of the selected day
  QString selectedMonth_;       // the month it was selected in
};

}  // namespace orv
