// The place row: the list of places (typing filters it), the reference box
// with the calendar note, the selected day or the place's clock, and the
// button that steps the box through the place's clock and daylight saving.
// The window changes the place and the box's text when told.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QToolButton>
#include <QWidget>
#include <string>

#include "app/core/files/places.h"
#include "app/gui/controls.h"

namespace orv {

class PlaceChooser : public QWidget {
  Q_OBJECT
 public:
  explicit PlaceChooser(QWidget* parent);

  // Lists the places of `places` and shows place `index`.
  void FillPlaces(const PlaceTable& places, int index);
  // Shows place `index` when another one is shown.
  void ShowPlace(int index);
  // The reference box's text, shown from its start.
  void ShowReference(const std::string& text);

  QGroupBox* placeGroup;  // "표시지역"
  QComboBox* placeChoice;
  InputEdit* referenceBox;
  QToolButton* placeClockButton;  // points to the place's clock and daylight saving (referenceBox)

 signals:
  // The user chose place `index` in the list.
  void placeChosen(int index);
  // The reference box or the clock button was pressed.
  void referencePressed();
};

}  // namespace orv
