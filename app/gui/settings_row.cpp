#include "app/gui/settings_row.h"

#include <QBoxLayout>
#include <QLocale>
#include <cmath>
#include <initializer_list>

#include "app/core/files/config.h"
#include "ephemeris/earth_orientation.h"

namespace orv {
namespace {

const QString kRedBackground = "background-color: #FF0000;";
}  // namespace

SettingsRow::SettingsRow(CalendarApp& app, QWidget* parent) : QWidget(parent), app_(app) {
  setObjectName("settingsRow");
  auto* settingsOuter = new QVBoxLayout(this);
  settingsOuter->setContentsMargins(0, 0, 0, 0);
  settingsOuter->setSpacing(2);
  auto* groups = new QHBoxLayout;
  groups->setSpacing(3);
  ephemerisChoice = Named(new RadioGroup("Ephemeris", {"PLAN404", "DE431", "DE441"}, this), "ephemerisChoice");
  precessionChoice = Named(new RadioGroup("Precession", {"Owen1990", "IAU2006"}, this), "precessionChoice");
  nutationChoice = Named(new RadioGroup("Nutation", {"Internal", "IAU2000B"}, this), "nutationChoice");
  obliquityChoice = Named(new RadioGroup("Ecliptic Obliquity", {"Owen1990", "IAU2006"}, this), "obliquityChoice");
  timeSystemChoice =
      Named(new RadioGroup("Time System", {"Terrestrial T", "Universal T", "Standard T", "Civil Clock"}, this, true, 2),
            "timeSystemChoice");
  deltaTModelChoice = Named(new RadioGroup("Delta T", {"NASA", "Horizons", "User Input"}, this), "deltaTModelChoice");
  compensationGroup = Named(new QGroupBox("Comp'sation", this), "compensationGroup");
  auto* compLayout = new QVBoxLayout(compensationGroup);
  compLayout->setContentsMargins(6, 2, 6, 2);
  tidalBox = Named(new QCheckBox("Tidal", compensationGroup), "tidalBox");
  eopBox = Named(new QCheckBox("E.O.P", compensationGroup), "eopBox");
  compLayout->addWidget(tidalBox);
  compLayout->addWidget(eopBox);
  for (QWidget* g : std::initializer_list<QWidget*>{ephemerisChoice, precessionChoice, nutationChoice, obliquityChoice,
                                                    timeSystemChoice, deltaTModelChoice, compensationGroup})
    groups->addWidget(g, 0, Qt::AlignTop);
  auto* applyColumn = new QVBoxLayout;
  applyButton = Named(new BitButton("설정적용", this), "applyButton");
  applyButton->setToolTip("환경설정 후 반드시 적용클릭");
  horizonsPresetButton = Named(new BitButton("근사", this), "horizonsPresetButton");
  horizonsPresetButton->setToolTip(
      "JPL의 HORIZONS에 근사값을 출력하기 위한 설정입니다.(HORIZONS의 기준지역은 영국 *런던)");
  simulationButton = Named(new BitButton("추가계산", this), "simulationButton");
  applyColumn->addWidget(applyButton);
  applyColumn->addWidget(horizonsPresetButton);
  applyColumn->addWidget(simulationButton);
  applyColumn->addStretch(1);
  groups->addLayout(applyColumn);
  groups->addStretch(1);
  settingsOuter->addLayout(groups);
  auto* strip = new QHBoxLayout;
  userDeltaTLabel = Named(new QLabel("Delta_T(User Input) = ", this), "userDeltaTLabel");
  userDeltaTInput = Named(new QLineEdit("0", this), "userDeltaTInput");
  userDeltaTInput->setFixedWidth(120);
  strip->addWidget(userDeltaTLabel);
  strip->addWidget(userDeltaTInput);
  strip->addStretch(1);
  settingsOuter->addLayout(strip);

  connect(ephemerisChoice, &RadioGroup::clicked, this, &SettingsRow::ephemerisChosen);
  connect(precessionChoice, &RadioGroup::clicked, this, [this](int item) { app_.SetPrecessionItem(item); });
  connect(nutationChoice, &RadioGroup::clicked, this, &SettingsRow::nutationChosen);
  connect(obliquityChoice, &RadioGroup::clicked, this, [this](int item) { app_.SetObliquityItem(item); });
  connect(timeSystemChoice, &RadioGroup::clicked, this, [this](int item) { app_.SetTimeSystemItem(item); });
  connect(deltaTModelChoice, &RadioGroup::clicked, this, [this](int item) { app_.SetDeltaTItem(item); });
  connect(tidalBox, &QCheckBox::clicked, this, [this](bool checked) { app_.SetTidal(checked); });
  connect(eopBox, &QCheckBox::clicked, this, [this](bool checked) { app_.SetEop(checked); });
  connect(userDeltaTInput, &QLineEdit::editingFinished, this, &SettingsRow::userDeltaTEdited);
  connect(applyButton, &QPushButton::clicked, this, &SettingsRow::applyRequested);
  connect(horizonsPresetButton, &QPushButton::clicked, this, &SettingsRow::ApplyHorizonsPreset);
  connect(horizonsPresetButton, &BitButton::mouseDown, this, [this](Qt::MouseButton) { PaintGroups(true); });
  connect(horizonsPresetButton, &BitButton::mouseUp, this, [this](Qt::MouseButton) { PaintGroups(false); });
  connect(simulationButton, &QPushButton::clicked, this, &SettingsRow::simulationRequested);
}

void SettingsRow::ShowChosenSettings() {
  const CalendarApp& a = app_;
  ephemerisChoice->SetItemIndex(a.EphemerisChoiceIndex());
  ephemerisChoice->SetItemEnabled(1, a.De431Selectable());
  precessionChoice->SetItemIndex(a.PrecessionItem());
  nutationChoice->SetItemIndex(a.NutationItem());
  obliquityChoice->SetItemIndex(a.ObliquityItem());
  timeSystemChoice->SetItemIndex(a.TimeSystemItem());
  deltaTModelChoice->SetItemIndex(a.DeltaTItem());
  tidalBox->setChecked(a.ChosenSettings().TidalCompensation != 0);
  eopBox->setChecked(EopCorrectionOn(a.ChosenSettings()));
  userDeltaTInput->setText(QString::number(a.ChosenSettings().UserDeltaT, 'g', QLocale::FloatingPointShortest));
}

void SettingsRow::SetRowVisible(bool visible) {
  setVisible(visible);
  ephemerisChoice->setVisible(visible);
}

void SettingsRow::PaintGroups(bool red) {
  for (QWidget* g : std::initializer_list<QWidget*>{ephemerisChoice, precessionChoice, nutationChoice, obliquityChoice,
                                                    timeSystemChoice, deltaTModelChoice, compensationGroup})
    g->setStyleSheet(red ? kRedBackground : QString());
}

void SettingsRow::ephemerisChosen(int item) {
  app_.ChangeEphemeris(item);
  emit ephemerisChanged();
}

void SettingsRow::nutationChosen(int item) {
  app_.SetNutationItem(item);
  ShowChosenSettings();
}

void SettingsRow::userDeltaTEdited() {
  if (rejecting_) return;
  bool ok = false;
  const double seconds = userDeltaTInput->text().trimmed().toDouble(&ok);
  const QString previous = QString::number(app_.ChosenSettings().UserDeltaT, 'g', QLocale::FloatingPointShortest);
  QString problem;
  if (!ok || !std::isfinite(seconds))
    problem = "'" + userDeltaTInput->text() + "'은(는) 올바른 실수 값이 아닙니다.";
  else if (std::fabs(seconds) > kMaxUserDeltaTSeconds)
    problem = "Delta_T(User Input)는 -1000000초에서 1000000초 사이로 입력하세요.";
  if (!problem.isEmpty()) {
    rejecting_ = true;
    app_.Messages().Show((problem + "\n앞의 값(" + previous + "초)으로 되돌립니다.").toStdString(), "오류",
                         MessageButtons::Ok, MessageIcon::Error);
    userDeltaTInput->setText(previous);
    rejecting_ = false;
    return;
  }
  app_.SetUserDeltaT(seconds);
}

void SettingsRow::ApplyHorizonsPreset() {
  app_.HorizonsPreset();
  ShowChosenSettings();
}

}  // namespace orv
