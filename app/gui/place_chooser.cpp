#include "app/gui/place_chooser.h"

#include <QBoxLayout>
#include <QCompleter>
#include <QStringList>

namespace orv {
namespace {

constexpr int kPlaceListVisibleLines = 28;
}  // namespace

PlaceChooser::PlaceChooser(QWidget* parent) : QWidget(parent) {
  setObjectName("placeChooser");
  // The row's own spacing, as in the window's other rows.
  auto* placeRow = new QHBoxLayout(this);
  placeRow->setContentsMargins(0, 0, 0, 0);
  placeRow->setSpacing(3);
  placeGroup = Named(new QGroupBox("표시지역", this), "placeGroup");
  auto* placeLayout = new QHBoxLayout(placeGroup);
  placeLayout->setContentsMargins(4, 2, 4, 4);
  placeChoice = Named(new QComboBox(placeGroup), "placeChoice");
  placeChoice->setMaxVisibleItems(kPlaceListVisibleLines);
  placeChoice->setMinimumWidth(190);
  // Typing filters the 652 places: any part of a name finds it.
  placeChoice->setEditable(true);
  placeChoice->setInsertPolicy(QComboBox::NoInsert);
  placeChoice->completer()->setFilterMode(Qt::MatchContains);
  placeChoice->completer()->setCompletionMode(QCompleter::PopupCompletion);
  placeChoice->completer()->setCaseSensitivity(Qt::CaseInsensitive);
  placeLayout->addWidget(placeChoice);
  placeRow->addWidget(placeGroup);
  referenceBox = Named(new InputEdit(this), "referenceBox");
  referenceBox->setReadOnly(true);
  referenceBox->setToolTip("클릭하면 현지시각과 섬머타임 기간이 번갈아 표시됨");
  referenceBox->setStyleSheet("background-color: #C0C0C0;");
  placeRow->addWidget(referenceBox, 1, Qt::AlignBottom);
  placeClockButton = Named(new QToolButton(this), "placeClockButton");
  placeClockButton->setText("현지시각·섬머타임");
  placeClockButton->setToolTip(referenceBox->toolTip());
  placeRow->addWidget(placeClockButton, 0, Qt::AlignBottom);

  connect(placeChoice, &QComboBox::activated, this, &PlaceChooser::placeChosen);
  connect(referenceBox, &InputEdit::mouseDown, this, &PlaceChooser::referencePressed);
  connect(placeClockButton, &QToolButton::clicked, this, &PlaceChooser::referencePressed);
}

void PlaceChooser::FillPlaces(const PlaceTable& places, int index) {
  placeChoice->clear();
  // Korean names find places abroad ("뉴욕"); rows that look alike say what
  // tells them apart.
  QStringList labels;
  for (const std::string& label : PlaceListLabels(places)) labels << QString::fromStdString(label);
  placeChoice->addItems(labels);
  placeChoice->setCurrentIndex(index);
}

void PlaceChooser::ShowPlace(int index) {
  if (placeChoice->currentIndex() != index) placeChoice->setCurrentIndex(index);
}

void PlaceChooser::ShowReference(const std::string& text) {
  referenceBox->setText(QString::fromStdString(text));
  referenceBox->setCursorPosition(0);
}

}  // namespace orv
