#include "app/gui/tform1.h"

namespace orv {

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  setObjectName("TForm1");
  setWindowTitle("Orvanta");
  resize(900, 640);
}

}  // namespace orv
