// The settings row under the month: ephemeris, precession, nutation,
// obliquity, time system and Delta T model, the tidal and E.O.P boxes, the
// user's Delta T, and the apply, Horizons and simulation buttons. Its
// controls change the settings as chosen (in effect only after "설정적용");
// the window applies them and opens the simulation window when asked.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "app/core/calendar_app.h"
#include "app/gui/controls.h"

namespace orv {

class SettingsRow : public QWidget {
  Q_OBJECT
 public:
  SettingsRow(CalendarApp& app, QWidget* parent);

  // Mirrors the chosen settings in the controls.
  void ShowChosenSettings();
  // Shows or hides the row; the ephemeris group follows it.
  void SetRowVisible(bool visible);
  // The groups painted red while horizonsPresetButton is held down.
  void PaintGroups(bool red);
  // horizonsPresetButton "근사": the settings that reproduce JPL HORIZONS, chosen
  // (in effect after "설정적용").
  void ApplyHorizonsPreset();

  RadioGroup* ephemerisChoice;
  RadioGroup* precessionChoice;
  RadioGroup* nutationChoice;
  RadioGroup* obliquityChoice;
  RadioGroup* timeSystemChoice;
  RadioGroup* deltaTModelChoice;
  QGroupBox* compensationGroup;
  QCheckBox* tidalBox;
  QCheckBox* eopBox;
  BitButton* applyButton;
  BitButton* horizonsPresetButton;
  BitButton* simulationButton;
  QLabel* userDeltaTLabel;
  QLineEdit* userDeltaTInput;

 signals:
  // Another ephemeris was chosen (or refused): the window shows the state.
  void ephemerisChanged();
  void applyRequested();
  void simulationRequested();

 private:
  void ephemerisChosen(int item);
  void nutationChosen(int item);
  void userDeltaTEdited();

  CalendarApp& app_;
  bool rejecting_ = false;  // the user Delta T's message is being shown
};

}  // namespace orv
