// The simulation window "천체력 추가계산": the CSV tables of the simulation
// (group "Ephemerides Simulation") and the two date calculators. Controls
// keep the names of the window layout (itemChoice, targetChoice, startYearInput ...);
// every number and text comes from app/core (simulation.h, date_tools.h).
#pragma once

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/core/calendar_app.h"
#include "app/core/simulation/simulation.h"
#include "app/gui/qt_messages.h"

namespace orv {

// A titled group of radio buttons laid out in columns, whose items can be
// replaced (the target list changes with the ephemeris and the item).
class ChoiceGroup : public QGroupBox {
  Q_OBJECT
 public:
  ChoiceGroup(const QString& title, QWidget* parent = nullptr);
  void SetItems(const std::vector<std::string>& names, int columns);
  int ItemIndex() const;
  void SetItemIndex(int index);
  int Count() const { return static_cast<int>(buttons_.size()); }
  QRadioButton* Button(int index) const;
  QString ItemText(int index) const;

 private:
  QButtonGroup group_;
  QGridLayout* layout_;
  std::vector<QRadioButton*> buttons_;
};

// Opens a written CSV in the user's editor.
using SimulationFileOpener = std::function<void(const std::string& path)>;

class SimulationWindow : public QWidget {
  Q_OBJECT
 public:
  SimulationWindow(CalendarApp& app, SimulationMemory& memory, SimulationFileOpener openFile, QWidget* parent = nullptr);

  // The first activation initialises the controls from the remembered values
  // (InitSimulationWindow); later activations change nothing.
  void activateOnce();
  void InitSimulationWindow();
  // True while a run is going on (the event loop turns meanwhile).
  bool Running() const { return running_; }
  // Asks the running run to stop; it leaves no file.
  void Cancel();

  // Handlers, named after the control and the event.
  void itemChosen(int item);
  void runSimulation();
  void computeElapsedDate();  // elapsed date
  void computeDaysBetween();  // days between
  void convertJulianDayToCalendar();  // Julian Date -> calendar
  void convertCalendarToJulianDay();  // calendar -> Julian Date

  // Controls, named as in the window layout.
  QGroupBox* simulationGroup;  // "Ephemerides Simulation"
  QComboBox* itemChoice;
  QLabel* itemDescription;       // "설명": the item's description
  ChoiceGroup* targetChoice;       // target
  QLineEdit* startYearInput;                // start year
  QLineEdit* startMonthInput;                // month
  QLineEdit* startDayInput;                // day
  QLineEdit* startHourInput;                // hour
  QLineEdit* startMinuteInput;               // minute
  QLineEdit* startSecondInput;               // second
  QLineEdit* stepInput;               // step
  ChoiceGroup* unitChoice;       // unit
  QLineEdit* countInput;               // repetitions
  QLabel* extraLabel;             // label of extraInput (items 4 and 14)
  QLineEdit* extraInput;                // extra value
  QLineEdit* outputNameInput;               // output name
  QPushButton* runButton;           // "계산"
  QPushButton* cancelButton;       // "취소": stops a run, keeping no file
  QLabel* outputLabel;            // where the last table was written
  // Under the date tools: the same counts the Korean way, the first day
  // being day 1 ("100일째" of 1 January is 10 April; the tools add 100 days).
  QLabel* koreanDayCountLabel;
  QPushButton* plotButton;         // "그래프": the last table's columns plotted
  QProgressBar* progressBar;

  QGroupBox* dateToolsGroup;     // "경과날짜계산"
  QLineEdit* elapsedFromYearInput;
  QLineEdit* elapsedFromMonthInput;
  QLineEdit* elapsedFromDayInput;
  QLineEdit* elapsedDaysInput;
  QPushButton* elapsedDateButton;
  QLineEdit* elapsedYearOutput;
  QLineEdit* elapsedMonthOutput;
  QLineEdit* elapsedDayOutput;
  QLineEdit* betweenFromYearInput;
  QLineEdit* betweenFromMonthInput;
  QLineEdit* betweenFromDayInput;
  QLineEdit* betweenToYearInput;
  QLineEdit* betweenToMonthInput;
  QLineEdit* betweenToDayInput;
  QPushButton* daysBetweenButton;
  QLineEdit* daysBetweenOutput;

  QGroupBox* julianDayGroup;      // "Julian, Calendar Date(UT 기준)"
  QLineEdit* julianDayInput;
  QPushButton* toCalendarButton;
  QLineEdit* calendarYearOutput;
  QLineEdit* calendarMonthOutput;
  QLineEdit* calendarDayOutput;
  QLineEdit* calendarHourOutput;
  QLineEdit* calendarMinuteOutput;
  QLineEdit* calendarSecondOutput;
  QLineEdit* calendarYearInput;
  QLineEdit* calendarMonthInput;
  QLineEdit* calendarDayInput;
  QLineEdit* calendarHourInput;
  QLineEdit* calendarMinuteInput;
  QLineEdit* calendarSecondInput;
  QPushButton* toJulianDayButton;
  QLineEdit* julianDayOutput;

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void FillTargets(int item);
  // The number in a field; false after the conversion error message.
  bool ReadInt(QLineEdit* field, int& value);
  bool ReadDouble(QLineEdit* field, double& value);
  // The request in the fields; false after a conversion error.
  bool ReadRequest(SimulationRequest& request);

  MessageSink& Messages();
  void SetRunning(bool running);

  CalendarApp& app_;
  SimulationMemory& memory_;
  SimulationFileOpener openFile_;
  QtMessageSink ownMessages_{this};
  bool running_ = false;
  bool cancelRequested_ = false;
  bool closeAfterRun_ = false;   // closed during a run: close when it has stopped
  std::string lastTablePath_;    // the table the last run wrote ("" for none)
 public:
  // Opens the plot of the last table written; false when there is none or it
  // has no column of numbers.
  bool ShowLastTablePlot();
 private:
};

// What the main window keeps for the simulation window: the remembered values,
// the open window (window) and how written files are opened.
struct SimulationWindowSlot {
  SimulationMemory memory;
  QPointer<SimulationWindow> window;
  SimulationFileOpener openFile;  // empty: OpenSimulationFile
};

// Opens a written CSV in the user's editor ($VISUAL, $EDITOR, then
// xdg-open) and waits for it to end; "해당파일 실행 불가." ("오류") when none
// starts.
void OpenSimulationFile(const std::string& path, MessageSink& messages);

// Opens the simulation window unless one is open; returns the window.
SimulationWindow* ShowSimulationWindow(SimulationWindowSlot& slot, CalendarApp& app, QWidget* owner);

}  // namespace orv
