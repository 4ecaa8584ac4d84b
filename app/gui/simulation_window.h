// The simulation window "천체력 추가계산": the CSV tables of the simulation
// (group "Ephemerides Simulation") above the date tools (DateToolsPanel).
// Controls keep the names of the window layout (itemChoice, targetChoice,
// startYearInput ...); every number and text comes from app/core
// (simulation.h).
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
#include "app/gui/date_tools_panel.h"
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

  // True while a run is going on (the event loop turns meanwhile).
  bool Running() const { return running_; }
  // Asks the running run to stop; it leaves no file.
  void Cancel();
  // Opens the plot of the last table written; false when there is none or it
  // has no column of numbers.
  bool ShowLastTablePlot();

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  // The first activation initialises the controls from the remembered values
  // (InitSimulationWindow); later activations change nothing.
  void activateOnce();
  void InitSimulationWindow();
  void FillTargets(int item);
  // The request in the fields; false after a conversion error.
  bool ReadRequest(SimulationRequest& request);

  MessageSink& Messages();
  void SetRunning(bool running);

  // Handlers, named after the control and the event.
  void itemChosen(int item);
  void runSimulation();

  CalendarApp& app_;
  SimulationMemory& memory_;
  SimulationFileOpener openFile_;
  QtMessageSink ownMessages_{this};
  bool running_ = false;
  bool cancelRequested_ = false;
  bool closeAfterRun_ = false;   // closed during a run: close when it has stopped
  std::string lastTablePath_;    // the table the last run wrote ("" for none)

  // Controls, named as in the window layout.
  QGroupBox* simulationGroup_;  // "Ephemerides Simulation"
  QComboBox* itemChoice_;
  QLabel* itemDescription_;  // "설명": the item's description
  ChoiceGroup* targetChoice_;
  QLineEdit* startYearInput_;
  QLineEdit* startMonthInput_;
  QLineEdit* startDayInput_;
  QLineEdit* startHourInput_;
  QLineEdit* startMinuteInput_;
  QLineEdit* startSecondInput_;
  QLineEdit* stepInput_;
  ChoiceGroup* unitChoice_;
  QLineEdit* countInput_;  // repetitions
  QLabel* extraLabel_;     // label of extraInput_ (items 4 and 14)
  QLineEdit* extraInput_;  // extra value
  QLineEdit* outputNameInput_;
  QPushButton* runButton_;     // "계산"
  QPushButton* cancelButton_;  // "취소": stops a run, keeping no file
  QLabel* outputLabel_;        // where the last table was written
  QPushButton* plotButton_;    // "그래프": the last table's columns plotted
  QProgressBar* progressBar_;
  DateToolsPanel* dateTools_;  // "경과날짜계산" and "Julian, Calendar Date(UT 기준)"
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
