#include <QApplication>

#include "app/gui/tform1.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  orv::TForm1 window;
  window.show();
  return app.exec();
}
