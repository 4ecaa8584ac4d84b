// The simulation window "천체력 추가계산": the CSV tables of the simulation
// (group "Ephemerides Simulation") and the two date calculators. Controls
// keep the names of the window layout (ComboBox2, RadioGroup10, Edit6 ...);
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

class TformSimulBox : public QWidget {
  Q_OBJECT
 public:
  TformSimulBox(CalendarApp& app, SimulationMemory& memory, SimulationFileOpener openFile, QWidget* parent = nullptr);

  // The first activation initialises the controls from the remembered values
  // (InitSimulationWindow); later activations change nothing.
  void FormActivate();
  void InitSimulationWindow();
  // True while a run is going on (the event loop turns meanwhile).
  bool Running() const { return running_; }
  // Asks the running run to stop; it leaves no file.
  void Cancel();

  // Handlers, named after the control and the event.
  void ComboBox2Change(int item);
  void BitBtn10Click();
  void Button1Click();  // elapsed date
  void Button2Click();  // days between
  void Button3Click();  // Julian Date -> calendar
  void Button4Click();  // calendar -> Julian Date

  // Controls, named as in the window layout.
  QGroupBox* GroupBox_Simulation;  // "Ephemerides Simulation"
  QComboBox* ComboBox2;
  QLabel* Label_Description;       // "설명": the item's description
  ChoiceGroup* RadioGroup10;       // target
  QLineEdit* Edit6;                // start year
  QLineEdit* Edit7;                // month
  QLineEdit* Edit8;                // day
  QLineEdit* Edit9;                // hour
  QLineEdit* Edit10;               // minute
  QLineEdit* Edit11;               // second
  QLineEdit* Edit12;               // step
  ChoiceGroup* RadioGroup11;       // unit
  QLineEdit* Edit13;               // repetitions
  QLabel* Label_Extra;             // label of Edit1 (items 4 and 14)
  QLineEdit* Edit1;                // extra value
  QLineEdit* Edit14;               // output name
  QPushButton* BitBtn10;           // "계산"
  QPushButton* CancelButton;       // "취소": stops a run, keeping no file
  QLabel* Label_Output;            // where the last table was written
  // Under the date tools: the same counts the Korean way, the first day
  // being day 1 ("100일째" of 1 January is 10 April; the tools add 100 days).
  QLabel* koreanDayCountLabel;
  QPushButton* plotButton;         // "그래프": the last table's columns plotted
  QProgressBar* ProgressBar1;

  QGroupBox* GroupBox_Elapsed;     // "경과날짜계산"
  QLineEdit* Edit15;
  QLineEdit* Edit16;
  QLineEdit* Edit17;
  QLineEdit* Edit18;
  QPushButton* Button1;
  QLineEdit* Edit19;
  QLineEdit* Edit20;
  QLineEdit* Edit21;
  QLineEdit* Edit22;
  QLineEdit* Edit23;
  QLineEdit* Edit24;
  QLineEdit* Edit25;
  QLineEdit* Edit26;
  QLineEdit* Edit27;
  QPushButton* Button2;
  QLineEdit* Edit28;

  QGroupBox* GroupBox_Julian;      // "Julian, Calendar Date(UT 기준)"
  QLineEdit* Edit31;
  QPushButton* Button3;
  QLineEdit* Edit32;
  QLineEdit* Edit33;
  QLineEdit* Edit34;
  QLineEdit* Edit35;
  QLineEdit* Edit36;
  QLineEdit* Edit37;
  QLineEdit* Edit38;
  QLineEdit* Edit39;
  QLineEdit* Edit40;
  QLineEdit* Edit41;
  QLineEdit* Edit42;
  QLineEdit* Edit43;
  QPushButton* Button4;
  QLineEdit* Edit44;

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
// the open window (formSimulBox) and how written files are opened.
struct SimulationWindowSlot {
  SimulationMemory memory;
  QPointer<TformSimulBox> formSimulBox;
  SimulationFileOpener openFile;  // empty: OpenSimulationFile
};

// Opens a written CSV in the user's editor ($VISUAL, $EDITOR, then
// xdg-open) and waits for it to end; "해당파일 실행 불가." ("오류") when none
// starts.
void OpenSimulationFile(const std::string& path, MessageSink& messages);

// Opens the simulation window unless one is open; returns the window.
TformSimulBox* ShowSimulationWindow(SimulationWindowSlot& slot, CalendarApp& app, QWidget* owner);

}  // namespace orv
